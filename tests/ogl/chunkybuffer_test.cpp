// Geometry buffers: chunk chains, the offset pass, finishing in memory and in
// a buffer object of the real driver, mapping, and destruction from every
// state.
#include <unistd.h>
#include <cstdint>
#include <string>
#include <vector>
#include "core/globs.h"
#include "core/utl_cmdline.h"
#include "files/translate.h"
#include "ogl/OGL_chunkybuffer.h"
#include "ogl/drawing_fixture.h"
#include "ogl/geometry_fixture.h"
#include "support/test_env.h"
#include "support/translation_scope.h"
#include "support/xer_capture.h"

namespace {

using chunky = OGL_chunkybuffer;

// The word a test writes at position i of the region tagged tag, so that a
// misplaced byte shows where it came from.
uint32_t word(int tag, int i) { return (uint32_t)tag << 24 | (uint32_t)i; }

// Appends bytes/4 words to a region, one 32-bit value per reservation as
// the display lists write them.
void fill(chunky& b, chunky::subregion* r, int tag, int bytes) {
  for (int i = 0; i < bytes / 4; ++i) {
    const uint32_t w = word(tag, i);
    memcpy(b.reserve(r, 4), &w, 4);
  }
}

std::vector<uint32_t> words(int tag, int bytes) {
  std::vector<uint32_t> out;
  for (int i = 0; i < bytes / 4; ++i) out.push_back(word(tag, i));
  return out;
}

// The bytes of the current array buffer between offset and offset + bytes.
std::vector<uint32_t> buffer_words(GLuint vbo, unsigned long offset, int bytes) {
  std::vector<uint32_t> out((size_t)bytes / 4);
  GLint before = 0;
  glGetIntegerv(GL_ARRAY_BUFFER_BINDING_ARB, &before);
  glExt.glBindBufferARB(GL_ARRAY_BUFFER_ARB, vbo);
  glExt.glGetBufferSubDataARB(GL_ARRAY_BUFFER_ARB, (GLintptrARB)offset, bytes, out.data());
  glExt.glBindBufferARB(GL_ARRAY_BUFFER_ARB, (GLuint)before);
  return out;
}

GLint array_binding() {
  GLint bound = 0;
  glGetIntegerv(GL_ARRAY_BUFFER_BINDING_ARB, &bound);
  return bound;
}

class ChunkyBuffer : public testing::Test {
 protected:
  void SetUp() override { geometry_setup(); }
  void TearDown() override { EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)); }
  float stat() { return OGL_chunkybuffer_bytes(); }
};

// ---------------------------------------------------------------------------
// The offset pass and the finished layout.

struct region_case {
  int alignment;
  int bytes;
  unsigned long offset;
};
struct layout_case {
  const char* what;
  std::vector<region_case> regions;
  int total;
};

const layout_case k_layouts[] = {
    {"alignments 12 and 28", {{12, 60, 0}, {28, 56, 84}}, 140},
    {"the first region starts at 0 whatever its alignment", {{28, 8, 0}, {0, 4, 8}}, 12},
    {"alignment 0 follows at once; later ones round up", {{0, 12, 0}, {0, 8, 12}, {16, 4, 32}}, 36},
    {"an empty region takes no room but is aligned", {{0, 4, 0}, {8, 0, 8}, {12, 4, 12}}, 16},
    {"a region over several chunks stays whole", {{0, 3000, 0}, {56, 8, 3024}}, 3032},
};

enum finish_kind { offsets_only, in_memory, in_vbo };

