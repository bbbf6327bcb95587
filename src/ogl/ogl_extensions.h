// The OpenGL capability record, filled once at start-up by the probe and read
// without a lock from any thread. Flags are only ever cleared after the probe.
#pragma once

class OGL_extensions {
 public:
  // If threaded use is still on, turns it off and warns the user once that
  // scenery loading may pause; otherwise does nothing.
  void threaded_ogl_failed();

  // Non-zero while OpenGL may be used from worker threads with shared
  // contexts. The probe turns it off, so the general pool has no threads.
  int threaded_avail = 0;
};

extern OGL_extensions glExt;
