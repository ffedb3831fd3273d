// The main screen as designed: every control where the layout puts it, fonts and colours as drawn, read-only fields,
// tool tip and access key.
#include "fixture/schermo.h"

using namespace Fixture;

class TestLayout : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void controlli()
    {
        Schermo s(Program::Empty, false);
        QCOMPARE(s.ui.centralwidget->size(), QSize(1016, 632));
        // name, left, top, width, height in twips; the search frame's controls from the frame
        const QString layout =
            u"lblTest1 0 0 975 255, Label10 1080 0 3855 255, Frame3 0 360 12375 1695, "
            "Label11 480 360 2775 255, txtCodice 480 600 2775 465, CheckTipoRicerca 3480 600 495 495, "
            "Label4 3960 360 2055 255, txtNome 3960 600 8175 465, ListProdotti 120 1200 12015 390, "
            "lvwProdotti 120 2160 12255 5415, cmdSelezionaTutto 120 7680 1335 195, "
            "cmdDeselezionaTutto 1440 7680 1455 195, Label1 360 8040 855 255, TxtTotStatistico 1320 8040 1935 285, "
            "Label2 3960 8040 1095 255, TxtTotReale 5040 8040 1935 285, Label3 7560 8040 975 255, "
            "TxtDiff 8520 8040 2055 285, btn_tutti 12720 8280 2415 1095, TxtCopieReali 12480 600 1335 1455, "
            "cmdSalva 13920 600 1215 1455, Barcode 12600 2280 1575 255, TxtBarcode 12600 2520 2415 285, "
            "Label13 12600 2760 1575 255, TxtDetCodiceLoro 12600 3000 2415 285, Label14 12600 3240 2415 255, "
            "txtDescrizione1 12600 3480 2415 285, Label34 12600 3720 2415 255, txtQta 12600 3960 2415 285, "
            "Label6 12600 4200 2415 255, txtQtaReale 12600 4440 2415 285, Label25 12600 4680 2055 255, "
            "txtPrVe1 12600 4920 2415 285, Label9 12600 5280 2055 255, txtPrezAcquisto 12600 5520 2415 285, "
            "Label5 12600 5760 1575 255, TxtIdProdotto 12600 6000 2415 285, Label7 12600 6240 1575 255, "
            "txtProdeliminto 12600 6480 2415 285, TxtIdInvReale 12600 6960 735 375, "
            "cmdModifica 12600 6960 1215 1215, CmdElimina 14040 6960 1095 1215"_s;
        for (const QString &voce : layout.split(u", "_s)) {
            const QStringList v = voce.split(u' ');
            QWidget *w = s.w<QWidget>(qPrintable(v[0]));
            QVERIFY2(w, qPrintable(v[0]));
            const QRect atteso(qRound(v[1].toInt() / 15.0), qRound(v[2].toInt() / 15.0), qRound(v[3].toInt() / 15.0),
                qRound(v[4].toInt() / 15.0));
            QCOMPARE(w->geometry(), atteso);
        }
        for (const char *nome : {"Label11", "txtCodice", "CheckTipoRicerca", "Label4", "txtNome", "ListProdotti"})
            QCOMPARE(s.w<QWidget>(nome)->parentWidget(), s.ui.Frame3);
        for (const char *nome :
            {"TxtBarcode", "TxtDetCodiceLoro", "txtDescrizione1", "txtQta", "txtQtaReale", "txtPrVe1",
                "txtPrezAcquisto", "TxtIdProdotto", "txtProdeliminto", "txtCodice", "txtNome", "TxtCopieReali"})
            QCOMPARE(s.w(nome)->isReadOnly(),
                !QByteArray(nome).startsWith("txtCodice") && strcmp(nome, "txtNome") && strcmp(nome, "TxtCopieReali"));
        QCOMPARE(s.ui.lblTest1->toolTip(), u"Click per Avviare il TEST"_s);
        QCOMPARE(s.ui.cmdModifica->shortcut(), QKeySequence(Qt::ALT | Qt::Key_M));   // "&Modifica Dati"
        QCOMPARE(s.form.windowTitle(), u"Controllo Magazzino"_s);
        QStringList menu;
        for (const char *a : {"Esci", "ConfFTP", "MnuFileInvTab"})
            menu << s.w<QAction>(a)->text();
        QCOMPARE(menu, QStringList({"Esci", "Configura Connessione SQL", "Crea File testo Tabulato"}));
        for (const auto &[nome, carattere] : {std::pair("Frame3", "Tahoma 15.75"),
                 {"lvwProdotti", "MS Sans Serif 8.25"}, {"txtCodice", "Tahoma 14.25"}}) {
            const QFont f = s.w<QWidget>(nome)->font();
            QCOMPARE(f.family() + u' ' + QString::number(f.pointSizeF()), QLatin1String(carattere));
        }
        s.ui.txtPrVe1->setText(u"1.234,50 \u20ac"_s);   // for the colour of its text
        const struct {
            const char *nome;
            QColor colore;
            bool sfondo;
        } casi[] = {{"lblTest1", {0, 255, 0}, true}, {"TxtCopieReali", {255, 128, 0}, true},
            {"txtPrVe1", {255, 255, 128}, true}, {"txtPrVe1", {255, 0, 0}, false},
            {"txtQtaReale", {128, 255, 128}, true}, {"cmdModifica", {255, 255, 0}, true},
            {"CmdElimina", {255, 0, 0}, true}, {"Frame3", {255, 0, 0}, false}, {"Label11", {0, 0, 255}, false},
            {"Label25", {0, 0, 255}, false}, {"Label10", {0, 0, 255}, false}};
        for (const auto &c : casi) {
            const QImage image = s.w<QWidget>(c.nome)->grab().toImage();
            int n = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const QColor p = image.pixelColor(x, y);
                    const int d = qMax(qAbs(p.red() - c.colore.red()),
                        qMax(qAbs(p.green() - c.colore.green()), qAbs(p.blue() - c.colore.blue())));
                    n += d <= (c.sfondo ? 0 : 60);
                }
            QVERIFY2(c.sfondo ? n > image.width() * image.height() / 3 : n >= 15, c.nome);
        }
    }
};
INVENTARIO_TEST(TestLayout)
#include "tst_layout.moc"
