// The pictures painted from the relief raster and the gradients: map.png's
// three bands, background.png and intro.png, where the build puts them, and
// how the world map and the wizard's background reach the screen.
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>
#include "ogl/drawing_fixture.h"
#include "platform/plat_folders.h"
#include "support/png_chunks.h"
#include "support/test_env.h"
#include "tex/TEX_bind.h"
#include "tex/tman.h"

namespace {

const std::string k_bundle = DUV_BINARY_DIR "/Duvizo Installer.app";
const std::string k_resources = k_bundle + "/Contents/Resources/";
const std::string k_test_bundle = DUV_TEST_BUNDLE;
const std::string k_intro = DUV_BINARY_DIR "/Resources/bitmaps/intro.png";

// The map's geometry: 36 x 18 cells of 14 texels; each band's top file row.
constexpr int k_cell = 14;
constexpr int k_band_w = 504, k_band_h = 252;
constexpr int k_plain_top = 772, k_available_top = 520, k_wanted_top = 268;

// ImageMagick's 8-bit RGBA pixels of a PNG, top row first.
std::vector<uint8_t> magick_rgba(const std::string& path) {
  const std::string raw = test_scratch_dir("rgba") + "pixels.rgba";
  if (test_run("convert '" + path + "' -depth 8 rgba:'" + raw + "'") != 0) return {};
  const std::string bytes = test_read_file(raw);
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

struct texel {
  int r, g, b, a;
};

struct map_file {
  std::vector<uint8_t> px = magick_rgba(k_resources + "map.png");
  texel at(int x, int row) const {
    const uint8_t* p = &px[((size_t)row * 512 + x) * 4];
    return {p[0], p[1], p[2], p[3]};
  }
  // The mean colour of cell (column i, row j counted from the south) of the
  // band whose top file row is top.
  texel cell_mean(int top, int i, int j) const {
    long sum[3] = {0, 0, 0};
    const int row0 = top + (17 - j) * k_cell;
    for (int y = row0; y < row0 + k_cell; ++y)
      for (int x = i * k_cell; x < (i + 1) * k_cell; ++x) {
        const texel t = at(x, y);
        sum[0] += t.r, sum[1] += t.g, sum[2] += t.b;
      }
    const int n = k_cell * k_cell;
    return {int(sum[0] / n), int(sum[1] / n), int(sum[2] / n), 255};
  }
};

bool is_ocean(texel mean) { return mean.b - mean.r > 40; }

}  // namespace

// Two runs into fresh folders write the same bytes, and so did the build.
TEST(GeneratedPictures, TheSameBytesEveryRun) {
  std::string runs[2];
  for (std::string& dir : runs) {
    dir = test_scratch_dir("mkres");
    ASSERT_EQ(test_run("mkdir -p '" + dir + "bitmaps' && '" DUV_MKRES "' --words '" DUV_MKRES_WORDS "' --font '" DUV_MKRES_FONT
                       "' --relief '" DUV_MKRES_RELIEF "' --bitmaps '" + dir + "bitmaps' '" + dir + "'"),
              0);
  }
  const struct {
    const char* name;
    std::string built;
  } rows[] = {
      {"map.png", k_resources + "map.png"},
      {"background.png", k_resources + "background.png"},
      {"bitmaps/intro.png", k_intro},
  };
  for (const auto& row : rows) {
    const std::string first = test_md5sum(runs[0] + row.name);
    ASSERT_EQ(first.size(), 32u) << row.name;
    EXPECT_EQ(test_md5sum(runs[1] + row.name), first) << row.name;
    EXPECT_EQ(test_md5sum(row.built), first) << row.name;
  }
}

// No relief raster, no map: the run fails and names the package to install.
TEST(GeneratedPictures, AMissingRasterNamesItsPackage) {
  const std::string dir = test_scratch_dir("mkres");
  int status = -1;
  const std::string said = test_capture("'" DUV_MKRES "' --words '" DUV_MKRES_WORDS "' --font '" DUV_MKRES_FONT
                                        "' --relief '" + dir + "none.png' '" + dir + "' 2>&1",
                                        &status);
  EXPECT_NE(status, 0);
  EXPECT_NE(said.find("python-cartopy-data"), std::string::npos) << said;
  EXPECT_EQ(test_run("test -e '" + dir + "map.png'"), 1);
}

// 8-bit pictures of the sizes the program expects, with no colour-space
// chunk to shift their colours on the way to the screen.
TEST(GeneratedPictures, SizesChannelsAndNoColourSpace) {
  const struct {
    std::string path;
    const char* want;
  } rows[] = {
      {k_resources + "map.png", "512 1024 srgba"},
      {k_resources + "background.png", "1024 1024 srgb"},
      {k_intro, "2048 2048 srgba"},
      {k_test_bundle + "/Contents/Resources/map.png", "512 1024 srgba"},
      {k_test_bundle + "/Contents/Resources/background.png", "1024 1024 srgb"},
      {k_test_bundle + "/Resources/bitmaps/intro.png", "2048 2048 srgba"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    EXPECT_EQ(test_capture("identify -format '%w %h %[channels]' '" + row.path + "' 2>&1"), row.want);
    const std::vector<std::string> chunks = png_chunk_types(test_read_file(row.path));
    for (const char* banned : {"gAMA", "sRGB", "iCCP", "cHRM", ""})
      EXPECT_EQ(std::count(chunks.begin(), chunks.end(), banned), 0) << banned;
  }
}

// The bundle holds exactly the pictures, the fonts with their licence and the
// translation files; the start-up picture sits beside the bundle, where the
// program looks for its bitmaps.
TEST(GeneratedPictures, BundleLayout) {
  std::string listing = test_capture("ls -A '" + k_resources + "'");
  std::vector<std::string> names;
  for (size_t at = 0, nl; (nl = listing.find('\n', at)) != std::string::npos; at = nl + 1)
    names.push_back(listing.substr(at, nl - at));
  std::vector<std::string> want = {
      "interface.png",       "elements_English.png", "elements_French.png", "elements_German.png",
      "elements_Russian.png", "elements_Italian.png", "elements_Spanish.png", "map.png",
      "background.png",      "DejaVuSans.ttf",       "DejaVuSansBold.ttf",  "DejaVuFonts-LICENSE.txt",
      "French.txt",          "German.txt",           "Russian.txt",         "Italian.txt",
      "Spanish.txt"};
  std::sort(names.begin(), names.end());
  std::sort(want.begin(), want.end());
  EXPECT_EQ(names, want);
  EXPECT_EQ(test_run("test -f '" + k_intro + "'"), 0);
  EXPECT_EQ(test_run("test -e '" + k_resources + "intro.png'"), 1);
}

TEST(WorldMap, TheBandsAreOpaqueAndNothingElseIs) {
  const map_file map;
  ASSERT_EQ(map.px.size(), 512u * 1024 * 4);
  int wrong = 0;
  for (int row = 0; row < 1024; ++row)
    for (int x = 0; x < 512; ++x) {
      const bool in_band = x < k_band_w && row >= k_wanted_top;
      const int a = map.at(x, row).a;
      if (a != (in_band ? 255 : 0) && ++wrong <= 5) ADD_FAILURE() << "texel " << x << ", file row " << row << ": alpha " << a;
    }
  EXPECT_EQ(wrong, 0);
}

// North is at each band's top and the west at its left: a land cell and its
// mirror across the equator or the meridian catch a flip and a mirror alike.
TEST(WorldMap, LandAndOceanWhereTheyBelong) {
  const map_file map;
  ASSERT_EQ(map.px.size(), 512u * 1024 * 4);
  const struct {
    int column, row;
    bool ocean;
    const char* place;
  } cells[] = {
      {19, 13, false, "central Europe"},
      {31, 6, false, "central Australia"},
      {19, 4, true, "the South Atlantic, Europe's mirror across the equator"},
      {4, 6, true, "the South Pacific, Australia's mirror across the meridian"},
  };
  for (const auto& c : cells) {
    const texel m = map.cell_mean(k_plain_top, c.column, c.row);
    EXPECT_EQ(is_ocean(m), c.ocean) << c.place << ": mean " << m.r << ", " << m.g << ", " << m.b;
  }
}

// A wanted cell must look different from an available one wherever it lies,
// the poles' ice and the open ocean included.
TEST(WorldMap, EveryCellDiffersBetweenAvailableAndWanted) {
  const map_file map;
  ASSERT_EQ(map.px.size(), 512u * 1024 * 4);
  for (int i = 0; i < 36; ++i)
    for (int j = 0; j < 18; ++j) {
      const texel a = map.cell_mean(k_available_top, i, j), w = map.cell_mean(k_wanted_top, i, j);
      EXPECT_GT(std::abs(a.r - w.r) + std::abs(a.g - w.g) + std::abs(a.b - w.b), 30) << "cell " << i << ", " << j;
    }
}

namespace {

// The real or the test bundle as "RESOURCE:", with textures 363 and 364
// loaded from it as start-up loads them.
class OnScreen : public Drawing {
 protected:
  std::string old_bundle = PLAT_bundle_path();
  void load_from(const std::string& bundle) {
    PLAT_set_bundle_path(bundle);
    TEX_reset_bind();
    ASSERT_EQ(tman.load_texture_idx(tex_fail_silent, 363, 0x48242, tex_load_now, "RESOURCE:map.png"), 363);
    ASSERT_EQ(tman.load_texture_idx(tex_fail_silent, 364, 0x48241, tex_load_now, "RESOURCE:background.png"), 364);
  }
  void TearDown() override {
    tman.unload_texture(363);
    tman.unload_texture(364);
    PLAT_set_bundle_path(old_bundle);
    Drawing::TearDown();
  }
};

}  // namespace

// The plain map is one quad from (248, 150) to (752, 402) over the band's
// texture coordinates; every pixel shows its texel, south at the bottom.
TEST_F(OnScreen, ThePlainMapShowsTheBandUpright) {
  load_from(k_bundle);
  const map_file map;
  ASSERT_EQ(map.px.size(), 512u * 1024 * 4);
  const float u = 504.0f / 512, v = 252.0f / 1024;
  OGL_2dquad(363, white, 1, 248, 150, 0, 0, 248, 402, 0, v, 752, 402, u, v, 752, 150, u, 0, 1, al_blend, 0);
  glFinish();
  const std::vector<uint8_t> px = gl_read_back(248, 150, k_band_w, k_band_h);
  int wrong = 0;
  for (int y = 0; y < k_band_h; ++y)
    for (int x = 0; x < k_band_w; ++x) {
      const texel want = map.at(x, 1023 - y);
      const uint8_t* p = &px[((size_t)y * k_band_w + x) * 4];
      if ((p[0] != want.r || p[1] != want.g || p[2] != want.b) && ++wrong <= 5)
        ADD_FAILURE() << "screen " << 248 + x << ", " << 150 + y << ": " << int(p[0]) << " " << int(p[1]) << " "
                      << int(p[2]) << ", file " << want.r << " " << want.g << " " << want.b;
    }
  EXPECT_EQ(wrong, 0);
}

// The background covers the 800x600 window one texel per pixel from the
// texture's lower-left corner: screen pixel (x, y) shows the coordinate-coded
// texel (x, y), so file row 1023 is screen row 0.
TEST_F(OnScreen, TheBackgroundStartsAtTheBottomLeft) {
  load_from(k_test_bundle);
  const float s = 800.0f / 1024, t = 600.0f / 1024;
  OGL_2dquad(364, white, 1, 0, 0, 0, 0, 0, 600, 0, t, 800, 600, s, t, 800, 0, s, 0, 1, al_none, 0);
  glFinish();
  const std::vector<uint8_t> px = gl_read_back(0, 0, 800, 600);
  int wrong = 0;
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) {
      const uint8_t* p = &px[((size_t)y * 800 + x) * 4];
      const int want[3] = {x & 255, y & 255, (x >> 8) + 8 * (y >> 8)};
      if ((p[0] != want[0] || p[1] != want[1] || p[2] != want[2]) && ++wrong <= 5)
        ADD_FAILURE() << "screen " << x << ", " << y << ": " << int(p[0]) << " " << int(p[1]) << " " << int(p[2]);
    }
  EXPECT_EQ(wrong, 0);
}
