#include "main_window/tool_actions.h"

#include "files/coordinate_catalogue.h"
#include "files/map_export.h"
#include "files/polygon_file.h"
#include "files/settings.h"
#include "platform/io/regular_file.h"
#include "geometry/polygon_document.h"
#include "platform/controls/help_window.h"
#include "platform/controls/window_place.h"
#include "platform/io/regular_file.h"
#include "platform/services/services.h"
#include "settings_windows/browse_for_folder.h"
#include "settings_windows/frm_podsk1.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>

namespace tarvel::main_window {

using platform::MsgButtons;
using platform::MsgIcon;

ToolActions::ToolActions(const geometry::PolygonDocument &document, platform::Services &services,
                         files::Settings &settings, QWidget *owner, QObject *parent)
    : QObject(parent), doc_(document), services_(services), settings_(settings), owner_(owner),
      import_(services.spreadsheet, services.progress, owner) {
    connect(&import_, &WorkbookImport::finished, this, &ToolActions::importEnded);
}

ToolActions::~ToolActions() = default;

void ToolActions::exportCoordinates() {
    platform::FileDialogRequest request;
    request.defaultExt = QStringLiteral("*.xlsx");
    request.filter = QStringLiteral("Файлы (*.xlsx)|*.xlsx|Все файлы(*.*)|*.*|");
    request.fileName = QStringLiteral("Координаты многоугольника");
    request.initDir = files::dialogFolder(settings_.SheetFolder, settings_.WorkFolder);
    const auto path = services_.dialogs.showSave(owner_, request);
    if (!path) return;
    rememberSheetFolder(*path);

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
    if (import_.running()) return;
    if (settings_.ImportHintOff != 0) {
        readWorkbook();
        return;
    }
    // A hint window still open is shown again rather than a second one.
    if (!hint_ || !hint_->isVisible()) {
        hint_ = std::make_unique<settings_windows::FrmPodsk1>(owner_);
        // The file dialog comes once the hint has gone, not from within its
        // closing, where it could open behind the hint still on the screen.
        connect(
            hint_.get(), &settings_windows::FrmPodsk1::closed, this,
            [this](bool dontShowAgain) {
                settings_.ImportHintOff = dontShowAgain ? 1 : 0;
                files::storeImportHintOff(services_.settings, settings_.ImportHintOff);
                readWorkbook();
            },
            Qt::QueuedConnection);
    }
    hint_->show();
    // Over the main window and wholly on the screen.
    hint_->move(platform::centredWithin(hint_->frameGeometry(), owner_->frameGeometry(),
                                        services_.screen.availableArea()));
    hint_->raise();
    hint_->activateWindow();
}

void ToolActions::stopImport() {
    import_.cancel();
    if (!hint_) return;
    hint_->disconnect(this);
    hint_->close();
}

void ToolActions::rememberSheetFolder(const QString &path) {
    settings_.SheetFolder = QDir::toNativeSeparators(QFileInfo(path).absolutePath());
    files::storeSheetFolder(services_.settings, settings_.SheetFolder);
}

void ToolActions::readWorkbook() {
    // The hint may have been closed while a reading ran.
    if (import_.running()) return;
    platform::FileDialogRequest request;
    request.filter =
        QStringLiteral("Файлы (*.xlsx;*.ods;*.csv;*.xls;*.txt)|*.xlsx;*.ods;*.csv;*.xls;*.txt|"
                       "Все файлы(*.*)|*.*|");
    request.initDir = files::dialogFolder(settings_.SheetFolder, settings_.WorkFolder);
    const auto path = services_.dialogs.showOpen(owner_, request);
    if (!path) return;
    rememberSheetFolder(*path);
    if (path->endsWith(QLatin1String(".txt"), Qt::CaseInsensitive) ||
        path->endsWith(QLatin1String(".csv"), Qt::CaseInsensitive)) {
        const auto bytes = platform::readRegularFile(*path, files::kMaxCatalogueBytes);
        if (bytes && files::isCatalogueFile(*path, *bytes)) return readCatalogue(*bytes);
        if (!bytes && path->endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
            return readCatalogue(std::nullopt);
    }
    // The spreadsheet layer refuses named pipes and devices without waiting.
    import_.start(*path);
}

void ToolActions::readCatalogue(const std::optional<QByteArray> &bytes) {
    const geometry::PastedTable table =
        bytes ? files::readCatalogue(*bytes) : geometry::PastedTable{};
    QString message;
    switch (table.kind) {
    case geometry::PastedTable::Kind::Corners:
        emit catalogueImported(table);
        return;
    case geometry::PastedTable::Kind::BadLine:
        message = QStringLiteral("Ошибка импорта! Строка %1: не пара чисел").arg(table.badLine);
        break;
    case geometry::PastedTable::Kind::TooMany:
        message = QStringLiteral("Ошибка импорта! Строка %1: больше %2 углов программа не "
                                 "поддерживает!")
                      .arg(table.badLine)
                      .arg(geometry::kMaxCorners);
        break;
    case geometry::PastedTable::Kind::NotATable:
        message = bytes ? QStringLiteral("Ошибка импорта! В файле нет координат.")
                        : QStringLiteral("Ошибка импорта!");
        break;
    }
    services_.messages.show(owner_, message, MsgButtons::OK, MsgIcon::Exclamation,
                            QStringLiteral("Ошибка импорта"));
}

void ToolActions::importEnded(const files::ImportOutcome &outcome) {
    if (!outcome.corners) {
        services_.messages.show(owner_, outcome.message, MsgButtons::OK, MsgIcon::Exclamation,
                                QStringLiteral("Ошибка импорта"));
        return;
    }
    emit cornersImported(*outcome.corners);
}

namespace {

// The dialog of each format: its filter and the suffix it writes.
struct MapKind {
    const char *filter;
    const char *suffix;
};

MapKind mapKind(platform::GisExport::Format format) {
    using Format = platform::GisExport::Format;
    switch (format) {
    case Format::Dxf:
        return {"Чертёж DXF (*.dxf)|*.dxf|", "*.dxf"};
    case Format::MapInfo:
        return {"MapInfo MIF/MID (*.mif)|*.mif|", "*.mif"};
    case Format::Shapefile:
        return {"Shapefile (*.shp)|*.shp|", "*.shp"};
    case Format::Kml:
        return {"KML (*.kml)|*.kml|", "*.kml"};
    case Format::GeoJson:
        return {"GeoJSON (*.geojson)|*.geojson|", "*.geojson"};
    }
    return {"", ""};
}

} // namespace

const QString ToolActions::kNoSystemForMaps =
    QStringLiteral("Для KML и GeoJSON нужна система координат участка: выберите её в «Настройки → "
                   "Система координат...»");

void ToolActions::exportMap(platform::GisExport::Format format, bool northIsX) {
    using Format = platform::GisExport::Format;
    const geometry::PolygonTexts &t = doc_.texts();
    if ((format == Format::Kml || format == Format::GeoJson) && t.info.systemDefinition.isEmpty()) {
        sayExportError(kNoSystemForMaps);
        return;
    }
    const auto plot = files::mapExportOf(t, doc_.unit(), doc_.cornerCount(), northIsX);
    if (!plot) {
        sayExportError(QStringLiteral("Ошибка экспорта! Не все координаты углов — числа."));
        return;
    }
    platform::GisExport out = *plot;
    out.format = format;
    if (t.info.systemApproximate && (format == Format::Kml || format == Format::GeoJson))
        out.title += QStringLiteral(" (приближённо)");

    const MapKind kind = mapKind(format);
    platform::FileDialogRequest request;
    request.defaultExt = QString::fromLatin1(kind.suffix);
    request.filter = QString::fromUtf8(kind.filter) + QStringLiteral("Все файлы(*.*)|*.*|");
    request.fileName = QStringLiteral("Участок");
    request.initDir = files::dialogFolder(settings_.SheetFolder, settings_.WorkFolder);
    const auto path = services_.dialogs.showSave(owner_, request);
    if (!path) return;
    rememberSheetFolder(*path);
    if (const QString why = services_.gis.write(*path, out); !why.isEmpty()) sayExportError(why);
}

void ToolActions::exportCatalogue() {
    const auto bytes = files::catalogueFile(doc_.texts(), doc_.unit(), doc_.cornerCount());
    if (!bytes) {
        sayExportError(QStringLiteral("Ошибка экспорта! Не все координаты углов — числа."));
        return;
    }
    platform::FileDialogRequest request;
    request.defaultExt = QStringLiteral("*.txt");
    request.filter = QStringLiteral("Каталог координат (*.txt)|*.txt|Каталог координат (*.csv)|*.csv|"
                                    "Все файлы(*.*)|*.*|");
    request.fileName = QStringLiteral("Каталог координат");
    request.initDir = files::dialogFolder(settings_.SheetFolder, settings_.WorkFolder);
    const auto path = services_.dialogs.showSave(owner_, request);
    if (!path) return;
    rememberSheetFolder(*path);
    switch (files::saveFileBytes(*path, *bytes)) {
    case files::SaveResult::Saved:
        return;
    case files::SaveResult::ReadOnly:
        sayExportError(QStringLiteral("Доступ к файлу закрыт!"));
        return;
    case files::SaveResult::CannotCreate:
    case files::SaveResult::WriteFailed:
        sayExportError(QStringLiteral("Ошибка экспорта!"));
        return;
    }
}

void ToolActions::sayExportError(const QString &text) {
    services_.messages.show(owner_, text, MsgButtons::OK, MsgIcon::Exclamation,
                            QStringLiteral("Ошибка экспорта"));
}

std::optional<QString> ToolActions::choosePicture() {
    platform::FileDialogRequest request;
    request.defaultExt = QStringLiteral("*.bmp");
    request.filter = QStringLiteral("Файлы (*.bmp)|*.bmp|Файлы (*.gif)|*.gif|Файлы (*.jpg)|*.jpg|"
                                    "Все файлы(*.*)|*.*|");
    request.initDir = files::dialogFolder(settings_.PictureFolder, settings_.WorkFolder);
    const auto path = services_.dialogs.showOpen(owner_, request);
    if (!path) return std::nullopt;
    settings_.PictureFolder = QDir::toNativeSeparators(QFileInfo(*path).absolutePath());
    files::storePictureFolder(services_.settings, settings_.PictureFolder);
    return path;
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
    files::forgetFileFolders(services_.settings, settings_);
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
