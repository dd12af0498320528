// The second yardstick for the program's start-up: a plain Qt Widgets
// program with the controls of the main window, written the obvious way —
// Qt's own widgets placed with setGeometry, no control layer, no settings,
// no translator, no file-type association, nothing computed. Whatever the
// program spends at start beyond this is the price of its own machinery,
// not of the widgets it shows.
//
// It shows, at the main window's size (1071 x 701 pixels below a menu bar):
//   46 QLineEdits, 165 QLabels, 15 QPushButtons (four with a drawn arrow),
//   4 QComboBoxes (one editable) with their items,
//   a menu bar with the four menus of the program and their item captions
//   (and the corner menu the program keeps for its drawing),
//   a drawing widget that paints the grid, the axes, the ticks and the
//   default polygon, about 80 lines, in paintEvent.
// Which controls are hidden follows the program's window right after start
// with its default settings (the angles, the owner text's editor, the area
// in square kilometres, the measuring marks), so that both paint alike.
//
// With TARVEL_EXIT_AFTER_FIRST_PAINT set it reports its first painted frame
// through the same probe as the program and bare_qt, then ends.
#include "platform/services/first_paint_probe.h"

#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPolygonF>
#include <QPushButton>

#include <array>
#include <chrono>
#include <cmath>

namespace {

// The window is laid out in twips, 15 to a pixel at 96 dpi.
int px(double twips) {
    return int(std::lround(twips / 15.0));
}

constexpr double kOriginX = 3540, kOriginY = 10080; // the axes' crossing, twips
constexpr double kCm = 566.92;                      // twips in a centimetre
constexpr double kTwipsPerMetre = 56.692;           // at the scale of 10 m to a centimetre

constexpr std::array<double, 20> kX = {26,  26,  6,   6,   96,  101, 106, 114, 118, 126,
                                       176, 176, 140, 140, 176, 176, 96,  96,  76,  76};
constexpr std::array<double, 20> kY = {30, 5,  5,  90, 90, 110, 90, 90, 110, 90,
                                       90, 70, 70, 50, 50, 30,  30, 5,  5,   30};

QPointF cornerAt(int i) {
    return {(kOriginX + kTwipsPerMetre * kX[i]) / 15.0, (kOriginY - kTwipsPerMetre * kY[i]) / 15.0};
}

// The program's face: the same families, chosen from the installed ones the
// same way, so that both programs find and measure the same font and the
// comparison is one of windows, not of font fallback searches.
QFont programFont() {
    const QStringList installed = QFontDatabase::families();
    QStringList families;
    for (const char *name : {"MS Sans Serif", "Liberation Sans", "DejaVu Sans"})
        if (installed.contains(QString::fromLatin1(name), Qt::CaseInsensitive))
            families << QString::fromLatin1(name);
    families << QStringLiteral("Sans Serif");
    QFont f;
    f.setFamilies(families);
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(8);
    return f;
}

class Plot : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Button));
        // The centimetre grid: 21 vertical and 18 horizontal lines.
        p.setPen(QColor(Qt::black));
        for (int i = 0; i <= 20; ++i) {
            const double x = (kOriginX + i * kCm) / 15.0;
            p.drawLine(QPointF(x, 30), QPointF(x, kOriginY / 15.0));
        }
        for (int i = 0; i <= 17; ++i) {
            const double y = (kOriginY - i * kCm) / 15.0;
            p.drawLine(QPointF(kOriginX / 15.0, y), QPointF((kOriginX + 20 * kCm) / 15.0, y));
        }
        // The axes and a tick every 5 cm on each.
        p.drawLine(QPointF(kOriginX / 15.0, 32), QPointF(kOriginX / 15.0, kOriginY / 15.0));
        p.drawLine(QPointF(kOriginX / 15.0, kOriginY / 15.0), QPointF(1028, kOriginY / 15.0));
        for (int k = 1; k <= 4; ++k) {
            const double x = (kOriginX + k * 5 * kCm) / 15.0, y = (kOriginY - k * 5 * kCm) / 15.0;
            p.drawLine(QPointF(x, kOriginY / 15.0), QPointF(x, 684));
            p.drawLine(QPointF(kOriginX / 15.0, y), QPointF(224, y));
        }
        // The polygon.
        p.setPen(QColor(Qt::red));
        for (int i = 0; i < 20; ++i)
            p.drawLine(cornerAt(i), cornerAt((i + 1) % 20));
    }
};

QPixmap arrow(int degrees) {
    QPixmap pm(11, 11);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(5.5, 5.5);
    p.rotate(degrees);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 128));
    p.drawPolygon(QPolygonF({QPointF(0, -5), QPointF(5, 1), QPointF(2, 1), QPointF(2, 5),
                             QPointF(-2, 5), QPointF(-2, 1), QPointF(-5, 1)}));
    return pm;
}

} // namespace

