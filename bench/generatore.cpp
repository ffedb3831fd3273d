// The synthetic shop: a product master of Italian grocery, household and
// small electrical goods, a table of eliminated products, and a count in
// progress. Deterministic, so that every run measures the same data.
#include "bench.h"
#include "platform/db.h"
#include "platform/errors.h"
#include "records/schema.h"

#include <QDate>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <cmath>
#include <random>

namespace Bench {
namespace {

struct Tipo {
    const char *reparto;   // head of the internal code
    const char *nome;
    double prezzo;   // selling price of the base size
    int taglie;   // which size list applies
};

// Sizes by kind of goods, each with its price factor.
struct Taglia {
    const char *testo;
    double fattore;
};
const QVector<QVector<Taglia>> kTaglie = {
    {{"250G", 0.6}, {"500G", 1.0}, {"1KG", 1.85}, {"3X500G", 2.8}, {"5KG", 8.5}},
    {{"500ML", 0.6}, {"1L", 1.0}, {"1,5L", 1.4}, {"6X1,5L", 7.5}, {"330ML", 0.45}, {"75CL", 1.0}},
    {{"CONF. 1 PZ", 1.0}, {"CONF. 2 PZ", 1.9}, {"CONF. 4 PZ", 3.6}, {"CONF. 6 PZ", 5.2}, {"CONF. 12 PZ", 9.8}},
    {{"100G", 0.5}, {"150G", 0.7}, {"200G", 1.0}, {"400G", 1.8}, {"VASETTO 125G", 0.6}},
    {{"BIANCO", 1.0}, {"NERO", 1.0}, {"GRIGIO", 1.05}, {"ROSSO", 1.1}, {"INOX", 1.4}},
};

const Tipo kTipi[] = {
    {"ALI", "PASTA SPAGHETTI N.5", 0.89, 0},
    {"ALI", "PASTA PENNE RIGATE", 0.95, 0},
    {"ALI", "PASTA FUSILLI", 0.95, 0},
    {"ALI", "PASTA RIGATONI", 0.99, 0},
    {"ALI", "PASTA FARFALLE", 1.05, 0},
    {"ALI", "PASTA ALL'UOVO TAGLIATELLE", 1.79, 0},
    {"ALI", "RISO CARNAROLI", 2.49, 0},
    {"ALI", "RISO ARBORIO", 2.19, 0},
    {"ALI", "RISO BASMATI", 2.59, 0},
    {"ALI", "FARINA 00", 0.79, 0},
    {"ALI", "FARINA INTEGRALE", 1.19, 0},
    {"ALI", "ZUCCHERO SEMOLATO", 1.09, 0},
    {"ALI", "ZUCCHERO DI CANNA", 1.89, 0},
    {"ALI", "SALE FINO IODATO", 0.45, 0},
    {"ALI", "SALE GROSSO", 0.39, 0},
    {"ALI", "CAFFE' MACINATO ESPRESSO", 3.99, 3},
    {"ALI", "CAFFE' IN GRANI", 9.90, 0},
    {"ALI", "CAFFE' DECAFFEINATO", 4.29, 3},
    {"ALI", "TE' NERO", 1.69, 2},
    {"ALI", "TE' VERDE", 1.89, 2},
    {"ALI", "CAMOMILLA", 1.49, 2},
    {"ALI", "TISANA ALLA FRUTTA", 1.99, 2},
    {"ALI", "OLIO EXTRAVERGINE D'OLIVA", 6.90, 1},
    {"ALI", "OLIO DI SEMI DI GIRASOLE", 2.29, 1},
    {"ALI", "ACETO DI VINO BIANCO", 0.99, 1},
    {"ALI", "ACETO BALSAMICO DI MODENA", 3.49, 1},
    {"ALI", "PASSATA DI POMODORO", 0.85, 3},
    {"ALI", "POLPA DI POMODORO", 0.79, 3},
    {"ALI", "POMODORI PELATI", 0.69, 3},
    {"ALI", "TONNO ALL'OLIO D'OLIVA", 1.99, 3},
    {"ALI", "SGOMBRO AL NATURALE", 1.79, 3},
    {"ALI", "FAGIOLI BORLOTTI", 0.89, 3},
    {"ALI", "CECI LESSATI", 0.85, 3},
    {"ALI", "LENTICCHIE", 1.29, 3},
    {"ALI", "PISELLI FINI", 0.99, 3},
    {"ALI", "MAIS DOLCE", 0.89, 3},
    {"FRE", "LATTE INTERO", 1.19, 1},
    {"FRE", "LATTE PARZIALMENTE SCREMATO", 1.09, 1},
    {"FRE", "YOGURT BIANCO", 0.59, 3},
    {"FRE", "YOGURT ALLA FRAGOLA", 0.65, 3},
    {"FRE", "MOZZARELLA", 0.99, 3},
    {"FRE", "PARMIGIANO REGGIANO", 4.90, 3},
    {"FRE", "GRANA PADANO", 3.90, 3},
    {"FRE", "PROSCIUTTO COTTO", 2.49, 3},
    {"FRE", "PROSCIUTTO CRUDO DI PARMA", 3.99, 3},
    {"FRE", "SALAME MILANO", 2.29, 3},
    {"FRE", "BRESAOLA DELLA VALTELLINA", 4.49, 3},
    {"FRE", "BURRO", 1.99, 3},
    {"FRE", "UOVA FRESCHE", 1.79, 2},
    {"FRE", "RICOTTA", 1.29, 3},
    {"DOL", "BISCOTTI FROLLINI", 2.19, 0},
    {"DOL", "FETTE BISCOTTATE", 1.79, 0},
    {"DOL", "CRACKERS SALATI", 1.29, 0},
    {"DOL", "GRISSINI TORINESI", 1.49, 0},
    {"DOL", "CIOCCOLATO FONDENTE", 1.99, 3},
    {"DOL", "CIOCCOLATO AL LATTE", 1.89, 3},
    {"DOL", "MERENDINE AL CACAO", 2.49, 2},
    {"DOL", "CEREALI INTEGRALI", 3.29, 0},
    {"DOL", "MIELE MILLEFIORI", 4.99, 3},
    {"DOL", "MARMELLATA DI ALBICOCCHE", 2.39, 3},
    {"DOL", "CREMA SPALMABILE ALLE NOCCIOLE", 3.99, 3},
    {"DOL", "CARAMELLE ALLA MENTA", 0.99, 3},
    {"BEV", "ACQUA MINERALE NATURALE", 0.29, 1},
    {"BEV", "ACQUA FRIZZANTE", 0.32, 1},
    {"BEV", "ARANCIATA", 1.29, 1},
    {"BEV", "SUCCO DI FRUTTA ALLA PESCA", 1.49, 1},
    {"BEV", "BIRRA LAGER", 1.09, 1},
    {"BEV", "BIRRA DOPPIO MALTO", 1.59, 1},
    {"BEV", "VINO ROSSO CHIANTI DOCG", 7.90, 1},
    {"BEV", "VINO BIANCO VERMENTINO", 6.50, 1},
    {"BEV", "PROSECCO DOC EXTRA DRY", 8.90, 1},
    {"BEV", "AMARO DI ERBE", 12.90, 1},
    {"DET", "DETERSIVO PIATTI AL LIMONE", 1.59, 1},
    {"DET", "DETERSIVO LAVATRICE", 6.99, 1},
    {"DET", "AMMORBIDENTE", 2.99, 1},
    {"DET", "CANDEGGINA", 1.29, 1},
    {"DET", "SGRASSATORE UNIVERSALE", 2.49, 1},
    {"DET", "DETERGENTE PAVIMENTI", 2.19, 1},
    {"DET", "PASTIGLIE LAVASTOVIGLIE", 5.99, 2},
    {"DET", "ANTICALCARE", 2.79, 1},
    {"IGI", "CARTA IGIENICA", 3.49, 2},
    {"IGI", "ROTOLONE ASCIUGATUTTO", 2.49, 2},
    {"IGI", "FAZZOLETTI DI CARTA", 1.99, 2},
    {"IGI", "SAPONE LIQUIDO MANI", 1.89, 1},
    {"IGI", "BAGNOSCHIUMA", 2.59, 1},
    {"IGI", "SHAMPOO CAPELLI NORMALI", 2.99, 1},
    {"IGI", "BALSAMO PER CAPELLI", 2.79, 1},
    {"IGI", "DENTIFRICIO", 1.69, 3},
    {"IGI", "SPAZZOLINO MEDIO", 1.99, 2},
    {"IGI", "DEODORANTE SPRAY", 2.89, 1},
    {"IGI", "PANNOLINI TAGLIA 4", 9.90, 2},
    {"IGI", "ASSORBENTI", 2.49, 2},
    {"ANI", "CIBO PER GATTI AL SALMONE", 0.79, 3},
    {"ANI", "CIBO PER CANI CON MANZO", 1.29, 3},
    {"ANI", "CROCCHETTE PER CANI", 3.99, 0},
    {"ANI", "LETTIERA PER GATTI", 4.99, 0},
    {"CAS", "PILE ALCALINE AA", 4.99, 2},
    {"CAS", "PILE ALCALINE AAA", 4.99, 2},
    {"CAS", "LAMPADINA LED E27", 3.49, 2},
    {"CAS", "NASTRO ADESIVO", 1.49, 2},
    {"CAS", "SACCHETTI GELO", 1.19, 2},
    {"CAS", "PELLICOLA TRASPARENTE", 1.39, 2},
    {"CAS", "CARTA ALLUMINIO", 1.59, 2},
    {"CAS", "QUADERNO A QUADRETTI", 0.99, 2},
    {"CAS", "PENNA A SFERA", 0.49, 2},
    {"CAS", "COLLA STICK", 1.29, 2},
    {"ELE", "PROLUNGA ELETTRICA", 8.90, 4},
    {"ELE", "CIABATTA 6 PRESE", 12.90, 4},
    {"ELE", "FERRO DA STIRO", 39.90, 4},
    {"ELE", "ASCIUGACAPELLI", 29.90, 4},
    {"ELE", "MACCHINA DA CAFFE' ESPRESSO", 189.00, 4},
    {"ELE", "BOLLITORE ELETTRICO", 24.90, 4},
    {"ELE", "TOSTAPANE", 29.90, 4},
    {"ELE", "FRULLATORE AD IMMERSIONE", 34.90, 4},
    {"ELE", "ASPIRAPOLVERE SENZA SACCO", 249.00, 4},
    {"ELE", "FORNO A MICROONDE", 119.00, 4},
    {"ELE", "TELEVISORE LED 55\"", 649.00, 4},
    {"ELE", "LAVATRICE 8KG CLASSE A", 529.00, 4},
};
constexpr int kNumTipi = int(sizeof(kTipi) / sizeof(kTipi[0]));

const char *const kQualita[] = {
    "",
    "",
    "",
    "",
    "BIO",
    "INTEGRALE",
    "SENZA GLUTINE",
    "LIGHT",
    "CLASSICO",
    "EXTRA",
    "DELICATO",
    "INTENSO",
    "FAMIGLIA",
    "MAXI",
    "SCORTA",
    "OFFERTA",
    "ALLA NOCCIOLA",
    "AL LIMONE",
};
constexpr int kNumQualita = int(sizeof(kQualita) / sizeof(kQualita[0]));

const char *const kMarche[] = {
    "CASA ROSSI",
    "MULINO VERDE",
    "VALLE D'ORO",
    "LA CONTADINA",
    "DOLCE VITA",
    "SOLE MIO",
    "TERRE DI SIENA",
    "FRATELLI BIANCHI",
    "ALPINA",
    "MARE BLU",
    "CAMPO FIORITO",
    "BONTA' DEL SUD",
    "CASCINA SAN PIETRO",
    "TRE MONTI",
    "GRAN GUSTO",
    "LA MASSERIA",
    "ORO DI PUGLIA",
    "VERDE NATURA",
    "PRIMO PREZZO",
    "SELEZIONE ORO",
    "LAGO MAGGIORE",
    "ANTICA RICETTA",
    "SAPORI NOSTRI",
    "NONNA ADA",
    "LINEA CASA",
    "ELETTROVIP",
    "SPLENDOR",
    "PULITO",
    "CANDIDA",
    "FIDO FELICE",
};
constexpr int kNumMarche = int(sizeof(kMarche) / sizeof(kMarche[0]));

// EAN-13 / EAN-8 check digit over the digits given.
int checkDigit(const QString &digits)
{
    int sum = 0;
    const int n = digits.size();
    for (int i = 0; i < n; ++i) {
        const int d = digits.at(n - 1 - i).digitValue();
        sum += (i % 2 == 0) ? 3 * d : d;
    }
    return (10 - sum % 10) % 10;
}

// A small generator of its own for each product, so that a product can be
// made again from its id alone and nothing needs to be kept in memory.
struct SplitMix {
    quint64 state;
    quint64 operator()()
    {
        quint64 z = (state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
};

struct Riga {
    qint64 id;
    QString codice, descrizione, barcode;
    double pubblico, acquisto, giacenza;
    bool eliminato;
};

Riga prodotto(qint64 id, bool eliminato)
{
    SplitMix rng{quint64(id) * 0x2545F4914F6CDD1DULL};
    Riga r;
    r.id = id;
    r.eliminato = eliminato;
    const Tipo &t = kTipi[rng() % kNumTipi];
    const QVector<Taglia> &taglie = kTaglie.at(t.taglie);
    const Taglia &taglia = taglie.at(int(rng() % taglie.size()));
    const char *qualita = kQualita[rng() % kNumQualita];
    const char *marca = kMarche[rng() % kNumMarche];
    r.codice = QString::fromLatin1(t.reparto) + QStringLiteral("%1").arg(id, 6, 10, QLatin1Char('0'));
    r.descrizione = QString::fromLatin1(t.nome);
    if (*qualita)
        r.descrizione += QLatin1Char(' ') + QLatin1String(qualita);
    r.descrizione += QLatin1Char(' ') + QLatin1String(marca) + QLatin1Char(' ') + QLatin1String(taglia.testo);
    // the same product line from different makers costs a little more or less
    const double variazione = 0.8 + double(rng() % 41) / 100.0;
    r.pubblico = std::round(t.prezzo * taglia.fattore * variazione * 100.0) / 100.0;
    r.acquisto = std::round(r.pubblico * (0.55 + double(rng() % 16) / 100.0) * 100.0) / 100.0;
    const int giacenza = int(rng() % 120);
    r.giacenza = (rng() % 25 == 0) ? giacenza + 0.5 : giacenza;   // goods sold by weight
    // EAN-13 of Italian makers for most, EAN-8 for small items, some with none
    const int kind = int(rng() % 100);
    if (kind < 90) {
        // a bijection of the id, so that barcodes are unique but not sequential
        const qint64 corpo = (id * 7919LL * 104729LL) % 10000000000LL;
        const QString digits = QStringLiteral("80") + QStringLiteral("%1").arg(corpo, 10, 10, QLatin1Char('0'));
        r.barcode = digits + QString::number(checkDigit(digits));
    } else if (kind < 97) {
        const QString digits = QStringLiteral("2%1").arg(id, 6, 10, QLatin1Char('0'));
        r.barcode = digits + QString::number(checkDigit(digits));
    }
    return r;
}

void fail(const QSqlQuery &q, const QString &what) { Db::fail(q.lastError(), what, ErrNo::DbStatementFailure); }

}   // namespace

void generate(const QString &path, const Sizes &sizes)
{
    Schema::creaDatabaseSQLite(path, false);
    const QString name = QStringLiteral("bench-generator");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open())
            Db::fail(db.lastError(), path, ErrNo::DbProviderFailure);
        QSqlQuery(db).exec(QStringLiteral("PRAGMA synchronous=OFF"));
        if (!db.transaction())
            Db::fail(db.lastError(), QStringLiteral("BEGIN"), ErrNo::DbStatementFailure);

