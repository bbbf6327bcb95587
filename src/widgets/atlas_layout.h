// Where every picture of the interface lies: the rectangles of the interface
// atlas ("interface.png", 512 x 512) and of the language screen textures
// ("elements_<Lang>.png", 1024 x 128). The resource generator paints exactly
// these rectangles and the widgets sample exactly these, so the two cannot
// drift apart. Coordinates are texels, u to the right and v upwards from the
// first stored row; a rectangle holds texels u0..u1-1 and v0..v1-1.
#pragma once

constexpr int k_atlas_size = 512;
constexpr int k_screen_tex_w = 1024;
constexpr int k_screen_tex_h = 128;

struct atlas_rect {
  int u0, v0, u1, v1;
  constexpr int width() const { return u1 - u0; }
  constexpr int height() const { return v1 - v0; }
  constexpr bool holds(int u, int v) const { return u >= u0 && u < u1 && v >= v0 && v < v1; }
};

// How the generator paints an element; the widgets never look at it.
enum atlas_art {
  art_bar,          // a stretched bar: outline, flat fill, light top edge
  art_bar_lit,      // the lit or pressed push button
  art_bar_fill,     // the filled part of a progress bar or slider
  art_bar_plain,    // menu and title bars, tracks and boxes: no top edge
  art_vbar,         // the vertical bar
  art_panel,        // a stretched panel: outline and flat fill only
  art_close,        // close box, idle
  art_close_down,   // close box, pressed
  art_check,        // check box, empty
  art_check_on,     // check box with its mark
  art_radio,        // radio button, empty
  art_radio_on,     // radio button with its mark
  art_arrow_right,  // the sub-menu arrow
  art_arrow_up,
  art_arrow_down,
  art_thumb,
  art_icon,
  art_folder,
  art_tab_on,
  art_tab_off,
  art_needle,
  art_dial,
  art_cursor,
};

struct atlas_element {
  const char* name;
  atlas_rect r;
  atlas_art art;
};

// Horizontal bar styles (0-5, 7-10 from the atlas, 11-13 from the screen
// texture): the strip, its cap, where its middle tile ends, how much wider
// than asked it is drawn and how far it moves down.
struct bar_style {
  int style;
  atlas_rect r;
  int cap, tile_end, extra_width, y_shift;
};
constexpr bar_style k_bar_styles[] = {
    {0, {1, 487, 101, 513}, 10, 90, 0, -3},    {1, {102, 487, 202, 513}, 20, 80, 0, -3},
    {2, {304, 486, 356, 512}, 10, 42, 0, 0},   {3, {304, 459, 356, 485}, 10, 42, 0, 0},
    {4, {112, 161, 140, 177}, 10, 18, 0, 0},   {5, {83, 161, 111, 177}, 10, 18, 0, 0},
    {7, {240, 242, 305, 266}, 10, 55, 0, 0},   {8, {289, 219, 305, 235}, 7, 9, 0, 0},
    {9, {262, 133, 313, 159}, 10, 41, 4, 0},   {10, {357, 488, 425, 512}, 26, 42, 4, 0},
    {11, {926, 96, 974, 127}, 16, 32, 0, 0},   {12, {975, 96, 1023, 127}, 16, 32, 0, 0},
    {13, {877, 96, 925, 127}, 16, 32, 0, 0},
};
// Bars 0 and 1 reach one texel above the atlas; with repeat wrapping that row
// is row 0, which therefore stays transparent under them.
constexpr atlas_rect k_bar_wrap_row = {1, 0, 202, 1};

// The vertical bar (style 6): bottom cap, middle tile and top cap.
constexpr atlas_rect k_vbar = {102, 248, 122, 288};
constexpr int k_vbar_cap = 10;

