// Drawing display lists with vertex arrays, and stepping through their data.
#include <cstdint>
#include "core/utl_stat.h"
#include "ogl/ogl_extensions.h"
#include "ogl/ogl_state.h"
#include "ogl/xdl.h"
#include "widgets/reno.h"

namespace {

UTL_stat num_xdl_group_map("xdl/num_xdl_group_map", stat_memory, 0);
UTL_stat num_xdl_draw("xdl/num_xdl_draw", stat_per_frame, 0);
UTL_stat num_xdl_vert("xdl/num_xdl_vert", stat_per_frame, 0);

// The units the lists' texture-coordinate sets go to.
constexpr int k_max_units = 5;
struct {
  int map1 = 1, map2 = 2, color = 1;
} s_texmap;

// What the array pointers take for a region: its offset into the bound
// buffer object, or its address in memory.
const void* array_pointer(const OGL_chunkybuffer& b, unsigned long offset) {
  return b.vbo ? reinterpret_cast<const void*>(offset) : b.data + offset;
}

// The units taking the first set and those taking the second (a unit named
// by both takes the first), limited to what the list has.
void unit_masks(const xdl* l, int& first, int& second) {
  first = (l->flags & xdl_has_tex1) ? s_texmap.map1 & ((1 << k_max_units) - 1) : 0;
  second = (l->flags & xdl_has_tex2) ? s_texmap.map2 & ((1 << k_max_units) - 1) & ~first : 0;
}

void issue_draw(const xdl* l, float fraction) {
  // Until finalisation the offsets hold sub-region records, not offsets.
  if (!xdl_group_is_finalized(l->group)) return;
  const bool arrays = l->flags & xdl_plain_arrays;
  const int count = arrays ? l->vert_count : (int)(l->idx_size / sizeof(GLuint));
  const int n = fraction != 0 ? (int)((float)count * fraction) : count;
  if (arrays)
    glDrawArrays(xdl_mode(l), 0, n);
  else
    glDrawElements(xdl_mode(l), n, GL_UNSIGNED_INT, array_pointer(l->group->indices, l->idx_offset));
  num_xdl_vert.value += (float)n;
  num_xdl_draw.value += 1;
}

}  // namespace

void xdl_texmap(int map1, int map2, int color) {
  s_texmap.map1 = map1;
  s_texmap.map2 = map2;
  s_texmap.color = color;
}

void xdl_draw(const xdl* l, float fraction) {
  const xdl_group* g = l->group;
  if (!xdl_group_is_finalized(g)) return;
  // A memory group binds 0 too: the pointers below are then addresses.
  OGL_bind_vbo(g->verts.vbo);
  OGL_bind_vbo_ind(g->indices.vbo);

  const xdl_layout& lay = xdl_layout_of(l->flags);
  const bool normals = l->flags & xdl_has_normals;
  const bool colors = (l->flags & xdl_has_colors) && s_texmap.color;
  int first = 0, second = 0;
  unit_masks(l, first, second);
  OGL_setclientstate(normals ? nrm_on : nrm_off, colors ? col_on : col_off, (unsigned char)(first | second));

  const GLsizei stride = lay.floats * (GLsizei)sizeof(float);
  // Kept as a number: with a buffer object bound it is an offset, not an address.
  const uintptr_t base = reinterpret_cast<uintptr_t>(array_pointer(g->verts, l->vert_offset));
  auto part = [&](int floats) { return reinterpret_cast<const void*>(base + floats * sizeof(float)); };
  glVertexPointer(3, GL_FLOAT, stride, part(0));
  if (normals) glNormalPointer(GL_FLOAT, stride, part(lay.normal));
  if (colors) glColorPointer(4, GL_FLOAT, stride, part(lay.color));
  if (first | second) {
    for (int u = 0; u < k_max_units && u < reno.num_tex_units; ++u) {
      if (!((first | second) & (1 << u))) continue;
      glClientActiveTextureARB(GL_TEXTURE0_ARB + u);
      glTexCoordPointer(2, GL_FLOAT, stride, part((first & (1 << u)) ? lay.tex1 : lay.tex2));
    }
    glClientActiveTextureARB(GL_TEXTURE0_ARB);
  }
  issue_draw(l, fraction);
}

void xdl_redraw(const xdl* l, float fraction) { issue_draw(l, fraction); }

void xdl_process(const xdl* previous, const xdl* next, xdl_process_fn fn, void* context) {
  xdl_group* old_group = previous ? previous->group : nullptr;
  xdl_group* new_group = next ? next->group : nullptr;
  if (old_group != new_group) {
    if (old_group) {
      old_group->verts.unmap();
      old_group->indices.unmap();
    }
    if (new_group) {
      new_group->verts.map();
      new_group->indices.map();
      num_xdl_group_map.value += 1;
    }
  }
  // Nothing to hand over before finalisation.
  if (!next || !new_group->verts.data) return;
  const int floats = xdl_layout_of(next->flags).floats;
  float* positions = reinterpret_cast<float*>(new_group->verts.data + next->vert_offset);
  fn(positions, next->vert_count, floats, 0, context);
  if (next->flags & xdl_has_normals)
    fn(positions + xdl_layout_of(next->flags).normal, next->vert_count, floats, 1, context);
}
