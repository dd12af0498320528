// The reading of a registry extract away from the window's thread: a
// territory plan of thousands of plots runs to tens of megabytes. When the
// reading lasts, a progress window with "Отмена" appears; Cancel, or a
// close of the window, ends the reading and nothing is opened.
#pragma once

#include "files/egrn_extract.h"

#include <QFutureWatcher>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <stop_token>

class QWidget;

namespace tarvel {
namespace platform {
class ArchiveService;
class ProgressService;
} // namespace platform

namespace main_window {

class ExtractOpening : public QObject {
    Q_OBJECT
public:
    // A quick reading shows no window that would flash by.
    static constexpr std::chrono::milliseconds kProgressDelay{500};

    ExtractOpening(platform::ArchiveService &archives, platform::ProgressService &progress,
                   QWidget *owner, QObject *parent = nullptr);
    // Stops a reading under way and waits for its thread, which the stop
    // makes quick.
    ~ExtractOpening() override;

    // Starts reading the extract at `path`; false, and nothing started,
    // while another reading runs.
    bool start(const QString &path);
    bool running() const { return running_; }
    // Ends a reading under way: finished() is not emitted.
    void cancel();

signals:
    // The reading ended: the plots, or the message saying why none.
    void finished(const files::ExtractReading &reading);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void readingEnded();

    platform::ArchiveService &archives_;
    platform::ProgressService &progress_;
    QWidget *owner_;
    QFutureWatcher<files::ExtractReading> watcher_;
    QTimer progressDelay_;
    std::stop_source stop_;
    bool running_ = false;
};

} // namespace main_window
} // namespace tarvel
