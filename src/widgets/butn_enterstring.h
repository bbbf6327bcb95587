// The one-line text field and the one text-editing engine all fields share,
// bound to whichever field has the keyboard focus; and small clipboard and
// list helpers. Main thread only.
#pragma once
#include <string>
#include "widgets/ogle.h"

// A field is known by its position: (int)x * 8192 + (int)y.
// The editor of all fields, made on first use.
extern OGLE_Rec* ogle;
// The field the editor was last bound to.
extern int focused_field_id;
// The bound field's text, left edge, baseline (y - 1) and visible width.
extern std::string* OGLE_input;
extern int OGLE_x, OGLE_y, OGLE_entry_dx;
// The bound field's scroll, set by the engine; 0 when a new field binds.
extern float OGLE_dx, OGLE_dy;
// 1 when the bound field's text was replaced since the field started its frame.
extern int OGLE_edit;
// The key queue of all text fields.
extern int char_slot[64], vkey_slot[64], flag_slot[64], id_slot[64], ctr_slot;
// The engine's callbacks over the bound field.
extern const OGLE_Callbacks OGLE_cbs;

// Text field at (x, y) (left end and baseline) editing *text in place, cut
// to max_len bytes after an edit (never inside a character). take_focus
// lets it focus itself when nothing has the focus. 1 when the text changed
// this frame.
int BTN_enterstring(float x, float y, std::string* text, int max_len, std::string label, float width, int take_focus);
// The same on a zero-ended buffer; a result of 500 bytes or more raises the
// crash alert "String too long!" before it is copied back.
int BTN_enterstring(float x, float y, char* text, int max_len, std::string label, float width, int take_focus);

// Fits the editor to the bound text, which its owner may have changed:
// the selection clamped into it, the lines re-broken when it differs.
void OGLE_sync_to_text();

// The engine's callbacks of the bound field, in the engine's order.
void OGLE_GetVisibleBounds(OGLE_Rec* r, float* bounds);
void OGLE_GetLogicalBounds(OGLE_Rec* r, float* bounds);
void OGLE_SetLogicalHeight(OGLE_Rec* r, float height);
void OGLE_ScrollTo(OGLE_Rec* r, float* where);
void OGLE_GetText(OGLE_Rec* r, const char** first, const char** last);
void OGLE_ReplaceTextFunc(OGLE_Rec* r, int start, int end, const char* first, const char* last);
float OGLE_GetLineHeight(OGLE_Rec* r);
float OGLE_MeasureString(OGLE_Rec* r, const char* first, const char* last);
int OGLE_FitStringFwd(OGLE_Rec* r, const char* first, const char* last, float width);
int OGLE_FitStringRev(OGLE_Rec* r, const char* first, const char* last, float width);
void OGLE_DrawString(OGLE_Rec* r, const char* first, const char* last, float x, float y);
void OGLE_DrawSelection(OGLE_Rec* r, float* box);
const char* OGLE_WordBreak(OGLE_Rec* r, const char* first, const char* last);
const char* OGLE_MBCS_Next(OGLE_Rec* r, const char* p);
int OGLE_MBCS_NextPos(OGLE_Rec* r, int index);
int OGLE_MBCS_PrevPos(OGLE_Rec* r, int index);

// The clipboard's text as one line: CR LF, CR, LF and tab each one blank,
// other control bytes dropped; "" when the text is not UTF-8.
std::string BTN_paste_line(const std::string& text);
// Puts the text on the clipboard: 0, or -1 when that failed.
int BTN_text_to_clipboard(const std::string& text);
// The clipboard's text into text: true, else false with text unchanged.
bool BTN_text_from_clipboard(std::string& text);
// true when the clipboard holds text.
bool BTN_is_text_on_clipboard();

// Item index of a std::vector<std::string> or std::vector<int> given untyped.
std::string BTN_name_from_vector(int index, void* names);
int BTN_type_from_vector(int index, void* types);
