// Scripted fakes of the platform services, for tests: message boxes and
// dialogs answer from a queue and record what was asked; the settings store
// lives in memory; the shell records what it was asked to open or start.
#pragma once

#include "platform/services/services.h"

#include <QMap>
#include <QString>

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace tarvel::platform {

class FakeMessageBox : public MessageBoxService {
public:
    struct Shown {
        QString text;
        MsgButtons buttons;
        MsgIcon icon;
        QString title;
    };
    // Answers given in order; when the queue is empty the box answers
    // `fallback` (OK for an OK-only box).
    std::deque<MsgResult> answers;
    MsgResult fallback = MsgResult::No;
    std::vector<Shown> shown;
    // Called while the box is "open", to let a test look at the window then.
    std::function<void(const Shown &)> onShow;

    MsgResult show(QWidget *owner, const QString &text, MsgButtons buttons, MsgIcon icon,
                   const QString &title) override;
};

class FakeDialogs : public DialogService {
public:
    struct Asked {
        enum class Kind { Save, Open, Colour, Folder } kind;
        FileDialogRequest request; // for Colour: empty; for Folder: title and initDir
        std::uint32_t initialColour = 0;
    };
    std::deque<std::optional<QString>> fileAnswers; // Save, Open and Folder answers
    std::deque<std::optional<std::uint32_t>> colourAnswers;
    std::vector<Asked> asked;
    // Called while a dialog is "open".
    std::function<void(const Asked &)> onShow;

    std::optional<QString> showSave(QWidget *owner, const FileDialogRequest &request) override;
    std::optional<QString> showOpen(QWidget *owner, const FileDialogRequest &request) override;
    std::optional<std::uint32_t> showColour(QWidget *owner, std::uint32_t initial) override;
    std::optional<QString> browseForFolder(QWidget *owner, const QString &title,
                                           const QString &startFolder) override;
    // The lists offered, and the answers given in turn (Cancel when none).
    std::vector<QStringList> choices;
    std::deque<std::optional<int>> choiceAnswers;
    std::optional<int> chooseItem(QWidget *owner, const QString &title,
                                  const QStringList &items) override;
};

class FakeScreen : public ScreenService {
public:
    QSize size{1920, 1080};
    QRect available; // empty: the whole screen
    QSize screenSize() override { return size; }
    QRect availableArea() override {
        return available.isEmpty() ? QRect(QPoint(0, 0), size) : available;
    }
};

class FakeCommandLine : public CommandLineService {
public:
    QString text;
    QString commandLineText() override { return text; }
};

class FakeShell : public ShellService {
public:
    QStringList opened; // documents and addresses
    std::vector<std::pair<QString, QStringList>> started;
    bool openSucceeds = true;
    QStringList programsOnPath; // what findProgram can find

    bool openDocument(const QString &pathOrUrl) override;
    bool startProgram(const QString &program, const QStringList &arguments) override;
    QString findProgram(const QStringList &candidates) override;
};

// In-memory store; keys compared without regard to case, as the real one.
class FakeSettingsStore : public SettingsStore {
public:
    // Every write in order, as "Section/Key=Value".
    QStringList writes;

    QString read(const QString &section, const QString &key, const QString &defaultValue) override;
    void write(const QString &section, const QString &key, const QString &value) override;
    // Direct access for tests: the value or nullopt.
    std::optional<QString> value(const QString &section, const QString &key) const;

private:
    QMap<QString, QString> values_; // "section/lower-case key" -> value
};

class FakeAssociation : public FileTypeAssociation {
public:
    int registerCalls = 0;
    void RegisterFileType() override { ++registerCalls; }
    QString ReadRegString() override { return {}; }
};

class FakePrinter : public PrinterService {
public:
    // Where the page is printed as PDF; empty: print answers Cancel.
    QString pdfPath;
    int printed = 0;
    bool print(QWidget *owner,
               const std::function<void(QPainter &painter, int dpi)> &paint) override;
};

// The spreadsheet fake is the real one: it writes and reads real files in
// the folders the tests choose. Tests that need a failing application use
// this wrapper.
class FakeSpreadsheet : public SpreadsheetService {
public:
    explicit FakeSpreadsheet(SpreadsheetService *real = nullptr) : real_(real) {}
    FakeSpreadsheet(const FakeSpreadsheet &other)
        : startFails(other.startFails), readDelay(other.readDelay), real_(other.real_) {}
    FakeSpreadsheet &operator=(const FakeSpreadsheet &other) {
        startFails = other.startFails;
        readDelay = other.readDelay;
        real_ = other.real_;
        return *this;
    }
    bool startFails = false;
    // A slow workbook: a reading first waits this long, or until stopped.
    std::chrono::milliseconds readDelay{0};
    // Readings that a stop ended, counted from the worker thread.
    std::atomic<int> stopped{0};
    std::unique_ptr<SpreadsheetApplication> createApplication() override;
    std::optional<SpreadsheetColumns> readColumns(const QString &fileName) override;
    std::optional<SpreadsheetColumns> readColumnsUnlessStopped(const QString &fileName,
                                                               std::stop_token stop) override;

private:
    SpreadsheetService *real_;
};

// A clipboard of the test's own, so that tests never touch the desktop's.
class FakeClipboard : public ClipboardService {
public:
    QString plain, html;
    QString text() override { return plain; }
    void setContent(const QString &p, const QString &h) override {
        plain = p;
        html = h;
    }
};

// A progress window that is never drawn: it records what it was asked to
// show, and a test presses its "Отмена" with cancel().
class FakeProgress : public ProgressService {
public:
    struct Shown {
        QString title, text;
    };
    std::vector<Shown> shown;
    bool visible = false;
    // Called while the window is "shown".
    std::function<void(const Shown &)> onShow;

    void show(QWidget *owner, const QString &title, const QString &text,
              std::function<void()> cancelled) override;
    void close() override;
    // The parts done the window was told of, in order.
    std::vector<double> fractions;
    void setFraction(double done) override { fractions.push_back(done); }
    // Presses "Отмена" on the window shown; false when none is.
    bool cancel();

private:
    std::function<void()> cancelled_;
};

// Archives answered from a script: each call takes the next answer (an
// Unreadable entry when none is left) and records what it was asked.
class FakeArchive : public ArchiveService {
public:
    struct Asked {
        qsizetype zipBytes = 0;
        QString suffix;
        qint64 maxBytes = 0;
    };
    std::deque<ArchiveEntry> answers;
    std::vector<Asked> asked;

    ArchiveEntry readFirstEntry(const QByteArray &zip, const QString &suffix,
                                qint64 maxBytes) override;
};

// GIS files answered from a script: `answers` by file name, else the next
// of `queue` (an Unreadable reading when neither has one); each file asked
// for is recorded. With `installed` false it is a program without the GIS
// module: unavailable, and every reading NoModule.
class FakeGis : public GisService {
public:
    bool installed = true;
    std::map<QString, GisReading> answers;
    std::deque<GisReading> queue;
    std::vector<QString> asked;
    // Called with the reading's stop token before it answers, as a worker
    // thread would run it (a test may cancel from here).
    std::function<void(const QString &fileName, std::stop_token stop)> onRead;

    bool available() override { return installed; }
    GisReading read(const QString &fileName, std::stop_token stop) override;
    // The plots written, with their file names; each write answers
    // `writeAnswer` (empty: written).
    std::vector<std::pair<QString, GisExport>> written;
    QString writeAnswer;
    QString write(const QString &fileName, const GisExport &plot) override {
        written.emplace_back(fileName, plot);
        return installed ? writeAnswer : QString::fromUtf16(kGisModuleMissing);
    }
};

// Documents written for real (so that a test can read them back), unless
// `fails` is set; every call is recorded.
class FakeDocuments : public DocumentService {
public:
    struct Written {
        QString path, title;
        bool landscape = false;
        QString html; // for an OpenDocument text
    };
    bool fails = false;
    std::vector<Written> pdfs, odts;
    bool writePdf(const QString &path, const QString &title, bool landscape,
                  const std::function<void(QPainter &painter, int dpi)> &paint) override;
    bool writeOdt(const QString &path, const QString &html) override;
};

// Every fake in one place, with the bundle the windows take.
struct FakeServices {
    FakeMessageBox messages;
    FakeDialogs dialogs;
    FakeScreen screen;
    FakeCommandLine commandLine;
    FakeShell shell;
    FakeSettingsStore settings;
    FakeAssociation association;
    FakeSpreadsheet spreadsheet;
    FakePrinter printer;
    FakeClipboard clipboard;
    FakeProgress progress;
    FakeArchive archives;
    FakeGis gis;
    FakeDocuments documents;

    Services bundle() {
        return Services{messages, dialogs,     screen,      commandLine, shell,
                        settings, association, spreadsheet, printer,     clipboard,
                        progress, archives,    gis,         documents};
    }
};

} // namespace tarvel::platform
