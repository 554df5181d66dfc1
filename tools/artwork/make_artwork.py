#!/usr/bin/python3
"""Draws the artwork of TavlinSkelda.

Writes every PNG skin image, the scroll-bar bitmap and the program icon into
resources/images/, and a contact sheet of all of them into docs/artwork-sheet.png.
Run it with Debian's Python and Pillow (package python3-pil):

    /usr/bin/python3 tools/artwork/make_artwork.py

The look is set in the block right below: colours, font, corner radii.  Everything else
is layout that follows the positions the dialogs give their controls.
"""

import functools
import os
import struct
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

# ---------------------------------------------------------------------------------------
# The look
# ---------------------------------------------------------------------------------------
FONT_FILE = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
FONT_INDEX = 0                      # 0: WenQuanYi Micro Hei, 1: its monospaced cut

ACCENT = (37, 99, 235)              # the one accent colour: bands, primary buttons, ticks
ACCENT_HOVER = (59, 130, 246)
ACCENT_PRESSED = (29, 78, 216)
ACCENT_TINT = (239, 246, 255)       # light accent wash for hovered secondary buttons
ACCENT_TINT_PRESSED = (219, 234, 254)

WHITE = (255, 255, 255)
PAGE = (241, 242, 246)              # light page colour (also the usage dialog's footer)
TEXT = (31, 41, 55)
TEXT_MUTED = (107, 114, 128)
DIVIDER = (229, 231, 235)
BORDER = (209, 213, 219)
DISABLED_FILL = (229, 231, 235)
DISABLED_TEXT = (156, 163, 175)
CLOSE_HOVER = (232, 17, 35)         # window close button under the cursor
CLOSE_PRESSED = (190, 18, 32)
SHADOW = (15, 23, 42)               # colour of every drop shadow
FRAME_EDGE = (15, 23, 42, 46)       # hairline around every window body
FRAME_SHADOW = (2.5, 2, 0.36)       # window shadow: blur radius, downward offset, opacity
WIDE_FRAME_SHADOW = (5, 3, 0.42)    # the progress prompt, whose frame leaves 12 to 16 px
SHADOW_FLOOR = 6                    # shadow alpha below this is cut to 0

SCROLL_TRACK = (246, 247, 249)
SCROLL_ARROW = ((148, 156, 170), (75, 85, 99), (31, 41, 55))      # normal, hover, pressed
SCROLL_ARROW_BG = (SCROLL_TRACK, (232, 234, 238), (214, 218, 224))
SCROLL_THUMB = ((196, 201, 210), (156, 163, 175), ACCENT)

RADIUS_BUTTON = 6                   # large buttons
RADIUS_SMALL = 4                    # prompt buttons, check boxes, cards inside bands
RADIUS_CARD = 10

SS = 4                              # shapes are drawn at this multiple and reduced

HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.normpath(os.path.join(HERE, "..", ".."))
OUT_DIR = os.path.join(TOP, "resources", "images")
SHEET = os.path.join(TOP, "docs", "artwork-sheet.png")


# ---------------------------------------------------------------------------------------
# Drawing primitives (coordinates are edges: pixel i spans [i, i + 1))
# ---------------------------------------------------------------------------------------
@functools.lru_cache(maxsize=None)
def font(size):
    return ImageFont.truetype(FONT_FILE, size, index=FONT_INDEX)


def _mask(size, draw):
    """Anti-aliased coverage mask: `draw(ImageDraw, k)` paints at k times the size."""
    w, h = size
    big = Image.new("L", (w * SS, h * SS), 0)
    draw(ImageDraw.Draw(big), SS)
    return big.resize(size, Image.Resampling.BOX)


def paint(img, mask, colour, opacity=1.0):
    """Composites `colour` (RGB or RGBA) through `mask` onto the RGBA image."""
    alpha = opacity * (colour[3] / 255.0 if len(colour) == 4 else 1.0)
    if alpha < 1.0:
        mask = mask.point(lambda v: int(v * alpha + 0.5))
    layer = Image.new("RGBA", img.size, tuple(colour[:3]) + (0,))
    layer.putalpha(mask)
    img.alpha_composite(layer)


