// The lasting preferences of the program: the variables that hold them while
// it runs, their defaults, and the moments they are read and written.
//
// Every value lives in the settings store as text under section "Tunes".
// A stored value that does not convert for a number or flag key counts as
// missing: the key's default applies, so a hand-edited store never stops
// the start-up.
#pragma once

#include "platform/services/services.h"

#include <QString>
#include <QStringList>

#include <cstdint>

namespace tarvel::files {

inline const QString kTunes = QStringLiteral("Tunes");

struct Settings {
    QString WorkFolder;             // "VibFolder"; default: the user's home folder
    std::int16_t ShowGrid = 0;      // "Gr1"
    std::uint32_t GridColour = 0;   // "Gr3", held and stored as a whole number
    std::uint32_t LineColour = 255; // "Gr4"
    std::int16_t DragAnywhere = 0;  // "Gr5"
    float MapScale = 10;            // "Gr6"
    std::int16_t ShowAngles = 0;    // "Gr7"
    // "Gr8": kept as text as read ("&H8000000F" or decimal); once chosen in
    // the graphics settings it holds decimal text of the signed 32-bit number.
    QString BackColour = QStringLiteral("&H8000000F");
    std::int16_t ImportHintOff = 0; // "Gr9"
    std::int16_t SelectOnFocus = 0; // "Gr10"
    std::int16_t ShowNumbers = 1;   // "Gr11"
    std::int16_t ShowLengths = 1;   // "Gr12"
    // "Gr13": 1 draws X upward and Y to the right, as survey plans do; 0
    // (the default) X to the right and Y upward.
    std::int16_t NorthUp = 0;
    QString MapPicture;             // "imgFName"
    std::int16_t StepHintOff = 0;   // "Fl5"
    std::int16_t CornerHintOff = 0; // "Fl6"
    // The folder of the polygon file last opened or saved ("SquFolder");
    // empty until there is one, and the file dialogs start in WorkFolder.
    QString PolygonFolder;
    // The folders of the workbook last imported or exported ("XlsFolder")
    // and of the background picture last chosen ("PicFolder"); empty until
    // there is one, as PolygonFolder.
    QString SheetFolder;
    QString PictureFolder;
    // The polygon files last opened or saved, most recent first, at most
    // kRecentFiles of them ("Recent1", "Recent2", ...).
    QStringList RecentFiles;
};

// How many recent files the file menu offers.
inline constexpr int kRecentFiles = 5;

// The default of "VibFolder" on this platform.
QString defaultWorkFolder();

// Reads every key in start-up order: "VibFolder", "Gr1", "Gr3", "Gr4", "Gr5",
// "Gr6", "Gr7", "Gr8", "Gr9", "Gr10", "Gr11", "Gr12", "imgFName", "Fl5",
// "Fl6", then "SquFolder", "XlsFolder", "PicFolder", "Recent1" to "Recent5"
// and "Gr13". Flags that are not whole numbers, colours that are not colour
// texts and a scale that is not a number take their defaults.
Settings loadSettings(platform::SettingsStore &store);

// The stored step text (key "step"), default "1".
QString loadStep(platform::SettingsStore &store);

// Writes the ten keys of the graphics settings, in this order: "Gr1",
// "Gr3", "Gr4", "Gr5", "Gr7", "Gr8", "Gr10", "Gr11", "Gr12", "Gr13".
void storeGraphics(platform::SettingsStore &store, const Settings &s);
// Copies the variables of the graphics settings (those storeGraphics()
// writes) from `from` into `to`, and nothing else.
void takeGraphics(Settings &to, const Settings &from);

// Writes what the main window keeps when it closes: "Step", "Gr6",
// "imgFName".
void storeOnClose(platform::SettingsStore &store, const QString &stepText, float mapScale,
                  const QString &mapPicture);

// Writes the three hint flags "Gr9", "Fl5", "Fl6", in this order.
void storeHints(platform::SettingsStore &store, const Settings &s);

// Writes "VibFolder" (the folder command).
void storeWorkFolder(platform::SettingsStore &store, const QString &folder);

// The folder a file dialog starts in: the one remembered for its kind of
// file while it is still a folder (not a drive taken away or a folder
// removed), else the work folder.
QString dialogFolder(const QString &remembered, const QString &workFolder);

// Write the folder a file of their kind was last chosen in: "XlsFolder"
// (workbook dialogs), "PicFolder" (the picture dialog).
void storeSheetFolder(platform::SettingsStore &store, const QString &folder);
void storePictureFolder(platform::SettingsStore &store, const QString &folder);

// Forgets the folders remembered for the kinds of file, in the settings
// (clears PolygonFolder, SheetFolder, PictureFolder) and in the store
// ("SquFolder", "XlsFolder", "PicFolder" written empty), so that every file
// dialog starts in a work folder the user just chose.
void forgetFileFolders(platform::SettingsStore &store, Settings &s);

// Each writes its one hint flag at once: "Gr9" (closing the import hint
// window), "Fl5" (Yes to the step hint), "Fl6" (Yes to the corner hint).
void storeImportHintOff(platform::SettingsStore &store, std::int16_t flag);
void storeStepHintOff(platform::SettingsStore &store, std::int16_t flag);
void storeCornerHintOff(platform::SettingsStore &store, std::int16_t flag);

// `list` with `path` put first: an earlier entry of the same file goes, and
// so does what is beyond kRecentFiles.
QStringList withRecentFile(const QStringList &list, const QString &path);

// The recent files as the store holds them now, most recent first.
QStringList loadRecentFiles(platform::SettingsStore &store);

// The recent files once `path` was opened or saved, when another copy of the
// program may have stored files of its own since this one read the list:
// `path` first, then the `stored` list (every copy stores its list with each
// file, so it is the newest order), then files of `mine` it lacks; at most
// kRecentFiles, each file once.
QStringList mergedRecentFiles(const QStringList &stored, const QStringList &mine,
                              const QString &path);

// Writes what a polygon file that was opened or saved leaves behind: its
// folder ("SquFolder") and the recent files ("Recent1" to "Recent5", an
// empty text for a place the list does not fill).
void storeRecentFiles(platform::SettingsStore &store, const QString &polygonFolder,
                      const QStringList &recentFiles);

// The survey sheet's Mt: the land category it comes from ("VedKat": 0..5,
// the place in geometry::landCategories(), or kSheetMtTyped when the user
// typed Mt) and the Mt last typed ("VedMt", text as typed). Read when the
// sheet opens and written at every choice; a category outside 0..6 counts
// as missing.
inline constexpr std::int16_t kSheetMtTyped = 6;
struct SheetChoice {
    std::int16_t category = 0;
    QString typedMt = QStringLiteral("0,1");
};
SheetChoice loadSheetChoice(platform::SettingsStore &store);
void storeSheetChoice(platform::SettingsStore &store, const SheetChoice &choice);

// A flag or number as the store keeps it ("0", "1", "10", "12,5").
QString flagText(std::int16_t flag);

} // namespace tarvel::files
