// The file browser drawn inside the program's window (a modal Open or Save
// sub-window over a folder listing) and the path choosers that show a path
// with a folder button opening it. Paths are relative to the folder relative
// paths resolve against and use '/'; a folder path ends in '/', the root is
// "". Main thread only.
#pragma once
#include <string>

// The browser's sub-windows.
enum { io_window_open = 998, io_window_save = 999 };
// File-type codes run from 0 to this.
constexpr int io_last_file_type = 23;

// The folder a file type starts in when the caller gives no path ("" the
// root), and the extension a saved name of that type receives ("" none).
// Both "" for a code outside 0..io_last_file_type.
std::string BTN_io_start_folder(int file_type);
std::string BTN_io_save_extension(int file_type);

// Runs the browser in sub-window window (998 Open, 999 Save) over files of
// file_type, starting in *path's folder (the type's folder when *path is
// empty), until the user finishes. 1 with *path the chosen or saved file
// and the caller's sub-window restored; 0 on Cancel or Escape (restored)
// or when the sub-window was closed (not restored). A bad window or type
// raises the crash alert.
int BTN_opensave(int window, int file_type, std::string* path);
// The browser's fixed parts for one frame: background, frames, and for
// type 8 the comment of the ".fdr" file entry names ("-" when none is
// selected).
void stand_io_dialog(int window, int file_type, std::string entry);
// The comment of a ".fdr" file: the rest of its last "COMM," line, "" when
// it has none or its header is not a version-1 text header.
std::string BTN_fdr_comment(const std::string& path);

// A path field at (x, y), width wide, with the folder button left of it:
// types 22 and 23 show the whole *path, others its last component, and an
// edit replaces *path with the field's text. The label's left part ends at
// x - 32, its right part starts right of the field, its help shows over
// the button. 1 in the frame a press on the button ran the browser (the
// browser's answer is in *path). A bad window or type raises the crash alert.
int BTN_select_path_stl(float x, float y, int window, int file_type, std::string* path, int max_chars,
                        std::string label, float width, int field_flag);
// The same over a zero-ended buffer of buffer_size bytes; a longer result
// is cut on a character boundary.
int BTN_select_path_chr(float x, float y, int window, int file_type, char* path, int buffer_size,
                        std::string label, float width, int field_flag);
// A file name kept apart from its folder: the field shows name, the button
// browses from *folder_path's folder. When the browser returns a file,
// *folder_path becomes its path and name its last component; an edit in
// the field goes to name. Both cut to max_chars - 1 bytes on a character
// boundary. 1 in the frame the button ran the browser.
int BTN_select_file_chr(float x, float y, int window, int file_type, char* name, std::string* folder_path,
                        int max_chars, std::string label, float width);
