#include "platform/settings_store.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

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

} // namespace

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
        EXPECT_EQ(store.read("Tunes", "new", "none"), QStringLiteral("none"));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"t.ini"});
    }
}
