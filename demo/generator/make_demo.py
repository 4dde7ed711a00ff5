#!/usr/bin/python3
"""Makes every file of the demo program folder: skins, pictures, animations,
sounds and theme previews, for both demo themes.

    /usr/bin/python3 demo/generator/make_demo.py [--mock DIR]

Needs Debian's python3-pil and python3-numpy and the DejaVu fonts. The output
is deterministic, so a re-run changes no committed file unless this script
changed. --mock DIR also writes PNG renderings of the console and the dialogs
as the skins place them, for looking at a layout without building the console.

The file writers are our own rather than PIL's because the console reads these files
with simple loaders: every GIF frame must be a whole picture with its own
graphic-control block right after a zero byte, and no image data may contain
the bytes 00 21 F9 by chance, so that even a loader that cuts frames at those
bytes sees exactly the frames we wrote.
"""

import math
import os
import re
import struct
import sys
import wave
from functools import lru_cache

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

MASK_RGB = (255, 0, 255)


# --------------------------------------------------------------------------
# Colour reduction

def quantize(rgb, mask=None, colors=256):
    """Reduces an RGB float/uint8 array to (indices, palette).

    Pixels where `mask` is true get an exact MASK_RGB entry of their own, so
    that a colour-keyed window cuts exactly them and nothing else.
    """
    arr = np.clip(np.asarray(rgb, dtype=np.float32) + 0.5, 0, 255).astype(np.uint8)
    h, w, _ = arr.shape
    limit = colors - 1 if mask is not None and mask.any() else colors
    src = arr.copy()
    if mask is not None and mask.any():
        # Masked pixels must not pull a palette entry towards magenta.
        keep = ~mask
        filler = arr[keep][0] if keep.any() else np.array([0, 0, 0], np.uint8)
        src[mask] = filler
    img = Image.fromarray(src, "RGB")
    uniq = len(np.unique(src.reshape(-1, 3), axis=0))
    if uniq <= limit:
        q = img.quantize(colors=uniq, method=Image.Quantize.MEDIANCUT,
                         dither=Image.Dither.NONE)
    else:
        q = img.quantize(colors=limit, method=Image.Quantize.MEDIANCUT,
                         dither=Image.Dither.NONE)
    idx = np.array(q, dtype=np.uint8)
    used = int(idx.max()) + 1
    pal = np.array(q.getpalette()[: 3 * used], dtype=np.uint8).reshape(-1, 3)
    if mask is not None and mask.any():
        if any(tuple(c) == MASK_RGB for c in pal):
            raise ValueError("a picture colour collided with the mask colour")
        pal = np.vstack([pal, np.array(MASK_RGB, np.uint8)])
        idx = idx.copy()
        idx[mask] = len(pal) - 1
    return idx, pal


# --------------------------------------------------------------------------
# BMP

def _rle8_row(row):
    out = bytearray()
    n = len(row)
    i = 0
    literal = []

    def flush():
        j = 0
        while j < len(literal):
            chunk = literal[j:j + 255]
            if len(chunk) >= 3:
                out.extend((0, len(chunk)))
                out.extend(chunk)
                if len(chunk) % 2:
                    out.append(0)
            else:
                for v in chunk:
                    out.extend((1, v))
            j += 255
        literal.clear()

    while i < n:
        v = row[i]
        run = 1
        while i + run < n and row[i + run] == v and run < 255:
            run += 1
        if run >= 3:
            flush()
            out.extend((run, v))
        else:
            literal.extend(row[i:i + run])
        i += run
    flush()
    out.extend((0, 0))
    return out


def bmp_bytes(indices, palette):
    """An 8-bit palette BMP, bottom-up, RLE8-compressed when that is smaller."""
    h, w = indices.shape
    ncol = len(palette)
    pal = bytearray()
    for r, g, b in palette:
        pal.extend((int(b), int(g), int(r), 0))
    stride = (w + 3) & ~3
    raw = bytearray()
    for y in range(h - 1, -1, -1):
        raw.extend(indices[y].tobytes())
        raw.extend(b"\0" * (stride - w))
    rle = bytearray()
    for y in range(h - 1, -1, -1):
        rle.extend(_rle8_row(indices[y].tolist()))
    rle[-2:] = b"\x00\x01"  # the last end-of-line becomes end-of-bitmap
    if len(rle) < len(raw):
        data, comp = bytes(rle), 1
    else:
        data, comp = bytes(raw), 0
    offset = 14 + 40 + len(pal)
    header = b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, comp, len(data),
                       2835, 2835, ncol, 0)
    return header + info + bytes(pal) + data


def write_bmp(path, rgb, mask=None):
    idx, pal = quantize(rgb, mask)
    data = bmp_bytes(idx, pal)
    with open(path, "wb") as f:
        f.write(data)
    return len(data)


# --------------------------------------------------------------------------
# GIF

def _lzw(indices, min_size):
    clear = 1 << min_size
    eoi = clear + 1
    out = bytearray()
    acc = 0
    nbits = 0

    def put(code, size):
        nonlocal acc, nbits
        acc |= code << nbits
        nbits += size
        while nbits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8

    size = min_size + 1
    table = {}
    nxt = eoi + 1
    put(clear, size)
    data = indices.tolist()
    prefix = data[0]
    for k in data[1:]:
        key = (prefix, k)
        code = table.get(key)
        if code is not None:
            prefix = code
            continue
        put(prefix, size)
        if nxt < 4096:
            table[key] = nxt
            if nxt == (1 << size) and size < 12:
                size += 1
            nxt += 1
        else:
            put(clear, size)
            table = {}
            size = min_size + 1
            nxt = eoi + 1
        prefix = k
    put(prefix, size)
    put(eoi, size)
    if nbits:
        out.append(acc & 0xFF)
    return bytes(out)


def _blocks(data, size):
    out = bytearray()
    for i in range(0, len(data), size):
        chunk = data[i:i + size]
        out.append(len(chunk))
        out.extend(chunk)
    out.append(0)
    return bytes(out)


def gif_bytes(frames, delays_cs, colors=128):
    """Full-size frames (list of HxWx3 arrays), one shared palette, looping."""
    h, w, _ = frames[0].shape
    stack = np.concatenate(frames, axis=0)
    idx, pal = quantize(stack, colors=colors)
    bits = max(1, int(np.ceil(np.log2(max(2, len(pal))))))
    table_len = 1 << bits
    pal_bytes = bytearray()
    for r, g, b in pal:
        pal_bytes.extend((int(r), int(g), int(b)))
    pal_bytes.extend(b"\0" * (3 * (table_len - len(pal))))
    min_size = max(2, bits)
    codes = [_lzw(idx[i * h:(i + 1) * h].reshape(-1), min_size)
             for i in range(len(frames))]

    for block in (255, 254, 253, 251, 247, 241, 233, 200, 150, 100):
        out = bytearray(b"GIF89a")
        out += struct.pack("<HHBBB", w, h, 0x80 | 0x70 | (bits - 1), 0, 0)
        out += pal_bytes
        # The loop extension also puts a zero byte right before the first
        # control block, which is where simple frame cutters look for it.
        out += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"
        for code, delay in zip(codes, delays_cs):
            out += b"\x21\xF9\x04" + struct.pack("<BHBB", 0x04, delay, 0, 0)
            out += b"\x2C" + struct.pack("<HHHHB", 0, 0, w, h, 0)
            out.append(min_size)
            out += _blocks(code, block)
        out += b"\x3B"
        if out.count(b"\x00\x21\xF9") == len(frames):
            return bytes(out)
    raise ValueError("could not avoid a false frame separator")


def write_gif(path, frames, delays_cs, colors=128):
    data = gif_bytes(frames, delays_cs, colors)
    with open(path, "wb") as f:
        f.write(data)
    return len(data)


# --------------------------------------------------------------------------
# WAV

def write_wav(path, samples, rate=22050):
    """Mono 16-bit PCM; `samples` are floats in -1 .. 1."""
    pcm = np.clip(np.round(np.asarray(samples) * 32767), -32768, 32767)
    with wave.open(path, "wb") as f:
        f.setnchannels(1)
        f.setsampwidth(2)
        f.setframerate(rate)
        f.writeframes(pcm.astype("<i2").tobytes())
    with open(path, "rb") as f:
        return len(f.read())


# --------------------------------------------------------------------------
# Skin files

def write_ini(path, sections, comment=None):
    """`sections`: list of (name, [(key, value) or ("", comment)])."""
    lines = []
    if comment:
        lines += ["; " + c if c else ";" for c in comment.split("\n")]
        lines.append("")
    for name, items in sections:
        lines.append("[%s]" % name)
        for key, value in items:
            if key == "":
                lines.append("; " + value)
            else:
                lines.append("%s=%s" % (key, value))
        lines.append("")
    data = "\r\n".join(lines).encode("utf-8")
    with open(path, "wb") as f:
        f.write(data)
    return len(data)


# ==========================================================================
# Drawing toolkit. Pictures are float arrays (height, width, 3) in 0 .. 255;
# shapes are coverage masks (height, width) in 0 .. 1, drawn four times larger
# and reduced, which gives them smooth edges.

FONT_DIR = "/usr/share/fonts/truetype/dejavu/"
SS = 4


@lru_cache(maxsize=None)
def font(name, size):
    return ImageFont.truetype(FONT_DIR + name, size)


def solid(w, h, c):
    return np.broadcast_to(np.array(c, np.float32), (h, w, 3)).copy()


def vgrad(w, h, stops):
    """Vertical gradient through (t, colour) stops, t from 0 (top) to 1."""
    t = (np.arange(h, dtype=np.float32) + 0.5) / h
    ts = [s[0] for s in stops]
    col = np.stack([np.interp(t, ts, [s[1][i] for s in stops]) for i in range(3)], 1)
    return np.broadcast_to(col[:, None, :], (h, w, 3)).copy()


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def coverage(w, h, draw):
    im = Image.new("L", (w * SS, h * SS), 0)
    draw(ImageDraw.Draw(im), SS)
    return np.asarray(im.resize((w, h), Image.BOX), dtype=np.float32) / 255.0


def disc(w, h, cx, cy, r, outline=False):
    """A filled circle, or with `outline` a one-pixel circle line."""
    box = lambda s: [(cx - r) * s, (cy - r) * s, (cx + r) * s, (cy + r) * s]
    if outline:
        return coverage(w, h, lambda d, s: d.ellipse(box(s), outline=255, width=s))
    return coverage(w, h, lambda d, s: d.ellipse(box(s), fill=255))


def polyline(w, h, pts, width=1.0):
    return coverage(w, h, lambda d, s: d.line([(x * s, y * s) for x, y in pts], fill=255,
                                              width=max(1, int(width * s)), joint="curve"))


