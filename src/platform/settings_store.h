// The per-user settings store: an INI file under the user's configuration
// folder, one file per application name, so a copy of the program under
// another name starts from the defaults and keeps settings of its own.
#pragma once

#include "platform/services.h"

#include <QMap>
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
    // default. The file is read at the first call and then kept.
    QString read(const QString &section, const QString &key, const QString &defaultValue) override;
    // Replaces the key in whatever case it was stored, on the file as it is
    // on disk now (changes another running copy made are kept), and writes
    // the file at once. The file is only ever replaced by a complete,
    // checked new one: a failed write leaves it as it was.
    void write(const QString &section, const QString &key, const QString &value) override;

    QString fileName() const { return file_; }

    static QString defaultFileName(const QString &appName);

    // "section/key" -> text, as QSettings names its keys.
    using Contents = QMap<QString, QString>;

private:
    const Contents &contents();

    QString file_;
    std::optional<Contents> contents_;
};

} // namespace tarvel::platform
