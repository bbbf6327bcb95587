// A scrolling list of rows 10 pixels apart, with a vertical slider, the
// mouse wheel, a selection moved by click or by Up and Down, type-ahead on
// the item names, optional icons and a second column, and an optional
// search field. The caller owns the items and hands them out through
// callbacks, each given its own reference pointer back. Main thread.
#pragma once
#include <string>

// The size a list takes when given none.
constexpr float io_dx = 290;
constexpr float io_dy = 220;

// The type-ahead of all lists: the characters typed, the clock time of the
// last (-1 before any) and the list that last held the focus.
extern std::string type_ahead;
extern float last_type_ahead;
extern int current_list_id;

// Item i's name or description, and its icon code (1, 3, 4, 5, 7, 9, 10 and
// 11 have icons; other codes draw none).
typedef std::string (*BTN_list_text_fn)(int index, void* ref);
typedef int (*BTN_list_icon_fn)(int index, void* ref);

// The list at left edge x, centred on y (both rounded), width by height (0
// or less: io_dx by io_dy), showing items first..last around *scroll with
// *selection highlighted; the slider slider_index (0 to 3) right of it
// when there is more than one item. With search_text a 36-character field
// for it, labelled search_label, lies below. desc and icon may be null. A
// press that maps outside first..last changes nothing. 1 when a row was
// double-clicked this frame, else 0.
int BTN_list_and_search(int slider_index, float x, float y, float width, float height, int* scroll, int* selection,
                        int first, int last, std::string* search_text, const std::string& search_label,
                        BTN_list_text_fn name, void* name_ref, BTN_list_text_fn desc, void* desc_ref,
                        BTN_list_icon_fn icon, void* icon_ref);
