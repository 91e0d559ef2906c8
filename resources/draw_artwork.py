#!/usr/bin/python3
"""Draws Movara's built-in artwork into this folder.

The results are committed, so the build needs no drawing tools; run this script
(Debian's python3-pil) again after changing it, and commit what it writes.
"""
import math
import os
from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))

# The palette the whole look is built from.
DARK_BLUE = (49, 66, 97)
LIST_GREY = (220, 220, 220)
LIST_BLUE = (185, 194, 212)
TRACK_BLUE = (74, 82, 107)
BAR_RED = (154, 30, 28)


def draw_app_icon(size):
    """The program icon: a dark-blue rounded tile with a film strip and a play mark."""
    scale = 4  # drawn large, then reduced, for smooth edges at 16 pixels
    big = size * scale
    im = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    d = ImageDraw.Draw(im)
    r = big // 5
    d.rounded_rectangle((0, 0, big - 1, big - 1), radius=r, fill=DARK_BLUE + (255,))
    d.rounded_rectangle((big // 16, big // 16, big - 1 - big // 16, big // 2), radius=r,
                        fill=TRACK_BLUE + (255,))
    # the film strip's perforations along top and bottom
    hole = max(big // 12, 2)
    for i in range(5):
        x = big // 8 + i * (big * 3 // 16)
        d.rectangle((x, big // 10, x + hole, big // 10 + hole), fill=LIST_BLUE + (255,))
        d.rectangle((x, big - big // 10 - hole, x + hole, big - big // 10), fill=LIST_BLUE + (255,))
    # the play mark
    d.polygon([(big * 0.38, big * 0.30), (big * 0.38, big * 0.70), (big * 0.72, big * 0.50)],
              fill=(255, 255, 255, 255))
    return im.resize((size, size), Image.LANCZOS)


# ---------------------------------------------------------------------------------------------------------------
# The built-in skin: bitmaps 159-172 and 175-180 (see resource.h for their roles). One look throughout: a light,
# cool blue-grey body under a dark blue title, light raised fields, and dark slate scroll bars whose buttons and
# thumbs are soft rounded tiles. Everything is drawn at 1:1 with whole-pixel geometry, so it stays crisp; only
# rounded corners are drawn large and reduced, for smooth edges.

ACCENT_BLUE = (83, 184, 255)     # the filled progress bar's blue
BAR_BLUE = (74, 97, 133)         # the empty progress bar's blue
WHITE = (255, 255, 255)
BODY_TOP = (236, 240, 246)
BODY_BOTTOM = (206, 214, 228)
FIELD_BORDER = (143, 156, 182)
HEADER_LINE = (150, 162, 186)
TILE = (240, 243, 248)
BUTTON_TOP = (110, 122, 154)     # scroll bar buttons and thumbs: a lighter slate than the track
BUTTON_BOTTOM = (88, 99, 128)
BUTTON_EDGE = (52, 58, 78)
GLYPH = (236, 240, 248)


def mix(a, b, t):
    """The colour t of the way from a to b."""
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def lighter(c, amount):
    return tuple(min(255, v + amount) for v in c)


def vertical_gradient(width, height, top, bottom):
    im = Image.new("RGB", (width, height))
    px = im.load()
    for y in range(height):
        c = mix(top, bottom, y / max(1, height - 1))
        for x in range(width):
            px[x, y] = c
    return im


def horizontal_gradient(width, height, left, right):
    return vertical_gradient(height, width, left, right).transpose(Image.TRANSPOSE)


def rounded_tile(width, height, radius, top, bottom, edge, background, vertical=True):
    """A rounded tile with a gradient face, a one-pixel edge and a light inner top line, on background."""
    scale = 4
    big = (width * scale, height * scale)
    face = vertical_gradient(width, height, top, bottom) if vertical else horizontal_gradient(width, height, top, bottom)
    # The shape, drawn large and reduced: its alpha gives the smooth corners.
    outer = Image.new("L", big, 0)
    ImageDraw.Draw(outer).rounded_rectangle((0, 0, big[0] - 1, big[1] - 1), radius=radius * scale, fill=255)
    inner = Image.new("L", big, 0)
    ImageDraw.Draw(inner).rounded_rectangle((scale, scale, big[0] - 1 - scale, big[1] - 1 - scale),
                                           radius=max(0, radius - 1) * scale, fill=255)
    outer = outer.resize((width, height), Image.BOX)
    inner = inner.resize((width, height), Image.BOX)
    im = Image.new("RGB", (width, height), background)
    im.paste(Image.new("RGB", (width, height), edge), (0, 0), outer)
    im.paste(face, (0, 0), inner)
    # A highlight along the inner top (or left) edge gives the tile a little relief.
    px = im.load()
    ipx = inner.load()
    for x in range(width):
        for y in range(height):
            first = (y == 1) if vertical else (x == 1)
            if first and ipx[x, y] > 200:
                px[x, y] = mix(px[x, y], WHITE, 0.35)
    return im


def triangle(im, direction, colour, size=4):
    """A crisp arrow head in the middle of a 16 x 16 tile: rows of 8, 6, 4 and 2 pixels."""
    px = im.load()
    w, h = im.size
    cx, cy = w // 2, h // 2
    for i in range(size):
        half = size - i          # 4, 3, 2, 1: half widths of the rows
        for j in range(-half, half):
            if direction == "up":
                x, y = cx + j, cy + 1 - i
            elif direction == "down":
                x, y = cx + j, cy - 2 + i
            elif direction == "left":
                x, y = cx + 1 - i, cy + j
            else:
                x, y = cx - 2 + i, cy + j
            px[x, y] = colour


def grip(im, vertical, colour, shadow):
    """Three short ridges in the middle of a thumb."""
    px = im.load()
    w, h = im.size
    for k in (-3, 0, 3):
        for t in range(-3, 4):
            if vertical:
                x, y = w // 2 + t, h // 2 + k
                if 0 <= x < w:
                    px[x, y] = colour
                    px[x, y + 1] = shadow
            else:
                x, y = w // 2 + k, h // 2 + t
                if 0 <= y < h:
                    px[x, y] = colour
                    px[x + 1, y] = shadow


def draw_skin():
    """Returns {resource id: image} for the built-in skin."""
    art = {}

    # 175: title strip, 372 x 25. Stretched to the window's width, so it only varies from top to bottom.
    title = vertical_gradient(372, 25, (72, 94, 134), DARK_BLUE)
    d = ImageDraw.Draw(title)
    d.line((0, 0, 371, 0), fill=(104, 126, 166))
    d.line((0, 23, 371, 23), fill=(38, 52, 78))
    d.line((0, 24, 371, 24), fill=ACCENT_BLUE)
    art[175] = title

    # 176: window body (and the list box's item area), 372 x 279: a calm cool shade, stretched sideways. Light at
    # the top and bottom, a little deeper in the middle, so that a body repeated downwards shows no seam.
    body = Image.new("RGB", (372, 279))
    bp = body.load()
    for y in range(279):
        t = (1 - math.cos(2 * math.pi * y / 279)) / 2
        c = mix(BODY_TOP, BODY_BOTTOM, t)
        for x in range(372):
            bp[x, y] = c
    art[176] = body

    # 177: the face of combo boxes and edit fields, 1 x 18: a light inset field.
    face = vertical_gradient(1, 18, (246, 248, 251), WHITE)
    fp = face.load()
    fp[0, 0] = FIELD_BORDER
    fp[0, 1] = (222, 228, 238)
    fp[0, 16] = (236, 240, 246)
    fp[0, 17] = (196, 205, 221)
    art[177] = face

    # 178: 54 x 12, the fields' "fore" bitmap: a small raised pill of the field's colours.
    art[178] = rounded_tile(54, 12, 4, WHITE, (226, 232, 242), FIELD_BORDER, WHITE)

    # 179: the combo box's arrow, 16 x 16: a dark blue rounded button with a light chevron, on the field's white.
    arrow = rounded_tile(16, 16, 3, (84, 106, 146), DARK_BLUE, (38, 52, 78), WHITE)
    triangle(arrow, "down", WHITE)
    art[179] = arrow

    # 180: the drop-down list's and the list box's tile, 113 x 13: flat, so that it tiles without seams.
    art[180] = Image.new("RGB", (113, 13), TILE)

    # Column header: 159 the fill (1 x 16), 160 the left cap (2 x 16), 161 the right cap (2 x 16).
    span = vertical_gradient(1, 16, (250, 251, 253), LIST_BLUE)
    sp = span.load()
    sp[0, 15] = HEADER_LINE
    art[159] = span
    start = Image.new("RGB", (2, 16))
    end = Image.new("RGB", (2, 16))
    for y in range(16):
        c = sp[0, y]
        start.putpixel((0, y), mix(c, WHITE, 0.8) if y < 15 else HEADER_LINE)
        start.putpixel((1, y), c)
        end.putpixel((0, y), c)
        end.putpixel((1, y), mix(c, HEADER_LINE, 0.85) if 2 <= y < 14 else c)
    art[160] = start
    art[161] = end

    # Scroll bars: the track is the dark slate; arrows and thumbs are lighter rounded tiles on it.
    track_h = Image.new("RGB", (1, 16))
    for y in range(16):
        track_h.putpixel((0, y), (62, 69, 92) if y == 0 else (92, 101, 128) if y == 15 else
                         mix((68, 76, 100), TRACK_BLUE, y / 14))
    art[164] = track_h
    art[168] = track_h.transpose(Image.TRANSPOSE)

    def button(direction):
        im = rounded_tile(16, 16, 3, BUTTON_TOP, BUTTON_BOTTOM, BUTTON_EDGE, TRACK_BLUE)
        triangle(im, direction, GLYPH)
        return im

    art[165] = button("left")
    art[163] = button("right")
    art[167] = button("up")
    art[170] = button("down")

    thumb_h = rounded_tile(67, 16, 4, (206, 214, 230), (166, 178, 202), BUTTON_EDGE, TRACK_BLUE)
    grip(thumb_h, False, (120, 132, 160), (232, 236, 244))
    art[162] = thumb_h
    thumb_v = rounded_tile(16, 67, 4, (206, 214, 230), (166, 178, 202), BUTTON_EDGE, TRACK_BLUE, vertical=False)
    grip(thumb_v, True, (120, 132, 160), (232, 236, 244))
    art[169] = thumb_v

    # 172: the square below the down arrow, 16 x 16: the track with a size-grip of dots. 166 and 171 are spare
    # squares of the same family (the corner where two bars meet, and a square above the up arrow).
    corner = Image.new("RGB", (16, 16), (68, 76, 100))
    cp = corner.load()
    for i in range(3):
        for j in range(3 - i):
            x, y = 11 - 3 * j, 11 - 3 * i
            cp[x, y] = (150, 160, 186)
            cp[x + 1, y + 1] = (48, 54, 72)
    art[172] = corner
    art[166] = corner.copy()
    art[171] = Image.new("RGB", (16, 16), (68, 76, 100))
    return art


SKIN_FILES = {
    159: "header_span.bmp", 160: "header_start.bmp", 161: "header_end.bmp",
    162: "hscroll_thumb.bmp", 163: "hscroll_right.bmp", 164: "hscroll_span.bmp", 165: "hscroll_left.bmp",
    166: "hscroll_corner.bmp", 167: "vscroll_up.bmp", 168: "vscroll_span.bmp", 169: "vscroll_thumb.bmp",
    170: "vscroll_down.bmp", 171: "vscroll_top.bmp", 172: "vscroll_bottom.bmp",
    175: "skin_title.bmp", 176: "skin_background.bmp", 177: "field_face.bmp", 178: "field_fore.bmp",
    179: "combo_arrow.bmp", 180: "list_tile.bmp",
}


def save_skin():
    for number, image in sorted(draw_skin().items()):
        image.convert("RGB").save(os.path.join(HERE, SKIN_FILES[number]))  # RGB: 24-bit BMP


# ---------------------------------------------------------------------------------------------------------------
# The skinned controls' own artwork: the range slider (198-201), the device tab bar (202-207), the message box's
# kind icons (129-132) and the close button's icon pair (149, 150). Built into the program, not part of the skin.

SLIDER_EDGE = (0x80, 0x82, 0x84)
SLIDER_GREY = (0xd7, 0xd7, 0xd7)
KEY_GREEN = (0, 255, 0)   # the tab bar's transparent colour
BOLD_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

# Braces as pixel masks, 5 x 11: crisp at 1:1 where a font would blur.
OPEN_BRACE = [
    "..XXX",
    ".XX..",
    ".XX..",
    ".XX..",
    ".XX..",
    "XX...",
    ".XX..",
    ".XX..",
    ".XX..",
    ".XX..",
    "..XXX",
]


def slider_channel():
    """198: 6 x 11, the channel stretched over the slider's width."""
    im = Image.new("RGB", (6, 11), SLIDER_GREY)
    d = ImageDraw.Draw(im)
    d.line((0, 0, 5, 0), fill=SLIDER_EDGE)
    d.line((0, 9, 5, 9), fill=SLIDER_EDGE)
    d.line((0, 10, 5, 10), fill=WHITE)
    return im


def slider_thumb(closing):
    """199 and 200: 13 x 17 light grey tiles with a frame and a brace; 32-bit, alpha unused (opaque)."""
    im = vertical_gradient(13, 17, (250, 250, 250), (200, 200, 204))
    d = ImageDraw.Draw(im)
    d.rectangle((0, 0, 12, 16), outline=SLIDER_EDGE)
    px = im.load()
    for y, row in enumerate(OPEN_BRACE):
        for x, c in enumerate(row):
            if c == "X":
                px[(4 + x) if not closing else (8 - x), 3 + y] = (0, 0, 0)
    return im.convert("RGBA")


def slider_band():
    """201: 3 x 7 rows of light blue, from 88c7ff through 5ca2ff and back to 85c4ff."""
    rows = [(0x88, 0xc7, 0xff), (0x78, 0xb6, 0xff), (0x68, 0xab, 0xff), (0x5c, 0xa2, 0xff),
            (0x68, 0xac, 0xff), (0x76, 0xb8, 0xff), (0x85, 0xc4, 0xff)]
    im = Image.new("RGB", (3, 7))
    for y, c in enumerate(rows):
        for x in range(3):
            im.putpixel((x, y), c)
    return im


TAB_TEXTS = ["TO iPod", "TO PSP", "TO 3GP", "TO Xbox", "Pocket PC", "TO PMP"]


def tab_bar(highlighted):
    """202-207: the whole 436 x 15 bar with one tab highlighted. Six tabs of 72 pixels; key green shows the parent
    through the tabs' cut corners and the 4 pixels left over at the right end."""
    from PIL import ImageFont
    font = ImageFont.truetype(BOLD_FONT, 9)
    im = Image.new("RGB", (436, 15), KEY_GREEN)
    for i, text in enumerate(TAB_TEXTS):
        x0 = i * 72
        on = i == highlighted
        top, bottom = ((120, 196, 255), (56, 132, 226)) if on else ((236, 240, 246), (190, 200, 218))
        face = vertical_gradient(70, 15, top, bottom)
        im.paste(face, (x0 + 1, 0))
        d = ImageDraw.Draw(im)
        edge = (38, 84, 150) if on else FIELD_BORDER
        d.line((x0 + 2, 0, x0 + 69, 0), fill=edge)
        d.line((x0, 2, x0, 14), fill=edge)
        d.line((x0 + 71, 2, x0 + 71, 14), fill=edge)
        d.point((x0 + 1, 1), fill=edge)
        d.point((x0 + 70, 1), fill=edge)
        # cut corners: the parent shows there
        for c in ((x0, 0), (x0 + 1, 0), (x0, 1), (x0 + 70, 0), (x0 + 71, 0), (x0 + 71, 1)):
            im.putpixel(c, KEY_GREEN)
        # the text, centred; drawn on its own layer so that no green reaches its antialiased edges
        colour = WHITE if on else DARK_BLUE
        w = d.textlength(text, font=font)
        tx = x0 + (72 - w) / 2
        d.text((tx, 1), text, font=font, fill=colour)
    return im


def round_glyph_icon(size, fill, glyph, glyph_fill, shape="circle"):
    """A kind icon: a circle (or warning triangle) with a glyph, drawn large and reduced for smooth edges."""
    from PIL import ImageFont
    scale = 8
    big = size * scale
    im = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    d = ImageDraw.Draw(im)
    m = big // 16
    if shape == "circle":
        d.ellipse((m, m, big - 1 - m, big - 1 - m), fill=mix(fill, (0, 0, 0), 0.35) + (255,))
        d.ellipse((m + scale * size // 16, m + scale * size // 16, big - 1 - m - scale * size // 16,
                   big - 1 - m - scale * size // 16), fill=fill + (255,))
    else:
        d.polygon([(big / 2, m), (big - 1 - m, big - 1 - m), (m, big - 1 - m)],
                  fill=mix(fill, (0, 0, 0), 0.4) + (255,))
        k = big // 10
        d.polygon([(big / 2, m + k * 1.3), (big - 1 - m - k, big - 1 - m - k * 0.6), (m + k, big - 1 - m - k * 0.6)],
                  fill=fill + (255,))
    if glyph == "x":
        w = big // 9
        a, b = big * 0.32, big * 0.68
        d.line((a, a, b, b), fill=glyph_fill + (255,), width=w)
        d.line((a, b, b, a), fill=glyph_fill + (255,), width=w)
    else:
        font = ImageFont.truetype(BOLD_FONT, int(big * (0.62 if shape == "circle" else 0.55)))
        box = d.textbbox((0, 0), glyph, font=font)
        gx = (big - (box[2] - box[0])) / 2 - box[0]
        gy = (big - (box[3] - box[1])) / 2 - box[1] + (big * 0.08 if shape != "circle" else 0)
        d.text((gx, gy), glyph, font=font, fill=glyph_fill + (255,))
    return im.resize((size, size), Image.LANCZOS)


def close_icon(size, on):
    """149 (on) and 150 (off): the close mark. In a 32-pixel icon it fills the middle 14 pixels only, because the
    18-pixel close button shows the centre of an icon of the system's size."""
    scale = 8
    big = size * scale
    im = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    d = ImageDraw.Draw(im)
    inner = 14 if size >= 32 else 14 * size // 16
    lo = (size - inner) / 2 * scale
    hi = lo + inner * scale - 1
    if on:
        d.rounded_rectangle((lo, lo, hi, hi), radius=3 * scale, fill=(196, 58, 52, 255))
    pad = inner * scale * 0.2
    w = int(scale * 2.6)
    mark = WHITE if on else GLYPH
    d.line((lo + pad, lo + pad, hi - pad, hi - pad), fill=mark + (255,), width=w)
    d.line((lo + pad, hi - pad, hi - pad, lo + pad), fill=mark + (255,), width=w)
    return im.resize((size, size), Image.LANCZOS)


CONTROL_BITMAPS = {198: "slider_channel.bmp", 199: "slider_begin.bmp", 200: "slider_end.bmp", 201: "slider_band.bmp"}
TAB_FILES = {202 + i: "tab_%d.bmp" % i for i in range(6)}
ICON_FILES = {129: "msg_warning.ico", 130: "msg_question.ico", 131: "msg_error.ico", 132: "msg_information.ico",
              149: "close_on.ico", 150: "close_off.ico"}


def save_controls():
    slider_channel().save(os.path.join(HERE, CONTROL_BITMAPS[198]))
    slider_thumb(False).save(os.path.join(HERE, CONTROL_BITMAPS[199]))
    slider_thumb(True).save(os.path.join(HERE, CONTROL_BITMAPS[200]))
    slider_band().save(os.path.join(HERE, CONTROL_BITMAPS[201]))
    for number, name in TAB_FILES.items():
        tab_bar(number - 202).save(os.path.join(HERE, name))
    kinds = {
        129: lambda s: round_glyph_icon(s, (250, 196, 40), "!", (20, 20, 20), shape="triangle"),
        130: lambda s: round_glyph_icon(s, (60, 130, 220), "?", WHITE),
        131: lambda s: round_glyph_icon(s, (210, 48, 40), "x", WHITE),
        132: lambda s: round_glyph_icon(s, (60, 130, 220), "i", WHITE),
        149: lambda s: close_icon(s, True),
        150: lambda s: close_icon(s, False),
    }
    for number, draw in kinds.items():
        if number in (149, 150):
            # Button icons: the 32-pixel image alone (see save_main_window).
            draw(32).save(os.path.join(HERE, ICON_FILES[number]), sizes=[(32, 32)], bitmap_format="bmp")
            continue
        images = [draw(32), draw(16)]
        images[0].save(os.path.join(HERE, ICON_FILES[number]), sizes=[(32, 32), (16, 16)],
                       append_images=images[1:], bitmap_format="bmp")


# ---------------------------------------------------------------------------------------------------------------
# The main window and the splash: the window's body (185), the splash picture (173), the preview's placeholder
# (190) and the icon pairs of the window's buttons. The same family as the skin: a dark blue title band over a
# light, cool body, panels with a thin slate edge, rounded tiles for buttons.

TAHOMA = "/usr/share/wine/fonts/tahoma.ttf"
TAHOMA_BOLD = "/usr/share/wine/fonts/tahomabd.ttf"
PANEL = (246, 248, 251)          # the preview and list panels
SETTINGS_PANEL = (212, 221, 235) # the settings panel: deep enough for the group frame's light lines
PANEL_EDGE = (160, 172, 196)
SCREEN_TOP = (28, 34, 48)
SCREEN_BOTTOM = (10, 13, 20)
HINT_TEXT = (84, 98, 128)
WINDOW_W, WINDOW_H = 825, 550
CORNER = 12


def font(path, size):
    from PIL import ImageFont
    try:
        return ImageFont.truetype(path, size)
    except OSError:
        return ImageFont.truetype(BOLD_FONT, size)


def inside_rounded(x, y, w, h, r):
    """True when pixel (x, y) lies inside a w x h rectangle with corners of radius r (hard edge, no blending: the
    window's shape is cut exactly where the picture is pure green)."""
    cx = r if x < r else w - 1 - r if x > w - 1 - r else x
    cy = r if y < r else h - 1 - r if y > h - 1 - r else y
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r + r * 0.6


def soft_panel(im, box, radius, fill, edge, shadow=True):
    """A rounded panel with a thin edge and a faint drop shadow, drawn large and reduced for smooth corners."""
    x0, y0, x1, y1 = box
    w, h = x1 - x0 + 1, y1 - y0 + 1
    scale = 4
    if shadow:
        sh = Image.new("L", (w * scale, h * scale), 0)
        ImageDraw.Draw(sh).rounded_rectangle((0, 0, w * scale - 1, h * scale - 1), radius=radius * scale, fill=70)
        sh = sh.resize((w, h), Image.BOX)
        im.paste(Image.new("RGB", (w, h), (120, 134, 160)), (x0 + 1, y0 + 2), sh)
    outer = Image.new("L", (w * scale, h * scale), 0)
    ImageDraw.Draw(outer).rounded_rectangle((0, 0, w * scale - 1, h * scale - 1), radius=radius * scale, fill=255)
    inner = Image.new("L", (w * scale, h * scale), 0)
    ImageDraw.Draw(inner).rounded_rectangle((scale, scale, w * scale - 1 - scale, h * scale - 1 - scale),
                                           radius=max(0, radius - 1) * scale, fill=255)
    outer = outer.resize((w, h), Image.BOX)
    inner = inner.resize((w, h), Image.BOX)
    im.paste(Image.new("RGB", (w, h), edge), (x0, y0), outer)
    face = fill if isinstance(fill, Image.Image) else Image.new("RGB", (w, h), fill)
    im.paste(face, (x0, y0), inner)


def text_at(d, xy, text, size, colour, bold=False):
    d.text(xy, text, font=font(TAHOMA_BOLD if bold else TAHOMA, size), fill=colour)


def play_mark(d, cx, cy, r, colour):
    d.polygon([(cx - r * 0.55, cy - r), (cx - r * 0.55, cy + r), (cx + r, cy)], fill=colour)


def film_mark(im, x, y, size):
    """The program's mark (the icon's film strip and play sign) pasted at x, y."""
    mark = draw_app_icon(size)
    im.paste(mark, (x, y), mark)


def window_body():
    """185: the main window's body, 825 x 550, 24-bit. Pure green outside the rounded outline is cut away."""
    W, H = WINDOW_W, WINDOW_H
    im = vertical_gradient(W, H, BODY_TOP, BODY_BOTTOM)
    d = ImageDraw.Draw(im)

    # The title band with the program's mark and name; the minimise and close buttons sit at its right end.
    band = vertical_gradient(W, 36, (76, 99, 141), DARK_BLUE)
    im.paste(band, (0, 0))
    d.line((0, 35, W - 1, 35), fill=ACCENT_BLUE)
    d.line((0, 36, W - 1, 36), fill=(170, 190, 222))
    film_mark(im, 12, 6, 24)
    text_at(d, (44, 7), "Movara", 17, WHITE, bold=True)
    text_at(d, (122, 13), "video converter", 11, (176, 198, 232))
    # A light plate under the version label (528, 14), whose black text needs a light ground.
    soft_panel(im, (522, 10, 631, 30), 9, (226, 234, 246), (120, 140, 180), shadow=False)

    # The preview panel: the dark screen (17, 60, 346 x 188), the range slider under it (18, 250) and the two
    # preview buttons (165 and 192, 267).
    soft_panel(im, (8, 44, 372, 304), 8, PANEL, PANEL_EDGE)
    d.rectangle((15, 58, 364, 249), fill=(38, 46, 64))
    d.rectangle((16, 59, 363, 248), fill=(12, 15, 22))
    screen = vertical_gradient(346, 188, SCREEN_TOP, SCREEN_BOTTOM)
    im.paste(screen, (17, 60))
    text_at(d, (20, 276), "PREVIEW", 10, HINT_TEXT, bold=True)
    text_at(d, (228, 276), "Drag the thumbs to trim", 10, HINT_TEXT)
    # Two round pads under the preview buttons.
    for cx in (177, 204):
        soft_panel(im, (cx - 13, 266, cx + 13, 292), 13, vertical_gradient(27, 27, WHITE, (214, 222, 236)),
                   PANEL_EDGE, shadow=False)

    # The settings panel under the device tabs (380, 40, 436 x 17): the tabs stand on its top edge.
    soft_panel(im, (377, 56, 817, 304), 8, vertical_gradient(441, 249, (222, 229, 240), SETTINGS_PANEL), PANEL_EDGE)

    # The task list with the scroll bars that sit beside it (10, 317 to 816, 478).
    soft_panel(im, (5, 310, 820, 484), 8, PANEL, PANEL_EDGE)
    d.rectangle((9, 316, 816, 478), fill=(150, 162, 186))

    # The button dock: add, remove, remove all, Start (50 x 50) and help.
    soft_panel(im, (252, 493, 571, 539), 12, vertical_gradient(320, 47, WHITE, (220, 227, 239)), PANEL_EDGE)
    # The round pad behind Start, a little above the dock.
    pad = 29
    soft_panel(im, (410 - pad, 510 - pad, 410 + pad, 510 + pad), pad,
               vertical_gradient(2 * pad + 1, 2 * pad + 1, (96, 120, 164), DARK_BLUE), (30, 42, 66))
    text_at(d, (22, 500), "1. Add videos  2. Pick a device  3. Start", 11, HINT_TEXT)
    text_at(d, (22, 518), "Trim each video with the slider.", 11, (120, 132, 158))
    text_at(d, (600, 500), "Output goes to the folder", 11, HINT_TEXT)
    text_at(d, (600, 518), "chosen under Output Setting.", 11, (120, 132, 158))

    # The outline: a dark line along the shape, a light one inside it, pure green outside.
    px = im.load()
    for y in range(H):
        for x in range(W):
            if not inside_rounded(x, y, W, H, CORNER):
                px[x, y] = KEY_GREEN
    for y in range(H):
        for x in range(W):
            if px[x, y] == KEY_GREEN:
                continue
            edge = any(not (0 <= x + dx < W and 0 <= y + dy < H) or px[x + dx, y + dy] == KEY_GREEN
                       for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            if edge:
                px[x, y] = (30, 40, 62)
    # No pixel inside may be pure green by chance: the region would get a hole there.
    for y in range(H):
        for x in range(W):
            if px[x, y] == KEY_GREEN and inside_rounded(x, y, W, H, CORNER):
                px[x, y] = (0, 254, 0)
    return im


def splash_picture():
    """173: the splash, 386 x 157, 24-bit."""
    W, H = 386, 157
    im = vertical_gradient(W, H, (80, 104, 148), (34, 46, 70))
    d = ImageDraw.Draw(im)
    # Soft light rays behind the mark.
    glow = Image.new("L", (W, H), 0)
    ImageDraw.Draw(glow).ellipse((-60, -80, 200, 200), fill=60)
    im.paste(Image.new("RGB", (W, H), (140, 170, 220)), (0, 0), glow)
    film_mark(im, 26, 34, 64)
    text_at(d, (108, 34), "Movara", 34, WHITE, bold=True)
    text_at(d, (110, 80), "Video converter for iPod, PSP, phones,", 12, (200, 216, 240))
    text_at(d, (110, 96), "Xbox, Pocket PC and PMP players", 12, (200, 216, 240))
    d.line((0, H - 24, W - 1, H - 24), fill=ACCENT_BLUE)
    text_at(d, (12, H - 19), "Starting...", 11, (170, 190, 222))
    d.rectangle((0, 0, W - 1, H - 1), outline=(24, 32, 50))
    return im


def preview_placeholder():
    """190: the preview's picture while no video shows, 346 x 188."""
    W, H = 346, 188
    im = vertical_gradient(W, H, SCREEN_TOP, SCREEN_BOTTOM)
    d = ImageDraw.Draw(im)
    # Film strip edges along the top and the bottom.
    for y0 in (8, H - 20):
        d.rectangle((0, y0, W - 1, y0 + 11), fill=(46, 54, 74))
        for x in range(6, W, 18):
            d.rounded_rectangle((x, y0 + 3, x + 8, y0 + 8), radius=2, fill=(16, 20, 30))
    # A round play sign in the middle.
    cx, cy, r = W // 2, H // 2 - 10, 26
    scale = 4
    disc = Image.new("L", (2 * r * scale, 2 * r * scale), 0)
    ImageDraw.Draw(disc).ellipse((0, 0, 2 * r * scale - 1, 2 * r * scale - 1), fill=255)
    disc = disc.resize((2 * r, 2 * r), Image.BOX)
    im.paste(Image.new("RGB", (2 * r, 2 * r), (70, 97, 140)), (cx - r, cy - r), disc)
    play_mark(d, cx + 3, cy, 12, WHITE)
    f = font(TAHOMA_BOLD, 12)
    text = "No video selected"
    d.text(((W - d.textlength(text, font=f)) / 2, cy + r + 6), text, font=f, fill=(214, 224, 240))
    f2 = font(TAHOMA, 11)
    text = "Add a video to see it here"
    d.text(((W - d.textlength(text, font=f2)) / 2, cy + r + 22), text, font=f2, fill=(140, 156, 186))
    return im


def button_icon(glyph, on, visible=32, shape="tile", tone="blue"):
    """A 32 x 32 icon pair member: a rounded tile (or disc) of `visible` pixels in the middle, so that a button
    smaller than 32 pixels still shows all of it, with a light glyph. "on" (hovered) is brighter."""
    scale = 8
    S = 32 * scale
    im = Image.new("RGBA", (S, S), (0, 0, 0, 0))
    d = ImageDraw.Draw(im)
    lo = (32 - visible) / 2 * scale
    hi = lo + visible * scale - 1
    tones = {
        "blue": (((92, 150, 226), (44, 92, 170)) if on else ((104, 124, 162), DARK_BLUE)),
        "green": (((96, 210, 120), (34, 140, 62)) if on else ((74, 168, 96), (30, 110, 52))),
        "red": (((236, 100, 90), (176, 40, 34)) if on else ((200, 80, 72), (140, 34, 30))),
    }
    top, bottom = tones[tone]
    # the face: a vertical gradient clipped to the shape
    face = Image.new("RGBA", (S, S))
    fp = ImageDraw.Draw(face)
    for y in range(S):
        fp.line((0, y, S - 1, y), fill=mix(top, bottom, y / (S - 1)) + (255,))
    mask = Image.new("L", (S, S), 0)
    md = ImageDraw.Draw(mask)
    if shape == "disc":
        md.ellipse((lo, lo, hi, hi), fill=255)
    else:
        md.rounded_rectangle((lo, lo, hi, hi), radius=visible * scale // 5, fill=255)
    edge = Image.new("RGBA", (S, S), (24, 34, 56, 255))
    im.paste(edge, (0, 0), mask)
    inner = Image.new("L", (S, S), 0)
    idr = ImageDraw.Draw(inner)
    if shape == "disc":
        idr.ellipse((lo + scale, lo + scale, hi - scale, hi - scale), fill=255)
    else:
        idr.rounded_rectangle((lo + scale, lo + scale, hi - scale, hi - scale),
                              radius=max(1, visible * scale // 5 - scale), fill=255)
    im.paste(face, (0, 0), inner)
    g = WHITE + (255,)
    c = S / 2
    u = visible * scale / 32  # one pixel of the glyph at full size
    w = max(scale * 2, int(3.2 * u))
    if glyph == "plus":
        d.line((c - 8 * u, c, c + 8 * u, c), fill=g, width=w)
        d.line((c, c - 8 * u, c, c + 8 * u), fill=g, width=w)
    elif glyph == "minus":
        d.line((c - 8 * u, c, c + 8 * u, c), fill=g, width=w)
    elif glyph == "bin":
        d.line((c - 9 * u, c - 6 * u, c + 9 * u, c - 6 * u), fill=g, width=int(w * 0.8))
        d.rectangle((c - 3 * u, c - 10 * u, c + 3 * u, c - 7 * u), outline=g, width=int(w * 0.6))
        d.polygon([(c - 7 * u, c - 3 * u), (c + 7 * u, c - 3 * u), (c + 5.5 * u, c + 10 * u), (c - 5.5 * u, c + 10 * u)],
                  fill=g)
        for k in (-3, 0, 3):
            d.line((c + k * u, c - 1 * u, c + k * u, c + 8 * u), fill=mix(bottom, top, 0.3) + (255,), width=int(u * 1.4))
    elif glyph == "question":
        f = font(TAHOMA_BOLD, int(20 * u))
        box = d.textbbox((0, 0), "?", font=f)
        d.text((c - (box[2] + box[0]) / 2, c - (box[3] + box[1]) / 2), "?", font=f, fill=g)
    elif glyph == "folder":
        d.rounded_rectangle((c - 9 * u, c - 7 * u, c - 1 * u, c - 3 * u), radius=u, fill=(255, 214, 120, 255))
        d.rounded_rectangle((c - 9 * u, c - 5 * u, c + 9 * u, c + 8 * u), radius=1.5 * u, fill=(255, 214, 120, 255))
        d.rounded_rectangle((c - 9 * u, c - 2 * u, c + 9 * u, c + 8 * u), radius=1.5 * u, fill=(255, 232, 160, 255))
    elif glyph == "play":
        play_mark(d, c + 1.5 * u, c, 8 * u, g)
    elif glyph == "stop":
        d.rounded_rectangle((c - 6 * u, c - 6 * u, c + 6 * u, c + 6 * u), radius=1.5 * u, fill=g)
    elif glyph == "bar":
        d.line((c - 7 * u, c + 4 * u, c + 7 * u, c + 4 * u), fill=g, width=w)
    return im.resize((32, 32), Image.LANCZOS)


def minimize_icon(on):
    """151 (on) and 152 (off): the minimise mark, in the middle 14 pixels like the close button's."""
    scale = 8
    big = 32 * scale
    im = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    d = ImageDraw.Draw(im)
    lo = 9 * scale
    hi = lo + 14 * scale - 1
    if on:
        d.rounded_rectangle((lo, lo, hi, hi), radius=3 * scale, fill=(70, 130, 210, 255))
    y = hi - 4 * scale
    d.line((lo + 3 * scale, y, hi - 3 * scale, y), fill=(WHITE if on else GLYPH) + (255,), width=int(scale * 2.6))
    return im.resize((32, 32), Image.LANCZOS)


def check_icon(ticked):
    """157 (ticked) and 158 (not ticked): a 13-pixel check box in the middle, since the 15-pixel high check button
    shows only the icon's middle rows. The box sits at the icon's left edge."""
    im = Image.new("RGBA", (32, 32), (0, 0, 0, 0))
    d = ImageDraw.Draw(im)
    x0, y0 = 1, 9  # at the left edge: the caption starts right after it (CShutDownCheck)
    d.rounded_rectangle((x0, y0, x0 + 12, y0 + 12), radius=2, fill=(WHITE + (255,)), outline=(76, 90, 122, 255))
    if ticked:
        d.rounded_rectangle((x0, y0, x0 + 12, y0 + 12), radius=2, fill=(56, 132, 226, 255), outline=(30, 70, 140, 255))
        big = Image.new("RGBA", (13 * 8, 13 * 8), (0, 0, 0, 0))
        bd = ImageDraw.Draw(big)
        bd.line((20, 54, 44, 80, 86, 26), fill=WHITE + (255,), width=16, joint="curve")
        big = big.resize((13, 13), Image.LANCZOS)
        im.paste(big, (x0, y0), big)
    return im


def app_button_icons():
    """{resource id: (file name, 32 x 32 image)} of the main window's icon pairs."""
    table = {
        133: ("folder_on.ico", button_icon("folder", True, 28)),
        134: ("folder_off.ico", button_icon("folder", False, 28)),
        135: ("remove_on.ico", button_icon("minus", True, 30)),
        136: ("remove_off.ico", button_icon("minus", False, 30)),
        137: ("add_on.ico", button_icon("plus", True, 30)),
        138: ("add_off.ico", button_icon("plus", False, 30)),
        139: ("remove_all_on.ico", button_icon("bin", True, 30)),
        140: ("remove_all_off.ico", button_icon("bin", False, 30)),
        141: ("help_on.ico", button_icon("question", True, 30)),
        142: ("help_off.ico", button_icon("question", False, 30)),
        145: ("stop_on.ico", button_icon("stop", True, 32, "disc", "red")),
        146: ("stop_off.ico", button_icon("stop", False, 32, "disc", "red")),
        147: ("start_on.ico", button_icon("play", True, 32, "disc", "green")),
        148: ("start_off.ico", button_icon("play", False, 32, "disc", "green")),
        151: ("minimize_on.ico", minimize_icon(True)),
        152: ("minimize_off.ico", minimize_icon(False)),
        157: ("shutdown_on.ico", check_icon(True)),
        158: ("shutdown_off.ico", check_icon(False)),
        188: ("play_on.ico", button_icon("play", True, 21, "disc")),
        189: ("play_off.ico", button_icon("play", False, 21, "disc")),
        190: ("stop_preview_on.ico", button_icon("stop", True, 21, "disc")),
        191: ("stop_preview_off.ico", button_icon("stop", False, 21, "disc")),
    }
    return table


def save_main_window():
    window_body().save(os.path.join(HERE, "window_body.bmp"))
    splash_picture().save(os.path.join(HERE, "splash.bmp"))
    preview_placeholder().save(os.path.join(HERE, "preview_placeholder.bmp"))
    # One 32 x 32 image each: the skinned button loads an icon at its resource size and shows the middle of it, so
    # a smaller image beside it would only be picked instead.
    for number, (name, image) in app_button_icons().items():
        image.save(os.path.join(HERE, name), sizes=[(32, 32)], bitmap_format="bmp")


def main():
    sizes = [16, 24, 32, 48, 64]
    icons = [draw_app_icon(s) for s in sizes]
    icons[-1].save(os.path.join(HERE, "movara.ico"), sizes=[(s, s) for s in sizes],
                   append_images=icons[:-1])
    save_skin()
    save_controls()
    save_main_window()


if __name__ == "__main__":
    main()
