#!/usr/bin/env bash
# The checks beyond the plain test suite: the whole suite and one offline
# show under AddressSanitizer and UndefinedBehaviorSanitizer, then every
# fuzz target for a bounded time. Run from the repository root after the
# main build (bootstrap.sh test does).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
fuzz_seconds=${Q9_FUZZ_SECONDS:-20}
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
# intercept_tls_get_addr=0: with it, the leak checker's tracer crashes on a
# bogus dynamic TLS range left by the driver's threads. verify_asan_link_order=0:
# the dlclose shim below is preloaded ahead of the runtime; it defines nothing
# the runtime intercepts.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:intercept_tls_get_addr=0:verify_asan_link_order=0:suppressions=$PWD/tests/sanitizer/asan.supp"
export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizer/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

echo "== sanitizer build: test suite"
# Optimised, so the suite and the show run in minutes; the sanitizers work the same.
cmake -S . -B build-asan -DQ9_SANITIZE=ON -DQ9_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-asan -j"$jobs"
cc -shared -fPIC -O2 -o build-asan/libq9_keep_loaded.so tests/sanitizer/keep_loaded.c
keep="LD_PRELOAD=$PWD/build-asan/libq9_keep_loaded.so"
(cd build-asan && env "$keep" ctest --output-on-failure -j"$jobs")

echo "== sanitizer build: one whole offline show"
rm -rf build-asan/show-frames
(cd build-asan && env "$keep" ./quorblestration9 --window --width=160 --height=90 --fps=5 --frames=show-frames)
count=$(ls build-asan/show-frames | grep -c '^frame_')
[ "$count" -eq 430 ] || { echo "expected 430 frames, got $count" >&2; exit 1; }

echo "== fuzz targets, ${fuzz_seconds} s each"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DQ9_FUZZ=ON -DQ9_TESTS=OFF -DQ9_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=$(cd tests/fuzz && ls fuzz_*.cpp | sed 's/\.cpp$//')
cmake --build build-fuzz -j"$jobs" --target $targets
for t in $targets; do
  name=${t#fuzz_}
  work=$(mktemp -d)
  cp -r "tests/fuzz/corpus/$name/." "$work/" 2>/dev/null || true
  echo "-- $t"
  log="$work.log"
  status=0
  (cd build-fuzz && ASAN_OPTIONS="detect_leaks=1" "./tests/fuzz/$t" -max_total_time="$fuzz_seconds" -timeout=10 \
     -rss_limit_mb=2048 -print_final_stats=1 "$work" >"$log" 2>&1) || status=$?
  grep -E 'stat::number_of_executed_units|ERROR|SUMMARY' "$log" || true
  if [ "$status" -ne 0 ]; then tail -40 "$log" >&2; echo "$t found a fault" >&2; exit 1; fi
  rm -rf "$work" "$log"
done
echo "extra checks passed"
