// Asks an X window to close as a window manager's close button does: sends
// it the WM_DELETE_WINDOW protocol message. The test servers run no window
// manager, and "xdotool windowclose" destroys the window instead of asking.
//   send_wm_delete WINDOW_ID   (on the display DISPLAY names)
#include <X11/Xlib.h>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: send_wm_delete WINDOW_ID\n");
    return 2;
  }
  const Window w = strtoul(argv[1], nullptr, 0);
  Display* d = XOpenDisplay(nullptr);
  if (!d || !w) {
    fprintf(stderr, "send_wm_delete: no display or no window\n");
    return 1;
  }
  XEvent e = {};
  e.xclient.type = ClientMessage;
  e.xclient.window = w;
  e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = (long)XInternAtom(d, "WM_DELETE_WINDOW", False);
  e.xclient.data.l[1] = CurrentTime;
  const Status sent = XSendEvent(d, w, False, NoEventMask, &e);
  XSync(d, False);
  XCloseDisplay(d);
  return sent ? 0 : 1;
}
