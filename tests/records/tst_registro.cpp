// The audit log of deleted rows, LOGSalvaRiga.Dat, byte for byte, and the
// delete statement.
#include "fixture/fixture.h"
#include "fixture/testmain.h"
#include "platform/clock.h"
#include "platform/errors.h"
#include "records/registro.h"
#include "records/valori.h"

#include <QTest>

namespace {
// Latin-1 text padded with blanks or cut to the width, then "|".
QByteArray campo(const QByteArray &text, int width)
{
    QByteArray out = text.left(width);
    out.append(QByteArray(width - out.size(), ' '));
    return out + '|';
}

QByteArray intestazioneAttesa()
{
    return campo("Log", 14) + campo("Data", 14) + campo("Ora", 12) + campo("IdInventario", 12)
           + campo("Descrizione", 200) + campo("IdProdVtx", 20) + campo("IdProdC", 20) + campo("Barcode", 40)
           + campo("CodProd", 40) + campo("Qt\xe0Reale", 20) + campo("Qt\xe0Sparata", 20);
}

Registro::Voce voce()
{
    Registro::Voce v;
    v.operazione = QStringLiteral("Elimina");
    v.quando = QDateTime(QDate(2026, 12, 5), QTime(9, 3, 7));
    v.idInventario = QStringLiteral("17");
    v.descrizione = QStringLiteral("CAFF\u00c8 \u20ac 1KG");
    v.idAttivo = 42;
    v.idEliminato = 0;
    v.barcode = QStringLiteral("8001230009045");
    v.codInterno = QStringLiteral("P00042");
    v.qtaReale = QStringLiteral("12,5");
    v.qtaSparata = QStringLiteral("0");
    return v;
}

QByteArray rigaAttesa(const QByteArray &descrizione = "CAFF\xc8 \x80 1KG")
{
    return campo("Elimina", 12) + campo("05/12/2026", 12) + campo("09:03:07", 10) + campo("17", 18)
           + campo(descrizione, 180) + campo("42", 20) + campo("0", 20) + campo("8001230009045", 40)
           + campo("P00042", 40) + campo("12,5", 20) + campo("0", 20);
}
} // namespace

class TestRegistro : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void linesByteForByte()
    {
        QCOMPARE(Registro::intestazione().size(), 423);
        QCOMPARE(Registro::intestazione(), intestazioneAttesa());
        QCOMPARE(Registro::riga(voce()).size(), 403);
        QCOMPARE(Registro::riga(voce()), rigaAttesa());

        Registro::Voce lunga = voce();
        lunga.descrizione = QString(170, QLatin1Char('A')) + QStringLiteral("0123456789XYZ");
        QCOMPARE(Registro::riga(lunga), rigaAttesa(QByteArray(170, 'A') + "0123456789"));
    }
    void scriviLogCreatesThenAppends()
    {
        Fixture::Program program;
        Clock::setSource([] { return QDateTime(QDate(2026, 12, 5), QTime(9, 3, 7)); });
        Modulo::IdAttivoScelto = 42;
        Modulo::IdEliminatoScelto = 0;
        const auto scrivi = [] {
            Modulo::ScriviLog(QStringLiteral("Elimina"), QStringLiteral("17"), QStringLiteral("CAFF\u00c8 \u20ac 1KG"),
                              QStringLiteral("8001230009045"), QStringLiteral("P00042"), QStringLiteral("12,5"),
                              QStringLiteral("0"));
        };
        scrivi();
        QCOMPARE(program.readFile(QStringLiteral("LOGSalvaRiga.Dat")), intestazioneAttesa() + "\r\n" + rigaAttesa() + "\r\n");
        scrivi();
        QCOMPARE(program.readFile(QStringLiteral("LOGSalvaRiga.Dat")),
                 intestazioneAttesa() + "\r\n" + rigaAttesa() + "\r\n" + rigaAttesa() + "\r\n");
        QVERIFY(program.errors.isEmpty());
    }
    void deleteStatement()
    {
        QCOMPARE(Registro::istruzioneElimina(QStringLiteral("17")),
                 QStringLiteral("DELETE FROM InventarioReale where idinventarioReale=17"));
        for (const char *chiave : {"", "abc", "1 OR 1=1", "1,5"}) {
            try {
                Registro::istruzioneElimina(QString::fromLatin1(chiave));
                QFAIL(chiave);
            } catch (const RuntimeError &e) {
                QCOMPARE(e.number(), ErrNo::TypeMismatch);
            }
        }
    }
};
INVENTARIO_TEST(TestRegistro)
#include "tst_registro.moc"
