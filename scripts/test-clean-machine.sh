#!/usr/bin/env bash
# test-clean-machine.sh [--run-only] [commit]: proves on a machine that has
# nothing installed by hand what the README promises of a fresh Debian
# machine. --run-only times just a newcomer's first scripts/run.sh.
#
#   1. A minimal Debian root made with mmdebstrap from this machine's own apt
#      sources: the commit (HEAD by default) is cloned into it, and the
#      README's two commands, scripts/run.sh and scripts/test.sh, run there
#      as root; then scripts/package.sh makes the packages.
#   2. A second such root, where the .deb is installed the usual way
#      (apt-get install ./halvex_*.deb): hxplan plans the default room and
#      tells its version, and halvex and HXP start under Xvfb until their
#      first window shows.
#
# Prints each command's time and result; exits non-zero when any failed.
# Slow (most of an hour), so not part of the test command: run it whenever a
# set-up script or a dependency changes. Needs root (for the mounts and
# chroot) and disk space for two roots, under $HALVEX_CLEAN_ROOTS (default
# /var/tmp). HALVEX_FUZZ_SECONDS is passed on to scripts/test.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "$(id -u)" -ne 0 ]; then
  exec sudo --preserve-env=HALVEX_CLEAN_ROOTS,HALVEX_FUZZ_SECONDS "$0" "$@"
fi
run_only=""
if [ "${1:-}" = --run-only ]; then
  run_only=1
  shift
fi
commit=$(git -C "$root" rev-parse --verify "${1:-HEAD}^{commit}")

if ! command -v mmdebstrap >/dev/null; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends mmdebstrap >&2
fi

work=$(mktemp -d "${HALVEX_CLEAN_ROOTS:-/var/tmp}/halvex-clean-machine.XXXXXX")
mounted=()

