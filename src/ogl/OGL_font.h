// Interface text: UTF-8 strings drawn from the glyph atlases of the regular
// and bold fonts, measured and fitted for the widgets and the text-editing
// engine. Positions are interface pixels of the current sub-window, y up,
// at the baseline. Main thread, with the window's context current.
#pragma once
#include <string>
#include "core/hl_string.h"

// The font of a draw call. Other values draw as regular.
enum charset_t : int {
  cs_regular = 0,  // proportional
  cs_bold = 1,     // proportional
  cs_fixed6 = 2,   // bold, every advance 6 pixels
  cs_fixed8 = 3,   // bold, 8 pixels
  cs_fixed10 = 4,  // bold, 10 pixels
};
// Where x is: the line's start, its centre, or its end.
enum just_t : int { just_left = 0, just_centre = 1, just_right = 2 };

// Wrap widths above 0 and below font_no_wrap wrap, stepping font_line_step
// pixels per line.
constexpr float font_no_wrap = 9999;
constexpr float font_line_step = 10;

// Draws text with its first baseline at (x, y); CR and LF end lines, and with
// wrapping on a line ends at its last space before wrap_width (a longer word
// is cut). Returns the baseline for what follows, without the sub-window's
// origin: y minus 10 per line drawn when wrapping, else y.
float OGL_string(int colour, float x, float y, const std::string& text, float wrap_width, charset_t cs, just_t just);
// The regular font's line around the baseline at the size it draws, in whole
// pixels rounded outward: the rows above it and the rows below it (where
// descenders and underscores lie).
void OGL_font_extent(int* above, int* below);
// Width in pixels in the regular font: the sum of the exact advances.
float OGL_measure_string(const std::string& text);
// The same for the bytes begin..end; 0 when begin is not before end.
float OGL_measure_range(const unsigned char* begin, const unsigned char* end);
// The start of the first character whose advance takes the sum past width
// (a sum equal to width still fits), or end when everything fits.
const unsigned char* OGL_fit_forward(const unsigned char* begin, const unsigned char* end, float width);
// The start of the longest run of whole trailing characters that fits in
// width: end when even the last character is too wide, begin when all fit.
const unsigned char* OGL_fit_reverse(const unsigned char* begin, const unsigned char* end, float width);

// The one-byte text ch, left-justified in the 10-pixel bold cells.
void OGL_char(int colour, float x, float y, int ch);
// A number: in the 10-pixel cells (cs_fixed10) digit by digit, with '-',
// '.' and ',' between groups of three; otherwise flt_to_str's text.
void OGL_number(int colour, float x, float y, float value, int digits, int decimals, charset_t cs,
                str_format_type format, just_t just);
// Text centred on x over a grey box from 2 pixels left of it to 2 right,
// from y - 1 to y + 9.
void OGL_gray_string(int colour, float x, float y, std::string text);
// A text centred on (x, y) in a style-9 bar width wide (colour 57, centred
// 4 above y), with the label's left part ending 8 left of the bar and its
// right part starting 8 right of it.
void OGL_boxed_string(float x, float y, float width, const std::string& label, const std::string& text, charset_t cs,
                      int colour);
