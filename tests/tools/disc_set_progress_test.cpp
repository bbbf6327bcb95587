// The build mode's progress as the window shows it, run in this program
// under the frame driver: the scan's line every 500 files seen, the
// compression's line every 20 files, each with its second line below it,
// and a 'q' key that ends the run.
#include <gtest/gtest.h>
#include <cstring>
#include <regex>
#include "core/globs.h"
#include "core/hl_alert.h"
#include "disc_set_support.h"
#include "engine/make_installer.h"
#include "make_disc_set_screen.h"
#include "ogl/ogl_record.h"
#include "platform/plat_events.h"
#include "support/frame_driver.h"
#include "support/gl_console.h"
#include "support/test_env.h"

static const bool gl = gl_console_register();

namespace {

// A master of the sample's files and 500 small ones more.
std::string big_master() {
  const std::string m = fresh_master();
  EXPECT_EQ(test_run("cd " + sh_quote(m) + "All/Aircraft && mkdir Many && for i in $(seq 1 500); do "
                     "echo \"part $i\" > Many/part$i.txt; done"),
            0);
  return m;
}

class BuildProgress : public testing::Test {
 protected:
  void SetUp() override {
    frame_driver::load_pictures(false, 0);
    d = std::make_unique<frame_driver>();
    disc_set_connect_screen();
    src_fold = big_master();
    dst_fold_base = test_scratch_dir("progress");
    build_type = 1;
  }
  void TearDown() override {
    if (ouf.is_open()) ouf.close();
    g_build_screen = build_screen();
    d.reset();
    frame_driver::unload_pictures();
  }
  // The progress texts drawn by the run, in order.
  std::vector<OGL_string_call> progress_strings() const {
    std::vector<OGL_string_call> out;
    for (const OGL_string_call& s : d->trace().strings) out.push_back(s);
    return out;
  }
  std::unique_ptr<frame_driver> d;
};

TEST_F(BuildProgress, TheScanAndTheCompressionEachDrawTheirTwoLines) {
  d->modal_frame([] { build_install(); });
  ASSERT_FALSE(d->alerts().empty());
  EXPECT_EQ(d->alerts().back().lines[0], "OK compression is done. Checklist if doing net:");
  const std::vector<OGL_string_call> s = progress_strings();
  ASSERT_EQ(s.size() % 2, 0u);
  const int comp_lines = num_files_use / 20;
  ASSERT_EQ((int)s.size(), 2 * (1 + comp_lines));
  EXPECT_EQ((int)d->captures().size(), 1 + comp_lines + 1);  // each progress step, then the frame

  std::smatch m;
  ASSERT_TRUE(std::regex_match(s[0].text, m, std::regex(R"(reg: 0: total files recursed: 500\. will compress: (\d+)\.)")))
      << s[0].text;
  EXPECT_LE(std::stoi(m[1]), 500);
  EXPECT_EQ(s[1].text.rfind(src_fold, 0), 0u) << s[1].text;
  for (int k = 1; k <= comp_lines; ++k) {
    const OGL_string_call& line1 = s[2 * k];
    const OGL_string_call& line2 = s[2 * k + 1];
    EXPECT_EQ(line1.text, "reg: 0: total files to compress: " + std::to_string(num_files_use) +
                              ". now doing: " + std::to_string(20 * k) + ".");
    EXPECT_EQ(line2.text.rfind(dst_fold_base + "disk_0/Duvizo 10/", 0), 0u) << line2.text;
  }
  for (size_t i = 0; i < s.size(); ++i) {
    EXPECT_EQ(s[i].x, 10);
    EXPECT_EQ(s[i].y, i % 2 == 0 ? 17 : 7);
    EXPECT_EQ(s[i].col, 12);
    EXPECT_EQ(s[i].font, 0);
    EXPECT_EQ(s[i].just, 0);
  }
}

// Forwards each text to the driver and, at the first compression line,
// presses 'q' as the user would while the run goes on.
void (*g_driver_record)(const OGL_string_call&) = nullptr;
void press_q_at_compression(const OGL_string_call& call) {
  g_driver_record(call);
  static bool pressed = false;
  if (pressed || call.text.rfind("reg: 0: total files to compress:", 0) != 0) return;
  pressed = true;
  PLAT_event e;
  e.kind = plat_ev_key_down;
  e.key_code = PLAT_mac_key_code(20);  // the Q key
  std::strcpy(e.text, "q");
  PLAT_push_event(e);
}

TEST_F(BuildProgress, AQPressedMidRunEndsIt) {
  g_driver_record = OGL_record_string;
  OGL_record_string = press_q_at_compression;
  d->modal_frame([] { build_install(); });
  OGL_record_string = g_driver_record;
  ASSERT_EQ(d->alerts().size(), 1u);
  EXPECT_EQ(d->alerts()[0].kind, t_crash);
  EXPECT_EQ(d->alerts()[0].lines[0], "You hit Q dumbass!");
  EXPECT_EQ(d->alerts()[0].source, "Installer-f/make_installer");
  EXPECT_EQ(num_files_com, 20);
}

}  // namespace
