// Form1: spreadsheet exchange, background picture, working folder, hints,
// help, about, calculator, print and the graphics settings.
#include "main_window/form1.h"

#include "program.h"

#include "files/settings.h"
#include "files/spreadsheet_exchange.h"
#include "geometry/numtext.h"
#include "main_window/drawing_surface.h"
#include "main_window/print_page.h"
#include "platform/controls/colours.h"
#include "platform/io/regular_file.h"
#include "settings_windows/browse_for_folder.h"
#include "settings_windows/frm_about.h"
#include "settings_windows/frm_nastr_grid.h"
#include "settings_windows/frm_podsk1.h"
#include "settings_windows/owner_lock.h"

#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>

namespace tarvel {

using platform::MsgButtons;
using platform::MsgIcon;

// ---------------------------------------------------------------- spreadsheet

void Form1::Menu_File_Export_Click() {
    platform::FileDialogRequest request;
    request.defaultExt = QStringLiteral("*.xlsx");
    request.filter = QStringLiteral("Файлы (*.xlsx)|*.xlsx|Все файлы(*.*)|*.*|");
    request.fileName = QStringLiteral("Координаты многоугольника");
    request.initDir = state_.settings.WorkFolder;
    const auto path = services_.dialogs.showSave(this, request);
    if (!path) return;

    // All twenty rows, hidden ones included: the workbook always holds them.
    const geometry::PolygonTexts &t = doc_.texts();
    switch (files::exportCoordinates(services_.spreadsheet, t.x, t.y, *path)) {
    case files::ExportResult::Ok:
        break;
    case files::ExportResult::PermissionDenied:
        services_.messages.show(this, QStringLiteral("Доступ к файлу закрыт!"), MsgButtons::OK,
                                MsgIcon::Exclamation, QStringLiteral("Ошибка экспорта"));
        break;
    case files::ExportResult::Failed:
        services_.messages.show(this, QStringLiteral("Ошибка экспорта!"), MsgButtons::OK,
                                MsgIcon::Information, QStringLiteral("Ошибка"));
        break;
    }
}

void Form1::Menu_File_Import_Click() {
    if (state_.settings.ImportHintOff != 0) {
        ImportCoordinates();
        return;
    }
    // A hint window still open is shown again rather than a second one.
    if (!frmPodsk1_ || !frmPodsk1_->isVisible()) {
        frmPodsk1_ = std::make_unique<settings_windows::FrmPodsk1>(this);
        settings_windows::FrmPodsk1 *hint = frmPodsk1_.get();
        hint->Form_Unload = [this, hint] {
            state_.settings.ImportHintOff = std::int16_t(hint->Ch1->Value());
            files::storeImportHintOff(services_.settings, state_.settings.ImportHintOff);
            ImportCoordinates();
        };
    }
    frmPodsk1_->show();
    frmPodsk1_->raise();
    frmPodsk1_->activateWindow();
}

void Form1::ImportCoordinates() {
    platform::FileDialogRequest request;
    request.filter = QStringLiteral("Файлы (*.xlsx;*.ods;*.csv;*.xls)|*.xlsx;*.ods;*.csv;*.xls|"
                                    "Все файлы(*.*)|*.*|");
    request.initDir = state_.settings.WorkFolder;
    const auto path = services_.dialogs.showOpen(this, request);
    if (!path) return;

    // The spreadsheet layer refuses named pipes and devices without waiting.
    const auto columns = services_.spreadsheet.readColumns(*path);
    const auto corners = columns ? files::importCorners(*columns) : std::nullopt;
    if (!corners) {
        services_.messages.show(this, QStringLiteral("Ошибка импорта!"), MsgButtons::OK,
                                MsgIcon::Exclamation, QStringLiteral("Ошибка импорта"));
        return;
    }
    geometry::PolygonTexts t = doc_.texts();
    for (int i = 1; i <= 20; ++i) {
        t.x[i] = corners->x[i];
        t.y[i] = corners->y[i];
    }
    t.count = QString::number(corners->count);
    doc_.apply(t, QStringLiteral("Импорт координат"));
}

// ---------------------------------------------------------------- print

void Form1::Menu_File_Print_Click() {
    services_.printer.print(this,
                            [this](QPainter &painter, int dpi) { paintPrintPage(painter, dpi); });
}

void Form1::paintPrintPage(QPainter &painter, int dpi) {
    const PrintPage page{doc_,
                         view_,
                         state_.settings,
                         plot_->picture(),
                         plot_->measure(),
                         CmbEd->Text(),
                         Label1[1]->Caption()};
    page.paint(painter, dpi);
}

// ---------------------------------------------------------------- tools

void Form1::Menu_Tools_Kalk_Click() {
    // The desktop's own calculator, whichever of the usual ones is there.
    static const QStringList kCalculators = {
        QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"),
        QStringLiteral("mate-calc"),        QStringLiteral("galculator"),
        QStringLiteral("qalculate-gtk"),    QStringLiteral("xcalc")};
    const QString program = services_.shell.findProgram(kCalculators);
    if (program.isEmpty()) {
        services_.messages.show(this, QStringLiteral("Калькулятор не найден."), MsgButtons::OK,
                                MsgIcon::Information, QStringLiteral("Сообщение программы"));
        return;
    }
    services_.shell.startProgram(program, {});
}

void Form1::Menu_Tools_Map_Click() {
    platform::FileDialogRequest request;
    request.defaultExt = QStringLiteral("*.bmp");
    request.filter = QStringLiteral("Файлы (*.bmp)|*.bmp|Файлы (*.gif)|*.gif|Файлы (*.jpg)|*.jpg|"
                                    "Все файлы(*.*)|*.*|");
    request.initDir = state_.settings.WorkFolder;
    const auto path = services_.dialogs.showOpen(this, request);
    if (!path) return;
    // A file that is not a picture leaves the previous picture, and the name
    // stored at closing, as they were. Only a regular file is read: a named
    // pipe would hold the window until something wrote to it.
    if (!platform::isRegularFile(*path) || !plot_->picture()->LoadPicture(*path)) return;
    state_.settings.MapPicture = *path;
    // The picture's lower edge lies on the X axis.
    plot_->picture()->setTop(view_.originY - plot_->picture()->Height());
    plot_->picture()->setVisible(true);
}

void Form1::Menu_Tools_Map_Yes_Click() {
    plot_->picture()->setVisible(true);
}

void Form1::Menu_Tools_Map_No_Click() {
    plot_->picture()->setVisible(false);
}

// ---------------------------------------------------------------- settings

void Form1::Menu_Set_Path_Click() {
    const QString start =
        state_.settings.WorkFolder.isEmpty() ? QStringLiteral("/") : state_.settings.WorkFolder;
    const QString folder = settings_windows::BrowseForFolder(
        services_.dialogs, this, QStringLiteral("Выберите папку"), start);
    // Cancel keeps the folder the user had: losing it would send every file
    // dialog back to the platform's default.
    if (folder.isEmpty()) return;
    state_.settings.WorkFolder = folder;
    files::storeWorkFolder(services_.settings, folder);
}

void Form1::Menu_Set_Grid_Click() {
    using settings_windows::FrmNastrGrid;
    if (frmNastrGrid_ && frmNastrGrid_->isVisible()) {
        frmNastrGrid_->raise();
        frmNastrGrid_->activateWindow();
        return;
    }
    // Every opening starts afresh from the variables.
    frmNastrGrid_ = std::make_unique<FrmNastrGrid>(this, services_, state_.settings);
    connect(frmNastrGrid_.get(), &FrmNastrGrid::settingsChanged, this,
            &Form1::applyGraphicsSettings);
    connect(frmNastrGrid_.get(), &FrmNastrGrid::closed, this, [this] {
        // The polygon is not saved by closing the window, so its unsaved
        // edits stay marked: the save question on leaving must still guard
        // them.
        setEnabled(true);
    });
    settings_windows::disableOwnerOnly(*this);
    frmNastrGrid_->Form_Load();
    frmNastrGrid_->show();
}

void Form1::applyGraphicsSettings(const files::Settings &s) {
    files::Settings &v = state_.settings;
    const bool newBackColour = s.BackColour != v.BackColour;
    // Only the graphics variables: the hint flags may have changed meanwhile
    // through the import hint, which stays usable beside the settings window.
    v.ShowGrid = s.ShowGrid;
    v.DragAnywhere = s.DragAnywhere;
    v.SelectOnFocus = s.SelectOnFocus;
    v.ShowAngles = s.ShowAngles;
    v.ShowNumbers = s.ShowNumbers;
    v.ShowLengths = s.ShowLengths;
    v.GridColour = s.GridColour;
    v.LineColour = s.LineColour;
    v.BackColour = s.BackColour;
    if (newBackColour) applyBackColour();
    // The grid, the captions and the colours follow at once.
    redraw();
}

void Form1::Menu_Set_Hlp_Click() {
    files::Settings &s = state_.settings;
    s.ImportHintOff = 0;
    s.StepHintOff = 0;
    s.CornerHintOff = 0;
    files::storeHints(services_.settings, s);
}

// ---------------------------------------------------------------- help, about

namespace {

// The help text compiled into the program, for a desktop without a program
// for PDF documents.
QString builtInHelp() {
    QFile file(QStringLiteral(":/tarvel/help_ru.html"));
    if (file.open(QIODevice::ReadOnly)) return QString::fromUtf8(file.readAll());
    return QStringLiteral("<h1>") + kProgramTitle +
           QStringLiteral("</h1><p>Расчет площади многоугольника по координатам углов.</p>");
}

} // namespace

void Form1::Menu_Help_Help_Click() {
    // A document that is there but is no regular file (a named pipe, say)
    // would hold the viewer: the built-in help is shown instead. A missing
    // one is still handed on, for the desktop to say so.
    const bool usable = platform::isRegularFile(helpDocument) || !QFileInfo::exists(helpDocument);
    if (usable && services_.shell.openDocument(helpDocument)) return;

    if (auto *open = findChild<QDialog *>(QStringLiteral("helpWindow"))) {
        open->raise();
        open->activateWindow();
        return;
    }
    // Owned by the main window and deleted when the user closes it.
    auto *window = new QDialog(this);
    window->setObjectName(QStringLiteral("helpWindow"));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(QStringLiteral("Краткая справка"));
    auto *layout = new QVBoxLayout(window);
    auto *browser = new QTextBrowser(window);
    browser->setOpenExternalLinks(true);
    browser->setHtml(builtInHelp());
    layout->addWidget(browser);
    window->resize(720, 640);
    window->show();
}

void Form1::Menu_About_Click() {
    if (frmAbout_ && frmAbout_->isVisible()) {
        frmAbout_->raise();
        frmAbout_->activateWindow();
        return;
    }
    frmAbout_ = std::make_unique<settings_windows::FrmAbout>(*this, services_.shell);
    frmAbout_->Form_Load();
    frmAbout_->show();
}

} // namespace tarvel
