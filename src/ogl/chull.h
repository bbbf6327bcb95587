// Convex hulls of 3-D point clouds, in single precision with exact
// orientation tests (no tolerance). Chull3D builds a hull incrementally over
// circular doubly linked lists of vertex, edge and face records; the UTL_
// functions wrap it for callers holding points in flat float lists. Faces of a
// built hull run counter-clockwise seen from outside. One thread per hull.
#pragma once
#include <vector>

class Chull3D;
struct Chull3D_edge;
struct Chull3D_face;

struct Chull3D_vertex {
  // A point not yet in any list.
  Chull3D_vertex(float x, float y, float z);
  float x, y, z;
  Chull3D_edge* cone_edge;  // while a point is added: the new edge from here to it
  short on_hull;            // set by clean-up for every end of an edge
  short processed;          // taken by the build
  Chull3D_vertex* prev;
  Chull3D_vertex* next;
};

struct Chull3D_edge {
  // An edge with no ends or faces, appended to the hull's edge list.
  explicit Chull3D_edge(Chull3D* hull);
  Chull3D_face* adjacent[2];
  Chull3D_vertex* ends[2];
  Chull3D_face* cone_face;  // while a point is added: the new face on this edge
  int removed;
  Chull3D_edge* prev;
  Chull3D_edge* next;
};

struct Chull3D_face {
  // Triangle a, b, c with three new edges, or (old given) old's edges in
  // reverse order, so the two faces share them; appended to the face list.
  Chull3D_face(Chull3D* hull, Chull3D_vertex* a, Chull3D_vertex* b, Chull3D_vertex* c, Chull3D_face* old);
  // The cone face on edge e with apex p, reusing the side edges other cone
  // faces of this point made; oriented like the visible face it replaces.
  Chull3D_face(Chull3D* hull, Chull3D_edge* e, Chull3D_vertex* p);
  // Orders corners (and the side edges) to run e as the visible face does.
  void make_ccw(Chull3D_edge* e, Chull3D_vertex* p);
  Chull3D_edge* edges[3];
  Chull3D_vertex* corners[3];
  int visible;
  Chull3D_face* prev;
  Chull3D_face* next;
};

class Chull3D {
 public:
  // n vertices from the n xyz triples at v, in order (none when n <= 0). A
  // null v raises the crash alert.
  Chull3D(const float* v, int n);
  // Frees every vertex, edge and face.
  ~Chull3D();
  Chull3D(const Chull3D&) = delete;
  Chull3D& operator=(const Chull3D&) = delete;

  // Builds the hull: 0 when built; 1 when the points are collinear (no
  // faces; also for no point at all) or coplanar (the two faces of the
  // double triangle), each said on standard output.
  int compute();
  // New xmalloc blocks of the vertices' xyz in list order and of each face's
  // corners as 0-based vertex positions (-1 for one not listed), with their
  // counts; the caller frees both with xfree. 1, or 0 with both counts 0 and
  // both blocks null when memory runs out.
  int get_convex_hull(float** verts, int* n_verts, int** tris, int* n_tris);
  // Writes the hull as a Wavefront OBJ file ("v" lines, then "f" lines with
  // 1-based positions): 0 on success, -1 when it cannot be opened or
  // written, else what closing it returned.
  int export_obj(const char* path);

  // Steps of the build, in the order compute runs them.
  // Two faces back to back over the first three non-collinear vertices, and
  // the first vertex off their plane made the head: 0, else 1 as compute.
  int double_triangle();
  // Adds every vertex not yet processed, in list order; 0.
  int construct_hull();
  // Marks the faces p sees and builds the cone of new faces on the horizon:
  // 1, or 0 (p marked off the hull) when p sees none.
  int add_one(Chull3D_vertex* p);
  // After a point is added: drops the edges, faces and vertices it hid.
  void clean_up(Chull3D_vertex* p);
  void clean_edges();
  void clean_faces();
  void clean_vertices(Chull3D_vertex* p);
  // Sign (-1, 0, +1) of the volume of f's corners about v; -1: v sees f.
  int volume_sign(Chull3D_face* f, Chull3D_vertex* v);
  // 1 when (b - a) x (c - a) is exactly zero, else 0.
  int are_collinear(Chull3D_vertex* a, Chull3D_vertex* b, Chull3D_vertex* c);

  // List plumbing: append at the tail; unlink and free (nothing on an empty
  // list); count; 0-based position of v (-1 when not listed).
  void add_vertex(Chull3D_vertex* v);
  void add_edge(Chull3D_edge* e);
  void add_face(Chull3D_face* f);
  void delete_vertex(Chull3D_vertex* v);
  void delete_edge(Chull3D_edge* e);
  void delete_face(Chull3D_face* f);
  int get_n_vertices();
  int get_n_faces();
  int get_vertex_index(Chull3D_vertex* v);

  Chull3D_vertex* vertex_list;
  Chull3D_edge* edge_list;
  Chull3D_face* face_list;

 private:
  // The vertex the build's walk goes on with; deleting it moves this on to
  // its successor, so the walk never steps onto a freed record.
  Chull3D_vertex* walk_next = nullptr;
};

// Drops points (xyz triples) by the planes (a, b, c, d; inside is above 0),
// keeping the order: keep_inside keeps points no plane puts below 0, else
// only points strictly inside every plane go.
void UTL_trim_to_inside_hull(const std::vector<float>& planes, std::vector<float>& pts, bool keep_inside);
// The hull of the points snapped to a 1/1024 grid (points not finite or
// beyond the grid's int range are dropped), as triangles of 9 floats and
// planes of 4 whose normals point inward. Both lists are emptied first and
// stay empty below 9 floats or for a collinear cloud.
void UTL_create_ch_brute_force(const std::vector<float>& pts, std::vector<float>& planes, std::vector<float>& tris);
// The same, first dropping every point strictly inside the hull of the six
// axis extremes; prints the float counts before and after on standard output.
void UTL_create_ch_two_stage(const std::vector<float>& pts, std::vector<float>& planes, std::vector<float>& tris);
