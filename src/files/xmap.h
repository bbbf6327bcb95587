// The data-file reader: a read-only, memory-mapped window on one file with a
// cursor, the data-file header check and the text scanners that every parser
// walks the mapped bytes with. Scanners never read past mem_end.
//
// Character classes: a blank is a space or a tab; a line end is NUL, CR or LF.
#pragma once
#include <string>

// Header kinds of check_file and ouf_open.
enum { xmap_binary = 10000, xmap_text = 10001 };

class xmap_class {
 public:
  // Opens path (relative to the root folder, absolute, or "RESOURCE:name")
  // when it is not empty; test mem_beg to learn whether it opened.
  explicit xmap_class(const std::string& path = std::string(), int offset = 0, int length = 0);
  ~xmap_class();
  xmap_class(const xmap_class&) = delete;
  xmap_class& operator=(const xmap_class&) = delete;

  // Points the reader at a (new) window of length bytes from offset (0: to
  // the end of the file). Returns the window's first byte, or null when the
  // file cannot be opened or mapped. An empty file opens as an empty window.
  char* retry(const std::string& path, int offset, int length);
  // Releases the window; path stays.
  void close();
  // Reads the data-file header from the window's start: kind xmap_binary or
  // xmap_text, versions a 0-ended list, type_word the first body word or null,
  // rest (may be null) the text after the version number. Returns the accepted
  // version with the cursor on the first body byte, or 0.
  int check_file(int kind, const int* versions, const char* type_word, std::string* rest);

  static bool is_blank(char c) { return c == ' ' || c == '\t'; }
  static bool is_eol(char c) { return c == '\0' || c == '\r' || c == '\n'; }
  void skip_blanks() {
    while (mem_cur < mem_end && is_blank(*mem_cur)) ++mem_cur;
  }

  // After blanks, matches word followed by a blank (or a line end or the
  // window's end when may_end_line, or terminator when non-zero): 1 with the
  // cursor right behind the word; else 0 with the cursor after the blanks.
  int TXT_str_scan_match(const char* word, int may_end_line, char terminator) {
    skip_blanks();
    char* p = mem_cur;
    const unsigned char* w = reinterpret_cast<const unsigned char*>(word);
    while (*w && p < mem_end && static_cast<unsigned char>(*p) == *w) {
      ++p;
      ++w;
    }
    if (*w == 0) {
      if ((p < mem_end && is_blank(*p)) || (may_end_line && (p == mem_end || is_eol(*p))) ||
          (terminator && p < mem_end && *p == terminator)) {
        mem_cur = p;
        return 1;
      }
    }
    return 0;
  }
  // Takes the rest of the line (after blanks, trailing blanks kept) into out
  // when given, then moves to the first non-blank byte of the next line.
  void TXT_str_scan_eoln(std::string* out) {
    skip_blanks();
    char* start = mem_cur;
    while (mem_cur < mem_end && !is_eol(*mem_cur)) ++mem_cur;
    if (out) out->assign(start, mem_cur);
    while (mem_cur < mem_end && (is_eol(*mem_cur) || is_blank(*mem_cur))) ++mem_cur;
  }
  // Takes one word (after blanks, up to a blank or line end) into out when given.
  void TXT_str_scan_space(std::string* out) {
    skip_blanks();
    char* start = mem_cur;
    while (mem_cur < mem_end && !is_blank(*mem_cur) && !is_eol(*mem_cur)) ++mem_cur;
    if (out) out->assign(start, mem_cur);
  }
  // Reads a signed decimal integer (the bytes are not checked to be digits).
  int TXT_int_scan() {
    int sign = 1;
    skip_blanks();
    if (mem_cur < mem_end && *mem_cur == '-') {
      sign = -1;
      ++mem_cur;
    }
    if (mem_cur < mem_end && *mem_cur == '+') {
      sign = 1;
      ++mem_cur;
    }
    if (mem_cur >= mem_end || is_blank(*mem_cur)) return 0;
    unsigned value = 0;
    while (mem_cur < mem_end && !is_blank(*mem_cur) && !is_eol(*mem_cur)) {
      value = value * 10u + static_cast<unsigned>(*mem_cur - '0');
      ++mem_cur;
    }
    return static_cast<int>(static_cast<unsigned>(sign) * value);
  }
  // Logs the current line's number and text.
  void TXT_xer_line();
  // Copies len bytes from the cursor and advances it, byte-swapping whole
  // 32-bit words when is_rev. Reading past the window ends the program.
  void read_n_rev(void* dst, long len);
  // Mode 1: ouf_open(path, kind, versions[0]); mode 0: retry and check_file.
  // 1 on success, 0 on failure or another mode.
  int io_file_open(int mode, const std::string& path, const int* versions, int kind);
  // Closes ouf after io_file_open in mode 1.
  void io_file_close();
  // Rounds the offsets of every later window down to a multiple of g (0: none).
  static void set_granularity(int g);

  int is_rev = 0;         // binary numbers stored big-endian ('a' header)
  std::string path;       // as given to the last retry
  int io_mode = 0;        // mode of io_file_open
  char* mem_beg = nullptr;
  char* mem_cur = nullptr;
  char* mem_end = nullptr;
  int fd = -1;
  int not_owned = 0;      // the bytes belong to someone else: never unmapped
};

// Opens the shared stream ouf on path (relative to the root folder) and
// writes the data-file header (kind xmap_binary or xmap_text) with version and
// notice ("no-copyright-string" for none). Creates a missing parent folder.
// Returns 1 ready for the body, 0 after a warning alert when it cannot.
int ouf_open(const std::string& path, int kind, int version, const std::string& notice);
