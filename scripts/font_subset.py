#!/usr/bin/python3
"""Rebuilds ui/fonts/TarvokSong-Regular.otf and -Bold.otf: the Simplified Chinese faces
of Noto Serif CJK (SIL OFL 1.1) cut down to the characters our programs can show, under
a family name of our own, since the licence reserves the original names.

The characters are printable ASCII, every character inside a string literal of the
programs' sources, the window's translations (ui/translations/*.ts), and Qt's own
Chinese texts that the window shows (the contexts and source texts listed in
ui/fonts/qt_texts.txt, looked up in qtbase_zh_CN.qm).

Run through scripts/make_font_subset.sh, which installs what it needs first.
"""
import re
import struct
import sys
import xml.etree.ElementTree as ElementTree
from pathlib import Path

from fontTools import subset
from fontTools.ttLib import TTCollection

ROOT = Path(__file__).resolve().parent.parent
SOURCE_DIRS = ("app", "ui", "protocol", "serial", "plan", "cli", "sim", "cmdline", "bus", "form", "win")
QT_TEXTS = ROOT / "ui/fonts/qt_texts.txt"
QT_CATALOG = Path("/usr/share/qt6/translations/qtbase_zh_CN.qm")
NOTO = Path("/usr/share/fonts/opentype/noto")
FAMILY = "Tarvok Song"
STYLES = ("Regular", "Bold")

# Comments and character literals are matched too, so that a quote inside them does
# not start a string.
TOKEN = re.compile(r'//[^\n]*|/\*.*?\*/|\'(?:\\.|[^\'\\\n])*\'|"((?:\\.|[^"\\\n])*)"', re.S)


def literal_text():
    text = set()
    for folder in SOURCE_DIRS:
        for path in sorted((ROOT / folder).glob("**/*")):
            if path.suffix in (".cpp", ".h"):
                for match in TOKEN.finditer(path.read_text(encoding="utf-8")):
                    text.update(match.group(1) or "")
    return text


def translated_text():
    text = set()
    for path in sorted((ROOT / "ui/translations").glob("*.ts")):
        for element in ElementTree.parse(path).iter():
            if element.tag in ("translation", "numerusform"):
                text.update(element.text or "")
    return text


def qm_messages(data):
    """(context, source) -> first translation, from a Qt .qm catalogue."""
    if data[:16] != bytes.fromhex("3CB86418CAEF9C95CD211CBF60A1BDDD"):
        sys.exit(f"{QT_CATALOG} is not a Qt translation catalogue")
    pos, block = 16, b""
    while pos < len(data):
        tag, size = data[pos], struct.unpack(">I", data[pos + 1 : pos + 5])[0]
        if tag == 0x69:  # the messages block
            block = data[pos + 5 : pos + 5 + size]
        pos += 5 + size
    messages, current, pos = {}, {}, 0
    while pos < len(block):
        tag = block[pos]
        pos += 1
        if tag == 1:  # end of one message
            messages.setdefault((current.get(7, ""), current.get(6, "")), current.get(3, ""))
            current = {}
            continue
        size = struct.unpack(">I", block[pos : pos + 4])[0]
        pos += 4
        if tag in (5, 9) or size == 0xFFFFFFFF:  # obsolete fields, empty translation
            continue
        value = block[pos : pos + size]
        pos += size
        if tag not in current:
            current[tag] = value.decode("utf-16-be" if tag == 3 else "utf-8")
    return messages


def qt_text():
    messages = qm_messages(QT_CATALOG.read_bytes())
    text = set()
    for line in QT_TEXTS.read_text(encoding="utf-8").splitlines():
        if line and not line.startswith("#"):
            context, source = line.split("\t")
            translation = messages.get((context, source))
            if translation is None:
                sys.exit(f"qtbase_zh_CN.qm has no translation of {context} \"{source}\"")
            text.update(translation)
    return text


def simplified_chinese_face(style):
    collection = TTCollection(NOTO / f"NotoSerifCJK-{style}.ttc")
    for number, face in enumerate(collection.fonts):
        if face["name"].getDebugName(1) == "Noto Serif CJK SC":
            return NOTO / f"NotoSerifCJK-{style}.ttc", number
    sys.exit(f"NotoSerifCJK-{style}.ttc has no Simplified Chinese face")


def rename(font, style):
    postscript = f"{FAMILY.replace(' ', '')}-{style}"
    full = FAMILY if style == "Regular" else f"{FAMILY} {style}"
    names = font["name"]
    for record in list(names.names):
        if record.nameID in (1, 2, 3, 4, 6, 16, 17):
            names.removeNames(nameID=record.nameID)
    version = names.getDebugName(5) or ""
    names.removeNames(nameID=5)
    for name_id, value in (
        (1, FAMILY),
        (2, style),
        (3, f"{postscript};subset for Tarvok"),
        (4, full),
        (5, f"{version}; subset for Tarvok"),
        (6, postscript),
    ):
        names.setName(value, name_id, 3, 1, 0x409)
        names.setName(value, name_id, 1, 0, 0)
    cff = font["CFF "].cff
    cff.fontNames = [postscript]
    top = cff.topDictIndex[0]
    top.FullName, top.FamilyName = full, FAMILY
    for private in getattr(top, "FDArray", []):
        if hasattr(private, "FontName"):
            private.FontName = f"{postscript}-{private.FontName.rsplit('-', 1)[-1]}"


def main():
    text = set(chr(c) for c in range(0x20, 0x7F)) | literal_text() | translated_text() | qt_text()
    text = "".join(sorted(c for c in text if c >= " "))
    out_dir = ROOT / "ui/fonts"
    for style in STYLES:
        path, number = simplified_chinese_face(style)
        options = subset.Options()
        options.font_number = number
        options.name_IDs = ["*"]
        options.name_languages = ["*"]
        font = subset.load_font(str(path), options)
        subsetter = subset.Subsetter(options)
        subsetter.populate(text=text)
        subsetter.subset(font)
        rename(font, style)
        target = out_dir / f"TarvokSong-{style}.otf"
        subset.save_font(font, str(target), options)
        print(f"{target.relative_to(ROOT)}: {len(text)} characters, {target.stat().st_size} bytes")


if __name__ == "__main__":
    main()
