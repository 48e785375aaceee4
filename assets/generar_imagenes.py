#!/usr/bin/env python3
"""Writes the station's pictures as SVG files into assets/imagenes/.

Every picture is drawn here from simple shapes (circles, paths, gradients) so that the whole set
shares one look: round coloured badges for the access results and the tray, flat icons for the
record buttons, and grey twins for the disabled ones. Run it again after changing a drawing:

    python3 assets/generar_imagenes.py

Only SVG features that Qt's SVG renderer draws are used (no filters, no CSS).
"""

import math
import os
import re

CARPETA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "imagenes")


# ---------------------------------------------------------------------------------------------
# Helpers


def svg(ancho, alto, cuerpo, vista=None):
    vista = vista or f"0 0 {ancho} {alto}"
    return (
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        f'<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny" '
        f'width="{ancho}" height="{alto}" viewBox="{vista}">\n{cuerpo}</svg>\n'
    )


def gris(color):
    """The grey of the same lightness, a little lighter, for disabled twins."""
    r, g, b = (int(color[i : i + 2], 16) for i in (1, 3, 5))
    y = 0.299 * r + 0.587 * g + 0.114 * b
    y = int(min(255, y * 0.55 + 110))
    return f"#{y:02x}{y:02x}{y:02x}"


def agrisar(texto):
    """Turns every #rrggbb colour of a drawing into its grey."""
    return re.sub(r"#[0-9a-fA-F]{6}", lambda m: gris(m.group(0)), texto)


def atenuar(color, cuanto=0.72):
    """Mixes a colour with a light grey: the dimmed blink twins."""
    r, g, b = (int(color[i : i + 2], 16) for i in (1, 3, 5))
    base = 200
    r, g, b = (int(c * (1 - cuanto) + base * cuanto) for c in (r, g, b))
    return f"#{r:02x}{g:02x}{b:02x}"


def aclarar(color, cuanto):
    r, g, b = (int(color[i : i + 2], 16) for i in (1, 3, 5))
    r, g, b = (int(c + (255 - c) * cuanto) for c in (r, g, b))
    return f"#{r:02x}{g:02x}{b:02x}"


def oscurecer(color, cuanto):
    r, g, b = (int(color[i : i + 2], 16) for i in (1, 3, 5))
    r, g, b = (int(c * (1 - cuanto)) for c in (r, g, b))
    return f"#{r:02x}{g:02x}{b:02x}"


def arco(cx, cy, r, desde, hasta):
    """Path data of a circular arc, angles in degrees, 0 = right, growing clockwise."""
    a1, a2 = math.radians(desde), math.radians(hasta)
    x1, y1 = cx + r * math.cos(a1), cy + r * math.sin(a1)
    x2, y2 = cx + r * math.cos(a2), cy + r * math.sin(a2)
    grande = 1 if (hasta - desde) % 360 > 180 else 0
    return f"M{x1:.2f} {y1:.2f} A{r} {r} 0 {grande} 1 {x2:.2f} {y2:.2f}"


def huella(cx, cy, escala, color, ancho, opacidad=1.0):
    """A fingerprint drawn as broken concentric arcs around a small core."""
    trazos = [
        (2.2, 200, 340),
        (4.6, 170, 380),
        (7.0, 150, 300),
        (7.0, 320, 390),
        (9.4, 140, 250),
        (9.4, 270, 400),
        (11.8, 150, 230),
        (11.8, 250, 330),
        (11.8, 350, 385),
        (14.2, 175, 290),
        (14.2, 310, 360),
    ]
    d = " ".join(arco(cx, cy, r * escala, a, b) for r, a, b in trazos)
    # The ridges running down below the core.
    d += (
        f" M{cx - 4.6 * escala:.2f} {cy:.2f} q{0:.2f} {6 * escala:.2f} {2.5 * escala:.2f} {10 * escala:.2f}"
        f" M{cx + 2.2 * escala:.2f} {cy + 1 * escala:.2f} q{1 * escala:.2f} {5 * escala:.2f} {-1 * escala:.2f} {10 * escala:.2f}"
    )
    return (
        f'<path d="{d}" fill="none" stroke="{color}" stroke-width="{ancho}" '
        f'stroke-linecap="round" opacity="{opacidad}"/>\n'
    )


