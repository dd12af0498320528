#include "settings_windows/frm_podsk1.h"
#include "platform/controls/keyboard.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPainter>

namespace tarvel::settings_windows {

namespace {

constexpr double kTwips = platform::kTwipsPerPixel;

// The values shown in the picture: a plain polygon of twenty corners.
constexpr double kSampleX[20] = {26,  26,  6,   6,   96,  101, 106, 114, 118, 126,
                                 176, 176, 140, 140, 176, 176, 96,  96,  76,  76};
constexpr double kSampleY[20] = {30, 5,  5,  90, 90, 110, 90, 90, 110, 90,
                                 90, 70, 70, 50, 50, 30,  30, 5,  5,   30};

QString twoDecimals(double v) {
    return QString::number(v, 'f', 2).replace(QLatin1Char('.'), QLatin1Char(','));
}

} // namespace

QPixmap FrmPodsk1::worksheetPicture() {
    constexpr int kRowHeader = 28;
    constexpr int kColumn = 64;
    constexpr int kColumns = 3; // A, B and an empty C, as a worksheet shows them
    constexpr int kRow = 15;
    constexpr int kRows = 20;
    const int width = kRowHeader + kColumns * kColumn + 1;
    const int height = (kRows + 1) * kRow + 1;

    QPixmap pm(width, height);
    pm.fill(Qt::white);
    QPainter p(&pm);
    QFont font = platform::defaultFont(8);
    p.setFont(font);

    const QColor headerFill(0xE8, 0xE8, 0xE8);
    const QColor gridColour(0xC8, 0xC8, 0xC8);
    p.fillRect(0, 0, width, kRow, headerFill);
    p.fillRect(0, 0, kRowHeader, height, headerFill);

    p.setPen(gridColour);
    for (int r = 0; r <= kRows + 1; ++r)
        p.drawLine(0, r * kRow, width - 1, r * kRow);
    p.drawLine(0, 0, 0, height - 1);
    for (int c = 0; c <= kColumns; ++c)
        p.drawLine(kRowHeader + c * kColumn, 0, kRowHeader + c * kColumn, height - 1);

    p.setPen(Qt::black);
    for (int c = 0; c < kColumns; ++c)
        p.drawText(QRect(kRowHeader + c * kColumn, 0, kColumn, kRow), Qt::AlignCenter,
                   QString(QChar(u'A' + c)));
    for (int r = 1; r <= kRows; ++r) {
        const int top = r * kRow;
        p.drawText(QRect(0, top, kRowHeader, kRow), Qt::AlignCenter, QString::number(r));
        const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
        p.drawText(QRect(kRowHeader, top, kColumn - 4, kRow), right, twoDecimals(kSampleX[r - 1]));
        p.drawText(QRect(kRowHeader + kColumn, top, kColumn - 4, kRow), right,
                   twoDecimals(kSampleY[r - 1]));
    }
    return pm;
}

FrmPodsk1::FrmPodsk1(QWidget *owner) : QWidget(owner, Qt::Window) {
    setWindowTitle(QStringLiteral("Подсказка"));
    platform::closeOnEscape(*this);

    Label1 = std::make_unique<platform::Label>(this, false);
    Label1->move(180, 120, 4620, 765);
    Label1->setWordWrap(true);
    Label1->setCaption(QStringLiteral("Импорт координат из Excel осуществляется из ячеек:\n"
                                      "A1 - A20 - это координаты X1 - X20\n"
                                      "B1 - B20 - это координаты Y1 - Y20"));

    const QPixmap picture = worksheetPicture();
    const double pictureWidth = picture.width() * kTwips;
    const double pictureHeight = picture.height() * kTwips;
    Picture1 = std::make_unique<platform::Label>(this, false);
    Picture1->move(180, 960, pictureWidth, pictureHeight);
    Picture1->label()->setPixmap(picture);

    Ch1 = std::make_unique<platform::CheckBox>(this);
    Ch1->move(180, 960 + pictureHeight + 120, 4620, 285);
    Ch1->setCaption(QStringLiteral("Больше не выводить это сообщение"));

    platform::setFixedWindowSize(*this, int(4980 / kTwips),
                                 int((960 + pictureHeight + 120 + 285 + 180) / kTwips));
}

FrmPodsk1::~FrmPodsk1() = default;

void FrmPodsk1::closeEvent(QCloseEvent *event) {
    // Hidden first, so that the file dialog of the import does not open
    // over the hint.
    hide();
    event->accept();
    emit closed(Ch1->Value() == 1);
}

} // namespace tarvel::settings_windows
