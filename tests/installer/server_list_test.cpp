// The web flows' server list and directory download: the list's records as
// the maker's host may send them, the four command-line options, and the
// two downloads through a real nginx on 127.0.0.1 acting as the proxy, with
// a desktop opener that only notes what it was asked to open.
#include <gtest/gtest.h>
#include <climits>
#include <cstdlib>
#include <chrono>
#include <sstream>
#include <thread>
#include "core/globs.h"
#include "core/hl_alert.h"
#include "core/utl_cmdline.h"
#include "engine/next.h"
#include "engine/utils_table.h"
#include "files/http.h"
#include "installer/server_list.h"
#include "support/http_peers.h"
#include "support/test_env.h"
#include "support/xer_capture.h"
#include "web_support.h"

namespace {

std::string describe(const std::vector<server_t>& list) {
  std::string out;
  for (const server_t& s : list) out += "[" + s.host + "|" + s.dir_path + "|" + s.address + "]";
  return out;
}

class ServerList : public testing::Test {
 protected:
  void SetUp() override { tmp_ = web_reset_state(); }
  void TearDown() override { web_reset_state(); }
  std::string tmp_;
};

TEST_F(ServerList, RecordsAsTheHostSendsThem) {
  const struct {
    const char* what;
    std::string text;
    int get_beta;
    int result;
    const char* name;
    const char* servers;
    const char* page;
  } cases[] = {
      {"another version", server_list_text("FINAL A\nSERVER h\n/m/\nx\n", 821), 0, list_bad_format,
       "Not Yet Scanned", "", ""},
      {"another type", server_list_text("FINAL A\n", 820, "SERVER"), 0, list_bad_format, "Not Yet Scanned", "", ""},
      {"no header", "FINAL A\n", 0, list_bad_format, "Not Yet Scanned", "", ""},
      {"final, beta off", server_list_text("BETA B\nFINAL A\nSERVER h1\n/m1/\nthe first\n"), 0, list_read, "A",
       "[h1|/m1/A/|the first]", ""},
      {"beta, beta on", server_list_text("BETA B\nFINAL A\nSERVER h1\n/m1/\nthe first\n"), 1, list_read, "B",
       "[h1|/m1/B/|the first]", ""},
      {"a server before any name", server_list_text("SERVER h1\n/m1/\nx\nFINAL A\n"), 0, list_read, "A",
       "[h1|/m1/Not Yet Scanned/|x]", ""},
      {"each server the last name before it",
       server_list_text("FINAL A\nSERVER h1\n/m1/\nx\nFINAL C\nBETA D\nSERVER h2\n/m2/\ny\n"), 0, list_read, "C",
       "[h1|/m1/A/|x][h2|/m2/C/|y]", ""},
      {"INS_VERSION 20603", server_list_text("INS_VERSION 20603 http://a.example/ w2\nSERVER h\n/m/\nx\n"), 0,
       list_read, "Not Yet Scanned", "[h|/m/Not Yet Scanned/|x]", ""},
      {"INS_VERSION 20603b", server_list_text("INS_VERSION 20603b http://a.example/ w2\nSERVER h\n/m/\nx\n"), 0,
       list_read, "Not Yet Scanned", "[h|/m/Not Yet Scanned/|x]", ""},
      {"INS_VERSION negative", server_list_text("INS_VERSION -99999 http://a.example/ w2\nSERVER h\n/m/\nx\n"), 0,
       list_read, "Not Yet Scanned", "[h|/m/Not Yet Scanned/|x]", ""},
      {"INS_VERSION 20604", server_list_text("SERVER h\n/m/\nx\nINS_VERSION  20604 http://new.example/get w2 more\n"), 0,
       list_newer_installer, "Not Yet Scanned", "", "http://new.example/get"},
      {"INS_VERSION too long for an int",
       server_list_text("INS_VERSION 9999999999999999999999999 http://new.example/ w2\n"), 0, list_newer_installer,
       "Not Yet Scanned", "", "http://new.example/"},
      {"INS_VERSION without a blank", server_list_text("INS_VERSION\nSERVER h\n/m/\nx\n"), 0, list_read,
       "Not Yet Scanned", "[h|/m/Not Yet Scanned/|x]", ""},
      {"ENDOFLIST ends it", server_list_text("FINAL A\nSERVER h1\n/m1/\nx\nENDOFLIST\nSERVER h2\n/m2/\ny\n"), 0,
       list_read, "A", "[h1|/m1/A/|x]", ""},
      {"ENDOFLIST at the very end", server_list_text("FINAL A\nENDOFLIST"), 0, list_read, "A", "", ""},
      {"blanks, empty lines and CR LF",
       server_list_text("\r\n  FINAL\tA A \r\n\r\n\tSERVER host \r\n  /m 1/ \r\naddress \r\n"), 0, list_read, "A A ",
       "[host |/m 1/ A A /|address ]", ""},
      {"other lines skipped", server_list_text("SERVERS h0\nCOMMENT x\nFINAL A\nSERVER h1\n/m1/\nx\n"), 0, list_read,
       "A", "[h1|/m1/A/|x]", ""},
      {"unusable servers skipped",
       server_list_text("FINAL A\nSERVER h/x/\n/m1/\nx\nSERVER h2\nm2/\ny\nSERVER h3\n/m3/\nz\n"), 0, list_read, "A",
       "[h3|/m3/A/|z]", ""},
  };
  for (const auto& c : cases) {
    servers.clear();
    install_name = "Not Yet Scanned";
    stg.get_beta = c.get_beta;
    const std::string path = tmp_ + "serverlist9.txt";
    ASSERT_TRUE(test_write_file(path, c.text));
    std::string page;
    xer_capture log;
    EXPECT_EQ(UTL_read_server_list(path, &page), c.result) << c.what;
    EXPECT_EQ(install_name, c.name) << c.what;
    EXPECT_EQ(describe(servers), c.servers) << c.what;
    EXPECT_EQ(page, c.page) << c.what;
  }
  EXPECT_EQ(UTL_read_server_list(tmp_ + "missing.txt", nullptr), list_bad_format);
}

TEST_F(ServerList, CommandLineOptions) {
  const std::string listed = "[h1|/m1/A/|a1][h2|/m2/A/|a2]";
  const std::string first = "[h1|/m1/A/|a1]";
  std::string hundred;
  for (int i = 0; i < k_max_server_clones; ++i) hundred += first;
  const struct {
    std::map<std::string, std::string> options;
    std::string want;
    const char* log;
  } cases[] = {
      {{}, listed, ""},
      {{{"--server", "h/dir/"}}, "[h|/dir/A/|h/dir/]", ""},
      {{{"--server", "h/dir/"}, {"--install_name", "Other"}}, "[h|/dir/Other/|h/dir/]", ""},
      {{{"--install_name", "Other"}}, listed, ""},
      {{{"--add_server", "h3/d/"}}, listed + "[h3|/d/A/|h3/d/]", ""},
      {{{"--server", "h/d/"}, {"--add_server", "h3/e/"}}, "[h|/d/A/|h/d/][h3|/e/A/|h3/e/]", ""},
      {{{"--server_clone", "3"}}, listed + first + first + first, ""},
      {{{"--server_clone", "2x"}}, listed + first + first, ""},
      {{{"--server_clone", "0"}}, listed, ""},
      {{{"--server_clone", "-1"}}, listed, ""},
      {{{"--server_clone", "x"}}, listed, ""},
      {{{"--server_clone", ""}}, listed, ""},
      {{{"--server_clone", "99999999999999999999"}}, listed + hundred, ""},
      {{{"--server", "nohost"}}, listed, "Ignoring --server=nohost: it needs a host, a '/' and a folder.\n"},
      {{{"--add_server", "nohost"}}, listed, "Ignoring --add_server=nohost: it needs a host, a '/' and a folder.\n"},
  };
  for (const auto& c : cases) {
    servers = {{"h1", "/m1/A/", "a1"}, {"h2", "/m2/A/", "a2"}};
    install_name = "A";
    cmdline.options = c.options;
    xer_capture log;
    UTL_apply_server_options();
    const std::string what = testing::PrintToString(c.options);
    EXPECT_EQ(describe(servers), c.want) << what;
    EXPECT_EQ(log.text(), c.log) << what;
  }
  // No server to clone: nothing to copy.
  servers.clear();
  cmdline.options = {{"--server_clone", "3"}};
  UTL_apply_server_options();
  EXPECT_TRUE(servers.empty());
}

TEST_F(ServerList, DirectoryProgressFromTheStream) {
  const struct {
    bool stream;
    int32_t length, received;
    int percent;
    float bar;
  } cases[] = {
      {false, 0, 0, 0, 0.0f},
      {true, -1, 0, -1, -0.01f},
      {true, -1, 500, -1, -0.01f},
      {true, 0, 0, -1, -0.01f},
      {true, 200, 50, 25, 0.25f},
      {true, 200, 200, 100, 1.0f},
      // R × 100 overflows 32 bits.
      {true, 2100000000, 2000000000, 95, 2000000000.0f / 2100000000.0f},
  };
  for (const auto& c : cases) {
    web_reset_http();
    http.make_stream_if_needed(1);
    if (c.stream) {
      http.streams[1] = new down_class(0, 0);
      http.streams[1]->mContentLength = c.length;
      http.streams[1]->mReceived = c.received;
    }
    const download_progress p = UTL_directory_progress();
    EXPECT_EQ(p.percent, c.percent) << c.length << " " << c.received;
    EXPECT_FLOAT_EQ(p.bar, c.bar) << c.length << " " << c.received;
  }
  web_reset_http();
}

TEST_F(ServerList, TheMakersHostFromItsAddress) { EXPECT_EQ(UTL_maker_host(), "www.duvizo.example"); }

// The downloads through nginx, which serves its root by path whatever host
// the request line names.
class ServerDownload : public ServerList {
 protected:
  void SetUp() override {
    ServerList::SetUp();
    root_ = test_scratch_dir("site");
    ASSERT_TRUE(nginx_.start(root_));
    web_use_proxy(nginx_.port);
  }
  // Steps until done() holds or app_done is set; false after 20 s.
  template <class Done>
  bool step_until(Done done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < end) {
      UTL_download_directory();
      if (done() || app_done) return true;
      std::this_thread::sleep_for(std::chrono::microseconds(300));
    }
    return false;
  }
  // A directory file with one file, zipped as "directory.txt.zip" in folder.
  void put_directory(const std::string& folder, const std::string& header = "I\n900 version\nINSTALLER\n") {
    ASSERT_EQ(test_run("mkdir -p '" + folder + "'"), 0);
    ASSERT_TRUE(test_write_file(folder + "directory.txt",
                                header + "\nDIR All/\nFILE 0 0 1 0 0 0123456789abcdef0123456789abcdef a.txt\n"));
    ASSERT_EQ(test_run("cd '" + folder + "' && zip -q -X directory.txt.zip directory.txt && rm directory.txt"), 0);
  }
  size_t requests_for(const std::string& target) {
    const std::string log = nginx_.access_log();
    size_t n = 0;
    for (size_t at = 0; (at = log.find(target, at)) != std::string::npos; ++at) ++n;
    return n;
  }
  nginx_peer nginx_;
  std::string root_;
};

