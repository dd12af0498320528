#include "platform/io/xlsx_reader.h"

#include "platform/io/workbook_xml.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QXmlStreamReader>

#include <zip.h>

#include <charconv>
#include <cmath>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarvel::platform {

namespace {

constexpr int kRows = kSpreadsheetRowsRead;
constexpr int kColumns = 2; // A and B

// The attributes this reader looks at (by their local names), which a
// crowded tag keeps (see thinCrowdedTags).
constexpr std::string_view kAttributesRead[] = {"r",    "t",      "id",        "Id",
                                                "Type", "Target", "TargetMode"};

// ---- The zip container ----

struct ZipCloser {
    void operator()(zip_t *archive) const { zip_discard(archive); }
};

// The parts of a package by their names, compared without regard to case
// (part names are case-insensitive in a package).
class Package {
public:
    static std::optional<Package> open(QByteArrayView data) {
        zip_error_t error;
        zip_error_init(&error);
        // The buffer belongs to the caller and outlives the archive.
        zip_source_t *source = zip_source_buffer_create(
            data.data(), static_cast<zip_uint64_t>(data.size()), 0, &error);
        zip_error_fini(&error);
        if (!source) return std::nullopt;
        zip_error_init(&error);
        zip_t *archive = zip_open_from_source(source, ZIP_RDONLY, &error);
        zip_error_fini(&error);
        if (!archive) {
            zip_source_free(source);
            return std::nullopt;
        }
        Package package;
        package.archive_.reset(archive);
        const zip_int64_t entries = zip_get_num_entries(archive, 0);
        for (zip_int64_t i = 0; i < entries; ++i) {
            const char *name =
                zip_get_name(archive, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_GUESS);
            if (name)
                package.index_.insert(QString::fromUtf8(name).toLower(),
                                      static_cast<zip_uint64_t>(i));
        }
        return package;
    }

    bool contains(const QString &name) const { return index_.contains(name.toLower()); }

    // The inflated part, or nullopt when it is missing, broken, larger
    // than the limit (judged on the bytes inflated, not on what the
    // directory claims) or nested deeper than the readers below may go
    // (see workbook_xml.h). A part that breaks off as XML is left to the
    // reader of that part: it stops where the scan stopped, with the same
    // parser.
    std::optional<QByteArray> read(const QString &name) const {
        const auto found = index_.constFind(name.toLower());
        if (found == index_.cend()) return std::nullopt;
        auto inflated = inflateZipEntry(archive_.get(), *found, kMaxXlsxPartBytes);
        if (!inflated) return std::nullopt;
        QByteArray out = thinCrowdedTags(std::move(*inflated), kAttributesRead);
        if (xmlNesting(QByteArrayView(out)) == XmlNesting::TooDeep) return std::nullopt;
        return out;
    }

private:
    std::unique_ptr<zip_t, ZipCloser> archive_;
    QHash<QString, zip_uint64_t> index_;
};

// ---- Part names and relationships ----

// "/xl/worksheets/../sharedStrings.xml" -> "xl/sharedStrings.xml": the name
// as stored in the zip (no leading slash), dot segments resolved;
// nullopt when ".." climbs above the root.
std::optional<QString> normalizePartName(const QString &path) {
    QStringList out;
    for (const QString &segment : path.split(u'/', Qt::SkipEmptyParts)) {
        if (segment == u".") continue;
        if (segment == u"..") {
            if (out.isEmpty()) return std::nullopt;
            out.removeLast();
            continue;
        }
        out << segment;
    }
    if (out.isEmpty()) return std::nullopt;
    return out.join(u'/');
}

// A relationship target taken from the part `source` ("" for the package
// itself): absolute targets start at the package root, relative ones at the
// source part's folder. Targets are URIs, so escapes such as %20 are
// decoded.
std::optional<QString> resolveTarget(const QString &source, const QString &target) {
    const QString decoded = QUrl::fromPercentEncoding(target.toUtf8());
    if (decoded.startsWith(u'/')) return normalizePartName(decoded);
    const qsizetype slash = source.lastIndexOf(u'/');
    const QString folder = slash < 0 ? QString() : source.left(slash + 1);
    return normalizePartName(folder + decoded);
}

// "xl/workbook.xml" -> "xl/_rels/workbook.xml.rels"
QString relationshipsPartOf(const QString &part) {
    const qsizetype slash = part.lastIndexOf(u'/');
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) +
           QStringLiteral(".rels");
}

