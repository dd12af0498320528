#include "support/fake_services.h"

#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <QTextDocumentWriter>

#include <condition_variable>
#include <mutex>

namespace tarvel::platform {

MsgResult FakeMessageBox::show(QWidget *, const QString &text, MsgButtons buttons, MsgIcon icon,
                               const QString &title) {
    shown.push_back({text, buttons, icon, title});
    if (onShow) onShow(shown.back());
    if (buttons == MsgButtons::OK) {
        if (!answers.empty()) answers.pop_front();
        return MsgResult::OK;
    }
    if (answers.empty()) return fallback;
    const MsgResult r = answers.front();
    answers.pop_front();
    return r;
}

namespace {
std::optional<QString> nextFile(std::deque<std::optional<QString>> &q) {
    if (q.empty()) return std::nullopt;
    auto r = q.front();
    q.pop_front();
    return r;
}
} // namespace

std::optional<QString> FakeDialogs::showSave(QWidget *, const FileDialogRequest &request) {
    asked.push_back({Asked::Kind::Save, request, 0});
    if (onShow) onShow(asked.back());
    return nextFile(fileAnswers);
}

std::optional<QString> FakeDialogs::showOpen(QWidget *, const FileDialogRequest &request) {
    asked.push_back({Asked::Kind::Open, request, 0});
    if (onShow) onShow(asked.back());
    return nextFile(fileAnswers);
}

std::optional<std::uint32_t> FakeDialogs::showColour(QWidget *, std::uint32_t initial) {
    asked.push_back({Asked::Kind::Colour, {}, initial});
    if (onShow) onShow(asked.back());
    if (colourAnswers.empty()) return std::nullopt;
    auto r = colourAnswers.front();
    colourAnswers.pop_front();
    return r;
}

std::optional<int> FakeDialogs::chooseItem(QWidget *, const QString &, const QStringList &items) {
    choices.push_back(items);
    if (choiceAnswers.empty()) return std::nullopt;
    const auto answer = choiceAnswers.front();
    choiceAnswers.pop_front();
    return answer;
}

std::optional<QString> FakeDialogs::browseForFolder(QWidget *, const QString &title,
                                                    const QString &startFolder) {
    FileDialogRequest r;
    r.title = title;
    r.initDir = startFolder;
    asked.push_back({Asked::Kind::Folder, r, 0});
    if (onShow) onShow(asked.back());
    return nextFile(fileAnswers);
}

bool FakeShell::openDocument(const QString &pathOrUrl) {
    opened << pathOrUrl;
    return openSucceeds;
}

bool FakeShell::startProgram(const QString &program, const QStringList &arguments) {
    started.emplace_back(program, arguments);
    return true;
}

QString FakeShell::findProgram(const QStringList &candidates) {
    for (const QString &c : candidates)
        if (programsOnPath.contains(c)) return c;
    return {};
}

QString FakeSettingsStore::read(const QString &section, const QString &key,
                                const QString &defaultValue) {
    return value(section, key).value_or(defaultValue);
}

void FakeSettingsStore::write(const QString &section, const QString &key, const QString &value) {
    writes << section + QLatin1Char('/') + key + QLatin1Char('=') + value;
    values_[section + QLatin1Char('/') + key.toLower()] = value;
}

std::optional<QString> FakeSettingsStore::value(const QString &section, const QString &key) const {
    const auto it = values_.find(section + QLatin1Char('/') + key.toLower());
    if (it == values_.end()) return std::nullopt;
    return *it;
}

bool FakePrinter::print(QWidget *, const std::function<void(QPainter &, int)> &paint) {
    if (pdfPath.isEmpty()) return false;
    QPdfWriter writer(pdfPath);
    writer.setResolution(300);
    writer.setPageSize(QPageSize(QPageSize::A4));
    QPainter painter(&writer);
    paint(painter, writer.resolution());
    ++printed;
    return true;
}

std::unique_ptr<SpreadsheetApplication> FakeSpreadsheet::createApplication() {
    if (startFails || !real_) return nullptr;
    return real_->createApplication();
}

std::optional<SpreadsheetColumns> FakeSpreadsheet::readColumns(const QString &fileName) {
    if (!real_) return std::nullopt;
    return real_->readColumns(fileName);
}

} // namespace tarvel::platform

namespace tarvel::platform {

std::optional<SpreadsheetColumns> FakeSpreadsheet::readColumnsUnlessStopped(const QString &fileName,
                                                                            std::stop_token stop) {
    if (readDelay.count() > 0) {
        std::mutex mutex;
        std::condition_variable_any wake;
        std::unique_lock lock(mutex);
        wake.wait_for(lock, stop, readDelay, [] { return false; });
        if (stop.stop_requested()) {
            ++stopped;
            return std::nullopt;
        }
    }
    if (!real_) return std::nullopt;
    auto columns = real_->readColumnsUnlessStopped(fileName, stop);
    if (stop.stop_requested()) ++stopped;
    return columns;
}

void FakeProgress::show(QWidget *, const QString &title, const QString &text,
                        std::function<void()> cancelled) {
    shown.push_back({title, text});
    visible = true;
    cancelled_ = std::move(cancelled);
    if (onShow) onShow(shown.back());
}

void FakeProgress::close() {
    visible = false;
    cancelled_ = nullptr;
}

bool FakeProgress::cancel() {
    if (!visible) return false;
    visible = false;
    const auto cancelled = std::move(cancelled_);
    cancelled_ = nullptr;
    if (cancelled) cancelled();
    return true;
}

ArchiveEntry FakeArchive::readFirstEntry(const QByteArray &zip, const QString &suffix,
                                         qint64 maxBytes) {
    asked.push_back({zip.size(), suffix, maxBytes});
    if (answers.empty()) return {};
    ArchiveEntry answer = std::move(answers.front());
    answers.pop_front();
    return answer;
}

GisReading FakeGis::read(const QString &fileName, std::stop_token stop) {
    asked.push_back(fileName);
    if (onRead) onRead(fileName, stop);
    GisReading answer;
    if (!installed) {
        answer.outcome = GisReading::Outcome::NoModule;
    } else if (stop.stop_requested()) {
        answer.outcome = GisReading::Outcome::Cancelled;
    } else if (const auto found = answers.find(fileName); found != answers.end()) {
        answer = found->second;
    } else if (!queue.empty()) {
        answer = std::move(queue.front());
        queue.pop_front();
    }
    return answer;
}

} // namespace tarvel::platform

namespace tarvel::platform {

bool FakeDocuments::writePdf(const QString &path, const QString &title, bool landscape,
                             const std::function<void(QPainter &, int)> &paint) {
    pdfs.push_back({path, title, landscape, {}});
    if (fails) return false;
    QPdfWriter writer(path);
    writer.setTitle(title);
    writer.setResolution(300);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter(&writer);
    paint(painter, writer.resolution());
    return true;
}

bool FakeDocuments::writeOdt(const QString &path, const QString &html) {
    odts.push_back({path, {}, false, html});
    if (fails) return false;
    QTextDocument document;
    document.setHtml(html);
    return QTextDocumentWriter(path, QByteArrayLiteral("odf")).write(&document);
}

} // namespace tarvel::platform
