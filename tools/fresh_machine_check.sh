#!/usr/bin/env bash
# Acceptance check: do the README's two commands work on a fresh, minimal
# Debian 12 machine?
#
# Builds once (then reuses) a pristine `debootstrap --variant=minbase bookworm`
# root, copies it for each run, clones the repository's committed HEAD (not the
# work tree) into the copy at /root/src, and runs there, as root in a chroot
# with its own mount, UTS and PID namespaces ("/" a mount point, /proc, /sys,
# /dev, /dev/pts, /dev/shm mounted, /tmp a plain folder as Debian installs it)
# and with only a login shell's environment, the two commands of the README's
# first ```sh block. Package installs start no daemons (policy-rc.d), since the
# chroot shares the host's network. With no display there, the first command
# runs its headless demo.
#
# Run by hand as root on a Debian 12 host that reaches the Debian mirror (20-40
# minutes); it is not part of .ci/run:
#   tools/fresh_machine_check.sh [--root DIR] [REPO]
#     REPO           repository to check (default: the one holding this script)
#     --root DIR     cached pristine root (default: $FRESH_ROOT, else
#                    /var/tmp/fresh-machine/bookworm); delete it to rebuild it
#   FRESH_TIMEOUT    seconds allowed for the first command (default 3600)
# Everything goes to a log whose path is printed; the exit status is non-zero
# if either command failed.
set -euo pipefail

root=${FRESH_ROOT:-/var/tmp/fresh-machine/bookworm}
repo=
while [ $# -gt 0 ]; do
  case $1 in
    --root) root=$2; shift 2 ;;
    -h|--help) sed -n '2,/^set -euo/{/^set/d;s/^# \{0,1\}//;p}' "$0"; exit 0 ;;
    *) repo=$1; shift ;;
  esac
done
repo=$(git -C "${repo:-$(dirname "$0")}" rev-parse --show-toplevel)
[ "$(id -u)" -eq 0 ] || { echo "fresh_machine_check: run as root" >&2; exit 2; }

base=$(dirname "$root")
mkdir -p "$base/logs"
log=$base/logs/check-$(date -u +%Y%m%dT%H%M%SZ).log
say() { echo "== $*" | tee -a "$log"; }
echo "log: $log"
start=$SECONDS

# 1. The pristine root, built once; only a complete one is renamed into place.
exec 9>"$base/.lock"
flock 9
if [ ! -e "$root/etc/debian_version" ]; then
  if ! command -v debootstrap >/dev/null; then
    say "installing debootstrap on the host"
    { apt-get update -q && apt-get install -y -q debootstrap; } >>"$log" 2>&1
  fi
  say "building the pristine root $root"
  rm -rf --one-file-system "$root.new"
  unshare -m debootstrap --variant=minbase bookworm "$root.new" http://deb.debian.org/debian >>"$log" 2>&1
  # What an installed system has and debootstrap leaves out.
  echo fresh-bookworm >"$root.new/etc/hostname"
  printf '127.0.0.1\tlocalhost\n127.0.1.1\tfresh-bookworm\n::1\t\tlocalhost ip6-localhost ip6-loopback\nff02::1\t\tip6-allnodes\nff02::2\t\tip6-allrouters\n' >"$root.new/etc/hosts"
  printf 'deb http://deb.debian.org/debian bookworm main\ndeb http://deb.debian.org/debian bookworm-updates main\ndeb http://deb.debian.org/debian-security bookworm-security main\n' >"$root.new/etc/apt/sources.list"
  od -An -tx1 -N16 /dev/urandom | tr -d ' \n' >"$root.new/etc/machine-id"
  printf '#!/bin/sh\nexit 101\n' >"$root.new/usr/sbin/policy-rc.d"
  chmod 755 "$root.new/usr/sbin/policy-rc.d"
  mv "$root.new" "$root"
else
  say "reusing the pristine root $root"
fi
exec 9>&-

