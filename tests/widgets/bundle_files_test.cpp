// The files the build puts into the bundle beside its pictures: the five
// translation files and the fonts with their licence.
#include <gtest/gtest.h>
#include <string>
#include "support/test_env.h"
#include "support/translation_scope.h"
#include "support/xer_capture.h"

namespace {

const std::string k_bundle = DUV_BINARY_DIR "/Duvizo Installer.app";
const std::string k_resources = k_bundle + "/Contents/Resources/";

// Loads the build's own translation files, as the program does from its bundle.
struct shipped_translations : ::testing::Test {
  translation_scope scope;
  void SetUp() override { scope.enter(k_bundle); }
};

}  // namespace

// Each file is a bare header: it loads without a complaint, the English texts
// stay in use, and "--missing_strings" turns every text into the STRING line
// a translator fills in.
TEST_F(shipped_translations, LoadCleanlyAndListMissingTexts) {
  const std::string text = "Please insert DVD number %1:disk number% and click continue.";
  for (int lang : {lang_french, lang_german, lang_russian, lang_italian, lang_spanish}) {
    SCOPED_TRACE(UTL_lang_get_button(lang));
    xer_capture load_log;
    cmdline.options["--missing_strings"] = "";
    UTL_translate_load(lang);
    const std::string loaded = load_log.text();
    EXPECT_NE(loaded.find("CHANGING LANGUAGE TO"), std::string::npos) << loaded;
    EXPECT_EQ(loaded.find("ERROR"), std::string::npos) << loaded;
    EXPECT_EQ(loaded.find("Could not find"), std::string::npos) << loaded;
    EXPECT_EQ(loaded.find("bad header"), std::string::npos) << loaded;

    xer_capture use_log;
    EXPECT_EQ(UTL_translate_string(text), text);
    EXPECT_EQ(use_log.text(), "STRING " + text + "====" + text + "\n");
    cmdline.options.clear();
  }
}

// The fonts are the system's own files, the bold one under the name the text
// code asks for, with the package's licence beside them.
TEST(BundleFonts, CopiesOfTheSystemFiles) {
  const struct {
    const char* bundled;
    const char* system;
  } rows[] = {
      {"DejaVuSans.ttf", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"},
      {"DejaVuSansBold.ttf", "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"},
      {"DejaVuFonts-LICENSE.txt", "/usr/share/doc/fonts-dejavu-core/copyright"},
  };
  for (const auto& row : rows) {
    const std::string want = test_md5sum(row.system);
    ASSERT_EQ(want.size(), 32u) << row.system;
    EXPECT_EQ(test_md5sum(k_resources + row.bundled), want) << row.bundled;
  }
}
