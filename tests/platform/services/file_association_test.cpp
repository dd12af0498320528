#include "platform/services/file_association.h"

#include "support/pipe_rescuer.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <optional>

#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

using tarvel::platform::XdgFileAssociation;

// Lists read better as text, with their line ends shown, than as bytes.
static void PrintTo(const QByteArray &bytes, std::ostream *os) {
    *os << ::testing::PrintToString(bytes.toStdString());
}

namespace {

QByteArray fileBytes(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool putFile(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(path.section(QLatin1Char('/'), 0, -2));
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Points the desktop's data and configuration folders, the user's and the
// system's, into a temporary folder: what is installed on the machine that
// runs the tests must not decide them.
class FileAssociation : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char *name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_DATA_DIRS",
                                 "XDG_CONFIG_DIRS", "XDG_CURRENT_DESKTOP"})
            saved_.push_back({name, qEnvironmentVariableIsSet(name), qgetenv(name)});
        qputenv("XDG_DATA_HOME", dir_.filePath("data").toUtf8());
        qputenv("XDG_CONFIG_HOME", dir_.filePath("config").toUtf8());
        qputenv("XDG_DATA_DIRS", dir_.filePath("sysdata").toUtf8());
        qputenv("XDG_CONFIG_DIRS", dir_.filePath("sysconfig").toUtf8());
        qputenv("XDG_CURRENT_DESKTOP", "KDE");
    }
    void TearDown() override {
        for (const auto &[name, wasSet, value] : saved_)
            wasSet ? qputenv(name, value) : qunsetenv(name);
    }
    QString data(const QString &rest) const { return dir_.filePath("data/" + rest); }
    QString config(const QString &rest) const { return dir_.filePath("config/" + rest); }
    void clear() {
        for (const char *sub : {"data", "config", "sysdata", "sysconfig"})
            QDir(dir_.filePath(sub)).removeRecursively();
    }
    // ".squx" another program's, in a list the cases about ".squ" leave
    // alone: what they find is then decided by ".squ" alone.
    void giveSquxAway() {
        ASSERT_TRUE(putFile(dir_.filePath("sysdata/applications/kde-mimeapps.list"),
                            "[Added Associations]\napplication/x-tarvel-squx=other.desktop;\n"));
    }
    // Every folder and file under the temporary folder, with the files' bytes.
    QMap<QString, QByteArray> snapshot() const {
        QMap<QString, QByteArray> all;
        QDirIterator it(dir_.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            all.insert(path, it.fileInfo().isDir() ? QByteArray("<folder>") : fileBytes(path));
        }
        return all;
    }

    QTemporaryDir dir_;
    std::vector<std::tuple<const char *, bool, QByteArray>> saved_;
};

} // namespace

TEST_F(FileAssociation, WritesEverythingOnce) {
    XdgFileAssociation association("/opt/Тарвел 3/tarvel", "tarvel");
    EXPECT_EQ(association.ReadRegString(), QString());
    association.RegisterFileType();
    EXPECT_EQ(association.ReadRegString(), QStringLiteral("tarvel"));

    const QStringList entry =
        QString::fromUtf8(fileBytes(data("applications/tarvel.desktop"))).split(QLatin1Char('\n'));
    for (const QString line : {"[Desktop Entry]", "Type=Application", "Name=Тарвел", "Icon=tarvel",
                               "MimeType=application/x-tarvel-squ;application/x-tarvel-squx;",
                               "Exec=\"/opt/Тарвел 3/tarvel\" %f", "Terminal=false"})
        EXPECT_TRUE(entry.contains(line)) << line.toStdString();

    QXmlStreamReader xml(fileBytes(data("mime/packages/tarvel-squ.xml")));
    QStringList seen;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        const auto a = xml.attributes();
        if (xml.name() == u"mime-type") seen << a.value("type").toString();
        if (xml.name() == u"glob") seen << a.value("pattern").toString();
        if (xml.name() == u"icon") seen << a.value("name").toString();
        if (xml.name() == u"comment") seen << xml.readElementText();
        if (xml.name() == u"match")
            seen << QStringLiteral("%1@%2:%3")
                        .arg(a.value("type"), a.value("offset"), a.value("value"));
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(seen, (QStringList{"application/x-tarvel-squ", "Программа расчета площади", "tarvel",
                                 "*.squ", "application/x-tarvel-squx", "Многоугольник Тарвел",
                                 "tarvel", "*.squx", "string@0:TARVEL-SQUX"}));
    EXPECT_EQ(QImage(data("icons/hicolor/64x64/apps/tarvel.png")).size(), QSize(64, 64));
    EXPECT_EQ(fileBytes(config("mimeapps.list")),
              "[Default Applications]\napplication/x-tarvel-squ=tarvel.desktop\n"
              "application/x-tarvel-squx=tarvel.desktop\n");

    // Once done, a second start touches nothing.
    ASSERT_TRUE(QFile::remove(data("mime/packages/tarvel-squ.xml")));
    const QByteArray marked = fileBytes(data("applications/tarvel.desktop")) + "X-Marker=1\n";
    ASSERT_TRUE(putFile(data("applications/tarvel.desktop"), marked));
    XdgFileAssociation("/elsewhere/tarvel", "tarvel").RegisterFileType();
    EXPECT_FALSE(QFile::exists(data("mime/packages/tarvel-squ.xml")));
    EXPECT_EQ(fileBytes(data("applications/tarvel.desktop")), marked);
}

