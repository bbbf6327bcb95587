// The preferences window through real frames, input scripted frame by frame:
// the platform list shifted by one (all platforms shows no item and is not
// changed by looking), and the proxy port number made from its text.
#include <functional>
#include "core/globs.h"
#include "files/http.h"
#include "installer/prefs_wind.h"
#include "shell/hl_event.h"
#include "shell/mbar.h"
#include "shell/wins.h"
#include "widgets/click_fixture.h"

namespace {

enum { sc_escape = 41 };

std::function<void(int)> g_script;
void (*g_driver_start)() = nullptr;
int g_frame = 0;
void scripted_start() {
  if (g_script) g_script(g_frame);
  ++g_frame;
  g_driver_start();
}

class Prefs : public Clicks {
 protected:
  void SetUp() override {
    Clicks::SetUp();
    g_driver_start = MACIBM_frame_start_hook;
    MACIBM_frame_start_hook = scripted_start;
    g_frame = 0;
    saved_ = stg;
    host_ = http.proxy_host;
    port_ = http.proxy_port;
    port_int_ = http.proxy_port_int;
  }
  void TearDown() override {
    MACIBM_frame_start_hook = g_driver_start;
    g_script = nullptr;
    wins.start_win(0);
    stg = saved_;
    http.proxy_host = host_;
    http.proxy_port = port_;
    http.proxy_port_int = port_int_;
    Clicks::TearDown();
  }
  // Runs the window with script giving each frame's input; the window must
  // close within 20 frames.
  void run(std::function<void(int)> script) {
    g_frame = 0;
    g_script = [script](int f) {
      if (f > 20) throw std::runtime_error("the preferences window did not close");
      script(f);
    };
    d->modal_frame([] { handle_prefs(); });
  }
  // A press at (x, y) of the window's sub-window in frame at, released in the next.
  void click_in(int frame, int at, float x, float y) {
    const int px = static_cast<int>(wins.win_x + x), py = static_cast<int>(wins.win_y + y);
    if (frame == at) d->press(px, py);
    if (frame == at + 1) d->release(px, py);
  }

  settings_record saved_;
  std::string host_, port_;
  int port_int_ = 0;
};

TEST_F(Prefs, AllPlatformsShowsNoItemUntilTheUserPicksOne) {
  stg.platform = 0;
  int texts_at_escape = -1;
  run([&](int f) {
    if (f == 2) {
      texts_at_escape = static_cast<int>(strings_in(43).size());
      d->key(sc_escape, "");
    }
  });
  EXPECT_EQ(texts_at_escape, 0);
  EXPECT_EQ(stg.platform, 0);
  EXPECT_NE(wins.cur_win, 2);

  // Open the list, pick its third row.
  float row_x = 0, row_y = 0;
  run([&](int f) {
    click_in(f, 1, 260, 303);
    if (f == 4) {
      ASSERT_GT(mbar.menus.size(), static_cast<size_t>(k_mbar_popup));
      const auto& rows = mbar.menus[k_mbar_popup].items;
      ASSERT_EQ(rows.size(), 3u);
      EXPECT_EQ(rows[2].text, "Linux");
      // The rows lie in the sub-window's units, as the list does.
      row_x = (rows[2].left + rows[2].right) / 2.0f;
      row_y = (rows[2].bottom + rows[2].top) / 2.0f;
    }
    click_in(f, 4, row_x, row_y);
    if (f == 7) d->key(sc_escape, "");
  });
  EXPECT_EQ(stg.platform, 3);
}

TEST_F(Prefs, PlatformsShowOneLowerAndTheLogBoxToggles) {
  const struct {
    int platform;
    const char* shown;
  } cases[] = {{1, "Macintosh"}, {2, "Windows"}, {3, "Linux"}};
  for (const auto& c : cases) {
    stg.platform = c.platform;
    stg.log_actions = 0;
    std::vector<std::string> shown;
    run([&](int f) {
      click_in(f, 1, 140, 254);
      if (f == 4) {
        for (const OGL_string_call& s : strings_in(43)) shown.push_back(s.text);
        d->key(sc_escape, "");
      }
    });
    // The frames so far, each showing the one item.
    EXPECT_FALSE(shown.empty());
    EXPECT_EQ(shown, std::vector<std::string>(shown.size(), c.shown));
    EXPECT_EQ(stg.platform, c.platform);
    EXPECT_EQ(stg.log_actions, 1);
  }
}

TEST_F(Prefs, ThePortNumberComesFromItsText) {
  const struct {
    const char* text;
    int number;
  } cases[] = {{"8080", 8080}, {"abc", -1}, {"", 0}, {"80a", -1}, {"-5", -5}};
  for (const auto& c : cases) {
    http.proxy_port = c.text;
    http.proxy_port_int = 1234;
    run([&](int f) {
      if (f == 1) d->key(sc_escape, "");
    });
    EXPECT_EQ(http.proxy_port_int, c.number) << c.text;
  }
}

}  // namespace
