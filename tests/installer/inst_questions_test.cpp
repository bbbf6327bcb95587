// The engine's questions as the installer shows them, asked through the
// engine's own select_alert and abort_alert, with input scripted frame by
// frame into their modal loops: each button's answer, that Escape, Return
// and the window's close request answer nothing, and the texts each draws.
#include <functional>
#include "engine/utils_alerts.h"
#include "files/translate.h"
#include "installer/inst_questions.h"
#include "shell/hl_event.h"
#include "support/gl_console.h"
#include "support/translation_scope.h"
#include "support/xer_capture.h"
#include "translation_bundle.h"
#include "widgets/click_fixture.h"

namespace {

const bool gl_ready = gl_console_register();
enum { sc_return = 40, sc_escape = 41 };

// Input given to the frame with that number (0 the first) of a modal loop.
std::function<void(int)> g_script;
void (*g_driver_start)() = nullptr;
int g_frame = 0;
void scripted_start() {
  if (g_script) g_script(g_frame);
  ++g_frame;
  g_driver_start();
}

// What the user does to a question from its second frame on: first a key
// or the window's close request, if any, then a click there, in the
// question's sub-window; or the sub-window closes under the question.
struct way {
  const char* what;
  float x = 0, y = 0;
  int key = 0;
  bool close = false;
  bool drop = false;
};

class Questions : public Clicks {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gl_ready);
    Clicks::SetUp();
    saved = g_engine_questions;
    install_engine_questions();
    g_driver_start = MACIBM_frame_start_hook;
    MACIBM_frame_start_hook = scripted_start;
    quit_request = 0;
  }
  void TearDown() override {
    MACIBM_frame_start_hook = g_driver_start;
    g_script = nullptr;
    g_engine_questions = saved;
    quit_request = 0;
    wins.start_win(0);
    Clicks::TearDown();
  }
  // Runs ask inside a modal frame with the user acting as w says; the
  // sub-window it showed in and every text it drew are kept.
  int run(const way& w, const std::function<int()>& ask) {
    g_frame = 0;
    shown_in = -1;
    g_script = [&](int f) {
      if (f == 0) shown_in = wins.cur_win;
      if (f == 1 && w.key) d->key(w.key, "");
      if (f == 1 && w.close) {
        PLAT_event e;
        e.kind = plat_ev_quit;
        d->record(e);
      }
      if (f == 1 && w.drop) wins.start_win(0);
      if (!w.drop) {
        // After a key or a close request the question stays a few frames
        // more before the click.
        const int at = w.key || w.close ? 4 : 1;
        const int px = static_cast<int>(wins.win_x + w.x), py = static_cast<int>(wins.win_y + w.y);
        if (f == at) d->press(px, py);
        if (f == at + 1) d->release(px, py);
      }
    };
    int answer = -1;
    d->modal_frame([&] { answer = ask(); });
    frames = g_frame;
    return answer;
  }
  // Whether the loop drew text in colour col (-1: in any colour).
  bool drew(const std::string& text, int col = 48) const {
    for (const OGL_string_call& s : d->trace().strings)
      if (s.text == text && (col < 0 || s.col == col)) return true;
    return false;
  }
  // A close request stays pending for the screen that asked.
  void expect_left_clean(const way& w) {
    EXPECT_EQ(wins.cur_win, 0) << w.what;
    EXPECT_EQ(quit_request, w.close ? 1 : 0) << w.what;
    EXPECT_EQ(escape_hit + return_hit, 0) << w.what;
    if (w.key || w.close) {
      EXPECT_GE(frames, 6) << w.what << ": answered before the click";
    }
    quit_request = 0;
  }

  engine_questions saved;
  int shown_in = -1, frames = 0;
};

TEST_F(Questions, SelectAlertAnswersOnlyByButton) {
  const way ways[] = {
      {"act", 96, 53},
      {"keep", 96, 28},
      {"act on all", 308, 53},
      {"keep all", 308, 28},
      {"cancel", 584, 28},
      {"Escape, then keep", 96, 28, sc_escape},
      {"Return, then act", 96, 53, sc_return},
      {"window closed, then keep all", 308, 28, 0, true},
      {"sub-window closed", 0, 0, 0, false, true},
  };
  const int answers[] = {sel_act,  sel_keep,     sel_act_all, sel_keep_all, sel_cancel,
                         sel_keep, sel_act, sel_keep_all, sel_cancel};
  for (int mode : {0, 1}) {
    const select_alert_texts& t = select_alert_text(mode);
    for (size_t i = 0; i < std::size(ways); ++i) {
      const way& w = ways[i];
      const int answer = run(w, [&] { return select_alert("/home/u/Duvizo 10/Resources/plane.acf", mode); });
      EXPECT_EQ(answer, answers[i]) << w.what << " mode " << mode;
      EXPECT_EQ(shown_in, 996) << w.what;
      EXPECT_GE(frames, 2) << w.what;
      expect_left_clean(w);
      for (const char* label :
           {t.act_button, t.keep_button, t.act_all_button, t.keep_all_button, t.cancel_button})
        EXPECT_TRUE(drew(label, -1)) << label;
      EXPECT_TRUE(drew(t.first_line)) << w.what;
      EXPECT_TRUE(drew("/home/u/Duvizo 10/Resources/plane.acf")) << w.what;
      EXPECT_TRUE(drew(t.second_line)) << w.what;
    }
  }
}

