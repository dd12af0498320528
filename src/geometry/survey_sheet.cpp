#include "geometry/survey_sheet.h"

#include "geometry/numtext.h"
#include "geometry/polygon.h"
#include "geometry/polygon_commands.h"
#include "geometry/polygon_warnings.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace tarvel::geometry {

namespace {

constexpr std::int64_t kFullTurnSec = 360LL * 3600;

// Whole seconds of an angle, as the sheet rounds it.
std::int64_t toSeconds(double degrees) {
    return std::int64_t(std::llround(degrees * 3600));
}

double finiteOrMax(double v) {
    if (std::isnan(v)) return 0;
    return std::clamp(v, -DBL_MAX, DBL_MAX);
}

// Degrees of the direction (dx, dy), clockwise on the plan from the north
// axis, in 0..360; nothing for no direction. From +X toward +Y where X is
// north; where Y is north (and X runs to the right) from +Y toward +X.
std::optional<double> directionOf(double dx, double dy, bool northIsX) {
    if (dx == 0 && dy == 0) return std::nullopt;
    const double north = northIsX ? dx : dy, east = northIsX ? dy : dx;
    double a = std::atan2(east, north) * 180 / std::numbers::pi;
    if (!std::isfinite(a)) return std::nullopt;
    if (a < 0) a += 360;
    return a;
}


// Screen form: digit groups; copy form: none, so a spreadsheet takes it as
// a number.
QString shown(double v, const char *pattern) {
    return formatNumber(v, QString::fromLatin1(pattern)).trimmed();
}
QString groupedFixed(double v, int decimals) {
    static const char *const kPatterns[] = {"### ### ### ##0", "### ### ### ##0.0",
                                            "### ### ### ##0.00", "### ### ### ##0.000",
                                            "### ### ### ##0.0000"};
    return shown(v, kPatterns[std::clamp(decimals, 0, 4)]);
}
QString plainFixed(double v, int decimals) {
    static const char *const kPatterns[] = {"0", "0.0", "0.00", "0.000", "0.0000"};
    return shown(v, kPatterns[std::clamp(decimals, 0, 4)]);
}

// The decimals a coordinate is written with: those it has, two at least as
// the table shows them ("452 297,10", not "452297,1"), four at most.
int coordinateDecimals(double v) {
    const QString text = plainText(v);
    const qsizetype comma = text.indexOf(QLatin1Char(','));
    if (comma < 0 || text.contains(QLatin1Char('E'))) return 2;
    return std::clamp(int(text.size() - comma - 1), 2, 4);
}

QString directionText(const std::optional<double> &a) {
    if (!a) return QStringLiteral("—");
    std::int64_t s = toSeconds(*a);
    if (s >= kFullTurnSec) s -= kFullTurnSec;
    return degreesText(double(s) / 3600);
}

QString angleText(const std::optional<double> &a) {
    return a ? degreesText(*a) : QStringLiteral("—");
}

QString percentText(double p) {
    return (p > 0 ? QStringLiteral("+") : QString()) + groupedFixed(p, 2) + QStringLiteral(" %");
}

QString contourHeading(const SheetContour &c, int contours) {
    QString text = QStringLiteral("Контур %1 из %2").arg(c.number).arg(contours);
    if (c.hole) text += QStringLiteral(" (дырка)");
    return text;
}

QString contourAreaLine(const SheetContour &c) {
    const QString m2 = QStringLiteral(" м²");
    return (c.hole ? QStringLiteral("Площадь дырки: ") : QStringLiteral("Площадь контура: ")) +
           groupedFixed(c.areaM2, 0) + m2 + QStringLiteral(" (") + groupedFixed(c.areaM2, 2) + m2 +
           QStringLiteral("), периметр ") + groupedFixed(c.perimeterM, 2) + QStringLiteral(" м");
}

// One line of the totals: its caption, its value as the window writes it,
// and the cells a spreadsheet receives after the caption, which names the
// unit there (empty: the caption as it is).
struct Total {
    QString caption;
    QString shown;
    QStringList cells;
    QString copyCaption;
};

std::vector<Total> totals(const SurveySheet &s) {
    std::vector<Total> t;
    const QString m2 = QStringLiteral(" м²");
    t.push_back({QStringLiteral("Площадь"),
                 groupedFixed(s.areaM2, 0) + m2 + QStringLiteral(" (") + groupedFixed(s.areaM2, 2) +
                     m2 + QStringLiteral(")"),
                 {plainFixed(s.areaM2, 0), plainFixed(s.areaM2, 2)},
                 QStringLiteral("Площадь, м²")});
    t.push_back({QStringLiteral("Гектары"),
                 groupedFixed(s.hectares, 4) + QStringLiteral(" га"),
                 {plainFixed(s.hectares, 4)},
                 QStringLiteral("Площадь, га")});
    t.push_back({QStringLiteral("Сотки"),
                 groupedFixed(s.sotki, 2) + QStringLiteral(" сот."),
                 {plainFixed(s.sotki, 2)},
                 QStringLiteral("Площадь, сотки")});
    t.push_back({QStringLiteral("Периметр"),
                 groupedFixed(s.perimeterM, 2) + QStringLiteral(" м"),
                 {plainFixed(s.perimeterM, 2)},
                 QStringLiteral("Периметр, м")});
    if (s.toleranceM2) {
        const QString mt = groupedFixed(*s.mt, 2);
        QString source = QStringLiteral("Mt = ") + mt + QStringLiteral(" м");
        if (!s.category.isEmpty()) source += QStringLiteral(", ") + s.category;
        t.push_back({QStringLiteral("± ΔP"),
                     groupedFixed(*s.toleranceM2, 0) + m2 + QStringLiteral(" (P = ") +
                         groupedFixed(s.areaM2, 0) + QStringLiteral(" ± ") +
                         groupedFixed(*s.toleranceM2, 0) + m2 + QStringLiteral("; ") + source +
                         QStringLiteral(")"),
                     {plainFixed(*s.toleranceM2, 0), QStringLiteral("Mt, м"), plainFixed(*s.mt, 2),
                      s.category},
                     QStringLiteral("± ΔP, м²")});
    } else {
        t.push_back({QStringLiteral("± ΔP"),
                     QStringLiteral("— (Mt не задано)"),
                     {QString()},
                     QStringLiteral("± ΔP, м²")});
    }
    const QString expected = degreesText(s.angleSumExpectedDeg);
    if (s.angleSumDeg) {
        const QString sum = degreesText(*s.angleSumDeg);
        const auto sec = std::int64_t(*s.angleMisclosureSec);
        const QString misclosure = (sec > 0 ? QStringLiteral("+") : QString()) +
                                   QString::number(sec) + QStringLiteral("″");
        t.push_back({QStringLiteral("Сумма углов"),
                     sum + QStringLiteral(", теоретическая 180° · (n − 2) = ") + expected +
                         QStringLiteral(", невязка ") + misclosure,
                     {sum, expected, misclosure},
                     {}});
    } else {
        t.push_back({QStringLiteral("Сумма углов"),
                     QStringLiteral("— (не все углы определены), теоретическая ") + expected,
                     {QStringLiteral("—"), expected},
                     {}});
    }
    // Which axis the direction angles start from: the one drawn upward.
    const QString north = s.northIsX ? QStringLiteral("от оси X (север), по часовой стрелке")
                                     : QStringLiteral("от оси Y (север), по часовой стрелке");
    t.push_back({QStringLiteral("Дирекционные углы"), north, {north}, {}});
    if (s.ellipsoidAreaM2) {
        QString value = groupedFixed(*s.ellipsoidAreaM2, 0) + m2;
        QStringList cells{plainFixed(*s.ellipsoidAreaM2, 0)};
        if (s.ellipsoidDiffPercent) {
            value += QStringLiteral(" (") + percentText(*s.ellipsoidDiffPercent) +
                     QStringLiteral(" к площади на плоскости)");
            cells << plainFixed(*s.ellipsoidDiffPercent, 2) + QStringLiteral(" %");
        }
        t.push_back({QStringLiteral("Площадь на эллипсоиде WGS 84"), value, cells,
                     QStringLiteral("Площадь на эллипсоиде WGS 84, м²")});
    }
    // The plot this contour belongs to, and what the registry says of it.
    const double plotArea = s.plotAreaM2 ? *s.plotAreaM2 : s.areaM2;
    if (s.contours > 1 && s.plotAreaM2)
        t.push_back({QStringLiteral("Площадь участка (контуров: %1)").arg(s.contours),
                     groupedFixed(plotArea, 0) + m2 + QStringLiteral(" (") +
                         groupedFixed(plotArea, 2) + m2 + QStringLiteral(")"),
                     {plainFixed(plotArea, 0), plainFixed(plotArea, 2)},
                     QStringLiteral("Площадь участка, м²")});
    if (s.info.registeredArea) {
        const double registered = *s.info.registeredArea;
        QString value = groupedFixed(registered, 0);
        if (s.info.areaTolerance)
            value += QStringLiteral(" ± ") + groupedFixed(*s.info.areaTolerance, 0);
        value += m2 + QStringLiteral("; вычисленная: ") + groupedFixed(plotArea, 0) + m2;
        // The registry's area and the computed one, both to the square
        // metre, as the extract gives it.
        const double difference = std::abs(roundHalfEven(plotArea, 0) - roundHalfEven(registered, 0));
        if (!s.info.areaTolerance || difference <= *s.info.areaTolerance)
            value += QStringLiteral(", в пределах погрешности");
        else
            value += QStringLiteral(", расхождение ") + groupedFixed(difference, 0) + m2 +
                     QStringLiteral(" больше погрешности");
        t.push_back({QStringLiteral("Площадь по сведениям ЕГРН"), value, {value}, {}});
    }
    if (!s.info.coordinateSystem.isEmpty())
        t.push_back({QStringLiteral("Система координат"), s.info.coordinateSystem,
                     {s.info.coordinateSystem}, {}});
    for (const QString &w : s.warnings)
        t.push_back({QStringLiteral("Предупреждение"), w, {w}, {}});
    return t;
}

// The whole sheet as rows of cells, as a spreadsheet receives it.
std::vector<QStringList> grid(const SurveySheet &s) {
    std::vector<QStringList> g;
    g.push_back({QStringLiteral("Ведомость участка")});
    if (!s.owner.trimmed().isEmpty()) g.push_back({s.owner.trimmed()});
    const auto table = [&g, &s](const std::vector<SheetRow> &rows) {
        g.push_back(sheetColumnHeads(s));
        for (const SheetRow &r : rows)
            g.push_back({r.name.isEmpty() ? QString::number(r.corner) : r.name,
                         plainFixed(r.x, coordinateDecimals(r.x)),
                         plainFixed(r.y, coordinateDecimals(r.y)), plainFixed(r.sideM, 2),
                         directionText(r.direction), angleText(r.interior)});
    };
    g.push_back({});
    if (s.parts.empty()) table(s.rows);
    for (const SheetContour &c : s.parts) {
        g.push_back({contourHeading(c, s.contours)});
        table(c.rows);
        g.push_back({c.hole ? QStringLiteral("Площадь дырки, м²") : QStringLiteral("Площадь контура, м²"),
                     plainFixed(c.areaM2, 0), plainFixed(c.areaM2, 2),
                     QStringLiteral("Периметр, м"), plainFixed(c.perimeterM, 2)});
        g.push_back({});
    }
    g.push_back({});
    for (const Total &t : totals(s))
        g.push_back(QStringList{t.copyCaption.isEmpty() ? t.caption : t.copyCaption} + t.cells);
    return g;
}

} // namespace