        std::mt19937_64 rng(20261205);
        const qint64 totale = qint64(sizes.prodotti) + sizes.eliminati;
        // eliminated products keep the ids they had, scattered among the others
        std::vector<char> eliminato(size_t(totale), 0);
        std::fill(eliminato.begin(), eliminato.begin() + sizes.eliminati, 1);
        std::shuffle(eliminato.begin(), eliminato.end(), rng);

        QSqlQuery insP(db), insC(db);
        const QString colonne =
            QStringLiteral(" (IDProdotto, CodInterno, Descrizione, Barcode, PrezzoPubblico, PrezzoAcquisto, Giacenza)"
                           " VALUES (?,?,?,?,?,?,?)");
        insP.prepare(QStringLiteral("INSERT INTO Prodotti") + colonne);
        insC.prepare(QStringLiteral("INSERT INTO prodottiC") + colonne);
        std::vector<qint64> attivi, eliminati;
        attivi.reserve(size_t(sizes.prodotti));
        eliminati.reserve(size_t(sizes.eliminati));
        for (qint64 id = 1; id <= totale; ++id) {
            const Riga r = prodotto(id, eliminato[size_t(id - 1)] != 0);
            QSqlQuery &q = r.eliminato ? insC : insP;
            q.bindValue(0, r.id);
            q.bindValue(1, r.codice);
            q.bindValue(2, r.descrizione);
            q.bindValue(3, r.barcode);
            q.bindValue(4, r.pubblico);
            q.bindValue(5, r.acquisto);
            q.bindValue(6, r.giacenza);
            if (!q.exec())
                fail(q, QStringLiteral("INSERT prodotto"));
            (r.eliminato ? eliminati : attivi).push_back(id);
        }

