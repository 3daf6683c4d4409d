"""Makes the saver's seven pictures and its icon.

Run from anywhere, with Debian's Python (python3-pil) and fonts-urw-base35:

    /usr/bin/python3 tools/make_pictures.py

It overwrites the bitmaps that resources/pictures.inc lists (each drawn by the
make_<name> function of its row) and resources/quorvelin.ico. Every
random choice comes from a fixed seed and nothing depends on the time or the
environment, so two runs give byte-identical files; the output is committed.

The bitmaps are 24-bit uncompressed BMPs with a 40-byte info header, no colour
table and bottom-up rows padded to four bytes: the one layout that both
LoadImageA(LR_CREATEDIBSECTION) and resources/bmp_reader.cpp take as it is.
The pictures drawn additively (glow, caption, title, streak, stars) keep a
pure black ground, since black adds nothing.
"""

import math
import random
import re
import struct
from pathlib import Path

from PIL import Image, ImageDraw, ImageFilter, ImageFont

ROOT = Path(__file__).resolve().parent.parent
RESOURCES = ROOT / "resources"
ICON = RESOURCES / "quorvelin.ico"
FONTS = Path("/usr/share/fonts/opentype/urw-base35")
SCRIPT_FACE = FONTS / "Z003-MediumItalic.otf"
TITLE_FACE = FONTS / "NimbusSansNarrow-Bold.otf"

GOLD = (255, 228, 0)
CAPTION_GOLD = (211, 144, 0)
LINE_WHITE = (251, 250, 245)


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def smoothstep(e0, e1, x):
    t = clamp((x - e0) / (e1 - e0))
    return t * t * (3 - 2 * t)


def lerp(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def byte(v):
    return int(round(clamp(v, 0.0, 255.0)))


def image_from_function(size, shade, samples=1):
    """An RGB picture whose pixel (x, y) is the mean of shade(u, v) over a
    samples x samples grid inside the pixel; u, v are continuous coordinates
    with y pointing down, pixel (x, y) covering [x, x+1) x [y, y+1)."""
    w, h = size
    out = bytearray()
    n = samples * samples
    for y in range(h):
        for x in range(w):
            r = g = b = 0.0
            for j in range(samples):
                for i in range(samples):
                    c = shade(x + (i + 0.5) / samples, y + (j + 0.5) / samples)
                    r += c[0]
                    g += c[1]
                    b += c[2]
            out += bytes((byte(r / n), byte(g / n), byte(b / n)))
    return Image.frombytes("RGB", size, bytes(out))


def bmp_bytes(image):
    """A 24-bit BI_RGB bottom-up BMP of an RGB picture."""
    w, h = image.size
    stride = (w * 3 + 3) & ~3
    pad = b"\0" * (stride - w * 3)
    r, g, b = image.split()
    bgr = Image.merge("RGB", (b, g, r)).tobytes()
    rows = [bgr[y * w * 3:(y + 1) * w * 3] + pad for y in range(h - 1, -1, -1)]
    pixels = b"".join(rows)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 14 + 40)
    # 2835 pixels per metre is 72 dpi; nothing reads it.
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return file_header + info + pixels


def write(path, data):
    path.write_bytes(data)
    print("wrote", path.relative_to(ROOT))


