#include "platform/services/settings_store.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QSysInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <future>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using tarvel::platform::IniSettingsStore;

namespace {

QByteArray fileBytes(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool putFile(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

class ScopedEnv {
public:
    ScopedEnv(const char *name, const QByteArray &value)
        : name_(name), wasSet_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
        qputenv(name, value);
    }
    ~ScopedEnv() { wasSet_ ? qputenv(name_, old_) : qunsetenv(name_); }

private:
    const char *name_;
    bool wasSet_;
    QByteArray old_;
};

// Collects what the store says on stderr.
class WarningLog {
public:
    WarningLog() : old_(qInstallMessageHandler(&WarningLog::collect)) { current_ = this; }
    ~WarningLog() {
        qInstallMessageHandler(old_);
        current_ = nullptr;
    }
    WarningLog(const WarningLog &) = delete;
    WarningLog &operator=(const WarningLog &) = delete;

    bool mentions(const QString &text) const {
        return std::any_of(lines.cbegin(), lines.cend(),
                           [&](const QString &line) { return line.contains(text); });
    }

    QStringList lines;

private:
    static void collect(QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (current_ && (type == QtWarningMsg || type == QtCriticalMsg))
            current_->lines.append(message);
    }
    static inline WarningLog *current_ = nullptr;
    QtMessageHandler old_;
};

// The names in the folder, sorted, one space between.
std::string folderEntries(const QString &folder) {
    return QDir(folder)
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                   QDir::Name)
        .join(u' ')
        .toStdString();
}

// Runs `call` in a thread. While it has not returned, a writer opens and
// closes the pipe at `fifo` (if it is one): that lets through a reader
// waiting for one, so a store that blocks on a pipe fails the test instead
// of hanging it. The open succeeds only while someone holds the pipe open
// for reading.
template <class Call> auto unblocked(Call call, const QString &fifo) {
    auto result = std::async(std::launch::async, call);
    bool waited = false;
    while (result.wait_for(std::chrono::seconds(1)) != std::future_status::ready) {
        struct stat info {};
        if (::lstat(QFile::encodeName(fifo).constData(), &info) != 0 || !S_ISFIFO(info.st_mode))
            continue;
        const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) {
            waited = true;
            ::close(fd);
        }
    }
    EXPECT_FALSE(waited) << "waited for a writer on " << fifo.toStdString();
    return result.get();
}

} // namespace

TEST(IniSettingsStore, AReloadSeesWhatAnotherCopyWrote) {
    QTemporaryDir dir;
    const IniSettingsStore::AtPath file{dir.filePath("t.ini")};
    IniSettingsStore mine(file), other(file);
    mine.write(QStringLiteral("Tunes"), QStringLiteral("Recent1"), QStringLiteral("/a/1.squ"));
    EXPECT_EQ(other.read(QStringLiteral("Tunes"), QStringLiteral("Recent1"), QString()),
              QStringLiteral("/a/1.squ"));
    other.write(QStringLiteral("Tunes"), QStringLiteral("Recent1"), QStringLiteral("/b/1.squ"));
    // Kept from the first reading until told to look again.
    EXPECT_EQ(mine.read(QStringLiteral("Tunes"), QStringLiteral("Recent1"), QString()),
              QStringLiteral("/a/1.squ"));
    mine.reload();
    EXPECT_EQ(mine.read(QStringLiteral("Tunes"), QStringLiteral("Recent1"), QString()),
              QStringLiteral("/b/1.squ"));
}

TEST(IniSettingsStore, TextsComeBackExactly) {
    QTemporaryDir dir;
    const IniSettingsStore::AtPath file{dir.filePath("t.ini")};
    const QStringList values = {
        "1,5",
        "a, b",
        "Участок, 5 га",
        " lead",
        "trail ",
        "@Variant(x)",
        "\"q\"",
        "a;b#c",
        "",
        "C:\\Folder\\",
        "/home/пользователь/карта.bmp",
        "x=y",
        "line\nbreak",
    };
    {
        IniSettingsStore store(file);
        for (qsizetype i = 0; i < values.size(); ++i)
            store.write("Tunes", QString::number(i), values[i]);
        store.write("txtShG", "Ключ", "Значение");
    }
    IniSettingsStore again(file);
    for (qsizetype i = 0; i < values.size(); ++i)
        EXPECT_EQ(again.read("Tunes", QString::number(i), "default"), values[i]) << i;
    EXPECT_EQ(again.read("txtShG", "Ключ", {}), QStringLiteral("Значение"));
    EXPECT_EQ(again.read("Tunes", "missing", "default"), QStringLiteral("default"));
    EXPECT_EQ(again.read("Missing", "0", "default"), QStringLiteral("default"));
}

