// Unpacking 7z archives.
#include <archive.h>
#include <archive_entry.h>
#include <errno.h>
#include <fcntl.h>
#include <locale.h>
#include <string.h>
#include <unistd.h>
#include "core/globs.h"
#include "files/file_compress.h"
#include "files/file_compress_int.h"
#include "files/file_errors.h"
#include "files/file_paths.h"

// Bytes read from the archive at a time.
static const size_t kReadBlock = 1 << 20;

// 7z stores names in UTF-16 and the decoder converts them to the thread's
// locale: in the "C" locale a non-ASCII name comes back null. This thread, and
// only this one, reads names in UTF-8 while the scope lasts.
class utf8_names_scope {
 public:
  utf8_names_scope() {
    static const locale_t utf8 = make_utf8();
    if (utf8) previous = uselocale(utf8);
  }
  ~utf8_names_scope() {
    if (previous) uselocale(previous);
  }
  utf8_names_scope(const utf8_names_scope&) = delete;
  utf8_names_scope& operator=(const utf8_names_scope&) = delete;

 private:
  static locale_t make_utf8() {
    locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", (locale_t)0);
    return l ? l : newlocale(LC_CTYPE_MASK, "en_US.UTF-8", (locale_t)0);
  }
  locale_t previous = nullptr;
};

// The decoder's failure as one of our codes. It reports a CRC mismatch as a
// mere warning, after the bytes have been handed over.
static int decoder_failure(struct archive* a, int r) {
  if (r == ARCHIVE_WARN) return P7Z_ERR_CRC;
  if (archive_errno(a) == ENOMEM) return P7Z_ERR_MEM;
  return P7Z_ERR_DATA;
}

static int extract_file(struct archive* a, struct archive_entry* e, const std::string& dest,
                        const std::string* want_md5) {
  arc_out_file out;
  int err = out.open(dest);
  if (err) return err;
  out.expect_md5(want_md5);
  // A stored link comes out as a file holding the link's text.
  if (archive_entry_filetype(e) == AE_IFLNK) {
    const char* text = archive_entry_symlink_utf8(e);
    if (text && out.write(text, strlen(text))) return err_zip_write;
  }
  for (;;) {
    const void* bytes;
    size_t size;
    la_int64_t offset;
    int r = archive_read_data_block(a, &bytes, &size, &offset);
    if (r == ARCHIVE_EOF) break;
    if (r != ARCHIVE_OK && r != ARCHIVE_WARN) return decoder_failure(a, r);
    if (size > 0) {
      if ((uint64_t)offset != out.size()) return P7Z_ERR_ARCHIVE;
      if (out.write(bytes, size)) return err_zip_write;
    }
    if (r == ARCHIVE_WARN) return decoder_failure(a, r);
  }
  return out.commit(-1, nullptr);
}

int p7z_to_file(const std::string& archive, const std::string& folder_in, std::string* name, int rename,
                const std::string& root_in, const std::string* want_md5) {
  std::string path = archive, folder = folder_in;
  set_path_to_full(path);
  set_path_to_full(folder);
  const std::string rename_to = rename && name ? *name : std::string();
  // Opened here, so that a missing archive reports the system's reason.
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;

  utf8_names_scope names;
  struct archive* a = archive_read_new();
  archive_read_support_format_7zip(a);
  // The reader seeks: a 7z archive keeps its directory at the end.
  int err = archive_read_open_fd(a, fd, kReadBlock) == ARCHIVE_OK ? 0 : (int)err_zip_open;
  bool first = true;
  while (!err) {
    struct archive_entry* e;
    int r = archive_read_next_header(a, &e);
    if (r == ARCHIVE_EOF) break;
    // The first header read takes in the archive's whole directory.
    if (r != ARCHIVE_OK && r != ARCHIVE_WARN) {
      err = first ? (int)err_zip_open : archive_errno(a) == ENOMEM ? (int)P7Z_ERR_MEM : (int)P7Z_ERR_ARCHIVE;
      break;
    }
    first = false;
    if (archive_entry_filetype(e) == AE_IFDIR) continue;
    const char* stored = archive_entry_pathname_utf8(e);
    if (!stored) {
      err = P7Z_ERR_ARCHIVE;
      break;
    }
    const std::string entry = stored;
    const std::string dest = folder + (rename && name ? rename_to : entry);
    err = ARC_check_entry(root_in.empty() ? folder : root_in, entry, dest);
    if (err) {
      xer_group() << "Refused the entry " << entry << " of " << path << ": it would be written outside " << folder
                  << ".\n";
      break;
    }
    if (name) *name = dest;
    err = extract_file(a, e, dest, want_md5);
  }
  archive_read_free(a);
  close(fd);
  return err;
}
