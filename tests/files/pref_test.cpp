#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <string>
#include "core/globs.h"
#include "core/utl_cmdline.h"
#include "files/http.h"
#include "files/pref.h"
#include "files/test_child.h"
#include "support/xer_capture.h"
#include "shell/cons.h"
#include "shell/wins.h"
#include "support/test_env.h"
#include "widgets/reno.h"

namespace {

std::string prefs_file() { return std::string(getenv("XDG_CONFIG_HOME")) + "/Duvizo Installer.prf"; }

// Clean installer settings and command line for one test, restored after.
struct pref_fixture : ::testing::Test {
  void SetUp() override {
    mkdir(getenv("XDG_CONFIG_HOME"), 0700);
    unlink(prefs_file().c_str());
    cmdline.options.clear();
    reset_settings();
  }
  static void reset_settings() {
    for (int i = 0; i < 4; ++i) stls.s[i].clear();
    stg.stream_count = stg.log_actions = stg.get_beta = 0;
    http.proxy_host.clear();
    http.proxy_port.clear();
    http.proxy_port_int = 0;
  }
  void TearDown() override { cmdline.options.clear(); }
};

using PrefFile = pref_fixture;

}  // namespace

TEST_F(PrefFile, MissingFileKeepsSettingsButOverridesApply) {
  stg.log_actions = 5;
  pref.IO_set(11, 0);
  EXPECT_EQ(stg.log_actions, 5);
  EXPECT_EQ(stg.stream_count, 0);
  cmdline.options["--pref:_stream_count"] = "4";
  pref.IO_set(11, 0);
  EXPECT_EQ(stg.stream_count, 4);
  EXPECT_EQ(stg.log_actions, 5);
}

TEST_F(PrefFile, OtherVersionsAreNotRead) {
  ASSERT_TRUE(test_write_file(prefs_file(), "I\n11 version\n_log_actions 1\n"));
  cmdline.options["--pref:_get_beta"] = "1";
  pref.IO_set(11, 0);
  EXPECT_EQ(stg.log_actions, 0);
  EXPECT_EQ(stg.get_beta, 1);
}

TEST_F(PrefFile, ReadingValues) {
  ASSERT_TRUE(test_write_file(prefs_file(),
                              "I\r\n10 version\r\n_log_actions 1\r\n\r\n   _log_actions 0\r\n_proxy_host  my host \r\n"
                              "_stream_count 7x\r\n_proxy_port_int\r\n_unknown_key some value\r\n_message_2 hello there"));
  http.proxy_port_int = 9;
  pref.IO_set(11, 0);
  EXPECT_EQ(stg.log_actions, 0);
  EXPECT_EQ(http.proxy_host, "my host ");
  EXPECT_EQ(stg.stream_count, 7);
  EXPECT_EQ(http.proxy_port_int, 0);
  EXPECT_EQ(stls.s[1], "hello there");

  scan_class s(prefs_file(), 0);
  EXPECT_EQ(s.entries.size(), 6u);
  EXPECT_EQ(s.entries["_unknown_key"], "some value");
}

TEST_F(PrefFile, OverridesWithoutValues) {
  ASSERT_TRUE(test_write_file(prefs_file(), "I\n10 version\n_get_beta 1\n_message_1 kept\n"));
  cmdline.options["--pref:_get_beta"] = "";
  cmdline.options["--pref:_message_1"] = "";
  pref.IO_set(11, 0);
  EXPECT_EQ(stg.get_beta, 0);
  EXPECT_EQ(stls.s[0], "");
  pref.IO_set(11, 1);
  EXPECT_EQ(test_read_file(prefs_file()).find("_message_1"), std::string::npos);
}

TEST_F(PrefFile, WritingOnlyWhatIsSet) {
  stg.stream_count = 3;
  stg.log_actions = 1;
  stg.get_beta = -2;
  pref.IO_set(11, 1);
  EXPECT_EQ(test_read_file(prefs_file()),
            "I\n10 version\n_stream_count 3\n_log_actions 1\n_proxy_port_int 0\n_get_beta -2\n");
}

TEST_F(PrefFile, RoundTripDropsUnknownKeys) {
  ASSERT_TRUE(test_write_file(prefs_file(), "I\n10 version\n_unknown 1\n"));
  stls.s[0] = "first message";
  stls.s[3] = "fourth";
  http.proxy_host = "proxy.example";
  http.proxy_port = "3128";
  http.proxy_port_int = 3128;
  stg.stream_count = 2;
  stg.log_actions = 1;
  stg.get_beta = 1;
  pref.IO_set(11, 1);
  EXPECT_EQ(test_read_file(prefs_file()),
            "I\n10 version\n_message_1 first message\n_message_4 fourth\n_stream_count 2\n_log_actions 1\n"
            "_proxy_host proxy.example\n_proxy_port 3128\n_proxy_port_int 3128\n_get_beta 1\n");
  reset_settings();
  pref.IO_set(11, 0);
  EXPECT_EQ(stls.s[0], "first message");
  EXPECT_EQ(stls.s[3], "fourth");
  EXPECT_EQ(http.proxy_host, "proxy.example");
  EXPECT_EQ(http.proxy_port, "3128");
  EXPECT_EQ(http.proxy_port_int, 3128);
  EXPECT_EQ(stg.stream_count, 2);
  EXPECT_EQ(stg.log_actions, 1);
  EXPECT_EQ(stg.get_beta, 1);
}

