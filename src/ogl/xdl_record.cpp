// Recording display lists: commands converted to the list's plain primitive
// and written interleaved into the group's buffers; the list's box; reading
// the finished data back.
#include <algorithm>
#include <cstring>
#include <vector>
#include "ogl/xdl.h"
#include "ogl/xdl_private.h"

namespace {

// One command's separate input arrays.
struct xdl_source {
  const float* part[5];  // positions, normals, colours, first and second texture set
};

constexpr int k_part_floats[5] = {3, 3, 4, 2, 2};

int primitive_size(GLenum plain) {
  switch (plain) {
    case GL_LINES: return 2;
    case GL_TRIANGLES: return 3;
    case GL_QUADS: return 4;
    default: return 1;
  }
}

// The command's input positions 0..n-1 in the order of its plain primitive.
// Strip triangles of odd number swap their first two corners, so every
// triangle keeps the strip's winding.
void convert(GLenum mode, int n, std::vector<int>& out) {
  auto put = [&](std::initializer_list<int> v) { out.insert(out.end(), v); };
  switch (mode) {
    case GL_POINTS:
      for (int i = 0; i < n; ++i) put({i});
      break;
    case GL_LINES:
      for (int i = 0; i + 1 < n; i += 2) put({i, i + 1});
      break;
    case GL_LINE_STRIP:
      for (int i = 0; i + 1 < n; ++i) put({i, i + 1});
      break;
    case GL_TRIANGLES:
      for (int i = 0; i + 2 < n; i += 3) put({i, i + 1, i + 2});
      break;
    case GL_TRIANGLE_STRIP:
      for (int i = 0; i + 2 < n; ++i) i % 2 ? put({i + 1, i, i + 2}) : put({i, i + 1, i + 2});
      break;
    case GL_TRIANGLE_FAN:
      for (int i = 1; i + 1 < n; ++i) put({0, i, i + 1});
      break;
    case GL_QUADS:
      for (int i = 0; i + 3 < n; i += 4) put({i, i + 1, i + 2, i + 3});
      break;
    case GL_QUAD_STRIP:
      for (int i = 0; 2 * i + 3 < n; ++i) put({2 * i, 2 * i + 1, 2 * i + 3, 2 * i + 2});
      break;
  }
}

void put_vertex(float* dst, const xdl_layout& lay, const xdl_source& src, int i) {
  const int at[5] = {0, lay.normal, lay.color, lay.tex1, lay.tex2};
  for (int p = 0; p < 5; ++p) {
    if (at[p] < 0) continue;
    const int n = k_part_floats[p];
    if (src.part[p])
      memcpy(dst + at[p], src.part[p] + (size_t)i * n, n * sizeof(float));
    else
      std::fill_n(dst + at[p], n, 0.0f);
  }
}

float* reserve_verts(xdl* l, int n) {
  const int bytes = n * xdl_layout_of(l->flags).floats * (int)sizeof(float);
  return reinterpret_cast<float*>(l->group->verts.reserve(xdl_region(l->vert_offset), bytes));
}

GLuint* reserve_indices(xdl* l, int n) {
  return reinterpret_cast<GLuint*>(l->group->indices.reserve(xdl_region(l->idx_offset), n * (int)sizeof(GLuint)));
}

// indices null: the command's vertices are its input in order.
void record(xdl* l, GLenum mode, int count, const xdl_source& src, int index_count, const GLuint* indices) {
  const GLenum plain = xdl_plain_mode(mode);
  if (plain == xdl_no_mode || plain != xdl_mode(l)) {
    xdl_bad_mode(__LINE__);
    return;
  }
  std::vector<int> order;
  convert(mode, indices ? index_count : count, order);
  if (indices) {
    // A primitive naming a vertex the command does not have is dropped
    // whole, rather than read from beyond the caller's arrays.
    const size_t p = (size_t)primitive_size(plain);
    std::vector<int> kept;
    for (size_t k = 0; k + p <= order.size(); k += p) {
      bool inside = true;
      for (size_t j = k; j < k + p; ++j) inside = inside && indices[order[j]] < (GLuint)count;
      for (size_t j = k; inside && j < k + p; ++j) kept.push_back((int)indices[order[j]]);
    }
    order.swap(kept);
  }
  if (order.empty()) return;

  const xdl_layout& lay = xdl_layout_of(l->flags);
  if (l->flags & xdl_plain_arrays) {
    float* out = reserve_verts(l, (int)order.size());
    for (size_t k = 0; k < order.size(); ++k) put_vertex(out + k * lay.floats, lay, src, order[k]);
    l->vert_count += (int)order.size();
    return;
  }
  // Without indices, the vertices after the last one used complete nothing.
  const int used = indices ? count : *std::max_element(order.begin(), order.end()) + 1;
  const int base = l->vert_count;
  float* out = reserve_verts(l, used);
  for (int i = 0; i < used; ++i) put_vertex(out + (size_t)i * lay.floats, lay, src, i);
  GLuint* idx = reserve_indices(l, (int)order.size());
  for (size_t k = 0; k < order.size(); ++k) idx[k] = (GLuint)(base + order[k]);
  l->vert_count += used;
}

// Calls fn with every vertex of the list, recorded or finished; false when
// the finished data cannot be addressed.
template <class F>
bool each_vertex(const xdl* l, F fn) {
  const int floats = xdl_layout_of(l->flags).floats;
  const OGL_chunkybuffer& vb = l->group->verts;
  if (!vb.is_finalized()) {
    for (auto* c = xdl_region(l->vert_offset)->first_chunk; c; c = c->next)
      for (int at = 0; at + floats * (int)sizeof(float) <= c->used(); at += floats * (int)sizeof(float))
        fn(reinterpret_cast<const float*>(c->bytes() + at));
    return true;
  }
  if (!vb.data) return false;
  const float* v = reinterpret_cast<const float*>(vb.data + l->vert_offset);
  for (int i = 0; i < l->vert_count; ++i) fn(v + (size_t)i * floats);
  return true;
}

}  // namespace

