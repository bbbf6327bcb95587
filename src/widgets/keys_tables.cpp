#include "widgets/keys_tables.h"

const key_name_row kKeyNameTable[] = {
    {8, "TESSEL_VK_BACK", "Backspace"}, {9, "TESSEL_VK_TAB", "Tab"}, {12, "TESSEL_VK_CLEAR", "Clear"},
    {13, "TESSEL_VK_RETURN", "Return"}, {27, "TESSEL_VK_ESCAPE", "Escape"}, {32, "TESSEL_VK_SPACE", "Space"},
    {33, "TESSEL_VK_PRIOR", "PageUp"}, {34, "TESSEL_VK_NEXT", "PageDown"}, {35, "TESSEL_VK_END", "End"},
    {36, "TESSEL_VK_HOME", "Home"}, {37, "TESSEL_VK_LEFT", "Left"}, {38, "TESSEL_VK_UP", "Up"},
    {39, "TESSEL_VK_RIGHT", "Right"}, {40, "TESSEL_VK_DOWN", "Down"}, {41, "TESSEL_VK_SELECT", "Select"},
    {42, "TESSEL_VK_PRINT", "Print"}, {43, "TESSEL_VK_EXECUTE", "Execute"},
    {44, "TESSEL_VK_SNAPSHOT", "Snapshot"}, {45, "TESSEL_VK_INSERT", "Insert"},
    {46, "TESSEL_VK_DELETE", "Delete"}, {47, "TESSEL_VK_HELP", "Help"}, {48, "TESSEL_VK_0", "0"},
    {49, "TESSEL_VK_1", "1"}, {50, "TESSEL_VK_2", "2"}, {51, "TESSEL_VK_3", "3"}, {52, "TESSEL_VK_4", "4"},
    {53, "TESSEL_VK_5", "5"}, {54, "TESSEL_VK_6", "6"}, {55, "TESSEL_VK_7", "7"}, {56, "TESSEL_VK_8", "8"},
    {57, "TESSEL_VK_9", "9"}, {65, "TESSEL_VK_A", "A"}, {66, "TESSEL_VK_B", "B"}, {67, "TESSEL_VK_C", "C"},
    {68, "TESSEL_VK_D", "D"}, {69, "TESSEL_VK_E", "E"}, {70, "TESSEL_VK_F", "F"}, {71, "TESSEL_VK_G", "G"},
    {72, "TESSEL_VK_H", "H"}, {73, "TESSEL_VK_I", "I"}, {74, "TESSEL_VK_J", "J"}, {75, "TESSEL_VK_K", "K"},
    {76, "TESSEL_VK_L", "L"}, {77, "TESSEL_VK_M", "M"}, {78, "TESSEL_VK_N", "N"}, {79, "TESSEL_VK_O", "O"},
    {80, "TESSEL_VK_P", "P"}, {81, "TESSEL_VK_Q", "Q"}, {82, "TESSEL_VK_R", "R"}, {83, "TESSEL_VK_S", "S"},
    {84, "TESSEL_VK_T", "T"}, {85, "TESSEL_VK_U", "U"}, {86, "TESSEL_VK_V", "V"}, {87, "TESSEL_VK_W", "W"},
    {88, "TESSEL_VK_X", "X"}, {89, "TESSEL_VK_Y", "Y"}, {90, "TESSEL_VK_Z", "Z"},
    {96, "TESSEL_VK_NUMPAD0", "Numpad-0"}, {97, "TESSEL_VK_NUMPAD1", "Numpad-1"},
    {98, "TESSEL_VK_NUMPAD2", "Numpad-2"}, {99, "TESSEL_VK_NUMPAD3", "Numpad-3"},
    {100, "TESSEL_VK_NUMPAD4", "Numpad-4"}, {101, "TESSEL_VK_NUMPAD5", "Numpad-5"},
    {102, "TESSEL_VK_NUMPAD6", "Numpad-6"}, {103, "TESSEL_VK_NUMPAD7", "Numpad-7"},
    {104, "TESSEL_VK_NUMPAD8", "Numpad-8"}, {105, "TESSEL_VK_NUMPAD9", "Numpad-9"},
    {106, "TESSEL_VK_MULTIPLY", "Numpad-*"}, {107, "TESSEL_VK_ADD", "Numpad-+"},
    {109, "TESSEL_VK_SUBTRACT", "Numpad--"}, {110, "TESSEL_VK_DECIMAL", "Numpad-."},
    {111, "TESSEL_VK_DIVIDE", "Numpad-/"}, {112, "TESSEL_VK_F1", "F1"}, {113, "TESSEL_VK_F2", "F2"},
    {114, "TESSEL_VK_F3", "F3"}, {115, "TESSEL_VK_F4", "F4"}, {116, "TESSEL_VK_F5", "F5"},
    {117, "TESSEL_VK_F6", "F6"}, {118, "TESSEL_VK_F7", "F7"}, {119, "TESSEL_VK_F8", "F8"},
    {120, "TESSEL_VK_F9", "F9"}, {121, "TESSEL_VK_F10", "F10"}, {122, "TESSEL_VK_F11", "F11"},
    {123, "TESSEL_VK_F12", "F12"}, {124, "TESSEL_VK_F13", "F13"}, {125, "TESSEL_VK_F14", "F14"},
    {126, "TESSEL_VK_F15", "F15"}, {127, "TESSEL_VK_F16", "F16"}, {128, "TESSEL_VK_F17", "F17"},
    {129, "TESSEL_VK_F18", "F18"}, {130, "TESSEL_VK_F19", "F19"}, {131, "TESSEL_VK_F20", "F20"},
    {132, "TESSEL_VK_F21", "F21"}, {133, "TESSEL_VK_F22", "F22"}, {134, "TESSEL_VK_F23", "F23"},
    {135, "TESSEL_VK_F24", "F24"}, {176, "TESSEL_VK_EQUAL", "="}, {177, "TESSEL_VK_MINUS", "-"},
    {178, "TESSEL_VK_RBRACE", "]"}, {179, "TESSEL_VK_LBRACE", "["}, {180, "TESSEL_VK_QUOTE", "'"},
    {181, "TESSEL_VK_SEMICOLON", ";"}, {182, "TESSEL_VK_BACKSLASH", "\\"}, {183, "TESSEL_VK_COMMA", ","},
    {184, "TESSEL_VK_SLASH", "/"}, {185, "TESSEL_VK_PERIOD", "."}, {186, "TESSEL_VK_BACKQUOTE", "`"},
    {187, "TESSEL_VK_ENTER", "Enter"}, {188, "TESSEL_VK_NUMPAD_ENT", "Numpad-Enter"},
    {189, "TESSEL_VK_NUMPAD_EQ", "Numpad-="},
    {0, nullptr, nullptr},
};

