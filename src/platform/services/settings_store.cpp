#include "platform/services/settings_store.h"

#include "platform/io/regular_file.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMetaType>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>
#include <QVariant>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// How the file is edited: the lines of the file are found and changed here
// (IniText), because QSettings rewrites a whole file from what it parsed: it
// reorders sections and keys, re-escapes other programs' values, drops
// comments and lines it cannot read, and a value it does not read back as it
// was written (a list item starting with "@", a NUL byte) does not survive
// the rewrite, so the rewritten copy could not even be checked against the
// old one. What QSettings does well, turning a written value into text and
// a text into its written form, is still left to it: it parses or writes a
// small scratch file holding just those values. So the values keep exactly
// the forms that QSettings (and the earlier versions of this program) write
// and read.
//
// Those scratch files live in a private folder of the program's own name
// beside the settings file (see platform/io/regular_file.h), so that what a
// killed process leaves behind is known for the program's own and removed
// by the next write or the next start, and nothing of the user's ever is.
// Every parse goes through a fresh folder: QSettings keeps parsed files in
// a process-wide cache that it trusts while a file's size and modification
// time are unchanged.
//
// The settings file itself is replaced by platform::replaceFile: written
// whole, synced and renamed over the old one.

namespace tarvel::platform {

namespace {

using namespace std::chrono_literals;

// How long a writer waits for another one; QLockFile also takes over at once
// a lock whose process has died, and one older than the stale time.
constexpr auto kLockWait = 20s;
constexpr int kStaleLockMs = 10'000;

QString errnoText() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

void warnNotStored(const QString &file, const QString &target, const QString &why) {
    const QString where = file == target ? file : QStringLiteral("%1 (-> %2)").arg(file, target);
    qWarning("Settings not stored in %s: %s", qUtf8Printable(where), qUtf8Printable(why));
}

// Anything that is no text at all counts as missing. A hand-edited value with
// a comma ("Gr6=12,5") is read by QSettings as a list; joined again it is
// the text that was typed. An item starting with "@" ("see: a,@b") makes it a list of variants.
std::optional<QString> asText(const QVariant &value) {
    if (!value.isValid()) return std::nullopt;
    if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(u',');
    if (value.typeId() == QMetaType::QVariantList) {
        QStringList items;
        for (const QVariant &item : value.toList()) {
            if (item.typeId() != QMetaType::QString) return std::nullopt;
            items.append(item.toString());
        }
        return items.join(u',');
    }
    if (!value.canConvert<QString>()) return std::nullopt;
    return value.toString();
}

struct OnDisk {
    bool exists = false;
    QByteArray bytes;
    struct stat info {};
};

// Opens without blocking (a named pipe would block a plain open until some
// other program writes to it) and judges the file by what was opened, so it
// cannot be swapped between the check and the read.
std::optional<OnDisk> load(const QString &path, QString *why, bool readBytes = true) {
    OnDisk disk;
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT) return disk;
        *why = errnoText();
        return std::nullopt;
    }
    const struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    if (::fstat(fd, &disk.info) != 0) {
        *why = errnoText();
        return std::nullopt;
    }
    if (!S_ISREG(disk.info.st_mode)) {
        *why = QStringLiteral("it is not a regular file");
        return std::nullopt;
    }
    if (disk.info.st_size > IniSettingsStore::kMaxFileSize) {
        *why = QStringLiteral("it is larger than 1 MiB");
        return std::nullopt;
    }
    disk.exists = true;
    if (!readBytes) return disk;
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle)) {
        *why = file.errorString();
        return std::nullopt;
    }
    // The file may have grown since fstat().
    disk.bytes = file.read(IniSettingsStore::kMaxFileSize + 1);
    if (file.error() != QFileDevice::NoError) {
        *why = file.errorString();
        return std::nullopt;
    }
    if (disk.bytes.size() > IniSettingsStore::kMaxFileSize) {
        *why = QStringLiteral("it is larger than 1 MiB");
        return std::nullopt;
    }
    return disk;
}

