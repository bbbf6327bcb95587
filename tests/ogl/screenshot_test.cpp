// Screenshots: the numbered names, and the window read back as the X server
// shows it, on an X server of the test's own so that no other window covers
// the one captured.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <fstream>
#include <memory>
#include "core/globs.h"
#include "core/scratch.h"
#include "ogl/ogl_draw.h"
#include "ogl/ogl_state.h"
#include "ogl/ogl_view.h"
#include "shell/cons.h"
#include "shell/wins.h"
#include "support/private_xvfb.h"
#include "support/test_env.h"
#include "widgets/colr.h"
#include "ogl/drawing_fixture.h"

namespace {

void touch(const std::string& path) { std::ofstream(path) << "x"; }

// Runs a command; its standard output and error, and its status in *status.
std::string run(const std::string& cmd, int* status) {
  std::string out;
  FILE* p = popen((cmd + " 2>&1").c_str(), "r");
  if (!p) return out;
  char buf[256];
  while (size_t n = fread(buf, 1, sizeof buf, p)) out.append(buf, n);
  const int st = pclose(p);
  *status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return out;
}

}  // namespace

TEST(ScreenshotPaths, FirstFreeNumber) {
  const std::string dir = test_scratch_dir("shots");
  std::string path;
  gimme_png_mov_paths(dir + "Duvizo screenshot_", ".png", path);
  EXPECT_EQ(path, dir + "Duvizo screenshot__1.png");
  touch(dir + "Duvizo screenshot__1.png");
  touch(dir + "Duvizo screenshot__2.png");
  gimme_png_mov_paths(dir + "Duvizo screenshot_", ".png", path);
  EXPECT_EQ(path, dir + "Duvizo screenshot__3.png");
  struct Case {
    std::string prefix, suffix, want;
  };
  const Case cases[] = {
      {dir + "shot.png", ".png", dir + "shot_1.png"},  // a three-letter extension goes first
      {dir + "shot.jpeg", ".png", dir + "shot.jpeg_1.png"},
      {dir + "Duvizo ", ".mov", dir + "Duvizo _1.mov"},
      {".png", ".png", ".png_1.png"},  // four characters are not more than four
  };
  for (const Case& c : cases) {
    gimme_png_mov_paths(c.prefix, c.suffix, path);
    EXPECT_EQ(path, c.want) << c.prefix;
  }
  gimme_png_mov_paths(std::string(499 - dir.size(), 'p').insert(0, dir), ".png", path);  // 499 passes
  EXPECT_EQ(path.size(), 499u + 6);
}

TEST(ScreenshotPathsDeathTest, PrefixOfFiveHundredCharactersIsACrash) {
  EXPECT_EXIT(
      {
        xer.open("/dev/stderr");
        std::string path;
        gimme_png_mov_paths(std::string(500, 'p'), ".png", path);
      },
      ::testing::KilledBySignal(SIGABRT), "String too long!(.|\n)*p{400}(.|\n)*\\(RUvozuz/GenH/hl_string line 129\\)");
}

