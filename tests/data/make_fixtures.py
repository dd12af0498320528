#!/usr/bin/env python3
"""Writes the workbook fixtures of the spreadsheet import tests.

Every fixture holds the same first worksheet, so one table of expected
cells serves them all:

    row 1:  12.5 (number)      7 (number)
    row 2:  "100,25" (text)    -3.75 (number)
    row 3:  0 (number)         empty
    row 4:  1234.5 (number)    "abc" (text)
    rows 5..20 empty

coords.ods carries a second worksheet whose A1 must never be read.
coords.xls is a minimal BIFF8 workbook in a compound file, written by hand
because no office suite is at hand. Only the standard library is used.

Run from anywhere: python3 make_fixtures.py  (writes beside this script).
"""

import os
import struct
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))

# (row, column) -> ("n", float) or ("s", text); 0-based
CELLS = {
    (0, 0): ("n", 12.5),
    (0, 1): ("n", 7.0),
    (1, 0): ("s", "100,25"),
    (1, 1): ("n", -3.75),
    (2, 0): ("n", 0.0),
    (3, 0): ("n", 1234.5),
    (3, 1): ("s", "abc"),
}
ROWS = 4


# ---- OpenDocument spreadsheet ----

def ods_cell(cell):
    if cell is None:
        return "<table:table-cell/>"
    kind, value = cell
    if kind == "n":
        shown = ("%g" % value).replace(".", ",")
        return ('<table:table-cell office:value-type="float" office:value="%r">'
                "<text:p>%s</text:p></table:table-cell>" % (value, shown))
    return ('<table:table-cell office:value-type="string"><text:p>%s</text:p>'
            "</table:table-cell>" % value)


def ods_table(name, rows):
    out = ['<table:table table:name="%s">' % name,
           '<table:table-column table:number-columns-repeated="2"/>']
    for row in rows:
        out.append("<table:table-row>" + "".join(ods_cell(c) for c in row) + "</table:table-row>")
    out.append("</table:table>")
    return "".join(out)


def write_ods(path):
    first = [[CELLS.get((r, c)) for c in range(2)] for r in range(ROWS)]
    second = [[("n", 999.0), ("n", 999.0)]]
    content = (
        '<?xml version="1.0" encoding="UTF-8"?>'
        '<office:document-content'
        ' xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"'
        ' xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"'
        ' xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"'
        ' office:version="1.2">'
        "<office:body><office:spreadsheet>"
        + ods_table("Лист1", first) + ods_table("Лист2", second) +
        "</office:spreadsheet></office:body></office:document-content>")
    manifest = (
        '<?xml version="1.0" encoding="UTF-8"?>'
        '<manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0"'
        ' manifest:version="1.2">'
        '<manifest:file-entry manifest:full-path="/"'
        ' manifest:media-type="application/vnd.oasis.opendocument.spreadsheet"/>'
        '<manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml"/>'
        "</manifest:manifest>")
    fixed_time = (2024, 1, 1, 0, 0, 0)
    with zipfile.ZipFile(path, "w") as z:
        # The mimetype entry comes first and uncompressed, as readers sniff it.
        z.writestr(zipfile.ZipInfo("mimetype", fixed_time),
                   "application/vnd.oasis.opendocument.spreadsheet",
                   compress_type=zipfile.ZIP_STORED)
        z.writestr(zipfile.ZipInfo("META-INF/manifest.xml", fixed_time), manifest,
                   compress_type=zipfile.ZIP_DEFLATED)
        z.writestr(zipfile.ZipInfo("content.xml", fixed_time), content,
                   compress_type=zipfile.ZIP_DEFLATED)


# ---- Legacy binary workbook (BIFF8 in a compound file) ----

def record(kind, data=b""):
    return struct.pack("<HH", kind, len(data)) + data


def bof(substream):
    # BIFF8, build and year of a common writer, no history flags.
    return record(0x0809, struct.pack("<HHHHII", 0x0600, substream, 0x0DBB, 0x07CC, 0, 6))


