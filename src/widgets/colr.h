// The colour table: a red, green and blue triple per colour id, and the
// pulse level that makes some colours glow in time. Main thread only.
#pragma once

class colr_class {
 public:
  enum { colour_count = 115 };  // ids 0 to 114

  // Sets one colour (channels 0 to 1); an id outside the table is ignored.
  void col_assign(int id, float red, float green, float blue);

  float col[colour_count][3] = {};
  float pulse = 0;  // 0.6 to 1.0, rewritten every frame by the clock
};

extern colr_class colr;