def insignia(color, simbolo, tam=48, sombra=True):
    """A round badge of one colour with a white symbol drawn in a 48 x 48 space."""
    claro, oscuro = aclarar(color, 0.35), oscurecer(color, 0.35)
    ident = color[1:]
    cuerpo = (
        f'<defs><linearGradient id="g{ident}" x1="0" y1="0" x2="0" y2="1">'
        f'<stop offset="0" stop-color="{claro}"/><stop offset="1" stop-color="{oscuro}"/>'
        f"</linearGradient></defs>\n"
    )
    if sombra:
        cuerpo += '<circle cx="24" cy="25.5" r="21.5" fill="#000000" opacity="0.22"/>\n'
    cuerpo += (
        f'<circle cx="24" cy="24" r="21" fill="url(#g{ident})" stroke="{oscuro}" stroke-width="1.5"/>\n'
        f'<ellipse cx="24" cy="14" rx="14" ry="7.5" fill="#ffffff" opacity="0.22"/>\n'
    )
    cuerpo += simbolo
    return svg(tam, tam, cuerpo, "0 0 48 48")


BLANCO = "#ffffff"


def trazo(d, color=BLANCO, ancho=4.5):
    return (
        f'<path d="{d}" fill="none" stroke="{color}" stroke-width="{ancho}" '
        f'stroke-linecap="round" stroke-linejoin="round"/>\n'
    )


def persona(cx, cy, escala, color, borde=None):
    b = f' stroke="{borde}" stroke-width="{1.2 * escala:.2f}"' if borde else ""
    return (
        f'<circle cx="{cx}" cy="{cy - 7 * escala:.2f}" r="{6 * escala:.2f}" fill="{color}"{b}/>\n'
        f'<path d="M{cx - 12 * escala:.2f} {cy + 12 * escala:.2f} '
        f"c0 -8 {5 * escala:.2f} -12 {12 * escala:.2f} -12 "
        f's{12 * escala:.2f} 4 {12 * escala:.2f} 12 z" fill="{color}"{b}/>\n'
    )


def estrella(cx, cy, r, color, borde):
    puntos = []
    for i in range(10):
        ang = math.radians(-90 + i * 36)
        rr = r if i % 2 == 0 else r * 0.45
        puntos.append(f"{cx + rr * math.cos(ang):.2f},{cy + rr * math.sin(ang):.2f}")
    return (
        f'<polygon points="{" ".join(puntos)}" fill="{color}" stroke="{borde}" '
        f'stroke-width="1" stroke-linejoin="round"/>\n'
    )


def candado(abierto):
    arco_d = "M17 23 v-5 a7 7 0 0 1 14 0 v5" if not abierto else "M17 23 v-5 a7 7 0 0 1 14 0 v-1"
    if abierto:
        arco_d = "M17 23 v-7 a7 7 0 0 1 14 0"
    return (
        trazo(arco_d, BLANCO, 3.6)
        + '<rect x="13" y="22" width="22" height="15" rx="3" fill="#ffffff"/>\n'
        + '<circle cx="24" cy="28.5" r="2.3" fill="#555555"/>\n'
        + '<rect x="23" y="29" width="2" height="4.5" fill="#555555"/>\n'
    )


# ---------------------------------------------------------------------------------------------
# The access results and station states (pictures 0-8 and the dimmed twins 11-13)

COLORES_ACCESO = {
    0: "#2f7fd0",  # manual opening: blue
    1: "#7246b8",  # staff: violet
    2: "#2e9e48",  # member admitted: green
    3: "#d23a2f",  # refused: red
    4: "#e08a1c",  # unknown finger: orange
    5: "#7c8791",  # reader missing: grey
    6: "#9b2b2b",  # fixed closed: dark red
    7: "#1f9a8a",  # fixed open: teal
    8: "#2563a8",  # fingerprint control ready: deep blue
}


