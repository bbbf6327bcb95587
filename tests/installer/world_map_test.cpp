// The scenery screens' world map through real frames: clicks and drags on
// the cells, the select-all and clear-all pictures, what it draws of the
// coloured bands of the test bundle's map.png (plain red, available green,
// wanted blue), and when it has the sizes recomputed. A table of one tile
// of 1 KB per cell makes stg's install total the number of wanted cells.
#include "core/stg.h"
#include "engine/utils_table.h"
#include "installer/world_map.h"
#include "support/gl_console.h"
#include "tex/tman.h"
#include "widgets/click_fixture.h"

namespace {

const bool gl_ready = gl_console_register();

constexpr int k_left = 248, k_bottom = 150, k_cell = 14;
constexpr int k_cells = stg_lon_cells * stg_lat_cells;
// The test map's band colours as 0xRRGGBBAA.
constexpr uint32_t k_plain = 0xC82828FF, k_available = 0x28C828FF, k_wanted = 0x2828C8FF;
// The English pictures: clear all (4) right-aligned at 770, select all (3)
// right-aligned 5 short of clear all's bar; both from y 122, 22 high.
constexpr int k_clear_w = static_cast<int>(btn_cuts[5][0] - btn_cuts[4][0]);
constexpr int k_select_w = static_cast<int>(btn_cuts[4][0] - btn_cuts[3][0]);
constexpr int k_clear_x = 770 - k_clear_w / 2, k_select_x = 765 - (k_clear_w + 20) - k_select_w / 2;
constexpr int k_pictures_y = 133;

int cell_x(int i) { return k_left + k_cell * i + k_cell / 2; }
int cell_y(int j) { return k_bottom + k_cell * j + k_cell / 2; }

class WorldMap : public Clicks {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gl_ready);
    Clicks::SetUp();
    ASSERT_EQ(tman.load_texture_idx(tex_fail_silent, 363, 0x48242, tex_load_now,
                                    probe_test_bundle() + "/Contents/Resources/map.png"),
              363);
    saved_stg = stg;
    saved_table = sim_info;
    saved_want_sim = g_want_sim;
    saved_want_global = g_want_global;
    stg = settings_record();
    stg.platform = plat_all;
    set_install_filter(0, 1);
    sim_info.clear();
    for (int i = 0; i < stg_lon_cells; ++i)
      for (int j = 0; j < stg_lat_cells; ++j) {
        file_version_struct v;
        v.sig_want = "0123456789abcdef0123456789abcdef";
        v.sig_have = "NONE";
        v.expanded_kb = 1;
        v.compressed_kb = 1;
        v.is_global_scenery = 1;
        v.lon_cell = i;
        v.lat_cell = j;
        sim_info.push_back({{v}});
        stg.have_cells[i][j] = 1;
      }
  }
  void TearDown() override {
    stg = saved_stg;
    sim_info = saved_table;
    set_install_filter(saved_want_sim, saved_want_global);
    tman.unload_texture(363);
    Clicks::TearDown();
  }
  // One frame of the map; how many times it had the sizes recomputed.
  int frame() {
    const int before = UTIL_world_map_recalcs();
    d->frame(UTIL_world_map);
    return UTIL_world_map_recalcs() - before;
  }
  void click(int x, int y) {
    d->press(x, y);
    frame();
    d->release(x, y);
    frame();
  }
  static int o_use() {
    int use = -1;
    UTIL_world_map_state(nullptr, nullptr, &use);
    return use;
  }
  static int wanted_count() {
    int n = 0;
    for (const auto& column : stg.want_cells)
      for (int w : column) n += w != 0;
    return n;
  }
  static void want_all(int value) {
    for (auto& column : stg.want_cells)
      for (int& w : column) w = value;
  }
  // The colour a pixel of the last frame shows, opaque: the outline's blend
  // leaves the window's alpha below 1.
  uint32_t pixel(int x, int y) const { return d->captures().back().pixel(x, y) | 0xFF; }

  settings_record saved_stg;
  std::vector<file_history_struct> saved_table;
  int saved_want_sim = 0, saved_want_global = 0;
};

