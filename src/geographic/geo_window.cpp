#include "geographic/geo_window.h"

#include "files/settings.h"
#include "geographic/ellipsoid.h"
#include "geometry/numtext.h"
#include "platform/controls/colours.h"
#include "platform/controls/window_place.h"
#include "platform/controls/coordinate_field.h"
#include "platform/controls/keyboard.h"

#include <QCloseEvent>

#include <algorithm>

namespace tarvel::geographic {

using platform::Button;
using platform::Label;
using platform::TextBox;

const QString GeoWindow::kCaption = QStringLiteral("Географич. коор-ты ");

const QString GeoWindow::kHelpText =
    QStringLiteral("Перевод из географических координат в прямоугольные в программе производится "
                   "по упрощенной формуле:\r\n"
                   "X = (111111.111111111 * долгота * Cos(широта / 57.2957795130823)) \r\n"
                   "Y = (111111.111111111 * широта) \r\n"
                   "с последующей привязкой к осям. Погрешность составляет около 1%");

const QString GeoWindow::kExactCaption = QStringLiteral("Точный пересчёт (эллипсоид WGS 84)");
const QString GeoWindow::kCountRange = QStringLiteral("Количество углов — от 3 до 20");

const QString GeoWindow::kExactRefused =
    QStringLiteral("Точный пересчёт невозможен: широта угла больше 90° или углы отстоят от "
                   "середины участка по долготе больше чем на 30°.");

namespace {

constexpr std::uint32_t kYellow = 0xFFFF;

// The layout is drawn in pixels and handed to the controls in twips.
constexpr double tw(int pixels) {
    return pixels * platform::kTwipsPerPixel;
}

constexpr int kRowTop = 100;  // top of row 1
constexpr int kRowPitch = 24; // rows stacked at this distance
constexpr int kRowHeight = 21;
constexpr int kWindowWidth = 330;

constexpr int windowHeight(int rows) {
    return kRowTop + rows * kRowPitch + 6;
}

int rowTop(int i) {
    return kRowTop + (i - 1) * kRowPitch;
}

struct Column {
    Field field;
    int left;
    int width;
    const char *heading;
};

// Field columns of each kind, left to right: the latitude block, then the
// longitude block.
const std::vector<Column> &columnsOf(GeoKind kind) {
    static const std::vector<Column> dms = {
        {Field::txtShG, 36, 30, "гр."},   {Field::txtShM, 70, 30, "мин."},
        {Field::txtShS, 104, 50, "сек."}, {Field::txtDG, 198, 34, "гр."},
        {Field::txtDM, 236, 30, "мин."},  {Field::txtDS, 270, 50, "сек."},
    };
    static const std::vector<Column> decimal = {
        {Field::txtShG, 36, 110, "градусы"},
        {Field::txtDG, 188, 110, "градусы"},
    };
    return kind == GeoKind::DegreesMinutesSeconds ? dms : decimal;
}

// Row captions stand just left of each block's first field.
int latCaptionLeft() {
    return 8;
}
int lonCaptionLeft(GeoKind kind) {
    return kind == GeoKind::DegreesMinutesSeconds ? 170 : 160;
}

// Design-time texts: rows 1-4 describe a rectangle of about 20 m by 20 m,
// what the user sees before anything has been stored.
QString designText(GeoKind kind, Field f, int i) {
    if (kind == GeoKind::DecimalDegrees) {
        if (f == Field::txtShG)
            return i == 2 || i == 3 ? QStringLiteral("55,605 181") : QStringLiteral("55,605 000");
        return i == 3 || i == 4 ? QStringLiteral("37,596 706") : QStringLiteral("37,596 389");
    }
    switch (f) {
    case Field::txtShG:
        return QStringLiteral("55");
    case Field::txtShM:
        return QStringLiteral("36");
    case Field::txtShS:
        if (i == 1 || i == 4) return QStringLiteral("18,00");
        if (i == 2 || i == 3) return QStringLiteral("18,65");
        return QStringLiteral("56,08");
    case Field::txtDG:
        return QStringLiteral("37");
    case Field::txtDM:
        return QStringLiteral("35");
    case Field::txtDS:
        if (i <= 2) return QStringLiteral("47,00");
        if (i <= 4) return QStringLiteral("48,14");
        return QStringLiteral("47,08");
    }
    return {};
}

} // namespace

GeoWindow::GeoWindow(QWidget *owner, platform::Services &services, const files::Settings &settings,
                     GeoKind kind)
    // A tool window of the main window: it stays above it while the user
    // goes between the two.
    : QWidget(owner, Qt::Tool), services_(services), settings_(settings), kind_(kind) {
    for (const Column &c : columnsOf(kind_))
        fields_.push_back(c.field);
    setWindowTitle(kCaption);
    platform::closeOnEscape(*this);
    setFont(platform::defaultFont());
    platform::setFixedWindowSize(*this, kWindowWidth, windowHeight(kMaxRows));
    buildControls();
    wireEvents();
}

GeoWindow::~GeoWindow() = default;

GeoWindow::RowArray<TextBox> &GeoWindow::array(Field f) {
    switch (f) {
    case Field::txtShG:
        return txtShG;
    case Field::txtShM:
        return txtShM;
    case Field::txtShS:
        return txtShS;
    case Field::txtDG:
        return txtDG;
    case Field::txtDM:
        return txtDM;
    case Field::txtDS:
        return txtDS;
    }
    return txtShG;
}

QString GeoWindow::section(Field f) const {
    static const char *const names[] = {"txtShG", "txtShM", "txtShS", "txtDG", "txtDM", "txtDS"};
    QString name = QString::fromLatin1(names[int(f)]);
    // The decimal-degree window keeps its texts apart from the other one's.
    if (kind_ == GeoKind::DecimalDegrees) name += QLatin1Char('2');
    return name;
}

QString GeoWindow::exactKey() const {
    return kind_ == GeoKind::DecimalDegrees ? QStringLiteral("GK1Exact")
                                            : QStringLiteral("GKExact");
}

FieldRule GeoWindow::ruleOf(Field f) const {
    if (kind_ == GeoKind::DecimalDegrees)
        return f == Field::txtShG ? FieldRule::LatDecimal : FieldRule::LonDecimal;
    switch (f) {
    case Field::txtShG:
        return FieldRule::LatDegrees;
    case Field::txtShM:
        return FieldRule::LatMinutes;
    case Field::txtShS:
        return FieldRule::LatSeconds;
    case Field::txtDG:
        return FieldRule::LonDegrees;
    case Field::txtDM:
        return FieldRule::LonMinutes;
    case Field::txtDS:
        return FieldRule::LonSeconds;
    }
    return FieldRule::LatDegrees;
}

void GeoWindow::buildControls() {
    auto label = [this](int left, int top, const QString &caption) {
        auto l = std::make_unique<Label>(this, true);
        l->move(tw(left), tw(top));
        l->setCaption(caption);
        return l;
    };
    auto button = [this](int left, int width, const QString &caption) {
        auto b = std::make_unique<Button>(this);
        b->move(tw(left), tw(8), tw(width), tw(23));
        b->setCaption(caption);
        return b;
    };

    Label1 = label(8, 12, QStringLiteral("Количество углов"));
    Text1 = std::make_unique<TextBox>(this);
    Text1->move(tw(112), tw(9), tw(30), tw(kRowHeight));
    Text1->setText(QStringLiteral("20"));
    Command3 = button(146, 22, QStringLiteral("-"));
    Command2 = button(170, 22, QStringLiteral("+"));
    CmdVnesty = button(198, 62, QStringLiteral("Ввести"));
    Cmd1 = button(264, 22, QStringLiteral("?"));
    CmdClear = button(298, 22, QStringLiteral("Х"));
    chkExact = std::make_unique<platform::CheckBox>(this);
    chkExact->move(tw(8), tw(36), tw(kWindowWidth - 16), tw(kRowHeight));
    chkExact->setCaption(kExactCaption);
    Command3->widget()->setToolTip(QStringLiteral("Уменьшить количество углов на один"));
    Command2->widget()->setToolTip(QStringLiteral("Увеличить количество углов на один"));
    Cmd1->widget()->setToolTip(QStringLiteral("Справка: как пересчитываются координаты"));
    CmdClear->widget()->setToolTip(QStringLiteral("Очистить все поля с координатами"));

    const std::vector<Column> &columns = columnsOf(kind_);
    LblHeadY = label(columns.front().left, 62, QStringLiteral("Северная широта (Y)"));
    const auto lon = std::find_if(columns.begin(), columns.end(),
                                  [](const Column &c) { return c.field == Field::txtDG; });
    LblHeadX = label(lon->left, 62, QStringLiteral("Восточная долгота (X)"));
    for (const Column &c : columns)
        columnHeadings.push_back(label(c.left, 81, QString::fromUtf8(c.heading)));

    for (int i = 1; i <= kMaxRows; ++i) {
        LblY[i] = label(latCaptionLeft(), rowTop(i) + 3, QStringLiteral("Y%1").arg(i));
        LblX[i] = label(lonCaptionLeft(kind_), rowTop(i) + 3, QStringLiteral("X%1").arg(i));
        for (const Column &c : columns) {
            auto t = std::make_unique<TextBox>(this);
            t->move(tw(c.left), tw(rowTop(i)), tw(c.width), tw(kRowHeight));
            t->setText(designText(kind_, c.field, i));
            array(c.field)[i] = std::move(t);
        }
    }
}

void GeoWindow::wireEvents() {
    Text1->Change = [this] { Text1_Change(); };
    Text1->LostFocus = [this] { takeTypedCount(); };
    Text1->KeyDown = [this](int keyCode, int) {
        if (keyCode == platform::kKeyReturn) takeTypedCount();
    };
    Command2->Click = [this] { Command2_Click(); };
    Command3->Click = [this] { Command3_Click(); };
    CmdVnesty->Click = [this] { CmdVnesty_Click(); };
    Cmd1->Click = [this] { Cmd1_Click(); };
    CmdClear->Click = [this] { CmdClear_Click(); };
    for (const Field f : fields_) {
        for (int i = 1; i <= kMaxRows; ++i) {
            TextBox &t = *array(f)[i];
            t.Change = [this, f, i] { field_Change(f, i); };
            t.GotFocus = [this, f, i] { field_GotFocus(f, i); };
            t.LostFocus = [this, f, i] { field_LostFocus(f, i); };
            t.KeyDown = [this, f, i](int keyCode, int) { field_KeyDown(f, i, keyCode); };
        }
    }
}

void GeoWindow::showRows(int n) {
    for (int i = 1; i <= kMaxRows; ++i) {
        const bool shown = i <= n;
        for (const Field f : fields_)
            array(f)[i]->setVisible(shown);
        LblY[i]->setVisible(shown);
        LblX[i]->setVisible(shown);
    }
    // The window ends below the last row in use: it grows and shrinks at
    // its bottom, its top stays where it is, and all of it stays on the
    // screen, so that "+" stays under the pointer.
    const QPoint top = pos();
    platform::setFixedWindowSize(*this, kWindowWidth, windowHeight(n));
    if (isVisible()) {
        move(top);
        keepOnScreen();
    }
}

void GeoWindow::keepOnScreen() {
    platform::keepWithin(*this, services_.screen.availableArea());
}

void GeoWindow::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    keepOnScreen();
}

