// The incremental hull: records, list plumbing, the build and its read-outs.
#include "ogl/chull.h"
#include <cstdio>
#include "core/hl_alert.h"
#include "core/utl_mem.h"

namespace {

const char* const k_chull_unit = "RUvozuz/UTL/chull";

// Appends rec at the tail of the circular list at head.
template <class T>
void list_add(T*& head, T* rec) {
  if (head) {
    rec->next = head;
    rec->prev = head->prev;
    head->prev->next = rec;
    head->prev = rec;
  } else {
    head = rec;
    rec->next = rec->prev = rec;
  }
}

// Unlinks rec from the circular list at head and frees it.
template <class T>
void list_delete(T*& head, T* rec) {
  if (!head) return;
  if (head == head->next) {
    head = nullptr;
  } else {
    if (rec == head) head = head->next;
    rec->next->prev = rec->prev;
    rec->prev->next = rec->next;
  }
  delete rec;
}

template <class T>
void list_free(T*& head) {
  while (head) list_delete(head, head);
}

template <class T>
int list_count(T* head) {
  if (!head) return 0;
  int n = 0;
  T* r = head;
  do {
    ++n;
    r = r->next;
  } while (r != head);
  return n;
}

}  // namespace

Chull3D_vertex::Chull3D_vertex(float px, float py, float pz)
    : x(px), y(py), z(pz), cone_edge(nullptr), on_hull(0), processed(0), prev(nullptr), next(nullptr) {}

Chull3D_edge::Chull3D_edge(Chull3D* hull)
    : adjacent{nullptr, nullptr}, ends{nullptr, nullptr}, cone_face(nullptr), removed(0), prev(nullptr), next(nullptr) {
  hull->add_edge(this);
}

Chull3D_face::Chull3D_face(Chull3D* hull, Chull3D_vertex* a, Chull3D_vertex* b, Chull3D_vertex* c, Chull3D_face* old)
    : visible(0), prev(nullptr), next(nullptr) {
  Chull3D_edge *e0, *e1, *e2;
  if (old) {
    e0 = old->edges[2];
    e1 = old->edges[1];
    e2 = old->edges[0];
  } else {
    e0 = new Chull3D_edge(hull);
    e1 = new Chull3D_edge(hull);
    e2 = new Chull3D_edge(hull);
  }
  e0->ends[0] = a;
  e0->ends[1] = b;
  e1->ends[0] = b;
  e1->ends[1] = c;
  e2->ends[0] = c;
  e2->ends[1] = a;
  edges[0] = e0;
  edges[1] = e1;
  edges[2] = e2;
  corners[0] = a;
  corners[1] = b;
  corners[2] = c;
  e0->adjacent[0] = e1->adjacent[0] = e2->adjacent[0] = this;
  hull->add_face(this);
}

Chull3D_face::Chull3D_face(Chull3D* hull, Chull3D_edge* e, Chull3D_vertex* p) : visible(0), prev(nullptr), next(nullptr) {
  Chull3D_edge* side[2];
  for (int i = 0; i < 2; ++i) {
    side[i] = e->ends[i]->cone_edge;
    if (!side[i]) {
      side[i] = new Chull3D_edge(hull);
      side[i]->ends[0] = e->ends[i];
      side[i]->ends[1] = p;
      e->ends[i]->cone_edge = side[i];
    }
  }
  edges[0] = e;
  edges[1] = side[0];
  edges[2] = side[1];
  make_ccw(e, p);
  for (Chull3D_edge* s : side) {
    if (!s->adjacent[0])
      s->adjacent[0] = this;
    else if (!s->adjacent[1])
      s->adjacent[1] = this;
  }
  hull->add_face(this);
}

void Chull3D_face::make_ccw(Chull3D_edge* e, Chull3D_vertex* p) {
  Chull3D_face* fv = e->adjacent[0]->visible ? e->adjacent[0] : e->adjacent[1];
  int i = 0;
  while (i < 2 && fv->corners[i] != e->ends[0]) ++i;
  if (fv->corners[(i + 1) % 3] == e->ends[1]) {
    corners[0] = e->ends[0];
    corners[1] = e->ends[1];
    Chull3D_edge* t = edges[1];
    edges[1] = edges[2];
    edges[2] = t;
  } else {
    corners[0] = e->ends[1];
    corners[1] = e->ends[0];
  }
  corners[2] = p;
}

Chull3D::Chull3D(const float* v, int n) : vertex_list(nullptr), edge_list(nullptr), face_list(nullptr) {
  if (!v) {
    // The crash alert ends the program; a test's alert handler may return.
    __MACIBM_alert(0, "rel_assert Error! Possibly an out of range vector! Attach the debugger and see who called this!",
                   "v", "Chull3D", "Please report this to Corvane Research.", t_crash, k_chull_unit, 33);
    return;
  }
  for (int i = 0; i < n; ++i) add_vertex(new Chull3D_vertex(v[3 * i], v[3 * i + 1], v[3 * i + 2]));
}