TEST(IniSettingsStore, NamesAreFoundWhateverTheirCase) {
    QTemporaryDir dir;
    const QString file = dir.filePath("t.ini");
    ASSERT_TRUE(putFile(file, "[tunes]\nstep=3\nGr6=12,5\n"));
    {
        IniSettingsStore store(IniSettingsStore::AtPath{file});
        EXPECT_EQ(store.read("Tunes", "Step", "1"), QStringLiteral("3"));
        EXPECT_EQ(store.read("TUNES", "gr6", "10"), QStringLiteral("12,5")); // unquoted comma
        store.write("Tunes", "Step", "4");
    }
    const QByteArray text = fileBytes(file);
    EXPECT_TRUE(text.contains("Step=4")) << text.toStdString();
    EXPECT_FALSE(text.contains("step=")) << text.toStdString();
    EXPECT_FALSE(text.contains("[Tunes]")) << text.toStdString();
    EXPECT_EQ(IniSettingsStore(IniSettingsStore::AtPath{file}).read("Tunes", "step", "1"), "4");
}

TEST(IniSettingsStore, OneFilePerApplicationName) {
    QTemporaryDir dir;
    const ScopedEnv config("XDG_CONFIG_HOME", dir.path().toUtf8());
    IniSettingsStore tarvel("tarvel");
    EXPECT_EQ(tarvel.fileName(), dir.filePath("tarvel/tarvel.ini"));
    tarvel.write("Tunes", "Gr1", "1");
    EXPECT_TRUE(QFile::exists(dir.filePath("tarvel/tarvel.ini")));
    EXPECT_EQ(IniSettingsStore("copy").read("Tunes", "Gr1", "0"), QStringLiteral("0"));
}

TEST(IniSettingsStore, FailedWriteKeepsTheOldFile) {
    // Every write beyond 4 KiB fails with EFBIG, even for root: either the
    // scratch copy of the old file fails, or QSettings' own write of the
    // edited copy comes out short.
    const std::pair<int, int> sizes[] = {{8192, 1}, {3000, 2000}};
    for (const auto &[oldSize, newSize] : sizes) {
        QTemporaryDir dir;
        const IniSettingsStore::AtPath file{dir.filePath("t.ini")};
        IniSettingsStore(file).write("Tunes", "old", QString(oldSize, QLatin1Char('o')));
        const QByteArray before = fileBytes(file.file);
        ASSERT_GT(before.size(), oldSize);
        IniSettingsStore store(file);
        WarningLog log;
        {
            rlimit old{};
            getrlimit(RLIMIT_FSIZE, &old);
            const auto handler = std::signal(SIGXFSZ, SIG_IGN);
            rlimit lower = old;
            lower.rlim_cur = 4096;
            setrlimit(RLIMIT_FSIZE, &lower);
            store.write("Tunes", "new", QString(newSize, QLatin1Char('n')));
            setrlimit(RLIMIT_FSIZE, &old);
            std::signal(SIGXFSZ, handler);
        }
        EXPECT_EQ(fileBytes(file.file), before) << oldSize;
        EXPECT_TRUE(log.mentions(file.file)) << oldSize; // never silent
        EXPECT_EQ(store.read("Tunes", "new", "none"), QStringLiteral("none"));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"t.ini"});
    }
}

// Another program's section, and a value QSettings cannot read back as it
// wrote it: a list whose second item starts with "@".
const QByteArray kMine = "[Mine]\nnote=see: a,@b\n";

