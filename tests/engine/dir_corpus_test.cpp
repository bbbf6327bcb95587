// Every kept fuzz input (tests/fixtures/directory_corpus/) still reads
// without a crash: loaded, refused as a bad header, or refused for a line.
#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <vector>
#include "engine/engine_support.h"
#include "support/test_env.h"
#include "files/xmap.h"
#include "engine/utils_choose.h"
#include "engine/utils_dir.h"

TEST(DirectoryCorpus, EveryInputReadsSafely) {
  const std::string folder = DUV_FIXTURES_DIR "/directory_corpus/";
  const std::vector<std::string> names = test_list_folder(folder);
  ASSERT_FALSE(names.empty());
  for (const std::string& n : names) {
    reset_engine_state();
    xmap_class m(folder + n, 0, 0);
    std::string refused;
    const int result = scan_directory_file(m, refused);
    EXPECT_TRUE(result == dir_loaded || result == dir_bad_header || result == dir_refused_no_file ||
                result == dir_refused_outside || result == dir_refused_md5)
        << n << ": " << result;
    if (result != dir_loaded) {
      EXPECT_TRUE(sim_info.empty()) << n;
    }
    for (int i = 0; i < (int)sim_info.size(); ++i) EXPECT_TRUE(path_stays_inside(current_version(i).path)) << n;
    recalc_disk_sizes();
  }
  reset_engine_state();
}
