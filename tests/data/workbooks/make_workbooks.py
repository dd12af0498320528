#!/usr/bin/env python3
"""The Python half of make_workbooks.sh: the workbooks written by Python
libraries, the hand-made ones, the text files, and the examination that proves
each file still carries the trait it is kept for.

    make_workbooks.py write DIR    write the Python-made files into DIR
    make_workbooks.py check DIR    examine every file in DIR, print a table,
                                   exit 1 when a trait is missing

Needs the Debian packages python3-openpyxl, python3-xlsxwriter, python3-xlwt
and python3-odf (use /usr/bin/python3, which sees them).
"""

import os
import re
import sys
import zipfile

# Corner i is row i; at most two decimals, so the field texts are exact.
X = [1234.56, 1250.5, 1301.75, 1288.03, 1240.1, -15.25]
Y = [7890.12, 7901.25, 7850.01, 7799.99, 7801.4, 7830.5]

# The worksheet behind the coordinate one; a reader that takes it instead
# of the first would find 999 in A1 and B1.
SECOND = "Second"

# The coordinate sheet of the files that can name it; not "Sheet1", so a
# reader that looks the first sheet up by a default name goes astray.
CORNERS_SHEET = "Участок"


def comma(v):
    return repr(v).replace(".", ",")


# ---- Python libraries ----

def write_openpyxl(path):
    import openpyxl
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = CORNERS_SHEET
    for i, (x, y) in enumerate(zip(X, Y), start=1):
        ws.cell(row=i, column=1, value=x)
        ws.cell(row=i, column=2, value=y)
    second = wb.create_sheet(SECOND)
    second["A1"] = 999
    second["B1"] = 999
    wb.save(path)


def write_text_numbers(path):
    import openpyxl
    wb = openpyxl.Workbook()
    ws = wb.active
    for i, (x, y) in enumerate(zip(X, Y), start=1):
        ws.cell(row=i, column=1, value=x)
        ws.cell(row=i, column=2, value=y)
    # Texts as a user pastes them from a document: decimal comma or point,
    # a leading blank, a blank or a no-break space between digit groups.
    ws["A1"] = "1234,56"
    ws["B1"] = "7890.12"
    ws["A2"] = " 1 250,50"
    ws["A3"] = "1\u00a0301,75"
    second = wb.create_sheet(SECOND)
    second["A1"] = 999
    second["B1"] = 999
    wb.save(path)


def write_error_cell(path):
    import openpyxl
    wb = openpyxl.Workbook()
    ws = wb.active
    for i, (x, y) in enumerate(zip(X, Y), start=1):
        ws.cell(row=i, column=1, value=x)
        ws.cell(row=i, column=2, value=y)
    # openpyxl stores a known error code as an error cell (t="e").
    ws["B3"] = "#DIV/0!"
    wb.save(path)


def write_error_formula(path):
    import xlsxwriter
    wb = xlsxwriter.Workbook(path)
    ws = wb.add_worksheet()
    for i, (x, y) in enumerate(zip(X, Y)):
        ws.write_number(i, 0, x)
        ws.write_number(i, 1, y)
    # As a spreadsheet program saves =1/0: the formula with its cached error.
    ws.write_formula("B3", "=1/0", None, "#DIV/0!")
    wb.close()


def write_xlsxwriter(path):
    import xlsxwriter
    wb = xlsxwriter.Workbook(path)
    ws = wb.add_worksheet()  # keeps the default name "Sheet1"
    for i, (x, y) in enumerate(zip(X, Y)):
        ws.write_number(i, 0, x)
        ws.write_number(i, 1, y)
    second = wb.add_worksheet(SECOND)
    second.write_number(0, 0, 999)
    second.write_number(0, 1, 999)
    wb.close()


# ---- Tables laid out by hand: a header row, blank rows ----

def write_header_openpyxl(path, corners=None, blank_after=3):
    """A header "X", "Y" in row 1, the corners below it, and one blank row
    after corner `blank_after` (0: none), as a user lays a table out."""
    import openpyxl
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = CORNERS_SHEET
    ws["A1"] = "X"
    ws["B1"] = "Y"
    row = 2
    for i, (x, y) in enumerate(corners or list(zip(X, Y)), start=1):
        ws.cell(row=row, column=1, value=x)
        ws.cell(row=row, column=2, value=y)
        row += 2 if i == blank_after else 1
    second = wb.create_sheet(SECOND)
    second["A1"] = 999
    second["B1"] = 999
    wb.save(path)


