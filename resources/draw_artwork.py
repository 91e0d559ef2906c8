#!/usr/bin/python3
"""Draws Movara's built-in artwork into this folder.

The results are committed, so the build needs no drawing tools; run this script
(Debian's python3-pil) again after changing it, and commit what it writes.
"""
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


def main():
    sizes = [16, 24, 32, 48, 64]
    icons = [draw_app_icon(s) for s in sizes]
    icons[-1].save(os.path.join(HERE, "movara.ico"), sizes=[(s, s) for s in sizes],
                   append_images=icons[:-1])


if __name__ == "__main__":
    main()
