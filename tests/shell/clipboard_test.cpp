// The clipboard: the clip-type registry, the flavours this process puts, and
// the desktop's text as another X client (xclip) sees and sets it, on an X
// server of the test's own so no other test's clipboard gets in the way.
#include <gtest/gtest.h>
#include <chrono>
#include <cstdint>
#include <future>
#include <string>
#include <vector>
#include "platform/plat_clipboard.h"
#include "platform/plat_events.h"
#include "shell/utl_clipboard.h"
#include "support/private_xvfb.h"
#include "support/test_env.h"

namespace {
// The program serves its clipboard only while it pumps its events, as the
// frame does; this pumps until the command ends and returns what it printed.
std::string pumping(const std::string& cmd, int* status = nullptr) {
  auto out = std::async(std::launch::async, [&] { return test_capture(cmd, status); });
  PLAT_event e;
  while (out.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) PLAT_next_event(&e, 10);
  return out.get();
}

std::string desktop_text() { return pumping("xclip -o -selection clipboard"); }

// Puts text on the clipboard from another X client. xclip stays behind to
// serve it until someone else takes the clipboard or the server ends; it
// takes the clipboard only after it has gone to the background, so this
// waits, a few seconds at most, until the clipboard shows the text.
void other_client_copies(const std::string& text) {
  ASSERT_EQ(test_run("printf %s '" + text + "' | xclip -i -selection clipboard 2>/dev/null"), 0);
  std::string now;
  PLAT_event e;
  for (int i = 0; i < 500 && !(PLAT_clipboard_get_text(&now) && now == text); ++i) PLAT_next_event(&e, 10);
  ASSERT_EQ(now, text);
}

struct Clipboard : testing::Test {
  private_xvfb x{320, 200};
  void SetUp() override { ASSERT_TRUE(x.ok()) << x.error(); }
};
}  // namespace

TEST(ClipTypes, Registry) {
  EXPECT_EQ(UTL_GetTextClipType(), 0);
  EXPECT_EQ(UTL_RegisterPrivateClipType("text"), 0);
  EXPECT_EQ(UTL_Clipboard_code(0), 0x54455854u);  // 'TEXT'
  const int a = UTL_RegisterPrivateClipType("registry a");
  EXPECT_GT(a, 0);
  EXPECT_EQ(UTL_RegisterPrivateClipType("registry a"), a);
  EXPECT_EQ(UTL_RegisterPrivateClipType("registry b"), a + 1);
  EXPECT_EQ(UTL_Clipboard_code(a + 1), UTL_Clipboard_code(a) + 1);
}

TEST(ClipTypes, PrivateCodesCountOnPastNine) {
  const uint32_t prv9 = 0x50525639u, prv_colon = 0x5052563Au;  // 'PRV9', 'PRV:'
  int nine = -1;
  for (int i = 0; i < 12 && nine < 0; ++i) {
    const int t = UTL_RegisterPrivateClipType(("counting " + std::to_string(i)).c_str());
    if (UTL_Clipboard_code(t) == prv9) nine = t;
  }
  ASSERT_GE(nine, 0);
  EXPECT_EQ(UTL_Clipboard_code(UTL_RegisterPrivateClipType("after nine")), prv_colon);
}

TEST_F(Clipboard, FlavoursTheirOrderAndTheSenderOnlyRule) {
  const int a = UTL_RegisterPrivateClipType("flavour a"), b = UTL_RegisterPrivateClipType("flavour b");
  const std::string text = "some text", pa = "A bytes", pb = "B";
  int types[] = {0, a, b};
  int sizes[] = {(int)text.size(), (int)pa.size(), (int)pb.size()};
  const void* data[] = {text.data(), pa.data(), pb.data()};
  ASSERT_TRUE(UTL_Clipboard_SetData(3, types, sizes, data));
  std::vector<int> got;
  UTL_Clipboard_GetTypes(got);
  EXPECT_EQ(got, (std::vector<int>{0, a, b}));
  EXPECT_TRUE(UTL_Clipboard_HasClipType(a));
  EXPECT_EQ(UTL_Clipboard_GetSize(a), (int)pa.size());
  char buf[16] = {};
  EXPECT_FALSE(UTL_Clipboard_GetData(a, (int)pa.size() - 1, buf));
  EXPECT_FALSE(UTL_Clipboard_GetData(a, (int)pa.size() + 1, buf));
  EXPECT_EQ(buf[0], 0);
  EXPECT_TRUE(UTL_Clipboard_GetData(a, (int)pa.size(), buf));
  EXPECT_EQ(std::string(buf), pa);
  EXPECT_EQ(desktop_text(), text);  // private flavours stay in the process

  // A private flavour put first carries no sender-only flag: it is not
  // offered back.
  int types2[] = {a, 0};
  int sizes2[] = {(int)pa.size(), (int)text.size()};
  const void* data2[] = {pa.data(), text.data()};
  ASSERT_TRUE(UTL_Clipboard_SetData(2, types2, sizes2, data2));
  UTL_Clipboard_GetTypes(got);
  EXPECT_EQ(got, std::vector<int>{0});
  EXPECT_FALSE(UTL_Clipboard_HasClipType(a));
  EXPECT_TRUE(UTL_Clipboard_HasClipType(0));
  EXPECT_FALSE(UTL_Clipboard_HasClipType(b));
  EXPECT_EQ(UTL_Clipboard_GetSize(b), 0);
}

TEST_F(Clipboard, AnotherClientsReadsWhatWePut) {
  for (const std::string t : {"é€", "a\r\nb", ""}) {
    ASSERT_TRUE(UTL_SetTextToClipboard(t));
    EXPECT_EQ(desktop_text(), t);
    std::string back = "untouched";
    EXPECT_TRUE(UTL_GetTextFromClipboard(back));
    EXPECT_EQ(back, t);
    EXPECT_TRUE(UTL_Clipboard_HasClipType(0));
    EXPECT_EQ(UTL_Clipboard_GetSize(0), (int)t.size());
  }
}

TEST_F(Clipboard, AnotherClientsCopyReplacesOurs) {
  const int a = UTL_RegisterPrivateClipType("replaced");
  const std::string text = "ours", pa = "private";
  int types[] = {0, a};
  int sizes[] = {(int)text.size(), (int)pa.size()};
  const void* data[] = {text.data(), pa.data()};
  ASSERT_TRUE(UTL_Clipboard_SetData(2, types, sizes, data));
  ASSERT_TRUE(UTL_Clipboard_HasClipType(a));

  other_client_copies("theirs, line\r\nend");
  std::string back;
  EXPECT_TRUE(UTL_GetTextFromClipboard(back));
  EXPECT_EQ(back, "theirs, line\r\nend");
  EXPECT_FALSE(UTL_Clipboard_HasClipType(a));
  std::vector<int> got;
  UTL_Clipboard_GetTypes(got);
  EXPECT_EQ(got, std::vector<int>{0});

  // Putting nothing clears the desktop's text too.
  ASSERT_TRUE(UTL_Clipboard_SetData(0, nullptr, nullptr, nullptr));
  back = "untouched";
  EXPECT_FALSE(UTL_GetTextFromClipboard(back));
  EXPECT_EQ(back, "untouched");
  EXPECT_FALSE(UTL_Clipboard_HasClipType(0));
}
