// The checksum pass over a generated installation of about 2,000 files and
// 1 GB (read from the page cache), against md5sum run eight at a time:
//   find DIR -type f -print0 | xargs -0 -P8 -n 16 md5sum
// (-n spreads the files over the eight processes; without it xargs hands
// them all to one md5sum)
// Prints both times and peer/ours (above 1: the pass is faster).
#include <stdio.h>
#include <stdlib.h>
#include <chrono>
#include <random>
#include <string>
#include <vector>
#include "bench_support.h"
#include "core/globs.h"
#include "engine/utils_checksum.h"
#include "engine/utils_table.h"

static double seconds_of(void (*fn)(const std::string&), const std::string& dir) {
  double best = 1e9;
  for (int round = 0; round < 3; ++round) {
    const auto t0 = std::chrono::steady_clock::now();
    fn(dir);
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
  }
  return best;
}

static void run_peer(const std::string& dir) {
  const std::string cmd = "find '" + dir + "' -type f -print0 | xargs -0 -P8 -n 16 md5sum > /dev/null";
  if (system(cmd.c_str()) != 0) fprintf(stderr, "md5sum failed\n");
}

static void run_pass(const std::string&) {
  for (file_history_struct& h : sim_info) h.versions.back().sig_have.clear();
  int cursor = 0;
  float progress = 0;
  while (!checksum_directory(cursor, 0, progress)) {
  }
}

int main(int argc, char** argv) {
  const int files = argc > 1 ? atoi(argv[1]) : 2000;
  const long total_bytes = argc > 2 ? atol(argv[2]) : 1000L * 1000 * 1000;
  const std::string root = bench_scratch_dir("duv-checksum-bench");
  if (root.empty()) return 1;
  dest_dir_path = root;

  // Sizes spread from small to twice the mean, as an installation's are.
  std::mt19937 rng(7);
  std::vector<char> block(2 * total_bytes / files + 1);
  for (char& c : block) c = (char)rng();
  for (int i = 0; i < files; ++i) {
    const std::string folder = "d" + std::to_string(i % 40) + "/";
    const std::string name = folder + "f" + std::to_string(i) + ".dat";
    if (i < 40 && system(("mkdir -p '" + root + folder + "'").c_str()) != 0) return 1;
    const size_t size = (size_t)(rng() % (2 * total_bytes / files));
    FILE* f = fopen((root + name).c_str(), "wb");
    if (!f || fwrite(block.data() + (i % 97), 1, size, f) != size || fclose(f)) return 1;
    file_history_struct h;
    file_version_struct v;
    v.path = "All/" + name;
    v.sig_want = "0123456789abcdef0123456789abcdef";
    h.versions.push_back(v);
    sim_info.push_back(h);
  }
  run_peer(root);  // into the page cache
  const double peer = seconds_of(run_peer, root);
  const double ours = seconds_of(run_pass, root);
  int digested = 0;
  for (const file_history_struct& h : sim_info) digested += h.versions.back().sig_have.size() == 32;
  printf("checksum pass: %d files (%d digested), %.0f MB\n", files, digested, total_bytes / 1e6);
  printf("  xargs -P8 -n 16 md5sum: %.3f s\n  checksum_directory: %.3f s\n  ratio peer/ours: %.2f\n", peer, ours,
         peer / ours);
  if (system(("rm -rf '" + root + "'").c_str()) != 0) return 1;
  return 0;
}
