#include "main_window/file_actions.h"

#include "program.h"

#include "files/polygon_file.h"
#include "geographic/gis_plots.h"
#include "files/settings.h"
#include "geometry/numtext.h"
#include "geometry/polygon_document.h"
#include "platform/services/services.h"

#include <QAction>
#include <QDir>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QTimer>

namespace tarvel::main_window {

using geometry::formatText, geometry::kFieldPattern, geometry::textToDouble;

namespace {

// A recent file as its menu entry shows it: a mnemonic digit, then the
// path, shortened in the middle when long (the menu would run off the
// screen), its own "&" doubled so that it is no mnemonic.
QString recentEntryText(int place, const QString &path) {
    constexpr int kLongest = 70;
    QString shown = QDir::toNativeSeparators(path);
    if (shown.size() > kLongest)
        shown = shown.left(kLongest / 2 - 1) + QStringLiteral("…") + shown.right(kLongest / 2);
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(QString::number(place), shown);
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
    geometry::PolygonTexts t = files::plotTextsOf(data);
    const auto asShown = [](geometry::TextColumn &x, geometry::TextColumn &y) {
        const std::size_t rows = std::max(x.size(), y.size());
        for (std::size_t k = 1; k < rows; ++k) {
            x[k] = fieldText(x[k]);
            y[k] = fieldText(y[k]);
        }
    };
    asShown(t.x, t.y);
    for (geometry::ContourTexts &c : t.others)
        asShown(c.x, c.y);
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
                         files::Settings &settings, QWidget *owner, QObject *parent)
    : QObject(parent), doc_(document), services_(services), settings_(settings), owner_(owner),
      extract_(services.archives, services.gis, services.progress, owner) {
    connect(&extract_, &ExtractOpening::finished, this, &FileActions::extractRead);
}

void FileActions::openChosenExtract() {
    if (extract_.running() || !maybeSave()) return;
    platform::FileDialogRequest r;
    r.defaultExt = QStringLiteral("*.xml");
    r.filter = QStringLiteral("Выписка ЕГРН (*.xml *.zip)|*.xml;*.zip|Все файлы(*.*)|*.*|");
    r.initDir = polygonDialog().initDir;
    const auto path = services_.dialogs.showOpen(owner_, r);
    if (path) extract_.start(*path);
}

void FileActions::extractRead(const files::ExtractReading &reading) {
    if (!reading.error.isEmpty() || reading.plots.empty()) {
        sayError(reading.error.isEmpty() ? QStringLiteral("В файле нет координат границ участка")
                                         : reading.error);
        return;
    }
    std::size_t chosen = 0;
    if (reading.plots.size() > 1) {
        QStringList labels;
        for (const files::ExtractPlot &p : reading.plots)
            labels << files::plotLabel(p);
        const auto k = services_.dialogs.chooseItem(owner_, QStringLiteral("Выбор участка"), labels);
        if (!k || *k < 0 || std::size_t(*k) >= reading.plots.size()) return;
        chosen = std::size_t(*k);
    }
    // The user may have changed the polygon while the reading ran.
    if (!maybeSave()) return;
    const files::ExtractPlot &plot = reading.plots[chosen];
    emit opening();
    doc_.open(files::plotTexts(plot));
    // No file of the program holds it yet: a save asks where.
    current_.clear();
    currentDigest_.clear();
    emit fileNamed(QString());
    if (plot.hasArcs)
        services_.messages.show(owner_, QStringLiteral("В контуре есть дуги: они заменены хордами"),
                                platform::MsgButtons::OK, platform::MsgIcon::Information,
                                kProgramName);
}

const QString FileActions::kMapFilter =
    QStringLiteral("Чертежи и карты (*.dxf *.geojson *.json *.kml *.kmz *.mif *.tab *.shp)|"
                   "*.dxf;*.geojson;*.json;*.kml;*.kmz;*.mif;*.tab;*.shp|");

const QString FileActions::kTooManyForSqu =
    QStringLiteral("В файл .squ помещается не больше 20 углов. Сохраните многоугольник как файл "
                   ".squx.");

const QString FileActions::kPlotForSqux =
    QStringLiteral("В файл .squ помещается один контур. Сохраните участок из нескольких "
                   "контуров как файл .squx.");

QString FileActions::captionFor(const QString &path, bool modified) {
    const QString mark = modified ? QStringLiteral("*") : QString();
    if (path.isEmpty()) return modified ? kProgramTitle + QStringLiteral("   ") + mark : kProgramTitle;
    return kProgramTitle + QStringLiteral("   ") + mark + path;
}

platform::FileDialogRequest FileActions::polygonDialog() const {
    platform::FileDialogRequest r;
    // A polygon of more than 20 corners, or a plot of several contours,
    // goes into a ".squx" by default.
    const bool large = doc_.cornerCount() > files::kMaxFileCorners || doc_.contourCount() > 1 ||
                       doc_.isHole();
    r.defaultExt = large ? QStringLiteral("*.squx") : QStringLiteral("*.squ");
    r.filter = large ? QStringLiteral("Многоугольник (*.squx)|*.squx|Файлы (*.squ)|*.squ|"
                                      "Все файлы(*.*)|*.*|")
                     : QStringLiteral("Файлы (*.squ)|*.squ|Многоугольник (*.squx)|*.squx|"
                                      "Все файлы(*.*)|*.*|");
    // The folder of the last polygon file while it is there (a drive taken
    // away, a folder removed), else the work folder.
    const QString &last = settings_.PolygonFolder;
    r.initDir = !last.isEmpty() && QFileInfo(last).isDir() ? last : settings_.WorkFolder;
    return r;
}

bool FileActions::save() {
    if (current_.isEmpty()) return saveAs();
    return writeTo(current_);
}

bool FileActions::saveAs() {
    platform::FileDialogRequest request = polygonDialog();
    // Saving a copy usually starts from the file's own name.
    if (!current_.isEmpty()) request.fileName = QFileInfo(current_).fileName();
    const auto path = services_.dialogs.showSave(owner_, request);
    if (!path) return false;
    return writeTo(*path);
}

namespace {

// What the file at `path` holds now, as a digest; empty when it cannot be
// read (gone, say).
QByteArray digestOf(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file)) return {};
    return hash.result();
}

} // namespace

