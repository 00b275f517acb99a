#!/usr/bin/env python3
"""Turns the help text (help/BRIMSAFEHELP.txt) into a WinHelp 3.1 file.

No help compiler exists where Brimsafe is built, so this writes the few parts
a viewer needs itself: the file header and the internal directory (a one-page
B+ tree), |SYSTEM with the title, |FONT with two fonts, |TOPIC with
uncompressed topic blocks, |CONTEXT (context strings by hash) and |CTXOMAP
(context numbers; number 1 is the contents).

Tricky points:
- Topic blocks are 4096 bytes, each starting with a 12-byte header; a topic
  position is (block << 14) + offset in the block, header included. A record
  never crosses a block: the rest of a block is left empty and the chain of
  "next" positions steps over it.
- A topic offset (what the context maps hold) is (block << 15) + the number of
  text characters of the block's display records before the topic.
- Topics form one browse sequence in their order, stepped with the browse
  buttons the file asks for when it opens.
- Text runs and formatting commands alternate: each zero-terminated run of the
  record's text is followed by one command (font, end of paragraph, end).
"""
import struct
import sys

BLOCK = 4096
HEADER = 12
NONE = 0xFFFFFFFF


def cstr(text):
    return text.encode("cp1252") + b"\0"


def compressed_ulong(value):
    if value < 0x8000:
        return struct.pack("<H", value * 2)
    return struct.pack("<I", value * 2 + 1)


def compressed_ushort(value):
    if value < 0x80:
        return struct.pack("<B", value * 2)
    return struct.pack("<H", value * 2 + 1)


def context_hash(name):
    """The viewer's hash of a context string."""
    value = 0
    for ch in name.upper():
        if "A" <= ch <= "Z":
            code = ord(ch) - ord("A") + 17
        elif "0" <= ch <= "9":
            code = ord(ch) - ord("0") + 6
        elif ch == ".":
            code = 12
        elif ch == "_":
            code = 13
        else:
            code = 0
        value = (value * 43 + code) & 0xFFFFFFFF
    return value


def parse(text):
    doc = {"title": "", "copyright": "", "topics": []}
    topic = None
    paragraph = []

    def close_paragraph():
        if topic is not None and paragraph:
            topic["paragraphs"].append(" ".join(paragraph))
        paragraph.clear()

    for line in text.splitlines():
        if line.startswith("#"):
            continue
        if topic is None and line.startswith("title:"):
            doc["title"] = line[6:].strip()
        elif topic is None and line.startswith("copyright:"):
            doc["copyright"] = line[10:].strip()
        elif line.startswith("== "):
            close_paragraph()
            head, title = line[3:].split("|", 1)
            number, context = head.split()
            topic = {"number": None if number == "-" else int(number), "context": context,
                     "title": title.strip(), "paragraphs": []}
            doc["topics"].append(topic)
        elif not line.strip():
            close_paragraph()
        else:
            paragraph.append(line.strip())
    close_paragraph()
    return doc


def display_record(paragraph_text, font):
    """LinkData1 and LinkData2 of one paragraph in one font; its character count."""
    runs = [b"", cstr(paragraph_text)[:-1], b""]
    data2 = b"".join(run + b"\0" for run in runs)
    commands = bytes([0x80]) + struct.pack("<H", font) + bytes([0x82, 0xFF])
    length = len(data2)
    info = b"\0" * 4 + struct.pack("<H", 0)  # paragraph: no spacing, indents, borders or tabs
    data1 = compressed_ulong(length) + compressed_ushort(length) + info + commands
    return data1, data2, length


