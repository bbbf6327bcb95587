// The download pass against nginx serving a web-update set on a loopback
// port: three servers (all proxied to it), one stream each.
#include <errno.h>
#include <algorithm>
#include <map>
#include <set>
#include <sstream>
#include "core/globs.h"
#include "engine/download_support.h"
#include "engine/utils_checksum.h"
#include "engine/utils_choose.h"
#include "engine/utils_counts.h"
#include "engine/utils_download.h"
#include "engine/engine_support.h"
#include "files/http.h"
#include "engine/next.h"
#include "support/http_peers.h"

namespace {

class DownloadNginx : public DownloadTest {
 protected:
  void SetUp() override {
    DownloadTest::SetUp();
    ASSERT_TRUE(nginx.start(site));
    use_proxy(nginx.port);
  }
  // The request lines nginx answered with 200, without their host.
  std::multiset<std::string> served_paths() {
    std::multiset<std::string> paths;
    std::istringstream in(nginx.access_log());
    std::string line;
    while (std::getline(in, line)) {
      EXPECT_NE(std::string::npos, line.find(" 200 \"GET http://mirror")) << line;
      const size_t slash = line.find('/', line.find("http://") + 7);
      paths.insert(line.substr(slash, line.rfind(" HTTP/1.1") - slash));
    }
    return paths;
  }
  nginx_peer nginx;
};

TEST_F(DownloadNginx, InstallsExactlyTheChangedAndMissingFiles) {
  lay_out_installation();
  pass_counts_reset();
  choose_and_prepare();
  use_servers({"mirror1", "mirror2", "mirror3"});
  const std::string log_before = log();

  int most_at_once = 0;
  ASSERT_EQ(1, run_pass([&] {
    int at_once = 0;
    for (const next_class::stream_info& s : next.streams) at_once += s.inflight_kb > 0;
    most_at_once = std::max(most_at_once, at_once);
    return false;
  }));
  EXPECT_EQ(0, stg.extract_problem);
  EXPECT_TRUE(next.failed_files.empty());
  EXPECT_EQ(3, most_at_once);
  EXPECT_EQ("8 0 0 1", counted());

  // Only what was missing or out of date went over the wire, each once.
  const std::multiset<std::string> want = {request(f_big1), request(f_big2), request(f_big3),
                                           request(f_old),  request(f_b),    request(f_link),
                                           request(f_mac),  request(f_tile)};
  std::multiset<std::string> escaped;
  for (std::string p : want) {
    for (size_t at; (at = p.find(' ')) != std::string::npos;) p.replace(at, 1, "%20");
    escaped.insert(p);
  }
  EXPECT_EQ(escaped, served_paths());
  EXPECT_EQ(std::string::npos, log().find("HTTP Error", log_before.size()));

  expect_installed_except({});
  EXPECT_EQ("755", mode_of(installed_path(f_mac)));  // stored 0644
  EXPECT_EQ("missing", mode_of(installed_path(f_gone)));
  EXPECT_EQ("missing", mode_of(dest_dir_path + "Resources/retired"));  // emptied, so removed
  EXPECT_EQ(0, entries_in(temp_path));
  float comp = 0, exp = 0;
  for (int i : {f_big1, f_big2, f_big3, f_old, f_b, f_link, f_mac, f_tile}) {
    comp += sim_info[i].versions.back().compressed_kb;
    exp += sim_info[i].versions.back().expanded_kb;
  }
  EXPECT_FLOAT_EQ(comp, next.done_comp_kb);
  EXPECT_FLOAT_EQ(exp, next.done_exp_kb);
  EXPECT_FLOAT_EQ(comp, next.streams[0].done_kb + next.streams[1].done_kb + next.streams[2].done_kb);
  EXPECT_EQ(0u, crnt_file_path.find("/updates/Duvizo Update/"));
  EXPECT_EQ(crnt_file_path.substr(crnt_file_path.rfind('/') + 1), crnt_file_name);

  // A full checksum pass afterwards finds nothing left to do.
  for (auto& h : sim_info) h.versions.back().up_to_date = 0;
  ASSERT_TRUE(run_checksum_pass(0));
  for (int i = 0; i < f_count; ++i) {
    if (i == f_gone) continue;
    EXPECT_EQ(1, sim_info[i].versions.back().up_to_date) << i;
  }
  recalc_disk_sizes();
  EXPECT_EQ(0, stg.files_to_install);
  EXPECT_EQ(0, stg.files_to_delete);

  // The folders of this pass's deletions are forgotten with the table.
  EXPECT_EQ((std::set<std::string>{dest_dir_path + "Resources/", dest_dir_path + "Resources/retired/"}),
            deleted_files);
  read_set_directory();
  EXPECT_TRUE(deleted_files.empty());
}

// With one server every step handles one file, and the screen's fields
// describe that file: what is done with it, its name and its progress.
TEST_F(DownloadNginx, EachStepDescribesTheFileItHandled) {
  lay_out_installation();
  stg.want_cells[5][13] = 0;  // the tile is neither installed nor wanted
  stg.log_actions = 1;
  choose_and_prepare();
  use_servers({"mirror1"});
  const std::string log_before = log();
  std::map<int, std::set<int>> states;
  std::vector<float> big1_progress;
  ASSERT_EQ(1, run_pass([&] {
    const int f = next.streams[0].file;
    std::string leaf = sim_info[f].versions.back().path;
    leaf = leaf.substr(leaf.rfind('/') + 1) + ".zip";
    EXPECT_EQ(leaf, crnt_file_name);
    EXPECT_EQ(request(f), crnt_file_path);
    states[f].insert(stg.crnt_file_state);
    if (f == f_big1 && !next.streams[0].idle) big1_progress.push_back(stg.crnt_file_progress);
    return false;
  }));
  const std::set<int> fetched = {1}, deleted = {0}, current = {2}, unwanted = {3};
  for (int i = 0; i < f_count; ++i) {
    SCOPED_TRACE(sim_info[i].versions.back().path);
    const std::set<int>& want = i == f_gone                ? deleted
                                : i == f_a || i == f_empty ? current
                                : i == f_tile              ? unwanted
                                                           : fetched;
    EXPECT_EQ(want, states[i]);
  }
  // 1.5 MB arrive over many frames: the fraction only grows, and stays below 1.
  ASSERT_GT(big1_progress.size(), 5u);
  EXPECT_TRUE(std::is_sorted(big1_progress.begin(), big1_progress.end()));
  EXPECT_GT(big1_progress.back(), 0.5f);
  EXPECT_LT(big1_progress.back(), 1.0f);
  EXPECT_EQ("missing", mode_of(installed_path(f_tile)));

  const std::string added = log().substr(log_before.size());
  const std::string res = dest_dir_path + "Resources/";
  for (const std::string& line :
       {"now we want to nuke a file: DELETING  file " + res + "retired/gone.txt, with result=0.\n",
        "EXPANDING file " + installed_path(f_mac) + ", with result=0.\nCHMODING  file " + installed_path(f_mac) +
            ", with result=0.\n",
        "cleanup: DELETING  file " + res + "retired/, with result=0.\n",
        "cleanup: DELETING  file " + res + ", with result=" + std::to_string(ENOTEMPTY) + ".\n"})
    EXPECT_NE(std::string::npos, added.find(line)) << line << added;
  EXPECT_LT(added.find(res + "retired/, with"), added.find(res + ", with"));  // deepest first
}

// A reset half-way through a transfer, then a new pass whose stream first
// gets another file: the abandoned transfer must not pass for that file.
TEST_F(DownloadNginx, ANewPassDoesNotInheritAnAbandonedTransfer) {
  choose_and_prepare();
  use_servers({"mirror1"});
  ASSERT_EQ(0, run_pass([] {
    const down_class* d = http.streams.size() > 3 ? http.streams[3] : nullptr;
    return d && d->mReceived > 0 && d->mReceived < d->mContentLength;
  }));
  ASSERT_EQ(f_big1, next.streams[0].file);
  // The screen went back; when it comes again big1 is no longer wanted.
  next.reset_all_streams();
  sim_info[f_big1].versions.back().do_install = 0;
  ASSERT_EQ(1, run_pass());
  EXPECT_EQ(0, stg.extract_problem);
  EXPECT_EQ("missing", mode_of(installed_path(f_big1)));
  expect_installed_except({f_big1});
  EXPECT_EQ(0, entries_in(temp_path));
}

}  // namespace
