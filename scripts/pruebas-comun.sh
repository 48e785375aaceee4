# shellcheck shell=bash
# Shared by the sanitizer runs (scripts/test-tsan.sh, scripts/test-asan.sh); sourced, not run.
# Each run builds test binaries into a folder of its own, runs them in shards in parallel,
# one log each, and ends with one line "<label>: N passed, N failed".

# configurar ETIQUETA CARPETA OPCIONES [VARIABLE=VALOR ...]: configures CARPETA (tests on,
# benchmarks off, warnings as errors) with the compiler and linker options OPCIONES; the
# variables (CXX=..., CC=...) are given to cmake alone. On a failure prints the summary line
# and returns 1.
configurar() {
  local etiqueta=$1 carpeta=$2 opciones=$3
  shift 3
  echo "$etiqueta: configuring $carpeta ($opciones)"
  if ! env "$@" cmake -S . -B "$carpeta" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPORTIVA_BUILD_BENCH=OFF -DPORTIVA_WERROR=ON -DCMAKE_CXX_FLAGS="$opciones" \
    -DCMAKE_EXE_LINKER_FLAGS="$opciones" -DCMAKE_SHARED_LINKER_FLAGS="$opciones" >/dev/null; then
    echo "$etiqueta: 0 passed, 1 failed"
    return 1
  fi
}

# compilar ETIQUETA CARPETA TARGET...: builds the targets in CARPETA (configured already),
# saying what it does and where its log is; on a failure shows the log's end and the summary
# line, and returns 1.
compilar() {
  local etiqueta=$1 carpeta=$2
  shift 2
  local inicio=$SECONDS proximo=$((SECONDS + 30)) pid paso
  echo "$etiqueta: building $* in $carpeta (a few minutes; compiler output in $carpeta.log)"
  cmake --build "$carpeta" -j"$(nproc)" --target "$@" >"$carpeta.log" 2>&1 &
  pid=$!
  # A line every half minute, so that a long build is seen to go on.
  while kill -0 "$pid" 2>/dev/null; do
    sleep 1
    if [ "$SECONDS" -ge "$proximo" ] && kill -0 "$pid" 2>/dev/null; then
      proximo=$((SECONDS + 30))
      paso=$(grep -oE '^\[[0-9]+/[0-9]+\]' "$carpeta.log" | tail -n 1 || true)
      echo "$etiqueta: still building, step ${paso:-[0/?]} after $((SECONDS - inicio)) s"
    fi
  done
  if ! wait "$pid"; then
    tail -40 "$carpeta.log"
    echo "$etiqueta: 0 passed, 1 failed"
    return 1
  fi
  echo "$etiqueta: built in $((SECONDS - inicio)) s"
}

# lanzar LOGS NOMBRE SHARDS BINARIO [ARG...]: starts SHARDS processes of one gtest binary in
# the background, each running its share of the tests into LOGS/NOMBRE_<i>.log; their pids
# are added to the array PIDS.
lanzar() {
  local logs=$1 nombre=$2 shards=$3 binario=$4
  shift 4
  local i
  for i in $(seq 0 $((shards - 1))); do
    GTEST_TOTAL_SHARDS=$shards GTEST_SHARD_INDEX=$i "$binario" "$@" >"$logs/${nombre}_$i.log" 2>&1 &
    PIDS+=($!)
  done
}

# resumir ETIQUETA LOGS AVISO ESTADO: sums the logs' gtest counts and prints the summary
# line. A log with a line matching the regular expression AVISO (a sanitizer's report), or
# that does not reach gtest's closing line (the process ended early), is shown and counts as
# one failure more; ESTADO non-zero with nothing else failed counts as one failure. Returns 0
# only when nothing failed.
resumir() {
  local etiqueta=$1 logs=$2 aviso=$3 estado=$4
  local pasados=0 fallados=0 informes=0 log p f c
  for log in "$logs"/*.log; do
    p=$(grep -oE '^\[  PASSED  \] [0-9]+' "$log" | grep -oE '[0-9]+$' || true)
    f=$(grep -oE '^\[  FAILED  \] [0-9]+ test' "$log" | grep -oE '[0-9]+' || true)
    c=$(grep -cE "$aviso" "$log" || true)
    pasados=$((pasados + ${p:-0}))
    fallados=$((fallados + ${f:-0}))
    if [ "${c:-0}" -gt 0 ]; then
      echo "== $(basename "$log"): $c report(s)"
      grep -E -B3 -A40 "$aviso" "$log" | head -100
      informes=$((informes + c))
      fallados=$((fallados + 1))
    elif ! grep -q '^\[==========\] .* ran' "$log"; then
      echo "== $(basename "$log"): ended before gtest's last line"
      tail -40 "$log"
      fallados=$((fallados + 1))
    elif [ "${f:-0}" -gt 0 ]; then
      echo "== $(basename "$log")"
      grep -B20 -E '^\[  FAILED  \] .*\([0-9]+ ms\)$' "$log" | head -100
    fi
  done
  [ "$informes" -gt 0 ] && echo "$etiqueta: $informes sanitizer report(s)"
  [ "$estado" -ne 0 ] && [ "$fallados" -eq 0 ] && fallados=1
  echo "$etiqueta: $pasados passed, $fallados failed"
  [ "$fallados" -eq 0 ]
}
