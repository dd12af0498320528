// "Система координат": the coordinate system of the plot's coordinates,
// picked from the known ones or given as a local zone's parameters (marked
// approximate). A window of its own over the main window; "Применить" hands
// the choice back by systemChosen, and the window stays for another try.
#pragma once

#include "files/coordinate_systems.h"
#include "geometry/polygon_state.h"
#include "platform/controls/controls.h"

#include <QWidget>

#include <memory>

namespace tarvel::settings_windows {

class FrmSystem : public QWidget {
    Q_OBJECT
public:
    // Shows `current` (the plot's system) as the choice to start from.
    FrmSystem(QWidget *owner, const geometry::PlotInfo &current);
    ~FrmSystem() override;

    // The first item: the plot has no known system.
    static const QString kNoSystemItem;
    // The last item: a local zone given by its parameters.
    static const QString kLocalZoneItem;
    // Said when a parameter of the local zone is no number.
    static const QString kBadParameter;

    std::unique_ptr<platform::Label> lblSystem, lblMeridian, lblEasting, lblNorthing, lblScale,
        lblEllipsoid, lblShift, lblMessage;
    std::unique_ptr<platform::ComboBox> cmbSystem, cmbEllipsoid;
    std::unique_ptr<platform::TextBox> txtMeridian, txtEasting, txtNorthing, txtScale, txtShift;
    std::unique_ptr<platform::Button> cmdApply, cmdClose;

signals:
    // The system chosen: its definition for PROJ (empty: none), the name
    // the sheet shows, and whether it is approximate.
    void systemChosen(const QString &definition, const QString &name, bool approximate);

private:
    void cmbSystem_Click();
    void cmdApply_Click();
    // The local zone's fields are for the last item only.
    void showZoneFields();
    void applyChoice();
};

} // namespace tarvel::settings_windows