def write_header_xlsxwriter(path):
    """The layout pandas' DataFrame.to_excel(index=False) writes through
    XlsxWriter: a bold, bordered header row, the values below it."""
    import xlsxwriter
    wb = xlsxwriter.Workbook(path)
    ws = wb.add_worksheet()
    head = wb.add_format({"bold": True, "border": 1, "align": "center"})
    ws.write_string(0, 0, "X", head)
    ws.write_string(0, 1, "Y", head)
    for i, (x, y) in enumerate(zip(X, Y), start=1):
        ws.write_number(i, 0, x)
        ws.write_number(i, 1, y)
    second = wb.add_worksheet(SECOND)
    second.write_number(0, 0, 999)
    second.write_number(0, 1, 999)
    wb.close()


def write_xlwt(path):
    import xlwt
    wb = xlwt.Workbook()
    ws = wb.add_sheet("Coords")
    for i, (x, y) in enumerate(zip(X, Y)):
        ws.write(i, 0, x)
        ws.write(i, 1, y)
    second = wb.add_sheet(SECOND)
    second.write(0, 0, 999)
    second.write(0, 1, 999)
    wb.save(path)


def write_odfpy(path):
    from odf.opendocument import OpenDocumentSpreadsheet
    from odf.table import Table, TableColumn, TableRow, TableCell
    from odf.text import P

    doc = OpenDocumentSpreadsheet()

    def sheet(name, rows):
        table = Table(name=name)
        table.addElement(TableColumn(numbercolumnsrepeated=2))
        for row in rows:
            tr = TableRow()
            for v in row:
                cell = TableCell(valuetype="float", value=repr(v))
                cell.addElement(P(text=repr(v)))
                tr.addElement(cell)
            table.addElement(tr)
        doc.spreadsheet.addElement(table)

    sheet(CORNERS_SHEET, list(zip(X, Y)))
    sheet(SECOND, [(999, 999)])
    doc.save(path)


# ---- by hand ----

NS_MAIN = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
NS_REL = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
NS_PKG = "http://schemas.openxmlformats.org/package/2006/relationships"
REL_TYPE = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
CT = "application/vnd.openxmlformats-officedocument.spreadsheetml."
HEAD = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'


