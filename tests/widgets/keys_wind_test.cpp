// The key-assignment window through real frames: rows and their texts, keys
// captured into the picked binding, Add and Delete with the scroll, and the
// command chooser.
#include "click_fixture.h"
#include "widgets/butn_slider.h"
#include "widgets/cmnd.h"
#include "widgets/keys.h"
#include "widgets/keys_wind.h"

namespace {

enum { sc_f5 = 62, sc_left_shift = 225, vk_left = 37, vk_f5 = 116 };
// Where the window puts things in a window 800 wide, with the chooser.
constexpr float k_button_x = 385 + 92, k_add_y = 25, k_delete_y = 45;
constexpr float k_groups_x = 579 + 15, k_commands_x = k_groups_x + 210;

float row_y(int row) { return 689.0f - 20 * row; }

class KeysWind : public Clicks {
 protected:
  void SetUp() override {
    Clicks::SetUp();
    saved_ = keys.bindings;
    keys_wind_view = keys_wind_state();
    for (int& g : slider_grabbed) g = 0;
    mnw.last_press_time = -100;
  }
  void TearDown() override {
    keys.bindings = saved_;
    keys_wind_view = keys_wind_state();
    Clicks::TearDown();
  }
  void frame(int no_chooser = 0) {
    d->frame([&] { keys.keys_wind(no_chooser); });
  }
  void click(float x, float y, int no_chooser = 0) {
    d->press(static_cast<int>(x), static_cast<int>(y));
    frame(no_chooser);
    d->release(static_cast<int>(x), static_cast<int>(y));
    frame(no_chooser);
  }
  // The row buttons' labels and the paths beside them, in drawing order.
  std::vector<std::string> rows_drawn() const {
    std::vector<std::string> out;
    for (const OGL_string_call& s : d->trace().strings)
      if (s.x == 78 && s.just == 1) out.push_back(s.text);
    return out;
  }
  std::vector<std::string> paths_drawn() const {
    std::vector<std::string> out;
    for (const OGL_string_call& s : strings_in(50))
      if (s.x == 140) out.push_back(s.text);
    return out;
  }
  static key_binding bind(int vkey, int flags, int cmnd_id) { return key_binding{vkey, flags, cmnd_id, 0}; }

