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
// beside the separators do not count. Else at commas, where the line is a
// catalogue's "name,X,Y" or a pair written with decimal points
// ("452297.10,1300123.45"): a lone comma is a decimal comma. Nothing when
// no separator is in the line.
std::optional<QStringList> separatedFields(const QString &line) {
    for (QChar sep : {QLatin1Char('\t'), QLatin1Char(';')}) {
        if (!line.contains(sep)) continue;
        QStringList fields;
        for (const QString &f : line.split(sep))
            if (!f.trimmed().isEmpty()) fields << f;
        return fields;
    }
    QStringList fields = line.split(QLatin1Char(','));
    for (QString &f : fields)
        f = f.trimmed();
    const auto plainNumber = [](const QString &f) {
        return !f.isEmpty() && !f.contains(QLatin1Char(' ')) && fieldNumber(f);
    };
    const bool named = fields.size() == 3 && !fields[0].isEmpty() && plainNumber(fields[1]) &&
                       plainNumber(fields[2]);
    const bool pointed = fields.size() == 2 && line.contains(QLatin1Char('.')) &&
                         plainNumber(fields[0]) && plainNumber(fields[1]);
    if (named || pointed) return fields;
    return std::nullopt;
}

// The fields of a line of a CSV file that quotes them ("452297,10";"1300"):
// split at the first tab, semicolon or comma outside the quotes, the quotes
// taken off ("" inside a field is one quote). Nothing without a separator.
std::optional<QStringList> quotedFields(const QString &line) {
    QChar sep;
    bool quoted = false;
    for (QChar c : line) {
        if (c == QLatin1Char('"')) quoted = !quoted;
        else if (!quoted && (c == QLatin1Char('\t') || c == QLatin1Char(';') || c == QLatin1Char(','))) {
            sep = c;
            break;
        }
    }
    if (sep.isNull()) return std::nullopt;
    QStringList fields;
    QString field;
    quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == QLatin1Char('"')) {
            if (quoted && i + 1 < line.size() && line[i + 1] == QLatin1Char('"')) {
                field += c;
                ++i;
            } else {
                quoted = !quoted;
            }
        } else if (c == sep && !quoted) {
            fields << field;
            field.clear();
        } else {
            field += c;
        }
    }
    fields << field;
    QStringList filled;
    for (const QString &f : fields)
        if (!f.trimmed().isEmpty()) filled << f;
    return filled;
}

// A pair of blank-separated tokens [from, end): the one way to split them
// into two numbers, nothing when there is none or more than one.
// `alone`: the line is the whole text, where a line that also reads as one
// grouped number ("20 300") is that number rather than a pair.
std::optional<Pair> blankPair(const QStringList &tokens, qsizetype from, bool alone) {
    const qsizetype m = tokens.size();
    // Two numbers of up to 18 digits each take at most 12 groups; a longer
    // line is no pair, and is not tried in all its ways.
    if (m - from < 2 || m - from > 12) return std::nullopt;
    if (alone && groupedNumber(tokens, from, m)) return std::nullopt;
    std::optional<Pair> found;
    for (qsizetype k = from + 1; k < m; ++k) {
        const auto x = groupedNumber(tokens, from, k), y = groupedNumber(tokens, k, m);
        if (!x || !y) continue;
        if (found) return std::nullopt; // more than one way to read it
        found = Pair{*x, *y};
    }
    return found;
}

// A row of a table: a pair, or a point's name and a pair.
struct Row {
    QString name;
    Pair pair;
};

// How the rows of a table are written: with a name before each pair (a
// catalogue's "№ X Y") or not. The first row tells, where blanks alone
// separate the fields and a name in front could also be a group of
// thousands.
enum class Names { Unknown, Without, With };

std::optional<Row> lineRow(const QString &line, bool alone, Names &names) {
    if (const auto fields =
            line.contains(QLatin1Char('"')) ? quotedFields(line) : separatedFields(line)) {
        if (fields->size() != 2 && fields->size() != 3) return std::nullopt;
        const qsizetype first = fields->size() - 2;
        if (names == Names::Unknown) names = first ? Names::With : Names::Without;
        const auto x = fieldNumber(fields->at(first)), y = fieldNumber(fields->at(first + 1));
        if (!x || !y) return std::nullopt;
        return Row{first ? fields->at(0).trimmed() : QString(), Pair{*x, *y}};
    }
    const QStringList tokens = blankTokens(line);
    if (tokens.isEmpty()) return std::nullopt;
    // A line alone that reads as one number is that number; a name is no
    // number with a fraction.
    if (alone && groupedNumber(tokens, 0, tokens.size())) return std::nullopt;
    const bool nameLike = !(tokens[0].contains(QLatin1Char(',')) ||
                            tokens[0].contains(QLatin1Char('.'))) ||
                          !fieldNumber(tokens[0]);
    const auto plain = names == Names::With ? std::nullopt : blankPair(tokens, 0, alone);
    const auto named =
        names == Names::Without || !nameLike ? std::nullopt : blankPair(tokens, 1, false);
    if (names == Names::Unknown) names = plain ? Names::Without : named ? Names::With : names;
    if (plain) return Row{QString(), *plain};
    if (named) return Row{tokens[0], *named};
    return std::nullopt;
}

// A heading names its columns or the catalogue: a line with letters that
// does not read as a row ("№ X Y", "X1 Y1", "Каталог координат, МСК-26").
// A leading line with digits and no letter is meant as numbers, and must
// read as a row like any other.
bool isHeading(const QString &line) {
    bool letter = false;
    for (QChar c : line)
        letter = letter || c.isLetter();
    Names any = Names::Unknown;
    return letter && !lineRow(line, false, any);
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
    Names names = Names::Unknown;
    if (lines.size() == 1) {
        const auto row = lineRow(lines[0], true, names);
        if (!row) return table;
        table.kind = PastedTable::Kind::Corners;
        table.corners.push_back({1, row->pair.x, row->pair.y, row->name});
        return table;
    }
    // Blank lines and headings before the first row are passed over.
    int i = 0;
    while (i < lines.size() && (lines[i].trimmed().isEmpty() || isHeading(lines[i])))
        ++i;
    int contour = 0, inContour = 0;
    for (; i < lines.size(); ++i) {
        // A blank line ends a contour: the rows after it are the next one.
        if (lines[i].trimmed().isEmpty()) {
            if (inContour > 0) ++contour;
            inContour = 0;
            continue;
        }
        const auto row = lineRow(lines[i], false, names);
        if (!row || inContour >= room) {
            table.kind = row ? PastedTable::Kind::TooMany : PastedTable::Kind::BadLine;
            table.badLine = i + 1;
            table.corners.clear();
            return table;
        }
        table.corners.push_back({i + 1, row->pair.x, row->pair.y, row->name, contour});
        ++inContour;
    }
    if (table.corners.empty()) {
        // Lines of headings only: meant as a table, with no row in it.
        table.kind = PastedTable::Kind::BadLine;
        table.badLine = 1;
        return table;
    }
    table.kind = PastedTable::Kind::Corners;
    return table;
}

} // namespace tarvel::geometry
