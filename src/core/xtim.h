// The program clock. Only the frame time that other units read so far.
#pragma once

class xtim_class {
 public:
  // Seconds since the first frame; advanced once per frame by the frame step.
  float real_time = 0;
};
extern xtim_class xtim;
