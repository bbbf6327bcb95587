#include "engine/utils_counts.h"
#include <errno.h>
#include <atomic>

namespace {
std::atomic<int> g_installed{0}, g_failed{0}, g_kept{0}, g_deleted{0};
}

void pass_counts_reset() { g_installed = g_failed = g_kept = g_deleted = 0; }

pass_counts pass_counts_now() {
  pass_counts c;
  c.installed = g_installed;
  c.failed = g_failed;
  c.kept = g_kept;
  c.deleted = g_deleted;
  return c;
}

void pass_count_install(int code) { ++(code ? g_failed : g_installed); }

void pass_count_delete(int code) { ++(code && code != ENOENT ? g_failed : g_deleted); }

void pass_count_failed() { ++g_failed; }

void pass_count_kept() { ++g_kept; }