// ---------------------------------------------------------------- lifecycle

void GeoWindow::Form_Load(int mainCornerCount) {
    loaded_ = true;
    // The window starts with as many rows as the main polygon has corners.
    const int n = std::clamp<int>(mainCornerCount, kMinRows, kMaxRows);
    Text1->setText(QString::number(n));
    platform::SettingsStore &store = services_.settings;
    for (int i = 1; i <= kMaxRows; ++i) {
        for (const Field f : fields_) {
            TextBox &t = *array(f)[i];
            t.setText(store.read(section(f), QString::number(i), t.Text()));
        }
    }
    // Anything but a stored 1 leaves the simple conversion, the default.
    chkExact->setValue(
        store.read(files::kTunes, exactKey(), QStringLiteral("0")) == QStringLiteral("1") ? 1 : 0);
    showRows(rowCount_);
}

void GeoWindow::Form_Unload() {
    // A window unloaded once is dead; it must not write its texts over those
    // a newer window stored since.
    if (!loaded_) return;
    Text1_Change();
    platform::SettingsStore &store = services_.settings;
    for (int i = 1; i <= kMaxRows; ++i) {
        for (const Field f : fields_)
            store.write(section(f), QString::number(i), array(f)[i]->Text());
    }
    store.write(files::kTunes, exactKey(), files::flagText(std::int16_t(chkExact->Value())));
    loaded_ = false;
}

