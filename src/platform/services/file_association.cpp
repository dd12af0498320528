#include "platform/services/file_association.h"

#include "program.h"

#include "platform/io/regular_file.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QMap>
#include <QPainter>
#include <QPolygonF>
#include <QProcess>
#include <QStandardPaths>
#include <QXmlStreamWriter>

#include <sys/stat.h>

#include <type_traits>
#include <utility>
#include <variant>

namespace tarvel::platform {

namespace {

constexpr int kIconSize = 64;
// The cache tools are a courtesy to the desktop; a hung one must not keep
// the program from starting.
constexpr int kToolTimeoutMs = 5000;
constexpr qint64 kMaxDesktopEntrySize = 64 * 1024;
// Far more than the lists of a desktop with every application installed.
constexpr qint64 kMaxListSize = 4 * 1024 * 1024;

const QByteArray kDesktopGroup = QByteArrayLiteral("[Desktop Entry]");
const QByteArray kDefaultsGroup = QByteArrayLiteral("[Default Applications]");
const QByteArray kAddedGroup = QByteArrayLiteral("[Added Associations]");
const QByteArray kRemovedGroup = QByteArrayLiteral("[Removed Associations]");
const QByteArray kCacheGroup = QByteArrayLiteral("[MIME Cache]");
// Editors on other systems start UTF-8 text with it; left there, it would
// hide the first group's header.
const QByteArray kByteOrderMark = QByteArrayLiteral("\xEF\xBB\xBF");

// Only regular files are read: a named pipe would hold the start.
QByteArray readList(const QString &path) {
    return readRegularFile(path, kMaxListSize).value_or(QByteArray());
}

// The applications a key file (mimeapps.list, mimeinfo.cache) names for
// `mimeType` under each group header: every line's list, without empty
// items, as the desktop joins a group that appears twice.
QMap<QByteArray, QList<QByteArray>> applicationsFor(const QByteArray &text,
                                                    const QByteArray &mimeType) {
    QMap<QByteArray, QList<QByteArray>> byGroup;
    const QByteArray body =
        text.startsWith(kByteOrderMark) ? text.mid(kByteOrderMark.size()) : text;
    QByteArray group;
    for (const QByteArray &raw : body.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('[')) {
            group = line;
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (line.startsWith('#') || eq <= 0 || line.left(eq).trimmed() != mimeType) continue;
        for (const QByteArray &id : line.mid(eq + 1).split(';'))
            if (!id.trimmed().isEmpty()) byGroup[group] << id.trimmed();
    }
    return byGroup;
}

// Written whole or not at all, never through a symbolic link of another
// user's nor into another user's file (said on stderr); a link of the
// user's own leads to the file that is replaced. A replaced file keeps its
// rights; a new one gets those of any new file of the user.
bool writeAtomically(const QString &path, const QByteArray &bytes) {
    QString why;
    const auto target = ownedWritePath(path, &why);
    if (target && !QDir().mkpath(QFileInfo(*target).absolutePath()))
        why = QStringLiteral("cannot create the folder");
    else if (target) {
        struct stat old {};
        const QByteArray native = QFile::encodeName(*target);
        const bool replacing = ::stat(native.constData(), &old) == 0;
        if (replacing && !S_ISREG(old.st_mode))
            why = QStringLiteral("it is not a regular file");
        else if (replaceFile(*target, bytes, 0666, replacing ? &old : nullptr, &why) ==
                 ReplaceResult::Replaced)
            return true;
    }
    qWarning("File association not written to %s: %s", qUtf8Printable(path), qUtf8Printable(why));
    return false;
}

// `folder` is the cache folder the tool writes: never one reached through
// another user's link, as for the files written here.
void runQuietly(const QString &program, const QString &folder) {
    QString why;
    const auto owned = ownedWritePath(folder, &why);
    if (!owned) {
        qWarning("%s not run on %s: %s", qUtf8Printable(program), qUtf8Printable(folder),
                 qUtf8Printable(why));
        return;
    }
    const QStringList arguments{*owned};
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty()) return;
    QProcess process;
    process.setProgram(path);
    process.setArguments(arguments);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForStarted(kToolTimeoutMs)) return;
    if (!process.waitForFinished(kToolTimeoutMs)) {
        process.kill();
        process.waitForFinished(kToolTimeoutMs);
    }
}

// A value of type string in a desktop entry.
QString escapeDesktopString(const QString &value) {
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        if (c == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\t'))
            out += QLatin1String("\\t");
        else if (c == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else
            out += c;
    }
    if (out.startsWith(QLatin1Char(' '))) out.replace(0, 1, QLatin1String("\\s"));
    return out;
}

QString unescapeDesktopString(const QString &value) {
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar next = value.at(++i);
        if (next == QLatin1Char('s'))
            out += QLatin1Char(' ');
        else if (next == QLatin1Char('n'))
            out += QLatin1Char('\n');
        else if (next == QLatin1Char('t'))
            out += QLatin1Char('\t');
        else if (next == QLatin1Char('r'))
            out += QLatin1Char('\r');
        else
            out += next;
    }
    return out;
}