int main(int argc, char *argv[]) {
    const auto started = std::chrono::steady_clock::now();
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Тарвел 3.0"));
    auto *plot = new Plot;
    plot->setFixedSize(1071, 701);
    plot->setFont(programFont());
    window.setCentralWidget(plot);

    // A label sized to its caption, as a label whose size follows its text.
    auto label = [plot](double left, double top, const QString &caption, bool shown = true) {
        auto *l = new QLabel(caption, plot);
        l->setTextFormat(Qt::PlainText);
        l->setGeometry(QRect(QPoint(px(left), px(top)), l->sizeHint()));
        l->setVisible(shown);
        return l;
    };
    auto coloured = [](QWidget *w, QPalette::ColorRole role, QColor colour) {
        QPalette pal = w->palette();
        pal.setColor(role, colour);
        w->setPalette(pal);
    };
    auto edit = [plot](double left, double top, double width, double height, const QString &text,
                       bool shown = true) {
        auto *e = new QLineEdit(text, plot);
        e->setGeometry(px(left), px(top), px(width), px(height));
        e->setVisible(shown);
        return e;
    };
    auto button = [plot](double left, double top, double width, double height,
                         const QString &caption) {
        auto *b = new QPushButton(caption, plot);
        b->setGeometry(px(left), px(top), px(width), px(height));
        return b;
    };
    auto combo = [plot](double left, double top, double width, double height,
                        const QStringList &items, bool editable = false) {
        auto *c = new QComboBox(plot);
        c->setEditable(editable);
        c->addItems(items);
        c->setGeometry(px(left), px(top), px(width), px(height));
        return c;
    };

    // The drawing's labels: the scale numbers and the axis names.
    for (int k = 1; k <= 4; ++k) {
        const QString scale = QString::number(k * 50);
        label(kOriginX + k * 5 * kCm - 100, 10290, scale);
        auto *y = label(0, kOriginY - k * 5 * kCm - 200, scale);
        y->move(px(3330) - y->width(), y->y());
    }
    label(15720, 9960, QStringLiteral("X"));
    label(3450, 120, QStringLiteral("Y"));

    // At every corner its number, the length of the side that starts there
    // and a small square to drag it by; its angle is hidden at start.
    for (int i = 0; i < 20; ++i) {
        const QPointF c = cornerAt(i), next = cornerAt((i + 1) % 20);
        const double length = std::hypot(kX[(i + 1) % 20] - kX[i], kY[(i + 1) % 20] - kY[i]);
        const QPointF mid = (c + next) / 2;
        label(mid.x() * 15, mid.y() * 15,
              QString::number(std::round(length * 100) / 100, 'g', 8).replace(u'.', u','));
        auto *number = label(c.x() * 15 + 50, c.y() * 15 + 50, QString::number(i + 1));
        coloured(number, QPalette::WindowText, Qt::blue);
        auto *angle = label(c.x() * 15, c.y() * 15, QString::number(i + 1), false);
        coloured(angle, QPalette::WindowText, QColor(0xC0, 0, 0xC0));
        auto *square = new QLabel(plot);
        square->setGeometry(int(c.x()) - 2, int(c.y()) - 2, 5, 5);
        square->setAutoFillBackground(true);
        coloured(square, QPalette::Window, Qt::black);
        (new QLabel(plot))->hide(); // the window keeps one more, hidden, per corner
    }
    auto *ruler = label(0, 0, QString(), false);
    coloured(ruler, QPalette::WindowText, QColor(0, 0x80, 0));
    label(0, 0, QStringLiteral("A1"), false);
    label(0, 0, QStringLiteral("A2"), false);

    auto *owner = new QLabel(QStringLiteral("Сюда можно ввести информацию о собственнике. Кликните "
                                            "мышкой чтобы отредактировать надпись"),
                             plot);
    owner->setGeometry(px(3900), 0, px(12180), px(300));
    owner->setAlignment(Qt::AlignCenter);
    edit(12600, 540, 375, 375, QString(), false);

    // The table and the tools on the left.
    label(300, 60, QStringLiteral("Количество углов"));
    edit(1860, 60, 315, 255, QStringLiteral("20"));
    button(2220, 60, 315, 255, QStringLiteral("-"));
    button(2520, 60, 315, 255, QStringLiteral("+"));
    label(120, 420, QStringLiteral("Единица измерения"));
    auto *unit = combo(1860, 420, 975, 315, {QStringLiteral("М"), QStringLiteral("КМ")});
    unit->setCurrentIndex(0);
    label(300, 780, QStringLiteral("Координаты углов многоугольника"));
    coloured(button(60, 1020, 315, 255, QStringLiteral("N")), QPalette::Button, QColor(0, 0xC0, 0));
    button(660, 1080, 315, 255, QStringLiteral("-"));
    button(960, 1080, 315, 255, QStringLiteral("+"));
    button(2100, 1080, 315, 255, QStringLiteral("-"));
    button(2400, 1080, 315, 255, QStringLiteral("+"));
    button(3000, 1080, 315, 255, QStringLiteral("Х"));
    for (int i = 1; i <= 20; ++i) {
        const double top = 1320 + 300.0 * (i - 1);
        label(i >= 10 ? 120 : 180, top + 60, QStringLiteral("X%1").arg(i));
        edit(480, top, 975, 315, QString::number(kX[i - 1], 'f', 2).replace(u'.', u','));
        label(i >= 10 ? 1560 : 1620, top + 60, QStringLiteral("Y%1").arg(i));
        edit(1920, top, 975, 315, QString::number(kY[i - 1], 'f', 2).replace(u'.', u','));
    }
    label(0, 7740, QStringLiteral("Шаг, М"));
    edit(720, 7680, 615, 315, QStringLiteral("1"));
    button(1350, 7590, 315, 240, QStringLiteral("+"));
    button(1350, 7830, 315, 240, QStringLiteral("-"));
    const struct {
        double left, top;
        int degrees;
    } arrows[] = {{2580, 7470, 0}, {2325, 7710, 270}, {2835, 7710, 90}, {2580, 7950, 180}};
    for (const auto &a : arrows) {
        auto *b = button(a.left, a.top, 255, 240, QString());
        b->setIcon(QIcon(arrow(a.degrees)));
        b->setIconSize(QSize(11, 11));
    }
    label(360, 8220, QStringLiteral("Измерить расстояние между углом"));
    QStringList corners;
    for (int i = 1; i <= 20; ++i)
        corners << QString::number(i);
    // No corner chosen yet in either list.
    combo(600, 8520, 645, 315, corners)->setCurrentIndex(-1);
    label(1320, 8580, QStringLiteral("И"));
    combo(1500, 8520, 645, 315, corners)->setCurrentIndex(-1);
    button(2460, 8520, 615, 315, QStringLiteral("Сброс"));
    label(660, 9090, QStringLiteral("Масштаб:  В 1 см "));
    auto *scale = combo(2040, 9000, 1050, 315,
                        {"1", "2", "5", "10", "20", "25", "50", "100", "200", "400", "500", "1000",
                         "1500", "2000", "3000", "5000", "10000"},
                        true);
    scale->setEditText(QStringLiteral("10"));
    edit(2040, 9000, 795, 315, QStringLiteral("10"));
    label(3180, 9060, QStringLiteral("М"));
    label(240, 9480, QStringLiteral("Площадь"));
    edit(1020, 9450, 1905, 315, QStringLiteral("10 700,00"));
    label(3000, 9540, QStringLiteral("Кв М"));
    edit(1020, 9840, 1905, 315, QString(), false);
    label(3000, 9900, QStringLiteral("Кв КМ"), false);

    // The menus with the program's captions.
    QMenuBar *bar = window.menuBar();
    auto fill = [](QMenu *menu, std::initializer_list<const char *> items) {
        for (const char *item : items) {
            if (*item)
                menu->addAction(QString::fromUtf8(item));
            else
                menu->addSeparator();
        }
    };
    fill(bar->addMenu(QStringLiteral("Файл")),
         {"Открыть", "Сохранить как...", "Экспорт координат в Excel", "Импорт координат из Excel",
          "", "Печать", "", "Выход"});
    fill(bar->addMenu(QStringLiteral("Инструменты")),
         {"Калькулятор", "", "Загрузить фоновый рисунок", "Отобразить фоновый рисунок",
          "Скрыть фоновый рисунок", "", "Передвинуть в начало координат", "Зеркально перевернуть",
          "Повернуть на 90 гр. по часовой стрелке", "Повернуть на 90 гр. против часовой стрелки",
          "", "Ввод географических координат (град мин сек)",
          "Ввод географических координат (град)"});
    fill(bar->addMenu(QStringLiteral("Настройки")),
         {"Путь к папке с файлами", "Графика", "Выводить подсказки"});
    fill(bar->addMenu(QStringLiteral("Помощь")), {"Краткая справка", "О программе"});
    auto *cornerMenu = new QMenu(QStringLiteral("Угол"), &window);
    fill(cornerMenu, {"Вставить угол", "Удалить угол"});

    tarvel::platform::FirstPaintProbe probe(window, started);
    if (qEnvironmentVariableIsSet("TARVEL_EXIT_AFTER_FIRST_PAINT")) app.installEventFilter(&probe);

    window.show();
    return QApplication::exec();
}