void GeoWindow::unload() {
    Form_Unload();
    hide();
}

void GeoWindow::closeEvent(QCloseEvent *event) {
    Form_Unload();
    event->accept();
}

// ---------------------------------------------------------------- top bar

void GeoWindow::Text1_Change() {
    // A count in range is taken as it is typed; anything else waits for the
    // field to be left.
    const auto n = geometry::textToInt16(Text1->Text());
    if (!n || *n < kMinRows || *n > kMaxRows || *n == rowCount_) return;
    rowCount_ = *n;
    showRows(*n);
}

void GeoWindow::takeTypedCount() {
    const auto n = geometry::textToInt16(Text1->Text());
    if (n && *n >= kMinRows && *n <= kMaxRows) return;
    // The field shows the rows in use again before the message takes the
    // focus (and leaves the field once more).
    Text1->setText(QString::number(rowCount_));
    services_.messages.show(this, kCountRange, platform::MsgButtons::OK,
                            platform::MsgIcon::Exclamation, QStringLiteral("Ошибка"));
}

void GeoWindow::Command2_Click() {
    if (rowCount_ >= kMaxRows) return;
    Text1->setText(QString::number(rowCount_ + 1)); // its change shows the row
}

void GeoWindow::Command3_Click() {
    if (rowCount_ <= kMinRows) return;
    Text1->setText(QString::number(rowCount_ - 1));
}

