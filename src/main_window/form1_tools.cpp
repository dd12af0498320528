// Form1: spreadsheet exchange, background picture, working folder, hints,
// help, about, calculator, print and the graphics settings.
#include "main_window/form1.h"

#include "program.h"

#include "files/settings.h"
#include "files/spreadsheet_exchange.h"
#include "main_window/drawing_surface.h"
#include "platform/controls/colours.h"
#include "geometry/numtext.h"
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

namespace {

// One axis of the paper's window into the drawing: a span that must be seen
// (the polygon with room for its labels, stretched to take in the axes).
struct Span {
    double low, high;
};

// Where the window of the given size starts along one axis. The wanted spans
// come in order of preference (axes with their scale labels, the axis line
// alone, the polygon alone); the first that fits lies against its low end,
// or its high end for the vertical axis, where the X axis is the bottom.
// When not even the polygon fits, the window is centred on it.
double placeWindow(std::initializer_list<Span> wanted, double size, bool againstHigh) {
    for (const Span &w : wanted)
        if (w.high - w.low <= size) return againstHigh ? w.high - size : w.low;
    const Span &polygon = *(wanted.end() - 1);
    return (polygon.low + polygon.high) / 2 - size / 2;
}

void drawCaption(QPainter &p, const platform::Label &label, double pixelsPerTwip) {
    if (!label.Visible() || label.Caption().isEmpty()) return;
    const double x = label.Left() * pixelsPerTwip;
    const double y = label.Top() * pixelsPerTwip;
    if (!std::isfinite(x) || !std::isfinite(y) || std::abs(x) > 1e7 || std::abs(y) > 1e7) return;
    QFont f = platform::defaultFont(label.FontSize() > 0 ? label.FontSize() : 8);
    p.setFont(f);
    p.setPen(platform::toQColor(label.ForeColor()));
    p.drawText(QRectF(x, y, 1e5, 1e5), Qt::AlignLeft | Qt::AlignTop, label.Caption());
}

} // namespace

