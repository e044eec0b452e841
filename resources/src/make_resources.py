#!/usr/bin/env python3
"""Regenerates the compiled-in images under resources/.

The build never runs this: the PNG, JPEG and ICO files it writes are committed.
Run it after changing a drawing here:

    python3 resources/src/make_resources.py [--preview DIR]

Needs rsvg-convert (Debian: librsvg2-bin), ImageMagick's convert (imagemagick),
the Tango icon theme (tango-icon-theme) and the DejaVu and URW fonts
(fonts-dejavu-core, fonts-urw-base35) for the splash picture.

Action icons that Tango has are copied from its 24 x 24 set unchanged; the rest
are drawn below in the same manner (flat shapes, 1 px dark outline, soft
gradient, transparent background), most of them as a Tango base with a small
badge in the lower right corner. The two axis markers are pixel art. With
--preview, contact sheets at 4x zoom on a light and a dark background are
written to DIR as well.
"""

import base64
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
RES = os.path.dirname(HERE)
TANGO = "/usr/share/icons/Tango/24x24"

# Tango palette.
BUTTER = ("#fce94f", "#edd400", "#c4a000")
ORANGE = ("#fcaf3e", "#f57900", "#ce5c00")
CHOCOLATE = ("#e9b96e", "#c17d11", "#8f5902")
CHAMELEON = ("#8ae234", "#73d216", "#4e9a06")
SKY = ("#729fcf", "#3465a4", "#204a87")
PLUM = ("#ad7fa8", "#75507b", "#5c3566")
SCARLET = ("#ef2929", "#cc0000", "#a40000")
ALU = ("#eeeeec", "#d3d7cf", "#babdb6", "#888a85", "#555753", "#2e3436")

# Action icons copied from Tango: our name -> Tango 24 x 24 file.
FROM_TANGO = {
    "new": "actions/document-new.png",
    "open": "actions/document-open.png",
    "save": "actions/document-save.png",
    "delete": "actions/edit-delete.png",
    "play": "actions/media-playback-start.png",
    "stop": "actions/media-playback-stop.png",
    "find": "actions/edit-find.png",
    "edittxt": "apps/accessories-text-editor.png",
}


def tango(path):
    return os.path.join(TANGO, path)


def run(*args):
    subprocess.run(args, check=True)


CONVERT = "/usr/bin/convert" if os.path.exists("/usr/bin/convert") else "convert"


# --------------------------------------------------------------------------
# SVG pieces. Coordinates are pixels of a 24 x 24 icon; 1 px strokes sit on
# half-pixel positions so they stay crisp.

class Svg:
    def __init__(self, w=24, h=24):
        self.w, self.h = w, h
        self.defs = []
        self.body = []
        self.n = 0

    def uid(self, stem):
        self.n += 1
        return "%s%d" % (stem, self.n)

    def vgrad(self, top, bottom, y1=0, y2=24, top_opacity=1, bottom_opacity=1):
        gid = self.uid("g")
        self.defs.append(
            '<linearGradient id="%s" gradientUnits="userSpaceOnUse" x1="0" y1="%g" x2="0" y2="%g">'
            '<stop offset="0" stop-color="%s" stop-opacity="%g"/>'
            '<stop offset="1" stop-color="%s" stop-opacity="%g"/></linearGradient>'
            % (gid, y1, y2, top, top_opacity, bottom, bottom_opacity))
        return "url(#%s)" % gid

    def dgrad(self, a, b, x1, y1, x2, y2):
        gid = self.uid("g")
        self.defs.append(
            '<linearGradient id="%s" gradientUnits="userSpaceOnUse" x1="%g" y1="%g" x2="%g" y2="%g">'
            '<stop offset="0" stop-color="%s"/><stop offset="1" stop-color="%s"/></linearGradient>'
            % (gid, x1, y1, x2, y2, a, b))
        return "url(#%s)" % gid

    def add(self, s):
        self.body.append(s)

    def image(self, png, x=0, y=0, w=24, h=24):
        with open(png, "rb") as f:
            data = base64.b64encode(f.read()).decode()
        self.add('<image x="%g" y="%g" width="%g" height="%g" '
                 'xlink:href="data:image/png;base64,%s"/>' % (x, y, w, h, data))

    def text(self):
        return ('<svg xmlns="http://www.w3.org/2000/svg" '
                'xmlns:xlink="http://www.w3.org/1999/xlink" width="%d" height="%d" '
                'viewBox="0 0 %d %d"><defs>%s</defs>%s</svg>'
                % (self.w, self.h, self.w, self.h, "".join(self.defs), "".join(self.body)))


