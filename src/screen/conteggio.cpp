// Saving a count, deleting a row, the inventory text file: the handlers
// gather the detail fields, records/ does the work, the screen refreshes.
#include "frminventario.h"
#include "ui_frmInventario.h"
#include "formdisabilitato.h"
#include "prodottilistmodel.h"
#include "frame/modulo.h"
#include "platform/clock.h"
#include "platform/db.h"
#include "platform/errors.h"
#include "platform/events.h"
#include "platform/msgbox.h"
#include "platform/regional.h"
#include "platform/shell.h"
#include "records/filetabulato.h"
#include "records/registro.h"
#include "records/salvataggio.h"
#include "records/valori.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

namespace {

const QString kEtichettaSalva = QStringLiteral("(frmInventarioReale - CreaRigaLista)");

}   // namespace

void frmInventario::cmdSalva_Click()
{
    // A reader's next scan waits here until the field that will take it has
    // the focus again.
    Events::InputHold hold;
    const QString quantita = ui->TxtCopieReali->text();
    const std::optional<double> numero = Regional::readNumber(quantita);
    if (numero && *numero <= 1000) {
        SalvaRiga();
        ClearForm();
        m_prodotti->clear();
        ui->TxtCopieReali->setText(QStringLiteral("1"));
        ui->txtCodice->clear();
        ui->txtCodice->setFocus();
        return;
    }
    // a barcode or a code typed into the quantity field belongs to the search
    if (numero)
        MsgBox::show(QStringLiteral("La quantità è superiore a 1000!!"), MsgBox::Information);
    ui->txtCodice->setText(quantita);
    ui->TxtCopieReali->setText(QStringLiteral("1"));
    ui->txtCodice->setFocus();
}

void frmInventario::SalvaRiga()
{
    Events::InputHold hold;
    Modulo::guarded(kEtichettaSalva, [this] {
        Salvataggio::Campi campi;
        campi.descrizione = ui->txtDescrizione1->text();
        if (campi.descrizione.isEmpty())
            return;
        campi.barcode = ui->TxtBarcode->text();
        campi.prezzoPubblico = ui->txtPrVe1->text();
        campi.prezzoAcquisto = ui->txtPrezAcquisto->text();
        campi.codInterno = ui->TxtDetCodiceLoro->text();
        campi.giacenzaStatistica = ui->txtQta->text();
        campi.idProdotto = ui->TxtIdProdotto->text();
        campi.idEliminato = ui->txtProdeliminto->text();
        campi.quantita = ui->TxtCopieReali->text();
        campi.prodottoAttivo = Modulo::ProdottoAttivo;
        const Salvataggio::Riga riga = Salvataggio::prepara(campi, Clock::now().date());

        Modulo::IdAttivoScelto = riga.idAttivo;
        Modulo::IdEliminatoScelto = riga.idEliminato;
        ui->TxtIdInvReale->clear();
        if (!Modulo::connessioneAperta())
            return;

        // the save and the list's 50 rows read back: one trip to the server
        const auto leggi = [&](const Salvataggio::Esito &salvata, const std::function<Recordset &()> &righe) {
            if (salvata.inserita) {
                // shown at once; the rows read back put the row as stored in its place
                CreaRigaLista(campi.descrizione, campi.barcode, 1000, QStringLiteral("Generico"),
                    QStringLiteral("N\u00b0"), campi.codInterno, 0, riga.prezzoPubblicoNumero,
                    riga.prezzoAcquistoNumero, Regional::numberText(riga.quantita), riga.giacenzaStatistica,
                    QDateTime(riga.data, QTime(0, 0)), 0, static_cast<qint32>(riga.idAttivo),
                    static_cast<qint32>(riga.idEliminato));
            }
            caricaLista(righe);
        };
        const Salvataggio::Esito esito = Salvataggio::salva(Modulo::ConnPrincipale(), riga, kCaricaDati, leggi);
        AzzeraRicerca();
        Events::DoEvents();
        if (esito.inserita)
            ClearForm();
    });
}

