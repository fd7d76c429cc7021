#!/usr/bin/python3
"""Builds the TrueType font "Tengwar Quenya" (Medium) from resources/font/.

    python3 tools/buildfont.py [--output FILE]

writes resources/font/quenya.ttf by default. The glyphs come from
resources/font/glyphs.py; each glyph's strokes and dots are united into
non-overlapping outlines (outer contours clockwise, counters anticlockwise)
and written as quadratic TrueType contours. The outlines are then hinted by
ttfautohint, so that stems snap to whole pixels at text sizes, and a gasp
table asks for grid-fitting and smoothing. The build is reproducible: the same
sources give the same bytes (the timestamps are fixed).

Needs Debian's python3-fonttools, python3-shapely and ttfautohint.
"""

import argparse
import math
import os
import shutil
import subprocess
import sys
import tempfile

from fontTools.feaLib.builder import addOpenTypeFeaturesFromString
from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import TTFont, newTable
from shapely import affinity
from shapely.geometry import LineString, MultiPolygon, Point, Polygon
from shapely.geometry.polygon import orient
from shapely.ops import unary_union

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FONT_DIR = os.path.join(ROOT, "resources", "font")
sys.dont_write_bytecode = True  # keep the source folder clean
sys.path.insert(0, FONT_DIR)

import glyphs  # noqa: E402  (the glyph source lives in resources/font)
import hand  # noqa: E402

FAMILY = "Tengwar Quenya"
STYLE = "Medium"
VERSION = "Version 1.000"
# The licence every copy of the font carries in its name table, as the Open
# Font License asks; the copyright line is the first line of the licence file
# beside the sources.
LICENCE_FILE = os.path.join(FONT_DIR, "OFL.txt")
LICENCE_URL = "https://openfontlicense.org"
LICENCE_DESCRIPTION = (
    "This Font Software is licensed under the SIL Open Font License, Version 1.1. "
    f"This license is available with a FAQ at: {LICENCE_URL}"
)
# 2026-01-01 00:00:00 UTC in seconds since 1904-01-01, the font's epoch.
TIMESTAMP = 3850329600

UNITS_PER_EM = 1000
ASCENT = 900
DESCENT = -400

# Vertices closer than this to a straight line are dropped before the outline is written.
SIMPLIFY = 0.6
# A vertex where the outline turns by more than this (degrees) is a corner.
CORNER_ANGLE = 28.0
# An edge longer than this is straight: its ends are on-curve points.
STRAIGHT_EDGE = 28.0

# gasp: (largest size in pixels per em, behaviour). Below 9 px the hints would
# only distort the letters, so those sizes are smoothed without grid-fitting.
GASP_DOGRAY, GASP_GRIDFIT, GASP_SYMMETRIC_GRIDFIT, GASP_SYMMETRIC_SMOOTHING = 2, 1, 4, 8
GASP = {
    8: GASP_DOGRAY | GASP_SYMMETRIC_SMOOTHING,
    0xFFFF: GASP_GRIDFIT | GASP_DOGRAY | GASP_SYMMETRIC_GRIDFIT | GASP_SYMMETRIC_SMOOTHING,
}


def ink(glyph):
    """The glyph's inked area as one shapely geometry."""
    parts = []
    # The pen is an upright oval: stroke the centre line stretched upwards by
    # the contrast with a round pen, then squash the ink back.
    k = hand.CONTRAST
    for pts, width, cap in glyph.strokes:
        style = 1 if cap == "round" else 2
        tall = [(x, y * k) for x, y in pts]
        if len(tall) == 1:
            shape = Point(tall[0]).buffer(width / 2, resolution=24)
        else:
            shape = LineString(tall).buffer(width / 2, resolution=24, cap_style=style, join_style=1)
        parts.append(affinity.scale(shape, 1.0, 1.0 / k, origin=(0, 0)))
    for x, y, r in glyph.dots:
        parts.append(Point(x, y).buffer(r, resolution=24))
    for corners in glyph.polygons:
        parts.append(Polygon(corners))
    if not parts:
        return None
    shape = unary_union(parts).simplify(SIMPLIFY, preserve_topology=True)
    return shape