def text_mask(font_path, text, box, tracking=0.0, scale=8):
    """Coverage of `text` stretched to fill box = (width, height) exactly, at
    `scale` times that size. `tracking` adds space between letters, in
    multiples of the font's size."""
    size = 400
    font = ImageFont.truetype(str(font_path), size)
    gap = tracking * size
    advance = [font.getlength(c) for c in text]
    width = int(sum(advance) + gap * (len(text) - 1) + size)
    canvas = Image.new("L", (width, size * 2), 0)
    draw = ImageDraw.Draw(canvas)
    if gap == 0:
        draw.text((size // 4, size // 2), text, font=font, fill=255)
    else:
        # Kerning is lost letter by letter; only the script caption asks for tracking.
        x = size / 4
        for c, step in zip(text, advance):
            draw.text((x, size // 2), c, font=font, fill=255)
            x += step + gap
    ink = canvas.crop(canvas.getbbox())
    return ink.resize((box[0] * scale, box[1] * scale), Image.Resampling.LANCZOS)


def downsample(image, scale):
    w, h = image.size
    return image.resize((w // scale, h // scale), Image.Resampling.BOX)


# 109: the model's texture, one flat colour.
def make_gold():
    return Image.new("RGB", (128, 128), GOLD)


# 110: every particle of the emitters. Drawn additively and magnified, so the
# fall-off must be smooth and the square's edge must add nothing.
def make_glow():
    def level(u, v):
        r = math.hypot(u - 16.0, v - 16.0)
        if r <= 2.0:
            a = 1.0
        else:
            # Half brightness near r = 5.5, reaching zero at r = 22.
            t = clamp((r - 2.0) / 20.0)
            a = (1.0 - t) ** 3.6
        # The curve would leave a few levels at the edge of the 32-pixel square
        # (r = 16); fade that last tail out so the border is exactly black.
        a *= 1.0 - smoothstep(11.0, 15.5, r)
        c = 255.0 * a
        return (c, c, c)

    return image_from_function((32, 32), level, samples=4)


# 111: the caption under the title, golden italic script.
def make_caption():
    scale = 8
    box = (72, 18)
    mask = text_mask(SCRIPT_FACE, "Saver", box, tracking=0.02, scale=scale)
    # At 18 pixels the face's hairlines would vanish; thicken every stroke a little.
    mask = mask.filter(ImageFilter.MaxFilter(5))
    glyphs = Image.new("RGB", mask.size, CAPTION_GOLD)
    dark = Image.new("RGB", mask.size, (0, 0, 0))
    word = downsample(Image.composite(glyphs, dark, mask), scale)
    picture = Image.new("RGB", (128, 128), (0, 0, 0))
    picture.paste(word, ((128 - box[0]) // 2, (128 - box[1]) // 2))
    return picture


def title_colour(t):
    """Vertical ramp of polished gold, t = 0 at the top of the letters, 1 at
    the bottom, with the darker band of a reflected horizon below the middle."""
    stops = [
        (0.00, (255, 252, 222)),
        (0.30, (255, 226, 110)),
        (0.52, (232, 160, 24)),
        (0.56, (150, 82, 6)),
        (0.70, (214, 132, 16)),
        (1.00, (255, 214, 96)),
    ]
    for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
        if t <= t1:
            return lerp(c0, c1, (t - t0) / (t1 - t0))
    return stops[-1][1]


def bevel_light(height, w, h, reach):
    """Light falling from the upper left on a height field (L picture): 1 on
    flat ground, brighter on slopes facing the light, darker on the others."""
    hd = height.tobytes()
    light = [1.0] * (w * h)
    for y in range(h):
        for x in range(w):
            x0, x1 = max(x - reach, 0), min(x + reach, w - 1)
            y0, y1 = max(y - reach, 0), min(y + reach, h - 1)
            dx = hd[y * w + x1] - hd[y * w + x0]
            dy = hd[y1 * w + x] - hd[y0 * w + x]
            # Slope towards the upper left (negative dx, dy) faces the light.
            light[y * w + x] = 1.0 - 0.0042 * (dx + dy)
    return light


# 112: the title logo. The word fills the width; two thin rules frame it so
# that the whole logo spans the middle half of the height.
def make_title():
    scale = 4
    size = 128 * scale
    letters = (124, 40)
    top = (128 - letters[1]) // 2
    left = (128 - letters[0]) // 2
    mask = Image.new("L", (size, size), 0)
    mask.paste(text_mask(TITLE_FACE, "QUORVELIN", letters, scale=scale), (left * scale, top * scale))
    height = mask.filter(ImageFilter.GaussianBlur(1.4 * scale))
    light = bevel_light(height, size, size, scale)
    md = mask.tobytes()
    out = bytearray(size * size * 3)
    y_top, y_bottom = top * scale, (top + letters[1]) * scale
    for y in range(y_top, y_bottom):
        base = title_colour((y - y_top + 0.5) / (y_bottom - y_top))
        for x in range(size):
            a = md[y * size + x]
            if a == 0:
                continue
            k = light[y * size + x] * a / 255.0
            out[(y * size + x) * 3:(y * size + x) * 3 + 3] = bytes(byte(c * k) for c in base)
    word = Image.frombytes("RGB", (size, size), bytes(out))
    picture = downsample(word, scale)

    # The rules: two pixels thick, brightest at the centre and fading out
    # towards the sides, like light running along a polished edge.
    draw = picture.load()
    for y, weight in ((top - 10, 0.55), (top - 9, 1.0), (top + letters[1] + 8, 1.0),
                      (top + letters[1] + 9, 0.55)):
        for x in range(2, 126):
            d = abs(x + 0.5 - 64.0) / 62.0
            k = weight * (1.0 - smoothstep(0.2, 1.0, d))
            c = lerp((255, 196, 40), (255, 250, 215), 1.0 - d)
            draw[x, y] = tuple(byte(v * k) for v in c)
    return picture


# 116: the mirror floor. Tiles of 32 pixels; an off-white line runs along the
# top and left of every tile, and along the right and bottom of the board, so
# the whole floor is framed; each tile has a darker rim inside its lines.
def make_floor():
    rng = random.Random(116)
    # Mottle: a coarse and a fine layer of smoothed noise.
    coarse = Image.frombytes("L", (16, 16), bytes(int(rng.random() * 256) for _ in range(256)))
    coarse = coarse.resize((128, 128), Image.Resampling.BICUBIC).filter(ImageFilter.GaussianBlur(3))
    fine = Image.frombytes("L", (128, 128), bytes(int(rng.random() * 256) for _ in range(128 * 128)))
    fine = fine.filter(ImageFilter.GaussianBlur(0.8))
    cd, fd = coarse.tobytes(), fine.tobytes()

    def is_line(i):
        return i % 32 == 0 or i == 127

    def is_rim(i):
        return i % 32 == 1 or i % 32 == 31 or i == 126

    picture = Image.new("RGB", (128, 128))
    px = picture.load()
    for y in range(128):
        for x in range(128):
            if is_line(x) or is_line(y):
                px[x, y] = LINE_WHITE
                continue
            light = (x // 32 + y // 32) % 2 == 0  # the top-left tile is light
            noise = (cd[y * 128 + x] - 128) / 128.0 * 0.7 + (fd[y * 128 + x] - 128) / 128.0 * 0.3
            if light:
                v = 224 + 3.0 * noise
                if is_rim(x) or is_rim(y):
                    v = 196
                px[x, y] = (byte(v), byte(v), byte(v - 1))
            else:
                v = 75 + 34.0 * noise
                if is_rim(x) or is_rim(y):
                    v = 48
                px[x, y] = (byte(v), byte(v), byte(v + 1))
    return picture


# 117: a falling sparkle, a short streak leaning right at its top.
def make_streak():
    bottom = (14.7, 25.0)
    top = (17.3, 7.0)
    ax, ay = top[0] - bottom[0], top[1] - bottom[1]
    length = math.hypot(ax, ay)
    ux, uy = ax / length, ay / length

    def level(u, v):
        px, py = u - bottom[0], v - bottom[1]
        s = clamp((px * ux + py * uy) / length)  # 0 at the bottom, 1 at the top
        # Distance to the nearest point of the axis, so both ends are round.
        d = math.hypot(px - s * ax, py - s * ay)
        half = 2.0 * (1.0 - 0.35 * smoothstep(0.4, 1.0, s))  # the tail thins
        across = 1.0 - smoothstep(half * 0.45, half * 1.05, d)
        along = 1.0 - 0.5 * smoothstep(0.55, 1.0, s)  # and dims
        c = 255.0 * across * along
        return (c, c, c)

    return image_from_function((32, 32), level, samples=6)


# 118: the star field behind the scene.
def make_stars():
    rng = random.Random(118)
    size = 512
    level = [[0.0, 0.0, 0.0] for _ in range(size * size)]

    def add(x, y, colour, k):
        cell = level[y * size + x]
        for i in range(3):
            cell[i] = max(cell[i], colour[i] * k)

    def spot(margin):
        return (margin + int(rng.random() * (size - 2 * margin)),
                margin + int(rng.random() * (size - 2 * margin)))

    for _ in range(1200):
        x, y = spot(1)
        v = 55 + rng.random() * 85
        add(x, y, (v, v, v), 1.0)
    for _ in range(300):
        x, y = spot(1)
        v = 200 + rng.random() * 55
        add(x, y, (v, v, v * (0.97 + 0.03 * rng.random())), 1.0)
    colours = [
        (255, 236, 110),  # yellow
        (255, 164, 52),  # orange
        (255, 84, 64),  # red
        (110, 236, 255),  # cyan
        (118, 150, 255),  # blue
    ]
    for i in range(14):
        x, y = spot(4)
        colour = colours[i % len(colours)]
        big = i % 4 == 0
        add(x, y, lerp(colour, (255, 255, 255), 0.45), 1.0)
        for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
            add(x + dx, y + dy, colour, 0.75 if big else 0.55)
        for dx, dy in ((1, 1), (-1, 1), (1, -1), (-1, -1)):
            add(x + dx, y + dy, colour, 0.3 if big else 0.18)
        if big:
            for dx, dy in ((2, 0), (-2, 0), (0, 2), (0, -2)):
                add(x + dx, y + dy, colour, 0.28)
    data = bytes(byte(c) for cell in level for c in cell)
    return Image.frombytes("RGB", (size, size), data)


# The icon: the model's motif, three gold plates forming one upright triangle.
def icon_image(n):
    scale = 16
    s = n * scale
    picture = Image.new("RGBA", (s, s), (0, 0, 0, 0))
    draw = ImageDraw.Draw(picture)
    margin = {16: 0.0, 32: 1.0, 48: 1.5}[n] * scale
    width = s - 2 * margin
    height = width * math.sqrt(3) / 2
    x0 = margin
    # The base on a whole pixel, so its edge is crisp.
    y1 = round((s + height) / 2 / scale) * scale
    outline = {16: 0.8, 32: 1.3, 48: 1.8}[n] * scale

    def plate(ax, ay, w):
        """An upright triangle with its lower-left corner at (ax, ay)."""
        return [(ax, ay), (ax + w, ay), (ax + w / 2, ay - w * math.sqrt(3) / 2)]

    # The plates touch at their corners, leaving the inverted middle open.
    half = width / 2
    plates = [plate(x0, y1, half), plate(x0 + half, y1, half), plate(x0 + half / 2, y1 - height / 2, half)]

    def shrink(points, by):
        cx = sum(p[0] for p in points) / 3
        cy = sum(p[1] for p in points) / 3
        # An equilateral triangle's inradius is a third of its height.
        r = (points[1][0] - points[0][0]) * math.sqrt(3) / 6
        k = (r - by) / r
        return [(cx + (p[0] - cx) * k, cy + (p[1] - cy) * k) for p in points]

    for points in plates:
        draw.polygon(points, fill=(92, 46, 0, 255))
    # Gold faces lit from the upper left, inside the dark rims.
    face = Image.new("L", (s, s), 0)
    fd = ImageDraw.Draw(face)
    for points in plates:
        fd.polygon(shrink(points, outline), fill=255)
    shade = Image.new("RGBA", (s, s))
    sp = []
    for y in range(s):
        for x in range(s):
            t = clamp((x * 0.35 + y) / (s * 1.2))
            c = lerp((255, 246, 170), (236, 150, 0), t)
            sp.append(tuple(int(v) for v in c) + (255,))
    shade.putdata(sp)
    picture = Image.composite(shade, picture, face)
    premultiplied = picture.convert("RGBa").resize((n, n), Image.Resampling.BOX)
    return premultiplied.convert("RGBA")


def icon_dib_32(image):
    """One icon image as a 32-bit BGRA DIB with its AND mask."""
    n = image.size[0]
    rgba = image.tobytes()
    xor = bytearray()
    for y in range(n - 1, -1, -1):
        for x in range(n):
            r, g, b, a = rgba[(y * n + x) * 4:(y * n + x) * 4 + 4]
            xor += bytes((b, g, r, a))
    # Only the fully clear pixels are masked: a system that ignores alpha then
    # XORs nothing but black onto the screen.
    return icon_header(n, 32, 0) + bytes(xor) + and_mask(image, 1)


def icon_dib_8(image, palette_image):
    """One icon image with 256 colours and a one-bit mask, for systems that
    show no alpha: partly covered pixels count as covered when at least half."""
    n = image.size[0]
    rgba = image.tobytes()
    solid = Image.new("RGB", (n, n))
    solid.putdata([tuple(rgba[i:i + 3]) for i in range(0, len(rgba), 4)])
    indexed = solid.quantize(palette=palette_image, dither=Image.Dither.NONE)
    palette = indexed.getpalette()[:765]
    palette += [0] * (768 - len(palette))  # entry 255 stays black
    table = b"".join(bytes((palette[i + 2], palette[i + 1], palette[i], 0)) for i in range(0, 768, 3))
    stride = (n + 3) & ~3
    ix = indexed.tobytes()
    xor = bytearray()
    for y in range(n - 1, -1, -1):
        row = bytearray(ix[y * n:(y + 1) * n])
        for x in range(n):
            if rgba[(y * n + x) * 4 + 3] < 128:
                row[x] = 255  # black under the mask, so the screen shows through unchanged
        xor += row + b"\0" * (stride - n)
    return icon_header(n, 8, 256) + table + bytes(xor) + and_mask(image, 128)


def icon_header(n, bits, colours):
    xor_size = ((n * bits + 31) // 32 * 4) * n
    and_size = ((n + 31) // 32 * 4) * n
    return struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, bits, 0, xor_size + and_size, 0, 0, colours, 0)


def and_mask(image, opaque_from):
    """One bit a pixel, bottom-up rows padded to four bytes; 1 (transparent)
    where the alpha is below opaque_from."""
    n = image.size[0]
    alpha = image.getchannel("A").tobytes()
    stride = (n + 31) // 32 * 4
    out = bytearray()
    for y in range(n - 1, -1, -1):
        row = bytearray(stride)
        for x in range(n):
            if alpha[y * n + x] < opaque_from:
                row[x // 8] |= 0x80 >> (x % 8)
        out += row
    return bytes(out)


def make_icon():
    sizes = (16, 32, 48)
    images = {n: icon_image(n) for n in sizes}
    # One shared palette from the 48-pixel picture keeps the 8-bit images alike.
    big = images[48]
    flat = Image.new("RGB", big.size)
    flat.paste(big.convert("RGB"), mask=big.getchannel("A"))
    palette_image = flat.quantize(colors=255, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    entries = []
    for n in sizes:
        entries.append((n, 256, 8, icon_dib_8(images[n], palette_image)))
    for n in sizes:
        entries.append((n, 0, 32, icon_dib_32(images[n])))
    header = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    directory = b""
    body = b""
    for n, colours, bits, dib in entries:
        directory += struct.pack("<BBBBHHII", n, n, 0, 0, 1, bits, len(dib), offset + len(body))
        body += dib
    return header + directory + body


def main():
    rows = re.findall(r'^PICTURE\(\d+, (\w+), "([^"]+)"\)$', (RESOURCES / "pictures.inc").read_text(), re.M)
    for name, file in rows:
        write(RESOURCES / file, bmp_bytes(globals()["make_" + name]()))
    write(ICON, make_icon())


if __name__ == "__main__":
    main()
