// A screen of the clickable widgets in a real window, with no front end: the
// end-to-end tests drive it with a real mouse and read what it prints. Every
// return value that is not 0 and every value change goes to standard output,
// one line each. Runs until the window is closed, or 120 seconds pass.
// With --keys, a field that takes every key holds the focus and every key
// event that reaches it is printed as "key <key number> <character in hex>
// <flag word>".
// With --fields, two text fields (256 bytes in 290 units, then 64 in 200)
// and on Escape the texts as "field 1 [text]" and "field 2 [text]", and
// whether the focused field's caret shows as "caret visible 0|1".
//   widget_demo <bundle folder> [--keys|--fields]
#include <SDL2/SDL.h>
#include <cstdio>
#include <cstring>
#include <string>
#include "core/globs.h"
#include "core/xtim.h"
#include "ogl/OGL_back_tex.h"
#include "ogl/OGL_font_info.h"
#include "ogl/ogl_extensions.h"
#include "ogl/ogl_view.h"
#include "platform/plat_bundle.h"
#include "shell/cons.h"
#include "shell/hl_event.h"
#include "shell/hl_init.h"
#include "shell/wins.h"
#include "tex/tman.h"
#include "ogl/OGL_font.h"
#include "widgets/butn.h"
#include "widgets/butn_enterstring.h"
#include "widgets/focus.h"

namespace {
struct demo_values {
  int check = 0, radio = 1, selected = 0;
  bool flag = false;
  unsigned char byte = 0;
};
demo_values v;
bool print_keys = false;
bool text_fields = false;
std::string field_1, field_2;

// The --fields mode's two fields; Escape prints them.
void fields() {
  BTN_enterstring(150, 200, &field_1, 256, "Name|{The first field", 290, 0);
  BTN_enterstring(150, 170, &field_2, 64, "Other|{The second field", 200, 0);
  if (!escape_hit) return;
  int s = 0, e = 0;
  OGLE_GetSelection(ogle, &s, &e);
  int visible = 0;
  if (OGLE_input && !ogle->line_starts.empty()) {
    const int line = OGLE_CharPosToLine(ogle, e);
    const int start = ogle->line_starts[line];
    const float x = OGLE_x - OGLE_dx + OGL_measure_string(OGLE_input->substr(start, e - start));
    const float bottom = OGLE_y - 2 + 11 - OGLE_dy - (line + 1) * 11.0f;
    visible = x >= OGLE_x && x <= OGLE_x + OGLE_entry_dx && bottom >= OGLE_y - 2.5f && bottom <= OGLE_y - 1.5f;
  }
  printf("field 1 [%s]\nfield 2 [%s]\ncaret visible %d\n", field_1.c_str(), field_2.c_str(), visible);
  fflush(stdout);
}

// The field of the --keys mode: focused from its first frame, it prints
// what was queued for it and drains its queue.
void key_field() {
  static int ch[k_focus_queue_size], vkey[k_focus_queue_size], flags[k_focus_queue_size], id[k_focus_queue_size];
  static int count = 0;
  BTN_register_focus(1, ch, vkey, flags, id, &count, k_focus_queue_size, 0x7FF, 1);
  for (int i = 0; i < count; ++i) printf("key %d 0x%X %d\n", vkey[i], ch[i], flags[i]);
  if (count) fflush(stdout);
  count = 0;
}

// Runs one widget call on *value and prints its result and any change.
template <class T, class F>
void watch(const char* widget, T* value, F call) {
  const int before = static_cast<int>(*value);
  const int result = call();
  const int after = static_cast<int>(*value);
  if (result) printf("%s returned %d\n", widget, result);
  if (before != after) printf("%s value %d -> %d\n", widget, before, after);
  if (result || before != after) fflush(stdout);
}

void demo_frame() {
  OGL_plot_back_col();
  BTN_frame2(15, 40, 60, 720, 500, "Widget demo", 1);
  int none = 0;
  watch("BTN_action", &none, [] { return BTN_action(150, 500, 0, 0, 1, "Push me{A push button", "side text"); });
  watch("BTN_bool", &v.check, [] { return BTN_bool(150, 400, &v.check, "Check|box{A check box", 0); });
  watch("BTN_is_int 1", &v.radio, [] { return BTN_is_int(150, 350, &v.radio, 1, "One|{The first choice"); });
  watch("BTN_is_int 2", &v.radio, [] { return BTN_is_int(150, 320, &v.radio, 2, "Two|{The second choice"); });
  watch("BTN_xbol", &v.flag, [] { return BTN_xbol(150, 280, &v.flag, "Flag|{A bool"); });
  watch("BTN_xbyt", &v.byte, [] { return BTN_xbyt(150, 250, &v.byte, "Byte|{A byte"); });
  watch("BTN_textlist", &v.selected, [] {
    return BTN_textlist(450, 400, &v.selected, "Alpha;Beta;Gamma;Delta", "List|{A pop-up list", ';');
  });
  if (print_keys) key_field();
  if (text_fields) fields();
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: widget_demo <bundle folder> [--keys|--fields]\n");
    return 2;
  }
  MACIBM_connect_layers();
  wins.x_res_wind = 800;
  wins.y_res_wind = 600;
  if (cons.cons_make(0) != 1) {
    fprintf(stderr, "widget_demo: no window with an OpenGL context\n");
    return 1;
  }
  cons.num_cons(1);
  glExt.init_extensions();
  OGL_pix_specs(0);
  SDL_SetWindowTitle(SDL_GL_GetCurrentWindow(), "widget_demo");

  print_keys = argc > 2 && strcmp(argv[2], "--keys") == 0;
  text_fields = argc > 2 && strcmp(argv[2], "--fields") == 0;
  PLAT_set_bundle_path(argv[1]);
  if (tman.load_texture_idx(tex_fail_silent, 359, 0x40242, tex_load_now, "RESOURCE:interface.png") != 359 ||
      tman.load_texture_idx(tex_fail_silent, 362, 0x48242, tex_load_now, "RESOURCE:elements_English.png") != 362) {
    fprintf(stderr, "widget_demo: the interface pictures did not load\n");
    return 1;
  }
  TT_reset_font(tt_both);

  APP_update = demo_frame;
  printf("ready\n");
  fflush(stdout);
  const uint64_t end = xtim_class::microsecs() + 120000000ull;
  while (!quit_request && xtim_class::microsecs() < end) MACIBM_event_proc();
  cons.cons_close_all();
  return 0;
}
