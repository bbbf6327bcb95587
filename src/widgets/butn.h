// The widget toolkit's shared drawing: labels, atlas elements, hit boxes,
// close boxes, the stretched bars and panels every surface is made of, the
// window layouts over them, tabs and the direction dial. Each call draws for
// this frame only, in sub-window coordinates (origin at the lower left, y
// up); the value of a widget lives in the caller's variable. Main thread.
#pragma once
#include <string>
#include "core/hl_string.h"

// Splits label "left|right{help" into its left, right and help parts (each
// output may be null); see UTL_expand_label, which the translation check shares.
inline void BTN_expand_label(std::string label, std::string* left, std::string* right, std::string* help) {
  UTL_expand_label(std::move(label), left, right, help);
}

// Draws one side text of a widget around (x, y): align 0 ends it at x, 1
// centres it, 2 starts it at x, any other draws nothing; lit picks colour 91
// over 48. Long texts (13 bytes or more, not centred, not led by '-') break
// into two lines at the blank, '-' or '/' nearest their middle.
void BTN_util_draw_label(float x, float y, int align, const std::string& text, int lit);

// One quad of texture tex (359 the atlas, 362 the screen texture) from
// (x0, y0) to (x1, y1) showing texels u0..u1 by v0..v1, corners bottom-left,
// top-left, top-right, bottom-right, blended, in colour col at alpha.
void BTN_atlas_quad(int tex, float x0, float y0, float x1, float y1, float u0, float v0, float u1, float v1, int col,
                    float alpha);
// The atlas rectangle centred on texel (u, v) drawn centred on (x, y), both
// with the given half sizes, one texel per pixel, in colour col.
void BTN_util_element(float x, float y, float u, float v, float half_width, float half_height, int col);
// 1 when (x, y) lies within left..right and bottom..top, edges included.
int BTN_in_box(float x, float y, float left, float bottom, float right, float top);
// Draws the current sub-window's close boxes (pressed: their pressed look);
// returns 1 when the button went down this frame on one of them (the right
// box is then not drawn when it was the left one), else 0.
int BTN_zap_boxes(int pressed);

// Vertical bar (style 6 only) of about length centred on (x, y), which must be
// whole numbers. Misuse raises the crash alert.
void BTN_frame0(int style, float x, float y, float length);
// Horizontal bar of a style (0-5, 7-13) centred on (x, y), width wide, in
// colour col. Misuse raises the crash alert.
void BTN_frame1(int style, float x, float y, float width, int col);
// Panel of a style (14-23) around the rectangle from (x, y), width by
// height, with its title; alpha multiplies the interface opacity. Style 14
// also draws the sub-window's close boxes. Misuse raises the crash alert.
void BTN_frame2(int style, float x, float y, float width, float height, std::string title, float alpha);

// Fills the current sub-window with its background panel (style 14 with
// flag, else 15) and titled, then type 1 a title bar, 24 nothing more, any
// other type a panel of that style inside.
void BTN_fillwin(int flag, int type);
// One panel in the current sub-window: negative x or y become 10, a negative
// width or height reaches 10 from the right edge or 28 + gap from the top.
// Writes where the next panel to the right and above would start.
void BTN_subwin(float gap, int style, float x, float y, float width, float height, std::string title,
                float* next_x, float* next_y);
// Tab column, row of a tab row at the top of the sub-window; a click on it
// sets *value to tab_value and returns 1, else 0.
int BTN_tab(int column, int row, int* value, int tab_value, std::string label);
// Direction dial at (x, y) showing *heading (degrees, clockwise from up);
// dragging within 30 of its centre sets the heading toward the mouse.
void plot_dir(float x, float y, float* heading, int style);

// The clickable widgets. Each reacts only while the menu bar has no open
// menu or pop-up list, sets the hover help from its label's help part while
// hovered, and acts in the frame of the press.
// Push button centred on (x, y); width 0 or less fits it to its text. lit
// shows it lit; style 0 has no pressed look, any other shows it (and swaps
// the buffers at once) when pressed unlit, 2 also lights the text while lit.
// side_text goes right of it unless it is exactly "-". 1 when pressed.
int BTN_action(float x, float y, float width, int lit, int style, std::string label, std::string side_text);
// Check box at (x, y) (radio != 0: the radio look); a press toggles *value
// between 0 and 1. 1 when pressed.
int BTN_bool(float x, float y, int* value, std::string label, int radio);
// BTN_bool on a bool, a char and a byte; a press leaves 0 or 1.
int BTN_xbol(float x, float y, bool* value, std::string label);
int BTN_xchr(float x, float y, char* value, std::string label);
int BTN_xbyt(float x, float y, unsigned char* value, std::string label);
// Radio button, on while *value == choice; a press sets *value = choice. 1
// when pressed, also when it was on already.
int BTN_is_int(float x, float y, int* value, int choice, std::string label);
// Pop-up list showing item *selected of items (split at separator, at most
// 300; other values are clamped into them, except -1, which shows no item
// and stays until the user chooses); a press in its box opens the list
// through the menu bar. 1 in the frame the user's choice arrives, *selected
// then holding it; more than 300 items raise the crash alert.
int BTN_textlist(float x, float y, int* selected, std::string items, std::string label, char separator);