TEST_F(ChunkyBuffer, RegionsAreLaidOutAtTheirAlignedOffsetsInEveryStore) {
  for (const layout_case& c : k_layouts) {
    for (finish_kind kind : {offsets_only, in_memory, in_vbo}) {
      SCOPED_TRACE(std::string(c.what) + ", finish " + std::to_string(kind));
      const size_t n = c.regions.size();
      std::vector<unsigned long> offset(n, 999), size(n, 999);
      chunky b;
      std::vector<chunky::subregion*> r;
      for (size_t i = 0; i < n; ++i) r.push_back(b.new_subregion(&offset[i], &size[i], c.regions[i].alignment));
      // Written back to front, so that writing order is not layout order.
      for (size_t i = n; i-- > 0;) fill(b, r[i], (int)i + 1, c.regions[i].bytes);

      if (kind == offsets_only) b.calc_offsets();
      if (kind == in_memory) b.finalize_mem();
      if (kind == in_vbo) b.finalize_vbo(1);
      EXPECT_EQ(b.total_size, c.total);
      for (size_t i = 0; i < n; ++i) {
        EXPECT_EQ(offset[i], c.regions[i].offset) << "region " << i;
        EXPECT_EQ(size[i], (unsigned long)c.regions[i].bytes) << "region " << i;
      }
      if (kind == offsets_only) {
        EXPECT_NE(b.head, nullptr);  // nothing was moved or freed
        continue;
      }
      EXPECT_EQ(b.head, nullptr);
      for (size_t i = 0; i < n; ++i) {
        const int bytes = c.regions[i].bytes;
        if (!bytes) continue;
        std::vector<uint32_t> got((size_t)bytes / 4);
        if (kind == in_memory)
          memcpy(got.data(), b.data + c.regions[i].offset, (size_t)bytes);
        else
          got = buffer_words(b.vbo, c.regions[i].offset, bytes);
        EXPECT_EQ(got, words((int)i + 1, bytes)) << "region " << i;
      }
    }
  }
}

// ---------------------------------------------------------------------------
// Chunk rules.

struct chunk_case {
  const char* what;
  std::vector<int> reservations;
  std::vector<std::pair<int, int>> chain;  // capacity and used bytes of each chunk
};

const chunk_case k_chunks[] = {
    {"more than 1024 bytes open a chunk of exactly that size", {1025}, {{1024, 0}, {1025, 1025}}},
    {"exactly the free bytes fill the chunk", {1000, 24}, {{1024, 1024}}},
    {"one byte more opens a new chunk", {1000, 25}, {{1024, 1000}, {1024, 25}}},
    {"after a large chunk a small one is 1024 again", {2048, 4}, {{1024, 0}, {2048, 2048}, {1024, 4}}},
};

TEST_F(ChunkyBuffer, ReservationsGrowTheChainAndLeaveFreeTailsOutOfTheData) {
  for (const chunk_case& c : k_chunks) {
    SCOPED_TRACE(c.what);
    unsigned long offset = 0, size = 0;
    chunky b;
    chunky::subregion* r = b.new_subregion(&offset, &size, 0);
    std::string want;
    for (size_t k = 0; k < c.reservations.size(); ++k) {
      const std::string bytes((size_t)c.reservations[k], (char)('a' + k));
      memcpy(b.reserve(r, (int)bytes.size()), bytes.data(), bytes.size());
      want += bytes;
    }
    std::vector<std::pair<int, int>> chain;
    for (chunky::chunk* ch = r->first_chunk; ch; ch = ch->next) chain.push_back({ch->capacity, ch->used()});
    EXPECT_EQ(chain, c.chain);
    EXPECT_EQ(r->cur_chunk->next, nullptr);

    b.finalize_mem();
    EXPECT_EQ(size, want.size());
    EXPECT_EQ(std::string((const char*)b.data, (size_t)b.total_size), want);
  }
}

// ---------------------------------------------------------------------------
// Buffer objects.

TEST_F(ChunkyBuffer, AnEmptyBufferMakesNoBufferObject) {
  for (int regions : {0, 2}) {
    SCOPED_TRACE(std::to_string(regions) + " empty regions");
    const float before = stat();
    std::vector<unsigned long> slots(4, 7);
    chunky b;
    for (int i = 0; i < regions; ++i) b.new_subregion(&slots[2 * i], &slots[2 * i + 1], 16);
    b.finalize_vbo(1);
    EXPECT_EQ(b.vbo, 0u);
    EXPECT_EQ(b.total_size, 0);
    EXPECT_NE(b.data, nullptr);  // finished in memory
    EXPECT_EQ(b.is_finalized(), 1);
    EXPECT_EQ(stat(), before);
  }
}

