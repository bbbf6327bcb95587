#include "installer/inst_questions.h"
#include "core/globs.h"
#include "engine/utils_alerts.h"
#include "files/translate.h"
#include "installer/run_log.h"
#include "ogl/OGL_back_tex.h"
#include "ogl/OGL_font.h"
#include "shell/hl_event.h"
#include "shell/wins.h"
#include "widgets/butn.h"

namespace {

enum { k_select_win = 996, k_abort_win = 997 };

std::string tr(const char* text) { return UTL_translate_string(text); }

// One frame of a question after its widgets are drawn; 1 when the
// sub-window went away under it. Only a click on a button answers: Escape
// and Return mean nothing here, and a close request of the window stays
// pending (quit_request), for the screen that asked to act on once the
// question is answered.
int closed_after_frame(int win) {
  MACIBM_event_proc();
  return wins.cur_win != win;
}

// Leaves the question for the screen that asked: no sub-window, and no
// Return or Escape of the question left over for that screen. The log
// keeps the question and the button that answered it (null: none did).
int answered(int answer, const std::string& question, const std::string* button) {
  escape_hit = return_hit = 0;
  wins.start_win(0);
  xer_group g;
  g << "Asked: \"" << RUN_one_line(question) << "\" ";
  if (button)
    g << "The user clicked \"" << *button << "\".\n";
  else
    g << "Its window closed before any button was clicked.\n";
  return answer;
}

// A question whose window could not open is taken as cancelled.
void not_asked(const std::string& question) {
  xer_group() << "Could not ask: \"" << RUN_one_line(question) << "\" It counts as cancelled.\n";
}

// The changed-file question in English, as the log keeps it.
std::string select_question(const std::string& path, int mode) {
  const select_alert_texts& t = select_alert_text(mode);
  return std::string(t.first_line) + " " + path + " " + t.second_line;
}

// The English label of select_alert's answer's button.
std::string select_label(int mode, int answer) {
  const select_alert_texts& t = select_alert_text(mode);
  switch (answer) {
    case sel_act: return t.act_button;
    case sel_keep: return t.keep_button;
    case sel_act_all: return t.act_all_button;
    case sel_keep_all: return t.keep_all_button;
  }
  return t.cancel_button;
}

void question_background() {
  OGL_plot_back_col();
  BTN_fillwin(1, 24);
}

int ask_select(const std::string& path, int mode) {
  wins.start_win(k_select_win);
  if (wins.cur_win != k_select_win) {
    not_asked(select_question(path, mode));
    return sel_cancel;
  }
  for (;;) {
    // Translated in every frame, like every text of the screens.
    const select_alert_texts& t = select_alert_text(mode);
    const float wrap = wins.win_dx - 40;
    question_background();
    OGL_string(48, 20, 100, tr(t.first_line), wrap, cs_regular, just_left);
    OGL_string(48, 20, 90, path, wrap, cs_regular, just_left);
    OGL_string(48, 20, 80, tr(t.second_line), wrap, cs_regular, just_left);
    // A pressed button swaps the frame at once; the ones after it are not
    // drawn into the next.
    int answer = 0;
    if (BTN_action(96, 53, 160, 0, 1, tr(t.act_button), "-")) answer = sel_act;
    if (!answer && BTN_action(96, 28, 160, 0, 1, tr(t.keep_button), "-")) answer = sel_keep;
    if (!answer && BTN_action(308, 53, 260, 0, 1, tr(t.act_all_button), "-")) answer = sel_act_all;
    if (!answer && BTN_action(308, 28, 260, 0, 1, tr(t.keep_all_button), "-")) answer = sel_keep_all;
    if (!answer && BTN_action(584, 28, 200, 0, 1, tr(t.cancel_button), "-")) answer = sel_cancel;
    if (answer) {
      const std::string label = select_label(mode, answer);
      return answered(answer, select_question(path, mode), &label);
    }
    if (closed_after_frame(k_select_win)) return answered(sel_cancel, select_question(path, mode), nullptr);
  }
}

int ask_abort(const std::string& message, const std::string& label1, const std::string& text1,
              const std::string& label2, const std::string& text2) {
  wins.start_win(k_abort_win);
  if (wins.cur_win != k_abort_win) {
    not_asked(message);
    return 3;
  }
  for (;;) {
    const float w = wins.win_dx;
    question_background();
    OGL_string(48, 20, 160, message, w - 40, cs_regular, just_left);
    OGL_string(48, 150, 53, text1, w - 210, cs_regular, just_left);
    OGL_string(48, 150, 28, text2, w - 210, cs_regular, just_left);
    if (BTN_action(96, 56, 100, 0, 1, label1, "-")) return answered(1, message, &label1);
    if (BTN_action(96, 31, 100, 0, 1, label2, "-")) return answered(0, message, &label2);
    if (closed_after_frame(k_abort_win)) return answered(3, message, nullptr);
  }
}

}  // namespace

void install_engine_questions() {
  g_engine_questions.select_alert = ask_select;
  g_engine_questions.abort_alert = ask_abort;
}
