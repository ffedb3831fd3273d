#pragma once
// The main screen with its own database, for the search tests: typing and
// pressing keys as the operator does, and reading what the search shows.
#include "fixture/fixture.h"
#include "fixture/testmain.h"
#include "platform/beep.h"
#include "records/valori.h"
#include "screen/frminventario.h"
#include "screen/prodottilistmodel.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
#include <QTest>

namespace Ricerca {

// Heights as designed in twips, as the screen shows them in pixels.
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
        attivo = QTest::qWaitForWindowActive(&form);
    }
    ~Schermo() { Beep::setHandler(nullptr); }
    bool attivo = false;

    template <class T = QLineEdit>
    T *w(const char *name) const
    {
        T *found = form.findChild<T *>(QLatin1String(name));
        Q_ASSERT(found);
        return found;
    }
    QLineEdit *codice() const { return w("txtCodice"); }
    QLineEdit *nome() const { return w("txtNome"); }
    QLineEdit *copie() const { return w("TxtCopieReali"); }
    QListView *lista() const { return w<QListView>("ListProdotti"); }
    QGroupBox *frame() const { return w<QGroupBox>("Frame3"); }
    QCheckBox *tipo() const { return w<QCheckBox>("CheckTipoRicerca"); }
    QString testo(const char *name) const { return w(name)->text(); }

    // Types as a keyboard or a reader does; QTest::keyClicks knows ASCII only.
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

    // The code search: focus in txtCodice, empty it, type, Enter.
    void cerca(const QString &text)
    {
        codice()->setFocus();
        codice()->clear();
        scrivi(codice(), text);
        QTest::keyClick(codice(), Qt::Key_Return);
    }

    // The name search, one key at a time.
    void cercaNome(const QString &text)
    {
        nome()->setFocus();
        scrivi(nome(), text);
    }

    QStringList voci() const
    {
        QStringList out;
        const QAbstractItemModel *m = lista()->model();
        for (int i = 0; i < m->rowCount(); ++i)
            out << m->index(i, 0).data().toString();
        return out;
    }
    int selezionata() const { return lista()->currentIndex().row(); }
    int altezzaFrame() const { return frame()->height(); }
    int altezzaLista() const { return lista()->height(); }

    // n products whose description, code and barcode follow a pattern.
    void prodotti(int from, int count, const QString &descrizione, const QString &barcode, bool eliminati = false)
    {
        for (int i = 0; i < count; ++i)
            program.addProduct(from + i, QStringLiteral("K%1").arg(from + i), descrizione + QString::number(i), barcode,
                               1, 1, 0, eliminati);
    }
};

// The item text: code right-aligned in 15, " - ", description, 100 blanks, id.
inline QString voce(const QString &codice, const QString &descrizione, int id)
{
    Q_ASSERT(codice.size() <= 15);
    return codice.rightJustified(15, QLatin1Char(' '), true) + QStringLiteral(" - ") + descrizione
           + QString(100, QLatin1Char(' ')) + QString::number(id);
}

} // namespace Ricerca
