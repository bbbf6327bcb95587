// The file table's small operations: number parsing, scenery cells, the
// install filter and the path helpers.
#include <gtest/gtest.h>
#include "core/globs.h"
#include "engine/engine_support.h"
#include "engine/utils_table.h"

TEST(StrToInt, SignsDigitsAndRefusals) {
  const struct {
    const char* text;
    int value;
  } cases[] = {
      {"", -1},         {"+47", 47},          {"-123", -123},         {"0", 0},
      {"123456789", 123456789}, {"1234567890", -1}, {"+123456789", 123456789},
      {"-1234567890", -1}, {"+", -1},          {"-", -1},              {"12a", -1},
      {" 12", -1},      {"1-2", 92},          {"-1+", -11},            {"+010", 10},
  };
  for (const auto& c : cases) EXPECT_EQ(str_to_int(c.text), c.value) << "text '" << c.text << "'";
}

TEST(FindSector, CellsFromTheTileName) {
  int lon = -7, lat = -7;
  EXPECT_EQ(find_sector(lon, lat, "All/Global Scenery/+40-130/+47-123.dsf"), 1);
  EXPECT_EQ(lat, 13);
  EXPECT_EQ(lon, 5);
  EXPECT_EQ(find_sector(lon, lat, "+00+000.dsf/"), 1);  // a trailing '/' is passed over
  EXPECT_EQ(lat, 9);
  EXPECT_EQ(lon, 18);
  EXPECT_EQ(find_sector(lon, lat, "x/-90-180.dsf"), 1);
  EXPECT_EQ(lat, 0);
  EXPECT_EQ(lon, 0);
  EXPECT_EQ(find_sector(lon, lat, "x/+95+010.dsf"), 0);  // latitude cell 18
  EXPECT_EQ(lat, 18);
  EXPECT_EQ(find_sector(lon, lat, "x/+89+180.dsf"), 0);  // longitude cell 36
}

TEST(GlobalScenery, FoldersAndSuffixDecide) {
  const struct {
    const char* path;
    int global;
  } cases[] = {
      {"All/Global Scenery/+40-130/+47-123.dsf", 1},
      {"All/Resources/default scenery/-global terrain-/+47-123.DSF", 1},
      {"All/x/-global overlays-/+47-123.Dsf", 1},
      {"All/Resources/default scenery/DSF 820/+47-123.dsf", 1},
      {"All/Custom Scenery/+47-123.dsf", 0},
      {"All/global scenery/+47-123.dsf", 0},  // folder names are case-sensitive
      {"All/Global Scenery/+47-123.txt", 0},
      {"Global Scenery/.dsf", 1},
  };
  for (const auto& c : cases) EXPECT_EQ(is_global_scenery_f(c.path), c.global) << c.path;
}

TEST(WantThisF, PlatformAndKindSwitches) {
  reset_engine_state();
  const int all = add_file("All/a", "x"), mac = add_file("Macintosh/b", "x", "NONE", 1),
            win = add_file("Windows/c", "x", "NONE", 2), lin = add_file("Linux/d", "x", "NONE", 3),
            lin_only = add_file("Linux/e", "x", "NONE", 6), four = add_file("All/f", "x", "NONE", 4);
  const int tile = add_file("All/Global Scenery/+40-130/+47-123.dsf", "x");
  ASSERT_EQ(current_version(tile).is_global_scenery, 1);
  const struct {
    int target;
    int expect[6];  // all, mac, win, lin, lin_only, four
  } cases[] = {
      {0, {1, 1, 1, 1, 1, 1}},
      {1, {1, 1, 0, 0, 0, 0}},
      {2, {1, 0, 1, 0, 0, 0}},
      {3, {1, 0, 0, 1, 1, 0}},
  };
  const int files[6] = {all, mac, win, lin, lin_only, four};
  for (const auto& c : cases) {
    stg.platform = c.target;
    for (int k = 0; k < 6; ++k) EXPECT_EQ(want_this_f(files[k], 0), c.expect[k]) << "target " << c.target << " file " << k;
  }
  stg.platform = 0;
  set_install_filter(1, 0);  // repair: no global scenery
  EXPECT_EQ(want_this_f(all, 0), 1);
  EXPECT_EQ(want_this_f(tile, 0), 0);
  set_install_filter(0, 1);  // scenery only
  EXPECT_EQ(want_this_f(all, 0), 0);
  EXPECT_EQ(want_this_f(tile, 0), 1);
  reset_engine_state();
}

TEST(PathHelpers, TrimSuffixAndNoFile) {
  std::string p = "top/Resources/a.txt";
  trim_dest_folder(p);
  EXPECT_EQ(p, "Resources/a.txt");
  p = "plain";
  trim_dest_folder(p);
  EXPECT_EQ(p, "plain");

  reset_engine_state();
  const int z = add_file("All/Resources/a.txt", "x");
  const int s = add_file("All/Global Scenery/+40-130/+47-123.dsf", "x");
  const int s2 = add_file("All/Global Scenery/readme.txt", "x");  // a path, not a tile, decides
  EXPECT_EQ(suffix_for_file(z), ".zip");
  EXPECT_EQ(suffix_for_file(s), ".7z");
  EXPECT_EQ(suffix_for_file(s2), ".7z");
  dest_dir_path = "/inst/";
  EXPECT_EQ(installed_path(z), "/inst/Resources/a.txt");
  reset_engine_state();

  EXPECT_EQ(path_has_no_file("a/b/"), 1);
  EXPECT_EQ(path_has_no_file("a/b"), 0);
  EXPECT_EQ(path_has_no_file(""), 0);
}

TEST(PathHelpers, OnlyPathsThatStayInsideAreAccepted) {
  const struct {
    std::string path;
    int inside;
  } cases[] = {
      {"All/Resources/a b.txt", 1},
      {"All/x", 1},
      {"name", 1},
      {"All/..hidden/a", 1},
      {"", 0},
      {"/etc/passwd", 0},
      {"All/../../x", 0},
      {"All/../x", 0},
      {"../x", 0},
      {"All/./x", 0},
      {"All/..", 0},
      {".", 0},
      {"All//x", 0},
      {"All/a\\..\\..\\x", 0},
      {std::string("All/a\0b", 7), 0},
  };
  for (const auto& c : cases) EXPECT_EQ(path_stays_inside(c.path), c.inside) << "'" << c.path << "'";
}
