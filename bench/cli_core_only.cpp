// The command line on the core library alone, for bench/cli_scan: what a scan costs without the
// windowed libraries that tallyscope links.
#include "core/cli/command_line.h"
#include "core/settings/program_folder.h"

#include <QCoreApplication>
#include <QFile>

#include <unistd.h>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tallyscope"));
    tally::ProgramFolder::prepare();
    QFile out, err;
    out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    err.open(STDERR_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    return tally::cli::run(tally::cli::parseArguments(app.arguments().mid(1)), &out, &err);
}
