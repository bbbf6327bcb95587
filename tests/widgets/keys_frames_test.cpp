// Key records through real frames: the key number, character and flag word
// each record becomes, and where the keys no field takes end up.
#include <gtest/gtest.h>
#include <vector>
#include "core/globs.h"
#include "shell/wins.h"
#include "widget_fixture.h"
#include "widgets/cmnd.h"
#include "widgets/focus.h"
#include "widgets/keys.h"

namespace {

// Keyboard scancodes (USB usage numbers) of the keys typed here.
enum {
  sc_a = 4, sc_v = 25, sc_1 = 30, sc_return = 40, sc_escape = 41, sc_backspace = 42, sc_comma = 54,
  sc_period = 55, sc_f5 = 62, sc_delete = 76, sc_left = 80, sc_kp_enter = 88, sc_kp_5 = 93,
  sc_kp_period = 99, sc_application = 101, sc_rctrl = 228, sc_lshift = 225
};

struct key_seen {
  int vkey, ch, flags;
  bool operator==(const key_seen&) const = default;
};
std::ostream& operator<<(std::ostream& o, const key_seen& k) {
  return o << "(" << k.vkey << ", " << k.ch << ", " << k.flags << ")";
}

class KeyFrames : public Widgets {
 protected:
  void SetUp() override {
    Widgets::SetUp();
    saved_keys = keys;
    keys.bindings.clear();
  }
  void TearDown() override {
    BTN_begin_focus_ring();
    BTN_unfocus_any();
    keys = saved_keys;
    Widgets::TearDown();
  }
  // A field that takes every key, drawn each frame with the focus; what
  // reached it since the last call.
  std::vector<key_seen> frame_with_probe() {
    std::vector<key_seen> seen;
    d->frame([&] {
      BTN_register_focus(77, ch, vkey, flags, id, &count, k_focus_queue_size, 0x7FF, 1);
      for (int i = 0; i < count; ++i) seen.push_back({vkey[i], ch[i], flags[i]});
      count = 0;
    });
    return seen;
  }
  static PLAT_event repeat_of(int scancode, const char* text) {
    PLAT_event e;
    e.kind = plat_ev_auto_key;
    e.key_code = PLAT_mac_key_code(scancode);
    snprintf(e.text, sizeof e.text, "%s", text);
    return e;
  }
  int ch[k_focus_queue_size] = {}, vkey[k_focus_queue_size] = {}, flags[k_focus_queue_size] = {},
      id[k_focus_queue_size] = {}, count = 0;
  keys_class saved_keys;
};

TEST_F(KeyFrames, KeyRecordsBecomeKeyEvents) {
  const struct {
    const char* what;
    int scancode;
    const char* text;
    unsigned mods;
    key_seen want;
  } rows[] = {
      {"a", sc_a, "a", 0, {65, 'a', 8}},
      {"Shift+a", sc_a, "A", plat_mod_shift, {65, 'A', 9}},
      {"1", sc_1, "1", 0, {49, '1', 8}},
      {"!", sc_1, "!", plat_mod_shift, {49, '!', 9}},
      {".", sc_period, ".", 0, {185, '.', 8}},
      {",", sc_comma, ",", 0, {183, ',', 8}},
      {"Left", sc_left, "", 0, {37, 28, 8}},
      {"keypad .", sc_kp_period, "", 0, {110, '.', 8}},
      {"keypad 5", sc_kp_5, "", 0, {101, '5', 8}},
      {"Return", sc_return, "", 0, {13, 13, 8}},
      {"keypad Enter", sc_kp_enter, "", 0, {188, 0, 8}},
      {"Backspace", sc_backspace, "", 0, {8, 8, 8}},
      {"Delete", sc_delete, "", 0, {46, 0, 8}},
      {"F5", sc_f5, "", 0, {116, 0, 8}},
      {"Escape", sc_escape, "", 0, {27, 27, 8}},
      {"Ctrl+V", sc_v, "", plat_mod_control, {86, 0, 12}},
      {"Alt+Super+a", sc_a, "", plat_mod_option | plat_mod_command, {65, 0, 14}},
  };
  frame_with_probe();
  for (const auto& r : rows) {
    d->key(r.scancode, r.text, r.mods);
    EXPECT_EQ(frame_with_probe(), std::vector<key_seen>{r.want}) << r.what;
  }
}

TEST_F(KeyFrames, ModifierKeysAloneAreNoKeys) {
  frame_with_probe();
  d->key(sc_lshift, "", plat_mod_shift);
  d->key(sc_rctrl, "", plat_mod_shift | plat_mod_control);
  d->key_up(sc_rctrl, plat_mod_shift);
  d->key_up(sc_lshift);
  EXPECT_EQ(frame_with_probe(), std::vector<key_seen>{});
}

TEST_F(KeyFrames, UnnamedKeyGetsASpareNumber) {
  frame_with_probe();
  d->key(sc_application, "");
  const std::vector<key_seen> seen = frame_with_probe();
  ASSERT_EQ(seen.size(), 1u);
  // Past the spare numbers below the last named key, by its key code.
  const int code = PLAT_mac_key_code(sc_application);
  EXPECT_EQ(seen[0].vkey, keys.max_vkey + 1 + code - (int)keys.spare_vkeys.size());
  EXPECT_EQ(keys.vkey_to_str(seen[0].vkey), "KEY" + std::to_string(seen[0].vkey));
  EXPECT_EQ(keys.str_to_vkey(keys.vkey_to_str(seen[0].vkey)), seen[0].vkey);
  d->key(sc_application, "");
  EXPECT_EQ(frame_with_probe()[0].vkey, seen[0].vkey);
}

TEST_F(KeyFrames, RepeatAndReleaseCarryTheirCharacter) {
  frame_with_probe();
  d->key(sc_a, "a");
  d->record(repeat_of(sc_a, "a"));
  d->key_up(sc_a);
  EXPECT_EQ(frame_with_probe(), (std::vector<key_seen>{{65, 'a', 8}, {65, 'a', 0}, {65, 'a', 16}}));
  // A release with other modifiers than its press types nothing.
  d->key(sc_a, "a");
  d->key_up(sc_a, plat_mod_shift);
  EXPECT_EQ(frame_with_probe(), (std::vector<key_seen>{{65, 'a', 8}, {65, 0, 17}}));
}

TEST_F(KeyFrames, TextWithoutAKeyAndTextBeyondTheFirstCharacter) {
  frame_with_probe();
  d->text("é");
  EXPECT_EQ(frame_with_probe(), (std::vector<key_seen>{{0, 0xE9, 8}}));
  d->key(sc_a, "ab");
  EXPECT_EQ(frame_with_probe(), (std::vector<key_seen>{{65, 'a', 8}, {0, 'b', 8}}));
  d->text("€x");
  EXPECT_EQ(frame_with_probe(), (std::vector<key_seen>{{0, 0x20AC, 8}, {0, 'x', 8}}));
  // The release after the extra text still carries its own character.
  d->key_up(sc_a);
  EXPECT_EQ(frame_with_probe(), (std::vector<key_seen>{{65, 'a', 16}}));
}

TEST_F(KeyFrames, KeysOfAFrameGoToTheLastFramesRing) {
  int got = -1;
  // Nothing was drawn last frame: the key goes past the field.
  d->key(sc_a, "a");
  d->frame([&] {
    got = BTN_register_focus(77, ch, vkey, flags, id, &count, k_focus_queue_size, 0x7FF, 1);
  });
  EXPECT_EQ(got, 1);
  EXPECT_EQ(count, 0);
  d->key(sc_a, "a");
  d->frame([&] { BTN_register_focus(77, ch, vkey, flags, id, &count, k_focus_queue_size, 0x7FF, 0); });
  EXPECT_EQ(count, 1);
  // A sub-window opens: the old window's fields are gone from the ring.
  open_window(2);
  EXPECT_EQ(focus_id, 0);
  EXPECT_TRUE(focus_ring.empty());
}

TEST_F(KeyFrames, ReturnClosesAnOrdinarySubWindowEvenWhenBound) {
  keys.bindings.push_back({13, 0, 5, 0});
  open_window(2);
  d->key(sc_return, "\r");
  d->frame([] {});
  EXPECT_EQ(wins.cur_win, 0);
  EXPECT_EQ(return_hit, 0);  // the close takes the flag with it
  EXPECT_EQ(keys.bindings[0].down, 0);
  // Escape too; a letter leaves the window open.
  open_window(2);
  d->key(sc_a, "a");
  d->frame([] {});
  EXPECT_EQ(wins.cur_win, 2);
  d->key(sc_escape, "");
  d->frame([] {});
  EXPECT_EQ(wins.cur_win, 0);
}

TEST_F(KeyFrames, AlertWindowOnlySetsTheFlags) {
  keys.bindings.push_back({13, 0, 5, 0});
  open_window(994);
  d->key(sc_return, "");
  d->frame([] {});
  EXPECT_EQ(wins.cur_win, 994);
  EXPECT_EQ(return_hit, 1);
  EXPECT_EQ(keys.bindings[0].down, 0);
  d->key(sc_escape, "");
  d->frame([] {});
  EXPECT_EQ(escape_hit, 1);
  EXPECT_EQ(return_hit, 0);  // cleared as the frame started
  EXPECT_EQ(wins.cur_win, 994);
}

TEST_F(KeyFrames, SaveWindowKeysNeverReachTheBindings) {
  keys.keys_io(0);
  open_window(999);
  keys.cur_key = 0;
  d->key(sc_left, "");
  d->key(sc_delete, "");
  d->frame([] {});
  EXPECT_EQ(delete_hit, 1);
  EXPECT_EQ(keys.cur_key, 46);
  for (const key_binding& b : keys.bindings) EXPECT_EQ(b.down, 0) << b.vkey;
  d->key(sc_escape, "");
  d->frame([] {});
  EXPECT_EQ(escape_hit, 1);
  EXPECT_EQ(wins.cur_win, 999);
}

TEST_F(KeyFrames, BindingsFollowPressAndRelease) {
  keys.keys_io(0);
  auto down = [](int cmnd_id) {
    for (const key_binding& b : keys.bindings)
      if (b.cmnd_id == cmnd_id) return b.down;
    return -1;
  };
  d->key(sc_left, "", plat_mod_shift);
  d->frame([] {});
  EXPECT_EQ(down(cmnd_gen_LFT), 1);
  EXPECT_EQ(down(cmnd_gen_lft), 0);
  EXPECT_EQ(keys.cur_key, 37);
  EXPECT_EQ(keys.cur_flags, 1);
  // Shift came up first: the arrow's release still lets go.
  d->key_up(sc_left);
  d->frame([] {});
  EXPECT_EQ(down(cmnd_gen_LFT), 0);
}

TEST_F(KeyFrames, KeypadEnterIsAnEnter) {
  d->key(sc_kp_enter, "");
  d->frame([] {});
  EXPECT_EQ(return_hit, 1);
  // A text field does not take it: it reaches the window.
  frame_with_probe();
  d->frame([&] { BTN_register_focus(77, ch, vkey, flags, id, &count, k_focus_queue_size, 0x3F4, 1); });
  d->key(sc_kp_enter, "");
  d->frame([&] { BTN_register_focus(77, ch, vkey, flags, id, &count, k_focus_queue_size, 0x3F4, 1); });
  EXPECT_EQ(return_hit, 1);
}

}  // namespace
