#!/usr/bin/env bash
# Checks the formatting and that the station never waits by hand (scripts/check-esperas.sh),
# builds Portiva with warnings as errors and runs the whole test suite, then a short bounded
# fuzzing run of the template decoder and the bitmap reader (clang's libFuzzer with
# AddressSanitizer), a ThreadSanitizer run of the storage and access tests
# (scripts/test-tsan.sh) and an AddressSanitizer + UndefinedBehaviorSanitizer run of the four
# test binaries (scripts/test-asan.sh). Each build has a folder of its own (build, build-fuzz,
# build-tsan, build-asan); build/ is the one scripts/setup.sh and scripts/run-demo.sh use, with
# the same settings. The last line sums the whole run: "N passed, N failed"; the exit status is
# 0 only when none failed.
#
# Each stage adds its counts with `sumar PASADAS FALLIDAS`; a ctest run is one call of
# `etapa_ctest <ctest arguments>`, which shows ctest's output and adds its counts.
set -euo pipefail
cd "$(dirname "$0")/.."
export PORTIVA_WERROR=ON

PASADAS=0
FALLIDAS=0
sumar() {
  PASADAS=$((PASADAS + $1))
  FALLIDAS=$((FALLIDAS + $2))
}
resumen() {
  echo
  echo "$PASADAS passed, $FALLIDAS failed"
}
trap resumen EXIT

# Runs ctest with the given arguments and adds its result: the "... tests failed out of T"
# line when ctest prints one, else one failure when it ended badly.
etapa_ctest() {
  local salida rc linea fallidas total
  salida=$(mktemp)
  set +e
  ctest "$@" 2>&1 | tee "$salida"
  rc=${PIPESTATUS[0]}
  set -e
  linea=$(grep -E '[0-9]+ tests? failed out of [0-9]+' "$salida" | tail -n 1 || true)
  rm -f "$salida"
  if [ -n "$linea" ]; then
    fallidas=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$linea")
    total=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$linea")
    sumar $((total - fallidas)) "$fallidas"
  elif [ "$rc" -ne 0 ]; then
    sumar 0 1
  fi
}

# A step that is not a test run (a build): one failure when it fails, and the run stops.
paso() {
  if ! "$@"; then
    sumar 0 1
    echo "Fallo: $*" >&2
    exit 1
  fi
}

# A sanitizer run (its script) ends with its own line "<label>: N passed, N failed"; its counts
# are added, and a run that ends without that line counts as one failure.
etapa_sanitizer() {
  local etiqueta=$1 script=$2 salida linea
  salida=$(mktemp)
  set +e
  bash "$script" 2>&1 | tee "$salida"
  set -e
  linea=$(grep -E "^$etiqueta: [0-9]+ passed, [0-9]+ failed" "$salida" | tail -n 1 || true)
  rm -f "$salida"
  if [ -n "$linea" ]; then
    sumar "$(sed -E 's/.*: ([0-9]+) passed.*/\1/' <<<"$linea")" \
      "$(sed -E 's/.*passed, ([0-9]+) failed/\1/' <<<"$linea")"
  else
    sumar 0 1
  fi
}

paso bash scripts/setup.sh
# Formatting is checked once the packages (clang-format among them) are there.
if bash scripts/check-format.sh; then sumar 1 0; else sumar 0 1; fi
# Nothing of the station waits by passing the event queue by hand or by sleeping.
if bash scripts/check-esperas.sh; then sumar 1 0; else sumar 0 1; fi
export QT_QPA_PLATFORM=offscreen
etapa_ctest --test-dir build --output-on-failure -j"$(nproc)" --timeout 600

paso env CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPORTIVA_BUILD_FUZZ=ON -DPORTIVA_BUILD_BENCH=OFF >/dev/null
paso cmake --build build-fuzz -j"$(nproc)" --target fuzz_plantilla fuzz_bmp
etapa_ctest --test-dir build-fuzz --output-on-failure -R '^fuzz_' -j2

etapa_sanitizer tsan scripts/test-tsan.sh
etapa_sanitizer asan scripts/test-asan.sh

trap - EXIT
resumen
[ "$FALLIDAS" -eq 0 ]
