// The in-window file browser through real frames in a fixture folder:
// saving and opening, folders entered and left, the staircase and its
// pop-up, cancelling and closing, start folders, the ".fdr" comment, the
// command registry as folders, and the misuse alerts.
#include <functional>
#include "browser_fixture.h"
#include "shell/mbar.h"

namespace {

// The caller's sub-window, which the browser restores.
constexpr int k_caller = 2;
// The Save window's name field and the buttons.
constexpr float k_field_x = 200, k_field_y = 52;
constexpr float k_save_x = 282, k_open_x = 280, k_cancel_x = 33, k_button_y = 18;

// The root of the fixture folder as type 0 lists it.
enum { root_aircraft, root_bad, root_my_folder, root_notes, root_output, root_count };

struct browse_case {
  const char* what;
  int window, type;
  const char* start;
  std::function<void(int)> script;
  int result;
  const char* path;
  int window_after;
};

class BrowserRuns : public Browser {
 protected:
  // Clicks the name field, types name, then hits Return.
  void type_and_return(int f, const std::string& name) {
    click_in(f, 1, k_field_x, k_field_y);
    if (f == 3) d->text(name);
    if (f == 5) d->key(sc_return, "\r");
  }
};

TEST_F(BrowserRuns, EachWayOutGivesItsResultPathAndSubWindow) {
  const int mid = root_count / 2;
  const browse_case cases[] = {
      {"Save glider.acf as type 3", 999, 3, "", [this](int f) {
         click_in(f, 1, k_field_x, k_field_y);
         if (f == 3) d->text("glider.acf");
         click_in(f, 5, k_save_x, k_button_y);
       }, 1, "glider.ACF", k_caller},
      {"Return saves notes as type 12, no extension", 999, 12, "",
       [this](int f) { type_and_return(f, "notes"); }, 1, "notes", k_caller},
      {"an empty name does not save", 999, 3, "", [this](int f) {
         click_in(f, 1, k_save_x, k_button_y);
         if (f == 3) d->key(sc_return, "\r");
         if (f == 6) d->key(sc_escape, "");
       }, 0, "unchanged", k_caller},
      {"open a file in a folder entered by double click", 998, 0, "", [this, mid](int f) {
         double_click_in(f, 1, 100, row_y(root_aircraft, mid));
         double_click_in(f, 6, 100, row_y(0, 0));
       }, 1, "Aircraft/glider.acf", k_caller},
      {"Delete does nothing at the root and goes back up from a folder", 998, 0, "", [this, mid](int f) {
         if (f == 1) d->key(sc_delete, "");
         double_click_in(f, 3, 100, row_y(root_my_folder, mid));
         if (f == 8) d->key(sc_delete, "");
         double_click_in(f, 10, 100, row_y(root_notes, mid));
       }, 1, "notes.fdr", k_caller},
      {"the Open button takes the selected file", 998, 0, "", [this, mid](int f) {
         click_in(f, 1, 100, row_y(root_bad, mid));
         click_in(f, 4, k_open_x, k_button_y);
       }, 1, "bad.fdr", k_caller},
      {"a double click on a file in Save does nothing", 999, 0, "", [this, mid](int f) {
         double_click_in(f, 1, 100, row_y(root_notes, mid));
         if (f == 8) {
           EXPECT_EQ(wins.cur_win, 999);
           d->key(sc_escape, "");
         }
       }, 0, "unchanged", k_caller},
      {"Escape", 998, 0, "", [this](int f) { if (f == 2) d->key(sc_escape, ""); }, 0, "unchanged",
       k_caller},
      {"Cancel", 999, 0, "", [this](int f) { click_in(f, 1, k_cancel_x, k_button_y); }, 0, "unchanged",
       k_caller},
      {"closing the sub-window", 998, 0, "", [](int f) { if (f == 2) MACIBM_close_win(); }, 0,
       "unchanged", 0},
      {"a path starts in its folder with an empty name", 999, 3, "Aircraft/a.acf",
       [this](int f) { type_and_return(f, "b"); }, 1, "Aircraft/b.ACF",
       k_caller},
      {"no path starts in the type's folder", 998, 10, "", [this](int f) {
         double_click_in(f, 1, 100, row_y(0, 0));
       }, 1, "Output/replays/one.rep", k_caller},
      {"commands: a group opens as a folder", 998, 23, "", [this](int f) {
         // "none", "operation", "general" centred on the second; then
         // "screenshot", "quicktime_record_toggle", "quit".
         double_click_in(f, 1, 100, row_y(1, 1));
         double_click_in(f, 6, 100, row_y(2, 1));
       }, 1, "sim/operation/quit", k_caller},
  };
  for (const browse_case& c : cases) {
    SCOPED_TRACE(c.what);
    wins.start_win(k_caller);
    std::string path = c.start;
    const std::string before = path;
    int result = -1;
    run([&](int f) { c.script(f); }, [&] { result = BTN_opensave(c.window, c.type, &path); });
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(path, std::string(c.path) == "unchanged" ? before : c.path);
    EXPECT_EQ(wins.cur_win, c.window_after);
  }
}

TEST_F(BrowserRuns, ListsSkipDotNamesAndTheStaircaseShowsHyphensAsBlanks) {
  const int mid = root_count / 2;
  std::vector<std::string> root_rows, folder_stair, folder_popup, back_rows;
  float rx = 0, ry = 0;
  run(
      [&](int f) {
        if (f == 1) root_rows = texts(50);
        double_click_in(f, 1, 100, row_y(root_my_folder, mid));
        if (f == 6) {
          folder_stair = texts(52);
          folder_popup = texts(43);
        }
        // The pop-up opens on a click and offers the levels; the root is
        // the first.
        click_in(f, 6, 160, 437);
        if (f == 9) {
          const auto& rows = mbar.menus[k_mbar_popup].items;
          ASSERT_EQ(rows.size(), 2u);
          rx = (rows[0].left + rows[0].right) / 2.0f;
          ry = (rows[0].bottom + rows[0].top) / 2.0f;
        }
        click_in(f, 9, rx, ry);
        if (f == 13) back_rows = texts(50);
        if (f == 13) d->key(sc_escape, "");
      },
      [&] {
        std::string path;
        BTN_opensave(998, 0, &path);
      });
  const std::vector<std::string> root = {"Aircraft", "bad.fdr", "my-folder", "notes.fdr", "Output"};
  EXPECT_EQ(root_rows, root);
  EXPECT_EQ(folder_stair, std::vector<std::string>{"my folder"});
  EXPECT_EQ(folder_popup, std::vector<std::string>{"my folder"});
  EXPECT_EQ(back_rows, root);
}

TEST_F(BrowserRuns, FlightDataCommentShowsOnlyForACommaAfterComm) {
  // Type 8 lists the folders and the two ".fdr" files, as the root does.
  const int mid = root_count / 2;
  std::vector<std::string> on_notes, on_bad;
  run(
      [&](int f) {
        click_in(f, 1, 100, row_y(root_notes, mid));
        if (f == 4) on_notes = texts(52);
        click_in(f, 4, 100, row_y(root_bad, mid));
        if (f == 7) on_bad = texts(52);
        if (f == 7) d->key(sc_escape, "");
      },
      [&] {
        std::string path;
        BTN_opensave(998, 8, &path);
      });
  EXPECT_EQ(on_notes, std::vector<std::string>{"Approach to runway 4"});
  EXPECT_EQ(on_bad, std::vector<std::string>{});
}

TEST_F(BrowserRuns, CommentLinesAndHeaders) {
  const struct {
    const char* text;
    const char* comment;
  } cases[] = {
      {"I\n1 version\nCOMM,Approach to runway 4\n", "Approach to runway 4"},
      {"I\n1 version\nCOMM Approach\n", ""},
      {"I\n1 version\n  comm,   first\nOTHER,x\nCOMM,second\r\n", "second"},
      {"I\n1 version\nCOMM\n", ""},
      {"I\n2 version\nCOMM,newer header\n", ""},
      {"A\n1 version\nCOMM,last line without end", "last line without end"},
      {"", ""},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(test_write_file("case.fdr", c.text));
    EXPECT_EQ(BTN_fdr_comment("case.fdr"), c.comment) << c.text;
  }
  EXPECT_EQ(BTN_fdr_comment("missing.fdr"), "");
}

TEST_F(BrowserRuns, StartFoldersAndExtensionsByType) {
  const struct {
    int type;
    const char* folder;
    const char* extension;
  } cases[] = {{0, "", ""},       {3, "", ".ACF"},     {9, "Output/situations/", ".SIT"},
               {11, "Output/FMS plans/", ".FMS"},   {12, "", ""},
               {15, "Output/spaceships/", ".SPA"},  {16, "Output/regions/", ".REG"},
               {19, "", ".OZ"},     {22, "sim/", ""}, {23, "sim/", ""}, {24, "", ""}};
  for (const auto& c : cases) {
    EXPECT_EQ(BTN_io_start_folder(c.type), c.folder) << c.type;
    EXPECT_EQ(BTN_io_save_extension(c.type), c.extension) << c.type;
  }
}

TEST_F(BrowserRuns, MisuseRaisesTheCrashAlert) {
  const struct {
    int window, type;
    const char* text;
    int line;
  } cases[] = {
      {997, 0, "Bad open_save arg to BTN_opensave!", 1741},
      {0, 3, "Bad open_save arg to BTN_opensave!", 1741},
      {998, 24, "Bad file_type arg to BTN_opensave!", 1742},
      {999, -1, "Bad file_type arg to BTN_opensave!", 1742},
  };
  for (const auto& c : cases) {
    std::string path;
    d->frame([&] { BTN_opensave(c.window, c.type, &path); });
    ASSERT_EQ(d->alerts().size(), 1u) << c.text;
    EXPECT_EQ(d->alerts()[0].kind, 3);
    EXPECT_EQ(d->alerts()[0].lines[0], c.text);
    EXPECT_EQ(d->alerts()[0].source, "RUvozuz/OOPS_cpp/butn");
    EXPECT_EQ(d->alerts()[0].line, c.line);
    EXPECT_EQ(wins.cur_win, 0);
  }
}

}  // namespace
