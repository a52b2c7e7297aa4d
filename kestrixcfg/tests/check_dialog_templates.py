#!/usr/bin/env python3
"""Compiles kestrixcfg.rc and checks the compiled dialog templates and bitmaps against the dialog tables.

    check_dialog_templates.py <windres> <kestrixcfg.rc> <work-dir>
    check_dialog_templates.py --self-test

Reads the .res output of the resource compiler: every control's id, class, text, rectangle and the style
bits that make its kind and state, the dialogs' size, caption, font, styles and language, and the size and
depth of bitmaps 102 and 106. Exit code 0 when everything matches, 1 with one line per difference.
"""

import os
import struct
import subprocess
import sys

WS_POPUP = 0x80000000
WS_VISIBLE = 0x10000000
WS_DISABLED = 0x08000000
WS_CAPTION = 0x00C00000
WS_BORDER = 0x00800000
WS_SYSMENU = 0x00080000
WS_VSCROLL = 0x00200000
DS_3DLOOK = 0x0004
DS_MODALFRAME = 0x0080
DS_NOIDLEMSG = 0x0100
DS_SETFONT = 0x0040
DS_CENTER = 0x0800
WS_EX_STATICEDGE = 0x00020000
BS_FLAT = 0x8000
SS_SUNKEN = 0x1000
SS_BITMAP = 0x000E
CBS_DROPDOWNLIST = 0x0003

DIALOG_STYLE = WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CENTER | DS_SETFONT | DS_3DLOOK | DS_NOIDLEMSG
LANG_SPANISH_SPAIN = 0x040A
ATOMS = {0x80: "Button", 0x81: "Edit", 0x82: "Static", 0x83: "ListBox", 0x84: "ScrollBar", 0x85: "ComboBox"}

# Kinds: (class, style mask, style value)
KINDS = {
    "check": ("Button", 0x000F | BS_FLAT, 0x0003 | BS_FLAT),
    "push": ("Button", 0x000F | BS_FLAT, 0x0000 | BS_FLAT),
    "default": ("Button", 0x000F | BS_FLAT, 0x0001 | BS_FLAT),
    "group": ("Button", 0x000F, 0x0007),
    "list": ("ComboBox", 0x0003 | WS_VSCROLL, CBS_DROPDOWNLIST | WS_VSCROLL),
    "picture-bordered": ("Static", 0x001F | WS_BORDER, SS_BITMAP | WS_BORDER),
    "picture-sunken": ("Static", 0x001F | SS_SUNKEN, SS_BITMAP | SS_SUNKEN),
    "label": ("Static", 0x001F, 0x0000),
    "trackbar": ("msctls_trackbar32", 0, 0),
}

