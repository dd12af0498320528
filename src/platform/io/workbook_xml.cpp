#include "platform/io/workbook_xml.h"

#include <QXmlStreamReader>

#include <memory>
#include <vector>

namespace tarvel::platform {

namespace {

bool isXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isNameStart(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '_' || u == ':' || u >= 0x80;
}

bool isKept(std::string_view name, std::span<const std::string_view> kept) {
    if (name == "xmlns" || name.starts_with("xmlns:")) return true;
    const auto colon = name.rfind(':');
    const std::string_view local = colon == std::string_view::npos ? name : name.substr(colon + 1);
    for (const std::string_view k : kept)
        if (local == k) return true;
    return false;
}

struct ZipCloser {
    void operator()(zip_t *archive) const { zip_discard(archive); }
};
struct ZipFileCloser {
    void operator()(zip_file_t *file) const { zip_fclose(file); }
};

} // namespace

QByteArray thinCrowdedTags(QByteArray xml, std::span<const std::string_view> kept) {
    const std::string_view s(xml.constData(), static_cast<std::size_t>(xml.size()));
    struct Attribute {
        std::size_t from, to;
        bool kept;
    };
    std::vector<Attribute> attributes;
    QByteArray out;
    std::size_t copied = 0;
    bool thinned = false;
    std::size_t i = 0;
    while ((i = s.find('<', i)) != std::string_view::npos) {
        std::size_t p = i + 1;
        if (p >= s.size() || !isNameStart(s[p])) {
            i = p;
            continue;
        }
        while (p < s.size() && !isXmlSpace(s[p]) && s[p] != '>' && s[p] != '/')
            ++p;
        attributes.clear();
        for (;;) {
            while (p < s.size() && isXmlSpace(s[p]))
                ++p;
            if (p >= s.size() || s[p] == '>' || s[p] == '/') break;
            const std::size_t from = p;
            while (p < s.size() && s[p] != '=' && !isXmlSpace(s[p]) && s[p] != '>')
                ++p;
            const std::string_view name = s.substr(from, p - from);
            while (p < s.size() && isXmlSpace(s[p]))
                ++p;
            // Anything malformed is left for the XML reader to refuse.
            if (p >= s.size() || s[p] != '=') break;
            ++p;
            while (p < s.size() && isXmlSpace(s[p]))
                ++p;
            if (p >= s.size() || (s[p] != '"' && s[p] != '\'')) break;
            const std::size_t close = s.find(s[p], p + 1);
            if (close == std::string_view::npos) {
                p = s.size();
                break;
            }
            p = close + 1;
            attributes.push_back({from, p, isKept(name, kept)});
        }
        if (attributes.size() > kMaxAttributesKept) {
            if (!thinned) out.reserve(xml.size());
            thinned = true;
            out.append(s.data() + copied, static_cast<qsizetype>(attributes.front().from - copied));
            for (const Attribute &a : attributes) {
                if (!a.kept) continue;
                out.append(s.data() + a.from, static_cast<qsizetype>(a.to - a.from));
                out.append(' ');
            }
            copied = attributes.back().to;
        }
        i = p;
    }
    if (!thinned) return xml;
    out.append(s.data() + copied, static_cast<qsizetype>(s.size() - copied));
    return out;
}

XmlNesting xmlNesting(QByteArrayView xml, int maxDepth) {
    // fromRawData: no copy of the caller's bytes unless a tag is thinned.
    QXmlStreamReader reader(thinCrowdedTags(
        QByteArray::fromRawData(xml.data(), static_cast<qsizetype>(xml.size())), {}));
    reader.setNamespaceProcessing(false);
    int depth = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (++depth > maxDepth) return XmlNesting::TooDeep;
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
    }
    return reader.hasError() ? XmlNesting::Malformed : XmlNesting::Within;
}

std::optional<QByteArray> inflateZipEntry(zip_t *archive, zip_uint64_t index, qint64 maxBytes) {
    std::unique_ptr<zip_file_t, ZipFileCloser> file(zip_fopen_index(archive, index, 0));
    if (!file) return std::nullopt;
    QByteArray out;
    char buffer[64 * 1024];
    for (;;) {
        const zip_int64_t n = zip_fread(file.get(), buffer, sizeof buffer);
        if (n < 0) return std::nullopt;
        if (n == 0) break;
        if (out.size() + n > maxBytes) return std::nullopt;
        out.append(buffer, static_cast<qsizetype>(n));
    }
    return out;
}

bool odsPartsNestWithin(QByteArrayView package, qint64 maxPartBytes) {
    zip_error_t error;
    zip_error_init(&error);
    // The buffer belongs to the caller and outlives the archive.
    zip_source_t *source = zip_source_buffer_create(
        package.data(), static_cast<zip_uint64_t>(package.size()), 0, &error);
    zip_error_fini(&error);
    if (!source) return false;
    zip_error_init(&error);
    std::unique_ptr<zip_t, ZipCloser> archive(zip_open_from_source(source, ZIP_RDONLY, &error));
    zip_error_fini(&error);
    if (!archive) {
        zip_source_free(source);
        return false;
    }
    // orcus looks its parts up by their exact names.
    for (const char *name : {"content.xml", "styles.xml"}) {
        const zip_int64_t index = zip_name_locate(archive.get(), name, 0);
        if (index < 0) continue;
        const auto xml =
            inflateZipEntry(archive.get(), static_cast<zip_uint64_t>(index), maxPartBytes);
        if (!xml || xmlNesting(QByteArrayView(*xml)) != XmlNesting::Within) return false;
    }
    return true;
}

} // namespace tarvel::platform