def write_handmade(path):
    # The part names run against the sheet order: the coordinate sheet is
    # sheet2.xml behind rId2, listed first in workbook.xml but stored last
    # in the zip; "Second" is sheet1.xml behind rId1. Every part name and
    # target is absolute.
    content_types = (
        HEAD + '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
        '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
        '<Default Extension="xml" ContentType="application/xml"/>'
        '<Override PartName="/xl/workbook.xml" ContentType="' + CT + 'sheet.main+xml"/>'
        '<Override PartName="/xl/worksheets/sheet1.xml" ContentType="' + CT + 'worksheet+xml"/>'
        '<Override PartName="/xl/worksheets/sheet2.xml" ContentType="' + CT + 'worksheet+xml"/>'
        '<Override PartName="/xl/sharedStrings.xml" ContentType="' + CT + 'sharedStrings+xml"/>'
        '<Override PartName="/xl/styles.xml" ContentType="' + CT + 'styles+xml"/>'
        '</Types>')
    root_rels = (
        HEAD + '<Relationships xmlns="' + NS_PKG + '">'
        '<Relationship Id="rId1" Type="' + REL_TYPE + 'officeDocument" Target="/xl/workbook.xml"/>'
        '</Relationships>')
    workbook = (
        HEAD + '<workbook xmlns="' + NS_MAIN + '" xmlns:r="' + NS_REL + '"><sheets>'
        '<sheet name="Углы" sheetId="2" r:id="rId2"/>'
        '<sheet name="' + SECOND + '" sheetId="1" r:id="rId1"/>'
        '</sheets></workbook>')
    workbook_rels = (
        HEAD + '<Relationships xmlns="' + NS_PKG + '">'
        '<Relationship Id="rId1" Type="' + REL_TYPE + 'worksheet" Target="/xl/worksheets/sheet1.xml"/>'
        '<Relationship Id="rId2" Type="' + REL_TYPE + 'worksheet" Target="/xl/worksheets/sheet2.xml"/>'
        '<Relationship Id="rId3" Type="' + REL_TYPE + 'sharedStrings" Target="/xl/sharedStrings.xml"/>'
        '<Relationship Id="rId4" Type="' + REL_TYPE + 'styles" Target="/xl/styles.xml"/>'
        '</Relationships>')
    styles = (
        HEAD + '<styleSheet xmlns="' + NS_MAIN + '">'
        '<fonts count="2"><font><sz val="11"/><name val="Calibri"/></font>'
        '<font><b/><sz val="11"/><name val="Calibri"/></font></fonts>'
        '<fills count="1"><fill><patternFill patternType="none"/></fill></fills>'
        '<borders count="1"><border><left/><right/><top/><bottom/><diagonal/></border></borders>'
        '<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>'
        '<cellXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/></cellXfs>'
        '</styleSheet>')
    shared = (
        HEAD + '<sst xmlns="' + NS_MAIN + '" count="2" uniqueCount="2">'
        '<si><t>1250.5</t></si>'
        '<si><r><t>78</t></r><r><rPr><b/></rPr><t>50.01</t></r></si>'
        '</sst>')

    def sheet(rows):
        return (HEAD + '<worksheet xmlns="' + NS_MAIN + '" xmlns:r="' + NS_REL + '"><sheetData>'
                + "".join('<row r="%d">%s</row>' % (i, cells) for i, cells in rows)
                + '</sheetData></worksheet>')

    corners = sheet([
        (1, '<c r="A1" t="inlineStr"><is><r><t>12</t></r><r><rPr><b/></rPr><t>34.56</t></r></is></c>'
            '<c r="B1" t="n"><v>7890.12</v></c>'),
        (2, '<c r="A2" t="s"><v>0</v></c>'
            '<c r="B2" t="inlineStr"><is><t>7901.25</t></is></c>'),
        (3, '<c r="A3"><v>1301.75</v></c>'
            '<c r="B3" t="s"><v>1</v></c>'),
        (4, '<c r="A4" t="n"><v>1288.03</v></c>'
            '<c r="B4"><v>7799.99</v></c>'),
        (5, '<c r="A5"><f>1240.1*1</f><v>1240.1</v></c>'
            '<c r="B5" t="n"><v>7801.4</v></c>'),
        (6, '<c r="A6"><v>-15.25</v></c>'
            '<c r="B6" t="inlineStr"><is><t>7830.5</t></is></c>'),
    ])
    second = sheet([(1, '<c r="A1"><v>999</v></c><c r="B1"><v>999</v></c>')])

    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("[Content_Types].xml", content_types)
        z.writestr("_rels/.rels", root_rels)
        z.writestr("xl/workbook.xml", workbook)
        z.writestr("xl/_rels/workbook.xml.rels", workbook_rels)
        z.writestr("xl/styles.xml", styles)
        z.writestr("xl/sharedStrings.xml", shared)
        z.writestr("xl/worksheets/sheet1.xml", second)
        z.writestr("xl/worksheets/sheet2.xml", corners)


# ---- text files ----

def write_text(path, text, encoding, newline):
    with open(path, "wb") as f:
        f.write(text.replace("\n", newline).encode(encoding))


def write_csvs(out):
    rows = list(zip(X, Y))
    write_text(os.path.join(out, "comma.csv"),
               "".join("%r,%r\n" % r for r in rows), "utf-8", "\n")
    write_text(os.path.join(out, "semicolon_decimal_comma.csv"),
               "".join("%s;%s\n" % (comma(x), comma(y)) for x, y in rows), "utf-8", "\r\n")
    # A title in column C of the first row, as a user labels a plot.
    lines = ["%r;%r" % r for r in rows]
    lines[0] += ";Участок №1"
    write_text(os.path.join(out, "bom.csv"), "".join(l + "\n" for l in lines), "utf-8-sig", "\r\n")
    write_text(os.path.join(out, "cp1251.csv"),
               "".join("%s;%s;угол\n" % (comma(x), comma(y)) for x, y in rows), "cp1251", "\r\n")
    # LibreOffice's "Text CSV" in a Russian locale: comma-separated, every
    # text quoted, and a number with a decimal comma is quoted too.
    write_text(os.path.join(out, "header_libreoffice.csv"),
               '"X","Y"\n' + "".join('"%s","%s"\n' % (comma(x), comma(y)) for x, y in rows),
               "utf-8", "\n")