bool FileActions::overwritesAnotherSave(const QString &path) {
    // Another copy of the program (or another program) may have written the
    // file since it was opened or saved here: saving over it unasked would
    // lose that work.
    if (current_.isEmpty() || QDir::cleanPath(QFileInfo(path).absoluteFilePath()) != current_)
        return false;
    const QByteArray now = digestOf(path);
    if (now.isEmpty() || now == currentDigest_) return false;
    return services_.messages.show(
               owner_, QStringLiteral("Файл изменён другой программой после открытия. Заменить его?"),
               platform::MsgButtons::YesNo, platform::MsgIcon::Question,
               kProgramName) != platform::MsgResult::Yes;
}

bool FileActions::writeTo(const QString &path) {
    files::PolygonFileData data;
    // The count in force, not the count field: a text there that the
    // recompute did not take ("25", "", "3,5") would make a file that no
    // reader opens.
    const geometry::PolygonTexts &t = doc_.texts();
    const bool squ = files::polygonFileType(path) == files::PolygonFileType::Squ;
    // Every reader of the 42-line file would misread a longer one, and it
    // holds one contour.
    if (squ && doc_.cornerCount() > files::kMaxFileCorners) {
        sayError(kTooManyForSqu);
        return false;
    }
    if (squ && (doc_.contourCount() > 1 || doc_.isHole())) {
        sayError(kPlotForSqux);
        return false;
    }
    data = files::fileDataOf(t);
    data.count = QString::number(doc_.cornerCount());
    if (squ && !mayLoseCharacters(files::charactersNotInFile(data))) return false;
    if (overwritesAnotherSave(path)) return false;
    // The file is written whole beside the target and then renamed over it,
    // so a failed save leaves the previous file intact and is said as such.
    if (!files::writePolygonFile(path, data)) {
        sayError(QStringLiteral("Ошибка записи файла!"));
        return false;
    }
    doc_.markSaved();
    named(path);
    return true;
}

bool FileActions::openChosenFile() {
    // Opening replaces the polygon and its history: unsaved work is asked
    // about first, as on the way out, before a file is chosen.
    if (!maybeSave()) return false;
    platform::FileDialogRequest request = polygonDialog();
    request.filter.replace(QStringLiteral("Все файлы(*.*)"), kMapFilter + QStringLiteral("Все файлы(*.*)"));
    const auto path = services_.dialogs.showOpen(owner_, request);
    if (!path) return false;
    // A drawing or a map is read in the background, as an extract is.
    if (geographic::isGisFileName(*path)) {
        if (!extract_.running()) extract_.start(*path, ExtractOpening::Kind::Map);
        return false;
    }
    return openOrSay(*path);
}

