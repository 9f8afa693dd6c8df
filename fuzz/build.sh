#!/usr/bin/env bash
# Builds the fuzzers of the stream reader and of the text-form parser with
# clang (libFuzzer, ASan, UBSan) into build/fuzz/. The run-time library is
# compiled in directly, so this needs nothing of the main (g++) build.
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
compile() {  # compile SRC: compiles SRC unless its object is newer than it and every rtl header
  local src=$1 obj
  obj="$out/obj/$(basename "${src%.cpp}").o"
  if [ ! -f "$obj" ] || [ "$src" -nt "$obj" ] || [ -n "$(find platform/rtl -name '*.h' -newer "$obj")" ]; then
    clang++ "${flags[@]}" -c "$src" -o "$obj"
  fi
  echo "$obj"
}
rtl=()
for src in platform/rtl/*.cpp; do rtl+=("$(compile "$src")"); done
for target in reader_fuzzer text_fuzzer; do
  clang++ -fsanitize=fuzzer,address,undefined "${rtl[@]}" "$(compile "fuzz/$target.cpp")" -o "$out/$target"
  echo "fuzz: built $out/$target"
done