def simbolo_acceso(codigo, grosor=4.5):
    if codigo == 0:  # a key: the door opened by hand
        return (
            f'<circle cx="16" cy="24" r="6" fill="none" stroke="#ffffff" stroke-width="{grosor * 0.8:.2f}"/>\n'
            + trazo("M22 24 H36 M31 24 v5 M35.5 24 v4", BLANCO, grosor * 0.8)
        )
    if codigo == 1:  # staff: a person with a gold star
        return persona(22, 25, 0.95, BLANCO) + estrella(33, 31, 6.5, "#ffd23f", "#b07d00")
    if codigo == 2:  # admitted: a tick
        return trazo("M14 25 L21 32 L34 16", BLANCO, grosor)
    if codigo == 3:  # refused: a cross
        return trazo("M16 16 L32 32 M32 16 L16 32", BLANCO, grosor)
    if codigo == 4:  # unknown finger: a faint print and a question mark
        return huella(24, 25, 1.0, BLANCO, 1.6, 0.4) + trazo(
            "M18.5 18 a5.7 5.7 0 1 1 8.5 5 c-2 1.2 -3 2.4 -3 4.8", BLANCO, grosor * 0.9
        ) + '<circle cx="24" cy="34.3" r="2.6" fill="#ffffff"/>\n'
    if codigo == 5:  # reader missing: a print with a warning mark
        return (
            huella(22, 24, 1.0, BLANCO, 1.8)
            + '<circle cx="34" cy="33" r="7" fill="#ffcc33" stroke="#8a6500" stroke-width="1"/>\n'
            + trazo("M34 29 v4.5", "#5a4000", 2.4)
            + '<circle cx="34" cy="36.6" r="1.3" fill="#5a4000"/>\n'
        )
    if codigo == 6:
        return candado(False)
    if codigo == 7:
        return candado(True)
    if codigo == 8:  # ready: a clean fingerprint
        return huella(24, 24, 1.05, BLANCO, 2.0)
    raise ValueError(codigo)


def imagenes_acceso(escribir):
    for codigo, color in COLORES_ACCESO.items():
        escribir(f"TipoDeAcceso{codigo}.svg", insignia(color, simbolo_acceso(codigo)))
    # 11, 12, 13: the same as 5, 6, 7, washed out, shown in turn with them to make them blink.
    for codigo, base in ((11, 5), (12, 6), (13, 7)):
        dibujo = insignia(atenuar(COLORES_ACCESO[base]), simbolo_acceso(base), sombra=False)
        dibujo = dibujo.replace('fill="#ffffff"', 'fill="#f4f4f4"')
        escribir(f"TipoDeAcceso{codigo}.svg", dibujo)


def imagenes_bandeja(escribir):
    # Tray icons are shown small: no shadow, a thicker symbol.
    for codigo, color in COLORES_ACCESO.items():
        escribir(f"SysTray{codigo}.svg", insignia(color, simbolo_acceso(codigo, 5.5), 32, False))
    escribir("SysTray9.svg", icono_programa(32))


# ---------------------------------------------------------------------------------------------
# The window's icon and title bar


def icono_programa(tam=64):
    cuerpo = (
        '<defs><linearGradient id="escudo" x1="0" y1="0" x2="0" y2="1">'
        '<stop offset="0" stop-color="#4f93d8"/><stop offset="1" stop-color="#1c4f8a"/>'
        "</linearGradient></defs>\n"
        '<path d="M24 2 L42 8 V22 C42 34 34 42 24 46 C14 42 6 34 6 22 V8 Z" '
        'fill="url(#escudo)" stroke="#163e6c" stroke-width="1.5" stroke-linejoin="round"/>\n'
        '<path d="M24 4.5 L39.5 9.7 V16 C33 13 15 13 8.5 16 V9.7 Z" fill="#ffffff" opacity="0.2"/>\n'
        + huella(24, 25, 1.0, "#ffffff", 2.0)
    )
    return svg(tam, tam, cuerpo, "0 0 48 48")


