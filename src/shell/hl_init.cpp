#include "shell/hl_init.h"
#include <cstring>
#include <vector>
#include "core/globs.h"
#include "core/hl_alert.h"
#include "core/hl_paths.h"
#include "core/hl_thread.h"
#include "core/randrat.h"
#include "core/scratch.h"
#include "core/utl_cmdline.h"
#include "core/utl_debug.h"
#include "core/utl_localtime.h"
#include "core/utl_mem.h"
#include "core/utl_profiler.h"
#include "core/utl_remote_cmd.h"
#include "core/utl_stat.h"
#include "files/file_paths.h"
#include "files/translate.h"
#include "files/xmap.h"
#include "ogl/ogl_extensions.h"
#include "ogl/ogl_trig.h"
#include "ogl/ogl_view.h"
#include "platform/plat_bundle.h"
#include "platform/plat_endings.h"
#include "platform/plat_events.h"
#include "platform/plat_video.h"
#include "shell/cons.h"
#include "shell/mbar.h"
#include "shell/wins.h"
#include "tex/TEX_png.h"
#include "tex/tman.h"
#include "widgets/atlas_layout.h"
#include "widgets/colr.h"
#include "widgets/keys.h"
#include "widgets/reno.h"

int plot_init_lights = 0;

static const char k_init_source[] = "RUvozuz/GenC/hl_init";

// The chosen language must be one the resources offer; when it is not, the
// only one offered is taken, else the user is asked (English meanwhile).
static void check_language() {
  std::vector<int> offered;
  UTL_lang_get_languages(offered);
  bool found = false;
  for (int l : offered) found = found || l == mnw.lang;
  if (!found) mnw.lang = offered.size() == 1 ? offered[0] : -1;
  if (mnw.lang < 0) {
    mnw.lang = 0;
    __MACIBM_alert(-1, "-", "-", "-", "-", t_language, k_init_source, 930);
  }
}

void MACIBM_setupforlang() {
  if (mnw.lang != 0)
    UTL_translate_load(mnw.lang);
  else
    UTL_translate_clear();
}

void MACIBM_setres(int on) {
  int w = 0, h = 0, bpp = 0, hz = 0;
  MACIBM_get_res_now(w, h, bpp, hz);
  // No display to read: nothing to switch, and nothing worth remembering.
  if (w <= 0 || h <= 0) return;
  if (on) {
    if (w < 1024 || h < 768) {
      wins.full_screen = 1;
      if (wins.x_res_full < 1024 || wins.y_res_full < 768) {
        if (wins.x_res_full < 1024) wins.x_res_full = 1024;
        if (wins.y_res_full < 768) wins.y_res_full = 768;
        wins.bpp_full = bpp;
        wins.hz_full = hz;
      }
    }
    if (wins.full_screen) MACIBM_go_full_screen(2);
  } else {
    MACIBM_go_full_screen(0);
  }
  MACIBM_get_res_now(w, h, bpp, hz);
  wins.bpp_now = bpp;
}

// The interface picture holds the widgets' art and the colour swatches;
// without it nothing can be drawn, so the program ends with a message.
static void load_interface_picture() {
  xmap_class file("RESOURCE:interface.png");
  unsigned char* pixels = nullptr;
  TEX_image_desc desc;
  int ok = file.mem_beg &&
           TEX_load_png("RESOURCE:interface.png", &file, pixels, 0x1908, 0, 0, png_alpha_as_asked, 0, desc);
  // Decoded apart and copied in, so a picture bigger than the scratch area
  // is refused rather than written past its end.
  const long long bytes = ok ? (long long)desc.width * desc.height * 4 : 0;
  ok = ok && desc.pad == 0 && bytes <= (long long)scratch_array_bytes;
  if (ok) {
    memcpy(scratch_array, pixels, (size_t)bytes);
    scratch_dx = desc.width;
    scratch_dy = desc.height;
  }
  if (pixels) xfree(pixels);
  if (!ok) {
    __MACIBM_alert(0, "I cannot open the graphics interface file!",
                   "It seems that you have moved this program out of the Vodovaz folder!",
                   "NO! NO! Create a shortcut if you want, but do not move the Duvizo application itself out of the "
                   "Vodovaz folder that it came in!",
                   bmp_path, t_quit, k_init_source, 868);
    return;
  }
  tman.load_texture(tex_fail_silent, 359, 0x40242, tex_load_now, "scratch_array-interface");
}

