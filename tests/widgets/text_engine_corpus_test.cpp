// Every kept fuzz input of the text fields' editor (tests/fixtures/
// text_engine_corpus/) still leaves the selection and lines inside the text.
#include <gtest/gtest.h>
#include <dirent.h>
#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include "../tools/text_engine_script.h"

TEST(TextEngineCorpus, EveryScriptKeepsTheEditorInsideItsText) {
  const std::string folder = DUV_FIXTURES_DIR "/text_engine_corpus/";
  std::vector<std::string> names;
  if (DIR* d = opendir(folder.c_str())) {
    while (dirent* e = readdir(d))
      if (e->d_name[0] != '.') names.push_back(e->d_name);
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  ASSERT_FALSE(names.empty());
  for (const std::string& n : names) {
    std::ifstream in(folder + n, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text_engine_script::run(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), "") << n;
  }
}
