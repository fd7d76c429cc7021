"""The pen of the Tengwar Quenya font: strokes, bows, dots and curls.

Every glyph of glyphs.py is a set of centre lines drawn with one pen, plus a
few dots. The pen is an upright oval: W wide, so that stems are W thick, and
W / CONTRAST high, so that bars and the tops and feet of bows are lighter, as
a broad nib held level would write them (the builder draws it). The builder (tools/buildfont.py) unites the
inked areas of a glyph into non-overlapping outlines, so the shapes here may
overlap freely.

Coordinates are font units (1000 per em), y upwards, baseline at 0.
"""

import math

# --- Metrics shared by every glyph -------------------------------------------------

W = 88  # pen width: the thickness of stems and of the sides of bows
CONTRAST = 1.25  # stems are this many times as thick as horizontal strokes
WH = W / CONTRAST  # thickness of a horizontal stroke
X = 500  # height of the bows (x-height), outer edge
ASC = 800  # top of a stem that rises above the bows
DESC = -330  # bottom of a descending stem
SB = 50  # side bearing on both sides of a letter

YT = X - WH / 2  # centre line of the top of a bow
YB = WH / 2  # centre line of the bottom of a bow
YM = X / 2  # middle of the bow band

STEM_X = SB + W / 2  # centre of the stem of a letter whose stem stands on the left

BOW = 300  # width (centre line) of a single bow
BOW2 = 215  # width of each bow of a double bow
TINCO_OPEN_END = -15  # where the tinco series' open bows stop (degrees below the right side)

MARK_Y = X + 95  # lowest ink of a mark above a letter
DOT_R = 50  # radius of a dot


class Path:
    """A centre line: a polyline built from straight pieces and arcs."""

    def __init__(self, x, y):
        self.points = [(float(x), float(y))]

    @property
    def end(self):
        return self.points[-1]

    def line(self, x, y):
        self.points.append((float(x), float(y)))
        return self

    def arc(self, cx, cy, rx, ry, a0, a1, exponent=2.0, steps=None):
        """Adds a piece of a (super)ellipse centred at (cx, cy), from angle a0 to a1 (degrees).

        exponent 2 gives an ellipse; larger exponents give squarer corners.
        """
        if steps is None:
            steps = max(6, int(abs(a1 - a0) / 3))
        e = 2.0 / exponent
        for k in range(1, steps + 1):
            t = math.radians(a0 + (a1 - a0) * k / steps)
            c, s = math.cos(t), math.sin(t)
            x = cx + rx * math.copysign(abs(c) ** e, c)
            y = cy + ry * math.copysign(abs(s) ** e, s)
            self.points.append((x, y))
        return self

    def curve(self, c1, c2, p, steps=24):
        """Adds a cubic Bezier from the current end through controls c1, c2 to p."""
        p0 = self.end
        for k in range(1, steps + 1):
            t = k / steps
            u = 1 - t
            x = u * u * u * p0[0] + 3 * u * u * t * c1[0] + 3 * u * t * t * c2[0] + t * t * t * p[0]
            y = u * u * u * p0[1] + 3 * u * u * t * c1[1] + 3 * u * t * t * c2[1] + t * t * t * p[1]
            self.points.append((x, y))
        return self


class Glyph:
    """The ink of one glyph: stroked centre lines and filled dots, and its advance."""

    def __init__(self, advance):
        self.advance = advance
        self.strokes = []  # (points, width, cap) with cap 'round' or 'flat'
        self.dots = []  # (x, y, r)
        self.polygons = []  # filled polygons given by their corners

    def stroke(self, path, cap="round", width=W):
        pts = path.points if isinstance(path, Path) else [tuple(map(float, p)) for p in path]
        self.strokes.append((pts, width, cap))
        return self

    def dot(self, x, y, r=DOT_R):
        self.dots.append((float(x), float(y), float(r)))
        return self

    def fill(self, corners):
        self.polygons.append([tuple(map(float, p)) for p in corners])
        return self

    def transformed(self, fn, advance=None):
        """A copy whose every point is mapped through fn((x, y)) -> (x, y)."""
        g = Glyph(self.advance if advance is None else advance)
        g.strokes = [([fn(p) for p in pts], w, cap) for pts, w, cap in self.strokes]
        g.dots = [(*fn((x, y)), r) for x, y, r in self.dots]
        g.polygons = [[fn(p) for p in poly] for poly in self.polygons]
        return g

    def merged(self, other):
        g = Glyph(self.advance)
        g.strokes = self.strokes + other.strokes
        g.dots = self.dots + other.dots
        g.polygons = self.polygons + other.polygons
        return g


# --- Letter parts -----------------------------------------------------------------