TEST_F(FileAssociation, KeepsTheUsersOtherChoices) {
    const QByteArray before = "# mine\n[Default Applications]\ntext/plain=gedit.desktop\n\n"
                              "[Added Associations]\nimage/png=gimp.desktop;\n";
    ASSERT_TRUE(putFile(config("mimeapps.list"), before));
    XdgFileAssociation("/usr/bin/tarvel", "tarvel").RegisterFileType();
    EXPECT_EQ(fileBytes(config("mimeapps.list")),
              "# mine\n[Default Applications]\ntext/plain=gedit.desktop\n"
              "application/x-tarvel-squ=tarvel.desktop\n"
              "application/x-tarvel-squx=tarvel.desktop\n\n"
              "[Added Associations]\nimage/png=gimp.desktop;\n");
}

TEST_F(FileAssociation, FailureIsRetriedNextTime) {
    // A folder where the list should be: nothing may replace it, and the
    // desktop entry that marks the work as done is not written.
    ASSERT_TRUE(QDir().mkpath(config("mimeapps.list")));
    XdgFileAssociation("/usr/bin/tarvel", "tarvel").RegisterFileType();
    EXPECT_TRUE(QFileInfo(config("mimeapps.list")).isDir());
    EXPECT_FALSE(QFile::exists(data("applications/tarvel.desktop")));
    ASSERT_TRUE(QDir(config("mimeapps.list")).removeRecursively());
    XdgFileAssociation("/usr/bin/tarvel", "tarvel").RegisterFileType();
    EXPECT_EQ(XdgFileAssociation("/usr/bin/tarvel", "tarvel").ReadRegString(), "tarvel");
}

// The association is looked at on every start: a named pipe where a list or
// the desktop entry should be must not hold the start, and the user's list
// is not replaced when it could not be read.
TEST_F(FileAssociation, NamedPipesAreNotWaitedOn) {
    const std::pair<QString, bool> pipes[] = {{config("mimeapps.list"), true},
                                              {config("kde-mimeapps.list"), true},
                                              {data("applications/tarvel.desktop"), false}};
    for (const auto &[fifo, keptAsPipe] : pipes) {
        SCOPED_TRACE(fifo.toStdString());
        clear();
        ASSERT_TRUE(QDir().mkpath(QFileInfo(fifo).path()));
        ASSERT_TRUE(tarvel::testing::makeFifo(fifo));
        const tarvel::testing::PipeRescuer rescuer(fifo);
        XdgFileAssociation association("/usr/bin/tarvel", "tarvel");
        association.RegisterFileType();
        (void)association.ReadRegString();
        EXPECT_FALSE(rescuer.rescued()) << "the start waited on the pipe";
        if (keptAsPipe) EXPECT_FALSE(QFileInfo(fifo).isFile());
    }
}

