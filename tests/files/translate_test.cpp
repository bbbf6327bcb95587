#include <gtest/gtest.h>
#include <stdlib.h>
#include <string>
#include <vector>
#include "core/utl_cmdline.h"
#include "files/translate.h"
#include "support/xer_capture.h"
#include "platform/plat_folders.h"
#include "support/test_env.h"
#include "support/translation_scope.h"

namespace {

// A bundle of our own whose resources hold the translation files a test writes.
struct translation_fixture : ::testing::Test {
  translation_scope scope;
  std::string resources;
  void SetUp() override {
    std::string bundle = test_scratch_dir("bundle") + "Installer.app";
    resources = bundle + "/Contents/Resources/";
    ASSERT_EQ(test_run("mkdir -p '" + resources + "'"), 0);
    scope.enter(bundle);
  }
  void write(const std::string& file, const std::string& body, const std::string& header = "I\n900 version\nTRANSLATION\n") {
    ASSERT_TRUE(test_write_file(resources + file, header + body));
  }
};

using Translate = translation_fixture;

}  // namespace

TEST_F(Translate, NothingLoadedMeansEnglish) {
  xer_capture cap;
  cmdline.options["--missing_strings"] = "";
  EXPECT_EQ(UTL_translate_string("Hello"), "Hello");
  EXPECT_EQ(UTL_translate_plural(0, "file", "files"), "files");
  EXPECT_EQ(UTL_translate_plural(1, "file", "files"), "file");
  EXPECT_EQ(cap.text(), "");
}

TEST_F(Translate, EntriesAndTheirChecks) {
  write("French.txt",
        "STRING Hello====Bonjour\n"
        "STRING\tTab====Tabulation\n"
        "STRING  Two spaces====Deux\n"
        "STRINGS x====y\n"
        "# comment\n"
        "STRING Yes====\n"
        "STRING No====N\n"
        "STRING A====B====C\n"
        "STRING Hello====Salut\n"
        "GENITIVE Hello====Bonjour (gen)\n"
        "STRING Line\\none====Ligne\\nun\n"
        "STRING Insert %1:disk number%====Ins\xC3\xA9rez\n"
        "STRING Nothing here\n"
        "STRING Bad \xFF====Mauvais \xFF\n"
        "STRING Save|Load{tip====Enregistrer|Charger\n"
        "STRING end  ====fin\n"
        "STRING");
  xer_capture cap;
  UTL_translate_load(lang_french);
  EXPECT_EQ(UTL_translate_string("Hello"), "Bonjour");
  EXPECT_EQ(UTL_translate_string("Hello", table_genitive), "Bonjour (gen)");
  EXPECT_EQ(UTL_translate_string("Tab"), "Tabulation");
  EXPECT_EQ(UTL_translate_string(" Two spaces"), "Deux");
  EXPECT_EQ(UTL_translate_string("Yes"), "Yes");
  EXPECT_EQ(UTL_translate_string("No"), "N");
  EXPECT_EQ(UTL_translate_string("A"), "B====C");
  EXPECT_EQ(UTL_translate_string("Line\none"), "Ligne\nun");
  EXPECT_EQ(UTL_translate_string("Insert %1:disk number%"), "Ins\xC3\xA9rez");
  EXPECT_EQ(UTL_translate_string("Save|Load{tip"), "Enregistrer|Charger");
  EXPECT_EQ(UTL_translate_string("STRINGS x"), "STRINGS x");

  const std::string log = cap.text();
  const char* expected[] = {
      " ==== CHANGING LANGUAGE TO: Fran\xC3\xA7" "ais. ====\n",
      "ERROR: language file line ' Two spaces====Deux' does not have the same leading spaces.\n",
      "ERROR: language file line 'Yes====' missing right side translation.\n",
      "ERROR: language file line 'Hello====Salut' is a second translation of Hello====Bonjour\n",
      "ERROR: language file line 'Insert %1:disk number%====Ins\xC3\xA9rez' has incorrect translated parameters.\n",
      "ERROR: language file line 'Nothing here' missing ==== splitter.\n",
      "ERROR: language file line 'Bad \xFF====Mauvais \xFF' contains invalid UTF8 characters.\n",
      "ERROR: language file line 'Save|Load{tip====Enregistrer|Charger' does not have its help tips correctly formatted.\n",
      "ERROR: language file line 'end  ====fin' does not have the same trailing spaces.\n",
  };
  for (const char* e : expected) EXPECT_NE(log.find(e), std::string::npos) << e << "\nin:\n" << log;
  EXPECT_EQ(log.find("STRINGS"), std::string::npos);
  EXPECT_EQ(log.find("comment"), std::string::npos);
  EXPECT_EQ(log.find("'Tab"), std::string::npos);
}