def barra_titulo():
    ancho, alto = 775, 37
    cuerpo = (
        '<defs><linearGradient id="barra" x1="0" y1="0" x2="0" y2="1">'
        '<stop offset="0" stop-color="#3d6fa8"/><stop offset="0.55" stop-color="#1f4a7e"/>'
        '<stop offset="1" stop-color="#163a66"/></linearGradient>'
        '<linearGradient id="brillo" x1="0" y1="0" x2="1" y2="0">'
        '<stop offset="0" stop-color="#ffffff" stop-opacity="0.0"/>'
        '<stop offset="0.5" stop-color="#ffffff" stop-opacity="0.35"/>'
        '<stop offset="1" stop-color="#ffffff" stop-opacity="0.0"/></linearGradient></defs>\n'
        f'<rect x="0" y="0" width="{ancho}" height="{alto}" fill="url(#barra)"/>\n'
        f'<rect x="0" y="0" width="{ancho}" height="1" fill="#7fa8d6"/>\n'
        f'<rect x="0" y="{alto - 2}" width="{ancho}" height="2" fill="url(#brillo)"/>\n'
        # A small shield at the left, and a faint print watermark at each end of the bar.
        '<g transform="translate(6,4) scale(0.6)">'
        '<path d="M24 2 L42 8 V22 C42 34 34 42 24 46 C14 42 6 34 6 22 V8 Z" fill="#ffffff" opacity="0.95"/>'
        + huella(24, 25, 1.0, "#1f4a7e", 2.4)
        + "</g>\n"
        + '<g opacity="0.12">'
        + huella(300, 18, 1.6, "#ffffff", 2.0)
        + huella(690, 18, 1.6, "#ffffff", 2.0)
        + "</g>\n"
    )
    return svg(ancho, alto, cuerpo)


def botones_ventana(escribir):
    cerrar = (
        '<defs><linearGradient id="c" x1="0" y1="0" x2="0" y2="1">'
        '<stop offset="0" stop-color="#ef7064"/><stop offset="1" stop-color="#b8281d"/>'
        "</linearGradient></defs>\n"
        '<rect x="1" y="1" width="22" height="22" rx="5" fill="url(#c)" stroke="#7d1a12" stroke-width="1"/>\n'
        + trazo("M8 8 L16 16 M16 8 L8 16", BLANCO, 2.6)
    )
    minim = (
        '<defs><linearGradient id="m" x1="0" y1="0" x2="0" y2="1">'
        '<stop offset="0" stop-color="#8fb6e0"/><stop offset="1" stop-color="#3f6fa6"/>'
        "</linearGradient></defs>\n"
        '<rect x="1" y="1" width="22" height="22" rx="5" fill="url(#m)" stroke="#23466f" stroke-width="1"/>\n'
        + trazo("M7 16.5 H17", BLANCO, 2.8)
    )
    escribir("Close.svg", svg(24, 24, cerrar))
    escribir("Minim.svg", svg(24, 24, minim))


# ---------------------------------------------------------------------------------------------
# Switches and fold arrows


def boton_redondo(color, simbolo, ident):
    claro, oscuro = aclarar(color, 0.45), oscurecer(color, 0.3)
    return svg(
        32,
        32,
        f'<defs><linearGradient id="{ident}" x1="0" y1="0" x2="0" y2="1">'
        f'<stop offset="0" stop-color="{claro}"/><stop offset="1" stop-color="{oscuro}"/>'
        "</linearGradient></defs>\n"
        f'<circle cx="16" cy="16.8" r="14" fill="#000000" opacity="0.18"/>\n'
        f'<circle cx="16" cy="16" r="14" fill="url(#{ident})" stroke="{oscuro}" stroke-width="1"/>\n'
        f'<ellipse cx="16" cy="9.5" rx="9" ry="4.5" fill="#ffffff" opacity="0.25"/>\n' + simbolo,
    )


def flechas(escribir):
    azul = "#3b78c0"
    derecha = trazo("M10 10 L15 16 L10 22 M17 10 L22 16 L17 22", BLANCO, 2.8)
    izquierda = trazo("M22 10 L17 16 L22 22 M15 10 L10 16 L15 22", BLANCO, 2.8)
    abajo = trazo("M10 10 L16 15 L22 10 M10 17 L16 22 L22 17", BLANCO, 2.8)
    arriba = trazo("M10 22 L16 17 L22 22 M10 15 L16 10 L22 15", BLANCO, 2.8)
    escribir("DesplegarInfo.svg", boton_redondo(azul, derecha, "a"))
    escribir("RecogerInfo.svg", boton_redondo(azul, izquierda, "a"))
    escribir("DesplegarBuscar.svg", boton_redondo(azul, abajo, "a"))
    escribir("RecogerBuscar.svg", boton_redondo(azul, arriba, "a"))

    altavoz = '<path d="M7 13 H11 L16.5 8.5 V23.5 L11 19 H7 Z" fill="#ffffff"/>\n'
    ondas = trazo("M19.5 12.5 a5 5 0 0 1 0 7 M22.5 9.5 a9.5 9.5 0 0 1 0 13", BLANCO, 2.0)
    cruz = trazo("M19.5 12.5 L25.5 19.5 M25.5 12.5 L19.5 19.5", "#ffdddd", 2.4)
    escribir("SoundOn.svg", boton_redondo("#2e9e48", altavoz + ondas, "s"))
    escribir("SoundOff.svg", boton_redondo("#9a9a9a", altavoz + cruz, "s"))


