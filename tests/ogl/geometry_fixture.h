// What the geometry-buffer and display-list tests share: statistics by name,
// the heap's bytes in use (to see that a destruction gave everything back)
// and a failing buffer mapping.
#pragma once
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <cstring>
#include "core/utl_stat.h"
#include "ogl/ogl_extensions.h"
#include "platform/plat_memory.h"
#include "support/xer_capture.h"

// The registered statistic of that name; fails the test when there is none.
inline UTL_stat& stat_named(const char* name) {
  UTL_stat::init_stats();
  for (const auto& [type, stats] : UTL_stat_registry())
    for (UTL_stat* s : stats)
      if (strcmp(s->name, name) == 0) return *s;
  ADD_FAILURE() << name << " is not registered";
  static UTL_stat none("(none)", stat_tuning, 0);
  return none;
}

// Bytes the heap has handed out and not had back, where that is exact: the
// sanitizer's heap. Elsewhere -1: the C library and the pool allocator count
// blocks held in their thread caches as in use.
inline long long heap_in_use() {
#if defined(DUV_ASAN)
  PLAT_heap_stats s;
  PLAT_get_heap_stats(&s);
  return (long long)s.in_use;
#else
  return -1;
#endif
}

// A mapping that fails as a driver's does: the real call, asked for an
// access mode that does not exist, returns null and leaves GL_INVALID_ENUM.
inline PFNGLMAPBUFFERARBPROC g_real_map = nullptr;
inline void* APIENTRY refusing_map(GLenum target, GLenum) { return g_real_map(target, 0); }

// Probes the test window's driver again when another test of this program
// emptied the capability record, and starts with nothing believed bound.
inline void geometry_setup() {
  if (!glExt.glGenBuffersARB) {
    xer_capture quiet;
    glExt.init_extensions();
  }
  OGL_bind_vbo(0);
  OGL_bind_vbo_ind(0);
}
