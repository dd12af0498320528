// The program's spreadsheet service: loads the spreadsheet module (built
// beside the executable, installed in lib/tarvel) the first time a workbook
// is written or read. When the module cannot be loaded, writing fails (the
// export says so) and reading finds no workbook (the import says so).
#pragma once

#include "platform/services.h"

#include <QLibrary>

#include <memory>

namespace tarvel::platform {

class LazySpreadsheet : public SpreadsheetService {
public:
    std::unique_ptr<SpreadsheetApplication> createApplication() override;
    std::optional<SpreadsheetColumns> readColumns(const QString &fileName) override;

private:
    SpreadsheetService *service();
    QLibrary library_;
    std::unique_ptr<SpreadsheetService> service_;
    bool tried_ = false;
};

} // namespace tarvel::platform
