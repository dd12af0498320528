#include "platform/controls/keyboard.h"

#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>

namespace tarvel::platform {

namespace {

// Position in `caption` of its marker's letter ("&&" is a literal), or -1.
qsizetype markerAt(const QString &caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&')) continue;
        if (caption[i + 1] == QLatin1Char('&')) {
            ++i;
            continue;
        }
        return i + 1;
    }
    return -1;
}

QString escaped(const QString &caption) {
    QString s = caption;
    return s.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

QString withMnemonic(const QString &caption, QSet<QChar> &taken) {
    if (const qsizetype at = markerAt(caption); at >= 0) {
        taken.insert(caption[at].toLower());
        return caption;
    }
    const QString shown = shownCaption(caption);
    const auto freeLetter = [&](qsizetype i) {
        return shown[i].isLetter() && !taken.contains(shown[i].toLower());
    };
    qsizetype chosen = -1;
    for (qsizetype i = 0; i < shown.size() && chosen < 0; ++i) {
        const bool wordStart = i == 0 || !shown[i - 1].isLetterOrNumber();
        if (wordStart && freeLetter(i)) chosen = i;
    }
    for (qsizetype i = 0; i < shown.size() && chosen < 0; ++i)
        if (freeLetter(i)) chosen = i;
    if (chosen < 0) return caption;
    taken.insert(shown[chosen].toLower());
    return escaped(shown.left(chosen)) + QLatin1Char('&') + escaped(shown.mid(chosen));
}

QString shownCaption(const QString &text) {
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) ++i;
        shown += text[i];
    }
    return shown;
}

void addMnemonics(QMenu &menu) {
    QSet<QChar> taken;
    // Captions that bring their own mnemonic keep it: their letters go first.
    for (QAction *a : menu.actions())
        if (!a->isSeparator() && markerAt(a->text()) >= 0) withMnemonic(a->text(), taken);
    for (QAction *a : menu.actions()) {
        if (a->isSeparator()) continue;
        a->setText(withMnemonic(a->text(), taken));
        if (QMenu *sub = a->menu()) addMnemonics(*sub);
    }
}

void addMnemonics(QMenuBar &bar) {
    QSet<QChar> taken;
    for (QAction *a : bar.actions()) {
        a->setText(withMnemonic(a->text(), taken));
        // A menu's items take theirs when it first opens, the only place
        // where they work: a start need not spend on some fifty captions.
        if (QMenu *menu = a->menu())
            QObject::connect(
                menu, &QMenu::aboutToShow, menu, [menu] { addMnemonics(*menu); },
                Qt::SingleShotConnection);
    }
}

void openMenuBarOnF10(QMainWindow &window) {
    auto *key = new QShortcut(QKeySequence(Qt::Key_F10), &window);
    key->setContext(Qt::WindowShortcut);
    QObject::connect(key, &QShortcut::activated, &window, [&window] {
        QMenuBar *bar = window.menuBar();
        for (QAction *a : bar->actions()) {
            if (!a->isVisible() || !a->isEnabled()) continue;
            bar->setFocus(Qt::MenuBarFocusReason);
            bar->setActiveAction(a);
            return;
        }
    });
}

void closeOnEscape(QWidget &window) {
    auto *key = new QShortcut(QKeySequence(Qt::Key_Escape), &window);
    key->setContext(Qt::WindowShortcut);
    QObject::connect(key, &QShortcut::activated, &window, [&window] { window.close(); });
}

} // namespace tarvel::platform
