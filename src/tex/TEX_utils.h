// Image utilities of the texture load: the decoder chosen by a file's
// content, and the in-place passes applied after decoding.
#pragma once
#include <string>
#include "tex/TEX_image.h"
#include "tex/TEX_png.h"

// Decodes the BMP or PNG file at path (no power-of-two padding) into buffer,
// allocated when null. Returns 1 on success; 0, silently, for a missing
// file, one under 8 bytes, or one that is neither; a decoder's own
// refusals and alerts apply once it runs.
int TEX_load_any(const std::string& path, unsigned char*& buffer, unsigned long format, int pad_to_width,
                 png_alpha_mode mode, int gamma, TEX_image_desc& desc);
// TEX_load_any of path with its extension (a dot and three characters at
// the end) replaced by ".png", and only when that returns 0, by ".bmp"; a
// path without one gets them appended. Returns 1 when either decoded. A
// path of 500 bytes or more raises the crash alert "String too long!".
int TEX_load_any_ext(const std::string& path, unsigned char*& buffer, unsigned long format, int pad_to_width,
                     png_alpha_mode mode, int gamma, TEX_image_desc& desc);

// Box-filters the image down by factor_x x factor_y (powers of two) in
// place: every channel the truncated mean of its block, rows repacked from
// the buffer's start with the same pad (pad bytes are not written). Width
// and height become the integer quotients. 4 bytes a pixel for GL_RGBA, 3
// for GL_RGB, 1 for any other format. Factors below 1 change nothing.
void TEX_downscale(TEX_image_desc& desc, unsigned char* pixels, int factor_x, int factor_y);

// GL_RGBA only (rows of exactly width pixels): gives every fully transparent
// pixel the mean colour of the non-transparent pixels of the 5 x 5 window
// around it (clipped at the edges), its alpha staying 0, so filtering does
// not bleed dark colour in from transparent areas. Other formats are left
// alone.
void TEX_clean_edge(const TEX_image_desc& desc, unsigned char* pixels);
