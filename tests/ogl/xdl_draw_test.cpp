// Display lists drawn by the real driver: every storage gives the same
// pixels, fractions, redraws and the binds they make, texture-set routing,
// recorded colours, and stepping through mapped groups.
#include <GL/gl.h>
#include <cstdint>
#include <string>
#include <vector>
#include "ogl/drawing_fixture.h"
#include "ogl/geometry_fixture.h"
#include "ogl/xdl.h"
#include "tex/TEX_bind.h"
#include "widgets/reno.h"

namespace {

// The four corners of a rectangle, counter-clockwise, as positions.
std::vector<float> rect(float x0, float y0, float x1, float y1) {
  return {x0, y0, 0, x1, y0, 0, x1, y1, 0, x0, y1, 0};
}

std::vector<float> repeat(std::vector<float> one, int times) {
  std::vector<float> out;
  for (int i = 0; i < times; ++i) out.insert(out.end(), one.begin(), one.end());
  return out;
}

class XdlDrawing : public Drawing {
 protected:
  void SetUp() override {
    Drawing::SetUp();
    geometry_setup();
    saved_ext = glExt;
    OGL_setstate(fog_off, 0, lit_off, al_none, deR_off, deW_off);
    xdl_texmap(1, 2, 1);
  }
  void TearDown() override {
    OGL_setclientstate(nrm_off, col_off, 0);
    OGL_bind_vbo(0);
    OGL_bind_vbo_ind(0);
    xdl_texmap(1, 2, 1);
    glExt = saved_ext;
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    Drawing::TearDown();
  }
  static uint32_t rgb(int x, int y) {
    glFinish();
    return gl_pixel(x, y) >> 8;
  }
  OGL_extensions saved_ext;
};

// ---------------------------------------------------------------------------

// Three lists of different layouts in one group: an indexed quad strip with
// colours, a plain-array fan with colours, and indexed triangles whose
// colours sit behind normals and a texture set.
struct scene {
  xdl_group* group;
  xdl *strip, *fan, *tris;
  explicit scene(xdl_storage_option storage) {
    group = xdl_allocate_group(storage);
    strip = xdl_allocate(group, GL_QUAD_STRIP, 0, 1, 0, 0, 0);
    fan = xdl_allocate(group, GL_TRIANGLE_FAN, 0, 1, 0, 0, 1);
    tris = xdl_allocate(group, GL_TRIANGLES, 1, 1, 1, 0, 0);
    const float sp[18] = {50, 50, 0, 50, 150, 0, 150, 50, 0, 150, 150, 0, 350, 50, 0, 350, 150, 0};
    const float sc[24] = {1, 0, 0, 1, 1, 0, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 0, 1, 1, 0, 0, 1, 1};
    xdl_add_command(strip, GL_QUAD_STRIP, 6, sp, nullptr, sc, nullptr, nullptr);
    const float fp[15] = {500, 300, 0, 600, 300, 0, 500, 400, 0, 400, 300, 0, 500, 200, 0};
    const std::vector<float> fc = repeat({1, 1, 0, 1}, 5);
    xdl_add_command(fan, GL_TRIANGLE_FAN, 5, fp, nullptr, fc.data(), nullptr, nullptr);
    const float tp[12] = {100, 300, 0, 300, 300, 0, 300, 500, 0, 100, 500, 0};
    const std::vector<float> tn = repeat({0, 0, 1}, 4), tc = repeat({0, 1, 1, 1}, 4), tt = repeat({0.5f, 0.5f}, 4);
    const GLuint ti[6] = {0, 1, 2, 0, 2, 3};
    xdl_add_command_indexed(tris, GL_TRIANGLES, 4, tp, tn.data(), tc.data(), tt.data(), nullptr, 6, ti);
    xdl_finalize_group(group);
  }
  ~scene() {
    xdl_destroy(strip);
    xdl_destroy(fan);
    xdl_destroy(tris);
  }
  std::vector<uint8_t> draw() {
    glClear(GL_COLOR_BUFFER_BIT);
    for (const xdl* l : {strip, fan, tris}) xdl_draw(l, 0);
    glFinish();
    return gl_read_back(0, 0, 800, 600);
  }
};

struct storage_case {
  xdl_storage_option storage;
  int vbo_avail, idx_vram_avail;
  GLint vert_usage, idx_usage;  // 0: kept in memory
};
const storage_case k_storages[] = {
    {xdl_store_mem, 1, 1, 0, 0},
    {xdl_store_vbo_stream, 1, 1, GL_STREAM_DRAW_ARB, GL_STREAM_DRAW_ARB},
    {xdl_store_vbo_static, 1, 1, GL_STATIC_DRAW_ARB, GL_STATIC_DRAW_ARB},
    {xdl_store_vbo_static, 1, 0, GL_STATIC_DRAW_ARB, 0},  // index buffers may not live in video memory
    {xdl_store_vbo_stream, 0, 1, 0, 0},                     // no buffer objects at all
};

GLint usage_of(GLuint vbo) {
  if (!vbo) return 0;
  GLint usage = 0;
  glExt.glBindBufferARB(GL_ARRAY_BUFFER_ARB, vbo);
  glExt.glGetBufferParameterivARB(GL_ARRAY_BUFFER_ARB, GL_BUFFER_USAGE_ARB, &usage);
  glExt.glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
  return usage;
}

TEST_F(XdlDrawing, EveryStorageDrawsTheSamePixels) {
  std::vector<uint8_t> from_memory;
  for (const storage_case& c : k_storages) {
    SCOPED_TRACE("storage " + std::to_string(c.storage) + ", vbo " + std::to_string(c.vbo_avail) + ", idx " +
                 std::to_string(c.idx_vram_avail));
    glExt.vbo_avail = c.vbo_avail;
    glExt.idx_vram_avail = c.idx_vram_avail;
    scene s(c.storage);
    EXPECT_EQ(usage_of(s.group->verts.vbo), c.vert_usage);
    EXPECT_EQ(usage_of(s.group->indices.vbo), c.idx_usage);
    EXPECT_EQ(s.group->verts.vbo != 0, c.vert_usage != 0);
    EXPECT_EQ(s.group->indices.vbo != 0, c.idx_usage != 0);
    const std::vector<uint8_t> px = s.draw();
    if (from_memory.empty()) {
      from_memory = px;
      EXPECT_EQ(rgb(480, 320), 0xffff00u);  // the fan
      EXPECT_EQ(rgb(250, 450), 0x00ffffu);  // the triangles' colour, behind normals
      EXPECT_GT(rgb(55, 100) >> 16, 0xe0u);   // the strip starts red
      EXPECT_GT(rgb(345, 100) & 0xff, 0xe0u);  // and ends blue
      EXPECT_EQ(rgb(550, 220), 0u);  // the quarter the fan leaves out
      EXPECT_EQ(rgb(700, 100), 0u);
    } else {
      EXPECT_TRUE(px == from_memory);
    }
  }
}

// ---------------------------------------------------------------------------

TEST_F(XdlDrawing, AFractionDrawsThatShareOfTheCount) {
  UTL_stat& verts = stat_named("xdl/num_xdl_vert");
  for (int arrays : {0, 1}) {
    SCOPED_TRACE(arrays ? "plain arrays" : "indexed");
    xdl_group* g = xdl_allocate_group(xdl_store_vbo_static);
    xdl* l = xdl_allocate(g, GL_QUADS, 0, 0, 0, 0, arrays);
    std::vector<float> p = rect(100, 100, 200, 200), right = rect(300, 100, 400, 200);
    p.insert(p.end(), right.begin(), right.end());
    xdl_add_command(l, GL_QUADS, 8, p.data(), nullptr, nullptr, nullptr, nullptr);
    xdl_finalize_group(g);

    glClear(GL_COLOR_BUFFER_BIT);
    glColor4f(1, 1, 1, 1);
    const float before = verts.value;
    xdl_draw(l, 0.5f);
    EXPECT_EQ(verts.value - before, 4);
    EXPECT_EQ(rgb(150, 150), 0xffffffu);
    EXPECT_EQ(rgb(350, 150), 0u);
    xdl_draw(l, 0);
    EXPECT_EQ(verts.value - before, 12);
    EXPECT_EQ(rgb(350, 150), 0xffffffu);
    xdl_destroy(l);
  }
}

// Groups of buffer objects (a, b) and one in memory (m), every list indexed.
TEST_F(XdlDrawing, OnlyBindsMadeAreCountedAndARedrawMakesNone) {
  xdl_group* ga = xdl_allocate_group(xdl_store_vbo_static);
  xdl_group* gb = xdl_allocate_group(xdl_store_vbo_stream);
  xdl_group* gm = xdl_allocate_group(xdl_store_mem);
  const std::vector<float> p = rect(100, 100, 200, 200), q = rect(300, 100, 400, 200);
  xdl* a1 = xdl_allocate(ga, GL_QUADS, 0, 0, 0, 0, 0);
  xdl* a2 = xdl_allocate(ga, GL_QUADS, 0, 0, 0, 0, 0);
  xdl* b1 = xdl_allocate(gb, GL_QUADS, 0, 0, 0, 0, 0);
  xdl* m1 = xdl_allocate(gm, GL_QUADS, 0, 0, 0, 0, 0);
  for (xdl* l : {a1, a2, b1, m1})
    xdl_add_command(l, GL_QUADS, 4, (l == a2 ? q : p).data(), nullptr, nullptr, nullptr, nullptr);
  for (xdl_group* g : {ga, gb, gm}) xdl_finalize_group(g);

  UTL_stat &binds = stat_named("num_xdl_bind"), &index_binds = stat_named("num_xdl_bind_ind"),
           &draws = stat_named("xdl/num_xdl_draw");
  struct step {
    const xdl* list;
    int binds;  // made by this draw, for each target
  };
  const step steps[] = {{a1, 1}, {a2, 0}, {b1, 1}, {b1, 0}, {m1, 1}, {m1, 0}, {a1, 1}};
  glColor4f(1, 1, 1, 1);
  for (size_t i = 0; i < std::size(steps); ++i) {
    const float b = binds.value, ib = index_binds.value, d = draws.value;
    xdl_draw(steps[i].list, 0);
    EXPECT_EQ(binds.value - b, steps[i].binds) << "step " << i;
    EXPECT_EQ(index_binds.value - ib, steps[i].binds) << "step " << i;
    EXPECT_EQ(draws.value - d, 1) << "step " << i;
  }

  glClear(GL_COLOR_BUFFER_BIT);
  const float b = binds.value, ib = index_binds.value, d = draws.value;
  xdl_redraw(a1, 0);
  EXPECT_EQ(rgb(150, 150), 0xffffffu);
  // No array set-up either: a list of the same layout and group redrawn
  // takes its vertices from where the last draw pointed, a1's.
  glClear(GL_COLOR_BUFFER_BIT);
  xdl_redraw(a2, 0);
  EXPECT_EQ(rgb(150, 150), 0xffffffu);
  EXPECT_EQ(rgb(350, 150), 0u);
  EXPECT_EQ(binds.value, b);
  EXPECT_EQ(index_binds.value, ib);
  EXPECT_EQ(draws.value - d, 2);
  for (xdl* l : {a1, a2, b1, m1}) xdl_destroy(l);
}

// ---------------------------------------------------------------------------

// Unit 0 holds [red | white] and unit 1 [green | white], modulated; the
// first set points at the left texel and the second at the right one.
struct routing_case {
  int map1, map2;
  uint32_t colour;
};
const routing_case k_routes[] = {
    {1, 2, 0xff0000},  // unit 0 the first set (red), unit 1 the second (white)
    {2, 1, 0x00ff00},  // swapped: white times green
    {3, 0, 0x000000},  // both units the first set: red times green
    {0, 3, 0xffffff},  // both the second
    {3, 3, 0x000000},  // a unit named by both takes the first
};

GLuint two_texel_texture(uint32_t left) {
  const uint32_t texels[2] = {left, 0xffffffffu};
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
  return name;
}

TEST_F(XdlDrawing, TextureSetsGoToTheUnitsTheMapsName) {
  ASSERT_GE(reno.num_tex_units, 2);
  GLuint tex[2];
  glActiveTextureARB(GL_TEXTURE0_ARB);
  tex[0] = two_texel_texture(0xff0000ffu);  // bytes R, G, B, A in memory order on little-endian: red
  glActiveTextureARB(GL_TEXTURE1_ARB);
  tex[1] = two_texel_texture(0xff00ff00u);  // green
  glActiveTextureARB(GL_TEXTURE0_ARB);
  OGL_setstate(fog_off, 2, lit_off, al_none, deR_off, deW_off);

  xdl_group* g = xdl_allocate_group(xdl_store_vbo_static);
  xdl* l = xdl_allocate(g, GL_QUADS, 0, 0, 1, 1, 0);
  const std::vector<float> p = rect(100, 100, 200, 200), t1 = repeat({0.25f, 0.5f}, 4), t2 = repeat({0.75f, 0.5f}, 4);
  xdl_add_command(l, GL_QUADS, 4, p.data(), nullptr, nullptr, t1.data(), t2.data());
  xdl_finalize_group(g);

  for (const routing_case& c : k_routes) {
    xdl_texmap(c.map1, c.map2, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor4f(1, 1, 1, 1);
    xdl_draw(l, 0);
    EXPECT_EQ(rgb(150, 150), c.colour) << "maps " << c.map1 << ", " << c.map2;
  }
  xdl_destroy(l);
  OGL_setstate(fog_off, 0, lit_off, al_none, deR_off, deW_off);
  glDeleteTextures(2, tex);
  TEX_reset_bind();
}

TEST_F(XdlDrawing, RecordedColoursGiveWayToTheCurrentOneWhenSwitchedOff) {
  xdl_group* g = xdl_allocate_group(xdl_store_mem);
  xdl* l = xdl_allocate(g, GL_QUADS, 0, 1, 0, 0, 1);
  const std::vector<float> p = rect(100, 100, 200, 200), c = repeat({1, 0, 0, 1}, 4);
  xdl_add_command(l, GL_QUADS, 4, p.data(), nullptr, c.data(), nullptr, nullptr);
  xdl_finalize_group(g);
  for (auto [use, want] : {std::pair{1, 0xff0000u}, {0, 0x0000ffu}, {1, 0xff0000u}}) {
    xdl_texmap(1, 2, use);
    glColor4f(0, 0, 1, 1);
    xdl_draw(l, 0);
    EXPECT_EQ(rgb(150, 150), want) << "colours " << use;
  }
  xdl_destroy(l);
}

// ---------------------------------------------------------------------------

struct call {
  int which, count, floats;
  float first;  // the part's first float
  bool operator==(const call&) const = default;
};

void record_call(float* part, int count, int floats, int which, void* context) {
  static_cast<std::vector<call>*>(context)->push_back({which, count, floats, part[0]});
}

TEST_F(XdlDrawing, ProcessingMapsEachNewGroupOnceAndHandsOverPositionsThenNormals) {
  xdl_group* g1 = xdl_allocate_group(xdl_store_vbo_static);
  xdl_group* g2 = xdl_allocate_group(xdl_store_vbo_stream);
  xdl* p1 = xdl_allocate(g1, GL_POINTS, 1, 0, 0, 0, 0);
  xdl* p2 = xdl_allocate(g1, GL_POINTS, 0, 0, 0, 0, 1);
  xdl* p3 = xdl_allocate(g2, GL_POINTS, 1, 1, 0, 0, 0);
  const float pos[6] = {11, 0, 0, 12, 0, 0}, nrm[9] = {-1, 0, 0, -2, 0, 0, -3, 0, 0};
  xdl_add_command(p1, GL_POINTS, 2, pos, nrm, nullptr, nullptr, nullptr);
  xdl_add_command(p2, GL_POINTS, 1, pos + 3, nullptr, nullptr, nullptr, nullptr);
  xdl_add_command(p3, GL_POINTS, 2, pos, nrm + 3, nullptr, nullptr, nullptr);
  xdl_finalize_group(g1);
  xdl_finalize_group(g2);

  UTL_stat& maps = stat_named("xdl/num_xdl_group_map");
  const float before = maps.value;
  std::vector<call> calls;
  xdl_process(nullptr, p1, record_call, &calls);
  EXPECT_EQ(g1->verts.is_mapped(), 1);
  EXPECT_EQ(g1->indices.is_mapped(), 1);
  xdl_process(p1, p2, record_call, &calls);
  xdl_process(p2, p3, record_call, &calls);
  EXPECT_EQ(g1->verts.is_mapped(), 0);
  EXPECT_EQ(g1->indices.is_mapped(), 0);
  EXPECT_EQ(g2->verts.is_mapped(), 1);
  xdl_process(p3, nullptr, record_call, &calls);
  EXPECT_EQ(g2->verts.is_mapped(), 0);
  EXPECT_EQ(maps.value - before, 2);

  const std::vector<call> want = {{0, 2, 6, 11}, {1, 2, 6, -1}, {0, 1, 3, 12},
                                  {0, 2, 10, 11}, {1, 2, 10, -2}};
  EXPECT_EQ(calls, want);
  for (xdl* l : {p1, p2, p3}) xdl_destroy(l);
}

}  // namespace

namespace {

TEST_F(XdlDrawing, ARecordingGroupIsNeitherDrawnNorHandedOver) {
  xdl_group* g = xdl_allocate_group(xdl_store_vbo_static);
  xdl* l = xdl_allocate(g, GL_QUADS, 0, 0, 0, 0, 0);
  const std::vector<float> p = rect(100, 100, 200, 200);
  xdl_add_command(l, GL_QUADS, 4, p.data(), nullptr, nullptr, nullptr, nullptr);
  UTL_stat& draws = stat_named("xdl/num_xdl_draw");
  const float d = draws.value;
  glColor4f(1, 1, 1, 1);
  xdl_draw(l, 0);
  xdl_redraw(l, 0);
  EXPECT_EQ(draws.value, d);
  EXPECT_EQ(rgb(150, 150), 0u);
  std::vector<call> calls;
  xdl_process(nullptr, l, record_call, &calls);
  xdl_process(l, nullptr, record_call, &calls);
  EXPECT_TRUE(calls.empty());
  xdl_destroy(l);
}

}  // namespace
