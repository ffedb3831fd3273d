// The searches on SQL Server, through a stand-in that records what arrives:
// a '[' of the search text is escaped there, where LIKE reads it as a set.
#include "fixture/fixture.h"
#include "fixture/recorder.h"
#include "fixture/testmain.h"
#include "frame/modulo.h"
#include "screen/frminventario.h"

#include <QLineEdit>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QByteArray kNessuno = R"j([{"match": "FROM prodotti", "columns": [["IDprodotto", "int"], ["CodInterno", "varchar(20)"],
  ["Descrizione", "varchar(40)"]], "rows": []}])j";
}

class TestRicercaServer : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void bracketEscapedInTheSearchTexts()
    {
        Fixture::Program program;
        START_RECORDER(rec, kNessuno);
        Modulo::ConnPrincipale().open(rec.connectionString());
        frmInventario form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto *codice = form.findChild<QLineEdit *>(u"txtCodice"_s);
        codice->setFocus();
        codice->setText(u"A[1]'"_s);
        rec.log();
        QTest::keyClick(codice, Qt::Key_Return);
        form.findChild<QLineEdit *>(u"txtNome"_s)->setText(u"B[2"_s);
        QCOMPARE(rec.log(), (QStringList{u"batch: Select  IDprodotto, CodInterno,Descrizione, 1 AS Ricerca FROM Prodotti where "
                                         "CodInterno Like 'A[[]1]''%' UNION ALL Select  IDprodotto, CodInterno,Descrizione, "
                                         "2 AS Ricerca FROM Prodotti where Barcode Like 'A[[]1]''' UNION ALL Select  "
                                         "IDprodotto, CodInterno,Descrizione, 3 AS Ricerca FROM prodottiC where Barcode Like "
                                         "'A[[]1]''' UNION ALL Select  IDprodotto, CodInterno,Descrizione, 4 AS Ricerca FROM "
                                         "prodottiC  where CodInterno Like 'A[[]1]'''"_s,
                                         u"batch: Select IDProdotto,Descrizione,CodInterno FROM Prodotti where Descrizione "
                                         "Like 'B[[]2%'"_s,
                                         u"batch: Select  IDprodotto, CodInterno,Descrizione FROM prodottiC where Descrizione "
                                         "Like 'B[[]2%'"_s}));
        QVERIFY(program.errors.isEmpty());
    }
};
INVENTARIO_TEST(TestRicercaServer)
#include "tst_ricercaserver.moc"