def biff_stream():
    texts = sorted({v for k, v in CELLS.values() if k == "s"})
    sst = struct.pack("<II", len(texts), len(texts))
    for t in texts:
        raw = t.encode("latin-1")
        sst += struct.pack("<HB", len(raw), 0) + raw

    sheet_name = b"Sheet1"

    def globals_part(sheet_offset):
        return (bof(0x0005)
                + record(0x0042, struct.pack("<H", 1200))  # CODEPAGE: UTF-16
                + record(0x0085, struct.pack("<IBBBB", sheet_offset, 0, 0, len(sheet_name), 0)
                         + sheet_name)  # BOUNDSHEET
                + record(0x00FC, sst)  # SST
                + record(0x000A))  # EOF

    sheet = bof(0x0010) + record(0x0200, struct.pack("<IIHHH", 0, ROWS, 0, 2, 0))  # DIMENSIONS
    for (r, c), (kind, value) in sorted(CELLS.items()):
        if kind == "n":
            sheet += record(0x0203, struct.pack("<HHHd", r, c, 0, value))  # NUMBER
        else:
            sheet += record(0x00FD, struct.pack("<HHHI", r, c, 0, texts.index(value)))  # LABELSST
    sheet += record(0x000A)

    head = globals_part(0)
    stream = globals_part(len(head)) + sheet
    # Streams under 4096 bytes would have to live in the mini stream; padding
    # keeps the container to plain sectors.
    if len(stream) < 4096:
        stream += b"\0" * (4096 - len(stream))
    return stream


def compound_file(stream):
    sector = 512
    end_of_chain, free, fat_sector = 0xFFFFFFFE, 0xFFFFFFFF, 0xFFFFFFFD
    stream_sectors = (len(stream) + sector - 1) // sector
    dir_sector = stream_sectors
    fat_index = stream_sectors + 1

    fat = list(range(1, stream_sectors)) + [end_of_chain]
    fat += [end_of_chain, fat_sector]
    fat += [free] * (sector // 4 - len(fat))

    def entry(name, kind, child, start, size):
        raw = (name + "\0").encode("utf-16-le") if name else b""
        return (raw.ljust(64, b"\0") + struct.pack("<HBB", len(raw), kind, 1)
                + struct.pack("<III", free, free, child) + b"\0" * 16 + struct.pack("<I", 0)
                + b"\0" * 16 + struct.pack("<IQ", start, size))

    directory = (entry("Root Entry", 5, 1, end_of_chain, 0)
                 + entry("Workbook", 2, free, 0, len(stream))
                 + entry("", 0, free, free, 0) * 2)

    header = (b"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + b"\0" * 16
              + struct.pack("<HHHHH", 0x003E, 0x0003, 0xFFFE, 9, 6) + b"\0" * 6
              + struct.pack("<IIIIIIIII", 0, 1, dir_sector, 0, 4096, end_of_chain, 0,
                            end_of_chain, 0)
              + struct.pack("<I", fat_index) + struct.pack("<I", free) * 108)
    assert len(header) == sector and len(directory) == sector

    body = stream.ljust(stream_sectors * sector, b"\0")
    return header + body + directory + struct.pack("<%dI" % (sector // 4), *fat)


def write_xls(path):
    with open(path, "wb") as f:
        f.write(compound_file(biff_stream()))


# ---- Text files ----

def write_csv(path, text):
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write(text)


if __name__ == "__main__":
    write_ods(os.path.join(HERE, "coords.ods"))
    write_xls(os.path.join(HERE, "coords.xls"))
    # As a Russian desktop writes it: ';' between cells, decimal commas.
    write_csv(os.path.join(HERE, "coords_semicolon.csv"),
              "12.5;7\n100,25;-3.75\n0;\n1234.5;abc\n")
    # Comma-separated with quotes and CRLF line ends.
    write_csv(os.path.join(HERE, "coords_comma.csv"),
              '12.5,7\r\n"100,25",-3.75\r\n0,\r\n1234.5,"abc"\r\n')
