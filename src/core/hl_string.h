// Fixed-layout decimal text for the screens, the alerts and the log, and the
// relative path of a scenery tile. No state; any thread.
#pragma once
#include <string>

// Layout of a number. Widths count digit places only (not the sign or the
// point); at most eight places are written.
enum str_format_type {
  str_no_pad = 0,         // the width is ignored
  str_zero_pad = 1,       // leading places up to the width are '0'
  str_blank_pad = 2,      // leading places up to the width are ' ', after the sign
  str_plus_zero_pad = 3,  // as str_zero_pad, and '+' before a number that is not negative
};

// Replaces *out with the decimal text of value in the given width and layout.
// force_minus writes '-' even for a value that is not negative (the float
// formatter's integer part of a number between -1 and 0). A magnitude of 10^8
// or more keeps only its last eight digits.
void int_to_str(int value, std::string* out, int width, str_format_type layout, int force_minus);
// Replaces *out with value rounded to decimals places (halves away from zero);
// width counts integer and fraction places together. Without decimals a
// number too wide for the width is written in the short exponent form
// "1.2x5" (1.2 times 10^5).
void flt_to_str(float value, std::string* out, int width, int decimals, str_format_type layout);
// Replaces *out with the 19-character path "+40-080/+47-074.dsf" of the
// one-degree tile whose south-west corner is (lat, lon), inside its
// ten-degree folder.
void return_latlon_str_dsf(int lat, int lon, std::string* out);

// Splits a widget label "left|right{help" into its parts (each output may be
// null): the text before the last '|' on one side of the widget, the text
// after it up to the last '{' on the other (none when that '{' comes first),
// and the text after the last '{' as hover help. One
// blank directly before and after each '|' and '{' is dropped first. Without
// '|' the left part runs to the last '{' and the right part is empty. The
// toolkit draws labels by it; the translation check compares their parts.
void UTL_expand_label(std::string label, std::string* left, std::string* right, std::string* help);

// Texts of 500 characters or more overflow the fixed buffers the alerts and
// paths were laid out for: such a text raises the crash alert "String too
// long!" carrying the text (never returns). Shorter texts pass.
void UTL_check_string_length(const std::string& text);