QImage fitIcon(const QImage &image) {
    if (image.isNull()) return XdgFileAssociation::generatedIcon();
    if (image.width() == kIconSize && image.height() == kIconSize) return image;
    QImage canvas(kIconSize, kIconSize, QImage::Format_ARGB32);
    canvas.fill(Qt::transparent);
    const QImage scaled =
        image.scaled(kIconSize, kIconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPainter painter(&canvas);
    painter.drawImage((kIconSize - scaled.width()) / 2, (kIconSize - scaled.height()) / 2, scaled);
    return canvas;
}

} // namespace

XdgFolders XdgFolders::fromEnvironment() {
    return {QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation),
            QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation),
            qEnvironmentVariable("XDG_CURRENT_DESKTOP")
                .toLower()
                .split(QLatin1Char(':'), Qt::SkipEmptyParts)};
}

bool desktopHasApplicationFor(const QString &mimeType, const XdgFolders &folders) {
    const QByteArray type = mimeType.toUtf8();
    const auto installed = [&](const QByteArray &desktopId) {
        for (const QString &dir : folders.dataDirs)
            if (QFileInfo(dir + QLatin1String("/applications/") + QString::fromUtf8(desktopId))
                    .isFile())
                return true;
        return false;
    };
    QStringList lists;
    const auto addLists = [&](const QString &dir) {
        for (const QString &desktop : folders.desktops)
            lists << dir + QLatin1Char('/') + desktop + QLatin1String("-mimeapps.list");
        lists << dir + QLatin1String("/mimeapps.list");
    };
    for (const QString &dir : folders.configDirs)
        addLists(dir);
    for (const QString &dir : folders.dataDirs)
        addLists(dir + QLatin1String("/applications"));
    for (const QString &path : lists) {
        const auto byGroup = applicationsFor(readList(path), type);
        for (const QByteArray &group : {kDefaultsGroup, kAddedGroup})
            for (const QByteArray &id : byGroup.value(group))
                if (installed(id)) return true;
    }
    for (const QString &dir : folders.dataDirs)
        for (const QByteArray &id :
             applicationsFor(readList(dir + QLatin1String("/applications/mimeinfo.cache")), type)
                 .value(kCacheGroup))
            if (installed(id)) return true;
    return false;
}

XdgFileAssociation::XdgFileAssociation(QString executablePath, QString appName, Icon icon)
    : executablePath_(std::move(executablePath)), appName_(std::move(appName)),
      icon_(std::move(icon)),
      dataHome_(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)),
      configHome_(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)),
      dataDirs_(QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)),
      configDirs_(QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation)),
      desktops_(qEnvironmentVariable("XDG_CURRENT_DESKTOP")
                    .toLower()
                    .split(QLatin1Char(':'), Qt::SkipEmptyParts)) {}

QString XdgFileAssociation::mimePackagePath() const {
    return dataHome_ + QLatin1String("/mime/packages/") + appName_ + QLatin1String("-squ.xml");
}

QString XdgFileAssociation::iconPath() const {
    return dataHome_ + QLatin1String("/icons/hicolor/64x64/apps/") + appName_ +
           QLatin1String(".png");
}

// Under the type's default icon name too, for desktops that do not read the
// icon named in the MIME package.
QString XdgFileAssociation::mimeIconPath(const QString &type) const {
    QString name = type;
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    return dataHome_ + QLatin1String("/icons/hicolor/64x64/mimetypes/") + name +
           QLatin1String(".png");
}

QString XdgFileAssociation::desktopEntryPath() const {
    return dataHome_ + QLatin1String("/applications/") + appName_ + QLatin1String(".desktop");
}

QString XdgFileAssociation::mimeAppsListPath() const {
    return configHome_ + QLatin1String("/mimeapps.list");
}

QImage XdgFileAssociation::generatedIcon() {
    QImage image(kIconSize, kIconSize, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x1b, 0x5e, 0x20), 3));
    painter.setBrush(QColor(0x43, 0xa0, 0x47));
    const QPolygonF polygon{{10, 50}, {16, 14}, {38, 8}, {56, 28}, {46, 56}};
    painter.drawPolygon(polygon);
    return image;
}

QString XdgFileAssociation::execValue(const QString &executablePath) {
    QString quoted = QStringLiteral("\"");
    for (const QChar c : executablePath) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted += QLatin1Char('"');
    // "%" introduces a field code everywhere in Exec, quoted or not.
    quoted.replace(QLatin1Char('%'), QLatin1String("%%"));
    return escapeDesktopString(quoted + QLatin1String(" %f"));
}

