// Display lists: vertex data recorded once into groups of shared buffers and
// drawn with vertex arrays, from main memory or from buffer objects. All the
// lists of a group draw from one vertex buffer and one index buffer.
//
// Use: make a group; make its lists and record commands into them; finalise
// the group; draw. A list ends with xdl_destroy, and the group goes with its
// last list. Main thread, with the window's context current for everything
// that finalises, maps or draws.
#pragma once
#include <GL/gl.h>
#include "ogl/OGL_chunkybuffer.h"

// Where a group keeps its data once finalised: 0 main memory; 1 and 2 buffer
// objects, of stream-draw and of static-draw usage.
enum xdl_storage_option : int { xdl_store_mem = 0, xdl_store_vbo_stream = 1, xdl_store_vbo_static = 2 };

// Flag bits of a list. The low four choose its vertex layout: interleaved
// floats of position (3), then as present normal (3), colour (4), first and
// second texture coordinates (2 each). Bits 8 to 31 hold the OpenGL primitive.
constexpr unsigned xdl_has_normals = 1u << 0;
constexpr unsigned xdl_has_colors = 1u << 1;
constexpr unsigned xdl_has_tex1 = 1u << 2;
constexpr unsigned xdl_has_tex2 = 1u << 3;
constexpr unsigned xdl_plain_arrays = 1u << 4;  // no index buffer: vertices are drawn in order

// A layout's stride and the float offsets of its parts inside one vertex
// (-1 for a part it lacks).
struct xdl_layout {
  int floats;
  int normal, color, tex1, tex2;
};
// The layout of flag bits 0 to 3.
const xdl_layout& xdl_layout_of(unsigned flags);

struct xdl_group {
  OGL_chunkybuffer verts;
  OGL_chunkybuffer indices;
  xdl_storage_option storage = xdl_store_mem;
  int num_lists = 0;
  // Where the offsets and sizes of lists destroyed before finalisation go,
  // so that finalising never writes into a freed list.
  unsigned long orphaned = 0;
};

struct xdl {
  // The list's byte regions in the group's buffers. While the group records,
  // vert_offset and idx_offset hold the buffers' sub-region records instead.
  unsigned long vert_offset = 0, vert_size = 0;
  unsigned long idx_offset = 0, idx_size = 0;
  int vert_count = 0;
  xdl_group* group = nullptr;
  unsigned flags = 0;
};

// The primitive a list of that flags word draws.
inline GLenum xdl_mode(const xdl* l) { return l->flags >> 8; }

// ---- groups

// A new, empty group recording for the given storage.
xdl_group* xdl_allocate_group(xdl_storage_option storage);
// Finishes the group's buffers: in buffer objects when the driver has them
// and the storage is not 0 (the index buffer only where index buffers may
// live in video memory), else in memory. Returns the group; a group holding
// no list is destroyed and null returned.
xdl_group* xdl_finalize_group(xdl_group* group);
// 1 once the group was finalised, else 0.
int xdl_group_is_finalized(const xdl_group* group);

// ---- lists

// A new list in a recording group, drawing mode (a strip, loop or fan is
// recorded as the plain primitive it makes) with the parts the flags ask
// for; arrays nonzero records without indices. A line loop, a polygon or an
// unknown mode is a crash alert.
xdl* xdl_allocate(xdl_group* group, GLenum mode, int normals, int colors, int tex1, int tex2, int arrays);
// Ends a list; the group goes with its last list.
void xdl_destroy(xdl* l);
// 1 when the list holds no vertex, else 0.
int xdl_is_empty(const xdl* l);

// Records count vertices drawn as mode, taken from separate arrays (3
// floats of position, 3 of normal, 4 of colour, 2 per texture set; parts the
// list lacks are ignored, null parts it has are recorded as zeros).
// Strips and fans become the list's plain primitive; vertices that complete
// no primitive are dropped. A mode the list cannot draw is a crash alert.
void xdl_add_command(xdl* l, GLenum mode, int count, const float* positions, const float* normals,
                     const float* colors, const float* tex1, const float* tex2);
// The same for the vertices named by index_count indices (each below count).
void xdl_add_command_indexed(xdl* l, GLenum mode, int count, const float* positions, const float* normals,
                             const float* colors, const float* tex1, const float* tex2, int index_count,
                             const GLuint* indices);
// Reserves room for vert_count vertices in the list's layout and, for an
// indexed list, idx_count indices, already in the list's primitive; puts
// pointers to them in verts and indices (null when none is asked) for the
// caller to fill before finalisation. Returns the number of the first vertex
// reserved, the base for the caller's indices.
int xdl_reserve_command(xdl* l, int vert_count, int idx_count, float** verts, GLuint** indices);
// Writes the box around the list's positions into bounds: min x, y, z, then
// max x, y, z (all 0 for a list without vertices, or one whose data cannot
// be addressed).
void xdl_finish(xdl* l, float bounds[6]);
// The list's finished data where it can be addressed (memory, or a mapped
// buffer object): its vertices, their count and floats per vertex, its
// indices and their count (null and 0 for plain arrays). Returns 1, or 0
// with the pointers null when the data cannot be addressed.
int xdl_get_data(const xdl* l, float** verts, int* vert_count, int* floats_per_vert, GLuint** indices,
                 int* idx_count);

// ---- drawing

// Which texture units 0 to 4 take the first and the second coordinate set
// (bit masks; a unit in both takes the first), and whether recorded colours
// are used (else the current colour). At start 1, 2 and 1.
void xdl_texmap(int map1, int map2, int color);
// Draws the list from its finalised group, binding its buffers and setting
// the arrays of its layout; a nonzero fraction draws only that share of its
// vertex or index count. A list of a group not yet finalised draws nothing.
void xdl_draw(const xdl* l, float fraction);
// Draws the list again with what the last xdl_draw bound and set up.
void xdl_redraw(const xdl* l, float fraction);

// Called by xdl_process with a part of a list's vertices (which 0:
// positions, 1: normals), the vertex count and the floats per vertex.
typedef void (*xdl_process_fn)(float* part, int count, int floats_per_vert, int which, void* context);
// Steps through lists in order: when next's group is not previous's, unmaps
// the old group's buffers and maps the new one's; then hands fn next's
// positions and, when it has them, its normals. A null next only unmaps;
// a next whose group is not finalised gets no calls.
void xdl_process(const xdl* previous, const xdl* next, xdl_process_fn fn, void* context);
