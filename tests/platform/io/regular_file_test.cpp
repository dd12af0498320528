#include "platform/io/regular_file.h"

#include "support/pipe_rescuer.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

using tarvel::platform::isRegularFile;
using tarvel::platform::readRegularFile;
using tarvel::testing::makeFifo;
using tarvel::testing::PipeRescuer;

namespace {

bool putFile(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

TEST(RegularFile, ReadsOnlyRegularFilesWithinTheLimit) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray ten = "0123456789";
    ASSERT_TRUE(putFile(dir.filePath("ten"), ten));
    ASSERT_TRUE(putFile(dir.filePath("empty"), {}));
    ASSERT_TRUE(makeFifo(dir.filePath("pipe")));
    ASSERT_TRUE(QFile::link(dir.filePath("ten"), dir.filePath("link to ten")));
    ASSERT_TRUE(QFile::link(dir.filePath("pipe"), dir.filePath("link to pipe")));
    const struct {
        const char *name;
        qint64 limit;
        std::optional<QByteArray> expected;
        bool regular;
    } cases[] = {
        {"ten", 10, ten, true},
        {"ten", 100, ten, true},
        {"ten", 9, std::nullopt, true}, // over the limit
        {"empty", 0, QByteArray(), true},
        {"link to ten", 10, ten, true},
        {"missing", 10, std::nullopt, false},
        {"", 10, std::nullopt, false}, // the folder itself
        {"pipe", 10, std::nullopt, false},
        {"link to pipe", 10, std::nullopt, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QString::fromUtf8(c.name));
        const PipeRescuer rescuer(dir.filePath("pipe"));
        EXPECT_EQ(readRegularFile(path, c.limit), c.expected);
        EXPECT_EQ(isRegularFile(path), c.regular);
        EXPECT_FALSE(rescuer.rescued()) << "waited on the pipe";
    }
    // A device is no regular file, and one without end is never read.
    EXPECT_FALSE(readRegularFile(QStringLiteral("/dev/zero"), 1 << 20));
    EXPECT_FALSE(isRegularFile(QStringLiteral("/dev/null")));
    EXPECT_FALSE(isRegularFile(QString()));
}
