# Ending what scripts/run and scripts/demo-install started; sourced by both.

# end_group PGID [GRACE]: waits GRACE seconds (default 0) for the process
# group to end by itself, then sends it SIGTERM, and SIGKILL to whatever is
# left 10 s later.
end_group() {
  local pgid=$1 grace=${2:-0} i
  for ((i = 0; i < grace * 5; i++)); do
    kill -0 -- "-$pgid" 2>/dev/null || break
    sleep 0.2
  done
  kill -TERM -- "-$pgid" 2>/dev/null || true
  for ((i = 0; i < 50; i++)); do
    kill -0 -- "-$pgid" 2>/dev/null || break
    sleep 0.2
  done
  kill -KILL -- "-$pgid" 2>/dev/null || true
  wait "$pgid" 2>/dev/null || true
}

# remove_installer_temp LOG: the installer removes its temporary folder when
# it finishes up, which a signal skips; this removes the one its log names
# if it is still there.
remove_installer_temp() {
  local temp
  temp=$(sed -n 's/^os_dir_temp[[:space:]]*=//p' "$1" 2>/dev/null | head -n 1)
  temp=${temp%/}
  case "$temp" in
    /*/Duvizo-??????) [ ! -d "$temp" ] || rm -rf -- "$temp" ;;
  esac
}
