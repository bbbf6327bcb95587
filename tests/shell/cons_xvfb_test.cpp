// The window code on the real window system: Mesa's software renderer on the
// X server the suite runs under.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>
#include <thread>
#include "shell/cons.h"
#include "shell/hl_init.h"
#include "shell/wins.h"
#include "support/gl_console.h"
#include "support/xer_capture.h"
#include "widgets/reno.h"

namespace {
struct ConsXvfb : testing::Test {
  void SetUp() override {
    wins = wins_class();
    wins.x_res_wind = 320;
    wins.y_res_wind = 240;
    reno = reno_class();
  }
  void TearDown() override {
    cons.cons_close_all();
    cons.have_format = 0;
  }
};
}  // namespace

TEST_F(ConsXvfb, LogsTheFormatTheDriverGave) {
  xer_capture cap;
  ASSERT_EQ(cons.cons_make(0), 1);
  const std::string log = cap.text();
  for (const char* line : {"AGL_RGBA         : 1\n", "AGL_DOUBLEBUFFER : 1\n", "AGL_DEPTH_SIZE   : 32\n"})
    EXPECT_NE(log.find(line), std::string::npos) << line << log;
  const size_t vram = log.find("VRAM             : ");
  ASSERT_NE(vram, std::string::npos) << log;
  EXPECT_GT(atoll(log.c_str() + vram + 19), 0) << log;
  EXPECT_EQ(reno.alias_got, 0);
}

TEST_F(ConsXvfb, AntiAliasingLevelFourAchievesWhatTheDriverOffers) {
  reno.alias_req = 4;
  ASSERT_EQ(cons.cons_make(0), 1);
  EXPECT_EQ(reno.alias_got, 2);
  GLint samples = 0;
  glGetIntegerv(GL_SAMPLES, &samples);
  EXPECT_EQ(samples, 4);
}

TEST_F(ConsXvfb, LoaderContextOnAWorkerUploadsATextureTheWindowDraws) {
  ASSERT_EQ(cons.cons_make(0), 1);
  cons.num_cons(1);
  void* loader = cons.cons_make_loader();
  ASSERT_NE(loader, nullptr);
  GLuint tex = 0;
  int made_current = 0;
  std::thread worker([&] {
    made_current = MACIBM_set_context_loader(loader);
    if (!made_current) return;
    const uint8_t red[2 * 2 * 4] = {255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255};
    glGenTextures(1, &tex);
    glBindTexture(GL_TEXTURE_2D, tex);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, red);
    glFinish();
  });
  worker.join();
  ASSERT_EQ(made_current, 1);
  ASSERT_NE(tex, 0u);

  glViewport(0, 0, 320, 240);
  glClearColor(0, 0, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, tex);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex2f(-1, -1);
  glTexCoord2f(1, 0);
  glVertex2f(1, -1);
  glTexCoord2f(1, 1);
  glVertex2f(1, 1);
  glTexCoord2f(0, 1);
  glVertex2f(-1, 1);
  glEnd();
  glDisable(GL_TEXTURE_2D);
  EXPECT_EQ(gl_pixel(160, 120), 0xff0000ffu);
}

TEST_F(ConsXvfb, LoaderIsRefusedOffTheMainThreadAndWithoutAWindow) {
  xer_capture cap;
  EXPECT_EQ(cons.cons_make_loader(), nullptr);  // no window yet
  ASSERT_EQ(cons.cons_make(0), 1);
  void* off_main = &off_main;
  std::thread([&] { off_main = cons.cons_make_loader(); }).join();
  EXPECT_EQ(off_main, nullptr);
  const std::string line = "We could not create a context for our worker threads.\n";
  const std::string log = cap.text();
  EXPECT_NE(log.find(line), log.rfind(line)) << log;  // logged both times
  EXPECT_EQ(MACIBM_set_context_loader(nullptr), 0);
}

TEST_F(ConsXvfb, WithoutADisplayNothingIsTried) {
  EXPECT_EXIT(
      {
        unsetenv("DISPLAY");
        unsetenv("SDL_VIDEODRIVER");
        _exit(cons.cons_make(0) == 0 ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}
