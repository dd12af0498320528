#include "platform/services/lazy_modules.h"

#include <QCoreApplication>
#include <QDir>

namespace tarvel::platform {

void *createFromModule(QLibrary &library, const char *module, const char *factory) {
    const QDir here(QCoreApplication::applicationDirPath());
    const QString name = QString::fromLatin1(module);
    for (const QString &candidate :
         {here.filePath(name), here.filePath(QStringLiteral("../lib/tarvel/") + name)}) {
        library.setFileName(candidate);
        if (!library.load()) continue;
        using Create = void *(*)();
        if (const auto create = reinterpret_cast<Create>(library.resolve(factory))) return create();
        library.unload();
    }
    return nullptr;
}

SpreadsheetService *LazySpreadsheet::service() {
    const std::lock_guard lock(loading_);
    if (tried_) return service_.get();
    tried_ = true;
    service_.reset(static_cast<SpreadsheetService *>(
        createFromModule(library_, "tarvel_sheet_module", "tarvel_create_spreadsheet")));
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

std::optional<SpreadsheetColumns> LazySpreadsheet::readColumnsUnlessStopped(const QString &fileName,
                                                                            std::stop_token stop) {
    SpreadsheetService *s = service();
    return s ? s->readColumnsUnlessStopped(fileName, std::move(stop)) : std::nullopt;
}

bool LazyPrinter::print(QWidget *owner, const std::function<void(QPainter &, int)> &paint) {
    if (!tried_) {
        tried_ = true;
        service_.reset(static_cast<PrinterService *>(
            createFromModule(library_, "tarvel_print_module", "tarvel_create_printer")));
        if (!service_) qWarning("tarvel: the print module could not be loaded");
    }
    return service_ && service_->print(owner, paint);
}

ArchiveEntry LazyArchive::readFirstEntry(const QByteArray &zip, const QString &suffix,
                                         qint64 maxBytes) {
    ArchiveService *s = nullptr;
    {
        const std::lock_guard lock(loading_);
        if (!tried_) {
            tried_ = true;
            service_.reset(static_cast<ArchiveService *>(
                createFromModule(library_, "tarvel_archive_module", "tarvel_create_archive")));
            if (!service_) qWarning("tarvel: the archive module could not be loaded");
        }
        s = service_.get();
    }
    return s ? s->readFirstEntry(zip, suffix, maxBytes) : ArchiveEntry{};
}

GisService *LazyGis::service() {
    const std::lock_guard lock(loading_);
    if (!tried_) {
        tried_ = true;
        service_.reset(
            static_cast<GisService *>(createFromModule(library_, module_, "tarvel_create_gis")));
    }
    return service_.get();
}

bool LazyGis::available() {
    return service() != nullptr;
}

GisReading LazyGis::read(const QString &fileName, std::stop_token stop) {
    GisService *s = service();
    if (s) return s->read(fileName, std::move(stop));
    GisReading reading;
    reading.outcome = GisReading::Outcome::NoModule;
    return reading;
}

QString LazyGis::write(const QString &fileName, const GisExport &plot) {
    GisService *s = service();
    return s ? s->write(fileName, plot) : QString::fromUtf16(kGisModuleMissing);
}

} // namespace tarvel::platform
