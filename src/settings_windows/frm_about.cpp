#include "settings_windows/frm_about.h"

#include "platform/controls/keyboard.h"
#include "program.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace tarvel::settings_windows {

const QString FrmAbout::kWebAddress = QStringLiteral("https://tarvel.ru/");
const QString FrmAbout::kMailAddress = QStringLiteral("info@tarvel.ru");
const QString FrmAbout::kMailSubject = QStringLiteral("На счет программы ") + kProgramName;

namespace {

constexpr double kTwips = platform::kTwipsPerPixel;

std::unique_ptr<platform::Label> makeLabel(QWidget *parent, double left, double top,
                                           const QString &caption) {
    auto l = std::make_unique<platform::Label>(parent, true);
    l->move(left, top);
    l->setCaption(caption);
    return l;
}

// A label that looks and feels like a link; the click is the window's.
void makeLink(platform::Label &label) {
    label.setForeColor(0xFF0000); // blue (&HBBGGRR)
    QFont f = label.label()->font();
    f.setUnderline(true);
    label.label()->setFont(f);
    label.label()->setCursor(Qt::PointingHandCursor);
}

} // namespace

FrmAbout::FrmAbout(QWidget &owner, platform::ShellService &shell)
    : QWidget(&owner, Qt::Dialog), owner_(owner), shell_(shell) {
    setWindowTitle(QStringLiteral("О программе"));
    platform::closeOnEscape(*this);
    platform::setFixedWindowSize(*this, int(5400 / kTwips), int(2940 / kTwips));

    lblDescription = makeLabel(this, 240, 180, kProgramTitle);
    lblDescription->setFontSize(12);
    lblDescription->setFontBold(true);
    lblDescription2 = makeLabel(
        this, 240, 600, QStringLiteral("Расчет площади многоугольника по координатам углов"));
    // The owner line names the program's owner; the program knows none, and
    // a bare "Владелец программы:" would read as a fault: the links take its
    // place.
    Label3 = makeLabel(this, 240, 1020, QStringLiteral("Владелец программы: "));
    Label3->setVisible(false);
    Label1 = makeLabel(this, 240, 1020, kWebAddress);
    makeLink(*Label1);
    Label2 = makeLabel(this, 240, 1320, kMailAddress);
    makeLink(*Label2);

    Line1 = new QFrame(this);
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    Line1->setGeometry(int(240 / kTwips), int(2010 / kTwips), int(4920 / kTwips), 2);

    cmdOK = std::make_unique<platform::Button>(this);
    cmdOK->move(3900, 2220, 1260, 390);
    cmdOK->setCaption(QStringLiteral("OK"));
    cmdOK->button()->setDefault(true);

    cmdOK->Click = [this] { cmdOK_Click(); };
    Label1->Click = [this] { Label1_Click(); };
    Label2->Click = [this] { Label2_Click(); };
}

FrmAbout::~FrmAbout() = default;

void FrmAbout::Form_Load() {
    if (!ownerLock_) ownerLock_.emplace(owner_);
}

void FrmAbout::Form_Unload() {
    ownerLock_.reset();
}

void FrmAbout::closeEvent(QCloseEvent *event) {
    Form_Unload();
    event->accept();
}

void FrmAbout::cmdOK_Click() {
    close();
}

void FrmAbout::Label1_Click() {
    shell_.openDocument(Label1->Caption());
}

void FrmAbout::Label2_Click() {
    shell_.openDocument(QStringLiteral("mailto:") + Label2->Caption() +
                        QStringLiteral("?Subject=") + kMailSubject);
}

} // namespace tarvel::settings_windows
