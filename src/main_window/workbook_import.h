// The reading of a workbook for the import, away from the window's thread:
// a workbook that parses slowly never holds the window. When the reading
// lasts, a progress window with "Отмена" appears; Cancel ends the reading
// (the reader process is stopped) and nothing is imported. Closing the owner
// window ends the reading the same way.
#pragma once

#include "files/spreadsheet_exchange.h"

#include <QFutureWatcher>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <optional>
#include <stop_token>

class QWidget;

namespace tarvel {
namespace platform {
class ProgressService;
class SpreadsheetService;
} // namespace platform

namespace main_window {

class WorkbookImport : public QObject {
    Q_OBJECT
public:
    // How long a reading runs before the progress window appears: a quick
    // reading shows no window that would flash by.
    static constexpr std::chrono::milliseconds kProgressDelay{500};

    WorkbookImport(platform::SpreadsheetService &spreadsheet, platform::ProgressService &progress,
                   QWidget *owner, QObject *parent = nullptr);
    // Stops a reading under way and waits for its thread to end, which the
    // stop makes quick: the reading may not outlive the services it uses.
    ~WorkbookImport() override;

    // Starts reading the workbook at `path`; false, and nothing started,
    // while another reading runs.
    bool start(const QString &path);
    bool running() const { return running_; }
    // Ends a reading under way as "Отмена" does: finished() is not emitted.
    void cancel();

protected:
    // A close of the owner cancels the reading before the owner handles the
    // close itself: a question whether to save is then asked about the
    // polygon as it will stay, with no progress window over it and no
    // reading left to land in it after the answer. A close the user then
    // refuses does not bring the reading back.
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    // The reading ended: the corners, or the message saying why none.
    void finished(const files::ImportOutcome &outcome);

private:
    void readingEnded();

    platform::SpreadsheetService &spreadsheet_;
    platform::ProgressService &progress_;
    QWidget *owner_;
    QFutureWatcher<std::optional<platform::SpreadsheetColumns>> watcher_;
    QTimer progressDelay_;
    std::stop_source stop_;
    bool running_ = false;
};

} // namespace main_window
} // namespace tarvel
