// Number fields and character cells: a value shown as a row of 10-pixel
// digit cells with small step arrows above and below each, edited with the
// mouse on the arrows or from the keyboard once the field has the focus.
// (x, y) is the left end of the first cell and the text baseline; a field is
// known by the id (int)x * 8192 + (int)y. The label is "left|right{help".
// Unless said otherwise each returns 1 when the value changed this frame,
// else 0. Main thread, inside the frame.
#pragma once
#include <string>
#include "ogl/OGL_font.h"
#include "widgets/key_queue.h"

// The one key queue and the hot cell of all number fields, and of all
// character-cell editors; the hot cell carries over when the focus moves.
extern BTN_key_queue flt_keys, chars_keys;
extern int flt_hot_digit, chars_hot_digit;
// The shared scratch text BTN_xyz builds its label in.
extern std::string global_c_str_ram;

// The largest magnitude digits cells with decimals of them after the point
// show: (10^digits - 1) / 10^decimals, as a float.
float BTN_number_limit(int digits, int decimals);

// The core field: *value kept within min..max and the cells' limit and
// rounded to decimals places every frame. digits 1 to 10. The text pointer
// is not read.
int BTN_flt_range(float x, float y, float* value, int digits, int decimals, float min, float max, std::string label,
                  const char* unused);
// Limits up to what the cells show; below 0 only when negative_allowed.
int BTN_flt(float x, float y, float* value, int digits, int decimals, int negative_allowed, std::string label);
// BTN_flt without negatives.
void BTN_weight(float x, float y, float* value, int digits, int decimals, std::string label);
// BTN_flt on a double; the float-rounded value is written back every frame.
int BTN_dob(float x, float y, double* value, int digits, int decimals, int negative_allowed, std::string label);
// BTN_flt_range on a double, written back only when it changed.
int BTN_dob_range(float x, float y, double* value, int digits, int decimals, double min, double max,
                  std::string label);
// Whole numbers of 1 to 9 digits, from -(10^digits - 1) (negative_allowed)
// or 0 up to 10^digits - 1.
int BTN_int(float x, float y, int* value, int digits, int negative_allowed, std::string label);
// Whole numbers within min..max. The caller's int is clamped as an int and
// written only when it changed, so values beyond a float's 24 bits stand.
int BTN_int_range(float x, float y, int* value, int digits, int min, int max, std::string label);
// BTN_flt and BTN_flt_range on a grid of 75-pixel columns and 50-pixel rows,
// right ends aligned: x = 75i + 75 - 10 digits, y = 50j + 25.
int BTN_fltij(int i, int j, float* value, int digits, int decimals, int negative_allowed, std::string label);
int BTN_flt_rangeij(int i, int j, float* value, int digits, int decimals, float min, float max, std::string label);
// A distance from the aircraft's reference point along axis 'x', 'y' or
// 'z': the label's help is wrapped into the sentence explaining it (in
// global_c_str_ram); axis '-' takes the label as given. The text pointer is
// not read.
int BTN_xyz(float x, float y, float* value, float min, float max, std::string label, char axis, int digits,
            int decimals, const char* unused);
int BTN_xyz(float x, float y, float* value, int negative_allowed, std::string label, char axis, int digits,
            int decimals, const char* unused);
// Shows value in a boxed field of digits + decimals cells (10 pixels wide in
// cs_fixed10, 8 in cs_fixed8, 6 in any other font); no input.
void BTN_display_number(float x, float y, float value, int digits, int decimals, const std::string& label,
                        charset_t charset);
// Edits length cells of the zero-ended buffer text (length + 1 bytes) with
// the symbols blank, '0'-'9', 'A'-'Z' and '-'; up steps back along that
// ring, down forward. Typed lower-case letters are stored upper-case.
void BTN_chars(float x, float y, char* text, int length, std::string label);