def paint(dst, src, alpha):
    """Lays colour or picture `src` over `dst` where `alpha` (mask or number) says."""
    a = np.asarray(alpha, np.float32)
    if a.ndim == 2:
        a = a[:, :, None]
    src = np.asarray(src, np.float32)
    dst[...] = dst * (1 - a) + src * a
    return dst


def blur(mask, radius):
    im = Image.fromarray(np.clip(mask * 255, 0, 255).astype(np.uint8), "L")
    im = im.filter(ImageFilter.GaussianBlur(radius))
    return np.asarray(im, dtype=np.float32) / 255.0


def shift(mask, dx, dy):
    out = np.zeros_like(mask)
    h, w = mask.shape
    xs, xd = (0, dx) if dx >= 0 else (-dx, 0)
    ys, yd = (0, dy) if dy >= 0 else (-dy, 0)
    out[yd:h - ys if ys else h, xd:w - xs if xs else w] = \
        mask[ys:h - yd if yd else h, xs:w - xd if xd else w]
    return out


def shape(style, box, radius):
    """A rounded (Default) or corner-cut (Amber) shape; box edges in pixels."""
    x0, y0, x1, y1 = box

    def draw(d, s):
        if style == "round":
            d.rounded_rectangle([x0 * s, y0 * s, x1 * s - 1, y1 * s - 1],
                                radius=radius * s, fill=255)
        else:
            c = radius
            pts = [(x0 + c, y0), (x1 - c, y0), (x1, y0 + c), (x1, y1 - c),
                   (x1 - c, y1), (x0 + c, y1), (x0, y1 - c), (x0, y0 + c)]
            d.polygon([(x * s, y * s) for x, y in pts], fill=255)
    return draw


def shape_mask(style, w, h, box, radius):
    return coverage(w, h, shape(style, box, radius))


def ring(style, w, h, box, radius, width):
    x0, y0, x1, y1 = box
    outer = shape_mask(style, w, h, box, radius)
    inner = shape_mask(style, w, h, (x0 + width, y0 + width, x1 - width, y1 - width),
                       max(0.5, radius - width * (1 if style == "round" else 0.4)))
    return np.clip(outer - inner, 0, 1)


def text_size(txt, fnt, spacing=0):
    if not spacing:
        l, t, r, b = fnt.getbbox(txt)
        return r, b
    return (sum(fnt.getlength(ch) for ch in txt) + spacing * (len(txt) - 1),
            fnt.getbbox(txt)[3])


def text_mask(w, h, xy, txt, fnt, anchor="ls", spacing=0):
    """Coverage of a line of text. With `spacing` the letters are set apart."""
    im = Image.new("L", (w, h), 0)
    d = ImageDraw.Draw(im)
    x, y = xy
    if not spacing:
        d.text((x, y), txt, font=fnt, fill=255, anchor=anchor)
    else:
        total = text_size(txt, fnt, spacing)[0]
        if anchor[0] == "m":
            x -= total / 2
        elif anchor[0] == "r":
            x -= total
        for ch in txt:
            d.text((x, y), ch, font=fnt, fill=255, anchor="l" + anchor[1])
            x += fnt.getlength(ch) + spacing
    return np.asarray(im, dtype=np.float32) / 255.0


def put_text(img, xy, txt, fnt, colour, anchor="ls", spacing=0, shadow=None,
             glow=None):
    h, w, _ = img.shape
    m = text_mask(w, h, xy, txt, fnt, anchor, spacing)
    if glow:
        paint(img, glow[0], np.clip(blur(m, glow[1]) * glow[2], 0, 1))
    if shadow:
        paint(img, shadow, shift(m, 0, 1) * 0.8)
    paint(img, colour, m)
    return img


def crop(img, x, y, w, h):
    return img[y:y + h, x:x + w].copy()


# ==========================================================================
# Themes. Both themes share every layout; they differ in colour, outline
# (rounded or cut corners), type, animations and sounds.

THEMES = {
    "Default": dict(
        style="round", radius=10, btn_radius=8,
        title_font="DejaVuSans-Bold.ttf", label_font="DejaVuSans-Bold.ttf",
        upper=False,
        bg=(14, 22, 34), back_top=(22, 34, 52), back_bot=(9, 14, 23),
        head_top=(38, 60, 88), head_bot=(17, 28, 44),
        accent=(0, 190, 255), accent_dim=(0, 118, 170),
        panel_fill=(22, 34, 50), panel_stripe=(25, 38, 56),
        panel_edge=(64, 94, 128), panel_dark=(5, 9, 15),
        panel_head_top=(40, 60, 86), panel_head_bot=(26, 40, 59),
        badge_fill=(10, 18, 28),
        list_bg=(9, 15, 24), list_fg=(150, 214, 245),
        label_fg=(206, 222, 238),
        text=(236, 244, 252), text_dim=(134, 160, 186),
        btn_top=(58, 92, 128), btn_bot=(26, 44, 68),
        btn_over_top=(30, 150, 212), btn_over_bot=(9, 80, 128),
        btn_border=(4, 10, 18), btn_glow=(90, 215, 255),
        danger=(236, 86, 76), ok=(72, 224, 150),
        dlg_plate=(20, 31, 46),
    ),
    "Amber": dict(
        style="cut", radius=10, btn_radius=7,
        title_font="DejaVuSansCondensed-Bold.ttf",
        label_font="DejaVuSansCondensed-Bold.ttf",
        upper=True,
        bg=(24, 18, 12), back_top=(36, 27, 18), back_bot=(15, 11, 7),
        head_top=(70, 48, 24), head_bot=(30, 21, 12),
        accent=(255, 168, 40), accent_dim=(178, 104, 20),
        panel_fill=(36, 27, 18), panel_stripe=(41, 31, 21),
        panel_edge=(120, 84, 40), panel_dark=(8, 5, 3),
        panel_head_top=(66, 46, 26), panel_head_bot=(44, 32, 20),
        badge_fill=(18, 12, 7),
        list_bg=(15, 11, 6), list_fg=(255, 192, 96),
        label_fg=(244, 222, 190),
        text=(255, 236, 206), text_dim=(186, 150, 104),
        btn_top=(104, 72, 36), btn_bot=(54, 36, 18),
        btn_over_top=(214, 132, 30), btn_over_bot=(128, 70, 12),
        btn_border=(12, 7, 3), btn_glow=(255, 200, 110),
        danger=(240, 96, 56), ok=(200, 230, 90),
        dlg_plate=(34, 25, 16),
    ),
}


# ==========================================================================
# Pictograms, drawn on a 24-unit grid and scaled to any size.

class Pen:
    def __init__(self, d, ox, oy, k):
        self.d, self.ox, self.oy, self.k = d, ox, oy, k

    def p(self, x, y):
        return (self.ox + x * self.k, self.oy + y * self.k)

    def line(self, pts, width=2.0, fill=255):
        self.d.line([self.p(*q) for q in pts], fill=fill, width=max(1, int(width * self.k)),
                    joint="curve")
        r = width * self.k / 2
        for q in (pts[0], pts[-1]):
            x, y = self.p(*q)
            self.d.ellipse([x - r, y - r, x + r, y + r], fill=fill)

    def poly(self, pts, fill=255):
        self.d.polygon([self.p(*q) for q in pts], fill=fill)

    def disc(self, x, y, r, fill=255):
        cx, cy = self.p(x, y)
        self.d.ellipse([cx - r * self.k, cy - r * self.k, cx + r * self.k, cy + r * self.k],
                       fill=fill)

    def circle(self, x, y, r, width=2.0, fill=255):
        cx, cy = self.p(x, y)
        R = r * self.k
        self.d.ellipse([cx - R, cy - R, cx + R, cy + R], outline=fill,
                       width=max(1, int(width * self.k)))

    def arc(self, x, y, r, a0, a1, width=2.0, fill=255):
        cx, cy = self.p(x, y)
        R = r * self.k
        self.d.arc([cx - R, cy - R, cx + R, cy + R], a0, a1, fill=fill,
                   width=max(1, int(width * self.k)))

    def rect(self, x0, y0, x1, y1, radius=0, fill=255, width=None):
        a, b = self.p(x0, y0), self.p(x1, y1)
        if width:
            self.d.rounded_rectangle([a, b], radius=radius * self.k, outline=fill,
                                     width=max(1, int(width * self.k)))
        else:
            self.d.rounded_rectangle([a, b], radius=radius * self.k, fill=fill)


def g_key(p):
    p.circle(8, 12, 4.5, 2.4)
    p.line([(12.5, 12), (21, 12)], 2.4)
    p.line([(18, 12), (18, 16)], 2.2)
    p.line([(21, 12), (21, 15)], 2.2)


def g_terminal(p):
    p.rect(2.5, 4.5, 21.5, 19.5, 2.5, width=1.8)
    p.line([(6.5, 9), (9.5, 12), (6.5, 15)], 2.0)
    p.line([(11.5, 15.5), (16.5, 15.5)], 2.0)


def g_lock(p):
    p.arc(12, 9, 5, 180, 360, 2.4)
    p.line([(7, 9), (7, 11.5)], 2.4)
    p.line([(17, 9), (17, 11.5)], 2.4)
    p.rect(4.5, 11, 19.5, 21, 2)
    p.disc(12, 15, 1.8, fill=0)
    p.line([(12, 15), (12, 18.2)], 1.5, fill=0)


def g_speaker(p):
    p.poly([(3, 9), (7, 9), (12, 4.5), (12, 19.5), (7, 15), (3, 15)])
    p.arc(12, 12, 4.5, -50, 50, 2.0)
    p.arc(12, 12, 8.5, -50, 50, 2.0)


def g_pointer(p):
    p.poly([(4, 2.5), (4, 19), (8.2, 15.2), (11, 21.2), (13.8, 20), (11.2, 14.2),
            (16.8, 14.2)])
    p.arc(13, 7, 4, -70, 20, 1.8)
    p.arc(13, 7, 8, -70, 20, 1.8)


def g_mic(p):
    p.rect(8.5, 2.5, 15.5, 14, 3.5)
    p.arc(12, 10.5, 6.5, 10, 170, 2.0)
    p.line([(12, 17), (12, 21)], 2.0)
    p.line([(8, 21), (16, 21)], 2.0)


def g_reset(p):
    p.arc(12, 12.5, 7.5, -110, 160, 2.4)
    p.poly([(14.5, 1.6), (14.5, 8.8), (8.8, 5.2)])


def g_theme(p):
    p.rect(2.5, 3.5, 21.5, 16.5, 1.5, width=1.8)
    p.poly([(4.6, 14.5), (19.4, 5.5), (19.4, 14.5)])
    p.line([(12, 16.5), (12, 19.5)], 2.0)
    p.line([(7.5, 20.5), (16.5, 20.5)], 2.0)


def g_power(p):
    p.arc(12, 13, 8, -55, 235, 2.6)
    p.line([(12, 2.5), (12, 11)], 2.6)


