// Services whose libraries the program loads on first use, from modules
// built beside the executable (installed in lib/tarvel): the spreadsheet
// libraries, Qt's print support, libzip and GDAL then cost nothing at
// start-up for a session that never exchanges a workbook, prints, opens an
// archive or a GIS file.
#pragma once

#include "platform/services/services.h"

#include <QLibrary>

#include <memory>
#include <mutex>

namespace tarvel::platform {

// Loads the named module and calls its factory; nullptr (with the library
// left unloaded) when the module or its factory cannot be found.
void *createFromModule(QLibrary &library, const char *module, const char *factory);

// When the module cannot be loaded, writing fails (the export says so) and
// reading finds no workbook (the import says so).
class LazySpreadsheet : public SpreadsheetService {
public:
    std::unique_ptr<SpreadsheetApplication> createApplication() override;
    std::optional<SpreadsheetColumns> readColumns(const QString &fileName) override;
    // The module is loaded by the first call, which may come from a worker
    // thread; calls never overlap (one reading at a time).
    std::optional<SpreadsheetColumns> readColumnsUnlessStopped(const QString &fileName,
                                                               std::stop_token stop) override;

private:
    SpreadsheetService *service();
    std::mutex loading_; // the export may load it while an import reads
    QLibrary library_;
    std::unique_ptr<SpreadsheetService> service_;
    bool tried_ = false;
};

// When the module cannot be loaded, printing ends as a cancelled dialog
// would, with a warning on the program's error output.
class LazyPrinter : public PrinterService {
public:
    bool print(QWidget *owner,
               const std::function<void(QPainter &painter, int dpi)> &paint) override;

private:
    QLibrary library_;
    std::unique_ptr<PrinterService> service_;
    bool tried_ = false;
};

// When the module cannot be loaded, every archive is Unreadable (the
// reading says the file cannot be read), with a warning on the program's
// error output. The module is loaded by the first call, which may come from
// a worker thread.
class LazyArchive : public ArchiveService {
public:
    ArchiveEntry readFirstEntry(const QByteArray &zip, const QString &suffix,
                                qint64 maxBytes) override;

private:
    std::mutex loading_;
    QLibrary library_;
    std::unique_ptr<ArchiveService> service_;
    bool tried_ = false;
};

// The GIS and CAD files through GDAL. Its module comes in a package of its
// own (tarvel-gis) that may not be installed: then `available()` is false
// and every reading ends as NoModule, for the program to say what to
// install. The module is loaded by the first call, which may come from a
// worker thread.
class LazyGis : public GisService {
public:
    LazyGis() = default;
    // Loads the module of this name instead (tests ask for one that is not
    // there).
    explicit LazyGis(const char *module) : module_(module) {}
    bool available() override;
    GisReading read(const QString &fileName, std::stop_token stop) override;
    QString write(const QString &fileName, const GisExport &plot) override;

private:
    GisService *service();
    const char *module_ = "tarvel_gis_module";
    std::mutex loading_;
    QLibrary library_;
    std::unique_ptr<GisService> service_;
    bool tried_ = false;
};

} // namespace tarvel::platform
