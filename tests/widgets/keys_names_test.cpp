// The key tables, the default bindings and the names of keys and modifiers.
#include <gtest/gtest.h>
#include "widgets/cmnd.h"
#include "widgets/keys.h"
#include "widgets/keys_tables.h"

namespace {

template <typename Row, typename End>
int rows_of(const Row* table, End at_end) {
  int n = 0;
  while (!at_end(table[n])) ++n;
  return n;
}

TEST(Keys, TablesHaveTheirRows) {
  EXPECT_EQ(rows_of(kKeyNameTable, [](const key_name_row& r) { return !r.code; }), 110);
  EXPECT_EQ(rows_of(kKeyTranslations, [](const key_code_row& r) { return !r.mac_code && !r.vkey; }), 63);
  EXPECT_EQ(rows_of(kAsciiMappings, [](const key_ascii_row& r) { return !r.ch; }), 49);
  EXPECT_EQ(rows_of(kCharTranslations, [](const key_char_row& r) { return !r.ch; }), 103);
  keys_class k;
  EXPECT_EQ(k.max_vkey, 189);
  ASSERT_EQ(k.spare_vkeys.size(), 79u);
  EXPECT_EQ(k.spare_vkeys.front(), 1);
  for (size_t i = 1; i < k.spare_vkeys.size(); ++i) EXPECT_LT(k.spare_vkeys[i - 1], k.spare_vkeys[i]);
  for (int v : k.spare_vkeys) EXPECT_EQ(KEY_name_row(v), nullptr) << v;
}

TEST(Keys, EveryPrintableCharacterHasItsUsKey) {
  keys_class k;
  int vkey = -1, mods = -1;
  for (int ch = ' '; ch <= '~'; ++ch) EXPECT_EQ(k.ascii_to_vkey(ch, vkey, mods), 1) << ch;
  const struct {
    int ch, vkey, mods;
  } cases[] = {{'a', 65, 0}, {'A', 65, 1}, {'!', 49, 1}, {':', 181, 1}, {'{', 179, 1}, {'}', 178, 1},
               {'~', 186, 1}, {'"', 180, 1}, {'?', 184, 1}, {' ', 32, 0}, {13, 13, 0}, {28, 37, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(k.ascii_to_vkey(c.ch, vkey, mods), 1) << c.ch;
    EXPECT_EQ(vkey, c.vkey) << c.ch;
    EXPECT_EQ(mods, c.mods) << c.ch;
  }
  EXPECT_EQ(k.ascii_to_vkey(0xE9, vkey, mods), 0);
  EXPECT_EQ(vkey, 0);
  EXPECT_EQ(mods, 0);
}

TEST(Keys, DefaultBindingsAreTheCommandTableRowsWithAKey) {
  keys_class k;
  k.bindings.assign(40, key_binding{99, 7, 99, 0});
  k.bindings[2].down = 1;
  k.keys_io(0);
  struct row {
    const char* path;
    int vkey, flags;
  };
  const row want[] = {
      {"sim/operation/screenshot", 185, 4}, {"sim/operation/quicktime_record_toggle", 32, 4},
      {"sim/general/left", 37, 0},          {"sim/general/right", 39, 0},
      {"sim/general/up", 38, 0},            {"sim/general/down", 40, 0},
      {"sim/general/forward", 185, 0},      {"sim/general/backward", 183, 0},
      {"sim/general/zoom_in", 176, 0},      {"sim/general/zoom_out", 177, 0},
      {"sim/general/left_fast", 37, 1},     {"sim/general/right_fast", 39, 1},
      {"sim/general/up_fast", 38, 1},       {"sim/general/down_fast", 40, 1},
      {"sim/general/forward_fast", 185, 1}, {"sim/general/backward_fast", 183, 1},
      {"sim/general/zoom_in_fast", 176, 1}, {"sim/general/zoom_out_fast", 177, 1},
      {"sim/general/rot_up", 82, 0},        {"sim/general/rot_down", 70, 0},
      {"sim/general/rot_left", 81, 0},      {"sim/general/rot_right", 69, 0},
      {"sim/general/rot_up_fast", 82, 1},   {"sim/general/rot_down_fast", 70, 1},
      {"sim/general/rot_left_fast", 81, 1}, {"sim/general/rot_right_fast", 69, 1},
  };
  ASSERT_EQ(k.bindings.size(), 26u);
  for (size_t i = 0; i < 26; ++i) {
    EXPECT_EQ(k.bindings[i].vkey, want[i].vkey) << want[i].path;
    EXPECT_EQ(k.bindings[i].flags, want[i].flags) << want[i].path;
    const int id = cmnd.get_cmnd_by_name(want[i].path);
    EXPECT_NE(id, 0) << want[i].path;
    EXPECT_EQ(k.bindings[i].cmnd_id, id) << want[i].path;
  }
  EXPECT_EQ(k.bindings[0].cmnd_id, cmnd_scrshot);
  EXPECT_EQ(k.bindings[25].cmnd_id, cmnd_v_rot_RGT);
  // The down state survives the reset: row 2 is binding 1 once the row
  // without a key before it is gone.
  EXPECT_EQ(k.bindings[1].down, 1);
  EXPECT_EQ(k.key_bound_to(37, 1), cmnd_gen_LFT);
  EXPECT_EQ(k.key_bound_to(37, 0), cmnd_gen_lft);
  EXPECT_EQ(k.key_bound_to(37, 4), 0);
  EXPECT_EQ(k.key_bound_to(1, 0), 0);
  EXPECT_EQ(k.get_key_for_cmnd(cmnd_gen_LFT), "SHIFT-left");
  EXPECT_EQ(k.get_key_for_cmnd(cmnd_gen_lft), "left");
  EXPECT_EQ(k.get_key_for_cmnd(cmnd_scrshot), "CTRL-.");
  EXPECT_EQ(k.get_key_for_cmnd(cmnd_quit), "");
  k.keys_io(1);
  EXPECT_EQ(k.bindings.size(), 26u);
}

TEST(Keys, NamesOfKeysAndModifiers) {
  keys_class k;
  EXPECT_EQ(k.flag_to_str(7), "SHIFTALTCTRL");
  EXPECT_EQ(k.flag_to_str(5), "SHIFTCTRL");
  EXPECT_EQ(k.flag_to_str(0), "<none>");
  EXPECT_EQ(k.flag_to_code(5), "tessel_ShiftFlagtessel_ControlFlag");
  EXPECT_EQ(k.flag_to_code(2), "tessel_OptionAltFlag");
  EXPECT_EQ(k.flag_to_code(0), "0");
  EXPECT_EQ(k.str_to_flag("SHIFT-CTRL"), 5);
  EXPECT_EQ(k.str_to_flag("CTRLALT"), 6);
  EXPECT_EQ(k.str_to_flag("<none>"), 0);

  const struct {
    int vkey;
    const char *shown, *code;
  } names[] = {{0, "<NONE>", "0"},
               {150, "KEY150", "150"},
               {8, "Backspace", "TESSEL_VK_BACK"},
               {37, "Left", "TESSEL_VK_LEFT"},
               {53, "5", "TESSEL_VK_5"},
               {90, "Z", "TESSEL_VK_Z"},
               {105, "Numpad-9", "TESSEL_VK_NUMPAD9"},
               {135, "F24", "TESSEL_VK_F24"},
               {182, "\\", "TESSEL_VK_BACKSLASH"},
               {186, "`", "TESSEL_VK_BACKQUOTE"},
               {188, "Numpad-Enter", "TESSEL_VK_NUMPAD_ENT"},
               {189, "Numpad-=", "TESSEL_VK_NUMPAD_EQ"}};
  for (const auto& n : names) {
    EXPECT_EQ(k.vkey_to_str(n.vkey), n.shown) << n.vkey;
    EXPECT_EQ(k.vkey_to_code(n.vkey), n.code) << n.vkey;
  }

  const struct {
    const char* text;
    int vkey;
  } parsed[] = {{"left", 37}, {"LEFT", 37}, {"numpad-enter", 188}, {"KEY150", 150}, {"KEY", 0},
                {"KEY15x", 0}, {"KEY-3", 0}, {"key150", 0}, {"nothing", 0}, {"", 0}, {"F5", 116}};
  for (const auto& p : parsed) EXPECT_EQ(k.str_to_vkey(p.text), p.vkey) << p.text;

  int vkey = 0, mods = 0;
  EXPECT_EQ(k.ascii_to_vkey('!', vkey, mods), 1);
  EXPECT_EQ(vkey, 49);
  EXPECT_EQ(mods, 1);
  EXPECT_EQ(k.ascii_to_vkey(13, vkey, mods), 1);
  EXPECT_EQ(vkey, 13);
  EXPECT_EQ(mods, 0);
}

TEST(Keys, ScriptBytesBelow128StandAlone) {
  EXPECT_EQ(script_to_utf32('a'), 'a');
  EXPECT_EQ(script_to_utf32(127), 127);
  EXPECT_EQ(script_to_utf32(0x8E), 0);
  EXPECT_EQ(script_to_utf32(0xFF), 0);
}

TEST(Keys, PressesAndReleasesOfBoundKeys) {
  keys_class k;
  k.keys_io(0);
  auto down = [&](int cmnd_id) {
    for (const key_binding& b : k.bindings)
      if (b.cmnd_id == cmnd_id) return b.down;
    return -1;
  };
  k.execute_key_cmnd(37, 1 | 8);
  EXPECT_EQ(down(cmnd_gen_LFT), 1);
  EXPECT_EQ(down(cmnd_gen_lft), 0);
  // Shift came up before the arrow.
  k.execute_key_cmnd(37, 16);
  EXPECT_EQ(down(cmnd_gen_LFT), 0);
  k.handle_key(0, 8);
  k.handle_key(82, 8);
  EXPECT_EQ(down(cmnd_v_rot_up), 1);
}

}  // namespace
