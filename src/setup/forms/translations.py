#!/usr/bin/env python3
"""Writes each form's translation component MltLang1, with its translated texts.

    python3 translations.py       rewrites the MltLang1 block of every form below

A form's texts are translation items, one per text: the English as the form file
holds it in slot 0, the Dutch in slot 2, the other seven of nine slots empty (and
slot 2 empty where the Dutch is the English). Items.ObjectContainer holds them as
the item list stream: the items (each the class name "TCIStr" and its record),
then the language list, one identifier per slot. Run it after changing a text
below or a translated text of a form.
"""
import pathlib
import re
import struct

FORMS = pathlib.Path(__file__).resolve().parent

LG_ENGLISH, LG_GERMAN, LG_DUTCH, LG_FRENCH = 7, 10, 6, 9
RUSSIAN_LIST = [LG_ENGLISH, LG_GERMAN, LG_DUTCH, LG_FRENCH, 18, 4, 22, 5, 21]  # ... Polish, Czech, Slovak, Danish, Russian
SPANISH_LIST = [LG_ENGLISH, LG_GERMAN, LG_DUTCH, LG_FRENCH, 24, 19, 14, 15, 2]  # ... Spanish, Portuguese, Italian, Japanese, Chinese
SLOTS = 9
DUTCH_SLOT = 2
DICTIONARY = r"C:\Brisko\setup\default.dct"

# form file, language list, then (component, property, Dutch); the form itself is
# named by its instance name. The finish page stores no items: its showing would
# put the stored text back over the one the runs write into its label.
TRANSLATIONS = [
    ("TiiForm1.form", RUSSIAN_LIST, [
        ("iiForm1", "Caption", "Welkom bij het installatieprogramma"),
        ("Button3", "Caption", "Volgende>"),
    ]),
    ("TiiForm2.form", RUSSIAN_LIST, [
        ("iiForm2", "Caption", "Installatie afbreken"),
        ("Label1", "Caption",
         "U hebt het installatieprogramma van Brisko onderbroken. Als u nu stopt, is Brisko NIET "
         "ge\u00efnstalleerd.\r\nU kunt nu stoppen en Brisko later (opnieuw) installeren.\r\n"
         "Klik op \"Doorgaan\" om de installatie voort te zetten."),
        ("Button1", "Caption", "Doorgaan"),
        ("Button2", "Caption", "Afbreken"),
    ]),
    ("TiiForm3.form", RUSSIAN_LIST, [
        ("iiForm3", "Caption", "Installeren"),
        ("Label1", "Caption", "Schermtaal van Brisko"),
        ("Label2", "Caption", "Installeren in:"),
        ("Button2", "Caption", "Annuleren"),
        ("Button4", "Caption", "<Vorige"),
        ("Button3", "Caption", "Volgende>"),
    ]),
    ("TiiForm5.form", RUSSIAN_LIST, [
        ("iiForm5", "Caption", "Installeren"),
        ("GroupBox1", "Caption", "Snelkoppelingen"),
        ("CheckBox1", "Caption", "Op het bureaublad"),
        ("CheckBox2", "Caption", "In het menu Start"),
        ("CheckBox3", "Caption", "In Programma's"),
        ("Button2", "Caption", "Annuleren"),
        ("Button4", "Caption", "<Vorige"),
        ("Button3", "Caption", "Installeren"),
        ("Label1", "Caption", "Brisko wordt ge\u00efnstalleerd\r\nEven geduld..."),
    ]),
    ("TiiForm6.form", None, []),
    ("TiForm10.form", SPANISH_LIST, [
        ("iForm10", "Caption", "Map kiezen/maken"),
        ("Button2", "Caption", "Kiezen"),
        ("Button2", "Hint", "Gemarkeerde map gebruiken"),
        ("BitBtn1", "Caption", "Nieuw"),
        ("BitBtn1", "Hint", "Een nieuwe map maken"),
        ("Button3", "Caption", "Afbreken"),
        ("Button3", "Hint", "Kiezen van een map afbreken"),
    ]),
    ("TiForm11.form", RUSSIAN_LIST, [
        ("iForm11", "Caption", "Nieuwe map"),
        ("Label1", "Caption", "Huidige map"),
        ("Label3", "Caption", "Nieuw"),
        ("Button1", "Caption", "Help"),
        ("Button2", "Caption", "Cancel"),
    ]),
]