def rrect_mask(size, box, radius):
    x0, y0, x1, y1 = box
    return _mask(size, lambda d, k: d.rounded_rectangle(
        (x0 * k, y0 * k, x1 * k - 1, y1 * k - 1), radius=max(0, radius * k), fill=255))


def ellipse_mask(size, box):
    x0, y0, x1, y1 = box
    return _mask(size, lambda d, k: d.ellipse((x0 * k, y0 * k, x1 * k - 1, y1 * k - 1), fill=255))


def polyline_mask(size, points, width):
    """A stroke through `points` with round joins and caps."""
    def draw(d, k):
        pts = [(x * k, y * k) for x, y in points]
        r = width * k / 2.0
        d.line(pts, fill=255, width=max(1, round(width * k)), joint="curve")
        for x, y in (pts[0], pts[-1]):
            d.ellipse((x - r, y - r, x + r, y + r), fill=255)
    return _mask(size, draw)


def fill_rrect(img, box, radius, colour, opacity=1.0):
    paint(img, rrect_mask(img.size, box, radius), colour, opacity)


def ring_rrect(img, box, radius, width, colour, opacity=1.0):
    """Outline of width `width` just inside `box`."""
    x0, y0, x1, y1 = box
    outer = rrect_mask(img.size, box, radius)
    inner = rrect_mask(img.size, (x0 + width, y0 + width, x1 - width, y1 - width), radius - width)
    paint(img, ImageChops.subtract(outer, inner), colour, opacity)


def fill_ellipse(img, box, colour, opacity=1.0):
    paint(img, ellipse_mask(img.size, box), colour, opacity)


def stroke(img, points, width, colour, opacity=1.0):
    paint(img, polyline_mask(img.size, points, width), colour, opacity)


def text(img, xy, s, size, colour, anchor="mm", opacity=1.0):
    """Draws `s` at `xy` (Pillow anchor, default: centred on the point)."""
    m = Image.new("L", img.size, 0)
    ImageDraw.Draw(m).text(xy, s, font=font(size), fill=255, anchor=anchor)
    paint(img, m, colour, opacity)


def text_width(s, size):
    return font(size).getlength(s)


def canvas(size, colour=(0, 0, 0, 0)):
    return Image.new("RGBA", size, colour if len(colour) == 4 else tuple(colour) + (255,))


def drop_shadow(size, box, radius, blur, offset, opacity):
    """A blurred shadow of `box`. The faint outer fringe is cut off: it is invisible when
    blended, and an X server without a compositing manager would show it as a dark rim."""
    x0, y0, x1, y1 = box
    m = rrect_mask(size, (x0, y0 + offset, x1, y1 + offset), radius)
    m = m.filter(ImageFilter.GaussianBlur(blur)).point(lambda v: int(v * opacity + 0.5))
    m = m.point(lambda v: v if v >= SHADOW_FLOOR else 0)
    img = canvas(size)
    paint(img, m, SHADOW)
    return img


# ---------------------------------------------------------------------------------------
# Glyphs
# ---------------------------------------------------------------------------------------
def glyph_close(img, cx, cy, half, width, colour, opacity=1.0):
    paint(img, ImageChops.lighter(
        polyline_mask(img.size, [(cx - half, cy - half), (cx + half, cy + half)], width),
        polyline_mask(img.size, [(cx - half, cy + half), (cx + half, cy - half)], width)),
        colour, opacity)


def glyph_minimise(img, cx, cy, half, width, colour, opacity=1.0):
    stroke(img, [(cx - half, cy), (cx + half, cy)], width, colour, opacity)


def glyph_tick(img, box, width, colour):
    """A check mark inside `box`."""
    x0, y0, x1, y1 = box
    w, h = x1 - x0, y1 - y0
    stroke(img, [(x0 + 0.18 * w, y0 + 0.52 * h), (x0 + 0.42 * w, y0 + 0.74 * h),
                 (x0 + 0.82 * w, y0 + 0.30 * h)], width, colour)


