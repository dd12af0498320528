// Printing through Qt's print dialog, as a module the program loads on
// first use (see lazy_modules.h): Qt's print support is not loaded at
// start-up.
#include "platform/services/services.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace {

class QtPrinterService : public tarvel::platform::PrinterService {
public:
    bool print(QWidget *owner,
               const std::function<void(QPainter &painter, int dpi)> &paint) override {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageSize(QPageSize(QPageSize::A4));
        QPrintDialog dialog(&printer, owner);
        if (dialog.exec() != QDialog::Accepted) return false;
        QPainter painter(&printer);
        if (!painter.isActive()) return false;
        paint(painter, printer.resolution());
        return true;
    }
};

} // namespace

extern "C" Q_DECL_EXPORT void *tarvel_create_printer() {
    return static_cast<tarvel::platform::PrinterService *>(new QtPrinterService());
}