Chull3D::~Chull3D() {
  list_free(vertex_list);
  list_free(edge_list);
  list_free(face_list);
}

void Chull3D::add_vertex(Chull3D_vertex* v) { list_add(vertex_list, v); }
void Chull3D::add_edge(Chull3D_edge* e) { list_add(edge_list, e); }
void Chull3D::add_face(Chull3D_face* f) { list_add(face_list, f); }

void Chull3D::delete_vertex(Chull3D_vertex* v) {
  if (v == walk_next) walk_next = v->next == v ? nullptr : v->next;
  list_delete(vertex_list, v);
}
void Chull3D::delete_edge(Chull3D_edge* e) { list_delete(edge_list, e); }
void Chull3D::delete_face(Chull3D_face* f) { list_delete(face_list, f); }
int Chull3D::get_n_vertices() { return list_count(vertex_list); }
int Chull3D::get_n_faces() { return list_count(face_list); }

int Chull3D::get_vertex_index(Chull3D_vertex* v) {
  if (!vertex_list) return -1;
  int i = 0;
  Chull3D_vertex* r = vertex_list;
  do {
    if (r == v) return i;
    ++i;
    r = r->next;
  } while (r != vertex_list);
  return -1;
}

int Chull3D::are_collinear(Chull3D_vertex* a, Chull3D_vertex* b, Chull3D_vertex* c) {
  const float ux = b->x - a->x, uy = b->y - a->y, uz = b->z - a->z;
  const float wx = c->x - a->x, wy = c->y - a->y, wz = c->z - a->z;
  return uy * wz - uz * wy == 0 && uz * wx - ux * wz == 0 && ux * wy - uy * wx == 0;
}

int Chull3D::volume_sign(Chull3D_face* f, Chull3D_vertex* v) {
  const float ax = f->corners[0]->x - v->x, ay = f->corners[0]->y - v->y, az = f->corners[0]->z - v->z;
  const float bx = f->corners[1]->x - v->x, by = f->corners[1]->y - v->y, bz = f->corners[1]->z - v->z;
  const float cx = f->corners[2]->x - v->x, cy = f->corners[2]->y - v->y, cz = f->corners[2]->z - v->z;
  const float vol = ax * (by * cz - bz * cy) + ay * (bz * cx - bx * cz) + az * (bx * cy - by * cx);
  if (vol > 0) return 1;
  if (vol < 0) return -1;
  return 0;
}

int Chull3D::compute() {
  if (double_triangle()) return 1;
  construct_hull();
  return 0;
}

int Chull3D::double_triangle() {
  // No vertex at all is as degenerate as one.
  if (!vertex_list) {
    printf("All the vertices are collinear\n");
    return 1;
  }
  Chull3D_vertex* v0 = vertex_list;
  while (are_collinear(v0, v0->next, v0->next->next)) {
    v0 = v0->next;
    if (v0 == vertex_list) {
      printf("All the vertices are collinear\n");
      return 1;
    }
  }
  Chull3D_vertex* v1 = v0->next;
  Chull3D_vertex* v2 = v1->next;
  v0->processed = v1->processed = v2->processed = 1;
  Chull3D_face* f0 = new Chull3D_face(this, v0, v1, v2, nullptr);
  Chull3D_face* f1 = new Chull3D_face(this, v2, v1, v0, f0);
  for (Chull3D_edge* e : f0->edges) e->adjacent[1] = f1;
  for (Chull3D_edge* e : f1->edges) e->adjacent[1] = f0;
  Chull3D_vertex* v3 = v2->next;
  while (!volume_sign(f0, v3)) {
    v3 = v3->next;
    if (v3 == v0) {
      printf("All the vertices are coplanar\n");
      return 1;
    }
  }
  vertex_list = v3;
  return 0;
}

int Chull3D::construct_hull() {
  Chull3D_vertex* v = vertex_list;
  do {
    walk_next = v->next;
    if (!v->processed) {
      v->processed = 1;
      add_one(v);
      clean_up(v);
    }
    v = walk_next;
  } while (v && v != vertex_list);
  walk_next = nullptr;
  return 0;
}

