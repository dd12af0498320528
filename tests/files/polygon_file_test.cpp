#include "files/polygon_file.h"
#include "platform/io/regular_file.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tarvel::files;

namespace {

PolygonFileData sample() {
    PolygonFileData d;
    d.count = QStringLiteral("5");
    for (int i = 1; i <= 20; ++i) {
        d.x[i] = QString::number(i * 10) + QStringLiteral(",00");
        d.y[i] = QStringLiteral("-") + QString::number(i) + QStringLiteral(",5");
    }
    d.x[2] = QStringLiteral("1 234,50");
    d.x[7] = QStringLiteral("abc"); // hidden rows keep any text
    d.y[20] = QString();
    d.owner = QStringLiteral("Иванов №5");
    return d;
}

void expectSame(const PolygonFileData &a, const PolygonFileData &b) {
    EXPECT_EQ(a.count, b.count);
    EXPECT_EQ(a.owner, b.owner);
    for (int i = 1; i <= 20; ++i) {
        EXPECT_EQ(a.x[i], b.x[i]) << "x" << i;
        EXPECT_EQ(a.y[i], b.y[i]) << "y" << i;
    }
}

QByteArray fileBytes(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

bool putFile(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Makes every write beyond `bytes` fail with EFBIG, even for root.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lower = old_;
        lower.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lower);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

} // namespace

TEST(PolygonFile, EncodesFortyTwoCrLfLinesInWindows1251) {
    const QByteArray bytes = encodePolygonFile(sample());
    QByteArray expected = "5\r\n";
    for (int i = 1; i <= 20; ++i)
        expected += (i == 2   ? QByteArray("1 234,50")
                     : i == 7 ? "abc"
                              : QByteArray::number(i * 10) + ",00") +
                    "\r\n";
    for (int i = 1; i <= 20; ++i)
        expected += (i == 20 ? QByteArray() : "-" + QByteArray::number(i) + ",5") + "\r\n";
    expected += "\xC8\xE2\xE0\xED\xEE\xE2 \xB9"
                "5\r\n";
    EXPECT_EQ(bytes, expected);
}

TEST(PolygonFile, ALineBreakInsideAValueKeepsTheLinesAfterIt) {
    PolygonFileData d = sample();
    d.x[1] = QStringLiteral("1\r\n2");
    EXPECT_EQ(decodePolygonFile(encodePolygonFile(d))->x[1], QStringLiteral("1 2"));
}

// What the save asks about: exactly the characters that would come out as
// "?", each once, in the order of the file.
TEST(PolygonFile, CharactersTheFileCannotHold) {
    const struct {
        const char *name;
        QString owner;
        QString x5;  // a coordinate text (of a hidden row: saved all the same)
        QString y20; // the last coordinate text of the file
        QStringList lost;
    } rows[] = {
        {"Cyrillic, signs and the euro are held",
         QStringLiteral("Участок №5 ЁёЇїЎў € ‰ «»"),
         QStringLiteral("1 234,50"),
         QString(),
         {}},
        {"a question mark is no loss", QStringLiteral("Кто? Где?"), QString(), QString(), {}},
        {"line breaks become blanks, not ?",
         QStringLiteral("a\r\nb\nc\rd"),
         QString(),
         QString(),
         {}},
        {"the byte the code page leaves undefined", QString(QChar(0x98)), QString(), QString(), {}},
        {"the reported owner text",
         QStringLiteral("Участок 漢字 ½"),
         QString(),
         QString(),
         {QStringLiteral("漢"), QStringLiteral("字"), QStringLiteral("½")}},
        {"each character once",
         QStringLiteral("½ ½ ½"),
         QString(),
         QString(),
         {QStringLiteral("½")}},
        {"coordinates before the owner, in file order",
         QStringLiteral("ℓ"),
         QStringLiteral("1,5²"),
         QStringLiteral("√2"),
         {QStringLiteral("²"), QStringLiteral("√"), QStringLiteral("ℓ")}},
        {"a character beyond 16 bits is one",
         QStringLiteral("😀x😀"),
         QString(),
         QString(),
         {QStringLiteral("😀")}},
        {"a lone surrogate",
         QStringLiteral("a") + QChar(0xD800),
         QString(),
         QString(),
         {QString(QChar(0xD800))}},
        {"invisible ones count too",
         QStringLiteral("a\u2003b\u200Bc"),
         QString(),
         QString(),
         {QStringLiteral("\u2003"), QStringLiteral("\u200B")}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        PolygonFileData d = sample();
        d.owner = row.owner;
        d.x[5] = row.x5;
        d.y[20] = row.y20;
        EXPECT_EQ(charactersNotInFile(d), row.lost);
    }
}

TEST(PolygonFile, RoundTripKeepsEveryText) {
    const QByteArray bytes = encodePolygonFile(sample());
    EXPECT_EQ(bytes.count("\r\n"), 42);
    const auto back = decodePolygonFile(bytes);
    ASSERT_TRUE(back);
    expectSame(*back, sample());
}

TEST(PolygonFile, ReadsAnyLineEnd) {
    const QByteArray crlf = encodePolygonFile(sample());
    QByteArray crOnly = crlf, lfOnly = crlf, mixed;
    crOnly.replace("\r\n", "\r");
    lfOnly.replace("\r\n", "\n");
    const QList<QByteArray> lines = crlf.split('\n');
    const char *ends[] = {"\r\n", "\r", "\n"};
    for (qsizetype i = 0; i + 1 < lines.size(); ++i)
        mixed += lines[i].chopped(1) + ends[i % 3];
    QByteArray unterminated = crlf.chopped(2);
    for (const QByteArray &bytes : {crOnly, lfOnly, mixed, unterminated}) {
        const auto back = decodePolygonFile(bytes);
        ASSERT_TRUE(back) << bytes.left(40).toStdString();
        expectSame(*back, sample());
    }
}

TEST(PolygonFile, RefusesWhatIsNoPolygonFile) {
    const QByteArray good = encodePolygonFile(sample());
    EXPECT_FALSE(decodePolygonFile(good.left(good.lastIndexOf("\r\n", good.size() - 3) + 2)));
    EXPECT_FALSE(decodePolygonFile(QByteArray()));
    const std::pair<const char *, bool> counts[] = {
        {"3", true},    {"20", true},   {" 7 ", true}, {"2", false},  {"21", false},
        {"abc", false}, {"3,5", false}, {"", false},   {"-5", false},
    };
    for (const auto &[count, valid] : counts) {
        PolygonFileData d = sample();
        d.count = QString::fromLatin1(count);
        EXPECT_EQ(decodePolygonFile(encodePolygonFile(d)).has_value(), valid) << count;
    }
    EXPECT_TRUE(decodePolygonFile(good + "extra\r\nlines\r\n"));
}

// A field of the window holds kMaxFieldTextLength characters; a longer line
// would come in cut, so the file is refused whole.
TEST(PolygonFile, LinesLongerThanAFieldHoldsAreRefused) {
    using Line = QString &(*)(PolygonFileData &);
    const Line lines[] = {[](PolygonFileData &d) -> QString & { return d.x[1]; },
                          [](PolygonFileData &d) -> QString & { return d.y[20]; },
                          [](PolygonFileData &d) -> QString & { return d.owner; }};
    for (const Line line : lines) {
        for (const int length : {kMaxFieldTextLength, kMaxFieldTextLength + 1, 100000}) {
            PolygonFileData d = sample();
            line(d) = QString(length, QLatin1Char('7'));
            auto back = decodePolygonFile(encodePolygonFile(d));
            ASSERT_EQ(back.has_value(), length <= kMaxFieldTextLength) << length;
            if (back) EXPECT_EQ(line(*back), line(d));
        }
    }
    // Lines after the 42nd are not part of the polygon.
    EXPECT_TRUE(decodePolygonFile(encodePolygonFile(sample()) + QByteArray(100000, 'x')));
}

TEST(PolygonFile, FileSizeLimit) {
    QTemporaryDir dir;
    const QByteArray good = encodePolygonFile(sample());
    const QString atLimit = dir.filePath("limit.squ"), over = dir.filePath("over.squ");
    ASSERT_TRUE(putFile(atLimit, good + QByteArray(kMaxPolygonFileSize - good.size(), '\n')));
    ASSERT_TRUE(putFile(over, good + QByteArray(kMaxPolygonFileSize - good.size() + 1, '\n')));
    EXPECT_TRUE(readPolygonFile(atLimit));
    EXPECT_FALSE(readPolygonFile(over));
    EXPECT_FALSE(readPolygonFile(dir.filePath("missing.squ")));
    EXPECT_FALSE(readPolygonFile(dir.path()));
}

TEST(PolygonFile, WritesAndReadsBack) {
    QTemporaryDir dir;
    const QString path = dir.filePath("участок.squ");
    ASSERT_TRUE(putFile(path, "old"));
    ASSERT_TRUE(writePolygonFile(path, sample()));
    EXPECT_EQ(fileBytes(path), encodePolygonFile(sample()));
    const auto back = readPolygonFile(path);
    ASSERT_TRUE(back);
    expectSame(*back, sample());
}

TEST(PolygonFile, FailedWriteKeepsTheOldFile) {
    QTemporaryDir dir;
    const QString old = dir.filePath("a.squ");
    ASSERT_TRUE(putFile(old, "old"));
    EXPECT_EQ(savePolygonFile(dir.path(), sample()), SaveResult::CannotCreate);
    EXPECT_EQ(savePolygonFile(old + "/b.squ", sample()), SaveResult::CannotCreate);
    {
        const FileSizeLimit limit(64);
        EXPECT_EQ(savePolygonFile(old, sample()), SaveResult::WriteFailed);
    }
    EXPECT_EQ(fileBytes(old), "old");
    // No temporaries left, hidden ones included.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
              QStringList{"a.squ"});
    if (geteuid() != 0) { // root writes into read-only folders anyway
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        EXPECT_FALSE(writePolygonFile(old, sample()));
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        EXPECT_EQ(fileBytes(old), "old");
    }
}

// A read-only file is never replaced, even by root, who could; a file that
// is replaced keeps its rights, and its owner and group where this process
// may give them (root may).
TEST(PolygonFile, SavingOverAFileKeepsItsRightsAndOwner) {
    QTemporaryDir dir;
    const bool root = geteuid() == 0;
    const struct {
        mode_t mode;
        SaveResult result;
    } cases[] = {
        {0444, SaveResult::ReadOnly},
        {0400, SaveResult::ReadOnly},
        {0000, SaveResult::ReadOnly},
        {0640, SaveResult::Saved},
        {0604, SaveResult::Saved},
        {0600, SaveResult::Saved},
        {0664, SaveResult::Saved},
        // Writable for its group only: not for its owner, but root writes anything writable.
        {0464, root ? SaveResult::Saved : SaveResult::ReadOnly},
    };
    for (const auto &[mode, result] : cases) {
        SCOPED_TRACE(QByteArray::number(mode, 8).toStdString());
        const QString path = dir.filePath(QStringLiteral("m%1.squ").arg(mode, 0, 8));
        const QByteArray native = QFile::encodeName(path);
        ASSERT_TRUE(putFile(path, "old"));
        ASSERT_EQ(::chmod(native.constData(), mode), 0);
        // Root gives the file to someone else first, to see the owner kept.
        if (root) ASSERT_EQ(::chown(native.constData(), 4321, 4322), 0);
        EXPECT_EQ(savePolygonFile(path, sample()), result);
        struct stat st {};
        ASSERT_EQ(::stat(native.constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, mode);
        if (root) {
            EXPECT_EQ(st.st_uid, 4321u);
            EXPECT_EQ(st.st_gid, 4322u);
        }
        ::chmod(native.constData(), 0600);
        EXPECT_EQ(fileBytes(path),
                  result == SaveResult::Saved ? encodePolygonFile(sample()) : QByteArray("old"));
    }
    // A new file gets the rights any new file of the user gets; a symbolic
    // link stays a link to the file that is written.
    const mode_t mask = ::umask(022);
    ::umask(mask);
    ASSERT_TRUE(writePolygonFile(dir.filePath("new.squ"), sample()));
    struct stat created {};
    ASSERT_EQ(::stat(QFile::encodeName(dir.filePath("new.squ")).constData(), &created), 0);
    EXPECT_EQ(created.st_mode & 0777, 0666 & ~mask);
    ASSERT_TRUE(QFile::link(dir.filePath("new.squ"), dir.filePath("link.squ")));
    PolygonFileData other = sample();
    other.owner = QStringLiteral("через ссылку");
    ASSERT_TRUE(writePolygonFile(dir.filePath("link.squ"), other));
    EXPECT_TRUE(QFileInfo(dir.filePath("link.squ")).isSymLink());
    EXPECT_EQ(fileBytes(dir.filePath("new.squ")), encodePolygonFile(other));
}

// A save into a folder removes what a save of the program, killed half-way,
// left there (here: a process that has ended leaves one), and nothing else:
// the user's files stay, whatever their names and however old, and so does
// a temporary of a process still running.
TEST(PolygonFile, SaveRemovesOnlyWhatKilledSavesLeft) {
    QTemporaryDir dir;
    QDir folder(dir.path());
    QProcess gone;
    gone.start(QStringLiteral(TARVEL_SETTINGS_WRITER), {"--leave-temporary", dir.path()});
    ASSERT_TRUE(gone.waitForFinished() && gone.exitCode() == 0);
    ASSERT_TRUE(folder.exists(QString::fromUtf8(gone.readAllStandardOutput().trimmed())));
    QStringList kept{".field.squ.tarvel-abc123", ".plan.tarvel-Xy12Ab", ".tarvel-tmp.notes",
                     tarvel::platform::ownTemporaryName()};
    for (const QString &name : kept) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("mine") == 4);
        ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                     QFileDevice::FileModificationTime));
    }
    ASSERT_TRUE(writePolygonFile(folder.filePath(QStringLiteral("plot.squ")), sample()));
    kept << QStringLiteral("plot.squ");
    kept.sort();
    EXPECT_EQ(folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
              kept);
}

