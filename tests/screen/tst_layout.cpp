// The main screen as designed: controls placed within the window and the
// search frame, a caption's access key, fonts and colours as drawn, read-only
// fields and tool tips.
#include "fixture/fixture.h"
#include "fixture/testmain.h"
#include "screen/frminventario.h"

#include <QAbstractButton>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLineEdit>
#include <QTest>

class TestLayout : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_program.reset(new Fixture::Program);
        m_form.reset(new frmInventario);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }
    void cleanup()
    {
        m_form.reset();
        m_program.reset();
    }

    void controlli()
    {
        // every control fits the client area below the menu
        QWidget *client = m_form->centralWidget();
        for (QWidget *w : client->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
            QVERIFY2(client->rect().contains(w->geometry()), qPrintable(w->objectName()));
        for (const char *nome : {"Label11", "txtCodice", "CheckTipoRicerca", "Label4", "txtNome", "ListProdotti"})
            QVERIFY2(w(nome)->parentWidget()->objectName() == QLatin1String("Frame3"), nome);

        for (const char *nome : {"TxtBarcode", "TxtDetCodiceLoro", "txtDescrizione1", "txtQta", "txtQtaReale",
                                 "txtPrVe1", "txtPrezAcquisto", "TxtIdProdotto", "txtProdeliminto"})
            QVERIFY2(m_form->findChild<QLineEdit *>(QLatin1String(nome))->isReadOnly(), nome);
        for (const char *nome : {"txtCodice", "txtNome", "TxtCopieReali"})
            QVERIFY2(!m_form->findChild<QLineEdit *>(QLatin1String(nome))->isReadOnly(), nome);
        QCOMPARE(w("lblTest1")->toolTip(), QStringLiteral("Click per Avviare il TEST"));
        // Alt+M is the access key of "&Modifica Dati"
        QCOMPARE(m_form->findChild<QAbstractButton *>(QStringLiteral("cmdModifica"))->shortcut(),
                 QKeySequence(Qt::ALT | Qt::Key_M));
    }

    // Fractional point sizes as designed, the window's own font where a control
    // has none; the fonts drawn are the ones named, not a fallback.
    void caratteri()
    {
        QCOMPARE(w("Frame3")->font().pointSizeF(), 15.75);
        QCOMPARE(w("lvwProdotti")->font().family(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(w("lvwProdotti")->font().pointSizeF(), 8.25);
        // the original where the machine has it, else its free stand-in
        QVERIFY(QStringList({"Courier New", "Liberation Mono"}).contains(QFontInfo(w("ListProdotti")->font()).family()));
        QVERIFY(QStringList({"Comic Sans MS", "Comic Neue"}).contains(QFontInfo(w("TxtCopieReali")->font()).family()));
        if (!QFontDatabase::families().contains(QStringLiteral("Tahoma")))
            QSKIP("Tahoma is not installed (fonts-wine)");
        QCOMPARE(QFontInfo(w("txtCodice")->font()).family(), QStringLiteral("Tahoma"));
        QCOMPARE(QFontInfo(w("txtCodice")->font()).pixelSize(), 19);
        // MS Sans Serif bold is drawn as Tahoma bold
        QCOMPARE(QFontInfo(w("Label1")->font()).family(), QStringLiteral("Tahoma"));
        QVERIFY(QFontInfo(w("Label1")->font()).bold());
    }

    // Colours as drawn: a background fills the control, text shows its colour.
    void colori_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QColor>("colore");
        QTest::addColumn<bool>("sfondo");
        QTest::newRow("indicator") << "lblTest1" << QColor(0, 255, 0) << true;
        QTest::newRow("count") << "TxtCopieReali" << QColor(255, 128, 0) << true;
        QTest::newRow("price") << "txtPrVe1" << QColor(255, 255, 128) << true;
        QTest::newRow("price text") << "txtPrVe1" << QColor(255, 0, 0) << false;
        QTest::newRow("tool button") << "cmdModifica" << QColor(255, 255, 0) << true;
        QTest::newRow("push button") << "CmdElimina" << QColor(255, 0, 0) << true;
        QTest::newRow("name field") << "txtNome" << QColor(255, 255, 255) << true;   // txtCodice has the focus
        QTest::newRow("frame caption") << "Frame3" << QColor(255, 0, 0) << false;
        QTest::newRow("label in the frame") << "Label11" << QColor(0, 0, 255) << false;
        QTest::newRow("label") << "Label25" << QColor(0, 0, 255) << false;
    }
    void colori()
    {
        QFETCH(QString, nome);
        QFETCH(QColor, colore);
        QFETCH(bool, sfondo);
        // a price shown, for the colour of its text
        m_form->findChild<QLineEdit *>(QStringLiteral("txtPrVe1"))->setText(QStringLiteral("1.234,50 \u20ac"));
        const QImage image = m_form->findChild<QWidget *>(nome)->grab().toImage();
        const int tolleranza = sfondo ? 0 : 60;
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                n += qAbs(c.red() - colore.red()) <= tolleranza && qAbs(c.green() - colore.green()) <= tolleranza
                     && qAbs(c.blue() - colore.blue()) <= tolleranza;
            }
        QVERIFY2(sfondo ? n > image.width() * image.height() / 3 : n >= 15, qPrintable(QString::number(n)));
    }

private:
    QWidget *w(const char *nome) const { return m_form->findChild<QWidget *>(QLatin1String(nome)); }

    std::unique_ptr<Fixture::Program> m_program;
    std::unique_ptr<frmInventario> m_form;
};
INVENTARIO_TEST(TestLayout)
#include "tst_layout.moc"
