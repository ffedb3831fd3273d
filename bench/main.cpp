// inventario-bench: times the operator's paths through the real main form on
// a shop of realistic size, beside the same statements run bare.
//
//   inventario-bench [--prodotti N] [--eliminati N] [--righe N]
//                    [--ripetizioni N] [--cartella DIR] [--solo PATH,...]
//                    [--latenza MS]
//
// The database is built once per size in DIR (default: bench-data beside the
// executable) and copied into a temporary program folder for every run.
#include "bench.h"
#include "frame/parametri.h"
#include "records/fileexcel.h"
#include "platform/errors.h"
#include "platform/roundtrips.h"
#include "platform/shell.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace Bench {

double median(QVector<double> samples)
{
    if (samples.isEmpty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const int n = samples.size();
    return n % 2 ? samples.at(n / 2) : (samples.at(n / 2 - 1) + samples.at(n / 2)) / 2;
}

double peakMemoryMiB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

void resetPeakMemory()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

double timeMs(const std::function<void()> &f)
{
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e6;
}

}   // namespace Bench

namespace {

using namespace Bench;

struct Options {
    Sizes sizes;
    int ripetizioni = 9;
    QString cartella;
    QStringList solo;
    int latenza = 0;   // ms added to every statement, as over a slow link
};

// A scan cycle is short and its floor waits on the disk: more runs of it.
int scans(int ripetizioni) { return 5 * ripetizioni; }

[[noreturn]] void usage(const char *error)
{
    std::fprintf(stderr,
        "inventario-bench: %s\n"
        "usage: inventario-bench [--prodotti N] [--eliminati N] [--righe N] [--ripetizioni N]\n"
        "                        [--cartella DIR] [--solo startup,scan-new,...] [--latenza MS]\n",
        error);
    std::exit(2);
}

Options parse(const QStringList &args)
{
    Options o;
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (i + 1 >= args.size())
            usage("an option without its value");
        const QString v = args.at(++i);
        bool ok = true;
        if (a == QLatin1String("--prodotti"))
            o.sizes.prodotti = v.toInt(&ok);
        else if (a == QLatin1String("--eliminati"))
            o.sizes.eliminati = v.toInt(&ok);
        else if (a == QLatin1String("--righe"))
            o.sizes.righe = v.toInt(&ok);
        else if (a == QLatin1String("--ripetizioni"))
            o.ripetizioni = v.toInt(&ok);
        else if (a == QLatin1String("--cartella"))
            o.cartella = v;
        else if (a == QLatin1String("--solo"))
            o.solo = v.split(QLatin1Char(','), Qt::SkipEmptyParts);
        else if (a == QLatin1String("--latenza"))
            o.latenza = v.toInt(&ok);
        else
            usage("unknown option");
        if (!ok)
            usage("not a number");
    }
    static const QStringList paths = {QStringLiteral("startup"), QStringLiteral("name-begins"),
        QStringLiteral("name-contains"), QStringLiteral("vedi-tutti"), QStringLiteral("inventory-file"),
        QStringLiteral("uncounted"), QStringLiteral("count-export"), QStringLiteral("scan-new"),
        QStringLiteral("scan-repeat"), QStringLiteral("empty-enter")};
    for (const QString &path : o.solo)
        if (!paths.contains(path))
            usage("--solo takes startup, name-begins, name-contains, vedi-tutti, inventory-file, uncounted, "
                  "count-export, scan-new, scan-repeat, empty-enter");
    if (o.sizes.prodotti < 1 || o.sizes.eliminati < 1 || o.sizes.righe < 1 || o.ripetizioni < 1)
        usage("sizes and repetitions must be at least 1");
    if (o.latenza < 0)
        usage("the latency cannot be negative");
    if (o.sizes.righe + 4 * (scans(o.ripetizioni) + 1) > o.sizes.prodotti)
        usage("too few products: every scan of a new product needs one that is not counted yet");
    return o;
}

