// Text fields through real frames: focus, typing, selection by mouse and
// keys, the clipboard, the cut to max_len and the editor's callbacks.
#include <cstring>
#include <string>
#include "click_fixture.h"
#include "shell/utl_clipboard.h"
#include "widgets/butn_enterstring.h"
#include "widgets/focus.h"

namespace {

enum {
  sc_a = 4, sc_c = 6, sc_v = 25, sc_x = 27, sc_tab = 43, sc_home = 74, sc_end = 77, sc_delete = 76,
  sc_right = 79, sc_left = 80
};

class Field : public Clicks {
 protected:
  void SetUp() override {
    Clicks::SetUp();
    BTN_begin_focus_ring();
    BTN_unfocus_any();
    focused_field_id = 0;
    ctr_slot = 0;
  }
  void TearDown() override {
    BTN_begin_focus_ring();
    BTN_unfocus_any();
    focused_field_id = 0;
    OGLE_input = nullptr;
    Clicks::TearDown();
  }
  // One frame of the field at (x, y), 200 wide; its result.
  int frame(int take = 0, int max_len = 256) {
    int r = 0;
    d->frame([&] { r = BTN_enterstring(x, y, &text, max_len, "Name|{Tip", 200, take); });
    return r;
  }
  std::pair<int, int> selection() const {
    int s = -1, e = -1;
    OGLE_GetSelection(ogle, &s, &e);
    return {s, e};
  }
  // A focused field holding t with the caret at its end.
  void focused(const std::string& t) {
    text = t;
    frame(1);
    OGLE_SetSelection(ogle, static_cast<int>(t.size()), static_cast<int>(t.size()));
  }
  float x = 100, y = 300;
  std::string text;
};

TEST_F(Field, TakeFocusSelectsAllAndTabToo) {
  text = "hello";
  std::string other = "world";
  d->frame([&] {
    BTN_enterstring(x, y, &text, 256, "", 200, 1);
    BTN_enterstring(x, y - 30, &other, 256, "", 200, 0);
  });
  EXPECT_EQ(focus_id, 100 * 8192 + 300);
  EXPECT_EQ(selection(), std::make_pair(0, 5));
  OGLE_SetSelection(ogle, 2, 2);
  d->key(sc_tab, "\t");
  for (int i = 0; i < 2; ++i)
    d->frame([&] {
      BTN_enterstring(x, y, &text, 256, "", 200, 1);
      BTN_enterstring(x, y - 30, &other, 256, "", 200, 0);
    });
  EXPECT_EQ(focus_id, 100 * 8192 + 270);
  EXPECT_EQ(OGLE_input, &other);
  EXPECT_EQ(selection(), std::make_pair(0, 5));
}

TEST_F(Field, ClickPlacesTheCaretAndDragExtendsPastTheField) {
  text = "abcdef";
  const float at = x + OGL_measure_string("abc") + 0.5f;
  d->press(static_cast<int>(at), static_cast<int>(y + 3));
  frame();
  EXPECT_EQ(focus_id, 100 * 8192 + 300);
  EXPECT_EQ(selection(), std::make_pair(3, 3));
  d->move(20, static_cast<int>(y + 3));
  frame();
  EXPECT_EQ(selection(), std::make_pair(0, 3));
  d->release(20, static_cast<int>(y + 3));
  frame();
}

TEST_F(Field, TypingAtMaxLenInsertsThenCutsWholeCharacters) {
  const struct {
    const char* what;
    std::string start;
    int caret;
    std::string typed;
    std::string want;
  } rows[] = {
      {"at the end is dropped", "abc", 3, "d", "abc"},
      {"in the middle pushes the last out", "abc", 1, "x", "axb"},
      {"a 2-byte character at the boundary goes whole", "ab", 2, "\xC3\xA9", "ab"},
      {"a 2-byte character that fits", "a", 1, "\xC3\xA9", "a\xC3\xA9"},
  };
  for (const auto& row : rows) {
    text = row.start;
    frame(1, 3);
    OGLE_SetSelection(ogle, row.caret, row.caret);
    d->text(row.typed);
    EXPECT_EQ(frame(1, 3), 1) << row.what;
    EXPECT_EQ(text, row.want) << row.what;
    BTN_begin_focus_ring();
    BTN_unfocus_any();
    focused_field_id = 0;
  }
}

TEST_F(Field, ControlBytesAndBadCharactersTypeNothing) {
  focused("ab");
  for (const char* t : {"\x01", "\x7F", "\x1B"}) d->text(t);
  EXPECT_EQ(frame(), 0);
  EXPECT_EQ(text, "ab");
}

TEST_F(Field, CutCopyPaste) {
  focused("hello");
  // Copy with an empty selection empties the clipboard.
  UTL_SetTextToClipboard("before");
  d->key(sc_c, "", plat_mod_control);
  frame();
  std::string clip = "x";
  ASSERT_TRUE(UTL_GetTextFromClipboard(clip));
  EXPECT_EQ(clip, "");
  // Cut with an empty selection changes nothing.
  d->key(sc_x, "", plat_mod_control);
  EXPECT_EQ(frame(), 0);
  EXPECT_EQ(text, "hello");
  // Paste over a selection leaves the paste selected, as one line.
  UTL_SetTextToClipboard("a\r\nb\tc");
  OGLE_SetSelection(ogle, 1, 4);
  d->key(sc_v, "", plat_mod_control);
  EXPECT_EQ(frame(), 1);
  EXPECT_EQ(text, "ha b co");
  EXPECT_EQ(selection(), std::make_pair(1, 6));
  // Cut puts the selection on the clipboard and deletes it.
  d->key(sc_x, "", plat_mod_control);
  frame();
  ASSERT_TRUE(UTL_GetTextFromClipboard(clip));
  EXPECT_EQ(clip, "a b c");
  EXPECT_EQ(text, "ho");
}

TEST_F(Field, PasteLine) {
  EXPECT_EQ(BTN_paste_line("a\r\nb\tc"), "a b c");
  EXPECT_EQ(BTN_paste_line("a\rb\nc\x01\x7F"), "a b c");
  EXPECT_EQ(BTN_paste_line("a\xC3"), "");
}

TEST_F(Field, HomeEndAndForwardDelete) {
  const struct {
    const char* what;
    int start, end, active;
    int scancode;
    unsigned mods;
    int want_start, want_end;
    std::string want_text;
  } rows[] = {
      {"Home", 3, 3, 1, sc_home, 0, 0, 0, "abcde"},
      {"End", 1, 1, 1, sc_end, 0, 5, 5, "abcde"},
      {"Shift+Home", 3, 3, 1, sc_home, plat_mod_shift, 0, 3, "abcde"},
      {"Shift+End", 1, 2, 1, sc_end, plat_mod_shift, 1, 5, "abcde"},
      {"Shift+End moving the start", 1, 2, 0, sc_end, plat_mod_shift, 2, 5, "abcde"},
      {"Delete the next character", 1, 1, 1, sc_delete, 0, 1, 1, "acde"},
      {"Delete the selection", 1, 3, 1, sc_delete, 0, 1, 1, "ade"},
      {"Delete at the end", 5, 5, 1, sc_delete, 0, 5, 5, "abcde"},
  };
  for (const auto& row : rows) {
    focused("abcde");
    OGLE_SetSelection(ogle, row.start, row.end);
    ogle->end_active = row.active;
    d->key(row.scancode, "", row.mods);
    frame();
    EXPECT_EQ(selection(), std::make_pair(row.want_start, row.want_end)) << row.what;
    EXPECT_EQ(text, row.want_text) << row.what;
  }
}

TEST_F(Field, ReleasesAreConsumed) {
  focused("ab");
  d->key_up(sc_a);
  EXPECT_EQ(frame(), 0);
  EXPECT_EQ(text, "ab");
  EXPECT_EQ(ctr_slot, 0);
}

TEST_F(Field, SamePositionSharesTheFocusAndOriginNeverHasIt) {
  std::string a = "one", b = "two";
  d->frame([&] {
    BTN_enterstring(x, y, &a, 256, "", 200, 1);
    BTN_enterstring(x, y, &b, 256, "", 100, 0);
  });
  EXPECT_EQ(focus_id, 100 * 8192 + 300);
  EXPECT_EQ(OGLE_input, &b);  // the second drawn is bound last
  BTN_begin_focus_ring();
  BTN_unfocus_any();
  focused_field_id = 0;
  x = 0, y = 0;
  text = "zero";
  frame(1);
  EXPECT_EQ(focus_id, 0);
  d->text("q");
  EXPECT_EQ(frame(1), 0);
  EXPECT_EQ(text, "zero");
}

TEST_F(Field, KeysOfAFieldThatLostTheFocusAreDropped) {
  std::string other = "other";
  focused("mine");
  d->text("z");
  // The click on the other field moves the focus in the frame that drains.
  d->press(static_cast<int>(x + 5), static_cast<int>(y - 30 + 3));
  d->frame([&] {
    BTN_enterstring(x, y - 30, &other, 256, "", 200, 0);
    BTN_enterstring(x, y, &text, 256, "", 200, 0);
  });
  EXPECT_EQ(text, "mine");
  EXPECT_EQ(other, "other");
}

TEST_F(Field, CallerShorteningTheTextIsLaidOutAgain) {
  focused("abc\ndef");
  OGLE_SetSelection(ogle, 5, 7);
  text = "ab";
  frame();
  EXPECT_EQ(ogle->line_starts, std::vector<int>{0});
  EXPECT_EQ(selection(), std::make_pair(2, 2));
}

TEST_F(Field, CharBufferOf500BytesRaisesTheAlert) {
  char buf[600];
  memset(buf, 'a', 499);
  buf[499] = 0;
  d->frame([&] { BTN_enterstring(x, y, buf, 600, "", 200, 0); });
  EXPECT_TRUE(d->alerts().empty());
  memset(buf, 'a', 500);
  buf[500] = 0;
  d->frame([&] { BTN_enterstring(x, y, buf, 600, "", 200, 0); });
  ASSERT_EQ(d->alerts().size(), 1u);
  EXPECT_EQ(d->alerts()[0].lines[0], "String too long!");
  EXPECT_EQ(d->alerts()[0].lines[1], std::string(500, 'a'));
}

TEST_F(Field, CharacterCallbacks) {
  std::string t = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";  // a é € grin: 0, 1, 3, 6, end 10
  OGLE_input = &t;
  const int next[][2] = {{0, 1}, {1, 3}, {2, 3}, {3, 6}, {6, 10}, {9, 10}, {10, 11}, {12, 13}};
  for (auto [i, want] : next) EXPECT_EQ(OGLE_MBCS_NextPos(nullptr, i), want) << i;
  const int prev[][2] = {{0, -1}, {1, 0}, {3, 1}, {4, 1}, {6, 3}, {10, 6}};
  for (auto [i, want] : prev) EXPECT_EQ(OGLE_MBCS_PrevPos(nullptr, i), want) << i;
  EXPECT_EQ(OGLE_MBCS_Next(nullptr, t.data() + 2), t.data() + 3);
  EXPECT_EQ(OGLE_MBCS_Next(nullptr, t.data() + 7), t.data() + 10);
  const std::string w = "  ab cd";
  EXPECT_EQ(OGLE_WordBreak(nullptr, w.data(), w.data() + w.size()), w.data() + 4);
  OGLE_input = nullptr;
}

TEST_F(Field, AnOverWideNameKeepsEveryByteAndWholeCharacters) {
  std::string name;
  for (int i = 0; i < 128; ++i) name += "\xC3\xA9";  // 256 bytes, no blanks
  focused(name);
  d->frame([&] { BTN_enterstring(x, y, &text, 256, "", 200, 0); });
  EXPECT_EQ(text, name);
  for (size_t i = 1; i < ogle->line_starts.size(); ++i)
    EXPECT_NE(static_cast<unsigned char>(text[ogle->line_starts[i]]) & 0xC0, 0x80) << i;
}

}  // namespace

