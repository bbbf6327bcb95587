#include "engine/utils_alerts.h"

engine_questions g_engine_questions;

const select_alert_texts& select_alert_text(int mode) {
  static const select_alert_texts install_texts = {
      "I am about to install:", "but it appears you have modified this file. What to do?",
      "OVERWRITE THE OLD FILE", "KEEP THE OLD FILE", "OVERWRITE EVERY OLD FILE IN THIS DIRECTORY",
      "KEEP EVERY OLD FILE IN THIS DIRECTORY", "CANCEL THE WHOLE INSTALLATION!"};
  static const select_alert_texts delete_texts = {
      "I am about to DELETE:",
      "because we no longer use this file, but it appears you have modified it. What to do?",
      "DELETE THE OLD FILE", "KEEP THE OLD FILE", "DELETE EVERY OLD FILE IN THIS DIRECTORY",
      "KEEP EVERY OLD FILE IN THIS DIRECTORY", "CANCEL THE WHOLE INSTALLATION!"};
  return mode == 1 ? delete_texts : install_texts;
}

int select_alert(const std::string& path, int mode) {
  if (!g_engine_questions.select_alert) return sel_cancel;
  const int answer = g_engine_questions.select_alert(path, mode);
  return (answer >= sel_act && answer <= sel_keep_all) ? answer : sel_cancel;
}

int abort_alert(const std::string& message, const std::string& label1, const std::string& text1,
                const std::string& label2, const std::string& text2) {
  if (!g_engine_questions.abort_alert) return 3;
  const int answer = g_engine_questions.abort_alert(message, label1, text1, label2, text2);
  return (answer == 0 || answer == 1) ? answer : 3;
}
