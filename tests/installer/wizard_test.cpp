// The wizard frame through real frames, with stub screens: which click wins,
// when a screen is told it is new, the Quit button and quit handlers, the
// window's close request and the log's line of each, the progress bar, and
// the picture buttons' places in each language.
#include <map>
#include "core/hl_alert.h"
#include "installer/run_log.h"
#include "installer/wizard.h"
#include "shell/hl_event.h"
#include "support/gl_console.h"
#include "support/xer_capture.h"
#include "tex/tman.h"
#include "widgets/click_fixture.h"

namespace {

const bool gl_ready = gl_console_register();

// What the stub screens do this frame, and what they saw.
struct stub_plan {
  screen_func back = nullptr, next = nullptr;
  std::vector<std::string> choice_names;
  std::vector<screen_func> choice_funcs;
  int result = 0;
  float progress = -1;
  std::string status;
  int (*quit)() = nullptr;
};
stub_plan plan;
std::vector<std::pair<char, int>> calls;  // screen, first

int fill(char name, int first, wizard_screen& s) {
  calls.push_back({name, first});
  s.title = std::string("Screen ") + name;
  s.back = plan.back;
  s.next_screen = plan.next;
  s.choice_names = plan.choice_names;
  s.choice_funcs = plan.choice_funcs;
  s.progress = plan.progress;
  s.status = plan.status;
  s.quit = plan.quit;
  return plan.result;
}
int screen_a(int first, wizard_screen& s) { return fill('a', first, s); }
int screen_b(int first, wizard_screen& s) { return fill('b', first, s); }
int screen_c(int first, wizard_screen& s) { return fill('c', first, s); }
int screen_d(int first, wizard_screen& s) { return fill('d', first, s); }

int quit_result = 0;
int quit_handler() { return quit_result; }

class Wizard : public Clicks {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gl_ready);
    Clicks::SetUp();
    // The wizard's background, as start-up loads it.
    ASSERT_EQ(tman.load_texture_idx(tex_fail_silent, 364, 0x48241, tex_load_now,
                                    DUV_BINARY_DIR "/Duvizo Installer.app/Contents/Resources/background.png"),
              364);
    plan = stub_plan();
    calls.clear();
    app_done = 0;
    quit_request = 0;
    mnw.lang = 0;
    step_names.clear();
    step_funcs.clear();
    wizard_forget_last();
    g_wizard = screen_a;
  }
  void TearDown() override {
    app_done = 0;
    quit_request = 0;
    mnw.lang = 0;
    g_wizard = nullptr;
    tman.unload_texture(364);
    Clicks::TearDown();
  }
  void frame() { d->frame(APP_update_wizard); }
  void click(int x, int y) {
    d->press(x, y);
    frame();
    d->release(x, y);
  }
  // The extent of the texture-362 quads of the last frame, left to right.
  std::vector<quad_extent> pictures() const {
    std::vector<quad_extent> out;
    for (const OGL_quad_call& q : d->trace().quads) {
      if (q.tex != 362) continue;
      quad_extent e;
      e.found = 1;
      for (const auto& c : q.corner) {
        e.left = std::min(e.left, c[0]), e.right = std::max(e.right, c[0]);
        e.bottom = std::min(e.bottom, c[1]), e.top = std::max(e.top, c[1]);
      }
      // The pictures fill the button row, 22 high from y 12; the bars
      // behind them are taller.
      if (e.bottom == 12 && e.top == 34) out.push_back(e);
    }
    std::sort(out.begin(), out.end(), [](const quad_extent& a, const quad_extent& b) { return a.left < b.left; });
    return out;
  }
};

// English places: Quit 30..86, Back 550..639, Next 669..770, all at y 12..34.
constexpr int k_quit_x = 50, k_back_x = 600, k_next_x = 720, k_row_y = 20;

TEST_F(Wizard, LaterStepsWinChoiceThenNextThenBackThenResult) {
  const struct {
    const char* what;
    int x, y;
    int result;
    screen_func want;
  } cases[] = {
      {"choice", 500, 350, 0, screen_b},
      {"Next", k_next_x, k_row_y, 0, screen_c},
      {"Back", k_back_x, k_row_y, 0, screen_d},
      {"result over a choice", 500, 350, 1, screen_c},
      {"result over Back", k_back_x, k_row_y, 1, screen_c},
      {"nothing", 400, 500, 0, screen_a},
  };
  for (const auto& c : cases) {
    g_wizard = screen_a;
    plan = stub_plan();
    plan.choice_names = {"Go to b"};
    plan.choice_funcs = {screen_b};
    plan.next = screen_c;
    plan.back = screen_d;
    plan.result = c.result;
    click(c.x, c.y);
    EXPECT_EQ(g_wizard, c.want) << c.what;
  }
}

TEST_F(Wizard, FirstOnlyAfterAChangeAndResultWithoutNextStays) {
  plan.result = 1;  // no next screen: stays
  frame();
  frame();
  g_wizard = screen_b;
  frame();
  frame();
  EXPECT_EQ(calls, (std::vector<std::pair<char, int>>{{'a', 1}, {'a', 0}, {'b', 1}, {'b', 0}}));
  EXPECT_EQ(g_wizard, screen_b);
}

