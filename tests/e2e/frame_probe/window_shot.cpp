// Writes a picture of a window as a binary PPM: window_shot <window> <file>.
// It reads the window with one GetImage and never grabs the X server, as
// ImageMagick's import does while it converts the picture: the probed
// program's swaps would wait for that, and the test would time its own
// screenshots.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// The shift that brings a channel mask's lowest bit to bit 0.
int shift_of(unsigned long mask) {
  int s = 0;
  while (mask && !(mask & 1)) {
    mask >>= 1;
    ++s;
  }
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: window_shot <window> <file.ppm>\n");
    return 2;
  }
  Display* d = XOpenDisplay(nullptr);
  if (!d) {
    fprintf(stderr, "window_shot: no display\n");
    return 1;
  }
  const Window w = strtoul(argv[1], nullptr, 0);
  XWindowAttributes a;
  if (!XGetWindowAttributes(d, w, &a)) return 1;
  XImage* img = XGetImage(d, w, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
  if (!img) {
    fprintf(stderr, "window_shot: the window could not be read\n");
    return 1;
  }
  struct channel {
    unsigned long mask;
    int shift;
    unsigned long top;
  } channels[3];
  const unsigned long masks[3] = {img->red_mask, img->green_mask, img->blue_mask};
  for (int c = 0; c < 3; ++c) {
    const int shift = shift_of(masks[c]);
    channels[c] = {masks[c], shift, masks[c] >> shift};
    if (!channels[c].top) return 1;
  }
  std::vector<unsigned char> rgb(3u * a.width * a.height);
  size_t at = 0;
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x) {
      const unsigned long p = XGetPixel(img, x, y);
      for (const channel& c : channels) rgb[at++] = static_cast<unsigned char>(((p & c.mask) >> c.shift) * 255 / c.top);
    }
  XDestroyImage(img);
  XCloseDisplay(d);
  FILE* f = fopen(argv[2], "wb");
  if (!f) return 1;
  fprintf(f, "P6\n%d %d\n255\n", a.width, a.height);
  const bool ok = fwrite(rgb.data(), 1, rgb.size(), f) == rgb.size();
  return fclose(f) == 0 && ok ? 0 : 1;
}
