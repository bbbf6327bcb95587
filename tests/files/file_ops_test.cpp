#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <cerrno>
#include <string>
#include "files/file_errors.h"
#include "files/file_ops.h"
#include "files/test_child.h"
#include "support/test_env.h"

namespace {

std::string bytes(size_t n) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 131 + 7) & 0xFF);
  return s;
}

mode_t mode_of(const std::string& p) {
  struct stat st;
  return stat(p.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

}  // namespace

TEST(FileOps, QuestionsAboutPaths) {
  std::string d = test_scratch_dir("ask");
  ASSERT_TRUE(test_write_file(d + "file", "12345"));
  ASSERT_EQ(mkdir((d + "folder").c_str(), 0755), 0);
  ASSERT_EQ(symlink((d + "file").c_str(), (d + "to_file").c_str()), 0);
  ASSERT_EQ(symlink((d + "folder").c_str(), (d + "to_folder").c_str()), 0);
  ASSERT_EQ(symlink((d + "nowhere").c_str(), (d + "dangling").c_str()), 0);
  struct row {
    const char* name;
    int file, dir, size, link;
  } rows[] = {
      {"file", 1, 0, 5, 0},      {"folder", 0, 1, -1, 0},    {"folder/", 0, 1, -1, 0},
      {"missing", 0, 0, -1, 0},  {"to_file", 1, 0, 5, 1},    {"to_folder", 0, 1, -1, 1},
      {"dangling", 0, 0, -1, 1},
  };
  for (const row& r : rows) {
    std::string p = d + r.name;
    EXPECT_EQ(file_exists(p), r.file) << r.name;
    EXPECT_EQ(dir_exists(p), r.dir) << r.name;
    EXPECT_EQ(APL_file_size(p), r.size) << r.name;
    std::string target = "untouched";
    EXPECT_EQ(is_sim_link(p, &target), r.link) << r.name;
    if (!r.link) {
      EXPECT_EQ(target, "untouched");
    }
  }
  std::string target;
  EXPECT_EQ(is_sim_link(d + "to_file", nullptr), 1);
  ASSERT_EQ(is_sim_link(d + "dangling", &target), 1);
  EXPECT_EQ(target, d + "nowhere");
}

TEST(FileOps, LongLinkTextsAreReadWhole) {
  std::string d = test_scratch_dir("longlink");
  std::string text(900, 'x');
  for (size_t i = 50; i < text.size(); i += 50) text[i] = '/';
  ASSERT_EQ(symlink(text.c_str(), (d + "l").c_str()), 0);
  std::string target;
  ASSERT_EQ(is_sim_link(d + "l", &target), 1);
  EXPECT_EQ(target, text);
}

TEST(FileOps, MakeFolderAndItsFilter) {
  std::string d = test_scratch_dir("mk");
  EXPECT_EQ(make_folder(d + "new/"), 0);
  EXPECT_EQ(dir_exists(d + "new"), 1);
  EXPECT_EQ(mode_of(d + "new"), 0755u);
  int again = make_folder(d + "new");
  EXPECT_EQ(again, EEXIST);
  EXPECT_EQ(show_make_dir_err(again), 0);
  int orphan = make_folder(d + "no/parent/");
  EXPECT_EQ(orphan, ENOENT);
  EXPECT_EQ(show_make_dir_err(orphan), 1);
  EXPECT_EQ(show_make_dir_err(0), 0);
  EXPECT_EQ(error_str(orphan), "No such file or directory");
}

TEST(FileOps, DeleteFile) {
  std::string d = test_scratch_dir("del");
  EXPECT_EQ(delete_file(""), ENOENT);
  ASSERT_EQ(mkdir((d + "full").c_str(), 0755), 0);
  ASSERT_TRUE(test_write_file(d + "full/x", "x"));
  int r = delete_file(d + "full/");
  EXPECT_EQ(r, ENOTEMPTY);
  EXPECT_EQ(error_str(r), "Directory not empty");
  EXPECT_EQ(show_del_err(r), 0);
  EXPECT_EQ(dir_exists(d + "full"), 1);
  ASSERT_EQ(symlink((d + "full/x").c_str(), (d + "link").c_str()), 0);
  EXPECT_EQ(delete_file(d + "link"), 0);
  EXPECT_EQ(file_exists(d + "full/x"), 1);
  EXPECT_EQ(delete_file(d + "full/x"), 0);
  EXPECT_EQ(delete_file(d + "full/"), 0);
  EXPECT_EQ(dir_exists(d + "full"), 0);
  EXPECT_EQ(delete_file(d + "gone"), ENOENT);
}

TEST(FileOps, RenameAndExecutable) {
  std::string d = test_scratch_dir("ren");
  ASSERT_TRUE(test_write_file(d + "a", "A"));
  EXPECT_EQ(rename_file(d, "a", "b"), 0);
  EXPECT_EQ(test_read_file(d + "b"), "A");
  EXPECT_EQ(rename_file(d, "a", "c"), ENOENT);
  ASSERT_EQ(chmod((d + "b").c_str(), 0600), 0);
  EXPECT_EQ(make_file_executable(d + "b"), 0);
  EXPECT_EQ(mode_of(d + "b"), 0755u);
  EXPECT_EQ(make_file_executable(d + "a"), ENOENT);
}

TEST(FileOps, CopyFileSizesAndModes) {
  std::string d = test_scratch_dir("copy");
  for (size_t n : {size_t(0), size_t(1), size_t(65535), size_t(65536), size_t(65537), size_t(131072)}) {
    std::string src = d + "src" + std::to_string(n), dst = d + "dst" + std::to_string(n);
    ASSERT_TRUE(test_write_file(src, bytes(n)));
    ASSERT_EQ(chmod(src.c_str(), 0751), 0);
    ASSERT_TRUE(test_write_file(dst, "old contents that are longer than some sources"));
    EXPECT_EQ(copy_file(src, dst), 0) << n;
    EXPECT_EQ(test_read_file(dst), bytes(n)) << n;
    EXPECT_EQ(mode_of(dst), 0751u) << n;
  }
  ASSERT_TRUE(test_write_file(d + "keep", "keep"));
  EXPECT_EQ(copy_file(d + "missing", d + "keep"), ENOENT);
  EXPECT_EQ(test_read_file(d + "keep"), "keep");
  EXPECT_EQ(copy_file(d + "keep", d + "no/such/folder/x"), ENOENT);
}

TEST(FileOps, CopyReplacesAReadOnlyDestination) {
  std::string d = test_scratch_dir("rodst");
  ASSERT_EQ(chmod(d.c_str(), 0777), 0);
  ASSERT_EQ(chmod(d.substr(0, d.rfind('/', d.size() - 2)).c_str(), 0755), 0);
  ASSERT_TRUE(test_write_file(d + "src", "new bytes"));
  ASSERT_TRUE(test_write_file(d + "dst", "old"));
  ASSERT_EQ(chmod((d + "src").c_str(), 0644), 0);
  ASSERT_EQ(chown((d + "dst").c_str(), 65534, 65534), 0);
  ASSERT_EQ(chmod((d + "dst").c_str(), 0444), 0);
  int r = test_as_nobody([&] { return copy_file(d + "src", d + "dst"); });
  if (r == k_child_unsupported) GTEST_SKIP() << "cannot run as another user here";
  EXPECT_EQ(r, 0);
  EXPECT_EQ(test_read_file(d + "dst"), "new bytes");
}

TEST(FileOps, CopyOntoAFullDiskFails) {
  std::string d = test_scratch_dir("full");
  std::string big = d + "big";
  ASSERT_TRUE(test_write_file(big, bytes(1 << 20)));
  ASSERT_EQ(mkdir((d + "small").c_str(), 0755), 0);
  int r = test_with_tmpfs(d + "small", false, 64, nullptr, [&] { return copy_file(big, d + "small/big"); });
  if (r == k_child_unsupported) GTEST_SKIP() << "cannot mount a small volume here";
  EXPECT_EQ(r, ENOSPC);
  EXPECT_EQ(error_str(r), "No space left on device. Perhaps your hard drive is full");
}

TEST(FileOps, ReadOnlyVolume) {
  std::string d = test_scratch_dir("rovol");
  ASSERT_TRUE(test_write_file(d + "src", "x"));
  ASSERT_EQ(mkdir((d + "ro").c_str(), 0755), 0);
  const std::string ro = d + "ro/";
  struct row {
    const char* what;
    std::function<int()> op;
    int code;
  } rows[] = {
      {"make_folder", [&] { return make_folder(ro + "new"); }, EROFS},
      {"delete_file", [&] { return delete_file(ro + "f"); }, EROFS},
      {"delete folder", [&] { return delete_file(ro + "sub/"); }, EROFS},
      {"recursive_delete_folder", [&] { return recursive_delete_folder(ro + "sub/"); }, EROFS},
      {"rename_file", [&] { return rename_file(ro, "f", "g"); }, EROFS},
      {"make_file_executable", [&] { return make_file_executable(ro + "f"); }, EROFS},
      {"copy_file", [&] { return copy_file(d + "src", ro + "c"); }, ENOENT},
  };
  auto setup = [&] {
    test_write_file(ro + "f", "f");
    mkdir((ro + "sub").c_str(), 0755);
    test_write_file(ro + "sub/x", "x");
  };
  for (const row& r : rows) {
    int got = test_with_tmpfs(d + "ro", true, 1024, setup, r.op);
    if (got == k_child_unsupported) GTEST_SKIP() << "cannot mount a read-only volume here";
    EXPECT_EQ(got, r.code) << r.what;
  }
  EXPECT_EQ(error_str(EROFS), "The destination file system is read-only");
}

TEST(FileOps, PermissionDenied) {
  std::string d = test_scratch_dir("perm");
  ASSERT_EQ(chmod(d.c_str(), 0755), 0);
  ASSERT_EQ(chmod(d.substr(0, d.rfind('/', d.size() - 2)).c_str(), 0755), 0);
  ASSERT_TRUE(test_write_file(d + "f", "f"));
  ASSERT_EQ(mkdir((d + "sub").c_str(), 0755), 0);
  ASSERT_TRUE(test_write_file(d + "sub/x", "x"));
  struct row {
    const char* what;
    std::function<int()> op;
    int code;
  } rows[] = {
      {"make_folder", [&] { return make_folder(d + "new/"); }, EACCES},
      {"delete_file", [&] { return delete_file(d + "f"); }, EACCES},
      {"recursive_delete_folder", [&] { return recursive_delete_folder(d + "sub/"); }, EACCES},
      {"make_file_executable", [&] { return make_file_executable(d + "f"); }, EPERM},
      {"copy_file", [&] { return copy_file(d + "f", d + "g"); }, ENOENT},
  };
  for (const row& r : rows) {
    int got = test_as_nobody(r.op);
    if (got == k_child_unsupported) GTEST_SKIP() << "cannot run as another user here";
    EXPECT_EQ(got, r.code) << r.what;
  }
  EXPECT_EQ(file_exists(d + "sub/x"), 1);
  EXPECT_EQ(error_str(EACCES), "Permission denied. Perhaps you do not have access to a directory or file system");
  EXPECT_EQ(error_str(EPERM), "Operation not permitted. Perhaps you do not have access to a directory or file system");
}

TEST(FileOps, CopyTreeLeavesOutDotEntries) {
  std::string d = test_scratch_dir("tree");
  std::string src = d + "src/";
  ASSERT_EQ(mkdir(src.c_str(), 0755), 0);
  ASSERT_EQ(mkdir((src + "inner").c_str(), 0755), 0);
  ASSERT_TRUE(test_write_file(src + ".hidden", "h"));
  ASSERT_TRUE(test_write_file(src + "plain", "p"));
  ASSERT_TRUE(test_write_file(src + "inner/deep.txt", "deep"));
  EXPECT_EQ(copy_file_recursive(d + "src", d + "dst"), 0);
  EXPECT_EQ(test_read_file(d + "dst/plain"), "p");
  EXPECT_EQ(test_read_file(d + "dst/inner/deep.txt"), "deep");
  EXPECT_EQ(file_exists(d + "dst/.hidden"), 0);
  // Into an existing folder, and a single file.
  EXPECT_EQ(copy_file_recursive(src, d + "dst/"), 0);
  EXPECT_EQ(copy_file_recursive(src + "plain", d + "one"), 0);
  EXPECT_EQ(test_read_file(d + "one"), "p");
  EXPECT_EQ(copy_file_recursive(d + "missing", d + "two"), ENOENT);
}

TEST(FileOps, RecursiveDeleteLeavesNothing) {
  std::string d = test_scratch_dir("rdel");
  std::string t = d + "tree/";
  std::string outside = d + "outside/";
  ASSERT_EQ(mkdir(outside.c_str(), 0755), 0);
  ASSERT_TRUE(test_write_file(outside + "keep", "k"));
  ASSERT_EQ(mkdir(t.c_str(), 0755), 0);
  ASSERT_EQ(mkdir((t + "notes.txt").c_str(), 0755), 0);
  ASSERT_EQ(mkdir((t + ".git").c_str(), 0755), 0);
  ASSERT_EQ(mkdir((t + "a").c_str(), 0755), 0);
  ASSERT_EQ(mkdir((t + "a/b").c_str(), 0755), 0);
  ASSERT_TRUE(test_write_file(t + ".hidden", "h"));
  ASSERT_TRUE(test_write_file(t + "notes.txt/inside", "i"));
  ASSERT_TRUE(test_write_file(t + ".git/config", "c"));
  ASSERT_TRUE(test_write_file(t + "a/b/.deep", "d"));
  ASSERT_EQ(symlink(outside.c_str(), (t + "link").c_str()), 0);
  EXPECT_EQ(recursive_delete_folder(t), 0);
  EXPECT_EQ(dir_exists(t), 0);
  EXPECT_EQ(test_read_file(outside + "keep"), "k");
  EXPECT_EQ(recursive_delete_folder(d + "never/"), ENOENT);
}

TEST(FileOps, FreeSpace) {
  std::string d = test_scratch_dir("space");
  unsigned long long total = 0, free_bytes = 0;
  EXPECT_EQ(get_free_space(d + "not_yet_there", &total, &free_bytes), 0);
  struct statvfs vs;
  ASSERT_EQ(statvfs(d.c_str(), &vs), 0);
  EXPECT_EQ(total, (unsigned long long)vs.f_blocks * vs.f_frsize);
  EXPECT_GT(free_bytes, 0u);
  EXPECT_LE(free_bytes, total);
  EXPECT_EQ(get_free_space(d + "not_yet_there", nullptr, nullptr), 0);
  total = 7;
  EXPECT_EQ(get_free_space(d + "missing/parent/x", &total, nullptr), ENOENT);
  EXPECT_EQ(total, 7u);
}

TEST(FileOps, LargeAddressAwareFlag) {
  std::string d = test_scratch_dir("pe");
  std::string pe(0x100, '\0');
  pe[0] = 'M';
  pe[1] = 'Z';
  pe[60] = 0x80;
  pe[0x80] = 'P';
  pe[0x81] = 'E';
  pe[0x80 + 22] = 0x0F;
  pe[0x80 + 23] = 0x01;
  ASSERT_TRUE(test_write_file(d + "good.exe", pe));
  EXPECT_EQ(make_file_large_address_aware(d + "good.exe"), 0);
  std::string after = test_read_file(d + "good.exe");
  ASSERT_EQ(after.size(), pe.size());
  EXPECT_EQ((unsigned char)after[0x80 + 22], 0x2F);
  EXPECT_EQ((unsigned char)after[0x80 + 23], 0x01);

  std::string bad_pe = pe;
  bad_pe[0x81] = 'X';
  ASSERT_TRUE(test_write_file(d + "bad_pe.exe", bad_pe));
  EXPECT_EQ(make_file_large_address_aware(d + "bad_pe.exe"), err_not_pe);
  ASSERT_TRUE(test_write_file(d + "text.txt", std::string(100, 'a')));
  EXPECT_EQ(make_file_large_address_aware(d + "text.txt"), err_not_mz);
  ASSERT_TRUE(test_write_file(d + "short", "MZ"));
  EXPECT_EQ(make_file_large_address_aware(d + "short"), EIO);
  EXPECT_EQ(make_file_large_address_aware(d + "missing"), ENOENT);
}
