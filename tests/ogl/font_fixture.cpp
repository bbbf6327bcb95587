// The text tests' window and their independent FreeType rendering.
#include "ogl/font_fixture.h"
#include <sys/stat.h>
#include <cmath>
#include "tex/TEX_bind.h"

namespace {

bool exists(const std::string& p) {
  struct stat st;
  return !p.empty() && stat(p.c_str(), &st) == 0;
}

}  // namespace

std::string font_test_path(int slot) {
  const std::string bundle = std::string(DUV_BINARY_DIR "/Duvizo Installer.app/Contents/Resources/") +
                             (slot ? "DejaVuSansBold.ttf" : "DejaVuSans.ttf");
  if (exists(bundle)) return bundle;
  return slot ? "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
              : "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
}

std::string utf8(const std::u32string& s) {
  std::string out;
  for (char32_t c : s) {
    if (c < 0x80) {
      out += (char)c;
    } else if (c < 0x800) {
      out += (char)(0xC0 | c >> 6);
      out += (char)(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += (char)(0xE0 | c >> 12);
      out += (char)(0x80 | (c >> 6 & 0x3F));
      out += (char)(0x80 | (c & 0x3F));
    } else {
      out += (char)(0xF0 | c >> 18);
      out += (char)(0x80 | (c >> 12 & 0x3F));
      out += (char)(0x80 | (c >> 6 & 0x3F));
      out += (char)(0x80 | (c & 0x3F));
    }
  }
  return out;
}

font_reference::font_reference() {
  FT_Init_FreeType(&lib);
  for (int slot = 0; slot < 2; ++slot) {
    FT_New_Face(lib, font_test_path(slot).c_str(), 0, &face[slot]);
    FT_Set_Char_Size(face[slot], 0, 672, 72, 72);  // 10.5 points at 72 dpi
  }
  set_transform();
}

font_reference::~font_reference() {
  for (FT_Face f : face) FT_Done_Face(f);
  FT_Done_FreeType(lib);
}

void font_reference::set_transform() {
  FT_Matrix m = {narrow ? 58982 : 65536, 0, 0, 65536};
  for (FT_Face f : face) FT_Set_Transform(f, &m, nullptr);
}

float font_reference::advance(int slot, uint32_t code) {
  set_transform();
  if (code == 9 || FT_Load_Char(face[slot], code, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT)) return 0;
  return (narrow ? 0.9f : 1.0f) * face[slot]->glyph->metrics.horiAdvance / 64.0f;
}

float font_reference::line_width(int slot, const std::u32string& text, float fixed) {
  float w = 0;
  for (char32_t c : text) w += fixed > 0 ? fixed : (float)(int)advance(slot, c);
  return w;
}

void font_reference::draw(int slot, const std::u32string& text, float x, float y, float fixed,
                          std::vector<int>& img, int ox, int oy, int w, int h) {
  set_transform();
  const float s = narrow ? 0.9f : 1.0f;
  for (char32_t c : text) {
    if (c == 9) continue;
    if (FT_Load_Char(face[slot], c, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT)) continue;
    const FT_GlyphSlot g = face[slot]->glyph;
    const FT_Glyph_Metrics& m = g->metrics;
    const int X = (int)std::floor(x + s * m.horiBearingX / 64.0f);
    const int Y = (int)std::floor(y + (m.horiBearingY - m.height) / 64.0f);
    const FT_Bitmap& bm = g->bitmap;
    for (int row = 0; row < (int)bm.rows; ++row)
      for (int col = 0; col < (int)bm.width; ++col) {
        const int v = bm.buffer[row * bm.pitch + col];
        const int cov = (int)(255.0 * std::pow(v / 255.0, 0.6));
        const int px = X + col - ox, py = Y + (int)bm.rows - 1 - row - oy;
        if (px < 0 || py < 0 || px >= w || py >= h) continue;
        int& d = img[(size_t)py * w + px];
        d = (int)std::lround(cov + d * (255 - cov) / 255.0);
      }
    x += fixed > 0 ? fixed : s * m.horiAdvance / 64.0f;
  }
}

void Font::SetUp() {
  Drawing::SetUp();
  saved_lang = mnw.lang;
  mnw.lang = 0;
  tt_names[0] = font_test_path(0);
  tt_names[1] = font_test_path(1);
  TT_reset_font(tt_both);
  TEX_reset_bind();
}

void Font::TearDown() {
  mnw.lang = saved_lang;
  Drawing::TearDown();
}

std::vector<int> Font::grab(int x0, int y0, int w, int h) {
  glFinish();
  const std::vector<uint8_t> px = gl_read_back(x0, y0, w, h);
  std::vector<int> out((size_t)w * h);
  for (size_t i = 0; i < out.size(); ++i) out[i] = px[i * 4];
  return out;
}

std::vector<int> Font::expected(const std::vector<line>& lines, int x0, int y0, int w, int h) {
  std::vector<int> img((size_t)w * h, 0);
  for (const line& l : lines) ref.draw(l.slot, l.text, l.x, l.y, l.fixed, img, x0, y0, w, h);
  return img;
}

int Font::mismatches(const std::vector<int>& a, const std::vector<int>& b) {
  int n = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i)
    if (std::abs(a[i] - b[i]) > 1) ++n;
  return n + (int)(a.size() > b.size() ? a.size() - b.size() : b.size() - a.size());
}