const std::array<LandCategory, 6> &landCategories() {
    static const std::array<LandCategory, 6> kCategories = {{
        {QStringLiteral("земли населённых пунктов"), 0.10},
        {QStringLiteral("участки для садоводства, огородничества, ЛПХ, ИЖС, гаражей"), 0.20},
        {QStringLiteral("прочие земли сельскохозяйственного назначения"), 2.50},
        {QStringLiteral("земли промышленности, энергетики, транспорта и иного специального "
                        "назначения"),
         0.50},
        {QStringLiteral("земли особо охраняемых территорий"), 2.50},
        {QStringLiteral("земли лесного фонда, водного фонда и запаса"), 5.00},
    }};
    return kCategories;
}

QString degreesText(double degrees) {
    if (!std::isfinite(degrees)) return QString();
    std::int64_t s = toSeconds(std::abs(degrees));
    const QString sign = degrees < 0 && s > 0 ? QStringLiteral("-") : QString();
    const std::int64_t d = s / 3600;
    s %= 3600;
    return sign + QString::number(d) + QStringLiteral("° ") +
           QStringLiteral("%1").arg(s / 60, 2, 10, QLatin1Char('0')) + QStringLiteral("′ ") +
           QStringLiteral("%1").arg(s % 60, 2, 10, QLatin1Char('0')) + QStringLiteral("″");
}

