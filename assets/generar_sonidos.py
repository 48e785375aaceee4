#!/usr/bin/env python3
"""Writes the five access sounds assets/Sonidos/0.wav .. 4.wav (16-bit mono, 22050 Hz).

    0 manual opening   a neutral beep
    1 staff            a bright two-note chime
    2 member admitted  a rising three-note chime
    3 refused          a low double buzz
    4 unknown finger   a short low tone

Each note is a few harmonics under a soft attack and an exponential decay, so nothing clicks.
Run it again after changing a sound:  python3 assets/generar_sonidos.py
"""

import math
import os
import struct
import wave

TASA = 22050
CARPETA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "Sonidos")


def nota(frecuencia, duracion, armonicos=((1, 1.0),), ataque=0.008, caida=6.0, volumen=0.6):
    muestras = []
    n = int(TASA * duracion)
    for i in range(n):
        t = i / TASA
        env = min(1.0, t / ataque) * math.exp(-caida * t)
        # A short fade at the very end so a cut never clicks.
        env *= min(1.0, (n - i) / (TASA * 0.006))
        v = sum(a * math.sin(2 * math.pi * frecuencia * k * t) for k, a in armonicos)
        muestras.append(volumen * env * v / sum(a for _, a in armonicos))
    return muestras


def zumbido(frecuencia, duracion, volumen=0.45):
    """A soft square-ish buzz: odd harmonics only, gently enveloped."""
    armonicos = ((1, 1.0), (3, 0.33), (5, 0.2), (7, 0.14))
    return nota(frecuencia, duracion, armonicos, ataque=0.01, caida=2.5, volumen=volumen)


def silencio(duracion):
    return [0.0] * int(TASA * duracion)


def mezclar(*pistas):
    """Adds tracks given as (start seconds, samples)."""
    largo = max(int(inicio * TASA) + len(m) for inicio, m in pistas)
    salida = [0.0] * largo
    for inicio, m in pistas:
        desde = int(inicio * TASA)
        for i, v in enumerate(m):
            salida[desde + i] += v
    return salida


CAMPANA = ((1, 1.0), (2, 0.45), (3, 0.18), (4.2, 0.08))


def sonidos():
    return {
        0: nota(880, 0.18, ((1, 1.0), (2, 0.2)), caida=9.0, volumen=0.5),
        1: mezclar(
            (0.0, nota(1318.5, 0.35, CAMPANA, caida=7.0, volumen=0.45)),
            (0.11, nota(1975.5, 0.45, CAMPANA, caida=6.0, volumen=0.4)),
        ),
        2: mezclar(
            (0.0, nota(523.25, 0.40, CAMPANA, caida=6.0, volumen=0.45)),
            (0.12, nota(659.25, 0.40, CAMPANA, caida=6.0, volumen=0.45)),
            (0.24, nota(783.99, 0.55, CAMPANA, caida=4.5, volumen=0.45)),
        ),
        3: zumbido(155, 0.16) + silencio(0.07) + zumbido(155, 0.20),
        4: nota(220, 0.30, ((1, 1.0), (2, 0.35), (3, 0.12)), caida=7.0, volumen=0.6),
    }


def escribir(ruta, muestras):
    pico = max(1e-9, max(abs(v) for v in muestras))
    escala = min(1.0, 0.9 / pico)
    with wave.open(ruta, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(TASA)
        w.writeframes(b"".join(struct.pack("<h", int(v * escala * 32767)) for v in muestras))


def main():
    os.makedirs(CARPETA, exist_ok=True)
    for codigo, muestras in sonidos().items():
        escribir(os.path.join(CARPETA, f"{codigo}.wav"), muestras)
    print(f"5 sounds written to {CARPETA}")


if __name__ == "__main__":
    main()
