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
cd "$(dirname "$0")/.." || exit 1
# shellcheck source=scripts/pruebas-comun.sh
source scripts/pruebas-comun.sh
BUILD=build-tsan
SIN_PROCESOS='-SimuladorCli.*:*CommandLine*:*Proceso*:*ConProceso*:GaleriaCambiosTest.*:DuplicadaGaleriaTest.*'

configurar tsan "$BUILD" "-fsanitize=thread" CXX=clang++-14 CC=clang-14 || exit 1
compilar tsan "$BUILD" storage_tests access_tests || exit 1

export QT_QPA_PLATFORM=offscreen
# libfprint and GLib are not built with the thread checker: the USB readers stay out.
export PORTIVA_LECTOR_USB=0
export TSAN_OPTIONS="halt_on_error=0 exitcode=66 second_deadlock_stack=1"
LOGS=$(mktemp -d)
trap 'rm -rf "$LOGS"' EXIT
echo "tsan: running storage_tests and access_tests (4 shards) under the thread checker"
inicio=$SECONDS
PIDS=()
lanzar "$LOGS" access 4 "$BUILD/tests/access/access_tests" --gtest_filter="$SIN_PROCESOS"
lanzar "$LOGS" storage 1 "$BUILD/tests/storage/storage_tests" --gtest_filter="$SIN_PROCESOS"
estado=0
for p in "${PIDS[@]}"; do wait "$p" || estado=1; done
echo "tsan: ran in $((SECONDS - inicio)) s"
resumir tsan "$LOGS" 'WARNING: ThreadSanitizer' "$estado"
