#include "platform/services/real_services.h"

#include "platform/controls/colours.h"
#include "platform/services/file_association.h"
#include "platform/services/lazy_modules.h"
#include "platform/services/progress_dialog.h"
#include "platform/services/settings_store.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>
#include <QTextDocumentWriter>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QUrl>

namespace tarvel::platform {

MsgResult QtMessageBox::show(QWidget *owner, const QString &text, MsgButtons buttons, MsgIcon icon,
                             const QString &title) {
    QMessageBox box(owner);
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgIcon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MsgIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    switch (buttons) {
    case MsgButtons::OK:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    case QMessageBox::Ok:
        return MsgResult::OK;
    default:
        return buttons == MsgButtons::OK
                   ? MsgResult::OK
                   : (buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Cancel);
    }
}

namespace {

QString startFolder(const FileDialogRequest &r) {
    QString dir = r.initDir;
    if (dir.isEmpty() || !QFileInfo(dir).isDir()) dir = QDir::homePath();
    if (!r.fileName.isEmpty()) return QDir(dir).filePath(r.fileName);
    return dir;
}

// Qt's own dialog, the same on every desktop, so that a person (and the
// end-to-end tests) always meet the same window.
std::optional<QString> runFileDialog(QWidget *owner, const FileDialogRequest &r, bool save) {
    QFileDialog dialog(owner, r.title);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(qtFilter(r.filter));
    const QString suffix = defaultSuffix(r.defaultExt);
    if (!suffix.isEmpty()) dialog.setDefaultSuffix(suffix);
    const QString start = startFolder(r);
    if (QFileInfo(start).isDir()) {
        dialog.setDirectory(start);
    } else {
        dialog.setDirectory(QFileInfo(start).absolutePath());
        dialog.selectFile(QFileInfo(start).fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().first());
}

} // namespace

std::optional<QString> QtDialogs::showSave(QWidget *owner, const FileDialogRequest &r) {
    return runFileDialog(owner, r, true);
}

std::optional<QString> QtDialogs::showOpen(QWidget *owner, const FileDialogRequest &r) {
    return runFileDialog(owner, r, false);
}

std::optional<std::uint32_t> QtDialogs::showColour(QWidget *owner, std::uint32_t initial) {
    const QColor c = QColorDialog::getColor(toQColor(initial), owner, QString(),
                                            QColorDialog::DontUseNativeDialog);
    if (!c.isValid()) return std::nullopt;
    return fromQColor(c);
}

std::optional<QString> QtDialogs::browseForFolder(QWidget *owner, const QString &title,
                                                  const QString &start) {
    const QString dir = QFileDialog::getExistingDirectory(
        owner, title, start, QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (dir.isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(dir);
}

std::optional<int> QtDialogs::chooseItem(QWidget *owner, const QString &title,
                                         const QStringList &items) {
    QDialog dialog(owner);
    dialog.setWindowTitle(title);
    auto *layout = new QVBoxLayout(&dialog);
    auto *search = new QLineEdit(&dialog);
    search->setPlaceholderText(QStringLiteral("Поиск"));
    search->setClearButtonEnabled(true);
    auto *list = new QListWidget(&dialog);
    list->addItems(items);
    list->setCurrentRow(0);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    layout->addWidget(search);
    layout->addWidget(list);
    layout->addWidget(buttons);
    // The search shows the items holding its text; the first shown is
    // chosen, so that Enter takes it.
    QObject::connect(search, &QLineEdit::textChanged, list, [list](const QString &text) {
        int first = -1;
        for (int i = 0; i < list->count(); ++i) {
            const bool shown = list->item(i)->text().contains(text, Qt::CaseInsensitive);
            list->item(i)->setHidden(!shown);
            if (shown && first < 0) first = i;
        }
        list->setCurrentRow(first);
    });
    // Enter in the search takes the item found, as OK does.
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    QObject::connect(search, &QLineEdit::returnPressed, &dialog, &QDialog::accept);
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    dialog.resize(520, 420);
    if (dialog.exec() != QDialog::Accepted || list->currentRow() < 0 ||
        list->currentItem()->isHidden())
        return std::nullopt;
    return list->currentRow();
}

QSize QtScreen::screenSize() {
    const QScreen *s = QGuiApplication::primaryScreen();
    return s ? s->size() : QSize(1024, 768);
}

QRect QtScreen::availableArea() {
    const QScreen *s = QGuiApplication::primaryScreen();
    return s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
}

QString ArgvCommandLine::commandLineText() {
    return arguments_.size() > 1 ? arguments_.at(1) : QString();
}

bool DesktopShell::openDocument(const QString &pathOrUrl) {
    const QUrl url = QUrl::fromUserInput(pathOrUrl, QDir::currentPath(), QUrl::AssumeLocalFile);
    // The desktop's opener says it started even where no program takes the
    // document, and then shows nothing of it (or hands it to a fallback such
    // as $BROWSER): without a program for the type, this is a failure.
    if (url.isLocalFile()) {
        const QString type = QMimeDatabase().mimeTypeForFile(url.toLocalFile()).name();
        if (!desktopHasApplicationFor(type, XdgFolders::fromEnvironment())) return false;
    }
    return QDesktopServices::openUrl(url);
}

bool DesktopShell::startProgram(const QString &program, const QStringList &arguments) {
    return QProcess::startDetached(program, arguments);
}

QString DesktopShell::findProgram(const QStringList &candidates) {
    for (const QString &c : candidates)
        if (!QStandardPaths::findExecutable(c).isEmpty()) return c;
    return {};
}

QString DesktopClipboard::text() { return QGuiApplication::clipboard()->text(); }

void DesktopClipboard::setContent(const QString &plain, const QString &html) {
    auto data = std::make_unique<QMimeData>();
    data->setText(plain);
    if (!html.isEmpty()) data->setHtml(html);
    QGuiApplication::clipboard()->setMimeData(data.release()); // the clipboard owns it
}

struct RealServices::Impl {
    Impl(const QString &appName, const QString &exePath, QStringList args)
        : commandLine(std::move(args)), settings(appName), association(exePath, appName) {}
    QtMessageBox messages;
    QtDialogs dialogs;
    QtScreen screen;
    ArgvCommandLine commandLine;
    DesktopShell shell;
    IniSettingsStore settings;
    XdgFileAssociation association;
    LazySpreadsheet spreadsheet;
    LazyPrinter printer;
    DesktopClipboard clipboard;
    QtProgress progress;
    LazyArchive archives;
    LazyGis gis;
    QtDocuments documents;
};

RealServices::RealServices(const QString &appName, const QString &exePath, QStringList args)
    : impl_(std::make_unique<Impl>(appName, exePath, std::move(args))) {}

RealServices::~RealServices() = default;

Services RealServices::bundle() {
    return Services{impl_->messages, impl_->dialogs,   impl_->screen,      impl_->commandLine,
                    impl_->shell,    impl_->settings,  impl_->association, impl_->spreadsheet,
                    impl_->printer,  impl_->clipboard, impl_->progress, impl_->archives,
                    impl_->gis,      impl_->documents};
}

bool QtDocuments::writePdf(const QString &path, const QString &title, bool landscape,
                           const std::function<void(QPainter &painter, int dpi)> &paint) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    {
        QPdfWriter writer(&file);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Тарвел"));
        writer.setResolution(600);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter;
        if (!painter.begin(&writer)) return false;
        paint(painter, writer.resolution());
        // The document is finished when the painter ends, before the file
        // is committed.
        painter.end();
    }
    return file.commit();
}

bool QtDocuments::writeOdt(const QString &path, const QString &html) {
    QTextDocument document;
    document.setHtml(html);
    // The writer closes the device it zips into when done, and a saving file
    // must never be closed (Qt ends the program), only committed: the
    // document is made in memory and then written whole.
    QBuffer odt;
    if (!odt.open(QIODevice::WriteOnly)) return false;
    QTextDocumentWriter writer(&odt, QByteArrayLiteral("odf"));
    if (!writer.write(&document)) return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(odt.data()) != odt.data().size()) return false;
    return file.commit();
}

ArchiveService &RealServices::archives() { return impl_->archives; }

GisService &RealServices::gis() { return impl_->gis; }

} // namespace tarvel::platform