def g_folder(p):
    p.poly([(2.5, 5), (9, 5), (11, 7.5), (21.5, 7.5), (21.5, 19.5), (2.5, 19.5)])
    p.line([(2.5, 10), (21.5, 10)], 1.2, fill=0)


def g_globe(p):
    p.circle(12, 12, 9, 1.8)
    p.d.ellipse([*p.p(8, 3), *p.p(16, 21)], outline=255, width=int(1.6 * p.k))
    p.line([(3.5, 9), (20.5, 9)], 1.5)
    p.line([(3.5, 15), (20.5, 15)], 1.5)
    p.line([(12, 3), (12, 21)], 1.5)


def g_mail(p):
    p.rect(2.5, 5.5, 21.5, 18.5, 1.5, width=1.8)
    p.line([(3.5, 7), (12, 13.5), (20.5, 7)], 1.8)


def g_music(p):
    p.d.ellipse([*p.p(3, 15), *p.p(9, 20)], fill=255)
    p.d.ellipse([*p.p(13, 13), *p.p(19, 18)], fill=255)
    p.line([(8.2, 17), (8.2, 5)], 1.8)
    p.line([(18.2, 15), (18.2, 3)], 1.8)
    p.poly([(8.2, 4.2), (18.2, 2.2), (18.2, 6.2), (8.2, 8.2)])


def g_gear(p):
    for i in range(8):
        a = i * math.pi / 4
        ca, sa = math.cos(a), math.sin(a)
        pts = []
        for r, da in ((6.5, -0.32), (10, -0.2), (10, 0.2), (6.5, 0.32)):
            pts.append((12 + r * math.cos(a + da), 12 + r * math.sin(a + da)))
        p.poly(pts)
    p.disc(12, 12, 7)
    p.disc(12, 12, 3, fill=0)


def g_shield(p):
    p.poly([(12, 1.5), (21, 4.5), (20.5, 12), (17, 18), (12, 22.5), (7, 18), (3.5, 12),
            (3, 4.5)])
    p.line([(7.5, 12), (10.8, 15.5), (16.8, 8.5)], 2.4, fill=0)


GLYPHS = dict(key=g_key, terminal=g_terminal, lock=g_lock, speaker=g_speaker,
              pointer=g_pointer, mic=g_mic, reset=g_reset, theme=g_theme,
              power=g_power, folder=g_folder, globe=g_globe, mail=g_mail,
              music=g_music, gear=g_gear, shield=g_shield)


def glyph_mask(w, h, name, x, y, size):
    """Coverage of pictogram `name` in a size x size box at (x, y)."""
    def draw(d, s):
        GLYPHS[name](Pen(d, x * s, y * s, size * s / 24.0))
    return coverage(w, h, draw)


# ==========================================================================
# Pictures of the console

def title_text(T, txt):
    return txt.upper()


def button_art(T, w, h, label, glyph, over, bg, danger=False):
    """A command button: bevelled body, icon plate on the left, label."""
    st, r = T["style"], T["btn_radius"]
    img = solid(w, h, bg)
    box = (1, 1, w - 1, h - 2)
    paint(img, (0, 0, 0), blur(shape_mask(st, w, h, (1, 2, w - 1, h - 0.5), r), 1.2) * 0.6)
    body = shape_mask(st, w, h, box, r)
    top, bot = (T["btn_over_top"], T["btn_over_bot"]) if over else (T["btn_top"], T["btn_bot"])
    if danger and over:
        top, bot = mix(T["danger"], (255, 255, 255), 0.05), mix(T["danger"], (0, 0, 0), 0.55)
    grad = vgrad(w, h, [(0, mix(top, (255, 255, 255), 0.08)), (0.48, mix(top, bot, 0.4)),
                        (0.52, mix(top, bot, 0.62)), (1, bot)])
    paint(img, grad, body)
    fade = vgrad(w, h, [(0, (1, 1, 1)), (0.5, (0.15, 0.15, 0.15)), (1, (0, 0, 0))])[:, :, 0]
    paint(img, (255, 255, 255), ring(st, w, h, (2, 2, w - 2, h - 3), r - 1, 1) * fade * 0.45)
    paint(img, T["btn_border"], ring(st, w, h, box, r, 1.2))
    if over:
        glow = T["btn_glow"] if not danger else mix(T["danger"], (255, 255, 255), 0.4)
        paint(img, glow, ring(st, w, h, (1.6, 1.6, w - 1.6, h - 2.6), r - 0.6, 1.0) * 0.9)
    # icon plate
    cx, cy = 20, (h - 1) / 2.0
    if st == "round":
        plate = coverage(w, h, lambda d, s: d.ellipse(
            [(cx - 13) * s, (cy - 13) * s, (cx + 13) * s, (cy + 13) * s], fill=255))
    else:
        plate = shape_mask(st, w, h, (cx - 13, cy - 13, cx + 13, cy + 13), 5)
    paint(img, (0, 0, 0), plate * 0.32)
    paint(img, (255, 255, 255), shift(plate, 0, 1) * (1 - plate) * 0.12)
    icol = T["danger"] if danger else T["accent"]
    if over:
        icol = (255, 255, 255) if not danger else mix(T["danger"], (255, 255, 255), 0.7)
    gm = glyph_mask(w, h, glyph, cx - 8.5, cy - 8.5, 17)
    if over:
        paint(img, icol, np.clip(blur(gm, 2.0) * 0.8, 0, 1))
    paint(img, icol, gm)
    txt = label.upper() if T["upper"] else label
    fnt = font(T["label_font"], 13)
    spacing = 1 if T["upper"] else 0
    tcol = (255, 255, 255) if over else T["text"]
    put_text(img, (40, cy + 0.5), txt, fnt, tcol, anchor="lm", spacing=spacing,
             shadow=(0, 0, 0))
    return img


def dialog_button_art(T, w, h, label, over, bg, primary):
    st, r = T["style"], T["btn_radius"]
    img = solid(w, h, bg)
    box = (1, 1, w - 1, h - 2)
    paint(img, (0, 0, 0), blur(shape_mask(st, w, h, (1, 2, w - 1, h - 0.5), r), 1.2) * 0.6)
    if primary:
        top, bot = (T["btn_over_top"], T["btn_over_bot"])
        if over:
            top, bot = mix(top, (255, 255, 255), 0.25), mix(bot, (255, 255, 255), 0.1)
    else:
        top, bot = (T["btn_over_top"], T["btn_over_bot"]) if over else (T["btn_top"], T["btn_bot"])
    grad = vgrad(w, h, [(0, mix(top, (255, 255, 255), 0.08)), (0.48, mix(top, bot, 0.4)),
                        (0.52, mix(top, bot, 0.62)), (1, bot)])
    paint(img, grad, shape_mask(st, w, h, box, r))
    fade = vgrad(w, h, [(0, (1, 1, 1)), (0.5, (0.15, 0.15, 0.15)), (1, (0, 0, 0))])[:, :, 0]
    paint(img, (255, 255, 255), ring(st, w, h, (2, 2, w - 2, h - 3), r - 1, 1) * fade * 0.45)
    paint(img, T["btn_border"], ring(st, w, h, box, r, 1.2))
    if over:
        paint(img, T["btn_glow"], ring(st, w, h, (1.6, 1.6, w - 1.6, h - 2.6), r - 0.6, 1.0) * 0.9)
    txt = label.upper() if T["upper"] else label
    put_text(img, (w / 2.0, (h - 1) / 2.0 + 0.5), txt, font(T["label_font"], 13),
             (255, 255, 255) if over else T["text"], anchor="mm",
             spacing=1 if T["upper"] else 0, shadow=(0, 0, 0))
    return img


def icon_tile_art(T, size, glyph, over, bg):
    """A launcher tile of the shell's own skins (the console lists, never shows them)."""
    st = T["style"]
    img = solid(size, size, bg)
    box = (2, 2, size - 2, size - 3)
    shadow = shape_mask(st, size, size, (2, 3, size - 2, size - 1), 10)
    paint(img, (0, 0, 0), blur(shadow, 1.5) * 0.6)
    top, bot = (T["btn_over_top"], T["btn_over_bot"]) if over else (T["btn_top"], T["btn_bot"])
    paint(img, vgrad(size, size, [(0, top), (1, bot)]), shape_mask(st, size, size, box, 10))
    paint(img, T["btn_border"], ring(st, size, size, box, 10, 1.2))
    fade = vgrad(size, size, [(0, (1, 1, 1)), (0.6, (0, 0, 0)), (1, (0, 0, 0))])[:, :, 0]
    paint(img, (255, 255, 255), ring(st, size, size, (3, 3, size - 3, size - 4), 9, 1) * fade * 0.4)
    gm = glyph_mask(size, size, glyph, size / 2.0 - 15, size / 2.0 - 16, 30)
    col = (255, 255, 255) if over else T["accent"]
    if over:
        paint(img, col, np.clip(blur(gm, 2.5), 0, 1) * 0.6)
    paint(img, col, gm)
    return img


def header_art(T, w):
    img = vgrad(w, 72, [(0, T["head_top"]), (1, T["head_bot"])])
    img[0] = mix(T["head_top"], (255, 255, 255), 0.12)
    img[70] = T["accent_dim"]
    img[71] = T["panel_dark"]
    return img


def footer_art(T, w):
    img = vgrad(w, 30, [(0, T["head_bot"]), (1, mix(T["bg"], T["head_bot"], 0.3))])
    img[0] = T["panel_dark"]
    img[1] = mix(T["accent_dim"], T["head_bot"], 0.45)
    return img


def backdrop_art(T):
    return vgrad(8, 256, [(0, T["back_top"]), (0.35, T["bg"]), (1, T["back_bot"])])


def logo_art(T, w=460):
    img = crop(header_art(T, w), 0, 8, w, 56)
    h = 56
    gm = glyph_mask(w, h, "shield" if T["style"] == "round" else "gear", 8, 6, 44)
    paint(img, T["accent"], np.clip(blur(gm, 4) * 0.55, 0, 1))
    shade = vgrad(w, h, [(0, mix(T["accent"], (255, 255, 255), 0.45)), (1, T["accent_dim"])])
    paint(img, shade, gm)
    if T["style"] != "round":
        paint(img, T["head_bot"], glyph_mask(w, h, "lock", 21, 19, 18))
    put_text(img, (64, 30), "KESTA Terminal", font(T["title_font"], 25), T["text"],
             shadow=(0, 0, 0))
    put_text(img, (66, 47), "SECURITY CONSOLE", font("DejaVuSans.ttf", 10), T["accent"],
             spacing=3.2)
    return img


