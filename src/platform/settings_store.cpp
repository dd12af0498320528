#include "platform/settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaType>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QVariant>

#include <filesystem>
#include <system_error>
#include <utility>

// Why the file is never written by QSettings in place:
//  - Qt 6.4's QSaveFile::commit() ignores a failing final flush
//    (QTBUG-75077), so on a full disk QSettings renames a truncated file over
//    the settings and reports success. QSettings therefore edits a scratch
//    copy; the copy is read back, compared with what QSettings holds, and
//    only then renamed over the real file.
//  - QSettings keeps parsed files in a process-wide cache that it trusts
//    while a file's size and modification time are unchanged, so a file
//    replaced within the same millisecond by one of the same size would be
//    read stale. Every parse here goes through a fresh temporary name.

namespace tarvel::platform {

namespace {

class GroupScope {
public:
    GroupScope(QSettings &settings, const QString &group) : settings_(settings) {
        settings_.beginGroup(group);
    }
    ~GroupScope() { settings_.endGroup(); }
    GroupScope(const GroupScope &) = delete;
    GroupScope &operator=(const GroupScope &) = delete;

private:
    QSettings &settings_;
};

// The name as stored when one of the names matches without regard to case
// (the exact spelling first), else the name itself.
QString storedName(const QStringList &names, const QString &name) {
    if (names.contains(name)) return name;
    for (const QString &n : names)
        if (n.compare(name, Qt::CaseInsensitive) == 0) return n;
    return name;
}

// Values written here are strings, which QSettings quotes where needed, so
// they come back as written. A hand-edited value with a comma ("Gr6=12,5")
// is read by QSettings as a list; joined again it is the text that was
// typed. Anything that is no text at all counts as missing.
std::optional<QString> textOf(const QVariant &value) {
    if (!value.isValid()) return std::nullopt;
    if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(u',');
    if (!value.canConvert<QString>()) return std::nullopt;
    return value.toString();
}

IniSettingsStore::Contents contentsOf(QSettings &settings) {
    IniSettingsStore::Contents contents;
    for (const QString &key : settings.allKeys())
        if (const auto text = textOf(settings.value(key))) contents.insert(key, *text);
    return contents;
}

bool writeAll(QFile &file, const QByteArray &bytes) {
    return file.write(bytes) == bytes.size() && file.flush();
}

std::optional<QByteArray> readAll(const QString &path) {
    QFile file(path);
    if (!file.exists()) return QByteArray();
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return std::nullopt;
    return bytes;
}

// Parses INI text under a name QSettings has never seen.
std::optional<IniSettingsStore::Contents> parse(const QByteArray &bytes, const QString &folder) {
    QTemporaryFile copy(folder + QLatin1String("/.settings-XXXXXX.ini"));
    if (!copy.open() || !writeAll(copy, bytes)) return std::nullopt;
    copy.close();
    QSettings settings(copy.fileName(), QSettings::IniFormat);
    if (settings.status() == QSettings::AccessError) return std::nullopt;
    return contentsOf(settings);
}

// The key replaces any spelling of itself in its section.
void put(QSettings &settings, const QString &section, const QString &key, const QString &value) {
    const GroupScope group(settings, storedName(settings.childGroups(), section));
    for (const QString &k : settings.childKeys())
        if (k != key && k.compare(key, Qt::CaseInsensitive) == 0) settings.remove(k);
    settings.setValue(key, value);
}

// The file itself when `path` is a link to it, so a linked settings file
// stays linked.
QString realPath(const QString &path) {
    const QFileInfo info(path);
    return info.isSymLink() ? info.symLinkTarget() : path;
}

} // namespace

QString IniSettingsStore::defaultFileName(const QString &appName) {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1Char('/') + appName + QLatin1Char('/') + appName + QLatin1String(".ini");
}

IniSettingsStore::IniSettingsStore(const QString &appName)
    : IniSettingsStore(AtPath{defaultFileName(appName)}) {}

IniSettingsStore::IniSettingsStore(AtPath path) : file_(std::move(path.file)) {}

const IniSettingsStore::Contents &IniSettingsStore::contents() {
    if (!contents_) {
        const auto bytes = readAll(file_);
        if (bytes) contents_ = parse(*bytes, QFileInfo(realPath(file_)).absolutePath());
        if (!contents_) {
            // No room for the copy (or no rights): read the file directly.
            QSettings settings(file_, QSettings::IniFormat);
            contents_ = contentsOf(settings);
        }
    }
    return *contents_;
}

QString IniSettingsStore::read(const QString &section, const QString &key,
                               const QString &defaultValue) {
    const Contents &all = contents();
    const QString exact = section + QLatin1Char('/') + key;
    if (const auto it = all.constFind(exact); it != all.cend()) return *it;
    for (auto it = all.cbegin(); it != all.cend(); ++it)
        if (it.key().compare(exact, Qt::CaseInsensitive) == 0) return *it;
    return defaultValue;
}

void IniSettingsStore::write(const QString &section, const QString &key, const QString &value) {
    const QString target = realPath(file_);
    const QString folder = QFileInfo(target).absolutePath();
    if (!QDir().mkpath(folder)) return;
    // A file that exists but cannot be read is never replaced: its other
    // settings would be lost.
    const auto current = readAll(target);
    if (!current) return;

    QTemporaryFile scratch(folder + QLatin1String("/.settings-XXXXXX.ini"));
    if (!scratch.open() || !writeAll(scratch, *current)) return;
    scratch.close();

    Contents expected;
    {
        QSettings edit(scratch.fileName(), QSettings::IniFormat);
        edit.setAtomicSyncRequired(true);
        put(edit, section, key, value);
        edit.sync();
        if (edit.status() == QSettings::AccessError) return;
        expected = contentsOf(edit);
    }
    const auto written = readAll(scratch.fileName());
    if (!written || parse(*written, folder) != expected) return;

    std::error_code error;
    std::filesystem::rename(QFile::encodeName(scratch.fileName()).toStdString(),
                            QFile::encodeName(target).toStdString(), error);
    if (error) return;
    scratch.setAutoRemove(false); // its name is the settings file now
    contents_ = std::move(expected);
}

} // namespace tarvel::platform