namespace {

// The tables of a plot's contours: each computed as a polygon of its own,
// the edited one as the sheet itself was.
void listContours(const SheetInput &in, SurveySheet &s) {
    const PolygonTexts &texts = in.polygon.texts;
    const std::vector<ContourTexts> contours = plotContours(texts);
    std::size_t other = 0;
    for (std::size_t k = 0; k < contours.size(); ++k) {
        SheetContour c;
        c.number = int(k) + 1;
        c.hole = contours[k].hole;
        if (int(k) == texts.place) {
            c.edited = true;
            c.rows = s.rows;
            c.areaM2 = s.areaM2;
            c.perimeterM = s.perimeterM;
        } else {
            SheetInput one;
            one.polygon.unit = in.polygon.unit;
            one.polygon.texts.count = contours[k].count;
            one.polygon.texts.x = contours[k].x;
            one.polygon.texts.y = contours[k].y;
            one.polygon.texts.names = contours[k].names;
            const auto count = textToInt32(contours[k].count);
            one.polygon.corners = std::clamp(count.value_or(kMinCorners), kMinCorners, kMaxCorners);
            if (in.otherValues && other < in.otherValues->size())
                one.values = &(*in.otherValues)[other];
            one.northIsX = in.northIsX;
            one.mt.reset();
            const SurveySheet part = computeSurveySheet(one);
            c.rows = part.rows;
            c.areaM2 = part.areaM2;
            c.perimeterM = part.perimeterM;
            ++other;
        }
        s.parts.push_back(std::move(c));
    }
}

} // namespace

