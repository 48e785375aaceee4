#!/usr/bin/env bash
# ThreadSanitizer run of the storage and access tests (the parallel identification walk, the
# template gallery, the reader queue, the door's re-entrant waits). A data race fails the run.
#
# Built with clang: GCC 12's ThreadSanitizer misses the locks taken in some inlined
# std::mutex paths here and reports races that are not there. Tests that start a child process
# are left out: the sanitizer's runtime cannot follow Qt's clone()-based process start, and
# those tests exercise no threads of ours.
#
# Prints one line "tsan: N passed, N failed" at the end; exit status 0 only when every test
# passed and no race was reported.
set -uo pipefail
cd "$(dirname "$0")/.."
BUILD=build-tsan
SIN_PROCESOS='-SimuladorCli.*:*CommandLine*:*Proceso*:*ConProceso*:GaleriaCambiosTest.*:DuplicadaGaleriaTest.*'

CXX=clang++-14 CC=clang-14 cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPORTIVA_BUILD_BENCH=OFF -DPORTIVA_WERROR=ON \
  -DCMAKE_CXX_FLAGS="-fsanitize=thread" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" \
  -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=thread" >/dev/null || exit 1
if ! cmake --build "$BUILD" -j"$(nproc)" --target storage_tests access_tests >"$BUILD.log" 2>&1; then
  tail -40 "$BUILD.log"
  echo "tsan: 0 passed, 1 failed"
  exit 1
fi

export QT_QPA_PLATFORM=offscreen
# libfprint and GLib are not built with the thread checker: the USB readers stay out.
export PORTIVA_LECTOR_USB=0
export TSAN_OPTIONS="halt_on_error=0 exitcode=66 second_deadlock_stack=1"
LOGS=$(mktemp -d)
SHARDS=4
pids=()
for i in $(seq 0 $((SHARDS - 1))); do
  GTEST_TOTAL_SHARDS=$SHARDS GTEST_SHARD_INDEX=$i \
    "$BUILD/tests/access/access_tests" --gtest_filter="$SIN_PROCESOS" >"$LOGS/access_$i.log" 2>&1 &
  pids+=($!)
done
"$BUILD/tests/storage/storage_tests" --gtest_filter="$SIN_PROCESOS" >"$LOGS/storage.log" 2>&1
estado=$?
for p in "${pids[@]}"; do wait "$p" || estado=1; done

pasados=0
fallados=0
carreras=0
for log in "$LOGS"/*.log; do
  p=$(grep -oE '^\[  PASSED  \] [0-9]+' "$log" | grep -oE '[0-9]+$' || true)
  f=$(grep -oE '^\[  FAILED  \] [0-9]+ test' "$log" | grep -oE '[0-9]+' || true)
  c=$(grep -c 'WARNING: ThreadSanitizer' "$log" || true)
  pasados=$((pasados + ${p:-0}))
  fallados=$((fallados + ${f:-0}))
  carreras=$((carreras + c))
  if [ "${c:-0}" -gt 0 ] || ! grep -q '^\[==========\] .* ran' "$log"; then
    echo "== $(basename "$log")"
    grep -A30 'WARNING: ThreadSanitizer\|CHECK failed\|\[  FAILED  \]' "$log" | head -80
  fi
done
if [ "$carreras" -gt 0 ]; then
  echo "ThreadSanitizer: $carreras aviso(s) de carrera de datos"
  fallados=$((fallados + 1))
fi
[ "$estado" -ne 0 ] && [ "$fallados" -eq 0 ] && fallados=1
rm -rf "$LOGS"
echo "tsan: $pasados passed, $fallados failed"
[ "$fallados" -eq 0 ]
