"""The glyphs of the Tengwar Quenya font, code by code.

Each code 0x20-0x7E of the font is listed in GLYPHS with a builder that
returns its Glyph (see hand.py for the pen and the letter parts). Letters are
the regular tengwar made from stems and bows, the irregular ones drawn from
curves, and the signs. Marks (vowel signs, tildes, the silent-e dot) have no
advance: their ink lies at negative x, over the letter written before them.
Each mark comes in four placements, one for each kind of letter that bears it.
"""

import math

from hand import (ASC, DESC, DOT_R, MARK_Y, SB, STEM_X, BOW, W, WH, X, YB, YM, YT, Glyph, Path,
                  hanging_bow, regular, rotated, shifted, stem, tilde_path)

# --- The regular tengwar: series (tinco, parma, calma, quesse) by grade ----------
#
# grade 1: descending stem, single bow      grade 2: descending stem, double bow
# grade 3: extended stem, single bow        grade 4: extended stem, double bow
# (a descending stem runs from the top of the bows down below the line, an
# extended one from above the bows down below the line; only hyarmen has a
# raised stem, from above the bows down to the line)
# grade 5: short stem, double bow           grade 6: short stem, single bow
# The tinco and calma series have open bows, parma and quesse closed ones;
# tinco and parma bows hang from the top of the stem on its right, calma and
# quesse bows rise from its foot on its left.

REGULAR = {
    0x31: (1, 1),  # tinco
    0x71: (2, 1),  # parma
    0x61: (3, 1),  # calma
    0x7A: (4, 1),  # quesse
    0x32: (1, 2),  # ando
    0x77: (2, 2),  # umbar
    0x73: (3, 2),  # anga
    0x78: (4, 2),  # ungwe
    0x33: (1, 3),  # thule
    0x65: (2, 3),  # formen
    0x64: (3, 3),  # harma
    0x63: (4, 3),  # hwesta
    0x34: (1, 4),  # anto
    0x72: (2, 4),  # ampa
    0x66: (3, 4),  # anca
    0x76: (4, 4),  # unque
    0x35: (1, 5),  # numen
    0x74: (2, 5),  # malta
    0x67: (3, 5),  # noldo
    0x62: (4, 5),  # nwalme
    0x36: (1, 6),  # ore
    0x79: (2, 6),  # vala
    0x68: (3, 6),  # anna
    0x6E: (4, 6),  # vilya
}

# --- Mark placements ------------------------------------------------------------
#
# Centre of a mark, measured back from the end of the letter that bears it:
# A one-bow letters, B letters whose stem rises above the bows (keep clear of it),
# C wide letters with two bows, O the carriers and the rest.

SINGLE_ADVANCE = regular(1, 1).advance
DOUBLE_ADVANCE = regular(1, 2).advance

MARK_AT = {
    "A": -(SINGLE_ADVANCE - (STEM_X + BOW / 2)),  # over the middle of the bow
    "B": -160,
    "C": -DOUBLE_ADVANCE / 2,
    "O": -150,
}
# Harma and hwesta bear the marks of the wide letters: their bow is wider, so
# that the mark stands nearer the middle of it.
WIDE_BOW = 340
# How wide each column's marks are written. The wide letters' marks stand
# between a stem on one side or the other that rises above the bows, so they
# are the narrowest; at text size a mark must leave a pixel of paper between
# itself and any stem.
SPREAD = {"A": 1.0, "B": 0.95, "C": 0.82, "O": 0.9}

TILDE_Y = -145  # centre of the doubling tilde below the letter
TILDE_W = 64  # the tilde's pen: heavy enough to show, light enough that the wave stays open
TILDE_AMP = 50  # the height of its wave above and below the centre line
SILENT_E_Y = -340  # centre of the silent-e dot, below the tilde
SILENT_E_R = 70


def mark(draw):
    """A zero-width glyph whose ink is drawn by draw(glyph)."""
    g = Glyph(0)
    draw(g)
    return g


MARK_W = 74  # the marks are written with a lighter stroke than the letters


A_SPREAD = 68  # half the distance of the a-mark's lower dots: a pixel of paper between them at 20 px
A_DOT_R = 41