def polygons_of(shape):
    if shape is None or shape.is_empty:
        return []
    if isinstance(shape, Polygon):
        return [shape]
    if isinstance(shape, MultiPolygon):
        return list(shape.geoms)
    return [g for g in getattr(shape, "geoms", []) if isinstance(g, Polygon)]


def turn_angle(a, b, c):
    ux, uy = b[0] - a[0], b[1] - a[1]
    vx, vy = c[0] - b[0], c[1] - b[1]
    lu, lv = math.hypot(ux, uy), math.hypot(vx, vy)
    if lu == 0 or lv == 0:
        return 180.0
    cos = max(-1.0, min(1.0, (ux * vx + uy * vy) / (lu * lv)))
    return math.degrees(math.acos(cos))


def draw_ring(pen, coords):
    """Draws one closed ring: corners and the ends of straight edges on the curve,
    the dense points of curved stretches as quadratic control points."""
    pts = []
    for x, y in coords[:-1]:  # shapely repeats the first point at the end
        p = (int(round(x)), int(round(y)))
        if not pts or pts[-1] != p:
            pts.append(p)
    while len(pts) > 1 and pts[0] == pts[-1]:
        pts.pop()
    n = len(pts)
    if n < 3:
        return
    on = []
    for i in range(n):
        a, b, c = pts[i - 1], pts[i], pts[(i + 1) % n]
        long_edge = math.dist(a, b) > STRAIGHT_EDGE or math.dist(b, c) > STRAIGHT_EDGE
        on.append(long_edge or turn_angle(a, b, c) > CORNER_ANGLE)
    if not any(on):
        pen.qCurveTo(*pts, None)
        pen.closePath()
        return
    start = on.index(True)
    pts = pts[start:] + pts[:start]
    on = on[start:] + on[:start]
    pen.moveTo(pts[0])
    pending = []
    for p, is_on in zip(pts[1:] + [pts[0]], on[1:] + [on[0]]):
        if is_on:
            if pending:
                pen.qCurveTo(*pending, p)
                pending = []
            else:
                pen.lineTo(p)
        else:
            pending.append(p)
    pen.closePath()


def tt_glyph(glyph):
    pen = TTGlyphPen(None)
    for poly in polygons_of(ink(glyph)):
        poly = orient(poly, sign=-1.0)  # exterior clockwise, holes anticlockwise (y up)
        draw_ring(pen, list(poly.exterior.coords))
        for hole in poly.interiors:
            draw_ring(pen, list(hole.coords))
    return pen.glyph()


def notdef():
    g = hand.Glyph(420)
    g.fill([(50, 0), (50, 700), (370, 700), (370, 0)])
    pen = TTGlyphPen(None)
    pen.moveTo((50, 0))
    pen.lineTo((50, 700))
    pen.lineTo((370, 700))
    pen.lineTo((370, 0))
    pen.closePath()
    pen.moveTo((110, 60))
    pen.lineTo((310, 60))
    pen.lineTo((310, 640))
    pen.lineTo((110, 640))
    pen.closePath()
    return pen.glyph(), 420


glyph_name = glyphs.glyph_name


def copyright_line():
    """The licence file's first line, "Copyright <year> <holder>"."""
    with open(LICENCE_FILE, encoding="utf-8") as licence:
        line = licence.readline().strip()
    if not line.startswith("Copyright "):
        sys.exit(f"buildfont.py: {LICENCE_FILE} does not start with its copyright line")
    return line


