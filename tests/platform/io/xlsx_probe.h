// Test helpers for the spreadsheet tests: the number format and horizontal
// alignment of a cell as stored in an .xlsx file (read with libzip and Qt's
// XML reader, independent of the writer under test), and a folder the current user
// really cannot create files in.
#pragma once

#include <QDir>
#include <QFile>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <unistd.h>
#include <zip.h>

namespace tarvel::test {

// One entry of a zip file, empty when the file or the entry is missing.
inline QByteArray zipEntry(const QString &zipPath, const QString &entry) {
    int error = 0;
    zip_t *archive = zip_open(QFile::encodeName(zipPath).constData(), ZIP_RDONLY, &error);
    if (!archive) return {};
    QByteArray out;
    if (zip_file_t *file = zip_fopen(archive, entry.toUtf8().constData(), 0)) {
        char buffer[4096];
        zip_int64_t n = 0;
        while ((n = zip_fread(file, buffer, sizeof buffer)) > 0)
            out.append(buffer, static_cast<qsizetype>(n));
        zip_fclose(file);
    }
    zip_discard(archive);
    return out;
}

struct CellStyle {
    QString numberFormat; // empty: General
    QString horizontal;   // empty: general alignment
};

// Styles of the cells of the first worksheet that carry one, by address.
inline QMap<QString, CellStyle> cellStyles(const QString &xlsxPath) {
    // Cell format index -> style, from xl/styles.xml.
    QMap<QString, QString> customFormats;
    QList<CellStyle> formats;
    QXmlStreamReader styles(zipEntry(xlsxPath, QStringLiteral("xl/styles.xml")));
    bool inCellXfs = false;
    while (!styles.atEnd()) {
        styles.readNext();
        if (styles.isStartElement() && styles.name() == u"numFmt")
            customFormats[styles.attributes().value(QLatin1String("numFmtId")).toString()] =
                styles.attributes().value(QLatin1String("formatCode")).toString();
        if (styles.name() == u"cellXfs") inCellXfs = styles.isStartElement();
        if (inCellXfs && styles.isStartElement() && styles.name() == u"xf") {
            const QString id = styles.attributes().value(QLatin1String("numFmtId")).toString();
            // Id 2 is the spreadsheet's built-in "0.00"; 0 is General.
            formats.append({id == u"2" ? QStringLiteral("0.00") : customFormats.value(id), {}});
        }
        if (inCellXfs && styles.isStartElement() && styles.name() == u"alignment" &&
            !formats.isEmpty())
            formats.last().horizontal =
                styles.attributes().value(QLatin1String("horizontal")).toString();
    }

    QMap<QString, CellStyle> result;
    QXmlStreamReader sheet(zipEntry(xlsxPath, QStringLiteral("xl/worksheets/sheet1.xml")));
    while (!sheet.atEnd()) {
        sheet.readNext();
        if (!sheet.isStartElement() || sheet.name() != u"c") continue;
        const int index = sheet.attributes().value(QLatin1String("s")).toInt();
        if (index > 0 && index < formats.size())
            result[sheet.attributes().value(QLatin1String("r")).toString()] = formats[index];
    }
    return result;
}

// The worksheets' names, in their order, from xl/workbook.xml.
inline QStringList sheetNames(const QString &xlsxPath) {
    QStringList names;
    QXmlStreamReader book(zipEntry(xlsxPath, QStringLiteral("xl/workbook.xml")));
    while (!book.atEnd()) {
        book.readNext();
        if (book.isStartElement() && book.name() == u"sheet")
            names << book.attributes().value(QLatin1String("name")).toString();
    }
    return names;
}

// A folder in which creating a file fails with a permission error for this
// user: a read-only folder of our own when permissions are enforced,
// otherwise sysfs, which refuses new files even to root. nullopt when
// neither works here.
inline std::optional<QString> unwritableFolder(const QString &scratch) {
    const QString own = scratch + QStringLiteral("/locked");
    QDir().mkpath(own);
    QFile::setPermissions(own, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                   QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    for (const QString &folder : {own, QStringLiteral("/sys")}) {
        const QByteArray probe = QFile::encodeName(folder + QStringLiteral("/probe"));
        const int fd = ::open(probe.constData(), O_CREAT | O_EXCL | O_WRONLY, 0644);
        if (fd >= 0) {
            ::close(fd);
            ::unlink(probe.constData());
            continue;
        }
        if (errno == EACCES || errno == EPERM || errno == EROFS) return folder;
    }
    return std::nullopt;
}

} // namespace tarvel::test
