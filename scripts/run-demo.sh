#!/usr/bin/env bash
# Sets Portiva up (packages and build) and starts one demo station on a ready program folder
# demo/: the demo member database with synthetic fingers enrolled, the simulated relay board
# on COM4 and a simulated reader that gets a finger every few seconds (staff, member allowed,
# expired member, member not yet started, unknown finger, in turn). Closing the station window
# (or Ctrl+C) ends the demo.
#
#   bash scripts/run-demo.sh [seconds]
#
# With a number of seconds the station is closed by itself after that time (for a look
# without a screen). Without a screen (no DISPLAY) the station runs under xvfb-run.
set -euo pipefail
cd "$(dirname "$0")/.."
RAIZ="$PWD"
DEMO="$RAIZ/demo"
SEGUNDOS="${1:-}"
if [ -n "$SEGUNDOS" ] && ! [[ "$SEGUNDOS" =~ ^[0-9]+$ ]]; then
  echo "Uso: bash scripts/run-demo.sh [segundos]" >&2
  exit 2
fi

# Only what the demo runs is built here; the tests and benchmarks are built by
# scripts/test.sh (or a plain `bash scripts/setup.sh`).
bash scripts/setup.sh portiva portiva-demo portiva-simrele portiva-creardb

echo "== Preparando la estacion de demostracion en $DEMO"
"$RAIZ/build/tools/demo/portiva-demo" preparar "$DEMO" \
  --programa "$RAIZ/build/app/portiva" --recursos "$RAIZ/assets"

PIDS=()
terminar() {
  for pid in "${PIDS[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${PIDS[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
}
trap terminar EXIT
trap 'exit 130' INT TERM

echo "== Placa de reles simulada en COM4 (sus lineas empiezan por la hora)"
rm -f "$DEMO/COM4"
"$RAIZ/build/tools/simulador_rele/portiva-simrele" --carpeta "$DEMO" --puerto COM4 &
PIDS+=($!)
for _ in $(seq 100); do
  [ -e "$DEMO/COM4" ] && break
  sleep 0.1
done
if [ ! -e "$DEMO/COM4" ]; then
  echo "La placa de reles simulada no ha arrancado." >&2
  exit 1
fi

echo "== Lector simulado: una huella cada 4 segundos (lineas [lector])"
"$RAIZ/build/tools/demo/portiva-demo" alimentar "$DEMO" --cada 4 &
PIDS+=($!)

ESTACION=(./portiva)
if [ -n "$SEGUNDOS" ]; then
  ESTACION=(timeout --signal=TERM "$SEGUNDOS" ./portiva)
fi
echo "== Arrancando la estacion"
cd "$DEMO"
if [ -z "${DISPLAY:-}" ]; then
  echo "   No hay pantalla (DISPLAY vacio): la estacion corre en una pantalla virtual" \
       "(xvfb-run); la puerta se ve trabajar en las lineas de la placa de reles."
  xvfb-run -a -s "-screen 0 1280x1024x24" "${ESTACION[@]}" || true
else
  "${ESTACION[@]}" || true
fi
echo "== Demostracion terminada"
