// The web updater's and the web demo's screens through real frames: step
// lists and destinations, the search texts in every state (with scripted HTTP
// peers for the directory's download), what "nothing to do" means, the
// install screen's texts, the quit questions and the demo's destination.
#include <stdio.h>
#include <sys/stat.h>
#include <chrono>
#include <thread>
#include "core/globs.h"
#include "core/xtim.h"
#include "engine/next.h"
#include "engine/utils_checksum.h"
#include "engine/utils_choose.h"
#include "engine/utils_table.h"
#include "files/file_paths.h"
#include "files/http.h"
#include "installer/dvd_flows.h"
#include "installer/inst_state.h"
#include "installer/velora.h"
#include "installer/web_screens.h"
#include "support/gl_console.h"
#include "support/http_peers.h"
#include "support/test_env.h"
#include "support/xer_capture.h"
#include "web_support.h"
#include "widgets/click_fixture.h"

namespace {

const bool gl_ready = gl_console_register();

class WebScreens : public Clicks {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gl_ready);
    Clicks::SetUp();
    tmp_ = web_reset_state();
    get_OS_abs_path(os_dir_prefs, registry_);
    registry_ += "velora_install.txt";
    remove(registry_.c_str());
    cmd_line_path.clear();
    all_velroots.clear();
    step_names.clear();
    step_funcs.clear();
  }
  void TearDown() override {
    web_reset_state();
    remove(registry_.c_str());
    cmd_line_path.clear();
    all_velroots.clear();
    Clicks::TearDown();
  }
  // One frame with fn as the current screen; its result.
  int run(screen_func fn, int first, wizard_screen& s) {
    int r = 0;
    d->frame([&] { r = fn(first, s); });
    return r;
  }
  // Runs fn frame after frame (first on the first one) until pred(s) holds;
  // false when 20 s of wall time pass first.
  template <class Pred>
  bool run_until(screen_func fn, wizard_screen& s, Pred pred) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (int first = 1; std::chrono::steady_clock::now() < end; first = 0) {
      s = wizard_screen();
      run(fn, first, s);
      if (pred(s)) return true;
      std::this_thread::sleep_for(std::chrono::microseconds(300));
    }
    return false;
  }
  // Registered installations: folders made under the scratch folder.
  std::vector<std::string> register_copies(int n) {
    std::vector<std::string> roots;
    std::string lines;
    for (int i = 0; i < n; ++i) {
      roots.push_back(test_scratch_dir("copy"));
      lines += roots.back() + "\n";
    }
    if (n) test_write_file(registry_, lines);
    return roots;
  }
  // A directory file of the given FILE records in the temporary folder.
  void put_directory(const std::string& records) {
    ASSERT_TRUE(test_write_file(temp_path + "directory.txt", "I\n900 version\nINSTALLER\n\nDIR All/\n" + records));
  }
  std::string tmp_, registry_;
};

// A file of the table: its current version as the checksum pass left it.
int add(const std::string& path, const std::string& want, const std::string& have, float comp_kb = 1,
        float exp_kb = 1) {
  file_history_struct h;
  file_version_struct v;
  v.path = path;
  v.sig_want = want;
  v.sig_have = have;
  v.up_to_date = want == have;
  v.compressed_kb = comp_kb;
  v.expanded_kb = exp_kb;
  h.versions.push_back(v);
  sim_info.push_back(h);
  return static_cast<int>(sim_info.size()) - 1;
}

const std::string k_md5a = "0123456789abcdef0123456789abcdef";
const std::string k_md5b = "fedcba9876543210fedcba9876543210";