def outlined(svg, shapes, fill, outline, width=1):
    """Draws several shapes as one figure: every outline first, then every
    fill on top, so the joins between the parts show no inner lines."""
    svg.add('<g fill="%s" stroke="%s" stroke-width="%g" stroke-linejoin="round">%s</g>'
            % (outline, outline, 2 * width, "".join(shapes)))
    svg.add('<g fill="%s" stroke="none">%s</g>' % (fill, "".join(shapes)))


# ---- badges (small pictures in the lower right corner of a base icon) ----

def badge_picture(svg, x, y):
    """A framed landscape, 12 x 10."""
    svg.add('<g transform="translate(%g,%g)">' % (x, y))
    svg.add('<rect x="0.5" y="0.5" width="11" height="9" fill="%s" stroke="%s"/>'
            % (svg.vgrad("#ffffff", ALU[1], y1=0, y2=10), ALU[5]))
    svg.add('<rect x="2" y="2" width="8" height="6" fill="%s"/>'
            % svg.vgrad(SKY[1], "#c5daf0", y1=2, y2=8))
    svg.add('<path d="M2,8 L2,6.2 C3.5,4.6 5,4.8 6.5,6 C7.5,5.2 8.8,5 10,5.6 L10,8 Z" fill="%s"/>'
            % svg.vgrad(CHAMELEON[0], CHAMELEON[2], y1=5, y2=8))
    svg.add('<circle cx="4" cy="3.8" r="1.1" fill="%s"/>' % BUTTER[0])
    svg.add('</g>')


def badge_palette(svg, x, y):
    """A painter's palette with four dabs of paint, 13 x 11."""
    svg.add('<g transform="translate(%g,%g)">' % (x, y))
    board = ('<path fill-rule="evenodd" d="M6.5,0.5 C10.2,0.5 12.5,2.6 12.5,5 '
             'C12.5,7.3 11.2,8 9.6,8 C8.4,8 8,8.6 8.2,9.3 C8.4,10.2 7.6,10.5 6.3,10.5 '
             'C2.9,10.5 0.5,8.3 0.5,5.4 C0.5,2.6 3,0.5 6.5,0.5 Z '
             'M3.6,6.4 a1.1,1.1 0 1,0 0.01,0 Z"/>')
    svg.add('<g fill="%s" stroke="%s">%s</g>'
            % (svg.vgrad(CHOCOLATE[0], CHOCOLATE[1], y1=0, y2=11), CHOCOLATE[2], board))
    for cx, cy, c in ((3.4, 3.4, SCARLET), (6.6, 2.5, SKY), (9.7, 3.3, BUTTER), (10.2, 6.0, CHAMELEON)):
        svg.add('<circle cx="%g" cy="%g" r="1.35" fill="%s" stroke="%s" stroke-width="0.6"/>'
                % (cx, cy, c[0], c[2]))
    svg.add('</g>')


def badge_note(svg, x, y):
    """Two beamed quavers, 12 x 11, green like Tango's audio file icon."""
    svg.add('<g transform="translate(%g,%g)">' % (x, y))
    shapes = [
        '<ellipse cx="3" cy="8.6" rx="2.4" ry="1.7" transform="rotate(-20 3 8.6)"/>',
        '<ellipse cx="9" cy="7.6" rx="2.4" ry="1.7" transform="rotate(-20 9 7.6)"/>',
        '<rect x="4.2" y="2.2" width="1.3" height="6.4"/>',
        '<rect x="10.2" y="1.2" width="1.3" height="6.4"/>',
        '<path d="M4.2,2.2 L11.5,0.8 L11.5,3 L4.2,4.4 Z"/>',
    ]
    outlined(svg, shapes, svg.vgrad(CHAMELEON[0], CHAMELEON[1], y1=0, y2=11), "#3a7304")
    svg.add('</g>')


