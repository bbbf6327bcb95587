// The PNG unit's alerts on malformed files and misuse, in scripted runs
// where they log and a fatal one ends the program with status 1.
#include <gtest/gtest.h>
#include "support/test_env.h"
#include "tex/TEX_png.h"
#include "tex/tex_support.h"

namespace {

void decode_scripted(const std::string& name, unsigned long format) {
  log_scripted_to_stderr();
  decode_png(png_fixtures() + name, format);
}

TEST(PngAlertDeathTest, DataCutInsideTheImageOverrunsTheBufferAndEndsTheProgram) {
  const std::string dir = png_fixtures();
  EXPECT_EXIT(decode_scripted("truncated.png", GL_RGB), testing::ExitedWithCode(1),
              "PNG error!\nPNG Read Error, overran end of buffer!\n[^\n]*truncated.png\n\n\\(RUvozuz/TEX/TEX_png "
              "line [0-9]+\\)\n(.|\n)*PING-FILE ERROR!\nsetjmp\\(png_ptr->jmpbuf\n[^\n]*truncated.png\n");
}

TEST(PngAlertDeathTest, ACorruptDeflateStreamCarriesLibpngsOwnMessage) {
  const std::string dir = png_fixtures();
  EXPECT_EXIT(decode_scripted("badzlib.png", GL_RGB), testing::ExitedWithCode(1),
              "PNG error!\n[^\n]*invalid block type\n[^\n]*badzlib.png\n(.|\n)*PING-FILE ERROR!\n"
              "setjmp\\(png_ptr->jmpbuf\n");
}

TEST(PngAlertDeathTest, ABadSignatureIsFatal) {
  const std::string dir = png_fixtures();
  EXPECT_EXIT(decode_scripted("badsig.png", GL_RGB), testing::ExitedWithCode(1),
              "PING-FILE ERROR!\nis_png=!png_sig_cmp\\(png_io_buf,0,8\\)\n[^\n]*badsig.png\n");
}

TEST(PngAlertDeathTest, AFormatOtherThanRgbRgbaOrAlphaIsFatal) {
  const std::string dir = png_fixtures();
  EXPECT_EXIT(decode_scripted("rgb8.png", GL_BGRA), testing::ExitedWithCode(1), "Illegal bits per pixel\n");
}

void write_bgr_scripted(const std::string& path) {
  log_scripted_to_stderr();
  const unsigned char pixels[3] = {1, 2, 3};
  TEX_image_desc desc;
  desc.format = GL_BGR;
  desc.width = desc.height = 1;
  TEX_save_png(path, desc, pixels);
}

TEST(PngAlertDeathTest, WritingAnotherFormatIsFatal) {
  const std::string path = test_scratch_dir("png") + "bgr.png";
  EXPECT_EXIT(write_bgr_scripted(path), testing::ExitedWithCode(1),
              "Illegal pixel format for png-write.\n[^\n]*bgr.png\n");
}

}  // namespace