// One path's figures: the handlers up to the state the operator waits for
// (with what they paint on the way), the paint that follows, the floor.
struct Line {
    QString id;
    double programma = 0;
    double pittura = 0;
    double pavimento = 0;
    double memoria = 0;
    double viaggi = 0, viaggiPavimento = 0;   // round trips per run
    QString obiettivo;
    bool raggiunto = true;
    double totale() const { return programma + pittura; }
    double rapporto() const { return pavimento > 0 ? programma / pavimento : 0; }
};

QList<Line> g_lines;

// What a path must meet. Over a slow link (--latenza) the scan cycle, whose
// two Enters must each reach the server, takes at most two round trips and
// 15 ms, a name key stroke one round trip and 6 ms; the other paths stay
// within 10 % of their floor: the time is the link's, not the program's.
enum class Kind {
    Startup,   // program + paint within 150 ms
    ScanCycle,   // program + paint within one display frame
    KeyStroke,   // program <= 1.3 x floor
    WholeTable,   // program <= 1.5 x floor
    Spreadsheet,   // program <= 1.3 x floor (libxlsxwriter writing the cells), in constant memory: < 150 MB
};

void setTarget(Line &l, Kind kind, int latency)
{
    auto ratio = [&l](double most) {
        l.obiettivo = QStringLiteral("program <= %1 x floor").arg(most);
        l.raggiunto = l.programma <= most * l.pavimento;
    };
    auto total = [&l](double ms) {
        l.obiettivo = QStringLiteral("program + paint <= %1 ms").arg(ms);
        l.raggiunto = l.totale() <= ms;
    };
    if (latency > 0 && kind == Kind::ScanCycle)
        total(2 * latency + 15);
    else if (latency > 0 && kind == Kind::KeyStroke)
        total(latency + 6);
    else if (latency > 0)
        ratio(1.1);
    else if (kind == Kind::Startup)
        total(150);
    else if (kind == Kind::ScanCycle)
        total(16.7);
    else
        ratio(kind == Kind::KeyStroke || kind == Kind::Spreadsheet ? 1.3 : 1.5);
    if (kind == Kind::Spreadsheet) {
        l.obiettivo += QStringLiteral(", < 150 MB");
        l.raggiunto = l.raggiunto && l.memoria < 150;
    }
}

void printHeader()
{
    std::printf("%-15s %6s %10s %8s %7s %10s %7s %8s   %s\n", "path", "trips", "program", "paint", "f.trips", "floor",
        "ratio", "peak MB", "target");
}

void print(const Line &l)
{
    std::printf("%-15s %6s %10.2f %8.2f %7s %10.2f %7.2f %8.1f   %-36s %s\n", qPrintable(l.id),
        qPrintable(QString::number(l.viaggi)), l.programma, l.pittura, qPrintable(QString::number(l.viaggiPavimento)),
        l.pavimento, l.rapporto(), l.memoria, qPrintable(l.obiettivo), l.raggiunto ? "ok" : "MISSED");
    std::fflush(stdout);
    g_lines.append(l);
}

// Elapsed milliseconds of `f`; the round trips it made are added to `trips`.
double timed(const std::function<void()> &f, qint64 &trips)
{
    const qint64 before = RoundTrips::count();
    const double ms = timeMs(f);
    trips += RoundTrips::count() - before;
    return ms;
}

// The medians of repeated runs; the first run of each path warms caches and
// is not counted. Round trips: the program's (with its paint) and the floor's.
struct Samples {
    QVector<double> programma, pittura, pavimento, viaggi, viaggiPavimento;
    // a path's peak memory is its own
    Samples() { resetPeakMemory(); }
    void add(int run, double p, double q, double f, qint64 trips, qint64 floorTrips)
    {
        if (run == 0)
            return;
        programma << p;
        pittura << q;
        pavimento << f;
        viaggi << double(trips);
        viaggiPavimento << double(floorTrips);
    }
    Line line(const char *id) const
    {
        Line l;
        l.id = QString::fromLatin1(id);
        l.programma = median(programma);
        l.pittura = median(pittura);
        l.pavimento = median(pavimento);
        l.viaggi = median(viaggi);
        l.viaggiPavimento = median(viaggiPavimento);
        l.memoria = peakMemoryMiB() * 1024.0 * 1024.0 / 1e6;
        return l;
    }
};