void GeoWindow::CmdVnesty_Click() {
    VICHISLIT();
}

void GeoWindow::Cmd1_Click() {
    services_.messages.show(this, kHelpText, platform::MsgButtons::OK, platform::MsgIcon::None,
                            QStringLiteral("Справка."));
}

void GeoWindow::CmdClear_Click() {
    if (services_.messages.show(this, QStringLiteral("Очистить все поля с координатами?"),
                                platform::MsgButtons::YesNo, platform::MsgIcon::Question,
                                QStringLiteral("Подтвердите очистку.")) != platform::MsgResult::Yes)
        return;
    for (int i = 1; i <= kMaxRows; ++i) {
        for (const Field f : fields_)
            array(f)[i]->setText(QString());
    }
}

// ---------------------------------------------------------------- fields

void GeoWindow::field_Change(Field f, int i) {
    // Every field is a number field: a point left in one would make its text
    // no number at all, not a fraction.
    platform::normalizeDecimalPoint(*array(f)[i]);
}

void GeoWindow::field_GotFocus(Field f, int i) {
    CurrentRow = std::int16_t(i);
    PODKRAS();
    if (settings_.SelectOnFocus == 1) {
        TextBox &t = *array(f)[i];
        t.setSelStart(0);
        t.setSelLength(int(t.Text().size()));
    }
}

void GeoWindow::field_LostFocus(Field f, int i) {
    TextBox &t = *array(f)[i];
    t.setText(correctedFieldText(ruleOf(f), t.Text()));
}

void GeoWindow::field_KeyDown(Field f, int i, int keyCode) {
    if (i < 1 || i > kMaxRows) return;
    RowArray<TextBox> &column = array(f);
    if ((keyCode == platform::kKeyDown || keyCode == platform::kKeyReturn) && i < rowCount_)
        column[i + 1]->SetFocus();
    else if (keyCode == platform::kKeyUp && i > 1)
        column[i - 1]->SetFocus();
}

void GeoWindow::PODKRAS() {
    for (int i = 1; i <= rowCount_; ++i) {
        for (const Field f : fields_)
            array(f)[i]->setBackColor(platform::kSysWindowBackground);
    }
    if (CurrentRow >= 1 && CurrentRow <= kMaxRows) {
        for (const Field f : fields_)
            array(f)[CurrentRow]->setBackColor(kYellow);
    }
}

// ---------------------------------------------------------------- conversion

TextBox *GeoWindow::firstUnreadableField() {
    for (int i = 1; i <= rowCount_; ++i) {
        for (const Field f : fields_) {
            TextBox &t = *array(f)[i];
            if (!isReadable(ruleOf(f), t.Text())) return &t;
        }
    }
    return nullptr;
}

std::vector<GeoPoint> GeoWindow::readRows() {
    std::vector<GeoPoint> rows;
    for (int i = 1; i <= rowCount_; ++i) {
        GeoPoint p;
        if (kind_ == GeoKind::DegreesMinutesSeconds) {
            p.lat = dmsToDegrees(txtShG[i]->Text(), txtShM[i]->Text(), txtShS[i]->Text());
            p.lon = dmsToDegrees(txtDG[i]->Text(), txtDM[i]->Text(), txtDS[i]->Text());
        } else {
            p.lat = decimalDegrees(txtShG[i]->Text());
            p.lon = decimalDegrees(txtDG[i]->Text());
        }
        rows.push_back(p);
    }
    return rows;
}

void GeoWindow::VICHISLIT() {
    // A corner made up from a text that is no number would land far from the
    // others without a word; the user corrects the field instead.
    if (TextBox *field = firstUnreadableField()) {
        platform::showNotANumber(services_.messages, this);
        field->SetFocus();
        return;
    }
    const std::vector<GeoPoint> rows = readRows();
    if (chkExact->Value() == 0) {
        emit cornersEntered(bindToAxes(rows));
        return;
    }
    const std::optional<PlaneCorners> exact = bindToAxesExact(rows);
    if (!exact) {
        services_.messages.show(this, kExactRefused, platform::MsgButtons::OK,
                                platform::MsgIcon::Exclamation, QStringLiteral("Ошибка"));
        return;
    }
    emit cornersEntered(*exact);
}

} // namespace tarvel::geographic