def badge_plus(svg, x, y):
    """A green plus sign, 9 x 9."""
    svg.add('<g transform="translate(%g,%g)">' % (x, y))
    shape = ['<path d="M3,0.5 H6 V3 H8.5 V6 H6 V8.5 H3 V6 H0.5 V3 H3 Z"/>']
    svg.add('<g fill="none" stroke="#3a7304" stroke-width="1">%s</g>' % shape[0])
    svg.add('<g fill="%s">%s</g>' % (svg.vgrad(CHAMELEON[0], CHAMELEON[1], y1=0, y2=9), shape[0]))
    svg.add('<path d="M3.5,1.5 H5.5 V3.5 M1.5,3.5 H3.5" fill="none" stroke="#ffffff" stroke-opacity="0.5" stroke-width="1"/>')
    svg.add('</g>')


def badge_delete(svg, x, y):
    """A red disc with a white cross, 10 x 10."""
    svg.add('<g transform="translate(%g,%g)">' % (x, y))
    svg.add('<circle cx="5" cy="5" r="4.5" fill="%s" stroke="%s"/>'
            % (svg.vgrad(SCARLET[0], SCARLET[1], y1=0, y2=10), SCARLET[2]))
    svg.add('<path d="M3,3 L7,7 M7,3 L3,7" stroke="#ffffff" stroke-width="1.6" stroke-linecap="round"/>')
    svg.add('</g>')


def arrow(svg, d, head, colors, width=2.0):
    """A curved arrow: the stroke `d` ends under the triangle `head`. Drawn
    with a 1 px outline of colors[1] around a core of colors[0]."""
    svg.add('<path d="%s" fill="none" stroke="%s" stroke-width="%g" stroke-linecap="butt"/>'
            % (d, colors[1], width + 2))
    svg.add('<path d="%s" fill="%s" stroke="%s" stroke-width="2" stroke-linejoin="round"/>'
            % (head, colors[1], colors[1]))
    svg.add('<path d="%s" fill="none" stroke="%s" stroke-width="%g" stroke-linecap="butt"/>'
            % (d, colors[0], width))
    svg.add('<path d="%s" fill="%s"/>' % (head, colors[0]))


def loop_arrow(svg, cx, cy, r, colors, width=2.0, start=-70, end=215):
    """A clockwise arrow round (cx, cy) from angle `start` to `end` (degrees,
    0 = right, growing clockwise on screen)."""
    import math
    a0, a1 = math.radians(start), math.radians(end)
    x0, y0 = cx + r * math.cos(a0), cy + r * math.sin(a0)
    x1, y1 = cx + r * math.cos(a1), cy + r * math.sin(a1)
    large = 1 if (end - start) % 360 > 180 else 0
    d = "M%.2f,%.2f A%g,%g 0 %d,1 %.2f,%.2f" % (x0, y0, r, r, large, x1, y1)
    tx, ty = -math.sin(a1), math.cos(a1)     # direction of travel at the end
    nx, ny = math.cos(a1), math.sin(a1)      # outwards
    h = width * 1.25 + 0.6
    tip = (x1 + tx * h * 1.3, y1 + ty * h * 1.3)
    head = "M%.2f,%.2f L%.2f,%.2f L%.2f,%.2f Z" % (
        tip + (x1 + nx * h, y1 + ny * h) + (x1 - nx * h, y1 - ny * h))
    arrow(svg, d, head, colors, width)


# ---- collision boxes -----------------------------------------------------

RED_BOX = SCARLET
BLUE_BOX = SKY
# Pale tints for the inside of an unfilled box, so it reads on any background.
PALE = {RED_BOX: ("#fde4e4", "#f5b3b3"), BLUE_BOX: ("#e6eef8", "#b9cfea")}


def clsn_box(svg, x, y, w, h, colors, filled=False, opacity=1.0):
    """A collision box drawn as a 3 px frame: dark edge, bright core, dark edge."""
    svg.add('<g opacity="%g">' % opacity)
    if filled:
        inside = svg.vgrad(colors[0], colors[1], y1=y, y2=y + h)
    else:
        inside = svg.vgrad(PALE[colors][0], PALE[colors][1], y1=y, y2=y + h)
    svg.add('<rect x="%g" y="%g" width="%g" height="%g" fill="%s" stroke="%s"/>'
            % (x + 0.5, y + 0.5, w - 1, h - 1, inside, colors[2]))
    svg.add('<rect x="%g" y="%g" width="%g" height="%g" fill="none" stroke="%s"/>'
            % (x + 1.5, y + 1.5, w - 3, h - 3, colors[0]))
    svg.add('<rect x="%g" y="%g" width="%g" height="%g" fill="none" stroke="%s" stroke-opacity="0.6"/>'
            % (x + 2.5, y + 2.5, w - 5, h - 5, colors[2]))
    svg.add('</g>')


