// The reading of a registry extract, or of a drawing or a map, away from the
// window's thread: a territory plan of thousands of plots runs to tens of
// megabytes, and so does a map. When the
// reading lasts, a progress window with "Отмена" appears; Cancel, or a
// close of the window, ends the reading and nothing is opened.
#pragma once

#include "files/egrn_extract.h"

#include <QFutureWatcher>
#include <QObject>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <memory>
#include <stop_token>

class QWidget;

namespace tarvel {
namespace platform {
class ArchiveService;
class GisService;
class ProgressService;
} // namespace platform

namespace main_window {

class ExtractOpening : public QObject {
    Q_OBJECT
public:
    // A quick reading shows no window that would flash by.
    static constexpr std::chrono::milliseconds kProgressDelay{500};
    // How often the window's bar is brought up to the reading's progress.
    static constexpr std::chrono::milliseconds kProgressTick{100};

    ExtractOpening(platform::ArchiveService &archives, platform::GisService &gis,
                   platform::ProgressService &progress, QWidget *owner,
                   QObject *parent = nullptr);
    // Stops a reading under way and waits for its thread, which the stop
    // makes quick.
    ~ExtractOpening() override;

    enum class Kind {
        Extract, // a registry extract, .xml or .zip
        Map,     // a drawing or a map the GIS module reads
    };
    // Starts reading the file at `path`; false, and nothing started, while
    // another reading runs.
    bool start(const QString &path, Kind kind = Kind::Extract);
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
    platform::GisService &gis_;
    platform::ProgressService &progress_;
    QWidget *owner_;
    QFutureWatcher<files::ExtractReading> watcher_;
    QTimer progressDelay_;
    QTimer progressTick_;
    // The part of an extract read, in thousandths, as its reading thread
    // last said: the bar shows it at the next tick.
    std::shared_ptr<std::atomic<int>> done_;
    std::stop_source stop_;
    bool running_ = false;
    Kind kind_ = Kind::Extract;
};

} // namespace main_window
} // namespace tarvel