def a_mark(cls, dx=0):
    """Three dots in a triangle, as far apart on every bearer."""
    cx, s, r = MARK_AT[cls] + dx, A_SPREAD, A_DOT_R
    return mark(lambda g: (g.dot(cx - s, MARK_Y + r, r), g.dot(cx + s, MARK_Y + r, r),
                           g.dot(cx, MARK_Y + r + 1.9 * s, r)))


def e_mark(cls):
    """An acute stroke."""
    cx, s = MARK_AT[cls], SPREAD[cls]
    return mark(lambda g: g.stroke(Path(cx - 45 * s, MARK_Y + 25).line(cx + 50 * s, MARK_Y + 190),
                                   width=MARK_W))


def i_mark(cls, dx=0):
    """One dot."""
    cx = MARK_AT[cls] + dx
    return mark(lambda g: g.dot(cx, MARK_Y + 75, 64))


# The o- and u-curls: how wide they are written over each class of bearer
# (narrower over the one-bow letters, which stand between tall neighbours),
# where the rising side starts and the falling one ends above the marks'
# line, and their pen, as heavy as the letters' so that they show at 20 px.
CURL_WIDTH = {"A": 1.3, "B": 1.4, "C": 1.4, "O": 1.4}
CURL_FOOT = 15
CURL_END = 130
CURL_PEN = 90


def curl(cx, turn, k, width):
    """A hook rising on one side and turning over to the other: turn +1 right, -1 left.

    Its ink is centred on cx.
    """
    s = turn

    def at(dx, dy):
        return (cx + s * k * width * (dx - 10), MARK_Y + 1.2 * dy)

    # The rising side is long and the falling one short, so that the curl and
    # its mirror image differ at text size; wide enough inside that the stroke
    # leaves the hook open.
    p = Path(*at(-60, CURL_FOOT))
    p.curve(at(-68, 120), at(-25, 195), at(20, 192))
    p.curve(at(65, 190), at(85, 160), at(78, CURL_END))
    return p


def o_mark(cls, dx=0):
    """The curl that turns to the right."""
    cx = MARK_AT[cls] + dx
    return mark(lambda g: g.stroke(curl(cx, +1, SPREAD[cls], CURL_WIDTH[cls]), width=CURL_PEN))


def u_mark(cls, dx=0):
    """The curl that turns to the left."""
    cx = MARK_AT[cls] + dx
    return mark(lambda g: g.stroke(curl(cx, -1, SPREAD[cls], CURL_WIDTH[cls]), width=CURL_PEN))


# The tilde stands between the descending stems of the letters of its class:
# A and C under letters with two bows, B and O under letters with one bow,
# whose stem may stand on either side, so these two are narrow. After a
# letter whose stem reaches below the line the font's contextual forms (see
# TILDE_AFTER) move it away from that stem and widen it.
TILDE_AT = {
    # class: (centre, width)
    "A": (-310, 200),
    "B": (-244, 80),
    "C": (-304, 200),
    "O": (-242, 76),
}
TILDE_WIDE = 230  # the width of a tilde that has room


def tilde_at(cx, w):
    return mark(lambda g: g.stroke(tilde_path(cx, TILDE_Y, w, amp=TILDE_AMP), width=TILDE_W))


def tilde(cls):
    return tilde_at(*TILDE_AT[cls])


def silent_e(cx):
    return mark(lambda g: g.dot(cx, SILENT_E_Y, SILENT_E_R))


# --- Irregular letters ----------------------------------------------------------


def carrier(long):
    """The short carrier (a short stem with a foot) or the long one (a stem below the line).

    A carrier keeps more room on its left than other letters: the marks over
    it are as wide as the carrier, and must stay clear of a tall stem before
    it. Below the line the long carrier's stem leans to the right, away from
    the silent-e dot that may hang before it.
    """
    x = SB + W / 2 + (106 if long else 66)
    g = Glyph(round(x - MARK_AT["O"]))
    if long:
        p = Path(x, X - 20).line(x, 40)
        p.curve((x, -90), (x + 50, -200), (x + 52, DESC + 45))
        g.stroke(p)
    else:
        p = Path(x, X - 40).line(x, 120)
        p.curve((x, 50), (x + 20, YB), (x + 55, YB))
        g.stroke(p)
    return g


