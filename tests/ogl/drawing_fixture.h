// A clean window for the drawing tests: the test program's console 0 (800 by
// 600) with the full-window 2-D view, cleared to black, and every setting the
// drawing reads back at its start value.
#pragma once
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <utility>
#include <vector>
#include "core/globs.h"
#include "ogl/ogl_draw.h"
#include "ogl/ogl_state.h"
#include "ogl/ogl_trig.h"
#include "ogl/ogl_view.h"
#include "shell/wins.h"
#include "support/gl_console.h"
#include "widgets/colr.h"

class Drawing : public testing::Test {
 protected:
  static constexpr int white = 5;  // a colour id the tests make white
  void SetUp() override {
    saved_colr = colr;
    colr.tint[0] = colr.tint[1] = colr.tint[2] = 1;
    colr.dim = 0;
    colr.green_mono = 0;
    colr.col[white][0] = colr.col[white][1] = colr.col[white][2] = 1;
    ren = ren_struct();
    wins.win_x = wins.win_y = 0;
    wins.last_win = 0;
    wins.x_pix = 800;
    wins.y_pix = 600;
    OGL_state_calls_use(nullptr);
    OGL_setstate_forget();
    glDisable(GL_SCISSOR_TEST);
    fill_trig_tables();
    OGL_pix_specs(0);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  void TearDown() override {
    colr = saved_colr;
    ren = ren_struct();
    wins.win_x = wins.win_y = 0;
    glDisable(GL_SCISSOR_TEST);
  }
  // The lit pixels of a rectangle of the back buffer, as (x, y), row by row.
  static std::vector<std::pair<int, int>> lit(int x0, int y0, int w, int h) {
    glFinish();
    const std::vector<uint8_t> px = gl_read_back(x0, y0, w, h);
    std::vector<std::pair<int, int>> out;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const uint8_t* p = &px[((size_t)y * w + x) * 4];
        if (p[0] || p[1] || p[2]) out.emplace_back(x0 + x, y0 + y);
      }
    return out;
  }
  // Every pixel of the box from (x0, y0) to (x1, y1) inclusive, row by row;
  // with outline, only its border.
  static std::vector<std::pair<int, int>> box(int x0, int y0, int x1, int y1, bool outline = false) {
    std::vector<std::pair<int, int>> out;
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x)
        if (!outline || x == x0 || x == x1 || y == y0 || y == y1) out.emplace_back(x, y);
    return out;
  }
  static std::vector<float> current_colour() {
    std::vector<float> c(4);
    glGetFloatv(GL_CURRENT_COLOR, c.data());
    return c;
  }

 private:
  colr_class saved_colr;
};
