// The main screen as the operator meets it: keys sent to whatever has the focus, Tab through the real focus chain, rows
// clicked, menus and other windows taking the activation.
#include "fixture/schermo.h"

#include "platform/events.h"

#include <QMessageBox>

using namespace Fixture;

namespace {
struct Banco : Schermo {
    Banco()
    {
        add(1, u"A1"_s, u"PANE BIANCO"_s, u"8001"_s);
        add(2, u"A2"_s, u"PANE NERO "_s + QString(60, u'X') + u" FINE"_s, u"8002"_s);
        add(3, u"A3"_s, u"PANETTONE"_s, u"8003"_s);
    }
};
}   // namespace

class TestOperatore : public QObject {
    Q_OBJECT
private Q_SLOTS:

    // With the connection lost, every command the operator can reach ends in the one box and leaves everything as it
    // was: no row written or deleted, no workbook, nothing opened, no error form, the screen usable.
    void ogniComandoSenzaConnessione()
    {
        using Passo = std::function<void(Banco &)>;
        const struct {
            const char *comando;
            Passo prima, azione;
        } comandi[] = {
            {"MnuFileInvTab", {}, [](Banco &b) { b.menu("MnuFileInvTab"); }},
            {"MnuNonContati", {}, [](Banco &b) { b.menu("MnuNonContati"); }},
            {"MnuEsportaConteggio", {}, [](Banco &b) { b.menu("MnuEsportaConteggio"); }},
            {"btn_tutti", {}, [](Banco &b) { b.clic("btn_tutti"); }},
            {"txtCodice Invio", {}, [](Banco &b) { b.cerca(u"8001"_s); }},
            {"txtNome", {}, [](Banco &b) { b.ui.txtNome->setText(u"PANE"_s); }},
            {"ListProdotti", [](Banco &b) { b.cerca(u"A"_s); }, [](Banco &) { tasto(Qt::Key_Down); }},
            {"cmdSalva", [](Banco &b) { b.cerca(u"8001"_s); }, [](Banco &b) { b.clic("cmdSalva"); }},
            {"TxtCopieReali Invio", [](Banco &b) { b.cerca(u"8002"_s); }, [](Banco &) { tasto(Qt::Key_Return); }},
            {"CmdElimina", [](Banco &b) { b.clicRiga(0); }, [](Banco &b) { b.clic("CmdElimina"); }},
        };
        for (const auto &c : comandi) {
            Banco b;
            b.cerca(u"8003"_s, u"2"_s);
            if (c.prima)
                c.prima(b);
            const QList<QVariantList> righe = b.righe();
            b.program.messages.clear();
            Modulo::ConnPrincipale().close();
            c.azione(b);
            const MsgBox::Call ultimo = b.program.messages.value(b.program.messages.size() - 1);
            QVERIFY2(ultimo.prompt == "DataBase SQL non Connesso Correttamente!!"_L1 && ultimo.style == 16
                         && ultimo.title == "Attenzione!!"_L1,
                c.comando);
            b.program.connect();
            QVERIFY2(b.righe() == righe && b.program.errors.isEmpty() && b.program.openedFiles.isEmpty(), c.comando);
            QVERIFY2(QDir(b.program.folder()).entryList({u"*.xlsx"_s}).isEmpty() && b.form.isEnabled(), c.comando);
        }
    }

    // A menu or another window taking the focus for a while is no leaving of the field: what was typed stays, and the
    // next key goes on from it.
    void ricercaNonSiPerdeDietroUnMenu()
    {
        Banco b;
        b.ui.txtNome->setFocus();
        scrivi(u"PAN"_s);
        QMenu *menu = b.form.findChild<QMenu *>(u"Config"_s);
        b.form.menuBar()->setActiveAction(menu->menuAction());
        QTRY_VERIFY(menu->isVisible());
        QTest::keyClick(menu, Qt::Key_Escape);
        QTest::keyClick(b.form.menuBar(), Qt::Key_Escape);
        QTRY_COMPARE(fuoco(), b.ui.txtNome);
        scrivi(u"E"_s);
        QCOMPARE(b.ui.txtNome->text(), u"PANE"_s);
        QWidget altra;
        altra.show();
        altra.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&altra));
        b.form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&b.form));
        scrivi(u" N"_s);
        QCOMPARE(b.ui.txtNome->text() + QString::number(b.voci().size()), u"PANE N1"_s);
        QVERIFY(b.ui.txtNome->styleSheet().contains(u"rgb(255, 255, 128)"_s));
        tasto(Qt::Key_F1);   // a real move to another control still runs the handlers
        QVERIFY(b.ui.txtNome->styleSheet().contains(u"rgb(255, 255, 255)"_s));
    }

    // A real box shown while the operator's keys are held takes its own keys: its Enter closes it at once and is not
    // kept for the screen.
    void unMessaggioPrendeISuoiTasti()
    {
        Banco b;
        MsgBox::setHandler(nullptr);
        QString testo;
        bool chiusoDalSuoInvio = false;
        Fixture::whenModal([&](QWidget *box) {
            testo = static_cast<QMessageBox *>(box)->text();
            QTest::keyPress(box->windowHandle(), Qt::Key_Return);
            chiusoDalSuoInvio = !box->isVisible() && Events::queuedKeys() == 0;
            static_cast<QDialog *>(box)->reject();   // one that ignored its Enter must not stop the test
            QTest::keyRelease(box->windowHandle(), Qt::Key_Return);
        });
        b.cerca(u"8001"_s, u"1500"_s);
        QCOMPARE(testo, u"La quantit\u00e0 \u00e8 superiore a 1000!!"_s);
        QVERIFY(chiusoDalSuoInvio);
        QCOMPARE(Events::queuedKeys(), 0);
        QCOMPARE(b.ui.txtCodice->text(), u"1500"_s);
        QCOMPARE(b.form.focusWidget(), b.ui.txtCodice);
    }
};

INVENTARIO_TEST(TestOperatore)
#include "tst_operatore.moc"
