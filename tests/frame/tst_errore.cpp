// The error form and LogErrori.TXT.
#include "fixture/fixture.h"
#include "fixture/testmain.h"
#include "frame/errore.h"
#include "frame/frmerrore.h"
#include "ui_FrmErrore.h"
#include "platform/clock.h"

#include <QBuffer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {
QByteArray pad(const QByteArray &s, int w) { return (s + QByteArray(w, ' ')).left(w) + '|'; }
} // namespace

class TestErrore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void logLines()
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        const QString longDescription = QString(250, QLatin1Char('d'));
        Modulo::writeErrorLog(buffer, true, "05/12/2026", "14:30:22", " frmInventario ", "txtCodice", "0", "1.5.542",
                              longDescription, "-2147217900");
        const QList<QByteArray> lines = buffer.data().split('\n');
        QCOMPARE(lines.size(), 3);
        const QByteArray header = pad("Data", 10) + pad("Ora", 8) + pad("Form Attivo", 20) + pad("Oggetto Attivo", 20)
                                  + pad("Linea", 6) + pad("Versione", 10) + pad("Descrizione Errore", 200) + pad("Numero", 10) + "\r";
        QCOMPARE(lines.at(0), header);
        QCOMPARE(lines.at(1).size(), 293);   // 292 and the CR
        QCOMPARE(lines.at(1), pad("05/12/2026", 10) + pad("14:30:22", 8) + pad("frmInventario", 20) + pad("txtCodice", 20)
                                  + pad("0", 6) + pad("1.5.542", 10) + QByteArray(200, 'd') + "|" + "-214721790|\r");
    }

    void formShowsTheErrorAndItsButtonLogsAndEnds()
    {
        Fixture::Program program;
        Clock::setSource([] { return QDateTime(QDate(2026, 12, 5), QTime(9, 8, 7)); });
        FrmErrore form;
        form.riempi({13, 4, QStringLiteral("Tipo non corrispondente (LeggiParametro) "), QStringLiteral("frmInventario"),
                     QStringLiteral("txtCodice")});
        QCOMPARE(form.windowTitle(), QStringLiteral("Errore!!"));
        QCOMPARE(form.ui->lblNumero->text(), QStringLiteral("13"));
        QCOMPARE(form.ui->lblLinea->text(), QStringLiteral("4"));
        QCOMPARE(form.ui->lblVersione->text(), Modulo::programVersion());
        QCOMPARE(form.ui->txtDescrizione->toPlainText(), QStringLiteral("Tipo non corrispondente (LeggiParametro) "));

        // blinking: yellow and orange in turn
        const QString first = form.ui->Label1->styleSheet();
        form.Timer1_Timer();
        QVERIFY(form.ui->Label1->styleSheet().contains(QStringLiteral("255, 128, 0")));
        form.Timer1_Timer();
        QCOMPARE(form.ui->Label1->styleSheet(), first);

        form.ui->cmdEsci->click();
        QCOMPARE(program.programEnds, 1);
        const QByteArray log = program.readFile(QStringLiteral("LogErrori.TXT"));
        const QList<QByteArray> lines = log.split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines.at(0).startsWith(pad("Data", 10)));
        QVERIFY(lines.at(1).startsWith(pad("05/12/2026", 10) + pad("09:08:07", 8) + pad("frmInventario", 20)));
        QVERIFY(lines.at(1).contains(pad("Tipo non corrispondente (LeggiParametro)", 200)));   // trimmed

        // the second error adds a record only
        form.riempi({-2147217900, 0, QStringLiteral("x"), QString(), QString()});
        form.ui->cmdEsci->click();
        const QList<QByteArray> after = program.readFile(QStringLiteral("LogErrori.TXT")).split('\n');
        QCOMPARE(after.size(), 4);
        QVERIFY(after.at(2).endsWith("-214721790|\r"));
    }

    void trapsPassWhereTheErrorHappened()
    {
        Fixture::Program program;
        QWidget window;
        window.setObjectName(QStringLiteral("frmInventario"));
        auto *field = new QLineEdit(&window);
        field->setObjectName(QStringLiteral("txtCodice"));
        window.show();
        QApplication::setActiveWindow(&window);
        field->setFocus();
        QVERIFY(QTest::qWaitFor([&] { return field->hasFocus(); }));
        const bool ok = Modulo::guarded(QStringLiteral(" (LOG) "), [] { throw RuntimeError(75, QStringLiteral("Accesso negato")); });
        QVERIFY(!ok);
        QCOMPARE(program.errors.size(), 1);
        QCOMPARE(program.errors.at(0).number, 75.0);
        QCOMPARE(program.errors.at(0).description, QStringLiteral("Accesso negato (LOG) "));
        QCOMPARE(program.errors.at(0).form, QStringLiteral("frmInventario"));
        QCOMPARE(program.errors.at(0).control, QStringLiteral("txtCodice"));
        field->clearFocus();
        window.hide();
        Modulo::guarded(QString(), [] { throw RuntimeError(5, QStringLiteral("x")); });
        QCOMPARE(program.errors.at(1).control, QString());   // nothing focused: empty name
    }
};
INVENTARIO_TEST(TestErrore)
#include "tst_errore.moc"
