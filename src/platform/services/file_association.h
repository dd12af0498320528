// The association of the polygon files ("*.squ" and "*.squx") with the
// program on a freedesktop.org desktop: a MIME type for each, an icon, a
// desktop entry that opens the files, and the user's default application
// for each type. Everything goes into the user's own data and configuration
// folders ($XDG_DATA_HOME, $XDG_CONFIG_HOME), never into system folders.
//
// Whether that is to be done is judged by each file type, not by the
// program's own files: a renamed copy of the program has other file names
// but must not take a type over. A type is left alone when anything the
// desktop reads already decides about it: a default, added or removed
// application for it in a mimeapps.list (the user's or the system's, the
// current desktop's own ones included), or an application that declares the
// type (mimeinfo.cache; the installed package provides one this way). The
// program becomes the default only of the types left; when there are none,
// nothing is written at all. So a version that knew ".squ" only, already
// associated, adds ".squx" at its first start after the upgrade.
//
// The default application in the user's list and then the desktop entry are
// written last. A default that names the program's own desktop entry while
// that entry is missing is taken for a start that stopped half-way, and is
// finished again; when anything before fails, the next start simply tries
// again.
#pragma once

#include "platform/services/services.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

#include <variant>

namespace tarvel::platform {

// The folders a freedesktop.org desktop reads its applications from, the
// user's first.
struct XdgFolders {
    QStringList configDirs; // where mimeapps.list lies
    QStringList dataDirs;   // whose applications/ hold desktop entries and mimeinfo.cache
    QStringList desktops;   // lower case, from $XDG_CURRENT_DESKTOP
    // As the environment names them now.
    static XdgFolders fromEnvironment();
};

// Whether the desktop has a program that opens documents of `mimeType`: a
// default or added application of a mimeapps.list whose desktop entry is
// installed, or an installed application that declares the type
// (mimeinfo.cache). Without one the desktop's opener would fail, or hand
// the document to some fallback that shows nothing of it.
bool desktopHasApplicationFor(const QString &mimeType, const XdgFolders &folders);

class XdgFileAssociation : public FileTypeAssociation {
public:
    // The icon to install: nothing (a generated one), a picture rendered by
    // the program, or the path of a picture file (PNG). A picture that is
    // not 64x64 is scaled to fit; a file that cannot be loaded gives the
    // generated icon.
    using Icon = std::variant<std::monostate, QImage, QString>;

    // `appName` names the desktop entry, the icon and the MIME package
    // ("tarvel" -> tarvel.desktop, tarvel.png, tarvel-squ.xml, which
    // describes both types). The folders are taken from the environment now.
    XdgFileAssociation(QString executablePath, QString appName, Icon icon = {});

    // Does nothing when every type already has an application (see above).
    // Otherwise writes the MIME package, the icon, the default application
    // of each type that has none and the desktop entry, and asks the
    // desktop's tools to refresh their caches. A file that cannot be
    // written, or may not be (it belongs to another user, or a link of
    // another user's leads to it), is said on stderr and ends the attempt;
    // the next start tries again.
    void RegisterFileType() override;
    // The Icon= value of the desktop entry, or empty text when there is no
    // entry or no such value.
    QString ReadRegString() override;

    QString mimePackagePath() const;
    QString iconPath() const;
    // The icon under the default icon name of `type`, one of mimeTypes().
    QString mimeIconPath(const QString &type) const;
    QString desktopEntryPath() const;
    QString mimeAppsListPath() const;

    // The type of ".squ" files.
    static QString mimeType() { return QStringLiteral("application/x-tarvel-squ"); }
    // The type of ".squx" files.
    static QString squxMimeType() { return QStringLiteral("application/x-tarvel-squx"); }
    // Every type the program opens, ".squ" first.
    static QStringList mimeTypes() { return {mimeType(), squxMimeType()}; }
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
    bool typeHasApplication(const QString &typeName) const;
    bool desktopEntryInstalled(const QString &desktopId) const;
    bool setDefaultApplication(const QStringList &types) const;

    QString executablePath_;
    QString appName_;
    Icon icon_;
    QString dataHome_;
    QString configHome_;
    // The user's folder first, then the system's.
    QStringList dataDirs_;
    QStringList configDirs_;
    // Lower case, from $XDG_CURRENT_DESKTOP.
    QStringList desktops_;
};

} // namespace tarvel::platform
