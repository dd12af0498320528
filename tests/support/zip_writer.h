// Builds zip files in memory for the tests of the workbook readers (libzip,
// independent of the writers under test).
#pragma once

#include <QByteArray>
#include <QString>

#include <zip.h>

#include <utility>
#include <vector>

namespace tarvel::test {

// The entries in the order given; nothing compressed when `store` is set.
inline QByteArray makeZip(const std::vector<std::pair<QString, QByteArray>> &entries,
                          bool store = false) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_source_keep(buffer);
    zip_t *archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    QByteArray out;
    if (archive) {
        for (const auto &[name, data] : entries) {
            zip_source_t *part = zip_source_buffer(archive, data.constData(),
                                                   static_cast<zip_uint64_t>(data.size()), 0);
            const zip_int64_t index =
                zip_file_add(archive, name.toUtf8().constData(), part, ZIP_FL_OVERWRITE);
            if (store && index >= 0)
                zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE,
                                         0);
        }
        if (zip_close(archive) == 0 && zip_source_open(buffer) == 0) {
            char chunk[4096];
            zip_int64_t n = 0;
            while ((n = zip_source_read(buffer, chunk, sizeof chunk)) > 0)
                out.append(chunk, static_cast<qsizetype>(n));
            zip_source_close(buffer);
        }
    }
    zip_source_free(buffer);
    zip_error_fini(&error);
    return out;
}

} // namespace tarvel::test