# id (-1 for none), kind, text (an int: a bitmap resource), rectangle, state, in template order.
KESTRIX_CONTROLS = [
    (1010, "check", "Fullscreen", (13, 262, 117, 10), ""),
    (1020, "list", "", (17, 71, 117, 59), ""),
    (1, "default", "Ok", (146, 276, 44, 12), ""),
    (2, "push", "Cancel", (191, 276, 44, 12), ""),
    (3, "push", "Apply", (237, 276, 44, 12), ""),
    (1011, "check", "Oversampling (fix FZero flashing, but slowndown emulation)", (19, 199, 201, 10), ""),
    (1012, "check", "FullScreen Antialiasing", (19, 113, 90, 10), ""),
    (1013, "check", "Fog", (19, 126, 90, 10), ""),
    (1014, "check", "Fast alternate ZBuffer mode", (19, 137, 102, 10), ""),
    (-1, "picture-bordered", 102, (17, 85, 118, 12), ""),
    (1000, "trackbar", "Slider1", (148, 73, 92, 21), ""),
    (-1, "group", "Colors", (14, 60, 123, 39), ""),
    (-1, "picture-sunken", 106, (13, 10, 268, 46), ""),
    (-1, "group", "Settings", (14, 100, 268, 157), ""),
    (1023, "group", "Resolution", (143, 60, 138, 39), ""),
    (1015, "check", "Triple Buffer", (19, 150, 90, 10), ""),
    (1016, "check", "Fighting Force 64 Fix", (19, 186, 90, 10), ""),
    (1017, "check", "Alternate Lighting system", (19, 162, 122, 10), ""),
    (1018, "check", "Texture filtering", (19, 174, 122, 10), ""),
    (1019, "check", "Multitexture Support (TMU=2)", (19, 212, 109, 10), "hidden"),
    (100, "push", "Game patching utility", (21, 240, 114, 11), ""),
    (1022, "label", "1x", (244, 80, 32, 8), ""),
    (-1, "label", "Frame pacing", (150, 114, 60, 8), ""),
    (1021, "list", "", (150, 124, 126, 59), ""),
    (-1, "label", "Board", (150, 140, 60, 8), ""),
    (1024, "list", "", (150, 150, 126, 59), ""),
    (-1, "label", "Brightness (gamma)", (150, 166, 80, 8), ""),
    (1025, "trackbar", "Slider2", (148, 175, 92, 18), ""),
    (1026, "label", "1.00", (244, 180, 32, 8), ""),
    (-1, "label", "Render scale", (150, 196, 80, 8), ""),
    (1027, "trackbar", "Slider3", (148, 205, 92, 18), ""),
    (1028, "label", "Off", (244, 210, 32, 8), ""),
]

GAMES = ["FIFA 98", "FIFA 99", "FIFA 2000", "FIFA 2001", "FIFA 2002", "NBA Live 98", "NBA Live 99",
         "NBA Live 2000", "NBA Live 2001", "NBA Live 2002", "Need For Speed IV"]
LIST_Y = [15, 28, 42, 56, 69, 82, 95, 109, 123, 136, 149]
LABEL_Y = [17, 31, 44, 58, 71, 84, 98, 111, 125, 138, 151]
LABEL_W = [26, 26, 34, 34, 34, 41, 41, 49, 49, 49, 62]
KGP_CONTROLS = []
for i, game in enumerate(GAMES):
    KGP_CONTROLS.append((-1, "label", game, (10, LABEL_Y[i], LABEL_W[i], 8), ""))
    KGP_CONTROLS.append((2000 + i, "list", "", (83, LIST_Y[i], 82, 59), ""))
KGP_CONTROLS += [
    (1, "default", "Ok", (41, 170, 44, 12), ""),
    (2, "push", "Cancel", (88, 170, 44, 12), ""),
    (3, "push", "Apply", (135, 170, 44, 12), ""),
]

DIALOGS = {
    "KESTRIX": {"size": (293, 292), "caption": "Kestrix XP", "language": LANG_SPANISH_SPAIN,
                "controls": KESTRIX_CONTROLS, "ordered": True},
    "KGP": {"size": (182, 186), "caption": "Kestrix XP (Game Patching)", "language": None,
            "controls": KGP_CONTROLS, "ordered": False},
}
BITMAPS = {102: (171, 13), 106: (400, 73)}


class Reader:
    def __init__(self, data, pos=0):
        self.data = data
        self.pos = pos

    def u16(self):
        v = struct.unpack_from("<H", self.data, self.pos)[0]
        self.pos += 2
        return v

    def s16(self):
        v = struct.unpack_from("<h", self.data, self.pos)[0]
        self.pos += 2
        return v

    def u32(self):
        v = struct.unpack_from("<I", self.data, self.pos)[0]
        self.pos += 4
        return v

    def u8(self):
        v = self.data[self.pos]
        self.pos += 1
        return v

    def sz(self):
        chars = []
        while True:
            c = self.u16()
            if c == 0:
                return "".join(chars)
            chars.append(chr(c))

    def sz_or_ord(self):
        if struct.unpack_from("<H", self.data, self.pos)[0] == 0xFFFF:
            self.pos += 2
            return self.u16()
        return self.sz()

    def align(self, n=4):
        self.pos = (self.pos + n - 1) & ~(n - 1)


