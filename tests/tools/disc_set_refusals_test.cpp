// Master copies the build mode must refuse: each differs from the sample by
// one change, and each run ends with status 1 and its alert in the log.
#include <gtest/gtest.h>
#include "disc_set_support.h"
#include "support/test_env.h"

namespace {

struct refusal {
  const char* what;
  const char* change;  // run in the master's folder
  const char* alert;   // a line the log must hold
};

const refusal kRefusals[] = {
    {"a blank at a name's end", "touch 'All/Weapons/bomb.wpn '", "You tried to include a file or directory with a space at the end!"},
    {"a colon", "echo x > 'All/Weapons/a:b.wpn'", "found a  : in the path!"},
    {"a backslash", "echo x > 'All/Weapons/a\\b.wpn'", "found a \\ in the path!"},
    {"a copy", "echo x > 'All/Weapons/missile copy.wpn'", "found a copy file!"},
    {"C++ source", "echo x > All/Weapons/missile.cpp", "found a .cpp file!"},
    {"a file directly in All", "echo x > All/readme.txt",
     "I FOUND A FILE INSIDE THE 'ALL' FOLDER! WE SHOULD ONLY HAVE FOLDERS THERE!"},
    {"an unknown All folder", "mkdir All/Extras && echo x > All/Extras/x.txt", "What the hell is THIS doing in here!?!?!?"},
    {"a missing plug-in file", "rm All/Resources/plugins/Tessel.so", "Resources/plugins/Tessel.so"},
    {"an extra plug-in file", "echo x > All/Resources/plugins/Extra.txt",
     "ERROR: I found a file in a restricted folder, and it should not be there."},
    {"no weapons", "rm -r All/Weapons", "!found_wpn_fold"},
    // Its folder is none of those "All" may hold, so the folder check
    // refuses it before the file is reached.
    {"the forbidden threat file", "mkdir All/Resources-UAH && echo x > All/Resources-UAH/ac_threat.dat",
     "What the hell is THIS doing in here!?!?!?"},
    {"a tile without its 7z", "rm 'All/Global Scenery/-global terrain-/+40-130/+47-123.dsf.7z'",
     "This file needs a .7z archive beside it, and it has none!"},
    {"a 7z beside a file that ships zipped", "cp 'All/Global Scenery/-global terrain-/+40-130/+47-123.dsf.7z' All/Weapons/missile.wpn.7z",
     "This file has a .7z archive beside it that the installer would never ask for!"},
    {"a text Windows program", "echo 'not a program' > Windows/Duvizo.exe",
     "Oops! We could not make a windows exe file large-address-aware!"},
};

TEST(DiscSetRefusals, EachOneChangeMasterEndsWithStatusOneAndItsAlert) {
  const std::string pristine = fresh_master();
  for (const refusal& r : kRefusals) {
    SCOPED_TRACE(r.what);
    const std::string m = test_scratch_dir("variant") + "m/";
    ASSERT_EQ(test_run("cp -a " + sh_quote(pristine) + " " + sh_quote(m)), 0);
    ASSERT_EQ(test_run("cd " + sh_quote(m) + " && " + r.change), 0);
    const std::string dst = test_scratch_dir("out") + "set/";
    const tool_run run = run_disc_set("--type=1 --src=" + sh_quote(m) + " --dst=" + sh_quote(dst));
    EXPECT_EQ(run.status, 1) << run.stdout_text;
    EXPECT_NE(run.log.find("\n" + std::string(r.alert) + "\n"), std::string::npos) << alert_lines(run.log);
    EXPECT_NE(run.log.find("(Installer-f/make_installer line "), std::string::npos);
    EXPECT_EQ(run.log.find("OK compression is done."), std::string::npos);
  }
}

TEST(DiscSetRefusals, AnOutputFolderWithAnythingInItIsRefusedUntouched) {
  const std::string m = fresh_master();
  const std::string dst = test_scratch_dir("out");
  ASSERT_TRUE(test_write_file(dst + ".left", "from an earlier run"));
  const tool_run run = run_disc_set("--type=1 --src=" + sh_quote(m) + " --dst=" + sh_quote(dst));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.log.find("The output folder must be new or empty, so two runs never mix:"), std::string::npos)
      << alert_lines(run.log);
  EXPECT_EQ(test_capture("ls -A " + sh_quote(dst)), ".left\n");
}

}  // namespace