# 2. This run's copy of the machine, with the committed HEAD at /root/src.
work=$(mktemp -d "$base/run.XXXXXX")
cleanup() {
  set +e
  [ -n "${ns_pid:-}" ] && kill "$ns_pid" 2>/dev/null && wait "$ns_pid" 2>/dev/null
  # The mounts live in the run's own namespace and end with it; unmount any
  # left in ours anyway, and never delete through a mount.
  findmnt -rno TARGET | grep "^$work/" | sort -r | xargs -r -n1 umount -l
  if findmnt -rno TARGET | grep -q "^$work/"; then
    echo "fresh_machine_check: $work is still mounted; left in place" >&2
  else
    rm -rf --one-file-system "$work"
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM
m=$work/root
say "copying the pristine root to $m"
cp -a "$root" "$m"
cp /etc/resolv.conf "$m/etc/resolv.conf"
sha=$(git -C "$repo" rev-parse HEAD)
say "cloning $repo at $sha to /root/src"
git clone -q --no-hardlinks "$repo" "$m/root/src" >>"$log" 2>&1
git -C "$m/root/src" checkout -q --detach "$sha"

# 3. The README's two commands.
mapfile -t cmds < <(awk '/^```sh/ {f=1; next} f && /^```/ {exit} f' "$m/root/src/README.md")
[ "${#cmds[@]}" -ge 2 ] || { say "no two-line \`\`\`sh block in README.md"; exit 1; }
first=${cmds[0]} tests=${cmds[1]}

inside() {  # runs in the new namespaces, outside the chroot: $1 the root
  set -u
  local r=$1 rc
  mount --bind "$r" "$r"
  mount -t proc proc "$r/proc"
  mount --rbind /sys "$r/sys"
  mount --rbind /dev "$r/dev"
  mount -t tmpfs -o mode=1777,nosuid,nodev tmpfs "$r/dev/shm"
  hostname "$(cat "$r/etc/hostname")"
  login() {
    chroot "$r" /usr/bin/env -i HOME=/root USER=root LOGNAME=root SHELL=/bin/bash \
      PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
      /bin/bash -lc "cd /root/src && $1" </dev/null 2>&1
  }
  echo "=== first command: $FIRST"
  timeout -k 30 "$FRESH_TIMEOUT" bash -c "$(declare -f login); r=$r; login \"\$1\"" _ "$FIRST"; rc=$?
  echo "=== first command exit: $rc"; echo "$rc" >"$r/../rc.first"
  echo "=== test command: $TESTS"
  login "$TESTS"; rc=$?
  echo "=== test command exit: $rc"; echo "$rc" >"$r/../rc.tests"
}
say "running the README's commands in the chroot (follow with: tail -f $log)"
FIRST=$first TESTS=$tests FRESH_TIMEOUT=${FRESH_TIMEOUT:-3600} \
  unshare --mount --uts --pid --fork --kill-child \
  bash -c "$(declare -f inside); inside \"\$1\"" _ "$m" >>"$log" 2>&1 &
ns_pid=$!
wait "$ns_pid" || true
ns_pid=

# 4. What happened.
rc_first=$(cat "$work/rc.first" 2>/dev/null || echo "not run")
rc_tests=$(cat "$work/rc.tests" 2>/dev/null || echo "not run")
echo "--- tail of the first command's output"
sed -n '/^=== first command: /,/^=== first command exit: /p' "$log" | tail -n 12
echo "--- tail of the test command's output"
sed -n '/^=== test command: /,/^=== test command exit: /p' "$log" | tail -n 25
echo "--- test suite summaries"
awk '/^Test project / {dir=$3}
     /tests passed, .* tests failed out of/ {print dir ": " $0}
     /^The following tests FAILED:/ {f=1; print dir ": " $0; next}
     f && /^\t/ {print; next} {f=0}' "$log"
t=$((SECONDS - start))
say "first command: exit $rc_first; test command: exit $rc_tests; took $((t / 60))m$((t % 60))s; log: $log"
[ "$rc_first" = 0 ] && [ "$rc_tests" = 0 ]
