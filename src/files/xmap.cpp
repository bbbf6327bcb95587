#include "files/xmap.h"
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include "core/globs.h"
#include "core/utl_resource.h"
#include "files/file_ops.h"
#include "files/file_paths.h"
#include "core/hl_alert.h"

namespace {

int granularity = 0;

// The window of an empty file: opened, but holding no byte.
char k_empty_window[1];

size_t page_size() {
  static const size_t size = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  return size;
}

const char k_xmap_unit[] = "RUvozuz/OOPS_cpp/xmap";
const char k_ops_unit[] = "RUvozuz/Files/FILE_ops";

}  // namespace

void xmap_class::set_granularity(int g) { granularity = g; }

xmap_class::xmap_class(const std::string& p, int offset, int length) {
  if (!p.empty()) mem_beg = retry(p, offset, length);
}

xmap_class::~xmap_class() { close(); }

void xmap_class::close() {
  if (!not_owned && mem_beg && mem_beg != k_empty_window) {
    if (fd >= 0) {
      // The mapping itself starts at the page that holds mem_beg.
      char* base = mem_beg - reinterpret_cast<uintptr_t>(mem_beg) % page_size();
      munmap(base, static_cast<size_t>(mem_end - base));
    }
    else
      free(mem_beg);
  }
  if (fd >= 0) ::close(fd);
  mem_beg = mem_cur = mem_end = nullptr;
  fd = -1;
  not_owned = 0;
}

char* xmap_class::retry(const std::string& p, int offset, int length) {
  const int g = granularity ? offset % granularity : 0;
  const long long start = static_cast<long long>(offset) - g;
  path = p;
  std::string name = p;
  const int is_resource = UTL_path_is_resource(name);
  if (!is_resource && !is_path_full(name)) {
    if (!app_path.empty() && name.find(app_path) != std::string::npos)
      __MACIBM_alert(0, "retry: We are getting a file string that is not Vodovaz relative!",
                     "This is illegal! All paths must be Vodovaz relative!", "The path in question is:", name,
                     t_crash, k_xmap_unit, __LINE__);
    for (char c : name)
      if (c == '\\' || c == ':')
        __MACIBM_alert(0, "OOPS!", "I got a bad dirchar! I only want '/'!", "The path in question is:", name,
                       t_crash, k_xmap_unit, __LINE__);
  }
  close();
  std::string resolved = name;
  if (is_resource)
    resolved = UTL_resource_get_file(name);
  else
    set_path_to_full(resolved);
  if (resolved.empty()) return nullptr;

  fd = open(resolved.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return nullptr;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    // A folder or a device is no data file: as good as missing.
    close();
    return nullptr;
  }
  // Never map past the file's end: touching such a page kills the process.
  const long long left = static_cast<long long>(st.st_size) - start;
  long long len = length ? std::min<long long>(static_cast<long long>(length) + g, left) : left;
  char* base;
  if (len <= 0) {
    xer_group() << "Warning: remaining file space is " << len << " and offset is " << start << " for file "
                << resolved << "\n";
    base = k_empty_window;
    mem_end = base;
  } else {
    // The system maps whole pages: map from the page that holds the start.
    const long long lead = start % static_cast<long long>(page_size());
    void* m = mmap(nullptr, static_cast<size_t>(len + lead), PROT_READ, MAP_PRIVATE, fd,
                   static_cast<off_t>(start - lead));
    if (m == nullptr) __MACIBM_alert(0, "Xmapped file ran out of memory", "", "", "", t_crash, k_xmap_unit, __LINE__);
    if (m == MAP_FAILED) {
      const int err = errno;
      xer_group() << "Mem file error.  Err=" << err << ", file=" << resolved << "\n";
      if (err == ENOMEM) {
        char num[64];
        snprintf(num, sizeof num, "errno=%f", static_cast<double>(err));
        __MACIBM_alert(0, "Xmapped out of memory", "c_path=", resolved, num, t_crash, k_xmap_unit, __LINE__);
      }
      ::close(fd);
      fd = -1;
      return nullptr;
    }
    base = static_cast<char*>(m) + lead;
    mem_end = base + len;
  }
  mem_beg = base;
  mem_cur = std::min(base + g, mem_end);
  return base;
}

