#include "platform/lazy_spreadsheet.h"

#include <QCoreApplication>
#include <QDir>

namespace tarvel::platform {

SpreadsheetService *LazySpreadsheet::service() {
    if (tried_) return service_.get();
    tried_ = true;
    const QDir here(QCoreApplication::applicationDirPath());
    for (const QString &candidate :
         {here.filePath(QStringLiteral("tarvel_sheet_module")),
          here.filePath(QStringLiteral("../lib/tarvel/tarvel_sheet_module"))}) {
        library_.setFileName(candidate);
        if (!library_.load()) continue;
        using Create = SpreadsheetService *(*)();
        if (const auto create =
                reinterpret_cast<Create>(library_.resolve("tarvel_create_spreadsheet"))) {
            service_.reset(create());
            break;
        }
        library_.unload();
    }
    return service_.get();
}

std::unique_ptr<SpreadsheetApplication> LazySpreadsheet::createApplication() {
    SpreadsheetService *s = service();
    return s ? s->createApplication() : nullptr;
}

std::optional<SpreadsheetColumns> LazySpreadsheet::readColumns(const QString &fileName) {
    SpreadsheetService *s = service();
    return s ? s->readColumns(fileName) : std::nullopt;
}

} // namespace tarvel::platform
