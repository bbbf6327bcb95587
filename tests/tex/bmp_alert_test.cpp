// The BMP unit's alerts on bitmaps it does not read and on a format it cannot
// give, in scripted runs where a quit alert logs and ends the program
// with status 1.
#include <gtest/gtest.h>
#include "core/utl_mem.h"
#include "files/xmap.h"
#include "tex/TEX_bmp.h"
#include "tex/tex_support.h"

namespace {

void decode_scripted(const std::string& name, unsigned long format) {
  log_scripted_to_stderr();
  const std::string path = bmp_fixtures() + name;
  xmap_class file(path, 0, 0);
  unsigned char* buffer = nullptr;
  TEX_image_desc desc;
  TEX_load_bmp(path, &file, buffer, format, 0, 0, desc);
  xfree(buffer);
}

TEST(BmpAlertDeathTest, DepthCompressionAndFormatEachEndTheProgram) {
  const std::string dir = bmp_fixtures();
  const struct {
    const char* name;
    unsigned long format;
    const char* log;
  } cases[] = {
      {"palette.bmp", GL_RGB,
       "Wrong bitmap color depth for texture!\nWe need 24-bit color.\n\n[^\n]*palette.bmp\n\\(RUvozuz/TEX/TEX_bmp "
       "line [0-9]+\\)"},
      {"rle.bmp", GL_RGBA, "Bitmap is compressed!\n\n\n[^\n]*rle.bmp\n\\(RUvozuz/TEX/TEX_bmp line [0-9]+\\)"},
      {"small.bmp", GL_BGRA, "Illegal desired format for bmp.\n[^\n]*small.bmp\n\n\n\\(RUvozuz/TEX/TEX_bmp line"},
  };
  for (const auto& c : cases)
    EXPECT_EXIT(decode_scripted(c.name, c.format), testing::ExitedWithCode(1), c.log) << c.name;
}

}  // namespace
