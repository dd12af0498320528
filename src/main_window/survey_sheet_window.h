// "Ведомость участка": the surveyor's sheet of the polygon in a window of its
// own beside the main window (not modal). It follows the document: every
// change of the document updates it once, while it is open or not.
//
// It shows the table of corners, the totals and the warnings
// (geometry/survey_sheet.h), the land category that gives Mt with a field to
// type Mt instead, and the buttons "Сохранить..." (the sheet in a file: an
// OpenDocument text whose tables stay tables, or a PDF of the printed
// pages), "Копировать" (the sheet on the clipboard as tab-separated text
// and as HTML), "Печать" (the sheet with the drawing to scale, on the
// printer path of the main page) and "Закрыть"; Escape closes it too. The
// choice of Mt is kept in the settings at once.
#pragma once

#include "files/settings.h"
#include "geometry/polygon_document.h"
#include "geometry/survey_sheet.h"
#include "main_window/print_page.h"
#include "platform/controls/controls.h"
#include "platform/services/services.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QPainter;
class QTableView;

namespace tarvel::main_window {

class SurveySheetWindow : public QWidget {
    Q_OBJECT
public:
    // The polygon's area on the WGS 84 ellipsoid in m² as it stands now, when
    // someone knows it (a geographic entry that was not edited since).
    using EllipsoidArea = std::function<std::optional<double>()>;

    // A window of its own over `owner`, reading the document of `page`, the
    // main window's printed page, whose drawing it prints. The Mt choice
    // comes from the settings store of `services`. Every update asks
    // `ellipsoidArea`, if given, and shows the area it knows with its
    // difference from the plane area. Asked, not told: an area handed over
    // on each change would update the sheet a second time.
    SurveySheetWindow(QWidget &owner, platform::Services &services, const PrintPage &page,
                      EllipsoidArea ellipsoidArea = {});
    ~SurveySheetWindow() override;

    // Shows `window`, made first when there is none yet, and brings it
    // forward.
    static void open(std::unique_ptr<SurveySheetWindow> &window, QWidget &owner,
                     platform::Services &services, const PrintPage &page,
                     EllipsoidArea ellipsoidArea = {});

    const geometry::SurveySheet &sheet() const { return sheet_; }
    // How many times the sheet was computed and shown.
    int updateCount() const { return updates_; }
    // The Mt in force: the category's or the typed one; nothing when the
    // typed text is not a number above 0.
    std::optional<double> mt() const;
    // Paints the sheet's printed page: the title, the owner text, the
    // drawing to scale, the table and the totals.
    void paintPage(QPainter &p, int dpi) const;

    // ---- the controls, to press, type and read
    // The rows of the sheet, a view over a model that makes the cells of
    // the rows in sight only: ten thousand corners update as quickly as
    // twenty.
    QTableView *table = nullptr; // owned by the window
    std::unique_ptr<platform::Label> lblTotals, lblWarnings, lblCategory, lblMt;
    std::unique_ptr<platform::ComboBox> cmbCategory; // the six categories, then "Mt вручную"
    std::unique_ptr<platform::TextBox> txtMt;
    std::unique_ptr<platform::Button> cmdSave, cmdCopy, cmdPrint, cmdClose;

    // The last item of cmbCategory: Mt is what the field holds.
    static const QString kTypedMtItem;

private:
    class RowsModel;
    // Computes the sheet from the document and shows it.
    void refresh();
    void cmbCategory_Click();
    void txtMt_Change();
    void cmdSave_Click();
    void cmdCopy_Click();
    void cmdPrint_Click();
    void showChoice();
    // Asks for a file and writes the sheet there: a PDF of the printed pages
    // where the name ends in ".pdf", else an OpenDocument text. A write that
    // fails is said in a message box.
    void saveToFile();

    platform::Services &services_;
    PrintPage page_;
    const geometry::PolygonDocument &doc_;
    files::SheetChoice choice_;
    EllipsoidArea ellipsoidArea_;
    geometry::SurveySheet sheet_;
    RowsModel *rows_ = nullptr; // owned by the window
    int updates_ = 0;
    bool showingChoice_ = false;
};

} // namespace tarvel::main_window