TEST_F(WorldMap, AClickInsideACellTogglesItAndRecomputesOnce) {
  d->press(cell_x(5), cell_y(7));
  EXPECT_EQ(frame(), 1);
  EXPECT_EQ(stg.want_cells[5][7], 1);
  EXPECT_EQ(wanted_count(), 1);
  EXPECT_EQ(stg.total_exp_kb, 1);
  EXPECT_EQ(o_use(), 1);
  d->release(cell_x(5), cell_y(7));
  EXPECT_EQ(frame(), 0);
  EXPECT_EQ(frame(), 0);

  d->press(cell_x(5), cell_y(7) + 3);
  EXPECT_EQ(frame(), 1);
  EXPECT_EQ(stg.want_cells[5][7], 0);
  EXPECT_EQ(stg.total_exp_kb, 0);
  EXPECT_EQ(o_use(), 0);
}

// On an edge the rectangle of the press is a point that overlaps no cell
// strictly; the last cell whose closed square holds it decides what a drag
// would paint. Columns are walked outside rows.
TEST_F(WorldMap, APressOnAnEdgeTogglesNothingButDecidesWhatADragPaints) {
  const struct {
    const char* what;
    int x, y;
    int wanted_i, wanted_j;  // the one wanted cell
    int use;
  } cases[] = {
      {"shared side, right cell wanted", k_left + k_cell * 5, cell_y(7), 5, 7, 0},
      {"shared side, left cell wanted", k_left + k_cell * 5, cell_y(7), 4, 7, 1},
      {"corner of four, last wanted", k_left + k_cell * 5, k_bottom + k_cell * 7, 5, 7, 0},
      {"corner of four, another wanted", k_left + k_cell * 5, k_bottom + k_cell * 7, 5, 6, 1},
      {"map's left edge", k_left, cell_y(3), 0, 3, 0},
      {"map's top edge", cell_x(35), k_bottom + k_cell * 18, 35, 17, 0},
  };
  for (const auto& c : cases) {
    want_all(0);
    stg.want_cells[c.wanted_i][c.wanted_j] = 1;
    d->press(c.x, c.y);
    EXPECT_EQ(frame(), 0) << c.what;
    d->release(c.x, c.y);
    EXPECT_EQ(frame(), 0) << c.what;
    EXPECT_EQ(wanted_count(), 1) << c.what;
    EXPECT_EQ(stg.want_cells[c.wanted_i][c.wanted_j], 1) << c.what;
    EXPECT_EQ(o_use(), c.use) << c.what;
  }
}

// A press outside the map keeps the value the last press inside chose; a
// drag from there paints it into every cell the rectangle overlaps.
TEST_F(WorldMap, ADragFromOutsidePaintsTheLastDecidedValue) {
  for (int use : {0, 1}) {
    // A click on a cell wanted (or not) decides: the opposite.
    want_all(use ? 0 : 1);
    click(cell_x(30), cell_y(15));
    ASSERT_EQ(o_use(), use);
    want_all(use ? 0 : 1);
    d->press(200, 100);
    EXPECT_EQ(frame(), 0);
    float ox = 0, oy = 0;
    UTIL_world_map_state(&ox, &oy, nullptr);
    EXPECT_EQ(ox, 200);
    EXPECT_EQ(oy, 100);
    EXPECT_EQ(o_use(), use);
    d->move(300, 200);  // over columns 0 to 3 and rows 0 to 3
    EXPECT_EQ(frame(), 1);
    d->release(300, 200);
    EXPECT_EQ(frame(), 0);
    for (int i = 0; i < stg_lon_cells; ++i)
      for (int j = 0; j < stg_lat_cells; ++j) {
        const int want = (i <= 3 && j <= 3) ? use : 1 - use;
        ASSERT_EQ(stg.want_cells[i][j], want) << "use " << use << " cell " << i << ", " << j;
      }
    EXPECT_EQ(stg.total_exp_kb, use ? 16 : k_cells - 16);
  }
}

TEST_F(WorldMap, ADragRecomputesOncePerFrameHoweverManyCellsItCrosses) {
  d->press(cell_x(0), cell_y(0));
  EXPECT_EQ(frame(), 1);
  for (int i = 1; i <= 10; ++i) {
    d->move(cell_x(i), cell_y(0));
    EXPECT_EQ(frame(), 1) << "step " << i;
    EXPECT_EQ(stg.total_exp_kb, i + 1) << "step " << i;
  }
  // Held still over painted cells: the rectangle still touches them.
  EXPECT_EQ(frame(), 1);
  // Ten cells more in one frame.
  d->move(cell_x(20), cell_y(0));
  EXPECT_EQ(frame(), 1);
  EXPECT_EQ(wanted_count(), 21);
  EXPECT_EQ(stg.total_exp_kb, 21);
  d->release(cell_x(20), cell_y(0));
  EXPECT_EQ(frame(), 0);
  EXPECT_EQ(frame(), 0);
}

