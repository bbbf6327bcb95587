// The clipboard by clip type: 0 is text, the desktop's own; the private
// types that UTL_RegisterPrivateClipType hands out ('PRV0', 'PRV1'...) never
// leave this process. What the process puts is mirrored here with its flags
// (first flavour none, later ones sender-only), and the mirror answers for as
// long as the desktop's text is still the one we put ("" when we put none),
// so another program's copy replaces it. Main thread only.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Registers the text type ('TEXT', "text"), so text is always clip type 0.
void UTL_InitClipboard();
// The text clip type: 0 (fills the registry first when empty).
int UTL_GetTextClipType();
// The clip type named name (exact bytes, first match), registering it with
// the next private code when new.
int UTL_RegisterPrivateClipType(const char* name);
// Clears the clipboard and puts count flavours in order: flavour i of type
// types[i], sizes[i] bytes from data[i]. true when every one was put (and
// for count below 1 once cleared); false at the first failure.
bool UTL_Clipboard_SetData(int count, int* types, int* sizes, const void** data);
// true when the clipboard holds the type, and it is text or was put
// sender-only by this process.
bool UTL_Clipboard_HasClipType(int type);
// The type's size in bytes; 0 when missing.
int UTL_Clipboard_GetSize(int type);
// Copies the type's bytes into buffer only when its size equals size; true
// when size bytes were copied.
bool UTL_Clipboard_GetData(int type, int size, void* buffer);
// The clip types on the clipboard in its order; private ones only when
// sender-only; unregistered codes skipped.
void UTL_Clipboard_GetTypes(std::vector<int>& types);
// Puts the text's bytes as the one flavour of type 0; as UTL_Clipboard_SetData.
bool UTL_SetTextToClipboard(const std::string& text);
// The clipboard's text, bytes unchanged: true with it, else false and text
// untouched.
bool UTL_GetTextFromClipboard(std::string& text);

// The four-character code of a clip type (first character in the most
// significant byte); 0 outside the registry.
uint32_t UTL_Clipboard_code(int type);