struct Relationship {
    QString id;
    QString type; // the last segment of the type URI ("officeDocument", "worksheet", ...)
    QString target;
};

// The internal relationships of a part (external links are of no use).
std::optional<std::vector<Relationship>>
readRelationships(const Package &package, const QString &relsPart, const QString &source) {
    const auto xml = package.read(relsPart);
    if (!xml) return std::nullopt;
    std::vector<Relationship> out;
    QXmlStreamReader reader(*xml);
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement() || reader.name() != u"Relationship") continue;
        const QXmlStreamAttributes attributes = reader.attributes();
        if (attributes.value(QLatin1String("TargetMode"))
                .compare(u"External", Qt::CaseInsensitive) == 0)
            continue;
        const QString type = attributes.value(QLatin1String("Type")).toString();
        const auto target =
            resolveTarget(source, attributes.value(QLatin1String("Target")).toString());
        if (!target) continue;
        out.push_back({attributes.value(QLatin1String("Id")).toString(),
                       type.mid(type.lastIndexOf(u'/') + 1), *target});
    }
    if (reader.hasError()) return std::nullopt;
    return out;
}

// ---- Text of string items ----

// The text of an <si> or <is> element at which `reader` stands: every <t>
// directly inside it or inside its runs <r>, in order; the phonetic hints
// <rPh> (readings of East Asian text) are not part of the value.
QString readStringItem(QXmlStreamReader &reader) {
    QString text;
    int depth = 0;
    bool inPhonetic = false;
    int phoneticDepth = 0;
    while (!reader.atEnd()) {
        const auto token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            if (reader.name() == u"rPh") {
                inPhonetic = true;
                phoneticDepth = depth;
            } else if (reader.name() == u"t" && !inPhonetic) {
                text += reader.readElementText(QXmlStreamReader::IncludeChildElements);
                --depth;
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if (depth == 0) break; // the end of the item itself
            if (inPhonetic && depth == phoneticDepth) inPhonetic = false;
            --depth;
        }
    }
    return text;
}

std::optional<std::vector<QString>> readSharedStrings(const Package &package, const QString &part) {
    const auto xml = package.read(part);
    if (!xml) return std::nullopt;
    std::vector<QString> strings;
    QXmlStreamReader reader(*xml);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == u"si")
            strings.push_back(readStringItem(reader));
    }
    if (reader.hasError()) return std::nullopt;
    return strings;
}

// ---- The worksheet ----

// "B12" -> {11, 1}; the row part may be missing ("B" gives row -1).
struct CellRef {
    int row = -1;
    int col = -1;
};

std::optional<CellRef> parseCellRef(QStringView text) {
    CellRef ref;
    qsizetype i = 0;
    int col = 0;
    while (i < text.size() && text[i].isLetter() && text[i].unicode() < 128) {
        col = col * 26 + (text[i].toUpper().unicode() - u'A' + 1);
        if (col > 16384) return std::nullopt;
        ++i;
    }
    if (i == 0) return std::nullopt;
    ref.col = col - 1;
    if (i < text.size()) {
        bool ok = false;
        const int row = text.mid(i).toInt(&ok);
        if (!ok || row < 1) return std::nullopt;
        ref.row = row - 1;
    }
    return ref;
}

