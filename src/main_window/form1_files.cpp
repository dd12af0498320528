// Form1: the file commands, handed to FileActions; the way out by the menu
// and the closing sequence.
#include "main_window/form1.h"

#include "files/settings.h"
#include "settings_windows/frm_podsk1.h"

namespace tarvel::main_window {

const QString Form1::kProductWebPage = QStringLiteral("https://tarvel.ru/");

void Form1::connectFileActions() {
    // The caption names the file and marks unsaved changes with "*", as the
    // desktop's programs do.
    const auto showCaption = [this] {
        setWindowTitle(FileActions::captionFor(fileActions_.currentFile(), doc_.isModified()));
    };
    connect(&fileActions_, &FileActions::fileNamed, this, showCaption);
    connect(&doc_, &geometry::PolygonDocument::modifiedChanged, this, showCaption);
    connect(&fileActions_, &FileActions::opening, this, [this] { fitOnChange_ = true; });
    connect(&tools_, &ToolActions::cornersImported, this, &Form1::applyImportedCorners);
    connect(&tools_, &ToolActions::catalogueImported, this, &Form1::applyImportedCatalogue);
}

bool Form1::SAVE_AS() {
    return fileActions_.saveAs();
}

void Form1::AS_FILE_OPEN() {
    fileActions_.openFromCommandLine();
}

void Form1::Menu_File_Open_Click() {
    fileActions_.openChosenFile();
}

void Form1::Menu_File_OpenExtract_Click() {
    fileActions_.openChosenExtract();
}

void Form1::Menu_File_Save_As_Click() {
    fileActions_.saveAs();
}

bool Form1::askToSave() {
    return fileActions_.maybeSave();
}

void Form1::Menu_Exit_Click() {
    // A reading under way ends before the question, as at a close of the
    // window: nothing will be imported into a window on its way out.
    tools_.stopImport();
    if (!askToSave()) return;
    if (endProgram) endProgram();
}

void Form1::Form_Unload() {
    // An open import hint, and a reading under way, go with the main
    // window: there is no window left to import into.
    tools_.stopImport();
    unloadGeographicWindows();
    files::storeOnClose(services_.settings, view_.stepText, view_.scale,
                        state_.settings.MapPicture);
    services_.shell.openDocument(kProductWebPage);
}

} // namespace tarvel::main_window