def build(path):
    order = [".notdef"] + [glyph_name(c) for c in range(0x20, 0x7F)] + sorted(glyphs.EXTRA)
    tt = {}
    advances = {}
    tt[".notdef"], advances[".notdef"] = notdef()
    for code in range(0x20, 0x7F):
        g = glyphs.GLYPHS[code]
        name = glyph_name(code)
        tt[name] = tt_glyph(g)
        advances[name] = int(round(g.advance))
    for name, g in glyphs.EXTRA.items():  # contextual forms, reached only through the features
        tt[name] = tt_glyph(g)
        advances[name] = int(round(g.advance))

    fb = FontBuilder(UNITS_PER_EM, isTTF=True)
    fb.setupGlyphOrder(order)
    fb.setupCharacterMap({code: glyph_name(code) for code in range(0x20, 0x7F)})
    fb.setupGlyf(tt)
    glyf = fb.font["glyf"]
    metrics = {}
    for name in order:
        g = glyf[name]
        lsb = g.xMin if g.numberOfContours else 0
        metrics[name] = (advances[name], lsb)
    fb.setupHorizontalMetrics(metrics)
    fb.setupHorizontalHeader(ascent=ASCENT, descent=DESCENT)
    full = f"{FAMILY} {STYLE}"
    fb.setupNameTable({
        "copyright": copyright_line(),
        "licenseDescription": LICENCE_DESCRIPTION,
        "licenseInfoURL": LICENCE_URL,
        "familyName": FAMILY,
        "styleName": STYLE,
        "uniqueFontIdentifier": f"{full}; {VERSION}",
        "fullName": full,
        "version": VERSION,
        "psName": "TengwarQuenya-Medium",
    })
    fb.setupOS2(
        usWeightClass=500,
        fsType=0,  # installable: the program installs it and may embed it
        fsSelection=0x40,  # regular: the family's only face
        achVendID="OSTR",
        sTypoAscender=ASCENT,
        sTypoDescender=DESCENT,
        sTypoLineGap=0,
        usWinAscent=ASCENT + 50,
        usWinDescent=-DESCENT + 50,
        sxHeight=hand.X,
        sCapHeight=hand.ASC,
        ulCodePageRange1=(1 << 0) | (1 << 1),  # Latin 1, Latin 2
    )
    fb.setupPost()
    addOpenTypeFeaturesFromString(fb.font, glyphs.FEATURES)
    fb.updateHead(created=TIMESTAMP, modified=TIMESTAMP, fontRevision=1.0)
    fb.font.recalcTimestamp = False
    with tempfile.TemporaryDirectory() as tmp:
        raw = os.path.join(tmp, "raw.ttf")
        fb.save(raw)
        hinted = os.path.join(tmp, "hinted.ttf")
        autohint(raw, hinted)
        font = TTFont(hinted)
        # ttfautohint stamps the time of its run; the build keeps its own
        font["head"].created = TIMESTAMP
        font["head"].modified = TIMESTAMP
        font.recalcTimestamp = False
        gasp = newTable("gasp")
        gasp.version = 1
        gasp.gaspRange = dict(GASP)
        font["gasp"] = gasp
        add_registry_map(font)
        font.save(path)


# The ConScript Unicode Registry's Tengwar code points of the font codes, as
# the program writes Tengwar as Unicode text (core/transcription/tengwarunicode.cpp
# holds the one table; it is read from there).
REGISTRY_TABLE = os.path.join(ROOT, "core", "transcription", "tengwarunicode.cpp")
REGISTRY_BLOCK = range(0xE000, 0xE080)


def registry_code_points():
    """{code point: font code} for the registry's block, the first font code of each code point."""
    import re

    pairs = re.findall(r"\{0x([0-9A-F]{2}), 0x([0-9A-F]{4})\}", open(REGISTRY_TABLE, encoding="utf-8").read())
    if len(pairs) != 0x7F - 0x20:
        sys.exit(f"buildfont.py: {REGISTRY_TABLE} lists {len(pairs)} font codes, not 95")
    points = {}
    for code, point in pairs:
        if int(point, 16) in REGISTRY_BLOCK:
            points.setdefault(int(point, 16), int(code, 16))
    return points


def add_registry_map(font):
    """Maps the registry's code points to the glyphs of their font codes, so Unicode Tengwar text shows too.

    A step of its own after the outlines are built: it adds character-map
    entries only and leaves every glyph as it is.
    """
    for table in font["cmap"].tables:
        if table.isUnicode():
            for point, code in registry_code_points().items():
                table.cmap[point] = glyph_name(code)
    os2 = font["OS/2"]
    os2.usLastCharIndex = max(font.getBestCmap())
    os2.recalcUnicodeRanges(font)  # the private use area joins Basic Latin


def autohint(source, target):
    """Hints the outlines with Debian's ttfautohint (its version string kept out of the name table)."""
    tool = shutil.which("ttfautohint")
    if tool is None:
        sys.exit("buildfont.py: ttfautohint is missing (Debian package ttfautohint)")
    subprocess.run([tool, "--no-info", "--windows-compatibility", source, target], check=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--output", default=os.path.join(FONT_DIR, "quenya.ttf"))
    args = parser.parse_args()
    build(args.output)


if __name__ == "__main__":
    main()
