// The pictures the build paints: the same bytes every time, plain 8-bit RGBA
// files without colour-space chunks, every atlas rectangle filled where the
// widgets sample it and nothing else, readable text colours, and the words
// of the picture buttons inside their columns and bands.
#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>
#include "support/atlas_probe.h"
#include "support/png_chunks.h"
#include "support/test_env.h"
#include "widgets/atlas_layout.h"

namespace {

const char* const k_files[] = {"interface.png",        "elements_English.png", "elements_French.png",
                               "elements_German.png",  "elements_Russian.png", "elements_Italian.png",
                               "elements_Spanish.png"};

std::string bundle_resources() {
  const std::string exe = DUV_APP_EXE;
  const std::string macos = exe.substr(0, exe.rfind('/'));
  return macos.substr(0, macos.rfind('/')) + "/Resources/";
}
std::string test_resources() { return probe_test_bundle() + "/Contents/Resources/"; }

std::string md5_of(const std::string& dir) {
  std::string cmd = "cd '" + dir + "' && md5sum";
  for (const char* f : k_files) cmd += std::string(" ") + f;
  int status = -1;
  const std::string out = test_capture(cmd, &status);
  return status == 0 ? out : "md5sum failed in " + dir;
}

std::string run_mkres(bool test) {
  const std::string dir = test_scratch_dir(test ? "mkres_test" : "mkres");
  const std::string cmd = std::string("'") + DUV_MKRES + "'" + (test ? " --test" : "") + " --words '" +
                          DUV_MKRES_WORDS + "' --font '" + DUV_MKRES_FONT + "' '" + dir + "'";
  EXPECT_EQ(test_run(cmd), 0) << cmd;
  return dir;
}

TEST(Pictures, TwoRunsWriteTheBundlesBytes) {
  for (const bool test : {false, true}) {
    const std::string first = md5_of(run_mkres(test)), second = md5_of(run_mkres(test));
    EXPECT_EQ(first, second) << "test " << test;
    EXPECT_EQ(first, md5_of(test ? test_resources() : bundle_resources())) << "test " << test;
  }
}

TEST(Pictures, PlainRgbaFilesWithoutColourSpaceChunks) {
  for (const std::string& dir : {bundle_resources(), test_resources()})
    for (const char* f : k_files) {
      const std::string path = dir + f;
      SCOPED_TRACE(path);
      const bool atlas = std::string(f) == "interface.png";
      EXPECT_EQ(test_capture("identify -format '%w %h %[channels]' '" + path + "'"),
                atlas ? "512 512 srgba" : "1024 128 srgba");
      const std::string data = test_read_file(path);
      ASSERT_GT(data.size(), 33u);
      EXPECT_EQ(data[24], 8);  // bit depth
      EXPECT_EQ(data[25], 6);  // RGBA
      const std::vector<std::string> chunks = png_chunk_types(data);
      ASSERT_FALSE(chunks.empty());
      EXPECT_EQ(chunks.front(), "IHDR");
      EXPECT_EQ(chunks.back(), "IEND");
      for (const char* banned : {"gAMA", "sRGB", "iCCP", "cHRM", ""})
        EXPECT_EQ(std::count(chunks.begin(), chunks.end(), banned), 0) << banned;
    }
}

// --- The atlas -------------------------------------------------------------

atlas_rect clipped(atlas_rect r) {
  r.v1 = std::min(r.v1, k_atlas_size);
  return r;
}

bool is_swatch(int u, int v) {
  for (const atlas_swatch& s : k_atlas_swatches)
    if (s.u == u && s.v == v) return true;
  return false;
}

bool in_element(int u, int v) {
  for (const atlas_element& e : k_atlas_elements)
    if (e.r.holds(u, v)) return true;
  return false;
}

class Atlas : public testing::Test {
 protected:
  static void SetUpTestSuite() { pic = new probe_picture(probe_decode(bundle_resources() + "interface.png")); }
  static void TearDownTestSuite() { delete pic; }
  void SetUp() override {
    ASSERT_TRUE(pic->ok);
    ASSERT_EQ(pic->width, k_atlas_size);
    ASSERT_EQ(pic->height, k_atlas_size);
  }
  static int alpha(int u, int v) { return pic->at(u, v)[3]; }
  static probe_picture* pic;
};
probe_picture* Atlas::pic = nullptr;

TEST_F(Atlas, EveryElementIsOpaque) {
  for (int i = 0; i < k_atlas_element_count; ++i) {
    const atlas_rect r = clipped(k_atlas_elements[i].r);
    int holes = 0;
    for (int v = r.v0; v < r.v1; ++v)
      for (int u = r.u0; u < r.u1; ++u) holes += alpha(u, v) != 255;
    EXPECT_EQ(holes, 0) << k_atlas_elements[i].name;
  }
}

// The rectangle a gutter surrounds: the element's, or for a half of a
// composed cursor the whole cursor's, whose halves are drawn as one quad.
atlas_rect gutter_inside(atlas_rect r) {
  for (size_t k = 0; k + 2 < std::size(k_cursors); ++k)
    if (k_cursors[k].id % 3 == 0 && k_cursors[k].id <= 15)
      for (const cursor_sprite& half : {k_cursors[k + 1], k_cursors[k + 2]})
        if (half.r.u0 == r.u0 && half.r.v0 == r.v0 && half.r.u1 == r.u1 && half.r.v1 == r.v1) return k_cursors[k].r;
  return r;
}

TEST_F(Atlas, GuttersAndTheWrappedRowAreTransparent) {
  for (const atlas_element& e : k_atlas_elements) {
    const atlas_rect r = clipped(gutter_inside(e.r));
    for (int v = r.v0 - 1; v <= r.v1; ++v)
      for (int u = r.u0 - 1; u <= r.u1; ++u) {
        if (r.holds(u, v) || u < 0 || v < 0 || u >= k_atlas_size || v >= k_atlas_size) continue;
        EXPECT_EQ(alpha(u, v), 0) << e.name << " gutter at " << u << "," << v;
        EXPECT_FALSE(in_element(u, v) || is_swatch(u, v)) << e.name << " touches another at " << u << "," << v;
      }
  }
  for (int u = k_bar_wrap_row.u0; u < k_bar_wrap_row.u1; ++u) EXPECT_EQ(alpha(u, 0), 0) << u;
  // Nothing is painted outside the table.
  int stray = 0;
  for (int v = 0; v < k_atlas_size; ++v)
    for (int u = 0; u < k_atlas_size; ++u) stray += alpha(u, v) && !in_element(u, v) && !is_swatch(u, v);
  EXPECT_EQ(stray, 0);
}

bool overlap(atlas_rect a, atlas_rect b) { return a.u0 < b.u1 && b.u0 < a.u1 && a.v0 < b.v1 && b.v0 < a.v1; }

TEST(AtlasLayout, ElementsDoNotOverlapAndCursorsAreMadeOfThem) {
  for (int i = 0; i < k_atlas_element_count; ++i)
    for (int j = i + 1; j < k_atlas_element_count; ++j)
      EXPECT_FALSE(overlap(k_atlas_elements[i].r, k_atlas_elements[j].r))
          << k_atlas_elements[i].name << " and " << k_atlas_elements[j].name;
  // The composed cursors are exactly the union of the two that follow them.
  for (int k = 0; k + 2 < static_cast<int>(std::size(k_cursors)); ++k) {
    if (k_cursors[k].id % 3 != 0 || k_cursors[k].id > 15) continue;
    const atlas_rect all = k_cursors[k].r, a = k_cursors[k + 1].r, b = k_cursors[k + 2].r;
    EXPECT_FALSE(overlap(a, b)) << k_cursors[k].id;
    EXPECT_EQ(a.width() * a.height() + b.width() * b.height(), all.width() * all.height()) << k_cursors[k].id;
    EXPECT_TRUE(all.holds(a.u0, a.v0) && all.holds(b.u1 - 1, b.v1 - 1)) << k_cursors[k].id;
  }
  // Every other sprite, held or not, is one element.
  const auto is_element = [](atlas_rect r) {
    return std::any_of(std::begin(k_atlas_elements), std::end(k_atlas_elements), [&](const atlas_element& e) {
      return e.r.u0 == r.u0 && e.r.v0 == r.v0 && e.r.u1 == r.u1 && e.r.v1 == r.v1;
    });
  };
  for (const cursor_sprite& c : k_cursors) {
    if (c.id % 3 == 0 && c.id <= 15) continue;
    EXPECT_TRUE(is_element(c.r)) << c.id;
    EXPECT_TRUE(is_element(c.held)) << c.id;
  }
  EXPECT_TRUE(is_element(k_cursor_other.r));
}

TEST_F(Atlas, SwatchesSitAtTheirByteOffsets) {
  const struct {
    int id, offset;
  } rows[] = {{39, 318716}, {40, 302332}, {41, 285948}, {42, 269564}, {43, 253180}, {45, 236796}, {46, 220412},
              {47, 204028}, {48, 187644}, {50, 171260}, {51, 154876}, {52, 138492}, {49, 237100}};
  ASSERT_EQ(std::size(rows), std::size(k_atlas_swatches));
  std::vector<uint32_t> colours;
  for (size_t i = 0; i < std::size(rows); ++i) {
    EXPECT_EQ(k_atlas_swatches[i].colour_id, rows[i].id);
    EXPECT_EQ(k_atlas_swatches[i].byte_offset(), rows[i].offset) << rows[i].id;
    const uint8_t* p = &pic->rgba[rows[i].offset];
    EXPECT_EQ(p[3], 255) << rows[i].id;
    colours.push_back(p[0] << 16 | p[1] << 8 | p[2]);
  }
  std::sort(colours.begin(), colours.end());
  EXPECT_EQ(std::unique(colours.begin(), colours.end()), colours.end()) << "two swatches share a colour";
}

// WCAG's relative luminance of an sRGB colour and the contrast of two.
double luminance(const uint8_t* p) {
  double sum = 0;
  const double weight[3] = {0.2126, 0.7152, 0.0722};
  for (int k = 0; k < 3; ++k) {
    const double c = p[k] / 255.0;
    sum += weight[k] * (c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
  }
  return sum;
}
double contrast(const uint8_t* a, const uint8_t* b) {
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

const uint8_t* centre(const probe_picture& p, atlas_rect r) { return p.at((r.u0 + r.u1) / 2, (r.v0 + r.v1) / 2); }

TEST_F(Atlas, TextColoursAreReadableOnEveryPanelAndBar) {
  const probe_picture screen = probe_decode(bundle_resources() + "elements_English.png");
  ASSERT_TRUE(screen.ok);
  std::vector<std::pair<std::string, const uint8_t*>> grounds;
  for (const panel_style& p : k_panel_styles)
    if (p.style <= 20) grounds.emplace_back("panel " + std::to_string(p.style), centre(*pic, p.rect()));
  grounds.emplace_back("panel 23", centre(screen, k_panel_styles[9].rect()));
  for (const bar_style& b : k_bar_styles)
    if (b.style == 2 || b.style == 3 || b.style == 9 || b.style == 10)
      grounds.emplace_back("bar " + std::to_string(b.style), centre(*pic, b.r));
  for (const atlas_swatch& s : k_atlas_swatches) {
    if (s.colour_id < 43 || s.colour_id == 44) continue;
    for (const auto& [name, ground] : grounds)
      EXPECT_GE(contrast(pic->at(s.u, s.v), ground), 4.5) << "colour " << s.colour_id << " on " << name;
  }
  // The window behind alerts stands apart from the window background.
  EXPECT_GE(contrast(pic->at(k_atlas_swatches[0].u, k_atlas_swatches[0].v), centre(*pic, k_panel_styles[0].rect())),
            1.5);
}

// The mean colour of a rectangle.
std::vector<double> mean_colour(const probe_picture& p, atlas_rect r) {
  std::vector<double> sum(3, 0.0);
  for (int v = r.v0; v < r.v1; ++v)
    for (int u = r.u0; u < r.u1; ++u)
      for (int k = 0; k < 3; ++k) sum[k] += p.at(u, v)[k];
  for (double& c : sum) c /= r.width() * r.height();
  return sum;
}

TEST_F(Atlas, PressedAndLitLooksStandApart) {
  const struct {
    atlas_rect idle, other;
    const char* what;
  } pairs[] = {{k_close_box, k_close_box_down, "close box"},
               {k_bar_styles[2].r, k_bar_styles[3].r, "push button"},
               {k_check_box, k_check_mark, "check box"},
               {k_radio_box, k_radio_mark, "radio button"},
               {k_tab_off, k_tab_on, "tab"}};
  for (const auto& p : pairs) {
    const std::vector<double> a = mean_colour(*pic, p.idle), b = mean_colour(*pic, p.other);
    double distance = 0;
    for (int k = 0; k < 3; ++k) distance += std::fabs(a[k] - b[k]);
    EXPECT_GE(distance, 10.0) << p.what;
  }
}

// A run of columns (or rows) of a rectangle that must all be the same.
void expect_uniform(const probe_picture& p, atlas_rect r, int from, int to, bool columns, const std::string& what) {
  for (int k = from + 1; k < to; ++k)
    for (int along = columns ? r.v0 : r.u0; along < (columns ? std::min(r.v1, p.height) : r.u1); ++along) {
      const uint8_t* a = columns ? p.at(from, along) : p.at(along, from);
      const uint8_t* b = columns ? p.at(k, along) : p.at(along, k);
      ASSERT_TRUE(std::equal(a, a + 4, b)) << what << (columns ? " column " : " row ") << k;
    }
}

TEST_F(Atlas, StretchedTilesAreUniformAlongTheStretch) {
  const probe_picture screen = probe_decode(bundle_resources() + "elements_English.png");
  ASSERT_TRUE(screen.ok);
  for (const bar_style& b : k_bar_styles)
    expect_uniform(b.style >= 11 ? screen : *pic, b.r, b.r.u0 + b.cap, b.r.u0 + b.tile_end, true,
                   "bar " + std::to_string(b.style));
  expect_uniform(*pic, k_vbar, k_vbar.v0 + k_vbar_cap, k_vbar.v1 - k_vbar_cap, false, "vertical bar");
  // A fractional cap ends inside a texel that both the cap and the tile
  // show, so that texel belongs to the uniform run too.
  for (const panel_style& s : k_panel_styles) {
    const probe_picture& p = s.style == 23 ? screen : *pic;
    const std::string name = "panel " + std::to_string(s.style);
    expect_uniform(p, s.rect(), static_cast<int>(std::floor(s.p + s.cx)),
                   static_cast<int>(std::ceil(s.p + s.side - s.cx)), true, name);
    expect_uniform(p, s.rect(), static_cast<int>(std::floor(s.q + s.cy_bottom)),
                   static_cast<int>(std::ceil(s.q + s.side - s.cy_top)), false, name);
  }
}

// --- The screen textures ---------------------------------------------------

class ScreenTexture : public testing::TestWithParam<int> {};

TEST_P(ScreenTexture, WordsInTheirColumnsBarsAndPanelOpaqueNothingElse) {
  const int lang = GetParam();
  const probe_picture p = probe_decode(bundle_resources() + "elements_" + k_language_names[lang] + ".png");
  ASSERT_TRUE(p.ok);
  ASSERT_EQ(p.width, k_screen_tex_w);
  ASSERT_EQ(p.height, k_screen_tex_h);
  std::vector<atlas_rect> solid;
  for (const bar_style& b : k_bar_styles)
    if (b.style >= 11) solid.push_back(b.r);
  solid.push_back(k_panel_styles[9].rect());
  for (const atlas_rect& r : solid)
    for (int v = r.v0; v < r.v1; ++v)
      for (int u = r.u0; u < r.u1; ++u) ASSERT_EQ(p.at(u, v)[3], 255) << u << "," << v;
  // Each word's ink lies in its column with two texels free on each side.
  std::vector<atlas_rect> words;
  for (int pic = 0; pic < 5; ++pic)
    for (int band = 0; band < k_band_count; ++band) {
      const atlas_rect cell = picture_rect(pic, lang, band);
      words.push_back(cell);
      int u0 = 9999, u1 = -1, v0 = 9999, v1 = -1;
      for (int v = cell.v0; v < cell.v1; ++v)
        for (int u = cell.u0; u < cell.u1; ++u)
          if (p.at(u, v)[3]) u0 = std::min(u0, u), u1 = std::max(u1, u), v0 = std::min(v0, v), v1 = std::max(v1, v);
      SCOPED_TRACE(testing::Message() << "picture " << pic << " band " << band);
      ASSERT_GE(u1, 0) << "no ink";
      EXPECT_GE(u0, cell.u0 + 2);
      EXPECT_LE(u1, cell.u1 - 3);
      EXPECT_GT(u1 - u0, cell.width() / 3) << "the word is far too small";
      EXPECT_GE(v1 - v0, 7) << "the word is below 9 px";
    }
  // Pictures 5 and 6 and everything between stay transparent.
  int stray = 0;
  for (int v = 0; v < p.height; ++v)
    for (int u = 0; u < p.width; ++u) {
      const auto holds = [&](const atlas_rect& r) { return r.holds(u, v); };
      if (p.at(u, v)[3] && std::none_of(solid.begin(), solid.end(), holds) &&
          std::none_of(words.begin(), words.end(), holds))
        ++stray;
    }
  EXPECT_EQ(stray, 0);
}

INSTANTIATE_TEST_SUITE_P(Languages, ScreenTexture, testing::Range(0, k_language_count),
                         [](const testing::TestParamInfo<int>& info) { return k_language_names[info.param]; });

// --- The coordinate-coded test bundle --------------------------------------

TEST(TestBundle, CodedTexelsNameThemselves) {
  const probe_picture atlas = probe_decode(test_resources() + "interface.png");
  ASSERT_TRUE(atlas.ok);
  for (int i = 0; i < k_atlas_element_count; ++i) {
    const atlas_rect r = clipped(k_atlas_elements[i].r);
    for (const auto& [u, v] : {std::pair{r.u0, r.v0}, std::pair{r.u1 - 1, r.v1 - 1}, std::pair{r.u1 - 1, r.v0},
                               std::pair{(r.u0 + r.u1) / 2, (r.v0 + r.v1) / 2}}) {
      const uint8_t* px = atlas.at(u, v);
      EXPECT_EQ(px[3], 255);
      EXPECT_EQ(probe_atlas_colour(px[0], px[1], px[2]), (probe_texel{u, v, i})) << k_atlas_elements[i].name;
    }
  }
  // Outside the elements only the swatches are painted, in their colours.
  int stray = 0;
  for (int v = 0; v < k_atlas_size; ++v)
    for (int u = 0; u < k_atlas_size; ++u) stray += atlas.at(u, v)[3] && !in_element(u, v) && !is_swatch(u, v);
  EXPECT_EQ(stray, 0);
  const probe_picture art = probe_decode(bundle_resources() + "interface.png");
  for (const atlas_swatch& s : k_atlas_swatches)
    EXPECT_TRUE(std::equal(art.at(s.u, s.v), art.at(s.u, s.v) + 4, atlas.at(s.u, s.v))) << s.colour_id;

  for (int lang = 0; lang < k_language_count; ++lang) {
    const probe_picture screen = probe_decode(test_resources() + "elements_" + k_language_names[lang] + ".png");
    ASSERT_TRUE(screen.ok);
    const struct {
      atlas_rect r;
      int element;
    } cells[] = {{picture_rect(0, lang, band_idle), screen_picture_element(0, band_idle)},
                 {picture_rect(6, lang, band_pressed), screen_picture_element(6, band_pressed)},
                 {k_bar_styles[11].r, k_screen_bar_element + 1},
                 {k_panel_styles[9].rect(), k_screen_panel_element}};
    for (const auto& c : cells)
      for (const auto& [u, v] : {std::pair{c.r.u0, c.r.v0}, std::pair{c.r.u1 - 1, c.r.v1 - 1}}) {
        const uint8_t* px = screen.at(u, v);
        EXPECT_EQ(probe_screen_colour(px[0], px[1], px[2], lang), (probe_texel{u, v, c.element}))
            << k_language_names[lang];
      }
  }
}

}  // namespace
