#!/usr/bin/env bash
# Makes the sample disc set that the README's first command and the front
# end's tests install from:
#   make_disc_set_samples.sh TOOL INSTALLER_APP DISC_KB SANITIZE OUT
# TOOL is the disc-set maker, INSTALLER_APP the built installer bundle,
# DISC_KB the disc limit, SANITIZE the build's sanitizer ("", address or
# thread). OUT gets:
#   master/            the sample master copy (tools/make_sample_master.sh)
#   disk_0/ .. disk_5/ the DVD set as the build mode lays it out; disk_0 also
#                      holds a copy of the installer
#   disc1.iso, disc2.iso  the two discs, pressed from disk_0 and disk_1
#   installed.md5      md5sum -c list of what an install for platform 1 with
#                      every cell puts into an installation folder (run it
#                      there); each tile's line follows a "# cell LON LAT" line
# Everything is made in a new folder that replaces OUT only once complete.
set -euo pipefail
tool=$1 app=$2 disc_kb=$3 sanitize=$4 out=$5
here=$(cd "$(dirname "$0")" && pwd)
new="$out.new"
trap 'rm -rf "$new"' EXIT
rm -rf "$new"
mkdir -p "$new"

bash "$here/make_sample_master.sh" "$new/master"

san=()
case "$sanitize" in
  address) san=(ASAN_OPTIONS=detect_leaks=0:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1) ;;
  thread) san=(LP_NUM_THREADS=0 TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:report_thread_leaks=0) ;;
esac
env "${san[@]}" bash "$here/run_disc_set_maker.sh" "$tool" --type=1 --disc_kb="$disc_kb" \
  --src="$new/master/" --dst="$new/set/"
mv "$new"/set/disk_* "$new/"
rmdir "$new/set"
cp -a "$app" "$new/disk_0/"

# What an install for platform 1 with every cell puts in place: each file of
# the directory for every platform (0) or the Mac (1), by the master's bytes.
unzip -p "$new/disk_0/Duvizo 10/directory.txt.zip" directory.txt | python3 -c '
import os, subprocess, sys
master = sys.argv[1]
prefix, current = "", {}
for line in sys.stdin.read().splitlines():
    line = line.lstrip(" \t")
    if line.startswith("DIR "):
        prefix = line[4:]
    elif line.startswith("FILE "):
        f = line.split(" ", 7)
        current[prefix + f[7]] = (int(f[2]), f[6])
for path, (platform, md5) in current.items():
    if platform not in (0, 1) or md5 == "GONE":
        continue
    inside = path.split("/", 1)[1]
    name = os.path.basename(path)
    if "Global Scenery/" in path and name.lower().endswith(".dsf"):
        lat, lon = (int(name[0:3]) + 90) // 10, (int(name[3:7]) + 180) // 10
        print("# cell %d %d" % (lon, lat))
    digest = subprocess.run(["md5sum", os.path.join(master, path)], check=True, capture_output=True,
                            text=True).stdout.split()[0]
    print("%s  %s" % (digest, inside))
' "$new/master" > "$new/installed.md5"

# Pressed discs: Rock Ridge keeps links, long names and execute bits and
# makes everything read-only; -D keeps deep folders.
for d in 0 1; do
  genisoimage -quiet -r -D -V "DUVIZO_DISC_$((d + 1))" -o "$new/disc$((d + 1)).iso" "$new/disk_$d"
done

rm -rf "$out"
mv "$new" "$out"
