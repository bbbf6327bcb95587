// The sample discs as a user's drive holds them: images mounted with fuseiso
// in a private mount namespace (no other test sees them), read, switched and
// checked through the system's own mount table; and the program handing
// over from the disc to a copy of itself.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <chrono>
#include <thread>
#include "e2e_discs.h"
#include "core/globs.h"
#include "core/hl_paths.h"
#include "engine/utils_table.h"
#include "files/test_child.h"
#include "installer/dvd_disc.h"
#include "installer/inst_state.h"
#include "support/private_xvfb.h"
#include "support/test_env.h"

namespace {

TEST(SampleDiscs, ReadSwitchedAndCheckedInTheDrive) {
  const std::string dir = test_scratch_dir("drive");
  ASSERT_EQ(test_run("mkdir -p '" + dir + "temp'"), 0);
  const int result = test_in_private_mounts([&] {
              UTIL_set_mount_table("/proc/self/mountinfo");
              temp_path = dir + "temp/";
              dvd_path.clear();
              install_name = no_install_name;
              stg = settings_record();
              stg.platform = plat_all;
              UTIL_scan_dvd();
              EXPECT_EQ(dvd_path, "");

              const std::string point1 = dir + "drive1";
              int on_disc_2 = -1;
              {
                disc_in_drive disc1(k_samples + "disc1.iso", point1);
                UTIL_scan_dvd();
                EXPECT_EQ(dvd_path, point1 + "/");
                EXPECT_EQ(install_name, "Duvizo 10");
                EXPECT_EQ(stg.stage, 3);
                for (size_t i = 0; i < sim_info.size() && on_disc_2 < 0; ++i)
                  if (current_version((int)i).disk == 1) on_disc_2 = (int)i;
                ASSERT_GE(on_disc_2, 0);
                want_file_disk = on_disc_2;
                // The first frame of the switch screen starts ejecting disc 1,
                // beside the frames.
                EXPECT_EQ(UTIL_switch_disk(1), 1);
                EXPECT_EQ(dvd_path, "");
                UTIL_end_eject();
                EXPECT_FALSE(mounted(point1));
                EXPECT_EQ(UTIL_switch_disk(0), 1);
              }
              {
                // The user puts disc 1 back: the wrong one, named for ejecting.
                disc_in_drive disc1(k_samples + "disc1.iso", point1);
                EXPECT_EQ(UTIL_verify_disk(), 0);
                EXPECT_EQ(dvd_path, point1 + "/");
              }
              const std::string point2 = dir + "drive2";
              disc_in_drive disc2(k_samples + "disc2.iso", point2);
              EXPECT_EQ(UTIL_verify_disk(), 1);
              EXPECT_EQ(dvd_path, point2 + "/");
              EXPECT_EQ(current_disk, 1);
              UTIL_set_mount_table("/proc/self/mountinfo");
  });
  EXPECT_EQ(result, 0);
}

TEST(SampleDiscs, StartedFromTheDiscTheProgramRunsFromACopy) {
  private_xvfb x(1024, 768);
  ASSERT_TRUE(x.ok()) << x.error();
  const std::string dir = test_scratch_dir("handover");
  const std::string home = dir + "home/", tmp = dir + "tmp/";
  ASSERT_EQ(test_run("mkdir -p '" + home + "' '" + tmp + "'"), 0);
  const int result = test_in_private_mounts([&] {
              const std::string point = dir + "drive";
              disc_in_drive disc1(k_samples + "disc1.iso", point);
              const std::string env = "HOME='" + home + "' XDG_CONFIG_HOME='" + home + ".config' TMPDIR='" + tmp +
                                      "' LANG=C.UTF-8 ";
              // The program on the disc copies itself and ends at once.
              const auto started = std::chrono::steady_clock::now();
              EXPECT_EQ(test_run(env + "timeout 60 '" + point + "/Duvizo Installer.app/Contents/MacOS/Duvizo Installer'"),
                        1);
              EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
              // The copy runs from the temporary folder, writable by its owner.
              std::string pid;
              for (int i = 0; i < 600 && pid.empty(); ++i) {
                pid = test_capture("pgrep -n -f '^" + tmp + "Duvizo-.*/Duvizo Installer$'");
                while (!pid.empty() && pid.back() == '\n') pid.pop_back();
                if (pid.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(50));
              }
              ASSERT_FALSE(pid.empty());
              const std::string exe = test_capture("readlink /proc/" + pid + "/exe");
              EXPECT_EQ(exe.rfind(tmp + "Duvizo-", 0), 0u) << exe;
              std::string bundle = exe.substr(0, exe.find("/Contents/MacOS/"));
              struct stat st;
              ASSERT_EQ(stat(bundle.c_str(), &st), 0) << bundle;
              EXPECT_EQ(st.st_mode & 0777, 0755u);
              // The disc is free to go while the copy runs.
              ASSERT_EQ(test_run("xdotool search --sync --pid " + pid + " >/dev/null"), 0);
              // The copy's first frames may still be looking at the volume while
              // it searches for a disc; it lets go within moments.
              int unmounted = 1;
              for (int i = 0; i < 50 && unmounted != 0; ++i) {
                unmounted = test_run("fusermount -u '" + point + "' 2>/dev/null");
                if (unmounted != 0) std::this_thread::sleep_for(std::chrono::milliseconds(100));
              }
              EXPECT_EQ(unmounted, 0);
              // Its log names where it runs from once start-up is through.
              std::string log;
              for (int i = 0; i < 400 && log.find("os_dir_prefs") == std::string::npos; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                log = test_read_file(home + "Desktop/Duvizo Installer Log.txt");
              }
              const size_t at = log.find("os_dir_this_app\t\t=");
              ASSERT_NE(at, std::string::npos);
              EXPECT_EQ(log.compare(at + 18, tmp.size() + 7, tmp + "Duvizo-"), 0) << log.substr(at, 200);
              // Closed, it leaves nothing in the temporary folder.
              const std::string wid = test_capture("xdotool search --pid " + pid + " | head -1");
              test_run(std::string(DUV_SEND_WM_DELETE) + " " + wid);
              for (int i = 0; i < 600 && test_run("kill -0 " + pid + " 2>/dev/null") == 0; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
              EXPECT_EQ(test_list_folder(tmp), std::vector<std::string>{});
  });
  EXPECT_EQ(result, 0);
}

}  // namespace