TEST_F(ServerDownload, ListThenDirectoryFromTheFirstServer) {
  ASSERT_TRUE(test_write_file(root_ + "serverlist9.txt",
                              server_list_text("FINAL Duvizo 10\nINS_VERSION 20603 x y\nSERVER one.example\n/m1/\n"
                                               "first\nSERVER two.example\n/m2/\nsecond\nENDOFLIST\n")));
  put_directory(root_ + "m1/Duvizo 10/");
  ASSERT_TRUE(step_until([] { return stg.stage == 3; }));
  EXPECT_EQ(app_done, 0);
  EXPECT_EQ(describe(servers), "[one.example|/m1/Duvizo 10/|first][two.example|/m2/Duvizo 10/|second]");
  EXPECT_EQ(install_name, "Duvizo 10");
  ASSERT_EQ(sim_info.size(), 1u);
  EXPECT_EQ(current_version(0).path, "All/a.txt");
  EXPECT_EQ(test_list_folder(tmp_), (std::vector<std::string>{"directory.txt", "serverlist9.txt"}));
  EXPECT_EQ(requests_for("\"GET http://www.duvizo.example/serverlist9.txt HTTP/1.1\""), 1u) << nginx_.access_log();
  EXPECT_EQ(requests_for("\"GET http://one.example/m1/Duvizo%2010/directory.txt.zip HTTP/1.1\""), 1u)
      << nginx_.access_log();
  // Stage 3 is final: more steps fetch nothing.
  for (int i = 0; i < 5; ++i) UTL_download_directory();
  EXPECT_EQ(stg.stage, 3);
}

