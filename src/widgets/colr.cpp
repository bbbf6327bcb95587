#include "widgets/colr.h"

#include <GL/gl.h>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/globs.h"
#include "ogl/OGL_font.h"
#include "ogl/ogl_draw.h"
#include "shell/wins.h"
#include "platform/plat_sysinfo.h"

colr_class colr;

namespace {

struct initial_colour {
  int id;
  float r, g, b;
};

// The built-in colours; every id not listed starts black.
constexpr initial_colour k_initial[] = {
    {0, 1, 1, 1},          {1, 1, 0.2f, 0.2f},     {2, 1, 1, 0.2f},        {3, 0.7f, 0.7f, 0.7f},
    {4, 0.8f, 0, 0},       {5, 1, 1, 0},           {6, 0.3f, 0.3f, 0.3f},  {7, 0.2f, 0, 0},
    {8, 1, 0.8f, 0.2f},    {9, 0.1f, 0.1f, 0.1f},  {10, 0, 0.8f, 0},       {12, 0, 0, 0},
    {13, 0, 0.4f, 0},      {15, 0.4f, 0.4f, 1},    {17, 0, 0, 0.6f},       {18, 0.5f, 0.55f, 0.6f},
    {19, 0.2f, 0.2f, 0.25f}, {20, 0.9f, 0.9f, 0.9f}, {21, 0.8f, 0.1f, 0.1f}, {22, 0.88f, 0.88f, 1},
    {23, 0.84f, 0.75f, 0.63f}, {24, 0.9f, 0.9f, 0.9f}, {25, 0.1f, 0.1f, 0.1f}, {26, 0, 0, 0},
    {27, 0.9f, 0.9f, 0.9f}, {28, 1, 1, 0},         {29, 0, 0, 0},          {30, 1, 1, 1},
    {31, 1, 1, 1},         {32, 0.9f, 0.9f, 1},    {33, 1, 1, 0},          {34, 0, 0, 0},
    {35, 1, 1, 1},         {36, 1, 1, 1},          {37, 1, 1, 1},          {38, 1, 1, 1},
    {57, 1, 1, 1},         {58, 0.4f, 1, 0.4f},    {59, 1, 0.4f, 0.4f},    {60, 1, 1, 0.6f},
    {61, 0.7f, 0.7f, 1},   {62, 1, 0.5f, 0},       {63, 0.8f, 0.8f, 0.8f}, {64, 0, 1, 0},
    {65, 1, 0.2f, 0.2f},   {66, 1, 1, 0.2f},       {67, 0.4f, 0.4f, 1},    {68, 0.5f, 0.3f, 0},
    {69, 0.5f, 0.5f, 0.5f}, {70, 0, 0.6f, 0},      {71, 0.6f, 0.2f, 0},    {72, 1, 1, 0},
    {73, 0.2f, 0.2f, 0.8f}, {74, 1, 0.4f, 0},      {75, 0.2f, 0.2f, 0.2f}, {76, 0, 0.2f, 0},
    {77, 1, 0, 0},         {78, 0.6f, 0.6f, 0},    {79, 0.15f, 0.15f, 0.6f}, {80, 0.49f, 0.43f, 0.24f},
    {81, 0, 0, 0},         {82, 0, 0.1f, 0},       {83, 1, 0.2f, 1},       {84, 0.5f, 0, 0.5f},
    {85, 1, 0, 1},         {86, 0, 1, 1},          {87, 1, 1, 0},          {88, 0.44f, 0.53f, 0.54f},
    {95, 1, 0, 1},         {96, 0, 0, 0},          {97, 1, 0, 1},          {98, 1, 1, 1},
    {107, 0.5f, 0.5f, 0.4f}, {108, 1, 0.3f, 0},    {109, 0.5f, 0.5f, 0.4f}, {110, 0.8f, 0.8f, 0.7f},
    {111, 0, 0.6f, 0.2f},  {112, 1, 1, 0.9f},
};

// Red, orange, yellow, green, blue, violet: the stops of the rainbow spectrum.
constexpr float roygbv_rgb_loc[6][3] = {
    {1, 0, 0}, {1, 0.32f, 0.08f}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {0.8f, 0, 0.8f},
};

// Mac OS X 10.6 moved the display gamma from 1.8 to 2.2.
constexpr int k_last_system_of_gamma_18 = 0x105F;

}  // namespace