TEST_F(ChunkyBuffer, UsageAndSizeOfTheBufferObject) {
  for (auto [static_draw, usage] : {std::pair{1, GL_STATIC_DRAW_ARB}, {0, GL_STREAM_DRAW_ARB}, {7, GL_STATIC_DRAW_ARB}}) {
    unsigned long offset, size;
    chunky b;
    fill(b, b.new_subregion(&offset, &size, 0), 1, 40);
    b.finalize_vbo(static_draw);
    ASSERT_NE(b.vbo, 0u);
    EXPECT_EQ(b.data, nullptr);
    GLint got_usage = 0, got_size = 0;
    glExt.glBindBufferARB(GL_ARRAY_BUFFER_ARB, b.vbo);
    glExt.glGetBufferParameterivARB(GL_ARRAY_BUFFER_ARB, GL_BUFFER_USAGE_ARB, &got_usage);
    glExt.glGetBufferParameterivARB(GL_ARRAY_BUFFER_ARB, GL_BUFFER_SIZE_ARB, &got_size);
    glExt.glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    EXPECT_EQ(got_usage, (GLint)usage) << static_draw;
    EXPECT_EQ(got_size, 40);
  }
}

TEST_F(ChunkyBuffer, MappingReadsAndWritesTheBufferObjectAndKeepsTheBinding) {
  GLuint other = 0;
  glExt.glGenBuffersARB(1, &other);
  glExt.glBindBufferARB(GL_ARRAY_BUFFER_ARB, other);

  unsigned long off[2], size[2];
  chunky b;
  chunky::subregion* r0 = b.new_subregion(&off[0], &size[0], 12);
  chunky::subregion* r1 = b.new_subregion(&off[1], &size[1], 28);
  fill(b, r0, 1, 60);
  fill(b, r1, 2, 56);
  b.finalize_vbo(0);
  EXPECT_EQ(array_binding(), (GLint)other);
  EXPECT_EQ(b.is_mapped(), 0);

  b.map();
  ASSERT_NE(b.data, nullptr);
  EXPECT_EQ(b.is_mapped(), 1);
  EXPECT_EQ(array_binding(), (GLint)other);
  std::vector<uint32_t> mapped(14);
  memcpy(mapped.data(), b.data + 84, 56);
  EXPECT_EQ(mapped, words(2, 56));
  const uint32_t changed = 0xfeedf00d;
  memcpy(b.data + 84, &changed, 4);

  b.unmap();
  EXPECT_EQ(b.data, nullptr);
  EXPECT_EQ(b.is_mapped(), 0);
  EXPECT_EQ(array_binding(), (GLint)other);
  EXPECT_EQ(buffer_words(b.vbo, 84, 4), std::vector<uint32_t>{changed});

  // Unmapping what is not mapped still leaves data null.
  b.unmap();
  EXPECT_EQ(b.data, nullptr);
  glGetError();  // the driver may object to the needless unmapping
  glExt.glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
  glExt.glDeleteBuffersARB(1, &other);
}

TEST_F(ChunkyBuffer, MapAndUnmapLeaveAMemoryBufferAlone) {
  unsigned long offset, size;
  chunky b;
  fill(b, b.new_subregion(&offset, &size, 0), 3, 16);
  b.finalize_mem();
  unsigned char* block = b.data;
  for (void (chunky::*step)() : {&chunky::map, &chunky::unmap, &chunky::map}) {
    (b.*step)();
    EXPECT_EQ(b.data, block);
    EXPECT_EQ(b.vbo, 0u);
    EXPECT_EQ(b.is_mapped(), 0);
  }
}

// A triangle's three positions, drawn from the buffer object through
// OGL_bind_vbo after a map and an unmap: the binding the driver has must be
// the one OGL_bind_vbo believes it has.
class ChunkyBufferDrawing : public Drawing {
 protected:
  void SetUp() override {
    Drawing::SetUp();
    geometry_setup();
  }
};

TEST_F(ChunkyBufferDrawing, ABufferBoundBeforeAMappingStillDraws) {
  OGL_setstate(fog_off, 0, lit_off, al_none, deR_off, deW_off);
  OGL_setclientstate(nrm_off, col_off, 0);
  const float tri[9] = {100, 100, 0, 300, 100, 0, 100, 300, 0};
  unsigned long offset, size;
  chunky b;
  memcpy(b.reserve(b.new_subregion(&offset, &size, 12), sizeof tri), tri, sizeof tri);
  b.finalize_vbo(1);

  OGL_bind_vbo(b.vbo);
  b.map();
  ASSERT_NE(b.data, nullptr);
  b.unmap();
  OGL_bind_vbo(b.vbo);  // believed bound already: no call is made
  ASSERT_EQ(array_binding(), (GLint)b.vbo);
  glColor4f(1, 1, 1, 1);
  glVertexPointer(3, GL_FLOAT, 12, nullptr);
  glDrawArrays(GL_TRIANGLES, 0, 3);
  OGL_bind_vbo(0);
  glFinish();
  EXPECT_EQ(gl_pixel(120, 120), 0xffffffffu);
  EXPECT_EQ(gl_pixel(290, 290), 0x000000ffu);
}

