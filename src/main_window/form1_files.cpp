// Form1: the polygon file (save, open, the file named on the command line),
// the save question on both ways out, and the closing sequence.
#include "main_window/form1.h"

#include "program.h"

#include "files/polygon_file.h"
#include "files/settings.h"
#include "geometry/numtext.h"
#include "settings_windows/frm_podsk1.h"

#include <algorithm>

namespace tarvel {

const QString Form1::kProductWebPage = QStringLiteral("https://tarvel.ru/");

namespace {

platform::FileDialogRequest polygonDialog(const QString &workFolder) {
    platform::FileDialogRequest r;
    r.defaultExt = QStringLiteral("*.squ");
    r.filter = QStringLiteral("Файлы (*.squ)|*.squ|Все файлы(*.*)|*.*|");
    r.initDir = workFolder;
    return r;
}

const QString kCaptionPrefix = kProgramTitle + QStringLiteral("   ");

} // namespace

bool Form1::SAVE_AS() {
    const auto path = services_.dialogs.showSave(this, polygonDialog(state_.settings.WorkFolder));
    if (!path) return false;
    files::PolygonFileData data;
    // The count in force, not the count field: a text there that the
    // recompute did not take ("25", "", "3,5") would make a file that no
    // reader opens.
    const geometry::PolygonTexts &t = doc_.texts();
    data.count = QString::number(doc_.cornerCount());
    for (int i = 1; i <= 20; ++i) {
        data.x[i] = t.x[i];
        data.y[i] = t.y[i];
    }
    data.owner = t.owner;
    // The file is written whole beside the target and then renamed over it,
    // so a failed save leaves the previous file intact and is said as such.
    if (!files::writePolygonFile(*path, data)) {
        services_.messages.show(this, QStringLiteral("Ошибка записи файла!"),
                                platform::MsgButtons::OK, platform::MsgIcon::Exclamation,
                                QStringLiteral("Ошибка"));
        return false;
    }
    doc_.markSaved();
    setWindowTitle(kCaptionPrefix + *path);
    return true;
}

namespace {

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
    geometry::PolygonTexts t;
    t.count = data.count;
    for (int k = 1; k <= 20; ++k) {
        t.x[k] = fieldText(data.x[k]);
        t.y[k] = fieldText(data.y[k]);
    }
    t.owner = data.owner;
    return t;
}

} // namespace

void Form1::AS_FILE_OPEN() {
    const QString argument = services_.commandLine.commandLineText();
    if (!argument.trimmed().isEmpty()) {
        const QString path = files::commandLinePath(argument);
        // A file that is not a whole polygon file changes nothing.
        if (const auto data = files::readPolygonFile(path)) {
            doc_.open(textsOf(*data));
            setWindowTitle(kCaptionPrefix + path);
            return;
        }
    }
    showRows(cornerCount());
}

void Form1::Menu_File_Open_Click() {
    const auto path = services_.dialogs.showOpen(this, polygonDialog(state_.settings.WorkFolder));
    if (!path) return;
    const auto data = files::readPolygonFile(*path);
    if (!data) {
        services_.messages.show(this, QStringLiteral("Ошибка чтения файла!"),
                                platform::MsgButtons::OK, platform::MsgIcon::Exclamation,
                                QStringLiteral("Ошибка"));
        return;
    }
    doc_.open(textsOf(*data));
    setWindowTitle(kCaptionPrefix + *path);
}

void Form1::Menu_File_Save_As_Click() {
    SAVE_AS();
}

bool Form1::askToSave() {
    if (!doc_.isModified()) return true;
    switch (services_.messages.show(this, QStringLiteral("Файл был изменен, хотите его сохранить?"),
                                    platform::MsgButtons::YesNoCancel, platform::MsgIcon::None,
                                    kProgramName)) {
    case platform::MsgResult::No:
        return true;
    // A save that was cancelled or failed does not throw the polygon away.
    case platform::MsgResult::Yes:
        return SAVE_AS();
    default:
        return false;
    }
}

void Form1::Menu_Exit_Click() {
    if (!askToSave()) return;
    if (endProgram) endProgram();
}

void Form1::Form_Unload() {
    // An open import hint goes with the main window: closed by the user it
    // would start the import, with no window left to import into.
    if (frmPodsk1_) {
        frmPodsk1_->Form_Unload = nullptr;
        frmPodsk1_->close();
    }
    unloadGeographicWindows();
    files::storeOnClose(services_.settings, txtStep->Text(), state_.MapScale,
                        state_.settings.MapPicture);
    services_.shell.openDocument(kProductWebPage);
}

} // namespace tarvel