TEST_F(Translate, MissingTextsAreLoggedOnce) {
  write("German.txt", "STRING Hello====Hallo\n");
  cmdline.options["--missing_strings"] = "";
  UTL_translate_load(lang_german);
  xer_capture cap;
  EXPECT_EQ(UTL_translate_string("Two\r\nlines"), "Two\r\nlines");
  EXPECT_EQ(UTL_translate_string("Two\r\nlines"), "Two\r\nlines");
  EXPECT_EQ(UTL_translate_string("Hello"), "Hallo");
  EXPECT_EQ(cap.text(), "STRING Two\\r\\nlines====Two\\r\\nlines\n");
  // A new selection reports again.
  UTL_translate_load(lang_german);
  xer_capture cap2;
  UTL_translate_string("Two\r\nlines");
  EXPECT_NE(cap2.text().find("STRING Two\\r\\nlines"), std::string::npos);
}

TEST_F(Translate, MissingOrBadFilesKeepEnglish) {
  xer_capture cap;
  UTL_translate_load(lang_french);
  EXPECT_NE(cap.text().find("Could not find translation file: RESOURCE:French.txt; using English.\n"),
            std::string::npos);
  EXPECT_EQ(UTL_translate_string("Hello"), "Hello");
  // French plural rule stays in force: a count of 0 takes the singular.
  EXPECT_EQ(UTL_translate_plural(0, "file", "files"), "file");

  write("Italian.txt", "STRING Hello====Ciao\n", "I\n900 version\nDVD\n");
  UTL_translate_load(lang_italian);
  EXPECT_NE(cap.text().find("Translation file RESOURCE:Italian.txt is not version 900 or has a bad header.\n"),
            std::string::npos);
  EXPECT_EQ(UTL_translate_string("Hello"), "Hello");
  write("Spanish.txt", "STRING Hello====Hola\n", "I\n800 version\nTRANSLATION\n");
  UTL_translate_load(lang_spanish);
  EXPECT_EQ(UTL_translate_string("Hello"), "Hello");
  write("Spanish.txt", "STRING Hello====Hola\r\n", "\xEF\xBB\xBFI\r\n900 version\r\nTRANSLATION\r\n");
  UTL_translate_load(lang_spanish);
  EXPECT_EQ(UTL_translate_string("Hello"), "Hola");
  UTL_translate_clear();
  EXPECT_EQ(UTL_translate_string("Hello"), "Hello");
}

TEST_F(Translate, PluralRules) {
  write("Russian.txt",
        "STRING file====RU-one\nSTRING files====RU-many\nGENITIVE files====RU-few\nGENITIVE disks====RU-disks\n");
  xer_capture cap;
  UTL_translate_load(lang_russian);
  EXPECT_NE(cap.text().find("WARNING: language file line disks====RU-disks is provided in genitive but not plural case.\n"),
            std::string::npos);
  EXPECT_EQ(UTL_translate_plural(1, "file", "files"), "RU-one");
  for (int n : {2, 3, 4, 22, 104}) EXPECT_EQ(UTL_translate_plural(n, "file", "files"), "RU-few") << n;
  for (int n : {0, 5, 11, 12, 14, 21, 111, -2}) EXPECT_EQ(UTL_translate_plural(n, "file", "files"), "RU-many") << n;

  write("French.txt", "STRING file====fichier\nSTRING files====fichiers\n");
  UTL_translate_load(lang_french);
  EXPECT_EQ(UTL_translate_plural(0, "file", "files"), "fichier");
  EXPECT_EQ(UTL_translate_plural(1, "file", "files"), "fichier");
  EXPECT_EQ(UTL_translate_plural(2, "file", "files"), "fichiers");
  write("German.txt", "STRING file====Datei\nSTRING files====Dateien\n");
  UTL_translate_load(lang_german);
  EXPECT_EQ(UTL_translate_plural(0, "file", "files"), "Dateien");
  EXPECT_EQ(UTL_translate_plural(1, "file", "files"), "Datei");
}

