// The real implementations of the platform services: Qt's message boxes and
// dialogs, the primary screen, the process arguments, the desktop's shell,
// the INI settings store, the XDG file-type association, the spreadsheet
// layer, the printer, the zip archives, the GIS files and the documents.
#pragma once

#include "platform/services/services.h"

#include <QStringList>

#include <memory>

namespace tarvel::platform {

// Turns a "description|pattern|description|pattern|" filter into Qt's
// "description (pattern);;..." form. A description that already names its
// patterns in brackets shows them once, in Qt's blank-separated form.
QString qtFilter(const QString &pipeFilter);

// The default suffix of a dialog request ("*.squ" -> "squ").
QString defaultSuffix(const QString &defaultExt);

class QtMessageBox : public MessageBoxService {
public:
    MsgResult show(QWidget *owner, const QString &text, MsgButtons buttons, MsgIcon icon,
                   const QString &title) override;
};

// PDF with QPdfWriter and OpenDocument text with QTextDocumentWriter, each
// written through a QSaveFile.
class QtDocuments : public DocumentService {
public:
    bool writePdf(const QString &path, const QString &title, bool landscape,
                  const std::function<void(QPainter &painter, int dpi)> &paint) override;
    bool writeOdt(const QString &path, const QString &html) override;
};

class QtDialogs : public DialogService {
public:
    std::optional<QString> showSave(QWidget *owner, const FileDialogRequest &request) override;
    std::optional<QString> showOpen(QWidget *owner, const FileDialogRequest &request) override;
    std::optional<std::uint32_t> showColour(QWidget *owner, std::uint32_t initial) override;
    std::optional<QString> browseForFolder(QWidget *owner, const QString &title,
                                           const QString &startFolder) override;
    std::optional<int> chooseItem(QWidget *owner, const QString &title,
                                  const QStringList &items) override;
};

class QtScreen : public ScreenService {
public:
    QSize screenSize() override;
    QRect availableArea() override;
};

class ArgvCommandLine : public CommandLineService {
public:
    explicit ArgvCommandLine(QStringList arguments) : arguments_(std::move(arguments)) {}
    QString commandLineText() override;

private:
    QStringList arguments_;
};

class DesktopShell : public ShellService {
public:
    bool openDocument(const QString &pathOrUrl) override;
    bool startProgram(const QString &program, const QStringList &arguments) override;
    QString findProgram(const QStringList &candidates) override;
};

class DesktopClipboard : public ClipboardService {
public:
    QString text() override;
    void setContent(const QString &plain, const QString &html) override;
};

// Owns one of each real service and hands out the bundle.
class RealServices {
public:
    // appName: the executable's base name; executablePath: its full path.
    RealServices(const QString &appName, const QString &executablePath, QStringList arguments);
    ~RealServices();
    Services bundle();
    // The zip archives (the module of lazy_modules.h), also in the bundle.
    ArchiveService &archives();
    // The GIS and CAD files (the module of lazy_modules.h), also in the bundle.
    GisService &gis();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace tarvel::platform
