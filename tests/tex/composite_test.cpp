// Compositing, copying, keying and cleaning transparent pixels, one table:
// each case runs one operation on a target image and names every byte the
// target must hold after it. Buffers are sized exactly, so a write outside
// an image shows under the address sanitiser.
#include <gtest/gtest.h>
#include <functional>
#include <vector>
#include "tex/TEX_composite.h"

namespace {

struct img {
  TEX_image_desc d;
  std::vector<unsigned char> px;
};

img make(unsigned long format, int width, int height, std::vector<unsigned char> px) {
  img i;
  i.d.format = static_cast<uint32_t>(format);
  i.d.width = width;
  i.d.height = height;
  i.px = std::move(px);
  return i;
}

// An RGB image whose pixels are grey levels, rows bottom-up.
img grey(int width, int height, std::vector<int> levels) {
  std::vector<unsigned char> px;
  for (int v : levels) px.insert(px.end(), 3, static_cast<unsigned char>(v));
  return make(GL_RGB, width, height, px);
}

using operation = std::function<void(img& target)>;

operation composite(img source, float x1, float y1, float x2, float y2) {
  return [=](img& t) { TEX_composite(source.d, t.d, source.px.data(), t.px.data(), x1, y1, x2, y2); };
}
operation copy_at(img source, int x, int y) {
  return [=](img& t) { TEX_copy(source.d, t.d, source.px.data(), t.px.data(), x, y); };
}
operation key(std::vector<unsigned char> rgb, int tolerance) {
  return [=](img& t) mutable { TEX_chroma_key(t.d, t.px.data(), rgb.data(), tolerance); };
}
operation key_wrap(std::vector<unsigned char> rgb, int tolerance) {
  return [=](img& t) mutable { TEX_chroma_key_wrap(&t.d, t.px.data(), rgb.data(), tolerance); };
}
operation zap() {
  return [](img& t) { TEX_zap_alpha(t.d, t.px.data()); };
}

struct pixel_case {
  const char* name;
  img target;
  operation op;
  std::vector<unsigned char> want;
};

const img k_quarter = grey(2, 2, {0, 100, 200, 40});
const img k_two_by_two = grey(2, 2, {1, 2, 3, 4});
const img k_keyed = make(GL_RGBA, 3, 1, {10, 20, 30, 255, 11, 20, 30, 255, 50, 50, 50, 255});

std::vector<unsigned char> grey_bytes(std::vector<int> levels) { return grey(0, 0, std::move(levels)).px; }

// 0, 10, 20, ... 150: each pixel's level names its place.
const img k_numbered = grey(4, 4, {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150});

TEST(PixelOps, EachOperationWritesExactlyItsPixels) {
  const pixel_case cases[] = {
      {"composite: a rectangle partly outside the target",
       grey(4, 4, std::vector<int>(16, 10)), composite(grey(2, 2, {200, 200, 200, 200}), 2, 2, 6, 6),
       grey_bytes({10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 200, 200, 10, 10, 200, 200})},
      {"composite: below and left of the target, the edge keeps half the old colour",
       grey(4, 4, std::vector<int>(16, 10)), composite(grey(2, 2, {200, 200, 200, 200}), -2, -2, 2, 2),
       grey_bytes({200, 105, 10, 10, 105, 57, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10})},
      {"composite: an exact-size opaque RGBA source copies colour and makes alpha 255",
       make(GL_RGBA, 3, 1, {9, 9, 9, 0, 9, 9, 9, 100, 9, 9, 9, 255}),
       composite(make(GL_RGBA, 3, 1, {1, 2, 3, 255, 4, 5, 6, 255, 7, 8, 9, 255}), 0, 0, 3, 1),
       {1, 2, 3, 255, 4, 5, 6, 255, 7, 8, 9, 255}},
      {"composite: an RGB source over an RGBA target adds its coverage to alpha",
       make(GL_RGBA, 2, 1, {0, 0, 0, 10, 0, 0, 0, 10}), composite(grey(1, 1, {100}), 0, 0, 2, 1),
       {100, 100, 100, 255, 50, 50, 50, 137}},
      {"composite: half-transparent RGBA taps weigh by their alpha",
       make(GL_RGBA, 1, 1, {100, 100, 100, 0}), composite(make(GL_RGBA, 1, 1, {200, 0, 50, 128}), 0, 0, 1, 1),
       {150, 49, 74, 128}},
      {"composite: a half-size source mixes two or four taps; the last odd column and row keep some old colour",
       grey(4, 4, std::vector<int>(16, 50)), composite(k_quarter, 0, 0, 4, 4),
       grey_bytes({0, 50, 100, 75, 100, 85, 70, 60, 200, 120, 40, 45, 125, 85, 45, 47})},
      {"composite: x1 = x2 and y1 = y2 take the centre tap", grey(3, 3, std::vector<int>(9, 0)),
       composite(k_numbered, 1.5f, 1.5f, 1.5f, 1.5f),
       grey_bytes({0, 0, 0, 0, 100, 0, 0, 0, 0})},
      {"composite: an alpha source leaves an alpha target unchanged",
       make(GL_ALPHA, 2, 1, {5, 6}), composite(k_quarter, 0, 0, 2, 1), {5, 6}},
      {"copy: inside", grey(3, 3, std::vector<int>(9, 0)), copy_at(k_two_by_two, 1, 1),
       grey_bytes({0, 0, 0, 0, 1, 2, 0, 3, 4})},
      {"copy: clipped at the left edge", grey(3, 3, std::vector<int>(9, 0)), copy_at(k_two_by_two, -1, 0),
       grey_bytes({2, 0, 0, 4, 0, 0, 0, 0, 0})},
      {"copy: clipped at the right edge", grey(3, 3, std::vector<int>(9, 0)), copy_at(k_two_by_two, 2, 0),
       grey_bytes({0, 0, 1, 0, 0, 3, 0, 0, 0})},
      {"copy: clipped at the bottom edge", grey(3, 3, std::vector<int>(9, 0)), copy_at(k_two_by_two, 0, -1),
       grey_bytes({3, 4, 0, 0, 0, 0, 0, 0, 0})},
      {"copy: clipped at the top edge", grey(3, 3, std::vector<int>(9, 0)), copy_at(k_two_by_two, 0, 2),
       grey_bytes({0, 0, 0, 0, 0, 0, 1, 2, 0})},
      {"copy: wholly outside", grey(3, 3, std::vector<int>(9, 0)), copy_at(k_two_by_two, 5, -7),
       grey_bytes(std::vector<int>(9, 0))},
      {"copy: an RGBA source into an RGB target", grey(2, 1, {0, 0}),
       copy_at(make(GL_RGBA, 1, 1, {9, 9, 9, 9}), 0, 0), grey_bytes({0, 0})},
      {"chroma key: tolerance 0 changes nothing", k_keyed, key({10, 20, 30}, 0), k_keyed.px},
      {"chroma key: tolerance 1 clears exact matches only", k_keyed, key({10, 20, 30}, 1),
       {10, 20, 30, 0, 11, 20, 30, 255, 50, 50, 50, 255}},
      {"chroma key: tolerance 2 takes a distance of 1", k_keyed, key_wrap({10, 20, 30}, 2),
       {10, 20, 30, 0, 11, 20, 30, 0, 50, 50, 50, 255}},
      {"chroma key: an RGB record is left unchanged", grey(2, 2, {10, 10, 10, 10}), key({10, 10, 10}, 1000),
       grey_bytes({10, 10, 10, 10})},
      {"zap alpha: transparent pixels turn black", make(GL_RGBA, 2, 1, {10, 20, 30, 0, 40, 50, 60, 128}), zap(),
       {0, 0, 0, 0, 40, 50, 60, 128}},
      {"zap alpha: an RGB record is left unchanged", grey(2, 1, {0, 7}), zap(), grey_bytes({0, 7})},
  };
  for (const pixel_case& c : cases) {
    img target = c.target;
    c.op(target);
    EXPECT_EQ(target.px, c.want) << c.name;
  }
}

}  // namespace
