// The spectrum scale: one 4-pixel point per pixel of height in the spectrum's
// colours, the point size given back, equal ends drawn in the first entry.
#include <gtest/gtest.h>
#include <GL/gl.h>
#include "widget_fixture.h"

namespace {

uint32_t rgb(const frame_capture& c, int x, int y) { return c.pixel(x, y) >> 8; }

TEST_F(Widgets, SpectrumScalePoints) {
  const struct {
    const char* what;
    float height, low, high;
    uint32_t bottom, top;  // colours of the lowest and highest point
  } cases[] = {
      {"rising", 50, 0, 10, 0xff0000, 0},
      {"equal ends draw the first entry", 50, 5, 5, 0xff0000, 0xff0000},
      {"falling", 50, 10, 0, 0xff0000, 0},
  };
  for (const auto& c : cases) {
    d->frame([&] { colr.spectrum_plot_scale(100, 100, c.height, c.low, c.high, 1); });
    const frame_capture& cap = d->captures().back();
    // A point of size 4 at (100, 100) covers 98..101 both ways; the next
    // points cover its upper rows.
    for (int x = 98; x <= 101; ++x) EXPECT_EQ(rgb(cap, x, 98), c.bottom) << c.what << " x " << x;
    EXPECT_EQ(rgb(cap, 97, 100), 0u) << c.what;
    EXPECT_EQ(rgb(cap, 102, 100), 0u) << c.what;
    EXPECT_EQ(rgb(cap, 100, 97), 0u) << c.what;
    if (c.top) {
      EXPECT_EQ(rgb(cap, 100, 150), c.top) << c.what;
    }
    EXPECT_NE(rgb(cap, 100, 150), 0u) << c.what;
    EXPECT_EQ(rgb(cap, 100, 151), 0u) << c.what;
    EXPECT_FLOAT_EQ(colr.spec_lo, c.low);
    EXPECT_FLOAT_EQ(colr.spec_hi, c.high);
    EXPECT_FLOAT_EQ(colr.spec_dif, c.high - c.low);
    GLfloat size = 0;
    glGetFloatv(GL_POINT_SIZE, &size);
    EXPECT_EQ(size, 1) << c.what;
  }
  // The top of a rising scale is further along the spectrum than its bottom.
  d->frame([] { colr.spectrum_plot_scale(100, 100, 50, 0, 10, 1); });
  EXPECT_NE(rgb(d->captures().back(), 100, 149), 0xff0000u);
}

TEST_F(Widgets, SpectrumScaleWithoutHeightDrawsNoPoints) {
  for (float height : {0.0f, -5.0f}) {
    d->frame([&] { colr.spectrum_plot_scale(100, 100, height, 0, 10, 1); });
    EXPECT_EQ(rgb(d->captures().back(), 100, 100), 0u) << height;
    EXPECT_EQ(rgb(d->captures().back(), 99, 99), 0u) << height;
  }
}

}  // namespace
