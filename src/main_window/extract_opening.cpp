#include "main_window/extract_opening.h"

#include "geographic/gis_plots.h"
#include "platform/services/services.h"

#include <QEvent>
#include <QPromise>
#include <QThreadPool>
#include <QWidget>

#include <memory>

namespace tarvel::main_window {

ExtractOpening::ExtractOpening(platform::ArchiveService &archives, platform::GisService &gis,
                               platform::ProgressService &progress, QWidget *owner,
                               QObject *parent)
    : QObject(parent), archives_(archives), gis_(gis), progress_(progress), owner_(owner) {
    progressDelay_.setSingleShot(true);
    progressDelay_.setTimerType(Qt::PreciseTimer);
    progressDelay_.setInterval(kProgressDelay);
    connect(&progressDelay_, &QTimer::timeout, this, [this] {
        if (kind_ == Kind::Extract)
            progress_.show(owner_, QStringLiteral("Открытие выписки ЕГРН"),
                           QStringLiteral("Чтение выписки…"), [this] { cancel(); });
        else
            progress_.show(owner_, QStringLiteral("Открытие файла"),
                           QStringLiteral("Чтение файла…"), [this] { cancel(); });
        // An extract tells how much of it is read; a map read by the GIS
        // module cannot, and keeps the busy bar.
        if (kind_ == Kind::Extract) progressTick_.start();
    });
    progressTick_.setInterval(kProgressTick);
    connect(&progressTick_, &QTimer::timeout, this, [this] {
        if (done_) progress_.setFraction(done_->load(std::memory_order_relaxed) / 1000.0);
    });
    connect(&watcher_, &QFutureWatcherBase::finished, this, &ExtractOpening::readingEnded);
    if (owner_) owner_->installEventFilter(this);
}

ExtractOpening::~ExtractOpening() {
    stop_.request_stop();
    watcher_.disconnect(this);
    watcher_.waitForFinished();
    if (running_) progress_.close();
}

bool ExtractOpening::start(const QString &path, Kind kind) {
    if (running_) return false;
    running_ = true;
    kind_ = kind;
    stop_ = std::stop_source();
    done_ = std::make_shared<std::atomic<int>>(0);
    auto promise = std::make_shared<QPromise<files::ExtractReading>>();
    watcher_.setFuture(promise->future());
    promise->start();
    QThreadPool::globalInstance()->start(
        [promise, &archives = archives_, &gis = gis_, kind, path, stop = stop_.get_token(),
         done = done_] {
            files::ExtractReading reading;
            const auto progress = [done](double part) {
                done->store(int(part * 1000), std::memory_order_relaxed);
            };
            try {
                reading = kind == Kind::Extract
                              ? files::readEgrnExtractFile(path, archives, stop, progress)
                              : geographic::gisPlots(gis.read(path, stop), path);
            } catch (...) {
                reading.error = QStringLiteral("Ошибка чтения файла!");
            }
            promise->addResult(std::move(reading));
            promise->finish();
        });
    progressDelay_.start();
    return true;
}

void ExtractOpening::cancel() {
    if (!running_) return;
    stop_.request_stop();
    progressDelay_.stop();
    progressTick_.stop();
    progress_.close();
}

bool ExtractOpening::eventFilter(QObject *watched, QEvent *event) {
    // The window closed with the reading under way: there is nothing left
    // to open it in.
    if (watched == owner_ && event->type() == QEvent::Close) cancel();
    return QObject::eventFilter(watched, event);
}

void ExtractOpening::readingEnded() {
    running_ = false;
    progressDelay_.stop();
    progressTick_.stop();
    progress_.close();
    if (stop_.stop_requested()) return;
    emit finished(watcher_.result());
}

} // namespace tarvel::main_window
