// The size, duration and rate texts, and the disk-space panel drawn through
// real frames with the volume query replaced (and once with the real one,
// against df).
#include <cerrno>
#include <cmath>
#include <limits>
#include "core/stg.h"
#include "engine/utils_table.h"
#include "installer/disk_panel.h"
#include "installer/inst_text.h"
#include "support/gl_console.h"
#include "support/test_env.h"
#include "support/translation_scope.h"
#include "widgets/click_fixture.h"

namespace {

const bool gl_ready = gl_console_register();
constexpr float k_nan = std::numeric_limits<float>::quiet_NaN();
constexpr float k_inf = std::numeric_limits<float>::infinity();

TEST(InstallerTexts, SizesDurationsAndRates) {
  translation_scope scope;
  scope.enter("");
  const struct {
    const char* what;
    std::string got, want;
  } cases[] = {
      {"1024 KB stays in KB", size_string(1024), "1024 KB"},
      {"1025 KB", size_string(1025), "1 MB"},
      {"1536 KB rounds", size_string(1536), "2 MB"},
      {"1 024 000 KB stays in MB", size_string(1024000), "1000 MB"},
      {"1 024 001 KB", size_string(1024001), "1.0 GB"},
      {"1 048 576 KB", size_string(1048576), "1.0 GB"},
      {"1 s", time_str(1), "1 second"},
      {"59.9 s truncates", time_str(59.9f), "59 seconds"},
      {"119.9 s", time_str(119.9f), "119 seconds"},
      {"120 s", time_str(120), "2 minutes"},
      {"7199 s", time_str(7199), "119 minutes"},
      {"7200 s", time_str(7200), "2 hours"},
      // Values beyond int are held at its ends; not a number counts 0.
      {"NaN", time_str(k_nan), "0 hours"},
      {"infinity", time_str(k_inf), "2147483647 hours"},
      {"minus infinity", time_str(-k_inf), "-2147483648 seconds"},
      {"-5 s", time_str(-5), "-5 seconds"},
      {"1e30 s", time_str(1e30f), "2147483647 hours"},
      {"rate 1.9", rate_str(1.9f), "1 kilobyte/second"},
      {"rate NaN", rate_str(k_nan), "0 kilobytes/second"},
      {"rate 1e30", rate_str(1e30f), "2147483647 kilobytes/second"},
      {"int", int_str(-42), "-42"},
      {"float", flt_str("%.2f%%", 12.345f), "12.35%"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want) << c.what;
}

// The form comes from the language's rule on the clamped count: French
// counts 0 as singular.
TEST(InstallerTexts, TheCountChoosesTheTranslatedForm) {
  translation_scope scope;
  const std::string bundle = test_scratch_dir("bundle") + "Installer.app";
  ASSERT_EQ(test_run("mkdir -p '" + bundle + "/Contents/Resources'"), 0);
  ASSERT_TRUE(test_write_file(bundle + "/Contents/Resources/French.txt",
                              "I\n900 version\nTRANSLATION\n"
                              "STRING %1:hours% hour====%1:hours% heure\n"
                              "STRING %1:hours% hours====%1:hours% heures\n"
                              "STRING %1:seconds% second====%1:seconds% seconde\n"
                              "STRING %1:seconds% seconds====%1:seconds% secondes\n"));
  scope.enter(bundle);
  UTL_translate_load(lang_french);
  EXPECT_EQ(time_str(k_nan), "0 heure");
  EXPECT_EQ(time_str(0.5f), "0 seconde");
  EXPECT_EQ(time_str(1.5f), "1 seconde");
  EXPECT_EQ(time_str(2), "2 secondes");
  EXPECT_EQ(time_str(1e30f), "2147483647 heures");
}

// The replaced volume query: what it answers, and the path it was asked.
struct fake_volume {
  int result = 0;
  unsigned long long total = 0, free_bytes = 0;
  std::string asked;
};
fake_volume volume;
int fake_query(const std::string& path, unsigned long long* total, unsigned long long* free_bytes) {
  volume.asked = path;
  if (volume.result) return volume.result;
  *total = volume.total;
  *free_bytes = volume.free_bytes;
  return 0;
}

class DiskPanel : public Clicks {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gl_ready);
    Clicks::SetUp();
    saved_stg = stg;
    saved_dest = dest_dir_path;
    dest_dir_path = "/volumes/here/Duvizo 10/";
    volume = fake_volume();
    UTIL_disk_space_query = fake_query;
  }
  void TearDown() override {
    UTIL_disk_space_query = get_free_space_default;
    stg = saved_stg;
    dest_dir_path = saved_dest;
    Clicks::TearDown();
  }
  // One frame with the panel; its result.
  int panel() {
    int result = -1;
    d->frame([&] { result = UTIL_disk_space("Enough.", "Not enough."); });
    return result;
  }
  settings_record saved_stg;
  std::string saved_dest;
  decltype(UTIL_disk_space_query) get_free_space_default = UTIL_disk_space_query;
};