def glyph_collect(img, box, colour):
    """The program's sign: an arrow dropping into a tray."""
    x0, y0, x1, y1 = box
    s = x1 - x0
    w = max(1.4, 0.085 * s)
    px = lambda u, v: (x0 + u * s, y0 + v * s)
    stroke(img, [px(0.5, 0.20), px(0.5, 0.58)], w, colour)
    stroke(img, [px(0.33, 0.43), px(0.5, 0.60), px(0.67, 0.43)], w, colour)
    stroke(img, [px(0.22, 0.56), px(0.22, 0.78), px(0.78, 0.78), px(0.78, 0.56)], w, colour)


def logo(size, back, fore):
    """Rounded square with the program's sign; `size` pixels square."""
    img = canvas((size, size))
    fill_rrect(img, (0, 0, size, size), size * 0.24, back)
    glyph_collect(img, (0, 0, size, size), fore)
    return img


def glyph_bubble(img, cx, cy, colour, dots):
    """Speech bubble with three dots, for the feedback question."""
    fill_rrect(img, (cx - 30, cy - 22, cx + 30, cy + 18), 12, colour)
    paint(img, _mask(img.size, lambda d, k: d.polygon(
        [((cx - 14) * k, (cy + 16) * k), ((cx - 2) * k, (cy + 16) * k), ((cx - 16) * k, (cy + 28) * k)],
        fill=255)), colour)
    for dx in (-14, 0, 14):
        fill_ellipse(img, (cx + dx - 4, cy - 6, cx + dx + 4, cy + 2), dots)


def glyph_info(img, cx, cy, r, colour):
    ring_rrect(img, (cx - r, cy - r, cx + r, cy + r), r, 1.3, colour)
    stroke(img, [(cx, cy - 0.5), (cx, cy + r * 0.45)], 1.4, colour)
    fill_ellipse(img, (cx - 0.9, cy - r * 0.55 - 0.9, cx + 0.9, cy - r * 0.55 + 0.9), colour)


# ---------------------------------------------------------------------------------------
# Window faces: the opaque backgrounds of the child dialogs
# ---------------------------------------------------------------------------------------
def band(img, height):
    """The accent band across the top of a window; tall bands get two faint circles for depth."""
    w = img.size[0]
    fill_rrect(img, (0, 0, w, height), 0, ACCENT)
    if height < 100:
        return
    circles = canvas(img.size)
    fill_ellipse(circles, (w - 0.42 * height * 2.2, -0.9 * height, w + 0.9 * height, 0.75 * height), WHITE, 0.06)
    fill_ellipse(circles, (w - 0.55 * height * 2.0, 0.35 * height, w - 0.05 * height, 1.6 * height), WHITE, 0.05)
    mask = rrect_mask(img.size, (0, 0, w, height), 0)
    circles.putalpha(ImageChops.multiply(circles.getchannel("A"), mask))
    img.alpha_composite(circles)


def window_title(img, title, y=17, x=14):
    """Small logo and the window title, white on the band."""
    img.alpha_composite(logo(18, WHITE, ACCENT), (x, y - 9))
    text(img, (x + 26, y), title, 13, WHITE, anchor="lm")


