// Whether an alert raised now would wait for a user: the question callers
// ask before trying a failed step again.
#include <gtest/gtest.h>
#include "core/hl_alert.h"
#include "core/utl_cmdline.h"

namespace {

void screen(int, const std::string*, int, const std::string&) {}
void box(const std::string&, const std::string&) {}
void handler(int, const std::string*, const char*, int) {}

TEST(AlertAnswered, OnlyAnAlertShownToAUserIsAnswered) {
  struct answered_case {
    const char* what;
    const char* option;
    bool handler, inited, screen, box;
    int answered;
  };
  const answered_case cases[] = {
      {"the alert screen after start-up", nullptr, false, true, true, false, 1},
      {"the system box during start-up", nullptr, false, false, false, true, 1},
      {"no screen yet: only logged", nullptr, false, true, false, true, 0},
      {"no box yet: only logged", nullptr, false, false, true, false, 0},
      {"an fps test only logs", "--fps_test", false, true, true, true, 0},
      {"a QA script only logs", "--qa_script", false, true, true, true, 0},
      {"a test's handler takes it", nullptr, true, true, true, true, 0},
  };
  const alert_screens saved = g_alert_screens;
  const int saved_inited = ogl_inited;
  for (const answered_case& c : cases) {
    cmdline.options.clear();
    if (c.option) cmdline.options[c.option] = "";
    g_alert_handler = c.handler ? handler : nullptr;
    ogl_inited = c.inited;
    g_alert_screens.show_alert_screen = c.screen ? screen : nullptr;
    g_alert_screens.show_system_box = c.box ? box : nullptr;
    EXPECT_EQ(MACIBM_alert_is_answered(), c.answered) << c.what;
  }
  cmdline.options.clear();
  g_alert_handler = nullptr;
  g_alert_screens = saved;
  ogl_inited = saved_inited;
}

}  // namespace
