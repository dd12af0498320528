// The real document service: each kind of file written through a saving
// file, whole where its folder is there and nothing where it is not.
#include "platform/services/real_services.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tarvel::platform {
namespace {

TEST(QtDocuments, WritesEachKindWholeOrNothing) {
    QTemporaryDir dir;
    const QString html =
        QStringLiteral("<h1>Ведомость</h1><table border=\"1\"><tr><td>10 030,00</td>"
                       "<td>270° 00′ 00″</td></tr></table>");
    const auto paint = [](QPainter &p, int) { p.drawText(100, 100, QStringLiteral("Ведомость")); };
    QtDocuments documents;
    const struct {
        const char *name;
        QString path;
        bool pdf, written;
        QByteArray start; // the kind's mark: a zip, a PDF
    } rows[] = {
        {"OpenDocument", dir.filePath(QStringLiteral("a.odt")), false, true, "PK"},
        {"PDF", dir.filePath(QStringLiteral("a.pdf")), true, true, "%PDF-"},
        {"OpenDocument in no folder", dir.filePath(QStringLiteral("none/a.odt")), false, false, {}},
        {"PDF in no folder", dir.filePath(QStringLiteral("none/a.pdf")), true, false, {}},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        const bool written = r.pdf ? documents.writePdf(r.path, QStringLiteral("a"), false, paint)
                                   : documents.writeOdt(r.path, html);
        EXPECT_EQ(written, r.written);
        QFile file(r.path);
        EXPECT_EQ(file.exists(), r.written);
        if (!r.written) continue;
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.read(r.start.size()), r.start);
    }
    // No temporary file is left beside the written ones.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

} // namespace
} // namespace tarvel::platform
