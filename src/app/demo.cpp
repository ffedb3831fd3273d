// Lays out the demo beside the program: demo.db when absent, and a term.ini
// that points at it when none names a connection (the installer leaves an
// empty one), so that the operator's own are never overwritten.
#include "frame/parametri.h"
#include "frame/errore.h"
#include "platform/shell.h"
#include "records/schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QCoreApplication::applicationDirPath();
    Shell::setProgramFolder(folder);
    bool failed = false;
    Modulo::setErrorHandler([&](const Modulo::ErrorRecord &e) {
        std::fprintf(stderr, "inventario-demo: %s\n", qPrintable(e.description));
        failed = true;
    });
    const QString db = QDir(folder).filePath(QStringLiteral("demo.db"));
    try {
        if (!QFile::exists(db)) {
            Schema::creaDatabaseSQLite(db, true);
            std::printf("creato %s\n", qPrintable(db));
        }
    } catch (const RuntimeError &e) {
        std::fprintf(stderr, "inventario-demo: %s\n", qPrintable(e.description()));
        return 1;
    }
    if (Modulo::LeggiParametro(QStringLiteral("StrConnPrincipale")).trimmed().isEmpty()) {
        Modulo::ScriviParametro(
            QStringLiteral("StrConnPrincipale"), QStringLiteral("Provider=SQLite;Data Source=demo.db"));
        std::printf("creato %s\n", qPrintable(Modulo::parameterFilePath()));
    }
    return failed ? 1 : 0;
}
