#include "main_window/tool_actions.h"

#include "files/settings.h"
#include "geometry/polygon_document.h"
#include "platform/controls/help_window.h"
#include "platform/io/regular_file.h"
#include "platform/services/services.h"
#include "settings_windows/browse_for_folder.h"
#include "settings_windows/frm_podsk1.h"

#include <QFileInfo>
#include <QWidget>

namespace tarvel::main_window {

using platform::MsgButtons;
using platform::MsgIcon;

ToolActions::ToolActions(const geometry::PolygonDocument &document, platform::Services &services,
                         files::Settings &settings, QWidget *owner, QObject *parent)
    : QObject(parent), doc_(document), services_(services), settings_(settings), owner_(owner) {}

ToolActions::~ToolActions() = default;

void ToolActions::exportCoordinates() {
    platform::FileDialogRequest request;
    request.defaultExt = QStringLiteral("*.xlsx");
    request.filter = QStringLiteral("Файлы (*.xlsx)|*.xlsx|Все файлы(*.*)|*.*|");
    request.fileName = QStringLiteral("Координаты многоугольника");
    request.initDir = settings_.WorkFolder;
    const auto path = services_.dialogs.showSave(owner_, request);
    if (!path) return;

    // The corners in force only: hidden rows are no corners, and the
    // workbook must read back as the polygon shown.
    const geometry::PolygonTexts &t = doc_.texts();
    switch (files::exportCoordinates(services_.spreadsheet, t.x, t.y, doc_.cornerCount(), *path)) {
    case files::ExportResult::Ok:
        break;
    case files::ExportResult::PermissionDenied:
        services_.messages.show(owner_, QStringLiteral("Доступ к файлу закрыт!"), MsgButtons::OK,
                                MsgIcon::Exclamation, QStringLiteral("Ошибка экспорта"));
        break;
    case files::ExportResult::Failed:
        services_.messages.show(owner_, QStringLiteral("Ошибка экспорта!"), MsgButtons::OK,
                                MsgIcon::Information, QStringLiteral("Ошибка"));
        break;
    }
}

void ToolActions::importCoordinates() {
    if (settings_.ImportHintOff != 0) {
        readWorkbook();
        return;
    }
    // A hint window still open is shown again rather than a second one.
    if (!hint_ || !hint_->isVisible()) {
        hint_ = std::make_unique<settings_windows::FrmPodsk1>(owner_);
        connect(hint_.get(), &settings_windows::FrmPodsk1::closed, this,
                [this](bool dontShowAgain) {
                    settings_.ImportHintOff = dontShowAgain ? 1 : 0;
                    files::storeImportHintOff(services_.settings, settings_.ImportHintOff);
                    readWorkbook();
                });
    }
    hint_->show();
    hint_->raise();
    hint_->activateWindow();
}

void ToolActions::closeImportHint() {
    if (!hint_) return;
    hint_->disconnect(this);
    hint_->close();
}

void ToolActions::readWorkbook() {
    platform::FileDialogRequest request;
    request.filter = QStringLiteral("Файлы (*.xlsx;*.ods;*.csv;*.xls)|*.xlsx;*.ods;*.csv;*.xls|"
                                    "Все файлы(*.*)|*.*|");
    request.initDir = settings_.WorkFolder;
    const auto path = services_.dialogs.showOpen(owner_, request);
    if (!path) return;

    // The spreadsheet layer refuses named pipes and devices without waiting.
    const auto columns = services_.spreadsheet.readColumns(*path);
    const files::ImportOutcome outcome =
        columns ? files::importCorners(*columns)
                : files::ImportOutcome{std::nullopt, QStringLiteral("Ошибка импорта!")};
    if (!outcome.corners) {
        services_.messages.show(owner_, outcome.message, MsgButtons::OK, MsgIcon::Exclamation,
                                QStringLiteral("Ошибка импорта"));
        return;
    }
    emit cornersImported(*outcome.corners);
}

void ToolActions::startCalculator() {
    // The desktop's own calculator, whichever of the usual ones is there.
    static const QStringList kCalculators = {
        QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"),
        QStringLiteral("mate-calc"),        QStringLiteral("galculator"),
        QStringLiteral("qalculate-gtk"),    QStringLiteral("xcalc")};
    const QString program = services_.shell.findProgram(kCalculators);
    if (program.isEmpty()) {
        services_.messages.show(owner_, QStringLiteral("Калькулятор не найден."), MsgButtons::OK,
                                MsgIcon::Information, QStringLiteral("Сообщение программы"));
        return;
    }
    services_.shell.startProgram(program, {});
}

void ToolActions::chooseWorkFolder() {
    const QString start =
        settings_.WorkFolder.isEmpty() ? QStringLiteral("/") : settings_.WorkFolder;
    const QString folder = settings_windows::BrowseForFolder(
        services_.dialogs, owner_, QStringLiteral("Выберите папку"), start);
    // Cancel keeps the folder the user had: losing it would send every file
    // dialog back to the platform's default.
    if (folder.isEmpty()) return;
    settings_.WorkFolder = folder;
    files::storeWorkFolder(services_.settings, folder);
}

void ToolActions::showHintsAgain() {
    settings_.ImportHintOff = 0;
    settings_.StepHintOff = 0;
    settings_.CornerHintOff = 0;
    files::storeHints(services_.settings, settings_);
}

void ToolActions::showHelp() {
    // A document that is there but is no regular file (a named pipe, say)
    // would hold the viewer: the built-in help is shown instead. A missing
    // one is still handed on, for the desktop to say so.
    const bool usable = platform::isRegularFile(helpDocument_) || !QFileInfo::exists(helpDocument_);
    if (usable && services_.shell.openDocument(helpDocument_)) return;

    platform::showBuiltInHelp(*owner_);
}

} // namespace tarvel::main_window
