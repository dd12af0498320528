#include "main_window/survey_sheet_window.h"

#include "geometry/numtext.h"
#include "platform/controls/colours.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QPaintDevice>
#include <QPainter>
#include <QShortcut>
#include <QAbstractTableModel>
#include <QPagedPaintDevice>
#include <QScrollArea>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace tarvel::main_window {

using geometry::landCategories;

const QString SurveySheetWindow::kTypedMtItem = QStringLiteral("Mt задать вручную");

namespace {

constexpr int kColumns = 6;
// The sheet's designed size in pixels: the table, the totals, the choice of
// Mt and the buttons.
constexpr int kWidth = 700, kHeight = 672;
constexpr std::uint32_t kRed = 0x0000FF; // &HBBGGRR
constexpr int kCategories = int(std::tuple_size_v<std::decay_t<decltype(landCategories())>>);

} // namespace

// The sheet's rows for the view: the texts of a row are made when the view
// asks for them, and a change of the sheet resets the model once.
class SurveySheetWindow::RowsModel : public QAbstractTableModel {
public:
    RowsModel(const geometry::SurveySheet &sheet, QObject *parent)
        : QAbstractTableModel(parent), sheet_(sheet) {}
    int rowCount(const QModelIndex &parent = {}) const override {
        return parent.isValid() ? 0 : geometry::sheetTableLineCount(sheet_);
    }
    int columnCount(const QModelIndex &parent = {}) const override {
        return parent.isValid() ? 0 : kColumns;
    }
    QVariant data(const QModelIndex &index, int role) const override {
        if (!index.isValid() || index.row() >= rowCount()) return {};
        if (role != Qt::TextAlignmentRole && role != Qt::DisplayRole && role != Qt::FontRole)
            return {};
        const geometry::SheetTableLine line = geometry::sheetTableLine(sheet_, index.row());
        const bool corner = line.kind == geometry::SheetTableLine::Kind::Corner;
        if (role == Qt::FontRole) {
            if (corner) return {};
            QFont f = platform::defaultFont();
            f.setBold(line.kind == geometry::SheetTableLine::Kind::Heading);
            return f;
        }
        if (role == Qt::TextAlignmentRole)
            return int((!corner ? Qt::AlignLeft : index.column() == 0 ? Qt::AlignHCenter : Qt::AlignRight) |
                       Qt::AlignVCenter);
        return line.cells.value(index.column());
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override {
        if (o != Qt::Horizontal || role != Qt::DisplayRole) return {};
        return geometry::sheetColumnHeads(sheet_).value(section);
    }
    // The sheet changed: every row and head may read otherwise now.
    void sheetChanged() {
        beginResetModel();
        endResetModel();
    }

private:
    const geometry::SurveySheet &sheet_;
};

namespace {

std::unique_ptr<platform::Label> makeLabel(QWidget *parent, double left, double top, double width,
                                           double height) {
    auto l = std::make_unique<platform::Label>(parent, false);
    l->move(left, top, width, height);
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

std::unique_ptr<platform::Button> makeButton(QWidget *parent, double left, double top,
                                             const QString &caption) {
    auto b = std::make_unique<platform::Button>(parent);
    b->move(left, top, 1380, 390);
    b->setCaption(caption);
    return b;
}

} // namespace

SurveySheetWindow::SurveySheetWindow(QWidget &owner, platform::Services &services,
                                     const PrintPage &page, EllipsoidArea ellipsoidArea)
    : QWidget(&owner, Qt::Window), services_(services), page_(page), doc_(page.doc),
      choice_(files::loadSheetChoice(services.settings)), ellipsoidArea_(std::move(ellipsoidArea)) {
    setWindowTitle(QStringLiteral("Ведомость участка"));
    setFont(platform::defaultFont());
    // The sheet has one designed size; on a small or scaled screen the
    // window is smaller and its content scrolls, so that no button is ever
    // off the screen.
    auto *content = new QWidget;
    content->setFixedSize(kWidth, kHeight);
    auto *area = new QScrollArea(this);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidget(content);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(area);
    setMaximumSize(kWidth, kHeight);
    const QRect room = services.screen.availableArea();
    // The room less a title bar and a frame the window system adds.
    resize(std::min(kWidth, std::max(200, room.width() - 16)),
           std::min(kHeight, std::max(150, room.height() - 48)));

    rows_ = new RowsModel(sheet_, this);
    table = new QTableView(content);
    table->setModel(rows_);
    table->setGeometry(8, 8, 684, 428); // 20 rows and the head
    table->setFont(platform::defaultFont());
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->setVisible(false);
    table->verticalHeader()->setDefaultSectionSize(20);
    // Every row is as high as the others: the view need not measure them.
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    const int widths[kColumns] = {60, 115, 115, 115, 130, 130};
    for (int c = 0; c < kColumns; ++c)
        table->setColumnWidth(c, widths[c]);

    lblTotals = makeLabel(content, 120, 6660, 10260, 1650);
    lblWarnings = makeLabel(content, 120, 8340, 10260, 600);
    lblWarnings->setForeColor(kRed); // as the main window's warning

    lblCategory = makeLabel(content, 120, 9090, 1700, 315);
    lblCategory->setCaption(QStringLiteral("Категория земель:"));
    cmbCategory = std::make_unique<platform::ComboBox>(content, false);
    cmbCategory->move(1800, 9030, 6300, 315);
    for (const geometry::LandCategory &c : landCategories())
        cmbCategory->AddItem(c.name);
    cmbCategory->AddItem(kTypedMtItem);
    lblMt = makeLabel(content, 8280, 9090, 800, 315);
    lblMt->setCaption(QStringLiteral("Mt, м:"));
    txtMt = std::make_unique<platform::TextBox>(content);
    txtMt->move(9060, 9030, 1320, 315);

    cmdSave = makeButton(content, 4320, 9540, QStringLiteral("Сохранить..."));
    cmdCopy = makeButton(content, 5880, 9540, QStringLiteral("Копировать"));
    cmdPrint = makeButton(content, 7440, 9540, QStringLiteral("Печать"));
    cmdClose = makeButton(content, 9000, 9540, QStringLiteral("Закрыть"));

    cmbCategory->Click = [this] { cmbCategory_Click(); };
    txtMt->Change = [this] { txtMt_Change(); };
    cmdSave->Click = [this] { cmdSave_Click(); };
    cmdCopy->Click = [this] { cmdCopy_Click(); };
    cmdPrint->Click = [this] { cmdPrint_Click(); };
    cmdClose->Click = [this] { close(); };
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    connect(&doc_, &geometry::PolygonDocument::changed, this, &SurveySheetWindow::refresh);

    showChoice();
    refresh();
}

SurveySheetWindow::~SurveySheetWindow() = default;

void SurveySheetWindow::open(std::unique_ptr<SurveySheetWindow> &window, QWidget &owner,
                             platform::Services &services, const PrintPage &page,
                             EllipsoidArea ellipsoidArea) {
    if (!window)
        window =
            std::make_unique<SurveySheetWindow>(owner, services, page, std::move(ellipsoidArea));
    window->show();
    window->raise();
    window->activateWindow();
}

std::optional<double> SurveySheetWindow::mt() const {
    if (choice_.category >= 0 && choice_.category < kCategories)
        return landCategories()[std::size_t(choice_.category)].mt;
    const auto typed = geometry::textToCoordinate(choice_.typedMt);
    if (!typed || *typed <= 0) return std::nullopt;
    return typed;
}

void SurveySheetWindow::refresh() {
    ++updates_;
    geometry::SheetInput in;
    in.polygon = doc_.current();
    in.values = &doc_.values();
    in.northIsX = page_.view.northUp;
    in.mt = mt();
    // A typed Mt that is no number above 0 shows in red, as a coordinate
    // that is no number does.
    const std::uint32_t mtColour = in.mt ? platform::kSysWindowText : kRed;
    if (txtMt->ForeColor() != mtColour) txtMt->setForeColor(mtColour);
    if (choice_.category >= 0 && choice_.category < kCategories)
        in.category = landCategories()[std::size_t(choice_.category)].name;
    if (ellipsoidArea_) in.ellipsoidAreaM2 = ellipsoidArea_();
    in.info = doc_.texts().info;
    in.contours = doc_.contourCount();
    const double toSquareMetres = doc_.unit() == geometry::Unit::Kilometres ? 1e6 : 1.0;
    in.plotAreaM2 = doc_.plotArea() * toSquareMetres;
    in.otherValues = &doc_.otherContours();
    sheet_ = geometry::computeSurveySheet(in);

    rows_->sheetChanged();
    // A contour's heading and its area run across the table.
    table->clearSpans();
    int line = 0;
    for (const geometry::SheetContour &c : sheet_.parts) {
        table->setSpan(line, 0, 1, kColumns);
        line += int(c.rows.size()) + 1;
        table->setSpan(line, 0, 1, kColumns);
        ++line;
    }
    // The warnings stand apart, in red.
    const QStringList totals = geometry::sheetTotalLines(sheet_, false);
    // Eight lines fit under the table; the lines of a plot from the registry
    // or of several contours take their room from the table's bottom.
    const int extra = std::max(0, int(totals.size()) - 8);
    table->setGeometry(8, 8, 684, 428 - 14 * extra);
    lblTotals->move(120, 6660 - 210 * extra, 10260, 1650 + 210 * extra);
    lblTotals->setCaption(totals.join(QLatin1Char('\n')));
    lblWarnings->setCaption(sheet_.warnings.join(QLatin1Char('\n')));
}

void SurveySheetWindow::showChoice() {
    showingChoice_ = true;
    cmbCategory->combo()->setCurrentIndex(choice_.category);
    const bool typed = choice_.category == files::kSheetMtTyped;
    txtMt->setText(typed
                       ? choice_.typedMt
                       : geometry::formatNumber(landCategories()[std::size_t(choice_.category)].mt,
                                                QStringLiteral("0.00")));
    showingChoice_ = false;
}

void SurveySheetWindow::cmbCategory_Click() {
    if (showingChoice_) return;
    choice_.category = std::int16_t(cmbCategory->combo()->currentIndex());
    files::storeSheetChoice(services_.settings, choice_);
    showChoice();
    refresh();
}

void SurveySheetWindow::txtMt_Change() {
    if (showingChoice_) return;
    // Typing a value of one's own leaves the categories.
    choice_.category = files::kSheetMtTyped;
    choice_.typedMt = txtMt->Text();
    files::storeSheetChoice(services_.settings, choice_);
    showingChoice_ = true;
    cmbCategory->combo()->setCurrentIndex(choice_.category);
    showingChoice_ = false;
    refresh();
}

void SurveySheetWindow::cmdSave_Click() {
    saveToFile();
}

void SurveySheetWindow::saveToFile() {
    const QString title = QStringLiteral("Ведомость участка");
    platform::FileDialogRequest request;
    request.defaultExt = QStringLiteral("*.odt");
    request.filter = QStringLiteral("Документ OpenDocument (*.odt)|*.odt|PDF (*.pdf)|*.pdf|");
    // Named with its suffix, so that choosing the PDF filter renames it to
    // ".pdf" in the dialog, rather than the default suffix making it ".odt".
    request.fileName = title + QStringLiteral(".odt");
    // The sheet usually goes beside the plot's file.
    request.initDir = files::dialogFolder(page_.settings.PolygonFolder, page_.settings.WorkFolder);
    const auto path = services_.dialogs.showSave(this, request);
    if (!path) return;
    const bool pdf =
        QFileInfo(*path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0;
    const bool written =
        pdf ? services_.documents.writePdf(*path, title, false,
                                           [this](QPainter &p, int dpi) { paintPage(p, dpi); })
            : services_.documents.writeOdt(*path, geometry::sheetDocumentHtml(sheet_));
    if (!written)
        services_.messages.show(this, QStringLiteral("Ошибка записи файла!"),
                                platform::MsgButtons::OK, platform::MsgIcon::Exclamation,
                                QStringLiteral("Ошибка"));
}

void SurveySheetWindow::cmdCopy_Click() {
    services_.clipboard.setContent(geometry::sheetTsv(sheet_), geometry::sheetHtml(sheet_));
}

void SurveySheetWindow::cmdPrint_Click() {
    services_.printer.print(this, [this](QPainter &p, int dpi) { paintPage(p, dpi); });
}

void SurveySheetWindow::paintPage(QPainter &p, int dpi) const {
    if (dpi <= 0 || !p.device()) return;
    const double mm = dpi / 25.4;
    const QRectF area(10 * mm, 10 * mm, p.device()->width() - 20 * mm,
                      p.device()->height() - 20 * mm);
    if (area.width() <= 0 || area.height() <= 0) return;
    p.save();
    p.setPen(Qt::black);

    // The title and the owner text.
    QFont titleFont = platform::defaultFont(12);
    titleFont.setBold(true);
    p.setFont(titleFont);
    double y = area.top();
    const double titleHeight = QFontMetricsF(titleFont, p.device()).height() * 1.3;
    p.drawText(QRectF(area.left(), y, area.width(), titleHeight), Qt::AlignHCenter,
               QStringLiteral("Ведомость участка"));
    y += titleHeight;
    const QFont font = platform::defaultFont(9);
    p.setFont(font);
    const QString owner = sheet_.owner.trimmed();
    if (!owner.isEmpty()) {
        const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
        const QRectF r =
            p.boundingRect(QRectF(area.left(), y, area.width(), area.height() / 6), flags, owner);
        p.drawText(QRectF(area.left(), y, area.width(), r.height()), flags, owner);
        y += r.height() + 2 * mm;
    }

    // What the table and the totals take; the drawing gets the rest.
    const double row = QFontMetricsF(font, p.device()).height() * 1.35;
    const int n = geometry::sheetTableLineCount(sheet_);
    // The drawing may take a coarser scale than the screen's to show the
    // whole polygon: the totals name the one it has.
    const auto totalsFor = [&](const QString &scale) {
        QStringList totals = geometry::sheetTotalLines(sheet_, false);
        totals << QStringLiteral("Масштаб чертежа: в 1 см ") + scale.trimmed() + QLatin1Char(' ') +
                      geometry::unitSymbol(sheet_.unit);
        for (const QString &w : sheet_.warnings)
            totals << QStringLiteral("Предупреждение: ") + w;
        return totals.join(QLatin1Char('\n'));
    };
    const int totalsFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
    QString totalsText = totalsFor(page_.view.scaleCaption());
    const double totalsHeight =
        p.boundingRect(QRectF(0, 0, area.width(), area.height()), totalsFlags, totalsText).height();
    // A long table runs on over pages of its own: the first page keeps room
    // for twenty rows of it below the drawing.
    const double below = (std::min(n, 20) + 1) * row + 3 * mm + totalsHeight;
    const double drawingHeight = std::min(area.bottom() - y - below - 3 * mm, 150 * mm);
    if (drawingHeight > 20 * mm) {
        totalsText = totalsFor(
            page_.paintDrawingIn(p, QRectF(area.left(), y, area.width(), drawingHeight), mm));
        y += drawingHeight + 3 * mm;
    }
    p.setFont(font);
    p.setPen(Qt::black);

    // The table.
    const QStringList heads = geometry::sheetColumnHeads(sheet_);
    const double share[kColumns] = {0.09, 0.17, 0.17, 0.17, 0.20, 0.20};
    const auto drawRow = [&](const QStringList &cells, bool bold) {
        QFont f = font;
        f.setBold(bold);
        p.setFont(f);
        double x = area.left();
        for (int c = 0; c < kColumns; ++c) {
            const QRectF cell(x, y, share[c] * area.width(), row);
            p.drawRect(cell);
            p.drawText(cell.adjusted(mm, 0, -mm, 0),
                       (c == 0 || bold ? Qt::AlignHCenter : Qt::AlignRight) | Qt::AlignVCenter,
                       cells.value(c));
            x += cell.width();
        }
        y += row;
    };
    // A page that is full goes on to the next, which starts with the
    // table's heading again. A device without pages (a picture) gets what
    // fits.
    auto *pages = dynamic_cast<QPagedPaintDevice *>(p.device());
    const auto roomFor = [&](double height) {
        if (y + height <= area.bottom() || !pages) return;
        pages->newPage();
        y = area.top();
    };
    // A contour's heading or area: one cell across the table.
    const auto drawLine = [&](const QString &text, bool bold) {
        QFont f = font;
        f.setBold(bold);
        p.setFont(f);
        const QRectF cell(area.left(), y, area.width(), row);
        p.drawRect(cell);
        p.drawText(cell.adjusted(mm, 0, -mm, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
        y += row;
    };
    drawRow(heads, true);
    for (int i = 0; i < n; ++i) {
        if (pages && y + row > area.bottom()) {
            roomFor(row);
            drawRow(heads, true);
        }
        const geometry::SheetTableLine line = geometry::sheetTableLine(sheet_, i);
        if (line.kind == geometry::SheetTableLine::Kind::Corner)
            drawRow(line.cells, false);
        else
            drawLine(line.cells.value(0), line.kind == geometry::SheetTableLine::Kind::Heading);
    }
    y += 3 * mm;

    // The totals.
    p.setFont(font);
    roomFor(totalsHeight);
    p.drawText(QRectF(area.left(), y, area.width(), area.bottom() - y), totalsFlags, totalsText);
    p.restore();
}

} // namespace tarvel::main_window
