#include "platform/controls/help_window.h"

#include "platform/controls/keyboard.h"
#include "program.h"

#include <QDialog>
#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace tarvel::platform {

namespace {

const QString kHelpWindowName = QStringLiteral("helpWindow");

QString builtInHelp() {
    QFile file(QStringLiteral(":/tarvel/help_ru.html"));
    if (file.open(QIODevice::ReadOnly)) return QString::fromUtf8(file.readAll());
    return QStringLiteral("<h1>") + kProgramTitle +
           QStringLiteral("</h1><p>Расчет площади многоугольника по координатам углов.</p>");
}

} // namespace

QDialog *showBuiltInHelp(QWidget &owner) {
    if (auto *open = owner.findChild<QDialog *>(kHelpWindowName, Qt::FindDirectChildrenOnly)) {
        open->raise();
        open->activateWindow();
        return open;
    }
    auto *window = new QDialog(&owner);
    window->setObjectName(kHelpWindowName);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(QStringLiteral("Краткая справка"));
    closeOnEscape(*window);
    auto *layout = new QVBoxLayout(window);
    auto *browser = new QTextBrowser(window);
    browser->setOpenExternalLinks(true);
    browser->setHtml(builtInHelp());
    layout->addWidget(browser);
    window->resize(720, 640);
    window->show();
    return window;
}

} // namespace tarvel::platform
