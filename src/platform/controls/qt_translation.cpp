#include "platform/controls/qt_translation.h"

#include <QGuiApplication>

#include <utility>

namespace tarvel::platform {

QtTranslationOnDemand::QtTranslationOnDemand(QString fileName, QString directory)
    : fileName_(std::move(fileName)), directory_(std::move(directory)) {}

void QtTranslationOnDemand::install() {
    QGuiApplication::setLayoutDirection(Qt::LeftToRight);
    QCoreApplication::installTranslator(this);
}

// A mutex rather than std::call_once, whose thread-local state would make
// the program link the dynamic loader itself.
void QtTranslationOnDemand::readOnce() const {
    if (read_.load(std::memory_order_acquire)) return;
    const std::lock_guard lock(reading_);
    if (read_.load(std::memory_order_relaxed)) return;
    found_ = file_.load(fileName_, directory_);
    read_.store(true, std::memory_order_release);
}

QString QtTranslationOnDemand::translate(const char *context, const char *sourceText,
                                         const char *disambiguation, int n) const {
    readOnce();
    return found_ ? file_.translate(context, sourceText, disambiguation, n) : QString();
}

bool QtTranslationOnDemand::isEmpty() const {
    return read_ && !found_;
}

} // namespace tarvel::platform