TEST_F(Wizard, DimmedButtonsDoNothing) {
  click(k_next_x, k_row_y);
  click(k_back_x, k_row_y);
  EXPECT_EQ(g_wizard, screen_a);
  EXPECT_EQ(app_done, 0);
}

TEST_F(Wizard, QuitAtTheRightEndsAfterItsFrame) {
  plan.next = wizard_quit;
  frame();
  const std::vector<quad_extent> p = pictures();
  // Back (dimmed) and the Quit picture in Next's place; none at the left.
  ASSERT_EQ(p.size(), 2u);
  EXPECT_FLOAT_EQ(p[1].right, 770);
  EXPECT_FLOAT_EQ(p[1].right - p[1].left, 56);
  EXPECT_GT(p[0].left, 100);
  click(50, k_row_y);  // where the left Quit would be
  EXPECT_EQ(app_done, 0);
  click(740, k_row_y);
  EXPECT_EQ(g_wizard, wizard_quit);
  EXPECT_EQ(app_done, 0);
  RUN_pass_ended(k_pass_stopped);  // no pass runs
  xer_capture log;
  frame();
  EXPECT_EQ(app_done, 1);
  EXPECT_EQ(log.text(), "The user clicked Quit.\n");
}

TEST_F(Wizard, QuitHandlersAndTheCloseRequestDecideByTheLowByte) {
  const struct {
    bool handler;
    int result;
    int done;
  } cases[] = {{false, 0, 1}, {true, 0, 0}, {true, 1, 1}, {true, 0x100, 0}, {true, 0x101, 1}};
  RUN_pass_ended(k_pass_stopped);  // no pass runs
  for (const auto& c : cases) {
    for (int by_close = 0; by_close < 2; ++by_close) {
      app_done = 0;
      plan.quit = c.handler ? quit_handler : nullptr;
      quit_result = c.result;
      xer_capture log;
      if (by_close) {
        quit_request = 1;
        frame();
      } else {
        click(k_quit_x, k_row_y);
      }
      EXPECT_EQ(app_done, c.done) << "handler " << c.handler << " result " << c.result << " close " << by_close;
      EXPECT_EQ(quit_request, 0);
      // Only a Quit that ends the program is told.
      const char* told = by_close ? "The user closed the window.\n" : "The user clicked Quit.\n";
      EXPECT_EQ(log.text(), c.done ? told : "") << "handler " << c.handler << " result " << c.result;
    }
  }
}

TEST_F(Wizard, ProgressBarFillAndStatusLine) {
  const struct {
    float progress;
    float width;
  } cases[] = {{0, 20.8f}, {0.5f, 270.4f}, {1, 520}, {3, 520}, {-0.5f, -1}};
  for (const auto& c : cases) {
    plan.progress = c.progress;
    plan.status = "Copying";
    frame();
    const quad_extent fill = extent_of(d->trace(), bar_rect(5));
    const quad_extent trough = extent_of(d->trace(), bar_rect(4));
    bool status_shown = false;
    for (const OGL_string_call& s : d->trace().strings) status_shown |= s.text == "Copying";
    if (c.width < 0) {
      EXPECT_FALSE(fill.found || trough.found) << c.progress;
      EXPECT_FALSE(status_shown);
      continue;
    }
    ASSERT_TRUE(fill.found && trough.found) << c.progress;
    // Bars are drawn in whole pixels.
    EXPECT_NEAR(fill.width(), c.width, 1) << c.progress;
    EXPECT_NEAR(fill.left, 240, 1) << c.progress;
    EXPECT_NEAR(trough.width(), 520, 0.01);
    EXPECT_TRUE(status_shown);
  }
}

TEST_F(Wizard, BackFollowsTheNextPicturesWidthInEachLanguage) {
  const float back_right[6] = {639, 628, 665, 673, 640, 627};
  plan.next = screen_b;
  plan.back = screen_c;
  for (int lang = 0; lang < 6; ++lang) {
    mnw.lang = lang;
    frame_driver::load_pictures(false, lang);
    frame();
    const std::vector<quad_extent> p = pictures();
    ASSERT_EQ(p.size(), 3u) << lang;
    EXPECT_FLOAT_EQ(p[1].right, back_right[lang]) << lang;
    EXPECT_FLOAT_EQ(p[2].right, 770) << lang;
    EXPECT_FLOAT_EQ(p[0].left, 30) << lang;
  }
}

TEST_F(Wizard, StepListMarksTheCurrentScreenAndANullScreenEnds) {
  step_names = {"One", "Two"};
  step_funcs = {screen_b, screen_a};
  frame();
  std::map<std::string, int> colour;
  for (const OGL_string_call& s : d->trace().strings) colour[s.text] = s.col;
  EXPECT_EQ(colour["One"], 50);
  EXPECT_EQ(colour["Two"], 73);
  g_wizard = nullptr;
  frame();
  EXPECT_EQ(app_done, 1);
}

}  // namespace
