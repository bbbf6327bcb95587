#include "ogl/ogl_record.h"

void (*OGL_record_quad)(const OGL_quad_call& call) = nullptr;
void (*OGL_record_string)(const OGL_string_call& call) = nullptr;