TEST(IniSettingsStore, HandEditedFileKeepsAllButTheKeyWritten) {
    QByteArray noise(8192, 0);
    std::mt19937 random(20240611);
    for (char &c : noise)
        c = char(random());
    struct Case {
        const char *what;
        QByteArray before;
        QByteArray after; // empty: only appended to
    };
    const Case cases[] = {
        {"the probe's file", "[Tunes]\nGr1=1\n" + kMine, "[Tunes]\nGr1=1\nStep=7\n" + kMine},
        {"a value ,@", "[Tunes]\nGr1=,@\n" + kMine, "[Tunes]\nGr1=,@\nStep=7\n" + kMine},
        {"a NUL byte", QByteArray("[Tunes]\nGr1=a") + '\0' + "b\nStep=1\n" + kMine,
         QByteArray("[Tunes]\nGr1=a") + '\0' + "b\nStep=7\n" + kMine},
        {"8 KiB of noise", noise + '\n' + kMine, {}},
        {"a line without =", "[Tunes]\njust words\nStep=1\n" + kMine,
         "[Tunes]\njust words\nStep=7\n" + kMine},
        {"a header without ]", "[Tunes\nStep=1\n" + kMine, "[Tunes\nStep=7\n" + kMine},
        {"CRLF line ends", "[Tunes]\r\nGr1=1\r\n\r\n[Mine]\r\nnote=see: a,@b\r\n",
         "[Tunes]\r\nGr1=1\r\nStep=7\r\n\r\n[Mine]\r\nnote=see: a,@b\r\n"},
        {"a UTF-8 BOM", "\xEF\xBB\xBF[Tunes]\nStep=2\n" + kMine,
         "\xEF\xBB\xBF[Tunes]\nStep=7\n" + kMine},
        {"duplicate keys", "[Tunes]\nStep=1\nGr1=1\nstep=2\n" + kMine,
         "[Tunes]\nStep=7\nGr1=1\n" + kMine},
        {"duplicate sections", "[Tunes]\nStep=1\n" + kMine + "[TUNES]\nStep=2\n",
         "[Tunes]\nStep=7\n" + kMine + "[TUNES]\n"},
        {"keys in other case", "[tunes]\nSTEP=3\n" + kMine, "[tunes]\nStep=7\n" + kMine},
        {"an open quote", "[Tunes]\nVibFolder=\"/home/a\n" + kMine,
         "[Tunes]\nVibFolder=\"/home/a\nStep=7\n" + kMine},
        {"a trailing backslash", "[Tunes]\nVibFolder=C:\\Dir\\\n" + kMine,
         "[Tunes]\nVibFolder=C:\\Dir\\\nStep=7\n" + kMine},
        {"a comment after the value", "; mine\n[Tunes]\nStep=1 ; one\n" + kMine,
         "; mine\n[Tunes]\nStep=7\n" + kMine},
        {"no Tunes yet", kMine, kMine + "\n[Tunes]\nStep=7\n"},
        {"no line end at the end", kMine + "[Tunes]\nGr1=1", kMine + "[Tunes]\nGr1=1\nStep=7\n"},
    };
    for (const Case &c : cases) {
        QTemporaryDir dir;
        const IniSettingsStore::AtPath file{dir.filePath("t.ini")};
        ASSERT_TRUE(putFile(file.file, c.before));
        WarningLog log;
        IniSettingsStore(file).write("Tunes", "Step", "7");
        const QByteArray after = fileBytes(file.file);
        if (c.after.isEmpty())
            EXPECT_TRUE(after.startsWith(c.before)) << c.what;
        else
            EXPECT_EQ(after, c.after) << c.what;
        IniSettingsStore again(file);
        EXPECT_EQ(again.read("Tunes", "step", "1"), QStringLiteral("7")) << c.what;
        EXPECT_EQ(again.read("Mine", "note", {}), QStringLiteral("see: a,@b")) << c.what;
        EXPECT_TRUE(log.lines.isEmpty()) << c.what << ": " << log.lines.join('\n').toStdString();
    }
}

