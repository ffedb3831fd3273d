// Counting: scan, quantity, Enter; rows clicked and deleted, logged; the inventory file; line ends.
#include "fixture/schermo.h"
#include "frame/frmerrore.h"
#include "platform/clock.h"
#include "records/registro.h"
#include "ui_FrmErrore.h"

using namespace Fixture;

namespace {

const QDateTime kAdesso(QDate(2026, 12, 5), QTime(14, 30, 22));
const QString kCaffe = u"CAFFE' MACINATO \u00c8 \u20ac 100%"_s;
const QString kBcCaffe = u"8001230009045"_s, kBcZucchero = u"8001230009052"_s, kBcVecchia = u"8001230000019"_s;

// The main screen on a shop of three products, at a fixed moment.
struct Banco : Schermo {
    Banco()
    {
        Clock::setSource([] { return kAdesso; });
        program.addProduct(42, u"P00042"_s, kCaffe, kBcCaffe, 1234.5, 999.99, 12);
        program.addProduct(43, u"P00043"_s, u"ZUCCHERO 1KG"_s, kBcZucchero, 1.09, 0.68, 30);
        program.addProduct(5001, u"C00001"_s, u"PASTA VECCHIA CONF."_s, kBcVecchia, 1.59, 0.98, 3, true);
    }
};

}   // namespace

class TestConteggio : public QObject {
    Q_OBJECT
private Q_SLOTS:

    // Not a number or over 1000: nothing saved, the text goes to the search.
    void quantitaControllata()
    {
        const struct {
            QString quantita;
            bool salvata, messaggio;
        } casi[] = {{{}, false, false}, {u"abc"_s, false, false}, {u"1000"_s, true, false}, {u"1000,5"_s, false, true},
            {kBcZucchero, false, true}, {u"-1000"_s, true, false}};
        for (const auto &c : casi) {
            Banco b;
            b.cerca(kBcCaffe);
            b.ui.TxtCopieReali->setText(c.quantita);
            tasto(Qt::Key_Return);
            QCOMPARE(b.ui.TxtCopieReali->text(), u"1"_s);
            QCOMPARE(fuoco(), b.ui.txtCodice);
            QCOMPARE(b.righe().size(), c.salvata ? 1 : 0);
            QCOMPARE(b.ui.txtCodice->text(), c.salvata ? QString() : c.quantita);
            QCOMPARE(b.messaggio(), c.messaggio ? u"La quantit\u00e0 \u00e8 superiore a 1000!!"_s : QString());
            QCOMPARE(b.program.messages.value(0).style, c.messaggio ? 64 : 0);
            if (!c.salvata)
                QCOMPARE(b.testo("txtDescrizione1"), kCaffe);   // the product stays loaded
        }
    }