# ---------------------------------------------------------------------------------------------
# Record buttons, each with its grey twin


def insignia_pequena(cx, cy, color, simbolo):
    return (
        f'<circle cx="{cx}" cy="{cy}" r="8.5" fill="{color}" stroke="{oscurecer(color, 0.35)}" stroke-width="1.2"/>\n'
        + simbolo
    )


def botones_registro(escribir):
    azul, piel = "#2f6db5", "#3f7fc8"
    nuevo = persona(20, 25, 1.05, piel, "#1d4f8a") + insignia_pequena(
        34, 33, "#2e9e48", trazo("M34 28.5 V37.5 M29.5 33 H38.5", BLANCO, 2.6)
    )
    editar = (
        persona(18, 25, 1.05, piel, "#1d4f8a")
        + '<g transform="rotate(45 33 29)">'
        + '<rect x="30" y="14" width="7" height="22" rx="1" fill="#f2a33a" stroke="#9a5d0c" stroke-width="1.2"/>\n'
        + '<path d="M30 36 L33.5 42 L37 36 Z" fill="#f6deb4" stroke="#9a5d0c" stroke-width="1.2" stroke-linejoin="round"/>\n'
        + '<rect x="30" y="14" width="7" height="4" fill="#d9534f" stroke="#9a5d0c" stroke-width="1.2"/>\n'
        + "</g>\n"
    )
    borrar = persona(20, 25, 1.05, piel, "#1d4f8a") + insignia_pequena(
        34, 33, "#d23a2f", trazo("M30.5 29.5 L37.5 36.5 M37.5 29.5 L30.5 36.5", BLANCO, 2.6)
    )
    deshacer = (
        '<path d="M14 20 H30 a9.5 9.5 0 0 1 0 19 H20" fill="none" stroke="#e08a1c" '
        'stroke-width="6" stroke-linecap="round" stroke-linejoin="round"/>\n'
        '<path d="M6 20 L17 10.5 V29.5 Z" fill="#e08a1c" stroke="#9a5d0c" stroke-width="1.2" stroke-linejoin="round"/>\n'
        '<path d="M14 20 H30 a9.5 9.5 0 0 1 0 19 H20" fill="none" stroke="#ffffff" '
        'stroke-width="1.4" stroke-linecap="round" opacity="0.35"/>\n'
    )
    guardar = (
        f'<rect x="7" y="7" width="34" height="34" rx="4" fill="{azul}" stroke="#17406e" stroke-width="1.5"/>\n'
        '<rect x="14" y="7" width="18" height="12" fill="#e8eef5" stroke="#17406e" stroke-width="1"/>\n'
        f'<rect x="26" y="9" width="4" height="8" fill="{azul}"/>\n'
        '<rect x="12" y="25" width="24" height="14" rx="1.5" fill="#ffffff" stroke="#17406e" stroke-width="1"/>\n'
        + trazo("M16 30 H32 M16 34 H28", "#9fb5cf", 1.6)
        + insignia_pequena(37, 37, "#2e9e48", trazo("M33 37 L36 40 L41 34", BLANCO, 2.4))
    )
    for nombre, dibujo in (
        ("NuevoCliente", nuevo),
        ("EditarCliente", editar),
        ("BorrarCliente", borrar),
        ("DeshacerEdicion", deshacer),
        ("GuardarCliente", guardar),
    ):
        escribir(f"{nombre}.svg", svg(48, 48, dibujo))
        escribir(f"{nombre}Disabled.svg", svg(48, 48, agrisar(dibujo)))