def main_face():
    """Main collection window, 800 x 600: categories left, save location right, start below."""
    img = canvas((800, 600), WHITE)
    band(img, 296)
    window_title(img, "Skelda 系统信息收集工具")
    headline = "一键收集系统信息"
    text(img, (40, 64), headline, 24, WHITE, anchor="lm")
    text(img, (40 + text_width(headline, 24) + 16, 67), "勾选需要的内容，选择保存位置后开始收集",
         13, WHITE, anchor="lm", opacity=0.8)
    for box in ((40, 102, 392, 284), (424, 102, 790, 284)):
        fill_rrect(img, box, RADIUS_CARD, WHITE, 0.10)
    text(img, (76, 120), "收集内容", 13, WHITE, anchor="lm")
    text(img, (449, 120), "保存位置", 13, WHITE, anchor="lm")
    text(img, (449, 158), "收集结果打包为一个压缩文件，请选择存放的文件夹", 12, WHITE, anchor="lm", opacity=0.75)
    text(img, (449, 252), "文件名：信息收集.7z", 12, WHITE, anchor="lm", opacity=0.75)

    steps = ("勾选收集内容", "选择保存位置", "开始收集，等待完成")
    xs = (220, 400, 580)
    stroke(img, [(xs[0] + 22, 438), (xs[-1] - 22, 438)], 2, DIVIDER)
    for n, (x, label) in enumerate(zip(xs, steps), 1):
        fill_ellipse(img, (x - 15, 423, x + 15, 453), WHITE)
        ring_rrect(img, (x - 15, 423, x + 15, 453), 15, 2, ACCENT)
        text(img, (x, 438), str(n), 14, ACCENT)
        text(img, (x, 472), label, 12, TEXT_MUTED)
    glyph_info(img, 266, 522, 6.5, TEXT_MUTED)
    text(img, (280, 522), "收集可能需要几分钟，完成前请勿关闭本工具", 12, TEXT_MUTED, anchor="lm")
    fill_rrect(img, (0, 565, 800, 566), 0, DIVIDER)
    return img


def usage_face():
    """Usage-terms window, 600 x 450: welcome band, start button, consent line at the foot."""
    img = canvas((600, 450), WHITE)
    band(img, 236)
    window_title(img, "Skelda 系统信息收集工具")
    img.alpha_composite(logo(60, WHITE, ACCENT), (270, 68))
    text(img, (300, 160), "欢迎使用 Skelda 信息收集工具", 22, WHITE)
    text(img, (300, 194), "收集本机的硬件、系统与日志信息，打包交给技术支持工程师分析", 13, WHITE, opacity=0.8)
    text(img, (300, 362), "点击“开始运行”即表示您已阅读并同意下方的使用许可协议", 12, TEXT_MUTED)
    fill_rrect(img, (0, 414, 600, 450), 0, PAGE)
    fill_rrect(img, (0, 414, 600, 415), 0, DIVIDER)
    return img


def feedback_face():
    """Problem-solving feedback window, 400 x 468: the question in the band, two answers below."""
    img = canvas((400, 468), WHITE)
    band(img, 172)
    window_title(img, "问题反馈", y=15)
    glyph_bubble(img, 200, 78, WHITE, ACCENT)
    text(img, (200, 130), "您的问题解决了吗？", 20, WHITE)
    text(img, (200, 156), "请告诉我们本次使用的结果，帮助我们改进", 12, WHITE, opacity=0.8)
    text(img, (200, 410), "感谢您的反馈", 12, TEXT_MUTED)
    return img


def prompt_face():
    """Message prompt, 320 x 140: titled 提示 in a slim band, white body for the text."""
    img = canvas((320, 140), WHITE)
    band(img, 30)
    window_title(img, "提示", y=15, x=10)
    return img


def progress_face():
    """Progress prompt, 204 x 104: an accent panel; the white status text sits at y 42..62."""
    img = canvas((204, 104), ACCENT)
    fill_ellipse(img, (120, -60, 260, 60), WHITE, 0.07)
    fill_ellipse(img, (150, 50, 250, 150), WHITE, 0.05)
    img.alpha_composite(logo(14, WHITE, ACCENT), (10, 9))
    text(img, (30, 16), "Skelda", 11, WHITE, anchor="lm", opacity=0.75)
    return img


# ---------------------------------------------------------------------------------------
# Frames of the layered host windows: soft shadow, hairline, then the window face
# ---------------------------------------------------------------------------------------
def host_frame(size, face, at, shadow=FRAME_SHADOW):
    x, y = at
    body = (x, y, x + face.size[0], y + face.size[1])
    img = drop_shadow(size, body, 2, *shadow)
    ring_rrect(img, (body[0] - 1, body[1] - 1, body[2] + 1, body[3] + 1), 1, 1, FRAME_EDGE)
    img.alpha_composite(face, at)
    return img