# ---- the drawn icons -----------------------------------------------------

def with_badge(base, badge, bx, by):
    def draw(svg):
        svg.image(tango(base))
        badge(svg, bx, by)
    return draw


def draw_addclsn(colors):
    def draw(svg):
        clsn_box(svg, 1, 2, 17, 17, colors)
        badge_plus(svg, 14, 14)
    return draw


def draw_delclsn(svg):
    clsn_box(svg, 1, 1, 13, 12, RED_BOX)
    clsn_box(svg, 6, 6, 13, 13, BLUE_BOX)
    badge_delete(svg, 13, 13)


def draw_clsntype(svg):
    clsn_box(svg, 1, 1, 10, 10, RED_BOX)
    clsn_box(svg, 13, 13, 10, 10, BLUE_BOX)
    # Two curved arrows: red box to blue box over the top right, and back
    # under the bottom left.
    arrow(svg, "M10.5,5.5 C15,5.5 17.5,6.5 17.5,10", "M14.5,9.5 L17.5,13 L20.5,9.5 Z", (ALU[0], ALU[5]), 1.6)
    arrow(svg, "M13.5,18.5 C9,18.5 6.5,17.5 6.5,14", "M9.5,14.5 L6.5,11 L3.5,14.5 Z", (ALU[0], ALU[5]), 1.6)


def draw_clsndef(svg):
    # The same box repeated on the frames that follow: ghosts behind, and in
    # front the filled look the renderer gives default boxes.
    clsn_box(svg, 7, 1, 16, 14, RED_BOX, opacity=0.35)
    clsn_box(svg, 4, 4, 16, 14, RED_BOX, opacity=0.6)
    clsn_box(svg, 1, 7, 16, 14, RED_BOX, filled=True)


def draw_switchcolor(svg):
    cells = (SCARLET, BUTTER, CHAMELEON, SKY)
    for i, c in enumerate(cells):
        x = 1 + i * 5.5
        svg.add('<rect x="%g" y="13.5" width="5" height="8" fill="%s" stroke="%s"/>'
                % (x + 0.5, svg.vgrad(c[0], c[1], y1=13, y2=22), c[2]))
    # Two opposed arrows above the cells.
    right = '<path d="M2.5,3.5 H16 V1 L21.5,4.5 L16,8 V5.5 H2.5 Z"/>'
    left = '<path d="M21.5,8.5 H8 V6 L2.5,9.5 L8,13 V10.5 H21.5 Z"/>'
    svg.add('<g fill="%s" stroke="%s" stroke-linejoin="round">%s</g>'
            % (svg.vgrad(ALU[3], ALU[4], y1=1, y2=8), ALU[5], right))
    svg.add('<g fill="%s" stroke="%s" stroke-linejoin="round">%s</g>'
            % (svg.vgrad(ALU[3], ALU[4], y1=6, y2=13), ALU[5], left))


def draw_colorpicker(svg):
    # An eyedropper lying corner to corner, bulb up right, tip down left,
    # with a drop of colour under the tip.
    svg.add('<g transform="rotate(-45 12 12)">')
    # glass tube, partly filled
    svg.add('<path d="M1.5,12 L5,9.5 H14.5 V14.5 H5 Z" fill="%s" stroke="%s" stroke-linejoin="round"/>'
            % (svg.vgrad("#ffffff", ALU[1], y1=10, y2=14), ALU[4]))
    svg.add('<path d="M2.8,12 L5.3,10.5 H10 V13.5 H5.3 Z" fill="%s"/>' % SKY[1])
    # collar
    svg.add('<rect x="14.5" y="8.5" width="3" height="7" rx="0.8" fill="%s" stroke="%s"/>'
            % (svg.vgrad(ALU[2], ALU[4], y1=8, y2=16), ALU[5]))
    # rubber bulb
    svg.add('<rect x="17.5" y="9.5" width="6" height="5" rx="2.2" fill="%s" stroke="%s"/>'
            % (svg.vgrad(SCARLET[0], SCARLET[2], y1=9, y2=15), "#7a0000"))
    svg.add('</g>')
    svg.add('<path d="M4,17 C4,18.2 5.6,19.6 5.6,20.9 A1.6,1.6 0 0,1 2.4,20.9 C2.4,19.6 4,18.2 4,17 Z" '
            'fill="%s" stroke="%s" stroke-width="0.8"/>' % (SKY[0], SKY[2]))


