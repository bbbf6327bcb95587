// Input for a modal loop that runs its own frames under the frame driver,
// scripted frame by frame: while installed, script(frame) runs as each
// frame starts, before the driver hands that frame its queued input;
// frame counts from 0 and a test may set it back.
#pragma once
#include <functional>
#include "shell/hl_event.h"

namespace frame_script {

inline std::function<void(int)> script;
inline int frame = 0;
inline void (*driver_start)() = nullptr;

inline void on_start() {
  if (script) script(frame);
  ++frame;
  driver_start();
}
// After the frame driver is made.
inline void install() {
  driver_start = MACIBM_frame_start_hook;
  MACIBM_frame_start_hook = on_start;
  frame = 0;
  script = nullptr;
}
// Before the frame driver goes.
inline void remove() {
  MACIBM_frame_start_hook = driver_start;
  script = nullptr;
}

}  // namespace frame_script