TEST_F(FileAssociation, InstallsTheGivenIcon) {
    QImage red(32, 16, QImage::Format_ARGB32);
    red.fill(Qt::red);
    const QString png = dir_.filePath("blue.png");
    QImage blue(64, 64, QImage::Format_ARGB32);
    blue.fill(Qt::blue);
    ASSERT_TRUE(blue.save(png));
    const QColor green(0x43, 0xa0, 0x47); // inside the generated polygon
    const std::pair<XdgFileAssociation::Icon, QColor> cases[] = {
        {red, Qt::red}, {png, Qt::blue}, {dir_.filePath("missing.png"), green}, {{}, green}};
    for (const auto &[icon, centre] : cases) {
        QDir(dir_.filePath("data")).removeRecursively();
        XdgFileAssociation("/usr/bin/tarvel", "tarvel", icon).RegisterFileType();
        const QImage installed(data("icons/hicolor/64x64/apps/tarvel.png"));
        EXPECT_EQ(installed.size(), QSize(64, 64));
        EXPECT_EQ(installed.pixelColor(32, 32), centre);
    }
}

// The first start over the user's own mimeapps.list: a default, added or
// removed application for ".squ" is the user's choice and, ".squx" being
// another program's already, keeps the program from writing anything at all.
TEST_F(FileAssociation, FirstStartOverTheUsersList) {
    const QByteArray e = "application/x-tarvel-squ=tarvel.desktop";
    const QByteArray bom = "\xEF\xBB\xBF";
    struct Case {
        const char *what;
        std::optional<QByteArray> before;
        QByteArray after; // unused when nothing is to be written
        bool registers;
    };
    const Case cases[] = {
        {"no list", std::nullopt, "[Default Applications]\n" + e + "\n", true},
        {"empty", "", "[Default Applications]\n" + e + "\n", true},
        {"no group", "[Added Associations]\na/b=c.desktop;\n",
         "[Added Associations]\na/b=c.desktop;\n\n[Default Applications]\n" + e + "\n", true},
        {"other types", "[Default Applications]\ntext/plain=gedit.desktop\n",
         "[Default Applications]\ntext/plain=gedit.desktop\n" + e + "\n", true},
        {"our type in a group the desktop does not read",
         "[Other]\napplication/x-tarvel-squ=x.desktop\n",
         "[Other]\napplication/x-tarvel-squ=x.desktop\n\n[Default Applications]\n" + e + "\n",
         true},
        {"our type without an application", "[Default Applications]\napplication/x-tarvel-squ=\n",
         "[Default Applications]\n" + e + "\n", true},
        // A default of the program's own whose desktop entry is missing: an
        // earlier start stopped half-way and this one finishes it.
        {"our own default, entry missing", "[Default Applications]\n" + e + "\n",
         "[Default Applications]\n" + e + "\n", true},
        {"header with trailing blanks", "[Default Applications] \t\ntext/plain=gedit.desktop\n",
         "[Default Applications] \t\ntext/plain=gedit.desktop\n" + e + "\n", true},
        {"byte-order mark", bom + "[Default Applications]\ntext/plain=gedit.desktop\n",
         bom + "[Default Applications]\ntext/plain=gedit.desktop\n" + e + "\n", true},
        {"CRLF", "[Default Applications]\r\ntext/plain=gedit.desktop\r\n",
         "[Default Applications]\r\ntext/plain=gedit.desktop\r\n" + e + "\r\n", true},
        {"our type elsewhere",
         "[Default Applications]\napplication/x-tarvel-squ=other.desktop\n",
         {},
         false},
        {"our type elsewhere, spaced",
         "[Default Applications]\napplication/x-tarvel-squ = o.desktop\n",
         {},
         false},
        {"our type added",
         "[Added Associations]\napplication/x-tarvel-squ=other.desktop;\n",
         {},
         false},
        {"our type removed",
         "[Removed Associations]\napplication/x-tarvel-squ=tarvel.desktop;\n",
         {},
         false},
        {"byte-order mark, our type elsewhere",
         bom + "[Default Applications]\napplication/x-tarvel-squ=other.desktop\n",
         {},
         false},
        {"CRLF, our type elsewhere",
         "[Default Applications]\r\napplication/x-tarvel-squ=other.desktop\r\n",
         {},
         false},
    };
    for (const auto &[what, before, after, registers] : cases) {
        clear();
        giveSquxAway();
        if (before) ASSERT_TRUE(putFile(config("mimeapps.list"), *before)) << what;
        const auto untouched = snapshot();
        XdgFileAssociation("/usr/bin/tarvel", "tarvel").RegisterFileType();
        if (registers) {
            EXPECT_EQ(fileBytes(config("mimeapps.list")), after) << what;
            EXPECT_TRUE(QFile::exists(data("applications/tarvel.desktop"))) << what;
        } else {
            EXPECT_TRUE(snapshot() == untouched) << what;
        }
    }
}

