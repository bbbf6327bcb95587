#include "installer/prefs_wind.h"
#include "core/globs.h"
#include "engine/utils_table.h"
#include "files/http.h"
#include "files/translate.h"
#include "ogl/OGL_back_tex.h"
#include "shell/hl_event.h"
#include "shell/wins.h"
#include "widgets/butn.h"
#include "widgets/butn_enterstring.h"

void handle_prefs() {
  wins.start_win(2);
  if (wins.cur_win != 2) return;
  while (wins.cur_win == 2) {
    OGL_plot_back_col();
    BTN_fillwin(1, 24);
    float next_x = 0, next_y = 0;
    BTN_subwin(0, 16, -1, -1, -1, 70, UTL_translate_string("Proxy (if you are behind a firewall with a Proxy)"),
               &next_x, &next_y);
    BTN_subwin(0, 16, -1, next_y, -1, -1, UTL_translate_string("General Preferences"), nullptr, nullptr);
    // The list counts from Macintosh; "all platforms" (0) shows as no item
    // and cannot be chosen here.
    --stg.platform;
    BTN_textlist(250, 300, &stg.platform, UTL_translate_string("Macintosh-Windows-Linux"),
                 UTL_translate_string("Operating System to download Duvizo for:|(Install and copy the entire Duvizo "
                                      "folder to another computer if you like)"),
                 '-');
    ++stg.platform;
    BTN_bool(140, 250, &stg.log_actions,
             UTL_translate_string("|Log installer actions. Turn this on to output the installer file downloads and "
                                  "stuff to the file log.txt."),
             0);
    BTN_enterstring(85, 40, &http.proxy_host, 65, UTL_translate_string("-proxy host"), 455, 1);
    BTN_enterstring(85, 20, &http.proxy_port, 65, UTL_translate_string("-proxy port"), 455, 1);
    http.proxy_port_int = http.proxy_port.empty() ? 0 : str_to_int(http.proxy_port);
    MACIBM_event_proc();
  }
}