colr_class::colr_class() {
  std::memset(static_cast<void*>(this), 0, sizeof(*this));
  for (const initial_colour& c : k_initial) col_assign(c.id, c.r, c.g, c.b);
  tint[0] = tint[1] = tint[2] = 1.0f;

  gamma_num = 1.8f;
  gamma_den = 1.8f;
  int version = 0;
  if (PLAT_system_version(&version) == 0 && version > k_last_system_of_gamma_18) gamma_den = 2.2f;
  rebuild_gamma();
  spectrum_init(0);
}

void colr_class::col_assign(int id, float red, float green, float blue) {
  if (id < 0 || id >= colour_count) {
    // Not during static construction: the built-in table only names valid ids.
    xer_group() << "col_assign: colour id " << id << " is outside the table; ignored.\n";
    return;
  }
  col[id][0] = red;
  col[id][1] = green;
  col[id][2] = blue;
}

int colr_class::rebuild_gamma() {
  const float e = gamma_num / gamma_den;
  for (int i = 0; i < 256; ++i) {
    const float x = static_cast<float>(i / 255.0);
    const float y = x > 0 ? static_cast<float>(std::pow(static_cast<double>(x), static_cast<double>(e))) : 0.0f;
    gamma_table[i] = static_cast<unsigned char>(static_cast<double>(y) * 255.0 + 0.5);
  }
  gamma_changed = gamma_num != gamma_den;
  return gamma_changed;
}

void colr_class::set_lit_arc() {
  static constexpr int lit[3][2] = {{54, 11}, {55, 14}, {56, 16}};
  for (const auto& pair : lit)
    for (int c = 0; c < 3; ++c) col[pair[0]][c] = col[pair[1]][c] * col[53][c];
}

void colr_class::spectrum_init(int mode) {
  if (mode < 0 || mode > 3) return;
  for (int i = 0; i < spectrum_size; ++i) {
    const float x = i / 1000.0f;
    float* out = spectrum[i];
    if (mode == 0) {
      const int k = x < 0.2f ? 0 : x < 0.4f ? 1 : x < 0.6f ? 2 : x < 0.8f ? 3 : 4;
      const float t = (x - 0.2f * k) * 5.0f;
      for (int c = 0; c < 3; ++c) out[c] = roygbv_rgb_loc[k][c] * (1 - t) + roygbv_rgb_loc[k + 1][c] * t;
    } else {
      out[0] = out[1] = out[2] = 0;
      out[mode - 1] = x;
    }
  }
}

void colr_class::spectrum_plot_scale(float x, float y, float height, float low, float high, int decimals) {
  spec_hi = high;
  spec_lo = low;
  spec_dif = high - low;
  OGL_number(0, x + 4, y + height - 4, high, 5, decimals, cs_regular, str_no_pad, just_left);
  OGL_number(0, x + 4, y - 4, low, 5, decimals, cs_regular, str_no_pad, just_left);

  OGL_setstate(fog_off, 0, lit_off, al_blend, deR_off, deW_off);
  glPointSize(4);
  glBegin(GL_POINTS);
  for (int k = 0; k < height; ++k) {
    // Equal ends have no spread to place a value in: they show the first entry.
    int index = 0;
    if (spec_dif != 0) {
      const float value = std::clamp(low + spec_dif * k / height, std::min(low, high), std::max(low, high));
      constexpr float size = spectrum_size;
      const float at = (value - low) / spec_dif * size;
      index = at >= 0 && at < size ? static_cast<int>(at) : at >= size ? spectrum_size - 1 : 0;
    }
    float rgba[4];
    if (OGL_colour_rule_rgb(spectrum[index][0], spectrum[index][1], spectrum[index][2], 1, rgba) == 3)
      glColor3f(rgba[0], rgba[1], rgba[2]);
    else
      glColor4fv(rgba);
    glVertex2f(x + wins.win_x, y + k + wins.win_y);
  }
  glEnd();
  glPointSize(1);
}
