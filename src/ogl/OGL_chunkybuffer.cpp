#include "ogl/OGL_chunkybuffer.h"
#include <GL/glext.h>
#include <cstring>
#include <new>
#include "core/globs.h"
#include "core/hl_alert.h"
#include "core/utl_mem.h"
#include "core/utl_stat.h"
#include "files/translate.h"
#include "ogl/ogl_extensions.h"

namespace {

constexpr char src_path[] = "RUvozuz/OGL/OGL_ChunkyBuffer";
// The line the mapping failure has always reported; support reads it in logs.
constexpr int map_fail_line = 260;

UTL_stat g_mem_used("memory/chunky_buffers", stat_memory, 0);

// The program ends on running out of memory, as operator new would; no
// caller ever sees a null block.
void* must_alloc(unsigned long size) {
  void* p = xmalloc(size);
  if (!p) throw std::bad_alloc();
  return p;
}

GLint array_binding() {
  GLint bound = 0;
  glGetIntegerv(GL_ARRAY_BUFFER_BINDING_ARB, &bound);
  return bound;
}

}  // namespace

float OGL_chunkybuffer_bytes() { return g_mem_used.value; }

OGL_chunkybuffer::subregion* OGL_chunkybuffer::new_subregion(unsigned long* offset_out, unsigned long* size_out,
                                                             int alignment) {
  auto* r = static_cast<subregion*>(must_alloc(sizeof(subregion)));
  auto* c = static_cast<chunk*>(must_alloc(sizeof(chunk) + chunk_bytes));
  c->next = nullptr;
  c->capacity = c->free = chunk_bytes;
  *r = {nullptr, c, c, c->bytes(), offset_out, size_out, alignment};
  if (head)
    tail->next = r;
  else
    head = r;
  tail = r;
  return r;
}

// The old chunk's unreserved end stays empty: its free count is left as it
// is, so those bytes never count as data.
void OGL_chunkybuffer::open_chunk(subregion* r, int count) {
  const int capacity = count > chunk_bytes ? count : chunk_bytes;
  auto* c = static_cast<chunk*>(must_alloc(sizeof(chunk) + capacity));
  c->next = nullptr;
  c->capacity = c->free = capacity;
  r->cur_chunk->next = c;
  r->cur_chunk = c;
  r->write_ptr = c->bytes();
}

void OGL_chunkybuffer::calc_offsets() {
  int total = 0;
  for (subregion* r = head; r; r = r->next) {
    if (const int a = r->alignment) total = a * ((total + a - 1) / a);
    int size = 0;
    for (chunk* c = r->first_chunk; c; c = c->next) size += c->used();
    *r->offset_out = (unsigned long)total;
    *r->size_out = (unsigned long)size;
    total += size;
  }
  total_size = total;
}

void OGL_chunkybuffer::free_chunks() {
  for (subregion* r = head; r;) {
    for (chunk* c = r->first_chunk; c;) {
      chunk* next = c->next;
      xfree(c);
      c = next;
    }
    subregion* next = r->next;
    xfree(r);
    r = next;
  }
  head = tail = nullptr;
}

void OGL_chunkybuffer::finalize_mem() {
  // The offsets are recomputed from the chains rather than read back from
  // the owners' locations, which the buffer only ever writes.
  calc_offsets();
  g_mem_used.value += (float)total_size;
  // Even an empty buffer holds a block, so that it reads as finished.
  data = static_cast<unsigned char*>(must_alloc(total_size ? (unsigned long)total_size : 1));
  int total = 0;
  for (subregion* r = head; r; r = r->next) {
    if (const int a = r->alignment) total = a * ((total + a - 1) / a);
    for (chunk* c = r->first_chunk; c; c = c->next) {
      memcpy(data + total, c->bytes(), (size_t)c->used());
      total += c->used();
    }
  }
  free_chunks();
}

void OGL_chunkybuffer::finalize_vbo(int static_draw) {
  calc_offsets();
  if (total_size == 0) {
    finalize_mem();
    return;
  }
  g_mem_used.value += (float)total_size;
  glExt.glGenBuffersARB(1, &vbo);
  const GLint before = array_binding();
  glExt.glBindBufferARB(GL_ARRAY_BUFFER_ARB, vbo);
  glExt.glBufferDataARB(GL_ARRAY_BUFFER_ARB, total_size, nullptr,
                        static_draw ? GL_STATIC_DRAW_ARB : GL_STREAM_DRAW_ARB);
  data = nullptr;
  int total = 0;
  for (subregion* r = head; r; r = r->next) {
    if (const int a = r->alignment) total = a * ((total + a - 1) / a);
    for (chunk* c = r->first_chunk; c; c = c->next) {
      glExt.glBufferSubDataARB(GL_ARRAY_BUFFER_ARB, total, c->used(), c->bytes());
      total += c->used();
    }
  }
  free_chunks();
  glExt.glBindBufferARB(GL_ARRAY_BUFFER_ARB, (GLuint)before);
}

// Map and unmap put back the binding they found, so that the name
// OGL_bind_vbo believes bound stays the one the driver has.
void OGL_chunkybuffer::map() {
  if (!vbo) return;
  const GLint before = array_binding();
  glExt.glBindBufferARB(GL_ARRAY_BUFFER_ARB, vbo);
  void* p = glExt.glMapBufferARB(GL_ARRAY_BUFFER_ARB, GL_READ_WRITE_ARB);
  if (!p) {
    const GLenum err = glGetError();
    xer_group() << "Map Buffer failed for VBO " << vbo << ", error " << err << " (" << OGL_get_token_name(err)
                << ")\n";
    __MACIBM_alert(0, UTL_translate_string("Duvizo has run out of video card memory."),
                   UTL_translate_string("I was unable to shift the scenery."),
                   UTL_translate_string("Try running Duvizo with lower rendering settings."),
                   UTL_translate_string("If that does not help, please report this to Corvane Research!"), t_crash,
                   src_path, map_fail_line);
  }
  data = static_cast<unsigned char*>(p);
  glExt.glBindBufferARB(GL_ARRAY_BUFFER_ARB, (GLuint)before);
}

void OGL_chunkybuffer::unmap() {
  if (!vbo) return;
  const GLint before = array_binding();
  glExt.glBindBufferARB(GL_ARRAY_BUFFER_ARB, vbo);
  glExt.glUnmapBufferARB(GL_ARRAY_BUFFER_ARB);
  glExt.glBindBufferARB(GL_ARRAY_BUFFER_ARB, (GLuint)before);
  data = nullptr;
}

OGL_chunkybuffer::~OGL_chunkybuffer() {
  // Only a finished buffer added its size to the statistic; one whose
  // offsets alone were computed has a size it never counted.
  const bool counted = is_finalized();
  if (vbo) {
    OGL_bind_vbo(0);
    OGL_bind_vbo_ind(0);
    glExt.glDeleteBuffersARB(1, &vbo);
  } else if (data) {
    xfree(data);
  }
  free_chunks();
  if (counted) g_mem_used.value -= (float)total_size;
}
