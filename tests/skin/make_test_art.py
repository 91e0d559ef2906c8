#!/usr/bin/python3
"""Draws the skin tests' own icons and bitmaps into art/ (Debian's python3-pil); the results are committed.

Solid pictures for pixel checks (an on image in pure red, an off image in pure blue), and a picture to fade in.
"""
import os
from PIL import Image, ImageDraw

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "art")
GREEN_KEY = (0, 255, 0)
DARK_BLUE = (49, 66, 97)


def solid_icon(colour, size=32):
    return Image.new("RGBA", (size, size), colour + (255,))


def keyed_bitmap(colour, size=20, border=3):
    """A square of colour inside a border of the key colour, which the button cuts away."""
    im = Image.new("RGB", (size, size), GREEN_KEY)
    ImageDraw.Draw(im).rectangle((border, border, size - 1 - border, size - 1 - border), fill=colour)
    return im


def main():
    os.makedirs(HERE, exist_ok=True)
    solid_icon((255, 0, 0)).save(os.path.join(HERE, "red.ico"), sizes=[(32, 32)], bitmap_format="bmp")
    solid_icon((0, 0, 255)).save(os.path.join(HERE, "blue.ico"), sizes=[(32, 32)], bitmap_format="bmp")
    keyed_bitmap((255, 0, 0)).save(os.path.join(HERE, "red_keyed.bmp"))
    keyed_bitmap((0, 0, 255)).save(os.path.join(HERE, "blue_keyed.bmp"))
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