def draw_setcolor(svg):
    # A palette cell of a fresh colour, and a pencil writing into it.
    svg.add('<rect x="1.5" y="7.5" width="14" height="14" fill="%s" stroke="%s"/>'
            % (svg.vgrad(ORANGE[0], ORANGE[1], y1=7, y2=22), ORANGE[2]))
    svg.add('<rect x="2.5" y="8.5" width="12" height="12" fill="none" stroke="#ffffff" stroke-opacity="0.45"/>')
    svg.add('<g transform="rotate(45 16 8)">')
    # pencil along +x before rotation: tip at x=4, end at x=26 around y=8
    svg.add('<path d="M6.5,8 L10.5,5.5 H23.5 V10.5 H10.5 Z" fill="%s" stroke="%s" stroke-linejoin="round"/>'
            % (CHOCOLATE[0], CHOCOLATE[2]))
    svg.add('<path d="M6.5,8 L8.3,6.9 V9.1 Z" fill="%s"/>' % ALU[5])
    svg.add('<rect x="10.5" y="5.5" width="10" height="5" fill="%s" stroke="%s"/>'
            % (svg.vgrad(BUTTER[0], BUTTER[1], y1=5, y2=11), BUTTER[2]))
    svg.add('<rect x="20.5" y="5.5" width="3" height="5" fill="%s" stroke="%s"/>'
            % (svg.vgrad(PLUM[0], PLUM[1], y1=5, y2=11), PLUM[2]))
    svg.add('</g>')


def draw_playloop(svg):
    # A round arrow about a small play triangle drawn like Tango's.
    loop_arrow(svg, 12, 12, 8, (SKY[0], SKY[2]), width=2.4, start=-40, end=235)
    svg.add('<path d="M9.5,7.5 L16.5,12 L9.5,16.5 Z" fill="%s" stroke="%s" stroke-linejoin="round"/>'
            % (svg.vgrad("#ffffff", ALU[1], y1=7, y2=17), ALU[4]))


def draw_organizer(svg):
    # A flag planted on the frame where the loop starts, and an arrow that
    # comes back to it.
    svg.add('<rect x="3.5" y="1.5" width="2" height="21" fill="%s" stroke="%s"/>'
            % (svg.vgrad(ALU[2], ALU[4], y1=1, y2=23), ALU[5]))
    svg.add('<path d="M5.5,2.5 C9,1 11,4.5 15,3 C16.5,2.5 17.5,2.2 19.5,2.5 V11.5 '
            'C17.5,11.2 16.5,11.5 15,12 C11,13.5 9,10 5.5,11.5 Z" fill="%s" stroke="%s" stroke-linejoin="round"/>'
            % (svg.vgrad(CHAMELEON[0], CHAMELEON[1], y1=1, y2=13), CHAMELEON[2]))
    arrow(svg, "M20,12 C20,16.5 17,18 11,18", "M11.5,14.5 L7.5,18 L11.5,21.5 Z", (SKY[0], SKY[2]), 2.2)


# A 3 x 5 pixel font, enough for the label of the GIF icon.
PIXEL_FONT = {
    "G": ["111", "100", "101", "101", "111"],
    "I": ["111", "010", "010", "010", "111"],
    "F": ["111", "100", "110", "100", "100"],
}


def draw_gif(svg):
    svg.image(tango("mimetypes/image-x-generic.png"))
    # An orange label with "GIF" in white pixel letters.
    svg.add('<rect x="7.5" y="13.5" width="16" height="9" rx="1.5" fill="%s" stroke="%s"/>'
            % (svg.vgrad(ORANGE[0], ORANGE[1], y1=13, y2=23), ORANGE[2]))
    px = []
    for i, ch in enumerate("GIF"):
        for row, bits in enumerate(PIXEL_FONT[ch]):
            for col, b in enumerate(bits):
                if b == "1":
                    px.append('<rect x="%d" y="%d" width="1" height="1"/>' % (10 + i * 4 + col, 16 + row))
    svg.add('<g fill="%s" transform="translate(0.5,0.5)" opacity="0.55">%s</g>' % (ORANGE[2], "".join(px)))
    svg.add('<g fill="#ffffff">%s</g>' % "".join(px))


