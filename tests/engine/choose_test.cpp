// Choosing what to install, keep or delete, the totals and the scenery grid.
#include <gtest/gtest.h>
#include "core/globs.h"
#include "engine/engine_support.h"
#include "engine/utils_alerts.h"
#include "engine/utils_choose.h"
#include "engine/utils_counts.h"

namespace {
const char* A = "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa";
const char* B = "bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb";
const char* C = "cccccccccccccccccccccccccccccccc";
const char* TILE = "All/Global Scenery/+40-130/+47-123.dsf";

class ChooseFiles : public testing::Test {
 protected:
  void SetUp() override {
    reset_engine_state();
    dest_dir_path = "/inst/";
  }
  void TearDown() override { reset_engine_state(); }
  int flags(int i) { return current_version(i).do_install * 10 + current_version(i).do_delete; }
};
}  // namespace

TEST_F(ChooseFiles, DecidesWithoutAskingWhenTheDigestIsKnown) {
  const int current = add_file("All/cur", A, A);
  const int missing = add_file("All/missing", A, "NONE");
  const int older = add_file("All/older", B, "NONE");
  add_version(older, A, B);  // installed B is the older official version
  const int gone_absent = add_file("All/gone_absent", "GONE", "NONE");
  const int gone_official = add_file("All/gone_official", A, "NONE");
  add_version(gone_official, "GONE", A);
  scripted_questions q;
  ASSERT_EQ(choose_files(), 1);
  EXPECT_TRUE(q.selected.empty());
  EXPECT_EQ(flags(current), 0);
  EXPECT_EQ(flags(missing), 10);
  EXPECT_EQ(flags(older), 10);
  EXPECT_EQ(flags(gone_absent), 0);
  EXPECT_EQ(flags(gone_official), 1);
}

TEST_F(ChooseFiles, AQuickScannedGoneFileIsDeleted) {
  // A quick scan copies sig_want into sig_have of every present file.
  const int gone = add_file("All/old_plugin", A, "NONE");
  add_version(gone, "GONE", "GONE");
  scripted_questions q;
  ASSERT_EQ(choose_files(), 1);
  EXPECT_TRUE(q.selected.empty());
  EXPECT_EQ(flags(gone), 1);
}

TEST_F(ChooseFiles, ChangedFilesAskInTheRightMode) {
  const int changed = add_file("All/Resources/changed.txt", A, C);
  const int gone_changed = add_file("All/Resources/gone.txt", A, "NONE");
  add_version(gone_changed, "GONE", C);
  scripted_questions q;
  q.select_answers = {sel_act, sel_keep};
  ASSERT_EQ(choose_files(), 1);
  ASSERT_EQ(q.selected.size(), 2u);
  EXPECT_EQ(q.selected[0], std::make_pair(std::string("/inst/Resources/changed.txt"), 0));
  EXPECT_EQ(q.selected[1], std::make_pair(std::string("/inst/Resources/gone.txt"), 1));
  EXPECT_EQ(flags(changed), 10);
  EXPECT_EQ(flags(gone_changed), 0);
}

TEST_F(ChooseFiles, FolderAnswersHoldForTheRunOnly) {
  const int a1 = add_file("All/d1/a", A, C), a2 = add_file("All/d1/b", A, C);
  const int k1 = add_file("All/d2/a", A, C), k2 = add_file("All/d2/b", A, C);
  const int other = add_file("All/d1/sub/c", A, C);  // a sub-folder is another folder
  {
    scripted_questions q;
    q.select_answers = {sel_act_all, sel_keep_all, sel_keep};
    pass_counts_reset();
    ASSERT_EQ(choose_files(), 1);
    EXPECT_EQ(counted(), "0 0 3 0");  // both of d2 and the sub-folder's file
    ASSERT_EQ(q.selected.size(), 3u);
    EXPECT_EQ(q.selected[2].first, "/inst/d1/sub/c");
    EXPECT_EQ(flags(a1), 10);
    EXPECT_EQ(flags(a2), 10);
    EXPECT_EQ(flags(k1), 0);
    EXPECT_EQ(flags(k2), 0);
    EXPECT_EQ(flags(other), 0);
  }
  scripted_questions q;  // a new run asks again
  q.select_answers = {sel_keep, sel_keep, sel_keep, sel_keep, sel_keep};
  ASSERT_EQ(choose_files(), 1);
  EXPECT_EQ(q.selected.size(), 5u);
}

TEST_F(ChooseFiles, CancelStopsAtOnce) {
  const int first = add_file("All/a", A, "NONE");
  const int asked = add_file("All/b", A, C);
  const int later = add_file("All/c", A, "NONE");
  current_version(later).do_delete = 1;  // an old decision stays on cancel
  for (int answer : {(int)sel_cancel, 0, 9}) {
    scripted_questions q;
    q.select_answers = {answer};
    EXPECT_EQ(choose_files(), 0) << answer;
    EXPECT_EQ(flags(first), 10);
    EXPECT_EQ(flags(asked), 0);
    EXPECT_EQ(flags(later), 1);
  }
  g_engine_questions = engine_questions();  // no screen to ask: cancel
  EXPECT_EQ(choose_files(), 0);
}