// Panel styles: the square's lower-left corner and side, the caps, the
// outsets beyond the asked rectangle and the title colour. Style 23 is in
// the screen texture.
struct panel_style {
  int style;
  int p, q, side;
  float cx, cy_bottom, cy_top;
  int out_sides, out_bottom, out_top;
  int title_colour;
  constexpr atlas_rect rect() const { return {p, q, p + side, q + side}; }
};
constexpr panel_style k_panel_styles[] = {
    {14, 1, 358, 100, 35.0f, 30.0f, 30.0f, 9, 14, 4, 45},
    {15, 102, 358, 100, 35.0f, 30.0f, 30.0f, 9, 14, 4, 48},
    {16, 203, 358, 100, 35.0f, 30.0f, 30.0f, 9, 14, 4, 48},
    {17, 304, 358, 100, 35.0f, 30.0f, 30.0f, 9, 14, 4, 48},
    {18, 405, 358, 100, 35.0f, 30.0f, 30.0f, 9, 14, 4, 52},
    {19, 1, 289, 68, static_cast<float>(68 * 0.35), static_cast<float>(68 * 0.3), static_cast<float>(68 * 0.3), 2, 2, 2, 48},
    {20, 70, 315, 42, 20.0f, 26.0f, 14.0f, 8, 13, 2, 48},
    {21, 113, 315, 42, static_cast<float>(42 * 0.35), static_cast<float>(42 * 0.3), static_cast<float>(42 * 0.3), 8, 13, 2, 48},
    {22, 440, 12, 44, static_cast<float>(44 * 0.35), static_cast<float>(44 * 0.3), static_cast<float>(44 * 0.3), 6, 9, 4, 48},
    {23, 982, 2, 41, static_cast<float>(41 * 0.35), static_cast<float>(41 * 0.3), static_cast<float>(41 * 0.3), 1, 1, 1, 48},
};

// Single elements of the atlas, drawn one texel per pixel.
constexpr atlas_rect k_close_box = {120, 178, 138, 196};
constexpr atlas_rect k_close_box_down = {120, 197, 138, 215};
constexpr atlas_rect k_check_box = {139, 178, 157, 196};
constexpr atlas_rect k_check_mark = {139, 197, 157, 215};
constexpr atlas_rect k_radio_box = {83, 123, 101, 141};
constexpr atlas_rect k_radio_mark = {83, 142, 101, 160};
constexpr atlas_rect k_submenu_arrow = {158, 178, 176, 196};  // centred on (167, 187), half sizes 9
constexpr atlas_rect k_digit_down = {83, 178, 97, 196};
constexpr atlas_rect k_digit_up = {83, 197, 97, 215};
constexpr atlas_rect k_scroll_up = {83, 266, 101, 288};
constexpr atlas_rect k_scroll_thumb = {83, 240, 101, 264};
constexpr atlas_rect k_scroll_down = {83, 216, 101, 238};
constexpr atlas_rect k_value_thumb = {263, 267, 281, 289};
constexpr atlas_rect k_folder_button = {208, 133, 234, 159};
constexpr atlas_rect k_tab_on = {204, 486, 302, 512};
constexpr atlas_rect k_tab_off = {204, 459, 302, 485};
constexpr atlas_rect k_needle = {156, 272, 166, 314};
constexpr atlas_rect k_needle_style0 = {156, 315, 166, 357};
constexpr atlas_rect k_dial_face = {178, 160, 234, 218};

// File-list icons by kind code (12 x 12, row v 82..94); 0 where a code has none.
constexpr int k_icon_v0 = 82, k_icon_v1 = 94;
constexpr int k_icon_u0_by_code[12] = {0, 34, 0, 48, 62, 90, 0, 146, 0, 104, 118, 132};

// Cursor sprites by cursor id: the rectangle and the hot-spot offset. Ids 3, 6,
// 9, 12 and 15 are each the union of the next two, painted once as halves.
struct cursor_sprite {
  int id;
  atlas_rect r;
  atlas_rect held;  // the rectangle while the button is held
  int ox, oy;
};
constexpr cursor_sprite k_cursors[] = {
    {3, {199, 328, 261, 357}, {199, 328, 261, 357}, 0, 0},
    {4, {199, 328, 230, 357}, {199, 328, 230, 357}, 6, 1},
    {5, {230, 328, 261, 357}, {230, 328, 261, 357}, -4, 1},
    {6, {199, 291, 261, 327}, {199, 291, 261, 327}, 0, 0},
    {7, {199, 291, 230, 327}, {199, 291, 230, 327}, 1, 1},
    {8, {230, 291, 261, 327}, {230, 291, 261, 327}, 0, 1},
    {9, {262, 310, 326, 357}, {262, 310, 326, 357}, 0, 0},
    {10, {262, 310, 294, 357}, {262, 310, 294, 357}, -3, 1},
    {11, {294, 310, 326, 357}, {294, 310, 326, 357}, 5, 1},
    {12, {487, 309, 506, 357}, {487, 309, 506, 357}, 0, 0},
    {13, {487, 309, 506, 333}, {487, 309, 506, 333}, 1, -5},
    {14, {487, 333, 506, 357}, {487, 333, 506, 357}, 1, 5},
    {15, {262, 291, 326, 309}, {262, 291, 326, 309}, 0, 0},
    {16, {262, 291, 294, 309}, {262, 291, 294, 309}, 0, 0},
    {17, {294, 291, 326, 309}, {294, 291, 326, 309}, 0, 0},
    {18, {328, 325, 358, 355}, {360, 325, 390, 355}, 0, 0},
    {19, {328, 293, 358, 323}, {360, 293, 390, 323}, 0, 0},
    {21, {168, 293, 198, 323}, {168, 293, 198, 323}, 0, 0},
    {22, {199, 250, 239, 290}, {199, 250, 239, 290}, 0, 0},
    {23, {456, 325, 486, 355}, {456, 325, 486, 355}, 0, 0},
    {24, {424, 325, 454, 355}, {424, 325, 454, 355}, 0, 0},
};
// Every other cursor id of 3 or more.
constexpr cursor_sprite k_cursor_other = {0, {168, 325, 198, 355}, {168, 325, 198, 355}, 0, 0};

