// The image record: how a pixel buffer in memory is laid out. Rows are stored
// bottom-up (the order OpenGL uploads), each row of a level holding its pixels
// and then pad bytes; with mipmaps every smaller level down to 1 x 1 follows
// the top one directly, each row with the same pad. The buffer belongs to
// whoever allocated it with xmalloc; the record is a plain value.
#pragma once
#include <GL/gl.h>
#include <cstdint>

struct TEX_image_desc {
  uint32_t format = 0;   // OpenGL format enumerant of the pixels
  int32_t width = 0;     // of the top level, in pixels
  int32_t height = 0;    // of the top level, in rows
  int32_t pad = 0;       // bytes after the pixels of every row
  int32_t has_mipmaps = 0;
};

// Bytes of the whole buffer the record describes, all levels when it has
// mipmaps (S3TC levels sized by libsquish). 0 when the format is unknown, a
// side is below 1, the pad is negative, or the total does not fit an int.
int TEX_bytes_needed_for_image(const TEX_image_desc& desc);
