// The engine installs the sample disc set the build made with its own build
// mode, the disc folders standing in for the discs: what md5sum, readlink and
// the file modes see afterwards is what the master copy holds.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include "core/globs.h"
#include "engine/engine_support.h"
#include "engine/utils_checksum.h"
#include "engine/utils_choose.h"
#include "engine/utils_dir.h"
#include "engine/utils_dirs.h"
#include "engine/utils_install.h"
#include "files/file_compress.h"
#include "files/file_ops.h"
#include "support/test_env.h"

namespace {
const std::string kSamples = std::string(DUV_BINARY_DIR) + "/sample_discs/";

std::string disc_root(int n) { return kSamples + "disk_" + std::to_string(n) + "/"; }

std::string sh(const std::string& text) { return "'" + text + "'"; }

class SampleSetInstall : public testing::Test {
 protected:
  void SetUp() override { reset_engine_state(); }
  void TearDown() override {
    install_files_kill();
    checksum_directory_kill();
    reset_engine_state();
    dvd_path.clear();
  }
};

TEST_F(SampleSetInstall, EveryCellForTheMacInstallsWhatTheMasterHolds) {
  const std::string root = test_scratch_dir("sample_install");
  temp_path = root + "tmp/";
  ASSERT_EQ(make_folder(temp_path), 0);
  dest_dir_path = root + "Duvizo 10/";
  install_name = "Duvizo 10";
  current_disk = 0;
  dvd_path = disc_root(0);
  ASSERT_EQ(zip_to_file(dvd_path + install_name + "/directory.txt.zip", temp_path, nullptr, 0), 0);
  ASSERT_EQ(read_directory(temp_path + "directory.txt", ""), 3);
  ASSERT_EQ(delete_file(temp_path + "directory.txt"), 0);
  stg.platform = 1;
  set_install_filter(1, 1);
  for (auto& column : stg.want_cells)
    for (int& cell : column) cell = 1;

  scripted_questions q;
  ASSERT_TRUE(run_checksum_pass(0));
  recalc_disk_sizes();
  ASSERT_EQ(choose_files(), 1);
  ASSERT_EQ(make_dirs(), 0);
  delete_files();
  int cursor = 0;
  const install_run run = run_install_pass(disc_root, cursor);
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.results, (std::vector<int>{2, 1}));  // the second disc, then done
  EXPECT_TRUE(run.errors.empty());

  EXPECT_EQ(test_run("cd " + sh(dest_dir_path) + " && md5sum --quiet -c " + sh(kSamples + "installed.md5")), 0);
  // Links are installed as the master's links.
  for (const char* link : {"Resources/bitmaps/logo link.png", "Resources/sounds/idle link.wav"}) {
    std::string installed, shipped;
    EXPECT_EQ(is_sim_link(dest_dir_path + link, &installed), 1) << link;
    EXPECT_EQ(is_sim_link(kSamples + "master/All/" + link, &shipped), 1) << link;
    EXPECT_EQ(installed, shipped);
  }
  EXPECT_EQ(test_capture("cd " + sh(dest_dir_path) + " && find . -path '*/Contents/MacOS/*' -type f ! -perm 755"),
            "");
  EXPECT_EQ(test_capture("cd " + sh(dest_dir_path) + " && find . -path '*/Contents/MacOS/*' -type f | wc -l"),
            "1\n");

  // A checksum pass afterwards finds everything it would install up to date.
  for (auto& h : sim_info) h.versions.back().up_to_date = 0;
  ASSERT_TRUE(run_checksum_pass(0));
  int wanted = 0;
  for (int i = 0; i < (int)sim_info.size(); ++i) {
    if (!want_this_f(i, (int)sim_info[i].versions.size() - 1)) continue;
    ++wanted;
    EXPECT_EQ(current_version(i).up_to_date, 1) << current_version(i).path;
  }
  EXPECT_GT(wanted, 25);
}
}  // namespace
