// The engine's two modal questions. The engine never draws: the front end
// installs the screens that ask (sub-windows 996 and 997) in g_engine_questions
// once the widget toolkit stands; until then, and whenever a screen cannot
// open, the answer is 3 (cancel).
#pragma once
#include <string>

// select_alert's answers.
enum { sel_act = 1, sel_keep = 2, sel_cancel = 3, sel_act_all = 4, sel_keep_all = 5 };

struct engine_questions {
  // Asks about a changed file at path; mode 1 it would be deleted, 0 installed.
  int (*select_alert)(const std::string& path, int mode) = nullptr;
  // Asks message with two labelled buttons, each with a text beside it.
  int (*abort_alert)(const std::string& message, const std::string& label1, const std::string& text1,
                     const std::string& label2, const std::string& text2) = nullptr;
};
extern engine_questions g_engine_questions;

// The English texts of select_alert's question for mode (1 delete, 0 install),
// in screen order; the screen translates each at the point of use.
struct select_alert_texts {
  const char* first_line;
  const char* second_line;
  const char* act_button;
  const char* keep_button;
  const char* act_all_button;
  const char* keep_all_button;
  const char* cancel_button;
};
const select_alert_texts& select_alert_text(int mode);

// Asks about the changed file at path: 1 act on it, 2 keep it, 3 cancel the
// whole installation (also when no screen can ask), 4 act on every changed
// file of its folder, 5 keep every changed file of its folder.
int select_alert(const std::string& path, int mode);
// Asks message: 1 for the first button, 0 for the second, 3 when no screen
// could ask or it was closed.
int abort_alert(const std::string& message, const std::string& label1, const std::string& text1,
                const std::string& label2, const std::string& text2);
