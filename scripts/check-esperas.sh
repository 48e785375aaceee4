#!/usr/bin/env bash
# Fails, naming each place, when the station's own code (storage, access, console, app) waits
# by passing the event queue by hand or by sleeping: QCoreApplication::processEvents, a
# QEventLoop of its own, msleep, usleep, sleep_for, QThread::sleep. The station waits with
# timers and signals; long desk work goes on in steps from the event loop or on a thread of its
# own. One exception, named below with its reason; tests, benchmarks and tools are not looked
# at.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
CARPETAS=(storage access console app)
PATRON='processEvents|QEventLoop|msleep|usleep|sleep_for|QThread::sleep'
# The door's thread runs its own event loop, the top one of that thread (as QThread::exec
# would): it is how the door waits for its timers and the window's commands, not a wait nested
# inside other work.
EXCEPCIONES='^access/HiloPuerta\.(h|cpp):'

existentes=()
for c in "${CARPETAS[@]}"; do [ -d "$c" ] && existentes+=("$c"); done
if [ ${#existentes[@]} -eq 0 ]; then
  echo "esperas: none of the folders ${CARPETAS[*]} is here" >&2
  exit 1
fi
encontrados=$(grep -rnE --include='*.cpp' --include='*.h' "$PATRON" "${existentes[@]}")
rc=$?
encontrados=$(grep -vE "$EXCEPCIONES" <<<"$encontrados")
if [ "$rc" -gt 1 ]; then
  echo "esperas: grep failed" >&2
  exit 1
fi
if [ -n "$encontrados" ]; then
  echo "Esperas a mano en el codigo de la estacion (timers, senales o pasos desde el bucle):"
  while IFS= read -r l; do echo "  $l"; done <<<"$encontrados"
  exit 1
fi
echo "esperas: ok"