// Files written by QSettings (the earlier versions of the program) read the
// same, and QSettings reads what the store writes.
TEST(IniSettingsStore, ValuesInQSettingsForms) {
    const QStringList values = {"12,5",      " lead",   "@at",       "a;b", "Участок",
                                "tab\there", "x=\"y\"", "C:\\Dir\\", ""};
    QTemporaryDir dir;
    const QString ours = dir.filePath("ours.ini");
    const QString theirs = dir.filePath("theirs.ini");
    {
        QSettings settings(theirs, QSettings::IniFormat);
        for (qsizetype i = 0; i < values.size(); ++i)
            settings.setValue("Tunes/k" + QString::number(i), values[i]);
        settings.setValue("Карта/Ключ 1", "v");
    }
    IniSettingsStore store(IniSettingsStore::AtPath{ours});
    IniSettingsStore earlier(IniSettingsStore::AtPath{theirs});
    for (qsizetype i = 0; i < values.size(); ++i) {
        store.write("Tunes", "k" + QString::number(i), values[i]);
        EXPECT_EQ(earlier.read("Tunes", "K" + QString::number(i), "-"), values[i]) << i;
    }
    store.write("Карта", "Ключ 1", "v");
    EXPECT_EQ(earlier.read("карта", "ключ 1", "-"), QStringLiteral("v"));
    EXPECT_EQ(fileBytes(ours), fileBytes(theirs));
    const QSettings check(ours, QSettings::IniFormat);
    for (qsizetype i = 0; i < values.size(); ++i)
        EXPECT_EQ(check.value("Tunes/k" + QString::number(i)).toString(), values[i]) << i;
}

// Pipes, devices, folders and oversized files are neither read (the read
// would block or never end) nor replaced, and the user is told.
TEST(IniSettingsStore, UnusableFilesAreNeitherReadNorReplaced) {
    struct Case {
        const char *what;
        std::function<bool(const QString &)> make;
    };
    const Case cases[] = {
        {"a named pipe",
         [](const QString &f) { return ::mkfifo(QFile::encodeName(f).constData(), 0600) == 0; }},
        {"a link to /dev/zero", [](const QString &f) { return QFile::link("/dev/zero", f); }},
        {"a folder", [](const QString &f) { return QDir().mkdir(f); }},
        {"a file over 1 MiB",
         [](const QString &f) {
             return putFile(f,
                            "[Tunes]\nStep=5\n;" + QByteArray(IniSettingsStore::kMaxFileSize, 'x'));
         }},
    };
    for (const Case &c : cases) {
        QTemporaryDir dir;
        const QString file = dir.filePath("t.ini");
        ASSERT_TRUE(c.make(file)) << c.what;
        struct stat before {};
        ASSERT_EQ(::lstat(QFile::encodeName(file).constData(), &before), 0);
        const QByteArray bytes = S_ISREG(before.st_mode) ? fileBytes(file) : QByteArray();

        WarningLog log;
        IniSettingsStore store(IniSettingsStore::AtPath{file});
        QString step;
        try {
            step = unblocked([&] { return store.read("Tunes", "Step", "1"); }, file);
        } catch (const std::exception &e) { // the memory ran out
            ADD_FAILURE() << c.what << ": " << e.what();
            continue;
        }
        EXPECT_EQ(step, QStringLiteral("1")) << c.what;
        EXPECT_TRUE(log.mentions(file)) << c.what;
        log.lines.clear();
        unblocked([&] { store.write("Tunes", "Step", "9"); }, file);
        EXPECT_TRUE(log.mentions(file)) << c.what;

        struct stat after {};
        ASSERT_EQ(::lstat(QFile::encodeName(file).constData(), &after), 0) << c.what;
        EXPECT_EQ(after.st_mode, before.st_mode) << c.what;
        EXPECT_EQ(after.st_ino, before.st_ino) << c.what;
        if (S_ISREG(before.st_mode)) EXPECT_TRUE(fileBytes(file) == bytes) << c.what;
        EXPECT_EQ(folderEntries(dir.path()), "t.ini") << c.what;
    }
}

// A replaced file keeps its mode and group (its owner is the user: another
// user's file is not written at all); one without write rights is not
// replaced at all.
TEST(IniSettingsStore, ModeAndOwnerAreKept) {
    const struct {
        mode_t mode;
        bool written;
    } cases[] = {{0600, true}, {0640, true},  {0664, true},
                 {0604, true}, {0444, false}, {0400, false}};
    for (const auto &c : cases) {
        QTemporaryDir dir;
        const QString file = dir.filePath("t.ini");
        ASSERT_TRUE(putFile(file, "[Tunes]\nStep=1\n"));
        ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), c.mode), 0);
        // Only root may hand a file to a group it is not in.
        const bool root = ::geteuid() == 0;
        if (root) ASSERT_EQ(::chown(QFile::encodeName(file).constData(), uid_t(-1), 4322), 0);

        WarningLog log;
        IniSettingsStore(IniSettingsStore::AtPath{file}).write("Tunes", "Step", "2");
        struct stat after {};
        ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &after), 0);
        EXPECT_EQ(after.st_mode & 07777, c.mode) << std::oct << c.mode;
        EXPECT_EQ(after.st_uid, ::geteuid()) << std::oct << c.mode;
        if (root) EXPECT_EQ(after.st_gid, 4322u) << std::oct << c.mode;
        EXPECT_EQ(IniSettingsStore(IniSettingsStore::AtPath{file}).read("Tunes", "Step", "0"),
                  c.written ? "2" : "1")
            << std::oct << c.mode;
        EXPECT_EQ(log.mentions(file), !c.written) << std::oct << c.mode;
    }
}

