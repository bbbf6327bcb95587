#include "support/atlas_probe.h"
#include <GL/gl.h>
#include "core/utl_mem.h"
#include "files/xmap.h"
#include "platform/plat_bundle.h"
#include "support/gl_console.h"
#include "tex/TEX_png.h"
#include "widgets/atlas_layout.h"

std::string probe_test_bundle() { return std::string(DUV_BINARY_DIR) + "/test-bundle"; }

void probe_use_test_bundle() { PLAT_set_bundle_path(probe_test_bundle()); }

probe_texel probe_atlas_colour(uint8_t r, uint8_t g, uint8_t b) {
  const int u = r | (b & 3) << 8, v = g | (b >> 2 & 1) << 8, code = b >> 3;
  // The colour keeps the index modulo 32; the one element that holds the
  // texel with that code is the answer.
  for (int i = 0; i < k_atlas_element_count; ++i)
    if (i % 32 == code && k_atlas_elements[i].r.holds(u, v) && v < k_atlas_size) return {u, v, i};
  return {};
}

probe_texel probe_screen_colour(uint8_t r, uint8_t g, uint8_t b, int lang) {
  const int u = r | (b & 3) << 8, v = g | (b >> 2 & 1) << 8, code = b >> 3;
  atlas_rect rect = {0, 0, 0, 0};
  if (code < k_screen_bar_element)
    rect = picture_rect(code / k_band_count, lang, code % k_band_count);
  else if (code < k_screen_panel_element)
    rect = k_bar_styles[10 + code - k_screen_bar_element].r;
  else if (code == k_screen_panel_element)
    rect = k_panel_styles[9].rect();
  if (!rect.holds(u, v)) return {};
  return {u, v, code};
}

probe_texel probe_atlas_pixel(int x, int y) {
  glFinish();
  const uint32_t p = gl_pixel(x, y);
  return probe_atlas_colour(p >> 24, p >> 16, p >> 8);
}

probe_picture probe_decode(const std::string& path) {
  probe_picture out;
  xmap_class file(path, 0, 0);
  unsigned char* buffer = nullptr;
  TEX_image_desc desc;
  if (TEX_load_png(path, &file, buffer, GL_RGBA, 0, 0, png_alpha_as_asked, 1, desc) && desc.format == GL_RGBA) {
    out.ok = 1;
    out.width = desc.width;
    out.height = desc.height;
    out.rgba.assign(buffer, buffer + static_cast<size_t>(desc.width) * desc.height * 4);
  }
  xfree(buffer);
  return out;
}
