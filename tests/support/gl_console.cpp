#include "support/gl_console.h"
#include <GL/gl.h>
#include <gtest/gtest.h>
#include "core/hl_alert.h"
#include "ogl/ogl_extensions.h"
#include "shell/cons.h"
#include "shell/wins.h"

namespace {
class gl_console_env : public testing::Environment {
 public:
  gl_console_env(int w, int h) : width(w), height(h) {}
  void SetUp() override {
    wins.x_res_wind = width;
    wins.y_res_wind = height;
    ASSERT_EQ(cons.cons_make(0), 1) << "no window with an OpenGL context on DISPLAY (run under xvfb-run)";
    cons.num_cons(1);
    glExt.init_extensions();
  }
  void TearDown() override { cons.cons_close_all(); }

 private:
  int width, height;
};
}  // namespace

bool gl_console_register(int width, int height) {
  testing::AddGlobalTestEnvironment(new gl_console_env(width, height));
  return true;
}

std::vector<uint8_t> gl_read_back(int x, int y, int width, int height) {
  std::vector<uint8_t> px((size_t)width * height * 4);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
  return px;
}

uint32_t gl_pixel(int x, int y) {
  std::vector<uint8_t> p = gl_read_back(x, y, 1, 1);
  return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}