        // The count in progress: mostly current products, a few eliminated
        // ones still on the shelf, in the order the shelves were walked.
        const int daEliminati = std::min(sizes.eliminati / 2, sizes.righe / 20);
        const int daAttivi = sizes.righe - daEliminati;
        if (daAttivi > sizes.prodotti)
            throw RuntimeError(5, QStringLiteral("more counted rows than products"));
        std::shuffle(attivi.begin(), attivi.end(), rng);
        std::shuffle(eliminati.begin(), eliminati.end(), rng);
        std::vector<qint64> contati;
        contati.reserve(size_t(sizes.righe));
        contati.insert(contati.end(), attivi.begin(), attivi.begin() + daAttivi);
        contati.insert(contati.end(), eliminati.begin(), eliminati.begin() + daEliminati);
        std::shuffle(contati.begin(), contati.end(), rng);

        QSqlQuery insI(db);
        insI.prepare(QStringLiteral(
            "INSERT INTO InventarioReale (DescProdotto,Barcode,PrezzoPubblico,PrezzoAcquisto,IVA,IDCategoria,"
            "Categoria,UM,Modifica,Modificato,GiacenzaReale,GiacenzaStatistica,DataModifica,IDProdottoVentrox,"
            "IDProdottoEliminato,CodInterno) VALUES (?,?,?,?,0,1000,'Generico','N°','0','0',?,?,?,?,?,?)"));
        // a count of five days: the rows of one day follow each other
        const QDate inizio(2026, 12, 1);
        qint64 progressivo = 0;
        for (const qint64 id : contati) {
            const qint64 giorno = progressivo++ * 5 / qint64(contati.size());
            const Riga riga = prodotto(id, eliminato[size_t(id - 1)] != 0);
            const Riga *r = &riga;
            const int pezzi = 1 + int(rng() % 60);
            insI.bindValue(0, r->descrizione);
            insI.bindValue(1, r->barcode);
            insI.bindValue(2, r->pubblico);
            insI.bindValue(3, r->acquisto);
            insI.bindValue(4, (rng() % 20 == 0) ? pezzi + 0.5 : double(pezzi));
            insI.bindValue(5, r->giacenza);
            insI.bindValue(6, inizio.addDays(giorno).toString(QStringLiteral("dd/MM/yyyy")));
            insI.bindValue(7, r->eliminato ? 0 : r->id);
            insI.bindValue(8, r->eliminato ? r->id : 0);
            insI.bindValue(9, r->codice);
            if (!insI.exec())
                fail(insI, QStringLiteral("INSERT InventarioReale"));
        }
        if (!db.commit())
            Db::fail(db.lastError(), QStringLiteral("COMMIT"), ErrNo::DbStatementFailure);
        QSqlQuery(db).exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

Catalogue catalogue(const QString &path, int wanted)
{
    Catalogue c;
    const QString name = QStringLiteral("bench-catalogue");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open())
            Db::fail(db.lastError(), path, ErrNo::DbProviderFailure);
        // Spread over the whole id range, one in ten from prodottiC; products
        // without a barcode are scanned by their internal code.
        // the ids first, then only the products picked
        auto read = [&](const QString &sql, QVector<Product> &out, int limit) {
            QSqlQuery q(db);
            q.setForwardOnly(true);
            if (!q.exec(sql))
                fail(q, sql);
            std::vector<qint64> ids;
            while (q.next())
                ids.push_back(q.value(0).toLongLong());
            q.finish();
            const QString tabella =
                sql.contains(QLatin1String("prodottiC")) ? QStringLiteral("prodottiC") : QStringLiteral("Prodotti");
            const int n = std::min<int>(limit, int(ids.size()));
            for (int i = 0; i < n; ++i) {
                const qint64 id = ids.at(size_t(qint64(i) * qint64(ids.size()) / n));
                QSqlQuery p(db);
                if (!p.exec(QStringLiteral("SELECT CodInterno, Barcode FROM ") + tabella
                            + QStringLiteral(" WHERE IDProdotto = ") + QString::number(id))
                    || !p.next())
                    fail(p, QStringLiteral("catalogue"));
                out.append({id, p.value(0).toString(), p.value(1).toString(), tabella == QLatin1String("prodottiC")});
            }
        };
        const int eliminati = std::max(1, wanted / 10);
        const QString nuoviP = QStringLiteral(
            "SELECT p.IDProdotto FROM Prodotti p WHERE NOT EXISTS "
            "(SELECT 1 FROM InventarioReale i WHERE i.IDProdottoVentrox = p.IDProdotto) ORDER BY p.IDProdotto");
        const QString nuoviC = QStringLiteral(
            "SELECT p.IDProdotto FROM prodottiC p WHERE NOT EXISTS "
            "(SELECT 1 FROM InventarioReale i WHERE i.IDProdottoEliminato = p.IDProdotto) ORDER BY p.IDProdotto");
        QVector<Product> attivi, vecchi;
        read(nuoviP, attivi, wanted - eliminati);
        read(nuoviC, vecchi, eliminati);
        // every tenth scan is of an eliminated product
        for (int i = 0, a = 0, e = 0; a < attivi.size() || e < vecchi.size(); ++i) {
            if ((i % 10 == 9 && e < vecchi.size()) || a >= attivi.size())
                c.nuovi.append(vecchi.at(e++));
            else
                c.nuovi.append(attivi.at(a++));
        }
        read(QStringLiteral("SELECT p.IDProdotto FROM Prodotti p JOIN InventarioReale i "
                            "ON i.IDProdottoVentrox = p.IDProdotto ORDER BY p.IDProdotto"),
            c.contati, wanted);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return c;
}

QStringList wordsBeginning()
{
    return {QStringLiteral("PASTA FU"), QStringLiteral("CAFFE' M"), QStringLiteral("DETERSIVO L"),
        QStringLiteral("ZUCCHERO"), QStringLiteral("VINO R")};
}

QStringList wordsInside()
{
    return {
        QStringLiteral("GLUTINE"), QStringLiteral("NOCCIOLE"), QStringLiteral("MASSERIA"), QStringLiteral("ORO DI P")};
}

}   // namespace Bench