TEST_F(WebScreens, UpdaterWelcomeStepsAndDestination) {
  const struct {
    const char* what;
    const char* path;
    int copies;
    int dest_copy;  // -1: the path, -2: empty
    bool pick_step;
  } cases[] = {
      {"no copy", "", 0, -2, true},
      {"one copy", "", 1, 0, true},
      {"two copies", "", 2, -2, true},
      {"-path without '/'", "/some/sim", 1, -1, false},
      {"-path", "/some/sim/", 0, -1, false},
  };
  for (const auto& c : cases) {
    remove(registry_.c_str());
    const std::vector<std::string> roots = register_copies(c.copies);
    cmd_line_path = c.path;
    wizard_screen s;
    EXPECT_EQ(run(net_start, 1, s), 0) << c.what;
    std::vector<std::string> names = {"Welcome", "Search for Updates", "Check Disk Space", "Install Updates", "Finish"};
    std::vector<screen_func> funcs = {net_start, net_get_updates, net_check_disk, net_run_patch, net_done};
    if (c.pick_step) {
      names.insert(names.begin() + 1, "Pick Destination");
      funcs.insert(funcs.begin() + 1, net_pick_dest);
    }
    EXPECT_EQ(step_names, names) << c.what;
    EXPECT_EQ(step_funcs, funcs) << c.what;
    const std::string want = c.dest_copy == -1 ? "/some/sim/" : c.dest_copy == -2 ? "" : roots[c.dest_copy];
    EXPECT_EQ(dest_dir_path, want) << c.what;
    EXPECT_EQ(s.next_screen, c.pick_step ? net_pick_dest : net_get_updates) << c.what;
    EXPECT_EQ(s.back, nullptr) << c.what;
    EXPECT_EQ(s.flag, 1) << c.what;
    EXPECT_EQ(s.title, "Duvizo 9 Web Updater") << c.what;
    EXPECT_EQ(s.text, "I will guide you through the process of updating your copy of Duvizo 9 to the latest version.");
  }
  // The beta box stands at (250, 400).
  EXPECT_EQ(stg.get_beta, 0);
  d->press(250, 404);
  wizard_screen s;
  run(net_start, 0, s);
  d->release(250, 404);
  EXPECT_EQ(stg.get_beta, 1);
}

TEST_F(WebScreens, UpdaterPickDestination) {
  for (int copies = 1; copies <= 2; ++copies) {
    remove(registry_.c_str());
    register_copies(copies);
    locate_all_veloras();
    dest_dir_path = all_velroots[0];
    wizard_screen s;
    run(net_pick_dest, 1, s);
    const std::string more = copies == 2 ? "You have more than one copy of Duvizo 9 installed on this computer.  " : "";
    EXPECT_EQ(s.text, more + "Please select which copy of Duvizo 9 you would like to update.");
    EXPECT_EQ(s.title, "Pick Destination");
    EXPECT_EQ(s.back, net_start);
    EXPECT_EQ(s.next_screen, net_get_updates);
  }
  dest_dir_path.clear();
  all_velroots.clear();
  wizard_screen s;
  run(net_pick_dest, 0, s);
  EXPECT_EQ(s.next_screen, nullptr);
}

TEST_F(WebScreens, SearchWhileTheListCannotBeFetched) {
  web_use_proxy(test_free_port());
  const struct {
    screen_func screen;
    const char* text;
    screen_func back;
  } cases[] = {
      {net_get_updates, "I am contacting www.duvizo.example to find an update server.", net_pick_dest},
      {demo_get_updates, "I am contacting www.duvizo.example to find a demo server.", see_eula},
  };
  for (const auto& c : cases) {
    for (int frame = 0; frame < 30; ++frame) {
      wizard_screen s;
      EXPECT_EQ(run(c.screen, frame == 0, s), 0);
      EXPECT_EQ(s.text, c.text);
      EXPECT_EQ(s.back, c.back);
      EXPECT_EQ(s.next_screen, nullptr);
      EXPECT_LT(s.progress, 0);
    }
    EXPECT_TRUE(servers.empty());
  }
}