def badge_art(T, w=216, h=36):
    img = crop(header_art(T, w), 0, 18, w, h)
    st = T["style"]
    box = (0.5, 0.5, w - 0.5, h - 0.5)
    paint(img, T["badge_fill"], shape_mask(st, w, h, box, 17 if st == "round" else 9))
    paint(img, T["accent_dim"], ring(st, w, h, box, 17 if st == "round" else 9, 1.2) * 0.9)
    put_text(img, (42, 17), "SHIELD ACTIVE", font(T["label_font"], 11), T["text"], spacing=1)
    put_text(img, (42, 29), "all command gates armed", font("DejaVuSans.ttf", 9), T["text_dim"])
    return img


def panel_art(T, w, h, title=None, head=True):
    """A whole panel; the skins use it whole or cut into slices that stretch."""
    st, r = T["style"], T["radius"]
    img = solid(w, h, T["bg"])
    body = shape_mask(st, w, h, (0, 0, w, h), r)
    inside = solid(w, h, T["panel_fill"])
    if head:
        inside[:34] = vgrad(w, 34, [(0, T["panel_head_top"]), (1, T["panel_head_bot"])])
        inside[34] = T["accent_dim"]
        inside[35] = mix(T["panel_dark"], T["panel_fill"], 0.4)
    paint(img, inside, body)
    paint(img, T["panel_dark"], ring(st, w, h, (0, 0, w, h), r, 1))
    # The rim fades only within the top 36 rows, so that the slices cut from
    # below them repeat exactly when stretched.
    dim = (0.45, 0.45, 0.45)
    fade = vgrad(w, h, [(0, (1, 1, 1)), (36.0 / h, dim), (1, dim)])[:, :, 0]
    paint(img, T["panel_edge"], ring(st, w, h, (1, 1, w - 1, h - 1), r - 1, 1) * fade)
    if st != "round":
        paint(img, T["accent_dim"], ring(st, w, h, (4, 4, w - 4, h - 4), r - 3, 1) * 0.35)
    if title:
        panel_title(T, img, title)
    return img


def panel_title(T, img, title, x=0, y=0):
    h, w, _ = img.shape
    bar = coverage(w, h, lambda d, s: d.rectangle([(x + 10) * s, (y + 10) * s, (x + 13) * s - 1,
                                                    (y + 25) * s - 1], fill=255))
    paint(img, T["accent"], bar)
    paint(img, T["accent"], np.clip(blur(bar, 2) * 0.6, 0, 1))
    put_text(img, (x + 20, y + 22), title_text(T, title), font(T["label_font"], 12), T["text"],
             spacing=1.6, shadow=(0, 0, 0))
    return img


# ==========================================================================
# Dialogs. Each is drawn whole; the pictures, animation frames and buttons
# that its skin section places on it are cut from that drawing, so they meet
# the background without a seam. Layout lines of the dialogs use plain
# numbers only: a dialog is laid out before it takes the size of its
# background, so edge-relative and "%" geometry would measure the wrong box.

def dialog_base(T, w, h, outline, head_h):
    """Background of a shaped dialog: (picture, mask of see-through pixels)."""
    st = T["style"]
    cov = coverage(w, h, outline)
    img = solid(w, h, T["panel_dark"])
    inside = solid(w, h, T["dlg_plate"])
    inside[:head_h] = vgrad(w, head_h, [(0, T["head_top"]), (1, T["head_bot"])])
    inside[head_h] = T["accent_dim"]
    inside[head_h + 1] = mix(T["panel_dark"], T["dlg_plate"], 0.4)
    core = np.clip((blur(cov, 1.0) - 0.5) * 2.2, 0, 1) * cov
    paint(img, inside, core)
    # a light rim just inside the outline, brighter at the top
    rim = np.clip(cov - np.clip((blur(cov, 1.6) - 0.6) * 3, 0, 1), 0, 1) * core
    fade = vgrad(w, h, [(0, (1, 1, 1)), (0.5, (0.45, 0.45, 0.45)), (1, (0.3, 0.3, 0.3))])[:, :, 0]
    paint(img, T["panel_edge"], rim * fade)
    if st != "round":
        inner = np.clip((blur(cov, 3.0) - 0.93) * 12, 0, 1)
        edge = np.clip(inner - np.clip((blur(cov, 4.0) - 0.97) * 30, 0, 1), 0, 1)
        paint(img, T["accent_dim"], edge * 0.5)
    mask = cov < 0.5
    return img, mask


def check_overlays(name, mask, keys):
    """A picture, animation or button laid on a dialog must not reach past its
    outline: it would show as a rectangle where the dialog is see-through."""
    for key, value in keys:
        if key.isdigit():
            f = value.split(",")
            x, y, w, h = (int(v) for v in f[2:6])
            if mask[y:y + h, x:x + w].any():
                raise ValueError("%s: %s reaches past the outline" % (name, value))


def inset_box(T, img, x, y, w, h, fill=None):
    """A recessed field around a text box or list that the dialog places there."""
    H, W, _ = img.shape
    st = T["style"]
    box = (x - 3, y - 3, x + w + 3, y + h + 3)
    outer = shape_mask(st, W, H, box, 6 if st == "round" else 5)
    paint(img, mix(T["panel_dark"], (0, 0, 0), 0.3), outer)
    inner = shape_mask(st, W, H, (x - 2, y - 2, x + w + 2, y + h + 2), 5 if st == "round" else 4)
    paint(img, fill or T["list_bg"], inner)
    lo = shape_mask(st, W, H, (box[0], box[1] + 1, box[2], box[3] + 1), 6) * (1 - outer)
    paint(img, T["panel_edge"], lo * 0.7)


def box_desc(x, y, w, h, bg, fg, fnt, size):
    return "%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%s,%d" % (x, y, w, h, *bg, *fg, fnt, size)


def input_dialog(T):
    st = T["style"]
    W, H = 460, 250

    def outline(d, s):
        shape(st, (0, 22, W, H), 16)(d, s)
        if st == "round":
            d.ellipse([10 * s, 10 * s, 114 * s, 114 * s], fill=255)
        else:
            pts = [(62 + 54 * math.cos(math.pi / 8 + k * math.pi / 4),
                    62 + 54 * math.sin(math.pi / 8 + k * math.pi / 4)) for k in range(8)]
            d.polygon([(x * s, y * s) for x, y in pts], fill=255)

    img, mask = dialog_base(T, W, H, outline, 96)
    # emblem socket
    if st == "round":
        sock = disc(W, H, 62, 62, 44)
        sring = disc(W, H, 62, 62, 48)
    else:
        def octo(r):
            pts = [(62 + r * math.cos(math.pi / 8 + k * math.pi / 4),
                    62 + r * math.sin(math.pi / 8 + k * math.pi / 4)) for k in range(8)]
            return lambda d, s: d.polygon([(x * s, y * s) for x, y in pts], fill=255)
        sock = coverage(W, H, octo(46))
        sring = coverage(W, H, octo(50))
    paint(img, T["accent_dim"], sring)
    paint(img, T["badge_fill"], sock)
    put_text(img, (128, 52), "SECURITY CHECK", font(T["title_font"], 19), T["text"], spacing=1.5,
             shadow=(0, 0, 0))
    put_text(img, (129, 78), "Type the terminal password to continue.",
             font("DejaVuSans.ttf", 12), T["text_dim"])
    inset_box(T, img, 128, 114, 304, 30)
    put_text(img, (26, 214), "KESTA Terminal", font(T["title_font"], 12), T["text_dim"])
    put_text(img, (26, 228), "password gate", font("DejaVuSans.ttf", 9),
             mix(T["text_dim"], T["dlg_plate"], 0.35), spacing=1)

    frames = []
    for k in range(10):
        f = img.copy()
        t = k / 10.0
        pulse = 0.5 - 0.5 * math.cos(2 * math.pi * t)
        seg = coverage(W, H, lambda d, s: d.arc([24 * s, 24 * s, 100 * s, 100 * s],
                                                 k * 36 - 90, k * 36 - 30, fill=255, width=3 * s))
        seg2 = coverage(W, H, lambda d, s: d.arc([24 * s, 24 * s, 100 * s, 100 * s],
                                                  k * 36 + 90, k * 36 + 150, fill=255, width=3 * s))
        paint(f, T["accent"], np.clip(seg + seg2, 0, 1) * 0.9)
        lock = glyph_mask(W, H, "lock", 42, 40, 40)
        paint(f, T["accent"], np.clip(blur(lock, 4) * (0.25 + 0.6 * pulse), 0, 1))
        paint(f, vgrad(W, H, [(0, mix(T["accent"], (255, 255, 255), 0.5)), (0.4, T["accent"]),
                              (1, T["accent_dim"])]), lock)
        frames.append(crop(f, 22, 22, 80, 80))
    ok_x, q_x, by = 232, 340, 192
    bg = T["dlg_plate"]
    files = {
        "dlg_ok.bmp": dialog_button_art(T, 96, 34, "OK", False, bg, True),
        "dlg_oka.bmp": dialog_button_art(T, 96, 34, "OK", True, bg, True),
        "dlg_cancel.bmp": dialog_button_art(T, 96, 34, "Cancel", False, bg, False),
        "dlg_cancela.bmp": dialog_button_art(T, 96, 34, "Cancel", True, bg, False),
        "input_mark.bmp": crop(img, 20, 196, 160, 40),
    }
    keys = [
        ("BackGround", "input.bmp"),
        ("MaskColor", "255,0,255"),
        ("InputBox", box_desc(130, 116, 300, 26, T["list_bg"], T["list_fg"],
                              "DejaVu Sans Mono", 14)),
        ("01", "input_mark.bmp,P,20,196,160,40"),
        ("02", "input_lock.gif,A,22,22,80,80"),
        ("03", "dlg_ok.bmp,B,%d,%d,96,34,tick,click,False,OK" % (ok_x, by)),
        ("04", "dlg_cancel.bmp,B,%d,%d,96,34,tick,click,False,QUIT" % (q_x, by)),
    ]
    return dict(bg=img, mask=mask, files=files,
                gifs={"input_lock.gif": (frames, [9] * 10)}, keys=keys)


SELECT_BOXES = [
    # key, x, y, w, h, caption, caption position
    ("Drivelist", 24, 100, 288, 26, "Drive", (24, 92)),
    ("Dirlist", 24, 160, 288, 226, "Folders", (24, 152)),
    ("Filelist", 328, 100, 288, 286, "Files", (328, 92)),
    ("InputBox", 24, 416, 592, 26, "Program", (24, 408)),
    ("ArgBox", 24, 474, 376, 26, "Arguments", (24, 466)),
]