SurveySheet computeSurveySheet(const SheetInput &in) {
    SurveySheet s;
    s.unit = in.polygon.unit;
    s.northIsX = in.northIsX;
    // The owner label's prompt, never edited, names no owner.
    s.owner = in.polygon.texts.owner == defaultPolygon().owner ? QString() : in.polygon.texts.owner;
    const CornerValues read = in.values ? CornerValues{} : cornerValues(in.polygon);
    const CornerValues &values = in.values ? *in.values : read;
    const int n = values.n;
    const double toMetres = s.unit == Unit::Kilometres ? 1000.0 : 1.0;

    const Coordinates &X = values.X, &Y = values.Y;
    const auto next = [n](int i) { return i == n ? 1 : i + 1; };
    const auto prev = [n](int i) { return i == 1 ? n : i - 1; };
    const auto at = [](const Coordinates &a, int i) { return a[std::size_t(i)]; };

    const bool clockwise = SignedArea(n, X.data(), Y.data()) < 0;

    s.areaM2 = finiteOrMax(PolygonArea(n, X.data(), Y.data()) * toMetres * toMetres);
    s.hectares = s.areaM2 / 10000;
    s.sotki = s.areaM2 / 100;

    std::int64_t sumSec = 0;
    bool allAngles = true;
    for (int i = 1; i <= n; ++i) {
        SheetRow r;
        r.corner = i;
        r.name = in.polygon.texts.names[std::size_t(i)];
        r.x = at(X, i);
        r.y = at(Y, i);
        const double dx = at(X, next(i)) - r.x, dy = at(Y, next(i)) - r.y;
        r.sideM = finiteOrMax(distance(r.x, r.y, at(X, next(i)), at(Y, next(i))) * toMetres);
        r.direction = directionOf(dx, dy, in.northIsX);
        r.interior = InteriorAngle(r.x, r.y, at(X, prev(i)), at(Y, prev(i)), at(X, next(i)),
                                   at(Y, next(i)), clockwise);
        if (r.interior)
            sumSec += toSeconds(*r.interior);
        else
            allAngles = false;
        s.perimeterM = finiteOrMax(s.perimeterM + r.sideM);
        s.rows.push_back(r);
    }

    s.angleSumExpectedDeg = 180.0 * (n - 2);
    if (allAngles) {
        s.angleSumDeg = double(sumSec) / 3600;
        s.angleMisclosureSec = double(sumSec - toSeconds(s.angleSumExpectedDeg));
    }

    if (in.mt && std::isfinite(*in.mt) && *in.mt > 0) {
        s.mt = in.mt;
        s.category = in.category;
        s.toleranceM2 = roundHalfEven(finiteOrMax(3.5 * *in.mt * std::sqrt(s.areaM2)), 0);
    }

    for (const PolygonWarning &w : polygonWarnings(in.polygon, values))
        s.warnings << w.line();

    if (in.ellipsoidAreaM2 && std::isfinite(*in.ellipsoidAreaM2)) {
        s.ellipsoidAreaM2 = in.ellipsoidAreaM2;
        if (s.areaM2 > 0)
            s.ellipsoidDiffPercent = (*in.ellipsoidAreaM2 - s.areaM2) / s.areaM2 * 100;
    }
    s.contours = std::max(in.contours, 1);
    if (in.plotAreaM2 && std::isfinite(*in.plotAreaM2)) s.plotAreaM2 = in.plotAreaM2;
    s.info = in.info;
    if (contourCount(in.polygon.texts) > 1) listContours(in, s);
    return s;
}

