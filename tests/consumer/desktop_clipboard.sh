#!/usr/bin/env bash
# A program that links the desktop module but calls only
# Pasteboard::general() copies to the desktop's clipboard: built against the
# installed libraries with CMake and with pkg-config, linked with
# --as-needed (Debian's default, which the sanitizers' link turns off), run
# under a private Xvfb and read back with `xclip -o`. Also checks that the
# installed libraries run no code of their own as they load.
#
#   desktop_clipboard.sh <build dir> <source dir> <work dir> <c++ compiler> [<flags>]
set -euo pipefail
build_dir=$1
source_dir=$2
work=$3
cxx=$4
flags=${5:-}
cmake=${CMAKE:-cmake}

for tool in Xvfb xclip pkg-config; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed: desktop consumer check skipped"; exit 0; }
done

rm -rf "$work"
mkdir -p "$work"
prefix="$work/prefix"
"$cmake" --install "$build_dir" --prefix "$prefix" >"$work/install.log"
libdir=$(dirname "$(find "$prefix" -name 'libvantrel_desktop.so' | head -n 1)")

# Loading a library runs its initialisers. GCC names the one of a source
# file with dynamic initialisation _GLOBAL__sub_I_<file> (the sanitizers'
# own module constructors are named otherwise); the libraries have none.
for lib in "$libdir"/libvantrel_*.so; do
  initialisers=$(nm "$lib" | awk '$3 ~ /^_GLOBAL__sub_I_/ { print $3 }')
  if [ -n "$initialisers" ]; then
    echo "$(basename "$lib") runs code of its own as it loads: $initialisers" >&2
    exit 1
  fi
done

link_flags="-Wl,--as-needed $flags"
"$cmake" -S "$source_dir" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release "-DCMAKE_PREFIX_PATH=$prefix" \
  "-DCMAKE_CXX_COMPILER=$cxx" "-DCMAKE_CXX_FLAGS=$flags" "-DCMAKE_EXE_LINKER_FLAGS=$link_flags" \
  >"$work/configure.log" 2>&1 || { cat "$work/configure.log"; exit 1; }
"$cmake" --build "$work/build" >"$work/build.log" 2>&1 || { cat "$work/build.log"; exit 1; }

export PKG_CONFIG_PATH="$libdir/pkgconfig"
# shellcheck disable=SC2046,SC2086
"$cxx" -std=c++20 -O2 $flags "$source_dir/copy_text.cpp" $(pkg-config --cflags --libs vantrel-desktop) \
  -Wl,--as-needed "-Wl,-rpath,$libdir" -o "$work/copy_text_pc"

# A private display: the first free number from 170.
display=""
for number in $(seq 170 240); do
  [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] && continue
  Xvfb ":$number" -nolisten tcp -screen 0 640x480x24 >"$work/xvfb.log" 2>&1 &
  xvfb=$!
  for _ in $(seq 100); do
    [ -e "/tmp/.X11-unix/X$number" ] && break
    sleep 0.05
  done
  if [ -e "/tmp/.X11-unix/X$number" ] && kill -0 "$xvfb" 2>/dev/null; then
    display=":$number"
    break
  fi
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
done
[ -n "$display" ] || { echo "Xvfb did not start" >&2; exit 1; }
trap 'kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true' EXIT
export DISPLAY=$display

status=0
for program in "$work/build/copy_text" "$work/copy_text_pc"; do
  if ! readelf -dW "$program" | grep -q 'NEEDED.*libvantrel_desktop'; then
    echo "$(basename "$program") does not need libvantrel_desktop: the linker dropped it" >&2
    status=1
  fi
  text="copied by $(basename "$program") $RANDOM"
  coproc copier { "$program" "$text"; }
  read -r -t 20 said <&"${copier[0]}" || said=""
  pasted=$(timeout 20 xclip -selection clipboard -o 2>/dev/null || true)
  eval "exec ${copier[1]}>&-"
  wait "$copier_PID" || status=1
  if [ "$said" != "copied" ] || [ "$pasted" != "$text" ]; then
    echo "$(basename "$program"): xclip pasted \"$pasted\", expected \"$text\"" >&2
    status=1
  fi
done
exit $status
