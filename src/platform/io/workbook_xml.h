// The XML inside workbook packages (.xlsx, .ods): how deep its elements may
// nest, the thinning of tags crowded with attributes, and the bounded
// inflating of zip parts, which the .xlsx reader and the check of an .ods
// before orcus share.
//
// Parsers go down one level of the machine stack per nested element in
// places: Qt's readElementText(IncludeChildElements), with which the .xlsx
// reader takes the text of a cell, calls itself once per element, and
// orcus' handlers are out of our hands. A cell of two hundred thousand
// nested elements, a few kilobytes once zipped, runs the reader out of
// stack. A real workbook nests a handful of levels (worksheet, sheetData,
// row, c, is, r, t: seven in an .xlsx; eight in an .ods down to a span in
// a cell's text), so a part nesting deeper than kMaxXmlDepth is no workbook.
#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

#include <zip.h>

namespace tarvel::platform {

// Far above any real workbook, far below what a stack of 8 MiB holds at a
// few hundred bytes per level.
inline constexpr int kMaxXmlDepth = 256;

enum class XmlNesting {
    Within,    // well-formed, no element deeper than the limit
    TooDeep,   // an element lies deeper than the limit (the rest is not read)
    Malformed, // the XML breaks (or ends early) before either is known
};

// Qt's XML reader compares every attribute of a tag with every other one, so
// a tag with a hundred thousand attributes keeps it busy for many seconds.
// No spreadsheet writer puts more than a few dozen on one tag.
inline constexpr std::size_t kMaxAttributesKept = 64;

// `xml` with each tag of more than kMaxAttributesKept attributes cut down to
// its namespace declarations and the attributes whose local names `kept`
// lists (in their order); XML without such tags comes back as it came.
// Anything malformed is left as it stands, for the XML reader to refuse.
QByteArray thinCrowdedTags(QByteArray xml, std::span<const std::string_view> kept);

// How deep `xml` nests, counting the outermost element as depth 1. One pass
// of Qt's streaming reader, which keeps its open elements on the heap, over
// the text with crowded tags thinned: nothing here recurses, and the time
// grows with the length of the text alone, whatever the input. Namespace
// prefixes are not resolved, so an undeclared prefix is no error here.
XmlNesting xmlNesting(QByteArrayView xml, int maxDepth = kMaxXmlDepth);

// Entry `index` of `archive`, inflated; nullopt when it cannot be read or
// inflates to more than maxBytes (judged on the bytes inflated, not on what
// the zip's directory claims).
std::optional<QByteArray> inflateZipEntry(zip_t *archive, zip_uint64_t index, qint64 maxBytes);

// Whether the XML parts of an OpenDocument package that orcus parses
// (content.xml, and styles.xml, which later orcus series read too) are
// well-formed and nest within kMaxXmlDepth. False also when `package` is
// no zip, or such a part cannot be inflated or is larger than maxPartBytes.
// A part the package lacks is no objection: orcus finds nothing there
// either. A part that is not well-formed is refused as well, since what
// orcus' own parser would make of the rest of it is not known here.
bool odsPartsNestWithin(QByteArrayView package, qint64 maxPartBytes);

} // namespace tarvel::platform