TEST_F(PrefFile, ScreenResolutionFile) {
  std::string root = test_scratch_dir("screen");
  std::string saved = app_path;
  app_path = root;
  // No file yet: the window size falls back to 1024 by 768.
  wins.x_res_wind = 0;
  wins.y_res_wind = 0;
  pref.IO_set(10, 0);
  EXPECT_EQ(wins.x_res_wind, 1024);
  EXPECT_EQ(wins.y_res_wind, 768);

  ASSERT_EQ(test_run("mkdir -p '" + root + "Output/preferences'"), 0);
  ASSERT_TRUE(test_write_file(root + "Output/preferences/Screen Res.prf",
                              "I\n10 version\n_x_res_wind_ALL 500\n_x_res_full_ALL 1920\n_y_res_full_ALL 1080\n"
                              "_is_full_ALL 1\n_bpp_full_ALL 32\n_hz_full_ALL 60\n_use_vsync1 1\n_alias_req 4\n"
                              "_lang 3\n_sec_mon_inuse 1\n"));
  pref.IO_set(10, 0);
  EXPECT_EQ(wins.x_res_wind, 1024);
  EXPECT_EQ(wins.y_res_wind, 768);
  EXPECT_EQ(wins.x_res_full, 1920);
  EXPECT_EQ(wins.y_res_full, 1080);
  EXPECT_EQ(wins.full_screen, 1);
  EXPECT_EQ(wins.bpp_full, 32);
  EXPECT_EQ(wins.hz_full, 60);
  EXPECT_EQ(reno.use_vsync1, 1);
  EXPECT_EQ(reno.alias_req, 4);
  EXPECT_EQ(mnw.lang, 3);
  EXPECT_EQ(cons.sec_mon_inuse, 0);

  wins.x_res_wind = 1280;
  wins.y_res_wind = 800;
  mnw.prefs_found = 0;
  pref.IO_set(10, 1);
  EXPECT_EQ(mnw.prefs_found, 1);
  std::string text = test_read_file(root + "Output/preferences/Screen Res.prf");
  EXPECT_EQ(text.rfind("I\n10 version\n_x_res_wind_PLN 0\n", 0), 0u) << text;
  EXPECT_NE(text.find("_x_res_wind_ALL 1280\n_y_res_wind_ALL 800\n_x_res_full_ALL 1920\n"), std::string::npos);
  EXPECT_NE(text.find("_hz_full_ALL 60\n_use_vsync1 1\n_use_vsync2 0\n_lang 3\n_alias_req 4\n_keylist_up 1\n"
                      "_prefs_found 1\n_sec_mon_inuse 0\n"),
            std::string::npos)
      << text;
  // Calibration: header only.
  pref.IO_set(12, 1);
  EXPECT_EQ(test_read_file(root + "Output/preferences/Calibration.prf"), "I\n10 version\n");
  app_path = saved;
  EXPECT_EQ(pref.IO_sta(1, 2, "x"), 0);
}

TEST_F(PrefFile, AFullDiskIsReported) {
  std::string config = test_scratch_dir("fullcfg");
  config.pop_back();
  std::string log = test_scratch_dir("fulllog") + "log.txt";
  int r = test_with_tmpfs(config, false, 4, nullptr, [&] {
    // Fill the small volume, then save the preferences onto it.
    test_write_file(config + "/filler", std::string(64 * 1024, 'x'));
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    xer.open(log);
    stg.stream_count = 1;
    pref.IO_set(11, 1);
    xer.close();
    return 0;
  });
  if (r == k_child_unsupported) GTEST_SKIP() << "cannot mount a small volume here";
  ASSERT_EQ(r, 0);
  std::string text = test_read_file(log);
  EXPECT_TRUE(text.find("Could not write the preference file ") != std::string::npos ||
              text.find("I could not save the file!") != std::string::npos)
      << text;
}

TEST_F(PrefFile, TheInstallerReadsAndSavesIt) {
  ASSERT_TRUE(test_write_file(prefs_file(), "I\n10 version\n_log_actions 1\n_stream_count 9\n_message_3 note\n"));
  // The installer's run, ended after its first frame.
  int status = test_run("'" DUV_INSTALLER_PROBE "' '" DUV_BINARY_DIR
                        "/Duvizo Installer.app' '--pref:_get_beta=1' > /dev/null 2>&1");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(test_read_file(prefs_file()),
            "I\n10 version\n_message_3 note\n_stream_count 9\n_log_actions 1\n_proxy_port_int 0\n_get_beta 1\n");
}
