// A second program writing the same settings file, for the tests and the
// probe of concurrent writers and of writers killed half-way:
//
//   settings_writer FILE PREFIX COUNT   writes Tunes/<PREFIX><i> = "<PREFIX> <i>"
//                                       for i = 0 .. COUNT-1 (COUNT 0: until killed)
//   settings_writer FILE SECTION KEY VALUE --one
//                                       writes one key
//   settings_writer FILE SECTION KEY --read
//                                       prints the key's value (or "<missing>")
//
// and, for the tests of what a process of the program leaves behind when
// it ends or is killed:
//
//   settings_writer --leave-temporary FOLDER [--folder]
//                                       makes a temporary file (or folder) of
//                                       the program's own name there, prints
//                                       its name and ends without removing it
//   settings_writer --save-polygon FILE [--once]
//                                       saves polygon files there until killed
//                                       (or once), owner texts "A..." and
//                                       "B..." in turn
#include "files/polygon_file.h"
#include "platform/io/regular_file.h"
#include "platform/services/settings_store.h"

#include <QDir>
#include <QFile>

#include <QString>

#include <cstdio>
#include <cstdlib>

using tarvel::platform::IniSettingsStore;

int main(int argc, char *argv[]) {
    const auto arg = [&](int i) { return QString::fromLocal8Bit(argv[i]); };
    if (argc >= 3 && arg(1) == QLatin1String("--leave-temporary")) {
        const QString name = tarvel::platform::ownTemporaryName();
        const QString path = arg(2) + QLatin1Char('/') + name;
        const bool made = argc == 4 ? QDir().mkdir(path)
                                    : QFile(path).open(QIODevice::WriteOnly | QIODevice::NewOnly);
        if (!made) return 1;
        std::printf("%s\n", name.toUtf8().constData());
        return 0;
    }
    if (argc >= 3 && arg(1) == QLatin1String("--save-polygon")) {
        tarvel::files::PolygonFileData data;
        data.count = QStringLiteral("3");
        for (long i = 0;; ++i) {
            data.owner = QString(4000, QLatin1Char(i % 2 ? 'B' : 'A'));
            const bool saved = tarvel::files::writePolygonFile(arg(2), data);
            if (argc == 4) return saved ? 0 : 1;
        }
    }
    if (argc == 5 && arg(4) == QLatin1String("--read")) {
        IniSettingsStore store(IniSettingsStore::AtPath{arg(1)});
        const QString value = store.read(arg(2), arg(3), QStringLiteral("<missing>"));
        std::printf("%s\n", value.toUtf8().constData());
        return 0;
    }
    if (argc == 6 && arg(5) == QLatin1String("--one")) {
        IniSettingsStore(IniSettingsStore::AtPath{arg(1)}).write(arg(2), arg(3), arg(4));
        return 0;
    }
    if (argc != 4) {
        std::fprintf(stderr, "usage: settings_writer FILE PREFIX COUNT\n");
        return 2;
    }
    const QString prefix = arg(2);
    const long count = std::strtol(argv[3], nullptr, 10);
    IniSettingsStore store(IniSettingsStore::AtPath{arg(1)});
    for (long i = 0; count == 0 || i < count; ++i) {
        const long n = count == 0 ? i % 50 : i;
        store.write(QStringLiteral("Tunes"), prefix + QString::number(n),
                    prefix + QLatin1Char(' ') + QString::number(i));
    }
    return 0;
}