def select_dialog(T):
    st = T["style"]
    W, H = 640, 516

    def outline(d, s):
        shape(st, (0, 24, W, H), 16)(d, s)
        shape(st, (0, 0, 310, 70), 16)(d, s)

    img, mask = dialog_base(T, W, H, outline, 64)
    folder = glyph_mask(W, H, "folder", 18, 14, 34)
    paint(img, T["accent"], np.clip(blur(folder, 3) * 0.5, 0, 1))
    paint(img, vgrad(W, H, [(0, mix(T["accent"], (255, 255, 255), 0.4)), (0.1, T["accent_dim"]),
                            (1, T["accent_dim"])]), folder)
    put_text(img, (64, 40), "CHOOSE A PROGRAM", font(T["title_font"], 17), T["text"],
             spacing=1.4, shadow=(0, 0, 0))
    put_text(img, (330, 50), "Pick a file, or type a command line below.",
             font("DejaVuSans.ttf", 11), T["text_dim"])
    for key, x, y, w, h, cap, (cx, cy) in SELECT_BOXES:
        inset_box(T, img, x, y, w, h)
        put_text(img, (cx + 1, cy), cap.upper(), font(T["label_font"], 10), T["text_dim"],
                 spacing=1.2)
    # spinner socket
    frames = []
    for k in range(8):
        f = img.copy()
        for j in range(8):
            a = (j * 45 + k * 45) % 360
            age = j / 7.0
            dot = coverage(W, H, lambda d, s, a=a: d.ellipse(
                [(600 + 10 * math.cos(math.radians(a)) - 2.4) * s,
                 (46 + 10 * math.sin(math.radians(a)) - 2.4) * s,
                 (600 + 10 * math.cos(math.radians(a)) + 2.4) * s,
                 (46 + 10 * math.sin(math.radians(a)) + 2.4) * s], fill=255))
            paint(f, mix(T["accent_dim"], T["accent"], age), dot * (0.25 + 0.75 * age))
        frames.append(crop(f, 584, 30, 32, 32))
    keys = [("BackGround", "select.bmp"), ("MaskColor", "255,0,255")]
    for key, x, y, w, h, cap, _ in SELECT_BOXES:
        mono = key in ("InputBox", "ArgBox")
        keys.append((key, box_desc(x, y, w, h, T["list_bg"], T["list_fg"],
                                   "DejaVu Sans Mono" if mono else "DejaVu Sans",
                                   10 if mono else 10)))
    keys += [
        ("01", "select_mark.bmp,P,14,10,42,42"),
        ("02", "select_busy.gif,A,584,30,32,32"),
        ("03", "dlg_ok.bmp,B,412,470,96,34,tick,click,False,OK"),
        ("04", "dlg_cancel.bmp,B,520,470,96,34,tick,click,False,QUIT"),
    ]
    files = {"select_mark.bmp": crop(img, 14, 10, 42, 42)}
    return dict(bg=img, mask=mask, files=files,
                gifs={"select_busy.gif": (frames, [8] * 8)}, keys=keys)


# ==========================================================================
# Animations of the console

def radar_frames(T, size=150):
    """Default: a radar sweep. Amber: an oscilloscope trace."""
    frames = []
    n = 12
    base = solid(size, size, T["panel_fill"])
    c = size / 2.0
    if T["style"] == "round":
        R = size / 2.0 - 6
        bez = disc(size, size, c, c, c - 2)
        scr = disc(size, size, c, c, R)
        paint(base, T["panel_dark"], bez)
        ringm = np.clip(bez - disc(size, size, c, c, c - 3.5), 0, 1)
        paint(base, T["panel_edge"], ringm)
        paint(base, vgrad(size, size, [(0, (8, 24, 34)), (1, (4, 12, 20))]), scr)
        grid = np.zeros((size, size), np.float32)
        for rr in (R * 0.33, R * 0.66):
            grid += disc(size, size, c, c, rr, outline=True)
        grid += polyline(size, size, [(c, c - R), (c, c + R)])
        grid += polyline(size, size, [(c - R, c), (c + R, c)])
        paint(base, T["accent"], np.clip(grid, 0, 1) * scr * 0.22)
        blips = [(0.45 * R, 40), (0.8 * R, 155), (0.6 * R, 260)]
        yy, xx = np.mgrid[0:size, 0:size].astype(np.float32) + 0.5
        ang = (np.degrees(np.arctan2(yy - c, xx - c)) + 360) % 360
        for k in range(n):
            f = base.copy()
            a0 = k * 360.0 / n
            behind = (a0 - ang) % 360
            trail = np.clip(1 - behind / 100.0, 0, 1) ** 1.6 * scr
            paint(f, T["accent"], trail * 0.45)
            beam = polyline(size, size, [(c, c), (c + R * math.cos(math.radians(a0)),
                                                  c + R * math.sin(math.radians(a0)))], 2)
            paint(f, mix(T["accent"], (255, 255, 255), 0.5), beam * scr)
            for br, ba in blips:
                age = (a0 - ba) % 360
                glow = max(0.0, 1 - age / 240.0)
                bx, by = c + br * math.cos(math.radians(ba)), c + br * math.sin(math.radians(ba))
                dot = disc(size, size, bx, by, 3)
                paint(f, T["ok"], np.clip(blur(dot, 2.5) * 1.5, 0, 1) * glow * 0.7)
                paint(f, mix(T["ok"], (255, 255, 255), 0.4), dot * (0.15 + 0.85 * glow))
            paint(f, T["accent"], disc(size, size, c, c, 3))
            frames.append(f)
        return frames, [8] * n
    # Amber oscilloscope
    paint(base, T["panel_dark"], shape_mask("cut", size, size, (1, 1, size - 1, size - 1), 12))
    paint(base, T["panel_edge"], ring("cut", size, size, (1, 1, size - 1, size - 1), 12, 1.5))
    scrm = shape_mask("cut", size, size, (8, 8, size - 8, size - 8), 8)
    paint(base, vgrad(size, size, [(0, (30, 18, 6)), (1, (16, 9, 3))]), scrm)
    grid = np.zeros((size, size), np.float32)
    for i in range(1, 6):
        x = 8 + i * (size - 16) / 6.0
        grid += polyline(size, size, [(x, 8), (x, size - 8)])
    for i in range(1, 4):
        y = 8 + i * (size - 16) / 4.0
        grid += polyline(size, size, [(8, y), (size - 8, y)])
    paint(base, T["accent"], np.clip(grid, 0, 1) * scrm * 0.16)
    for k in range(n):
        f = base.copy()
        pts = []
        for i in range(0, 121):
            x = 10 + i * (size - 20) / 120.0
            ph = (i / 120.0) * 2.0 - k / float(n)
            u = ph % 1.0
            beat = math.exp(-((u - 0.5) / 0.035) ** 2) - 0.45 * math.exp(-((u - 0.56) / 0.03) ** 2)
            wave_ = 2 * math.sin(2 * math.pi * 3 * (i / 120.0) - 2 * math.pi * k / n)
            y = c + wave_ - beat * 44
            pts.append((x, y))
        tr = polyline(size, size, pts, 2)
        paint(f, T["accent"], np.clip(blur(tr, 3) * 1.6, 0, 1) * scrm * 0.6)
        paint(f, mix(T["accent"], (255, 255, 255), 0.35), tr * scrm)
        frames.append(f)
    return frames, [8] * n


def led_frames(T, size=24):
    col = T["ok"] if T["style"] == "round" else T["accent"]
    frames = []
    levels = [1.0, 1.0, 0.75, 0.35, 0.15, 0.35, 0.75]
    c = size / 2.0
    for lv in levels:
        f = solid(size, size, T["badge_fill"])
        sock = disc(size, size, c, c, c - 3)
        paint(f, (0, 0, 0), sock * 0.6)
        lens = disc(size, size, c, c, c - 6)
        paint(f, col, np.clip(blur(lens, 3.0) * 1.4, 0, 1) * lv * 0.8)
        paint(f, mix(mix(col, (0, 0, 0), 0.7), col, lv), lens)
        hl = coverage(size, size, lambda d, s: d.ellipse([8.5 * s, 7.5 * s, 12.5 * s, 10.5 * s],
                                                          fill=255))
        paint(f, (255, 255, 255), hl * (0.25 + 0.6 * lv))
        frames.append(f)
    return frames, [40, 20, 8, 8, 30, 8, 8]


# ==========================================================================
# Console layout. Geometry is written once, in anchors, and turned into skin
# numbers: ("R", n) is n pixels from the right or bottom edge (a negative
# position), ("E", n) a width or height that stops n pixels before that edge
# (a negative or zero size). The screen-width skin for 1280 pixels fixes
# every horizontal number for a 1272-pixel-wide inside (the screen less the
# console's margins) and keeps the vertical ones measured from the bottom,
# because the shell's own bar may take part of the screen's height.

CONSOLE_BUTTONS = [
    # command, label, pictogram, protected, voice phrase
    ("PASSWORD", "Password", "key", True, "change password"),
    ("CHANGECOMMAND", "Command", "terminal", False, "change command"),
    ("CHANGESECURITY", "Protect", "lock", True, "toggle protection"),
    ("CHANGESOUNDCLICK", "Click Sound", "speaker", False, "change click sound"),
    ("CHANGESOUNDOVER", "Over Sound", "pointer", False, "change over sound"),
    ("CHANGEVOICECONTROL", "Voice", "mic", False, "change voice command"),
    ("CHANGEDEFAULT", "Defaults", "reset", True, "restore defaults"),
    ("CHANGETHEME", "Apply Theme", "theme", False, "apply theme"),
    ("QUIT", "Quit", "power", False, "close security"),
]

INFO_ROWS = [  # label name, pictogram
    ("seclb", "shield"), ("secso", "lock"), ("secsc", "terminal"),
    ("secov", "pointer"), ("secck", "speaker"), ("secvc", "mic")]

WIDE_W = 1272  # inside width of the console on a 1280-pixel screen


def R(n):
    return ("R", n)


def E(n):
    return ("E", n)