TEST_F(WebScreens, SearchWithARefusedDirectory) {
  servers = {{"h.example", "/d/", ""}};
  stg.stage = 2;
  for (screen_func screen : {net_get_updates, demo_get_updates}) {
    wizard_screen s;
    EXPECT_EQ(run(screen, 1, s), 0);
    EXPECT_EQ(s.text, "There was a problem reading information from the servers.");
    EXPECT_EQ(s.next_screen, nullptr);
    EXPECT_LT(s.progress, 0);
  }
}

TEST_F(WebScreens, DirectoryDownloadWithoutAndWithItsLength) {
  // A server that answers nothing: no length yet, so no bar.
  {
    script_peer silent;
    ASSERT_TRUE(silent.start("silent"));
    web_use_proxy(silent.port);
    servers = {{"h.example", "/d/", ""}};
    wizard_screen s;
    ASSERT_TRUE(run_until(net_get_updates, s, [](const wizard_screen&) {
      return http.streams.size() > 1 && http.streams[1] && http.streams[1]->mResponseCode == 0;
    }));
    EXPECT_EQ(s.status,
              "I am checking the net for the latest version of Duvizo 9 right now, and I am connecting to the "
              "server...");
    EXPECT_FLOAT_EQ(s.progress, -0.01f);
    EXPECT_EQ(s.text, "I am downloading patch info from h.example.");
  }
  web_reset_state();
  // Three bytes announced, released one at a time.
  script_peer drip;
  ASSERT_TRUE(drip.start("drip"));
  web_use_proxy(drip.port);
  servers = {{"h.example", "/d/", ""}};
  wizard_screen s;
  ASSERT_TRUE(run_until(demo_get_updates, s, [](const wizard_screen& w) { return w.progress >= 0; }));
  EXPECT_EQ(s.status, "I am checking the net for the latest version of Duvizo 9 right now, and I am 0% done checking.");
  EXPECT_EQ(s.text, "I am downloading demo info from h.example.");
  drip.release_byte();
  ASSERT_TRUE(run_until(demo_get_updates, s, [](const wizard_screen& w) { return w.progress > 0.3f; }));
  EXPECT_EQ(s.status,
            "I am checking the net for the latest version of Duvizo 9 right now, and I am 33% done checking.");
  EXPECT_FLOAT_EQ(s.progress, 1.0f / 3.0f);
}

TEST_F(WebScreens, EnteringAgainReadsTheKeptDirectory) {
  servers = {{"h.example", "/d/", ""}};
  dest_dir_path = tmp_ + "no such copy/";
  put_directory("FILE 0 0 1 2 3 " + k_md5a + " a.txt\n");
  stg.stage = 3;
  wizard_screen s;
  EXPECT_EQ(run(net_get_updates, 1, s), 1);
  EXPECT_EQ(s.next_screen, net_check_disk);
  EXPECT_EQ(s.back, nullptr);
  ASSERT_EQ(sim_info.size(), 1u);
  EXPECT_EQ(stg.total_exp_kb, 3);  // the sizes are counted once the pass is done
  EXPECT_EQ(stg.files_to_install, 1);

  sim_info.clear();
  stg.stage = 3;
  s = wizard_screen();
  EXPECT_EQ(run(demo_get_updates, 1, s), 1);
  EXPECT_EQ(s.next_screen, demo_pick_dest);
  EXPECT_EQ(sim_info.size(), 1u);
  EXPECT_EQ(stg.stage, 3);
}