namespace {
uint32_t green(uint32_t rgba) { return (rgba >> 16) & 0xFF; }

// Read-back: the field's text never shows outside its clip box, and the
// caret's opacity is the pulse of its frame.
TEST_F(Field, DrawsOnlyInsideItsClipBoxAndTheCaretPulses) {
  text = "";
  frame();
  const frame_capture empty = d->captures().back();
  focused("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW");
  OGLE_SetSelection(ogle, 3, 70);
  frame();
  const frame_capture& full = d->captures().back();
  int differing_inside = 0;
  int above = 0, below = 0;
  OGL_font_extent(&above, &below);
  for (int py = 0; py < 600; ++py)
    for (int px = 0; px < 800; ++px) {
      const bool inside = px >= x - 1 && px < x - 1 + 202 && py >= y - 1 - below && py < y - 1 + above;
      if (!inside)
        ASSERT_EQ(full.pixel(px, py), empty.pixel(px, py)) << px << "," << py;
      else
        differing_inside += full.pixel(px, py) != empty.pixel(px, py);
    }
  EXPECT_GT(differing_inside, 0);

  // An empty field with the caret at its left edge, at two pulse levels.
  text = "";
  std::vector<float> pulses;
  std::vector<uint32_t> caret;
  for (int i = 0; i < 2; ++i) {
    d->frame([&] {
      pulses.push_back(colr.pulse);
      BTN_enterstring(x, y, &text, 256, "Name|{Tip", 200, 0);
    });
    caret.push_back(green(d->captures().back().pixel(static_cast<int>(x), static_cast<int>(y) + 2)));
    d->advance(0.37);
  }
  const uint32_t bg = green(empty.pixel(static_cast<int>(x), static_cast<int>(y) + 2));
  ASSERT_NE(pulses[0], pulses[1]);
  // Green of a blend: bg + (c - bg) * pulse, so the two frames' lifts over the
  // background stand as their pulses do.
  const float lift0 = static_cast<float>(caret[0]) - bg, lift1 = static_cast<float>(caret[1]) - bg;
  ASSERT_GT(std::fabs(lift0), 5.0f);
  EXPECT_NEAR(lift0 / lift1, pulses[0] / pulses[1], 0.08f);
}

// Underscores and descenders lie below the baseline (y - 1): the field shows
// them as the same text drawn unclipped elsewhere shows them, focused or not.
TEST_F(Field, UnderscoresAndDescendersShow) {
  const std::string name = "gjpqy_a_b__c";
  const float free_y = 200;  // the same text, unclipped, below the field
  // Which pixels of rows dy below the baseline the text inked, column by column.
  auto ink_below = [&](const frame_capture& with, const frame_capture& without, float base) {
    std::string rows;
    for (int dy = 1; dy <= 4; ++dy) {
      for (int px = static_cast<int>(x) + 1; px < x + OGL_measure_string(name) - 1; ++px)
        rows += with.pixel(px, static_cast<int>(base) - dy) != without.pixel(px, static_cast<int>(base) - dy) ? '#' : '.';
      rows += '\n';
    }
    return rows;
  };
  const struct {
    const char* what;
    int take;
  } ways[] = {{"unfocused", 0}, {"focused", 1}};
  for (const auto& w : ways) {
    BTN_unfocus_any();
    focused_field_id = 0;
    auto draw = [&](const std::string& t) {
      text = t;
      d->frame([&] {
        BTN_enterstring(x, y, &text, 256, "Name|{Tip", 200, w.take);
        OGL_string(50, x, free_y - 1, t, font_no_wrap, cs_regular, just_left);
      });
      // The caret and the selection are not the question here: the caret
      // stands past the text's end (or, in the empty field, on the column
      // left of those compared).
      if (w.take) OGLE_SetSelection(ogle, static_cast<int>(t.size()), static_cast<int>(t.size()));
      d->frame([&] {
        BTN_enterstring(x, y, &text, 256, "Name|{Tip", 200, 0);
        OGL_string(50, x, free_y - 1, t, font_no_wrap, cs_regular, just_left);
      });
      return d->captures().back();
    };
    const frame_capture empty = draw("");
    const frame_capture full = draw(name);
    const std::string field = ink_below(full, empty, y - 1), free_text = ink_below(full, empty, free_y - 1);
    EXPECT_NE(free_text.find('#'), std::string::npos) << w.what;
    EXPECT_EQ(field, free_text) << w.what << ": the field shows\n" << field << "the glyphs are\n" << free_text;
  }
}

}  // namespace