// The user took the write rights away on purpose (root has them anyway, so
// the mode itself is asked too).
bool isReadOnly(const QString &path, const struct stat &info) {
    return (info.st_mode & 0222) == 0 || ::access(QFile::encodeName(path).constData(), W_OK) != 0;
}

// QLockFile takes over a stale lock only while holding a second lock file,
// "<lock>.rmlock", and that one goes stale only after Qt's default 30 s,
// longer than a writer waits. A writer killed right after creating it leaves
// it empty (no process to ask about), and every later write would then be
// lost until it aged. Taking and releasing it with this store's own stale
// time clears such a leftover; the one that guards its removal in turn is
// cleared first, the same way. One left by a writer killed after its
// takeover, with the lock itself already gone, is cleared once the lock is
// held.
void clearAbandonedRemovalLocks(const QString &lockName) {
    const QString removal = lockName + QLatin1String(".rmlock");
    for (const QString &name : {removal + QLatin1String(".rmlock"), removal}) {
        if (!QFileInfo::exists(name)) continue;
        QLockFile leftover(name);
        leftover.setStaleLockTime(kStaleLockMs);
        if (leftover.tryLock(0)) leftover.unlock();
    }
}

bool acquire(QLockFile &lock, const QString &lockName) {
    const QDeadlineTimer deadline(std::chrono::milliseconds(kLockWait).count());
    const QDeadlineTimer longerThanAWrite(250);
    auto pause = 1ms;
    // Polled here: QLockFile's own wait sleeps 100 ms and longer between
    // tries, far longer than a write holds the lock.
    while (!lock.tryLock(0)) {
        if (lock.error() != QLockFile::LockFailedError || deadline.hasExpired()) return false;
        if (longerThanAWrite.hasExpired()) clearAbandonedRemovalLocks(lockName);
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, 50ms);
    }
    return true;
}

QString lockProblem(const QLockFile &lock, const QString &lockName) {
    switch (lock.error()) {
    case QLockFile::LockFailedError:
        return QStringLiteral("%1 is held by another program").arg(lockName);
    case QLockFile::PermissionError:
        return QStringLiteral("no right to create %1").arg(lockName);
    default:
        return QStringLiteral("cannot create %1").arg(lockName);
    }
}

// The value as QSettings writes it.
std::optional<QByteArray> encode(const QString &value, const QString &folder, QString *why) {
    const OwnScratchFolder scratch(folder);
    if (!scratch.isValid()) {
        *why = QStringLiteral("cannot make a scratch folder in %1: %2").arg(folder, errnoText());
        return std::nullopt;
    }
    const QString name = scratch.filePath(QStringLiteral("v.ini"));
    {
        QSettings settings(name, QSettings::IniFormat);
        settings.setValue(QStringLiteral("v"), value);
        settings.sync();
        if (settings.status() != QSettings::NoError) {
            *why = QStringLiteral("cannot write %1").arg(name);
            return std::nullopt;
        }
    }
    QFile written(name);
    if (!written.open(QIODevice::ReadOnly)) {
        *why = written.errorString();
        return std::nullopt;
    }
    const auto raw = IniText(written.readAll()).rawValue(QString(), QStringLiteral("v"));
    if (!raw) *why = QStringLiteral("cannot read %1").arg(name);
    return raw;
}

// A written value that leaves a quote open or ends in a backslash would run
// on into the next line of a shared scratch file: it is read on its own.
bool runsOn(const QByteArray &raw) {
    bool quoted = false;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\') {
            if (++i == raw.size()) return true;
        } else if (raw[i] == '"') {
            quoted = !quoted;
        }
    }
    return quoted;
}

