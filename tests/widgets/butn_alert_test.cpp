// Misuse of the frame functions raises the crash alert with its fixed text
// and the toolkit's source line; the frame driver records it and the call
// unwinds. One run takes the real path to its end.
#include <gtest/gtest.h>
#include <functional>
#include "core/hl_alert.h"
#include "core/utl_cmdline.h"
#include "widgets/butn.h"
#include "widget_fixture.h"

namespace {

TEST_F(Widgets, MisuseAlerts) {
  const std::string butn = "RUvozuz/OOPS_cpp/butn";
  const struct {
    const char* what;
    std::function<void()> call;
    const char* first;
    int line;
  } cases[] = {
      {"bar style 6", [] { BTN_frame1(6, 100, 100, 50, 57); }, "Bad BTN_frame1 call!", 517},
      {"bar style 14", [] { BTN_frame1(14, 100, 100, 50, 57); }, "Bad BTN_frame1 call!", 517},
      {"bar style -1", [] { BTN_frame1(-1, 100, 100, 50, 57); }, "Bad BTN_frame1 call!", 517},
      {"bar style 99", [] { BTN_frame1(99, 100, 100, 50, 57); }, "Bad BTN_frame1 call!", 517},
      {"vertical bar style 5", [] { BTN_frame0(5, 10, 10, 50); }, "Bad BTN_frame0 call!", 437},
      {"vertical bar at x 10.5", [] { BTN_frame0(6, 10.5f, 10, 50); }, "BTN_frame0 non-int x_center!", 438},
      {"vertical bar at y 10.5", [] { BTN_frame0(6, 10, 10.5f, 50); }, "BTN_frame0 non-int y_center!", 439},
      {"window with inner style 5", [] { BTN_fillwin(1, 5); }, "Bad BTN_frame2 call!", 582},
  };
  for (const auto& c : cases) {
    d->frame(c.call);
    ASSERT_EQ(d->alerts().size(), 1u) << c.what;
    const frame_alert& a = d->alerts()[0];
    EXPECT_EQ(a.kind, t_crash) << c.what;
    EXPECT_EQ(a.lines, (std::vector<std::string>{c.first, "", "", ""})) << c.what;
    EXPECT_EQ(a.source, butn) << c.what;
    EXPECT_EQ(a.line, c.line) << c.what;
  }
  // The panel's alert carries the title as its last line.
  d->frame([] { BTN_frame2(13, 0, 0, 10, 10, "Prefs", 1); });
  ASSERT_EQ(d->alerts().size(), 1u);
  EXPECT_EQ(d->alerts()[0].lines, (std::vector<std::string>{"Bad BTN_frame2 call!", "", "", "Prefs"}));
  // A bad call draws nothing.
  d->frame([] { BTN_frame1(6, 100, 100, 50, 57); });
  EXPECT_TRUE(d->trace().quads.empty());
}

TEST(WidgetsDeathTest, BadBarStyleEndsAScriptedRun) {
  EXPECT_EXIT(
      {
        xer.open("/dev/stderr");
        cmdline.options["--qa_script"] = "";
        BTN_frame1(6, 100, 100, 50, 57);
      },
      ::testing::ExitedWithCode(1), "Bad BTN_frame1 call!\n\n\n\n\\(RUvozuz/OOPS_cpp/butn line 517\\)");
}

}  // namespace
