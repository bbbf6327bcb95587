// The widget demo under a real mouse: xdotool clicks its check box and its
// pop-up list and rests over a widget with help, on an X server of the
// test's own; the demo's output and ImageMagick's screenshots tell what
// happened.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <string>
#include <thread>
#include <vector>
#include "e2e_run.h"
#include "support/private_xvfb.h"
#include "support/test_env.h"

namespace {

class WidgetDemo : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(x_.ok()) << x_.error();
    dir_ = test_scratch_dir("widget_demo");
    out_ = dir_ + "out.txt";
    pid_ = fork();
    ASSERT_GE(pid_, 0);
    if (pid_ == 0) {
      if (!freopen(out_.c_str(), "w", stdout)) _exit(127);
      execl(DUV_WIDGET_DEMO, DUV_WIDGET_DEMO, DUV_BINARY_DIR "/Duvizo Installer.app", mode_, (char*)nullptr);
      _exit(127);
    }
    int status = 0;
    win_ = test_capture("xdotool search --sync --name '^widget_demo$' | head -1", &status);
    while (!win_.empty() && (win_.back() == '\n' || win_.back() == ' ')) win_.pop_back();
    ASSERT_FALSE(win_.empty());
    ASSERT_EQ(test_run("xdotool windowfocus --sync " + win_), 0);
    ASSERT_TRUE(wait_for("ready\n"));
  }
  void TearDown() override {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      int status = 0;
      waitpid(pid_, &status, 0);
    }
  }

  // Runs xdotool with the window's id put in place of W.
  int xdo(const std::string& args) {
    std::string a = args;
    for (size_t at; (at = a.find(" W ")) != std::string::npos;) a.replace(at, 3, " " + win_ + " ");
    return test_run("xdotool " + a);
  }
  // Moves the mouse to interface (x, y) of the 800 by 600 window and clicks.
  void click_at(int x, int y) { ASSERT_EQ(xdo("mousemove --window W " + std::to_string(x) + " " + std::to_string(600 - y) + " click 1"), 0); }
  // Moves the mouse to where no widget is, and lets a few frames pass.
  void mouse_away() { ASSERT_EQ(xdo("mousemove --window W 700 560 sleep 0.3"), 0); }
  std::string shot(const std::string& name) {
    const std::string png = dir_ + name + ".png";
    EXPECT_EQ(test_run("import -window " + win_ + " '" + png + "'"), 0);
    return png;
  }
  // The check box's signature once two pictures in a row agree and it is
  // what `awaited` wants; after 10 s, the last one taken.
  template <class Awaited>
  std::string box_when(const std::string& name, Awaited awaited) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::string last;
    while (std::chrono::steady_clock::now() < end) {
      const std::string now = crop_signature(shot(name), 141, 600 - 412, 18, 18);
      if (!now.empty() && now == last && awaited(now)) return now;
      last = now;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return last;
  }
  // Waits (at most 20 s) until the demo has printed text.
  bool wait_for(const std::string& text) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < end) {
      if (test_read_file(out_).find(text) != std::string::npos) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }

  private_xvfb x_{1024, 768};
  const char* mode_ = nullptr;  // the demo's option, if any
  std::string dir_, out_, win_;
  pid_t pid_ = -1;
};

TEST_F(WidgetDemo, CheckBoxClickShowsTheMark) {
  // The check box at (150, 400): its 18 by 18 box from (141, 394). A busy
  // machine may print the new value a frame before it draws it, so each
  // picture is taken again until the box shows what is awaited.
  mouse_away();
  const std::string off = box_when("off", [](const std::string&) { return true; });
  ASSERT_FALSE(off.empty());
  click_at(150, 404);
  EXPECT_TRUE(wait_for("BTN_bool returned 1\nBTN_bool value 0 -> 1\n")) << test_read_file(out_);
  mouse_away();
  const std::string on = box_when("on", [&](const std::string& s) { return s != off; });
  EXPECT_NE(on, off);
  click_at(150, 404);
  EXPECT_TRUE(wait_for("BTN_bool value 1 -> 0\n")) << test_read_file(out_);
  mouse_away();
  EXPECT_EQ(box_when("off_again", [&](const std::string& s) { return s == off; }), off);
}

