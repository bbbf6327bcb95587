// The path choosers: what the field shows, edits written back, the folder
// button running the browser, the character-buffer forms cutting on
// character boundaries, and the misuse alerts.
#include <cstring>
#include "browser_fixture.h"

namespace {

constexpr float cx = 200, cy = 300, cw = 150;

class Chooser : public Browser {
 protected:
  // The field's text drawn in the last frame.
  std::vector<std::string> field_texts() const {
    std::vector<std::string> out;
    for (const OGL_string_call& s : d->trace().strings)
      if (s.col == 50 && s.x == cx) out.push_back(s.text);
    return out;
  }
};

TEST_F(Chooser, CommandTypesShowTheWholePathOthersTheName) {
  const struct {
    int type;
    const char* path;
    const char* shown;
  } cases[] = {{3, "Aircraft/glider.acf", "glider.acf"}, {0, "a/b/", "b/"},       {10, "plain", "plain"},
               {22, "sim/operation/", "sim/operation/"}, {23, "sim/operation/quit", "sim/operation/quit"}};
  for (const auto& c : cases) {
    std::string path = c.path;
    d->frame([&] { BTN_select_path_stl(cx, cy, 998, c.type, &path, 100, "Path|right", cw, 0); });
    EXPECT_EQ(field_texts(), std::vector<std::string>{c.shown}) << c.path;
    EXPECT_EQ(path, c.path);
  }
}

TEST_F(Chooser, AnEditWritesTheFieldBack) {
  std::string path = "Aircraft/glider.acf";
  auto draw = [&] { BTN_select_path_stl(cx, cy, 998, 3, &path, 100, "", cw, 0); };
  click(static_cast<int>(cx + cw - 5), static_cast<int>(cy + 3), draw);
  EXPECT_EQ(path, "Aircraft/glider.acf");
  d->text("x");
  d->frame(draw);
  EXPECT_EQ(path, "glider.acfx");
}

TEST_F(Chooser, TheFolderButtonRunsTheBrowser) {
  std::string path;
  int result = -1;
  // In the browser: the root's fourth entry, "notes.fdr", centred on the third.
  run([&](int f) { double_click_in(f, 1, 100, row_y(3, 2)); },
      [&] {
        d->press(static_cast<int>(cx - 17), static_cast<int>(cy + 2));
        d->frame([&] { result = BTN_select_path_stl(cx, cy, 998, 0, &path, 100, "{Pick a file", cw, 0); });
      });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(path, "notes.fdr");
  EXPECT_EQ(wins.cur_win, 0);

  // Hovering shows the label's help; nothing runs.
  d->release(static_cast<int>(cx - 17), static_cast<int>(cy + 2));
  std::string tip;
  d->frame([&] {
    result = BTN_select_path_stl(cx, cy, 998, 0, &path, 100, "{Pick a file", cw, 0);
    tip = help.text;
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(tip, "Pick a file");
}

TEST_F(Chooser, BufferFormsCutOnCharacterBoundaries) {
  // "abc" and a two-byte character.
  const struct {
    int size;
    const char* kept;
  } cases[] = {{16, "abc\xc3\xa9"}, {6, "abc\xc3\xa9"}, {5, "abc"}, {4, "abc"}, {3, "ab"}, {1, ""}};
  for (const auto& c : cases) {
    char buffer[16] = "abc\xc3\xa9";
    d->frame([&] { BTN_select_path_chr(cx, cy, 998, 23, buffer, c.size, "", cw, 0); });
    EXPECT_STREQ(buffer, c.kept) << c.size;
  }
}

TEST_F(Chooser, FileFormTakesTheBrowsedNameCutOnABoundary) {
  // "my-folder" holds "café"; four bytes keep "caf" and the terminator.
  const struct {
    int max_chars;
    const char* name;
  } cases[] = {{5, "caf"}, {6, "caf\xc3\xa9"}};
  for (const auto& c : cases) {
    char name[16] = "x";
    std::string folder = "my-folder/x";
    int result = -1;
    run([&](int f) { double_click_in(f, 1, 100, row_y(0, 0)); },
        [&] {
          d->press(static_cast<int>(cx - 17), static_cast<int>(cy + 2));
          d->frame([&] { result = BTN_select_file_chr(cx, cy, 998, 0, name, &folder, c.max_chars, "", cw); });
        });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(folder, "my-folder/caf\xc3\xa9");
    EXPECT_STREQ(name, c.name);
  }
}

TEST_F(Chooser, ALongResultRaisesStringTooLong) {
  std::vector<char> buffer(600, 'a');
  buffer[550] = 0;
  d->frame([&] { BTN_select_path_chr(cx, cy, 998, 23, buffer.data(), 600, "", cw, 0); });
  ASSERT_EQ(d->alerts().size(), 1u);
  EXPECT_EQ(d->alerts()[0].lines[0], "String too long!");
  EXPECT_EQ(d->alerts()[0].source, "RUvozuz/GenH/hl_string");
  EXPECT_EQ(d->alerts()[0].line, 129);
}

TEST_F(Chooser, MisuseRaisesTheCrashAlert) {
  char buffer[8] = "";
  std::string path;
  const struct {
    std::function<void()> call;
    const char* text;
    int line;
  } cases[] = {
      {[&] { BTN_select_path_stl(cx, cy, 997, 0, &path, 10, "", cw, 0); }, "Bad open_save arg to BTN_select_file_stl!",
       799},
      {[&] { BTN_select_path_stl(cx, cy, 998, 24, &path, 10, "", cw, 0); },
       "Bad file_type arg to BTN_select_file_stl!", 800},
      {[&] { BTN_select_path_chr(cx, cy, 0, 0, buffer, 8, "", cw, 0); }, "Bad open_save arg to BTN_select_file_chr!",
       827},
      {[&] { BTN_select_path_chr(cx, cy, 999, -1, buffer, 8, "", cw, 0); },
       "Bad file_type arg to BTN_select_file_chr!", 828},
      {[&] { BTN_select_file_chr(cx, cy, 1, 0, buffer, &path, 8, "", cw); }, "Bad open_save arg to BTN_select_file_chr!",
       842},
      {[&] { BTN_select_file_chr(cx, cy, 998, 99, buffer, &path, 8, "", cw); },
       "Bad file_type arg to BTN_select_file_chr!", 843},
  };
  for (const auto& c : cases) {
    d->frame(c.call);
    ASSERT_EQ(d->alerts().size(), 1u) << c.text;
    EXPECT_EQ(d->alerts()[0].kind, 3);
    EXPECT_EQ(d->alerts()[0].lines[0], c.text);
    EXPECT_EQ(d->alerts()[0].source, "RUvozuz/OOPS_cpp/butn");
    EXPECT_EQ(d->alerts()[0].line, c.line);
  }
}

}  // namespace