long frmInventario::ContatoreGet(const QString &idContatore, const QString &nameTabella)
{
    Events::InputHold hold;
    long contatore = 0;
    Modulo::guarded(kEtichettaSalva, [&] {
        if (!Modulo::connessioneAperta())
            return;
        Recordset rs(Modulo::ConnPrincipale(), QStringLiteral("SELECT     MAX(") + idContatore
                                                   + QStringLiteral(" ) AS CONTATORE From ") + nameTabella
                                                   + QStringLiteral(" "));
        if (rs.eof())
            return;
        const QVariant valore = rs.field(QStringLiteral("CONTATORE"));
        if (valore.isNull())
            return;
        const double n = Regional::roundHalfEven(Regional::toNumber(valore), 0);
        if (n > 2147483647.0 || n < -2147483648.0)
            throw RuntimeError(6, QStringLiteral("Overflow"));
        contatore = static_cast<long>(n);
    });
    return contatore;
}

void frmInventario::CmdElimina_Click()
{
    Events::InputHold hold;
    FormDisabilitato disabilitato(this);
    Modulo::guarded(QString(), [&] {
        if (!Modulo::ConnPrincipale().isOpen()) {
            disabilitato.riabilita();
            Modulo::connessioneAperta();
            return;
        }
        const QString chiave = ui->TxtIdInvReale->text();
        if (chiave.isEmpty()) {
            MsgBox::show(QStringLiteral("Selezionionare la riga da eliminare"));
            return;
        }
        if (MsgBox::show(QStringLiteral("La riga selezionata verrà eliminata dall' inventario,Sicuro di Continuare?"),
                MsgBox::YesNo | MsgBox::Exclamation, QStringLiteral("Elimina Riga selezionata"))
            != MsgBox::Yes)
            return;
        Registro::eliminaRiga(Modulo::ConnPrincipale(), chiave);
        Modulo::ScriviLog(QStringLiteral("Elimina"), chiave, ui->txtDescrizione1->text(), ui->TxtBarcode->text(),
            ui->TxtDetCodiceLoro->text(), ui->txtQtaReale->text(), QStringLiteral("0"));
        aggiornaIndicatore();
        if (connesso()) {
            // The reload empties the detail fields; a delete leaves them as
            // they were, so the same product can be counted again at once
            // and a second press deletes (and logs) the same key again.
            const QList<QLineEdit *> dettagli = {ui->TxtIdProdotto, ui->txtDescrizione1, ui->txtPrVe1, ui->txtQta,
                ui->txtQtaReale, ui->TxtDetCodiceLoro, ui->txtProdeliminto, ui->TxtIdInvReale, ui->txtPrezAcquisto,
                ui->TxtBarcode};
            QStringList testi;
            for (const QLineEdit *campo : dettagli)
                testi << campo->text();
            CaricaDati();
            AzzeraRicerca();
            for (int i = 0; i < dettagli.size(); ++i)
                dettagli[i]->setText(testi[i]);
        }
    });
}

void frmInventario::CreaFileInventarioTab()
{
    Events::InputHold hold;
    Modulo::guarded(QStringLiteral(" (Inventario) "), [] {
        const QDateTime quando = Clock::now();
        const QString percorso = Shell::programFile(FileTabulato::nomeFile(quando));
        const bool esisteva = QFileInfo(percorso).isFile();
        QFile file(percorso);
        Registro::apriInCoda(file);
        FileTabulato::scriviTesta(file, esisteva, quando);
        if (!Modulo::connessioneAperta())
            return;
        double totale = 0;
        {
            Recordset rs(Modulo::ConnPrincipale(), FileTabulato::kSelect);
            totale = FileTabulato::scriviRighe(file, rs);
        }
        FileTabulato::scriviCoda(file, totale);
        file.close();
        if (file.error() != QFileDevice::NoError)
            throw RuntimeError(ErrNo::PathFileAccess,
                QStringLiteral("Errore di accesso al percorso o al file: %1").arg(file.errorString()));
        MsgBox::show(QStringLiteral("OK File Inventario Completato"));
        Shell::openFile(percorso);
    });
}