// Writer processes run at once on one file, each writing keys of its own:
// none loses another's.
TEST(IniSettingsStore, ConcurrentWriterProcessesKeepEveryKey) {
    constexpr int kWriters = 4;
    constexpr int kKeys = 50;
    QTemporaryDir dir;
    const QString file = dir.filePath("t.ini");
    std::vector<std::unique_ptr<QProcess>> writers;
    for (int w = 0; w < kWriters; ++w) {
        writers.push_back(std::make_unique<QProcess>());
        writers.back()->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        writers.back()->start(TARVEL_SETTINGS_WRITER,
                              {file, QStringLiteral("w%1_").arg(w), QString::number(kKeys)});
    }
    for (auto &w : writers) {
        ASSERT_TRUE(w->waitForFinished(120000));
        EXPECT_EQ(w->exitCode(), 0);
    }
    IniSettingsStore store(IniSettingsStore::AtPath{file});
    int kept = 0;
    for (int w = 0; w < kWriters; ++w)
        for (int i = 0; i < kKeys; ++i)
            kept += store.read("Tunes", QStringLiteral("w%1_%2").arg(w).arg(i), {}) ==
                    QStringLiteral("w%1_ %2").arg(w).arg(i);
    EXPECT_EQ(kept, kWriters * kKeys);
    EXPECT_EQ(folderEntries(dir.path()), "t.ini");
}

// What a process of the program that has ended left in `folder`: a
// temporary file or folder of its own name.
QString leftBehind(const QString &folder, bool asFolder) {
    QProcess helper;
    QStringList args{"--leave-temporary", folder};
    if (asFolder) args << "--folder";
    helper.start(TARVEL_SETTINGS_WRITER, args);
    if (!helper.waitForFinished() || helper.exitCode() != 0) return {};
    return QString::fromUtf8(helper.readAllStandardOutput()).trimmed();
}

