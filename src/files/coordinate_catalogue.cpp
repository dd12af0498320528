#include "files/coordinate_catalogue.h"

#include "geometry/polygon.h"
#include "platform/io/cp1251.h"

#include <QStringDecoder>

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

} // namespace tarvel::files
