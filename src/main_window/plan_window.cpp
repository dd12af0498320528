#include "main_window/plan_window.h"

#include "drawing/plan_paint.h"
#include "platform/controls/colours.h"

#include <QComboBox>
#include <QPainter>
#include <QScrollArea>
#include <QShortcut>
#include <QVBoxLayout>

#include <algorithm>

namespace tarvel::main_window {

using drawing::kPlanScales;

const QString PlanWindow::kPdfFilter = QStringLiteral("PDF (*.pdf)|*.pdf|");

namespace {

const QString kTitle = QStringLiteral("Чертёж участка");
// The window's designed size in pixels, and the preview's: A4 upright.
constexpr int kWidth = 400, kHeight = 620;
const QRect kPreview(10, 36, 380, 537);

std::unique_ptr<platform::Button> makeButton(QWidget *parent, double left, double width,
                                             const QString &caption) {
    auto b = std::make_unique<platform::Button>(parent);
    b->move(left, 8745, width, 390);
    b->setCaption(caption);
    return b;
}

} // namespace

// The first page as it comes out of the printer, scaled into the widget:
// white paper with a shadow on the window's grey.
class PlanWindow::Preview : public QWidget {
public:
    Preview(const drawing::PlanLayout &plan, QWidget *parent) : QWidget(parent), plan_(plan) {}

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter p(this);
        const QSizeF page = plan_.pageMm;
        if (page.isEmpty()) return;
        const double dotsPerMm =
            std::min((width() - 4) / page.width(), (height() - 4) / page.height());
        const QRectF paper(0, 0, page.width() * dotsPerMm, page.height() * dotsPerMm);
        p.fillRect(paper.translated(3, 3), QColor(128, 128, 128));
        p.fillRect(paper, Qt::white);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setRenderHint(QPainter::TextAntialiasing, true);
        drawing::paintPlanPage(p, plan_, 0, dotsPerMm);
    }

private:
    const drawing::PlanLayout &plan_;
};

PlanWindow::PlanWindow(QWidget &owner, platform::Services &services,
                       const geometry::PolygonDocument &doc, const files::Settings &settings)
    : QWidget(&owner, Qt::Window), services_(services), doc_(doc), settings_(settings),
      measure_(drawing::planFontMeasure()) {
    setWindowTitle(kTitle);
    setFont(platform::defaultFont());
    // One designed size; on a small screen the window is smaller and its
    // content scrolls, so that no button is ever off the screen.
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
    resize(std::min(kWidth, std::max(200, room.width() - 16)),
           std::min(kHeight, std::max(150, room.height() - 48)));

    lblScale = std::make_unique<platform::Label>(content, false);
    lblScale->move(150, 150, 900, 300);
    lblScale->setCaption(QStringLiteral("Масштаб:"));
    cmbScale = std::make_unique<platform::ComboBox>(content, false);
    cmbScale->move(1050, 105, 1500, 330);
    QStringList scales;
    for (int d : kPlanScales)
        scales << drawing::planScaleText(d);
    cmbScale->AddItems(scales);
    cmbScale->setMaxVisibleItems(int(kPlanScales.size()));
    lblPages = std::make_unique<platform::Label>(content, false);
    lblPages->move(2700, 150, 3150, 300);

    preview = new Preview(layout_, content);
    preview->setGeometry(kPreview);

    cmdPrint = makeButton(content, 900, 1380, QStringLiteral("Печать"));
    cmdPdf = makeButton(content, 2400, 1950, QStringLiteral("Сохранить в PDF"));
    cmdClose = makeButton(content, 4470, 1380, QStringLiteral("Закрыть"));

    cmbScale->Click = [this] { cmbScale_Click(); };
    cmdPrint->Click = [this] { cmdPrint_Click(); };
    cmdPdf->Click = [this] { cmdPdf_Click(); };
    cmdClose->Click = [this] { close(); };
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    connect(&doc_, &geometry::PolygonDocument::changed, this, &PlanWindow::documentChanged);
}

PlanWindow::~PlanWindow() = default;

void PlanWindow::open(std::unique_ptr<PlanWindow> &window, QWidget &owner,
                      platform::Services &services, const geometry::PolygonDocument &doc,
                      const files::Settings &settings) {
    if (!window) window = std::make_unique<PlanWindow>(owner, services, doc, settings);
    window->followThePlot();
    window->show();
    window->raise();
    window->activateWindow();
}

void PlanWindow::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (stale_) refresh();
}

void PlanWindow::documentChanged() {
    stale_ = true;
    if (isVisible()) refresh();
}

void PlanWindow::followThePlot() {
    chosen_ = 0;
    stale_ = true;
    if (isVisible()) refresh();
}

void PlanWindow::refresh() {
    ++updates_;
    stale_ = false;
    input_ = drawing::planInputOf(doc_);
    const QSizeF a4(drawing::kA4WidthMm, drawing::kA4HeightMm);
    const int denominator = chosen_ > 0 ? chosen_ : drawing::firstFittingScale(input_, a4);
    layout_ = drawing::layOutPlan(input_, a4, denominator, measure_);
    showScale();
    preview->update();
}

void PlanWindow::showScale() {
    const auto at = std::find(kPlanScales.begin(), kPlanScales.end(), layout_.denominator);
    showingScale_ = true;
    if (at != kPlanScales.end()) cmbScale->combo()->setCurrentIndex(int(at - kPlanScales.begin()));
    showingScale_ = false;
    QString pages = QStringLiteral("Листов: %1").arg(layout_.pageCount());
    if (!layout_.fits) pages += QStringLiteral("; участок не помещается в рамку");
    lblPages->setCaption(pages);
    lblPages->setForeColor(layout_.fits ? platform::kSysWindowText : 0x0000FFu);
}

void PlanWindow::cmbScale_Click() {
    if (showingScale_) return;
    chooseScale(cmbScale->combo()->currentIndex());
}

void PlanWindow::chooseScale(int index) {
    if (index < 0 || index >= int(kPlanScales.size())) return;
    chosen_ = kPlanScales[std::size_t(index)];
    refresh();
}

void PlanWindow::cmdPrint_Click() {
    printPlan();
}

void PlanWindow::cmdPdf_Click() {
    savePdf();
}

void PlanWindow::paintPages(QPainter &p, int dpi) const {
    // Laid out for the device's own paper, at the scale the preview shows.
    const drawing::PlanLayout plan =
        drawing::layOutPlan(input_, drawing::planPaperOf(p), layout_.denominator, measure_);
    drawing::paintPlan(p, plan, dpi);
}

void PlanWindow::printPlan() {
    if (stale_) refresh();
    services_.printer.print(this, [this](QPainter &p, int dpi) { paintPages(p, dpi); });
}

void PlanWindow::savePdf() {
    if (stale_) refresh();
    platform::FileDialogRequest request;
    request.defaultExt = QStringLiteral("*.pdf");
    request.filter = kPdfFilter;
    request.fileName = kTitle;
    // The plan usually goes beside the plot's file.
    request.initDir = files::dialogFolder(settings_.PolygonFolder, settings_.WorkFolder);
    const auto path = services_.dialogs.showSave(this, request);
    if (!path) return;
    if (!services_.documents.writePdf(*path, kTitle, false,
                                      [this](QPainter &p, int dpi) { paintPages(p, dpi); }))
        services_.messages.show(this, QStringLiteral("Ошибка записи файла!"),
                                platform::MsgButtons::OK, platform::MsgIcon::Exclamation,
                                QStringLiteral("Ошибка"));
}

} // namespace tarvel::main_window