// The interface colours come from swatches in the picture, so a new look
// needs no new program.
static void assign_interface_colours() {
  for (const atlas_swatch& s : k_atlas_swatches) {
    const unsigned char* p = scratch_array + s.byte_offset();
    colr.col_assign(s.colour_id, p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f);
  }
  const float* a = colr.col[40];
  const float* b = colr.col[43];
  colr.col_assign(44, (a[0] + b[0]) * 0.5f, (a[1] + b[1]) * 0.5f, (a[2] + b[2]) * 0.5f);
}

// The X server went away: nothing of the display can be used any more.
static void display_gone() { MACIBM_end_run("The connection to the display was lost: the run ends.", 1, 1); }

void MACIBM_init(int argc, char** argv) {
  MACIBM_connect_layers();
  // A signal to stop is noted here and acted on by the next frame.
  PLAT_catch_end_signals();
  UTL_local_time_init();
  UTL_debug_init();
  PLAT_flush_events();
  PLAT_video().cursor_arrow();

  MACIBM_set_app_path(app_path, 0);
  app_path.clear();
  // Reports without a folder of their own ("stack_crawl.txt", "MemoryLog.txt")
  // go next to the application, wherever it was started from.
  PLAT_enter_bundle_folder();
  MACIBM_open_log();
  cmdline.init_unix(argc, argv);
  THREAD_init();

  wins.x_res_wind = 800;
  wins.y_res_wind = 600;
  mnw.lang = -1;
  reno.tex_res = 5;
  reno.alias_req = 0;
  mnw.lang = UTL_get_default_language();

  MACIBM_setres(1);
  if (!cons.cons_make(0))
    __MACIBM_alert(0, "I could not set up the graphics for Duvizo! I hope your monitor is at 1024x768 or higher! It must be!",
                   "You do not meet the system requirements or you do not have OpenGL drivers or you entered a bad "
                   "resolution in Duvizo!",
                   "You need at least 256 meg of RAM, 16 meg of VRAM, and OpenGl drivers for your 3-D accelerator card!",
                   "If you reset the resolution, you can try launching Duvizo again, since I am resetting Duvizo to "
                   "default resolution now.",
                   t_quit, k_init_source, 805);
  // From here on the window's loss ends the run through the finish-up.
  PLAT_catch_display_loss(display_gone);
  // A display mode belongs to a full-screen window on this system, so the
  // switch asked for above takes effect once the window stands.
  if (wins.full_screen) MACIBM_go_full_screen(2);
  cons.num_cons(cons.sec_mon_inuse + 1);
  OGL_pix_specs(0);
  glExt.init_extensions();
  reno.reno_init();

  // The pool comes after the probe: whether its workers get OpenGL contexts
  // depends on what the probe found.
  scratch_array = scratch_array_storage;
  tman.TEX_init();
  THREAD_make_workers();

  fill_randrat();
  fill_trig_tables();

  tman.load_texture(tex_fail_quit, 363, 0x48242, tex_load_now, "RESOURCE:map.png");
  tman.load_texture(tex_fail_quit, 364, 0x48241, tex_load_now, "RESOURCE:background.png");
  load_interface_picture();
  assign_interface_colours();

  mbar.mbar_nuke_menus(1);
  wins.start_win(-1);
  OGL_pix_specs(0);
  ogl_inited = 1;

  check_language();
  MACIBM_show_init("Will init plugins.", nullptr);
  UTL_stat::init_stats();
  UTL_remote_cmd::init_remote_cmds();
  UTL_profiler_init();
  cmdline.set_datarefs();
  keys.keys_io(0);
  MACIBM_setupforlang();
  MACIBM_show_init("Starting application.", nullptr);
}
