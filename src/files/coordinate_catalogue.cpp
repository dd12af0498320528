#include "files/coordinate_catalogue.h"

#include "files/map_export.h"

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
    // The same reading of the contours as a map's: X the northing.
    const auto map = mapExportOf(plot, unit, countInForce, true);
    if (!map) return std::nullopt;
    QString text = QStringLiteral("№;X;Y\r\n");
    for (std::size_t k = 0; k < map->rings.size(); ++k) {
        const platform::GisRing &ring = map->rings[k];
        if (k > 0) text += QStringLiteral("\r\n");
        for (std::size_t i = 0; i < ring.points.size(); ++i) {
            // A separator in a name would shift its row's columns.
            const QString name =
                QString(ring.names[i]).replace(QLatin1Char(';'), QLatin1Char(' ')).trimmed();
            text += (name.isEmpty() ? QString::number(i + 1) : name) + QLatin1Char(';') +
                    geometry::formatNumber(ring.points[i].y, QStringLiteral("0.00")).trimmed() +
                    QLatin1Char(';') +
                    geometry::formatNumber(ring.points[i].x, QStringLiteral("0.00")).trimmed() +
                    QStringLiteral("\r\n");
        }
    }
    return text.toUtf8();
}

} // namespace tarvel::files