TEST_F(ChooseFiles, UnwantedSceneryIsRemovedAndWantedInstalled) {
  const int tile = add_file(TILE, A, A);
  ASSERT_EQ(current_version(tile).is_global_scenery, 1);
  scripted_questions q;
  ASSERT_EQ(choose_files(), 1);
  EXPECT_EQ(flags(tile), 1);
  stg.want_cells[5][13] = 1;
  ASSERT_EQ(choose_files(), 1);
  EXPECT_EQ(flags(tile), 0);
  current_version(tile).sig_have = "NONE";
  ASSERT_EQ(choose_files(), 1);
  EXPECT_EQ(flags(tile), 10);
  EXPECT_TRUE(q.selected.empty());
}

TEST_F(ChooseFiles, FilteredFilesAreClearedAndSkipped) {
  const int mac = add_file("Macintosh/app", A, "NONE", 1);
  current_version(mac).do_install = 1;
  stg.platform = 2;
  scripted_questions q;
  ASSERT_EQ(choose_files(), 1);
  EXPECT_EQ(flags(mac), 0);
}

TEST_F(ChooseFiles, ProgressIsTheShareOfTheSizeBefore) {
  const int a = add_file("All/a", A, "NONE", 0, 30);
  const int skip = add_file("All/b", A, A, 0, 1000);
  const int b = add_file("All/c", A, "NONE", 0, 10);
  scripted_questions q;
  ASSERT_EQ(choose_files(), 1);
  EXPECT_FLOAT_EQ(current_version(a).progress, 0.0f);
  EXPECT_FLOAT_EQ(current_version(skip).progress, 0.75f);
  EXPECT_FLOAT_EQ(current_version(b).progress, 0.75f);
  current_version(a).sig_have = A;
  current_version(b).sig_have = A;
  ASSERT_EQ(choose_files(), 1);
  for (int i : {a, skip, b}) EXPECT_FLOAT_EQ(current_version(i).progress, 0.5f);
}

TEST(RecalcDiskSizes, CountsWhatWouldBeInstalledAndDeleted) {
  reset_engine_state();
  add_file("All/missing", A, "NONE", 0, 100);           // installs: 100 / 50
  add_file("All/current", A, A, 0, 1000);               // nothing
  add_file("All/gone_present", "GONE", "GONE", 0, 0);   // deletes 1
  add_file("All/gone_absent", "GONE", "NONE", 0, 0);    // nothing
  add_file("Windows/w", A, "NONE", 2, 7000);            // filtered out
  const int tile = add_file(TILE, A, "NONE", 0, 20);    // installs only when its cell is wanted
  const int gone_tile = add_file("All/Global Scenery/+40-130/+41-100.dsf", "GONE", "GONE", 0, 0);
  stg.platform = 1;
  recalc_disk_sizes();
  EXPECT_FLOAT_EQ(stg.total_exp_kb, 100);
  EXPECT_FLOAT_EQ(stg.total_comp_kb, 50);
  EXPECT_EQ(stg.files_to_install, 1);
  EXPECT_EQ(stg.files_to_delete, 3);  // the unwanted GONE tile counts twice
  stg.want_cells[current_version(tile).lon_cell][current_version(tile).lat_cell] = 1;
  stg.want_cells[current_version(gone_tile).lon_cell][current_version(gone_tile).lat_cell] = 1;
  recalc_disk_sizes();
  EXPECT_FLOAT_EQ(stg.total_exp_kb, 120);
  EXPECT_EQ(stg.files_to_install, 2);
  EXPECT_EQ(stg.files_to_delete, 2);
  set_install_filter(1, 0);
  recalc_disk_sizes();
  EXPECT_EQ(stg.files_to_install, 1);
  EXPECT_EQ(stg.files_to_delete, 1);
  reset_engine_state();
}

TEST(SceneryGrid, TakeAllNoneAndFromInstall) {
  reset_engine_state();
  stg.have_cells[5][13] = 1;
  stg.have_cells[35][17] = 1;
  scenery_take_all();
  EXPECT_EQ(stg.want_cells[5][13], 1);
  EXPECT_EQ(stg.want_cells[35][17], 1);
  EXPECT_EQ(stg.want_cells[0][0], 0);
  scenery_take_none();
  EXPECT_EQ(stg.want_cells[5][13], 0);
  EXPECT_EQ(stg.want_cells[35][17], 0);

  stg.want_cells[1][1] = 1;
  add_file(TILE, A, A);
  add_file("All/Global Scenery/+40-130/+41-100.dsf", A, "NONE");
  add_file("All/Global Scenery/+80+170.dsf", A, B);  // present, though changed
  add_file("All/a.txt", A, A);
  EXPECT_EQ(scenery_from_install(), 2);
  EXPECT_EQ(stg.want_cells[1][1], 0);
  EXPECT_EQ(stg.want_cells[5][13], 1);
  EXPECT_EQ(stg.want_cells[(170 + 180) / 10][(80 + 90) / 10], 1);
  EXPECT_EQ(stg.want_cells[(-100 + 180) / 10][(41 + 90) / 10], 0);
  EXPECT_EQ(scenery_from_install_wrap(), 2);
  reset_engine_state();
}