void checkScreen(Screen &screen, const char *path)
{
    if (!screen.errors.isEmpty())
        throw std::runtime_error(std::string(path) + ": error trapped: " + screen.errors.first().toStdString());
    if (!screen.messages.isEmpty())
        throw std::runtime_error(std::string(path) + ": unexpected message: " + screen.messages.first().toStdString());
}

QString prepareDatabase(const Options &o)
{
    const QString folder = o.cartella.isEmpty()
                               ? QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("bench-data"))
                               : o.cartella;
    QDir().mkpath(folder);
    // the generator's version is in the name: a changed generator builds anew
    const QString path = QDir(folder).filePath(
        QStringLiteral("bench-v3-%1-%2-%3.db").arg(o.sizes.prodotti).arg(o.sizes.eliminati).arg(o.sizes.righe));
    if (QFile::exists(path)) {
        std::printf("database: %s (reused)\n", qPrintable(path));
        return path;
    }
    const QString building = path + QStringLiteral(".building");
    for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(building + suffix);
    const double ms = timeMs([&] { generate(building, o.sizes); });
    for (const QString &suffix : {QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(building + suffix);
    if (!QFile::rename(building, path))
        throw RuntimeError(75, QStringLiteral("cannot rename ") + building);
    std::printf("database: %s (built in %.1f s)\n", qPrintable(path), ms / 1000.0);
    return path;
}

int run(const Options &o)
{
    const QString pristine = prepareDatabase(o);
    const int reps = o.ripetizioni;
    auto wanted = [&](const char *id) { return o.solo.isEmpty() || o.solo.contains(QLatin1String(id)); };

    QTemporaryDir work;
    if (!work.isValid())
        throw RuntimeError(75, QStringLiteral("no temporary folder"));
    const QString db = work.filePath(QStringLiteral("bench.db"));
    if (!QFile::copy(pristine, db))
        throw RuntimeError(75, QStringLiteral("cannot copy ") + pristine);
    Shell::setProgramFolder(work.path());
    Modulo::ScriviParametro(QStringLiteral("StrConnPrincipale"), QStringLiteral("Provider=SQLite;Data Source=") + db);

    const int scanReps = scans(reps);
    const Catalogue catalogo = catalogue(db, 2 * (scanReps + 1));
    if (catalogo.nuovi.size() < 2 * (scanReps + 1) || catalogo.contati.size() < 2 * (scanReps + 1))
        throw RuntimeError(5, QStringLiteral("too few products to scan"));

    RoundTrips::setLatency(o.latenza);
    Floor floor(db);
    Screen screen;
    const int righe = int(floor.scalar(QStringLiteral("SELECT count(*) FROM InventarioReale")));
    const int codici = int(floor.scalar(QStringLiteral("SELECT count(*) FROM Prodotti WHERE CodInterno IS NOT NULL")));
    std::printf(
        "Prodotti %d, prodottiC %d, InventarioReale %d rows; %d repetitions (scans %d). Medians in ms: program = the\n"
        "handlers up to the state the operator waits for (with what they paint on the way), paint = the\n"
        "paint that follows, floor = the same statements run bare; ratio = program / floor. Peak memory\n"
        "(VmHWM) in MB during each path. Round trips to the database in one run (trips: the\n"
        "program's; f.trips: the floor's; a batch, which SQL Server takes in one, counts one here too);\n"
        "%d ms added to each.\n\n",
        o.sizes.prodotti, o.sizes.eliminati, righe, reps, scanReps, o.latenza);
    printHeader();

    // Start-up: the form and its load step; its paint shows the list.
    {
        Samples m;
        for (int i = 0; i <= reps; ++i) {
            qint64 rt = 0, ft = 0;
            const double tp = timed([&] { screen.startup(std::min(50, righe)); }, rt);
            const double tq = timed([&] { screen.paint(); }, rt);
            const double tf = timed([&] { floor.startup(); }, ft);
            m.add(i, tp, tq, tf, rt, ft);
        }
        checkScreen(screen, "startup");
        if (wanted("startup")) {
            Line l = m.line("startup");
            setTarget(l, Kind::Startup, o.latenza);
            print(l);
        }
    }

    // One key stroke of the name search: each prefix of the words typed.
    for (const bool contains : {false, true}) {
        const char *id = contains ? "name-contains" : "name-begins";
        if (!wanted(id))
            continue;
        Samples m;
        const QStringList words = contains ? wordsInside() : wordsBeginning();
        for (int i = 0; i <= reps; ++i) {
            for (const QString &word : words) {
                screen.beginNameSearch(contains);
                for (int k = 0; k < word.size(); ++k) {
                    qint64 rt = 0, ft = 0;
                    const double tp = timed([&] { screen.nameKey(word.at(k), 51); }, rt);
                    const double tq = timed([&] { screen.paint(); }, rt);
                    const QString typed = word.left(k + 1);
                    const double tf = timed([&] { floor.nameSearch(typed, contains); }, ft);
                    m.add(i, tp, tq, tf, rt, ft);
                }
            }
        }
        checkScreen(screen, id);
        Line l = m.line(id);
        setTarget(l, Kind::KeyStroke, o.latenza);
        print(l);
    }

    // "Vedi Tutti": every counted row into the list, with the totals.
    if (wanted("vedi-tutti")) {
        Samples m;
        for (int i = 0; i <= reps; ++i) {
            screen.usualView();
            int listed = 0;
            qint64 rt = 0, ft = 0;
            const double tp = timed([&] { listed = screen.vediTutti(); }, rt);
            const double tq = timed([&] { screen.paint(); }, rt);
            if (listed != righe)
                throw std::runtime_error(
                    QStringLiteral("vedi-tutti: %1 rows listed, %2 in the table").arg(listed).arg(righe).toStdString());
            const double tf = timed([&] { floor.vediTutti(); }, ft);
            m.add(i, tp, tq, tf, rt, ft);
        }
        checkScreen(screen, "vedi-tutti");
        Line l = m.line("vedi-tutti");
        setTarget(l, Kind::WholeTable, o.latenza);
        print(l);
    }

    // The inventory file of every row; the floor writes the same bytes.
    if (wanted("inventory-file")) {
        Samples m;
        const QString floorFile = work.filePath(QStringLiteral("floor.Dat"));
        for (int i = 0; i <= reps; ++i) {
            QString path;
            qint64 rt = 0, ft = 0;
            const double tp = timed([&] { path = screen.inventoryFile(); }, rt);
            const double tq = timed([&] { screen.paint(); }, rt);
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                throw std::runtime_error("inventory-file: the file was not written");
            // title and header first, then 757 bytes for each row and the total
            const QByteArray start = file.read(2000);
            const int head = start.indexOf("\r\n", start.indexOf("\r\n") + 2) + 2;
            const qint64 expected = head + qint64(righe) * 757 + 2 * 2 + 3 * 2;
            file.seek(std::max<qint64>(0, file.size() - 200));
            const QByteArray end = file.readAll();
            if (head < 2 || file.size() < expected || !end.contains("Totale Inventario: "))
                throw std::runtime_error(QStringLiteral("inventory-file: %1 bytes, at least %2 expected")
                                             .arg(file.size())
                                             .arg(expected)
                                             .toStdString());
            file.close();
            const double tf = timed([&] { floor.inventoryFile(floorFile, path, head); }, ft);
            // the next run, maybe in the same second, starts a new file
            QFile::remove(path);
            QFile::remove(floorFile);
            m.add(i, tp, tq, tf, rt, ft);
        }
        checkScreen(screen, "inventory-file");
        Line l = m.line("inventory-file");
        setTarget(l, Kind::WholeTable, o.latenza);
        print(l);
    }

    // The workbooks for a spreadsheet, through the "File" menu; the floor runs
    // the same statement and writes the same cells straight into libxlsxwriter.
    const qint64 nonContati =
        floor.scalar(QStringLiteral("SELECT count(*) FROM (") + FileExcel::kSelectNonContati + QStringLiteral(")"));
    const struct {
        const char *id;
        std::function<QString()> programma;
        std::function<void(const QString &)> pavimento;
        QString titolo;   // what the caption must hold afterwards
    } fogli[] = {
        {"uncounted", [&] { return screen.uncounted(); }, [&](const QString &f) { floor.uncountedWorkbook(f); },
            QStringLiteral(" %1 prodotti non contati ").arg(nonContati)},
        {"count-export", [&] { return screen.countExport(); }, [&](const QString &f) { floor.countWorkbook(f); }, {}},
    };
    for (const auto &foglio : fogli) {
        if (!wanted(foglio.id))
            continue;
        Samples m;
        const QString floorFile = work.filePath(QStringLiteral("floor.xlsx"));
        for (int i = 0; i <= reps; ++i) {
            QString path;
            qint64 rt = 0, ft = 0;
            const double tp = timed([&] { path = foglio.programma(); }, rt);
            const double tq = timed([&] { screen.paint(); }, rt);
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly) || file.read(4) != QByteArray("PK\x03\x04", 4)
                || !screen.caption().contains(foglio.titolo))
                throw std::runtime_error(QStringLiteral("%1: no workbook at %2, or the caption reads %3")
                                             .arg(QLatin1String(foglio.id), path, screen.caption())
                                             .toStdString());
            file.close();
            const double tf = timed([&] { foglio.pavimento(floorFile); }, ft);
            QFile::remove(path);
            QFile::remove(floorFile);
            m.add(i, tp, tq, tf, rt, ft);
        }
        checkScreen(screen, foglio.id);
        Line l = m.line(foglio.id);
        setTarget(l, Kind::Spreadsheet, o.latenza);
        print(l);
    }

    // The scan cycle, for products not counted yet and for counted ones;
    // the program and the floor each scan products of their own.
    for (const bool nuovo : {true, false}) {
        const char *id = nuovo ? "scan-new" : "scan-repeat";
        if (!wanted(id))
            continue;
        const QVector<Product> &prodotti = nuovo ? catalogo.nuovi : catalogo.contati;
        Samples m;
        for (int i = 0; i <= scanReps; ++i) {
            qint64 rt = 0, ft = 0;
            const double tp = timed([&] { screen.scan(prodotti.at(2 * i)); }, rt);
            const double tq = timed([&] { screen.paint(); }, rt);
            const double tf = timed([&] { floor.scan(prodotti.at(2 * i + 1)); }, ft);
            m.add(i, tp, tq, tf, rt, ft);
        }
        checkScreen(screen, id);
        Line l = m.line(id);
        setTarget(l, Kind::ScanCycle, o.latenza);
        print(l);
    }

    // Enter in an empty txtCodice: the whole product master in the list.
    if (wanted("empty-enter")) {
        Samples m;
        for (int i = 0; i <= reps; ++i) {
            screen.usualView();
            int listed = 0;
            qint64 rt = 0, ft = 0;
            const double tp = timed([&] { listed = screen.emptyEnter(); }, rt);
            const double tq = timed([&] { screen.paint(); }, rt);
            if (listed != codici)
                throw std::runtime_error(QStringLiteral("empty-enter: %1 items listed, %2 codes in Prodotti")
                                             .arg(listed)
                                             .arg(codici)
                                             .toStdString());
            const double tf = timed([&] { floor.emptyEnter(); }, ft);
            m.add(i, tp, tq, tf, rt, ft);
        }
        checkScreen(screen, "empty-enter");
        Line l = m.line("empty-enter");
        setTarget(l, Kind::WholeTable, o.latenza);
        print(l);
    }

    int missed = 0;
    for (const Line &l : g_lines)
        missed += l.raggiunto ? 0 : 1;
    std::printf("\n%d of %d targets met\n", int(g_lines.size()) - missed, int(g_lines.size()));
    return 0;
}

}   // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Inventario"));
    const Options options = parse(QCoreApplication::arguments());
    try {
        return run(options);
    } catch (const RuntimeError &e) {
        std::fprintf(stderr, "inventario-bench: %s\n", qPrintable(e.description()));
    } catch (const std::exception &e) {
        std::fprintf(stderr, "inventario-bench: %s\n", e.what());
    }
    return 1;
}
