// INI text read and edited line by line, the way QSettings lays it out
// ("[Section]", "key=value", ";" comments), so that changing one key leaves
// every other byte of the file as it was: a hand-edited file keeps its
// order, spelling, comments, line ends and the sections of other programs,
// and a line that no INI reader understands is carried along untouched.
//
// Values stay in their written (escaped) form here; turning them into text
// and back is left to QSettings itself.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

namespace tarvel::platform {

class IniText {
public:
    explicit IniText(QByteArray bytes = {});

    const QByteArray &bytes() const { return bytes_; }

    // The written value of the key in any section of that name, names
    // compared without regard to case; of the last such line, as QSettings
    // lets the last one win.
    std::optional<QByteArray> rawValue(const QString &section, const QString &key) const;

    // Every written value in the file, in file order.
    QList<QByteArray> rawValues() const;

    // The text with the key holding `raw`: the key's first line is
    // rewritten in place (in the key's given spelling, keeping the line's
    // end), its other lines are dropped; a missing key goes after the last
    // key of the first section of that name, a missing section at the end.
    // Added lines end as the file's lines do.
    QByteArray withValue(const QString &section, const QString &key, const QByteArray &raw) const;

    // A section or key name as QSettings writes it ("/" as "\", anything
    // but letters, digits, "_", "-" and "." as %XX or %UXXXX), and back.
    static QByteArray escapedName(const QString &name);
    static QString unescapedName(QByteArrayView name);

private:
    struct Line {
        enum Kind { Other, Section, Key };
        qsizetype begin = 0; // first byte of the line
        qsizetype end = 0;   // its line end (or the end of the text)
        qsizetype next = 0;  // first byte of the next line
        Kind kind = Other;
        QString section; // the section a key is in, or a header's section
        QString key;     // the key's name
        qsizetype valueBegin = 0;
        qsizetype valueEnd = 0;
    };

    QList<qsizetype> keyLines(const QString &section, const QString &key) const;
    QByteArray lineEnd() const;

    QByteArray bytes_;
    QList<Line> lines_;
};

} // namespace tarvel::platform
