#!/usr/bin/python3
"""Draws Arkivo's icons, cursor, background bitmaps and animation strips.

The pictures are committed beside this script; run it again (Debian: python3-pil) after
changing a drawing:  /usr/bin/python3 ui/res/make_images.py

Every picture is drawn at four times its size and scaled down, which smooths the edges.
Icons and the cursor are written as classic 32-bit DIB entries (no PNG inside), which every
Windows version and Wine read.
"""

import math
import os
import struct

from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
SCALE = 4

BLUE = (47, 111, 181, 255)
DARK_BLUE = (29, 72, 125, 255)
LIGHT_BLUE = (160, 196, 235, 255)
ORANGE = (232, 145, 45, 255)
DARK_ORANGE = (186, 104, 20, 255)
GREEN = (59, 165, 92, 255)
DARK_GREEN = (34, 115, 60, 255)
RED = (214, 69, 65, 255)
DARK_RED = (150, 40, 38, 255)
GREY = (92, 103, 112, 255)
LIGHT_GREY = (214, 219, 224, 255)
PAPER = (252, 252, 250, 255)
WHITE = (255, 255, 255, 255)
BACKGROUND = (243, 246, 250)


def canvas(size):
    return Image.new("RGBA", (size * SCALE, size * SCALE), (0, 0, 0, 0))


def finish(image, size):
    return image.resize((size, size), Image.LANCZOS)


def box(values):
    return [v * SCALE for v in values]


def points(values):
    return [(x * SCALE, y * SCALE) for x, y in values]


def folder(d, x, y, w, h, body=ORANGE, edge=DARK_ORANGE):
    d.rounded_rectangle(box([x, y, x + w * 0.45, y + h * 0.3]), radius=SCALE, fill=edge)
    d.rounded_rectangle(box([x, y + h * 0.15, x + w, y + h]), radius=SCALE * 1.5, fill=body,
                        outline=edge, width=SCALE)


def document(d, x, y, w, h, fill=PAPER, edge=GREY):
    fold = w * 0.3
    d.polygon(points([(x, y), (x + w - fold, y), (x + w, y + fold), (x + w, y + h), (x, y + h)]),
              fill=fill, outline=edge)
    d.line(points([(x + w - fold, y), (x + w - fold, y + fold), (x + w, y + fold)]), fill=edge,
           width=SCALE)
    for i in range(3):
        ly = y + h * (0.45 + 0.15 * i)
        d.line(points([(x + w * 0.2, ly), (x + w * 0.8, ly)]), fill=LIGHT_GREY, width=SCALE)


def draw_app(size):
    # A blue archive box with an orange arrow turning back into it.
    img = canvas(32)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle(box([3, 11, 29, 29]), radius=3 * SCALE, fill=BLUE, outline=DARK_BLUE,
                        width=SCALE)
    d.rounded_rectangle(box([1.5, 7, 30.5, 13]), radius=2 * SCALE, fill=DARK_BLUE)
    d.rounded_rectangle(box([12, 16, 20, 19]), radius=SCALE, fill=LIGHT_BLUE)
    d.arc(box([8, 1, 24, 17]), start=200, end=340, fill=ORANGE, width=3 * SCALE)
    d.polygon(points([(22.5, 2.5), (27.5, 8.5), (20, 9.5)]), fill=ORANGE)
    return finish(img, size)


def draw_browse(size):
    img = canvas(32)
    d = ImageDraw.Draw(img)
    folder(d, 3, 6, 26, 21)
    d.ellipse(box([15, 14, 25, 24]), outline=WHITE, width=2 * SCALE)
    d.line(points([(23.5, 22.5), (28, 27)]), fill=WHITE, width=3 * SCALE)
    return finish(img, size)


def draw_ftp(size):
    img = canvas(32)
    d = ImageDraw.Draw(img)
    d.ellipse(box([3, 3, 29, 29]), fill=BLUE, outline=DARK_BLUE, width=SCALE)
    d.ellipse(box([10, 3, 22, 29]), outline=LIGHT_BLUE, width=SCALE)
    d.line(points([(16, 3), (16, 29)]), fill=LIGHT_BLUE, width=SCALE)
    d.line(points([(3.5, 16), (28.5, 16)]), fill=LIGHT_BLUE, width=SCALE)
    d.arc(box([5, -4, 27, 12]), start=20, end=160, fill=LIGHT_BLUE, width=SCALE)
    d.arc(box([5, 20, 27, 36]), start=200, end=340, fill=LIGHT_BLUE, width=SCALE)
    return finish(img, size)


