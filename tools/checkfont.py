#!/usr/bin/python3
"""Checks the outlines of a TrueType font for drawing faults.

    checkfont.py FONT.ttf

For every glyph: each contour is a simple closed curve (it does not cross
itself), no two contours touch or cross, and the winding alternates with the
nesting: contours that lie inside an even number of others run clockwise, the
counters inside them anticlockwise. Such outlines fill the same area under
the non-zero and the even-odd rule, so every rasteriser draws them alike.
Exits 1 and lists the faults when there are any.

Needs Debian's python3-fonttools and python3-shapely.
"""

import sys

from fontTools.pens.basePen import BasePen
from fontTools.ttLib import TTFont
from shapely.geometry import LinearRing, Polygon

STEPS = 8  # points per quadratic piece when the outline is flattened


class FlattenPen(BasePen):
    def __init__(self, glyphset):
        super().__init__(glyphset)
        self.contours = []
        self.current = []

    def _moveTo(self, pt):
        self.current = [pt]

    def _lineTo(self, pt):
        self.current.append(pt)

    def _qCurveToOne(self, pt1, pt2):
        x0, y0 = self.current[-1]
        for k in range(1, STEPS + 1):
            t = k / STEPS
            u = 1 - t
            self.current.append((u * u * x0 + 2 * u * t * pt1[0] + t * t * pt2[0],
                                 u * u * y0 + 2 * u * t * pt1[1] + t * t * pt2[1]))

    def _curveToOne(self, pt1, pt2, pt3):
        raise ValueError("cubic curves in a TrueType font")

    def _closePath(self):
        pts = self.current
        if len(pts) > 1 and pts[0] == pts[-1]:
            pts = pts[:-1]
        self.contours.append(pts)
        self.current = []

    _endPath = _closePath


def signed_area(pts):
    a = 0.0
    for i in range(len(pts)):
        x0, y0 = pts[i - 1]
        x1, y1 = pts[i]
        a += x0 * y1 - x1 * y0
    return a / 2


def check_glyph(name, glyphset):
    pen = FlattenPen(glyphset)
    glyphset[name].draw(pen)
    faults = []
    rings = []
    for i, pts in enumerate(pen.contours):
        if len(pts) < 3:
            faults.append(f"{name}: contour {i} has fewer than three points")
            continue
        ring = LinearRing(pts)
        if not ring.is_simple:
            faults.append(f"{name}: contour {i} crosses itself")
        rings.append((i, pts, ring))
    for a in range(len(rings)):
        for b in range(a + 1, len(rings)):
            if rings[a][2].intersects(rings[b][2]):
                faults.append(f"{name}: contours {rings[a][0]} and {rings[b][0]} touch or cross")
    polys = [(i, Polygon(pts)) for i, pts, _ in rings]
    for i, pts, ring in rings:
        depth = sum(1 for j, poly in polys if j != i and poly.contains(ring))
        clockwise = signed_area(pts) < 0
        if clockwise != (depth % 2 == 0):
            kind = "outer contour" if depth % 2 == 0 else "counter"
            faults.append(f"{name}: contour {i} is an {kind} wound the wrong way")
    return faults


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    font = TTFont(sys.argv[1])
    glyphset = font.getGlyphSet()
    faults = []
    names = font.getGlyphOrder()
    for name in names:
        faults += check_glyph(name, glyphset)
    for f in faults:
        print(f)
    print(f"{len(names)} glyphs checked, {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