std::optional<double> parseXmlNumber(const QString &text) {
    const std::string s = text.trimmed().toStdString();
    if (s.empty()) return std::nullopt;
    double value = 0;
    const char *begin = s.data();
    if (*begin == '+') ++begin; // from_chars takes no plus sign
    const auto [end, error] = std::from_chars(begin, s.data() + s.size(), value);
    if (error != std::errc() || end != s.data() + s.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

SpreadsheetCell numberCell(double value) {
    return {SpreadsheetCell::Kind::Number, value, {}};
}

SpreadsheetCell textCell(QString text) {
    if (text.isEmpty()) return {};
    return {SpreadsheetCell::Kind::Text, 0, std::move(text)};
}

// Reads the <c> element at which `reader` stands, up to its end.
std::optional<SpreadsheetCell> readCell(QXmlStreamReader &reader, const QString &type,
                                        const std::vector<QString> &sharedStrings) {
    std::optional<QString> value;
    std::optional<QString> inlineText;
    bool hasFormula = false;
    while (reader.readNextStartElement()) {
        if (reader.name() == u"v") {
            value = reader.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (reader.name() == u"is") {
            inlineText = readStringItem(reader);
        } else {
            if (reader.name() == u"f") hasFormula = true;
            reader.skipCurrentElement();
        }
    }
    if (reader.hasError()) return std::nullopt;

    if (type == u"inlineStr") return inlineText ? textCell(*inlineText) : SpreadsheetCell{};
    if (!value) {
        // A formula whose result was never computed has nothing to give.
        if (hasFormula) return std::nullopt;
        return SpreadsheetCell{};
    }
    if (type.isEmpty() || type == u"n") {
        if (value->trimmed().isEmpty())
            return hasFormula ? std::nullopt : std::optional(SpreadsheetCell{});
        const auto number = parseXmlNumber(*value);
        if (!number) return std::nullopt;
        return numberCell(*number);
    }
    if (type == u"s") {
        bool ok = false;
        const qlonglong index = value->trimmed().toLongLong(&ok);
        if (!ok || index < 0 || index >= static_cast<qlonglong>(sharedStrings.size()))
            return std::nullopt;
        return textCell(sharedStrings[static_cast<std::size_t>(index)]);
    }
    if (type == u"str" || type == u"d") return textCell(*value);
    if (type == u"b") {
        const QString flag = value->trimmed();
        if (flag == u"1" || flag.compare(u"true", Qt::CaseInsensitive) == 0)
            return textCell(QStringLiteral("TRUE"));
        if (flag == u"0" || flag.compare(u"false", Qt::CaseInsensitive) == 0)
            return textCell(QStringLiteral("FALSE"));
        return std::nullopt;
    }
    // "e" (an error value) and anything unknown.
    return std::nullopt;
}

std::optional<SpreadsheetColumns> readSheet(const QByteArray &xml,
                                            const std::vector<QString> &sharedStrings) {
    SpreadsheetColumns columns;
    columns.a.resize(kRows);
    columns.b.resize(kRows);
    QXmlStreamReader reader(xml);
    int row = -1;
    bool inSheetData = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isEndElement() && reader.name() == u"sheetData") break;
        if (!reader.isStartElement()) continue;
        if (reader.name() == u"sheetData") {
            inSheetData = true;
            continue;
        }
        if (!inSheetData || reader.name() != u"row") continue;

        const QStringView rowNumber = reader.attributes().value(QLatin1String("r"));
        if (rowNumber.isEmpty()) {
            ++row;
        } else {
            bool ok = false;
            const int r = rowNumber.toInt(&ok);
            if (!ok || r < 1 || r - 1 < row) return std::nullopt; // rows ascend
            row = r - 1;
        }
        if (row >= kRows) break; // the table is read; the rest may be long

        int col = -1;
        while (reader.readNextStartElement()) {
            if (reader.name() != u"c") {
                reader.skipCurrentElement();
                continue;
            }
            const QXmlStreamAttributes attributes = reader.attributes();
            const QStringView ref = attributes.value(QLatin1String("r"));
            if (ref.isEmpty()) {
                ++col;
            } else {
                const auto cell = parseCellRef(ref);
                if (!cell || (cell->row >= 0 && cell->row != row)) return std::nullopt;
                col = cell->col;
            }
            if (col >= kColumns) {
                reader.skipCurrentElement();
                continue;
            }
            const auto cell =
                readCell(reader, attributes.value(QLatin1String("t")).toString(), sharedStrings);
            if (reader.hasError()) return std::nullopt;
            // A cell that holds nothing usable is kept as such, for the
            // import to name it.
            (col == 0 ? columns.a : columns.b)[static_cast<std::size_t>(row)] =
                cell ? *cell : SpreadsheetCell{SpreadsheetCell::Kind::Error, 0, {}};
        }
        if (reader.hasError()) return std::nullopt;
    }
    if (reader.hasError() && row < kRows) return std::nullopt;
    if (!inSheetData) return std::nullopt;
    return columns;
}

// The attribute "r:id" of a <sheet>, whatever prefix the relationships
// namespace has (transitional or strict).
QString relationshipIdOf(const QXmlStreamAttributes &attributes) {
    for (const QXmlStreamAttribute &attribute : attributes)
        if (attribute.name() == u"id" && !attribute.namespaceUri().isEmpty())
            return attribute.value().toString();
    return {};
}

std::optional<QString> firstSheetRelationship(const QByteArray &workbookXml) {
    QXmlStreamReader reader(workbookXml);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == u"sheet") {
            const QString id = relationshipIdOf(reader.attributes());
            if (id.isEmpty()) return std::nullopt;
            return id;
        }
    }
    return std::nullopt;
}

