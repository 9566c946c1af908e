#!/usr/bin/python3
"""Draws every picture of Clutterix: window backgrounds, the start button,
dialog artwork, tray animation frames and the application icon.

The pictures carry no words but the names of the product and its maker: every
other text is a label of the form that shows the picture, so that it is
translated. The comments say where each label sits.

Run from anywhere:  python3 tools/artwork/make_artwork.py [--preview DIR]
It writes into data/images/ and app/win32/ of the repository that holds it.
With --preview DIR it also writes PNG contact sheets for checking by eye.
"""

import math
import os
import sys

try:
    from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont
except ImportError:
    sys.exit("Pillow is missing: apt-get install -y python3-pil fonts-dejavu-core")

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
IMAGES = os.path.join(ROOT, "data", "images")
ICON = os.path.join(ROOT, "app", "win32", "clutterix.ico")

FONT_DIR = "/usr/share/fonts/truetype/dejavu"
SS = 4  # supersampling factor for shapes

# ----------------------------------------------------------------- palette
NAVY = (16, 58, 112)
BLUE = (24, 98, 196)
SKY = (44, 140, 222)
TEAL = (22, 176, 182)
MINT = (86, 214, 196)
INK = (27, 64, 104)  # headings on light ground
GREY = (104, 122, 140)  # secondary text
LINE = (214, 227, 238)  # hairlines and card borders
PALE = (238, 246, 251)  # light tinted ground
WHITE = (255, 255, 255)
AMBER = (255, 184, 28)
ORANGE = (240, 118, 20)

BODY_W, BODY_H = 741, 377
BODY_Y = 114  # window y of the body picture

# Every picture is drawn in the units of a 96-DPI display and rasterised at the scale K: 1 for
# the shipped names, 1.5 and 2 for the "@1.5x" and "@2x" drawings that high-DPI displays show.
# Sizes round as the program rounds its places (halves up), so a drawing covers its control
# pixel for pixel.
K = 1.0
SUFFIX = ""
SCALES = ((1.0, ""), (1.5, "@1.5x"), (2.0, "@2x"))


def px(v):
    """Units to pixels at the current scale."""
    return int(math.floor(v * K + 0.5))


def units(img):
    """The size in units of a picture drawn at the current scale."""
    return int(round(img.size[0] / K)), int(round(img.size[1] / K))


def new(mode, size, color=0):
    return Image.new(mode, (px(size[0]), px(size[1])), color)


def at(xy):
    return (px(xy[0]), px(xy[1]))


def font(size, bold=False, condensed=False):
    name = "DejaVuSans"
    if condensed:
        name += "Condensed"
    if bold:
        name += "-Bold"
    return ImageFont.truetype(os.path.join(FONT_DIR, name + ".ttf"), int(round(size * K)))


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


# --------------------------------------------------------------- gradients
def gradient(w, h, c1, c2, angle=90.0):
    """A gradient of w x h units (see gradient_px)."""
    return gradient_px(px(w), px(h), c1, c2, angle)