TEST_F(ServerDownload, AListWithoutServersIsFetchedAgain) {
  ASSERT_TRUE(test_write_file(root_ + "serverlist9.txt", server_list_text("FINAL Duvizo 10\n")));
  ASSERT_TRUE(step_until([&] { return requests_for("serverlist9.txt") >= 3; }));
  EXPECT_TRUE(servers.empty());
  EXPECT_EQ(stg.stage, 0);
}

TEST_F(ServerDownload, AStaleServerIndexIsBroughtIntoRange) {
  ASSERT_TRUE(
      test_write_file(root_ + "serverlist9.txt", server_list_text("FINAL Duvizo 10\nSERVER one.example\n/m1/\nx\n")));
  put_directory(root_ + "m1/Duvizo 10/");
  stg.server = 4;
  ASSERT_TRUE(step_until([] { return !servers.empty(); }));
  EXPECT_EQ(stg.server, 0);
  ASSERT_TRUE(step_until([] { return stg.stage == 3; }));
}

TEST_F(ServerDownload, FormatsAndInstallersNewerThanThisOne) {
  const struct {
    const char* what;
    std::string list;
    const char* opened;
    int mark;
    const char* first_line;
  } cases[] = {
      {"another version", server_list_text("FINAL A\n", 900), "https://www.duvizo.example/download.html\n", 2,
       "OK I am checking the Corvane Research servers and I am finding file formats that are newer than I can "
       "understand!"},
      {"not a list", "<html>Not here</html>\n", "https://www.duvizo.example/download.html\n", 2,
       "OK I am checking the Corvane Research servers and I am finding file formats that are newer than I can "
       "understand!"},
      {"a newer installer", server_list_text("FINAL A\nSERVER h\n/m/\nx\nINS_VERSION 20604 https://new.example/get w\n"),
       "https://new.example/get\n", 0, "There is a newer version of the Duvizo web updater available."},
      {"a newer installer on no web page", server_list_text("INS_VERSION 30000 file:///etc/passwd w\n"),
       "https://www.duvizo.example/download.html\n", 0, "There is a newer version of the Duvizo web updater available."},
  };
  for (const auto& c : cases) {
    web_reset_state();
    web_use_proxy(nginx_.port);
    ASSERT_TRUE(test_write_file(root_ + "serverlist9.txt", c.list));
    fake_opener opener;
    web_alert_recorder alerts;
    ASSERT_TRUE(step_until([] { return false; })) << c.what;
    EXPECT_EQ(app_done, 1) << c.what;
    EXPECT_TRUE(servers.empty()) << c.what;
    EXPECT_EQ(stg.new_format_mark, c.mark) << c.what;
    EXPECT_EQ(opener.opened(), c.opened) << c.what;
    ASSERT_EQ(alerts.alerts.size(), 1u) << c.what;
    EXPECT_EQ(alerts.alerts[0].kind, t_warning) << c.what;
    EXPECT_EQ(alerts.alerts[0].lines[0], c.first_line) << c.what;
    if (c.mark) {
      EXPECT_EQ(alerts.alerts[0].lines[1], "In other words, you need to get a new installer!");
      EXPECT_EQ(alerts.alerts[0].lines[2],
                "Please get it from the download section of https://www.duvizo.example/.");
      EXPECT_EQ(alerts.alerts[0].lines[3], temp_path + "serverlist9.txt");
    } else {
      EXPECT_EQ(alerts.alerts[0].lines[1], "I will take you to the web page where you can downoad it.");
    }
  }
}