TEST_F(Translate, PlaceholdersAfterTranslation) {
  write("German.txt", "STRING Please insert DVD number %1:disk number% and click continue.====Bitte DVD %1:disk number% einlegen.\n");
  UTL_translate_load(lang_german);
  const std::string fmt = "Please insert DVD number %1:disk number% and click continue.";
  EXPECT_EQ(UTL_string_sub(UTL_translate_string(fmt), "2"), "Bitte DVD 2 einlegen.");
  UTL_translate_clear();
  EXPECT_EQ(UTL_string_sub(UTL_translate_string(fmt), "2"), "Please insert DVD number 2 and click continue.");
}

TEST(StringSub, Placeholders) {
  EXPECT_EQ(UTL_string_sub("%3:x% and %1:y%", "a", "b"), "%3:x% and a");
  EXPECT_EQ(UTL_string_sub("%1:x% %2:y%", "%2:z%", "B"), "%2:z% B");
  EXPECT_EQ(UTL_string_sub("100% sure: %1:v%", "ok"), "100% sure: ok");
  EXPECT_EQ(UTL_string_sub("%0:none% %-1:neg% % 2:sp%", "a", "b"), "%0:none% %-1:neg% b");
  EXPECT_EQ(UTL_string_sub("no end %1:x", "a"), "no end %1:x");
  EXPECT_EQ(UTL_string_sub("%6:f%%5:e%%4:d%%3:c%%2:b%%1:a%", "1", "2", "3", "4", "5", "6"), "654321");
  EXPECT_EQ(UTL_string_sub("%1:a%%2:b%%3:c%", "x", "y", "z"), "xyz");
  EXPECT_EQ(UTL_string_sub("%4:d%", "1", "2", "3", "4"), "4");
  EXPECT_EQ(UTL_string_sub("%5:e%", "1", "2", "3", "4", "5"), "5");
  std::vector<int> nums;
  UTL_string_check("%2:b% x %1:a% %0:z% %1:again%", nums);
  EXPECT_EQ(nums, (std::vector<int>{2, 1, 1}));
}

TEST(StringSub, SpacesAndEscapes) {
  EXPECT_EQ(UTL_count_leading("  a "), 2);
  EXPECT_EQ(UTL_count_trailing("  a "), 1);
  EXPECT_EQ(UTL_count_leading("   "), 3);
  EXPECT_EQ(UTL_count_trailing("   "), 3);
  EXPECT_EQ(UTL_count_leading(""), 0);
  EXPECT_EQ(UTL_count_leading("\ta"), 0);
  std::string s = "a\\nb\\rc\\\\nd\\x";
  str_unescape(s);
  EXPECT_EQ(s, "a\nb\rc\\\nd\\x");
}

TEST(Languages, TableAndDefaultChoice) {
  std::vector<int> langs;
  UTL_lang_get_languages(langs);
  EXPECT_EQ(langs, (std::vector<int>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(UTL_lang_get_folder(1), "French/");
  EXPECT_EQ(UTL_lang_get_button(5), "|Espa\xC3\xB1ol");
  EXPECT_EQ(UTL_lang_get_button(3), "|\xD0\xA0\xD1\x83\xD1\x81\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9");

  for (const char* v : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) unsetenv(v);
  cmdline.options.clear();
  struct row {
    const char* lang_option;  // null: not given
    const char* language;
    const char* lang;
    int want;
  } rows[] = {
      {"de", nullptr, nullptr, 2},
      {"DE", nullptr, "it_IT.UTF-8", 4},
      {nullptr, "pt_BR:fr", nullptr, 1},
      {nullptr, "zh_Hans", nullptr, -1},
      {nullptr, nullptr, "C", 0},
      {nullptr, nullptr, "POSIX", 0},
      {nullptr, nullptr, "fr_CA.UTF-8", 1},
      {nullptr, nullptr, nullptr, -1},
  };
  for (const row& r : rows) {
    cmdline.options.clear();
    if (r.lang_option) cmdline.options["--lang"] = r.lang_option;
    if (r.language) setenv("LANGUAGE", r.language, 1); else unsetenv("LANGUAGE");
    if (r.lang) setenv("LANG", r.lang, 1); else unsetenv("LANG");
    EXPECT_EQ(UTL_get_default_language(), r.want) << (r.lang_option ? r.lang_option : "-") << " "
                                                   << (r.language ? r.language : "-") << " " << (r.lang ? r.lang : "-");
  }
  unsetenv("LANGUAGE");
  unsetenv("LANG");
  cmdline.options.clear();
}