// Every rectangle of the atlas that holds a picture, in element-index order.
// Each is painted with a transparent one-texel gutter around it, and no two
// overlap. The cursor unions above are absent: their halves are here.
constexpr atlas_element k_atlas_elements[] = {
    {"bar 0", k_bar_styles[0].r, art_bar_plain},
    {"bar 1", k_bar_styles[1].r, art_bar_plain},
    {"bar 2", k_bar_styles[2].r, art_bar},
    {"bar 3", k_bar_styles[3].r, art_bar_lit},
    {"bar 4", k_bar_styles[4].r, art_bar_plain},
    {"bar 5", k_bar_styles[5].r, art_bar_fill},
    {"bar 7", k_bar_styles[6].r, art_bar_plain},
    {"bar 8", k_bar_styles[7].r, art_bar_fill},
    {"bar 9", k_bar_styles[8].r, art_bar_plain},
    {"bar 10", k_bar_styles[9].r, art_bar},
    {"vertical bar", k_vbar, art_vbar},
    {"panel 14", k_panel_styles[0].rect(), art_panel},
    {"panel 15", k_panel_styles[1].rect(), art_panel},
    {"panel 16", k_panel_styles[2].rect(), art_panel},
    {"panel 17", k_panel_styles[3].rect(), art_panel},
    {"panel 18", k_panel_styles[4].rect(), art_panel},
    {"panel 19", k_panel_styles[5].rect(), art_panel},
    {"panel 20", k_panel_styles[6].rect(), art_panel},
    {"panel 21", k_panel_styles[7].rect(), art_panel},
    {"panel 22", k_panel_styles[8].rect(), art_panel},
    {"close box", k_close_box, art_close},
    {"close box pressed", k_close_box_down, art_close_down},
    {"check box", k_check_box, art_check},
    {"check mark", k_check_mark, art_check_on},
    {"radio box", k_radio_box, art_radio},
    {"radio mark", k_radio_mark, art_radio_on},
    {"sub-menu arrow", k_submenu_arrow, art_arrow_right},
    {"digit down", k_digit_down, art_arrow_down},
    {"digit up", k_digit_up, art_arrow_up},
    {"scroll up", k_scroll_up, art_arrow_up},
    {"scroll thumb", k_scroll_thumb, art_thumb},
    {"scroll down", k_scroll_down, art_arrow_down},
    {"value thumb", k_value_thumb, art_thumb},
    {"icon 1", {34, k_icon_v0, 46, k_icon_v1}, art_icon},
    {"icon 3", {48, k_icon_v0, 60, k_icon_v1}, art_icon},
    {"icon 4", {62, k_icon_v0, 74, k_icon_v1}, art_icon},
    {"icon 5", {90, k_icon_v0, 102, k_icon_v1}, art_icon},
    {"icon 9", {104, k_icon_v0, 116, k_icon_v1}, art_icon},
    {"icon 10", {118, k_icon_v0, 130, k_icon_v1}, art_icon},
    {"icon 11", {132, k_icon_v0, 144, k_icon_v1}, art_icon},
    {"icon 7", {146, k_icon_v0, 158, k_icon_v1}, art_icon},
    {"folder button", k_folder_button, art_folder},
    {"tab selected", k_tab_on, art_tab_on},
    {"tab", k_tab_off, art_tab_off},
    {"needle", k_needle, art_needle},
    {"needle style 0", k_needle_style0, art_needle},
    {"dial face", k_dial_face, art_dial},
    {"cursor 4", k_cursors[1].r, art_cursor},
    {"cursor 5", k_cursors[2].r, art_cursor},
    {"cursor 7", k_cursors[4].r, art_cursor},
    {"cursor 8", k_cursors[5].r, art_cursor},
    {"cursor 10", k_cursors[7].r, art_cursor},
    {"cursor 11", k_cursors[8].r, art_cursor},
    {"cursor 13", k_cursors[10].r, art_cursor},
    {"cursor 14", k_cursors[11].r, art_cursor},
    {"cursor 16", k_cursors[13].r, art_cursor},
    {"cursor 17", k_cursors[14].r, art_cursor},
    {"cursor 18", k_cursors[15].r, art_cursor},
    {"cursor 18 held", k_cursors[15].held, art_cursor},
    {"cursor 19", k_cursors[16].r, art_cursor},
    {"cursor 19 held", k_cursors[16].held, art_cursor},
    {"cursor 21", k_cursors[17].r, art_cursor},
    {"cursor 22", k_cursors[18].r, art_cursor},
    {"cursor 23", k_cursors[19].r, art_cursor},
    {"cursor 24", k_cursors[20].r, art_cursor},
    {"cursor other", k_cursor_other.r, art_cursor},
};
constexpr int k_atlas_element_count = sizeof(k_atlas_elements) / sizeof(k_atlas_elements[0]);