void Form1::paintPrintPage(QPainter &p, int dpi) {
    if (dpi <= 0 || !p.device()) return;
    const double dotsPerMm = dpi / 25.4;
    const double margin = 10 * dotsPerMm;
    const QRectF area(margin, margin, p.device()->width() - 2 * margin,
                      p.device()->height() - 2 * margin);
    if (area.width() <= 0 || area.height() <= 0) return;
    const double gap = 4 * dotsPerMm;
    const int n = cornerCount();
    const geometry::PolygonTexts &texts = doc_.texts();
    const QString unit = CmbEd->Text();

    p.save();
    p.setPen(Qt::black);

    // The owner text above everything.
    QFont ownerFont = platform::defaultFont(11);
    ownerFont.setBold(true);
    p.setFont(ownerFont);
    const int ownerFlags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
    const QRectF ownerRect =
        p.boundingRect(QRectF(area.left(), area.top(), area.width(), area.height() / 4), ownerFlags,
                       texts.owner);
    p.drawText(QRectF(area.left(), area.top(), area.width(), ownerRect.height()), ownerFlags,
               texts.owner);
    const double below = area.top() + ownerRect.height() + gap;

    // The table: one row per corner and two lines for the area and the scale.
    const QFont tableFont = platform::defaultFont(9);
    const double rowHeight = QFontMetricsF(tableFont, p.device()).height() * 1.35;
    const double tableHeight = (n + 1 + 3) * rowHeight;
    const double tableWidth = 95 * dotsPerMm;
    // A page wider than high takes the table beside the drawing, else below it.
    const bool beside = area.width() > area.height();
    QRectF frame, table;
    if (beside) {
        frame = QRectF(area.left(), below, area.width() - tableWidth - gap, area.bottom() - below);
        table = QRectF(frame.right() + gap, below, tableWidth, area.bottom() - below);
    } else {
        const double height = std::min(area.bottom() - below - tableHeight - gap, 180 * dotsPerMm);
        frame = QRectF(area.left(), below, area.width(), height);
        table = QRectF(area.left(), frame.bottom() + gap, std::min(area.width(), tableWidth),
                       tableHeight);
    }

    // The drawing to scale: the screen shows TwipsPerMm twips in a
    // millimetre of drawing, and so must the paper.
    const double twipsPerMm = state_.TwipsPerMm > 0 ? state_.TwipsPerMm : 56.692;
    const double s = dotsPerMm / twipsPerMm; // device dots per twip
    if (frame.width() > 0 && frame.height() > 0) {
        const double ox = state_.OriginX, oy = state_.OriginY;
        // The drawn corners (the edges start at them), with room for their labels.
        double minX = ox, maxX = ox, minY = oy, maxY = oy;
        bool any = false;
        for (int i = 1; i <= n; ++i) {
            const double x = plot_->edge(i)->X1(), y = plot_->edge(i)->Y1();
            if (!std::isfinite(x) || !std::isfinite(y)) continue;
            minX = any ? std::min(minX, x) : x;
            maxX = any ? std::max(maxX, x) : x;
            minY = any ? std::min(minY, y) : y;
            maxY = any ? std::max(maxY, y) : y;
            any = true;
        }
        constexpr double kRoom = 600;
        minX -= kRoom;
        maxX += kRoom;
        minY -= kRoom;
        maxY += kRoom;
        const double left = placeWindow(
            {{std::min(minX, ox - 900), maxX}, {std::min(minX, ox - 60), maxX}, {minX, maxX}},
            frame.width() / s, false);
        const double top = placeWindow(
            {{minY, std::max(maxY, oy + 500)}, {minY, std::max(maxY, oy + 60)}, {minY, maxY}},
            frame.height() / s, true);

        p.save();
        p.setPen(QPen(QColor(160, 160, 160), 0.2 * dotsPerMm));
        p.drawRect(frame);
        p.setClipRect(frame);
        p.translate(frame.left() - left * s, frame.top() - top * s);
        paintShapes(p, plot_->picture(), plot_->paintOrder(), s, std::max(1.0, 0.2 * dotsPerMm));
        // Corner markers, then the labels of the drawing.
        const double marker = 1.2 * dotsPerMm;
        for (int i = 1; i <= n; ++i) {
            const double x = plot_->edge(i)->X1() * s;
            const double y = plot_->edge(i)->Y1() * s;
            if (!std::isfinite(x) || !std::isfinite(y) || std::abs(x) > 1e7 || std::abs(y) > 1e7)
                continue;
            p.fillRect(QRectF(x - marker / 2, y - marker / 2, marker, marker), Qt::black);
        }
        for (int i = 1; i <= n; ++i) {
            drawCaption(p, *plot_->numberLabel(i), s);
            drawCaption(p, *plot_->lengthLabel(i), s);
            drawCaption(p, *plot_->angleLabel(i), s);
        }
        for (int k = 0; k < 4; ++k) {
            drawCaption(p, *plot_->xScaleLabel(k), s);
            drawCaption(p, *plot_->yScaleLabel(k), s);
        }
        drawCaption(p, *plot_->xAxisLabel(), s);
        drawCaption(p, *plot_->yAxisLabel(), s);
        drawCaption(p, *plot_->measureLabel(), s);
        p.restore();
    }

    // The coordinate table with the side lengths.
    const geometry::Measures &m = doc_.measures();

    p.setFont(tableFont);
    p.setPen(Qt::black);
    const std::array<double, 5> columnWidth = {0.10, 0.22, 0.22, 0.20, 0.26};
    auto drawRow = [&](int row, const std::array<QString, 5> &cells, bool bold) {
        QFont f = tableFont;
        f.setBold(bold);
        p.setFont(f);
        double x = table.left();
        for (std::size_t c = 0; c < cells.size(); ++c) {
            const double w = columnWidth[c] * table.width();
            const QRectF cell(x, table.top() + row * rowHeight, w, rowHeight);
            p.drawRect(cell);
            p.drawText(cell.adjusted(dotsPerMm, 0, -dotsPerMm, 0),
                       (c == 0 ? Qt::AlignHCenter : Qt::AlignRight) | Qt::AlignVCenter, cells[c]);
            x += w;
        }
    };
    drawRow(0,
            {QStringLiteral("№"), QStringLiteral("X, ") + unit, QStringLiteral("Y, ") + unit,
             QStringLiteral("Сторона"), QStringLiteral("Длина, ") + unit},
            true);
    for (int i = 1; i <= n; ++i) {
        const int next = i == n ? 1 : i + 1;
        drawRow(i,
                {QString::number(i), texts.x[i].trimmed(), texts.y[i].trimmed(),
                 QString::number(i) + QStringLiteral("-") + QString::number(next),
                 formatNumber(m.SideLen[i], kFieldPattern).trimmed()},
                false);
    }

    QFont totals = tableFont;
    totals.setBold(true);
    p.setFont(totals);
    const double totalsTop = table.top() + (n + 1.5) * rowHeight;
    p.drawText(QRectF(table.left(), totalsTop, table.width() * 2, rowHeight),
               Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Площадь: ") + formatNumber(doc_.area(), kAreaPattern).trimmed() + QLatin1Char(' ') +
                   Label1[1]->Caption());
    p.setFont(tableFont);
    p.drawText(QRectF(table.left(), totalsTop + rowHeight, table.width() * 2, rowHeight),
               Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Масштаб: в 1 см ") + txtMsb->Text().trimmed() + QLatin1Char(' ') +
                   unit);
    p.restore();
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
    plot_->picture()->setTop(state_.OriginY - plot_->picture()->Height());
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
    plot_->applyGraphics(v, s, cornerCount());
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
