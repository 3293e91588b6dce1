#include "cli/kelvaracli.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kelvara-cli"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    KelvaraCli cli(out, err);
    return cli.run(QCoreApplication::arguments().mid(1));
}
