// The installer's start-up with a web flow as its first screen, for the
// end-to-end tests:
//   web_flow net|demo [program arguments...]
// Nothing in the installer leads to these flows; this program is how a
// user's run of them is reproduced. It prints, as they happen, one line per
// change of the current screen ("screen NAME"), of the sub-window
// ("window N") and of the wizard's title and text ("title ...", "text ...",
// line breaks shown as "\n").
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include "core/hl_alert.h"
#include "installer/app_main.h"
#include "installer/dvd_flows.h"
#include "installer/wizard.h"
#include "ogl/ogl_record.h"
#include "platform/plat_bundle.h"
#include "shell/hl_event.h"
#include "shell/wins.h"

namespace {

const struct {
  screen_func func;
  const char* name;
} k_screens[] = {
    {net_start, "net_start"},         {net_pick_dest, "net_pick_dest"},   {net_get_updates, "net_get_updates"},
    {net_check_disk, "net_check_disk"}, {net_run_patch, "net_run_patch"}, {net_done, "net_done"},
    {demo_start, "demo_start"},       {see_eula, "see_eula"},             {demo_get_updates, "demo_get_updates"},
    {demo_pick_dest, "demo_pick_dest"}, {demo_run_patch, "demo_run_patch"}, {demo_done, "demo_done"},
    {dvd_do_run_sim, "dvd_do_run_sim"}, {wizard_quit, "wizard_quit"},
};

const char* name_of(screen_func f) {
  for (const auto& s : k_screens)
    if (s.func == f) return s.name;
  return f ? "other" : "none";
}

std::string one_line(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\n' ? std::string("\\n") : std::string(1, c);
  return out;
}

// What the wizard drew in the frame that just ended, and what was printed.
std::string g_title, g_text, g_printed_title, g_printed_text;
screen_func g_printed_screen = nullptr;
int g_printed_window = -1;

void note_string(const OGL_string_call& call) {
  // The wizard's title and text have fixed places (sub-window 0 only).
  if (wins.cur_win != 0) return;
  if (call.x == 500 && call.y == 480) g_title = call.text;
  if (call.x == 230 && call.y == 440) g_text = call.text;
}

void report() {
  if (g_wizard != g_printed_screen) {
    g_printed_screen = g_wizard;
    printf("screen %s\n", name_of(g_wizard));
  }
  if (wins.cur_win != g_printed_window) {
    g_printed_window = wins.cur_win;
    printf("window %d\n", wins.cur_win);
  }
  if (g_title != g_printed_title) {
    g_printed_title = g_title;
    printf("title %s\n", one_line(g_title).c_str());
  }
  if (g_text != g_printed_text) {
    g_printed_text = g_text;
    printf("text %s\n", one_line(g_text).c_str());
  }
  fflush(stdout);
  if (wins.cur_win == 0) g_title.clear(), g_text.clear();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || (strcmp(argv[1], "net") != 0 && strcmp(argv[1], "demo") != 0)) {
    fprintf(stderr, "usage: web_flow net|demo [arguments...]\n");
    return 2;
  }
  PLAT_set_bundle_path(DUV_BINARY_DIR "/Duvizo Installer.app");
  std::vector<char*> args{argv[0]};
  for (int i = 2; i < argc; ++i) args.push_back(argv[i]);
  g_wizard = strcmp(argv[1], "net") == 0 ? net_start : demo_start;
  OGL_record_string = note_string;
  MACIBM_frame_start_hook = report;
  return APP_main(static_cast<int>(args.size()), args.data());
}