// Searched in this order: the first row with the key code wins.
const key_code_row kKeyTranslations[] = {
    {18, 49},  {19, 50},  {20, 51},  {21, 52},  {22, 54},  {23, 53},  {25, 57},  {26, 55},  {28, 56},
    {29, 48},  {65, 110}, {67, 106}, {69, 107}, {71, 12},  {75, 111}, {76, 188}, {78, 109}, {81, 189},
    {82, 96},  {83, 97},  {84, 98},  {85, 99},  {86, 100}, {87, 101}, {88, 102}, {89, 103}, {91, 104},
    {92, 105}, {36, 13},  {48, 9},   {49, 32},  {51, 8},   {53, 27},  {64, 128}, {79, 129}, {80, 130},
    {90, 131}, {96, 116}, {97, 117}, {98, 118}, {99, 114}, {100, 119}, {101, 120}, {103, 122}, {105, 124},
    {106, 127}, {107, 125}, {109, 121}, {111, 123}, {113, 126}, {114, 47}, {115, 36}, {116, 33}, {117, 46},
    {118, 115}, {119, 35}, {120, 113}, {121, 34}, {122, 112}, {123, 37}, {124, 39}, {125, 40}, {126, 38},
    {0, 0},
};

// '.' comes first as well as in its place: the period key is looked up
// before the rest.
const key_ascii_row kAsciiMappings[] = {
    {'.', 185}, {' ', 32},
    {'a', 65},  {'b', 66},  {'c', 67},  {'d', 68},  {'e', 69},  {'f', 70},  {'g', 71},  {'h', 72},
    {'i', 73},  {'j', 74},  {'k', 75},  {'l', 76},  {'m', 77},  {'n', 78},  {'o', 79},  {'p', 80},
    {'q', 81},  {'r', 82},  {'s', 83},  {'t', 84},  {'u', 85},  {'v', 86},  {'w', 87},  {'x', 88},
    {'y', 89},  {'z', 90},
    {'=', 176}, {'-', 177}, {']', 178}, {'[', 179}, {'\'', 180}, {';', 181}, {'\\', 182}, {',', 183},
    {'/', 184}, {'.', 185}, {'`', 186},
    {'0', 48},  {'1', 49},  {'2', 50},  {'3', 51},  {'4', 52},  {'5', 53},  {'6', 54},  {'7', 55},
    {'8', 56},  {'9', 57},
    {0, 0},
};