def draw_register(size):
    img = canvas(32)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle(box([3, 3, 29, 29]), radius=5 * SCALE, fill=GREEN, outline=DARK_GREEN,
                        width=SCALE)
    d.rectangle(box([14, 8, 18, 24]), fill=WHITE)
    d.rectangle(box([8, 14, 24, 18]), fill=WHITE)
    return finish(img, size)


def draw_option(size):
    img = canvas(32)
    d = ImageDraw.Draw(img)
    cx = cy = 16
    teeth = []
    for i in range(16):
        angle = math.pi * 2 * i / 16
        r = 13 if i % 2 == 0 else 10
        for da in (-0.17, 0.17):
            teeth.append((cx + r * math.cos(angle + da), cy + r * math.sin(angle + da)))
    d.polygon(points(teeth), fill=GREY)
    d.ellipse(box([9, 9, 23, 23]), fill=GREY)
    d.ellipse(box([12, 12, 20, 20]), fill=WHITE)
    return finish(img, size)


def draw_help(size):
    img = canvas(32)
    d = ImageDraw.Draw(img)
    d.ellipse(box([3, 3, 29, 29]), fill=BLUE, outline=DARK_BLUE, width=SCALE)
    d.arc(box([10.5, 7.5, 21.5, 17.5]), start=180, end=70, fill=WHITE, width=3 * SCALE)
    d.line(points([(18, 16.5), (16, 19), (16, 20.5)]), fill=WHITE, width=3 * SCALE)
    d.ellipse(box([14.2, 22.2, 17.8, 25.8]), fill=WHITE)
    return finish(img, size)


def draw_auto_detect(size):
    img = canvas(32)
    d = ImageDraw.Draw(img)
    document(d, 4, 2, 17, 22)
    d.ellipse(box([12, 12, 25, 25]), fill=(255, 255, 255, 200), outline=DARK_BLUE,
              width=3 * SCALE)
    d.line(points([(23, 23), (29, 29)]), fill=DARK_BLUE, width=4 * SCALE)
    d.ellipse(box([16, 16, 21, 21]), fill=RED)
    return finish(img, size)


def draw_start(size):
    img = canvas(32)
    d = ImageDraw.Draw(img)
    d.ellipse(box([2, 2, 30, 30]), fill=GREEN, outline=DARK_GREEN, width=SCALE)
    d.polygon(points([(12, 8.5), (24, 16), (12, 23.5)]), fill=WHITE)
    return finish(img, size)


def draw_pause(size):
    img = canvas(32)
    d = ImageDraw.Draw(img)
    d.ellipse(box([2, 2, 30, 30]), fill=ORANGE, outline=DARK_ORANGE, width=SCALE)
    d.rounded_rectangle(box([10.5, 9, 14.5, 23]), radius=SCALE, fill=WHITE)
    d.rounded_rectangle(box([17.5, 9, 21.5, 23]), radius=SCALE, fill=WHITE)
    return finish(img, size)


def draw_stop(size):
    img = canvas(32)
    d = ImageDraw.Draw(img)
    d.ellipse(box([2, 2, 30, 30]), fill=RED, outline=DARK_RED, width=SCALE)
    d.rounded_rectangle(box([10, 10, 22, 22]), radius=SCALE, fill=WHITE)
    return finish(img, size)


def draw_hand_cursor():
    img = canvas(32)
    d = ImageDraw.Draw(img)
    outline = (0, 0, 0, 255)
    finger = [(9, 1), (12, 1), (12, 12), (22, 14), (24, 17), (22, 28), (11, 28), (5, 19),
              (7, 16), (9, 18)]
    d.polygon(points(finger), fill=WHITE, outline=outline)
    d.line(points(finger + [finger[0]]), fill=outline, width=int(1.5 * SCALE))
    for x in (15, 19):
        d.line(points([(x, 13), (x, 19)]), fill=outline, width=SCALE)
    return finish(img, 32)