# ---------------------------------------------------------------------------------------------
# Member status pictures (1 staff, 2 active member, 3 may not pass, 4 nobody to judge)


def estado_usuario(escribir):
    personal = persona(20, 26, 1.0, "#7246b8", "#44297a") + estrella(34, 34, 7, "#ffd23f", "#b07d00")
    activo = persona(20, 26, 1.0, "#2f7fd0", "#1d4f8a") + insignia_pequena(
        34, 34, "#2e9e48", trazo("M30 34 L33 37 L38 31", BLANCO, 2.4)
    )
    vetado = persona(20, 26, 1.0, "#2f7fd0", "#1d4f8a") + insignia_pequena(
        34, 34, "#d23a2f", trazo("M30.5 30.5 L37.5 37.5 M37.5 30.5 L30.5 37.5", BLANCO, 2.4)
    )
    nadie = persona(20, 26, 1.0, "#c8ced6", "#8a939e") + insignia_pequena(
        34, 34, "#8a939e", trazo("M31.6 31.5 a2.6 2.6 0 1 1 3.4 2.6 v1.4", BLANCO, 2.0)
        + '<circle cx="35" cy="38.3" r="1.3" fill="#ffffff"/>\n'
    )
    for indice, dibujo in ((1, personal), (2, activo), (3, vetado), (4, nadie)):
        escribir(f"UserDB{indice}.svg", svg(48, 48, dibujo))


# ---------------------------------------------------------------------------------------------
# Placeholders: no photo, fingerprint not shown


def marcadores(escribir):
    sin_foto = (
        '<defs><linearGradient id="f" x1="0" y1="0" x2="0" y2="1">'
        '<stop offset="0" stop-color="#eef2f6"/><stop offset="1" stop-color="#cdd6e0"/>'
        "</linearGradient></defs>\n"
        '<rect x="0.5" y="0.5" width="95" height="121" fill="url(#f)" stroke="#9aa7b5"/>\n'
        '<circle cx="48" cy="46" r="19" fill="#aab6c3"/>\n'
        '<path d="M14 121.5 C14 90 30 74 48 74 S82 90 82 121.5 Z" fill="#aab6c3"/>\n'
    )
    escribir("NoFoto.svg", svg(96, 122, sin_foto))
    sin_huella = (
        '<defs><radialGradient id="h" cx="0.5" cy="0.45" r="0.7">'
        '<stop offset="0" stop-color="#3a4d63"/><stop offset="1" stop-color="#1b2734"/>'
        "</radialGradient></defs>\n"
        '<rect x="0" y="0" width="126" height="206" rx="6" fill="url(#h)"/>\n'
        '<rect x="0.5" y="0.5" width="125" height="205" rx="6" fill="none" stroke="#0e151d"/>\n'
        + huella(63, 100, 3.4, "#9fb8d3", 3.2, 0.35)
    )
    escribir("NoMostrar.svg", svg(126, 206, sin_huella))


# ---------------------------------------------------------------------------------------------
# Small tools: find, search, report, calendar, photo folder, move buttons


