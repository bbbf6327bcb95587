// One master-copy file through comp_file, in this program: what it refuses
// before a wrong line could reach the directory file.
#include <gtest/gtest.h>
#include "core/globs.h"
#include "core/hl_alert.h"
#include "disc_set_support.h"
#include "engine/make_installer.h"
#include "files/xmap.h"
#include "support/test_env.h"

namespace {

struct alert_seen {
  int kind;
  std::string lines[4];
};
std::vector<alert_seen> g_alerts;
struct unwind {};
void record(int kind, const std::string* lines, const char*, int) {
  g_alerts.push_back({kind, {lines[0], lines[1], lines[2], lines[3]}});
  throw unwind();
}

TEST(CompFile, AFileWithoutADigestStopsTheRunBeforeItsLineIsWritten) {
  // A tile's name on a folder, beside a ready-made archive: the archive and
  // the sizes are there, the digest cannot be.
  src_fold = test_scratch_dir("master");
  dst_fold_base = test_scratch_dir("set");
  build_type = 1;
  sim_name = "Duvizo 10";
  set_build_paths();
  set_dest_dvd(0);
  const std::string tile = src_fold + "All/Global Scenery/-global terrain-/+40-130/+47-123.dsf";
  ASSERT_EQ(test_run("mkdir -p " + sh_quote(tile) + " && echo 7z > " + sh_quote(tile + ".7z")), 0);
  const std::string dir_txt = dst_fold_base + "directory.txt";
  ASSERT_EQ(ouf_open(dir_txt, xmap_text, 900, "no-copyright-string"), 1);
  g_alerts.clear();
  g_alert_handler = record;
  try {
    comp_file(tile);
  } catch (const unwind&) {
  }
  g_alert_handler = nullptr;
  ouf.close();
  ASSERT_EQ(g_alerts.size(), 1u);
  EXPECT_EQ(g_alerts[0].kind, t_crash);
  EXPECT_EQ(g_alerts[0].lines[0], "Could not MD5 file!");
  EXPECT_EQ(g_alerts[0].lines[1], tile);
  EXPECT_EQ(test_read_file(dir_txt).find("FILE"), std::string::npos);
}

}  // namespace
