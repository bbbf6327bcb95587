// The shell's modal screens drawn by the toolkit: the start-up splash, the
// alert screen and the save question, driven through real frames with input
// scripted frame by frame.
#include <GL/gl.h>
#include <GL/glext.h>
#include <functional>
#include "core/hl_alert.h"
#include "files/translate.h"
#include "ogl/ogl_extensions.h"
#include "platform/plat_video.h"
#include "shell/hl_alerts.h"
#include "shell/hl_event.h"
#include "shell/hl_init.h"
#include "widgets/butn.h"
#include "support/frame_script.h"
#include "widget_fixture.h"

namespace {

enum { sc_return = 40, sc_escape = 41 };

// Input given to the frame with that number (0 the first) of a modal loop.
std::function<void(int)>& g_script = frame_script::script;
int& g_frame = frame_script::frame;

class ModalScreens : public Widgets {
 public:
  void SetUp() override {
    Widgets::SetUp();
    frame_script::install();
  }
  void TearDown() override {
    frame_script::remove();
    wins.start_win(0);
    Widgets::TearDown();
  }
  std::unique_ptr<frame_driver>& driver() { return d; }
  // A click at (x, y) of the open sub-window: down in frame f, up in f + 1.
  void click_in(int frame, int f, float x, float y) {
    const int px = static_cast<int>(wins.win_x + x), py = static_cast<int>(wins.win_y + y);
    if (frame == f) d->press(px, py);
    if (frame == f + 1) d->release(px, py);
  }
  std::vector<std::string> texts() const {
    std::vector<std::string> out;
    for (const OGL_string_call& s : d->trace().strings) out.push_back(s.text);
    return out;
  }
  bool drew(const std::string& text) const {
    for (const std::string& t : texts())
      if (t == text) return true;
    return false;
  }
};

TEST_F(ModalScreens, SplashBarFillsByFraction) {
  wins.start_win(-1);
  plot_init_lights = 1;
  const float left = wins.ui_offset_x + 8, length = 1008;
  // The quads of one bar drawn on its own, to find it in the splash's trace.
  auto bar = [&](int style, float from, float width) {
    d->modal_frame([&] { BTN_frame1(style, from + width / 2, 15, width, 57); });
    return d->trace().quads;
  };
  auto same = [](const std::vector<OGL_quad_call>& a, const std::vector<OGL_quad_call>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
      for (int c = 0; c < 4; ++c)
        for (int k = 0; k < 4; ++k)
          if (std::fabs(a[i].corner[c][k] - b[i].corner[c][k]) > 1e-3f) return false;
    return true;
  };
  const std::vector<OGL_quad_call> trough = bar(4, left, length);
  // The splash's last quads: the trough, then the fill.
  auto splash_fill = [&](const float* fraction) {
    d->modal_frame([&] { MACIBM_show_init("Loading.", fraction); });
    EXPECT_EQ(d->captures().size(), 2u);  // its own swap, then the frame's
    EXPECT_TRUE(drew("Loading."));
    EXPECT_TRUE(drew("https://www.duvizo.example/"));
    std::vector<OGL_quad_call> all = d->trace().quads;
    size_t at = 0;
    for (size_t i = 0; i + trough.size() <= all.size(); ++i)
      if (same(std::vector<OGL_quad_call>(all.begin() + (long)i, all.begin() + (long)(i + trough.size())), trough))
        at = i + trough.size();
    EXPECT_GT(at, 0u) << "no trough";
    return std::vector<OGL_quad_call>(all.begin() + (long)at, all.end());
  };
  const float zero = 0, half = 0.5f, five = 5;
  const std::pair<const float*, float> cases[] = {{&zero, 0.02f}, {&half, 0.5f}, {&five, 1}};
  for (const auto& [fraction, filled] : cases)
    EXPECT_TRUE(same(splash_fill(fraction), bar(5, left, filled * length))) << *fraction;
  // Without a fraction each call fills one hundredth more.
  auto right_edge = [](const std::vector<OGL_quad_call>& quads) {
    float r = -1e9f;
    for (const OGL_quad_call& q : quads)
      for (const auto& c : q.corner) r = std::fmax(r, c[0]);
    return r;
  };
  for (int i = 0; i < 3; ++i) splash_fill(nullptr);
  const float before = right_edge(splash_fill(nullptr));
  const float after = right_edge(splash_fill(nullptr));
  // Bars land on whole units.
  EXPECT_NEAR(after - before, length / 100, 0.5f);
  plot_init_lights = 0;
}

TEST_F(ModalScreens, WarningShowsItsLinesAndReturnOrEscapeDismissesIt) {
  const std::string lines[4] = {"First line.", "Second line.", "Third line.", "Fourth line."};
  for (int dismiss_key : {sc_return, sc_escape}) {
    int mx = 0, my = 0;
    PLAT_video().mouse_warp_global(123, 234);
    g_frame = 0;
    g_script = [&](int f) {
      if (f == 1) d->move(10, 10);  // the user moves the mouse meanwhile
      if (f == 2) d->key(dismiss_key, dismiss_key == sc_return ? "\r" : "");
    };
    d->modal_frame([&] { APL_alert_screen(0, lines, t_warning, "(here.cpp line 1)"); });
    EXPECT_EQ(wins.cur_win, 0);
    for (const std::string& l : lines) EXPECT_TRUE(drew(l)) << l;
    EXPECT_TRUE(drew("Understood"));
    EXPECT_FALSE(drew("(here.cpp line 1)"));
    EXPECT_EQ(return_hit + escape_hit, 0);
    PLAT_video().mouse_global(&mx, &my);
    EXPECT_EQ(mx, 123);
    EXPECT_EQ(my, 234);
  }
}

TEST_F(ModalScreens, FatalKindsShowWhereTheyCameFrom) {
  const std::string lines[4] = {"Cannot go on.", "", "", ""};
  for (int kind : {t_quit, t_crash}) {
    g_frame = 0;
    g_script = [&](int f) { click_in(f, 1, wins.win_dx / 2, 18); };
    d->modal_frame([&] { APL_alert_screen(0, lines, kind, "(there.cpp line 7)"); });
    EXPECT_EQ(wins.cur_win, 0);
    EXPECT_TRUE(drew("(there.cpp line 7)"));
  }
}

TEST_F(ModalScreens, LanguageChooserIgnoresEscapeAndTakesTheClickedLanguage) {
  std::vector<int> offered;
  UTL_lang_get_languages(offered);
  ASSERT_GE(offered.size(), 2u);
  const int saved = mnw.lang;
  mnw.lang = 0;
  const std::string dashes[4] = {"-", "-", "-", "-"};
  // Escape in frame 1 is ignored; the second language's radio button is
  // clicked in frame 3, "Accept" in frame 6.
  g_script = [&](int f) {
    if (f == 1) d->key(sc_escape, "");
    click_in(f, 3, wins.win_dx / 2 - 25, 160);
    click_in(f, 6, wins.win_dx / 2, 18);
  };
  int frames_when_escape_seen = -1;
  d->modal_frame([&] {
    APL_alert_screen(-1, dashes, t_language, "");
    frames_when_escape_seen = g_frame;
  });
  EXPECT_GE(frames_when_escape_seen, 7);
  EXPECT_NE(wins.cur_win, 994);
  EXPECT_EQ(mnw.lang, offered[1]);
  EXPECT_TRUE(drew("Accept"));
  EXPECT_TRUE(drew(UTL_lang_get_button(offered[0]).substr(1)));  // the label's right part
  mnw.lang = saved;
}

TEST_F(ModalScreens, SaveQuestionAnswers) {
  struct {
    const char* what;
    int cancel_allowed;
    int answer;
    std::function<void(ModalScreens*, int)> input;
  } cases[] = {
      {"Save", 1, 1, [](ModalScreens* t, int f) { t->click_in(f, 1, wins.win_dx / 2 + 20, 60); }},
      {"Don't Save", 1, 2, [](ModalScreens* t, int f) { t->click_in(f, 1, wins.win_dx / 2 + 20, 25); }},
      {"Cancel", 1, 3, [](ModalScreens* t, int f) { t->click_in(f, 1, wins.win_dx - 50, 25); }},
      {"Escape", 1, 3, [](ModalScreens* t, int f) { if (f == 1) t->driver()->key(sc_escape, ""); }},
      {"window close", 0, 3,
       [](ModalScreens* t, int f) {
         PLAT_event e;
         e.kind = plat_ev_quit;
         if (f == 1) t->driver()->record(e);
       }},
      // Without cancel, Escape does nothing until a button answers.
      {"Escape then Save", 0, 1,
       [](ModalScreens* t, int f) {
         if (f == 1) t->driver()->key(sc_escape, "");
         t->click_in(f, 3, wins.win_dx / 2 + 20, 60);
       }},
  };
  for (const auto& c : cases) {
    g_frame = 0;
    g_script = [&](int f) { c.input(this, f); };
    int answer = 0;
    d->modal_frame([&] { answer = MACIBM_nuke_alert("Untitled", c.cancel_allowed); });
    EXPECT_EQ(answer, c.answer) << c.what;
    EXPECT_EQ(wins.cur_win, 0) << c.what;
    EXPECT_EQ(quit_request, 0) << c.what;
    EXPECT_TRUE(drew("Save changes to Untitled first?")) << c.what;
    EXPECT_EQ(drew("Cancel"), c.cancel_allowed != 0) << c.what;
  }
}

TEST_F(ModalScreens, AfterTheAlertScreenTheNextBufferBindReachesTheDriver) {
  ASSERT_TRUE(glExt.vbo_avail);
  GLuint name = 0;
  glExt.glGenBuffersARB(1, &name);
  OGL_bind_vbo(name);
  OGL_bind_vbo_ind(name);
  const std::string lines[4] = {"A warning.", "", "", ""};
  g_script = [&](int f) {
    if (f == 1) d->key(sc_return, "\r");
  };
  d->modal_frame([&] { APL_alert_screen(0, lines, t_warning, ""); });
  GLint bound = -1, bound_ind = -1;
  glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &bound);
  EXPECT_EQ(bound, 0);  // the screen drew without it
  OGL_bind_vbo(name);
  OGL_bind_vbo_ind(name);
  glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &bound);
  glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &bound_ind);
  EXPECT_EQ(bound, (GLint)name);
  EXPECT_EQ(bound_ind, (GLint)name);
  OGL_bind_vbo(0);
  OGL_bind_vbo_ind(0);
  glExt.glDeleteBuffersARB(1, &name);
}

}  // namespace