OBJECT = re.compile(r"^( *)object (\w+): (\w+)\s*$", re.M)
STRING_PIECE = re.compile(r"'((?:[^']|'')*)'|#(\d+)")


def counted(text: bytes) -> bytes:
    """A string as its length + 1, then the characters and a zero byte."""
    return struct.pack("<i", len(text) + 1) + (text + b"\0" if text else b"")


def element(class_name: bytes, record: bytes) -> bytes:
    return bytes([len(class_name)]) + class_name + record


def item(prop: str, comp_name: str, comp_index: int, texts: list) -> bytes:
    base = struct.pack("<ii", 100, 0) + counted(prop.encode()) + counted(comp_name.encode())
    base += struct.pack("<ii", comp_index, 1)
    own = struct.pack("<ii", 100, len(texts)) + b"".join(counted(t) for t in texts)
    return element(b"TCIStr", base + own)


def languages(ids: list) -> bytes:
    return struct.pack("<Bh", 1, len(ids)) + b"".join(element(b"TLngId", struct.pack("<i", i)) for i in ids)


def components(text: str) -> list:
    """The names of the form's components in the order the form reader makes them."""
    names = [m.group(2) for m in OBJECT.finditer(text)]
    return [n for n in names[1:] if n != "MltLang1"]


def stored_string(text: str, component: str, prop: str) -> bytes:
    """The value of a string property as the form file holds it, as bytes."""
    lines = text.split("\n")
    start = next(i for i, line in enumerate(lines) if (m := OBJECT.match(line)) and m.group(2) == component)
    indent = OBJECT.match(lines[start]).group(1) + "  "
    for i in range(start + 1, len(lines)):
        if lines[i].startswith(indent + "object ") or lines[i] == indent[:-2] + "end":
            break
        if lines[i].startswith(indent + prop + " ="):
            value = lines[i].split("=", 1)[1]
            # A long text goes on in the lines below, one level further in.
            for more in lines[i + 1:]:
                if not more.startswith(indent + "  ") or more.strip()[:1] not in ("'", "#"):
                    break
                value += more
            return b"".join(bytes([int(code)]) if code else quoted.replace("''", "'").encode("cp1252")
                            for quoted, code in STRING_PIECE.findall(value))
    raise SystemExit(f"{component}.{prop}: not in the form")


def store(form: str, ids: list, entries: list) -> bytes:
    text = (FORMS / form).read_text(encoding="cp1252")
    order = components(text)
    form_name = OBJECT.search(text).group(2)
    stream = struct.pack("<Bh", 1, len(entries))
    for component, prop, dutch in entries:
        english = stored_string(text, component, prop)
        translated = dutch.encode("cp1252")
        texts = [b""] * SLOTS
        texts[0] = english
        texts[DUTCH_SLOT] = b"" if translated == english else translated
        index = -1 if component == form_name else order.index(component)
        stream += item(prop, component, index, texts)
    return stream + languages(ids)


def hex_block(data: bytes, indent: str) -> str:
    lines = [data[i:i + 32].hex().upper() for i in range(0, len(data), 32)]
    return "{" + "".join("\n" + indent + "  " + line for line in lines) + "}"


def component_block(items: bytes) -> str:
    lines = ["  object MltLang1: TMltLang", "    ActiveLang = 0", "    ActiveLangById = lgENGLISH", "    MaxLang = 9"]
    if items:
        lines.append("    Items.ObjectContainer = " + hex_block(items, "    "))
    lines += ["    DefDictionary = '" + DICTIONARY + "'", "    LangId = lgENGLISH", "  end"]
    return "\n".join(lines) + "\n"


def write(form: str, ids: list, entries: list) -> None:
    path = FORMS / form
    text = path.read_text(encoding="cp1252")
    block = component_block(store(form, ids, entries) if entries else b"")
    old = re.compile(r"^  object MltLang1: TMltLang\n.*?^  end\n", re.M | re.S)
    if old.search(text):
        text = old.sub(lambda _: block, text)
    else:
        end = text.rstrip().rfind("\nend")
        text = text[:end + 1] + block + text[end + 1:]
    path.write_text(text, encoding="cp1252", newline="\n")


for entry in TRANSLATIONS:
    write(*entry)