TEST_F(WorldMap, SelectAllAndClearAll) {
  // Not available cells are selected too; they have no tiles.
  stg.have_cells[0][0] = 0;
  sim_info.erase(sim_info.begin());
  d->press(k_select_x, k_pictures_y);
  EXPECT_EQ(frame(), 1);
  EXPECT_EQ(wanted_count(), k_cells);
  EXPECT_EQ(stg.total_exp_kb, k_cells - 1);
  d->release(k_select_x, k_pictures_y);
  EXPECT_EQ(frame(), 0);
  d->press(k_clear_x, k_pictures_y);
  EXPECT_EQ(frame(), 1);
  EXPECT_EQ(wanted_count(), 0);
  EXPECT_EQ(stg.total_exp_kb, 0);
  d->release(k_clear_x, k_pictures_y);
  EXPECT_EQ(frame(), 0);
  // Between the two pictures nothing happens.
  click((k_select_x + k_clear_x) / 2 + k_select_w / 2 + 3, k_pictures_y);
  EXPECT_EQ(wanted_count(), 0);
}

// Every pixel of the map shows the band of its cell: wanted and available
// blue, available green, anything else the plain map, wanted or not.
TEST_F(WorldMap, EachCellShowsItsBandAndUnavailableCellsAreNeverDrawn) {
  for (int i = 0; i < stg_lon_cells; ++i)
    for (int j = 0; j < stg_lat_cells; ++j) {
      stg.have_cells[i][j] = (i + 2 * j) % 3 != 0;
      stg.want_cells[i][j] = (i * 7 + j) % 2;
    }
  d->move(100, 500);
  EXPECT_EQ(frame(), 0);
  int drawn_cells = 0, available = 0;
  for (const OGL_quad_call& q : d->trace().quads) {
    if (q.tex != 363) continue;
    const int i = static_cast<int>(q.corner[0][0] - k_left) / k_cell, j = static_cast<int>(q.corner[0][1] - k_bottom) / k_cell;
    if (q.corner[2][0] - q.corner[0][0] != k_cell) continue;  // the plain map
    ++drawn_cells;
    EXPECT_TRUE(stg.have_cells[i][j]) << "cell " << i << ", " << j;
  }
  for (const auto& column : stg.have_cells)
    for (int h : column) available += h != 0;
  EXPECT_EQ(drawn_cells, available);
  int wrong = 0;
  for (int y = k_bottom; y < k_bottom + k_cell * stg_lat_cells; ++y)
    for (int x = k_left; x < k_left + k_cell * stg_lon_cells; ++x) {
      const int i = (x - k_left) / k_cell, j = (y - k_bottom) / k_cell;
      const uint32_t want = !stg.have_cells[i][j] ? k_plain : stg.want_cells[i][j] ? k_wanted : k_available;
      if (pixel(x, y) != want && ++wrong <= 5)
        ADD_FAILURE() << "pixel " << x << ", " << y << ": " << std::hex << pixel(x, y) << " not " << want;
    }
  EXPECT_EQ(wrong, 0);
}

// The outline runs from the press to the mouse while the button is held:
// half-black over the map, the inside untouched; gone on release.
TEST_F(WorldMap, TheDragOutlineShowsOnlyWhileHeld) {
  for (auto& column : stg.have_cells)
    for (int& h : column) h = 0;
  d->press(300, 200);
  frame();
  d->move(400, 300);
  frame();
  const uint32_t half = 0x641414FF;
  const int on_outline[][2] = {{350, 300}, {350, 200}, {300, 250}, {400, 250}};
  for (const auto& p : on_outline) EXPECT_EQ(pixel(p[0], p[1]), half) << p[0] << ", " << p[1];
  EXPECT_EQ(pixel(350, 250), k_plain);
  d->release(400, 300);
  frame();
  for (const auto& p : on_outline) EXPECT_EQ(pixel(p[0], p[1]), k_plain) << p[0] << ", " << p[1];
}

}  // namespace
