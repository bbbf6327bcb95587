// The widget tests' start: the coordinate-coded atlas and English screen
// texture loaded, a frame driver on the test program's window (registered
// once for the program by atlas_screen_test.cpp), and ways to read which
// texel a captured pixel shows.
#pragma once
#include <gtest/gtest.h>
#include <cmath>
#include <memory>
#include <vector>
#include "core/globs.h"
#include "ogl/OGL_font.h"
#include "shell/wins.h"
#include "support/atlas_probe.h"
#include "support/frame_driver.h"
#include "widgets/atlas_layout.h"
#include "widgets/colr.h"

class Widgets : public testing::Test {
 protected:
  void SetUp() override {
    saved_colr = colr;
    frame_driver::load_pictures(false, 0);
    d = std::make_unique<frame_driver>();
  }
  void TearDown() override {
    d.reset();
    frame_driver::unload_pictures();
    colr = saved_colr;
  }
  // The atlas texel pixel (x, y) of the last swap shows.
  probe_texel texel(int x, int y) const {
    const uint32_t p = d->captures().back().pixel(x, y);
    return probe_atlas_colour(p >> 24, p >> 16, p >> 8);
  }
  // The index of the atlas element with that name.
  static int element(const char* name) {
    for (int i = 0; i < k_atlas_element_count; ++i)
      if (std::string(k_atlas_elements[i].name) == name) return i;
    return -1;
  }
  // Opens sub-window n as the shell does.
  static void open_window(int n) { wins.start_win(n); }

  // Every axis-aligned atlas quad of the last frame against the last swap:
  // each pixel whose centre lies half a pixel or more inside the quad shows
  // the texel the quad maps it to, so the quad lands one texel per pixel
  // with its lower-left texel at its lower-left pixel. Returns the pixels
  // checked.
  int check_quads_against_picture() const {
    int checked = 0;
    const std::vector<OGL_quad_call>& quads = d->trace().quads;
    // A pixel that a later quad draws over belongs to that one.
    auto covered_after = [&](size_t i, float px, float py) {
      for (size_t j = i + 1; j < quads.size(); ++j) {
        float lo_x = 1e9f, hi_x = -1e9f, lo_y = 1e9f, hi_y = -1e9f;
        for (const auto& c : quads[j].corner) {
          lo_x = std::fmin(lo_x, c[0]), hi_x = std::fmax(hi_x, c[0]);
          lo_y = std::fmin(lo_y, c[1]), hi_y = std::fmax(hi_y, c[1]);
        }
        if (px >= lo_x - 1 && px <= hi_x + 1 && py >= lo_y - 1 && py <= hi_y + 1) return true;
      }
      return false;
    };
    // Texts lie over the quads; their pixels are not the atlas's.
    auto under_text = [&](float px, float py) {
      for (const OGL_string_call& t : d->trace().strings) {
        const float w = t.font == 4 ? 10.0f * t.text.size() : OGL_measure_string(t.text);
        const float left = t.just == 1 ? t.x - w / 2 : t.just == 2 ? t.x - w : t.x;
        if (px >= left - 2 && px <= left + w + 2 && py >= t.y - 5 && py <= t.y + 14) return true;
      }
      return false;
    };
    for (size_t i = 0; i < quads.size(); ++i) {
      const OGL_quad_call& q = quads[i];
      const float* bl = q.corner[0];
      const float* tr = q.corner[2];
      if (q.tex != 359 || bl[0] != q.corner[1][0] || bl[1] != q.corner[3][1]) continue;
      const float x0 = bl[0] + wins.win_x, y0 = bl[1] + wins.win_y, x1 = tr[0] + wins.win_x, y1 = tr[1] + wins.win_y;
      for (int y = static_cast<int>(std::ceil(y0)); y + 1 <= y1; ++y)
        for (int x = static_cast<int>(std::ceil(x0)); x + 1 <= x1; ++x) {
          if (x < 0 || y < 0 || x >= 800 || y >= 600) continue;
          const float fx = (x + 0.5f - x0) / (x1 - x0), fy = (y + 0.5f - y0) / (y1 - y0);
          const float u = (bl[2] + fx * (tr[2] - bl[2])) * k_atlas_size;
          const float v = (bl[3] + fy * (tr[3] - bl[3])) * k_atlas_size;
          const float sx = x + 0.5f - wins.win_x, sy = y + 0.5f - wins.win_y;
          if (v >= k_atlas_size || covered_after(i, sx, sy) || under_text(sx, sy)) continue;
          const probe_texel t = texel(x, y);
          EXPECT_EQ(t.u, static_cast<int>(std::floor(u))) << "pixel " << x << "," << y;
          EXPECT_EQ(t.v, static_cast<int>(std::floor(v))) << "pixel " << x << "," << y;
          ++checked;
        }
    }
    return checked;
  }

  std::unique_ptr<frame_driver> d;

 private:
  colr_class saved_colr;
};
