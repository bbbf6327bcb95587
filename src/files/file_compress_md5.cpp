// MD5 digests of installed files.
#include <sys/stat.h>
#include "files/file_compress.h"
#include "files/file_errors.h"
#include "files/md5.h"
#include "files/file_ops.h"
#include "files/file_paths.h"
#include "files/xmap.h"

// Largest piece handed to the digest at once (its length is 32-bit).
static const size_t kDigestChunk = 1u << 30;

int calc_file_md5(const std::string& path, std::string& digest) {
  std::string link_text;
  if (is_sim_link(path, &link_text)) {
    digest = MD5_hex_of(link_text);
    return 0;
  }
  MD5Context ctx;
  MD5Init(&ctx);
  xmap_class map(path, 0, 0);
  if (!map.mem_beg) {
    // An empty file maps to nothing, yet has a digest.
    std::string full = path;
    set_path_to_full(full);
    struct stat st;
    if (stat(full.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size != 0) return err_file_open_read;
  } else {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(map.mem_beg);
    for (size_t left = map.mem_end - map.mem_beg; left > 0;) {
      const size_t part = left > kDigestChunk ? kDigestChunk : left;
      MD5UpdateWide(&ctx, p, (unsigned)part);
      p += part;
      left -= part;
    }
  }
  MD5Final(&ctx);
  digest = MD5_hex(ctx);
  return 0;
}
