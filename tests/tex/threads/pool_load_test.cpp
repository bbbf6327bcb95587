// A texture reloaded on a pool thread fills a fresh OpenGL name and swaps it
// in; the name it replaced is deleted by the main thread's next frame end.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <atomic>
#include "core/hl_thread.h"
#include "core/utl_mem.h"
#include "core/utl_threadpool.h"
#include "shell/cons.h"
#include "shell/hl_init.h"
#include "support/gl_console.h"
#include "tex/TEX_bind.h"
#include "tex/tman.h"

namespace {

const bool gl = gl_console_register();

// Makes a loader context current on the pool thread that runs it.
struct take_context : UTL_pool_task {
  void* context = nullptr;
  std::atomic<int> ok{0};
  int do_it(int) override {
    ok = MACIBM_set_context_loader(context);
    return 0;
  }
  const char* get_debug_name() override { return "take_context"; }
};

// 2 x 2 RGB: rows of 6 bytes, which only an unpack alignment of 1 reads right.
unsigned char* grey(unsigned char v) {
  unsigned char* px = (unsigned char*)xmalloc(12);
  for (int i = 0; i < 12; ++i) px[i] = (unsigned char)(v + i);
  return px;
}

TEST(PoolLoad, AWorkerSwapsInAFreshNameAndTheOldOneGoesAtFrameEnd) {
  THREAD_init();
  tman.TEX_init();
  ASSERT_EQ(tman.load_texture_mem_idx(900, 1, grey(10), 2, 2, "pooled"), 900);
  TEX_obj* obj = tman.get_known_obj(900);
  const unsigned old_name = obj->get_gl_name();
  ASSERT_NE(old_name, 0u);

  take_context take;
  take.context = cons.cons_make_loader();
  ASSERT_NE(take.context, nullptr);
  {
    UTL_threadpool pool(1);
    pool.queue_task(&take, 0);
    obj->change_mem(grey(200), 2, 2, "");
    obj->queue_load(&pool);
    while (!pool.empty()) {
    }
  }
  ASSERT_EQ(take.ok.load(), 1);
  const unsigned fresh = obj->get_gl_name();
  EXPECT_NE(fresh, old_name);
  EXPECT_EQ(obj->ref_count(), 1);
  EXPECT_TRUE(glIsTexture(old_name));
  TEX_obj::delete_some_texes();
  EXPECT_FALSE(glIsTexture(old_name));

  // The main thread draws the new pixels.
  TEX_reset_bind();
  tman.bind_ref(900, 0, 0);
  unsigned char px[12] = {0};
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, px);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(px[i], 200 + i) << i;
  THREAD_shutdown();
}

}  // namespace
