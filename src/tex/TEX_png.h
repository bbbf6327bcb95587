// PNG files: decoding a mapped file into a bottom-up image buffer, and
// writing a buffer back as a file. Any thread; the only shared input is the
// colour table's gamma, and write_png_to_disk reads the scratch image.
#pragma once
#include <string>
#include "tex/TEX_image.h"

class xmap_class;

// How the decoded format follows the requested one. A file "has alpha" when
// its colour type carries an alpha channel or it has a tRNS chunk.
enum png_alpha_mode {
  png_alpha_as_asked = 0,     // always the requested format
  png_alpha_follow_file = 1,  // GL_RGB asked of a file with alpha gives GL_RGBA, GL_RGBA without gives GL_RGB
  png_alpha_from_file = 2,    // GL_RGBA with alpha; else GL_RGB for colour files, GL_ALPHA for grey ones
};

// Decodes the PNG file at the cursor of file into buffer (allocated with
// xmalloc when null; the caller owns it) as GL_RGB, GL_RGBA or GL_ALPHA, rows
// bottom-up, and fills desc. Each row is padded to pad_to_width pixels when
// that is non-zero, or to the next power of two when power_of_two is set,
// which also rounds the row count up to a power of two and zero-fills the
// buffer when it pads at all. gamma non-zero corrects by the colour table's
// gamma. path serves the messages only; the cursor ends after the last byte
// read. Returns 1 on success; 0 when the file is not mapped or is shorter
// than 8 bytes, and 0 with one logged line when pad_to_width is below the
// width, the buffer would not fit an int of bytes, or memory runs out.
// A malformed file raises a crash alert.
int TEX_load_png(const std::string& path, xmap_class* file, unsigned char*& buffer, unsigned long format,
                 int pad_to_width, int power_of_two, png_alpha_mode mode, int gamma, TEX_image_desc& desc);

// Writes a GL_RGB, GL_RGBA or GL_ALPHA buffer (bottom-up rows of desc's pad)
// as a PNG file with its top row first and a gAMA chunk of the display's
// gamma. Returns 1 when the whole file was written and closed; 0 otherwise,
// removing whatever part of it was written. Another format raises a crash
// alert.
int TEX_save_png(const std::string& path, const TEX_image_desc& desc, const unsigned char* pixels);

// Saves the scratch image (width x height, rows bottom-up, no pad) as RGBA
// when channels is 4, else as RGB. Returns what TEX_save_png returns; 0 with
// a logged line when the image would not fit in the scratch buffer.
int write_png_to_disk(const std::string& path, int width, int height, int channels);