def romen():
    """A short letter like a y: a straight right stem on the line and a left arm
    that leaves its foot in a long slant and ends high in a hook turned outwards."""
    x0 = SB + W / 2 + 20
    xr = x0 + 230
    g = Glyph(round(xr + W / 2 + SB))
    stem(g, xr, X, 0)
    p = Path(xr, 150)
    p.curve((xr - 110, 190), (x0 + 10, YM + 60), (x0 + 25, YT - 20))
    p.curve((x0 + 35, YT + 15), (x0 - 5, YT + 10), (x0 - 20, YT - 50))
    g.stroke(p)
    return g


def arda():
    """Romen's arm and stem closing a bow to the right."""
    x0 = SB + W / 2 + 20
    xs = x0 + 200
    g = Glyph(round(xs + 215 + W / 2 + SB))
    stem(g, xs, X, 0)
    p = Path(xs, 150)
    p.curve((xs - 100, 190), (x0 + 10, YM + 60), (x0 + 25, YT - 20))
    p.curve((x0 + 35, YT + 15), (x0 - 5, YT + 10), (x0 - 20, YT - 50))
    g.stroke(p)
    g.stroke(hanging_bow(xs, 215, closed=True))
    return g


def lambe(closed=False):
    """A shepherd's crook: a short left leg, a high arch and a long right leg with a foot.

    closed (alda) runs the left leg down and round into the right leg, closing a loop.
    """
    xl = SB + W / 2
    xr = xl + 230
    g = Glyph(round(xr + W / 2 + 50 + SB))
    p = Path(xr, YM + 40)
    p.curve((xr, YT + 40), (xl, YT + 20), (xl, YM + 20))
    if closed:
        p.curve((xl, YM - 70), (xl + 60, YM - 90), (xr, YM - 80))
    g.stroke(p)
    q = Path(xr, YM + 40).line(xr, 110)
    q.curve((xr, YB + 20), (xr + 20, YB), (xr + 50, YB))
    g.stroke(q)
    return g


def loop_of(cx, r, g):
    """The ring of silme on the line, r wide each way of cx; returns its centre height."""
    ry = r - 10
    cy = YB + ry
    g.stroke(Path(cx + r, cy).arc(cx, cy, r, ry, 0, 360, steps=120))
    return cy


def six_arm(cx, r, cy):
    """The arm of silme: up from the left of the ring and over to the right, like a 6."""
    arm = Path(cx - r, cy)
    arm.curve((cx - r, cy + 1.45 * r), (cx - 0.35 * r, YT), (cx + 0.35 * r, YT))
    arm.curve((cx + 0.7 * r, YT), (cx + 0.95 * r, YT - 25), (cx + 1.0 * r, YT - 70))
    return arm


def horns(cx, r, cy):
    """The two horns of are: both sides of the ring rise and turn outwards."""
    out = []
    for s in (-1, 1):
        h = Path(cx + s * r, cy)
        h.curve((cx + s * r, cy + 0.9 * r), (cx + s * 0.45 * r, YT - 80), (cx + s * 0.5 * r, YT - 25))
        h.curve((cx + s * 0.55 * r, YT + 15), (cx + s * 1.05 * r, YT + 10), (cx + s * 1.15 * r, YT - 45))
        out.append(h)
    return out


def silme_shape(second_arm=False, narrow=False):
    """A ring on the line with an arm rising from its left side and hooking right (like a 6).

    second_arm gives are instead: a ring with two horns. narrow gives the
    smaller form written where no vowel sits on the letter; its marks stand
    where the other bearers' do. The wide form's advance puts the ring under
    the marks of the wide letters.
    """
    r = 100 if narrow else 125
    cx = SB + W / 2 + r + (0.15 * r if second_arm else 0)
    if narrow:
        adv = cx + r + W / 2 + SB + (0.15 * r if second_arm else 0)
    else:
        adv = max(cx - MARK_AT["C"], cx + r + W / 2 + SB)
    g = Glyph(round(adv))
    cy = loop_of(cx, r, g)
    for p in horns(cx, r, cy) if second_arm else [six_arm(cx, r, cy)]:
        g.stroke(p)
    return g


def hyarmen():
    """A raised stem from above the bows down to the line, with a closed bow."""
    return regular(2, 3, raised=True)


