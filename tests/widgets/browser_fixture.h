// The file browser's tests: the typing fixture in a fixture folder made
// current, with input scripted frame by frame for the modal loop the browser
// runs itself, and the drawing of each of its frames.
#pragma once
#include <sys/stat.h>
#include <unistd.h>
#include <functional>
#include <string>
#include <vector>
#include "number_fixture.h"
#include "shell/hl_event.h"
#include "support/test_env.h"
#include "widgets/butn_list.h"
#include "widgets/butn_opensave.h"
#include "widgets/butn_slider.h"

// Keyboard scancodes of the keys the browser reacts to.
enum { sc_return = 40, sc_escape = 41, sc_delete = 76 };

class Browser : public Typing {
 protected:
  void SetUp() override {
    Typing::SetUp();
    type_ahead.clear();
    current_list_id = 0;
    for (int& g : slider_grabbed) g = 0;
    ASSERT_NE(getcwd(old_cwd_, sizeof old_cwd_), nullptr);
    root_ = test_scratch_dir("browser");
    ASSERT_EQ(chdir(root_.c_str()), 0);
    for (const char* folder : {"Aircraft", "my-folder", "Output", "Output/replays"})
      ASSERT_EQ(mkdir(folder, 0755), 0);
    ASSERT_TRUE(test_write_file("Aircraft/glider.acf", "glider"));
    ASSERT_TRUE(test_write_file(".hidden.acf", "hidden"));
    ASSERT_TRUE(test_write_file("notes.fdr", "I\n1 version\nCOMM,Approach to runway 4\n"));
    ASSERT_TRUE(test_write_file("bad.fdr", "I\n1 version\nCOMM Approach\n"));
    ASSERT_TRUE(test_write_file("my-folder/caf\xc3\xa9", "cafe"));
    ASSERT_TRUE(test_write_file("Output/replays/one.rep", "replay"));
    self_ = this;
    driver_start_ = MACIBM_frame_start_hook;
    MACIBM_frame_start_hook = scripted_start;
  }
  void TearDown() override {
    MACIBM_frame_start_hook = driver_start_;
    self_ = nullptr;
    wins.start_win(0);
    EXPECT_EQ(chdir(old_cwd_), 0);
    Typing::TearDown();
  }

  // Runs body (which starts a modal loop) with script called as each frame
  // of it starts, with the frame's number (0 the first). A loop still
  // running after 300 frames has its sub-window closed.
  void run(const std::function<void(int)>& script, const std::function<void()>& body) {
    script_ = script;
    frame_ = 0;
    // No press of an earlier run pairs with the first one into a double click.
    mnw.last_press_time = -100;
    d->advance(2);
    d->modal_frame(body);
    script_ = nullptr;
  }
  // A press in frame at and its release in the next, at (x, y) of the open
  // sub-window.
  void click_in(int f, int at, float x, float y) {
    const int px = static_cast<int>(wins.win_x + x), py = static_cast<int>(wins.win_y + y);
    if (f == at) d->press(px, py);
    if (f == at + 1) d->release(px, py);
  }
  // Two clicks in frames at to at + 3.
  void double_click_in(int f, int at, float x, float y) {
    click_in(f, at, x, y);
    click_in(f, at + 2, x, y);
  }
  // The list row of item i when the list scrolls to scroll.
  static float row_y(int i, int scroll) { return 180.0f + 10 * (scroll - i); }
  // The texts of the frame before the current one, in colour col (-1 any);
  // the empty titles of panels left out.
  std::vector<std::string> texts(int col = -1) const {
    std::vector<std::string> out;
    for (const OGL_string_call& s : last_.strings)
      if ((col < 0 || s.col == col) && !s.text.empty()) out.push_back(s.text);
    return out;
  }
  bool drew(const std::string& text, int col = -1) const {
    for (const std::string& t : texts(col))
      if (t == text) return true;
    return false;
  }

  std::string root_;

 private:
  static void scripted_start() {
    Browser& b = *self_;
    b.last_ = b.d->trace();
    b.d->clear_trace();
    const int f = b.frame_++;
    if (b.script_) b.script_(f);
    b.driver_start_();
    if (f >= 300 && wins.cur_win != 0) MACIBM_close_win();
  }

  static inline Browser* self_ = nullptr;
  void (*driver_start_)() = nullptr;
  std::function<void(int)> script_;
  int frame_ = 0;
  frame_trace last_;
  char old_cwd_[4096] = {};
};