def write_all(out):
    write_openpyxl(os.path.join(out, "openpyxl.xlsx"))
    write_text_numbers(os.path.join(out, "text_numbers.xlsx"))
    write_error_cell(os.path.join(out, "error_cell.xlsx"))
    write_error_formula(os.path.join(out, "error_formula.xlsx"))
    write_xlsxwriter(os.path.join(out, "xlsxwriter.xlsx"))
    write_xlwt(os.path.join(out, "xlwt.xls"))
    write_odfpy(os.path.join(out, "odfpy.ods"))
    write_handmade(os.path.join(out, "handmade.xlsx"))
    write_header_openpyxl(os.path.join(out, "header_openpyxl.xlsx"))
    write_header_xlsxwriter(os.path.join(out, "header_xlsxwriter.xlsx"))
    # Twenty-one corners under a header: one more than the program takes.
    write_header_openpyxl(os.path.join(out, "too_many_rows.xlsx"),
                          [(float(i), float(i % 5)) for i in range(1, 22)], 0)
    write_csvs(out)


# ---- examination ----

def zip_text(path, name):
    with zipfile.ZipFile(path) as z:
        return z.read(name).decode("utf-8")


M = "{%s}" % NS_MAIN


def first_sheet_part(path):
    """The worksheet part of the first sheet in workbook order, followed
    through the relationships (absolute or relative targets)."""
    import xml.etree.ElementTree as ET
    wb = ET.fromstring(zip_text(path, "xl/workbook.xml"))
    sheets = wb.find(M + "sheets")
    names = [s.get("name") for s in sheets]
    rid = sheets[0].get("{%s}id" % NS_REL)
    rels = ET.fromstring(zip_text(path, "xl/_rels/workbook.xml.rels"))
    targets = {r.get("Id"): r.get("Target") for r in rels}
    target = targets[rid]
    part = target.lstrip("/") if target.startswith("/") else "xl/" + target
    return names, part, targets


def xlsx_cells(path, part):
    """Cells A1..B6 of a worksheet part: ("n", float), ("s", text) or
    ("e", error text); a formula cell gives its cached value."""
    import xml.etree.ElementTree as ET
    with zipfile.ZipFile(path) as z:
        shared = []
        if "xl/sharedStrings.xml" in z.namelist():
            for si in ET.fromstring(z.read("xl/sharedStrings.xml")):
                # a plain <t> or the runs' texts; phonetic hints (rPh) are no part of it
                parts = si.findall(M + "t") + si.findall(M + "r/" + M + "t")
                shared.append("".join(t.text or "" for t in parts))
        sheet = ET.fromstring(z.read(part))
    out = {}
    for c in sheet.iter(M + "c"):
        ref, kind = c.get("r"), c.get("t", "n")
        v = c.find(M + "v")
        if kind == "inlineStr":
            out[ref] = ("s", "".join(t.text or "" for t in c.find(M + "is").iter(M + "t")))
        elif kind == "s":
            out[ref] = ("s", shared[int(v.text)])
        elif kind in ("str", "e"):
            out[ref] = (kind if kind == "e" else "s", v.text)
        else:
            out[ref] = ("n", float(v.text))
    return out