// A US keyboard: the control keys first (13 always finds Return), then every
// printable character.
const key_char_row kCharTranslations[] = {
    {13, 13, 0}, {27, 27, 0}, {9, 9, 0}, {8, 8, 0}, {28, 37, 0}, {29, 39, 0}, {30, 38, 0}, {31, 40, 0},
    {' ', 32, 0}, {'!', 49, 1}, {'"', 180, 1}, {'#', 51, 1}, {'$', 52, 1}, {'%', 53, 1}, {'&', 55, 1},
    {'\'', 180, 0}, {'(', 57, 1}, {')', 48, 1}, {'*', 56, 1}, {'+', 176, 1}, {',', 183, 0}, {'-', 177, 0},
    {'.', 185, 0}, {'/', 184, 0}, {'0', 48, 0}, {'1', 49, 0}, {'2', 50, 0}, {'3', 51, 0}, {'4', 52, 0},
    {'5', 53, 0}, {'6', 54, 0}, {'7', 55, 0}, {'8', 56, 0}, {'9', 57, 0}, {':', 181, 1}, {';', 181, 0},
    {'<', 183, 1}, {'=', 176, 0}, {'>', 185, 1}, {'?', 184, 1}, {'@', 50, 1}, {'A', 65, 1}, {'B', 66, 1},
    {'C', 67, 1}, {'D', 68, 1}, {'E', 69, 1}, {'F', 70, 1}, {'G', 71, 1}, {'H', 72, 1}, {'I', 73, 1},
    {'J', 74, 1}, {'K', 75, 1}, {'L', 76, 1}, {'M', 77, 1}, {'N', 78, 1}, {'O', 79, 1}, {'P', 80, 1},
    {'Q', 81, 1}, {'R', 82, 1}, {'S', 83, 1}, {'T', 84, 1}, {'U', 85, 1}, {'V', 86, 1}, {'W', 87, 1},
    {'X', 88, 1}, {'Y', 89, 1}, {'Z', 90, 1}, {'[', 179, 0}, {'\\', 182, 0}, {']', 178, 0}, {'^', 54, 1},
    {'_', 177, 1}, {'`', 186, 0}, {'a', 65, 0}, {'b', 66, 0}, {'c', 67, 0}, {'d', 68, 0}, {'e', 69, 0},
    {'f', 70, 0}, {'g', 71, 0}, {'h', 72, 0}, {'i', 73, 0}, {'j', 74, 0}, {'k', 75, 0}, {'l', 76, 0},
    {'m', 77, 0}, {'n', 78, 0}, {'o', 79, 0}, {'p', 80, 0}, {'q', 81, 0}, {'r', 82, 0}, {'s', 83, 0},
    {'t', 84, 0}, {'u', 85, 0}, {'v', 86, 0}, {'w', 87, 0}, {'x', 88, 0}, {'y', 89, 0}, {'z', 90, 0},
    {'{', 179, 1}, {'|', 182, 1}, {'}', 178, 1}, {'~', 186, 1},
    {0, 0, 0},
};

// The arrows carry the characters 28 to 31 and the keypad its digits and
// point whatever the layout says.
const key_char_override kCharOverrides[] = {
    {8, 8},     {9, 9},     {13, 13},   {27, 27},   {37, 28},   {38, 30},   {39, 29},   {40, 31},
    {96, '0'},  {97, '1'},  {98, '2'},  {99, '3'},  {100, '4'}, {101, '5'}, {102, '6'}, {103, '7'},
    {104, '8'}, {105, '9'}, {110, '.'},
    {0, 0},
};

const key_name_row* KEY_name_row(int vkey) {
  for (const key_name_row* r = kKeyNameTable; r->code; ++r)
    if (r->vkey == vkey) return r;
  return nullptr;
}

int KEY_char_override(int vkey) {
  for (const key_char_override* r = kCharOverrides; r->vkey; ++r)
    if (r->vkey == vkey) return r->ch;
  return -1;
}
