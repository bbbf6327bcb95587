// The interface's light theme: light panels and bars under dark text. The
// text colours reach the program through the atlas's swatches, so every one
// of them keeps a contrast of at least 4.5:1 against every panel and bar
// fill it is drawn on.
#pragma once
#include "mkres_canvas.h"

constexpr mkres_rgba k_outline = mkres_opaque(96, 104, 118);
constexpr mkres_rgba k_dark_mark = mkres_opaque(36, 44, 60);
constexpr mkres_rgba k_white = mkres_opaque(255, 255, 255);

// Panel fills by style 14 to 23.
constexpr mkres_rgba k_panel_fill[10] = {
    mkres_opaque(226, 230, 236), mkres_opaque(236, 238, 242), mkres_opaque(244, 245, 247),
    mkres_opaque(255, 250, 222), mkres_opaque(232, 238, 232), mkres_opaque(252, 252, 252),
    mkres_opaque(246, 246, 248), mkres_opaque(238, 240, 244), mkres_opaque(238, 240, 244),
    mkres_opaque(242, 243, 238),
};

constexpr mkres_rgba k_button_fill = mkres_opaque(216, 222, 232);
constexpr mkres_rgba k_button_top = mkres_opaque(248, 250, 253);
constexpr mkres_rgba k_lit_fill = mkres_opaque(255, 214, 140);
constexpr mkres_rgba k_lit_top = mkres_opaque(255, 240, 204);
constexpr mkres_rgba k_bar_fill = mkres_opaque(70, 130, 200);
constexpr mkres_rgba k_bar_fill_top = mkres_opaque(120, 170, 230);
constexpr mkres_rgba k_track_fill = mkres_opaque(210, 214, 222);
constexpr mkres_rgba k_field_fill = mkres_opaque(255, 255, 255);
constexpr mkres_rgba k_menu_fill = mkres_opaque(232, 234, 238);
constexpr mkres_rgba k_title_fill = mkres_opaque(200, 212, 230);
constexpr mkres_rgba k_close_down = mkres_opaque(170, 40, 40);
constexpr mkres_rgba k_tab_off_fill = mkres_opaque(200, 206, 216);
constexpr mkres_rgba k_needle_fill = mkres_opaque(190, 30, 30);
constexpr mkres_rgba k_folder = mkres_opaque(236, 196, 80);

// The swatches, by colour id: 39 the window behind alerts, 40 to 42 accents,
// the rest text and title colours.
struct mkres_swatch_colour {
  int colour_id;
  mkres_rgba colour;
};
constexpr mkres_swatch_colour k_swatch_colours[] = {
    {39, mkres_opaque(150, 164, 186)}, {40, mkres_opaque(200, 208, 220)}, {41, mkres_opaque(150, 160, 178)},
    {42, mkres_opaque(110, 120, 140)}, {43, mkres_opaque(16, 24, 48)},    {45, mkres_opaque(10, 30, 90)},
    {46, mkres_opaque(0, 0, 0)},       {47, mkres_opaque(50, 50, 60)},    {48, mkres_opaque(20, 20, 24)},
    {49, mkres_opaque(120, 20, 20)},   {50, mkres_opaque(24, 28, 36)},    {51, mkres_opaque(70, 30, 0)},
    {52, mkres_opaque(0, 60, 30)},
};

// The screen textures: the picture buttons' bars and the wizard's panel.
constexpr mkres_rgba k_pic_bar_fill = mkres_opaque(222, 230, 242);
constexpr mkres_rgba k_pic_bar_top = mkres_opaque(250, 252, 255);
constexpr mkres_rgba k_pic_pressed_fill = mkres_opaque(52, 84, 136);
constexpr mkres_rgba k_pic_pressed_top = mkres_opaque(84, 114, 164);
constexpr mkres_rgba k_pic_pressed_outline = mkres_opaque(30, 50, 90);
constexpr mkres_rgba k_pic_dimmed_fill = mkres_opaque(206, 206, 206);
constexpr mkres_rgba k_pic_dimmed_outline = mkres_opaque(150, 150, 150);
// The words' ink by band: hovered, pressed (over the dark pressed bar), idle.
constexpr mkres_rgba k_word_ink[3] = {mkres_opaque(0, 80, 170), mkres_opaque(255, 255, 255),
                                      mkres_opaque(16, 36, 84)};
