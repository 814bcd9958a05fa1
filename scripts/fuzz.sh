#!/usr/bin/env bash
# Runs every fuzz target (the delimited text, dBase, field definition, page
# file, settings file and backup archive readers, the migration's extract
# files and old settings file) for SECONDS each (default 30), from the seeds
# in tests/fuzz/corpus/<target>/. Builds them with clang in build-fuzz/,
# apart from the normal build; make check never runs it.
#   bash scripts/fuzz.sh [SECONDS]
# A crash leaves its input in build-fuzz/artifacts/<target>/; after the fix,
# keep it in tests/fuzz/regressions/<target>/, which the ordinary tests replay.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(dirname "$here")
seconds=${1:-30}
out=$top/build-fuzz

bash "$here/setup-debian.sh" --fuzz
shapelib=$(bash "$here/setup-debian.sh" --shapelib-dir)
cmake -S "$top/tests/fuzz" -B "$out" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DHV_SHAPELIB_SRC=$shapelib" >/dev/null
cmake --build "$out" -j2

status=0
for target in delimited dbf tid pagefile settings archive extract oldsettings; do
  mkdir -p "$out/corpus/$target" "$out/artifacts/$target"
  echo "fuzz: $target for ${seconds}s"
  # New inputs go to the build tree's corpus; the seeds in the tree stay as they are.
  if ! "$out/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$out/artifacts/$target/" "$out/corpus/$target" "$top/tests/fuzz/corpus/$target" \
       2> "$out/$target.log"; then
    echo "fuzz: $target found a problem; see $out/$target.log and $out/artifacts/$target/" >&2
    status=1
  fi
  grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$out/$target.log" | sed "s/^/fuzz: $target /" || true
done
exit $status
