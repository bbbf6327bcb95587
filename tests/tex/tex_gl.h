// Helpers of the texture tests that upload: console 0 for a context, PNG
// files made from a colour function, and reading a texture back.
#pragma once
#include <GL/gl.h>
#include <functional>
#include <string>
#include <vector>
#include "tex/TEX_obj.h"
#include "tex/tman.h"

// Registers the window; every test of the folder then has a context.
bool tex_gl_register();
// Writes a width x height RGBA PNG whose pixel (x, y), y counted from the
// top row, is colour(x, y) as 0xRRGGBBAA.
void make_png(const std::string& path, int width, int height, const std::function<uint32_t(int, int)>& colour);
// Level 0 of the texture bound on unit 0 as format (rows bottom-up).
std::vector<unsigned char> read_tex(GLenum target, GLenum format, int bytes_per_pixel);
// A texture parameter / level parameter of the texture bound to target.
int tex_param(GLenum target, GLenum pname);
int level_param(GLenum target, GLenum pname, int level = 0);
// The name bound to GL_TEXTURE_2D on the active unit.
int bound_2d();
// Binds the object's OpenGL name directly on unit 0 (cache reset after).
void bind_direct(TEX_obj* obj);
// Loads the file texture path now under the manual number ref and binds
// it directly; null when the manager has no object for ref.
TEX_obj* load_bound(int ref, const std::string& path, int flags, tex_fail_mode fail);
// Resets reno, the capability switches the loads read and the bind cache.
void tex_defaults();
