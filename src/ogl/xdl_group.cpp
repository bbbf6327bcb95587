// Display-list groups and the lists' lives in them.
#include "core/hl_alert.h"
#include "core/utl_stat.h"
#include "ogl/ogl_extensions.h"
#include "ogl/xdl.h"
#include "ogl/xdl_private.h"

namespace {

UTL_stat num_xdl("xdl/num_xdl", stat_memory, 0);
UTL_stat num_xdl_group("xdl/num_xdl_group", stat_memory, 0);

// Every layout of flag bits 0 to 3: position first, then the parts present.
struct layout_table {
  xdl_layout entry[16];
  layout_table() {
    for (unsigned f = 0; f < 16; ++f) {
      int n = 3;
      auto part = [&](unsigned bit, int size) {
        if (!(f & bit)) return -1;
        const int at = n;
        n += size;
        return at;
      };
      xdl_layout& l = entry[f];
      l.normal = part(xdl_has_normals, 3);
      l.color = part(xdl_has_colors, 4);
      l.tex1 = part(xdl_has_tex1, 2);
      l.tex2 = part(xdl_has_tex2, 2);
      l.floats = n;
    }
  }
};
const layout_table k_layouts;

void destroy_group(xdl_group* g) {
  delete g;
  num_xdl_group.value -= 1;
}

}  // namespace

const xdl_layout& xdl_layout_of(unsigned flags) { return k_layouts.entry[flags & 15]; }

void xdl_bad_mode(int line) {
  __MACIBM_alert(0, "Polygon or unknown command in XDL.", "", "", "", t_crash, xdl_src_path, line);
}

GLenum xdl_plain_mode(GLenum mode) {
  switch (mode) {
    case GL_POINTS:
      return GL_POINTS;
    case GL_LINES:
    case GL_LINE_STRIP:
      return GL_LINES;
    case GL_TRIANGLES:
    case GL_TRIANGLE_STRIP:
    case GL_TRIANGLE_FAN:
      return GL_TRIANGLES;
    case GL_QUADS:
    case GL_QUAD_STRIP:
      return GL_QUADS;
    default:
      return xdl_no_mode;
  }
}

xdl_group* xdl_allocate_group(xdl_storage_option storage) {
  xdl_group* g = new xdl_group;
  g->storage = storage;
  num_xdl_group.value += 1;
  return g;
}

xdl_group* xdl_finalize_group(xdl_group* g) {
  if (g->num_lists == 0) {
    destroy_group(g);
    return nullptr;
  }
  const bool in_vbo = glExt.vbo_avail && g->storage != xdl_store_mem;
  const int static_draw = g->storage == xdl_store_vbo_static;
  if (in_vbo)
    g->verts.finalize_vbo(static_draw);
  else
    g->verts.finalize_mem();
  if (in_vbo && glExt.idx_vram_avail)
    g->indices.finalize_vbo(static_draw);
  else
    g->indices.finalize_mem();
  return g;
}

int xdl_group_is_finalized(const xdl_group* g) { return g->verts.is_finalized(); }

xdl* xdl_allocate(xdl_group* g, GLenum mode, int normals, int colors, int tex1, int tex2, int arrays) {
  const GLenum plain = xdl_plain_mode(mode);
  if (plain == xdl_no_mode) {
    xdl_bad_mode(__LINE__);
    return nullptr;
  }
  xdl* l = new xdl;
  l->group = g;
  l->flags = (normals ? xdl_has_normals : 0) | (colors ? xdl_has_colors : 0) | (tex1 ? xdl_has_tex1 : 0) |
             (tex2 ? xdl_has_tex2 : 0) | (arrays ? xdl_plain_arrays : 0) | plain << 8;
  // Vertex regions start on a whole vertex of their layout.
  const int stride = xdl_layout_of(l->flags).floats * (int)sizeof(float);
  xdl_set_region(&l->vert_offset, g->verts.new_subregion(&l->vert_offset, &l->vert_size, stride));
  if (!arrays) xdl_set_region(&l->idx_offset, g->indices.new_subregion(&l->idx_offset, &l->idx_size, 0));
  g->num_lists += 1;
  num_xdl.value += 1;
  return l;
}

void xdl_destroy(xdl* l) {
  xdl_group* g = l->group;
  if (!xdl_group_is_finalized(g)) {
    // The group still holds this list's regions and will write their
    // offsets at finalisation: point them somewhere that outlives the list.
    for (unsigned long* at : {&l->vert_offset, &l->idx_offset})
      if (OGL_chunkybuffer::subregion* r = xdl_region(*at)) r->offset_out = r->size_out = &g->orphaned;
  }
  delete l;
  num_xdl.value -= 1;
  if (--g->num_lists == 0) destroy_group(g);
}

int xdl_is_empty(const xdl* l) { return l->vert_count == 0; }
