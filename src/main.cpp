// Тарвел 3.0: the area, sides and angles of a plane polygon, drawn to scale.
#include "main_window/form1.h"
#include "main_window/shared_state.h"
#include "platform/controls/qt_translation.h"
#include "platform/services/first_paint_probe.h"
#include "platform/services/real_services.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>

#include <csignal>

int main(int argc, char *argv[]) {
    const auto started = std::chrono::steady_clock::now(); // start-up measurement hook
    // Under a file-size limit (ulimit -f) a write past it would end the
    // program with SIGXFSZ, and the unsaved polygon with it; ignored, the
    // write fails with EFBIG and the save says so like any failed write.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    // Settings and the file-type association go under the executable's base
    // name, so a copy under another name keeps settings of its own.
    const QString appName = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    QCoreApplication::setApplicationName(appName);

    // The interface is Russian, the standard buttons and dialogs included.
    tarvel::platform::QtTranslationOnDemand qtTranslation(
        QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    qtTranslation.install();

    tarvel::platform::RealServices services(appName, QCoreApplication::applicationFilePath(),
                                            QCoreApplication::arguments());
    auto bundle = services.bundle();
    tarvel::main_window::SharedState state;
    tarvel::main_window::Form1 form(state, bundle);
    form.Form_Load();

    tarvel::platform::FirstPaintProbe firstPaintProbe(form, started); // start-up measurement hook
    if (qEnvironmentVariableIsSet("TARVEL_EXIT_AFTER_FIRST_PAINT"))
        app.installEventFilter(&firstPaintProbe);

    form.show();
    return QApplication::exec();
}
