// The colour table: a red, green and blue triple per colour id, the display
// gamma with the lookup the image loaders apply, the pulse level that makes
// some colours glow in time, and a colour spectrum for plotting values.
// Written on the main thread only; the gamma table never changes after
// construction, so image loaders read it from any thread.
#pragma once

class colr_class {
 public:
  enum { colour_count = 115, spectrum_size = 1000 };  // ids 0 to 114

  // Clears everything, sets the built-in colours (every other id black), the
  // gamma (1.8 over 1.8, or over 2.2 on a system version above 0x105F) and the
  // rainbow spectrum.
  colr_class();

  // Sets one colour (channels 0 to 1); an id outside 0..114 is ignored and
  // logged.
  void col_assign(int id, float red, float green, float blue);
  // Recomputes the gamma table from gamma_num / gamma_den; returns the new
  // gamma_changed flag (1 when they differ).
  int rebuild_gamma();
  // Ids 54, 55 and 56 become ids 11, 14 and 16 multiplied channel by channel
  // by id 53.
  void set_lit_arc();
  // Rebuilds the spectrum: 0 the rainbow, 1 a red ramp, 2 green, 3 blue; any
  // other mode leaves it unchanged.
  void spectrum_init(int mode);
  // Draws a vertical scale of the spectrum from (x, y), height high (4-pixel
  // points, one per pixel of height; none for a height of 0 or less), with
  // high and low written at its ends, and keeps the range in spec_lo,
  // spec_hi and spec_dif. Equal ends draw the first entry.
  void spectrum_plot_scale(float x, float y, float height, float low, float high, int decimals);

  float gamma_num = 0;  // the gamma exponent is gamma_num / gamma_den
  float gamma_den = 0;
  int gamma_changed = 0;
  unsigned char gamma_table[256] = {};
  float col[colour_count][3] = {};
  float pulse = 0;  // 0.6 to 1.0, rewritten every frame by the clock
  float spec_lo = 0, spec_hi = 0, spec_dif = 0;  // range of the last plotted scale
  float spectrum[spectrum_size][3] = {};

  // Read by the drawing primitives' colour rule.
  float tint[3] = {};     // red, green and blue factors for ids up to 38; 1.0 at start
  float dim = 0;          // 0 to 0.5: turns colours toward a red monochrome
  int green_mono = 0;     // 1: colours drawn as a green monochrome
};

extern colr_class colr;
