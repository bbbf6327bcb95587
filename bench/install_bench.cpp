// The install pass over a generated disc set of one zip per file, against a
// shell loop of unzip over the same archives:
//   for f in *.zip; do unzip -q -o "$f" -d DEST; done
// Prints both times and peer/ours (above 1: the pass is faster).
#include <stdio.h>
#include <stdlib.h>
#include <chrono>
#include <random>
#include <string>
#include <vector>
#include "bench_support.h"
#include "core/globs.h"
#include "engine/utils_dirs.h"
#include "engine/utils_install.h"
#include "engine/utils_table.h"
#include "files/file_compress.h"

static std::string g_root;

static bool sh(const std::string& cmd) { return system(cmd.c_str()) == 0; }

static double seconds_of(bool (*fn)()) {
  double best = 1e9;
  for (int round = 0; round < 3; ++round) {
    if (!sh("rm -rf '" + g_root + "Sim' '" + g_root + "peer' && mkdir -p '" + g_root + "peer'")) exit(1);
    const auto t0 = std::chrono::steady_clock::now();
    if (!fn()) exit(1);
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
  }
  return best;
}

static bool run_peer() {
  return sh("cd '" + g_root + "disc/Set/All' && for f in *.zip; do unzip -q -o \"$f\" -d '" + g_root +
            "peer' || exit 1; done");
}

static bool run_pass() {
  for (file_history_struct& h : sim_info) h.versions.back().up_to_date = 0;
  if (make_dirs()) return false;
  int cursor = 0;
  for (;;) {
    const int r = install_files(cursor, 0);
    if (r == 1) break;
    if (r == 3) {
      std::string msg;
      install_files_get_error(msg);
      fprintf(stderr, "%s\n", msg.c_str());
      return false;
    }
  }
  for (const file_history_struct& h : sim_info)
    if (!h.versions.back().up_to_date) return false;
  return true;
}

int main(int argc, char** argv) {
  const int files = argc > 1 ? atoi(argv[1]) : 400;
  const int file_kb = argc > 2 ? atoi(argv[2]) : 250;
  g_root = bench_scratch_dir("duv-install-bench");
  if (g_root.empty()) return 1;
  dest_dir_path = g_root + "Sim/";
  temp_path = g_root + "tmp/";
  dvd_path = g_root + "disc/";
  install_name = "Set";
  const std::string src = g_root + "master/All/";
  if (!sh("mkdir -p '" + src + "' '" + temp_path + "' '" + dvd_path + "Set/All'")) return 1;

  // Text-like contents that deflate about as well as an installation's files.
  std::mt19937 rng(11);
  const char* words[] = {"runway ", "heading ", "0.25 ", "altitude\n", "vertex ", "-122.4 ", "47.5 ", "tile "};
  for (int i = 0; i < files; ++i) {
    std::string body;
    while ((int)body.size() < file_kb * 1000) body += words[rng() % 8];
    const std::string name = "f" + std::to_string(i) + ".txt";
    FILE* f = fopen((src + name).c_str(), "wb");
    if (!f || fwrite(body.data(), 1, body.size(), f) != body.size() || fclose(f)) return 1;
    file_history_struct h;
    file_version_struct v;
    v.path = "All/" + name;
    // The pass checks what it unpacks, so the digests must be the real ones.
    if (calc_file_md5(src + name, v.sig_want)) return 1;
    v.do_install = 1;
    h.versions.push_back(v);
    sim_info.push_back(h);
  }
  if (!sh("cd '" + src + "' && for f in *.txt; do zip -q -X \"" + dvd_path + "Set/All/$f.zip\" \"$f\" || exit 1; done"))
    return 1;
  sh("cat '" + dvd_path + "'Set/All/*.zip > /dev/null");  // into the page cache

  const double peer = seconds_of(run_peer);
  const double ours = seconds_of(run_pass);
  printf("install pass: %d archives of %d KB\n", files, file_kb);
  printf("  unzip loop: %.3f s\n  install_files: %.3f s\n  ratio peer/ours: %.2f\n", peer, ours, peer / ours);
  return sh("rm -rf '" + g_root + "'") ? 0 : 1;
}