def hwesta_sindarinwa():
    """Ore whose stem rises high above the bows and bends back over to the left in a hook.

    The hook leans left at once, so that the marks over the bow stand clear of it.
    """
    dx = 150
    g = shifted(regular(1, 6, bow=380), dx)  # a wide bow puts the marks well right of the hook
    x = STEM_X + dx
    top = X + 150
    p = Path(x, X - 10)
    p.curve((x, X + 60), (x - 35, top), (x - 85, top))
    p.curve((x - 125, top), (x - 140, top - 45), (x - 140, top - 100))
    g.stroke(p)
    g.advance += dx
    return g


def yanta():
    """A lambda: a tall left stroke that bends down to the right, and a short leg to the left.

    The tall stroke stays upright above the bows so that the marks over the
    letter stand clear of it.
    """
    x0 = SB + W / 2 + 50  # the short leg reaches 50 to the left of the tall stroke
    g = Glyph(round(x0 + 310 + W / 2 + SB))
    p = Path(x0, ASC - 60)
    p.line(x0, X - 20)
    p.curve((x0, 270), (x0 + 230, 160), (x0 + 310, YB))
    g.stroke(p, cap="flat")
    q = Path(x0 + 75, 230)
    q.curve((x0 + 20, 140), (x0 - 20, 80), (x0 - 50, YB))
    g.stroke(q)
    return g


def ure():
    """A round cup standing on the line, without a stem, whose two arms curl outwards at the top."""
    x0 = SB + W / 2 + 70
    w = 240
    g = Glyph(round(x0 + w + W / 2 + SB + 70))
    p = Path(x0 - 70, YT - 75)
    p.curve((x0 - 70, YT), (x0, YT + 10), (x0, YT - 70))
    p.line(x0, YM - 30)
    p.arc(x0 + w / 2, YM - 30, w / 2, YM - 30 - YB, 180, 360, exponent=2.0)
    p.line(x0 + w, YT - 70)
    p.curve((x0 + w, YT + 10), (x0 + w + 70, YT), (x0 + w + 70, YT - 75))
    g.stroke(p)
    return g


def extended(series):
    """Tinco, parma, calma or quesse with the stem drawn both above and below."""
    g = regular(series, 1)
    stem(g, g.advance - STEM_X if series in (3, 4) else STEM_X, ASC, X)
    return g


# --- Signs ----------------------------------------------------------------------


def dots(*points, advance=220, r=DOT_R + 3):
    g = Glyph(advance)
    for x, y in points:
        g.dot(x, y, r)
    return g


HOOK_CURL_X = 90  # where the low s-hook's curl ends, from the end of the letter before it


def s_hook(high):
    """The s-hook that follows a letter: a tail from the foot of the letter curling down below the line.

    The low form leaves the end of the bow before it (after tinco, ando and
    parma) and curls back towards it, ending short of the tilde that may
    stand under the letter; the high one (after quesse) leaves the
    foot of quesse's stem and keeps its tail open, clear of the stem.
    """
    g = Glyph(190)
    if high:
        p = Path(-55, YB + 10)
        p.curve((40, YB + 10), (100, -30), (95, -110))
        p.curve((92, -185), (80, -240), (50, -255))
    else:
        # from where tinco's open bow stops, above the line
        p = Path(-100, 165)
        p.curve((-75, 60), (20, 20), (75, -40))
        p.curve((105, -80), (105, -180), (HOOK_CURL_X, -205))
    g.stroke(p)
    return g


def ring():
    g = Glyph(420)
    g.stroke(Path(340, YM).arc(210, YM, 130, 170, 0, 360, steps=120))
    g.dot(210, YM, 40)
    return g


def dash():
    g = Glyph(420)
    g.stroke(tilde_path(210, YM, 300, amp=40))
    return g


def oval():
    """A plain ring standing on the line (like the numeral nought)."""
    g = Glyph(360)
    g.stroke(Path(290, YM).arc(180, YM, 110, YM - YB, 0, 360, steps=120))
    return g


def bar(y, advance=460, w=360):
    g = Glyph(advance)
    g.stroke(Path((advance - w) / 2, y).line((advance + w) / 2, y), cap="flat")
    return g


def tall_stem():
    g = Glyph(220)
    stem(g, 110, ASC, DESC)
    return g


