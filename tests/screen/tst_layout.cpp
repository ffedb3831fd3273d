// The main screen as designed: where every control stands, its caption,
// font and colours as drawn, read-only fields and tool tips.
#include "fixture/fixture.h"
#include "fixture/testmain.h"
#include "screen/frminventario.h"

#include <QAbstractButton>
#include <QFile>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace {

struct Controllo {
    const char *nome;
    int left, top, width, height;   // twips, from the window's client area or from Frame3
    const char *testo;              // caption or initial text; nullptr when it has none
    const char *famiglia;           // nullptr: the window's font, MS Sans Serif 8.25
    double punti;
    bool grassetto;
};

// One control of each kind of place and font: the frame and a control inside
// it, the list, the window's own font, whole and fractional point sizes.
const Controllo kControlli[] = {
    {"lblTest1", 0, 0, 975, 255, "OK", "Tahoma", 9.75, true},
    {"Frame3", 0, 360, 12375, 1695, nullptr, "Tahoma", 15.75, true},
    {"txtCodice", 480, 600, 2775, 465, "", "Tahoma", 14.25, true},
    {"CheckTipoRicerca", 3480, 600, 495, 495, "*", "MS Sans Serif", 18, false},
    {"ListProdotti", 120, 1200, 12015, 390, nullptr, "Courier New", 14.25, true},
    {"lvwProdotti", 120, 2160, 12255, 5415, nullptr, nullptr, 0, false},
    {"cmdSelezionaTutto", 120, 7680, 1335, 195, "Seleziona Tutto", nullptr, 0, false},
    {"Label1", 360, 8040, 855, 255, "TOT MAG", "MS Sans Serif", 8.25, true},
    {"TxtDiff", 8520, 8040, 2055, 285, "", nullptr, 0, false},
    {"btn_tutti", 12720, 8280, 2415, 1095, "Vedi Tutti", nullptr, 0, false},
    {"TxtCopieReali", 12480, 600, 1335, 1455, "1", "Comic Sans MS", 48, false},
    {"cmdSalva", 13920, 600, 1215, 1455, "Salva Riga", nullptr, 0, false},
    {"Label25", 12600, 4680, 2055, 255, "Prezzo Pubblico", "Tahoma", 9.75, true},
    {"txtPrVe1", 12600, 4920, 2415, 285, "", "Tahoma", 9, true},
    {"txtProdeliminto", 12600, 6480, 2415, 285, "", "Tahoma", 8.25, true},
    {"TxtIdInvReale", 12600, 6960, 735, 375, "", nullptr, 0, false},
    {"cmdModifica", 12600, 6960, 1215, 1215, "&Modifica Dati", "Tahoma", 11.25, true},
    {"CmdElimina", 14040, 6960, 1095, 1215, "Elimina Riga", "Tahoma", 12, true},
};

const char *const kSolaLettura[] = {"TxtBarcode", "TxtDetCodiceLoro", "txtDescrizione1", "txtQta", "txtQtaReale",
                                    "txtPrVe1", "txtPrezAcquisto", "TxtIdProdotto", "txtProdeliminto"};
const char *const kEtichetteBlu[] = {"Label10", "Label11", "Label4", "Barcode", "Label13", "Label14", "Label34",
                                     "Label6", "Label25", "Label9", "Label5", "Label7"};

QString testoDi(QWidget *w)
{
    if (auto *l = qobject_cast<QLabel *>(w))
        return l->text();
    if (auto *e = qobject_cast<QLineEdit *>(w))
        return e->text();
    if (auto *b = qobject_cast<QAbstractButton *>(w))
        return b->text();
    return QString();
}