// A choice the desktop finds elsewhere counts as well: the current
// desktop's own lists, the system's lists, and the applications that
// declare the type (mimeinfo.cache, as the installed package leaves it).
TEST_F(FileAssociation, AChoiceAnywhereTheDesktopLooksIsKept) {
    const QByteArray defaults = "[Default Applications]\napplication/x-tarvel-squ=other.desktop\n";
    const std::tuple<const char *, QByteArray, bool> cases[] = {
        {"config/kde-mimeapps.list", defaults, false},
        {"sysconfig/mimeapps.list", defaults, false},
        {"sysconfig/kde-mimeapps.list", defaults, false},
        {"data/applications/mimeapps.list", defaults, false},
        {"sysdata/applications/mimeapps.list",
         "[Added Associations]\napplication/x-tarvel-squ=other.desktop;\n", false},
        {"sysdata/applications/mimeinfo.cache",
         "[MIME Cache]\napplication/x-tarvel-squ=tarvel.desktop;\n", false},
        {"data/applications/mimeinfo.cache",
         "[MIME Cache]\ntext/plain=gedit.desktop;\napplication/x-tarvel-squ=other.desktop;\n",
         false},
        // A desktop that is not the current one.
        {"sysconfig/gnome-mimeapps.list", defaults, true},
        {"sysdata/applications/mimeinfo.cache", "[MIME Cache]\ntext/plain=gedit.desktop;\n", true},
        // The type alone, without an application, decides nothing.
        {"sysdata/mime/packages/tarvel-squ.xml",
         "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">"
         "<mime-type type=\"application/x-tarvel-squ\"><glob pattern=\"*.squ\"/></mime-type>"
         "</mime-info>\n",
         true},
    };
    for (const auto &[where, text, registers] : cases) {
        clear();
        giveSquxAway();
        ASSERT_TRUE(putFile(dir_.filePath(where), text)) << where;
        const auto untouched = snapshot();
        XdgFileAssociation("/usr/bin/tarvel", "tarvel").RegisterFileType();
        if (registers)
            EXPECT_EQ(XdgFileAssociation("/usr/bin/tarvel", "tarvel").ReadRegString(), "tarvel")
                << where;
        else
            EXPECT_TRUE(snapshot() == untouched) << where;
    }
}

// Each type is judged on its own: the program becomes the default of those
// that have no application yet, and the desktop entry names both.
TEST_F(FileAssociation, EachTypeGetsTheProgramOnlyWhereItHasNone) {
    const QByteArray squ = "application/x-tarvel-squ=", squx = "application/x-tarvel-squx=";
    const QByteArray group = "[Default Applications]\n";
    struct Row {
        const char *name;
        QByteArray list;                 // the user's mimeapps.list before
        const char *oldEntry;            // tarvel.desktop before, if any
        std::optional<QByteArray> after; // none: nothing is written
    };
    const Row rows[] = {
        {"a fresh home", "", nullptr, group + squ + "tarvel.desktop\n" + squx + "tarvel.desktop\n"},
        {".squ another program's", group + squ + "other.desktop\n", nullptr,
         group + squ + "other.desktop\n" + squx + "tarvel.desktop\n"},
        {"an earlier version's .squ only", group + squ + "tarvel.desktop\n",
         "[Desktop Entry]\nType=Application\nIcon=tarvel\nMimeType=application/x-tarvel-squ;\n",
         group + squ + "tarvel.desktop\n" + squx + "tarvel.desktop\n"},
        {"both another program's", group + squ + "other.desktop\n" + squx + "other.desktop\n",
         nullptr, std::nullopt},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        clear();
        ASSERT_TRUE(putFile(config("mimeapps.list"), row.list));
        if (row.oldEntry) ASSERT_TRUE(putFile(data("applications/tarvel.desktop"), row.oldEntry));
        const auto untouched = snapshot();
        XdgFileAssociation("/usr/bin/tarvel", "tarvel").RegisterFileType();
        if (!row.after) {
            EXPECT_TRUE(snapshot() == untouched);
            continue;
        }
        EXPECT_EQ(fileBytes(config("mimeapps.list")), *row.after);
        EXPECT_TRUE(QString::fromUtf8(fileBytes(data("applications/tarvel.desktop")))
                        .split('\n')
                        .contains("MimeType=application/x-tarvel-squ;application/x-tarvel-squx;"));
        for (const char *icon : {"application-x-tarvel-squ.png", "application-x-tarvel-squx.png"})
            EXPECT_EQ(QImage(data("icons/hicolor/64x64/mimetypes/") + icon).size(), QSize(64, 64))
                << icon;
    }
}

