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

// Design sizes in twips as the screen shows them in pixels.
inline QSize px(QSize twips) { return {qRound(twips.width() / 15.0), qRound(twips.height() / 15.0)}; }

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

    // The text put in txtCodice, then Enter as the reader sends it; txtNome
    // searches on every change of its text.
    void cerca(const QString &text)
    {
        codice()->setFocus();
        codice()->setText(text);
        QTest::keyClick(codice(), Qt::Key_Return);
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
    return codice.rightJustified(15) + " - "_L1 + descrizione + QString(100, u' ') + QString::number(id);
}

} // namespace Ricerca
