#include "platform/services/real_services.h"

#include <QRegularExpression>

namespace tarvel::platform {

void showNotANumber(MessageBoxService &messages, QWidget *owner) {
    messages.show(owner, QStringLiteral("В поле с координатами не число!"), MsgButtons::OK,
                  MsgIcon::Exclamation, QStringLiteral("Ошибка"));
}

QString qtFilter(const QString &pipeFilter) {
    const QStringList parts = pipeFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString patterns =
            QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')).trimmed();
        if (description.isEmpty() && patterns.isEmpty()) continue;
        // Qt takes the patterns from the last bracket pair of each filter,
        // separated by blanks. A description that already ends with its
        // own patterns in brackets ("Файлы (*.xlsx;*.ods)") shows them once,
        // in Qt's form; any other gets them appended.
        static const QRegularExpression separators(QStringLiteral("[;, ]+"));
        const qsizetype open = description.lastIndexOf(QLatin1Char('('));
        if (description.endsWith(QLatin1Char(')')) && open >= 0 &&
            description.mid(open + 1, description.size() - open - 2)
                    .split(separators, Qt::SkipEmptyParts) ==
                patterns.split(separators, Qt::SkipEmptyParts))
            filters << description.left(open) + QLatin1Char('(') + patterns + QLatin1Char(')');
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
