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

void QtTranslationOnDemand::readOnce() const {
    std::call_once(once_, [this] {
        found_ = file_.load(fileName_, directory_);
        read_ = true;
    });
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