DRAWN = {
    "openimg": with_badge("actions/document-open.png", badge_picture, 12, 13),
    "saveimg": with_badge("actions/document-save.png", badge_picture, 12, 13),
    "duplimg": with_badge("actions/edit-copy.png", badge_picture, 12, 13),
    "openpal": with_badge("actions/document-open.png", badge_palette, 11, 13),
    "savepal": with_badge("actions/document-save.png", badge_palette, 11, 13),
    "duplpal": with_badge("actions/edit-copy.png", badge_palette, 11, 13),
    "opensound": with_badge("actions/document-open.png", badge_note, 12, 13),
    "savesound": with_badge("actions/document-save.png", badge_note, 12, 13),
    "duplsound": with_badge("actions/edit-copy.png", badge_note, 12, 13),
    "playloop": draw_playloop,
    "gif": draw_gif,
    "organizer": draw_organizer,
    "addclsn1": draw_addclsn(RED_BOX),
    "addclsn2": draw_addclsn(BLUE_BOX),
    "delclsn": draw_delclsn,
    "clsntype": draw_clsntype,
    "clsndef": draw_clsndef,
    "switchcolor": draw_switchcolor,
    "colorpicker": draw_colorpicker,
    "setcolor": draw_setcolor,
}


def render_svg(svg, out, tmp, w=None, h=None):
    src = os.path.join(tmp, os.path.basename(out) + ".svg")
    with open(src, "w") as f:
        f.write(svg.text())
    args = ["rsvg-convert", "-o", out]
    if w:
        args += ["-w", str(w), "-h", str(h)]
    run(*args, src)


def make_icons(tmp):
    outdir = os.path.join(RES, "icons")
    os.makedirs(outdir, exist_ok=True)
    for name, path in FROM_TANGO.items():
        shutil.copyfile(tango(path), os.path.join(outdir, name + ".png"))
    for name, draw in DRAWN.items():
        svg = Svg()
        draw(svg)
        render_svg(svg, os.path.join(outdir, name + ".png"), tmp)


# ---- the axis markers ------------------------------------------------------
# Pixel art, drawn unscaled and scaled by whole factors by the renderer. The
# centre pixel is the marked point. "." is transparent.

MARKERS = {
    # The sprite axis: a white cross with a black rim.
    "sff": ({"k": "#000000", "w": "#ffffff"}, [
        "....kkk....",
        "....kwk....",
        "....kwk....",
        "....kwk....",
        "kkkkkwkkkkk",
        "kwwwwwwwwwk",
        "kkkkkwkkkkk",
        "....kwk....",
        "....kwk....",
        "....kwk....",
        "....kkk....",
    ]),
    # The frame offset: a smaller orange saltire with a black rim, so the two
    # read as an asterisk when they sit on the same point.
    "air": ({"k": "#000000", "o": ORANGE[1]}, [
        ".k.....k.",
        "kok...kok",
        ".kok.kok.",
        "..kokok..",
        "...kok...",
        "..kokok..",
        ".kok.kok.",
        "kok...kok",
        ".k.....k.",
    ]),
}


def pixel_svg(colors, rows, scale=1):
    svg = Svg(len(rows[0]) * scale, len(rows) * scale)
    for y, row in enumerate(rows):
        for x, c in enumerate(row):
            if c != ".":
                svg.add('<rect x="%d" y="%d" width="%d" height="%d" fill="%s"/>'
                        % (x * scale, y * scale, scale, scale, colors[c]))
    return svg


def make_markers(tmp):
    outdir = os.path.join(RES, "imgs")
    os.makedirs(outdir, exist_ok=True)
    for name, (colors, rows) in MARKERS.items():
        assert len(rows) % 2 == 1 and all(len(r) == len(rows[0]) for r in rows)
        render_svg(pixel_svg(colors, rows), os.path.join(outdir, name + ".png"), tmp)


# ---- the application icon ----------------------------------------------------

# A chunky pixel "M" standing in a collision box, on a dark stage tile.
APP_M = [
    "11....11",
    "111..111",
    "11111111",
    "11.11.11",
    "11....11",
    "11....11",
    "11....11",
]