QStringList sheetColumnHeads(const SurveySheet &s) {
    const QString u = unitSymbol(s.unit);
    return {QStringLiteral("№ угла"),
            QStringLiteral("X, ") + u,
            QStringLiteral("Y, ") + u,
            QStringLiteral("Длина стороны, м"),
            QStringLiteral("Дирекционный угол"),
            QStringLiteral("Внутренний угол")};
}

QStringList sheetRowCells(const SheetRow &r) {
    // A named point shows its name, as the catalogue or the extract has it.
    return {r.name.isEmpty() ? QString::number(r.corner) : r.name,
            groupedFixed(r.x, coordinateDecimals(r.x)),
            groupedFixed(r.y, coordinateDecimals(r.y)), groupedFixed(r.sideM, 2),
            directionText(r.direction),     angleText(r.interior)};
}

int sheetTableLineCount(const SurveySheet &s) {
    if (s.parts.empty()) return int(s.rows.size());
    std::size_t n = 0;
    for (const SheetContour &c : s.parts)
        n += c.rows.size() + 2;
    return int(n);
}

SheetTableLine sheetTableLine(const SurveySheet &s, int i) {
    if (i < 0) return {};
    std::size_t at = std::size_t(i);
    if (s.parts.empty())
        return at < s.rows.size() ? SheetTableLine{SheetTableLine::Kind::Corner, sheetRowCells(s.rows[at])}
                                  : SheetTableLine{};
    for (const SheetContour &c : s.parts) {
        if (at == 0) return {SheetTableLine::Kind::Heading, {contourHeading(c, s.contours)}};
        if (at <= c.rows.size()) return {SheetTableLine::Kind::Corner, sheetRowCells(c.rows[at - 1])};
        if (at == c.rows.size() + 1) return {SheetTableLine::Kind::Area, {contourAreaLine(c)}};
        at -= c.rows.size() + 2;
    }
    return {};
}

