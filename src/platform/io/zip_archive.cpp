#include "platform/io/zip_archive.h"

#include <zip.h>

#include <memory>
#include <utility>
#include <vector>

namespace tarvel::platform {

namespace {

struct ZipCloser {
    void operator()(zip_t *archive) const { zip_discard(archive); }
};

struct ZipFileCloser {
    void operator()(zip_file_t *file) const { zip_fclose(file); }
};

using Archive = std::unique_ptr<zip_t, ZipCloser>;

// The archive in `data`, which must outlive it; nullptr when it is no zip.
Archive openArchive(const QByteArray &data) {
    // libzip takes no bytes at all for an empty archive; no zip is shorter
    // than the record that ends its directory.
    constexpr qsizetype kEndOfDirectoryBytes = 22;
    if (data.size() < kEndOfDirectoryBytes) return nullptr;
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_buffer_create(
        data.constData(), static_cast<zip_uint64_t>(data.size()), 0, &error);
    zip_error_fini(&error);
    if (!source) return nullptr;
    zip_error_init(&error);
    zip_t *archive = zip_open_from_source(source, ZIP_RDONLY, &error);
    zip_error_fini(&error);
    if (!archive) zip_source_free(source);
    return Archive(archive);
}

// Entry `index`, inflated and counted as it comes: the sizes in the
// archive's directory are the archive's word, not a limit.
ArchiveEntry inflate(zip_t *archive, zip_uint64_t index, const QString &name, qint64 maxBytes) {
    ArchiveEntry entry;
    entry.name = name;
    std::unique_ptr<zip_file_t, ZipFileCloser> file(zip_fopen_index(archive, index, 0));
    if (!file) return entry; // encrypted, or a method libzip cannot inflate
    char buffer[64 * 1024];
    for (;;) {
        const zip_int64_t n = zip_fread(file.get(), buffer, sizeof buffer);
        if (n < 0) {
            entry.data.clear();
            return entry;
        }
        if (n == 0) break;
        if (entry.data.size() + n > maxBytes) {
            entry.data.clear();
            entry.outcome = ArchiveEntry::Outcome::TooLarge;
            return entry;
        }
        entry.data.append(buffer, static_cast<qsizetype>(n));
    }
    entry.outcome = ArchiveEntry::Outcome::Read;
    return entry;
}

// Folders and what archivers of other systems leave beside the files.
bool isLitter(const QString &name) {
    if (name.endsWith(u'/')) return true;
    if (name.startsWith(QLatin1String("__MACOSX/"))) return true;
    const QString base = name.mid(name.lastIndexOf(u'/') + 1);
    return base.startsWith(QLatin1String("._"));
}

ArchiveEntry firstEntry(const QByteArray &zip, const QString &suffix, qint64 maxBytes,
                        bool lookIntoArchives) {
    ArchiveEntry none;
    const Archive archive = openArchive(zip);
    if (!archive) return none;
    none.outcome = ArchiveEntry::Outcome::NotFound;
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    std::vector<std::pair<zip_uint64_t, QString>> inner;
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        const char *raw = zip_get_name(archive.get(), index, ZIP_FL_ENC_GUESS);
        if (!raw) continue;
        const QString name = QString::fromUtf8(raw);
        if (isLitter(name)) continue;
        if (name.endsWith(suffix, Qt::CaseInsensitive))
            return inflate(archive.get(), index, name, maxBytes);
        if (lookIntoArchives && name.endsWith(QLatin1String(".zip"), Qt::CaseInsensitive))
            inner.emplace_back(index, name);
    }
    for (const auto &[index, name] : inner) {
        const ArchiveEntry packed = inflate(archive.get(), index, name, maxBytes);
        if (packed.outcome != ArchiveEntry::Outcome::Read) {
            if (packed.outcome == ArchiveEntry::Outcome::TooLarge) return packed;
            continue;
        }
        ArchiveEntry found = firstEntry(packed.data, suffix, maxBytes, false);
        if (found.outcome != ArchiveEntry::Outcome::NotFound &&
            found.outcome != ArchiveEntry::Outcome::Unreadable) {
            found.name = name + u'/' + found.name;
            return found;
        }
    }
    return none;
}

} // namespace

ArchiveEntry ZipArchive::readFirstEntry(const QByteArray &zip, const QString &suffix,
                                        qint64 maxBytes) {
    return firstEntry(zip, suffix, maxBytes, true);
}

} // namespace tarvel::platform