TEST(PolygonFile, CommandLinePath) {
    const std::pair<const char *, const char *> cases[] = {
        {"\"/home/u/a.squ\"", "/home/u/a.squ"},
        {"/home/u/a.squ", "/home/u/a.squ"}, // a plain path is never cut
        {"  \"/a b/c.squ\"  ", "/a b/c.squ"},
        {"\"/a.squ", "\"/a.squ"},
        {"\"", "\""},
        {"\"\"", ""},
        {"", ""},
    };
    for (const auto &[argument, path] : cases)
        EXPECT_EQ(commandLinePath(QString::fromUtf8(argument)), QString::fromUtf8(path))
            << argument;
}

// ---- the ".squx" file ----

namespace {

// 25 corners in force; rows 26..40 hidden, row 26 empty, rows 27 and 40
// holding texts, and nothing past 40.
PolygonFileData twentyFive() {
    PolygonFileData d;
    d.count = QStringLiteral("25");
    for (int i = 1; i <= 25; ++i) {
        d.x[std::size_t(i)] = QString::number(i) + QStringLiteral(" 000,50");
        d.y[std::size_t(i)] = QStringLiteral("-") + QString::number(i * 7) + QStringLiteral(",25");
    }
    d.x[3] = QStringLiteral("6\u00a0123\u00a0456,78"); // no-break spaces
    d.y[5] = QStringLiteral("не число");
    d.x[27] = QStringLiteral("абв");
    d.y[40] = QStringLiteral("7");
    d.owner = QStringLiteral("Иванов №5");
    return d;
}

QByteArray squxRows(int rows) {
    QByteArray b;
    for (int i = 1; i <= rows; ++i)
        b += QByteArray::number(i) + "\t" + QByteArray::number(-i) + "\n";
    return b;
}

} // namespace

