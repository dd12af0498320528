#include "platform/services/real_services.h"

#include <gtest/gtest.h>

using tarvel::platform::qtFilter;

// The dialogs' filters come in the "description|patterns|" form and reach
// Qt as "description (patterns)"; a description that names its patterns
// must not show them twice.
TEST(QtFilter, ShowsEveryPatternListOnce) {
    const struct {
        const char *pipe;
        const char *qt;
    } cases[] = {
        {"Файлы (*.squ)|*.squ|Все файлы(*.*)|*.*|", "Файлы (*.squ);;Все файлы(*.*)"},
        {"Файлы (*.xlsx;*.ods;*.csv;*.xls)|*.xlsx;*.ods;*.csv;*.xls|Все файлы(*.*)|*.*|",
         "Файлы (*.xlsx *.ods *.csv *.xls);;Все файлы(*.*)"},
        {"Файлы (*.xls)|*.xls|Все файлы(*.*)|*.*|", "Файлы (*.xls);;Все файлы(*.*)"},
        {"Рисунки|*.bmp;*.jpg|", "Рисунки (*.bmp *.jpg)"},
        // Brackets that name other patterns are part of the description.
        {"Старые (*.txt)|*.squ|", "Старые (*.txt) (*.squ)"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(qtFilter(QString::fromUtf8(c.pipe)).toStdString(), c.qt) << c.pipe;
}