namespace {

class ScreenshotX : public testing::Test {
 protected:
  // A window of w by h on a screen of its own of sw by sh, with the
  // full-window 2-D view.
  void start(int sw, int sh, int w, int h) {
    cons.cons_close_all();
    x_ = std::make_unique<private_xvfb>(sw, sh);
    ASSERT_TRUE(x_->ok()) << x_->error();
    cons.have_format = 0;
    wins.x_res_wind = w;
    wins.y_res_wind = h;
    wins.full_screen = 0;
    ASSERT_EQ(cons.cons_make(0), 1);
    ASSERT_EQ(wins.x_pix, w);
    OGL_state_calls_use(nullptr);
    OGL_setstate_forget();
    wins.last_win = 0;
    wins.win_x = wins.win_y = 0;
    OGL_pix_specs(0);
    PLAT_video().window_get_bounds(cons.window(0), &bounds_);
  }
  void TearDown() override {
    cons.cons_close_all();
    x_.reset();
    // Back to the suite's console for the tests that follow in this run.
    cons.have_format = 0;
    wins.x_res_wind = 800;
    wins.y_res_wind = 600;
    cons.cons_make(0);
    OGL_setstate_forget();
  }
  // Stripes of many colours one to three pixels wide, over the whole window.
  void draw() {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    for (int i = 0; i < 30; ++i) colr.col[i][0] = (i * 37 % 255) / 255.0f, colr.col[i][1] = (i * 91 % 255) / 255.0f,
                                 colr.col[i][2] = (i * 53 % 255) / 255.0f;
    for (int x = 0, i = 0; x < wins.x_pix; x += 1 + i % 3, ++i)
      OGL_fillrect(i % 30, 1, (float)x, (float)(i % 50), 1 + i % 3, (float)(wins.y_pix - i % 97));
    OGL_line(7, 1, 0, 10, (float)wins.x_pix, 10);
  }
  // Saves the screenshot into a folder of its own, as the program does
  // into its base folder, and returns the file's path.
  std::string save_screenshot() {
    const std::string dir = test_scratch_dir("screenshot");
    const std::string old_app_path = app_path;
    app_path = dir;
    OGL_screenshot(1);
    app_path = old_app_path;
    return dir + "Duvizo screenshot__1.png";
  }
  // The window as the X server shows it, its x0..x0+w part, against the
  // saved file: the number of pixels that differ, or why none could be
  // compared.
  std::string compare_with_screen(const std::string& png, int x0, int w, int h) {
    const std::string screen = png + ".screen.png";
    int st = -1;
    const std::string crop = std::to_string(w) + "x" + std::to_string(h) + "+" + std::to_string(bounds_.x + x0) +
                             "+" + std::to_string(bounds_.y);
    std::string out = run("import -window root -crop " + crop + " +repage '" + screen + "'", &st);
    if (st != 0) return "import failed: " + out;
    out = run("identify -format %wx%h '" + png + "'", &st);
    if (out != std::to_string(w) + "x" + std::to_string(h)) return "saved " + out;
    return run("compare -metric AE '" + png + "' '" + screen + "' null:", &st);
  }

  std::unique_ptr<private_xvfb> x_;
  PLAT_rect bounds_;
};

}  // namespace

TEST_F(ScreenshotX, OddWidthIsNotSheared) {
  start(1280, 1024, 1001, 300);
  draw();
  OGL_sbuff();  // what the X server shows from here on
  glFinish();
  draw();  // the back buffer after a swap holds nothing defined
  glPixelStorei(GL_PACK_ALIGNMENT, 4);  // the driver's default
  const std::string png = save_screenshot();
  GLint alignment = 0;
  glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
  EXPECT_EQ(alignment, 4);  // put back as it was
  EXPECT_EQ(compare_with_screen(png, 0, 1001, 300), "0");
  EXPECT_EQ(scratch_array[0], 0);  // the lower-left pixel is black...
  EXPECT_NE(scratch_array[3 * 1001 * 10 + 3 * 500], 0);  // ...and row 10 has the line
}

TEST_F(ScreenshotX, WideWindowSavesItsMiddle) {
  start(3200, 1200, 3000, 1000);
  draw();
  OGL_sbuff();
  glFinish();
  draw();
  EXPECT_EQ(compare_with_screen(save_screenshot(), 476, 2048, 1000), "0");
}

TEST_F(Drawing, ScreenshotsTakeTheNextNumber) {
  const std::string dir = test_scratch_dir("numbered");
  const std::string old_app_path = app_path;
  app_path = dir;
  OGL_fillrect(white, 1, 0, 0, 10, 10);
  OGL_screenshot(1);
  OGL_screenshot(1);
  OGL_screenshot(0);  // reads, writes nothing
  // The image stands the right way up: the window's lower left is its last row.
  app_path = old_app_path;
  int st = -1;
  EXPECT_EQ(run("cd '" + dir + "' && identify -format '%f %wx%h %[pixel:p{0,599}] ' *", &st),
            "Duvizo screenshot__1.png 800x600 srgb(255,255,255) Duvizo screenshot__2.png 800x600 srgb(255,255,255) ");
}