TEST(SquxFile, WritesTheHeaderTheCountOneRowPerLineAndTheOwner) {
    PolygonFileData d;
    d.count = QStringLiteral("3");
    d.x = {"", "1 234,50", "a\tb", "3"};
    d.y = {"", "-5", "2", "4"};
    d.owner = QStringLiteral("Иванов\r\nПетров");
    EXPECT_EQ(encodeSquxFile(d), QByteArray("TARVEL-SQUX 1\n3\n1 234,50\t-5\na b\t2\n3\t4\n") +
                                     QStringLiteral("Иванов Петров\n").toUtf8());
}

TEST(SquxFile, RoundTripKeepsEveryTextPastTheCountToo) {
    const PolygonFileData d = twentyFive();
    const QByteArray bytes = encodeSquxFile(d);
    EXPECT_EQ(bytes.count('\n'), 1 + 1 + 40 + 1) << "rows 1..40, the last holding a text";
    QTemporaryDir dir;
    // The type is told by the first line: a renamed file still opens.
    for (const char *name : {"p.squx", "renamed.squ"}) {
        SCOPED_TRACE(name);
        const QString path = dir.filePath(QString::fromLatin1(name));
        ASSERT_TRUE(putFile(path, bytes));
        const PolygonFileRead back = readPolygonFile(path);
        ASSERT_TRUE(back) << back.badLine;
        EXPECT_EQ(back->count, "25");
        EXPECT_EQ(back->owner, d.owner);
        for (std::size_t i = 1; i <= 45; ++i) {
            EXPECT_EQ(back->x[i], d.x[i]) << "x" << i;
            EXPECT_EQ(back->y[i], d.y[i]) << "y" << i;
        }
    }
}