TEST_F(WebScreens, ScanningAnInstallation) {
  servers = {{"h.example", "/d/", ""}};
  dest_dir_path = test_scratch_dir("copy");
  std::string records;
  for (int i = 0; i < 40; ++i) {
    const std::string name = "f" + std::to_string(i) + ".txt";
    ASSERT_TRUE(test_write_file(dest_dir_path + name, name));
    records += "FILE 0 0 1 0 0 " + k_md5a + " " + name + "\n";
  }
  put_directory(records);
  stg.stage = 1;
  int scanning_frames = 0;
  wizard_screen s;
  ASSERT_TRUE(run_until(net_get_updates, s, [&](const wizard_screen& w) {
    if (w.next_screen) return true;
    if (!w.status.empty()) {
      ++scanning_frames;
      EXPECT_EQ(w.text, "I am scanning " + dest_dir_path + " to see what files need updating.");
      EXPECT_EQ(w.status.rfind("Scanning ", 0), 0u) << w.status;
      EXPECT_NE(w.status.find(" of 40 files."), std::string::npos) << w.status;
      EXPECT_EQ(w.quit, checksum_directory_kill);
      EXPECT_EQ(w.back, net_pick_dest);
    }
    return false;
  }));
  EXPECT_EQ(s.next_screen, net_check_disk);
  EXPECT_EQ(stg.files_to_install, 40);  // every file differs from its digest
  (void)scanning_frames;
}

TEST_F(WebScreens, BackDuringTheScanAndAgain) {
  // Going Back while the pass's workers still digest files, then entering
  // again: the table they write into is read anew only once they are done.
  servers = {{"h.example", "/d/", ""}};
  dest_dir_path = test_scratch_dir("copy");
  std::string records;
  const std::string block(1 << 20, 'x');
  for (int i = 0; i < 48; ++i) {
    const std::string name = "f" + std::to_string(i) + ".bin";
    ASSERT_TRUE(test_write_file(dest_dir_path + name, block));
    records += "FILE 0 0 1 0 0 " + k_md5a + " " + name + "\n";
  }
  put_directory(records);
  stg.stage = 1;
  xer_capture log;
  wizard_screen s;
  EXPECT_EQ(run(net_get_updates, 1, s), 0);
  EXPECT_EQ(stg.stage, 3);
  s = wizard_screen();
  run(net_pick_dest, 1, s);
  s = wizard_screen();
  ASSERT_TRUE(run_until(net_get_updates, s, [](const wizard_screen& w) { return w.next_screen != nullptr; }));
  EXPECT_EQ(stg.files_to_install, 48);
  // The first pass was ended before the second one started.
  const std::string text = log.text();
  size_t starts = 0;
  for (size_t at = 0; (at = text.find(" Start of MD5 at ", at)) != std::string::npos; ++at) ++starts;
  EXPECT_EQ(starts, 2u) << text;
}

TEST_F(WebScreens, NothingToDoMeansNoFileToInstallOrDelete) {
  const struct {
    const char* what;
    std::string want, have;
    float comp_kb, exp_kb;
    bool nothing;
    const char* size;
  } cases[] = {
      {"current", k_md5a, k_md5a, 3, 3, true, ""},
      {"a small changed file", k_md5a, k_md5b, 0, 0, false, "0 KB"},
      {"a changed file", k_md5a, k_md5b, 1536, 3000, false, "2 MB"},
      {"a present file the set dropped", "GONE", k_md5b, 0, 0, false, "0 KB"},
      {"a dropped file already gone", "GONE", "NONE", 0, 0, true, ""},
  };
  for (const auto& c : cases) {
    sim_info.clear();
    add("All/keep.txt", k_md5a, k_md5a);
    add("All/x.txt", c.want, c.have, c.comp_kb, c.exp_kb);
    recalc_disk_sizes();
    install_name = "Duvizo 10";
    dest_dir_path = tmp_;
    wizard_screen s;
    EXPECT_EQ(run(net_check_disk, 1, s), c.nothing ? 1 : 0) << c.what;
    EXPECT_EQ(s.next_screen, c.nothing ? net_done : net_run_patch) << c.what;
    EXPECT_EQ(s.title, "Check Disk Space");
    if (!c.nothing) {
      EXPECT_EQ(s.text, std::string("You are about to download ") + c.size +
                            " of compressed data to update to Duvizo 10.")
          << c.what;
    }
    wizard_screen done;
    run(net_done, 1, done);
    const std::string want = c.nothing ? "This copy of Duvizo (" + tmp_ + ") is already up to date."
                                       : "I have finished updating " + tmp_ + ".";
    EXPECT_EQ(done.text, want) << c.what;
    EXPECT_EQ(done.choice_names, std::vector<std::string>{"Fly Duvizo Now"}) << c.what;
    EXPECT_EQ(done.choice_funcs, std::vector<screen_func>{dvd_do_run_sim}) << c.what;
    EXPECT_EQ(done.next_screen, wizard_quit);
    EXPECT_EQ(done.back, nullptr);
    EXPECT_EQ(done.title, "Finshed Web Update");
  }
  // A pass that stopped on a failed unpack.
  sim_info.clear();
  add("All/x.txt", k_md5a, k_md5b);
  recalc_disk_sizes();
  wizard_screen disk;
  run(net_check_disk, 1, disk);
  stg.extract_problem = 1;
  wizard_screen done;
  run(net_done, 1, done);
  EXPECT_EQ(done.text, "There were problems updating Duvizo.  You can try this updater again using a different server.");
  EXPECT_TRUE(done.choice_names.empty());
}