def terms_panel():
    """Terms panel, 541 x 402: white sheet with a hairline and a tail pointing down at the link.

    The panel's child shows the top-left (540 x 384) of this image, so the sheet reaches
    below row 384; the tail hangs from row 387 to the bottom."""
    w, h = 541, 402
    bottom = 387
    tip_x = 70

    def shape(d, k):
        d.rectangle((0, 0, w * k - 1, bottom * k - 1), fill=255)
        d.polygon([((tip_x - 15) * k, (bottom - 1) * k), ((tip_x + 15) * k, (bottom - 1) * k),
                   (tip_x * k, h * k - 1)], fill=255)
    outer = _mask((w, h), shape)
    inner = outer.filter(ImageFilter.MinFilter(3))
    img = canvas((w, h))
    paint(img, inner, WHITE)
    paint(img, ImageChops.subtract(outer, inner), BORDER)
    return img


# ---------------------------------------------------------------------------------------
# Buttons
# ---------------------------------------------------------------------------------------
STATES = ("normal", "hover", "pressed", "disabled")

# Per style and state: fill, border (or None), text colour, shadow opacity.
BUTTON_LOOK = {
    "primary": {
        "normal": (ACCENT, None, WHITE, 0.30),
        "hover": (ACCENT_HOVER, None, WHITE, 0.36),
        "pressed": (ACCENT_PRESSED, None, WHITE, 0.14),
        "disabled": (DISABLED_FILL, None, DISABLED_TEXT, 0.0),
    },
    "secondary": {
        "normal": (WHITE, BORDER, TEXT, 0.10),
        "hover": (ACCENT_TINT, ACCENT, ACCENT, 0.14),
        "pressed": (ACCENT_TINT_PRESSED, ACCENT_PRESSED, ACCENT_PRESSED, 0.06),
        "disabled": ((243, 244, 246), DIVIDER, DISABLED_TEXT, 0.0),
    },
}


def button(size, body, caption, style, state, text_size, radius=RADIUS_BUTTON, shadow=True):
    """A button image: transparent around `body`, soft shadow beneath it, caption centred.

    `caption` may hold several lines separated by newlines."""
    fill, border, ink, shade = BUTTON_LOOK[style][state]
    img = canvas(size)
    if shadow and shade > 0:
        depth = 1 if state == "pressed" else 3
        img.alpha_composite(drop_shadow(size, body, radius, 3.2, depth, shade))
    fill_rrect(img, body, radius, fill)
    if border:
        ring_rrect(img, body, radius, 1, border)
    lines = caption.split("\n")
    cx = (body[0] + body[2]) / 2.0
    cy = (body[1] + body[3]) / 2.0
    lead = text_size + 3
    for i, line in enumerate(lines):
        text(img, (cx, cy + (i - (len(lines) - 1) / 2.0) * lead), line, text_size, ink)
    return img


def feature_buttons(size, insets, caption, style, text_size):
    """The four states of a large button whose body fills the rectangle inside `insets`."""
    l, t, r, b = insets
    body = (l, t, size[0] - r, size[1] - b)
    return [button(size, body, caption, style, s, text_size) for s in STATES]


def prompt_buttons(caption, style):
    """Normal, hover, pressed of a 55 x 24 prompt button.

    These images are drawn one pixel short of their size (the last column and row are not
    sampled), so the body ends a pixel early; the button control paints white around it."""
    return [button((55, 24), (0, 0, 54, 23), caption, style, s, 12, RADIUS_SMALL, shadow=False)
            for s in STATES[:3]]


