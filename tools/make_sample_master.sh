#!/usr/bin/env bash
# Writes a small master copy of the simulator that the build mode takes for
# both kinds of set:
#   make_sample_master.sh OUT
# OUT must not exist or be empty. Every byte comes from a fixed seed, so two
# runs give the same master. The files are sized so that a DVD set built
# with a 32 KB disc limit fills two discs, the second starting inside
# "All/Resources" and holding all the scenery.
set -euo pipefail
out=${1:?usage: make_sample_master.sh OUT}
if [ -e "$out" ] && [ -n "$(ls -A "$out")" ]; then
  echo "make_sample_master.sh: $out is not empty" >&2
  exit 1
fi
mkdir -p "$out"
cd "$out"

# put PATH SIZE: a file of SIZE pseudo-random bytes, seeded by its path.
# The files are written together by write_puts: one interpreter for all of
# them keeps the tests that make fresh masters quick.
puts=()
put() { puts+=("$1" "$2"); }
write_puts() {
  python3 -c 'import os, random, sys
args = sys.argv[1:]
for path, size in zip(args[0::2], args[1::2]):
    os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
    r = random.Random("duvizo:" + path)
    with open(path, "wb") as f:
        f.write(r.randbytes(int(size)))' "${puts[@]}"
  puts=()
}
# text PATH WORDS...: a small text file.
text() {
  mkdir -p "$(dirname "$1")"
  local p=$1
  shift
  printf '%s\n' "$*" > "$p"
}

# The platform folders: the simulator's three programs.
mkdir -p Linux Windows Macintosh/Duvizo.app/Contents/MacOS
put Linux/Duvizo-i686 700
# A PE header the build marks large-address-aware: "MZ", the offset 64 of the
# "PE" signature, then a COFF header for i386 with no sections.
python3 -c 'import struct, sys
dos = b"MZ" + bytes(58) + struct.pack("<I", 64)
coff = b"PE\0\0" + struct.pack("<HHIIIHH", 0x14C, 0, 0, 0, 0, 0, 0x0102)
sys.stdout.buffer.write(dos + coff + bytes(400))' > Windows/Duvizo.exe
text Windows/readme.txt "The Windows build."
# What the simulator's Run starts: it leaves a note of how it was started in
# the installation folder that holds the application.
cat > Macintosh/Duvizo.app/Contents/MacOS/Duvizo <<'SCRIPT'
#!/bin/sh
here=$(cd "$(dirname "$0")/../../.." && pwd)
{
  printf '%s\n' "$0" "$#"
  for a in "$@"; do printf '%s\n' "$a"; done
} > "$here/duvizo-ran.txt"
SCRIPT
chmod 0755 Macintosh/Duvizo.app/Contents/MacOS/Duvizo
text Macintosh/Duvizo.app/Contents/Info.plist "<plist><dict/></plist>"

# "All": every allowed folder but "install_pfc Aircraft".
put "All/Aircraft/Cessna 172/Cessna 172.acf" 1500
text "All/Aircraft/Cessna 172/readme.txt" "A light aircraft."
put All/Airfoils/NACA-0012.afl 600
text "All/Custom Scenery/KSEA Demo/Earth nav data/apt.dat" "1000 Version"
text "All/Custom Scenery/DSF 900 Mars World-Wide/Earth nav data/+00+000.dsf" "Mars is left out of every set"
text "All/Instructions/Manual.txt" "Read me first."
text "All/Instructions/Manual.txt.bak" "An editor's backup the sets leave out."
text "All/Output/logbooks/Duvizo Logbook.txt" "The pilot's log."
: > All/Output/logbooks/empty.txt
text All/Output/preferences/Duvizo.prf "Preferences are the user's own."
text All/Output/.DS_Store "Finder state"
text All/Output/._Duvizo "AppleDouble companion"
text All/Output/Thumbs.db "Explorer thumbnails"
put "All/Resources/bitmaps/Earth Orbit Textures/orbit.png" 30000
text "All/Resources/bitmaps/interface/copy.png" "The one file named copy that ships."
ln -s interface/copy.png "All/Resources/bitmaps/logo link.png"
put "All/Resources/default scenery/900 red terrain/red.ter" 6000
text All/Resources/plugins/Commands.txt "sim/operation/quit"
text All/Resources/plugins/DataRefs.txt "sim/time/total_running_time_sec"
for os in lin mac win; do text "All/Resources/plugins/PluginAdmin/$os.vpi" "plug-in admin for $os"; done
for lib in Tessel Tesselkit; do
  put "All/Resources/plugins/$lib.dll" 900
  put "All/Resources/plugins/$lib.so" 900
  put "All/Resources/plugins/$lib.shlb" 900
  put "All/Resources/plugins/$lib.framework/$lib" 900
done
put "All/Resources/sounds/engine idle.wav" 2500
mkdir -p All/Resources/sounds
ln -s "engine idle.wav" "All/Resources/sounds/idle link.wav"
text All/Weapons/missile.wpn "A weapon."

# Global terrain tiles in three cells, each with the 7z archive the DVD set
# ships for it.
tiles=(+40-130/+47-123 +30+010/+35+012 -40+170/-34+174)
for tile in "${tiles[@]}"; do put "All/Global Scenery/-global terrain-/$tile.dsf" 3000; done
write_puts
for tile in "${tiles[@]}"; do
  touch -d @1262304000 "All/Global Scenery/-global terrain-/$tile.dsf"
  (cd "All/Global Scenery/-global terrain-/${tile%/*}" && 7zz a -bso0 -bsp0 -- "${tile#*/}.dsf.7z" "${tile#*/}.dsf")
done

# One time on everything, so the archives made from the master are the same
# from run to run.
find . -exec touch -h -d @1262304000 {} +