// Escape, Return or a close request never take the answer: on the install's
// cancel question 3 would delete the partial copy.
TEST_F(Questions, AbortAlertAnswersOnlyByButton) {
  const struct {
    way w;
    int answer;
  } cases[] = {
      {{"first", 96, 56}, 1},
      {{"second", 96, 31}, 0},
      {{"Escape, then second", 96, 31, sc_escape}, 0},
      {{"Return, then second", 96, 31, sc_return}, 0},
      {{"Return, then first", 96, 56, sc_return}, 1},
      {{"window closed, then second", 96, 31, 0, true}, 0},
      {{"sub-window closed", 0, 0, 0, false, true}, 3},
  };
  for (const auto& c : cases) {
    const int answer = run(c.w, [] {
      return abort_alert("Are you sure?", "Cancel", "the installation.", "Continue", "the installation process.");
    });
    EXPECT_EQ(answer, c.answer) << c.w.what;
    EXPECT_EQ(shown_in, 997) << c.w.what;
    expect_left_clean(c.w);
    EXPECT_TRUE(drew("Are you sure?")) << c.w.what;
    EXPECT_TRUE(drew("the installation.")) << c.w.what;
    EXPECT_TRUE(drew("the installation process.")) << c.w.what;
    EXPECT_TRUE(drew("Cancel", -1) && drew("Continue", -1)) << c.w.what;
  }
}

// Each question leaves one line in the log: what it asked, on one line, and
// the label of the button that answered it, or that none did.
TEST_F(Questions, EachAnswerIsLoggedWithItsQuestion) {
  const std::string plane = "/home/u/Duvizo 10/Resources/plane.acf";
  const std::string install_q = "Asked: \"I am about to install: " + plane +
                                " but it appears you have modified this file. What to do?\" ";
  const std::string delete_q = "Asked: \"I am about to DELETE: " + plane +
                               " because we no longer use this file, but it appears you have modified it. What to "
                               "do?\" ";
  const std::string error_q = "Asked: \"An error occurred: I was unable to copy the file /d/a.zip. (Input/output "
                              "error) You can continue.\" ";
  const char* closed = "Its window closed before any button was clicked.\n";
  const struct {
    way w;
    int mode;  // select_alert's mode, or -1 for abort_alert's question
    std::string logged;
  } cases[] = {
      {{"keep", 96, 28}, 0, install_q + "The user clicked \"KEEP THE OLD FILE\".\n"},
      {{"act on all", 308, 53}, 1, delete_q + "The user clicked \"DELETE EVERY OLD FILE IN THIS DIRECTORY\".\n"},
      {{"cancel", 584, 28}, 0, install_q + "The user clicked \"CANCEL THE WHOLE INSTALLATION!\".\n"},
      {{"Escape, then act", 96, 53, sc_escape}, 0, install_q + "The user clicked \"OVERWRITE THE OLD FILE\".\n"},
      {{"sub-window closed", 0, 0, 0, false, true}, 1, delete_q + closed},
      {{"first", 96, 56}, -1, error_q + "The user clicked \"Cancel\".\n"},
      {{"window closed, then second", 96, 31, 0, true}, -1, error_q + "The user clicked \"Continue\".\n"},
      {{"sub-window closed", 0, 0, 0, false, true}, -1, error_q + closed},
  };
  for (const auto& c : cases) {
    xer_capture log;
    run(c.w, [&] {
      if (c.mode >= 0) return select_alert(plane, c.mode);
      return abort_alert("An error occurred:\n\nI was unable to copy the file /d/a.zip. (Input/output error)\n\nYou "
                         "can continue.",
                         "Cancel", "the install.", "Continue", "the install.");
    });
    EXPECT_EQ(log.text(), c.logged) << c.w.what;
    quit_request = 0;
  }
}

// The changed-file question's texts are the engine's English, translated
// where they are drawn; the path is shown as it is.
TEST_F(Questions, SelectAlertTranslatesItsTexts) {
  translation_scope scope;
  const std::string bundle = write_translation_bundle("German.txt",
                                                      "STRING I am about to DELETE:====Ich werde L\xC3\xB6SCHEN:\n"
                                                      "STRING KEEP THE OLD FILE====ALTE DATEI BEHALTEN\n");
  ASSERT_NE(bundle, "");
  scope.enter(bundle);
  UTL_translate_load(lang_german);
  xer_capture log;
  EXPECT_EQ(run({"keep", 96, 28}, [] { return select_alert("/x/DELETE:", 1); }), sel_keep);
  EXPECT_TRUE(drew("Ich werde L\xC3\xB6SCHEN:"));
  EXPECT_TRUE(drew("/x/DELETE:"));
  EXPECT_TRUE(drew("ALTE DATEI BEHALTEN", -1));
  EXPECT_FALSE(drew("KEEP THE OLD FILE", -1));
  // The log is not translated.
  EXPECT_EQ(log.text(), "Asked: \"I am about to DELETE: /x/DELETE: because we no longer use this file, but it appears "
                        "you have modified it. What to do?\" The user clicked \"KEEP THE OLD FILE\".\n");
}

}  // namespace
