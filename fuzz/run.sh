#!/usr/bin/env bash
# Builds the stream-reader fuzzer and runs it for a bounded time (default 20
# seconds) from the seed images in fuzz/seeds. New inputs go to a scratch
# corpus, so the seeds stay as committed; a crash leaves its input in
# build/fuzz/ and fails the run.
#
#   fuzz/run.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
fuzz/build.sh
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
build/fuzz/reader_fuzzer -max_total_time="$seconds" -rss_limit_mb=2048 -max_len=4096 \
  -artifact_prefix=build/fuzz/ -print_final_stats=1 "$corpus" fuzz/seeds