// The texels start-up reads the interface colours from: colour id and texel.
struct atlas_swatch {
  int colour_id, u, v;
  constexpr int byte_offset() const { return (v * k_atlas_size + u) * 4; }
};
constexpr atlas_swatch k_atlas_swatches[] = {
    {39, 319, 155}, {40, 319, 147}, {41, 319, 139}, {42, 319, 131}, {43, 319, 123},
    {45, 319, 115}, {46, 319, 107}, {47, 319, 99},  {48, 319, 91},  {50, 319, 83},
    {51, 319, 75},  {52, 319, 67},  {49, 395, 115},
};
constexpr int k_atlas_swatch_count = sizeof(k_atlas_swatches) / sizeof(k_atlas_swatches[0]);

// The picture buttons' words: the left texel column of picture c for each
// language (0 English, 1 French, 2 German, 3 Russian, 4 Italian, 5 Spanish);
// picture c spans from row c to row c + 1. Pictures: 0 Quit, 1 Back, 2 Next,
// 3 select all, 4 clear all; 5 and 6 are drawn by nothing.
constexpr int k_language_count = 6;
constexpr int k_picture_count = 7;
constexpr float btn_cuts[k_picture_count + 1][k_language_count] = {
    {0, 0, 0, 0, 0, 0},
    {56, 91, 96, 75, 54, 60},
    {145, 172, 181, 144, 212, 156},
    {246, 284, 256, 211, 312, 269},
    {357, 477, 422, 346, 480, 421},
    {489, 695, 611, 422, 673, 606},
    {605, 874, 762, 501, 840, 789},
    {691, 958, 859, 616, 921, 892},
};
constexpr const char* k_language_names[k_language_count] = {"English", "French", "German",
                                                           "Russian", "Italian", "Spanish"};

// The three bands of every picture: rows of the screen texture.
enum picture_band { band_hovered = 0, band_pressed = 1, band_idle = 2 };
constexpr int k_band_count = 3;
constexpr int k_band_height = 22;
constexpr int k_band_v0[k_band_count] = {0, 23, 46};

// A picture's rectangle in the screen texture.
constexpr atlas_rect picture_rect(int picture, int language, int band) {
  return {static_cast<int>(btn_cuts[picture][language]), k_band_v0[band],
          static_cast<int>(btn_cuts[picture + 1][language]), k_band_v0[band] + k_band_height};
}

// Elements of a screen texture by index: picture c in band b is c * 3 + b;
// then bars 11, 12 and 13 and panel 23.
constexpr int screen_picture_element(int picture, int band) { return picture * k_band_count + band; }
constexpr int k_screen_bar_element = k_picture_count * k_band_count;  // bar 11; 12 and 13 follow
constexpr int k_screen_panel_element = k_screen_bar_element + 3;

// The coordinate-coded pictures of the test bundle: an element's texel holds
// red u mod 256, green v mod 256 and in blue the high bits of u (bits 0-1)
// and v (bit 2) under the element's index modulo 32 (bits 3-7), fully opaque.
// Everything else is transparent.
struct coded_texel {
  unsigned char r, g, b;
};
constexpr coded_texel atlas_code_texel(int u, int v, int element) {
  return {static_cast<unsigned char>(u & 255), static_cast<unsigned char>(v & 255),
          static_cast<unsigned char>(((u >> 8) & 3) | ((v >> 8) & 1) << 2 | (element & 31) << 3)};
}