def gradient_px(w, h, c1, c2, angle=90.0):
    """Linear gradient from c1 to c2 in pixels; angle 90 runs top to bottom, 0 left to right."""
    rad = math.radians(angle)
    dx, dy = math.cos(rad), math.sin(rad)
    # Project the four corners on the direction to normalise.
    proj = [x * dx + y * dy for x in (0, w) for y in (0, h)]
    lo, hi = min(proj), max(proj)
    # Build a small ramp image and sample it per pixel column/row cheaply:
    # render at low resolution, then upscale bilinearly (gradients are smooth).
    sw, sh = max(2, w // 4), max(2, h // 4)
    mask = Image.new("L", (sw, sh))
    px = mask.load()
    for j in range(sh):
        for i in range(sw):
            p = ((i + 0.5) * w / sw) * dx + ((j + 0.5) * h / sh) * dy
            px[i, j] = int(round(255 * (p - lo) / (hi - lo)))
    mask = mask.resize((w, h), Image.BILINEAR)
    return Image.composite(Image.new("RGB", (w, h), c2), Image.new("RGB", (w, h), c1), mask)


def radial_alpha(w, h, cx, cy, r, inner=255, outer=0):
    """radial_alpha_px in units."""
    return radial_alpha_px(px(w), px(h), cx * K, cy * K, r * K, inner, outer)


def radial_alpha_px(w, h, cx, cy, r, inner=255, outer=0):
    """An L mask falling from inner at (cx, cy) to outer at radius r, in pixels."""
    sw, sh = max(2, w // 4), max(2, h // 4)
    m = Image.new("L", (sw, sh))
    px = m.load()
    for j in range(sh):
        for i in range(sw):
            d = math.hypot((i + 0.5) * w / sw - cx, (j + 0.5) * h / sh - cy) / r
            t = min(1.0, d)
            t = t * t * (3 - 2 * t)
            px[i, j] = int(round(inner + (outer - inner) * t))
    return m.resize((w, h), Image.BILINEAR)


# ---------------------------------------------------------- shape helpers
class Layer:
    """A supersampled RGBA drawing surface in units, rasterised at the current scale."""

    def __init__(self, w, h, ss=SS, mode="RGBA"):
        self.w, self.h, self.ss = px(w), px(h), ss * K
        self.img = Image.new(mode, (self.w * ss, self.h * ss), 0)
        self.draw = ImageDraw.Draw(self.img)

    def s(self, v):
        return v * self.ss

    def box(self, b):
        return [b[0] * self.ss, b[1] * self.ss, b[2] * self.ss - 1, b[3] * self.ss - 1]

    def rrect(self, b, r, fill, outline=None, width=1):
        self.draw.rounded_rectangle(self.box(b), radius=r * self.ss, fill=fill,
                                    outline=outline, width=int(width * self.ss))

    def ellipse(self, b, fill, outline=None, width=1):
        self.draw.ellipse(self.box(b), fill=fill, outline=outline, width=int(width * self.ss))

    def poly(self, pts, fill):
        self.draw.polygon([(x * self.ss, y * self.ss) for x, y in pts], fill=fill)

    def line(self, pts, fill, width):
        self.draw.line([(x * self.ss, y * self.ss) for x, y in pts], fill=fill,
                       width=max(1, int(round(width * self.ss))), joint="curve")

    def arc(self, b, start, end, fill, width):
        self.draw.arc(self.box(b), start, end, fill=fill, width=max(1, int(round(width * self.ss))))

    def result(self):
        return self.img.resize((self.w, self.h), Image.LANCZOS)


def mask_of(w, h, painter, ss=SS):
    """Runs painter(layer) on a fresh layer and returns the downsampled alpha."""
    lay = Layer(w, h, ss, "L")
    painter(lay)
    return lay.result()


def fill_with(img, mask, color_or_img, opacity=1.0):
    """Paints a colour or an image through mask onto img (RGB or RGBA)."""
    if isinstance(color_or_img, tuple):
        src = Image.new("RGB", img.size, color_or_img[:3])
    else:
        src = color_or_img.convert("RGB")
    if opacity < 1.0:
        mask = mask.point(lambda v: int(v * opacity))
    if img.mode == "RGBA":
        top = src.convert("RGBA")
        top.putalpha(mask)
        img.alpha_composite(top)
    else:
        img.paste(src, (0, 0), mask)


def shadow(img, mask, offset=(0, 3), blur=6, color=(20, 50, 90), opacity=0.28):
    """Casts a soft shadow of mask onto img."""
    m = ImageChops.offset(mask, px(offset[0]), px(offset[1])).filter(ImageFilter.GaussianBlur(blur * K))
    fill_with(img, m, color, opacity)


def text_mask(size, xy, txt, fnt, anchor="la"):
    m = Image.new("L", size, 0)
    ImageDraw.Draw(m).text(xy, txt, font=fnt, fill=255, anchor=anchor)
    return m


def text(img, xy, txt, fnt, color, anchor="la", shadow_opacity=0.0, shadow_blur=2,
         shadow_offset=(0, 1), shadow_color=(10, 40, 80)):
    m = text_mask(img.size, (xy[0] * K, xy[1] * K), txt, fnt, anchor)
    if shadow_opacity:
        shadow(img, m, shadow_offset, shadow_blur, shadow_color, shadow_opacity)
    fill_with(img, m, color)


def star(cx, cy, r, inner=0.3, rot=0.0):
    pts = []
    for k in range(8):
        a = math.radians(rot + k * 45 - 90)
        rr = r if k % 2 == 0 else r * inner
        pts.append((cx + rr * math.cos(a), cy + rr * math.sin(a)))
    return pts


def rotate_pts(pts, angle_deg, origin):
    a = math.radians(angle_deg)
    ca, sa = math.cos(a), math.sin(a)
    ox, oy = origin
    return [(ox + x * ca - y * sa, oy + x * sa + y * ca) for x, y in pts]


# ------------------------------------------------------------- logo mark
def broom_parts(size, cx, cy, angle, scale=1.0):
    """Polygons of a broom whose bristle tips are centred at (cx, cy).

    Local frame: bristles at y 0, handle upwards (negative y); rotated
    clockwise by angle degrees. Returns (head, band, handle_line, width, slits).
    """
    u = size * scale
    head = [(-0.17 * u, 0.0), (-0.06 * u, -0.24 * u), (0.06 * u, -0.24 * u), (0.17 * u, 0.0),
            (0.09 * u, 0.025 * u), (0.0, 0.03 * u), (-0.09 * u, 0.025 * u)]
    band = [(-0.075 * u, -0.31 * u), (0.075 * u, -0.31 * u), (0.068 * u, -0.235 * u),
            (-0.068 * u, -0.235 * u)]
    handle = [(0.0, -0.30 * u), (0.0, -0.70 * u)]
    slits = []
    for k in (-2, -1, 0, 1, 2):
        top = (k * 0.018 * u, -0.22 * u)
        bot = (k * 0.062 * u, 0.01 * u)
        slits.append([top, bot])
    o = (cx, cy)
    return (rotate_pts(head, angle, o), rotate_pts(band, angle, o), rotate_pts(handle, angle, o),
            0.075 * u, [rotate_pts(s, angle, o) for s in slits])


def logo_mark(size, detail=True):
    """The Clutterix mark: a teal-to-blue tile with a white broom and sparkles."""
    ss = 8 if size < 64 else 4
    big = size * ss
    tile = Image.new("L", (big, big), 0)
    rad = 0.25 * big if size >= 24 else 0.22 * big
    ImageDraw.Draw(tile).rounded_rectangle([0, 0, big - 1, big - 1], radius=rad, fill=255)
    ground = gradient_px(big, big, TEAL, BLUE, 55)
    shine = radial_alpha_px(big, big, big * 0.25, big * 0.1, big * 0.9, 90, 0)
    ground.paste((255, 255, 255), (0, 0), shine)
    out = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    out.paste(ground, (0, 0))
    out.putalpha(tile)

    glyph = Image.new("L", (big, big), 0)
    d = ImageDraw.Draw(glyph)
    sc = 1.0 if detail else 1.12
    head, band, handle, hw, slits = broom_parts(big, big * 0.40, big * 0.84, 38, sc)
    d.line(handle, fill=255, width=int(hw))
    for p in (handle[1],):
        d.ellipse([p[0] - hw / 2, p[1] - hw / 2, p[0] + hw / 2, p[1] + hw / 2], fill=255)
    d.polygon(band, fill=255)
    d.polygon(head, fill=255)
    if detail:
        for s in slits[1:-1]:
            d.line(s, fill=0, width=max(1, int(big * 0.018)))
        # gap between band and head
        d.line(rotate_pts([(-0.1 * big, -0.245 * big), (0.1 * big, -0.245 * big)], 38,
                          (big * 0.40, big * 0.84)), fill=0, width=max(1, int(big * 0.012)))
    # sparkles
    d.polygon(star(big * 0.30, big * 0.30, big * (0.17 if detail else 0.2), 0.28), fill=255)
    if detail:
        d.polygon(star(big * 0.16, big * 0.56, big * 0.07, 0.3), fill=255)
        d.polygon(star(big * 0.53, big * 0.16, big * 0.055, 0.3), fill=255)
    glyph = ImageChops.multiply(glyph, tile)

    # faint shadow of the glyph inside the tile
    sh = ImageChops.offset(glyph, 0, max(1, big // 64)).filter(ImageFilter.GaussianBlur(big / 80))
    sh = ImageChops.multiply(sh, tile).point(lambda v: v * 0.35)
    dark = Image.new("RGBA", (big, big), NAVY + (0,))
    dark.putalpha(sh)
    out.alpha_composite(dark)
    white = Image.new("RGBA", (big, big), WHITE + (0,))
    white.putalpha(glyph)
    out.alpha_composite(white)
    if size >= 32:
        rim = Image.new("L", (big, big), 0)
        ImageDraw.Draw(rim).rounded_rectangle([0, 0, big - 1, big - 1], radius=rad, outline=80,
                                              width=max(1, big // 36))
        edge = Image.new("RGBA", (big, big), WHITE + (0,))
        edge.putalpha(rim)
        out.alpha_composite(edge)
    return out.resize((size, size), Image.LANCZOS)


def place_mark(img, x, y, size, shadow_opacity=0.3, detail=True):
    m = logo_mark(px(size), detail)
    if shadow_opacity:
        a = Image.new("L", img.size, 0)
        a.paste(m.split()[3], at((x, y)))
        shadow(img, a, (0, max(1, size // 24)), max(1, size / 14), NAVY, shadow_opacity)
    if img.mode == "RGBA":
        img.alpha_composite(m, at((x, y)))
    else:
        img.paste(m, at((x, y)), m)


# -------------------------------------------------------------- pictures
def header():
    w, h = 741, 114
    img = new("RGB", (w, h), WHITE)
    # light strip under the band (the About link sits on it)
    img.paste(gradient(w, h, PALE, WHITE, 90), (0, 0))

    def edge(x):
        t = x / w
        return 84 - 7 * math.sin(math.pi * t) + 5 * t

    band = mask_of(w, h, lambda L: L.poly([(-4, -4), (w + 4, -4)] +
                                            [(x, edge(x)) for x in range(w + 6, -7, -6)], 255))
    shadow(img, band, (0, 3), 5, NAVY, 0.22)
    ground = gradient(w, h, BLUE, TEAL, 10)
    glow = radial_alpha(w, h, 560, -40, 420, 70, 0)
    ground.paste((255, 255, 255), (0, 0), glow)
    deep = radial_alpha(w, h, 0, 120, 300, 70, 0)
    ground.paste(NAVY, (0, 0), deep)
    img.paste(ground, (0, 0), band)

    # decoration: translucent rings and sparkles on the right of the band
    deco = Layer(w, h)
    for cx, cy, r, a in ((650, 10, 70, 20), (700, 75, 46, 16), (560, 70, 26, 14), (470, -10, 40, 10)):
        deco.ellipse((cx - r, cy - r, cx + r, cy + r), fill=(255, 255, 255, a))
    for cx, cy, r, a in ((610, 30, 9, 150), (636, 52, 5, 120), (520, 24, 5, 110), (690, 30, 6, 130)):
        deco.poly(star(cx, cy, r, 0.28), fill=(255, 255, 255, a))
    d = deco.result()
    d.putalpha(ImageChops.multiply(d.split()[3], band))
    img = img.convert("RGBA")
    img.alpha_composite(d)

    place_mark(img, 18, 10, 62, 0.35)
    text(img, (92, 10), "Clutterix", font(40, True), WHITE, shadow_opacity=0.35, shadow_blur=3,
         shadow_offset=(0, 2))
    # Labels show the maker's line under the wordmark (95, 58) and the product's kind and motto
    # right-aligned at 717 (y 40 and 62), in the language of the program.
    return img.convert("RGB")


def footer():
    w, h = 741, 75
    img = gradient(w, h, WHITE, PALE, 90).convert("RGBA")
    hl = Layer(w, h)
    hl.line([(24, 0.5), (w - 24, 0.5)], LINE + (255,), 1)
    img.alpha_composite(hl.result())
    place_mark(img, 24, 16, 30, 0.25)
    # (64, 17) and (64, 36) are left free for the two lines of the footer's labels.
    text(img, (w - 24, 27), "\u00a9 Torvex", font(12, True), GREY, anchor="ra")
    # accent stripe along the bottom
    stripe = gradient(w, 5, BLUE, TEAL, 0)
    img.paste(stripe, (0, img.size[1] - stripe.size[1]))
    return img.convert("RGB")


def body_ground():
    """Shared background of the three body pictures."""
    w, h = BODY_W, BODY_H
    img = new("RGB", (w, h), WHITE)
    low = gradient(w, 40, WHITE, (246, 250, 253), 90)
    img.paste(low, (0, img.size[1] - low.size[1]))
    # very faint tinted blobs in the corners
    blob = radial_alpha(w, h, w + 40, h + 60, 260, 60, 0)
    img.paste(PALE, (0, 0), blob)
    blob = radial_alpha(w, h, -60, h + 40, 200, 50, 0)
    img.paste(PALE, (0, 0), blob)
    return img


def card(img, b, r=10, accent=None, shadow_opacity=0.16):
    w, h = units(img)
    m = mask_of(w, h, lambda L: L.rrect(b, r, 255))
    shadow(img, m, (0, 3), 6, NAVY, shadow_opacity)
    fill_with(img, m, WHITE)
    o = Layer(w, h)
    o.rrect(b, r, None, LINE + (255,), 1)
    if accent:
        o.rrect((b[0], b[1], b[0] + 4, b[3]), 2, accent + (255,))
    res = o.result()
    if img.mode == "RGBA":
        img.alpha_composite(res)
    else:
        img.paste(res, (0, 0), res)


def step_heading(img, x, y, number):
    """The numbered circle of a step; its heading is a label from x + 30 on."""
    lay = Layer(*units(img))
    lay.ellipse((x, y, x + 22, y + 22), fill=TEAL + (255,))
    r = lay.result()
    img.alpha_composite(r)
    text(img, (x + 11, y + 11), str(number), font(13, True), WHITE, anchor="mm")


def drive_illustration(img, cx, cy):
    w, h = units(img)
    fill_with(img, radial_alpha(w, h, cx, cy, 100, 255, 0), (224, 243, 248))
    # the drive body
    bx0, by0, bx1, by1 = cx - 58, cy - 36, cx + 58, cy + 40
    m = mask_of(w, h, lambda L: L.rrect((bx0, by0, bx1, by1), 12, 255))
    shadow(img, m, (0, 5), 7, NAVY, 0.25)
    fill_with(img, m, gradient(w, h, (252, 254, 255), (214, 228, 240), 90))
    lay = Layer(w, h)
    lay.rrect((bx0, by0, bx1, by1), 12, None, (186, 206, 224, 255), 1.2)
    # platter
    px, py, pr = cx - 16, cy + 2, 28
    lay.ellipse((px - pr, py - pr, px + pr, py + pr), fill=(236, 244, 250, 255),
                outline=(168, 194, 216, 255), width=1.2)
    lay.ellipse((px - pr + 8, py - pr + 8, px + pr - 8, py + pr - 8), None,
                (198, 216, 232, 255), 1)
    lay.ellipse((px - 5, py - 5, px + 5, py + 5), fill=(150, 178, 204, 255))
    # read arm
    lay.line([(cx + 36, cy - 20), (px + 10, py + 12)], (120, 150, 180, 255), 4)
    lay.ellipse((cx + 31, cy - 25, cx + 41, cy - 15), fill=(120, 150, 180, 255))
    # activity light
    lay.ellipse((cx + 36, cy + 24, cx + 44, cy + 32), fill=MINT + (255,))
    for dx in (0, 6, 12):
        lay.rrect((cx + 10 + dx, cy + 25, cx + 14 + dx, cy + 31), 1, (190, 208, 226, 255))
    img.alpha_composite(lay.result())
    # sparkles: the drive is clean
    sp = Layer(w, h)
    for sx, sy, r, c in ((cx + 52, cy - 52, 14, TEAL), (cx + 70, cy - 28, 7, SKY),
                         (cx - 62, cy - 50, 9, MINT), (cx - 74, cy + 36, 6, SKY),
                         (cx + 60, cy + 56, 8, TEAL)):
        sp.poly(star(sx, sy, r, 0.28), c + (255,))
    img.alpha_composite(sp.result())


def settings_ground():
    """The settings body without the start button (the button pictures reuse it)."""
    img = body_ground().convert("RGBA")
    drive_illustration(img, 120, 150)
    step_heading(img, 228, 44, 1)
    step_heading(img, 470, 44, 2)
    # the panel behind the six check boxes and the options link
    card(img, (228, 80, 452, 248), 10)
    lay = Layer(*units(img))
    lay.line([(240, 220), (440, 220)], LINE + (255,), 1)
    img.alpha_composite(lay.result())
    # the category hint panel (window 126, 397, 483 x 70) opens inside this card
    card(img, (124, 397 - BODY_Y - 2, 126 + 483 + 2, 397 - BODY_Y + 70 + 2), 8,
         shadow_opacity=0.10)
    # Labels: the placeholder in the hint card, and under the start button (centred on x 534,
    # from window y 340 down to the card) what the button does.
    return img


START_X, START_Y = 459, 185 - BODY_Y


def magnifier(lay, cx, cy, r, color, width):
    lay.ellipse((cx - r, cy - r, cx + r, cy + r), None, color, width)
    a = math.radians(45)
    x0, y0 = cx + (r + width * 0.3) * math.cos(a), cy + (r + width * 0.3) * math.sin(a)
    x1, y1 = cx + r * 2.0 * math.cos(a), cy + r * 2.0 * math.sin(a)
    lay.line([(x0, y0), (x1, y1)], color, width * 1.5)
    lay.ellipse((x1 - width * 0.75, y1 - width * 0.75, x1 + width * 0.75, y1 + width * 0.75), color)


def start_button(ground, state):
    """One 150 x 150 start picture, drawn over the settings background."""
    w = h = 150
    box = (px(START_X), px(START_Y), px(START_X) + px(w), px(START_Y) + px(h))
    img = ground.crop(box).convert("RGBA")
    shift = 2 if state == "clicked" else 0
    cx, cy, r = 75 + shift, 73 + shift, 60
    disc = mask_of(w, h, lambda L: L.ellipse((cx - r, cy - r, cx + r, cy + r), 255))
    if state == "hover":
        glow = mask_of(w, h, lambda L: L.ellipse((cx - r - 4, cy - r - 4, cx + r + 4, cy + r + 4), 255))
        shadow(img, glow, (0, 0), 6, MINT, 0.85)
    if state == "clicked":
        shadow(img, disc, (0, 1), 3, NAVY, 0.35)
    else:
        shadow(img, disc, (0, 5), 7, NAVY, 0.35)
    if state == "inactive":
        c1, c2 = (40, 196, 196), (26, 100, 200)
    elif state == "hover":
        c1, c2 = (70, 222, 212), (36, 128, 226)
    else:
        c1, c2 = (22, 150, 160), (18, 72, 160)
    face = gradient(w, h, c1, c2, 70)
    fill_with(img, disc, face)
    # rim and gloss
    lay = Layer(w, h)
    lay.ellipse((cx - r, cy - r, cx + r, cy + r), None, (255, 255, 255, 110), 2.5)
    lay.ellipse((cx - r + 5, cy - r + 5, cx + r - 5, cy + r - 5), None, (255, 255, 255, 35), 1.5)
    img.alpha_composite(lay.result())
    gloss = mask_of(w, h, lambda L: L.ellipse((cx - r + 12, cy - r + 4, cx + r - 12, cy + 4), 255))
    gloss = ImageChops.multiply(gloss, gradient(w, h, (255, 255, 255), (0, 0, 0), 90).convert("L")
                                .point(lambda v: min(255, int(v * 1.6))))
    fill_with(img, gloss, WHITE, 0.28 if state != "clicked" else 0.14)
    # glyph: a small magnifier with a sparkle high on the face, which leaves the face's widest
    # part, two lines centred on cy + 14, to the words: a label, in the program's language
    g = Layer(w, h)
    magnifier(g, cx - 4, cy - 30, 11, (255, 255, 255, 255), 4)
    g.poly(star(cx - 8, cy - 34, 5, 0.3), (255, 255, 255, 255))
    gm = g.result().split()[3]
    shadow(img, gm, (0, 1), 1.5, NAVY, 0.4)
    fill_with(img, gm, WHITE)
    # fade glow and shadow out towards the square's edge so it meets the page invisibly
    keep = new("L", (w, h), 0)
    ImageDraw.Draw(keep).rectangle([px(7), px(7), keep.size[0] - 1 - px(7), keep.size[1] - 1 - px(7)], fill=255)
    keep = keep.filter(ImageFilter.GaussianBlur(3 * K))
    plain = ground.crop(box).convert("RGB")
    return Image.composite(img.convert("RGB"), plain, keep)


def stats_and_list(img, icon):
    # page heading
    lay = Layer(*units(img))
    lay.ellipse((24, 13, 62, 51), fill=TEAL + (255,))
    i = lay.result()
    shadow(img, i.split()[3], (0, 2), 3, NAVY, 0.25)
    img.alpha_composite(i)
    g = Layer(*units(img))
    if icon == "scan":
        magnifier(g, 41, 29, 8, (255, 255, 255, 255), 3)
    else:
        g.line([(34, 32), (40, 38), (52, 25)], (255, 255, 255, 255), 4)
    img.alpha_composite(g.result())
    # the page's title (74, 11) and subtitle (75, 39) are labels, up to the summary card
    # the summary card behind "Traces Found:" / "Summary Size:" and their values
    card(img, (430, 6, 720, 62), 8, accent=TEAL)
    # frame around the result list (the list covers the inside completely)
    x0, y0, x1, y1 = 24, 182 - BODY_Y, 24 + 692, 182 - BODY_Y + 225
    card(img, (x0 - 1, y0 - 1, x1 + 1, y1 + 1), 3, shadow_opacity=0.14)
    return img


def scanning():
    img = body_ground().convert("RGBA")
    stats_and_list(img, "scan")
    return img.convert("RGB")


def results():
    img = body_ground().convert("RGBA")
    stats_and_list(img, "done")
    return img.convert("RGB")


def alert():
    w, h = 420, 200
    img = new("RGBA", (w, h), WHITE + (255,))
    side = gradient(100, h, (232, 244, 251), (214, 235, 246), 90)
    img.paste(side, (0, 0))
    lay = Layer(w, h)
    lay.line([(100.5, 0), (100.5, h)], LINE + (255,), 1)
    img.alpha_composite(lay.result())
    # emblem: rounded amber triangle with an exclamation mark
    cx, cy = 50, 64

    def tri(L):
        pts = [(cx, cy - 30), (cx + 32, cy + 26), (cx - 32, cy + 26)]
        L.poly(pts, 255)
        L.line(pts + [pts[0]], 255, 9)

    m = mask_of(w, h, tri)
    shadow(img, m, (0, 3), 4, (120, 70, 0), 0.3)
    fill_with(img, m, gradient(w, h, AMBER, ORANGE, 90))
    ex = Layer(w, h)
    ex.rrect((cx - 3.5, cy - 16, cx + 3.5, cy + 9), 3.5, WHITE + (255,))
    ex.ellipse((cx - 4, cy + 13, cx + 4, cy + 21), WHITE + (255,))
    img.alpha_composite(ex.result())
    place_mark(img, 34, 140, 32, 0.25)
    # accent stripe at the top
    img.paste(gradient(w, 4, BLUE, TEAL, 0), (0, 0))
    return img.convert("RGB")


def about():
    w, h = 421, 270
    img = gradient(w, h, BLUE, TEAL, 35)
    img.paste((255, 255, 255), (0, 0), radial_alpha(w, h, 210, 60, 260, 70, 0))
    img.paste(NAVY, (0, 0), radial_alpha(w, h, 0, h, 260, 90, 0))
    img = img.convert("RGBA")
    deco = Layer(w, h)
    for cx, cy, r, a in ((380, 30, 70, 18), (30, 40, 40, 14), (360, 240, 50, 14), (60, 250, 30, 12)):
        deco.ellipse((cx - r, cy - r, cx + r, cy + r), fill=(255, 255, 255, a))
    for cx, cy, r, a in ((300, 48, 8, 170), (322, 70, 4, 130), (112, 60, 6, 140), (96, 88, 3, 110)):
        deco.poly(star(cx, cy, r, 0.28), fill=(255, 255, 255, a))
    img.alpha_composite(deco.result())
    place_mark(img, (w - 80) // 2, 22, 80, 0.4)
    text(img, (w // 2, 114), "Clutterix", font(40, True), WHITE, anchor="ma", shadow_opacity=0.35,
         shadow_blur=3, shadow_offset=(0, 2))
    # (w // 2, 164) is left free: the about box shows the release's version there as a label.
    lay = Layer(w, h)
    lay.line([(130, 192), (291, 192)], (255, 255, 255, 90), 1)
    img.alpha_composite(lay.result())
    # Below the line the about box's labels: the maker's line (y 202) and the notice of the
    # Independent JPEG Group (y 222, two lines).
    return img.convert("RGB")


OPTIONS_H = 591  # the options dialog's client height (kHeight in settings/dlgOptions.cpp)


def options():
    w, h = 411, OPTIONS_H
    img = new("RGB", (w, h), WHITE)
    band = gradient(w, 50, BLUE, TEAL, 10)
    band.paste((255, 255, 255), (0, 0), radial_alpha(w, 50, 330, -30, 220, 60, 0))
    img.paste(band, (0, 0))
    img = img.convert("RGBA")
    deco = Layer(w, h)
    for cx, cy, r, a in ((370, 6, 40, 18), (300, 48, 22, 12)):
        deco.ellipse((cx - r, cy - r, cx + r, cy + r), fill=(255, 255, 255, a))
    deco.poly(star(300, 16, 6, 0.28), (255, 255, 255, 150))
    deco.poly(star(284, 34, 3, 0.3), (255, 255, 255, 110))
    d = deco.result()
    clip = new("L", (w, h), 0)
    clip.paste(255, (0, 0, clip.size[0], band.size[1]))
    d.putalpha(ImageChops.multiply(deco.result().split()[3], clip))
    img.alpha_composite(d)
    place_mark(img, 12, 9, 32, 0.3)
    # the dialog's title is a label from x 54, centred on y 25
    text(img, (w - 14, 26), "Clutterix", font(12, True), (225, 246, 250), anchor="rm")
    # bottom strip with the OK button on the right
    strip = gradient(w, 44, WHITE, PALE, 90)
    img.paste(strip, (0, img.size[1] - strip.size[1]))
    lay = Layer(w, h)
    lay.line([(7, h - 43.5), (w - 7, h - 43.5)], LINE + (255,), 1)
    img.alpha_composite(lay.result())
    text(img, (12, h - 25), "Clutterix  \u2022  \u00a9 Torvex", font(10), GREY, anchor="lm")
    return img.convert("RGB")


# ------------------------------------------------------------ tray frames
TRAY_CORNER = (44, 58, 74)


def badge(c1, c2):
    n, ss = 16, 8
    big = n * ss
    out = Image.new("RGB", (big, big), TRAY_CORNER)
    m = Image.new("L", (big, big), 0)
    ImageDraw.Draw(m).rounded_rectangle([0, 0, big - 1, big - 1], radius=3.2 * ss, fill=255)
    out.paste(gradient_px(big, big, c1, c2, 60), (0, 0), m)
    return out, m


def tray_frame(kind, i, count):
    n, ss = 16, 8
    big = n * ss
    if kind == "scan":
        out, tile = badge((44, 170, 236), (18, 76, 170))
    else:
        out, tile = badge((50, 204, 170), (14, 128, 150))
    g = Image.new("L", (big, big), 0)
    d = ImageDraw.Draw(g)
    if kind == "scan":
        # a magnifier circling around the middle of the badge
        a = 2 * math.pi * i / count
        cx, cy = 6.6 + 1.6 * math.cos(a), 6.6 + 1.6 * math.sin(a)
        r, wd = 3.9, 1.8
        d.ellipse([(cx - r) * ss, (cy - r) * ss, (cx + r) * ss, (cy + r) * ss],
                  outline=255, width=int(wd * ss))
        hx0, hy0 = cx + 0.707 * (r + 0.3), cy + 0.707 * (r + 0.3)
        hx1, hy1 = cx + 0.707 * (r + 3.6), cy + 0.707 * (r + 3.6)
        d.line([(hx0 * ss, hy0 * ss), (hx1 * ss, hy1 * ss)], fill=255, width=int(2.3 * ss))
        # a glint in the lens, turning with the frame
        gx, gy = cx - 1.3, cy - 1.3
        d.ellipse([(gx - 0.8) * ss, (gy - 0.8) * ss, (gx + 0.8) * ss, (gy + 0.8) * ss], fill=170)
    else:
        # a broom swinging from its handle, sweeping dust away
        t = i / count
        swing = math.sin(2 * math.pi * t)
        ang = -32 * swing
        pivot = (9.5 * ss, 1.2 * ss)
        handle = [(0, 0), (0, 8.6 * ss)]
        head = [(-1.3 * ss, 8.2 * ss), (1.3 * ss, 8.2 * ss), (3.6 * ss, 12.9 * ss),
                (0, 13.4 * ss), (-3.6 * ss, 12.9 * ss)]
        d.line(rotate_pts(handle, ang, pivot), fill=255, width=int(1.9 * ss))
        d.polygon(rotate_pts(head, ang, pivot), fill=255)
        for k in (-1, 1):
            d.line(rotate_pts([(k * 0.5 * ss, 10 * ss), (k * 1.6 * ss, 13.2 * ss)], ang, pivot),
                   fill=0, width=int(0.5 * ss))
        # dust puffs kicked out on the side the broom moves to
        direction = 1 if math.cos(2 * math.pi * t) < 0 else -1
        for k in range(3):
            ph = (t * 2 + k / 3.0) % 1.0
            dx = 9.5 + direction * (3.5 + ph * 4.5) - 4 * swing
            dy = 13.6 - ph * 3.5
            rr = 1.1 - 0.4 * ph
            d.ellipse([(dx - rr) * ss, (dy - rr) * ss, (dx + rr) * ss, (dy + rr) * ss],
                      fill=int(220 * (1 - ph)))
        sp = 0.5 + 0.5 * math.cos(2 * math.pi * t)
        d.polygon(star(3.4 * ss, 3.6 * ss, (1.4 + 1.4 * sp) * ss, 0.3), fill=255)
    g = ImageChops.multiply(g, tile)
    out.paste(WHITE, (0, 0), g)
    return out.resize((px(n), px(n)), Image.LANCZOS)


# -------------------------------------------------------------------- icon
def icon_images():
    imgs = []
    for s in (48, 32, 16):
        m = logo_mark(s, detail=s >= 32)
        imgs.append(m)
    return imgs


# ------------------------------------------------------------------ output
def save_jpeg(img, name, expect):
    """Saves a picture drawn at the current scale under the name of that scale."""
    expect = (px(expect[0]), px(expect[1]))
    assert img.size == expect, (name, img.size, expect)
    stem, ext = os.path.splitext(name)
    path = os.path.join(IMAGES, stem + SUFFIX + ext)
    img.convert("RGB").save(path, "JPEG", quality=90, optimize=True, progressive=False,
                            subsampling=0 if max(expect) <= px(16) else 2)
    return path


def contact_sheet(paths, out, bg=(200, 200, 200), scale=1):
    ims = [Image.open(p).convert("RGB") for p in paths]
    ims = [im.resize((im.size[0] * scale, im.size[1] * scale), Image.NEAREST) for im in ims]
    width = max(im.size[0] for im in ims) if len(ims) < 4 else sum(im.size[0] + 4 for im in ims)
    if len(ims) < 4:
        height = sum(im.size[1] + 4 for im in ims)
        sheet = Image.new("RGB", (width, height), bg)
        y = 0
        for im in ims:
            sheet.paste(im, (0, y))
            y += im.size[1] + 4
    else:
        height = max(im.size[1] for im in ims)
        sheet = Image.new("RGB", (width, height), bg)
        x = 0
        for im in ims:
            sheet.paste(im, (x, 0))
            x += im.size[0] + 4
    sheet.save(out)


def main():
    preview = None
    if "--preview" in sys.argv:
        preview = sys.argv[sys.argv.index("--preview") + 1]
        os.makedirs(preview, exist_ok=True)
    os.makedirs(IMAGES, exist_ok=True)
    global K, SUFFIX
    # The shipped names last, so that the previews show them.
    for K, SUFFIX in reversed(SCALES):
        out, scans, cleans = draw_pictures()
    icons = icon_images()
    icons[0].save(ICON, format="ICO", sizes=[(48, 48), (32, 32), (16, 16)],
                  append_images=icons[1:])
    if preview:
        write_previews(out, scans, cleans, icons, preview)


def draw_pictures():
    """Every picture at the current scale: their paths by name, and the tray frames' paths."""
    hdr = header()
    ftr = footer()
    ground = settings_ground()
    out = {}
    out["header"] = save_jpeg(hdr, "header.jpg", (741, 114))
    out["footer"] = save_jpeg(ftr, "footer.jpg", (741, 75))
    out["settings"] = save_jpeg(ground.convert("RGB"), "settings.jpg", (741, 377))
    out["scanning"] = save_jpeg(scanning(), "scanning.jpg", (741, 377))
    out["results"] = save_jpeg(results(), "results.jpg", (741, 377))
    for state in ("inactive", "hover", "clicked"):
        out["start_" + state] = save_jpeg(start_button(ground, state), "start_%s.jpg" % state,
                                          (150, 150))
    out["alert"] = save_jpeg(alert(), "alert.jpg", (420, 200))
    out["about"] = save_jpeg(about(), "about.jpg", (421, 270))
    out["options"] = save_jpeg(options(), "options.jpg", (411, OPTIONS_H))
    scans = [save_jpeg(tray_frame("scan", i, 18), "scan%02d.jpg" % (i + 1), (16, 16))
             for i in range(18)]
    cleans = [save_jpeg(tray_frame("clean", i, 19), "clean%02d.jpg" % (i + 1), (16, 16))
              for i in range(19)]
    return out, scans, cleans


def write_previews(out, scans, cleans, icons, preview):
    window_preview(out, os.path.join(preview, "main_settings.png"), "settings", "inactive")
    window_preview(out, os.path.join(preview, "main_scanning.png"), "scanning", None)
    window_preview(out, os.path.join(preview, "main_results.png"), "results", None)
    contact_sheet([out["start_inactive"], out["start_hover"], out["start_clicked"]],
                  os.path.join(preview, "start.png"))
    contact_sheet([out["alert"], out["about"]], os.path.join(preview, "dialogs.png"))
    contact_sheet([out["options"]], os.path.join(preview, "options.png"))
    contact_sheet(scans, os.path.join(preview, "scan_frames.png"), TRAY_CORNER, 4)
    contact_sheet(cleans, os.path.join(preview, "clean_frames.png"), TRAY_CORNER, 4)
    ic = Image.new("RGBA", (48 + 32 + 16 + 24, 48), (230, 230, 230, 255))
    x = 0
    for m in icons:
        ic.alpha_composite(m, (x, 0))
        x += m.size[0] + 8
    ic.resize((ic.size[0] * 3, ic.size[1] * 3), Image.NEAREST).save(
        os.path.join(preview, "icon.png"))


def window_preview(out, path, page, start_state):
    """The main window as the program lays it out, with stand-ins for controls."""
    win = Image.new("RGB", (741, 566), WHITE)
    win.paste(Image.open(out["header"]), (0, 0))
    win.paste(Image.open(out[page]), (0, BODY_Y))
    win.paste(Image.open(out["footer"]), (0, 566 - 75))
    d = ImageDraw.Draw(win)
    f = font(11)
    d.text((8, 95), "About", font=f, fill=(0, 0, 255))
    d.line([(8, 108), (38, 108)], fill=(0, 0, 255))
    if page == "settings":
        win.paste(Image.open(out["start_" + start_state]), (459, 185))
        names = ["Recycle Bins", "Temp Internet Files", "Temp Folders", "Old Log Files",
                 "Old Image Thumbnails", "Backup Files for Windows Update"]
        for k, n in enumerate(names):
            y = 203 + 23 * k
            d.rectangle([244, y + 2, 256, y + 14], outline=(80, 80, 80), fill=WHITE)
            d.text((268, y + 2), n, font=f, fill=(0, 0, 0))
        d.text((244, 341), "Advanced Options", font=f, fill=(0, 0, 255))
    else:
        d.rectangle([24, 182, 24 + 691, 182 + 224], fill=WHITE)
        d.rectangle([24, 182, 24 + 691, 200], fill=(240, 240, 240))
        d.text((30, 185), "Garbage Items", font=f, fill=(0, 0, 0))
        d.text((449, 128), "Traces Found:", font=font(12, True), fill=(0, 0, 0))
        d.text((443, 152), "Summary Size:", font=font(12, True), fill=(0, 0, 0))
        d.text((550, 127), "12 ( 40 )", font=font(13), fill=(0, 0, 0))
        d.text((550, 151), "84.213 MB", font=font(13), fill=(0, 0, 0))
        d.text((24, 426), "Current Position:", font=f, fill=(0, 0, 0))
        d.text((134, 426), "C:\\Windows\\Temp", font=f, fill=(0, 0, 0))
        for x, n in ((24, "Back to Settings"), (166, "Stop Scanning"), (308, "Clean Selected"),
                     (450, "Clean All")):
            d.rectangle([x, 450, x + 135, 474], outline=(112, 112, 112), fill=(236, 236, 236))
            d.text((x + 68, 462), n, font=f, fill=(0, 0, 0), anchor="mm")
    win.save(path)


if __name__ == "__main__":
    main()
