// Menu files read from a language's "menus/" folder: titles, sub-menus,
// items, the ends of menus and of the file, bad titles, and files that are
// missing, wrongly headed or cut short.
#include "core/utl_cmdline.h"
#include "shell/mbar_fixture.h"
#include "support/test_env.h"
#include "support/xer_capture.h"

namespace {
// Writes name under folder's English menus and returns folder.
std::string menu_file(const std::string& name, const std::string& body) {
  const std::string folder = test_scratch_dir("menus");
  EXPECT_EQ(test_run("mkdir -p '" + folder + "menus/English'"), 0);
  EXPECT_TRUE(test_write_file(folder + "menus/English/" + name, body));
  return folder;
}
const char k_header[] = "I\n1 version\n";
}  // namespace

TEST_F(Mbar, AMenuFileBuildsMenusItemsAndSubMenus) {
  const std::string folder = menu_file("main.txt", std::string(k_header) +
                                                       "0 File\n"
                                                       "101 Open\n"
                                                       "102   Recent  files\n"
                                                       "0 ----\n"
                                                       "103 Quit\n"
                                                       "-\n"
                                                       "0 Edit\n"
                                                       "201 Undo\n"
                                                       "-\n"
                                                       "1 Recent\n"
                                                       "301 a.txt\n"
                                                       "-\n"
                                                       "\n"
                                                       "0 Never read\n"
                                                       "1 nor this\n"
                                                       "-\n");
  mbar.mbar_read_menus(folder, "main.txt");
  EXPECT_EQ(menu(0).name, "File");
  EXPECT_EQ(menu(0).parent, -1);
  ASSERT_EQ(menu(0).items.size(), 4u);
  struct row {
    int item, command;
    const char* text;
  };
  for (const row& r : {row{0, 101, "Open"}, row{1, 102, "Recent  files"}, row{2, 0, "----"}, row{3, 103, "Quit"}}) {
    EXPECT_EQ(item(0, r.item).command, r.command);
    EXPECT_EQ(item(0, r.item).text, r.text);
  }
  EXPECT_EQ(item(0, 2).top - item(0, 2).bottom, 2);  // a separator
  EXPECT_EQ(menu(1).name, "Edit");
  EXPECT_EQ(menu(1).left, menu(0).right);
  ASSERT_EQ(menu(1).items.size(), 1u);
  // parent_ref 1: item 1 of menu 0.
  EXPECT_EQ(menu(2).name, "Recent");
  EXPECT_EQ(menu(2).parent, 0);
  EXPECT_EQ(menu(2).bottom, item(0, 1).bottom);
  EXPECT_EQ(item(2, 0).text, "a.txt");
  // The empty line ended the file.
  EXPECT_EQ(menu(3).name, "");
  EXPECT_TRUE(menu(3).items.empty());
}

TEST_F(Mbar, ATitleThatIsNotUtf8IsLoggedAndKept) {
  xer_capture log;
  const std::string bad = "Fich\xC3(er";
  mbar.mbar_read_menus(menu_file("bad.txt", std::string(k_header) + "0 " + bad + "\n1 Open\n-\n0 Good\n-\n"),
                       "bad.txt");
  EXPECT_EQ(menu(0).name, bad);
  EXPECT_EQ(item(0, 0).text, "Open");
  EXPECT_EQ(menu(1).name, "Good");
  const std::string text = log.text();
  EXPECT_NE(text.find("ERROR: menu string " + bad + " has invalid UTF8 characters.\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("ERROR: menu string Good"), std::string::npos);
}

TEST_F(Mbar, AFileCutShortIsReadUpToItsLastByte) {
  struct cut {
    const char* name;
    const char* body;
    size_t items;
    const char* last;
  };
  for (const cut& c : {cut{"inside an item", "0 File\n1 Open\n2 Clo", 2, "Clo"},
                       cut{"after an item's line end", "0 File\n1 Open\n", 1, "Open"},
                       cut{"on a title", "0 File", 0, ""},
                       cut{"on a bare command", "0 File\n7", 1, ""}}) {
    SCOPED_TRACE(c.name);
    mbar.mbar_nuke_menus(1);
    mbar.mbar_read_menus(menu_file("cut.txt", std::string(k_header) + c.body), "cut.txt");
    EXPECT_EQ(menu(0).name, "File");
    ASSERT_EQ(menu(0).items.size(), c.items);
    if (c.items) {
      EXPECT_EQ(menu(0).items.back().text, c.last);
    }
    EXPECT_EQ(menu(1).name, "");
  }
}

namespace {
void read_in_qa_run(const std::string& folder) {
  xer.open("/dev/stderr");
  cmdline.options["--qa_script"] = "";
  mbar.mbar_read_menus(folder, "menu.txt");
}
}  // namespace

TEST_F(Mbar, AMissingOrWronglyHeadedFileEndsTheProgram) {
  const std::string missing = test_scratch_dir("menus");
  const std::string wrong = menu_file("menu.txt", "I\n2 version\n0 File\n-\n");
  const std::string garbage = menu_file("menu.txt", "this is not a menu file\n");
  for (const std::string& folder : {missing, wrong, garbage}) {
    SCOPED_TRACE(folder);
    // The death child makes its own scratch folders, so only the path's tail is known.
    const std::string expect = "Cannot open file!\n/.*/menus/English/menu.txt\n"
                               "Trash this copy and re-install Duvizo.\n\n\\(RUvozuz/OOPS_cpp/mbar line 657\\)";
    EXPECT_EXIT(read_in_qa_run(folder), testing::ExitedWithCode(1), expect);
  }
}