int Chull3D::add_one(Chull3D_vertex* p) {
  bool seen = false;
  Chull3D_face* f = face_list;
  do {
    if (volume_sign(f, p) < 0) {
      f->visible = 1;
      seen = true;
    }
    f = f->next;
  } while (f != face_list);
  if (!seen) {
    p->on_hull = 0;
    return 0;
  }
  // Edges this loop appends sit before the head and are visited too; by then
  // every horizon edge has its cone face, so both their faces are set.
  Chull3D_edge* e = edge_list;
  do {
    Chull3D_edge* after = e->next;
    const bool vis0 = e->adjacent[0] && e->adjacent[0]->visible;
    const bool vis1 = e->adjacent[1] && e->adjacent[1]->visible;
    if (vis0 && vis1)
      e->removed = 1;
    else if (vis0 || vis1)
      e->cone_face = new Chull3D_face(this, e, p);
    e = after;
  } while (e != edge_list);
  return 1;
}

void Chull3D::clean_up(Chull3D_vertex* p) {
  clean_edges();
  clean_faces();
  clean_vertices(p);
}

void Chull3D::clean_edges() {
  if (!edge_list) return;
  Chull3D_edge* e = edge_list;
  do {
    if (e->cone_face) {
      if (e->adjacent[0]->visible)
        e->adjacent[0] = e->cone_face;
      else
        e->adjacent[1] = e->cone_face;
      e->cone_face = nullptr;
    }
    e = e->next;
  } while (e != edge_list);
  while (edge_list && edge_list->removed) delete_edge(edge_list);
  if (!edge_list) return;
  e = edge_list->next;
  do {
    Chull3D_edge* after = e->next;
    if (e->removed) delete_edge(e);
    e = after;
  } while (e != edge_list);
}

void Chull3D::clean_faces() {
  while (face_list && face_list->visible) delete_face(face_list);
  if (!face_list) return;
  Chull3D_face* f = face_list->next;
  do {
    Chull3D_face* after = f->next;
    if (f->visible) delete_face(f);
    f = after;
  } while (f != face_list);
}

void Chull3D::clean_vertices(Chull3D_vertex*) {
  if (edge_list) {
    Chull3D_edge* e = edge_list;
    do {
      e->ends[0]->on_hull = e->ends[1]->on_hull = 1;
      e = e->next;
    } while (e != edge_list);
  }
  auto hidden = [](Chull3D_vertex* v) { return v->processed && !v->on_hull; };
  while (vertex_list && hidden(vertex_list)) delete_vertex(vertex_list);
  if (!vertex_list) return;
  Chull3D_vertex* v = vertex_list->next;
  do {
    Chull3D_vertex* after = v->next;
    if (hidden(v)) delete_vertex(v);
    v = after;
  } while (v != vertex_list);
  v = vertex_list;
  do {
    v->cone_edge = nullptr;
    v->on_hull = 0;
    v = v->next;
  } while (v != vertex_list);
}

int Chull3D::get_convex_hull(float** verts, int* n_verts, int** tris, int* n_tris) {
  const int nv = get_n_vertices(), nt = get_n_faces();
  float* vb = static_cast<float*>(xmalloc(sizeof(float) * 3 * static_cast<unsigned long>(nv)));
  int* tb = static_cast<int*>(xmalloc(sizeof(int) * 3 * static_cast<unsigned long>(nt)));
  // A zero-sized request may come back null without memory having run out.
  if ((!vb && nv > 0) || (!tb && nt > 0)) {
    xfree(vb);
    xfree(tb);
    *verts = nullptr;
    *tris = nullptr;
    *n_verts = *n_tris = 0;
    return 0;
  }
  if (vertex_list) {
    float* out = vb;
    Chull3D_vertex* v = vertex_list;
    do {
      *out++ = v->x;
      *out++ = v->y;
      *out++ = v->z;
      v = v->next;
    } while (v != vertex_list);
  }
  if (face_list) {
    int* out = tb;
    Chull3D_face* f = face_list;
    do {
      for (Chull3D_vertex* c : f->corners) *out++ = get_vertex_index(c);
      f = f->next;
    } while (f != face_list);
  }
  *verts = vb;
  *n_verts = nv;
  *tris = tb;
  *n_tris = nt;
  return 1;
}

int Chull3D::export_obj(const char* path) {
  FILE* f = fopen(path, "w");
  if (!f) return -1;
  if (vertex_list) {
    Chull3D_vertex* v = vertex_list;
    do {
      fprintf(f, "v %f %f %f\n", v->x, v->y, v->z);
      v = v->next;
    } while (v != vertex_list);
  }
  if (face_list) {
    Chull3D_face* t = face_list;
    do {
      fprintf(f, "f %d %d %d\n", get_vertex_index(t->corners[0]) + 1, get_vertex_index(t->corners[1]) + 1,
              get_vertex_index(t->corners[2]) + 1);
      t = t->next;
    } while (t != face_list);
  }
  const bool write_failed = ferror(f) != 0;
  const int closed = fclose(f);
  return write_failed ? -1 : closed;
}
