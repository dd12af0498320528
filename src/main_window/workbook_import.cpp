#include "main_window/workbook_import.h"

#include "platform/services/services.h"

#include <QEvent>
#include <QPromise>
#include <QThreadPool>
#include <QWidget>

#include <memory>

namespace tarvel::main_window {

namespace {

using Columns = std::optional<platform::SpreadsheetColumns>;

// Runs `read` on a thread of the pool; the future carries its answer.
template <typename Read> QFuture<Columns> inBackground(Read read) {
    auto promise = std::make_shared<QPromise<Columns>>();
    QFuture<Columns> future = promise->future();
    promise->start();
    QThreadPool::globalInstance()->start([promise, read = std::move(read)]() mutable {
        Columns columns;
        try {
            columns = read();
        } catch (...) {
            // Not a workbook, as the reader says of anything it cannot read.
        }
        promise->addResult(std::move(columns));
        promise->finish();
    });
    return future;
}

} // namespace

WorkbookImport::WorkbookImport(platform::SpreadsheetService &spreadsheet,
                               platform::ProgressService &progress, QWidget *owner, QObject *parent)
    : QObject(parent), spreadsheet_(spreadsheet), progress_(progress), owner_(owner) {
    progressDelay_.setSingleShot(true);
    // A coarse timer may fire a twentieth early; the window comes after the
    // delay, not before.
    progressDelay_.setTimerType(Qt::PreciseTimer);
    progressDelay_.setInterval(kProgressDelay);
    connect(&progressDelay_, &QTimer::timeout, this, [this] {
        progress_.show(owner_, QStringLiteral("Импорт координат"), QStringLiteral("Чтение книги…"),
                       [this] { cancel(); });
    });
    connect(&watcher_, &QFutureWatcherBase::finished, this, &WorkbookImport::readingEnded);
    if (owner_) owner_->installEventFilter(this);
}

WorkbookImport::~WorkbookImport() {
    stop_.request_stop();
    watcher_.disconnect(this);
    watcher_.waitForFinished();
    if (running_) progress_.close();
}

bool WorkbookImport::start(const QString &path) {
    if (running_) return false;
    running_ = true;
    stop_ = std::stop_source();
    watcher_.setFuture(inBackground([&sheet = spreadsheet_, path, stop = stop_.get_token()] {
        return sheet.readColumnsUnlessStopped(path, stop);
    }));
    progressDelay_.start();
    return true;
}

void WorkbookImport::cancel() {
    if (!running_) return;
    // The reading ends soon after; its answer is dropped when it arrives.
    stop_.request_stop();
    progressDelay_.stop();
    progress_.close();
}

bool WorkbookImport::eventFilter(QObject *watched, QEvent *event) {
    if (watched == owner_ && event->type() == QEvent::Close) cancel();
    return QObject::eventFilter(watched, event);
}

void WorkbookImport::readingEnded() {
    running_ = false;
    progressDelay_.stop();
    progress_.close();
    if (stop_.stop_requested()) return;
    const Columns columns = watcher_.result();
    emit finished(columns ? files::importCorners(*columns)
                          : files::ImportOutcome{std::nullopt, QStringLiteral("Ошибка импорта!")});
}

} // namespace tarvel::main_window
