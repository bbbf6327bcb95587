// Writing PNG files: round trips through the decoder, ImageMagick's view of
// the row order, the scratch-image writer, and failures that leave no file.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <csignal>
#include <unistd.h>
#include <cstring>
#include <random>
#include "core/scratch.h"
#include "support/test_env.h"
#include "tex/TEX_png.h"
#include "tex/tex_support.h"

namespace {

std::vector<unsigned char> random_bytes(size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  std::vector<unsigned char> out(n);
  for (auto& b : out) b = static_cast<unsigned char>(gen());
  return out;
}

TEST(PngWrite, EachFormatWithPadRoundTripsRowForRow) {
  const std::string dir = test_scratch_dir("png");
  struct fmt {
    unsigned long format;
    int bpp;
  };
  for (const fmt f : {fmt{GL_RGB, 3}, fmt{GL_RGBA, 4}, fmt{GL_ALPHA, 1}}) {
    SCOPED_TRACE(f.format);
    TEX_image_desc desc;
    desc.format = static_cast<uint32_t>(f.format);
    desc.width = 7;
    desc.height = 5;
    desc.pad = 2 * f.bpp;
    const size_t stride = static_cast<size_t>(f.bpp * 7 + desc.pad);
    const std::vector<unsigned char> pixels = random_bytes(stride * 5, static_cast<unsigned>(f.format));
    const std::string path = dir + std::to_string(f.format) + ".png";
    ASSERT_EQ(TEX_save_png(path, desc, pixels.data()), 1);
    const decoded_png back = decode_png(path, f.format, 9);
    ASSERT_EQ(back.ok, 1);
    EXPECT_EQ(back.desc.pad, desc.pad);
    ASSERT_EQ(back.bytes.size(), pixels.size());
    for (size_t row = 0; row < 5; ++row)
      EXPECT_EQ(0, memcmp(&back.bytes[row * stride], &pixels[row * stride], static_cast<size_t>(f.bpp * 7)))
          << "row " << row;
  }
}

TEST(PngWrite, ImageMagickSeesTheLastBufferRowOnTop) {
  const std::string dir = test_scratch_dir("png");
  TEX_image_desc desc;
  desc.format = GL_RGB;
  desc.width = 4;
  desc.height = 3;
  const std::vector<unsigned char> pixels = random_bytes(36, 3);
  ASSERT_EQ(TEX_save_png(dir + "saved.png", desc, pixels.data()), 1);
  ASSERT_TRUE(test_write_file(dir + "rows.rgb", std::string(pixels.begin(), pixels.end())));
  ASSERT_EQ(test_run("convert -size 4x3 -depth 8 rgb:'" + dir + "rows.rgb' -flip '" + dir + "flipped.png'"), 0);
  EXPECT_EQ(test_capture("compare -metric AE '" + dir + "saved.png' '" + dir + "flipped.png' null: 2>&1"), "0");
}

TEST(PngWrite, TheScratchImageIsSavedAsRgbaForFourChannelsElseRgb) {
  const std::string dir = test_scratch_dir("png");
  const std::vector<unsigned char> pixels = random_bytes(5 * 4 * 4, 8);
  memcpy(scratch_array, pixels.data(), pixels.size());
  for (int channels : {4, 3}) {
    SCOPED_TRACE(channels);
    const std::string path = dir + std::to_string(channels) + ".png";
    ASSERT_EQ(write_png_to_disk(path, 5, 4, channels), 1);
    EXPECT_EQ(test_read_file(path)[25], channels == 4 ? 6 : 2);  // the colour type
    const decoded_png back = decode_png(path, channels == 4 ? GL_RGBA : GL_RGB);
    ASSERT_EQ(back.ok, 1);
    EXPECT_EQ(0, memcmp(back.bytes.data(), pixels.data(), static_cast<size_t>(5 * 4 * channels)));
  }
  EXPECT_EQ(write_png_to_disk(dir + "huge.png", 4096, 4096, 4), 0);  // more than the scratch holds
  EXPECT_FALSE(test_read_file(dir + "huge.png").size());
}

TEST(PngWrite, AnUncreatablePathGivesNothing) {
  const std::string dir = test_scratch_dir("png");
  const unsigned char pixels[3] = {1, 2, 3};
  TEX_image_desc desc;
  desc.format = GL_RGB;
  desc.width = desc.height = 1;
  EXPECT_EQ(TEX_save_png(dir + "no/such/folder/x.png", desc, pixels), 0);
  EXPECT_NE(access((dir + "no").c_str(), F_OK), 0);
}

TEST(PngWrite, AFailingCloseIsAFailure) {
  // The few bytes sit in the stream's buffer until the close, which the full
  // device refuses; a device is never removed.
  const unsigned char pixels[3] = {1, 2, 3};
  TEX_image_desc desc;
  desc.format = GL_RGB;
  desc.width = desc.height = 1;
  EXPECT_EQ(TEX_save_png("/dev/full", desc, pixels), 0);
  EXPECT_EQ(access("/dev/full", F_OK), 0);
}

// Exits 0 when the save failed and left no file.
void save_beyond_the_file_size_limit(const std::string& path) {
  log_scripted_to_stderr();
  // Random pixels do not compress: the file outgrows the limit.
  const std::vector<unsigned char> pixels = random_bytes(128 * 128 * 4, 5);
  TEX_image_desc desc;
  desc.format = GL_RGBA;
  desc.width = desc.height = 128;
  signal(SIGXFSZ, SIG_IGN);
  const rlimit limit = {16384, 16384};
  setrlimit(RLIMIT_FSIZE, &limit);
  const int ok = TEX_save_png(path, desc, pixels.data());
  _exit(ok == 0 && access(path.c_str(), F_OK) != 0 ? 0 : 2);
}

TEST(PngWriteDeathTest, AWriteCutShortRemovesThePartialFile) {
  const std::string path = test_scratch_dir("png") + "cut.png";
  EXPECT_EXIT(save_beyond_the_file_size_limit(path), testing::ExitedWithCode(0),
              "PNG error!\n[^\n]*Write Error\n[^\n]*cut.png\n");
}

}  // namespace