TEST(SquxFile, DamagedFilesNameTheFirstBadLine) {
    const QByteArray head = "TARVEL-SQUX 1\n";
    const QByteArray owner = QStringLiteral("Иванов\n").toUtf8();
    struct Case {
        const char *name;
        QByteArray bytes;
        int badLine; // 0: read whole
    };
    const Case cases[] = {
        {"Whole", head + "4\n" + squxRows(4) + owner, 0},
        {"CrLfLineEnds", QByteArray(head + "4\n" + squxRows(4) + owner).replace("\n", "\r\n"), 0},
        {"NoEndAfterTheOwner", head + "4\n" + squxRows(4) + "Иванов", 0},
        {"MoreRowsThanTheCount", head + "3\n" + squxRows(10000) + owner, 0},
        {"Empty", "", 1},
        {"AnotherVersion", "TARVEL-SQUX 3\n4\n" + squxRows(4) + owner, 1},
        {"APlotFileWithoutItsContoursLine", "TARVEL-SQUX 2\n4\n" + squxRows(4) + owner, 2},
        {"NoHeader", "4\n" + squxRows(4) + owner, 1},
        {"HeaderOnly", head, 2},
        {"CountTwo", head + "2\n" + squxRows(4) + owner, 2},
        {"CountAboveTheMost", head + "10001\n" + squxRows(4) + owner, 2},
        {"CountNotWhole", head + "3,5\n" + squxRows(4) + owner, 2},
        {"ARowWithoutATab", head + "4\n" + squxRows(2) + "5 6\n7\t8\n" + owner, 5},
        {"ARowWithTwoTabs", head + "4\n1\t2\t3\n" + squxRows(3) + owner, 3},
        {"FewerRowsThanTheCount", head + "5\n" + squxRows(4) + owner, 7},
        {"NoRowAtAll", head + "3\n", 3},
        {"MoreRowsThanTheMost", head + "3\n" + squxRows(10001) + owner, 10003},
        {"InvalidUtf8InARow", head + "4\n" + squxRows(1) + "3\t\xff\n" + squxRows(2) + owner, 4},
        {"OverlongUtf8InTheOwner", head + "4\n" + squxRows(4) + "\xc0\xaf\n", 7},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const PolygonFileRead r = decodeSquxFile(c.bytes);
        EXPECT_EQ(bool(r), c.badLine == 0);
        EXPECT_EQ(r.badLine, c.badLine);
    }
}

