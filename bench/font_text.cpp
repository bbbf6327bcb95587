// A frame of interface text: 50 lines of 60 characters (3,000 glyphs, the
// atlas warm) drawn with OGL_string, against the same frame without text, on
// the window's real context (Mesa under the X server of DISPLAY) at 1024 by
// 768. Prints milliseconds per frame, glyphs per millisecond of the text
// alone, and the heap blocks our code takes while it draws (it should take
// none). The target is a whole frame under 16 ms.
#include <GL/gl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <chrono>
#include <cstdio>
#include <string>
#include "bench_gl.h"
#include "core/globs.h"
#include "core/utl_resource.h"
#include "ogl/OGL_font.h"
#include "ogl/OGL_font_info.h"
#include "ogl/ogl_trig.h"
#include "ogl/ogl_view.h"
#include "shell/cons.h"
#include "shell/wins.h"
#include "tex/tman.h"
#include "widgets/colr.h"

// Every heap block of the process passes through here, so the blocks our
// own code takes while it draws can be counted: those asked for from this
// program's text (the layers are linked in statically). The driver
// allocates as it flushes batches; its blocks are not counted. The work is
// glibc's.
extern "C" char __executable_start, etext;
namespace {
thread_local bool t_counting = false;
long g_allocs = 0;
inline void count(void* caller) {
  if (t_counting && caller >= (void*)&__executable_start && caller < (void*)&etext) ++g_allocs;
}
}  // namespace
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* malloc(size_t n) {
  count(__builtin_return_address(0));
  return __libc_malloc(n);
}
void* calloc(size_t n, size_t s) {
  count(__builtin_return_address(0));
  return __libc_calloc(n, s);
}
void* realloc(void* p, size_t n) {
  count(__builtin_return_address(0));
  return __libc_realloc(p, n);
}
}

namespace {

const int lines = 50, columns = 60;
std::string s_lines[lines];

void make_lines() {
  const char* words = "Installing scenery from the second disc: please wait while the files are copied. ";
  const std::string w = words;
  for (int i = 0; i < lines; ++i) {
    std::string& s = s_lines[i];
    for (int c = 0; c < columns; ++c) s += w[(i * 7 + c) % w.size()];
  }
}

bool exists(const std::string& p) {
  struct stat st;
  return !p.empty() && stat(p.c_str(), &st) == 0;
}

void frame_empty() {}

void frame_text() {
  for (int i = 0; i < lines; ++i) OGL_string(5, 10, 750 - 15 * i, s_lines[i], 9999, cs_regular, just_left);
}

double ms_per_frame(void (*frame)(), int frames, long* allocs) {
  glFinish();
  const long a0 = g_allocs;
  const auto t0 = std::chrono::steady_clock::now();
  for (int i = 0; i < frames; ++i) {
    glClear(GL_COLOR_BUFFER_BIT);
    t_counting = true;
    frame();
    t_counting = false;
    glFinish();
  }
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
  if (allocs) *allocs = g_allocs - a0;
  return ms / frames;
}

}  // namespace

int main() {
  if (!bench_gl_window("font_text", 1024, 768)) return 1;
  tman.TEX_init();
  fill_trig_tables();
  colr.col[5][0] = colr.col[5][1] = colr.col[5][2] = 1;
  for (int slot = 0; slot < 2; ++slot) {
    const char* file = slot ? "DejaVuSansBold.ttf" : "DejaVuSans.ttf";
    if (!exists(UTL_resource_get_file(file)))
      tt_names[slot] = slot ? "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
                            : "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  }
  wins.last_win = 0;
  OGL_pix_specs(0);
  make_lines();
  const int frames = 100;
  ms_per_frame(frame_text, 5, nullptr);  // warms the atlas
  ms_per_frame(frame_empty, 5, nullptr);
  double empty = 0, text = 0;
  long empty_allocs = 0, text_allocs = 0, a = 0;
  for (int round = 0; round < 3; ++round) {  // interleaved, so drift hits both alike
    empty += ms_per_frame(frame_empty, frames, &a);
    empty_allocs += a;
    text += ms_per_frame(frame_text, frames, &a);
    text_allocs += a;
  }
  empty /= 3;
  text /= 3;
  const int glyphs = lines * columns;
  printf("frame of %d glyphs at 1024x768: %.2f ms (without text %.2f ms), %.0f glyphs per ms of text, target < 16 ms: %s\n",
         glyphs, text, empty, glyphs / (text - empty > 0 ? text - empty : 1e-9), text < 16 ? "met" : "missed");
  printf("heap blocks our code took while drawing: %ld in %d text frames (%ld in the empty ones)\n", text_allocs, 3 * frames,
         empty_allocs);
  cons.cons_close_all();
  return 0;
}
