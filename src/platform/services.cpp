#include "platform/real_services.h"

#include <QRegularExpression>

namespace tarvel::platform {

QString qtFilter(const QString &pipeFilter) {
    const QStringList parts = pipeFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString patterns =
            QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')).trimmed();
        if (description.isEmpty() && patterns.isEmpty()) continue;
        // Qt takes the patterns from the last bracket pair of each filter, so
        // a description is followed by its own patterns in brackets unless
        // it already ends with exactly them.
        if (description.endsWith(QLatin1Char(')')) &&
            description.contains(QStringLiteral("(") + patterns + QStringLiteral(")")))
            filters << description;
        else
            filters << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

QString defaultSuffix(const QString &defaultExt) {
    QString s = defaultExt.trimmed();
    if (s.startsWith(QStringLiteral("*.")))
        s = s.mid(2);
    else if (s.startsWith(QLatin1Char('.')))
        s = s.mid(1);
    return s;
}

} // namespace tarvel::platform