def herramientas(escribir):
    lupa = (
        '<circle cx="10" cy="10" r="6.2" fill="#e6f0fa" stroke="#2f6db5" stroke-width="2.4"/>\n'
        + trazo("M14.6 14.6 L21 21", "#2f6db5", 3.4)
        + '<ellipse cx="8.4" cy="8" rx="2.6" ry="1.6" fill="#ffffff" opacity="0.8"/>\n'
    )
    escribir("Find.svg", svg(24, 24, lupa))

    buscar = (
        '<rect x="1" y="1" width="30" height="30" rx="6" fill="#e9f1fa" stroke="#2f6db5" stroke-width="1.5"/>\n'
        '<circle cx="13.5" cy="13.5" r="7" fill="#ffffff" stroke="#2f6db5" stroke-width="2.6"/>\n'
        + trazo("M18.8 18.8 L25.5 25.5", "#2f6db5", 3.8)
    )
    informe = (
        '<rect x="1" y="1" width="30" height="30" rx="6" fill="#e9f1fa" stroke="#2f6db5" stroke-width="1.5"/>\n'
        '<rect x="10" y="5.5" width="12" height="8" fill="#ffffff" stroke="#4a5866" stroke-width="1.2"/>\n'
        '<rect x="5.5" y="12.5" width="21" height="10" rx="2" fill="#5d6d7e" stroke="#34404c" stroke-width="1.2"/>\n'
        '<rect x="9.5" y="19" width="13" height="8.5" fill="#ffffff" stroke="#4a5866" stroke-width="1.2"/>\n'
        + trazo("M12 22 H20 M12 24.8 H18", "#9fb5cf", 1.2)
        + '<circle cx="23.5" cy="15.5" r="1.2" fill="#7be07b"/>\n'
    )
    escribir("Buscar.svg", svg(32, 32, buscar))
    escribir("BuscarGris.svg", svg(32, 32, agrisar(buscar)))
    escribir("Report.svg", svg(32, 32, informe))
    escribir("ReportGris.svg", svg(32, 32, agrisar(informe)))

    calendario = (
        '<rect x="2.5" y="4.5" width="19" height="17" rx="2" fill="#ffffff" stroke="#4a5866" stroke-width="1.2"/>\n'
        '<rect x="2.5" y="4.5" width="19" height="5" rx="2" fill="#d23a2f"/>\n'
        + trazo("M7 2.5 V6.5 M17 2.5 V6.5", "#4a5866", 1.8)
        + "".join(
            f'<rect x="{5 + c * 4}" y="{11.5 + f * 3.3:.1f}" width="2.4" height="2" fill="#7c8791"/>\n'
            for f in range(3)
            for c in range(4)
        )
    )
    escribir("Calend.svg", svg(24, 24, calendario))

    carpeta = (
        '<path d="M2 6.5 a1.5 1.5 0 0 1 1.5 -1.5 H9 L11 7 H20.5 a1.5 1.5 0 0 1 1.5 1.5 V19 '
        'a1.5 1.5 0 0 1 -1.5 1.5 H3.5 A1.5 1.5 0 0 1 2 19 Z" fill="#f2c14e" stroke="#a57a12" stroke-width="1"/>\n'
        '<rect x="7" y="10" width="11" height="8" fill="#ffffff" stroke="#4a5866" stroke-width="0.8"/>\n'
        '<path d="M7.5 17.5 L10.5 13.5 L13 16 L14.5 14.5 L17.5 17.5 Z" fill="#2e9e48"/>\n'
        '<circle cx="15.3" cy="12.2" r="1" fill="#e08a1c"/>\n'
    )
    escribir("FotoPath.svg", svg(24, 24, carpeta))

    # Move buttons: first, previous, next, last.
    color = "#2f4f73"
    formas = {
        0: '<rect x="3" y="3" width="2" height="10" fill="C"/><path d="M13 3 L6 8 L13 13 Z" fill="C"/>',
        1: '<path d="M11.5 3 L4.5 8 L11.5 13 Z" fill="C"/>',
        2: '<path d="M4.5 3 L11.5 8 L4.5 13 Z" fill="C"/>',
        3: '<rect x="11" y="3" width="2" height="10" fill="C"/><path d="M3 3 L10 8 L3 13 Z" fill="C"/>',
    }
    for indice, forma in formas.items():
        escribir(f"Mover{indice}.svg", svg(16, 16, forma.replace('"C"', f'"{color}"') + "\n"))


# ---------------------------------------------------------------------------------------------


def main():
    os.makedirs(CARPETA, exist_ok=True)
    escritos = []

    def escribir(nombre, contenido):
        with open(os.path.join(CARPETA, nombre), "w", encoding="utf-8") as f:
            f.write(contenido)
        escritos.append(nombre)

    imagenes_acceso(escribir)
    imagenes_bandeja(escribir)
    escribir("Portiva.svg", icono_programa())
    escribir("MyTitleBar.svg", barra_titulo())
    botones_ventana(escribir)
    flechas(escribir)
    botones_registro(escribir)
    estado_usuario(escribir)
    marcadores(escribir)
    herramientas(escribir)
    print(f"{len(escritos)} pictures written to {CARPETA}")


if __name__ == "__main__":
    main()
