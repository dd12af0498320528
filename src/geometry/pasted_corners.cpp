#include "geometry/pasted_corners.h"

#include "geometry/numtext.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <optional>

namespace tarvel::geometry {

namespace {

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QChar(0x00A0) ||
           c == QChar(0x202F) || c == QChar(0x2009);
}

// A number written with both a point and a comma ("1.234,5" from a
// continental spreadsheet, "1,234.5" from an English one) takes the last of
// them as its decimal mark and the others as thousands, which must then
// stand between groups of three digits. Nothing when they do not.
std::optional<QString> withoutThousandMarks(const QString &s) {
    const qsizetype point = s.lastIndexOf(QLatin1Char('.')), comma = s.lastIndexOf(QLatin1Char(','));
    if (point < 0 || comma < 0) return s;
    const qsizetype decimal = std::max(point, comma);
    const QChar group = decimal == point ? QLatin1Char(',') : QLatin1Char('.');
    static const QRegularExpression grouped(QStringLiteral("^[+-]?\\d{1,3}(\\.\\d{3})+$"));
    QString whole = s.left(decimal);
    whole.replace(group, QLatin1Char('.'));
    if (!grouped.match(whole.trimmed()).hasMatch()) return std::nullopt;
    whole.remove(QLatin1Char('.'));
    return whole + QLatin1Char(',') + s.mid(decimal + 1);
}

// The blanks a spreadsheet puts between thousands become plain spaces and a
// decimal point becomes the program's comma.
QString plainField(QString s) {
    for (QChar &c : s) {
        if (c == QChar(0x00A0) || c == QChar(0x202F) || c == QChar(0x2009))
            c = QLatin1Char(' ');
    }
    const auto unmarked = withoutThousandMarks(s.trimmed());
    if (!unmarked) return QString();
    s = *unmarked;
    s.replace(QLatin1Char('.'), QLatin1Char(','));
    return s;
}

std::optional<double> fieldNumber(const QString &field) {
    return textToCoordinate(plainField(field));
}

QStringList blankTokens(const QString &line) {
    QStringList tokens;
    QString token;
    for (QChar c : line) {
        if (isBlank(c)) {
            if (!token.isEmpty()) tokens << token;
            token.clear();
        } else {
            token += c;
        }
    }
    if (!token.isEmpty()) tokens << token;
    return tokens;
}

// Tokens [from, to) as one number. Several tokens must be thousands: 1 to 3
// digits (with a sign), then groups of 3, a fraction only after the last.
std::optional<double> groupedNumber(const QStringList &tokens, qsizetype from, qsizetype to) {
    if (to - from == 1) return fieldNumber(tokens[from]);
    static const QRegularExpression first(QStringLiteral("^[+-]?\\d{1,3}$"));
    static const QRegularExpression middle(QStringLiteral("^\\d{3}$"));
    static const QRegularExpression last(QStringLiteral("^\\d{3}([.,]\\d*)?$"));
    for (qsizetype i = from; i < to; ++i) {
        const QRegularExpression &rule = i == from ? first : i + 1 == to ? last : middle;
        if (!rule.match(tokens[i]).hasMatch()) return std::nullopt;
    }
    return fieldNumber(tokens.mid(from, to - from).join(QLatin1Char(' ')));
}

struct Pair {
    double x, y;
};

// The fields of a line split at tabs, else at semicolons; empty fields
// beside the separators do not count. Nothing when neither is in the line.
std::optional<QStringList> separatedFields(const QString &line) {
    for (QChar sep : {QLatin1Char('\t'), QLatin1Char(';')}) {
        if (!line.contains(sep)) continue;
        QStringList fields;
        for (const QString &f : line.split(sep))
            if (!f.trimmed().isEmpty()) fields << f;
        return fields;
    }
    return std::nullopt;
}

// `alone`: the line is the whole text, where a line that also reads as one
// grouped number ("20 300") is that number rather than a pair.
std::optional<Pair> linePair(const QString &line, bool alone) {
    if (const auto fields = separatedFields(line)) {
        if (fields->size() != 2) return std::nullopt;
        const auto x = fieldNumber(fields->at(0)), y = fieldNumber(fields->at(1));
        if (!x || !y) return std::nullopt;
        return Pair{*x, *y};
    }
    const QStringList tokens = blankTokens(line);
    const qsizetype m = tokens.size();
    // Two numbers of up to 18 digits each take at most 12 groups; a longer
    // line is no pair, and is not tried in all its ways.
    if (m < 2 || m > 12) return std::nullopt;
    if (alone && groupedNumber(tokens, 0, m)) return std::nullopt;
    std::optional<Pair> found;
    for (qsizetype k = 1; k < m; ++k) {
        const auto x = groupedNumber(tokens, 0, k), y = groupedNumber(tokens, k, m);
        if (!x || !y) continue;
        if (found) return std::nullopt; // more than one way to read it
        found = Pair{*x, *y};
    }
    return found;
}

// A heading names its columns: a first line with a digit in it is meant
// as numbers, and must read as a pair like any other.
bool hasDigit(const QString &line) {
    for (QChar c : line)
        if (c.isDigit()) return true;
    return false;
}

} // namespace

PastedTable readPastedCorners(const QString &text, int room) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    // The minus sign of word processors and PDF tables is a minus.
    QString plain = text;
    plain.replace(QChar(0x2212), QLatin1Char('-'));
    QStringList lines = plain.split(lineBreak);
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    PastedTable table;
    if (lines.isEmpty()) return table;
    if (lines.size() == 1) {
        const auto pair = linePair(lines[0], true);
        if (!pair) return table;
        table.kind = PastedTable::Kind::Corners;
        table.corners.push_back({1, pair->x, pair->y});
        return table;
    }
    const int firstRow = hasDigit(lines[0]) ? 0 : 1;
    for (int i = firstRow; i < lines.size(); ++i) {
        const auto pair = linePair(lines[i], false);
        if (!pair || int(table.corners.size()) >= room) {
            table.kind = pair ? PastedTable::Kind::TooMany : PastedTable::Kind::BadLine;
            table.badLine = i + 1;
            table.corners.clear();
            return table;
        }
        table.corners.push_back({i + 1, pair->x, pair->y});
    }
    table.kind = PastedTable::Kind::Corners;
    return table;
}

} // namespace tarvel::geometry