namespace {

// A plot of three contours, the second one edited and the third a hole.
TEST(SquxPlotFile, WritesEveryContourAndReadsThePlotBack) {
    PolygonFileData d;
    d.count = QStringLiteral("3");
    d.x = {QString(), QStringLiteral("0"), QStringLiteral("5"), QStringLiteral("5")};
    d.y = {QString(), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("5")};
    d.owner = QStringLiteral("26:11:0102:15");
    tarvel::geometry::ContourTexts first{QStringLiteral("4"),
                                 {QString(), "0", "10", "10", "0", "7"},
                                 {QString(), "0", "0", "10", "10", "7"},
                                 false};
    tarvel::geometry::ContourTexts hole{QStringLiteral("3"),
                                {QString(), "1", "2", "2"},
                                {QString(), "1", "1", "2"},
                                true};
    d.others = {first, hole};
    d.place = 1;
    const QByteArray expected = "TARVEL-SQUX 2\n3\t2\n"
                                "4\t5\touter\n0\t0\n10\t0\n10\t10\n0\t10\n7\t7\n"
                                "3\t3\touter\n0\t0\n5\t0\n5\t5\n"
                                "3\t3\thole\n1\t1\n2\t1\n2\t2\n"
                                "26:11:0102:15\n";
    EXPECT_EQ(encodeSquxFile(d), expected);
    const PolygonFileRead back = decodeSquxFile(expected);
    ASSERT_TRUE(back) << back.badLine;
    EXPECT_EQ(back->place, 1);
    EXPECT_FALSE(back->hole);
    EXPECT_EQ(back->count, QStringLiteral("3"));
    EXPECT_EQ(back->x[2], QStringLiteral("5"));
    ASSERT_EQ(back->others.size(), 2u);
    EXPECT_EQ(back->others[0], first);
    EXPECT_EQ(back->others[1], hole);
    EXPECT_EQ(back->owner, d.owner);
}

// What the registry says of a plot goes into version 2, even for one
// contour, and comes back.
TEST(SquxPlotFile, KeepsTheRegistrysWordOfThePlot) {
    PolygonFileData d;
    d.count = QStringLiteral("3");
    d.x = {QString(), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")};
    d.y = {QString(), QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("7")};
    d.owner = QStringLiteral("26:12:031508:1007");
    d.info.northIsX = true;
    d.info.registeredArea = 1986.5;
    d.info.areaTolerance = 390;
    d.info.coordinateSystem = QStringLiteral("МСК-26, зона 1");
    const QByteArray expected = QStringLiteral("TARVEL-SQUX 2\n1\t1\nnorth\tX\narea\t1986.5\t390\n"
                                               "crs\tМСК-26, зона 1\n3\t3\touter\n1\t4\n2\t5\n"
                                               "3\t7\n26:12:031508:1007\n")
                                    .toUtf8();
    EXPECT_EQ(encodeSquxFile(d), expected);
    const PolygonFileRead back = decodeSquxFile(expected);
    ASSERT_TRUE(back) << back.badLine;
    EXPECT_EQ(back->info, d.info);
    EXPECT_TRUE(back->others.empty());
    EXPECT_EQ(back->x[3], QStringLiteral("3"));
    // The points' names go after their rows' Y, and come back.
    d.names = {QString(), QStringLiteral("н1"), QString(), QStringLiteral("12")};
    const QByteArray named = encodeSquxFile(d);
    EXPECT_TRUE(named.contains("1\t4\tн1\n2\t5\n3\t7\t12\n")) << named.toStdString();
    const PolygonFileRead namedBack = decodeSquxFile(named);
    ASSERT_TRUE(namedBack) << namedBack.badLine;
    EXPECT_EQ(namedBack->names, d.names);
    // An area that is no number is a damaged line.
    EXPECT_EQ(decodeSquxFile(QByteArray(expected).replace("1986.5", "много")).badLine, 4);
}

// The system a plot's coordinates are in, as PROJ takes it, with the mark
// of a zone the user gave by hand.
TEST(SquxPlotFile, KeepsTheSystemOfThePlot) {
    const struct {
        const char *name;
        const char *definition;
        bool approximate;
        const char *line; // as written
    } rows[] = {
        {"an EPSG code", "EPSG:28407", false, "system\tEPSG:28407\n"},
        {"a zone given by hand",
         "+proj=tmerc +lat_0=0 +lon_0=41.95 +k=1 +x_0=1300000 +y_0=-4511057.63 +ellps=krass "
         "+towgs84=23.57,-140.95,-79.8,0,0.35,0.79,-0.22",
         true,
         "system\t+proj=tmerc +lat_0=0 +lon_0=41.95 +k=1 +x_0=1300000 +y_0=-4511057.63 "
         "+ellps=krass +towgs84=23.57,-140.95,-79.8,0,0.35,0.79,-0.22\tapproximate\n"},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        PolygonFileData d;
        d.count = QStringLiteral("3");
        d.x = {QString(), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")};
        d.y = {QString(), QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("7")};
        d.info.systemDefinition = QString::fromUtf8(r.definition);
        d.info.systemApproximate = r.approximate;
        const QByteArray bytes = encodeSquxFile(d);
        EXPECT_TRUE(bytes.contains(QByteArray("\n") + r.line)) << bytes.toStdString();
        const PolygonFileRead back = decodeSquxFile(bytes);
        ASSERT_TRUE(back) << back.badLine;
        EXPECT_EQ(back->info, d.info);
        // A mark other than "approximate" is a damaged line.
        EXPECT_EQ(decodeSquxFile(QByteArray(bytes).replace("\tapproximate", "\tguess")).badLine,
                  r.approximate ? 3 : 0);
    }
}

TEST(SquxPlotFile, DamagedPlotFilesNameTheFirstBadLine) {
    const QByteArray head = "TARVEL-SQUX 2\n";
    const QByteArray square = "4\t4\touter\n0\t0\n1\t0\n1\t1\n0\t1\n";
    struct Case {
        const char *name;
        QByteArray bytes;
        int badLine; // 0: read whole
    } cases[] = {
        {"Whole", head + "2\t1\n" + square + square + "owner\n", 0},
        {"EditedBeyondTheContours", head + "2\t3\n" + square + square + "owner\n", 2},
        {"NoContour", head + "0\t1\nowner\n", 2},
        {"AContourLineWithoutKind", head + "1\t1\n4\t4\n0\t0\n1\t0\n1\t1\n0\t1\nowner\n", 3},
        {"AnUnknownKind", head + "1\t1\n4\t4\tisland\n0\t0\n1\t0\n1\t1\n0\t1\nowner\n", 3},
        {"FewerRowsThanTheCount", head + "1\t1\n4\t3\touter\n0\t0\n1\t0\n1\t1\nowner\n", 3},
        {"ARowCutShort", head + "1\t1\n4\t4\touter\n0\t0\n1\t0\n1 1\n0\t1\nowner\n", 6},
        {"ASecondContourMissing", head + "2\t1\n" + square + "owner\n", 8},
        {"LinesAfterTheLastContour", head + "1\t1\n" + square + "0\t2\nowner\n", 8},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const PolygonFileRead r = decodeSquxFile(c.bytes);
        EXPECT_EQ(bool(r), c.badLine == 0);
        EXPECT_EQ(r.badLine, c.badLine);
    }
}

} // namespace