// How many pixels of the image are within `tolleranza` of the colour.
int pixelDi(const QImage &image, const QColor &colore, int tolleranza = 0)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (qAbs(c.red() - colore.red()) <= tolleranza && qAbs(c.green() - colore.green()) <= tolleranza
                && qAbs(c.blue() - colore.blue()) <= tolleranza)
                ++n;
        }
    return n;
}

} // namespace

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

    void finestra()
    {
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Controllo Magazzino"));
        QCOMPARE(m_form->centralWidget()->size(), QSize(1016, 632));
    }

    void controlli()
    {
        for (const Controllo &c : kControlli) {
            QWidget *w = m_form->findChild<QWidget *>(QLatin1String(c.nome));
            QVERIFY2(w, c.nome);
            const QRect atteso(qRound(c.left / 15.0), qRound(c.top / 15.0), qRound(c.width / 15.0),
                               qRound(c.height / 15.0));
            QVERIFY2(w->geometry() == atteso, c.nome);
            if (c.testo)
                QVERIFY2(testoDi(w) == QString::fromUtf8(c.testo), c.nome);
            const QFont f = w->font();
            QVERIFY2(f.family() == QLatin1String(c.famiglia ? c.famiglia : "MS Sans Serif"), c.nome);
            QVERIFY2(qFuzzyCompare(f.pointSizeF(), c.famiglia ? c.punti : 8.25), c.nome);
            QVERIFY2(f.bold() == c.grassetto, c.nome);
        }
        QCOMPARE(m_form->findChild<QGroupBox *>(QStringLiteral("Frame3"))->title(), QStringLiteral("RICERCA PRODOTTO"));
        for (const char *nome : {"Label11", "txtCodice", "CheckTipoRicerca", "Label4", "txtNome", "ListProdotti"})
            QVERIFY2(m_form->findChild<QWidget *>(QLatin1String(nome))->parentWidget()->objectName() == QLatin1String("Frame3"),
                     nome);
    }

    void statoECommenti()
    {
        for (const char *nome : kSolaLettura)
            QVERIFY2(m_form->findChild<QLineEdit *>(QLatin1String(nome))->isReadOnly(), nome);
        for (const char *nome : {"txtCodice", "txtNome", "TxtCopieReali", "TxtTotStatistico"})
            QVERIFY2(!m_form->findChild<QLineEdit *>(QLatin1String(nome))->isReadOnly(), nome);
        QVERIFY(m_form->findChild<QLineEdit *>(QStringLiteral("TxtIdInvReale"))->isHidden());
        QCOMPARE(m_form->findChild<QWidget *>(QStringLiteral("lblTest1"))->toolTip(),
                 QStringLiteral("Click per Avviare il TEST"));
        QCOMPARE(m_form->findChild<QWidget *>(QStringLiteral("cmdModifica"))->toolTip(), QStringLiteral("Modifica Dati"));
        // Alt+M is the access key of "&Modifica Dati"
        QCOMPARE(m_form->findChild<QAbstractButton *>(QStringLiteral("cmdModifica"))->shortcut(),
                 QKeySequence(Qt::ALT | Qt::Key_M));
    }

    // The fonts the screen names are the ones drawn, not a fallback.
    void caratteri()
    {
        if (!QFile::exists(QStringLiteral("/usr/share/wine/fonts/tahoma.ttf")))
            QSKIP("Tahoma is not installed (fonts-wine)");
        QCOMPARE(QFontInfo(m_form->findChild<QWidget *>(QStringLiteral("Label10"))->font()).family(), QStringLiteral("Tahoma"));
        QCOMPARE(QFontInfo(m_form->findChild<QWidget *>(QStringLiteral("TxtTotReale"))->font()).family(), QStringLiteral("Tahoma"));
        QCOMPARE(QFontInfo(m_form->findChild<QWidget *>(QStringLiteral("Label1"))->font()).family(), QStringLiteral("Tahoma"));
        QVERIFY(QFontInfo(m_form->findChild<QWidget *>(QStringLiteral("Label1"))->font()).bold());
        QCOMPARE(QFontInfo(m_form->findChild<QWidget *>(QStringLiteral("txtCodice"))->font()).pixelSize(), 19);
        // the original where the machine has it, else its free stand-in
        QVERIFY(QStringList({"Courier New", "Liberation Mono"})
                    .contains(QFontInfo(m_form->findChild<QWidget *>(QStringLiteral("ListProdotti"))->font()).family()));
        QVERIFY(QStringList({"Comic Sans MS", "Comic Neue"})
                    .contains(QFontInfo(m_form->findChild<QWidget *>(QStringLiteral("TxtCopieReali"))->font()).family()));
    }

    // Colours as drawn: a background fills the control, text shows its colour.
    void colori_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QColor>("colore");
        QTest::addColumn<bool>("sfondo");
        QTest::newRow("indicator") << "lblTest1" << QColor(0, 255, 0) << true;
        QTest::newRow("count") << "TxtCopieReali" << QColor(255, 128, 0) << true;
        QTest::newRow("counted so far") << "txtQtaReale" << QColor(128, 255, 128) << true;
        QTest::newRow("selling price") << "txtPrVe1" << QColor(255, 255, 128) << true;
        QTest::newRow("purchase price") << "txtPrezAcquisto" << QColor(255, 255, 128) << true;
        QTest::newRow("editor") << "cmdModifica" << QColor(255, 255, 0) << true;
        QTest::newRow("delete") << "CmdElimina" << QColor(255, 0, 0) << true;
        QTest::newRow("name field") << "txtNome" << QColor(255, 255, 255) << true;   // txtCodice has the focus
        QTest::newRow("frame caption") << "Frame3" << QColor(255, 0, 0) << false;
        for (const char *nome : kEtichetteBlu)
            QTest::newRow(nome) << nome << QColor(0, 0, 255) << false;
    }
    void colori()
    {
        QFETCH(QString, nome);
        QFETCH(QColor, colore);
        QFETCH(bool, sfondo);
        QWidget *w = m_form->findChild<QWidget *>(nome);
        const QImage image = w->grab().toImage();
        const int n = pixelDi(image, colore, sfondo ? 0 : 60);
        if (sfondo)
            QVERIFY2(n > image.width() * image.height() / 3, qPrintable(QString::number(n)));
        else
            QVERIFY2(n >= 15, qPrintable(QString::number(n)));
    }
    void prezziInRosso()
    {
        QLineEdit *prezzo = m_form->findChild<QLineEdit *>(QStringLiteral("txtPrVe1"));
        prezzo->setText(QStringLiteral("1.234,50 \u20ac"));
        QVERIFY(pixelDi(prezzo->grab().toImage(), QColor(255, 0, 0), 60) >= 15);
    }

private:
    std::unique_ptr<Fixture::Program> m_program;
    std::unique_ptr<frmInventario> m_form;
};
INVENTARIO_TEST(TestLayout)
#include "tst_layout.moc"