def build_topic_file(doc):
    """The |TOPIC bytes, each topic's offset and the records' positions."""
    records = []  # (kind, data1, data2, characters, topic index)
    for index, topic in enumerate(doc["topics"]):
        records.append(("header", None, cstr(topic["title"]), 0, index))
        d1, d2, n = display_record(topic["title"], 1)
        records.append(("display", d1, d2, n, index))
        for paragraph in topic["paragraphs"]:
            d1, d2, n = display_record(paragraph, 0)
            records.append(("display", d1, d2, n, index))

    def size_of(record):
        kind, d1, d2, _, _ = record
        return 21 + (28 if kind == "header" else len(d1)) + len(d2)

    # Place the records: (block, offset) with the header included in the offset.
    positions, block, offset = [], 0, HEADER
    for record in records:
        size = size_of(record)
        if size > BLOCK - HEADER:
            raise SystemExit("a paragraph is too long for one topic block")
        if offset + size > BLOCK:
            block, offset = block + 1, HEADER
        positions.append((block, offset))
        offset += size
    pos = [(b << 14) + o for b, o in positions]
    end_pos = (block << 14) + offset

    # Topic offsets: block << 15 plus the characters of the block's earlier display records.
    topic_offsets, chars, current_block = {}, 0, 0
    for record, (b, _) in zip(records, positions):
        if b != current_block:
            current_block, chars = b, 0
        kind, _, _, n, index = record
        if kind == "header":
            topic_offsets.setdefault(index, (b << 15) + chars)
        else:
            chars += n

    count = len(doc["topics"])
    first_of_topic = {}
    for i, record in enumerate(records):
        first_of_topic.setdefault(record[4], i)

    blocks = [bytearray() for _ in range(block + 1)]
    last_header_in = {}
    for i, (record, (b, o)) in enumerate(zip(records, positions)):
        kind, d1, d2, _, index = record
        if kind == "header":
            last_header_in[b] = pos[i]
            topic_size = sum(size_of(r) for r in records if r[4] == index)
            next_topic = pos[first_of_topic[index + 1]] if index + 1 in first_of_topic else NONE
            # The browse sequence runs through the topics in their order.
            back = topic_offsets[index - 1] if index > 0 else NONE
            forward = topic_offsets[index + 1] if index + 1 < count else NONE
            d1 = struct.pack("<IIIiIII", topic_size, back, forward, index, NONE, pos[i + 1], next_topic)
        previous = pos[i - 1] if i > 0 else NONE
        following = pos[i + 1] if i + 1 < len(records) else end_pos
        link = struct.pack("<IIIII", 21 + len(d1) + len(d2), len(d2), previous, following, 21 + len(d1))
        link += bytes([2 if kind == "header" else 0x20]) + d1 + d2
        blocks[b] += link

    out = bytearray()
    last_link, last_header = NONE, NONE
    for b, data in enumerate(blocks):
        in_block = [p for p, (bb, _) in zip(pos, positions) if bb == b]
        last_header = last_header_in.get(b, last_header)
        head = struct.pack("<III", last_link, in_block[0] if in_block else NONE, last_header)
        body = head + bytes(data)
        if b + 1 < len(blocks):
            body += b"\0" * (BLOCK - len(body))
        out += body
        if in_block:
            last_link = in_block[-1]
    return bytes(out), topic_offsets


def system_file(doc):
    data = struct.pack("<HHHIH", 0x036C, 21, 1, 0, 0)
    # 1 the title, 2 the copyright, 4 a macro run at opening: the browse buttons.
    for kind, text in ((1, doc["title"]), (2, doc["copyright"]), (4, "BrowseButtons()")):
        value = cstr(text)
        data += struct.pack("<HH", kind, len(value)) + value
    return data


def font_file():
    faces = [b"Arial", b"Arial"]
    face_bytes = b"".join(face.ljust(20, b"\0") for face in faces)
    descriptors = b""
    for attributes, half_points, face in ((0, 20, 0), (1, 26, 1)):  # body 10 pt, headings 13 pt bold
        descriptors += struct.pack("<BBBH", attributes, half_points, 2, face) + bytes([0, 0, 0]) + bytes([255, 255, 255])
    header = struct.pack("<HHHH", len(faces), 2, 8, 8 + len(face_bytes))
    return header + face_bytes + descriptors


def btree(structure, page_size, entries):
    """A one-level B+ tree: its header and one leaf page holding the sorted entries."""
    body = b"".join(entries)
    free = page_size - 8 - len(body)
    if free < 0:
        raise SystemExit("the B+ tree needs more than one page")
    page = struct.pack("<HhhH", free, len(entries), -1, 0xFFFF) + body + b"\0" * free
    header = struct.pack("<HHH", 0x293B, 0x0402 if structure == b"z4" else 0x0002, page_size)
    header += structure.ljust(16, b"\0")
    header += struct.pack("<hhhhhhI", 0, 0, 0, -1, 1, 1, len(entries))
    return header + page


def context_file(doc, offsets):
    pairs = sorted((context_hash(t["context"]), offsets[i]) for i, t in enumerate(doc["topics"]))
    return btree(b"L4", 0x800, [struct.pack("<II", h, o) for h, o in pairs])


def ctxomap_file(doc, offsets):
    numbered = [(t["number"], offsets[i]) for i, t in enumerate(doc["topics"]) if t["number"] is not None]
    return struct.pack("<H", len(numbered)) + b"".join(struct.pack("<II", n, o) for n, o in numbered)


def internal(data):
    return struct.pack("<IIB", len(data) + 9, len(data), 4) + data


def write_help(doc):
    topic, offsets = build_topic_file(doc)
    files = {
        b"|CONTEXT": context_file(doc, offsets),
        b"|CTXOMAP": ctxomap_file(doc, offsets),
        b"|FONT": font_file(),
        b"|SYSTEM": system_file(doc),
        b"|TOPIC": topic,
    }
    out = bytearray(16)
    where = {}
    for name in sorted(files):
        where[name] = len(out)
        out += internal(files[name])
    directory_at = len(out)
    entries = [name + b"\0" + struct.pack("<I", where[name]) for name in sorted(files)]
    out += internal(btree(b"z4", 0x400, entries))
    out[0:16] = struct.pack("<IiiI", 0x00035F3F, directory_at, -1, len(out))
    return bytes(out)


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: hlpwriter.py <help text> <help file>")
    with open(sys.argv[1], encoding="utf-8") as source:
        doc = parse(source.read())
    if not doc["topics"] or doc["topics"][0]["number"] != 1:
        sys.exit("the first topic must be the contents, number 1")
    with open(sys.argv[2], "wb") as target:
        target.write(write_help(doc))


if __name__ == "__main__":
    main()