QStringList sheetTotalLines(const SurveySheet &s, bool withWarnings) {
    QStringList lines;
    for (const Total &t : totals(s))
        lines << t.caption + QStringLiteral(": ") + t.shown;
    if (!withWarnings) lines.resize(lines.size() - s.warnings.size());
    return lines;
}

QString sheetTsv(const SurveySheet &s) {
    QString out;
    for (const QStringList &row : grid(s))
        out += row.join(QLatin1Char('\t')) + QLatin1Char('\n');
    return out;
}

QString sheetHtml(const SurveySheet &s) {
    QString out = QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body>\n"
                                 "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n");
    for (const QStringList &row : grid(s)) {
        out += QStringLiteral("<tr>");
        for (const QString &cell : row)
            out += QStringLiteral("<td>") + cell.toHtmlEscaped() + QStringLiteral("</td>");
        out += QStringLiteral("</tr>\n");
    }
    out += QStringLiteral("</table>\n</body></html>\n");
    return out;
}

namespace {

// A table ruled as a paper sheet is: thin black lines, one between cells.
QString tableStart() {
    return QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" "
                          "style=\"border-collapse: collapse; border-style: solid; "
                          "border-color: #000000\">\n");
}

// One table of corners with its head row; the corner's number centred and
// the figures to the right, as the window has them.
QString cornerTableHtml(const SurveySheet &s, const std::vector<SheetRow> &rows) {
    QString out = tableStart() + QStringLiteral("<tr>");
    for (const QString &head : sheetColumnHeads(s))
        out += QStringLiteral("<th>") + head.toHtmlEscaped() + QStringLiteral("</th>");
    out += QStringLiteral("</tr>\n");
    for (const SheetRow &r : rows) {
        const QStringList cells = sheetRowCells(r);
        out += QStringLiteral("<tr>");
        for (qsizetype c = 0; c < cells.size(); ++c)
            out += (c == 0 ? QStringLiteral("<td align=\"center\">")
                           : QStringLiteral("<td align=\"right\">")) +
                   cells[c].toHtmlEscaped() + QStringLiteral("</td>");
        out += QStringLiteral("</tr>\n");
    }
    return out + QStringLiteral("</table>\n");
}

} // namespace

QString sheetDocumentHtml(const SurveySheet &s) {
    const QString title = QStringLiteral("Ведомость участка");
    QString out = QStringLiteral("<html><head><meta charset=\"utf-8\"><title>") + title +
                  QStringLiteral("</title></head><body>\n<h1>") + title + QStringLiteral("</h1>\n");
    const QString owner = s.owner.trimmed();
    if (!owner.isEmpty())
        out += QStringLiteral("<p>") + owner.toHtmlEscaped() + QStringLiteral("</p>\n");
    if (s.parts.empty()) out += cornerTableHtml(s, s.rows);
    for (const SheetContour &c : s.parts)
        out += QStringLiteral("<h2>") + contourHeading(c, s.contours).toHtmlEscaped() +
               QStringLiteral("</h2>\n") + cornerTableHtml(s, c.rows) + QStringLiteral("<p>") +
               contourAreaLine(c).toHtmlEscaped() + QStringLiteral("</p>\n");
    // The totals as the window words them, caption beside value; the
    // warnings stand apart below, in red as on screen.
    out += tableStart();
    const std::vector<Total> all = totals(s);
    const std::size_t shownTotals = all.size() - std::size_t(s.warnings.size());
    for (std::size_t i = 0; i < shownTotals; ++i)
        out += QStringLiteral("<tr><td>") + all[i].caption.toHtmlEscaped() +
               QStringLiteral("</td><td>") + all[i].shown.toHtmlEscaped() +
               QStringLiteral("</td></tr>\n");
    out += QStringLiteral("</table>\n");
    for (const QString &w : s.warnings)
        out += QStringLiteral("<p style=\"color:#ff0000\">") +
               (QStringLiteral("Предупреждение: ") + w).toHtmlEscaped() + QStringLiteral("</p>\n");
    return out + QStringLiteral("</body></html>\n");
}

} // namespace tarvel::geometry
