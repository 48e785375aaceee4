#!/usr/bin/env bash
# The door while the desk holds dialogs open: a demo station under Xvfb with the simulated
# relay board and a print every 4 s, while xdotool opens and holds, in turn, the popup menu,
# the options dialog, the about box, the image file picker and the restore question (12 s
# each, then 12 s with none), for the given seconds (default 660). Needs a built tree (build/)
# and xdotool, Xvfb, xwininfo.
#
#   bash scripts/demo-dialogos.sh [seconds] [output folder]
#
# Then: python3 scripts/analizar-demo-dialogos.py <output folder>
set -u
cd "$(dirname "$0")/.." || exit 1
R="$PWD"; B="$R/build"
DURACION=${1:-660}
O=${2:-/tmp/portiva-demo-dialogos}
D="$O/estacion"
PANTALLA=:57
mkdir -p "$O"; rm -rf "$D"
"$B/tools/demo/portiva-demo" preparar "$D" --programa "$B/app/portiva" --recursos "$R/assets" > "$O/preparar.log" 2>&1
hora() { date +%H:%M:%S.%3N; }
conHora() { while IFS= read -r l; do printf '%s %s\n' "$(hora)" "$l"; done; }
Xvfb $PANTALLA -screen 0 1280x1024x24 > "$O/xvfb.log" 2>&1 & XP=$!
sleep 1
export DISPLAY=$PANTALLA
"$B/tools/simulador_rele/portiva-simrele" --carpeta "$D" --puerto COM4 > "$O/rele.log" 2>&1 & RP=$!
for _ in $(seq 100); do [ -e "$D/COM4" ] && break; sleep 0.1; done
(cd "$D" && exec ./portiva) > "$O/estacion.log" 2>&1 & SP=$!
sleep 3
"$B/tools/demo/portiva-demo" alimentar "$D" --cada 4 2>&1 | conHora > "$O/lector.log" & FP=$!
sleep 6
# The windows on the screen, twice a second: what was really open.
(while [ -e "$D/COM4" ]; do
   printf '%s %s\n' "$(hora)" "$(xwininfo -root -tree 2>/dev/null |
     grep -o '^     0x[0-9a-f]* "[^"]*": ([^)]*) *[0-9]*x[0-9]*' | tr '\n' '|')"
   sleep 0.5
 done > "$O/ventanas.log" 2>&1) &
VENTANA=$(xdotool search --name "Control de Accesos" | head -1)
echo "$(hora) ventana $VENTANA" > "$O/dialogos.log"
eval "$(xdotool getwindowgeometry --shell "$VENTANA")"
CX=$((X + 150)); CY=$((Y + 300))
abrir() { # name, then the keys pressed in the popup menu (none: the menu alone)
  local nombre=$1; shift
  xdotool mousemove $CX $CY click 3; sleep 0.7
  for k in "$@"; do xdotool key "$k"; sleep 0.3; done
  sleep 0.5
  echo "$(hora) abierto $nombre" >> "$O/dialogos.log"
}
cerrar() { xdotool key Escape; sleep 0.3; xdotool key Escape; echo "$(hora) cerrado $1" >> "$O/dialogos.log"; }
FIN=$(( $(date +%s) + DURACION ))
i=0
while [ "$(date +%s)" -lt $FIN ]; do
  case $((i % 5)) in
    0) abrir menu ;;
    1) abrir configuracion Down Down Down Down Return ;;
    2) abrir acercade Down Down Down Down Down Down Down Return ;;
    3) abrir abririmagen Down Right Return ;;
    4) abrir restaurar Down Down Right Down Return ;;
  esac
  sleep 12
  cerrar $i
  sleep 12
  i=$((i + 1))
done
kill $FP 2>/dev/null; sleep 1
kill -TERM $SP; wait $SP; echo "estacion rc $?" >> "$O/dialogos.log"
kill -INT $RP; wait $RP
kill $XP