def console_layout(T, wide):
    """[(name, kind, (x, y, w, h), rest)] in line order; `wide`: the 1280 skin."""
    mono = "DejaVu Sans Mono"
    fs = 10 if wide else 9
    # the two narrow lists keep the small type on every screen
    list_rest = lambda size=fs: (*T["list_bg"], *T["list_fg"], mono, size)
    els = [
        ("backdrop.bmp", "P", (0, 0, "100%", "100%"), ()),
        ("header.bmp", "P", (0, 0, "100%", 72), ()),
        ("footer.bmp", "P", (0, R(30), "100%", 30), ()),
        ("logo.bmp", "P", (16, 8, 460, 56), ()),
        ("badge.bmp", "P", (R(232), 18, 216, 36), ()),
        ("hint.bmp", "P", (16, R(27), 640, 22), ()),
        ("footnote.bmp", "P", (R(296), R(27), 280, 22), ()),
        # the protection panel, stretched both ways from nine slices
        ("pa_tl.bmp", "P", (16, 84, 14, 48), ()),
        ("pa_t.bmp", "P", (30, 84, E(562), 48), ()),
        ("pa_tr.bmp", "P", (R(562), 84, 14, 48), ()),
        ("pa_l.bmp", "P", (16, 132, 14, E(268)), ()),
        ("pa_fill.bmp", "P", (30, 132, E(562), E(268)), ()),
        ("pa_r.bmp", "P", (R(562), 132, 14, E(268)), ()),
        ("pa_bl.bmp", "P", (16, R(268), 14, 12), ()),
        ("pa_b.bmp", "P", (30, R(268), E(562), 12), ()),
        ("pa_br.bmp", "P", (R(562), R(268), 14, 12), ()),
        # the information panel, stretched sideways from three slices
        ("pi_l.bmp", "P", (16, R(246), 14, 206), ()),
        ("pi_m.bmp", "P", (30, R(246), E(562), 206), ()),
        ("pi_r.bmp", "P", (R(562), R(246), 14, 206), ()),
        ("pnl_theme.bmp", "P", (R(536), 84, 324, 206), ()),
        # switch and command panels: fixed width, stretched downwards
        ("ps_t.bmp", "P", (R(536), 302, 324, 52), ()),
        ("ps_m.bmp", "P", (R(536), 354, 324, E(52)), ()),
        ("ps_b.bmp", "P", (R(536), R(52), 324, 12), ()),
        ("pc_t.bmp", "P", (R(200), 84, 184, 40), ()),
        ("pc_m.bmp", "P", (R(200), 124, 184, E(52)), ()),
        ("pc_b.bmp", "P", (R(200), R(52), 184, 12), ()),
        ("hd_protect.bmp", "P", (22, 90, 240, 24), ()),
        ("hd_info.bmp", "P", (22, R(240), 240, 24), ()),
        ("rowicons.bmp", "P", (30, R(200), 20, 152), ()),
        ("secinfo", "L", (28, 130, E(560), E(268)), list_rest()),
        ("secthemes", "L", (R(524), 128, 128, 150), list_rest(9)),
        ("themepic", "P", (R(384), 128, 160, 120), ()),
        ("secturn", "L", (R(524), 348, 300, E(52)), list_rest(9)),
    ]
    for i, (name, _) in enumerate(INFO_ROWS):
        bg = T["panel_stripe"] if i % 2 else T["panel_fill"]
        els.append((name, "T", (58, R(200 - 26 * i), E(560), 22),
                    (*bg, *T["label_fg"], "DejaVu Sans", fs)))
    for i, (cmd, label, glyph, prot, _) in enumerate(CONSOLE_BUTTONS):
        els.append((button_file(cmd), "B", (R(192), 132 + 44 * i, 168, 38),
                    ("tick", "click", "True" if prot else "False", cmd)))
    els.append(("led.gif", "A", (R(224), 24, 24, 24), ()))
    els.append(("radar.gif", "A", (R(183), R(208), 150, 150), ()))
    return els


def button_file(cmd):
    return "btn_%s.bmp" % cmd.lower().replace("change", "")


def skin_number(v, axis, wide, left=None):
    """One geometry field as the skin writes it."""
    if isinstance(v, str):
        return v
    if isinstance(v, int):
        return str(v)
    kind, n = v
    if wide and axis == "x":
        full = WIDE_W - n
        return str(full if kind == "R" else full - left)
    return str(-n)


def console_lines(T, wide):
    out = []
    for name, kind, (x, y, w, h), rest in console_layout(T, wide):
        left = x if isinstance(x, int) else WIDE_W - x[1]
        geo = [skin_number(x, "x", wide), skin_number(y, "y", wide),
               skin_number(w, "x", wide, left), skin_number(h, "y", wide)]
        out.append(",".join([name, kind] + geo + [str(r) for r in rest]))
    return out


# --- the placement rules of the layout engine, for the mock renderings

def lead_number(text):
    m = re.match(r"\s*([+-]?(\d+\.?\d*|\.\d+))", text)
    return float(m.group(1)) if m else 0.0


def place(kind, fields, W, H):
    vals = []
    for i, f in enumerate(fields[:4]):
        size = W if i % 2 == 0 else H
        if kind == "P" and f.endswith("%"):
            vals.append(round(lead_number(f[:-1]) * size / 100.0))
        else:
            vals.append(round(lead_number(f)))
    x, y, w, h = vals
    if x < 0:
        x = round(W + x)
    if y < 0:
        y = round(H + y)
    if (w <= 0) if kind in "LTP" else (w < 0):
        w = round(W + w - x)
    if (h <= 0) if kind in "LTP" else (h < 0):
        h = round(H + h - y)
    return x, y, w, h


# ==========================================================================
# Building one theme

ICONS = ["gear", "terminal", "folder", "globe", "mail", "music", "lock", "power"]


def over_name(name):
    """The hover picture of a button: "a" before the four-character extension."""
    return name[:-4] + "a" + name[-4:]


def console_pictures(T, theme):
    f = {}
    f["backdrop.bmp"] = backdrop_art(T)
    f["header.bmp"] = header_art(T, 8)
    f["footer.bmp"] = footer_art(T, 8)
    f["logo.bmp"] = logo_art(T)
    f["badge.bmp"] = badge_art(T)
    hint = crop(footer_art(T, 640), 0, 3, 640, 22)
    put_text(hint, (0, 15), "Pick a button in the list, then a command on the right. "
             "Protected commands ask for the password.", font("DejaVuSans.ttf", 11), T["text_dim"])
    f["hint.bmp"] = hint
    note = crop(footer_art(T, 280), 0, 3, 280, 22)
    put_text(note, (280, 15), "theme %s  \u00b7  KESTA Terminal" % theme,
             font("DejaVuSans.ttf", 11), mix(T["text_dim"], T["head_bot"], 0.3), anchor="rs")
    f["footnote.bmp"] = note

    # Protection panel: nine slices cut well away from the title, so that
    # the stretched ones repeat plain rows and columns.
    pw, ph = 740, 600
    pa = panel_art(T, pw, ph, "Button protection")
    inset_box(T, pa, 12, 48, pw - 24, ph - 60)
    cx, cy = 400, 300
    for name, (x, y, w, h) in {
            "pa_tl": (0, 0, 14, 48), "pa_t": (cx, 0, 4, 48), "pa_tr": (pw - 14, 0, 14, 48),
            "pa_l": (0, cy, 14, 4), "pa_fill": (cx, cy, 4, 4), "pa_r": (pw - 14, cy, 14, 4),
            "pa_bl": (0, ph - 12, 14, 12), "pa_b": (cx, ph - 12, 4, 12),
            "pa_br": (pw - 14, ph - 12, 14, 12)}.items():
        f[name + ".bmp"] = crop(pa, x, y, w, h)
    f["hd_protect.bmp"] = crop(pa, 6, 6, 240, 24)

    # Information panel: stripes behind the six labels, a pictogram per row.
    pi = panel_art(T, pw, 206, "Selected button")
    stripe_area = shape_mask(T["style"], pw, 206, (2, 2, pw - 2, 204), T["radius"] - 2)
    for i in range(6):
        if i % 2:
            band = np.zeros((206, pw), np.float32)
            band[44 + 26 * i:70 + 26 * i] = 1
            paint(pi, T["panel_stripe"], band * stripe_area)
    for i, (_, glyph) in enumerate(INFO_ROWS):
        paint(pi, T["accent_dim"], glyph_mask(pw, 206, glyph, 16, 49 + 26 * i, 16))
    f["pi_l.bmp"] = crop(pi, 0, 0, 14, 206)
    f["pi_m.bmp"] = crop(pi, cx, 0, 4, 206)
    f["pi_r.bmp"] = crop(pi, pw - 14, 0, 14, 206)
    f["hd_info.bmp"] = crop(pi, 6, 6, 240, 24)
    f["rowicons.bmp"] = crop(pi, 14, 46, 20, 152)

    tp = panel_art(T, 324, 206, "Themes")
    inset_box(T, tp, 12, 44, 128, 150)
    inset_box(T, tp, 152, 44, 160, 120)
    put_text(tp, (232, 186), "click a theme to preview it", font("DejaVuSans.ttf", 9),
             T["text_dim"], anchor="ms")
    f["pnl_theme.bmp"] = tp

    sp = panel_art(T, 324, 500, "Shell switches")
    inset_box(T, sp, 12, 46, 300, 500 - 58)
    f["ps_t.bmp"] = crop(sp, 0, 0, 324, 52)
    f["ps_m.bmp"] = crop(sp, 0, 250, 324, 4)
    f["ps_b.bmp"] = crop(sp, 0, 488, 324, 12)

    cp = panel_art(T, 184, 600, "Commands")
    f["pc_t.bmp"] = crop(cp, 0, 0, 184, 40)
    f["pc_m.bmp"] = crop(cp, 0, 300, 184, 4)
    f["pc_b.bmp"] = crop(cp, 0, 588, 184, 12)

    for cmd, label, glyph, _, _ in CONSOLE_BUTTONS:
        name = button_file(cmd)
        for over in (False, True):
            f[over_name(name) if over else name] = button_art(
                T, 168, 38, label, glyph, over, T["panel_fill"], danger=cmd == "QUIT")
    for glyph in ICONS:
        name = "ico_%s.bmp" % glyph
        for over in (False, True):
            f[over_name(name) if over else name] = icon_tile_art(T, 56, glyph, over, T["bg"])
    return f


# --------------------------------------------------------------------------
# Sounds: short, soft, made from a few decaying partials.

RATE = 22050


def voice(freq, dur, partials, decay, attack=0.004, amp=1.0):
    t = np.arange(int(dur * RATE)) / RATE
    env = np.minimum(1.0, t / attack) * np.exp(-t / decay)
    out = np.zeros_like(t)
    for mult, a, dmul in partials:
        out += a * np.sin(2 * np.pi * freq * mult * t) * np.exp(-t / (decay * dmul))
    return out * env * amp


def render(parts, dur, peak):
    out = np.zeros(int(dur * RATE))
    for start, sig in parts:
        i = int(start * RATE)
        n = min(len(sig), len(out) - i)
        out[i:i + n] += sig[:n]
    # soft edges: no sound may start or stop with a jump, which clicks
    fade = min(len(out), int(0.012 * RATE))
    out[-fade:] *= np.linspace(1, 0, fade)
    rise = int(0.0015 * RATE)
    out[:rise] *= np.linspace(0, 1, rise)
    return out / np.max(np.abs(out)) * peak


def note(name):
    names = {"C": -9, "C#": -8, "D": -7, "D#": -6, "E": -5, "F": -4, "F#": -3, "G": -2,
             "G#": -1, "A": 0, "A#": 1, "B": 2}
    return 440.0 * 2 ** ((names[name[:-1]] + 12 * (int(name[-1]) - 4)) / 12.0)


