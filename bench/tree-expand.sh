#!/usr/bin/env bash
# Runs bench_tree-expand with its fixture made on the Unix side, where making 100,000
# folders takes seconds (Wine takes time linear in the siblings for each new folder).
# The fixture lies in the Wine prefix's temporary folder; what an interrupted run left
# there goes first, and everything goes at the end. Arguments go to the benchmark.
source "$(dirname "$0")/../scripts/wine-env"
wine_prefix_ready || exit 1
BUILD_DIR="$ROOT/${FOLVANE_BUILD:-build}"
user="${USER:-$(id -un)}"
base="$WINEPREFIX/drive_c/users/$user/Temp/folvane-bench-tree-expand"
sizes="1000 3000 10000"
prev=
for arg in "$@"; do
  [ "$prev" = --sizes ] && sizes="${arg//,/ }"
  [ "$arg" = --huge ] && huge=" 100000"
  prev=$arg
done
sizes="$sizes${huge:-}"
cleanup() { rm -rf "$base"; }
trap cleanup EXIT
trap 'exit 130' INT TERM
rm -rf "$base"
for n in $sizes; do
  mkdir -p "$base/n$n" && (cd "$base/n$n" && seq -f 'folder%06g' 0 $((n - 1)) | xargs mkdir) || exit 1
done
"$WINE" "$BUILD_DIR/bench/bench_tree-expand.exe" --dir "C:\\users\\$user\\Temp\\folvane-bench-tree-expand" "$@"
