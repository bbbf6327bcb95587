#include "engine/download_support.h"
#include <sys/stat.h>
#include <atomic>
#include <chrono>
#include <thread>
#include "core/globs.h"
#include "engine/engine_support.h"
#include "engine/utils_checksum.h"
#include "engine/utils_choose.h"
#include "engine/utils_dir.h"
#include "engine/utils_dirs.h"
#include "engine/utils_download.h"
#include "files/file_compress.h"
#include "files/file_ops.h"
#include "engine/next.h"
#include "platform/plat_clock.h"

namespace {
const char* SET = "Duvizo Update";

// The system clock plus the time the tests skipped; it only ever grows, so
// the program clock never runs backwards, not even from one test to the next.
std::atomic<uint64_t> skipped_us{0};
uint64_t skipping_clock() { return PLAT_microseconds() + skipped_us.load(); }
}  // namespace

void DownloadTest::SetUp() {
  HttpTest::SetUp();
  reset_engine_state();
  set = dir + "set/";
  site = set + "site";
  ASSERT_EQ(0, test_run("bash '" DUV_FIXTURES_DIR "/make_update_set.sh' '" + set + "'"));
  temp_path = dir + "tmp/";
  ASSERT_EQ(0, mkdir(temp_path.c_str(), 0700));
  dest_dir_path = dir + "Sim/";
  install_name = SET;
  read_set_directory();
  stg.platform = 1;
  set_install_filter(1, 1);

  xtim_set_clock(skipping_clock);
  xtim_forget_frames();
  xtim.xtim_update();
  servers.clear();
  next.reset_all_streams();
}

void DownloadTest::TearDown() {
  checksum_directory_kill();
  next.reset_all_streams();
  servers.clear();
  xtim_set_clock(nullptr);
  xtim_forget_frames();
  reset_engine_state();
  HttpTest::TearDown();
}

void DownloadTest::read_set_directory() {
  ASSERT_EQ(0, zip_to_file(site + "/updates/" + SET + "/directory.txt.zip", temp_path, nullptr, 0));
  ASSERT_EQ(3, read_directory(temp_path + "directory.txt", ""));
  ASSERT_EQ(f_count, (int)sim_info.size());
  ASSERT_EQ(0, delete_file(temp_path + "directory.txt"));
  stg.want_cells[5][13] = 1;
}

void DownloadTest::lay_out_installation() {
  const std::string res = dest_dir_path + "Resources/";
  ASSERT_EQ(0, test_run("mkdir -p '" + res + "retired' && cp '" + master(f_a) + "' '" + master(f_empty) + "' '" +
                        res + "'"));
  ASSERT_TRUE(test_write_file(res + "old.txt", "old content v1\n"));
  ASSERT_TRUE(test_write_file(res + "retired/gone.txt", "retired\n"));
}

void DownloadTest::choose_and_prepare() {
  scripted_questions q;
  ASSERT_TRUE(run_checksum_pass(0));
  recalc_disk_sizes();
  ASSERT_EQ(1, choose_files());
  ASSERT_TRUE(q.selected.empty());
  ASSERT_EQ(0, make_dirs());
  next.reset_all_streams();
}

void DownloadTest::use_servers(const std::vector<std::string>& hosts) {
  hosts_ = hosts;
  servers.clear();
  for (const std::string& h : hosts) servers.push_back({h, std::string("/updates/") + SET + "/", h});
}

int DownloadTest::run_pass(const std::function<bool()>& after_step) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (std::chrono::steady_clock::now() < deadline) {
    xtim.xtim_update();
    const int r = grab_files();
    if (r) return r;
    if (after_step && after_step()) return 0;
    // Nothing moves while every stream that still has work sleeps.
    float wake = -1;
    bool all_asleep = true;
    for (const next_class::stream_info& s : next.streams) {
      if (s.file >= (int)sim_info.size()) continue;
      if (s.pause_until <= xtim.real_time) all_asleep = false;
      if (wake < 0 || s.pause_until < wake) wake = s.pause_until;
    }
    if (all_asleep && wake > 0)
      advance_clock(wake - xtim.real_time + 0.001);
    else
      std::this_thread::sleep_for(std::chrono::microseconds(200));  // one frame
  }
  return -1;
}

void DownloadTest::advance_clock(double secs) {
  if (secs > 0) skipped_us += (uint64_t)(secs * 1e6);
}

std::string DownloadTest::request(int i) const {
  return std::string("/updates/") + SET + "/" + sim_info[i].versions.back().path + ".zip";
}

std::string DownloadTest::request_target(int host_index, int i) const {
  std::string path = request(i), escaped;
  for (char c : path) escaped += c == ' ' ? std::string("%20") : std::string(1, c);
  return "http://" + hosts_[host_index] + escaped;
}

std::string DownloadTest::master(int i) const { return set + "master/" + sim_info[i].versions.back().path; }

int DownloadTest::entries_in(const std::string& folder) const {
  if (!dir_exists(folder)) return -1;
  return atoi(test_capture("ls -A '" + folder + "' | wc -l").c_str());
}

std::string DownloadTest::mode_of(const std::string& path) const {
  struct stat st;
  if (lstat(path.c_str(), &st)) return "missing";
  char buf[8];
  snprintf(buf, sizeof buf, "%o", st.st_mode & 0777);
  return buf;
}

void DownloadTest::expect_installed_except(const std::set<int>& except) const {
  for (int i = 0; i < f_count; ++i) {
    if (except.count(i) || i == f_gone) continue;
    const file_version_struct& v = sim_info[i].versions.back();
    EXPECT_EQ(1, v.up_to_date) << v.path;
    if (i == f_link) {
      std::string target;
      EXPECT_EQ(1, is_sim_link(installed_path(i), &target));
      EXPECT_EQ("a.txt", target);
    } else {
      EXPECT_TRUE(file_exists(installed_path(i))) << v.path;
      EXPECT_EQ(test_read_file(master(i)), test_read_file(installed_path(i))) << v.path;
    }
  }
}
