// The installer's start-up as the real program runs it, on an X server of
// the test's own: the command line's target platform and "-path", the
// preference file read after the resets, the registry, the system folders
// in the log, the window's title, and no temporary folder left behind.
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include "e2e_run.h"
#include "support/private_xvfb.h"

namespace {

// The probe's "name value" lines.
std::map<std::string, std::string> facts_of(const std::string& out) {
  std::map<std::string, std::string> facts;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) {
    const size_t cut = line.find(' ');
    facts[line.substr(0, cut)] += cut == std::string::npos ? "" : line.substr(cut + 1);
  }
  return facts;
}

TEST(InstallerStartUp, CommandLinePreferencesAndRegistry) {
  private_xvfb x(1024, 768);
  ASSERT_TRUE(x.ok()) << x.error();
  const struct {
    std::vector<std::string> args;
    const char* platform;
    const char* path;
  } cases[] = {
      {{"--os=ALL"}, "0", ""}, {{"--os=APL"}, "1", ""},         {{"--os=IBM"}, "2", ""},
      {{"--os=LIN"}, "3", ""}, {{"--os=lin"}, "1", ""},         {{}, "1", ""},
      {{"-path"}, "1", ""},    {{"-path", "/some/sim"}, "1", "/some/sim"},
      {{"--os=LIN", "-path", "/some/sim"}, "3", ""},
  };
  for (const auto& c : cases) {
    const std::string home = test_scratch_dir("probe");
    const std::string tmp = home + "tmp/";
    ASSERT_EQ(test_run("mkdir -p '" + tmp + "' '" + home + ".config' '" + home + "sim'"), 0);
    // The preference file's value beats start-up's reset; the registry
    // names one folder that stands and one that went.
    ASSERT_TRUE(test_write_file(home + ".config/Duvizo Installer.prf", "I\n10 version\n_log_actions 1\n"));
    ASSERT_TRUE(test_write_file(home + ".config/velora_install.txt", home + "sim/\n" + home + "gone/\n"));
    std::vector<std::string> argv = {DUV_INSTALLER_PROBE, k_bundle};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    background_run app(home, argv, {{"TMPDIR", tmp}, {"LANG", "C.UTF-8"}});
    ASSERT_EQ(app.wait_exit(), 0) << testing::PrintToString(c.args) << "\n" << log_of(home);
    const auto facts = facts_of(app.out());
    const std::string what = testing::PrintToString(c.args);
    EXPECT_EQ(facts.at("platform"), c.platform) << what;
    EXPECT_EQ(facts.at("cmd_line_path"), c.path) << what;
    EXPECT_EQ(facts.at("log_actions"), "1") << what;
    EXPECT_EQ(facts.at("crnt_file_state"), "3") << what;
    EXPECT_EQ(facts.at("install_name"), "Not Yet Scanned") << what;
    EXPECT_EQ(facts.at("velroot"), home + "sim/") << what;
    EXPECT_EQ(facts.at("temp_path").rfind(tmp + "Duvizo-", 0), 0u) << facts.at("temp_path");
    // The run's temporary folder went with it.
    EXPECT_EQ(test_list_folder(tmp), std::vector<std::string>{}) << what;
  }
}

TEST(InstallerStartUp, TheWindowsCloseRequestEndsTheRealProgram) {
  private_xvfb x(1024, 768);
  ASSERT_TRUE(x.ok()) << x.error();
  const std::string home = test_scratch_dir("installer");
  const std::string tmp = home + "tmp/";
  ASSERT_EQ(test_run("mkdir -p '" + tmp + "'"), 0);
  background_run app(home, {k_app}, {{"TMPDIR", tmp}, {"LANG", "C.UTF-8"}});
  // The task bar names the window as the bundle names the program.
  const std::string wid =
      trimmed(test_capture("timeout 30 xdotool search --sync --pid " + std::to_string(app.pid()) + " | head -1"));
  ASSERT_FALSE(wid.empty());
  EXPECT_EQ(trimmed(test_capture("xdotool getwindowname " + wid)), "Duvizo Installer");
  ASSERT_TRUE(app.close_window());
  EXPECT_EQ(app.wait_exit(), 0);
  const std::string log = log_of(home);
  std::string temp = log.substr(log.find("os_dir_temp\t\t\t=") + 15);
  temp = temp.substr(0, temp.find('\n'));
  EXPECT_EQ(temp.rfind(tmp + "Duvizo-", 0), 0u) << temp;
  const std::string bundle_folder = std::string(DUV_BINARY_DIR) + "/";
  const std::string folders = "os_dir_this_app\t\t=" + bundle_folder + "\nos_dir_desktop\t\t=" + home +
                              "Desktop/\nos_dir_default_apps\t=" + home + "Desktop/\nos_dir_temp\t\t\t=" + temp +
                              "\nos_dir_prefs\t\t\t=" + home + ".config/\n\n";
  EXPECT_NE(log.find(folders), std::string::npos) << log;
  EXPECT_EQ(test_list_folder(tmp), std::vector<std::string>{});
}

}  // namespace
