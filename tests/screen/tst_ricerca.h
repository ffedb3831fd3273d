#pragma once
// The main screen on its own database for the search tests: keys typed as
// the operator and the reader type them, and what the search shows.
#include "fixture/fixture.h"
#include "fixture/testmain.h"
#include "frame/modulo.h"
#include "platform/beep.h"
#include "records/valori.h"
#include "screen/frminventario.h"
#include "screen/prodottilistmodel.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
#include <QTest>

using namespace Qt::StringLiterals;

namespace Ricerca {

// A design height in twips as the screen shows it in pixels.
inline int px(int twips) { return qRound(twips / 15.0); }

struct Schermo {
    Fixture::Program program;
    frmInventario form;
    int beeps = 0;

    explicit Schermo(Fixture::Program::Data data = Fixture::Program::Empty) : program(data)
    {
        Modulo::SaltaKeyUpCodice = false;
        Beep::setHandler([this] { ++beeps; });
        program.connect();
        form.show();
        form.activateWindow();
        if (!QTest::qWaitForWindowActive(&form))
            qFatal("the form does not become active");
    }
    ~Schermo() { Beep::setHandler(nullptr); }

    template <class T = QLineEdit> T *w(const char *name) const { return form.findChild<T *>(QLatin1String(name)); }
    QLineEdit *codice() const { return w("txtCodice"); }
    QLineEdit *nome() const { return w("txtNome"); }
    QLineEdit *copie() const { return w("TxtCopieReali"); }
    QListView *lista() const { return w<QListView>("ListProdotti"); }
    QString testo(const char *name) const { return w(name)->text(); }
    int selezionata() const { return lista()->currentIndex().row(); }
    QSize altezze() const { return {w<QGroupBox>("Frame3")->height(), lista()->height()}; }

    void add(int id, const QString &code, const QString &descrizione, const QString &barcode = {}, bool eliminato = false)
    {
        program.addProduct(id, code, descrizione, barcode, 1, 1, 0, eliminato);
    }
    // `count` products from `from` on, codes K<id>, names `descrizione`<i>.
    void prodotti(int from, int count, const QString &descrizione, const QString &barcode = {}, bool eliminati = false)
    {
        for (int i = 0; i < count; ++i)
            add(from + i, u"K%1"_s.arg(from + i), descrizione + QString::number(i), barcode, eliminati);
    }

    // QTest::keyClicks knows ASCII only: other characters go one by one.
    static void scrivi(QWidget *field, const QString &text)
    {
        for (QChar c : text) {
            if (c.unicode() < 128) {
                QTest::keyClick(field, c.toLatin1());
            } else {
                QTest::sendKeyEvent(QTest::Press, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
                QTest::sendKeyEvent(QTest::Release, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
            }
        }
    }
    void cerca(const QString &text)
    {
        codice()->setFocus();
        codice()->clear();
        scrivi(codice(), text);
        QTest::keyClick(codice(), Qt::Key_Return);
    }
    void cercaNome(const QString &text)
    {
        nome()->setFocus();
        scrivi(nome(), text);
    }
    QStringList voci(bool sorted = false) const
    {
        QStringList out;
        for (int i = 0; i < lista()->model()->rowCount(); ++i)
            out << lista()->model()->index(i, 0).data().toString();
        if (sorted)
            out.sort();
        return out;
    }
};

// An item of the code search: code right-aligned in 15, " - ", name, 100 blanks, id.
inline QString voce(const QString &codice, const QString &descrizione, int id)
{
    Q_ASSERT(codice.size() <= 15);
    return codice.rightJustified(15) + " - "_L1 + descrizione + QString(100, u' ') + QString::number(id);
}

} // namespace Ricerca
