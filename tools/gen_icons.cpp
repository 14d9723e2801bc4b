// gen_icons FOLDER NAME: writes the program's icon into FOLDER as the desktop's icon theme lays it
// out: hicolor/<n>x<n>/apps/NAME.png for n = 16..256, drawn by the program's own logo code, and
// hicolor/scalable/apps/NAME.svg of the same design.
#include "core/files/safe_file.h"
#include "gui/kit/pictures.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPixmap>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: gen_icons FOLDER NAME\n");
        return 2;
    }
    // Drawing needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/hicolor");
    const QString name = QString::fromLocal8Bit(argv[2]);
    auto write = [](const QString& path, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        if (const tally::FileOutcome written = tally::writeFileAtomically(path, bytes); !written) {
            std::fprintf(stderr, "gen_icons: %s: %s\n", qPrintable(path),
                         qPrintable(written.reason()));
            return false;
        }
        return true;
    };
    for (const int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!tally::pictures::aboutLogo(side).save(&buffer, "PNG"))
            return 1;
        if (!write(QStringLiteral("%1/%2x%2/apps/%3.png").arg(folder).arg(side).arg(name), png))
            return 1;
    }
    return write(QStringLiteral("%1/scalable/apps/%2.svg").arg(folder, name),
                 tally::pictures::aboutLogoSvg())
               ? 0
               : 1;
}
