#include "main_window/file_actions.h"

#include "program.h"

#include "files/polygon_file.h"
#include "files/settings.h"
#include "geometry/numtext.h"
#include "geometry/polygon_document.h"
#include "platform/services/services.h"

namespace tarvel::main_window {

using geometry::formatText, geometry::kFieldPattern, geometry::textToDouble;

namespace {

platform::FileDialogRequest polygonDialog(const QString &workFolder) {
    platform::FileDialogRequest r;
    r.defaultExt = QStringLiteral("*.squ");
    r.filter = QStringLiteral("Файлы (*.squ)|*.squ|Все файлы(*.*)|*.*|");
    r.initDir = workFolder;
    return r;
}

// A coordinate of the file in the fields' display format, unless that text
// would read as another number (more decimals than the format shows, a
// value beyond its 15 digits, or so large that the rounded digits overflow
// into no number at all): then the file's own text, so that opening and
// saving again never changes a number.
QString fieldText(const QString &fileText) {
    const QString formatted = formatText(fileText, kFieldPattern);
    const auto value = textToDouble(fileText);
    if (value && textToDouble(formatted) != value) return fileText;
    return formatted;
}

// The texts of a read polygon as the fields show them.
geometry::PolygonTexts textsOf(const files::PolygonFileData &data) {
    geometry::PolygonTexts t;
    t.count = data.count;
    for (int k = 1; k <= 20; ++k) {
        t.x[k] = fieldText(data.x[k]);
        t.y[k] = fieldText(data.y[k]);
    }
    t.owner = data.owner;
    return t;
}

// The characters for the question about them: at most the first ten, a
// blank between them, and one that shows nothing by itself (a space of
// another width, a joiner, a lone surrogate) as its code, U+XXXX.
QString charactersShown(const QStringList &characters) {
    constexpr int kShown = 10;
    QStringList shown;
    for (const QString &c : characters.mid(0, kShown)) {
        const char32_t code =
            c.size() == 2 ? QChar::surrogateToUcs4(c.at(0), c.at(1)) : c.at(0).unicode();
        const bool visible = QChar::isPrint(code) && !QChar::isSpace(code) &&
                             QChar::category(code) != QChar::Mark_NonSpacing &&
                             QChar::category(code) != QChar::Mark_Enclosing;
        if (visible)
            shown << c;
        else
            shown << QStringLiteral("U+%1").arg(quint32(code), 4, 16, QLatin1Char('0')).toUpper();
    }
    return shown.join(QLatin1Char(' '));
}

} // namespace

FileActions::FileActions(geometry::PolygonDocument &document, platform::Services &services,
                         const files::Settings &settings, QWidget *owner, QObject *parent)
    : QObject(parent), doc_(document), services_(services), settings_(settings), owner_(owner) {}

QString FileActions::captionFor(const QString &path) {
    return kProgramTitle + QStringLiteral("   ") + path;
}

bool FileActions::saveAs() {
    const auto path = services_.dialogs.showSave(owner_, polygonDialog(settings_.WorkFolder));
    if (!path) return false;
    files::PolygonFileData data;
    // The count in force, not the count field: a text there that the
    // recompute did not take ("25", "", "3,5") would make a file that no
    // reader opens.
    const geometry::PolygonTexts &t = doc_.texts();
    data.count = QString::number(doc_.cornerCount());
    for (int i = 1; i <= 20; ++i) {
        data.x[i] = t.x[i];
        data.y[i] = t.y[i];
    }
    data.owner = t.owner;
    if (!mayLoseCharacters(files::charactersNotInFile(data))) return false;
    // The file is written whole beside the target and then renamed over it,
    // so a failed save leaves the previous file intact and is said as such.
    if (!files::writePolygonFile(*path, data)) {
        sayError(QStringLiteral("Ошибка записи файла!"));
        return false;
    }
    doc_.markSaved();
    emit fileNamed(*path);
    return true;
}

bool FileActions::openChosenFile() {
    // Opening replaces the polygon and its history: unsaved work is asked
    // about first, as on the way out, before a file is chosen.
    if (!maybeSave()) return false;
    const auto path = services_.dialogs.showOpen(owner_, polygonDialog(settings_.WorkFolder));
    if (!path) return false;
    if (!open(*path)) {
        sayError(QStringLiteral("Ошибка чтения файла!"));
        return false;
    }
    return true;
}

bool FileActions::openFromCommandLine() {
    const QString argument = services_.commandLine.commandLineText();
    if (argument.trimmed().isEmpty()) return false;
    return open(files::commandLinePath(argument));
}

bool FileActions::maybeSave() {
    if (!doc_.isModified()) return true;
    switch (services_.messages.show(
        owner_, QStringLiteral("Файл был изменен, хотите его сохранить?"),
        platform::MsgButtons::YesNoCancel, platform::MsgIcon::None, kProgramName)) {
    case platform::MsgResult::No:
        return true;
    // A save that was cancelled or failed does not throw the polygon away.
    case platform::MsgResult::Yes:
        return saveAs();
    default:
        return false;
    }
}

bool FileActions::open(const QString &path) {
    // A file that is not a whole polygon file changes nothing.
    const auto data = files::readPolygonFile(path);
    if (!data) return false;
    doc_.open(textsOf(*data));
    emit fileNamed(path);
    return true;
}

bool FileActions::mayLoseCharacters(const QStringList &lost) {
    if (lost.isEmpty()) return true;
    return services_.messages.show(
               owner_,
               QStringLiteral("В тексте есть знаки, которых нет в кодировке файла: %1. Они будут "
                              "сохранены как «?». Сохранить?")
                   .arg(charactersShown(lost)),
               platform::MsgButtons::YesNo, platform::MsgIcon::Exclamation,
               kProgramName) == platform::MsgResult::Yes;
}

void FileActions::sayError(const QString &text) {
    services_.messages.show(owner_, text, platform::MsgButtons::OK, platform::MsgIcon::Exclamation,
                            QStringLiteral("Ошибка"));
}

} // namespace tarvel::main_window