def window_buttons(face, box, glyph, small=False):
    """Close or minimise button over a window face: the face under it, a glyph, four states.

    Such buttons sample their image one pixel short, so the glyph is centred on the sampled
    area."""
    x0, y0, x1, y1 = box
    base = face.crop(box)
    w, h = base.size
    cx, cy = (w - 1) / 2.0, (h - 1) / 2.0
    half, width = (3.0, 1.3) if small else (4.5, 1.3)
    draw = glyph_close if glyph == "close" else glyph_minimise
    out = []
    for state in STATES:
        img = base.copy()
        if state in ("hover", "pressed"):
            if glyph == "close":
                colour, opacity = (CLOSE_HOVER if state == "hover" else CLOSE_PRESSED), 1.0
            else:
                colour, opacity = WHITE, (0.18 if state == "hover" else 0.30)
            fill_rrect(img, (0, 0, w - 1, h - 1), 2.5 if small else 0, colour, opacity)
        draw(img, cx, cy, half, width, WHITE, 0.45 if state == "disabled" else 1.0)
        out.append(img)
    return out


# ---------------------------------------------------------------------------------------
# Check boxes
# ---------------------------------------------------------------------------------------
def band_check_boxes():
    """17 x 17 pair for the main window's categories, which sit on the accent band."""
    ticked = canvas((17, 17))
    fill_rrect(ticked, (0.5, 0.5, 16.5, 16.5), RADIUS_SMALL, WHITE)
    glyph_tick(ticked, (1, 1, 16, 16), 2.0, ACCENT)
    unticked = canvas((17, 17))
    fill_rrect(unticked, (0.5, 0.5, 16.5, 16.5), RADIUS_SMALL, WHITE, 0.12)
    ring_rrect(unticked, (0.5, 0.5, 16.5, 16.5), RADIUS_SMALL, 1.5, WHITE, 0.9)
    return ticked, unticked


def consent_check_strip():
    """48 x 16 strip for the consent box on the light footer: unticked, ticked, greyed."""
    img = canvas((48, 16))
    box = lambda i: (i * 16 + 0.5, 0.5, i * 16 + 15.5, 15.5)
    fill_rrect(img, box(0), 3.5, WHITE)
    ring_rrect(img, box(0), 3.5, 1, (156, 163, 175))
    fill_rrect(img, box(1), 3.5, ACCENT)
    glyph_tick(img, box(1), 1.8, WHITE)
    fill_rrect(img, box(2), 3.5, DISABLED_FILL)
    ring_rrect(img, box(2), 3.5, 1, BORDER)
    glyph_tick(img, box(2), 1.8, DISABLED_TEXT)
    return img


# ---------------------------------------------------------------------------------------
# Scroll-bar skin: 9 columns x 3 rows of 13 x 13 cells (normal, hover, pressed)
# ---------------------------------------------------------------------------------------
CELL = 13


def _scroll_cell(kind, row):
    """One cell of a vertical bar: 'up', 'down', 'thumb' or 'track'; a hairline on the left."""
    img = canvas((CELL, CELL), SCROLL_TRACK)
    if kind in ("up", "down"):
        fill_rrect(img, (1, 0, CELL, CELL), 0, SCROLL_ARROW_BG[row])
        c = CELL / 2.0 + 0.5
        dy = -1.5 if kind == "up" else 1.5
        stroke(img, [(c - 3, c - dy), (c, c + dy), (c + 3, c - dy)], 1.4, SCROLL_ARROW[row])
    elif kind == "thumb":
        fill_rrect(img, (4, 0, 10, CELL), 3, SCROLL_THUMB[row])
    fill_rrect(img, (0, 0, 1, CELL), 0, DIVIDER)
    return img


def _corner_cell(left_bar):
    img = canvas((CELL, CELL), SCROLL_TRACK)
    fill_rrect(img, (0, 0, CELL, 1), 0, DIVIDER)
    edge = (CELL - 1, 0, CELL, CELL) if left_bar else (0, 0, 1, CELL)
    fill_rrect(img, edge, 0, DIVIDER)
    return img


def scroll_skin():
    img = Image.new("RGB", (9 * CELL, 3 * CELL), SCROLL_TRACK)
    for row in range(3):
        for col, kind in enumerate(("up", "down", "thumb", "track")):
            cell = _scroll_cell(kind, row)
            img.paste(cell.convert("RGB"), (col * CELL, row * CELL))
            flat = cell.transpose(Image.Transpose.TRANSPOSE)     # up -> left, hairline -> top
            img.paste(flat.convert("RGB"), ((col + 4) * CELL, row * CELL))
    img.paste(_corner_cell(False).convert("RGB"), (8 * CELL, 0))
    img.paste(_corner_cell(True).convert("RGB"), (8 * CELL, CELL))
    return img