TEST_F(WebScreens, InstallTexts) {
  const float now = 100;
  const struct {
    const char* what;
    int servers;
    float rat;
    std::vector<next_class::stream_info> streams;
    float done_comp_kb, total_comp_kb;
    int finished_form;
    std::string want;
  } cases[] = {
      {"at 1% nothing", 1, 0.01f, {}, 10, 100, 1, ""},
      {"one server, nothing fetched", 1, 0.5f, {}, 0, 100, 1,
       "About 0 seconds left in the install, downloading at 0 kilobytes/second with 1 download stream.\n\n"
       "h0 is finished."},
      {"two servers", 2, 0.5f, {}, 0, 100, 1,
       "About 0 seconds left in the install, downloading at 0 kilobytes/second with 2 simultaneous servers.\n\n"
       "h0 is finished.\n\nh1 is finished."},
      {"the demo never says finished", 1, 0.5f, {}, 0, 100, 0,
       "About 0 seconds left in the install, downloading at 0 kilobytes/second with 1 download stream.\n\n"
       "Downloading at 0 kilobytes/second from h0."},
      {"rates and time left", 2, 0.5f,
       {{0, 0, 0, 30, 0, ""}, {0, 0, 0, 10, 0, ""}}, 40, 100, 1,
       "About 15 seconds left in the install, downloading at 4 kilobytes/second with 2 simultaneous servers.\n\n"
       "Downloading at 3 kilobytes/second from h0.\n\nDownloading at 1 kilobyte/second from h1."},
      {"a retry in 0, 1 and 2 seconds", 3, 0.5f,
       {{0, 1, 0, 0, now + 0.5f, "Oops"}, {0, 1, 0, 0, now + 1.5f, "Oops"}, {0, 1, 0, 0, now + 2.5f, "Oops"}}, 0, 100,
       1,
       "About 0 seconds left in the install, downloading at 0 kilobytes/second with 3 simultaneous servers.\n\n"
       "h0: Oops.  Will retry in 0 seconds.\n\nh1: Oops.  Will retry in 1 second.\n\nh2: Oops.  Will retry in 2 "
       "seconds."},
  };
  for (const auto& c : cases) {
    servers.clear();
    for (int i = 0; i < c.servers; ++i) servers.push_back({"h" + std::to_string(i), "/d/", ""});
    sim_info.clear();
    add("All/a.txt", k_md5a, "NONE");
    next.reset_all_streams();
    next.streams = c.streams;
    next.start_time = now - 10;
    next.done_comp_kb = c.done_comp_kb;
    stg.total_comp_kb = c.total_comp_kb;
    xtim.real_time = now;
    EXPECT_EQ(web_install_text(c.rat, c.finished_form), c.want) << c.what;
  }
}