TEST_F(DiskPanel, SizesSentenceAndResult) {
  const struct {
    const char* what;
    int query_result;
    unsigned long long total, free_bytes;
    float needed;
    int result;
    const char* text;  // null: nothing drawn
  } cases[] = {
      {"10^10 free bytes", 0, 20000000000ull, 10000000000ull, 5000, 1,
       "Disk size: 19.1 GB\nFree disk space: 9.5 GB\nDisk space needed to install: 5 MB\n\nEnough."},
      {"more needed than free", 0, 20000000000ull, 10000000000ull, 20000000, 0,
       "Disk size: 19.1 GB\nFree disk space: 9.5 GB\nDisk space needed to install: 19.1 GB\n\nNot enough."},
      {"a failing query", ENOENT, 0, 0, 5000, 1, nullptr},
      {"a need of 0 on a full volume", 0, 1000000, 0, 0, 1,
       "Disk size: 1000 KB\nFree disk space: 0 KB\nDisk space needed to install: 0 KB\n\nEnough."},
      // Free and needed in thousands of bytes, equal: enough, both ways.
      {"equality", 0, 2048000000ull, 1024000000ull, 1024000, 1,
       "Disk size: 2.0 GB\nFree disk space: 1000 MB\nDisk space needed to install: 1000 MB\n\nEnough."},
      {"one thousand bytes short", 0, 2048000000ull, 1023999999ull, 1024000, 0,
       "Disk size: 2.0 GB\nFree disk space: 1000 MB\nDisk space needed to install: 1000 MB\n\nNot enough."},
  };
  for (const auto& c : cases) {
    volume.result = c.query_result;
    volume.total = c.total;
    volume.free_bytes = c.free_bytes;
    stg.total_exp_kb = c.needed;
    EXPECT_EQ(panel(), c.result) << c.what;
    EXPECT_EQ(volume.asked, dest_dir_path) << c.what;
    const std::vector<OGL_string_call>& drawn = d->trace().strings;
    if (!c.text) {
      EXPECT_TRUE(drawn.empty()) << c.what;
      continue;
    }
    ASSERT_EQ(drawn.size(), 1u) << c.what;
    EXPECT_EQ(drawn[0].text, c.text) << c.what;
    EXPECT_EQ(drawn[0].col, 50) << c.what;
    EXPECT_EQ(drawn[0].x, 220) << c.what;
    EXPECT_EQ(drawn[0].y, 130) << c.what;
    EXPECT_EQ(drawn[0].font, cs_regular) << c.what;
    EXPECT_EQ(drawn[0].just, just_left) << c.what;
  }
}

// The real query on a destination that does not exist yet: the volume of
// its parent, as df sees it.
TEST_F(DiskPanel, TheRealQueryAsksTheDestinationsVolume) {
  UTIL_disk_space_query = get_free_space_default;
  const std::string parent = test_scratch_dir("panel");
  dest_dir_path = parent + "Duvizo 10/";
  stg.total_exp_kb = 0;
  EXPECT_EQ(panel(), 1);
  ASSERT_EQ(d->trace().strings.size(), 1u);
  const std::string text = d->trace().strings[0].text;
  // The volume's size does not move while the test runs; its free space may.
  const unsigned long long size = std::stoull(test_capture("df -B1 --output=size '" + parent + "' | tail -1"));
  EXPECT_EQ(text.substr(0, text.find('\n')), "Disk size: " + size_string(static_cast<float>(size / 1000)));
  EXPECT_NE(text.find("\n\nEnough."), std::string::npos);
}

}  // namespace
