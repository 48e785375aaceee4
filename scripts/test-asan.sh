#!/usr/bin/env bash
# AddressSanitizer and UndefinedBehaviorSanitizer run of the four test binaries (storage,
# engine, access, console), built into build-asan with the compiler of the main build (GCC 12):
# the engine's scores are those the other tests pin. Every report fails the run:
# the code is built with -fno-sanitize-recover=all and both runtimes halt on the first error,
# so a bad read, a use after free, a signed overflow or a bad shift ends its test binary.
#
# Leaks: LeakSanitizer is on and a leak fails the run, with nothing suppressed: what Qt,
# fontconfig and GLib keep until the process ends is still reachable then, and is not
# reported; a block of ours that nobody frees is.
#
# The console tests run on Qt's offscreen platform. Programs the tests start (the station, the
# simulated relay board, the database maker) are the instrumented ones of build-asan and get
# the same options.
#
# Prints one line "asan: N passed, N failed" at the end; exit status 0 only when every test
# passed and nothing was reported.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
# shellcheck source=scripts/pruebas-comun.sh
source scripts/pruebas-comun.sh
BUILD=build-asan
SANEAR="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"

configurar asan "$BUILD" "$SANEAR" || exit 1
compilar asan "$BUILD" storage_tests engine_tests access_tests console_tests || exit 1

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="halt_on_error=1 abort_on_error=0 exitcode=67 detect_leaks=1 strict_string_checks=1 detect_stack_use_after_return=1 check_initialization_order=1"
export UBSAN_OPTIONS="halt_on_error=1 print_stacktrace=1 exitcode=68"
LOGS=$(mktemp -d)
trap 'rm -rf "$LOGS"' EXIT

# About one process per core: the console and access tests talk to a simulated relay board
# on a pseudo-terminal and are the longest.
NUCLEOS=$(nproc)
reparto=$(((NUCLEOS - 2) / 2))
[ "$reparto" -lt 1 ] && reparto=1
echo "asan: running the storage, engine, access and console tests ($NUCLEOS processes)"
inicio=$SECONDS
PIDS=()
lanzar "$LOGS" storage 1 "$BUILD/tests/storage/storage_tests"
lanzar "$LOGS" engine 1 "$BUILD/tests/engine/engine_tests"
lanzar "$LOGS" access "$reparto" "$BUILD/tests/access/access_tests"
lanzar "$LOGS" console $((NUCLEOS - 2 - reparto > 0 ? NUCLEOS - 2 - reparto : 1)) \
  "$BUILD/tests/console/console_tests"
estado=0
for p in "${PIDS[@]}"; do wait "$p" || estado=1; done
echo "asan: ran in $((SECONDS - inicio)) s"
resumir asan "$LOGS" 'ERROR: AddressSanitizer|ERROR: LeakSanitizer|runtime error:' "$estado"
