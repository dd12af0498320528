// Qt's own texts come in Russian once asked for, and not a byte of the
// translation file is read before that.
#include "platform/controls/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>

#include <gtest/gtest.h>

namespace tarvel::platform {
namespace {

// Installed for one test only: the application's translators are global.
class Installed {
public:
    explicit Installed(QtTranslationOnDemand &t) : t_(t) { t_.install(); }
    ~Installed() { QCoreApplication::removeTranslator(&t_); }
    Installed(const Installed &) = delete;
    Installed &operator=(const Installed &) = delete;

private:
    QtTranslationOnDemand &t_;
};

QString qtTranslations() {
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

TEST(QtTranslationOnDemand, NothingIsReadUntilQtAsksForAText) {
    QtTranslationOnDemand translation(QStringLiteral("qtbase_ru"), qtTranslations());
    Installed installed(translation);
    EXPECT_FALSE(translation.wasRead());
    EXPECT_FALSE(translation.isEmpty()); // else Qt would not count it as installed
    QCoreApplication::translate("QPlatformTheme", "Cancel");
    EXPECT_TRUE(translation.wasRead());
}

TEST(QtTranslationOnDemand, QtsOwnTextsComeInRussian) {
    QtTranslationOnDemand translation(QStringLiteral("qtbase_ru"), qtTranslations());
    Installed installed(translation);
    struct Row {
        const char *name, *context, *source, *russian;
    };
    const Row rows[] = {
        {"message box button", "QPlatformTheme", "Cancel", "Отмена"},
        {"yes button", "QPlatformTheme", "&Yes", "&Да"},
        {"field context menu", "QLineEdit", "&Copy", "&Копировать"},
        {"unknown text keeps its source", "QPlatformTheme", "no such text", "no such text"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(QCoreApplication::translate(row.context, row.source), QString::fromUtf8(row.russian))
            << row.name;
}

TEST(QtTranslationOnDemand, MissingFileLeavesQtsEnglishTexts) {
    QtTranslationOnDemand translation(QStringLiteral("qtbase_xx_missing"), qtTranslations());
    Installed installed(translation);
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    EXPECT_TRUE(translation.wasRead());
    EXPECT_TRUE(translation.isEmpty());
}

} // namespace
} // namespace tarvel::platform