TEST_F(FileAssociation, ARenamedCopyLeavesTheAssociationAlone) {
    XdgFileAssociation("/opt/t/tarvel", "tarvel").RegisterFileType();
    const QByteArray list = fileBytes(config("mimeapps.list"));
    ASSERT_TRUE(list.contains("application/x-tarvel-squ=tarvel.desktop\n"));
    const auto registered = snapshot();

    XdgFileAssociation copy("/opt/t/tarvel2", "tarvel2");
    copy.RegisterFileType();
    EXPECT_EQ(copy.ReadRegString(), QString());
    EXPECT_FALSE(QFile::exists(data("applications/tarvel2.desktop")));
    EXPECT_EQ(fileBytes(config("mimeapps.list")), list);
    EXPECT_TRUE(snapshot() == registered);
}

TEST(FileAssociationText, ExecQuoting) {
    const std::pair<const char *, const char *> cases[] = {
        {"/usr/bin/tarvel", R"("/usr/bin/tarvel" %f)"},
        {"/a/$x`y\"z", R"("/a/\\$x\\`y\\"z" %f)"},
        {"/a\\b", R"("/a\\\\b" %f)"}, // four backslashes for one
        {"/100%/t", R"("/100%%/t" %f)"},
    };
    for (const auto &[path, exec] : cases)
        EXPECT_EQ(XdgFileAssociation::execValue(QString::fromUtf8(path)), QString::fromUtf8(exec))
            << path;
}

TEST(FileAssociationText, MergeMimeAppsList) {
    const QByteArray e = "application/x-tarvel-squ=tarvel.desktop";
    const std::pair<QByteArray, QByteArray> cases[] = {
        {"", "[Default Applications]\n" + e + "\n"},
        {"[Added Associations]\na/b=c.desktop", "[Added Associations]\na/b=c.desktop\n\n"
                                                "[Default Applications]\n" +
                                                    e + "\n"},
        {"[Default Applications]\napplication/x-tarvel-squ=other.desktop\nx/y=z.desktop\n"
         "application/x-tarvel-squ=third.desktop\n",
         "[Default Applications]\n" + e + "\nx/y=z.desktop\n"},
        {"[Default Applications]\n#application/x-tarvel-squ=old.desktop\n",
         "[Default Applications]\n#application/x-tarvel-squ=old.desktop\n" + e + "\n"},
        // A byte-order mark stays where it was and hides no group.
        {"\xEF\xBB\xBF", "\xEF\xBB\xBF[Default Applications]\n" + e + "\n"},
        {"\xEF\xBB\xBF[Default Applications]\napplication/x-tarvel-squ=other.desktop\n",
         "\xEF\xBB\xBF[Default Applications]\n" + e + "\n"},
        // Lines the program adds end as the list's own lines do.
        {"[Added Associations]\r\na/b=c.desktop", "[Added Associations]\r\na/b=c.desktop\r\n\r\n"
                                                  "[Default Applications]\r\n" +
                                                      e + "\r\n"},
    };
    for (const auto &[before, after] : cases)
        EXPECT_EQ(XdgFileAssociation::mergeMimeAppsList(before, "application/x-tarvel-squ",
                                                        "tarvel.desktop"),
                  after)
            << before.toStdString();
}

namespace {

QStringList warningsSeen;
void collectWarning(QtMsgType type, const QMessageLogContext &, const QString &message) {
    if (type == QtWarningMsg) warningsSeen << message;
}

} // namespace

// The user's mimeapps.list is not written through a symbolic link planted
// by another user (only root can make one: as the tests run in CI), nor
// through one in the data folder: said on stderr, the file the link leads
// to stays as it was, and the association is left for the next start. A
// link of the user's own (a dotfiles folder) leads to the list written.
TEST_F(FileAssociation, NoWriteThroughOtherUsersLinks) {
    const QByteArray theirs = "[Default Applications]\ntext/plain=theirs.desktop\n";
    const QString elsewhere = dir_.filePath("elsewhere");
    const struct {
        const char *name;
        QString link; // made to point at `elsewhere` or at the list there
        bool givenAway;
    } rows[] = {
        {"the list a link of the user's own", config("mimeapps.list"), false},
        {"the list a link planted by another user", config("mimeapps.list"), true},
        {"the applications folder a link of another user's", data("applications"), true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        if (row.givenAway && ::geteuid() != 0) continue;
        clear();
        QDir(elsewhere).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(config(".")) && QDir().mkpath(data(".")) &&
                    QDir().mkpath(elsewhere) && putFile(elsewhere + "/mimeapps.list", theirs));
        ASSERT_TRUE(QFile::link(elsewhere + (row.link.endsWith(".list") ? "/mimeapps.list" : ""),
                                row.link));
        if (row.givenAway)
            ASSERT_EQ(::lchown(QFile::encodeName(row.link).constData(), 65534, uid_t(-1)), 0);
        warningsSeen.clear();
        const QtMessageHandler old = qInstallMessageHandler(collectWarning);
        XdgFileAssociation("/usr/bin/tarvel", "tarvel").RegisterFileType();
        qInstallMessageHandler(old);

        const QByteArray list = fileBytes(elsewhere + "/mimeapps.list");
        EXPECT_FALSE(QFile::exists(elsewhere + "/tarvel.desktop"));
        EXPECT_EQ(XdgFileAssociation("/usr/bin/tarvel", "tarvel").ReadRegString(),
                  row.givenAway ? "" : "tarvel");
        if (row.givenAway)
            EXPECT_EQ(list, theirs);
        else
            EXPECT_TRUE(list.startsWith(theirs) && list.contains("x-tarvel-squ=tarvel.desktop"))
                << list.toStdString();
        EXPECT_EQ(warningsSeen.isEmpty(), !row.givenAway) << warningsSeen.join('\n').toStdString();
    }
}

// "Краткая справка" falls back to the built-in help when no program on the
// desktop opens PDF documents: the opener would say it started and then show
// nothing. An application counts only while its desktop entry is installed.
TEST_F(FileAssociation, APdfViewerIsFoundOnlyWhereTheDesktopHasOne) {
    const QByteArray entry = "[Desktop Entry]\nType=Application\nExec=viewer %f\n";
    struct Row {
        const char *name;
        std::vector<std::pair<const char *, QByteArray>> files;
        bool found;
    };
    const Row rows[] = {
        {"nothing installed", {}, false},
        {"a viewer that declares the type",
         {{"sysdata/applications/viewer.desktop", entry},
          {"sysdata/applications/mimeinfo.cache",
           "[MIME Cache]\napplication/pdf=viewer.desktop;\n"}},
         true},
        {"a cache naming an entry that was removed",
         {{"sysdata/applications/mimeinfo.cache",
           "[MIME Cache]\napplication/pdf=viewer.desktop;\n"}},
         false},
        {"programs for other types only",
         {{"sysdata/applications/viewer.desktop", entry},
          {"sysdata/applications/mimeinfo.cache", "[MIME Cache]\nimage/pdf=viewer.desktop;\n"}},
         false},
        {"the user's default",
         {{"data/applications/mine.desktop", entry},
          {"config/mimeapps.list", "[Default Applications]\napplication/pdf=mine.desktop\n"}},
         true},
        {"an association added for this desktop only",
         {{"data/applications/mine.desktop", entry},
          {"config/kde-mimeapps.list", "[Added Associations]\napplication/pdf=mine.desktop;\n"}},
         true},
        {"a default whose entry is missing",
         {{"config/mimeapps.list", "[Default Applications]\napplication/pdf=gone.desktop\n"}},
         false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        clear();
        for (const auto &[path, bytes] : row.files)
            ASSERT_TRUE(putFile(dir_.filePath(QString::fromLatin1(path)), bytes));
        EXPECT_EQ(
            tarvel::platform::desktopHasApplicationFor(
                QStringLiteral("application/pdf"), tarvel::platform::XdgFolders::fromEnvironment()),
            row.found);
    }
}
