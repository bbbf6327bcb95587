// Loading the fonts: "RESOURCE:" names from the bundle, other paths through
// a mapped file, and the alerts that end the program when a face cannot be
// made or FreeType cannot start.
#include <gtest/gtest.h>
#include "core/utl_cmdline.h"
#include "core/utl_resource.h"
#include "ogl/font_fixture.h"
#include "platform/plat_bundle.h"
#include "support/test_env.h"
#include "support/xer_capture.h"

namespace {

// A bundle of our own, its resources holding what a test puts there.
struct scratch_bundle {
  std::string old = PLAT_bundle_path();
  std::string resources;
  scratch_bundle() {
    const std::string bundle = test_scratch_dir("fontbundle") + "Installer.app";
    resources = bundle + "/Contents/Resources/";
    test_run("mkdir -p '" + resources + "'");
    PLAT_set_bundle_path(bundle);
  }
  ~scratch_bundle() { PLAT_set_bundle_path(old); }
};

TEST_F(Font, BothSlotsLoadTheBundlesFontsWithoutAnAlert) {
  const std::string old = PLAT_bundle_path();
  PLAT_set_bundle_path(DUV_BINARY_DIR "/Duvizo Installer.app");
  // A missing font would end the program; say which instead.
  ASSERT_NE(UTL_resource_get_file("DejaVuSans.ttf"), "");
  ASSERT_NE(UTL_resource_get_file("DejaVuSansBold.ttf"), "");
  xer_capture log;
  tt_names[0] = "RESOURCE:DejaVuSans.ttf";
  tt_names[1] = "RESOURCE:DejaVuSansBold.ttf";
  TT_reset_font(tt_both);
  EXPECT_EQ(log.text().find("unable to make font"), std::string::npos);
  EXPECT_STREQ(tt_font[0]->face->family_name, "DejaVu Sans");
  EXPECT_STREQ(tt_font[1]->face->family_name, "DejaVu Sans");
  EXPECT_STREQ(tt_font[1]->face->style_name, "Bold");
  EXPECT_FLOAT_EQ(tt_font[0]->require_char('H'), ref.advance(0, 'H'));
  EXPECT_FLOAT_EQ(tt_font[1]->require_char('H'), ref.advance(1, 'H'));
  PLAT_set_bundle_path(old);
}

TEST_F(Font, ResourceFontsOpenFromTheBundleByPath) {
  scratch_bundle b;
  test_run("cp '" + font_test_path(0) + "' '" + b.resources + "DejaVuSans.ttf'");
  test_run("cp '" + font_test_path(1) + "' '" + b.resources + "DejaVuSansBold.ttf'");
  xer_capture log;
  tt_names[0] = "RESOURCE:DejaVuSans.ttf";
  tt_names[1] = "RESOURCE:DejaVuSansBold.ttf";
  TT_reset_font(tt_both);
  EXPECT_EQ(log.text().find("unable to make font"), std::string::npos);
  EXPECT_FLOAT_EQ(tt_font[0]->require_char('H'), ref.advance(0, 'H'));
  EXPECT_FLOAT_EQ(tt_font[1]->require_char('H'), ref.advance(1, 'H'));
  EXPECT_EQ(tt_font[0]->font_file.mem_beg, nullptr);  // opened by path, not mapped
  EXPECT_GT(tt_font[0]->line_height, 10);
  EXPECT_GT(tt_font[0]->ascent, tt_font[0]->descent);
}

TEST_F(Font, OtherPathsAreMappedAndOpenedFromMemory) {
  EXPECT_NE(tt_font[0]->font_file.mem_beg, nullptr);
  EXPECT_EQ(tt_font[0]->face->stream->size, (unsigned long)(tt_font[0]->font_file.mem_end - tt_font[0]->font_file.mem_beg));
}

// The child's log goes to its standard error, where the death test reads it.
void load_scripted(const std::string& name) {
  if (xer.is_open()) xer.close();
  xer.clear();
  xer.open("/dev/stderr");
  cmdline.options["--qa_script"] = "";
  tt_names[0] = name;
  TT_reset_font(tt_regular);
}

TEST(FontAlertDeathTest, AFileThatCannotBeMappedIsAQuit) {
  EXPECT_EXIT(load_scripted("/no/such/folder/font.ttf"), testing::ExitedWithCode(1),
              "\nError: unable to make font from file\n/no/such/folder/font.ttf\n"
              "\\(We could not open the file and read its contents.\\)\n\n\\(RUvozuz/OGL/OGL_font line [0-9]+\\)\n");
  const std::string empty = test_scratch_dir("fontalert") + "empty.ttf";
  test_write_file(empty, "");
  EXPECT_EXIT(load_scripted(empty), testing::ExitedWithCode(1),
              "\\(We could not open the file and read its contents.\\)\n");
}

TEST(FontAlertDeathTest, AFaceFreeTypeCannotMakeIsAQuit) {
  const std::string junk = test_scratch_dir("fontalert") + "junk.ttf";
  test_write_file(junk, "this is no TrueType font");
  EXPECT_EXIT(load_scripted(junk), testing::ExitedWithCode(1),
              "\nError: unable to make font from file\n[^\n]*/junk.ttf"
              "\n\\(Free-type could not process the .ttf file.\\)\n\n\\(RUvozuz/OGL/OGL_font line [0-9]+\\)\n");
  EXPECT_EXIT(load_scripted("RESOURCE:NoSuchFont.ttf"), testing::ExitedWithCode(1),
              "\nError: unable to make font from file\nRESOURCE:NoSuchFont.ttf\n"
              "\\(Free-type could not process the .ttf file.\\)\n");
  scratch_bundle b;
  test_write_file(b.resources + "DejaVuSans.ttf", "junk");
  EXPECT_EXIT(load_scripted("RESOURCE:DejaVuSans.ttf"), testing::ExitedWithCode(1),
              "\nError: unable to make font from file\nRESOURCE:DejaVuSans.ttf\n"
              "\\(Free-type could not process the .ttf file.\\)\n");
}

TEST(FontAlertDeathTest, ASizeTheFaceDoesNotHaveIsAQuit) {
  // A bitmap-only face offers its one strike of 13 pixels and no other.
  EXPECT_EXIT(load_scripted("/usr/share/fonts/X11/misc/7x13.pcf.gz"), testing::ExitedWithCode(1),
              "\nError: unable to set char size for font\n/usr/share/fonts/X11/misc/7x13.pcf.gz\n\n\n"
              "\\(RUvozuz/OGL/OGL_font line [0-9]+\\)\n");
}

FT_Error refuse_to_start(FT_Library*) { return FT_Err_Out_Of_Memory; }

TEST(FontAlertDeathTest, FreeTypeNotStartingIsACrash) {
  EXPECT_EXIT(
      {
        TT_init_freetype = refuse_to_start;
        load_scripted(font_test_path(0));
      },
      testing::ExitedWithCode(1), "\nUnable to initialize freetype.\n\n\n\n\\(RUvozuz/OGL/OGL_font line [0-9]+\\)\n");
}

}  // namespace