// Writers killed half-way leave scratch files and locks behind; the next
// start (the first read) clears them, and so does the next write, but
// nothing of anyone else's, however much it looks like scratch files the
// store makes or made in earlier versions, and however old.
TEST(IniSettingsStore, NextStartAndNextWriteClearOnlyWhatKilledWritersLeft) {
    const QDateTime hourAgo = QDateTime::currentDateTimeUtc().addSecs(-3600);
    const QStringList others = {
        "notes.txt",         ".settings.ini",          ".t.ini.Qq1Ww2.read",   "u.ini",
        ".t.ini.Kk3Jj4.new", ".t.ini.Kk3Jj4.new.lock", ".settings-a1B2c3.ini", ".t.ini.Zz9Yy8.read",
        ".tarvel-tmp.mine"};
    for (const bool byStart : {true, false}) {
        SCOPED_TRACE(byStart ? "the next start" : "the next write");
        QTemporaryDir dir;
        const QString file = dir.filePath("t.ini");
        IniSettingsStore(IniSettingsStore::AtPath{file}).write("Tunes", "Gr1", "1");
        std::mt19937 random(5);
        for (int kill = 0; kill < 12; ++kill) {
            QProcess writer;
            writer.start(TARVEL_SETTINGS_WRITER, {file, "k", "0"});
            ASSERT_TRUE(writer.waitForStarted());
            std::this_thread::sleep_for(std::chrono::milliseconds(30 + random() % 50));
            ::kill(pid_t(writer.processId()), SIGKILL);
            writer.waitForFinished();
        }
        // As a killed writer leaves them at the worst moment.
        ASSERT_FALSE(leftBehind(dir.path(), false).isEmpty());
        const QString scratch = leftBehind(dir.path(), true);
        ASSERT_FALSE(scratch.isEmpty());
        ASSERT_TRUE(putFile(dir.filePath(scratch + "/v.ini"), "[General]\nv=1\n"));
        // Old enough to be a lock nobody can be holding still.
        {
            QFile f(dir.filePath("t.ini.lock"));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("?\n") == 2 && f.flush());
            ASSERT_TRUE(f.setFileTime(hourAgo, QFileDevice::FileModificationTime));
        }
        for (const QString &name : others) {
            QFile f(dir.filePath(name));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("mine") == 4 && f.flush());
            ASSERT_TRUE(f.setFileTime(hourAgo, QFileDevice::FileModificationTime));
        }

        if (byStart)
            EXPECT_EQ(IniSettingsStore(IniSettingsStore::AtPath{file}).read("Tunes", "Gr1", "0"),
                      "1");
        else
            IniSettingsStore(IniSettingsStore::AtPath{file}).write("Tunes", "Gr1", "2");
        EXPECT_EQ(folderEntries(dir.path()),
                  ".settings-a1B2c3.ini .settings.ini .t.ini.Kk3Jj4.new .t.ini.Kk3Jj4.new.lock "
                  ".t.ini.Qq1Ww2.read .t.ini.Zz9Yy8.read .tarvel-tmp.mine notes.txt t.ini u.ini");
        for (const QString &name : others)
            EXPECT_EQ(fileBytes(dir.filePath(name)), "mine") << name.toStdString();
        EXPECT_EQ(IniSettingsStore(IniSettingsStore::AtPath{file}).read("Tunes", "Gr1", "0"),
                  byStart ? "1" : "2");
    }
}

// The settings file is never written through a symbolic link of another
// user's, nor into another user's file: said on stderr, and the file the
// link leads to stays as it was. A link of the user's own (a dotfiles
// folder) works. Only root can give a link or file to another user, so the
// other rows need root (as the tests run in CI).
TEST(IniSettingsStore, NoWriteThroughOtherUsersLinksOrIntoTheirFiles) {
    const QByteArray theirs = "[Other]\nkept=1\n";
    const auto giveAway = [](const QString &p) {
        return ::lchown(QFile::encodeName(p).constData(), 65534, uid_t(-1)) == 0; // nobody
    };
    const struct {
        const char *name;
        const char *link;      // made to point at `target`, or nothing
        const char *givenAway; // given to another user, or nothing
        bool stored;
    } rows[] = {
        {"a link of the user's own", "config/t.ini", nullptr, true},
        {"a link planted by another user", "config/t.ini", "config/t.ini", false},
        {"a settings folder that is another user's link", "config", "config", false},
        {"another user's file", nullptr, "config/t.ini", false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        if (row.givenAway && ::geteuid() != 0) continue;
        QTemporaryDir dir;
        const QDir d(dir.path());
        ASSERT_TRUE(d.mkpath("elsewhere"));
        if (QByteArray(row.link) != "config") ASSERT_TRUE(d.mkpath("config"));
        // The file the store is given, and the file that gets written.
        const QString file = d.filePath("config/t.ini");
        const QString target = row.link ? d.filePath("elsewhere/t.ini") : file;
        ASSERT_TRUE(putFile(target, theirs));
        if (row.link)
            ASSERT_TRUE(
                QFile::link(QByteArray(row.link) == "config" ? d.filePath("elsewhere") : target,
                            d.filePath(row.link)));
        if (row.givenAway) ASSERT_TRUE(giveAway(d.filePath(row.givenAway)));

        WarningLog log;
        IniSettingsStore store(IniSettingsStore::AtPath{file});
        EXPECT_EQ(store.read("Other", "kept", "0"), "1");
        store.write("Tunes", "Gr1", "1");
        EXPECT_EQ(log.mentions(file), !row.stored);
        const QByteArray now = fileBytes(target);
        if (row.stored)
            EXPECT_TRUE(now.startsWith(theirs) && now.contains("[Tunes]\nGr1=1\n"))
                << now.toStdString();
        else
            EXPECT_EQ(now, theirs);
        if (row.link) EXPECT_TRUE(QFileInfo(d.filePath(row.link)).isSymLink());
    }
}

// A writer killed while taking over an abandoned lock leaves the file that
// guards the takeover ("<lock>.rmlock"), empty if killed right after making
// it. Qt would wait 30 s before taking that one for stale, longer than a
// writer waits, so every write was lost for that long.
TEST(IniSettingsStore, WriteTakesOverWhatAKilledTakeoverLeft) {
    // Older than this store's stale time, younger than Qt's default.
    const QDateTime aged = QDateTime::currentDateTimeUtc().addSecs(-15);
    const QByteArray deadOwner =
        "999999999\nsettings_writer\n" + QSysInfo::machineHostName().toUtf8() + "\n";
    struct Leftover {
        const char *name;
        QByteArray text;
    };
    const std::vector<std::vector<Leftover>> cases = {
        {{"t.ini.lock", ""}, {"t.ini.lock.rmlock", ""}},
        {{"t.ini.lock", ""}, {"t.ini.lock.rmlock", ""}, {"t.ini.lock.rmlock.rmlock", ""}},
        {{"t.ini.lock", deadOwner}, {"t.ini.lock.rmlock", ""}},
        // Killed after removing the lock, before removing its guard.
        {{"t.ini.lock.rmlock", deadOwner}},
    };
    for (const auto &leftovers : cases) {
        QTemporaryDir dir;
        const QString file = dir.filePath("t.ini");
        IniSettingsStore(IniSettingsStore::AtPath{file}).write("Tunes", "Gr1", "1");
        for (const Leftover &left : leftovers) {
            QFile f(dir.filePath(left.name));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(left.text) == left.text.size() &&
                        f.flush());
            ASSERT_TRUE(f.setFileTime(aged, QFileDevice::FileModificationTime));
        }
        IniSettingsStore(IniSettingsStore::AtPath{file}).write("Tunes", "Gr1", "2");
        EXPECT_EQ(IniSettingsStore(IniSettingsStore::AtPath{file}).read("Tunes", "Gr1", "0"), "2")
            << leftovers.size() << " files left, the first " << leftovers.front().name;
        EXPECT_EQ(folderEntries(dir.path()), "t.ini");
    }
}

