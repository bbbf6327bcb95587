// The installer as a user runs it, from its first screen, telling the
// end-to-end tests what they wait for on standard output, one line each as
// a frame starts:
//   screen <name>   the wizard moved to that screen
//   window <n>      a sub-window opened (996 and 997: the engine's
//                   questions), or 0 when it closed
//   stage <n>       the disc's directory loaded (3) or was refused (2)
//   title <text>    the wizard's title or body text changed (line ends
//   text <text>     written as "\n")
//   ask <text>      an engine question's text changed
//   screen_probe <bundle> [program arguments...]
#include <cstdio>
#include <string>
#include "core/globs.h"
#include "installer/dvd_flows.h"
#include "installer/wizard.h"
#include "ogl/ogl_record.h"
#include "shell/hl_event.h"
#include "shell/wins.h"
#include "e2e/probe_main.h"

namespace {

#define SCREEN(f) {f, #f}
const struct {
  screen_func f;
  const char* name;
} k_screens[] = {
    SCREEN(dvd_start),           SCREEN(dvd_pick_install),        SCREEN(see_eula),
    SCREEN(dvd_scenery_install), SCREEN(dvd_run_install),         SCREEN(dvd_switch_disk_install),
    SCREEN(dvd_verify_disk_install), SCREEN(dvd_done_install),    SCREEN(dvd_pick_run_sim),
    SCREEN(dvd_do_run_sim),      SCREEN(dvd_pick_scenery),        SCREEN(dvd_scan_scenery),
    SCREEN(dvd_edit_scenery),    SCREEN(dvd_install_scenery),     SCREEN(dvd_switch_disk_scenery),
    SCREEN(dvd_verify_disk_scenery), SCREEN(dvd_done_scenery),    SCREEN(dvd_pick_repair),
    SCREEN(dvd_scan_repair),     SCREEN(dvd_confirm_repair),      SCREEN(dvd_install_repair),
    SCREEN(dvd_switch_disk_repair), SCREEN(dvd_verify_disk_repair), SCREEN(dvd_done_repair),
    SCREEN(wizard_quit),
};

screen_func shown_screen = nullptr;
int shown_window = 0, shown_stage = 0;

// What the frame drew where the wizard puts its title and text, and the
// questions their lines; and what was printed last.
struct shown_texts {
  std::string title, text, ask;
};
shown_texts drawn, printed;

void note_string(const OGL_string_call& c) {
  if (wins.cur_win == 0 && c.col == 12 && c.x == 500 && c.y == 480) drawn.title += c.text;
  if (wins.cur_win == 0 && c.col == 12 && c.x == 230 && c.y == 440) drawn.text += c.text;
  if ((wins.cur_win == 996 || wins.cur_win == 997) && c.col == 48 && c.x == 20)
    drawn.ask += (drawn.ask.empty() ? "" : "|") + c.text;
}

std::string one_line(std::string t) {
  for (size_t at; (at = t.find('\n')) != std::string::npos;) t.replace(at, 1, "\\n");
  return t;
}

void print_changed(const char* what, const std::string& now, std::string& last) {
  if (now.empty() || now == last) return;
  last = now;
  printf("%s %s\n", what, one_line(now).c_str());
}

// Texts first: they were drawn in the frame before, by the screen that was
// current then. A question's text follows the line of its window.
void report() {
  print_changed("title", drawn.title, printed.title);
  print_changed("text", drawn.text, printed.text);
  if (g_wizard != shown_screen) {
    shown_screen = g_wizard;
    const char* name = "other";
    for (const auto& s : k_screens)
      if (s.f == g_wizard) name = s.name;
    printf("screen %s\n", name);
  }
  if (wins.cur_win != shown_window) {
    shown_window = wins.cur_win;
    printf("window %d\n", shown_window);
  }
  print_changed("ask", drawn.ask, printed.ask);
  if (stg.stage != shown_stage) {
    shown_stage = stg.stage;
    printf("stage %d\n", shown_stage);
  }
  drawn = shown_texts();
  fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  MACIBM_frame_start_hook = report;
  OGL_record_string = note_string;
  return probe_main(argc, argv, "screen_probe", dvd_start);
}