def theme_sounds(T):
    if T["style"] == "round":
        # glassy bells
        timbre = [(1, 1.0, 1.0), (2.76, 0.32, 0.45), (5.4, 0.1, 0.25), (2.0, 0.18, 0.7)]
        start = ["C5", "E5", "G5", "C6"]
        ok = ["C6", "E6", "G6"]
        ask = ["G5", "D6"]
        fail = ["A3", "F3"]
        ping, tick = 2300.0, 4200.0
    else:
        # warm, wooden
        timbre = [(1, 1.0, 1.0), (3.0, 0.28, 0.35), (4.0, 0.12, 0.25), (0.5, 0.25, 0.9)]
        start = ["A4", "C#5", "E5", "A5"]
        ok = ["A5", "C#6", "E6"]
        ask = ["E5", "B5"]
        fail = ["G3", "D#3"]
        ping, tick = 1250.0, 2600.0
    s = {}
    parts = [(0.13 * i, voice(note(n), 1.3, timbre, 0.45, amp=0.8)) for i, n in enumerate(start)]
    bass = voice(note(start[0]) / 2, 0.9, [(1, 1, 1), (2, 0.4, 0.6)], 0.35, 0.05, 0.5)
    parts.append((0.52, bass))
    s["startup.wav"] = render(parts, 1.25, 0.7)
    rng = np.random.RandomState(7)
    noise = rng.uniform(-1, 1, int(0.006 * RATE)) * np.linspace(1, 0, int(0.006 * RATE))
    s["click.wav"] = render([(0, voice(ping, 0.05, [(1, 1, 1), (1.5, 0.3, 0.5)], 0.012, 0.0008)),
                             (0, noise * 0.35)], 0.05, 0.55)
    s["tick.wav"] = render([(0, voice(tick, 0.03, [(1, 1, 1)], 0.006, 0.0005))], 0.03, 0.3)
    s["passstart.wav"] = render([(0, voice(note(ask[0]), 0.4, timbre, 0.12)),
                                 (0.11, voice(note(ask[1]), 0.35, timbre, 0.14))], 0.42, 0.6)
    s["passok.wav"] = render([(0.09 * i, voice(note(n), 0.5, timbre, 0.18))
                              for i, n in enumerate(ok)], 0.7, 0.65)
    buzz = [(1, 1.0, 1.0), (3, 0.33, 0.8), (5, 0.2, 0.6), (1.006, 0.6, 1.0)]
    s["passfail.wav"] = render([(0, voice(note(fail[0]), 0.22, buzz, 0.12, 0.006)),
                                (0.2, voice(note(fail[1]), 0.3, buzz, 0.12, 0.006))], 0.5, 0.6)
    return s


# --------------------------------------------------------------------------
# Skin files

SWITCHES = [  # key in [DEFAULT] of terminal.skn, value, what the switch list says
    ("Sound", "True", "theme sounds"),
    ("Multiple", "False", "overlapping sounds"),
    ("Animated", "False", "animated windows"),
    ("Clock", "True", "clock on the bar"),
    ("AutoLock", "False", "lock when idle"),
    ("VoiceControl", "True", "voice commands"),
    ("Tooltips", "True", "button hints"),
    ("ScreenSaver", "False", "screen saver"),
]

SHELL_BAR = [  # picture, command, protected, entry, voice
    ("ico_gear.bmp", "MENU", False, "Menu button on the shell bar", "open menu"),
    ("ico_terminal.bmp", "/usr/bin/x-terminal-emulator", False,
     "Terminal button on the shell bar", "open terminal"),
    ("ico_folder.bmp", "xdg-open .", False, "Files button on the shell bar", "open files"),
    ("ico_lock.bmp", "LOCKSCREEN", False, "Lock button on the shell bar", "lock screen"),
    ("ico_power.bmp", "SHUTDOWN", True, "Shut-down button on the shell bar", "shut down"),
]

DESKTOP = [
    ("ico_terminal.bmp", "/usr/bin/x-terminal-emulator", False, "Terminal launcher",
     "terminal please"),
    ("ico_folder.bmp", "xdg-open .", False, "Files launcher", "show my files"),
    ("ico_globe.bmp", "x-www-browser", False, "Web browser launcher", "open the web"),
    ("ico_mail.bmp", "xdg-email", False, "Mail launcher", "read mail"),
    ("ico_music.bmp", "xdg-open Music", False, "Music launcher", "play music"),
    ("ico_gear.bmp", "kesta-security", True, "Security console launcher", "security settings"),
]

HEADER_COMMENT = ("KESTA Terminal theme \"%s\": %s\n"
                  "Made by demo/generator/make_demo.py; edit that script, not this file.")


def security_entries(console_keys):
    return [("%02d" % (i + 1), "%02d DEFAULT - %s button" % (k, CONSOLE_BUTTONS[i][1]))
            for i, k in enumerate(console_keys)]


def write_skins(T, theme, d, inp, sel):
    sizes = {}
    colour = "%d,%d,%d" % T["bg"]
    captions = [
        ("changepassword", "Password protection:"),
        ("changecommand", "Command:"),
        ("changesoundover", "Over sound:"),
        ("changesoundclick", "Click sound:"),
        ("msgboxsoundclick", "Type a sound of the theme (name without .wav) or a full path:"),
        ("msgboxvoicecontrol", "Type the phrase that runs this button:"),
    ]
    keys = {}
    for wide, fname in ((False, "Security.skn"), (True, "Security1280.skn")):
        lines = console_lines(T, wide)
        keys[fname] = [i + 1 for i, l in enumerate(lines) if ",B," in l]
        default = [("BackGround", colour), ("StartupSound", "startup")] + captions
        default += [("%02d" % (i + 1), l) for i, l in enumerate(lines)]
        sections = [("DEFAULT", default), ("SECURITY", security_entries(keys[fname]))]
        if not wide:
            sections.append(("SELECT", sel["keys"]))
            what = "the security console, laid out for any screen from 1024 x 768 up"
        else:
            what = "the security console on a screen 1280 pixels wide"
        sizes[fname] = write_ini(os.path.join(d, fname), sections, HEADER_COMMENT % (theme, what))

    bar = [("01", "footer.bmp,P,0,-64,100%,64")]
    for i, (pic, cmd, prot, _, _) in enumerate(SHELL_BAR):
        x = 8 + 64 * i if i < 3 else -64 * (len(SHELL_BAR) - i)
        bar.append(("%02d" % (i + 2), "%s,B,%d,-60,56,56,tick,click,%s,%s" % (pic, x, prot, cmd)))
    default = [("Sound", "True"), ("Multiple", "False"), ("Animated", "False"),
               ("AnimDelay", "15"), ("PassStartSound", "passstart"), ("PassOkSound", "passok"),
               ("PassFailSound", "passfail"),
               ("Text-Pass1", "Type the new terminal password:"),
               ("Text-Pass2", "Type the new password once more:")]
    default += [(k, v) for k, v, _ in SWITCHES if k not in ("Sound", "Multiple", "Animated")]
    default += bar
    glob = [("%02d" % (i + 1), "%s: %s" % (k, text)) for i, (k, _, text) in enumerate(SWITCHES)]
    sec = [("%02d" % (i + 1), "%02d DEFAULT - %s" % (i + 2, e[3])) for i, e in enumerate(SHELL_BAR)]
    sizes["terminal.skn"] = write_ini(os.path.join(d, "terminal.skn"), [
        ("DEFAULT", default), ("GLOBAL", glob), ("INPUT", inp["keys"]),
        ("STARTUP", [("Animated", "False"), ("AnimDelay", "30")]), ("SECURITY", sec)],
        HEADER_COMMENT % (theme, "the shell's own skin, its switches and the password dialog"))

    desk = [("%02d" % (i + 1), "%s,B,24,%d,56,56,tick,click,%s,%s" % (pic, 24 + 72 * i, prot, cmd))
            for i, (pic, cmd, prot, _, _) in enumerate(DESKTOP)]
    dsec = [("%02d" % (i + 1), "%02d DESKTOP - %s" % (i + 1, e[3])) for i, e in enumerate(DESKTOP)]
    sizes["Desktop.skn"] = write_ini(os.path.join(d, "Desktop.skn"), [
        ("DESKTOP", desk), ("SECURITY", dsec)],
        HEADER_COMMENT % (theme, "the launchers on the shell's desktop"))

    voice = [
        ("DESKTOP", [("%02d" % (i + 1), e[4]) for i, e in enumerate(DESKTOP)]),
        ("SECURITY", [("%02d" % k, CONSOLE_BUTTONS[i][4])
                      for i, k in enumerate(keys["Security.skn"])]),
        ("SECURITY1280", [("%02d" % k, CONSOLE_BUTTONS[i][4])
                          for i, k in enumerate(keys["Security1280.skn"])]),
        ("TERMINAL", [("%02d" % (i + 2), e[4]) for i, e in enumerate(SHELL_BAR)]),
    ]
    sizes["voicecontrol.master"] = write_ini(os.path.join(d, "voicecontrol.master"), voice,
                                             "The theme's spoken commands, by skin and button.")
    return sizes


def build_theme(theme, themes_dir):
    T = THEMES[theme]
    d = os.path.join(themes_dir, theme)
    os.makedirs(d, exist_ok=True)
    for name in os.listdir(d):
        if name.lower().endswith((".bmp", ".gif", ".wav", ".skn", ".master")):
            os.remove(os.path.join(d, name))
    sizes = {}
    inp, sel = input_dialog(T), select_dialog(T)
    pictures = console_pictures(T, theme)
    pictures.update(inp["files"])
    pictures.update(sel["files"])
    for name, img in pictures.items():
        sizes[name] = write_bmp(os.path.join(d, name), img)
    check_overlays("input", inp["mask"], inp["keys"])
    check_overlays("select", sel["mask"], sel["keys"])
    sizes["input.bmp"] = write_bmp(os.path.join(d, "input.bmp"), inp["bg"], inp["mask"])
    sizes["select.bmp"] = write_bmp(os.path.join(d, "select.bmp"), sel["bg"], sel["mask"])
    gifs = dict(inp["gifs"])
    gifs.update(sel["gifs"])
    gifs["radar.gif"] = radar_frames(T)
    gifs["led.gif"] = led_frames(T)
    for name, (frames, delays) in gifs.items():
        sizes[name] = write_gif(os.path.join(d, name), frames, delays, colors=64)
    for name, samples in theme_sounds(T).items():
        sizes[name] = write_wav(os.path.join(d, name), samples, RATE)
    sizes.update(write_skins(T, theme, d, inp, sel))
    return sizes


# ==========================================================================
# Mock renderings: the console and the dialogs as the skins place them.
# They give the theme previews and let a layout be checked by eye; they
# follow the layout rules, not the console's widgets, so lists and labels
# are only approximated.

