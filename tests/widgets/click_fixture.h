// The clickable widgets' tests: the widget fixture with the menu bar closed,
// the hover help empty and the cursor notes as at start, and ways to find
// what a frame drew from one atlas rectangle.
#pragma once
#include <algorithm>
#include "shell/mbar.h"
#include "widget_fixture.h"
#include "widgets/help.h"

// The extent, in sub-window units, of every atlas quad of a trace whose
// texels lie within rectangle r; found is 0 when there was none.
struct quad_extent {
  int found = 0;
  float left = 1e9f, bottom = 1e9f, right = -1e9f, top = -1e9f;
  float width() const { return right - left; }
  float height() const { return top - bottom; }
};

inline quad_extent extent_of(const frame_trace& t, const atlas_rect& r) {
  quad_extent e;
  for (const OGL_quad_call& q : t.quads) {
    if (q.tex != 359) continue;
    bool inside = true;
    for (const auto& c : q.corner) {
      const float u = c[2] * k_atlas_size, v = c[3] * k_atlas_size;
      inside = inside && u >= r.u0 - 0.01f && u <= r.u1 + 0.01f && v >= r.v0 - 0.01f && v <= r.v1 + 0.01f;
    }
    if (!inside) continue;
    e.found = 1;
    for (const auto& c : q.corner) {
      e.left = std::min(e.left, c[0]), e.right = std::max(e.right, c[0]);
      e.bottom = std::min(e.bottom, c[1]), e.top = std::max(e.top, c[1]);
    }
  }
  return e;
}

inline atlas_rect bar_rect(int style) {
  for (const bar_style& b : k_bar_styles)
    if (b.style == style) return b.r;
  return {};
}

inline atlas_rect panel_rect(int style) {
  for (const panel_style& p : k_panel_styles)
    if (p.style == style) return p.rect();
  return {};
}

class Clicks : public Widgets {
 protected:
  void SetUp() override {
    Widgets::SetUp();
    mbar.open_menu = -1;
    mbar.popup_owner = mbar.popup_done_owner = mbar.popup_choice = 0;
    help.text.clear();
    OS_mouse_showing = 1;
    mouse_was_plugin = 0;
  }
  void TearDown() override {
    mbar.open_menu = -1;
    mbar.popup_owner = mbar.popup_done_owner = 0;
    Widgets::TearDown();
  }
  // The strings of the last frame in colour col.
  std::vector<OGL_string_call> strings_in(int col) const {
    std::vector<OGL_string_call> out;
    for (const OGL_string_call& s : d->trace().strings)
      if (s.col == col) out.push_back(s);
    return out;
  }
};