// ---------------------------------------------------------------------------
// Destruction.

enum life_state { recording, offsets, memory, buffer_object, mapped };
const char* const k_state_names[] = {"recording", "offsets only", "memory", "buffer object", "mapped"};

// Builds a buffer of two regions (one over several chunks), brings it to the
// state and destroys it; true when the statistic counted it while alive as
// the state says.
bool live_and_die(life_state state) {
  const float before = OGL_chunkybuffer_bytes();
  unsigned long slots[4];
  chunky b;
  chunky::subregion* r0 = b.new_subregion(&slots[0], &slots[1], 0);
  chunky::subregion* r1 = b.new_subregion(&slots[2], &slots[3], 56);
  fill(b, r0, 1, 3000);
  fill(b, r1, 2, 100);
  if (state == offsets) b.calc_offsets();
  if (state == memory) b.finalize_mem();
  if (state >= buffer_object) b.finalize_vbo(1);
  if (state == mapped) b.map();
  const bool finished = state >= memory;
  return OGL_chunkybuffer_bytes() == before + (finished ? (float)b.total_size : 0.0f);
}

TEST_F(ChunkyBuffer, DestructionFromEveryStateGivesEverythingBack) {
  for (life_state state : {recording, offsets, memory, buffer_object, mapped}) {
    SCOPED_TRACE(k_state_names[state]);
    const float before = stat();
    live_and_die(state);  // the driver's first-time allocations
    const long long heap = heap_in_use();
    EXPECT_TRUE(live_and_die(state));
    EXPECT_EQ(stat(), before);
    if (heap >= 0) {
      EXPECT_EQ(heap_in_use(), heap);
    }
    EXPECT_EQ(array_binding(), 0);
  }
}

// ---------------------------------------------------------------------------
// A mapping the driver refuses.

// In the re-run child: the log to standard error, a scripted run (alerts
// only log), French texts, and a buffer whose mapping fails.
void map_refused() {
  if (xer.is_open()) xer.close();
  xer.clear();
  xer.open("/dev/stderr");
  const std::string home = test_scratch_dir("chunky_map");
  if (chdir(home.c_str()) != 0) return;  // the crash's stack crawl lands here
  translation_scope scope;
  const std::string bundle = home + "Installer.app";
  test_run("mkdir -p '" + bundle + "/Contents/Resources'");
  test_write_file(bundle + "/Contents/Resources/French.txt",
                  "I\n900 version\nTRANSLATION\n"
                  "STRING Duvizo has run out of video card memory.====Plus de m\xC3\xA9moire vid\xC3\xA9o.\n"
                  "STRING I was unable to shift the scenery.====D\xC3\xA9" "cor immobile.\n"
                  "STRING Try running Duvizo with lower rendering settings.====R\xC3\xA9glages plus bas.\n"
                  "STRING If that does not help, please report this to Corvane Research!====Sinon, \xC3\xA9" "crivez-nous.\n");
  scope.enter(bundle);
  UTL_translate_load(lang_french);
  cmdline.options["--qa_script"] = "";

  unsigned long offset, size;
  chunky b;
  fill(b, b.new_subregion(&offset, &size, 0), 1, 64);
  b.finalize_vbo(1);
  g_real_map = glExt.glMapBufferARB;
  glExt.glMapBufferARB = refusing_map;
  b.map();
}

TEST_F(ChunkyBuffer, ARefusedMappingIsLoggedAndEndsTheProgram) {
  EXPECT_EXIT(map_refused(), testing::ExitedWithCode(1),
              "Map Buffer failed for VBO [1-9][0-9]*, error 1280 \\(0x00000500\\)\n"
              "\nPlus de m\xC3\xA9moire vid\xC3\xA9o.\nD\xC3\xA9" "cor immobile.\nR\xC3\xA9glages plus bas.\n"
              "Sinon, \xC3\xA9" "crivez-nous.\n\\(RUvozuz/OGL/OGL_ChunkyBuffer line 260\\)\n");
}

}  // namespace
