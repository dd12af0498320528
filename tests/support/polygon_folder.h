// A temporary folder for the polygon files a test writes and reads.
#pragma once

#include "files/polygon_file.h"
#include "platform/io/cp1251.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tarvel::testing {

class PolygonFolder {
protected:
    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }
    QByteArray bytes(const QString &name) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void writeBytes(const QString &name, const QByteArray &b) const {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(b);
    }
    // A file in the 42-line form with the given count and corners.
    static QByteArray polygonFile(const QString &count, const QStringList &xs,
                                  const QStringList &ys, const QString &owner,
                                  const char *eol = "\r\n") {
        QStringList lines{count};
        for (int i = 0; i < 20; ++i)
            lines << (i < xs.size() ? xs[i] : QStringLiteral("0"));
        for (int i = 0; i < 20; ++i)
            lines << (i < ys.size() ? ys[i] : QStringLiteral("0"));
        lines << owner;
        return platform::cp1251::encode(lines.join(QString::fromLatin1(eol)) +
                                        QString::fromLatin1(eol));
    }
};

} // namespace tarvel::testing