TEST_F(ServerDownload, AFailedDirectoryMovesToARandomServer) {
  // Three servers that all lack the directory: every failure draws the next
  // server from rand().
  ASSERT_TRUE(test_write_file(root_ + "serverlist9.txt",
                              server_list_text("FINAL D\nSERVER a.example\n/a/\nx\nSERVER b.example\n/b/\nx\n"
                                               "SERVER c.example\n/c/\nx\n")));
  srand(7);
  std::string expected = "a";
  for (int i = 0; i < 4; ++i) expected += "abc"[rand() % 3];
  srand(7);
  // The hosts the directory was asked from, in order.
  auto asked = [&] {
    std::string hosts;
    std::istringstream log(nginx_.access_log());
    for (std::string line; std::getline(log, line);) {
      const size_t at = line.find("GET http://");
      if (at != std::string::npos && line.find("directory.txt.zip") != std::string::npos) hosts += line[at + 11];
    }
    return hosts;
  };
  ASSERT_TRUE(step_until([&] { return asked().size() >= expected.size(); }));
  EXPECT_EQ(asked().substr(0, expected.size()), expected);
  EXPECT_EQ(stg.stage, 0);
}

TEST_F(ServerDownload, AnArchiveThatDoesNotUnpackIsFetchedAgain) {
  ASSERT_TRUE(test_write_file(root_ + "serverlist9.txt", server_list_text("FINAL D\nSERVER a.example\n/a/\nx\n")));
  ASSERT_EQ(test_run("mkdir -p '" + root_ + "a/D'"), 0);
  ASSERT_TRUE(test_write_file(root_ + "a/D/directory.txt.zip", "this is no zip archive\n"));
  web_alert_recorder alerts;
  ASSERT_TRUE(step_until([&] { return alerts.alerts.size() >= 2; }));
  const std::string archive = temp_path + "directory.txt.zip";
  EXPECT_EQ(alerts.alerts[0].kind, t_warning);
  EXPECT_EQ(alerts.alerts[0].lines[0], "The installer cannot extract a file.");
  EXPECT_EQ(alerts.alerts[0].lines[1].rfind("Error: ", 0), 0u) << alerts.alerts[0].lines[1];
  EXPECT_EQ(alerts.alerts[0].lines[1].back(), '.');
  EXPECT_EQ(alerts.alerts[0].lines[2], "Compressed File  " + archive + ".");
  EXPECT_EQ(alerts.alerts[0].lines[3], "Destination Path: " + temp_path + ".");
  EXPECT_EQ(stg.stage, 0);
  EXPECT_EQ(test_list_folder(temp_path), std::vector<std::string>{"serverlist9.txt"});
  EXPECT_GE(requests_for("a.example/a/D/directory.txt.zip"), 2u);
}

TEST_F(ServerDownload, ARefusedDirectoryHeaderIsFinal) {
  ASSERT_TRUE(test_write_file(root_ + "serverlist9.txt", server_list_text("FINAL D\nSERVER a.example\n/a/\nx\n")));
  put_directory(root_ + "a/D/", "I\n900 version\nSOMETHINGELSE\n");
  ASSERT_TRUE(step_until([] { return stg.stage == 2; }));
  for (int i = 0; i < 5; ++i) UTL_download_directory();
  EXPECT_EQ(stg.stage, 2);
  EXPECT_EQ(requests_for("directory.txt.zip"), 1u);
}

TEST_F(ServerDownload, NoAnswerNoAlertAndNoServers) {
  web_use_proxy(test_free_port());  // nothing listens there
  web_alert_recorder alerts;
  for (int i = 0; i < 200; ++i) {
    UTL_download_directory();
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  EXPECT_TRUE(servers.empty());
  EXPECT_TRUE(alerts.alerts.empty());
  EXPECT_EQ(app_done, 0);
}

}  // namespace
