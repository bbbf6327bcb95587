// Console 0 for the tests that draw: a test program that registers it gets
// the program's window with its OpenGL context, made as the installer makes
// it, before its first test, on the display the suite runs under. Without a
// context every test of that program fails; none is skipped.
#pragma once
#include <cstdint>
#include <vector>

// Registers the window for this test program; call from a static initialiser:
//   static const bool gl = gl_console_register();
bool gl_console_register(int width = 800, int height = 600);
// The back buffer's pixels (RGBA, rows bottom-up) of a rectangle, read
// before the buffers are swapped.
std::vector<uint8_t> gl_read_back(int x, int y, int width, int height);
// One pixel of the back buffer as 0xRRGGBBAA.
uint32_t gl_pixel(int x, int y);
