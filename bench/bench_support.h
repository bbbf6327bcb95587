// Helpers of the benchmark programs: a data folder beside the program,
// deterministic test data, and timing of our code against a peer tool.
#pragma once
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <functional>
#include <string>

// The folder beside this program that keeps its data between runs, ending in '/'.
inline std::string bench_data_dir() {
  char exe[4096];
  ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  std::string dir = n > 0 ? std::string(exe, n) : std::string("./x");
  dir = dir.substr(0, dir.rfind('/') + 1) + "bench-data/";
  mkdir(dir.c_str(), 0755);
  return dir;
}

// A new scratch folder under TMPDIR (or /tmp), ending in '/'; "" on failure.
inline std::string bench_scratch_dir(const std::string& stem) {
  const char* t = getenv("TMPDIR");
  std::string dir = std::string(t && *t ? t : "/tmp") + "/" + stem + "-XXXXXX";
  if (!mkdtemp(dir.data())) return std::string();
  return dir + "/";
}

inline bool bench_exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

// Runs a shell command; exits the benchmark when it fails.
inline void bench_run(const std::string& cmd) {
  if (system(cmd.c_str()) != 0) {
    fprintf(stderr, "failed: %s\n", cmd.c_str());
    exit(1);
  }
}

inline double bench_now() {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec + ts.tv_nsec * 1e-9;
}

// The best of runs timings of work, each after prepare (not timed).
inline double bench_best(int runs, const std::function<void()>& prepare, const std::function<void()>& work) {
  double best = 1e30;
  for (int i = 0; i < runs; i++) {
    prepare();
    const double t0 = bench_now();
    work();
    const double t = bench_now() - t0;
    if (t < best) best = t;
  }
  return best;
}

// Writes size bytes of one of three kinds of data, the same on every machine:
// 0 text lines from a small vocabulary, 1 smooth 16-bit samples with noise
// (like elevation or image data), 2 random bytes.
inline void bench_make_file(const std::string& path, size_t size, int kind, uint64_t seed) {
  static const char* words[] = {"runway", "taxiway", "apron", "beacon", "vortac", "localizer", "glideslope",
                                "heading", "altitude", "airspeed", "flaps", "gear", "scenery", "object", "facade",
                                "terrain", "mesh", "texture", "-0.25", "17.5", "1024", "33", "N47", "W122"};
  std::string data;
  data.reserve(size + 64);
  uint64_t x = seed * 0x9E3779B97F4A7C15ull + 1;
  auto next = [&x] {
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    return x;
  };
  double level = 1000;
  while (data.size() < size) {
    if (kind == 0) {
      int n = 3 + next() % 8;
      for (int i = 0; i < n; i++) {
        data += words[next() % (sizeof words / sizeof *words)];
        data += i + 1 < n ? ' ' : '\n';
      }
    } else if (kind == 1) {
      level += (double)(next() % 41) - 20;
      uint16_t v = (uint16_t)level + (uint16_t)(next() % 4);
      data.append(reinterpret_cast<const char*>(&v), 2);
    } else {
      uint64_t v = next();
      data.append(reinterpret_cast<const char*>(&v), 8);
    }
  }
  data.resize(size);
  FILE* f = fopen(path.c_str(), "wb");
  if (!f || fwrite(data.data(), 1, data.size(), f) != data.size() || fclose(f) != 0) {
    fprintf(stderr, "cannot write %s\n", path.c_str());
    exit(1);
  }
}