def bracket(side):
    """A curly section sign: a wave standing upright."""
    g = Glyph(260)
    s = 1 if side == "left" else -1
    cx = 130
    p = Path(cx + s * 60, ASC - 80)
    p.curve((cx - s * 40, ASC - 80), (cx + s * 20, YM + 60), (cx - s * 60, YM))
    p.curve((cx + s * 20, YM - 60), (cx - s * 40, DESC + 80), (cx + s * 60, DESC + 80))
    g.stroke(p)
    return g


def exclamation():
    g = Glyph(220)
    g.stroke(Path(110, X + 200).curve((90, X), (130, 250), (110, 150)))
    g.dot(110, YB + 10, DOT_R + 3)
    return g


def semicolon():
    g = Glyph(240)
    g.dot(120, X - 40, DOT_R + 3)
    g.stroke(Path(130, 80).curve((160, 30), (120, -80), (60, -120)))
    return g


def halla():
    g = Glyph(230)
    p = Path(80, ASC - 100).curve((100, ASC), (150, ASC - 40), (115, X))
    p.line(115, 0)
    g.stroke(p)
    return g


GLYPHS = {}

for code, (series, grade) in REGULAR.items():
    GLYPHS[code] = regular(series, grade, bow=WIDE_BOW if code in (0x64, 0x63) else BOW)

GLYPHS.update({
    0x20: Glyph(300),  # space
    0x60: carrier(long=False),
    0x7E: carrier(long=True),
    0x37: romen(),
    0x75: arda(),
    0x6A: lambe(),
    0x6D: lambe(closed=True),  # alda
    0x38: silme_shape(),  # silme
    0x69: rotated(silme_shape()),  # silme nuquerna
    0x6B: silme_shape(second_arm=True),  # are (esse)
    0x2C: rotated(silme_shape(second_arm=True)),  # are nuquerna
    0x2A: silme_shape(narrow=True),  # s before no vowel
    0x49: rotated(silme_shape(narrow=True)),  # S before no vowel
    0x4B: silme_shape(second_arm=True, narrow=True),  # z before no vowel
    0x3C: rotated(silme_shape(second_arm=True, narrow=True)),  # Z before no vowel
    0x39: hyarmen(),
    0x6F: hwesta_sindarinwa(),
    0x6C: yanta(),
    0x2E: ure(),
    # vowel marks in their four placements
    0x25: a_mark("A"), 0x54: a_mark("B"), 0x47: a_mark("C"), 0x42: a_mark("O"),
    0x5E: e_mark("A"), 0x59: e_mark("B"), 0x48: e_mark("C"), 0x4E: e_mark("O"),
    0x26: i_mark("A"), 0x55: i_mark("B"), 0x4A: i_mark("C"), 0x4D: i_mark("O"),
    0x28: o_mark("A"), 0x4F: o_mark("B"), 0x4C: o_mark("C"), 0x3E: o_mark("O"),
    0x29: u_mark("A"), 0x50: u_mark("B"), 0x3A: u_mark("C"), 0x3F: u_mark("O"),
    # doubling tilde below, by the letter it stands under
    0x41: tilde("A"), 0x53: tilde("B"), 0x5A: tilde("C"), 0x58: tilde("O"),
    # silent e: a dot below
    0x30: silent_e(-235),
    # after any other letter, and after a letter that bears a vowel mark: clear
    # of every descending stem, the long carrier's included
    0x70: silent_e(-236),
    # signs
    0x5D: dots((130, YM), advance=260, r=70),  # full stop: one big dot
    # two dots, well left of where a mark over them stands (three pixels at
    # 20 px), so that an i-dot over them does not make a slanted column of
    # three like the three-dot sign
    0x5B: dots((105, YM + 110), (105, YM - 110), advance=400, r=55),
    0x3D: s_hook(high=False),
    0x5C: s_hook(high=True),
    0x22: dots((110, YM + 170), (110, YM), (110, YM - 170)),
    0x23: dots((80, YM + 100), (200, YM + 100), (80, YM - 100), (200, YM - 100), advance=280),
    0x21: exclamation(),
    0x27: dots((90, X + 150), advance=180),
    0x3B: semicolon(),
    0x2D: dash(),
    0x2F: shifted(Glyph(300).stroke(Path(60, DESC + 80).line(240, ASC - 80)), 0),
    0x2B: dots((80, YM), (200, YM), (140, YM + 120), (140, YM - 120), advance=280),
    0x40: ring(),
    0x5F: bar(-120),
    0x7C: tall_stem(),
    0x7B: bracket("left"),
    0x7D: bracket("right"),
    0x24: oval(),
    0x43: extended(1),
    0x44: extended(2),
    0x45: extended(3),
    0x46: extended(4),
    0x51: halla(),
    0x52: rotated(romen()),
    0x56: rotated(regular(1, 6)),  # ore turned
    0x57: shifted(dots((90, YB + 30), (190, YB + 30), advance=280), 0),
})

