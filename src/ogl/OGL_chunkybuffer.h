// A buffer for vertex or index data whose size its writers learn only while
// writing. Owners open sub-regions and append to each in any order; a
// sub-region grows as a chain of heap chunks, so nothing written ever moves.
// Finalising lays the sub-regions out one after the other, each at an offset
// rounded up to its own alignment, in one memory block or one buffer object,
// and writes each owner's offset and size through the pointers it gave.
//
// Order of calls: construct; new_subregion and reserve in any mix; one
// finalisation; for a buffer object, map and unmap pairs; destroy (allowed in
// every state). One thread at a time; the calls that touch a buffer object
// need an OpenGL context current on that thread. Running out of memory throws
// std::bad_alloc.
#pragma once
#include <GL/gl.h>

class OGL_chunkybuffer {
 public:
  struct chunk {
    chunk* next;
    int capacity;  // data bytes that follow this header
    int free;      // bytes at the end of the data not yet reserved
    unsigned char* bytes() { return reinterpret_cast<unsigned char*>(this + 1); }
    int used() const { return capacity - free; }
  };
  struct subregion {
    subregion* next;
    chunk* first_chunk;
    chunk* cur_chunk;            // the last chunk, being written
    unsigned char* write_ptr;    // where the next reservation begins
    unsigned long* offset_out;   // receives the byte offset in the finished data
    unsigned long* size_out;     // receives the byte size
    int alignment;               // 0: none, else the offset is a multiple of it
  };

  // Smallest data size of a chunk; a larger reservation gets a chunk of its own size.
  static constexpr int chunk_bytes = 1024;

  // An empty buffer, recording.
  OGL_chunkybuffer() = default;
  // Frees whatever the buffer holds in its state: chunks, the memory block or
  // the buffer object (ending a mapping), and takes a finished buffer's size
  // off "memory/chunky_buffers".
  ~OGL_chunkybuffer();
  OGL_chunkybuffer(const OGL_chunkybuffer&) = delete;
  OGL_chunkybuffer& operator=(const OGL_chunkybuffer&) = delete;

  // A new sub-region at the end of the list, with a first chunk of 1024 bytes.
  // Finalisation writes its offset and size through the two pointers; the
  // caller may keep the returned pointer in those very locations.
  subregion* new_subregion(unsigned long* offset_out, unsigned long* size_out, int alignment);

  // Pointer to count contiguous writable bytes at the end of the sub-region.
  unsigned char* reserve(subregion* r, int count) {
    if (count > r->cur_chunk->free) open_chunk(r, count);
    unsigned char* p = r->write_ptr;
    r->cur_chunk->free -= count;
    r->write_ptr += count;
    return p;
  }

  // The offset pass alone: writes every owner's offset and size and sets
  // total_size; copies and frees nothing.
  void calc_offsets();
  // Finishes the buffer in a memory block held in data.
  void finalize_mem();
  // Finishes the buffer in one buffer object, static-draw usage when
  // static_draw is nonzero, else stream-draw; a buffer of no bytes ends in
  // memory as finalize_mem leaves it. The array-buffer binding is kept.
  void finalize_vbo(int static_draw);
  // For a buffer object: maps it read-write into data (a failed mapping is a
  // crash alert). The array-buffer binding is kept. A memory buffer is not touched.
  void map();
  // For a buffer object: ends the mapping and sets data to null. The
  // array-buffer binding is kept. A memory buffer is not touched.
  void unmap();
  // 1 when a buffer object is mapped into data, else 0.
  int is_mapped() const { return vbo != 0 && data != nullptr; }
  // 1 once finalised (in memory or in a buffer object), else 0.
  int is_finalized() const { return vbo != 0 || data != nullptr; }

  // Null while recording; the memory block once finished in memory; for a
  // buffer object null, or the mapping's address while mapped.
  unsigned char* data = nullptr;
  GLuint vbo = 0;       // the buffer object, 0 when none
  int total_size = 0;   // finished bytes, gaps included; set by the offset pass
  subregion* head = nullptr;
  subregion* tail = nullptr;

 private:
  void open_chunk(subregion* r, int count);
  void free_chunks();
};

// Bytes of all finished buffers alive ("memory/chunky_buffers").
float OGL_chunkybuffer_bytes();
