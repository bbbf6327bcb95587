// Opens the program's window the way the installer does and prints what the
// OpenGL driver offers: the pixel format, the video memory and the capability
// report of the log. Takes the installer's OpenGL options ("--no_glsl"...).
#include <cstdio>
#include "core/globs.h"
#include "core/hl_alert.h"
#include "core/utl_cmdline.h"
#include "ogl/ogl_extensions.h"
#include "shell/cons.h"
#include "shell/hl_init.h"
#include "shell/wins.h"

int main(int argc, char** argv) {
  MACIBM_connect_layers();
  xer.open("/dev/stdout");
  xer << std::fixed;  // as the log writes its numbers
  cmdline.init_unix(argc, argv);
  wins.x_res_wind = 800;
  wins.y_res_wind = 600;
  if (!cons.cons_make(0)) {
    fprintf(stderr, "gl_report: no window with an OpenGL context (is DISPLAY set?)\n");
    return 1;
  }
  cons.num_cons(1);
  glExt.init_extensions();
  xer.flush();
  MACIBM_finishup(0);
  return 0;
}
