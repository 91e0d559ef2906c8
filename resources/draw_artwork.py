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
        images = [draw(32), draw(16)]
        images[0].save(os.path.join(HERE, ICON_FILES[number]), sizes=[(32, 32), (16, 16)],
                       append_images=images[1:], bitmap_format="bmp")


def main():
    sizes = [16, 24, 32, 48, 64]
    icons = [draw_app_icon(s) for s in sizes]
    icons[-1].save(os.path.join(HERE, "movara.ico"), sizes=[(s, s) for s in sizes],
                   append_images=icons[:-1])
    save_skin()
    save_controls()


if __name__ == "__main__":
    main()