def cfb_stream(path, wanted):
    """One stream of a compound file (the container of a legacy .xls)."""
    import struct
    data = open(path, "rb").read()
    assert data[:8] == bytes.fromhex("d0cf11e0a1b11ae1"), "not a compound file"
    ssz = 1 << struct.unpack_from("<H", data, 30)[0]
    mssz = 1 << struct.unpack_from("<H", data, 32)[0]
    nfat, dir_start, _, cutoff, mini_start, _, _, _ = struct.unpack_from("<8I", data, 44)
    sector = lambda i: data[(i + 1) * ssz:(i + 2) * ssz]
    difat = [v for v in struct.unpack_from("<109I", data, 76)][:nfat]
    fat = []
    for sec in difat:
        fat += struct.unpack("<%dI" % (ssz // 4), sector(sec))

    def chain(first, table, read):
        out, i = b"", first
        while i < 0xFFFFFFFA:
            out += read(i)
            i = table[i]
        return out

    directory = chain(dir_start, fat, sector)
    entries = {}
    for off in range(0, len(directory), 128):
        e = directory[off:off + 128]
        n = struct.unpack_from("<H", e, 64)[0]
        if n:
            entries[e[:n - 2].decode("utf-16-le")] = struct.unpack_from("<II", e, 116)
    root_first, _ = entries["Root Entry"]
    first, size = entries[wanted]
    if size >= cutoff:
        return chain(first, fat, sector)[:size]
    mini_fat_bytes = chain(mini_start, fat, sector)
    mini_fat = struct.unpack("<%dI" % (len(mini_fat_bytes) // 4), mini_fat_bytes)
    mini = chain(root_first, fat, sector)
    return chain(first, mini_fat, lambda i: mini[i * mssz:(i + 1) * mssz])[:size]


def rk_value(rk):
    import struct
    if rk & 2:
        v = float((rk >> 2) - (1 << 30) if rk & 0x80000000 else rk >> 2)
    else:
        v = struct.unpack("<d", struct.pack("<Q", (rk & 0xFFFFFFFC) << 32))[0]
    return v / 100 if rk & 1 else v


def biff_first_sheet(path):
    """Sheet names and the cells of the first worksheet: (row, col) ->
    (number or None, record kind: NUMBER, RK, RK/100 (the scaled form),
    MULRK, MULRK/100, LABELSST, LABEL, FORMULA)."""
    import struct
    stream = cfb_stream(path, "Workbook")
    records, pos = [], 0
    while pos + 4 <= len(stream):
        rid, size = struct.unpack_from("<HH", stream, pos)
        records.append((pos, rid, stream[pos + 4:pos + 4 + size]))
        pos += 4 + size
    names, offsets = [], []
    for _, rid, body in records:
        if rid == 0x85:
            n, opt = body[6], body[7]
            names.append(body[8:8 + n * 2].decode("utf-16-le") if opt & 1
                         else body[8:8 + n].decode("latin-1"))
            offsets.append(struct.unpack_from("<I", body)[0])
    cells, started = {}, False
    for pos, rid, body in records:
        started |= pos == offsets[0]
        if not started:
            continue
        if rid == 0x0A:  # EOF of the first worksheet
            break
        if rid == 0x203:
            r, c = struct.unpack_from("<HH", body)
            cells[(r, c)] = (struct.unpack_from("<d", body, 6)[0], "NUMBER")
        elif rid == 0x27E:
            r, c = struct.unpack_from("<HH", body)
            rk = struct.unpack_from("<I", body, 6)[0]
            cells[(r, c)] = (rk_value(rk), "RK/100" if rk & 1 else "RK")
        elif rid == 0xBD:
            r, c = struct.unpack_from("<HH", body)
            for k in range((len(body) - 6) // 6):
                rk = struct.unpack_from("<I", body, 4 + k * 6 + 2)[0]
                cells[(r, c + k)] = (rk_value(rk), "MULRK/100" if rk & 1 else "MULRK")
        elif rid in (0xFD, 0x204, 0x06):
            r, c = struct.unpack_from("<HH", body)
            cells[(r, c)] = (None, {0xFD: "LABELSST", 0x204: "LABEL", 0x06: "FORMULA"}[rid])
    return names, cells


def tool_version(cmd):
    import subprocess
    try:
        out = subprocess.run(cmd, capture_output=True, text=True, timeout=120).stdout
        return out.splitlines()[0].strip() if out else "?"
    except (OSError, subprocess.SubprocessError):
        return "?"


def standard(overrides=None):
    cells = {}
    for i, (x, y) in enumerate(zip(X, Y), start=1):
        cells["A%d" % i] = ("n", x)
        cells["B%d" % i] = ("n", y)
    cells.update(overrides or {})
    return cells


def check(out):
    """Prints file, size, writer and the trait each file is kept for, with
    the cells A1..B6 of its first sheet compared to the intended ones."""
    import importlib
    rows, ok = [], True
    p = lambda n: os.path.join(out, n)
    ver = lambda mod, attr="__version__": getattr(importlib.import_module(mod), attr, "?")

    def row(name, writer, trait, good):
        nonlocal ok
        ok &= bool(good)
        rows.append((name, os.path.getsize(p(name)), writer, ("ok   " if good else "FAIL ") + trait))

    libre = " ".join(tool_version(["soffice", "--version"]).split()[:2])
    gnumeric = "Gnumeric ssconvert " + tool_version(["ssconvert", "--version"]).split()[-1].strip("'")
    libxlsx = "libxlsxwriter " + tool_version(
        ["dpkg-query", "-W", "-f", "${Version}\n", "libxlsxwriter-dev"])

    xlsx = {
        "libreoffice.xlsx": (libre, standard(), "numbers only"),
        "gnumeric.xlsx": (gnumeric, standard(), "numbers with up to 21 significant digits"),
        "openpyxl.xlsx": ("openpyxl " + ver("openpyxl"), standard(), "absolute sheet targets"),
        "xlsxwriter.xlsx": ("XlsxWriter " + ver("xlsxwriter"), standard(), "numbers only"),
        "libxlsxwriter.xlsx": (libxlsx, standard(), "numbers only"),
        "libxlsxwriter_constant_memory.xlsx": (
            libxlsx + " constant_memory",
            standard({"A2": ("s", "1250,5"), "A4": ("s", "1288.03")}),
            "A2, A4 inline strings, no shared string table"),
        "handmade.xlsx": (
            "Python zipfile, by hand",
            standard({"A1": ("s", "1234.56"), "A2": ("s", "1250.5"), "B2": ("s", "7901.25"),
                      "B3": ("s", "7850.01"), "B6": ("s", "7830.5")}),
            "absolute names everywhere, mixed cell kinds, first sheet stored last"),
        "text_numbers.xlsx": (
            "openpyxl " + ver("openpyxl"),
            standard({"A1": ("s", "1234,56"), "B1": ("s", "7890.12"),
                      "A2": ("s", " 1 250,50"), "A3": ("s", "1\u00a0301,75")}),
            "numbers as inline texts"),
        "error_cell.xlsx": ("openpyxl " + ver("openpyxl"),
                            standard({"B3": ("e", "#DIV/0!")}), "B3 error cell"),
        "error_formula.xlsx": ("XlsxWriter " + ver("xlsxwriter"),
                               standard({"B3": ("e", "#DIV/0!")}), "B3 =1/0 with cached error"),
    }
    def moved(blank_after):
        cells = {"A1": ("s", "X"), "B1": ("s", "Y")}
        for i, (x, y) in enumerate(zip(X, Y), start=1):
            r = i + 1 + (1 if blank_after and i > blank_after else 0)
            cells["A%d" % r] = ("n", x)
            cells["B%d" % r] = ("n", y)
        return cells

    xlsx.update({
        "header_openpyxl.xlsx": ("openpyxl " + ver("openpyxl"), moved(3),
                                 "header X, Y in row 1, blank row 5"),
        "header_xlsxwriter.xlsx": ("XlsxWriter " + ver("xlsxwriter"), moved(0),
                                   "bold header X, Y in row 1, as pandas writes it"),
        "too_many_rows.xlsx": ("openpyxl " + ver("openpyxl"),
                               {"A1": ("s", "X"), "A22": ("n", 21.0), "B22": ("n", 1.0)},
                               "header and 21 corners"),
    })
    for name, (writer, expected, trait) in xlsx.items():
        sheets, part, targets = first_sheet_part(p(name))
        cells = xlsx_cells(p(name), part)
        same = all(cells.get(k) == v for k, v in expected.items())
        absolute = sorted(t for t in targets.values() if t.startswith("/"))
        with zipfile.ZipFile(p(name)) as z:
            order = z.namelist()
            xml = z.read(part).decode("utf-8")
            root = z.read("_rels/.rels").decode("utf-8")
            has_sst = "xl/sharedStrings.xml" in order
        facts = "sheets %s; cells as intended %s; absolute targets %s" % (sheets, same, absolute)
        good = same and (sheets[1:] == [SECOND] or name.startswith("error_"))
        if name == "header_openpyxl.xlsx":
            good &= "A5" not in cells and "B5" not in cells  # the blank row
        if name == "openpyxl.xlsx" or name == "text_numbers.xlsx":
            good &= "/xl/worksheets/sheet1.xml" in absolute
        if name == "gnumeric.xlsx":
            long_digits = re.findall(r"<v>(\d+\.\d{15,})</v>", xml)
            facts += "; long numbers %s" % long_digits[:2]
            good &= bool(long_digits)
        if name == "libxlsxwriter_constant_memory.xlsx":
            good &= not has_sst and xml.count('t="inlineStr"') == 2
            facts += "; inline strings %d, shared string table %s" % (
                xml.count('t="inlineStr"'), has_sst)
        if name == "handmade.xlsx":
            good &= ('Target="/xl/workbook.xml"' in root and len(absolute) == 4
                     and part == "xl/worksheets/sheet2.xml" and order[-1] == part
                     and "<is><r>" in xml and "<f>1240.1*1</f><v>1240.1</v>" in xml
                     and 't="n"' in xml)
            facts += "; first sheet part %s stored last of %s" % (part, order)
        if name.startswith("error_"):
            b3 = re.search(r'<c r="B3"[^>]*>.*?</c>', xml).group(0)
            good &= 't="e"' in b3 and ("<f>" in b3) == (name == "error_formula.xlsx")
            facts += "; %s" % b3
        if name == "text_numbers.xlsx":
            good &= xml.count('t="inlineStr"') == 4 and "&#160;" in xml
        row(name, writer, trait + ": " + facts, good)

    for name, writer in [("libreoffice.ods", libre),
                         ("odfpy.ods", "odfpy " + ver("odf.namespaces", "__version__"))]:
        content = zip_text(p(name), "content.xml")
        generator = re.search(r"<meta:generator>([^<]*)<", zip_text(p(name), "meta.xml"))
        first = content[content.index("<table:table "):content.index("</table:table>")]
        values = [float(v) for v in re.findall(r'office:value="([^"]*)"', first)]
        floats = len(re.findall(r'office:value-type="float"', first))
        same = values == [v for xy in zip(X, Y) for v in xy] and floats == 12
        row(name, writer, "12 float cells with office:value %s; generator %s; sheets %s"
            % (same, generator.group(1) if generator else "?",
               re.findall(r'<table:table\b[^>]*\btable:name="([^"]+)"', content)), same)

    for name, writer in [("libreoffice.xls", libre), ("gnumeric.xls", gnumeric),
                         ("xlwt.xls", "xlwt " + ver("xlwt", "__VERSION__"))]:
        names, cells = biff_first_sheet(p(name))
        same = all(cells.get((r, 0), (None,))[0] == x and cells.get((r, 1), (None,))[0] == y
                   for r, (x, y) in enumerate(zip(X, Y)))
        kinds = sorted({k for _, k in cells.values()})
        row(name, writer, "BIFF8; sheets %s; numbers as intended %s; records %s"
            % (names, same, kinds), same and names[1:] == [SECOND])

    for name, encoding in [("comma.csv", "utf-8"), ("semicolon_decimal_comma.csv", "utf-8"),
                           ("bom.csv", "utf-8"), ("cp1251.csv", "cp1251"),
                           ("header_libreoffice.csv", "utf-8")]:
        raw = open(p(name), "rb").read()
        bom = raw.startswith(b"\xef\xbb\xbf")
        text = raw.decode(encoding)
        try:
            raw.decode("utf-8")
            utf8 = True
        except UnicodeDecodeError:
            utf8 = False
        crlf = b"\r\n" in raw
        good = {"comma.csv": not bom and not crlf and "1234.56,7890.12\n" in text,
                "semicolon_decimal_comma.csv": not bom and "1234,56;7890,12\r\n" in text,
                "bom.csv": bom and "Участок №1" in text,
                "cp1251.csv": not utf8 and not bom and text.count("угол") == 6,
                "header_libreoffice.csv": text.startswith('"X","Y"\n')
                and '"1234,56","7890,12"\n' in text}[name]
        row(name, "Python, by hand", "BOM %s; valid UTF-8 %s; CRLF %s; first line %r"
            % (bom, utf8, crlf, text.lstrip("\ufeff").splitlines()[0]), good)

    width = max(len(r[0]) for r in rows)
    for name, size, writer, trait in rows:
        print("%-*s %6d  %s\n%*s %s" % (width, name, size, writer, width + 8, "", trait))
    return ok


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] not in ("write", "check"):
        sys.exit(__doc__)
    if sys.argv[1] == "write":
        write_all(sys.argv[2])
    else:
        sys.exit(0 if check(sys.argv[2]) else 1)