def read_res(data):
    """[(type, name, language, bytes)] from a .res file."""
    out = []
    pos = 0
    while pos + 8 <= len(data):
        size, header = struct.unpack_from("<II", data, pos)
        r = Reader(data, pos + 8)
        rtype = r.sz_or_ord()
        name = r.sz_or_ord()
        r.align()
        r.u32()  # data version
        r.u16()  # memory flags
        language = r.u16()
        body = data[pos + header:pos + header + size]
        if size:
            out.append((rtype, name, language, body))
        pos = (pos + header + size + 3) & ~3
    return out


def read_dialog(body):
    r = Reader(body)
    version, signature = r.u16(), r.u16()
    if version != 1 or signature != 0xFFFF:
        return None
    r.u32()  # help id
    ex_style, style = r.u32(), r.u32()
    count = r.u16()
    rect = (r.s16(), r.s16(), r.s16(), r.s16())
    menu, klass, caption = r.sz_or_ord(), r.sz_or_ord(), r.sz()
    font = None
    if style & DS_SETFONT:
        points, _weight, _italic, _charset = r.u16(), r.u16(), r.u8(), r.u8()
        font = (points, r.sz())
    items = []
    for _ in range(count):
        r.align()
        r.u32()  # help id
        item_ex, item_style = r.u32(), r.u32()
        item_rect = (r.s16(), r.s16(), r.s16(), r.s16())
        item_id = r.u32()
        item_class = r.sz_or_ord()
        if isinstance(item_class, int):
            item_class = ATOMS.get(item_class, hex(item_class))
        text = r.sz_or_ord()
        extra = r.u16()
        r.pos += extra
        if item_id == 0xFFFFFFFF or item_id == 0xFFFF:
            item_id = -1
        items.append({"id": item_id, "class": item_class, "text": text, "rect": item_rect,
                      "style": item_style, "ex": item_ex})
    return {"ex": ex_style, "style": style, "rect": rect, "menu": menu, "class": klass, "caption": caption,
            "font": font, "items": items}


def check_control(where, want, got):
    problems = []
    cid, kind, text, rect, state = want
    klass, mask, value = KINDS[kind]
    if got["class"].lower() != klass.lower():
        problems.append(f"{where}: class {got['class']!r}, want {klass!r}")
    if got["text"] != text:
        problems.append(f"{where}: text {got['text']!r}, want {text!r}")
    if got["rect"] != rect:
        problems.append(f"{where}: rectangle {got['rect']}, want {rect}")
    if got["style"] & mask != value:
        problems.append(f"{where}: style {got['style']:#010x} is not a {kind}")
    visible = bool(got["style"] & WS_VISIBLE)
    disabled = bool(got["style"] & WS_DISABLED)
    if visible != (state != "hidden"):
        problems.append(f"{where}: {'visible' if visible else 'hidden'}, want {state or 'visible'}")
    if disabled != (state == "disabled"):
        problems.append(f"{where}: {'disabled' if disabled else 'enabled'}, want {state or 'enabled'}")
    return problems