TEST_F(WebScreens, SmoothedProgressHasATargetWhateverTheTotals) {
  // A server that never answers keeps the pass running with nothing fetched.
  web_use_proxy(test_free_port());
  servers = {{"h.example", "/d/", ""}};
  dest_dir_path = test_scratch_dir("copy");
  const int f = add("All/a.txt", k_md5a, "NONE", 0, 0);
  current_version(f).do_install = 1;
  const struct {
    float total_exp_kb;
    bool moves;
  } cases[] = {{0, true}, {10, false}};
  for (const auto& c : cases) {
    next.reset_all_streams();
    stg.total_exp_kb = c.total_exp_kb;
    float rat = 0;
    wizard_screen s;
    int done = 1;
    d->frame([&] { done = web_download_slice(s, rat, 1); });
    EXPECT_EQ(done, 0);
    // Nothing to expand counts as all of it; never a NaN.
    EXPECT_EQ(rat > 0.5f, c.moves) << rat;
    EXPECT_TRUE(rat >= 0 && rat <= 1) << rat;
    EXPECT_EQ(s.progress, rat);
  }
}

TEST_F(WebScreens, FileStatusLines) {
  crnt_file_name = "a b.txt.zip";
  const struct {
    int state;
    float progress;
    const char* want;
  } cases[] = {
      {0, 0, "Deleting a b.txt.zip because that file is no longer needed!"},
      {1, 0.456f, "Downloading and installing a b.txt.zip, currently 45% done with that file."},
      {1, -0.01f, "Downloading and installing a b.txt.zip, currently -1% done with that file."},
      {2, 0, "Skipping a b.txt.zip because it is already installed."},
      {3, 0, "Skipping a b.txt.zip because you don't need it."},
  };
  for (const auto& c : cases) {
    stg.crnt_file_state = c.state;
    stg.crnt_file_progress = c.progress;
    EXPECT_EQ(web_file_status(), c.want);
  }
}

TEST_F(WebScreens, AChoiceCancelledGoesBack) {
  // A file the user changed: choose_files asks, and the answer cancels.
  dest_dir_path = test_scratch_dir("copy");
  add("All/a.txt", k_md5a, k_md5b);
  servers = {{"h.example", "/d/", ""}};
  const struct {
    screen_func screen;
    screen_func back_to;
    const char* logged_as;
  } cases[] = {{net_run_patch, net_check_disk, "Update"}, {demo_run_patch, demo_pick_dest, "Demo install"}};
  for (const auto& c : cases) {
    web_questions q;
    q.select_answers = {3};
    wizard_screen s;
    xer_capture log;
    EXPECT_EQ(run(c.screen, 1, s), 1);
    EXPECT_EQ(s.next_screen, c.back_to);
    EXPECT_EQ(q.selected, std::vector<std::string>{dest_dir_path + "a.txt"});
    EXPECT_EQ(demo_install_is_running, 0);
    const std::string pass = std::string(c.logged_as) + " of " + dest_dir_path;
    EXPECT_EQ(log.missing_in_order({pass + " started.", pass + " cancelled: 0 files installed, 0 failed, 0 kept, 0 deleted."}),
              "")
        << log.text();
  }
  EXPECT_EQ(test_read_file(registry_), "");
}

TEST_F(WebScreens, UpdaterQuitQuestion) {
  const std::vector<std::string> asked = {
      "Are you sure you want to stop the update? Duvizo 9 will not be usable until the update is finished.  You can "
      "resume the update later.",
      "Stop", "the update.", "Continue", "the update process."};
  const struct {
    int answer, result;
  } cases[] = {{1, 1}, {0, 0}, {3, 0}};
  for (const auto& c : cases) {
    web_questions q;
    q.abort_answers = {c.answer};
    EXPECT_EQ(net_run_quit_func(), c.result) << c.answer;
    EXPECT_EQ(q.asked, std::vector<std::vector<std::string>>{asked});
  }
}

