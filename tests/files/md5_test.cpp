#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>
#include <string>
#include <vector>
#include "files/md5.h"
#include "support/test_env.h"

namespace {

std::string md5_of(const std::string& data) {
  MD5Context c;
  MD5Init(&c);
  MD5UpdateWide(&c, reinterpret_cast<const unsigned char*>(data.data()), static_cast<unsigned int>(data.size()));
  MD5Final(&c);
  return MD5_hex(c);
}

// Digests a whole file through a read-only mapping, in slices that fit the
// 32-bit length of MD5UpdateWide.
std::string md5_of_file(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) return "open failed";
  struct stat st;
  fstat(fd, &st);
  MD5Context c;
  MD5Init(&c);
  if (st.st_size > 0) {
    void* p = mmap(nullptr, st.st_size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (p == MAP_FAILED) {
      close(fd);
      return "mmap failed";
    }
    const unsigned char* b = static_cast<const unsigned char*>(p);
    off_t left = st.st_size;
    while (left > 0) {
      unsigned int slice = left > (1 << 30) ? (1u << 30) : static_cast<unsigned int>(left);
      MD5UpdateWide(&c, b, slice);
      b += slice;
      left -= slice;
    }
    munmap(p, st.st_size);
  }
  close(fd);
  MD5Final(&c);
  return MD5_hex(c);
}

std::string md5sum_of(const std::string& path) {
  return test_capture("md5sum '" + path + "'").substr(0, 32);
}

std::string pattern(size_t n) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 2654435761u) >> 13);
  return s;
}

}  // namespace

TEST(Md5, Rfc1321Suite) {
  struct row {
    const char* in;
    const char* md5;
  } rows[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const row& r : rows) EXPECT_EQ(md5_of(r.in), r.md5) << r.in;
}

TEST(Md5, AnySplitGivesTheSameDigest) {
  const std::string data = pattern(200000);
  const std::string whole = md5_of(data);
  const unsigned char* p = reinterpret_cast<const unsigned char*>(data.data());
  MD5Context c;
  MD5Init(&c);
  size_t at = 0;
  for (unsigned short n : {65535, 65535, 65535, 3395}) {
    MD5Update(&c, p + at, n);
    at += n;
  }
  MD5Final(&c);
  EXPECT_EQ(MD5_hex(c), whole);
  for (size_t step : {size_t(1), size_t(63), size_t(64), size_t(65), size_t(4097)}) {
    MD5Init(&c);
    for (size_t i = 0; i < data.size(); i += step) {
      size_t n = std::min(step, data.size() - i);
      MD5Update(&c, p + i, static_cast<unsigned short>(n));
    }
    MD5Final(&c);
    EXPECT_EQ(MD5_hex(c), whole) << step;
  }
}

TEST(Md5, FilesAgainstMd5sum) {
  std::string d = test_scratch_dir("md5");
  for (size_t n : {0, 1, 55, 56, 63, 64, 65, 1 << 20}) {
    std::string f = d + "f" + std::to_string(n);
    ASSERT_TRUE(test_write_file(f, pattern(n)));
    std::string want = md5sum_of(f);
    ASSERT_EQ(want.size(), 32u);
    EXPECT_EQ(md5_of_file(f), want) << n;
  }
}

TEST(Md5, SparseFileBeyondFourGigabytes) {
  std::string f = test_scratch_dir("md5big") + "sparse";
  int fd = open(f.c_str(), O_CREAT | O_RDWR | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  const off_t size = (off_t(1) << 32) + 4099;
  ASSERT_EQ(ftruncate(fd, size), 0);
  for (off_t at : {off_t(0), (off_t(1) << 32) - 3, size - 7}) ASSERT_EQ(pwrite(fd, "marks!", 6, at), 6);
  close(fd);
  std::string want = md5sum_of(f);
  EXPECT_EQ(md5_of_file(f), want);
  unlink(f.c_str());
}
