// Unpacking a ~200 MB zip and a ~200 MB 7z archive, against unzip and 7-Zip
// on the same archives. Prints each time and the ratio peer / ours: 1.0 or
// more for zip means at least as fast as unzip; 7z aims at 0.9 of one-threaded
// 7-Zip, since the install pass unpacks one archive per thread.
#include <stdio.h>
#include "bench_support.h"
#include "files/file_compress.h"

int main() {
  const std::string data = bench_data_dir();
  const std::string src = data + "unpack_src/";
  const std::string zip = data + "unpack.zip", sevenz = data + "unpack.7z";
  if (!bench_exists(zip) || !bench_exists(sevenz)) {
    printf("making the test archives once (this takes a minute)...\n");
    fflush(stdout);
    bench_run("rm -rf '" + src + "' && mkdir -p '" + src + "'");
    // 120 MB of text, 60 MB of sample data, 20 MB that does not compress.
    for (int i = 0; i < 24; i++) bench_make_file(src + "text" + std::to_string(i) + ".txt", 5 << 20, 0, i);
    for (int i = 0; i < 12; i++) bench_make_file(src + "samples" + std::to_string(i) + ".raw", 5 << 20, 1, 100 + i);
    for (int i = 0; i < 2; i++) bench_make_file(src + "random" + std::to_string(i) + ".bin", 10 << 20, 2, 200 + i);
    bench_run("cd '" + src + "' && zip -q -r '" + zip + ".tmp' . && mv '" + zip + ".tmp' '" + zip + "'");
    bench_run("cd '" + src + "' && 7zz a -bd -mx=5 '" + sevenz + ".tmp.7z' . > /dev/null && mv '" + sevenz + ".tmp.7z' '" +
              sevenz + "'");
  }
  const std::string out = data + "unpack_out/";
  auto fresh = [&] { bench_run("rm -rf '" + out + "' && mkdir -p '" + out + "' && sync"); };
  const int runs = 3;

  int err = 0;
  const double ours_zip = bench_best(runs, fresh, [&] { err |= zip_to_file(zip, out, nullptr, 0); });
  const double unzip = bench_best(runs, fresh, [&] { bench_run("unzip -q -o '" + zip + "' -d '" + out + "'"); });
  const double ours_7z = bench_best(runs, fresh, [&] { err |= p7z_to_file(sevenz, out, nullptr, 0); });
  const double sevenzip =
      bench_best(runs, fresh, [&] { bench_run("7zz x -bd -y -mmt=1 -o'" + out + "' '" + sevenz + "' > /dev/null"); });
  bench_run("rm -rf '" + out + "'");
  if (err) {
    fprintf(stderr, "an extraction failed (%d)\n", err);
    return 1;
  }
  printf("zip_to_file %.3f s, unzip -q %.3f s: ratio %.2f (target >= 1.0)\n", ours_zip, unzip, unzip / ours_zip);
  printf("p7z_to_file %.3f s, 7zz x -mmt=1 %.3f s: ratio %.2f (target >= 0.9)\n", ours_7z, sevenzip,
         sevenzip / ours_7z);
  return 0;
}