# ---------------------------------------------------------------------------------------
# Program icon: several sizes in one .ico (32-bit images, PNG for 256)
# ---------------------------------------------------------------------------------------
ICON_SIZES = (16, 20, 24, 32, 40, 48, 64, 256)


def icon_images():
    return [logo(s, ACCENT, WHITE) for s in ICON_SIZES]


def _ico_dib(img):
    w, h = img.size
    px = img.tobytes("raw", "BGRA", 0, -1)                      # bottom-up rows
    row = ((w + 31) // 32) * 4
    alpha = img.getchannel("A").transpose(Image.Transpose.FLIP_TOP_BOTTOM)
    mask = bytearray()
    for y in range(h):
        bits = bytearray(row)
        for x in range(w):
            if alpha.getpixel((x, y)) == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, len(px) + len(mask), 0, 0, 0, 0)
    return header + px + bytes(mask)


def write_ico(path, images):
    blobs = []
    for img in images:
        if img.size[0] >= 256:
            import io
            buf = io.BytesIO()
            img.save(buf, "PNG")
            blobs.append(buf.getvalue())
        else:
            blobs.append(_ico_dib(img))
    offset = 6 + 16 * len(images)
    out = struct.pack("<HHH", 0, 1, len(images))
    for img, blob in zip(images, blobs):
        w = img.size[0]
        out += struct.pack("<BBBBHHII", w % 256, w % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(out + b"".join(blobs))


# ---------------------------------------------------------------------------------------
# The catalogue: resource id, file name, image
# ---------------------------------------------------------------------------------------
def catalogue():
    """Every skin image in resource-id order as (id, file name, image)."""
    main, usage, feedback = main_face(), usage_face(), feedback_face()
    prompt, progress = prompt_face(), progress_face()
    ticked, unticked = band_check_boxes()
    items = []

    def add(first_id, name, images):
        suffixes = STATES if len(images) > 1 else ("",)
        for n, (img, suffix) in enumerate(zip(images, suffixes)):
            items.append((first_id + n, name + ("_" + suffix if suffix else ""), img))

    add(140, "usage_frame", [host_frame((610, 461), usage, (5, 4))])
    add(141, "usage_background", [usage])
    add(142, "usage_close", window_buttons(usage, (564, 0, 590, 34), "close"))
    add(146, "usage_start", feature_buttons((260, 69), (19, 11, 20, 11), "开始运行", "primary", 18))
    add(150, "main_browse", feature_buttons((80, 58), (12, 13, 12, 9), "选择\n保存位置", "secondary", 11))
    add(154, "consent_check", [consent_check_strip()])
    add(155, "main_close", window_buttons(main, (768, 0, 794, 34), "close"))
    add(159, "progress_frame", [host_frame((232, 132), progress, (14, 12), WIDE_FRAME_SHADOW)])
    add(160, "progress_background", [progress])
    add(161, "main_minimise", window_buttons(main, (740, 0, 766, 34), "minimise"))
    add(165, "prompt_frame", [host_frame((330, 150), prompt, (5, 3))])
    add(166, "prompt_background", [prompt])
    add(167, "prompt_cancel", prompt_buttons("取消", "secondary"))
    add(170, "prompt_close", window_buttons(prompt, (294, 8, 306, 20), "close", small=True)[:3])
    add(173, "prompt_no", prompt_buttons("否", "secondary"))
    add(176, "prompt_confirm", prompt_buttons("确认", "primary"))
    add(179, "prompt_yes", prompt_buttons("是", "primary"))
    add(182, "feedback_frame", [host_frame((410, 479), feedback, (5, 4))])
    add(183, "feedback_background", [feedback])
    add(184, "feedback_close", window_buttons(feedback, (382, 6, 394, 18), "close", small=True))
    add(189, "feedback_solved", feature_buttons((266, 60), (9, 9, 9, 9), "解决", "primary", 16))
    add(193, "main_start", feature_buttons((259, 85), (19, 11, 19, 11), "开始收集", "primary", 22))
    add(197, "terms_panel", [terms_panel()])
    add(198, "feedback_unsolved", feature_buttons((266, 60), (9, 9, 9, 9), "未解决", "secondary", 16))
    add(202, "main_frame", [host_frame((810, 611), main, (5, 4))])
    add(203, "main_background", [main])
    add(204, "check_ticked", [ticked])
    add(205, "check_unticked", [unticked])
    return items


# ---------------------------------------------------------------------------------------
# Contact sheet
# ---------------------------------------------------------------------------------------
def _checker(size, step=8):
    img = Image.new("RGBA", size, (236, 238, 242, 255))
    d = ImageDraw.Draw(img)
    for y in range(0, size[1], step):
        for x in range((y // step) % 2 * step, size[0], 2 * step):
            d.rectangle((x, y, x + step - 1, y + step - 1), fill=(250, 251, 252, 255))
    return img


def contact_sheet(entries, width=1400):
    """All images on one page, in id order, each on a checkerboard (to show its transparency)
    with a hairline around it; large ones at half size, tiny ones doubled."""
    pad, label_h = 18, 32
    tiles = []
    for rid, name, img in entries:
        shown = img.convert("RGBA")
        w, h = shown.size
        if w > 340:
            shown = shown.resize((w // 2, h // 2), Image.Resampling.LANCZOS)
        elif w < 40:
            shown = shown.resize((w * 2, h * 2), Image.Resampling.NEAREST)
        label = "%d %s" % (rid, name)
        tile_w = max(shown.size[0], int(text_width(label, 11)) + 4)
        tiles.append((label, "%d x %d" % img.size, shown, tile_w))
    rows, row, x = [], [], pad
    for t in tiles:
        if row and x + t[3] > width - pad:
            rows.append(row)
            row, x = [], pad
        row.append((x, t))
        x += t[3] + pad
    rows.append(row)
    top = 56
    height = top + sum(max(t[2].size[1] for _, t in r) + label_h + pad for r in rows) + pad
    sheet = canvas((width, height), PAGE)
    text(sheet, (pad, 28), "TavlinSkelda artwork: large images at half size, tiny ones doubled",
         16, TEXT, anchor="lm")
    y = top
    for r in rows:
        rh = max(t[2].size[1] for _, t in r)
        for x, (label, size, shown, _) in r:
            sw, sh = shown.size
            fill_rrect(sheet, (x - 1, y - 1, x + sw + 1, y + sh + 1), 0, BORDER)
            sheet.alpha_composite(_checker(shown.size), (x, y))
            sheet.alpha_composite(shown, (x, y))
            text(sheet, (x, y + sh + 5), label, 11, TEXT, anchor="la")
            text(sheet, (x, y + sh + 19), size, 10, TEXT_MUTED, anchor="la")
        y += rh + label_h + pad
    return sheet


def main():
    os.makedirs(OUT_DIR, exist_ok=True)
    entries = catalogue()
    for rid, name, img in entries:
        img.save(os.path.join(OUT_DIR, "%d_%s.png" % (rid, name)), optimize=True)
    skin = scroll_skin()
    skin.save(os.path.join(OUT_DIR, "188_scroll_skin.bmp"))
    icons = icon_images()
    write_ico(os.path.join(OUT_DIR, "128_program.ico"), icons)
    sheet_entries = sorted(entries + [(188, "scroll_skin", skin), (128, "program_icon", icons[-3])],
                           key=lambda e: e[0])
    os.makedirs(os.path.dirname(SHEET), exist_ok=True)
    contact_sheet(sheet_entries).convert("RGB").save(SHEET, optimize=True)
    print("%d PNG images, scroll skin, icon and contact sheet written" % len(entries))
    return 0


if __name__ == "__main__":
    sys.exit(main())