def check_dialog(name, expected, language, dialog):
    problems = []
    if dialog is None:
        return [f"{name}: not an extended dialog template"]
    if expected["language"] is not None and language != expected["language"]:
        problems.append(f"{name}: language {language:#06x}, want {expected['language']:#06x}")
    if dialog["rect"][2:] != expected["size"]:
        problems.append(f"{name}: size {dialog['rect'][2:]}, want {expected['size']}")
    if dialog["caption"] != expected["caption"]:
        problems.append(f"{name}: caption {dialog['caption']!r}, want {expected['caption']!r}")
    if dialog["font"] != (8, "MS Sans Serif"):
        problems.append(f"{name}: font {dialog['font']}, want (8, 'MS Sans Serif')")
    if dialog["style"] & DIALOG_STYLE != DIALOG_STYLE:
        problems.append(f"{name}: style {dialog['style']:#010x} lacks {DIALOG_STYLE & ~dialog['style']:#010x}")
    if dialog["style"] & WS_SYSMENU:
        problems.append(f"{name}: has a system menu")
    if dialog["ex"] != WS_EX_STATICEDGE:
        problems.append(f"{name}: extended style {dialog['ex']:#010x}, want WS_EX_STATICEDGE")
    want, got = expected["controls"], dialog["items"]
    if len(got) != len(want):
        problems.append(f"{name}: {len(got)} controls, want {len(want)}")
    if expected["ordered"]:
        pairs = list(zip(want, got))
    else:
        pairs = []
        remaining = list(got)
        for w in want:
            match = next((g for g in remaining if g["id"] == w[0] and g["text"] == w[2]), None)
            if match is None:
                problems.append(f"{name}: no control {w[0]} {w[2]!r}")
                continue
            remaining.remove(match)
            pairs.append((w, match))
    for i, (w, g) in enumerate(pairs):
        where = f"{name} control {i} ({w[0]} {w[2]!r})"
        if g["id"] != w[0]:
            problems.append(f"{where}: id {g['id']}")
        problems += check_control(where, w, g)
    return problems


def check_res(data):
    resources = read_res(data)
    problems = []
    for name, expected in DIALOGS.items():
        found = [(lang, body) for t, n, lang, body in resources if t == 5 and n == name]
        if len(found) != 1:
            problems.append(f"{name}: {len(found)} dialog resources, want 1")
            continue
        problems += check_dialog(name, expected, found[0][0], read_dialog(found[0][1]))
    for bid, (w, h) in BITMAPS.items():
        found = [body for t, n, _lang, body in resources if t == 2 and n == bid]
        if len(found) != 1:
            problems.append(f"bitmap {bid}: {len(found)} resources, want 1")
            continue
        _size, width, height, _planes, bits = struct.unpack_from("<IiiHH", found[0], 0)
        if (width, abs(height), bits) != (w, h, 24):
            problems.append(f"bitmap {bid}: {width} x {abs(height)} at {bits} bits, want {w} x {h} at 24")
    return problems


def self_test(data):
    """Each planted fault must be reported."""
    assert check_res(data) == [], check_res(data)

    def planted(old, new):
        assert data.count(old) >= 1, old
        return data.replace(old, new, 1)

    utf16 = lambda s: s.encode("utf-16-le")
    faults = {
        "text": planted(utf16("slowndown"), utf16("slowdown ")),
        "caption": planted(utf16("Kestrix XP (Game"), utf16("Kestrix XQ (Game")),
        "rectangle": planted(struct.pack("<hhhh", 19, 212, 109, 10), struct.pack("<hhhh", 19, 212, 109, 11)),
    }
    for what, fault in faults.items():
        assert check_res(fault), f"planted {what} fault not reported"
    print("self-test: planted faults reported")


def main(argv):
    if len(argv) != 3:
        print(__doc__)
        return 2
    windres, rc, work = argv
    os.makedirs(work, exist_ok=True)
    res = os.path.join(work, "kestrixcfg_templates.res")
    cmd = [windres, "-I", os.path.dirname(os.path.abspath(rc)), "-O", "res", rc, res]
    done = subprocess.run(cmd, capture_output=True, text=True)
    if done.returncode != 0:
        print("resource compiler failed:\n" + done.stderr)
        return 1
    with open(res, "rb") as f:
        data = f.read()
    problems = check_res(data)
    for p in problems:
        print(p)
    if problems:
        return 1
    self_test(data)
    print("dialog templates match the dialog tables")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