void xdl_add_command(xdl* l, GLenum mode, int count, const float* positions, const float* normals,
                     const float* colors, const float* tex1, const float* tex2) {
  record(l, mode, count, {{positions, normals, colors, tex1, tex2}}, 0, nullptr);
}

void xdl_add_command_indexed(xdl* l, GLenum mode, int count, const float* positions, const float* normals,
                             const float* colors, const float* tex1, const float* tex2, int index_count,
                             const GLuint* indices) {
  record(l, mode, count, {{positions, normals, colors, tex1, tex2}}, index_count, indices);
}

int xdl_reserve_command(xdl* l, int vert_count, int idx_count, float** verts, GLuint** indices) {
  const int first = l->vert_count;
  *verts = vert_count > 0 ? reserve_verts(l, vert_count) : nullptr;
  const bool indexed = !(l->flags & xdl_plain_arrays) && idx_count > 0;
  GLuint* idx = indexed ? reserve_indices(l, idx_count) : nullptr;
  if (indices) *indices = idx;
  if (vert_count > 0) l->vert_count += vert_count;
  return first;
}

void xdl_finish(xdl* l, float bounds[6]) {
  float lo[3] = {0, 0, 0}, hi[3] = {0, 0, 0};
  bool first = true;
  each_vertex(l, [&](const float* v) {
    for (int a = 0; a < 3; ++a) {
      lo[a] = first ? v[a] : std::min(lo[a], v[a]);
      hi[a] = first ? v[a] : std::max(hi[a], v[a]);
    }
    first = false;
  });
  for (int a = 0; a < 3; ++a) {
    bounds[a] = lo[a];
    bounds[3 + a] = hi[a];
  }
}

int xdl_get_data(const xdl* l, float** verts, int* vert_count, int* floats_per_vert, GLuint** indices,
                 int* idx_count) {
  const xdl_group* g = l->group;
  const bool indexed = !(l->flags & xdl_plain_arrays);
  *verts = nullptr;
  *indices = nullptr;
  *vert_count = *idx_count = 0;
  *floats_per_vert = xdl_layout_of(l->flags).floats;
  if (!g->verts.data || (indexed && !g->indices.data)) return 0;
  *verts = reinterpret_cast<float*>(g->verts.data + l->vert_offset);
  *vert_count = l->vert_count;
  if (indexed) {
    *indices = reinterpret_cast<GLuint*>(g->indices.data + l->idx_offset);
    *idx_count = (int)(l->idx_size / sizeof(GLuint));
  }
  return 1;
}
