// Helpers of the image tests: the PNG fixtures, decoding a file into a
// plain vector, ImageMagick's reading of a file, and the colour table at
// the 2.2 display gamma.
#pragma once
#include <string>
#include <vector>
#include "tex/TEX_png.h"

// The folder (ending in '/') of the files a fixture script in
// tests/fixtures makes, made once per build and version of the script under
// the given stem; "" when the script failed.
std::string script_fixtures(const std::string& script_name, const std::string& stem);
// The folders of make_png_fixtures.sh's and make_bmp_fixtures.sh's files.
std::string png_fixtures();
std::string bmp_fixtures();

struct decoded_png {
  int ok = 0;
  TEX_image_desc desc;
  std::vector<unsigned char> bytes;  // the whole buffer, every allocated row
};
// TEX_load_png on the mapped file with a buffer allocated by the decoder.
decoded_png decode_png(const std::string& path, unsigned long format, int pad_to_width = 0, int power_of_two = 0,
                       png_alpha_mode mode = png_alpha_as_asked, int gamma = 1);

// The whole buffer a decoder filled for desc: every allocated row, rounded
// up to a power of two when it padded to one.
std::vector<unsigned char> decoded_bytes(const unsigned char* buffer, const TEX_image_desc& desc, int power_of_two);

// Caps the address space of the process at what it maps now plus
// extra_bytes (the test program's OpenGL context alone maps several
// hundred megabytes), for a death test's child to run out of memory.
void cap_address_space(long extra_bytes);

// ImageMagick's 8-bit RGBA pixels of a file ("convert f -depth 8 rgba:-"),
// rows turned bottom-up like the decoder's.
std::vector<unsigned char> magick_rgba_bottom_up(const std::string& path, int width, int height);

// Rows of row_bytes in reverse order.
std::vector<unsigned char> flip_rows(const std::vector<unsigned char>& data, size_t row_bytes);

// Sets the colour table to 1.8 over 2.2 for its lifetime, then back to 1.8
// over 1.8.
struct display_gamma_22 {
  display_gamma_22();
  ~display_gamma_22();
};

// For death tests: the child logs to standard error and runs scripted, so
// alerts only log and fatal ones exit with status 1.
void log_scripted_to_stderr();