NAMES = {
    0x20: "space",
}

# --- Contextual tildes ------------------------------------------------------------
#
# The four tilde codes say only which class of letter the tilde stands under,
# so each must keep clear of a stem below the line on either side of the
# letter, and the narrow ones are short. But a letter whose stem reaches
# below the line leaves room only on the other side of that stem, and one
# without such a stem leaves room all across. The font knows the letter
# before the tilde: after each letter that takes one, every tilde code becomes
# a tilde of that letter's own, centred in the room between its stem and the
# ink of the next letter (or the previous one), or under the whole letter,
# and wide enough there to read as a wave.

TILDE_CODES = (0x41, 0x53, 0x5A, 0x58)
TILDE_CLEAR = 75  # room left between the tilde's ink and a stem on either side
# The letters that take a tilde and have no stem below the line.
TILDE_LETTERS = (0x35, 0x36, 0x67, 0x68, 0x6E, 0x74, 0x79, 0x62,  # grades 5 and 6
                 0x37, 0x75, 0x6A, 0x6D, 0x38, 0x69, 0x6B, 0x2C, 0x2A, 0x49, 0x4B, 0x3C,
                 0x39, 0x6F, 0x6C, 0x2E)


def tilde_after(code, hooked=False):
    """The tilde that follows the letter `code` (hooked: and then the low s-hook)."""
    series, grade = REGULAR.get(code, (0, 6))
    adv = GLYPHS[code].advance
    if hooked:  # the stem on the left, the s-hook's curl on the right
        lo, hi = STEM_X + W / 2, adv + HOOK_CURL_X - W / 2
    elif grade > 4:  # no stem below the line: room from the previous letter's ink to the next one's
        lo, hi = -SB, adv + SB
    elif series in (1, 2):  # the stem on the left: room up to the next letter's ink
        lo, hi = STEM_X + W / 2, adv + SB
    else:  # on the right: room back to the previous letter's ink
        lo, hi = -SB, adv - STEM_X - W / 2
    width = min(TILDE_WIDE, hi - lo - 2 * TILDE_CLEAR - TILDE_W)
    return tilde_at((lo + hi) / 2 - adv, width)


TILDE_BEARERS = [code for code, (_, grade) in REGULAR.items() if grade <= 4] + list(TILDE_LETTERS)
EXTRA = {f"tilde.after{code:02X}": tilde_after(code) for code in TILDE_BEARERS}
# Tinco, ando and parma take the low s-hook, whose curl hangs under the end
# of the letter: there the tilde stops short of the curl.
HOOKED = (0x31, 0x32, 0x71)
EXTRA.update({f"tilde.after{code:02X}.hook": tilde_after(code, hooked=True) for code in HOOKED})

# The silent-e dot after a letter that bears a vowel mark keeps to the right
# of the letter, clear of any stem that reaches below the line. Under the
# short carrier and the two dots, which have no such stem, it hangs straight
# under them instead, away from the letter before.
VOWEL_MARKS = (0x25, 0x54, 0x47, 0x42, 0x5E, 0x59, 0x48, 0x4E, 0x26, 0x55, 0x4A, 0x4D,
               0x28, 0x4F, 0x4C, 0x3E, 0x29, 0x50, 0x3A, 0x3F)