TEST_F(WidgetDemo, PopUpListChoiceIsReported) {
  // The list at (450, 400); its rows run 12 units apart below the shown item.
  // A busy machine may not have drawn the open list by the second click:
  // the user then opens it and picks again.
  bool chosen = false;
  for (int attempt = 0; attempt < 5 && !chosen; ++attempt) {
    click_at(460, 403);
    ASSERT_EQ(xdo("sleep 0.3"), 0);
    click_at(460, 403 - 24);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (!chosen && std::chrono::steady_clock::now() < end) {
      chosen = test_read_file(out_).find("BTN_textlist value 0 -> 2\n") != std::string::npos;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  EXPECT_TRUE(wait_for("BTN_textlist returned 1\nBTN_textlist value 0 -> 2\n")) << test_read_file(out_);
}

TEST_F(WidgetDemo, RestingOverAWidgetShowsTheBubble) {
  mouse_away();
  const std::string plain = crop_signature(shot("plain"), 20, 600 - 470, 380, 40);
  // Over the check box; the bubble rises above and left of the mouse.
  ASSERT_EQ(xdo("mousemove --window W 150 196 sleep 1.5"), 0);
  const std::string png = shot("bubble");
  const std::string with_bubble = crop_signature(png, 20, 600 - 470, 380, 40);
  ASSERT_FALSE(plain.empty());
  EXPECT_NE(with_bubble, plain) << png;
}

// The demo's field that takes every key, under a real X keyboard.
class KeysDemo : public WidgetDemo {
 protected:
  void SetUp() override {
    mode_ = "--keys";
    WidgetDemo::SetUp();
  }
  // Whether the lines occur in the output in this order.
  bool printed_in_order(const std::vector<std::string>& lines) {
    const std::string out = test_read_file(out_);
    size_t at = 0;
    for (const std::string& l : lines) {
      at = out.find(l + "\n", at);
      if (at == std::string::npos) return false;
      at += l.size();
    }
    return true;
  }
};

TEST_F(KeysDemo, KeysPrintTheirNumberCharacterAndFlags) {
  ASSERT_EQ(xdo("key --delay 60 a shift+a Return KP_Enter Escape BackSpace Left F5 ctrl+v"), 0);
  ASSERT_TRUE(wait_for("key 86 0x0 12\n")) << test_read_file(out_);
  ASSERT_EQ(xdo("sleep 0.3"), 0);
  EXPECT_TRUE(printed_in_order({"key 65 0x61 8", "key 65 0x61 16", "key 65 0x41 9",
                                "key 13 0xD 8", "key 13 0xD 16", "key 188 0x0 8", "key 27 0x1B 8",
                                "key 8 0x8 8", "key 37 0x1C 8", "key 116 0x0 8", "key 86 0x0 12"}))
      << test_read_file(out_);
  // Nine keys, each down and up: Shift and Control alone are no keys. (xdotool
  // lets go of the modifiers first, so those releases carry no character.)
  const std::string out = test_read_file(out_);
  int lines = 0;
  for (size_t at = 0; (at = out.find("key ", at)) != std::string::npos; ++at) ++lines;
  EXPECT_EQ(lines, 18) << out;
}

TEST_F(KeysDemo, TypedCharactersBeyondTheKeyboardArriveOnce) {
  // A spare key carries both characters before typing starts. Left to
  // itself, xdotool maps them for each press and unmaps them right after,
  // and a demo slowed by a busy machine reads the key against the unmapped
  // keyboard and sees nothing.
  ASSERT_EQ(test_run("xmodmap -e 'keycode 250 = eacute EuroSign'"), 0);
  ASSERT_EQ(xdo("sleep 0.3"), 0);
  ASSERT_EQ(xdo("type --delay 250 '\u00e9\u20ac'"), 0);
  ASSERT_TRUE(wait_for(" 0x20AC 8\n")) << test_read_file(out_);
  ASSERT_EQ(xdo("sleep 0.3"), 0);
  const std::string out = test_read_file(out_);
  auto presses_of = [&](const std::string& ch) {
    int n = 0;
    for (size_t at = 0; (at = out.find(" " + ch + " 8\n", at)) != std::string::npos; ++at) ++n;
    return n;
  };
  EXPECT_EQ(presses_of("0xE9"), 1) << out;
  EXPECT_EQ(presses_of("0x20AC"), 1) << out;
}

}  // namespace

namespace {

// The demo's two text fields under a real X keyboard and clipboard.
class FieldsDemo : public WidgetDemo {
 protected:
  void SetUp() override {
    mode_ = "--fields";
    WidgetDemo::SetUp();
  }
  // Clicks the field at (x, y) and lets the demo draw a few frames, so the
  // field holds the focus before keys come: keys that arrive in the click's
  // own frame go to the focus the frame began with. The two characters
  // beyond the keyboard get a spare key of their own first (see KeysDemo).
  void focus_field(int x, int y) {
    ASSERT_EQ(test_run("xmodmap -e 'keycode 250 = eacute EuroSign'"), 0);
    click_at(x, y);
    ASSERT_EQ(xdo("sleep 0.5"), 0);
  }
  // The desktop's clipboard as another X client reads it.
  std::string clipboard() { return test_capture("xclip -o -selection clipboard 2>/dev/null"); }
  // Another X client copies text; waits until the clipboard shows it.
  bool other_client_copies(const std::string& text) {
    if (test_run("printf %s '" + text + "' | xclip -i -selection clipboard 2>/dev/null") != 0) return false;
    for (int i = 0; i < 200; ++i) {
      if (clipboard() == text) return true;
      xdo("sleep 0.02");
    }
    return false;
  }
};

TEST_F(FieldsDemo, TypingCopyPasteAndTab) {
  focus_field(160, 203);
  ASSERT_EQ(xdo("type 'Mein Ordner '"), 0);
  ASSERT_EQ(xdo("type --delay 250 '\u00e9\u20ac'"), 0);
  ASSERT_EQ(xdo("key --delay 100 shift+Left shift+Left ctrl+c sleep 0.3"), 0);
  EXPECT_EQ(clipboard(), "\u00e9\u20ac");
  ASSERT_TRUE(other_client_copies("abc\ndef"));
  ASSERT_EQ(xdo("key --delay 100 ctrl+v Tab"), 0);
  ASSERT_EQ(xdo("type 'zwei'"), 0);
  ASSERT_EQ(xdo("key Escape"), 0);
  EXPECT_TRUE(wait_for("field 1 [Mein Ordner abc def]\nfield 2 [zwei]\ncaret visible 1\n")) << test_read_file(out_);
}

TEST_F(FieldsDemo, AnOverWideNameKeepsEveryByteAndItsCaretShows) {
  const std::string name(256, 'W');
  ASSERT_TRUE(other_client_copies(name));
  focus_field(160, 203);
  ASSERT_EQ(xdo("key --delay 100 ctrl+v"), 0);
  ASSERT_EQ(xdo("type --delay 250 '\u00e9'"), 0);
  ASSERT_EQ(xdo("key Escape"), 0);
  EXPECT_TRUE(wait_for("field 1 [" + name + "]\nfield 2 []\ncaret visible 1\n")) << test_read_file(out_);
}

}  // namespace