def app_icon_svg(size):
    svg = Svg(size, size)
    u = size / 16.0
    cell = max(1, int(size // 16))
    r = 2.5 * u
    svg.add('<rect x="0.5" y="0.5" width="%g" height="%g" rx="%g" fill="%s" stroke="%s"/>'
            % (size - 1, size - 1, r, svg.vgrad(ALU[4], ALU[5], y1=0, y2=size), "#1b1f20"))
    if size >= 32:
        svg.add('<rect x="1.5" y="1.5" width="%g" height="%g" rx="%g" fill="none" stroke="#ffffff" stroke-opacity="0.18"/>'
                % (size - 3, size - 3, r - 1))
    mw, mh = len(APP_M[0]) * cell, len(APP_M) * cell
    ox = (size - mw) // 2
    oy = (size - mh) // 2 + cell // 2 + (1 if size == 16 else 0)
    # The collision box round the letter, and an attack box reaching out.
    if size >= 32:
        pad = cell + 1
        svg.add('<rect x="%g" y="%g" width="%g" height="%g" fill="%s" fill-opacity="0.35" stroke="%s" stroke-width="%g"/>'
                % (ox - pad + 0.5, oy - pad + 0.5, mw + 2 * pad - 1, mh + 2 * pad - 1, SKY[1], SKY[0], max(1, cell // 2)))
        svg.add('<rect x="%g" y="%g" width="%g" height="%g" fill="%s" fill-opacity="0.30" stroke="%s" stroke-width="%g"/>'
                % (ox + mw - 2 * cell + 0.5, oy - pad - 3 * cell + 0.5 + cell, 4 * cell, 3 * cell, SCARLET[1], SCARLET[0], max(1, cell // 2)))
    else:
        svg.add('<rect x="%g" y="%g" width="%g" height="%g" fill="none" stroke="%s"/>'
                % (ox - 1.5, oy - 1.5, mw + 3, mh + 3, SKY[0]))
    shadow, body = [], []
    for y, row in enumerate(APP_M):
        for x, c in enumerate(row):
            if c == "1":
                shadow.append('<rect x="%d" y="%d" width="%d" height="%d"/>'
                              % (ox + x * cell + max(1, cell // 2), oy + y * cell + max(1, cell // 2), cell, cell))
                body.append('<rect x="%d" y="%d" width="%d" height="%d"/>'
                            % (ox + x * cell, oy + y * cell, cell, cell))
    svg.add('<g fill="#000000" fill-opacity="0.55">%s</g>' % "".join(shadow))
    svg.add('<g fill="%s">%s</g>' % (svg.vgrad("#ffffff", ALU[1], y1=oy, y2=oy + mh), "".join(body)))
    return svg


def make_app_icon(tmp):
    outdir = os.path.join(RES, "imgs")
    pngs = []
    for size in (16, 32, 48):
        png = os.path.join(tmp, "app%d.png" % size)
        render_svg(app_icon_svg(size), png, tmp)
        pngs.append(png)
    run(CONVERT, *pngs, os.path.join(outdir, "app.ico"))
    return pngs


# ---- the splash picture --------------------------------------------------------

SPLASH_W, SPLASH_H = 400, 250
# The program writes its notice in black on the bottom band, which must stay plain.
SPLASH_BAND = 36


def splash_svg():
    svg = Svg(SPLASH_W, SPLASH_H)
    band_y = SPLASH_H - SPLASH_BAND
    sky = svg.vgrad("#17212e", "#3a5574", y1=0, y2=band_y)
    svg.add('<rect width="%d" height="%d" fill="%s"/>' % (SPLASH_W, band_y, sky))
    glow = svg.uid("r")
    svg.defs.append('<radialGradient id="%s" cx="200" cy="150" r="210" gradientUnits="userSpaceOnUse">'
                    '<stop offset="0" stop-color="#8fb3d9" stop-opacity="0.35"/>'
                    '<stop offset="1" stop-color="#8fb3d9" stop-opacity="0"/></radialGradient>' % glow)
    svg.add('<rect width="%d" height="%d" fill="url(#%s)"/>' % (SPLASH_W, band_y, glow))
    # A faint floor grid, like a stage seen in the editor.
    lines = []
    for i in range(-12, 13):
        lines.append('<line x1="%g" y1="%d" x2="%g" y2="%d"/>' % (200 + i * 14, 150, 200 + i * 60, band_y))
    for k, y in enumerate((154, 160, 168, 179, 193, 211)):
        lines.append('<line x1="0" y1="%d" x2="%d" y2="%d"/>' % (y, SPLASH_W, y))
    svg.add('<g stroke="#9cc0e6" stroke-opacity="0.10" stroke-width="1">%s</g>' % "".join(lines))
    # Collision boxes round an unseen figure on the right, and its axis.
    svg.add('<g fill="none" stroke-width="1.5">'
            '<rect x="328.5" y="62.5" width="44" height="86" stroke="%s" stroke-opacity="0.55" fill="%s" fill-opacity="0.08"/>'
            '<rect x="336.5" y="40.5" width="26" height="24" stroke="%s" stroke-opacity="0.55"/>'
            '<rect x="366.5" y="78.5" width="30" height="16" stroke="%s" stroke-opacity="0.7" fill="%s" fill-opacity="0.12"/>'
            '</g>' % (SKY[0], SKY[0], SKY[0], SCARLET[0], SCARLET[0]))
    svg.add('<g stroke="#ffffff" stroke-opacity="0.7" stroke-width="1">'
            '<line x1="344" y1="149.5" x2="356" y2="149.5"/><line x1="350.5" y1="143" x2="350.5" y2="156"/></g>')
    # Title and subtitle.
    svg.add('<text x="32" y="112" font-family="P052" font-weight="bold" font-size="31" fill="#000000" '
            'fill-opacity="0.45">Quendar Morvane <tspan fill="#000000">9</tspan></text>'
            .replace('x="32" y="112"', 'x="33.5" y="113.5"'))
    svg.add('<text x="32" y="112" font-family="P052" font-weight="bold" font-size="31" fill="#f4f6f8">'
            'Quendar Morvane <tspan fill="%s">9</tspan></text>' % ORANGE[0])
    svg.add('<rect x="33" y="124" width="150" height="1.5" fill="%s" fill-opacity="0.8"/>' % ORANGE[0])
    svg.add('<text x="33" y="145" font-family="DejaVu Sans" font-size="12" fill="#c8d6e5">'
            'Character, Stage and Font editor for Mugen</text>')
    # A strip of palette colours above the plain band.
    stripe = (SCARLET[1], ORANGE[1], BUTTER[1], CHAMELEON[1], CHAMELEON[2], SKY[0], SKY[1], SKY[2],
              PLUM[0], PLUM[1], CHOCOLATE[0], CHOCOLATE[1], ALU[2], ALU[3], ALU[4], ALU[5])
    sw = SPLASH_W / len(stripe)
    for i, c in enumerate(stripe):
        svg.add('<rect x="%g" y="%d" width="%g" height="4" fill="%s"/>' % (i * sw, band_y - 4, sw + 0.5, c))
    svg.add('<rect x="0" y="%d" width="%d" height="%d" fill="#f3f3f0"/>' % (band_y, SPLASH_W, SPLASH_BAND))
    return svg


def make_splash(tmp):
    png = os.path.join(tmp, "splash.png")
    render_svg(splash_svg(), png, tmp)
    run(CONVERT, png, "-sampling-factor", "1x1", "-quality", "92",
        os.path.join(RES, "imgs", "Splash.jpg"))


def main():
    preview = None
    if len(sys.argv) == 3 and sys.argv[1] == "--preview":
        preview = sys.argv[2]
    with tempfile.TemporaryDirectory() as tmp:
        make_icons(tmp)
        make_markers(tmp)
        app_pngs = make_app_icon(tmp)
        make_splash(tmp)
        if preview:
            os.makedirs(preview, exist_ok=True)
            for png in app_pngs:
                shutil.copy(png, preview)
    if preview:
        os.makedirs(preview, exist_ok=True)
        names = sorted(FROM_TANGO) + sorted(DRAWN)
        files = [os.path.join(RES, "icons", n + ".png") for n in names]
        montage = CONVERT.replace("convert", "montage")
        for bg, tag in (("#e8e8e7", "light"), ("#3c3f41", "dark")):
            sheet = os.path.join(preview, "icons-%s.png" % tag)
            run(montage, *files, "-background", bg, "-tile", "7x", "-geometry", "+3+3", sheet)
            run(CONVERT, sheet, "-filter", "point", "-resize", "400%", sheet)
        print("preview order:", " ".join(names))


if __name__ == "__main__":
    main()