// The texts of written values, as QSettings reads them; nullopt where a
// value is no text or could not be read.
QList<std::optional<QString>> decode(const QList<QByteArray> &raws, const QString &folder,
                                     const QString &file) {
    QList<std::optional<QString>> texts(raws.size());
    QList<QList<qsizetype>> batches(1);
    for (qsizetype i = 0; i < raws.size(); ++i) {
        if (runsOn(raws[i]))
            batches.append(QList<qsizetype>{i});
        else
            batches.first().append(i);
    }
    for (const QList<qsizetype> &batch : batches) {
        if (batch.isEmpty()) continue;
        QByteArray ini = "[v]\n";
        for (const qsizetype i : batch)
            ini += QByteArray::number(i) + '=' + raws[i] + '\n';
        // Beside the settings, or where temporary files go when that folder
        // cannot be written.
        std::optional<OwnScratchFolder> scratch;
        for (const QString &parent : {folder, QDir::tempPath()}) {
            scratch.emplace(parent);
            if (scratch->isValid()) break;
        }
        const QString name = scratch->filePath(QStringLiteral("r.ini"));
        QFile out(name);
        if (!scratch->isValid() || !out.open(QIODevice::WriteOnly) ||
            out.write(ini) != ini.size() || !out.flush()) {
            qWarning("Settings file %s not read: %s", qUtf8Printable(file),
                     qUtf8Printable(scratch->isValid() ? out.errorString() : errnoText()));
            return texts;
        }
        out.close();
        const QSettings settings(name, QSettings::IniFormat);
        for (const qsizetype i : batch)
            texts[i] = asText(settings.value(QLatin1String("v/") + QString::number(i)));
    }
    return texts;
}

// Removes what killed processes of the program left beside the settings
// file, and a lock whose writer no longer runs (QLockFile proves that from
// the process id, host and program name it keeps in the lock).
void clearLeftovers(const QString &target) {
    removeOwnLeftovers(QFileInfo(target).absolutePath());
    const QString lockName = target + QLatin1String(".lock");
    if (!QFileInfo::exists(lockName)) return;
    clearAbandonedRemovalLocks(lockName);
    QLockFile lock(lockName);
    lock.setStaleLockTime(kStaleLockMs);
    if (lock.tryLock(0)) lock.unlock();
}

} // namespace

QString IniSettingsStore::defaultFileName(const QString &appName) {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1Char('/') + appName + QLatin1Char('/') + appName + QLatin1String(".ini");
}

IniSettingsStore::IniSettingsStore(const QString &appName)
    : IniSettingsStore(AtPath{defaultFileName(appName)}) {}

IniSettingsStore::IniSettingsStore(AtPath path) : file_(std::move(path.file)) {}

const IniText &IniSettingsStore::text() {
    if (!text_) {
        QString why;
        // The first read is the program's start: what a killed run left
        // beside the file goes now, not only at the next write.
        if (const auto target = ownedWritePath(file_, &why)) clearLeftovers(*target);
        const auto disk = load(file_, &why);
        if (!disk)
            qWarning("Settings file %s not read, the defaults apply: %s", qUtf8Printable(file_),
                     qUtf8Printable(why));
        text_ = IniText(disk ? disk->bytes : QByteArray());
    }
    return *text_;
}

void IniSettingsStore::reload() {
    // Only the text: what a killed run left beside the file is cleared at
    // the first read alone, never under another running copy's write.
    if (!text_) return;
    QString why;
    if (const auto disk = load(file_, &why)) text_ = IniText(disk->bytes);
}

std::optional<QString> IniSettingsStore::textOf(const QByteArray &raw) {
    if (const auto it = decoded_.constFind(raw); it != decoded_.cend()) return *it;
    // Every value not yet known is read at once: one scratch file for all.
    QList<QByteArray> unknown;
    QSet<QByteArray> seen;
    for (const QByteArray &r : text().rawValues())
        if (!decoded_.contains(r) && !seen.contains(r)) {
            seen.insert(r);
            unknown.append(r);
        }
    if (!seen.contains(raw)) unknown.append(raw);
    // Scratch files go where the file may be written, or else where
    // temporary files go.
    QString why;
    const auto owned = ownedWritePath(file_, &why);
    const QString folder = owned ? QFileInfo(*owned).absolutePath() : QDir::tempPath();
    const QList<std::optional<QString>> texts = decode(unknown, folder, file_);
    for (qsizetype i = 0; i < unknown.size(); ++i)
        decoded_.insert(unknown[i], texts[i]);
    return decoded_.value(raw);
}