 private:
  std::vector<key_binding> saved_;
};

TEST_F(KeysWind, RowsShowModifiersKeyAndThePathAfterSim) {
  keys.bindings = {bind(vk_left, 1, cmnd_gen_LFT), bind(vk_left, 0, cmnd_gen_lft), bind(0, 0, cmnd_quit),
                   bind(vk_f5, 5, cmnd_scrshot)};
  frame();
  EXPECT_EQ(rows_drawn(), (std::vector<std::string>{"SHIFT Left", "Left", "<NONE>", "SHIFTCTRL F5"}));
  EXPECT_EQ(paths_drawn(),
            (std::vector<std::string>{"general/left_fast", "general/left", "operation/quit", "operation/screenshot"}));
  // Every text is the translated one; nothing selected offers Delete.
  bool help_drawn = false, add = false, del = false;
  for (const OGL_string_call& s : d->trace().strings) {
    help_drawn = help_drawn || s.text.find("funtion to that keypress!") != std::string::npos;
    add = add || s.text == "Add New Key Assignment";
    del = del || s.text == "Delete Selected Key Assignment";
  }
  EXPECT_TRUE(help_drawn);
  EXPECT_TRUE(add);
  EXPECT_FALSE(del);
}

TEST_F(KeysWind, AKeyGoesToThePickedBindingAndLeavesNoOtherWithIt) {
  keys.bindings = {bind(vk_left, 0, cmnd_gen_lft), bind(vk_f5, 0, cmnd_quit), bind(vk_f5, 1, cmnd_scrshot),
                   bind(vk_f5, 0, cmnd_qtim)};
  frame();
  click(78, row_y(0));
  EXPECT_EQ(keys_wind_view.selected, 0);
  d->key(sc_f5, "");
  frame();
  d->key_up(sc_f5);
  frame();
  const int expected[][2] = {{vk_f5, 0}, {0, 0}, {vk_f5, 1}, {0, 0}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(keys.bindings[i].vkey, expected[i][0]) << i;
    EXPECT_EQ(keys.bindings[i].flags, expected[i][1]) << i;
  }
  // A modifier going down alone gives no key: the F5 just taken stays.
  click(78, row_y(1));
  d->key(sc_left_shift, "", plat_mod_shift);
  frame();
  EXPECT_EQ(keys.bindings[0].vkey, vk_f5);
  EXPECT_EQ(keys.bindings[1].vkey, 0);
  d->key_up(sc_left_shift);
  frame();
  click(78, row_y(0));
  // A second click on the picked row lets it go; keys then change nothing.
  click(78, row_y(0));
  EXPECT_EQ(keys_wind_view.selected, -1);
  d->key(sc_f5, "", plat_mod_shift);
  frame();
  EXPECT_EQ(keys.bindings[2].vkey, vk_f5);
  EXPECT_EQ(keys.bindings[0].flags, 0);
}

TEST_F(KeysWind, AddScrollsToTheLast34) {
  const struct {
    int before, scroll_after;
  } cases[] = {{10, 0}, {33, 0}, {34, 1}, {40, 7}};
  for (const auto& c : cases) {
    keys.bindings.assign(c.before, bind(vk_left, 0, cmnd_gen_lft));
    keys_wind_view = keys_wind_state();
    frame();
    click(k_button_x, k_add_y);
    ASSERT_EQ(static_cast<int>(keys.bindings.size()), c.before + 1);
    EXPECT_EQ(keys.bindings.back().vkey, 0);
    EXPECT_EQ(keys.bindings.back().cmnd_id, cmnd.get_cmnd_by_name("sim/operation/none"));
    EXPECT_EQ(keys.bindings.back().cmnd_id, 0);
    EXPECT_EQ(keys_wind_view.scroll, c.scroll_after) << c.before;
  }
}

TEST_F(KeysWind, DeletingTheLastRowLeavesNothingPicked) {
  keys.bindings = {bind(vk_left, 0, cmnd_gen_lft), bind(vk_left, 1, cmnd_gen_LFT), bind(vk_f5, 0, cmnd_quit)};
  frame();
  click(78, row_y(2));
  ASSERT_EQ(keys_wind_view.selected, 2);
  click(k_button_x, k_delete_y);
  ASSERT_EQ(keys.bindings.size(), 2u);
  EXPECT_EQ(keys_wind_view.selected, -1);
  // The next key finds no binding to write to.
  d->key(sc_f5, "");
  frame();
  EXPECT_EQ(keys.bindings[0].vkey, vk_left);
  EXPECT_EQ(keys.bindings[1].vkey, vk_left);
  EXPECT_EQ(keys.bindings[1].flags, 1);

  // Deleting from a scrolled table keeps the scroll within it.
  keys.bindings.assign(40, bind(vk_left, 0, cmnd_gen_lft));
  keys_wind_view = keys_wind_state();
  keys_wind_view.scroll = 6;
  frame();
  click(78, row_y(33));
  ASSERT_EQ(keys_wind_view.selected, 39);
  click(k_button_x, k_delete_y);
  EXPECT_EQ(keys.bindings.size(), 39u);
  EXPECT_EQ(keys_wind_view.scroll, 5);
  EXPECT_EQ(keys_wind_view.selected, -1);
}

TEST_F(KeysWind, TheChooserStoresTheChosenCommand) {
  keys.bindings = {bind(vk_left, 0, cmnd_gen_lft)};
  frame();
  click(78, row_y(0));
  frame();
  std::vector<std::string> shown;
  for (const OGL_string_call& s : strings_in(52))
    if (!s.text.empty()) shown.push_back(s.text);  // panels draw their empty titles
  EXPECT_EQ(shown, (std::vector<std::string>{"sim/general/left", "General command: left."}));
  // The groups beside "sim/general/": none, operation, general; the
  // group's commands: left, right, ...
  click(k_commands_x, 670 + 2);
  EXPECT_EQ(keys.bindings[0].cmnd_id, cmnd_gen_rgt);
  click(k_groups_x, 673 + 2);
  // operation holds screenshot, quicktime_record_toggle, quit.
  click(k_commands_x, 655 + 2);
  EXPECT_EQ(keys.bindings[0].cmnd_id, cmnd_quit);
  // Without the chooser nothing of it is drawn.
  frame(1);
  for (const OGL_string_call& s : strings_in(52)) EXPECT_EQ(s.text, "");
}

}  // namespace