def stem(g, x, top, bottom):
    """A straight vertical stem with flat ends."""
    g.stroke(Path(x, top).line(x, bottom), cap="flat")


def hanging_bow(x0, w, closed, first=True, open_end=-50):
    """A bow that leaves the stem (or the previous bow) at the top and curves down to the right.

    Open bows curl back inwards at the bottom and stop short, at the angle
    open_end (degrees; 0 is the right side of the bow); closed bows
    return along the baseline to where they started, with a flat bottom bar.
    A bow that is not the first of a double bow springs from the side of the
    previous one instead of from the top of the stem.
    """
    top_r = 0.62 * w  # the rounded shoulder
    top_rv = 0.55 * (YT - YB)
    bot_r = 0.40 * w if not closed else 0.26 * w
    bot_rv = 0.42 * (YT - YB) if not closed else 0.24 * (YT - YB)
    if first:
        p = Path(x0, YT)
    else:
        # spring from the leg of the previous bow, like the second arch of an m
        p = Path(x0, YT - top_rv * 0.9)
        p.arc(x0 + top_r * 0.45, YT - top_rv * 0.9, top_r * 0.45, top_rv * 0.9, 180, 90)
    p.line(x0 + w - top_r, YT)
    p.arc(x0 + w - top_r, YT - top_rv, top_r, top_rv, 90, 0, exponent=2.2)
    p.line(x0 + w, YB + bot_rv)
    if closed:
        p.arc(x0 + w - bot_r, YB + bot_rv, bot_r, bot_rv, 0, -90)
        p.line(x0, YB)
    else:
        p.arc(x0 + w - bot_r, YB + bot_rv, bot_r, bot_rv, 0, open_end)
    return p


def mirror_y(path, axis=YM):
    """The path reflected about a horizontal line (a hanging bow becomes a rising bow)."""
    q = Path(*path.points[0])
    q.points = [(x, 2 * axis - y) for x, y in path.points]
    return q


def bows(x0, count, closed, bow=BOW, open_end=-50):
    """The centre lines of one or two hanging bows to the right of a stem at x0."""
    widths = [bow] if count == 1 else [BOW2, BOW2]
    paths = []
    x = x0
    for i, w in enumerate(widths):
        paths.append(hanging_bow(x, w, closed, first=(i == 0), open_end=open_end))
        x += w
    return paths


def regular(series, grade, bow=BOW, raised=False):
    """One of the 24 regular tengwar.

    series 1..4 (tinco, parma, calma, quesse), grade 1..6 (see glyphs.py);
    bow is the width of a single bow. raised=True draws the stem from the
    ascender down to the line only (hyarmen's stem) instead of the grade's. The tinco and parma series have their
    bows on the right of the stem, hanging from its top; the calma and quesse
    series are the same bows turned half round: on the left of the stem,
    rising from its foot.
    """
    double = grade in (2, 4, 5)
    count = 2 if double else 1
    width = bow if count == 1 else 2 * BOW2
    advance = round(STEM_X + width + W / 2 + SB)
    g = Glyph(advance)
    left = series in (3, 4)
    stem_x = advance - STEM_X if left else STEM_X
    if raised:
        stem(g, stem_x, ASC, 0)
    elif grade in (1, 2):
        stem(g, stem_x, X, DESC)
    elif grade in (3, 4):
        stem(g, stem_x, ASC, DESC)
    else:
        stem(g, stem_x, X, 0)
    closed = series in (2, 4)
    # The tinco series' open bows stop high above the line, so that they stand
    # apart from the closed bows of the parma series at text size; the calma
    # series' bows, turned half round, keep their end low, clear of the marks.
    open_end = TINCO_OPEN_END if series == 1 else -50
    for p in bows(STEM_X, count, closed, bow, open_end):
        if left:
            p.points = [(advance - x, X - y) for x, y in p.points]
        g.stroke(p)
    return g


def rotated(g):
    """The glyph turned half round within its own box and the bow band."""
    adv = g.advance
    return g.transformed(lambda p: (adv - p[0], X - p[1]))


def mirrored_x(g):
    adv = g.advance
    return g.transformed(lambda p: (adv - p[0], p[1]))


def shifted(g, dx, dy=0.0, advance=None):
    return g.transformed(lambda p: (p[0] + dx, p[1] + dy), advance=advance)


# --- Marks ------------------------------------------------------------------------


def tilde_path(cx, cy, width, amp=25):
    """A level wave: up first, then down, as a written tilde."""
    p = Path(cx - width / 2, cy)
    n = 40
    for k in range(1, n + 1):
        t = k / n
        p.line(cx - width / 2 + width * t, cy + amp * math.sin(2 * math.pi * t))
    return p