TEST_F(WebScreens, DemoQuitQuestionDeletesThePartialCopy) {
  const std::vector<std::string> asked = {
      "Are you sure you want to cancel the installation? This will delete the partially installed copy of the "
      "Duvizo 9 demo.",
      "Cancel", "the demo installation and delete partial installation.", "Continue",
      "the demo installation process."};
  const struct {
    int answer, result;
    bool kept;
  } cases[] = {{0, 0, true}, {1, 1, false}, {3, 1, false}};
  for (const auto& c : cases) {
    dest_dir_path = test_scratch_dir("demo");
    ASSERT_TRUE(test_write_file(dest_dir_path + "part.txt", "x"));
    web_questions q;
    q.abort_answers = {c.answer};
    xer_capture log;
    EXPECT_EQ(demo_run_quit_func(), c.result) << c.answer;
    EXPECT_EQ(q.asked, std::vector<std::vector<std::string>>{asked});
    struct stat st;
    EXPECT_EQ(stat(dest_dir_path.c_str(), &st) == 0, c.kept) << c.answer;
    EXPECT_EQ(log.text(), c.kept ? "" : "Deleted the partial copy " + dest_dir_path + ".\n") << c.answer;
  }
}

TEST_F(WebScreens, DemoWelcome) {
  for (int copies = 0; copies <= 1; ++copies) {
    remove(registry_.c_str());
    register_copies(copies);
    wizard_screen s;
    run(demo_start, 1, s);
    std::string want = "I will guide you through the process of installing the web demo of Duvizo 9.";
    if (copies)
      want += "\n\nWarning: you already have Duvizo 9 installed on this computer.  Are you sure you want to install a "
              "new demo copy of Duvizo 9?";
    EXPECT_EQ(s.text, want);
    EXPECT_EQ(s.title, "Welcome");
    EXPECT_EQ(s.next_screen, see_eula);
    EXPECT_EQ(s.back, nullptr);
    EXPECT_EQ(step_names, (std::vector<std::string>{"Welcome", "License", "Check Servers", "Pick Destination",
                                                    "Install", "Finish"}));
    EXPECT_EQ(step_funcs, (std::vector<screen_func>{demo_start, see_eula, demo_get_updates, demo_pick_dest,
                                                     demo_run_patch, demo_done}));
  }
  d->press(250, 274);
  wizard_screen s;
  run(demo_start, 0, s);
  d->release(250, 274);
  EXPECT_EQ(stg.get_beta, 1);
}

TEST_F(WebScreens, DemoDestination) {
  install_name = "Duvizo 10";
  std::string desktop;
  get_OS_abs_path(os_dir_desktop, desktop);
  const std::string dest = desktop + "Duvizo 9 Demo/";
  const int i = add("All/Resources/a.txt", k_md5a, "kept");

  // A folder in the way from the first frame: no way on, and the table
  // waits for a destination it can be prepared for.
  ASSERT_EQ(mkdir(dest.c_str(), 0755), 0);
  wizard_screen s;
  run(demo_pick_dest, 1, s);
  EXPECT_EQ(dest_dir_path, dest);
  EXPECT_EQ(s.next_screen, nullptr);
  EXPECT_EQ(s.text, "The folder 'Duvizo 9 Demo' already exists inside the folder '" + desktop +
                        "'.\n\nPlease change the install name or destination.");
  EXPECT_EQ(current_version(i).sig_have, "kept");

  // Removed behind the screen's back: the destination is now new and is
  // prepared, though the user changed nothing.
  ASSERT_EQ(rmdir(dest.c_str()), 0);
  s = wizard_screen();
  run(demo_pick_dest, 0, s);
  EXPECT_EQ(s.title, "Pick Install Destination for Duvizo 10.");
  EXPECT_EQ(s.text, "I will create the folder 'Duvizo 9 Demo' inside the folder '" + desktop +
                        "'.\n\n(The folder Duvizo 9 Demo will appear on your desktop.)");
  EXPECT_EQ(s.back, see_eula);
  EXPECT_EQ(s.next_screen, demo_run_patch);
  EXPECT_EQ(current_version(i).sig_have, "NONE");

  // Clearing the name: the field lies right of "Change Destination".
  const int bw = static_cast<int>(OGL_measure_string("Change Destination") + 21);
  const int x = static_cast<int>(bw * 0.5f + 300 + 10 + OGL_measure_string("Install Name:"));
  d->press(x + 20, 205);
  run(demo_pick_dest, 0, s);
  d->release(x + 20, 205);
  run(demo_pick_dest, 0, s);
  d->key(77, "");  // End
  run(demo_pick_dest, 0, s);
  for (int i = 0; i < 20; ++i) {
    d->key(42, "\b");  // Backspace
    s = wizard_screen();
    run(demo_pick_dest, 0, s);
  }
  EXPECT_EQ(dest_dir_path, desktop);
  EXPECT_EQ(s.next_screen, nullptr);
  EXPECT_EQ(s.text, "Please pick a name for your Duvizo 9 installation...");
}

