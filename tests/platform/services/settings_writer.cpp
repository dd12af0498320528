// A second program writing the same settings file, for the tests and the
// probe of concurrent writers and of writers killed half-way:
//
//   settings_writer FILE PREFIX COUNT   writes Tunes/<PREFIX><i> = "<PREFIX> <i>"
//                                       for i = 0 .. COUNT-1 (COUNT 0: until killed)
//   settings_writer FILE SECTION KEY VALUE --one
//                                       writes one key
//   settings_writer FILE SECTION KEY --read
//                                       prints the key's value (or "<missing>")
#include "platform/services/settings_store.h"

#include <QString>

#include <cstdio>
#include <cstdlib>

using tarvel::platform::IniSettingsStore;

int main(int argc, char *argv[]) {
    const auto arg = [&](int i) { return QString::fromLocal8Bit(argv[i]); };
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
