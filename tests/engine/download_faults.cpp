// The download pass against a scripted server that serves the update set
// but fails on purpose: whole answers missing, cut short or refused for one
// file, a server that fails everything, archives that will not unpack.
#include <errno.h>
#include <memory>
#include <sstream>
#include "core/globs.h"
#include "engine/download_support.h"
#include "engine/engine_support.h"
#include "engine/utils_counts.h"
#include "engine/utils_download.h"
#include "files/file_errors.h"
#include "files/file_ops.h"
#include "files/http.h"
#include "engine/next.h"
#include "support/http_peers.h"

namespace {

class DownloadFaults : public DownloadTest {
 protected:
  // A fresh scripted server for the site, answering by rules "MODE=TEXT".
  void start_site(const std::vector<std::string>& rules) {
    for (down_class*& d : http.streams) {
      delete d;
      d = nullptr;
    }
    peer.reset(new script_peer);
    std::vector<std::string> args = {site};
    args.insert(args.end(), rules.begin(), rules.end());
    ASSERT_TRUE(peer->start("site", args));
    use_proxy(peer->port);
  }
  // The request targets the server received, in order.
  std::vector<std::string> targets() {
    std::vector<std::string> out;
    std::istringstream in(peer->record());
    std::string line;
    while (std::getline(in, line))
      if (line.rfind("GET ", 0) == 0) out.push_back(line.substr(4, line.rfind(" HTTP/1.1") - 4));
    return out;
  }
  // How many requests named file i, from any server.
  int requests_of(int i) {
    int n = 0;
    for (size_t h = 0; h < hosts_.size(); ++h)
      for (const std::string& t : targets()) n += t == request_target((int)h, i);
    return n;
  }
  std::unique_ptr<script_peer> peer;
};

// Whatever the server does wrong with one file, the pass gives up on that
// file after three tries per server, installs every other file and ends,
// reporting the failure; the file is neither half written nor marked current.
TEST_F(DownloadFaults, AFileNoServerDeliversIsGivenUpAndReported) {
  const struct {
    const char* mode;
    int file;
  } cases[] = {
      {"404", f_old},    // present in its older version, which must stay
      {"500", f_b},      // missing, and must stay missing
      {"drop", f_big1},  // the connection closes without an answer
      {"short", f_big2}, // the whole length announced, half of it sent
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    ASSERT_EQ(0, test_run("rm -rf '" + dest_dir_path + "'"));
    read_set_directory();
    stg.extract_problem = 0;
    lay_out_installation();
    pass_counts_reset();
    choose_and_prepare();
    std::string text = request(c.file);
    for (size_t at; (at = text.find(' ')) != std::string::npos;) text.replace(at, 1, "%20");
    start_site({std::string(c.mode) + "=" + text});
    use_servers({"mirror1", "mirror2"});
    const std::string log_before = log();

    ASSERT_EQ(1, run_pass());
    EXPECT_EQ(1, stg.extract_problem);
    EXPECT_EQ(std::vector<int>{c.file}, next.failed_files);
    EXPECT_EQ("7 1 0 1", counted());
    EXPECT_EQ(6, requests_of(c.file));
    for (int i : {f_big1, f_big2, f_big3, f_old, f_b, f_link, f_mac, f_tile}) {
      if (i != c.file) {
        EXPECT_EQ(1, requests_of(i)) << i;
      }
    }
    expect_installed_except({c.file});
    EXPECT_EQ(0, sim_info[c.file].versions.back().up_to_date);
    const std::string left = c.file == f_old ? "old content v1\n" : "";
    EXPECT_EQ(c.file == f_old ? "644" : "missing", mode_of(installed_path(c.file)));
    EXPECT_EQ(left, test_read_file(installed_path(c.file)));
    EXPECT_EQ(0, entries_in(temp_path));  // no partial archive left behind
    const std::string added = log().substr(log_before.size());
    EXPECT_NE(std::string::npos, added.find("Gave up downloading http://mirror")) << added;
    EXPECT_NE(std::string::npos, added.find(request(c.file) + " after 6 tries.\n")) << added;
    // Each failure the screen shows before that, with when it is tried again.
    for (int t = 1; t < 6; ++t)
      EXPECT_NE(std::string::npos, added.find(request(c.file) + " failed (try " + std::to_string(t) +
                                              " of 6); that server is asked again in 30 seconds.\n"))
          << added;
  }
}

// With one server a failed file waits out the stream's 30 seconds, then is
// the next thing that stream asks for.
TEST_F(DownloadFaults, AFailedFileIsRetriedAfterThePause) {
  lay_out_installation();
  stg.want_cells[5][13] = 0;  // marked neither to install nor to delete: never asked for
  choose_and_prepare();
  start_site({"500=old.txt.zip"});
  use_servers({"mirror1"});

  std::vector<float> failed_at;
  float paused_until = 0;
  auto watch = [&] {
    const next_class::stream_info& st = next.streams[0];
    if (st.pause_until <= paused_until || st.pause_until <= xtim.real_time) return;  // no new pause
    paused_until = st.pause_until;
    failed_at.push_back(xtim.real_time);
    EXPECT_EQ(f_old, st.file);
    EXPECT_EQ(1, st.idle);
    EXPECT_EQ("Server is not responding normally.", st.message);
    EXPECT_FLOAT_EQ(xtim.real_time + download_pause_secs, st.pause_until);
  };
  ASSERT_EQ(0, run_pass([&] {
    watch();
    return !failed_at.empty();
  }));
  EXPECT_EQ(std::list<int>{f_old}, next.retry);

  // A second before the pause ends nothing has been asked again.
  const size_t asked = targets().size();
  advance_clock(paused_until - xtim.real_time - 1.0);
  for (int frame = 0; frame < 20; ++frame) {
    xtim.xtim_update();
    ASSERT_EQ(0, grab_files());
  }
  EXPECT_EQ(asked, targets().size());

  ASSERT_EQ(1, run_pass([&] {
    watch();
    return false;
  }));
  ASSERT_EQ(3u, failed_at.size());
  EXPECT_GE(failed_at[1] - failed_at[0], download_pause_secs);
  EXPECT_GE(failed_at[2] - failed_at[1], download_pause_secs);
  EXPECT_EQ(std::vector<int>{f_old}, next.failed_files);

  // The retries came one after the other, ahead of the files still to fetch.
  const std::vector<std::string> t = targets();
  const std::string old = request_target(0, f_old);
  size_t first = 0;
  while (first < t.size() && t[first] != old) ++first;
  ASSERT_LE(first + 3, t.size());
  EXPECT_EQ(std::vector<std::string>(3, old), std::vector<std::string>(t.begin() + first, t.begin() + first + 3));
  EXPECT_LT(first + 3, t.size());
  EXPECT_EQ(0, requests_of(f_tile));
  EXPECT_EQ(0, requests_of(f_a));
  expect_installed_except({f_old, f_tile});
}

// A server that fails everything costs its stream a pause per file; the
// files it failed go to the healthy server, and the pass ends clean.
TEST_F(DownloadFaults, FilesAServerFailsAreFetchedFromAnother) {
  lay_out_installation();
  choose_and_prepare();
  start_site({"500=http://broken/"});
  use_servers({"broken", "good"});
  ASSERT_EQ(1, run_pass());
  EXPECT_EQ(0, stg.extract_problem);
  EXPECT_TRUE(next.failed_files.empty());
  expect_installed_except({});
  int broken = 0;
  for (const std::string& t : targets()) broken += t.rfind("http://broken/", 0) == 0;
  EXPECT_GE(broken, 1);
  for (int i : {f_big1, f_big2, f_big3, f_old, f_b, f_link, f_mac, f_tile}) {
    int good = 0;
    for (const std::string& t : targets()) good += t == request_target(1, i);
    EXPECT_EQ(1, good) << i;
  }
  EXPECT_EQ(0, next.streams[0].done_kb);
  EXPECT_EQ(next.done_comp_kb, next.streams[1].done_kb);
}

// An archive that does not yield its file, or yields it with content the
// directory does not list, ends the pass at once with the problem flag set:
// the file is not marked current, the user is warned, and the archive is gone
// all the same.
TEST_F(DownloadFaults, AnArchiveThatWillNotUnpackEndsThePassEarly) {
  const std::string archive = site + "/updates/Duvizo Update/All/Resources/sub dir/b file.txt.zip";
  const struct {
    const char* name;
    std::string make;  // replaces the published archive of b file.txt
    int code;
  } cases[] = {
      {"damaged", "printf 'not an archive' > '" + archive + "'", 0},
      {"another name", "cd '" + dir + "' && echo x > other.txt && rm '" + archive + "' && zip -q -X '" + archive +
                           "' other.txt",
       ENOENT},
      {"wrong content", "cd '" + dir + "' && echo x > 'b file.txt' && rm '" + archive + "' && zip -q -X '" + archive +
                            "' 'b file.txt'",
       err_content_mismatch},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(0, test_run("rm -rf '" + dest_dir_path + "'"));
    read_set_directory();
    stg.extract_problem = 0;
    stg.log_actions = 1;
    ASSERT_EQ(0, test_run(c.make));
    choose_and_prepare();
    start_site({});
    use_servers({"mirror1"});
    const std::string log_before = log();

    ASSERT_EQ(1, run_pass());
    EXPECT_EQ(1, stg.extract_problem);
    EXPECT_EQ(f_b, next.streams[0].file);  // the pass did not run to its end
    EXPECT_EQ(0, requests_of(f_link));
    EXPECT_EQ(std::vector<int>{f_b}, next.failed_files);
    EXPECT_EQ(0, sim_info[f_b].versions.back().up_to_date);
    EXPECT_EQ("missing", mode_of(installed_path(f_b)));
    EXPECT_EQ(0, entries_in(temp_path));
    const std::string added = log().substr(log_before.size());
    const std::string tmp = temp_path + "0.zip";
    EXPECT_NE(std::string::npos, added.find("\nThe installer cannot extract a file.\nError: ")) << added;
    const std::string paths = "\nCompressed File: " + tmp + "\nDestination: " + installed_path(f_b) + "\n";
    EXPECT_NE(std::string::npos, added.find(paths)) << added;
    if (c.code) {
      EXPECT_NE(std::string::npos, added.find("Error: " + error_str(c.code) + "\n")) << added;
    }
    EXPECT_NE(std::string::npos, added.find("EXPANDING file " + installed_path(f_b) + ", with result=")) << added;
    EXPECT_NE(std::string::npos, added.find("CHMODING  file " + installed_path(f_b) + ", with result=0.\n")) << added;
  }
}

}  // namespace
