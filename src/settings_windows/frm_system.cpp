#include "settings_windows/frm_system.h"

#include <QComboBox>
#include <QShortcut>

#include <algorithm>

namespace tarvel::settings_windows {

const QString FrmSystem::kNoSystemItem = QStringLiteral("Не задана");
const QString FrmSystem::kLocalZoneItem =
    QStringLiteral("Местная зона по параметрам (приближённо)");
const QString FrmSystem::kBadParameter =
    QStringLiteral("Параметр зоны не число: проверьте поля, семь параметров перехода разделяются "
                   "точкой с запятой.");

namespace {

constexpr int kEllipsoids = 3;
const char *const kEllipsoidNames[kEllipsoids] = {"Красовского 1940", "WGS 84", "ГСК-2011"};

std::unique_ptr<platform::Label> label(QWidget *parent, double top, const QString &caption) {
    auto l = std::make_unique<platform::Label>(parent, false);
    l->move(120, top + 45, 3000, 285);
    l->setCaption(caption);
    return l;
}

std::unique_ptr<platform::TextBox> field(QWidget *parent, double top) {
    auto t = std::make_unique<platform::TextBox>(parent);
    t->move(3180, top, 3300, 315);
    return t;
}

} // namespace

FrmSystem::FrmSystem(QWidget *owner, const geometry::PlotInfo &current)
    : QWidget(owner, Qt::Window) {
    setWindowTitle(QStringLiteral("Система координат"));
    setFont(platform::defaultFont());
    setFixedSize(int(6600 / platform::kTwipsPerPixel), int(4500 / platform::kTwipsPerPixel));

    lblSystem = label(this, 120, QStringLiteral("Система координат:"));
    cmbSystem = std::make_unique<platform::ComboBox>(this, false);
    cmbSystem->move(120, 480, 6360, 315);
    QStringList items{kNoSystemItem};
    for (const files::KnownSystem &s : files::knownSystems())
        items << s.name;
    items << kLocalZoneItem;
    cmbSystem->AddItems(items);
    cmbSystem->setMaxVisibleItems(20);

    lblMeridian = label(this, 960, QStringLiteral("Осевой меридиан, °:"));
    txtMeridian = field(this, 960);
    lblEasting = label(this, 1335, QStringLiteral("Смещение на восток, м:"));
    txtEasting = field(this, 1335);
    lblNorthing = label(this, 1710, QStringLiteral("Смещение на север, м:"));
    txtNorthing = field(this, 1710);
    lblScale = label(this, 2085, QStringLiteral("Масштаб на меридиане:"));
    txtScale = field(this, 2085);
    lblEllipsoid = label(this, 2460, QStringLiteral("Эллипсоид:"));
    cmbEllipsoid = std::make_unique<platform::ComboBox>(this, false);
    cmbEllipsoid->move(3180, 2460, 3300, 315);
    for (const char *name : kEllipsoidNames)
        cmbEllipsoid->AddItem(QString::fromUtf8(name));
    cmbEllipsoid->setListIndex(0);
    lblShift = label(this, 2835, QStringLiteral("Переход к WGS 84 (7 параметров):"));
    txtShift = field(this, 2835);
    txtShift->widget()->setToolTip(
        QStringLiteral("dX; dY; dZ, м; wX; wY; wZ, ″; m, ppm — через точку с запятой"));
    lblMessage = std::make_unique<platform::Label>(this, false);
    lblMessage->move(120, 3240, 6360, 480);
    lblMessage->setWordWrap(true);
    lblMessage->setForeColor(0x0000FF);

    cmdApply = std::make_unique<platform::Button>(this);
    cmdApply->move(3480, 3840, 1380, 390);
    cmdApply->setCaption(QStringLiteral("Применить"));
    cmdClose = std::make_unique<platform::Button>(this);
    cmdClose->move(5040, 3840, 1380, 390);
    cmdClose->setCaption(QStringLiteral("Закрыть"));

    txtScale->setText(QStringLiteral("1"));
    txtShift->setText(QStringLiteral("0; 0; 0; 0; 0; 0; 0"));
    // The plot's own system first.
    int index = 0;
    if (current.systemApproximate) {
        index = int(items.size()) - 1;
    } else {
        const auto &known = files::knownSystems();
        for (std::size_t i = 0; i < known.size(); ++i)
            if (known[i].definition == current.systemDefinition) index = int(i) + 1;
    }
    cmbSystem->setListIndex(index);

    cmbSystem->Click = [this] { cmbSystem_Click(); };
    cmdApply->Click = [this] { cmdApply_Click(); };
    cmdClose->Click = [this] { close(); };
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    showZoneFields();
}

FrmSystem::~FrmSystem() = default;

void FrmSystem::cmbSystem_Click() {
    showZoneFields();
}

void FrmSystem::cmdApply_Click() {
    applyChoice();
}

void FrmSystem::showZoneFields() {
    const bool zone = cmbSystem->combo()->currentIndex() == cmbSystem->ListCount() - 1;
    for (platform::Control *c : std::initializer_list<platform::Control *>{
             txtMeridian.get(), txtEasting.get(), txtNorthing.get(), txtScale.get(),
             cmbEllipsoid.get(), txtShift.get()})
        c->setEnabled(zone);
    lblMessage->setCaption(QString());
}

void FrmSystem::applyChoice() {
    const int index = cmbSystem->combo()->currentIndex();
    const auto &known = files::knownSystems();
    if (index <= 0) {
        emit systemChosen(QString(), QString(), false);
        return;
    }
    if (index <= int(known.size())) {
        const files::KnownSystem &s = known[std::size_t(index - 1)];
        emit systemChosen(s.definition, s.name, false);
        return;
    }
    const auto meridian = files::parameterOf(txtMeridian->Text());
    const auto easting = files::parameterOf(txtEasting->Text());
    const auto northing = files::parameterOf(txtNorthing->Text());
    const auto scale = files::parameterOf(txtScale->Text());
    const auto shift = files::datumShiftOf(txtShift->Text());
    if (!meridian || !easting || !northing || !scale || *scale <= 0 || !shift ||
        *meridian < -180 || *meridian > 180) {
        lblMessage->setCaption(kBadParameter);
        return;
    }
    files::LocalZone zone;
    zone.centralMeridian = *meridian;
    zone.falseEasting = *easting;
    zone.falseNorthing = *northing;
    zone.scale = *scale;
    zone.ellipsoid = files::ZoneEllipsoid(std::clamp(cmbEllipsoid->combo()->currentIndex(), 0, kEllipsoids - 1));
    zone.toWgs84 = *shift;
    lblMessage->setCaption(QString());
    emit systemChosen(files::localZoneDefinition(zone),
                      QStringLiteral("местная зона, осевой меридиан %1° (приближённо)")
                          .arg(txtMeridian->Text().trimmed()),
                      true);
}

} // namespace tarvel::settings_windows
