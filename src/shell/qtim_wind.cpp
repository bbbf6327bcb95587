// The recording settings panel of the framework. Nothing in the installer
// opens it.
#include "ogl/OGL_font.h"
#include "shell/qtim.h"
#include "shell/wins.h"
#include "widgets/butn.h"
#include "widgets/butn_number.h"

void qtim_class::qtim_wind() {
  BTN_fillwin(1, 24);
  const float top = wins.win_dy - 60;
  BTN_flt_range(200, top, &fps, 2, 0, 1, 60, "frame rate of movie|(frames per second)", nullptr);
  BTN_int_range(200, top - 50, &x_res, 4, 16, 2048,
                "x-resolution of movie|(pix) { The y-resolution is auto-set for you to scale perfectly based on the "
                "x-resolution you enter here.");
  const std::string libs =
      qt_ok ? "The movie libraries are installed (" + MOV_versions() + "): movies can be recorded."
            : "The movie libraries (FFmpeg's Motion-JPEG encoder and QuickTime muxer) are NOT installed: movies "
              "can not be recorded.";
  const float wrap = wins.win_dx - 40;
  float y = OGL_string(48, 20, top - 100, libs, wrap, cs_regular, just_left) - 20;
  static const char* const help[] = {
      "Press Control-Space to start recording a movie of what the window shows, and Control-Space again to stop.",
      "A movie of 320 by 240 pixels at 15 to 20 frames per second looks good and plays back smoothly; larger or "
      "faster movies take much more disk space and may slow the program down while it records.",
      "Movies use disk space quickly: watch the free space on your disk while you record.",
      "Each recording is a new take, saved next to the program as \"Duvizo _1.mov\", \"Duvizo _2.mov\" and so on, "
      "so nothing you recorded before is overwritten.",
      "The takes are QuickTime movies of Motion-JPEG frames, which any movie editor can cut and join.",
  };
  for (const char* p : help) y = OGL_string(48, 20, y, p, wrap, cs_regular, just_left) - 10;
}