QByteArray XdgFileAssociation::mergeMimeAppsList(const QByteArray &existing,
                                                 const QByteArray &mimeType,
                                                 const QByteArray &desktopId) {
    const bool marked = existing.startsWith(kByteOrderMark);
    const QByteArray body = marked ? existing.mid(kByteOrderMark.size()) : existing;
    QList<QByteArray> lines = body.split('\n');
    if (body.isEmpty() || body.endsWith('\n')) lines.removeLast();
    const QByteArray cr = !lines.isEmpty() && lines.first().endsWith('\r') ? "\r" : "";
    // The last line gets a line end of its own below.
    if (!body.isEmpty() && !body.endsWith('\n')) lines.last() += cr;
    const QByteArray entry = mimeType + '=' + desktopId + cr;

    qsizetype header = -1;
    for (qsizetype i = 0; i < lines.size() && header < 0; ++i)
        if (lines[i].trimmed() == kDefaultsGroup) header = i;

    if (header < 0) {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty()) lines << cr;
        lines << kDefaultsGroup + cr << entry;
    } else {
        qsizetype end = header + 1;
        while (end < lines.size() && !lines[end].trimmed().startsWith('['))
            ++end;
        qsizetype lastContent = header;
        bool replaced = false;
        for (qsizetype i = header + 1; i < end;) {
            const QByteArray line = lines[i].trimmed();
            const qsizetype eq = line.indexOf('=');
            if (eq > 0 && !line.startsWith('#') && line.left(eq).trimmed() == mimeType) {
                if (replaced) {
                    // A second line for the same type would be ambiguous.
                    lines.removeAt(i);
                    --end;
                    continue;
                }
                lines[i] = entry;
                replaced = true;
            }
            if (!line.isEmpty()) lastContent = i;
            ++i;
        }
        if (!replaced) lines.insert(lastContent + 1, entry);
    }
    return (marked ? kByteOrderMark : QByteArray()) + lines.join('\n') + '\n';
}

