#include "files/coordinate_catalogue.h"

#include "geometry/numtext.h"
#include "geometry/polygon.h"
#include "platform/io/cp1251.h"

#include <QStringDecoder>

#include <algorithm>

namespace tarvel::files {

bool isCatalogueFile(const QString &path, const QByteArray &bytes) {
    if (path.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive)) return true;
    if (!path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive)) return false;
    const geometry::PastedTable table = readCatalogue(bytes);
    if (table.kind != geometry::PastedTable::Kind::Corners) return false;
    for (const geometry::PastedCorner &c : table.corners)
        if (!c.name.isEmpty() || c.contour > 0) return true;
    return false;
}

QString catalogueText(const QByteArray &bytes) {
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF")) view = view.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(view);
    if (!utf8.hasError()) return text;
    return platform::cp1251::decode(view.toByteArray());
}

geometry::PastedTable readCatalogue(const QByteArray &bytes) {
    return geometry::readPastedCorners(catalogueText(bytes), geometry::kMaxCorners);
}

std::optional<QByteArray> catalogueFile(const geometry::PolygonTexts &plot, geometry::Unit unit,
                                        int countInForce) {
    const double toMetres = unit == geometry::Unit::Kilometres ? 1000.0 : 1.0;
    const std::vector<geometry::ContourTexts> contours = geometry::plotContours(plot);
    QString text = QStringLiteral("№;X;Y\r\n");
    for (std::size_t k = 0; k < contours.size(); ++k) {
        const geometry::ContourTexts &c = contours[k];
        // The contour edited is as many corners as are in force; a count
        // typed and not yet applied is no part of it.
        const int n = int(k) == plot.place
                          ? countInForce
                          : std::clamp(geometry::textToInt32(c.count).value_or(geometry::kMinCorners),
                                       geometry::kMinCorners, geometry::kMaxCorners);
        if (k > 0) text += QStringLiteral("\r\n");
        for (int i = 1; i <= n; ++i) {
            const std::size_t r = std::size_t(i);
            const auto x = geometry::textToCoordinate(c.x[r]);
            const auto y = geometry::textToCoordinate(c.y[r]);
            if (!x || !y) return std::nullopt;
            // A separator in a name would shift its row's columns.
            const QString name = QString(c.names[r]).replace(QLatin1Char(';'), QLatin1Char(' ')).trimmed();
            text += (name.isEmpty() ? QString::number(i) : name) + QLatin1Char(';') +
                    geometry::formatNumber(*x * toMetres, QStringLiteral("0.00")).trimmed() +
                    QLatin1Char(';') +
                    geometry::formatNumber(*y * toMetres, QStringLiteral("0.00")).trimmed() +
                    QStringLiteral("\r\n");
        }
    }
    return text.toUtf8();
}

} // namespace tarvel::files
