#!/usr/bin/env python3
"""Figures of a run of scripts/demo-dialogos.sh: prints, pulses, pulse lengths on the wire,
dialogs opened (and seen on the screen), capture-to-pulse with and without a dialog open.
The capture time is when the feeder put the print in the reader's folder; the pulse is the
simulated board's relay change."""
import re
import statistics as st
import sys

carpeta = sys.argv[1] if len(sys.argv) > 1 else '/tmp/portiva-demo-dialogos'


def segundos(texto):
    h, m, s = texto.split(':')
    return int(h) * 3600 + int(m) * 60 + float(s)


soltadas = [segundos(l.split()[0]) for l in open(carpeta + '/lector.log') if 'en el lector' in l]
cambios = []
for l in open(carpeta + '/rele.log'):
    m = re.match(r'(\S+) reles .*\(byte (\d+)\)', l)
    if m:
        cambios.append((segundos(m.group(1)), int(m.group(2))))
REPOSO = (0, 2, 4, 5)
pulsos = []
i = 0
while i < len(cambios):
    if cambios[i][1] not in REPOSO:
        j = i + 1
        while j < len(cambios) and cambios[j][1] not in REPOSO:
            j += 1
        if j < len(cambios):
            pulsos.append((cambios[i][0], cambios[j][0]))
            i = j
    i += 1
abiertos, abierto = [], None
for l in open(carpeta + '/dialogos.log'):
    p = l.split()
    if len(p) > 2 and p[1] == 'abierto':
        abierto = (segundos(p[0]), p[2])
    elif len(p) > 2 and p[1] == 'cerrado' and abierto:
        abiertos.append((abierto[0], segundos(p[0]), abierto[1]))
        abierto = None
pantalla = [(segundos(l.split()[0]), l) for l in open(carpeta + '/ventanas.log') if l.strip()]
SENAL = {'menu': '205x230', 'configuracion': 'Configuraci', 'acercade': '220x100',
         'abririmagen': '"Abrir"', 'restaurar': 'Restaurar Copia'}
vistos = {}
for a, b, nombre in abiertos:
    visto = any(SENAL[nombre] in l for t, l in pantalla if a <= t <= b)
    v = vistos.setdefault(nombre, [0, 0])
    v[0] += visto
    v[1] += 1
con, sin, sinPulso, usados = [], [], 0, set()
for t in soltadas:
    cand = [k for k, (s, e) in enumerate(pulsos) if s >= t and k not in usados and s - t < 3.9]
    if not cand:
        sinPulso += 1
        continue
    usados.add(cand[0])
    dentro = any(a <= t <= b for a, b, _ in abiertos)
    (con if dentro else sin).append((pulsos[cand[0]][0] - t) * 1000)
largos = [(e - s) * 1000 for s, e in pulsos]
print('prints %d over %.0f s, pulses %d, prints without a pulse %d'
      % (len(soltadas), soltadas[-1] - soltadas[0], len(pulsos), sinPulso))
print('dialogs opened %d; seen on the screen / opened: %s' % (len(abiertos), vistos))
print('pulse length ms: min %.0f median %.0f max %.0f; outside 470-530: %d'
      % (min(largos), st.median(largos), max(largos), sum(1 for x in largos if not 470 <= x <= 530)))
for nombre, l in (('with a dialog', con), ('without', sin)):
    print('capture to pulse %s: n=%d, ms min %.0f median %.0f max %.0f'
          % (nombre, len(l), min(l), st.median(l), max(l)))
print('ratio of the medians, with / without: %.2f' % (st.median(con) / st.median(sin)))
