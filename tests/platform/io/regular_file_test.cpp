#include "platform/io/regular_file.h"

#include "support/pipe_rescuer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include <sys/stat.h>
#include <unistd.h>

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

namespace {

// The name of a temporary file that a process of the program, now ended,
// left in `folder`.
QString leftBehind(const QString &folder) {
    QProcess helper;
    helper.start(QStringLiteral(TARVEL_SETTINGS_WRITER),
                 {QStringLiteral("--leave-temporary"), folder});
    if (!helper.waitForFinished() || helper.exitCode() != 0) return {};
    return QString::fromUtf8(helper.readAllStandardOutput()).trimmed();
}

} // namespace

// Only a file that is provably a leftover of the program's own is swept:
// the name, and the owner, the machine, the process and the kind of file.
TEST(RegularFile, SweepRemovesOnlyProvableLeftovers) {
    const bool root = ::geteuid() == 0;
    struct Row {
        const char *name;
        // Makes the file in the folder from a leftover's name; returns the
        // name to look at.
        std::function<QString(const QDir &, const QString &)> make;
        bool removed;
    };
    const auto rename = [](const QDir &d, const QString &from, const QString &to) {
        return QFile::rename(d.filePath(from), d.filePath(to)) ? to : QString();
    };
    const Row rows[] = {
        {"left by a process that has ended", [](const QDir &, const QString &n) { return n; },
         true},
        {"of this process, which still runs",
         [&](const QDir &d, const QString &n) {
             return rename(d, n,
                           n.section(u'.', 0, 2) + u'.' + QString::number(::getpid()) + u'.' +
                               n.section(u'.', 4));
         },
         false},
        {"of another machine",
         [&](const QDir &d, const QString &n) {
             const QString host = n.section(u'.', 2, 2) == "00000000" ? "00000001" : "00000000";
             return rename(d, n, n.section(u'.', 0, 1) + u'.' + host + u'.' + n.section(u'.', 3));
         },
         false},
        {"with a second name",
         [](const QDir &d, const QString &n) {
             return ::link(QFile::encodeName(d.filePath(n)).constData(),
                           QFile::encodeName(d.filePath("third")).constData()) == 0
                        ? n
                        : QString();
         },
         false},
        {"a symbolic link of that name",
         [](const QDir &d, const QString &n) {
             return QFile::remove(d.filePath(n)) && QFile::link(d.filePath("second"), d.filePath(n))
                        ? n
                        : QString();
         },
         false},
        {"given to another user (as root)",
         [&](const QDir &d, const QString &n) {
             return ::lchown(QFile::encodeName(d.filePath(n)).constData(), 4321, 4321) == 0
                        ? n
                        : QString();
         },
         false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        const QDir d(dir.path());
        ASSERT_TRUE(putFile(d.filePath("second"), "x"));
        const QString made = leftBehind(dir.path());
        ASSERT_FALSE(made.isEmpty());
        const QString name = row.make(d, made);
        // Only root may give a file away.
        if (name.isEmpty() && !root && QByteArray(row.name).contains("as root")) continue;
        ASSERT_FALSE(name.isEmpty());
        EXPECT_EQ(tarvel::platform::isOwnLeftover(dir.path(), name), row.removed);
        EXPECT_EQ(tarvel::platform::removeOwnLeftovers(dir.path()), row.removed ? 1 : 0);
        struct stat st {};
        EXPECT_EQ(::lstat(QFile::encodeName(d.filePath(name)).constData(), &st) != 0, row.removed);
        EXPECT_TRUE(d.exists("second"));
    }
}
