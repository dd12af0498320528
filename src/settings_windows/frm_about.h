// frmAbout, "О программе": the program's name, a description line, the web
// address and the e-mail address of its owner as links, and "OK". The main
// window takes no input while the box is open.
#pragma once

#include "platform/controls/controls.h"
#include "platform/services/services.h"
#include "settings_windows/owner_lock.h"

#include <QWidget>

#include <memory>
#include <optional>

class QFrame;

namespace tarvel::settings_windows {

class FrmAbout : public QWidget {
    Q_OBJECT
public:
    static const QString kWebAddress;
    static const QString kMailAddress;
    static const QString kMailSubject;

    // A top-level window owned by `owner`, the main window it disables.
    FrmAbout(QWidget &owner, platform::ShellService &shell);
    ~FrmAbout() override;

    // Disables the owner (an OwnerLock); Form_Unload, on closing, enables it
    // again.
    void Form_Load();
    void Form_Unload();
    void cmdOK_Click();
    void Label1_Click(); // the web address
    void Label2_Click(); // a new message to the e-mail address

    std::unique_ptr<platform::Label> lblDescription, lblDescription2, Label3, Label1, Label2;
    std::unique_ptr<platform::Button> cmdOK;
    QFrame *Line1 = nullptr; // separator above the button, owned by the window

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget &owner_;
    platform::ShellService &shell_;
    std::optional<OwnerLock> ownerLock_; // while loaded
};

} // namespace tarvel::settings_windows
