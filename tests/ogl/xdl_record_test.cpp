// Display lists without drawing: layouts, the conversion of every primitive,
// the crash alert, groups and lists coming and going, boxes and reserved
// commands, all in memory groups.
#include <GL/gl.h>
#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "core/hl_alert.h"
#include "ogl/geometry_fixture.h"
#include "ogl/xdl.h"

namespace {

// Vertex i sits at (i, 10 i, -i), so a position tells which input it was.
std::vector<float> positions(int count) {
  std::vector<float> p;
  for (int i = 0; i < count; ++i) p.insert(p.end(), {(float)i, 10.0f * i, -(float)i});
  return p;
}

// The data of a list once its memory group is finished.
struct list_data {
  std::vector<float> verts;
  std::vector<GLuint> indices;
  int floats = 0;
};
list_data data_of(const xdl* l) {
  float* v = nullptr;
  GLuint* idx = nullptr;
  int nv = 0, fpv = 0, ni = 0;
  list_data out;
  EXPECT_EQ(xdl_get_data(l, &v, &nv, &fpv, &idx, &ni), 1);
  if (v) out.verts.assign(v, v + (size_t)nv * fpv);
  if (idx) out.indices.assign(idx, idx + ni);
  out.floats = fpv;
  return out;
}
// The x of every vertex: which inputs were recorded, in order.
std::vector<int> inputs_of(const list_data& d) {
  std::vector<int> out;
  for (size_t i = 0; i < d.verts.size(); i += (size_t)d.floats) out.push_back((int)d.verts[i]);
  return out;
}

// ---------------------------------------------------------------------------

struct layout_case {
  unsigned flags;
  xdl_layout want;
};
const layout_case k_layouts[] = {
    {0, {3, -1, -1, -1, -1}},   {1, {6, 3, -1, -1, -1}},  {2, {7, -1, 3, -1, -1}},  {4, {5, -1, -1, 3, -1}},
    {8, {5, -1, -1, -1, 3}},    {12, {7, -1, -1, 3, 5}},  {3, {10, 3, 6, -1, -1}},  {15, {14, 3, 6, 10, 12}},
    {15 | xdl_plain_arrays, {14, 3, 6, 10, 12}},
};

TEST(XdlLayout, PartsFollowThePositionInOrder) {
  for (const layout_case& c : k_layouts) {
    const xdl_layout& l = xdl_layout_of(c.flags);
    EXPECT_EQ(std::vector<int>({l.floats, l.normal, l.color, l.tex1, l.tex2}),
              std::vector<int>({c.want.floats, c.want.normal, c.want.color, c.want.tex1, c.want.tex2}))
        << "flags " << c.flags;
  }
}

TEST(XdlLayout, AVertexOfEveryPartIsInterleaved) {
  xdl_group* g = xdl_allocate_group(xdl_store_mem);
  xdl* full = xdl_allocate(g, GL_POINTS, 1, 1, 1, 1, 0);
  xdl* partial = xdl_allocate(g, GL_POINTS, 1, 1, 1, 0, 1);
  const float pos[3] = {1, 2, 3}, nrm[3] = {4, 5, 6}, col[4] = {7, 8, 9, 10}, t1[2] = {11, 12}, t2[2] = {13, 14};
  xdl_add_command(full, GL_POINTS, 1, pos, nrm, col, t1, t2);
  // A part the list has but the command leaves out is zeros; one it lacks is ignored.
  xdl_add_command(partial, GL_POINTS, 1, pos, nullptr, col, t1, t2);
  ASSERT_EQ(xdl_finalize_group(g), g);
  EXPECT_EQ(data_of(full).verts, std::vector<float>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
  EXPECT_EQ(data_of(partial).verts, std::vector<float>({1, 2, 3, 0, 0, 0, 7, 8, 9, 10, 11, 12}));
  // Each list's region starts on a whole vertex of its own layout.
  EXPECT_EQ(full->vert_offset % 56, 0u);
  EXPECT_EQ(partial->vert_offset % 48, 0u);
  xdl_destroy(full);
  xdl_destroy(partial);
}

// ---------------------------------------------------------------------------

struct primitive_case {
  GLenum mode;
  int count;
  std::vector<int> order;  // the inputs making the plain primitive
};
const primitive_case k_primitives[] = {
    {GL_POINTS, 3, {0, 1, 2}},
    {GL_LINES, 5, {0, 1, 2, 3}},
    {GL_LINE_STRIP, 4, {0, 1, 1, 2, 2, 3}},
    {GL_LINE_STRIP, 1, {}},
    {GL_TRIANGLES, 7, {0, 1, 2, 3, 4, 5}},
    {GL_TRIANGLE_STRIP, 5, {0, 1, 2, 2, 1, 3, 2, 3, 4}},
    {GL_TRIANGLE_STRIP, 2, {}},
    {GL_TRIANGLE_FAN, 5, {0, 1, 2, 0, 2, 3, 0, 3, 4}},
    {GL_QUADS, 9, {0, 1, 2, 3, 4, 5, 6, 7}},
    {GL_QUAD_STRIP, 7, {0, 1, 3, 2, 2, 3, 5, 4}},
};

TEST(XdlRecord, EveryPrimitiveIsRecordedAsItsPlainForm) {
  for (const primitive_case& c : k_primitives) {
    for (int arrays : {0, 1}) {
      SCOPED_TRACE("mode " + std::to_string(c.mode) + " of " + std::to_string(c.count) +
                   (arrays ? ", plain arrays" : ", indexed"));
      xdl_group* g = xdl_allocate_group(xdl_store_mem);
      xdl* l = xdl_allocate(g, c.mode, 0, 0, 0, 0, arrays);
      const std::vector<float> p = positions(c.count);
      xdl_add_command(l, c.mode, c.count, p.data(), nullptr, nullptr, nullptr, nullptr);
      ASSERT_EQ(xdl_finalize_group(g), g);
      const list_data d = data_of(l);
      const int used = c.order.empty() ? 0 : *std::max_element(c.order.begin(), c.order.end()) + 1;
      if (arrays) {
        EXPECT_EQ(l->vert_count, (int)c.order.size());
        EXPECT_EQ(inputs_of(d), c.order);
        EXPECT_TRUE(d.indices.empty());
      } else {
        EXPECT_EQ(l->vert_count, used);  // the inputs that complete nothing are dropped
        EXPECT_EQ(std::vector<int>(d.indices.begin(), d.indices.end()), c.order);
      }
      EXPECT_EQ(xdl_is_empty(l), c.order.empty() ? 1 : 0);
      xdl_destroy(l);
    }
  }
}

TEST(XdlRecord, IndexedCommandsAndLaterCommandsOfAList) {
  xdl_group* g = xdl_allocate_group(xdl_store_mem);
  xdl* indexed = xdl_allocate(g, GL_TRIANGLES, 0, 0, 0, 0, 0);
  xdl* arrays = xdl_allocate(g, GL_TRIANGLES, 0, 0, 0, 0, 1);
  const std::vector<float> p = positions(5);
  const GLuint strip[4] = {4, 3, 2, 1};
  // A triangle naming an input the command does not have is dropped whole.
  const GLuint bad[6] = {0, 1, 9, 2, 3, 4};
  for (xdl* l : {indexed, arrays}) {
    xdl_add_command_indexed(l, GL_TRIANGLE_STRIP, 5, p.data(), nullptr, nullptr, nullptr, nullptr, 4, strip);
    xdl_add_command_indexed(l, GL_TRIANGLES, 5, p.data(), nullptr, nullptr, nullptr, nullptr, 6, bad);
    xdl_add_command(l, GL_TRIANGLES, 3, p.data(), nullptr, nullptr, nullptr, nullptr);
  }
  ASSERT_EQ(xdl_finalize_group(g), g);

  const list_data di = data_of(indexed);
  EXPECT_EQ(indexed->vert_count, 13);  // every input of an indexed command is kept
  EXPECT_EQ(di.indices, std::vector<GLuint>({4, 3, 2, 2, 3, 1, 7, 8, 9, 10, 11, 12}));
  EXPECT_EQ(inputs_of(di), std::vector<int>({0, 1, 2, 3, 4, 0, 1, 2, 3, 4, 0, 1, 2}));
  EXPECT_EQ(inputs_of(data_of(arrays)), std::vector<int>({4, 3, 2, 2, 3, 1, 2, 3, 4, 0, 1, 2}));
  xdl_destroy(indexed);
  xdl_destroy(arrays);
}

TEST(XdlRecord, ReservedCommandsAreFilledByTheCaller) {
  xdl_group* g = xdl_allocate_group(xdl_store_mem);
  xdl* l = xdl_allocate(g, GL_LINES, 0, 0, 0, 0, 0);
  const std::vector<float> p = positions(2);
  xdl_add_command(l, GL_LINES, 2, p.data(), nullptr, nullptr, nullptr, nullptr);
  float* v = nullptr;
  GLuint* idx = nullptr;
  EXPECT_EQ(xdl_reserve_command(l, 3, 4, &v, &idx), 2);
  ASSERT_NE(v, nullptr);
  ASSERT_NE(idx, nullptr);
  for (int i = 0; i < 9; ++i) v[i] = 100.0f + i;
  const GLuint lines[4] = {2, 3, 3, 4};
  std::copy(lines, lines + 4, idx);
  ASSERT_EQ(xdl_finalize_group(g), g);
  const list_data d = data_of(l);
  EXPECT_EQ(inputs_of(d), std::vector<int>({0, 1, 100, 103, 106}));
  EXPECT_EQ(d.indices, std::vector<GLuint>({0, 1, 2, 3, 3, 4}));
  xdl_destroy(l);
}

TEST(XdlRecord, TheBoxIsThatOfThePositions) {
  xdl_group* g = xdl_allocate_group(xdl_store_mem);
  xdl* l = xdl_allocate(g, GL_TRIANGLES, 1, 0, 0, 0, 0);
  xdl* empty = xdl_allocate(g, GL_TRIANGLES, 0, 0, 0, 0, 0);
  const float a[9] = {1, -2, 3, 4, 5, -6, 0, 0, 0}, b[9] = {-7, 8, 9, 0, 0, 0, 2, 2, 2};
  const float n[9] = {99, 99, 99, -99, -99, -99, 99, 99, 99};  // normals are not positions
  xdl_add_command(l, GL_TRIANGLES, 3, a, n, nullptr, nullptr, nullptr);
  // Enough vertices to spread over several chunks.
  for (int k = 0; k < 40; ++k) xdl_add_command(l, GL_TRIANGLES, 3, b, n, nullptr, nullptr, nullptr);
  float box[6], box_empty[6] = {1, 1, 1, 1, 1, 1};
  xdl_finish(l, box);
  EXPECT_EQ(std::vector<float>(box, box + 6), std::vector<float>({-7, -2, -6, 4, 8, 9}));
  xdl_finish(empty, box_empty);
  EXPECT_EQ(std::vector<float>(box_empty, box_empty + 6), std::vector<float>(6, 0.0f));
  ASSERT_EQ(xdl_finalize_group(g), g);
  float after[6];
  xdl_finish(l, after);  // the same from the finished data
  EXPECT_EQ(std::vector<float>(after, after + 6), std::vector<float>(box, box + 6));
  xdl_destroy(l);
  xdl_destroy(empty);
}

// ---------------------------------------------------------------------------

struct raised {
  int kind;
  std::string text, file;
};
void throw_alert(int kind, const std::string* lines, const char* file, int) { throw raised{kind, lines[0], file}; }

struct alert_case {
  GLenum mode;
  bool at_allocate;  // else as a command of a triangle list
};
const alert_case k_bad_modes[] = {
    {GL_POLYGON, true},  {GL_LINE_LOOP, true}, {10, true},        {0x1234, true},
    {GL_POLYGON, false}, {GL_LINE_LOOP, false}, {10, false},      {GL_LINES, false},  // not the list's kind
};

TEST(XdlRecord, ModesNoListDrawsAreACrashAlert) {
  g_alert_handler = throw_alert;
  for (const alert_case& c : k_bad_modes) {
    SCOPED_TRACE("mode " + std::to_string(c.mode) + (c.at_allocate ? " at allocation" : " as a command"));
    xdl_group* g = xdl_allocate_group(xdl_store_mem);
    xdl* l = xdl_allocate(g, GL_TRIANGLES, 0, 0, 0, 0, 0);
    const std::vector<float> p = positions(6);
    try {
      if (c.at_allocate)
        xdl_allocate(g, c.mode, 0, 0, 0, 0, 0);
      else
        xdl_add_command(l, c.mode, 6, p.data(), nullptr, nullptr, nullptr, nullptr);
      ADD_FAILURE() << "no alert";
    } catch (const raised& r) {
      EXPECT_EQ(r.kind, t_crash);
      EXPECT_EQ(r.text, "Polygon or unknown command in XDL.");
      EXPECT_EQ(r.file, "RUvozuz/OGL/OGL_xdl");
    }
    EXPECT_EQ(l->vert_count, 0);
    EXPECT_EQ(g->num_lists, 1);
    xdl_destroy(l);
  }
  g_alert_handler = nullptr;
}

// ---------------------------------------------------------------------------

TEST(XdlGroup, AGroupLivesAsLongAsItsLists) {
  UTL_stat &groups = stat_named("xdl/num_xdl_group"), &lists = stat_named("xdl/num_xdl");
  const float groups_before = groups.value, lists_before = lists.value;

  EXPECT_EQ(xdl_finalize_group(xdl_allocate_group(xdl_store_vbo_static)), nullptr);
  EXPECT_EQ(groups.value, groups_before);

  xdl_group* g = xdl_allocate_group(xdl_store_mem);
  EXPECT_EQ(xdl_group_is_finalized(g), 0);
  xdl* a = xdl_allocate(g, GL_POINTS, 0, 0, 0, 0, 0);
  xdl* b = xdl_allocate(g, GL_POINTS, 0, 0, 0, 0, 0);
  EXPECT_EQ(groups.value, groups_before + 1);
  EXPECT_EQ(lists.value, lists_before + 2);
  ASSERT_EQ(xdl_finalize_group(g), g);
  EXPECT_EQ(xdl_group_is_finalized(g), 1);
  xdl_destroy(a);
  EXPECT_EQ(groups.value, groups_before + 1);
  EXPECT_EQ(g->num_lists, 1);
  xdl_destroy(b);  // and the group with it
  EXPECT_EQ(groups.value, groups_before);
  EXPECT_EQ(lists.value, lists_before);
}

TEST(XdlGroup, AListDestroyedBeforeFinalisingLeavesTheOthersWhole) {
  xdl_group* g = xdl_allocate_group(xdl_store_mem);
  xdl* gone = xdl_allocate(g, GL_POINTS, 0, 0, 0, 0, 0);
  xdl* kept = xdl_allocate(g, GL_POINTS, 0, 0, 0, 0, 1);
  const std::vector<float> p = positions(4);
  xdl_add_command(gone, GL_POINTS, 4, p.data(), nullptr, nullptr, nullptr, nullptr);
  xdl_add_command(kept, GL_POINTS, 3, p.data(), nullptr, nullptr, nullptr, nullptr);
  xdl_destroy(gone);
  ASSERT_EQ(xdl_finalize_group(g), g);  // writes no offset into the freed list
  EXPECT_EQ(inputs_of(data_of(kept)), std::vector<int>({0, 1, 2}));
  xdl_destroy(kept);
}

}  // namespace