namespace {

// Several keys written at once land as each would alone, in the keys'
// stored places, and a file that holds them all already is left as it is.
TEST(IniSettingsStore, SeveralKeysInOneWrite) {
    const IniSettingsStore::Values list = {{"SquFolder", "/home/a"},
                                           {"Recent1", "/home/a/Участок 1.squ"},
                                           {"Recent2", ""}};
    struct Case {
        const char *what;
        QByteArray before;
        QByteArray after;
    };
    const Case cases[] = {
        {"new keys after the others", "[Tunes]\nGr1=1\n",
         "[Tunes]\nGr1=1\nSquFolder=/home/a\nRecent1=/home/a/Участок 1.squ\nRecent2=\n"},
        {"stored keys keep their places and case", "[Tunes]\nrecent2=x\nGr1=1\nSQUFOLDER=/b\n",
         "[Tunes]\nRecent2=\nGr1=1\nSquFolder=/home/a\nRecent1=/home/a/Участок 1.squ\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const IniSettingsStore::AtPath file{dir.filePath("t.ini")};
        ASSERT_TRUE(putFile(file.file, c.before));
        WarningLog log;
        IniSettingsStore(file).writeAll("Tunes", list);
        const QByteArray after = fileBytes(file.file);
        IniSettingsStore again(file);
        for (const auto &[key, value] : list)
            EXPECT_EQ(again.read("Tunes", key, "?"), value) << key.toStdString();
        EXPECT_EQ(again.read("Tunes", "Gr1", "?"), QStringLiteral("1"));
        EXPECT_TRUE(log.lines.isEmpty()) << log.lines.join('\n').toStdString();
        EXPECT_EQ(after, c.after);

        // Written again, nothing changes on disk: not even the file's inode.
        struct stat before {}, later {};
        ASSERT_EQ(::stat(QFile::encodeName(file.file).constData(), &before), 0);
        IniSettingsStore(file).writeAll("Tunes", list);
        ASSERT_EQ(::stat(QFile::encodeName(file.file).constData(), &later), 0);
        EXPECT_EQ(before.st_ino, later.st_ino);
    }
}

} // namespace