bool FileActions::openFile(const QString &path) {
    if (!maybeSave()) return false;
    return openOrSay(path);
}

const QString FileActions::kNameNotUtf8 =
    QStringLiteral("Ошибка чтения файла! Имя файла записано не в кодировке UTF-8:");

QString FileActions::readErrorText(int badLine) {
    if (badLine <= 0) return QStringLiteral("Ошибка чтения файла!");
    return QStringLiteral("Ошибка чтения файла! Файл повреждён в строке %1.").arg(badLine);
}

bool FileActions::openOrSay(const QString &path) {
    const int badLine = open(path);
    if (badLine < 0) return true;
    sayError(readErrorText(badLine));
    return false;
}

bool FileActions::openFromCommandLine() {
    const QString argument = services_.commandLine.commandLineText();
    if (argument.trimmed().isEmpty()) return false;
    // At start-up the list of recent files is stored after the first frame:
    // the window shows the polygon first.
    storeLater_ = true;
    const QString path = files::commandLinePath(argument);
    const bool opened = open(path) < 0;
    storeLater_ = false;
    // A name whose bytes are not UTF-8 arrives with replacement characters
    // and names no file: the user is told rather than left guessing.
    if (!opened && path.contains(QChar::ReplacementCharacter))
        sayError(kNameNotUtf8 + QLatin1Char('\n') + path);
    return opened;
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

int FileActions::open(const QString &path) {
    // A file that is not a whole polygon file changes nothing.
    const files::PolygonFileRead read = files::readPolygonFile(path);
    if (!read.data) return read.badLine;
    emit opening();
    doc_.open(textsOf(*read.data));
    named(path);
    return -1;
}

void FileActions::named(const QString &path) {
    // Absolute, so that a file named on the command line relative to where
    // the program started is still the same file for the menu and Ctrl+S.
    current_ = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    currentDigest_ = digestOf(current_);
    // The caption first: the store's writes take their time on a slow disk.
    emit fileNamed(path);
    settings_.PolygonFolder = QDir::toNativeSeparators(QFileInfo(current_).absolutePath());
    // Another copy of the program sharing the settings may have stored its
    // own files meanwhile: they stay in the list.
    services_.settings.reload();
    settings_.RecentFiles =
        files::mergedRecentFiles(files::loadRecentFiles(services_.settings), settings_.RecentFiles,
                                 QDir::toNativeSeparators(current_));
    const auto store = [this] {
        files::storeRecentFiles(services_.settings, settings_.PolygonFolder, settings_.RecentFiles);
    };
    // At start-up the menu is filled when it first opens.
    if (storeLater_) {
        QTimer::singleShot(0, this, store);
        return;
    }
    store();
    fillRecentMenu();
}

void FileActions::setRecentMenu(QMenu *menu) {
    recentMenu_ = menu;
    if (!menu) return;
    // The settings are read after the menus are built, and a file may come
    // or go at any time: the list is looked at again when the menu that
    // holds the submenu opens (a disabled submenu itself never opens).
    connect(menu, &QMenu::aboutToShow, this, &FileActions::fillRecentMenu);
    if (auto *holder = qobject_cast<QMenu *>(menu->parentWidget()))
        connect(holder, &QMenu::aboutToShow, this, &FileActions::fillRecentMenu);
    fillRecentMenu();
}

void FileActions::fillRecentMenu() {
    if (!recentMenu_) return;
    // The entries go later, not now: the one chosen is still delivering its
    // signal when the opening it started refills the menu.
    for (QAction *old : recentMenu_->actions()) {
        recentMenu_->removeAction(old);
        old->deleteLater();
    }
    int place = 0;
    for (const QString &path : settings_.RecentFiles) {
        QAction *entry = recentMenu_->addAction(recentEntryText(++place, path));
        entry->setEnabled(QFileInfo(path).isFile());
        entry->setStatusTip(path);
        connect(entry, &QAction::triggered, this, [this, path] { openFile(path); });
    }
    recentMenu_->setEnabled(!settings_.RecentFiles.isEmpty());
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
