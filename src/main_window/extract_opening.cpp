#include "main_window/extract_opening.h"

#include "platform/services/services.h"

#include <QEvent>
#include <QPromise>
#include <QThreadPool>
#include <QWidget>

#include <memory>

namespace tarvel::main_window {

ExtractOpening::ExtractOpening(platform::ArchiveService &archives,
                               platform::ProgressService &progress, QWidget *owner,
                               QObject *parent)
    : QObject(parent), archives_(archives), progress_(progress), owner_(owner) {
    progressDelay_.setSingleShot(true);
    progressDelay_.setTimerType(Qt::PreciseTimer);
    progressDelay_.setInterval(kProgressDelay);
    connect(&progressDelay_, &QTimer::timeout, this, [this] {
        progress_.show(owner_, QStringLiteral("Открытие выписки ЕГРН"),
                       QStringLiteral("Чтение выписки…"), [this] { cancel(); });
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

bool ExtractOpening::start(const QString &path) {
    if (running_) return false;
    running_ = true;
    stop_ = std::stop_source();
    auto promise = std::make_shared<QPromise<files::ExtractReading>>();
    watcher_.setFuture(promise->future());
    promise->start();
    QThreadPool::globalInstance()->start(
        [promise, &archives = archives_, path, stop = stop_.get_token()] {
            files::ExtractReading reading;
            try {
                reading = files::readEgrnExtractFile(path, archives, stop);
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
    progress_.close();
    if (stop_.stop_requested()) return;
    emit finished(watcher_.result());
}

} // namespace tarvel::main_window
