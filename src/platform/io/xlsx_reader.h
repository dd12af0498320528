// Reads the cells of the coordinate table (columns A and B of the first
// kSpreadsheetRowsRead rows of the first worksheet) from an Office Open XML workbook (.xlsx) held in memory.
//
// Workbooks come from many writers, and each uses a different corner of the
// packaging rules, so the reader follows the package's relationships rather
// than assuming part names:
//  - the workbook part is the target of the package's officeDocument
//    relationship, the first worksheet the target of the first <sheet> of
//    the workbook, the shared strings the workbook's sharedStrings
//    relationship; targets may be relative to their source part or absolute
//    ("/xl/worksheets/sheet1.xml", as openpyxl writes them), part names are
//    compared without regard to case, and the order of the parts in the zip
//    does not matter;
//  - transitional and strict namespaces are both understood;
//  - a cell without a position ("r") follows the cell before it, a row
//    without one follows the row before it.
//
// Cells, by their type attribute:
//  - none or "n": the number in <v> (a cell with no <v> is empty);
//  - "s": the shared string at that index; "inlineStr": the text of <is>;
//    "str": a formula's text result; rich text is the runs' texts joined,
//    phonetic hints (<rPh>) left out;
//  - "b": the texts "TRUE" / "FALSE"; "d": the ISO date text;
//  - a formula cell gives its cached result.
// A cell in the table that cannot be read this way (an error value such as
// #DIV/0!, a formula without a cached result, a number that does not parse,
// a shared-string index out of range, an unknown type) reads as an Error
// cell: a cell is never skipped in silence, and the import names it.
//
// Pure apart from libzip and Qt's XML reader: no file system, no globals.
// Every part is read with a size limit, so a zip entry that claims or
// inflates to gigabytes cannot exhaust memory, and a part that nests its
// elements deeper than kMaxXmlDepth (workbook_xml.h) makes the package
// unreadable, so that no recursion of the XML reading can run out of stack.
#pragma once

#include "platform/services/services.h"

#include <QByteArrayView>

#include <optional>

namespace tarvel::platform {

// A part larger than this when inflated is refused (the read fails).
inline constexpr qint64 kMaxXlsxPartBytes = 64LL * 1024 * 1024;

// True when `data` is a zip that holds "[Content_Types].xml", the mark of
// an Office Open XML package (an OpenDocument file has a "mimetype" part
// instead).
bool isXlsxPackage(QByteArrayView data);

// Columns A (columns.a) and B (columns.b) of the first worksheet, each
// exactly kSpreadsheetRowsRead cells long; nullopt when `package` is not an
// .xlsx package, lacks a workbook or worksheet, or is broken.
std::optional<SpreadsheetColumns> readXlsxColumns(QByteArrayView package);

} // namespace tarvel::platform
