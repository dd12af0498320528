// The association of "*.squ" files with the program on a freedesktop.org
// desktop: a MIME type of its own, an icon, a desktop entry that opens the
// files, and the user's default application for the type. Everything goes
// into the user's own data and configuration folders ($XDG_DATA_HOME,
// $XDG_CONFIG_HOME), never into system folders.
//
// The desktop entry is written last and is what marks the association as
// done: when anything before it fails, the next start simply tries again.
#pragma once

#include "platform/services.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <variant>

namespace tarvel::platform {

class XdgFileAssociation : public FileTypeAssociation {
public:
    // The icon to install: nothing (a generated one), a picture rendered by
    // the program, or the path of a picture file (PNG). A picture that is
    // not 64x64 is scaled to fit; a file that cannot be loaded gives the
    // generated icon.
    using Icon = std::variant<std::monostate, QImage, QString>;

    // `appName` names the desktop entry, the icon and the MIME package
    // ("tarvel" -> tarvel.desktop, tarvel.png, tarvel-squ.xml). The folders
    // are taken from the environment now.
    XdgFileAssociation(QString executablePath, QString appName, Icon icon = {});

    // Does nothing when the desktop entry already names an icon. Otherwise
    // writes the MIME package, the icon, the default application and the
    // desktop entry, and asks the desktop's tools to refresh their caches.
    // Silent on failure.
    void RegisterFileType() override;
    // The Icon= value of the desktop entry, or empty text when there is no
    // entry or no such value.
    QString ReadRegString() override;

    QString mimePackagePath() const;
    QString iconPath() const;
    QString mimeIconPath() const;
    QString desktopEntryPath() const;
    QString mimeAppsListPath() const;

    static QString mimeType() { return QStringLiteral("application/x-tarvel-squ"); }
    // A green polygon on white, 64x64.
    static QImage generatedIcon();
    // The Exec= value of the desktop entry: the program as one quoted
    // argument (with the escapes desktop entries require), then %f.
    static QString execValue(const QString &executablePath);
    // The text of mimeapps.list with `mimeType=desktopId` under
    // [Default Applications]; every other line is kept byte for byte, a
    // leading byte-order mark too. Added lines end as the list's first line
    // does (CRLF or LF).
    static QByteArray mergeMimeAppsList(const QByteArray &existing, const QByteArray &mimeType,
                                        const QByteArray &desktopId);

private:
    QByteArray mimePackage() const;
    QByteArray iconPng() const;
    QByteArray desktopEntry() const;
    bool setDefaultApplication() const;

    QString executablePath_;
    QString appName_;
    Icon icon_;
    QString dataHome_;
    QString configHome_;
};

} // namespace tarvel::platform
