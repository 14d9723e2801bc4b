// gen_settings_ini FILE: writes the default settings.ini to FILE unless FILE exists.
#include "core/product/engine_table.h"

#include <QFile>
#include <QSaveFile>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: gen_settings_ini FILE\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    if (QFile::exists(path))
        return 0;
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(tally::defaultSettingsIni()) < 0 ||
        !out.commit()) {
        std::fprintf(stderr, "gen_settings_ini: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
