#!/usr/bin/python3
"""Judges a screenshot of the saver full screen on several monitors.

    check_shot.py title|steady SHOT.png WxH+X+Y...   (the monitors, as xrandr lists them)

title: the title logo centred on every monitor, at the size a view of that
monitor's own height gives it. steady: the model whole and centred on every
monitor, each further monitor the largest one's picture scaled to its height
(the same frame, nothing across a bezel), and black where no monitor is.
Prints one line per finding; exit status 0 when all hold."""
import sys

from PIL import Image, ImageChops, ImageStat

GOLD = ((150, 80, 0), (255, 255, 119))     # the title's letters
YELLOW = ((220, 190, 0), (255, 255, 59))   # the lit model
TITLE_WIDTH = 0.462   # the title's letters span 0.462 of the view's height
MODEL_AREA = 0.015    # the model's share of the monitor at least (the title's letters much less)
COPY_TOLERANCE = 2.0  # mean difference per channel from the scaled source (8 px astray: 5)


def find(shot, box, colour):
    """The bounding box of the pixels of a colour within box, and their number."""
    bands = [b.point(lambda v, a=a, z=z: 255 if a <= v <= z else 0).convert('1')
             for b, a, z in zip(shot.crop(box).split(), *colour)]
    found = ImageChops.logical_and(ImageChops.logical_and(bands[0], bands[1]), bands[2])
    return found.getbbox(), found.convert('L').histogram()[255]


def title(shot, x, y, w, h):
    # Only the rows above the caption, which joins the title later.
    b, _ = find(shot, (x, y, x + w, y + int(0.65 * h)), GOLD)
    if b is None:
        return 'no title'
    dx, dy = (b[0] + b[2]) / 2 - w / 2, (b[1] + b[3]) / 2 - h / 2
    width = (b[2] - b[0]) / h
    ok = abs(dx) <= 0.02 * w and abs(dy) <= 0.03 * h and abs(width - TITLE_WIDTH) <= 0.04
    return None if ok else f'title off by ({dx:.0f}, {dy:.0f}) px, {width:.3f} of the height wide'


def model(shot, x, y, w, h):
    top, bottom = y + int(0.2 * h), y + int(0.75 * h)
    b, count = find(shot, (x, top, x + w, bottom), YELLOW)
    if b is None or count < MODEL_AREA * w * h:
        return f'no model ({count} yellow pixels)'
    whole = b[0] > 0 and b[2] < w and b[1] > 0 and b[3] < bottom - top
    dx = (b[0] + b[2]) / 2 - w / 2
    return None if whole and abs(dx) <= 0.08 * w else f'model at {b} of the band, off centre by {dx:.0f} px'


def copy(shot, source, target):
    (sx, sy, sw, sh), (tx, ty, tw, th) = source, target
    width, area = min(tw, round(sw * th / sh)), min(sw, tw * sh / th)
    left = sx + (sw - area) / 2
    picture = shot.crop((round(left), sy, round(left + area), sy + sh)).resize((width, th), Image.BILINEAR)
    shown = shot.crop((tx + (tw - width) // 2, ty, tx + (tw + width) // 2, ty + th))
    difference = sum(ImageStat.Stat(ImageChops.difference(picture, shown)).mean) / 3
    return None if difference <= COPY_TOLERANCE else f'not the source picture: mean difference {difference:.1f}'


def gaps(shot, monitors):
    masked = shot.copy()
    for x, y, w, h in monitors:
        masked.paste((0, 0, 0), (x, y, x + w, y + h))
    return masked.getbbox() and f'drawn where no monitor is, within {masked.getbbox()}'


def main():
    # WxH+X+Y as (X, Y, W, H)
    monitors = [tuple(int(n) for n in (g.split('+')[1:] + g.split('+')[0].split('x'))) for g in sys.argv[3:]]
    state, path = sys.argv[1], sys.argv[2]
    shot = Image.open(path).convert('RGB')
    source = max(monitors, key=lambda m: m[2] * m[3])
    findings = [gaps(shot, monitors)]
    for m in monitors:
        findings.append(title(shot, *m) if state == 'title' else model(shot, *m))
        if state == 'steady' and m != source:
            findings.append(copy(shot, source, m))
    problems = [f for f in findings if f]
    print('; '.join(problems) if problems else f'{state}: as expected on {len(monitors)} monitors')
    return 1 if problems else 0


sys.exit(main())
