#include "core/scratch.h"

alignas(16) unsigned char scratch_array_storage[scratch_array_bytes];
unsigned char* scratch_array = scratch_array_storage;
int scratch_dx = 0;
int scratch_dy = 0;
