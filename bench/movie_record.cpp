// What recording a movie costs the frame: milliseconds per frame at 1024 by
// 768 (Mesa under the X server of DISPLAY) in a 60 Hz loop recording at 20
// frames per second, idle against recording, reading back through the
// pixel-pack buffer and straight into memory. Prints each and its ratio to
// idle. The movies go to a temporary folder that is removed at the end.
#include <GL/gl.h>
#include <stdlib.h>
#include <unistd.h>
#include <cstdio>
#include <string>
#include "bench_gl.h"
#include "core/hl_thread.h"
#include "core/xtim.h"
#include "shell/qtim.h"
#include "tex/tman.h"
#include "widgets/reno.h"

namespace {
int g_frame = 0;

void frame_recorded() {
  ++g_frame;
  glClearColor((g_frame % 200) / 255.0f, 0.3f, 0.6f, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  xtim.smooth_dt = 1 / 60.0f;
  qtim.mov_per_frame();
}

// Milliseconds per frame, idle or recording with the pack path on or off.
double measure(int record, int pack, int frames) {
  reno.no_pbo_movie = pack ? 0 : 1;
  if (record) qtim.mov_toggle(1);
  bench_ms_per_frame(frame_recorded, 10);  // the recorder settles in
  const double ms = bench_ms_per_frame(frame_recorded, frames);
  if (record) {
    qtim.mov_toggle(0);
    if (qtim.state != 0) qtim.mov_stoprecord();
  }
  return ms;
}
}  // namespace

int main() {
  if (!bench_gl_window("movie_record", 1024, 768)) return 1;
  char dir[] = "/tmp/duv-movie-bench-XXXXXX";
  if (!mkdtemp(dir) || chdir(dir) != 0) return 1;
  THREAD_init();
  tman.TEX_init();
  wins.last_win = 0;
  OGL_pix_specs(0);
  if (!qtim.qt_ok) {
    fprintf(stderr, "movie_record: FFmpeg lacks the Motion-JPEG encoder or the mov muxer\n");
    return 1;
  }
  const int frames = 300;
  double idle = 0, pack = 0, direct = 0;
  for (int round = 0; round < 3; ++round) {  // interleaved, so drift hits all alike
    idle += measure(0, 0, frames);
    if (glExt.pbo_avail) pack += measure(1, 1, frames);
    direct += measure(1, 0, frames);
  }
  idle /= 3;
  pack /= 3;
  direct /= 3;
  printf("frame at 1024x768: idle %.2f ms; recording through the pack buffer %.2f ms (ratio %.2f)%s; "
         "recording straight into memory %.2f ms (ratio %.2f)\n",
         idle, pack, pack / idle, glExt.pbo_avail ? "" : " [no pack buffer]", direct, direct / idle);
  qtim.mov_stop_thread();
  cons.cons_close_all();
  std::system((std::string("rm -rf '") + dir + "'").c_str());
  return 0;
}
