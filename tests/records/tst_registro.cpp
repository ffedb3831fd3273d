// The audit log of deleted rows, LOGSalvaRiga.Dat, byte for byte, and the
// delete statement.
#include "fixture/fixture.h"
#include "fixture/testmain.h"
#include "platform/clock.h"
#include "records/registro.h"
#include "records/valori.h"

#include <QTest>
#include <utility>

namespace {
// Latin-1 text padded with blanks or cut to the width, then "|".
QByteArray campo(const QByteArray &text, int width)
{
    return text.left(width).leftJustified(width, ' ') + '|';
}
} // namespace

class TestRegistro : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A header when the file is new, then one line per call with the date,
    // the time and the chosen product's ids; header and lines differ in width.
    void logCreatedThenAppended()
    {
        Fixture::Program program;
        Clock::setSource([] { return QDateTime(QDate(2026, 12, 5), QTime(9, 3, 7)); });
        Modulo::IdAttivoScelto = 42;
        Modulo::IdEliminatoScelto = 0;
        QByteArray atteso = campo("Log", 14) + campo("Data", 14) + campo("Ora", 12) + campo("IdInventario", 12)
                            + campo("Descrizione", 200) + campo("IdProdVtx", 20) + campo("IdProdC", 20)
                            + campo("Barcode", 40) + campo("CodProd", 40) + campo("Qt\xe0Reale", 20)
                            + campo("Qt\xe0Sparata", 20) + "\r\n";
        const QList<std::pair<QString, QByteArray>> descrizioni = {
            {QStringLiteral("CAFF\u00c8 \u20ac 1KG"), "CAFF\xc8 \x80 1KG"},
            {QString(170, QLatin1Char('A')) + QStringLiteral("0123456789XYZ"), QByteArray(170, 'A') + "0123456789"}};
        for (const auto &[descrizione, testo] : descrizioni) {
            Modulo::ScriviLog(QStringLiteral("Elimina"), QStringLiteral("17"), descrizione, QStringLiteral("8001230009045"),
                              QStringLiteral("P00042"), QStringLiteral("12,5"), QStringLiteral("0"));
            atteso += campo("Elimina", 12) + campo("05/12/2026", 12) + campo("09:03:07", 10) + campo("17", 18)
                      + campo(testo, 180) + campo("42", 20) + campo("0", 20) + campo("8001230009045", 40)
                      + campo("P00042", 40) + campo("12,5", 20) + campo("0", 20) + "\r\n";
            QCOMPARE(program.readFile(QStringLiteral("LOGSalvaRiga.Dat")), atteso);
        }
        QVERIFY(program.errors.isEmpty());
    }
    void deleteStatement()
    {
        QCOMPARE(Registro::istruzioneElimina(QStringLiteral("17")),
                 QStringLiteral("DELETE FROM InventarioReale where idinventarioReale=17"));
    }
};
INVENTARIO_TEST(TestRegistro)
#include "tst_registro.moc"