    void clicSuRigaEliminaEContaAncora()
    {
        Banco b;
        b.cerca(kBcCaffe, u"3"_s);
        b.cerca(kBcZucchero, u"1"_s);
        const QVariantList contata = b.righe()[0];   // beside the count, a copy of the product's data
        QCOMPARE(contata.mid(1), (QVariantList{kCaffe, kBcCaffe, 1234.5, 999.99, 0, 1000, u"Generico"_s, u"N\u00b0"_s,
                                     u"0"_s, u"0"_s, 3.0, 12.0, u"05/12/2026"_s, 42, 0, u"P00042"_s}));
        const QString chiave = contata[0].toString();
        b.cerca(kBcCaffe);
        b.clic("CmdElimina");   // no row chosen yet
        QCOMPARE(b.messaggio(), u"Selezionionare la riga da eliminare"_s);
        b.clicRiga(1);   // the newest first: the coffee is the second row
        QCOMPARE(b.testo("TxtIdInvReale"), chiave);
        QCOMPARE(b.scelta(), -1);   // the row's product is the chosen one now, not the one found
        b.program.answers.push_back(MsgBox::No);
        b.clic("CmdElimina");
        QCOMPARE(b.messaggio(), u"La riga selezionata verr\u00e0 eliminata dall' inventario,Sicuro di Continuare?"_s);
        QVERIFY(b.program.messages[1].style == 52 && fuoco() == b.w<QWidget>("CmdElimina"));
        // a delete the server refuses: the error form, the row kept, nothing logged
        b.program.exec(
            u"CREATE TRIGGER no_delete BEFORE DELETE ON InventarioReale BEGIN SELECT RAISE(ABORT, 'rifiutata'); END"_s);
        b.clic("CmdElimina");
        QVERIFY(b.program.errors.size() == 1 && b.program.errors[0].description == "rifiutata"_L1);
        QVERIFY(b.form.isEnabled() && b.righe().size() == 2 && !QFile::exists(b.program.file(Registro::kNomeFile)));
        b.program.errors.clear();
        b.program.exec(u"DROP TRIGGER no_delete"_s);
        b.clic("CmdElimina");
        QCOMPARE(b.righe().size(), 1);
        QCOMPARE(b.lista()->righe(), 1);
        const QByteArray log = b.program.readFile(Registro::kNomeFile);
        QCOMPARE(log.count("\r\n"), 2);
        QVERIFY(
            log.contains("Elimina     |05/12/2026  |14:30:22  |" + chiave.toLatin1().leftJustified(18) + "|CAFFE'"));
        QVERIFY(log.contains("|42                  |0                   |8001230009045 "));
        QVERIFY(log.contains("|P00042          "));
        QVERIFY(log.endsWith("|3                   |0                   |\r\n"));   // the count shown, the scan 0
        QCOMPARE(b.testo("TxtIdInvReale"), chiave);   // the fields still show the deleted row
        QVERIFY(b.form.isEnabled());
        // counting it again inserts a new row with the data the list showed
        b.ui.TxtCopieReali->setText(u"3"_s);
        b.clic("cmdSalva");
        QCOMPARE(b.righe().size(), 2);
        QVERIFY(b.righe()[1][0] != contata[0]);
        QCOMPARE(b.righe()[1].mid(1), contata.mid(1));
        QVERIFY(b.program.errors.isEmpty());
    }

    // Every line of every file written ends in CR LF, no CR or LF alone, even where a value holds line breaks.
    void fileInCrLfEDiscoPieno()
    {
        Banco b;
        for (const QString &bc : {kBcCaffe, kBcCaffe, kBcVecchia})   // new, counted already, prodottiC
            b.cerca(bc, u"2"_s);
        const QString aCapo = u"A\nB\rC\r\nD"_s;
        b.program.exec(
            u"INSERT INTO InventarioReale (DescProdotto, Barcode) VALUES ('A' || char(10) || 'B', 'C' || char(13))"_s);
        FrmErrore errore;
        const std::pair<QString, std::function<void()>> scrittori[] = {
            {u"term.ini"_s, [&] { Modulo::ScriviParametro(u"Nota"_s, aCapo); }},
            {u"LogErrori.TXT"_s,
                [&] {
                    errore.riempi({5, 1, aCapo, aCapo, aCapo});
                    errore.ui->cmdEsci->click();
                }},
            {Registro::kNomeFile, [&] { Modulo::ScriviLog(aCapo, u"1"_s, aCapo, aCapo, aCapo, aCapo, aCapo); }},
            {u"Inventario_05122026_143022.Dat"_s, [&] { b.menu("MnuFileInvTab"); }}};
        for (const auto &[nome, scrivi] : scrittori) {
            scrivi();
            scrivi();   // twice: the second finds the first one's file
            QByteArray bytes = b.program.readFile(nome);
            QVERIFY2(bytes.endsWith("\r\n"), qPrintable(nome));
            bytes.replace("\r\n", "");
            QVERIFY2(!bytes.contains('\r') && !bytes.contains('\n'), qPrintable(nome));
        }
        QVERIFY(b.program.errors.isEmpty());
#ifdef Q_OS_LINUX
        const qsizetype avvisi = b.program.messages.size();
        {   // a disk that refuses the bytes as a file is closed: an error, never taken for done
            Fixture::DiscoPieno pieno;
            for (const auto &[nome, scrivi] : scrittori)
                if (nome != "LogErrori.TXT"_L1)   // the program ends then, whatever the log's fate
                    scrivi();
            Modulo::ScriviParametro(u"Nuova"_s, aCapo);   // appended, where the others rewrite term.ini
        }
        QCOMPARE(b.program.errors.size(), 4);
        QCOMPARE(b.program.messages.size(), avvisi);
        b.program.errors.clear();
#endif
    }
};

INVENTARIO_TEST(TestConteggio)
#include "tst_conteggio.moc"
