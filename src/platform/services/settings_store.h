// The per-user settings store: an INI file under the user's configuration
// folder, one file per application name, so a copy of the program under
// another name starts from the defaults and keeps settings of its own.
//
// Several copies of the program may run at once: every write changes only
// its own key, on the file as it is on disk at that moment, under a lock
// file beside it ("<file>.lock"). Whatever else is in the file (other
// programs' sections, comments, hand-made spellings) stays byte for byte.
// A write that cannot be done is reported on stderr (qWarning), never left
// silent. A file that is no regular file (a pipe, a device, a folder), is
// larger than 1 MiB or is read-only is neither read (the first two) nor
// replaced. Nor is a file that belongs to another user than the effective
// one, or one reached through a symbolic link of another user's (a link
// planted in the folder); a link of the user's own (a dotfiles folder)
// works, and the file it names is the one replaced. What a killed writer
// left beside the file is removed at the next write and at the first read
// (the program's start), and nothing that is not provably the program's own.
#pragma once

#include "platform/services/ini_text.h"
#include "platform/services/services.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>

namespace tarvel::platform {

class IniSettingsStore : public SettingsStore {
public:
    // $XDG_CONFIG_HOME/<appName>/<appName>.ini ($HOME/.config by default).
    explicit IniSettingsStore(const QString &appName);
    // An explicit file; for the tests.
    struct AtPath {
        QString file;
    };
    explicit IniSettingsStore(AtPath path);

    // Section and key names are found without regard to case. A section or
    // key that is missing, or a value that cannot be read as text, gives the
    // default. The file is read at the first call and then kept (a write
    // keeps the file as it wrote it).
    QString read(const QString &section, const QString &key, const QString &defaultValue) override;
    // Sets the key, in whatever case it was stored, on the file as it is on
    // disk now, and writes the file at once. The file is only ever replaced
    // by a complete, checked new one with the old one's mode (and owner
    // where the process may keep it; a new file is its owner's only): a
    // failed write leaves it as it was.
    void write(const QString &section, const QString &key, const QString &value) override;
    // The same for several keys, under one lock and in one replacement.
    void writeAll(const QString &section, const Values &values) override;
    void reload() override;

    QString fileName() const { return file_; }

    static QString defaultFileName(const QString &appName);

    // Larger settings files are left alone.
    static constexpr qint64 kMaxFileSize = 1024 * 1024;

private:
    const IniText &text();
    std::optional<QString> textOf(const QByteArray &raw);
    std::optional<QByteArray> encoded(const QString &value, const QString &folder, QString *why);
    bool holds(const IniText &text, const QString &section, const QString &key,
               const QString &value) const;

    QString file_;
    std::optional<IniText> text_;
    // Written value -> text, as QSettings reads it; nullopt: no text.
    QHash<QByteArray, std::optional<QString>> decoded_;
    // Text -> written value, as QSettings writes it.
    QHash<QString, QByteArray> encoded_;
};

} // namespace tarvel::platform
