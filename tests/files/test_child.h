// Runs a piece of a test in a forked child, for cases that need another user
// or a mount namespace of their own. The child's result comes back as its
// exit status.
#pragma once
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>
#include <gtest/gtest.h>
#include <cstdio>
#include <functional>
#include <string>

// Result of a child that could not set itself up as asked.
inline constexpr int k_child_unsupported = 254;

// Runs fn in a child process and returns its result (0 to 255), or -1 when the
// child died.
inline int test_in_child(const std::function<int()>& fn) {
  pid_t pid = fork();
  if (pid < 0) return -1;
  if (pid == 0) _exit(fn() & 0xFF);
  int st = 0;
  if (waitpid(pid, &st, 0) != pid || !WIFEXITED(st)) return -1;
  return WEXITSTATUS(st);
}

// As test_in_child, running as the unprivileged user 65534; k_child_unsupported
// when privileges cannot be dropped.
inline int test_as_nobody(const std::function<int()>& fn) {
  return test_in_child([&] {
    if (setgid(65534) != 0 || setuid(65534) != 0) return k_child_unsupported;
    return fn();
  });
}

// As test_in_child, with a fresh tmpfs on folder in a private mount namespace.
// setup fills it; with read_only the mount is then made read-only; size_kb
// bounds it. k_child_unsupported when mounts cannot be made here.
inline int test_with_tmpfs(const std::string& folder, bool read_only, int size_kb,
                           const std::function<void()>& setup, const std::function<int()>& fn) {
  return test_in_child([&] {
    if (unshare(CLONE_NEWNS) != 0) return k_child_unsupported;
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return k_child_unsupported;
    const std::string opts = "size=" + std::to_string(size_kb) + "k";
    if (mount("tmpfs", folder.c_str(), "tmpfs", 0, opts.c_str()) != 0) return k_child_unsupported;
    if (setup) setup();
    if (read_only && mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0)
      return k_child_unsupported;
    return fn();
  });
}

// As test_in_child, in a private mount namespace with "/" private, so the
// mounts body makes are seen by no other process; a refused namespace fails.
// Test failures inside are printed by the child and come back as 1.
inline int test_in_private_mounts(const std::function<void()>& body) {
  return test_in_child([&] {
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
      perror("private mount namespace");
      return 2;
    }
    body();
    fflush(stdout);
    fflush(stderr);
    return testing::Test::HasFailure() ? 1 : 0;
  });
}
