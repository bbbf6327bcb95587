// The application shell on its own, as the installer's entry will run it:
// start-up, frames until the window is asked to close, finish-up. The end-to-
// end tests drive it on an X server of their own.
//   shell_demo <bundle> run|report|box [program options...]
// run: frames until the close request, then the finish-up with saving.
// report: start-up, then prints what it set up (tables, colours, textures;
//   texture 359's pixels go to "tex359.rgba" in the home folder) and
//   finishes up.
// box: only the system message box, with a fixed text.
#include <GL/gl.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include "core/hl_alert.h"
#include "core/randrat.h"
#include "ogl/ogl_trig.h"
#include "platform/plat_bundle.h"
#include "shell/hl_alerts.h"
#include "shell/hl_event.h"
#include "shell/hl_init.h"
#include "tex/TEX_obj.h"
#include "tex/tman.h"
#include "widgets/colr.h"

namespace {

void report() {
  printf("ogl_inited %d\n", ogl_inited);
  double sum = 0;
  for (float r : randrat) sum += r;
  printf("randrat %.9g %.9g %.9g %.9g\n", randrat[0], randrat[1], randrat[randrat_size - 1], sum);
  printf("rand %d\n", rand());
  printf("trig %.9g %.9g %.9g %.9g\n", lookup_sin[90], lookup_cos[0], lookup_sin[360], lookup_cos[360]);
  for (int id = 39; id <= 52; ++id)
    printf("colour %d %d %d %d\n", id, (int)(colr.col[id][0] * 255 + 0.5f), (int)(colr.col[id][1] * 255 + 0.5f),
           (int)(colr.col[id][2] * 255 + 0.5f));
  for (int ref : {359, 363, 364})
    printf("texture %d loaded %d err %d size %gx%g path %s\n", ref, tman.tex_loaded(ref), tman.tex_err(ref),
           tman.tex_dx_vis(ref), tman.tex_dy_vis(ref), tman.get_path(ref).c_str());
  const int w = (int)tman.tex_dx_tot(359), h = (int)tman.tex_dy_tot(359);
  std::vector<unsigned char> pixels((size_t)w * h * 4);
  glBindTexture(GL_TEXTURE_2D, tman.get_known_obj(359)->get_gl_name());
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  // The start-up moved the current folder next to the bundle.
  const std::string out = std::string(getenv("HOME")) + "/tex359.rgba";
  if (FILE* f = fopen(out.c_str(), "wb")) {
    fwrite(pixels.data(), 1, pixels.size(), f);
    fclose(f);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: shell_demo <bundle> run|report|box [options...]\n");
    return 2;
  }
  const std::string mode = argv[2];
  if (mode == "box") {
    APL_system_box("A message for the box.", "Its detail.");
    printf("dismissed\n");
    return 0;
  }
  PLAT_set_bundle_path(argv[1]);
  std::vector<char*> args{argv[0]};
  for (int i = 3; i < argc; ++i) args.push_back(argv[i]);
  MACIBM_init((int)args.size(), args.data());
  if (mode == "report") {
    report();
  } else {
    printf("ready\n");
    fflush(stdout);
    while (!quit_request) MACIBM_event_proc();
  }
  MACIBM_finishup(1);
  return 0;
}