QString IniSettingsStore::read(const QString &section, const QString &key,
                               const QString &defaultValue) {
    const auto raw = text().rawValue(section, key);
    if (!raw) return defaultValue;
    return textOf(*raw).value_or(defaultValue);
}

bool IniSettingsStore::holds(const IniText &text, const QString &section, const QString &key,
                             const QString &value) const {
    const auto raw = text.rawValue(section, key);
    if (!raw) return false;
    const auto known = decoded_.constFind(*raw);
    const bool same = encoded_.value(value) == *raw ||
                      (known != decoded_.cend() && known->has_value() && **known == value);
    // ... and in the key's own spelling, on one line.
    return same && text.withValue(section, key, *raw) == text.bytes();
}

std::optional<QByteArray> IniSettingsStore::encoded(const QString &value, const QString &folder,
                                                    QString *why) {
    if (const auto it = encoded_.constFind(value); it != encoded_.cend()) return *it;
    auto raw = encode(value, folder, why);
    if (raw) {
        if (encoded_.size() >= 1000) encoded_.clear();
        encoded_.insert(value, *raw);
    }
    return raw;
}

void IniSettingsStore::write(const QString &section, const QString &key, const QString &value) {
    writeAll(section, {{key, value}});
}

void IniSettingsStore::writeAll(const QString &section, const Values &values) {
    QString why;
    // Never through a link planted by another user, nor into another
    // user's file: the program goes on with its settings in memory.
    const auto owned = ownedWritePath(file_, &why);
    if (!owned) return warnNotStored(file_, file_, why);
    const QString target = *owned;
    // Looked at before anything is made beside it: a device or a pipe gets
    // no lock file next to it.
    const auto seen = load(target, &why);
    if (!seen) return warnNotStored(file_, target, why);
    // Keys that already hold their values need neither the lock nor a write
    // (the geographic windows write all their texts on closing).
    if (IniText now(seen->bytes); std::all_of(values.begin(), values.end(), [&](const auto &v) {
            return holds(now, section, v.first, v.second);
        })) {
        text_ = std::move(now);
        return;
    }
    const QFileInfo info(target);
    const QString folder = info.absolutePath();
    if (!QDir().mkpath(folder))
        return warnNotStored(file_, target, QStringLiteral("cannot create the folder"));

    const QString lockName = target + QLatin1String(".lock");
    QLockFile lock(lockName);
    lock.setStaleLockTime(kStaleLockMs);
    if (!acquire(lock, lockName)) return warnNotStored(file_, target, lockProblem(lock, lockName));
    clearAbandonedRemovalLocks(lockName);
    removeOwnLeftovers(folder);

    // Read again under the lock: what other copies wrote until now stays.
    const auto disk = load(target, &why);
    if (!disk) return warnNotStored(file_, target, why);
    if (disk->exists && isReadOnly(target, disk->info))
        return warnNotStored(file_, target, QStringLiteral("the file is read-only"));
    IniText current(disk->bytes);
    QByteArray next = current.bytes();
    for (const auto &[key, value] : values) {
        const auto raw = encoded(value, folder, &why);
        // One value that cannot be stored keeps the others from being
        // stored half: the file stays as it was.
        if (!raw) return warnNotStored(file_, target, why);
        next = IniText(next).withValue(section, key, *raw);
    }
    if (next != current.bytes()) {
        // A new file is its owner's only.
        if (replaceFile(target, next, 0600, disk->exists ? &disk->info : nullptr, &why) !=
            ReplaceResult::Replaced)
            return warnNotStored(file_, target, why);
        current = IniText(std::move(next));
    }
    text_ = std::move(current);
}

} // namespace tarvel::platform
