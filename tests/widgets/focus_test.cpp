// Key dispatch to the focused field: the Tab moves around the ring, the key
// classes each field takes, and the queues that must never overflow.
#include <gtest/gtest.h>
#include <vector>
#include "shell/wins.h"
#include "widgets/focus.h"

namespace {

// One widget kind's queues, on the heap so that a write past them shows.
struct queues {
  std::vector<int> ch = std::vector<int>(k_focus_queue_size), vkey = ch, flags = ch, id = ch;
  int counter = 0;
  int add(int field, int accept, int take = 0) {
    return BTN_register_focus(field, ch.data(), vkey.data(), flags.data(), id.data(), &counter,
                              k_focus_queue_size, accept, take);
  }
};

class Focus : public testing::Test {
 protected:
  void SetUp() override {
    saved_win = wins.cur_win;
    wins.cur_win = 0;
    BTN_begin_focus_ring();
    BTN_unfocus_any();
  }
  void TearDown() override {
    BTN_begin_focus_ring();
    BTN_unfocus_any();
    wins.cur_win = saved_win;
  }
  // The ring of one frame: fields 10, 20, 30 drawn in that order.
  void three_fields(int accept) {
    BTN_begin_focus_ring();
    for (int id : {10, 20, 30}) q.add(id, accept);
  }
  queues q;
  int saved_win = 0;
};

const int text_field = 0x3F4;

TEST_F(Focus, TabWithNoFocus) {
  // Nothing drawn: Tab goes on to the bindings.
  EXPECT_EQ(BTN_dispatch_to_focus(9, 9, 8), 0);
  three_fields(text_field);
  EXPECT_EQ(BTN_dispatch_to_focus(9, 9, 9), 1);  // Shift+Tab too starts at the front
  EXPECT_EQ(focus_id, 10);
  BTN_unfocus_any();
  EXPECT_EQ(BTN_dispatch_to_focus(9, 9, 16), 0);  // a release starts nothing
  EXPECT_EQ(focus_id, 0);
  EXPECT_EQ(BTN_dispatch_to_focus(9, 9, 8), 1);
  EXPECT_EQ(focus_id, 10);
}

TEST_F(Focus, TabWrapsAroundTheRing) {
  three_fields(text_field);
  BTN_dispatch_to_focus(9, 9, 8);
  EXPECT_EQ(BTN_dispatch_to_focus(9, 9, 9), 1);
  EXPECT_EQ(focus_id, 30);  // Shift+Tab on the first: the last
  EXPECT_EQ(BTN_dispatch_to_focus(9, 9, 8), 1);
  EXPECT_EQ(focus_id, 10);  // Tab on the last: the first
  EXPECT_EQ(BTN_dispatch_to_focus(9, 9, 0), 1);  // a repeat moves on too
  EXPECT_EQ(focus_id, 20);
  // The release neither moves nor is taken by a field without Tab.
  EXPECT_EQ(BTN_dispatch_to_focus(9, 9, 16), 0);
  EXPECT_EQ(focus_id, 20);
  EXPECT_EQ(q.counter, 0);

  BTN_begin_focus_ring();
  q.add(20, text_field);
  EXPECT_EQ(BTN_dispatch_to_focus(9, 9, 8), 1);
  EXPECT_EQ(focus_id, 20);
}

TEST_F(Focus, FieldThatTakesTabGetsIt) {
  three_fields(text_field | focus_tab);
  BTN_dispatch_to_focus(9, 9, 8);
  EXPECT_EQ(BTN_dispatch_to_focus(9, 9, 8), 1);
  EXPECT_EQ(focus_id, 10);
  ASSERT_EQ(q.counter, 1);
  EXPECT_EQ(q.vkey[0], 9);
  EXPECT_EQ(q.id[0], 10);
}

TEST_F(Focus, FieldNoLongerDrawnDropsTheFocus) {
  three_fields(text_field);
  focus_id = 99;
  EXPECT_EQ(BTN_dispatch_to_focus('a', 65, 8), 0);
  EXPECT_EQ(focus_id, 0);
  focus_id = 99;
  EXPECT_EQ(BTN_dispatch_to_focus(9, 9, 8), 1);
  EXPECT_EQ(focus_id, 10);
  BTN_begin_focus_ring();
  focus_id = 99;
  EXPECT_EQ(BTN_dispatch_to_focus(9, 9, 8), 0);
  EXPECT_EQ(focus_id, 0);
}

TEST_F(Focus, AlertWindowTakesNoKeys) {
  three_fields(text_field | focus_tab);
  focus_id = 20;
  wins.cur_win = 994;
  EXPECT_EQ(BTN_dispatch_to_focus(9, 9, 8), 0);
  EXPECT_EQ(BTN_dispatch_to_focus('a', 65, 8), 0);
  EXPECT_EQ(focus_id, 20);
  EXPECT_EQ(q.counter, 0);
}

TEST_F(Focus, EachKeyFallsIntoOneClass) {
  const struct {
    int ch, vkey, flags, cls;
  } rows[] = {
      {9, 9, 8, focus_tab},          {13, 13, 8, focus_return},   {0, 187, 8, focus_return},
      {0, 188, 8, focus_return},     {8, 8, 8, focus_delete},     {0, 46, 8, focus_delete},
      {27, 27, 8, focus_escape},     {0, 33, 8, focus_navigate},  {28, 37, 8, focus_navigate},
      {0, 40, 8, focus_navigate},    {'+', 176, 9, focus_sign},   {'-', 177, 8, focus_sign},
      {'0', 48, 8, focus_digit},     {'5', 101, 8, focus_digit},  {'a', 65, 8, focus_letter},
      {'Z', 90, 9, focus_letter},    {'v', 86, 12, focus_letter}, {' ', 32, 8, focus_printable},
      {'.', 185, 8, focus_printable}, {'~', 186, 9, focus_printable}, {0xE9, 0, 8, focus_printable},
      {0x20AC, 0, 8, focus_printable}, {0, 86, 12, focus_clipboard}, {0, 67, 4, focus_clipboard},
      {0, 88, 28, focus_clipboard},  {0, 86, 8, focus_control},   {0, 116, 8, focus_control},
      {127, 0, 8, focus_control},    {0, 65, 12, focus_control},  {0, 0, 16, focus_control},
  };
  for (const auto& r : rows) EXPECT_EQ(BTN_key_class(r.ch, r.vkey, r.flags), r.cls) << r.ch << " " << r.vkey;
}

TEST_F(Focus, FieldsTakeOnlyTheirClasses) {
  // A text field, a list field and a number field.
  const struct {
    int accept;
    int ch, vkey, flags;
    int taken;
  } rows[] = {
      {text_field, 13, 13, 8, 0},  {text_field, 0, 187, 8, 0},   {text_field, 0, 188, 8, 0},
      {text_field, 27, 27, 8, 0},  {text_field, 0, 116, 8, 0},   {text_field, 'a', 65, 8, 1},
      {text_field, 0, 86, 12, 1},  {text_field, 8, 8, 8, 1},     {text_field, 0xE9, 0, 8, 1},
      {0x1F0, 0, 86, 12, 0},       {0x1F0, 'x', 88, 8, 1},       {0x1F0, 8, 8, 8, 0},
      {0x0D0, 'a', 65, 8, 0},      {0x0D0, '7', 55, 8, 1},       {0x0D0, '-', 177, 8, 1},
      {0x0D0, 28, 37, 8, 1},       {0x0D0, '.', 185, 8, 0},
  };
  for (const auto& r : rows) {
    BTN_begin_focus_ring();
    q.counter = 0;
    q.add(10, r.accept, 1);
    EXPECT_EQ(BTN_dispatch_to_focus(r.ch, r.vkey, r.flags), r.taken) << r.accept << " " << r.vkey;
    EXPECT_EQ(q.counter, r.taken);
  }
}

TEST_F(Focus, CommandLetterIsQueuedAsALetter) {
  BTN_begin_focus_ring();
  EXPECT_EQ(q.add(10, 0x020), 0);
  EXPECT_EQ(q.add(20, 0x020, 1), 1);  // take: the field gets the focus
  EXPECT_EQ(focus_id, 20);
  EXPECT_EQ(BTN_dispatch_to_focus('v', 86, 12), 1);
  ASSERT_EQ(q.counter, 1);
  EXPECT_EQ(q.ch[0], 'v');
  EXPECT_EQ(q.vkey[0], 86);
  EXPECT_EQ(q.flags[0], 12);
  EXPECT_EQ(q.id[0], 20);
  // A release of an accepted key is queued as well.
  EXPECT_EQ(BTN_dispatch_to_focus('v', 86, 16 | 4), 1);
  EXPECT_EQ(q.counter, 2);
}

TEST_F(Focus, StaleQueueMakesRoomForTheFocusedField) {
  // Field 10 got 64 keys and was never drawn again to drain them.
  BTN_begin_focus_ring();
  q.add(10, text_field, 1);
  for (int i = 0; i < k_focus_queue_size; ++i) ASSERT_EQ(BTN_dispatch_to_focus('a', 65, 8), 1);
  EXPECT_EQ(q.counter, k_focus_queue_size);
  // Another field of the same kind on the next screen.
  BTN_begin_focus_ring();
  q.add(20, text_field, 1);
  EXPECT_EQ(BTN_dispatch_to_focus('b', 66, 8), 1);
  ASSERT_EQ(q.counter, 1);
  EXPECT_EQ(q.ch[0], 'b');
  EXPECT_EQ(q.id[0], 20);
}

TEST_F(Focus, FullQueueKeepsItsLiveKeysInOrder) {
  BTN_begin_focus_ring();
  q.add(20, text_field, 1);
  for (int i = 0; i < k_focus_queue_size; ++i) BTN_dispatch_to_focus('a' + i % 26, 65 + i % 26, 8);
  // The widget consumed every other key; two belong to another field.
  for (int i = 0; i < k_focus_queue_size; i += 2) q.id[i] = 0;
  q.id[1] = 10;
  q.id[3] = 10;
  EXPECT_EQ(BTN_dispatch_to_focus('0', 48, 8), 1);
  ASSERT_EQ(q.counter, 31);
  for (int i = 0; i < 30; ++i) {
    EXPECT_EQ(q.ch[i], 'a' + (5 + 2 * i) % 26) << i;
    EXPECT_EQ(q.id[i], 20);
  }
  EXPECT_EQ(q.ch[30], '0');
  // Every slot live and for the focused field: the key is lost, not
  // written past the queue.
  for (int i = q.counter; i < k_focus_queue_size; ++i) BTN_dispatch_to_focus('1', 49, 8);
  EXPECT_EQ(q.counter, k_focus_queue_size);
  EXPECT_EQ(BTN_dispatch_to_focus('2', 50, 8), 1);
  EXPECT_EQ(q.counter, k_focus_queue_size);
  EXPECT_EQ(q.ch[k_focus_queue_size - 1], '1');
}

TEST_F(Focus, NoFocusHelpers) {
  EXPECT_EQ(BTN_no_focus_yet(), 1);
  BTN_window_has_focus();
  EXPECT_EQ(BTN_no_focus_yet(), 0);
  BTN_begin_focus_ring();
  EXPECT_EQ(BTN_no_focus_yet(), 1);
  BTN_focus_any();
  EXPECT_EQ(focus_id, 0);
  three_fields(text_field);
  BTN_focus_any();
  EXPECT_EQ(focus_id, 10);
  EXPECT_EQ(BTN_no_focus_yet(), 0);
  UNDO_BeginCommand("anything");
}

}  // namespace
