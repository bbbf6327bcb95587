// Texture objects: construction, reference counts, pool loading, binding
// and the queue of OpenGL names that only the main thread may delete.
#include "tex/TEX_obj.h"
#include <cstdio>
#include "core/hl_alert.h"
#include "core/hl_thread.h"
#include "core/scratch.h"
#include "core/utl_mem.h"
#include "tex/TEX_bind.h"
#include "tex/tman.h"

namespace {

constexpr char src_path[] = "RUvozuz/TEX/TEX_obj";

bool is_pow2(int v) { return v > 0 && (v & (v - 1)) == 0; }

void check_pow2(int flags, int width, int height, const std::string& name) {
  if (flags == 0 && (!is_pow2(width) || !is_pow2(height)))
    __MACIBM_alert(0, "Error: texture buffer has non-power-of-2 dims", name, "", "", t_quit, src_path, __LINE__);
}

bool on_main() { return !THREAD_is_inited() || THREAD_is_main_thread(); }

}  // namespace

void (*TEX_obj_free)(void*) = xfree;

std::atomic<int32_t> TEX_obj::total_texes_ctr{0};
std::atomic<int32_t> TEX_obj::loaded_texes_ctr{0};
UTL_message_queue<void*>* TEX_obj::sKillQueue = nullptr;

TEX_obj::TEX_obj(int number_, unsigned name, const std::string& path_, int flags_, tex_fail_mode fail)
    : path(path_), source(1), number(number_), gl_name(name), flags(flags_), fail_mode(fail),
      target(flags_ & tex_flag_3d ? GL_TEXTURE_3D : GL_TEXTURE_2D) {
  total_texes_ctr.fetch_add(1);
}

TEX_obj::TEX_obj(int number_, unsigned name, int flags_, unsigned char* pixels_, int width, int height,
                 const std::string& name_)
    : path(name_), source(0), pixels(pixels_), number(number_), gl_name(name), dx_vis(width), dy_vis(height),
      flags(flags_), fail_mode(tex_fail_quit), target(flags_ & tex_flag_3d ? GL_TEXTURE_3D : GL_TEXTURE_2D) {
  total_texes_ctr.fetch_add(1);
  check_pow2(flags, width, height, name_);
}

TEX_obj::~TEX_obj() {
  total_texes_ctr.fetch_sub(1);
  // Fallbacks were never counted as loaded, so only counted objects leave
  // the count.
  if (counted.load()) loaded_texes_ctr.fetch_sub(1);
  if (evaluator) evaluator->dispose();
  const unsigned name = gl_name.load();
  if (name != 0 && name != 934) {
    if (on_main()) {
      glDeleteTextures(1, &name);
      TEX_reset_bind();
    } else if (sKillQueue) {
      UTL_message_queue_write(sKillQueue, (void*)(uintptr_t)name);
    }
  }
  if (pixels && pixels != scratch_array) TEX_obj_free(pixels);
}

void TEX_obj::change_path(const std::string& p, tex_fail_mode fail) {
  path = p;
  source = 1;
  fail_mode = fail;
}

void TEX_obj::change_mem(unsigned char* px, int width, int height, const std::string&) {
  // A number that held a file texture now takes its pixels from memory.
  source = 0;
  pixels = px;
  dx_vis = width;
  dy_vis = height;
  fail_mode = tex_fail_quit;
  check_pow2(flags, width, height, path);
}

void TEX_obj::bind(int unit, int mode) {
  if (loaded.load() && byte_est > 0)
    TEX_bind_ref((int)gl_name.load(), unit, mode, target);
  else
    TEX_bind_ref(934, unit, mode, GL_TEXTURE_2D);
}

void TEX_obj::retain() {
  if (refs.fetch_add(1) + 1 <= 0)
    __MACIBM_alert(0, "Ref count never went positive", "", path, "", t_crash, src_path, __LINE__);
}

void TEX_obj::release_suspend() {
  if (refs.fetch_sub(1) - 1 < 0)
    __MACIBM_alert(0, "Ref count went negative", "", path, "", t_crash, src_path, __LINE__);
}

void TEX_obj::release_kill() {
  if (refs.fetch_sub(1) == 1) {
    tman.unregister_one_texture(this);
    delete this;
  }
}

void TEX_obj::queue_load(UTL_threadpool* pool) {
  int32_t idle = 0;
  if (queued.compare_exchange_strong(idle, 1)) {
    refs.fetch_add(1);
    pool->queue_task(this, 0);
  }
}

int TEX_obj::do_it(int) {
  load();
  int32_t busy = 1;
  queued.compare_exchange_strong(busy, 0);
  refs.fetch_sub(1);
  return 0;
}

void TEX_obj::replace_evaluator(TEX_evaluator* e) {
  if (evaluator) evaluator->dispose();
  evaluator = e;
  if (e) e->owner = this;
}

void TEX_obj::init_texes() {
  if (!sKillQueue) sKillQueue = UTL_message_queue_create<void*>();
}

void TEX_obj::delete_some_texes() {
  if (!sKillQueue) return;
  while (void* item = UTL_message_queue_read(sKillQueue, 0)) {
    const GLuint name = (GLuint)(uintptr_t)item;
    glDeleteTextures(1, &name);
  }
}

void TEX_obj::kill_texes() {
  if (!sKillQueue) return;
  delete_some_texes();
  UTL_message_queue_destroy(sKillQueue);
  sKillQueue = nullptr;
}

std::string TEX_replace_ext(const std::string& path, const char* ext) {
  std::string out = path;
  if (out.size() > 4 && out[out.size() - 4] == '.') out.resize(out.size() - 4);
  return out + ext;
}
