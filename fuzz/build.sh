#!/usr/bin/env bash
# Builds the stream-reader fuzzer with clang (libFuzzer, ASan, UBSan) into
# build/fuzz/reader_fuzzer. The run-time library is compiled in directly, so
# this needs nothing of the main (g++) build.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang++ >/dev/null; then
  echo "fuzz: clang++ is not installed" >&2
  exit 3
fi
out=build/fuzz
mkdir -p "$out/obj"
flags=(-std=c++20 -g -O1 -fno-omit-frame-pointer -fsanitize=fuzzer-no-link,address,undefined
       -fno-sanitize-recover=undefined -I.)
objs=()
for src in platform/rtl/*.cpp fuzz/reader_fuzzer.cpp; do
  obj="$out/obj/$(basename "${src%.cpp}").o"
  if [ ! -f "$obj" ] || [ "$src" -nt "$obj" ] || [ -n "$(find platform/rtl -name '*.h' -newer "$obj")" ]; then
    clang++ "${flags[@]}" -c "$src" -o "$obj"
  fi
  objs+=("$obj")
done
clang++ -fsanitize=fuzzer,address,undefined "${objs[@]}" -o "$out/reader_fuzzer"
echo "fuzz: built $out/reader_fuzzer"
