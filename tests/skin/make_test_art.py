#!/usr/bin/python3
"""Draws the skin tests' own icons and bitmaps into art/ (Debian's python3-pil); the results are committed.

Solid pictures for pixel checks (an on image in pure red, an off image in pure blue), and a few friendlier ones for
the gallery screenshot.
"""
import os
from PIL import Image, ImageDraw

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "art")
GREEN_KEY = (0, 255, 0)
ACCENT = (83, 184, 255)
DARK_BLUE = (49, 66, 97)
SLATE = (120, 132, 160)


def solid_icon(colour, size=32):
    return Image.new("RGBA", (size, size), colour + (255,))


def keyed_bitmap(colour, size=20, border=3):
    """A square of colour inside a border of the key colour, which the button cuts away."""
    im = Image.new("RGB", (size, size), GREEN_KEY)
    ImageDraw.Draw(im).rectangle((border, border, size - 1 - border, size - 1 - border), fill=colour)
    return im


def glyph_icon(kind, colour, size=32):
    scale = 4
    big = size * scale
    im = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    d = ImageDraw.Draw(im)
    d.ellipse((scale, scale, big - 1 - scale, big - 1 - scale), fill=colour + (255,))
    white = (255, 255, 255, 255)
    c = big / 2
    if kind == "play":
        d.polygon([(c - 18 * 4 / 4 * 1.0 + 8, c - 28), (c - 10 + 8, c + 28), (c + 30, c)], fill=white)
    elif kind == "stop":
        d.rounded_rectangle((c - 22, c - 22, c + 22, c + 22), radius=6, fill=white)
    elif kind == "add":
        d.rectangle((c - 6, c - 30, c + 6, c + 30), fill=white)
        d.rectangle((c - 30, c - 6, c + 30, c + 6), fill=white)
    elif kind == "tick":
        d.line([(c - 30, c), (c - 8, c + 22), (c + 30, c - 24)], fill=white, width=14, joint="curve")
    return im.resize((size, size), Image.LANCZOS)


def main():
    os.makedirs(HERE, exist_ok=True)
    solid_icon((255, 0, 0)).save(os.path.join(HERE, "red.ico"), sizes=[(32, 32)], bitmap_format="bmp")
    solid_icon((0, 0, 255)).save(os.path.join(HERE, "blue.ico"), sizes=[(32, 32)], bitmap_format="bmp")
    keyed_bitmap((255, 0, 0)).save(os.path.join(HERE, "red_keyed.bmp"))
    keyed_bitmap((0, 0, 255)).save(os.path.join(HERE, "blue_keyed.bmp"))
    for kind in ("play", "stop", "add", "tick"):
        glyph_icon(kind, ACCENT).save(os.path.join(HERE, kind + "_on.ico"), sizes=[(32, 32)], bitmap_format="bmp")
        glyph_icon(kind, SLATE).save(os.path.join(HERE, kind + "_off.ico"), sizes=[(32, 32)], bitmap_format="bmp")
    # The fading picture: a small landscape in the skin's blues.
    w, h = 200, 112
    pic = Image.new("RGB", (w, h))
    px = pic.load()
    for y in range(h):
        for x in range(w):
            t = y / (h - 1)
            px[x, y] = (int(40 + 60 * t), int(70 + 90 * t), int(120 + 110 * t))
    d = ImageDraw.Draw(pic)
    d.ellipse((140, 14, 172, 46), fill=(255, 226, 150))
    d.polygon([(0, 90), (50, 50), (95, 85), (140, 45), (200, 88), (200, 112), (0, 112)], fill=DARK_BLUE)
    d.polygon([(0, 100), (70, 78), (130, 96), (200, 80), (200, 112), (0, 112)], fill=(74, 82, 107))
    pic.save(os.path.join(HERE, "fade_picture.bmp"))


if __name__ == "__main__":
    main()