EXTRA["silente.under"] = silent_e(MARK_AT["O"])
# Under a letter whose stem reaches below the line on its right (the calma
# and quesse series), the dot hangs under the bow, left of that stem.
STEM_RIGHT_BELOW = [code for code, (series, grade) in REGULAR.items() if series in (3, 4) and grade <= 4]
EXTRA["silente.left"] = silent_e(-338)
# Over some letters the vowel marks but e stand a little aside: the wide
# letters' marks right over anto and left over harma, hwesta, anca and unque,
# clear of their stems above the bows; the one-bow letters' marks right over
# hwesta sindarinwa, clear of its hook, and over the middle of the ring of the
# narrow S and Z, clear of a tall letter before them.
MARK_SHIFT = {0x34: ("C", 30), 0x64: ("C", -25), 0x63: ("C", -25), 0x66: ("C", -25), 0x76: ("C", -25),
              0x49: ("A", 50), 0x3C: ("A", 50), 0x6F: ("A", 30)}
MARK_FORMS = {"a": a_mark, "i": i_mark, "o": o_mark, "u": u_mark}
# the codes of the a, i, o and u marks of each class
MARK_CODES = {"A": (0x25, 0x26, 0x28, 0x29), "C": (0x47, 0x4A, 0x4C, 0x3A)}
for _letter, (_cls, _dx) in MARK_SHIFT.items():
    for _name, _form in MARK_FORMS.items():
        EXTRA[f"{_name}.after{_letter:02X}"] = _form(_cls, dx=_dx)
# The long carrier's stem leans right below the line; the dot hangs further
# left of it than after other letters, in the room the carrier keeps on its left.
EXTRA["silente.before"] = silent_e(-262)


def placed_mark_rules():
    """The silent-e dot after a letter of STEM_RIGHT_BELOW, with up to two marks between,
    and the vowel marks over the letters of MARK_SHIFT: a lookup of its own, run
    after the tildes have taken their letters' forms."""
    letters = "[" + " ".join(glyph_name(c) for c in STEM_RIGHT_BELOW) + "]"
    marks = "[" + " ".join([glyph_name(m) for m in VOWEL_MARKS + TILDE_CODES] +
                           [f"tilde.after{c:02X}" for c in STEM_RIGHT_BELOW]) + "]"
    between = ["", f" {marks}", f" {marks} {marks}"]
    rules = "".join(f"        sub {letters}{between[n]} [uni0030 uni0070]' by silente.left;\n" for n in (2, 1, 0))
    for letter, (cls, _) in MARK_SHIFT.items():
        tildes = " ".join(glyph_name(t) for t in TILDE_CODES) + f" tilde.after{letter:02X}"
        for code, name in zip(MARK_CODES[cls], MARK_FORMS):
            form = f"{name}.after{letter:02X}"
            rules += f"        sub {glyph_name(letter)} [{tildes}] {glyph_name(code)}' by {form};\n"
            rules += f"        sub {glyph_name(letter)} {glyph_name(code)}' by {form};\n"
    return "    lookup marks_placed {\n" + rules + "    } marks_placed;\n"


def glyph_name(code):
    return "space" if code == 0x20 else "uni%04X" % code


def hooked_tilde_rules():
    """The tilde between tinco, ando or parma and the low s-hook, with up to two marks before the hook."""
    tildes = "[" + " ".join(glyph_name(t) for t in TILDE_CODES) + "]"
    marks = "[" + " ".join(glyph_name(m) for m in VOWEL_MARKS + (0x30, 0x70)) + "]"
    return "".join(f"    sub {glyph_name(code)} {tildes}'{between} uni003D by tilde.after{code:02X}.hook;\n"
                   for code in HOOKED for between in (f" {marks} {marks}", f" {marks}", ""))


FEATURES = "languagesystem DFLT dflt;\nlanguagesystem latn dflt;\n\nfeature calt {\n" + hooked_tilde_rules() + "".join(
    f"    sub {glyph_name(code)} [{' '.join(glyph_name(t) for t in TILDE_CODES)}]' by tilde.after{code:02X};\n"
    for code in TILDE_BEARERS) + (
    "    sub [uni0060 uni005B] [" + " ".join(glyph_name(m) for m in VOWEL_MARKS) + "] uni0070' by silente.under;\n"
    "    sub [uni0060 uni005B] uni0070' by silente.under;\n"
    "    sub uni007E [" + " ".join(glyph_name(m) for m in VOWEL_MARKS) + "] uni0070' by silente.before;\n"
    "    sub uni007E uni0070' by silente.before;\n") + placed_mark_rules() + "} calt;\n"