int xmap_class::check_file(int kind, const int* versions, const char* type_word, std::string* rest) {
  if (kind != xmap_binary && kind != xmap_text)
    __MACIBM_alert(0, "Bad check_file type!", path, "", "", t_crash, k_xmap_unit, __LINE__);
  if (!mem_beg || mem_end == mem_beg) return 0;
  mem_cur = mem_beg;
  int version = 0;
  if (kind == xmap_binary) {
    const char letter = *mem_cur++;
    if (letter != 'a' && letter != 'i') return 0;
    is_rev = letter == 'a';
    if (mem_end - mem_cur >= 4) {
      unsigned char b[4];
      memcpy(b, mem_cur, 4);
      mem_cur += 4;
      uint32_t v = is_rev ? (uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3])
                          : (uint32_t(b[3]) << 24 | uint32_t(b[2]) << 16 | uint32_t(b[1]) << 8 | b[0]);
      version = static_cast<int>(v);
    } else {
      mem_cur = mem_end;
    }
  } else {
    if (mem_end - mem_beg >= 4 && static_cast<unsigned char>(mem_beg[0]) == 0xEF &&
        static_cast<unsigned char>(mem_beg[1]) == 0xBB && static_cast<unsigned char>(mem_beg[2]) == 0xBF)
      mem_cur += 3;
    const char letter = mem_cur < mem_end ? *mem_cur++ : 0;
    TXT_str_scan_eoln(nullptr);
    if (letter != 'A' && letter != 'I') return 0;
    version = TXT_int_scan();
    TXT_str_scan_eoln(rest);
  }
  bool listed = false;
  for (const int* v = versions; v && *v; ++v)
    if (*v == version) listed = true;
  if (!listed || version == 0) return 0;
  if (!type_word) return version;
  skip_blanks();
  char* mark = mem_cur;
  if (!TXT_str_scan_match(type_word, 1, 0)) {
    mem_cur = mark;
    return 0;
  }
  TXT_str_scan_eoln(nullptr);
  return version;
}

void xmap_class::TXT_xer_line() {
  if (!mem_beg) return;
  long cr = 0, lf = 0;
  char* line_start = mem_beg;
  for (char* p = mem_beg; p < mem_cur; ++p) {
    if (*p == '\r') ++cr;
    if (*p == '\n') ++lf;
    if (*p == '\r' || *p == '\n') line_start = p + 1;
  }
  char* line_end = mem_cur;
  while (line_end < mem_end && *line_end != '\r' && *line_end != '\n') ++line_end;
  xer_group() << 1 + std::max(cr, lf) << " \"" << std::string(line_start, line_end) << "\"\n";
}

void xmap_class::read_n_rev(void* dst, long len) {
  if (len < 0 || !mem_cur || len > mem_end - mem_cur) {
    __MACIBM_alert(0, "Invalid read_n_rev read!", "", "", "", t_crash, k_xmap_unit, __LINE__);
    return;
  }
  memcpy(dst, mem_cur, static_cast<size_t>(len));
  mem_cur += len;
  if (is_rev) {
    unsigned char* b = static_cast<unsigned char*>(dst);
    for (long i = 0; i + 4 <= len; i += 4) {
      std::swap(b[i], b[i + 3]);
      std::swap(b[i + 1], b[i + 2]);
    }
  }
}

int xmap_class::io_file_open(int mode, const std::string& p, const int* versions, int kind) {
  io_mode = mode;
  if (mode == 1) return ouf_open(p, kind, versions ? versions[0] : 0, "no-copyright-string");
  if (mode == 0) return retry(p, 0, 0) && check_file(kind, versions, nullptr, nullptr) ? 1 : 0;
  return 0;
}

void xmap_class::io_file_close() {
  if (io_mode == 1) ouf.close();
}

int ouf_open(const std::string& p, int kind, int version, const std::string& notice) {
  if (kind != xmap_binary && kind != xmap_text)
    __MACIBM_alert(0, "Bad ouf_open type!", p, "", "", t_crash, k_ops_unit, __LINE__);
  std::string full = p;
  set_path_to_full(full);
  if (full.size() > 3)
    for (size_t i = full.size() - 3; i < full.size(); ++i) full[i] = tolower(static_cast<unsigned char>(full[i]));
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (ouf.is_open()) ouf.close();
    ouf.clear();
    ouf.open(full, std::ios::out | std::ios::binary | std::ios::trunc);
    if (kind == xmap_binary) {
      const uint32_t v = static_cast<uint32_t>(version);
      const char header[5] = {'i', char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char(v >> 24)};
      ouf.write(header, sizeof header);
    } else {
      ouf.setf(std::ios::fixed, std::ios::floatfield);
      ouf << "I\n" << version << " version" << (notice == "no-copyright-string" ? std::string() : notice) << "\n";
    }
    if (ouf.is_open() && !ouf.fail()) return 1;
    if (attempt == 0) {
      std::string parent = p;
      if (parent.size() > 1 && parent.back() == '/') parent.pop_back();
      parent.erase(parent.find_last_of('/') + 1);
      make_folder(parent);
    }
  }
  __MACIBM_alert(0,
                 "I could not save the file! Could the directory that the file sits in be missing? Or flagged as "
                 "READ-ONLY by the operating system? (Windows machines typically do this).",
                 full, "Could the file be flagged as read-only? This happens in Windows if you copy it from a CD!",
                 "Try putting this app in the background and then flag the file as NOT read-only, or creating the "
                 "folder listed in the path above.",
                 t_warning, k_ops_unit, __LINE__);
  return 0;
}
