// The typing widgets' tests: the clickable widgets' fixture with no field
// focused and the number, character-cell and list queues empty, and a way
// to read what a row of 10-pixel cells shows.
#pragma once
#include <algorithm>
#include <string>
#include <vector>
#include "click_fixture.h"
#include "widgets/butn_number.h"
#include "widgets/focus.h"

// Keyboard scancodes the tests press.
enum {
  sc_a = 4, sc_e = 8, sc_q = 20, sc_r = 21, sc_s = 22, sc_z = 29, sc_1 = 30, sc_7 = 36, sc_space = 44,
  sc_minus = 45, sc_equals = 46, sc_slash = 56, sc_right = 79, sc_left = 80, sc_down = 81, sc_up = 82
};

class Typing : public Clicks {
 protected:
  void SetUp() override {
    Clicks::SetUp();
    reset();
  }
  void TearDown() override {
    reset();
    Clicks::TearDown();
  }
  static void reset() {
    BTN_begin_focus_ring();
    BTN_unfocus_any();
    flt_keys = BTN_key_queue();
    chars_keys = BTN_key_queue();
    flt_hot_digit = chars_hot_digit = 0;
    // The clock starts again with each driver; a press of an earlier test
    // must not pair with this one's into a double click.
    mnw.last_press_time = -100;
  }
  // What the 10-pixel cells drawn on baseline y between x0 and x1 show, in
  // order from the left.
  std::string cells(float x0, float x1, float y) const {
    std::vector<OGL_string_call> hits;
    for (const OGL_string_call& s : d->trace().strings)
      if (s.font == cs_fixed10 && s.y == y && s.x >= x0 && s.x <= x1) hits.push_back(s);
    std::stable_sort(hits.begin(), hits.end(), [](const auto& a, const auto& b) { return a.x < b.x; });
    std::string out;
    for (const auto& s : hits) out += s.text;
    return out;
  }
  // A press and release at (x, y), one frame each, drawing with fn.
  template <class F>
  void click(int x, int y, F fn) {
    d->press(x, y);
    d->frame(fn);
    d->release(x, y);
    d->frame(fn);
  }
};
