// BMP files: the one kind the textures read, uncompressed 24-bit bitmaps
// stored bottom-up, decoded into a bottom-up image buffer. Any thread; the
// only shared input is the colour table's gamma.
#pragma once
#include <string>
#include "tex/TEX_image.h"

class xmap_class;

// True when the mapped file from its cursor starts with "BM" (the callers'
// test; the decoder does not check it).
bool TEX_is_bmp(const xmap_class& file);

// Decodes the bitmap at the cursor of file into buffer (allocated with
// xmalloc when null; the caller owns it) as GL_RGB, GL_RGBA or GL_ALPHA,
// file row i becoming buffer row i. RGB bytes pass through the colour
// table's gamma lookup while it is active; in GL_RGBA a pure magenta file
// pixel becomes 0, 0, 0, 0, every other alpha 255; GL_ALPHA is the mean of
// B, G and R. Rows are padded to pad_to_width pixels when that is non-zero,
// or to the next power of two when power_of_two is set, which also rounds
// the row count up and zero-fills the buffer when it pads at all. Pixels
// the file does not hold are left as they were. path serves the messages
// only. Returns 1 on success; 0 when the file is not mapped; 0 with one
// logged line naming the path when the file is under 54 bytes, its
// information header under 40 bytes, its width or height 0 or less (a
// top-down file), pad_to_width below the width, the buffer would not fit an
// int of bytes, or memory runs out. Another format, a depth other than 24
// bits or compression raise a quit alert.
int TEX_load_bmp(const std::string& path, xmap_class* file, unsigned char*& buffer, unsigned long format,
                 int pad_to_width, int power_of_two, TEX_image_desc& desc);
