// The lower layers reach the window shell, the OpenGL layer and the widget
// toolkit only through hooks they own; this is the one place that fills them.
#include "core/hl_alert.h"
#include "core/hl_thread.h"
#include "core/utl_cmdline.h"
#include "core/xtim.h"
#include "files/pref.h"
#include "ogl/ogl_driver.h"
#include "ogl/ogl_extensions.h"
#include "platform/plat_events.h"
#include "platform/plat_video.h"
#include "shell/cons.h"
#include "shell/hl_alerts.h"
#include "shell/hl_init.h"
#include "shell/wins.h"
#include "widgets/cmnd.h"
#include "widgets/colr.h"
#include "widgets/focus.h"
#include "widgets/keys.h"
#include "widgets/reno.h"

// The six glowing colours follow the clock's pulse level.
static void pulse_colours(float p) {
  colr.col_assign(89, p, p, p);
  colr.col_assign(90, p, 0.5f * p, 0);
  colr.col_assign(91, p, 0.3f * p, 0.3f * p);
  colr.col_assign(92, 0.3f * p, 0.3f * p, p);
  colr.col_assign(93, 0.2f * p, 0.8f * p, 0.2f * p);
  colr.col_assign(94, 0.7f * p, 0.7f * p, 0.2f * p);
  colr.pulse = p;
}

void MACIBM_connect_layers() {
  g_finishup_hooks.save_prefs = [] { pref.IO_set(11, 1); };
  g_finishup_hooks.save_keys = [] { keys.keys_io(1); };
  // Only a window can have switched the display: without one there is
  // nothing to put back (and no display need be opened to learn that).
  g_finishup_hooks.restore_display = [] {
    if (cons.window(0)) MACIBM_setres(0);
  };
  g_finishup_hooks.close_windows = [] { cons.cons_close_all(); };
  g_finishup_hooks.flush_events = PLAT_flush_events;
  g_alert_screens.show_alert_screen = APL_alert_screen;
  g_alert_screens.show_system_box = APL_system_box;

  g_thread_gl_hooks.threaded_avail = [] { return glExt.threaded_avail; };
  g_thread_gl_hooks.threaded_failed = [] { glExt.threaded_ogl_failed(); };
  g_thread_gl_hooks.make_loader = [] { return cons.cons_make_loader(); };
  g_thread_gl_hooks.set_context_loader = MACIBM_set_context_loader;

  OGL_window_proc_address = [](const char* name) { return PLAT_video().gl_proc_address(name); };

  g_xtim_frame_hooks.cur_win = [] { return wins.cur_win; };
  g_xtim_frame_hooks.num_cons = [] { return cons.num_cons(-1); };
  g_xtim_frame_hooks.unfocus = BTN_unfocus_any;
  g_xtim_frame_hooks.pulse = pulse_colours;

  g_command_registry.all = [](std::vector<std::string>& paths, std::vector<std::string>& descriptions) {
    paths = cmnd.paths;
    descriptions = cmnd.descriptions;
  };
  g_command_registry.in_path = [](const std::string& prefix, std::vector<std::string>& out) {
    cmnd.get_cmds_in_path(prefix, out);
  };

  pref_screen_fields& f = g_pref_screen;
  f.x_res_wind = &wins.x_res_wind;
  f.y_res_wind = &wins.y_res_wind;
  f.x_res_full = &wins.x_res_full;
  f.y_res_full = &wins.y_res_full;
  f.hz_full = &wins.hz_full;
  f.bpp_full = &wins.bpp_full;
  f.full_screen = &wins.full_screen;
  f.use_vsync1 = &reno.use_vsync1;
  f.use_vsync2 = &reno.use_vsync2;
  f.alias_req = &reno.alias_req;
  f.sec_mon_inuse = &cons.sec_mon_inuse;
  f.num_cons = [] { return cons.num_cons(-1); };
}
