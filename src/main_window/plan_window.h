// "Чертёж участка": the plan of the plot to a standard scale, on A4 paper
// with its grid, north arrow, scale bar, names, lengths, area and the
// catalogue of coordinates (drawing/plan_layout.h), in a window of its own
// beside the main window (not modal).
//
// The window offers the scale ("Масштаб:", the eight scales of the plan,
// the first at which the whole plot fits chosen when it opens), a preview
// of the first page and the buttons "Печать" (on the printer), "Сохранить
// в PDF" and "Закрыть"; Escape closes it too. It follows the document:
// while it is shown every change lays the plan out anew; while it is
// hidden a change only marks the plan stale, and showing it lays it out.
// Until the user chooses a scale, the scale follows the plot: the first
// that fits it.
#pragma once

#include "drawing/plan_layout.h"
#include "files/settings.h"
#include "geometry/polygon_document.h"
#include "platform/controls/controls.h"
#include "platform/services/services.h"

#include <QWidget>

#include <memory>

class QPainter;

namespace tarvel::main_window {

class PlanWindow : public QWidget {
    Q_OBJECT
public:
    // A window of its own over `owner`, drawing the plot of `doc`; its file
    // dialog starts in the folders of `settings`.
    PlanWindow(QWidget &owner, platform::Services &services, const geometry::PolygonDocument &doc,
               const files::Settings &settings);
    ~PlanWindow() override;

    // Shows `window`, made first when there is none yet, with the scale
    // that fits the plot, and brings it forward.
    static void open(std::unique_ptr<PlanWindow> &window, QWidget &owner,
                     platform::Services &services, const geometry::PolygonDocument &doc,
                     const files::Settings &settings);

    // The plan as the preview shows it: A4 at the chosen scale.
    const drawing::PlanLayout &layout() const { return layout_; }
    int denominator() const { return layout_.denominator; }
    // How many times the plan was laid out.
    int updateCount() const { return updates_; }
    // Paints every page of the plan at the chosen scale on the paper of the
    // painter's device: what the printer and the PDF get.
    void paintPages(QPainter &p, int dpi) const;

    // The file dialog's filter.
    static const QString kPdfFilter;

    // ---- the controls, to press, choose and read
    std::unique_ptr<platform::Label> lblScale, lblPages;
    std::unique_ptr<platform::ComboBox> cmbScale; // "1:100" .. "1:25 000"
    QWidget *preview = nullptr;                   // the first page; owned by the window
    std::unique_ptr<platform::Button> cmdPrint, cmdPdf, cmdClose;

protected:
    void showEvent(QShowEvent *event) override;

private:
    class Preview;
    void cmbScale_Click();
    void cmdPrint_Click();
    void cmdPdf_Click();

    // The document changed: the plan is laid out now, or when next shown.
    void documentChanged();
    // Reads the document and lays the plan out at the scale in force.
    void refresh();
    // The first scale that fits the plot becomes the scale again.
    void followThePlot();
    void chooseScale(int index);
    void showScale();
    void printPlan();
    void savePdf();

    platform::Services &services_;
    const geometry::PolygonDocument &doc_;
    const files::Settings &settings_;
    drawing::PlanMeasure measure_;
    drawing::PlanInput input_;
    drawing::PlanLayout layout_;
    int chosen_ = 0; // the scale the user chose; 0: the first that fits
    int updates_ = 0;
    bool stale_ = true;
    bool showingScale_ = false;
};

} // namespace tarvel::main_window