TEST_F(WebScreens, DemoBackFromARunningInstall) {
  const struct {
    std::vector<int> answers;
    int result;
    bool kept;
  } cases[] = {{{0}, 1, true}, {{1}, 0, false}, {{}, 0, false}};
  for (const auto& c : cases) {
    const std::string partial = test_scratch_dir("demo");
    ASSERT_TRUE(test_write_file(partial + "part.txt", "x"));
    dest_dir_path = partial;
    demo_install_is_running = 1;
    web_questions q;
    q.abort_answers = c.answers;
    wizard_screen s;
    EXPECT_EQ(run(demo_pick_dest, 1, s), c.result);
    EXPECT_EQ(q.asked.size(), 1u);
    struct stat st;
    EXPECT_EQ(stat(partial.c_str(), &st) == 0, c.kept);
    EXPECT_EQ(demo_install_is_running, c.kept ? 1 : 0);
    if (c.result) {
      EXPECT_EQ(s.next_screen, demo_run_patch);
    }
  }
}

TEST_F(WebScreens, DemoInstallStartsOnceAndRegisters) {
  web_use_proxy(test_free_port());  // the server never answers
  servers = {{"h.example", "/d/", ""}};
  dest_dir_path = test_scratch_dir("demo") + "Duvizo 9 Demo/";
  add("All/sub/a.txt", k_md5a, "NONE", 1, 1);
  recalc_disk_sizes();
  wizard_screen s;
  EXPECT_EQ(run(demo_run_patch, 1, s), 0);
  EXPECT_EQ(demo_install_is_running, 1);
  EXPECT_EQ(test_read_file(registry_), dest_dir_path + "\n");
  struct stat st;
  EXPECT_EQ(stat((dest_dir_path + "sub").c_str(), &st), 0);
  EXPECT_EQ(s.back, demo_pick_dest);
  EXPECT_EQ(s.quit, demo_run_quit_func);
  EXPECT_EQ(s.title, "Installing");
  EXPECT_EQ(s.text, "");  // nothing fetched yet
  // Later frames go on with the same pass.
  for (int i = 0; i < 3; ++i) {
    s = wizard_screen();
    EXPECT_EQ(run(demo_run_patch, 0, s), 0);
  }
  EXPECT_EQ(test_read_file(registry_), dest_dir_path + "\n");
  wizard_screen done;
  run(demo_done, 1, done);
  EXPECT_EQ(done.text, "I have finished installing the Duvizo 9 web demo at: " + dest_dir_path + ".");
  EXPECT_EQ(done.choice_names, std::vector<std::string>{"Fly Duvizo 9 Now"});
  EXPECT_EQ(done.title, "Finshed Web Demo Install");
  stg.extract_problem = 1;
  done = wizard_screen();
  run(demo_done, 1, done);
  EXPECT_EQ(done.text, "There were problem installing the Duvizo 9 web demo - it may not be usable.");
  EXPECT_TRUE(done.choice_names.empty());
}

}  // namespace
