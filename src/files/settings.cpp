#include "files/settings.h"

#include "geometry/numtext.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace tarvel::files {

namespace {

// Colours are held as whole numbers, so they are stored as whole numbers:
// a white grid (16777215) must not come back as 16777220.
QString colourText(std::uint32_t colour) {
    return QString::number(colour);
}

std::int16_t readFlag(platform::SettingsStore &store, const QString &key, std::int16_t fallback) {
    return geometry::textToInt16(store.read(kTunes, key, flagText(fallback))).value_or(fallback);
}

std::uint32_t readColour(platform::SettingsStore &store, const QString &key,
                         std::uint32_t fallback) {
    return geometry::textToColour(store.read(kTunes, key, colourText(fallback))).value_or(fallback);
}

float readNumber(platform::SettingsStore &store, const QString &key, float fallback) {
    return geometry::textToSingle(store.read(kTunes, key, geometry::plainText(fallback)))
        .value_or(fallback);
}

QString recentKey(int place) {
    return QStringLiteral("Recent%1").arg(place);
}

// One file, however it was named: the same absolute, cleaned path. Case
// counts, as it does in the file system.
QString samePath(const QString &path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

QString defaultWorkFolder() {
    return QDir::homePath();
}

QString flagText(std::int16_t flag) {
    return QString::number(flag);
}

Settings loadSettings(platform::SettingsStore &store) {
    const Settings defaults;
    Settings s;
    s.WorkFolder = store.read(kTunes, QStringLiteral("VibFolder"), defaultWorkFolder());
    s.ShowGrid = readFlag(store, QStringLiteral("Gr1"), defaults.ShowGrid);
    s.GridColour = readColour(store, QStringLiteral("Gr3"), defaults.GridColour);
    s.LineColour = readColour(store, QStringLiteral("Gr4"), defaults.LineColour);
    s.DragAnywhere = readFlag(store, QStringLiteral("Gr5"), defaults.DragAnywhere);
    s.MapScale = readNumber(store, QStringLiteral("Gr6"), defaults.MapScale);
    s.ShowAngles = readFlag(store, QStringLiteral("Gr7"), defaults.ShowAngles);
    // The background stays text as read ("&H8000000F" or decimal); only a
    // text that is no colour at all falls back.
    s.BackColour = store.read(kTunes, QStringLiteral("Gr8"), defaults.BackColour);
    if (!geometry::textToColour(s.BackColour)) s.BackColour = defaults.BackColour;
    s.ImportHintOff = readFlag(store, QStringLiteral("Gr9"), defaults.ImportHintOff);
    s.SelectOnFocus = readFlag(store, QStringLiteral("Gr10"), defaults.SelectOnFocus);
    s.ShowNumbers = readFlag(store, QStringLiteral("Gr11"), defaults.ShowNumbers);
    s.ShowLengths = readFlag(store, QStringLiteral("Gr12"), defaults.ShowLengths);
    s.MapPicture = store.read(kTunes, QStringLiteral("imgFName"), defaults.MapPicture);
    s.StepHintOff = readFlag(store, QStringLiteral("Fl5"), defaults.StepHintOff);
    s.CornerHintOff = readFlag(store, QStringLiteral("Fl6"), defaults.CornerHintOff);
    s.PolygonFolder = store.read(kTunes, QStringLiteral("SquFolder"), QString());
    s.SheetFolder = store.read(kTunes, QStringLiteral("XlsFolder"), QString());
    s.PictureFolder = store.read(kTunes, QStringLiteral("PicFolder"), QString());
    s.RecentFiles = loadRecentFiles(store);
    s.NorthUp = readFlag(store, QStringLiteral("Gr13"), defaults.NorthUp);
    return s;
}

QString loadStep(platform::SettingsStore &store) {
    return store.read(kTunes, QStringLiteral("step"), QStringLiteral("1"));
}

void storeGraphics(platform::SettingsStore &store, const Settings &s) {
    store.write(kTunes, QStringLiteral("Gr1"), flagText(s.ShowGrid));
    store.write(kTunes, QStringLiteral("Gr3"), colourText(s.GridColour));
    store.write(kTunes, QStringLiteral("Gr4"), colourText(s.LineColour));
    store.write(kTunes, QStringLiteral("Gr5"), flagText(s.DragAnywhere));
    store.write(kTunes, QStringLiteral("Gr7"), flagText(s.ShowAngles));
    store.write(kTunes, QStringLiteral("Gr8"), s.BackColour);
    store.write(kTunes, QStringLiteral("Gr10"), flagText(s.SelectOnFocus));
    store.write(kTunes, QStringLiteral("Gr11"), flagText(s.ShowNumbers));
    store.write(kTunes, QStringLiteral("Gr12"), flagText(s.ShowLengths));
    store.write(kTunes, QStringLiteral("Gr13"), flagText(s.NorthUp));
}

void takeGraphics(Settings &to, const Settings &from) {
    to.ShowGrid = from.ShowGrid;
    to.DragAnywhere = from.DragAnywhere;
    to.SelectOnFocus = from.SelectOnFocus;
    to.ShowAngles = from.ShowAngles;
    to.ShowNumbers = from.ShowNumbers;
    to.ShowLengths = from.ShowLengths;
    to.GridColour = from.GridColour;
    to.LineColour = from.LineColour;
    to.BackColour = from.BackColour;
    to.NorthUp = from.NorthUp;
}

void storeOnClose(platform::SettingsStore &store, const QString &stepText, float mapScale,
                  const QString &mapPicture) {
    store.write(kTunes, QStringLiteral("Step"), stepText);
    store.write(kTunes, QStringLiteral("Gr6"), geometry::plainText(mapScale));
    store.write(kTunes, QStringLiteral("imgFName"), mapPicture);
}

void storeHints(platform::SettingsStore &store, const Settings &s) {
    storeImportHintOff(store, s.ImportHintOff);
    storeStepHintOff(store, s.StepHintOff);
    storeCornerHintOff(store, s.CornerHintOff);
}

void storeWorkFolder(platform::SettingsStore &store, const QString &folder) {
    store.write(kTunes, QStringLiteral("VibFolder"), folder);
}

QString dialogFolder(const QString &remembered, const QString &workFolder) {
    return !remembered.isEmpty() && QFileInfo(remembered).isDir() ? remembered : workFolder;
}

void storeSheetFolder(platform::SettingsStore &store, const QString &folder) {
    store.write(kTunes, QStringLiteral("XlsFolder"), folder);
}

void storePictureFolder(platform::SettingsStore &store, const QString &folder) {
    store.write(kTunes, QStringLiteral("PicFolder"), folder);
}

void forgetFileFolders(platform::SettingsStore &store, Settings &s) {
    s.PolygonFolder.clear();
    s.SheetFolder.clear();
    s.PictureFolder.clear();
    for (const char *key : {"SquFolder", "XlsFolder", "PicFolder"})
        store.write(kTunes, QString::fromLatin1(key), QString());
}

QStringList loadRecentFiles(platform::SettingsStore &store) {
    // Read in order, so an entry that was edited out, or one that repeats
    // an earlier one, leaves no hole in the menu.
    QStringList list;
    for (int i = kRecentFiles; i >= 1; --i) {
        const QString path = store.read(kTunes, recentKey(i), QString());
        if (!path.trimmed().isEmpty()) list = withRecentFile(list, path);
    }
    return list;
}

QStringList mergedRecentFiles(const QStringList &stored, const QStringList &mine,
                              const QString &path) {
    QStringList merged = stored;
    for (const QString &p : mine) {
        const QString key = samePath(p);
        if (std::none_of(merged.begin(), merged.end(),
                         [&](const QString &q) { return samePath(q) == key; }))
            merged << p;
    }
    return withRecentFile(merged, path);
}

QStringList withRecentFile(const QStringList &list, const QString &path) {
    QStringList result{path};
    const QString key = samePath(path);
    for (const QString &p : list) {
        if (result.size() == kRecentFiles) break;
        if (samePath(p) != key) result << p;
    }
    return result;
}

void storeRecentFiles(platform::SettingsStore &store, const QString &polygonFolder,
                      const QStringList &recentFiles) {
    platform::SettingsStore::Values values{{QStringLiteral("SquFolder"), polygonFolder}};
    for (int i = 1; i <= kRecentFiles; ++i)
        values.emplace_back(recentKey(i), recentFiles.value(i - 1));
    // One write: the list is stored with every file opened or saved.
    store.writeAll(kTunes, values);
}

void storeImportHintOff(platform::SettingsStore &store, std::int16_t flag) {
    store.write(kTunes, QStringLiteral("Gr9"), flagText(flag));
}

void storeStepHintOff(platform::SettingsStore &store, std::int16_t flag) {
    store.write(kTunes, QStringLiteral("Fl5"), flagText(flag));
}

void storeCornerHintOff(platform::SettingsStore &store, std::int16_t flag) {
    store.write(kTunes, QStringLiteral("Fl6"), flagText(flag));
}

SheetChoice loadSheetChoice(platform::SettingsStore &store) {
    SheetChoice c;
    const std::int16_t category = readFlag(store, QStringLiteral("VedKat"), c.category);
    if (category >= 0 && category <= kSheetMtTyped) c.category = category;
    c.typedMt = store.read(kTunes, QStringLiteral("VedMt"), c.typedMt);
    return c;
}

void storeSheetChoice(platform::SettingsStore &store, const SheetChoice &choice) {
    store.write(kTunes, QStringLiteral("VedKat"), flagText(choice.category));
    store.write(kTunes, QStringLiteral("VedMt"), choice.typedMt);
}

} // namespace tarvel::files