std::optional<QString> workbookPart(const Package &package) {
    if (const auto rels = readRelationships(package, QStringLiteral("_rels/.rels"), QString())) {
        for (const Relationship &r : *rels)
            if (r.type == u"officeDocument" && package.contains(r.target)) return r.target;
    }
    // A package without its root relationships: the usual name.
    const QString usual = QStringLiteral("xl/workbook.xml");
    if (package.contains(usual)) return usual;
    return std::nullopt;
}

} // namespace

bool isXlsxPackage(QByteArrayView data) {
    const auto package = Package::open(data);
    return package && package->contains(QStringLiteral("[Content_Types].xml"));
}

std::optional<SpreadsheetColumns> readXlsxColumns(QByteArrayView data) {
    const auto package = Package::open(data);
    if (!package) return std::nullopt;
    const auto workbook = workbookPart(*package);
    if (!workbook) return std::nullopt;
    const auto workbookXml = package->read(*workbook);
    if (!workbookXml) return std::nullopt;
    const auto sheetId = firstSheetRelationship(*workbookXml);
    if (!sheetId) return std::nullopt;
    const auto rels = readRelationships(*package, relationshipsPartOf(*workbook), *workbook);
    if (!rels) return std::nullopt;

    std::optional<QString> sheetPart;
    std::optional<QString> sharedPart;
    for (const Relationship &r : *rels) {
        if (r.id == *sheetId) sheetPart = r.target;
        if (r.type == u"sharedStrings") sharedPart = r.target;
    }
    if (!sheetPart) return std::nullopt;

    std::vector<QString> sharedStrings;
    if (sharedPart) {
        auto strings = readSharedStrings(*package, *sharedPart);
        // A missing shared-string part only matters if a cell refers to it.
        if (strings)
            sharedStrings = std::move(*strings);
        else if (package->contains(*sharedPart))
            return std::nullopt;
    }
    const auto sheetXml = package->read(*sheetPart);
    if (!sheetXml) return std::nullopt;
    return readSheet(*sheetXml, sharedStrings);
}

} // namespace tarvel::platform