def dib_entry(image):
    """A 32-bit bottom-up DIB with its AND mask, as ICO and CUR files hold them."""
    w, h = image.size
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    mask = bytearray()
    stride = ((w + 31) // 32) * 4
    data = image.load()
    for y in range(h - 1, -1, -1):
        row_mask = bytearray(stride)
        for x in range(w):
            r, g, b, a = data[x, y]
            pixels += bytes((b, g, r, a))
            if a == 0:
                row_mask[x // 8] |= 0x80 >> (x % 8)
        mask += row_mask
    return header + bytes(pixels) + bytes(mask)


def write_icon_file(path, images, kind=1, hotspot=(0, 0)):
    entries = [dib_entry(img) for img in images]
    out = struct.pack("<HHH", 0, kind, len(images))
    offset = 6 + 16 * len(images)
    for img, entry in zip(images, entries):
        w, h = img.size
        first, second = (1, 32) if kind == 1 else hotspot
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, first, second, len(entry), offset)
        offset += len(entry)
    with open(path, "wb") as f:
        f.write(out + b"".join(entries))


def write_bitmap(path, image):
    image.convert("RGB").save(path, "BMP")


# Image lists take this colour as transparent; it must not appear in a drawing.
MAGENTA = (255, 0, 255)


def draw_tree_folder():
    img = canvas(16)
    d = ImageDraw.Draw(img)
    folder(d, 1, 3, 14, 11)
    small = finish(img, 16)
    # No blending at the edges: a pixel half mixed with magenta would show as a pink fringe.
    flat = Image.new("RGB", (16, 16), MAGENTA)
    for y in range(16):
        for x in range(16):
            r, g, b, a = small.getpixel((x, y))
            if a >= 128:
                flat.putpixel((x, y), (r, g, b))
    return flat


def background(width, height, accent):
    # Flat, so labels drawn on it need no transparency; an accent strip along the top edge.
    img = Image.new("RGB", (width, height), BACKGROUND)
    d = ImageDraw.Draw(img)
    if accent:
        d.rectangle([0, 0, width, accent - 1], fill=BLUE[:3])
    return img


FRAME = 48


def strip(frames, size=FRAME):
    img = Image.new("RGB", (size * len(frames), size), BACKGROUND)
    for i, frame in enumerate(frames):
        flat = Image.new("RGB", (size, size), BACKGROUND)
        flat.paste(frame, (0, 0), frame)
        img.paste(flat, (i * size, 0))
    return img


def copy_frame(step, steps):
    # A page travels in an arc from the left folder into the right one.
    img = canvas(FRAME)
    d = ImageDraw.Draw(img)
    folder(d, 1, 26, 18, 16, body=LIGHT_BLUE, edge=BLUE)
    folder(d, 29, 26, 18, 16)
    t = step / (steps - 1)
    x = 4 + 26 * t
    y = 22 - 16 * math.sin(math.pi * t)
    document(d, x, y, 13, 16)
    return finish(img, FRAME)


def delete_frame(step, steps):
    # Shown while files are copied (the engine's second animation): a page drops from above
    # into the program's blue archive box, whose lid lifts for it. Nothing in it suggests that
    # the user's files go away.
    img = canvas(FRAME)
    d = ImageDraw.Draw(img)
    t = step / (steps - 1)
    if t < 0.8:
        document(d, 18, 1 + 24 * t, 12, 15)
    d.rounded_rectangle(box([8, 27, 40, 46]), radius=3 * SCALE, fill=BLUE, outline=DARK_BLUE,
                        width=SCALE)
    d.rounded_rectangle(box([19, 32, 29, 35]), radius=SCALE, fill=LIGHT_BLUE)
    lift = 4 * math.sin(math.pi * min(1.0, t * 1.25))
    d.rounded_rectangle(box([6, 22 - lift, 42, 28 - lift]), radius=2 * SCALE, fill=DARK_BLUE)
    return finish(img, FRAME)


# The help pictures of the backup types: larger frames, few of them, shown slowly. They are
# kept to 256 colours so that a strip stays under 100 KB.
HELP_FRAME = 96
HELP_FRAMES = 10
LABEL_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"


def label_font(size):
    if os.path.exists(LABEL_FONT):
        return ImageFont.truetype(LABEL_FONT, size * SCALE)
    return ImageFont.load_default()


def eased(t):
    t = min(1.0, max(0.0, t))
    return t * t * (3 - 2 * t)


def folder_label(d, x, y, w, h, text, colour=WHITE):
    font = label_font(9)
    left, top, right, bottom = d.textbbox((0, 0), text, font=font)
    cx = (x + w / 2) * SCALE - (right - left) / 2 - left
    cy = (y + h * 0.6) * SCALE - (bottom - top) / 2 - top
    d.text((cx, cy), text, font=font, fill=colour)


def flying_page(d, start, end, t, lift=14, w=14, h=18, fill=PAPER, edge=GREY):
    # A page on an arc from start to end, both its top-left corner.
    t = eased(t)
    x = start[0] + (end[0] - start[0]) * t
    y = start[1] + (end[1] - start[1]) * t - lift * math.sin(math.pi * t)
    document(d, x, y, w, h, fill=fill, edge=edge)


def changed_mark(d, x, y):
    # A small green plus: this file is new or changed.
    d.ellipse(box([x - 4, y - 4, x + 4, y + 4]), fill=GREEN, outline=DARK_GREEN, width=SCALE)
    d.line(points([(x - 2, y), (x + 2, y)]), fill=WHITE, width=SCALE)
    d.line(points([(x, y - 2), (x, y + 2)]), fill=WHITE, width=SCALE)


def arrow(d, start, end, colour=GREY, width=2):
    d.line(points([start, end]), fill=colour, width=width * SCALE)
    angle = math.atan2(end[1] - start[1], end[0] - start[0])
    head = [end,
            (end[0] - 6 * math.cos(angle - 0.5), end[1] - 6 * math.sin(angle - 0.5)),
            (end[0] - 6 * math.cos(angle + 0.5), end[1] - 6 * math.sin(angle + 0.5))]
    d.polygon(points(head), fill=colour)


def base_folder(d, x=2, y=50):
    folder(d, x, y, 34, 30, body=LIGHT_BLUE, edge=BLUE)


def sync_frame(step):
    # A new page is copied from the base into the mirror itself; then the page that only the
    # mirror still has is crossed out and taken away.
    img = canvas(HELP_FRAME)
    d = ImageDraw.Draw(img)
    base_folder(d)
    folder(d, 60, 50, 34, 30)
    arrow(d, (39, 62), (57, 62))
    if step < 8:
        rise = max(0, step - 5) * 10
        document(d, 78, 30 - rise, 14, 18, fill=(255, 236, 236, 255), edge=DARK_RED)
        if step >= 5:
            d.line(points([(77, 29 - rise), (93, 49 - rise)]), fill=RED, width=3 * SCALE)
            d.line(points([(93, 29 - rise), (77, 49 - rise)]), fill=RED, width=3 * SCALE)
    document(d, 12, 34, 14, 18)
    changed_mark(d, 26, 36)
    if step < 5:
        flying_page(d, (12, 34), (62, 34), step / 4, lift=26)
    else:
        document(d, 62, 34, 14, 18)
    return finish(img, HELP_FRAME)


def dif_frame(step):
    # The base is compared with the full copy in the target; what is new or changed since
    # that copy goes into a new dated DIF_ folder, and the full copy stays as it was.
    img = canvas(HELP_FRAME)
    d = ImageDraw.Draw(img)
    base_folder(d, 2, 30)
    folder(d, 60, 4, 34, 30, body=LIGHT_GREY, edge=GREY)
    document(d, 12, 14, 14, 18)
    changed_mark(d, 26, 16)
    if step >= 1:
        # The comparison: a dashed line between the base and the full copy, and an unequal
        # sign on it.
        for i in range(5):
            x = 38 + i * 4.4
            d.line(points([(x, 36 - i * 3.6), (x + 2.2, 34.2 - i * 3.6)]), fill=GREY,
                   width=SCALE)
        d.line(points([(44, 22), (52, 22)]), fill=RED, width=2 * SCALE)
        d.line(points([(44, 26), (52, 26)]), fill=RED, width=2 * SCALE)
        d.line(points([(51, 19), (45, 29)]), fill=RED, width=2 * SCALE)
    if step >= 3:
        folder(d, 60, 60, 34, 30, body=GREEN, edge=DARK_GREEN)
        folder_label(d, 60, 60, 34, 30, "DIF_")
    if 3 <= step < 8:
        flying_page(d, (12, 14), (70, 44), (step - 3) / 4, lift=-12)
    elif step >= 8:
        document(d, 70, 44, 14, 18)
        changed_mark(d, 84, 46)
    return finish(img, HELP_FRAME)


def inc_frame(step):
    # Three runs: each takes only what changed since the run before into its own INC_
    # folder, so the folders line up one after the other.
    img = canvas(HELP_FRAME)
    d = ImageDraw.Draw(img)
    base_folder(d, 2, 36)
    run = min(2, step // 3)
    progress = (step - run * 3) / 2 if step < 9 else 1.0
    page_colours = [(PAPER, GREY), ((232, 244, 255, 255), BLUE), ((255, 243, 224, 255),
                                                                   DARK_ORANGE)]
    for i in range(run + 1):
        y = 8 + i * 30
        folder(d, 62, y, 32, 25, body=GREEN, edge=DARK_GREEN)
        folder_label(d, 62, y, 32, 25, "INC_")
        fill, edge = page_colours[i]
        if i < run or progress >= 1:
            document(d, 72, y - 6, 11, 14, fill=fill, edge=edge)
    fill, edge = page_colours[run]
    if progress < 1:
        flying_page(d, (12, 22), (72, 8 + run * 30 - 6), progress, lift=8, w=11, h=14,
                    fill=fill, edge=edge)
    document(d, 12, 22, 11, 14, fill=fill, edge=edge)
    changed_mark(d, 24, 24)
    return finish(img, HELP_FRAME)


def spd_frame(step):
    # A time line with the period marked on it: a clock hand runs along it, and only the
    # page changed inside the period goes into the target.
    img = canvas(HELP_FRAME)
    d = ImageDraw.Draw(img)
    folder(d, 60, 4, 34, 30)
    d.rounded_rectangle(box([28, 76, 66, 90]), radius=2 * SCALE, fill=(205, 236, 214, 255),
                        outline=GREEN, width=SCALE)
    d.line(points([(4, 83), (92, 83)]), fill=GREY, width=2 * SCALE)
    for x in (28, 66):
        d.line(points([(x, 72), (x, 94)]), fill=DARK_GREEN, width=2 * SCALE)
    cursor = 6 + 84 * step / (HELP_FRAMES - 1)
    outside = (228, 231, 235, 255)
    pages = [(8, outside, GREY), (40, PAPER, GREY), (74, outside, GREY)]
    for x, fill, edge in pages:
        inside = x == 40
        if inside and cursor > 46:
            t = min(1.0, (cursor - 46) / 30)
            flying_page(d, (x, 50), (70, 10), t, lift=8)
            continue
        document(d, x, 50, 14, 18, fill=fill, edge=edge)
        if inside:
            changed_mark(d, x + 14, 52)
        d.line(points([(x + 7, 70), (x + 7, 80)]), fill=edge, width=SCALE)
    d.polygon(points([(cursor - 4, 94), (cursor + 4, 94), (cursor, 86)]), fill=BLUE)
    return finish(img, HELP_FRAME)


def help_strip(draw):
    # 256 colours, the skin's background kept exact so the picture has no visible edge.
    image = strip([draw(i) for i in range(HELP_FRAMES)], HELP_FRAME)
    quantised = image.quantize(colors=256, method=Image.Quantize.MEDIANCUT,
                               dither=Image.Dither.NONE)
    palette = quantised.getpalette()
    index = quantised.getpixel((0, 0))
    palette[index * 3:index * 3 + 3] = list(BACKGROUND)
    quantised.putpalette(palette)
    return quantised


def main():
    app = [draw_app(s) for s in (16, 24, 32, 48)]
    write_icon_file(os.path.join(HERE, "arkivo.ico"), app)
    buttons = {
        "browse": draw_browse, "ftp": draw_ftp, "register": draw_register,
        "option": draw_option, "help": draw_help, "auto_detect": draw_auto_detect,
        "start": draw_start, "pause": draw_pause, "stop": draw_stop,
    }
    for name, draw in buttons.items():
        write_icon_file(os.path.join(HERE, name + ".ico"), [draw(16), draw(24), draw(32)])
    write_icon_file(os.path.join(HERE, "link.cur"), [draw_hand_cursor()], kind=2, hotspot=(10, 1))
    write_bitmap(os.path.join(HERE, "main_background.bmp"), background(64, 256, 1))
    write_bitmap(os.path.join(HERE, "progress_background.bmp"), background(390, 150, 0))
    write_bitmap(os.path.join(HERE, "copy_animation.bmp"),
                 strip([copy_frame(i, 12) for i in range(12)]))
    write_bitmap(os.path.join(HERE, "delete_animation.bmp"),
                 strip([delete_frame(i, 12) for i in range(12)]))
    write_bitmap(os.path.join(HERE, "ftp_folder.bmp"), draw_tree_folder())
    helps = {"sync": sync_frame, "dif": dif_frame, "inc": inc_frame, "spd": spd_frame}
    for name, draw in helps.items():
        help_strip(draw).save(os.path.join(HERE, "help_" + name + ".bmp"), "BMP")
    sheet = Image.new("RGBA", (10 * 52, 56), (255, 255, 255, 255))
    for i, img in enumerate([app[3]] + [draw(48) for draw in buttons.values()]):
        sheet.paste(img, (i * 52 + 2, 4), img)
    # A contact sheet to look at, not part of the program.
    sheet.save(os.path.join(os.environ.get("TMPDIR", "/tmp"), "arkivo-icons.png"))


if __name__ == "__main__":
    main()
