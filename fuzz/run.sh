#!/usr/bin/env bash
# Builds the fuzzers and runs each for a bounded time (default 20 seconds):
# the stream reader from the seed images in fuzz/seeds, the text parser from
# the texts in fuzz/text_seeds. New inputs go to scratch corpora, so the seeds
# stay as committed; a crash leaves its input in build/fuzz/ and fails the run.
#
#   fuzz/run.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
fuzz/build.sh
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
for pair in reader_fuzzer:fuzz/seeds text_fuzzer:fuzz/text_seeds; do
  target=${pair%%:*}
  mkdir -p "$corpus/$target"
  echo "=== $target for $seconds s"
  build/fuzz/$target -max_total_time="$seconds" -rss_limit_mb=2048 -max_len=4096 \
    -artifact_prefix=build/fuzz/$target- -print_final_stats=1 "$corpus/$target" "${pair#*:}"
done