def read_skin(path):
    sections, cur = {}, None
    with open(path, encoding="utf-8") as f:
        for line in f.read().splitlines():
            line = line.strip()
            if not line or line.startswith(";"):
                continue
            if line.startswith("["):
                cur = sections.setdefault(line[1:-1].upper(), {})
            elif cur is not None and "=" in line:
                k, v = line.split("=", 1)
                cur.setdefault(k.strip().lower(), v.strip())
    return sections


def layout_keys(section):
    n = 1
    while "%02d" % n in section:
        yield section["%02d" % n]
        n += 1


def load_picture(path, frame=0):
    if not os.path.exists(path):
        return None
    im = Image.open(path)
    if frame:
        im.seek(frame)
    return np.asarray(im.convert("RGB"), dtype=np.float32)


def fit(pic, w, h):
    if pic.shape[1] == w and pic.shape[0] == h:
        return pic
    im = Image.fromarray(np.clip(pic, 0, 255).astype(np.uint8))
    return np.asarray(im.resize((max(1, w), max(1, h)), Image.BILINEAR), dtype=np.float32)


def blit(dst, pic, x, y):
    h, w, _ = pic.shape
    H, W, _ = dst.shape
    x0, y0, x1, y1 = max(0, x), max(0, y), min(W, x + w), min(H, y + h)
    if x1 > x0 and y1 > y0:
        dst[y0:y1, x0:x1] = pic[y0 - y:y1 - y, x0 - x:x1 - x]


def mock_content(themes_dir, theme):
    """What the three lists and six labels hold after a click on one line."""
    d = os.path.join(themes_dir, theme)
    skins = sorted((n for n in os.listdir(d) if n.lower().endswith(".skn")), key=str.lower)
    prot, picked = [], None
    for name in skins:
        ini = read_skin(os.path.join(d, name))
        entries = list(layout_keys(ini.get("SECURITY", {})))
        if entries:
            prot.append(name[:-4].upper())
        for e in entries:
            nn, text = e[:2], e[3:]
            line = ini.get(text.split(" ")[0].upper(), {}).get(nn, "")
            fields = line.split(",")
            flag = fields[8] if len(fields) > 8 else ""
            prot.append(("  False : " if flag.upper() == "FALSE" else "  True  : ") + text)
            if picked is None and name.lower() == "security.skn":
                picked = (name, nn, text, flag, fields)
    term = read_skin(os.path.join(d, "terminal.skn"))
    switches = []
    for e in layout_keys(term["GLOBAL"]):
        key = e.split(" ")[0].rstrip(":")
        on = term["DEFAULT"].get(key.lower(), "").upper() != "FALSE"
        switches.append(("  ON    : " if on else "  OFF   : ") + e)
    themes = sorted((n[:-4] for n in os.listdir(themes_dir) if n.lower().endswith(".bmp")),
                    key=str.lower)
    sec = read_skin(os.path.join(d, "Security.skn"))["DEFAULT"]
    name, nn, text, flag, fields = picked
    voice = read_skin(os.path.join(d, "voicecontrol.master"))["SECURITY"].get(nn, "")
    labels = {
        "seclb": "SECURITY - " + text,
        "secso": sec["changepassword"] + " " + ("False" if flag.upper() == "FALSE" else "True"),
        "secsc": sec["changecommand"] + " " + ",".join(fields[9:]),
        "secov": sec["changesoundover"] + " " + fields[6],
        "secck": sec["changesoundclick"] + " " + fields[7],
        "secvc": voice,
    }
    return dict(secinfo=prot, secturn=switches, themes=themes, labels=labels)


def mock_console(themes_dir, theme, skin, W, H, hover=None):
    d = os.path.join(themes_dir, theme)
    sec = read_skin(os.path.join(d, skin))["DEFAULT"]
    img = solid(W, H, [int(v) for v in sec["background"].split(",")])
    content = mock_content(themes_dir, theme)
    button = 0
    for line in layout_keys(sec):
        f = line.split(",")
        name, kind = f[0], f[1]
        x, y, w, h = place(kind, f[2:6], W, H)
        if kind == "P":
            path = (os.path.join(themes_dir, theme + ".bmp") if name.lower() == "themepic"
                    else os.path.join(d, name))
            pic = load_picture(path)
            if pic is None:
                pic = solid(4, 4, THEMES[theme]["list_bg"])
            blit(img, fit(pic, w, h), x, y)
        elif kind in "LT":
            bg = [int(v) for v in f[6:9]]
            fg = [int(v) for v in f[9:12]]
            size = round(float(f[13]) * 96 / 72)
            mono = "Mono" in f[12]
            fnt = font("DejaVuSansMono.ttf" if mono else "DejaVuSans.ttf", size)
            box = solid(w, h, bg)
            if kind == "L":
                rows = content["themes"] if name not in ("secinfo", "secturn") else content[name]
                for i, row in enumerate(rows):
                    put_text(box, (3, 3 + i * (size + 4)), row, fnt, fg, anchor="lt")
            else:
                put_text(box, (2, h / 2.0), content["labels"].get(name, ""), fnt, fg, anchor="lm")
            blit(img, box, x, y)
        elif kind == "B":
            button += 1
            pic = load_picture(os.path.join(d, over_name(name) if button == hover else name))
            blit(img, pic, x, y)
        elif kind == "A":
            blit(img, fit(load_picture(os.path.join(d, name), 2), w, h), x, y)
    return img


def mock_dialog(themes_dir, theme, skin, section, sample):
    d = os.path.join(themes_dir, theme)
    sec = read_skin(os.path.join(d, skin))[section]
    bg = load_picture(os.path.join(d, sec["background"]))
    H, W, _ = bg.shape
    desk = vgrad(W + 40, H + 40, [(0, (88, 96, 104)), (1, (60, 66, 74))])
    key = np.all(bg == np.array([255, 0, 255], np.float32), axis=2)
    paint(desk[20:20 + H, 20:20 + W], bg, ~key)
    img = desk[20:20 + H, 20:20 + W]
    for k, text in sample.items():
        f = sec[k.lower()].split(",")
        x, y, w, h = (int(v) for v in f[:4])
        box = solid(w, h, [int(v) for v in f[4:7]])
        fnt = font("DejaVuSansMono.ttf" if "Mono" in f[10] else "DejaVuSans.ttf",
                   round(float(f[11]) * 96 / 72))
        for i, row in enumerate(text.split("\n")):
            put_text(box, (4, 4 + i * 17), row, fnt, [int(v) for v in f[7:10]], anchor="lt")
        blit(img, box, x, y)
    for line in layout_keys(sec):
        f = line.split(",")
        x, y, w, h = place(f[1], f[2:6], W, H)
        pic = load_picture(os.path.join(d, f[0]), 3 if f[1] == "A" else 0)
        blit(img, fit(pic, w, h), x, y)
    return desk


def check_theme(d):
    """Every file that a skin of the theme names must be in the theme folder."""
    have = {n.lower() for n in os.listdir(d)}
    missing = []

    def need(name, why):
        if name and name.lower() not in have:
            missing.append("%s (%s)" % (name, why))

    for skin in (n for n in os.listdir(d) if n.lower().endswith(".skn")):
        for sname, sec in read_skin(os.path.join(d, skin)).items():
            where = "%s [%s]" % (skin, sname)
            for key in ("background",):
                if key in sec and not sec[key][0].isdigit():
                    need(sec[key], where)
            for key in ("startupsound", "passstartsound", "passoksound", "passfailsound"):
                if key in sec:
                    need(sec[key] + ".wav", where)
            for line in layout_keys(sec):
                f = line.split(",")
                if len(f) < 6 or f[1] not in ("P", "B", "A"):
                    continue
                if f[0].lower() != "themepic":
                    need(f[0], where)
                if f[1] == "B":
                    need(over_name(f[0]), where)
                    need(f[6] + ".wav", where)
                    need(f[7] + ".wav", where)
    if missing:
        raise ValueError("missing in %s: %s" % (d, ", ".join(missing)))


def save_png(img, path):
    Image.fromarray(np.clip(img, 0, 255).astype(np.uint8)).save(path)


# ==========================================================================

def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    themes_dir = os.path.join(os.path.dirname(here), "Themes")
    mock_dir = argv[argv.index("--mock") + 1] if "--mock" in argv else None
    sizes = {}
    for theme in THEMES:
        for name, n in build_theme(theme, themes_dir).items():
            sizes[theme + "/" + name] = n
    for theme in THEMES:
        check_theme(os.path.join(themes_dir, theme))
    # The preview is a small rendering of the console; drawn twice, from no
    # preview at all, so that the preview inside it is the finished one and
    # the result does not depend on an earlier run.
    for theme in THEMES:
        path = os.path.join(themes_dir, theme + ".bmp")
        if os.path.exists(path):
            os.remove(path)
    for _ in range(2):
        for theme in THEMES:
            img = fit(mock_console(themes_dir, theme, "Security.skn", 1016, 760), 640, 480)
            small = Image.fromarray(img.astype(np.uint8)).resize((160, 120), Image.LANCZOS)
            img = np.asarray(small, dtype=np.float32)
            sizes[theme + ".bmp"] = write_bmp(os.path.join(themes_dir, theme + ".bmp"), img)
    if mock_dir:
        os.makedirs(mock_dir, exist_ok=True)
        for theme in THEMES:
            save_png(mock_console(themes_dir, theme, "Security.skn", 1016, 760, hover=4),
                     os.path.join(mock_dir, "%s-console-1024.png" % theme))
            save_png(mock_console(themes_dir, theme, "Security1280.skn", 1272, 1016, hover=9),
                     os.path.join(mock_dir, "%s-console-1280.png" % theme))
            save_png(mock_console(themes_dir, theme, "Security.skn", 1592, 1192),
                     os.path.join(mock_dir, "%s-console-1600.png" % theme))
            save_png(mock_dialog(themes_dir, theme, "terminal.skn", "INPUT",
                                 {"InputBox": "\u2022" * 7}),
                     os.path.join(mock_dir, "%s-input.png" % theme))
            save_png(mock_dialog(themes_dir, theme, "Security.skn", "SELECT", {
                "Drivelist": "/", "Dirlist": "/\nusr\nbin",
                "Filelist": "bash\ncat\nx-terminal-emulator\nxdg-open",
                "InputBox": "/usr/bin/x-terminal-emulator", "ArgBox": "-e top"}),
                os.path.join(mock_dir, "%s-select.png" % theme))
    total = sum(sizes.values())
    for theme in THEMES:
        part = sum(v for k, v in sizes.items() if k.startswith(theme))
        count = sum(1 for k in sizes if k.startswith(theme))
        print("%-8s %4d files %8d bytes" % (theme, count, part))
    largest = sorted(sizes.items(), key=lambda kv: -kv[1])[:6]
    print("largest:", ", ".join("%s %d" % kv for kv in largest))
    print("total    %8d bytes" % total)


if __name__ == "__main__":
    main(sys.argv[1:])
