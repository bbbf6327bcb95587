// Reading the coordinate-coded pictures of the test bundle, which the build
// paints with "mkres --test": each texel of an element names its own (u, v)
// and element (see widgets/atlas_layout.h). A test makes the test bundle the
// program's bundle, draws, and asks which texel a pixel of the window shows.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A named texel; element is an index of k_atlas_elements for the atlas, or a
// screen-texture element (screen_picture_element and the bars and panel
// after it); -1, with u and v -1, when the colour names nothing.
struct probe_texel {
  int u = -1, v = -1, element = -1;
  bool operator==(const probe_texel&) const = default;
};

// The test bundle's folder (no trailing '/').
std::string probe_test_bundle();
// Makes the test bundle the program's bundle, so "RESOURCE:" names resolve
// into its coded pictures.
void probe_use_test_bundle();
// The texel an RGB colour of the coded atlas names.
probe_texel probe_atlas_colour(uint8_t r, uint8_t g, uint8_t b);
// The texel an RGB colour of a coded screen texture of language lang names.
probe_texel probe_screen_colour(uint8_t r, uint8_t g, uint8_t b, int lang);
// The atlas texel that pixel (x, y) of the back buffer shows.
probe_texel probe_atlas_pixel(int x, int y);

// A picture of a resources folder decoded as start-up decodes it: RGBA, rows
// bottom-up. ok is 0 when the file is missing or does not decode.
struct probe_picture {
  int ok = 0, width = 0, height = 0;
  std::vector<uint8_t> rgba;
  const uint8_t* at(int u, int v) const { return &rgba[(static_cast<size_t>(v) * width + u) * 4]; }
};
probe_picture probe_decode(const std::string& path);