QByteArray XdgFileAssociation::mimePackage() const {
    QByteArray xml;
    QXmlStreamWriter writer(&xml);
    writer.setAutoFormatting(true);
    writer.writeStartDocument();
    writer.writeStartElement(QStringLiteral("mime-info"));
    writer.writeDefaultNamespace(
        QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info"));
    // Both types, even when one of them already has an application: this
    // file replaces the one an earlier version wrote for ".squ" alone, which
    // may be all that makes the desktop know that type.
    const auto writeType = [&](const QString &type, const QString &comment, const QString &glob) {
        writer.writeStartElement(QStringLiteral("mime-type"));
        writer.writeAttribute(QStringLiteral("type"), type);
        writer.writeTextElement(QStringLiteral("comment"), comment);
        writer.writeEmptyElement(QStringLiteral("icon"));
        writer.writeAttribute(QStringLiteral("name"), appName_);
        writer.writeEmptyElement(QStringLiteral("glob"));
        writer.writeAttribute(QStringLiteral("pattern"), glob);
    };
    writeType(mimeType(), QStringLiteral("Программа расчета площади"), QStringLiteral("*.squ"));
    writer.writeEndElement();
    writeType(squxMimeType(), QStringLiteral("Многоугольник Тарвел"), QStringLiteral("*.squx"));
    // The first line without its version, so that later versions of the
    // format are known too; a ".squx" file renamed still opens.
    writer.writeStartElement(QStringLiteral("magic"));
    writer.writeAttribute(QStringLiteral("priority"), QStringLiteral("50"));
    writer.writeEmptyElement(QStringLiteral("match"));
    writer.writeAttribute(QStringLiteral("type"), QStringLiteral("string"));
    writer.writeAttribute(QStringLiteral("offset"), QStringLiteral("0"));
    writer.writeAttribute(QStringLiteral("value"), QStringLiteral("TARVEL-SQUX"));
    writer.writeEndElement();
    writer.writeEndElement();
    writer.writeEndElement();
    writer.writeEndDocument();
    return xml;
}

QByteArray XdgFileAssociation::iconPng() const {
    const QImage image = std::visit(
        [](const auto &icon) -> QImage {
            using T = std::decay_t<decltype(icon)>;
            if constexpr (std::is_same_v<T, std::monostate>)
                return generatedIcon();
            else
                return fitIcon(QImage(icon));
        },
        icon_);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return {};
    return png;
}

QByteArray XdgFileAssociation::desktopEntry() const {
    QString text;
    text += QString::fromUtf8(kDesktopGroup) + QLatin1Char('\n');
    text += QLatin1String("Type=Application\n");
    text += QStringLiteral("Name=") + kProgramName + QLatin1Char('\n');
    // The same entry name as the packaged one, so it must say as much: menus
    // show this one in its place.
    text += QStringLiteral("Comment=Программа расчета площади\n");
    text += QLatin1String("Categories=Office;Education;\n");
    text += QLatin1String("Icon=") + escapeDesktopString(appName_) + QLatin1Char('\n');
    // Every type, also one that stays another program's: the entry says
    // what the program opens, the defaults say who opens it.
    text += QLatin1String("MimeType=") + mimeTypes().join(QLatin1Char(';')) + QLatin1String(";\n");
    text += QLatin1String("Exec=") + execValue(executablePath_) + QLatin1Char('\n');
    text += QLatin1String("Terminal=false\n");
    return text.toUtf8();
}

bool XdgFileAssociation::desktopEntryInstalled(const QString &desktopId) const {
    for (const QString &dir : dataDirs_)
        if (QFileInfo::exists(dir + QLatin1String("/applications/") + desktopId)) return true;
    return false;
}

// The lists in the order the desktop reads them; any of them deciding about
// the type is enough here, whichever wins.
bool XdgFileAssociation::typeHasApplication(const QString &typeName) const {
    const QByteArray type = typeName.toUtf8();
    const QString ownId = appName_ + QLatin1String(".desktop");
    QStringList lists;
    const auto addLists = [&](const QString &dir) {
        for (const QString &desktop : desktops_)
            lists << dir + QLatin1Char('/') + desktop + QLatin1String("-mimeapps.list");
        lists << dir + QLatin1String("/mimeapps.list");
    };
    for (const QString &dir : configDirs_)
        addLists(dir);
    for (const QString &dir : dataDirs_)
        addLists(dir + QLatin1String("/applications"));

    for (const QString &path : lists) {
        const auto byGroup = applicationsFor(readList(path), type);
        const QList<QByteArray> defaults = byGroup.value(kDefaultsGroup);
        const bool halfWay =
            defaults == QList<QByteArray>{ownId.toUtf8()} && !desktopEntryInstalled(ownId);
        if ((!defaults.isEmpty() && !halfWay) || byGroup.contains(kAddedGroup) ||
            byGroup.contains(kRemovedGroup))
            return true;
    }
    for (const QString &dir : dataDirs_)
        if (applicationsFor(readList(dir + QLatin1String("/applications/mimeinfo.cache")), type)
                .contains(kCacheGroup))
            return true;
    return false;
}

bool XdgFileAssociation::setDefaultApplication(const QStringList &types) const {
    const QString path = mimeAppsListPath();
    QByteArray existing;
    if (QFileInfo::exists(path)) {
        // Never replace a list that could not be read: the user's other
        // choices would be lost.
        const auto bytes = readRegularFile(path, kMaxListSize);
        if (!bytes) return false;
        existing = *bytes;
    }
    const QByteArray desktopId = (appName_ + QLatin1String(".desktop")).toUtf8();
    // One write for all types: a start that stops half-way leaves none of
    // them named.
    QByteArray merged = existing;
    for (const QString &type : types)
        merged = mergeMimeAppsList(merged, type.toUtf8(), desktopId);
    return writeAtomically(path, merged);
}

QString XdgFileAssociation::ReadRegString() {
    const QByteArray bytes =
        readRegularFile(desktopEntryPath(), kMaxDesktopEntrySize).value_or(QByteArray());
    bool inEntry = false;
    for (const QByteArray &raw : bytes.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('[')) {
            inEntry = line == kDesktopGroup;
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (!inEntry || line.startsWith('#') || eq < 0) continue;
        if (line.left(eq).trimmed() == "Icon")
            return unescapeDesktopString(QString::fromUtf8(line.mid(eq + 1).trimmed()));
    }
    return {};
}

void XdgFileAssociation::RegisterFileType() {
    QStringList unclaimed;
    for (const QString &type : mimeTypes())
        if (!typeHasApplication(type)) unclaimed << type;
    if (unclaimed.isEmpty()) return;
    const QByteArray png = iconPng();
    if (png.isEmpty()) return;
    if (!writeAtomically(mimePackagePath(), mimePackage())) return;
    if (!writeAtomically(iconPath(), png)) return;
    for (const QString &type : mimeTypes())
        if (!writeAtomically(mimeIconPath(type), png)) return;
    runQuietly(QStringLiteral("update-mime-database"), dataHome_ + QLatin1String("/mime"));
    if (!setDefaultApplication(unclaimed)) return;
    if (!writeAtomically(desktopEntryPath(), desktopEntry())) return;
    runQuietly(QStringLiteral("update-desktop-database"),
               dataHome_ + QLatin1String("/applications"));
}

} // namespace tarvel::platform