# Every exit path comes here, an interrupted run included: processes still
# running inside a root (an Xvfb, a Wine server) are ended, then what was
# mounted is unmounted, innermost first, before the roots are removed.
cleanup() {
  local status=$? i pid link
  trap - EXIT INT TERM HUP
  for pid in /proc/[0-9]*; do
    link=$(readlink "$pid/root" 2>/dev/null) || continue
    case $link in "$work"/*) kill -KILL "${pid#/proc/}" 2>/dev/null || true ;; esac
  done
  for ((i = ${#mounted[@]} - 1; i >= 0; --i)); do
    umount "${mounted[i]}" 2>/dev/null || umount --lazy "${mounted[i]}" || true
  done
  if findmnt --list --noheadings --output TARGET | grep -q "^$work/"; then
    echo "test-clean-machine.sh: something is still mounted under $work; left in place" >&2
  else
    rm -rf "$work"
  fi
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

# make_root <dir>: a fresh minimal Debian root in <dir>, with the mounts a
# real machine has.
suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
sources=()
for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
  [ -s "$file" ] && sources+=("$file")
done
apt_options=()
for file in /etc/apt/apt.conf.d/*; do
  [ -f "$file" ] && apt_options+=(--aptopt="$file")
done
template=$work/template.tar
make_root() {
  local dir=$1 target
  if [ ! -f "$template" ]; then
    echo "== mmdebstrap: a minimal Debian $suite root" >&2
    mmdebstrap --quiet --variant=minbase "${apt_options[@]}" "$suite" "$template" "${sources[@]}"
  fi
  mkdir -p "$dir"
  tar -C "$dir" -xf "$template"
  cp /etc/resolv.conf "$dir/etc/resolv.conf"
  for target in proc sys dev dev/pts dev/shm; do
    mkdir -p "$dir/$target"
    case $target in
      proc) mount -t proc proc "$dir/proc" ;;
      sys) mount -t sysfs sysfs "$dir/sys" ;;
      *) mount --bind "/$target" "$dir/$target" ;;
    esac
    mounted+=("$dir/$target")
  done
}

# inside <dir> <command>: runs a shell command in the root as a new login
# would, with nothing of this shell's environment.
inside() {
  chroot "$1" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    ${HALVEX_FUZZ_SECONDS:+HALVEX_FUZZ_SECONDS=$HALVEX_FUZZ_SECONDS} \
    /bin/bash -c "$2"
}

# step <name> <dir> <command>: runs and times one step, logging its output;
# the summary collects "<name>: passed|FAILED (status) in <s> s".
summary=()
failed=0
step() {
  local name=$1 dir=$2 command=$3 start status log result
  log=$work/$(echo "$name" | tr -c 'a-zA-Z0-9\n' '-').log
  echo "== $name" >&2
  start=$SECONDS
  set +e
  inside "$dir" "$command" 2>&1 | tee "$log" >&2
  status=${PIPESTATUS[0]}
  set -e
  if [ "$status" -eq 0 ]; then
    result="$name: passed in $((SECONDS - start)) s"
    summary+=("$result")
  else
    result="$name: FAILED (status $status) in $((SECONDS - start)) s"
    summary+=("$result; the end of its output:" "$(tail -n 15 "$log" | sed 's/^/    /')")
    failed=1
  fi
  echo "$result" >&2
}

# ---- 1. the README's commands on a clean machine
machine=$work/machine
make_root "$machine"
git clone --quiet --no-hardlinks --no-checkout "$root" "$machine/root/halvex"
git -C "$machine/root/halvex" checkout --quiet --detach "$commit"
for tool in wine Xvfb x86_64-linux-gnu-g++ i686-w64-mingw32-g++ qmake6 cmake; do
  if inside "$machine" "command -v $tool" >/dev/null; then
    echo "test-clean-machine.sh: the new root already has $tool" >&2
    exit 1
  fi
done
step "scripts/run.sh (from a clean clone of ${commit:0:12})" "$machine" "cd /root/halvex && scripts/run.sh"
if [ -n "$run_only" ]; then
  echo
  printf '%s\n' "${summary[@]}"
  exit "$failed"
fi
step "scripts/test.sh" "$machine" "cd /root/halvex && scripts/test.sh"
step "scripts/package.sh" "$machine" "cd /root/halvex && scripts/package.sh"

# ---- 2. the .deb installed the usual way on another clean machine
debs=("$machine"/root/halvex/dist/halvex_*_amd64.deb)
if [ -f "${debs[0]}" ]; then
  user=$work/user
  make_root "$user"
  cp "${debs[0]}" "$user/root/"
  deb=/root/$(basename "${debs[0]}")
  step "apt-get install ./$(basename "$deb")" "$user" \
    "apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $deb"
  step "hxplan 9,5,20,15,90 and hxplan --version" "$user" \
    "hxplan 9,5,20,15,90 && hxplan --version"
  # A window shows when the window system maps it: Xvfb and xdotool are the
  # test's own tools, installed after the package so that they cannot stand
  # in for a dependency the package lacks.
  step "halvex and HXP show their first window under Xvfb" "$user" '
    set -e
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends xvfb xauth xdotool >/dev/null
    # -noreset: the server stays up between the two programs.
    Xvfb :7 -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    export DISPLAY=:7
    for _ in $(seq 50); do [ -e /tmp/.X11-unix/X7 ] && break; sleep 0.1; done
    mkdir -p /tmp/run && cd /tmp/run
    shows() {  # shows <title pattern> <program>
      "$2" >/dev/null 2>&1 &
      local pid=$! shown=0
      timeout 30 xdotool search --sync --onlyvisible --name "$1" >/dev/null && shown=1
      kill $pid; wait $pid 2>/dev/null || true
      if [ $shown = 1 ]; then
        echo "$2 showed a window titled like \"$1\""
      else
        echo "$2 showed no window titled like \"$1\"" >&2; return 1
      fi
    }
    shows "^HX $" halvex
    shows "^Planar Speaker Layout$" HXP'
else
  summary+=("no .deb was made: the second root is left out")
  failed=1
fi

echo
echo "Clean Debian $suite roots, commit ${commit:0:12}:"
printf '  %s\n' "${summary[@]}"
exit "$failed"
