// Every kept fuzz input of the text fields' editor (tests/fixtures/
// text_engine_corpus/) still leaves the selection and lines inside the text.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "../tools/text_engine_script.h"
#include "support/test_env.h"

TEST(TextEngineCorpus, EveryScriptKeepsTheEditorInsideItsText) {
  const std::string folder = DUV_FIXTURES_DIR "/text_engine_corpus/";
  const std::vector<std::string> names = test_list_folder(folder);
  ASSERT_FALSE(names.empty());
  for (const std::string& n : names) {
    const std::string bytes = test_read_file(folder + n);
    EXPECT_EQ(text_engine_script::run(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), "") << n;
  }
}
