// The list of counted rows: columns, rows, loading with totals, selection
// and marks, and the clearing of the detail fields.
#include "frminventario.h"
#include "ui_frmInventario.h"
#include "formdisabilitato.h"
#include "inventariomodel.h"
#include "frame/modulo.h"
#include "platform/db.h"
#include "platform/events.h"
#include "platform/formatta.h"
#include "platform/msgbox.h"
#include "platform/regional.h"
#include "records/valori.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QTreeView>

namespace {

const QString kEtichettaCarica = QStringLiteral("(frmInventarioReale - CaricaDati )");
const QString kEtichettaClear = QStringLiteral("(frmInventarioReale - ClearForm)");
const QString kEtichettaRiga = QStringLiteral("(frmInventarioReale - CreaRigaLista)");
const QString kEtichettaColonne = QStringLiteral("(ConfFTP_Click)");

// A long load hands the window its paint events this often (milliseconds).
constexpr int kIntervalloPittura = 250;

[[noreturn]] void overflow() { throw RuntimeError(6, QStringLiteral("Overflow")); }

// A field as a number: null is 0 (a row with an empty cell is still listed),
// true is -1, text is read by the regional rules.
double numero(const QVariant &v)
{
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? -1 : 0;
    return Regional::toNumber(v);
}

// Whole numbers round halves to the even neighbour and overflow outside
// their range, as the platform's conversions do.
double intero(const QVariant &v, double minimo, double massimo)
{
    const int tipo = v.typeId();
    const bool intera = tipo == QMetaType::Int || tipo == QMetaType::LongLong || tipo == QMetaType::UInt
                        || tipo == QMetaType::ULongLong;
    const double n = intera ? v.toDouble() : Regional::roundHalfEven(numero(v), 0);
    if (!(n >= minimo && n <= massimo))
        overflow();
    return n;
}

qint16 intero16(const QVariant &v) { return static_cast<qint16>(intero(v, -32768, 32767)); }
qint32 intero32(const QVariant &v) { return static_cast<qint32>(intero(v, -2147483648.0, 2147483647.0)); }

// Dates are kept as the wall-clock date and time they show, with no time
// zone: a local time would ask the system's zone rules at every row.
QDateTime senzaFuso(const QDate &d, const QTime &t) { return QDateTime(d, t, Qt::UTC); }

int cifre(const QString &s, int from, int count)
{
    int n = 0;
    for (int i = from; i < from + count; ++i) {
        const QChar c = s.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
        n = n * 10 + (c.unicode() - '0');
    }
    return n;
}

// The forms a date column holds on SQLite ("dd/mm/yyyy", as the program
// writes it, and "yyyy-mm-dd" with an optional "hh:mm:ss"), read without
// the general parser; anything else returns an invalid date.
QDateTime dataVeloce(const QString &s)
{
    int g = -1, m = -1, a = -1, tempo = -1;
    if (s.size() >= 10 && s.at(2) == QLatin1Char('/') && s.at(5) == QLatin1Char('/')) {
        g = cifre(s, 0, 2), m = cifre(s, 3, 2), a = cifre(s, 6, 4), tempo = 10;
    } else if (s.size() >= 10 && s.at(4) == QLatin1Char('-') && s.at(7) == QLatin1Char('-')) {
        a = cifre(s, 0, 4), m = cifre(s, 5, 2), g = cifre(s, 8, 2), tempo = 10;
    }
    if (g < 0 || m < 0 || a < 0)
        return QDateTime();
    const QDate d(a, m, g);
    if (!d.isValid())
        return QDateTime();
    if (s.size() == tempo)
        return senzaFuso(d, QTime(0, 0));
    if (s.size() == tempo + 9 && (s.at(tempo) == QLatin1Char(' ') || s.at(tempo) == QLatin1Char('T'))
        && s.at(tempo + 3) == QLatin1Char(':') && s.at(tempo + 6) == QLatin1Char(':')) {
        const QTime t(cifre(s, tempo + 1, 2), cifre(s, tempo + 4, 2), cifre(s, tempo + 7, 2));
        if (t.isValid())
            return senzaFuso(d, t);
    }
    return QDateTime();
}

// A date field: null or blank shows as no date; anything else must be one.
// Consecutive rows mostly carry the same date, so the last one is kept.
class LettoreDate {
public:
    QDateTime operator()(const QVariant &v)
    {
        if (v.isNull())
            return QDateTime();
        if (v.typeId() != QMetaType::QString) {
            const QDateTime dt = Regional::toDateTime(v);
            return senzaFuso(dt.date(), dt.time());
        }
        const QString s = v.toString();
        if (s == m_testo)
            return m_data;
        QDateTime dt;
        if (!s.trimmed().isEmpty()) {
            dt = dataVeloce(s);
            if (!dt.isValid()) {
                const QDateTime letta = Regional::toDateTime(s);
                dt = senzaFuso(letta.date(), letta.time());
            }
        }
        m_testo = s;
        m_data = dt;
        return dt;
    }

private:
    QString m_testo;
    QDateTime m_data;
};

// The fields a load reads from each record, in the order it reads them.
enum Campo {
    FDescprodotto,
    FBarcode,
    FidCategoria,
    FCategoria,
    FUM,
    FCodInterno,
    FModifica,
    FModificato,
    FPrezzoPubblico,
    FPrezzoAcquisto,
    FGiacenzaReale,
    FGiacenzaStatistica,
    FDataModifica,
    FIdprodottoVentrox,
    FIDinventarioreale,
    FIDProdottoVentrox,
    FIDProdottoEliminato,
    NumeroCampi
};
const char *const kNomiCampi[NumeroCampi] = {"Descprodotto", "Barcode", "idCategoria", "Categoria", "UM", "CodInterno",
    "Modifica", "Modificato", "PrezzoPubblico", "PrezzoAcquisto", "GiacenzaReale", "GiacenzaStatistica", "DataModifica",
    "IdprodottoVentrox", "IDinventarioreale", "IDProdottoVentrox", "IDProdottoEliminato"};

// Reads the fields of the current record by name; each name is looked up
// once per load, when it is first read.
class LettoreCampi {
public:
    explicit LettoreCampi(const Recordset &rs) : m_rs(rs) { std::fill(std::begin(m_indici), std::end(m_indici), -1); }

    QVariant operator()(Campo c)
    {
        int &i = m_indici[c];
        if (i < 0)
            i = m_rs.fieldIndex(QLatin1String(kNomiCampi[c]));
        return m_rs.value(i);
    }

private:
    const Recordset &m_rs;
    int m_indici[NumeroCampi];
};

// Texts that repeat from row to row (unit, category) share one copy.
void condividi(QString &testo, QString &precedente)
{
    if (testo == precedente)
        testo = precedente;
    else
        precedente = testo;
}

RigaInventario leggiRiga(LettoreCampi &campo, LettoreDate &data, RigaInventario &precedente)
{
    RigaInventario r;
    r.descrizione = Regional::valueText(campo(FDescprodotto));
    r.barcode = Regional::valueText(campo(FBarcode));
    r.idCategoria = intero16(campo(FidCategoria));
    r.categoria = Regional::valueText(campo(FCategoria));
    condividi(r.categoria, precedente.categoria);
    r.um = Regional::valueText(campo(FUM));
    condividi(r.um, precedente.um);
    r.codInterno = Regional::valueText(campo(FCodInterno));
    campo(FModifica);   // read, not shown; any value is text
    r.modificato = intero16(campo(FModificato));
    r.prezzoPubblico = numero(campo(FPrezzoPubblico));
    r.prezzoAcquisto = numero(campo(FPrezzoAcquisto));
    // any value has a text; the list writes it when the row is shown
    r.giacenzaReale = campo(FGiacenzaReale);
    r.giacenzaStatistica = numero(campo(FGiacenzaStatistica));
    r.dataModifica = data(campo(FDataModifica));
    intero32(campo(FIdprodottoVentrox));   // read, not shown
    r.idInventarioReale = intero32(campo(FIDinventarioreale));
    r.idVentrox = intero32(campo(FIDProdottoVentrox));
    r.idEliminato = intero32(campo(FIDProdottoEliminato));
    return r;
}

// Empties the detail fields; txtNome too unless `nome` is false.
void svuotaDettagli(Ui::frmInventario &ui, bool nome)
{
    ui.TxtIdProdotto->setText(QString());
    ui.txtDescrizione1->setText(QString());
    ui.txtPrVe1->setText(QString());
    ui.txtQta->setText(QString());
    ui.txtQtaReale->setText(QString());
    ui.TxtDetCodiceLoro->setText(QString());
    ui.txtProdeliminto->setText(QString());
    ui.TxtIdInvReale->setText(QString());
    ui.txtPrezAcquisto->setText(QString());
    ui.TxtBarcode->setText(QString());
    if (nome)
        ui.txtNome->setText(QString());
}

}   // namespace

void frmInventario::ImpostaColonne()
{
    Modulo::guarded(kEtichettaColonne, [this] {
        QHeaderView *header = ui->lvwProdotti->header();
        header->setStretchLastSection(false);
        header->setSectionsMovable(false);
        header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        for (int c = 0; c < InventarioModel::NumeroColonne; ++c) {
            m_lista->aggiungiColonna(InventarioModel::titolo(c));
            const int sezione = m_lista->columnCount() - 1;
            const int larghezza = InventarioModel::larghezzaTwips(c);
            // a column of width 0 is not shown, but its cells keep their values
            if (larghezza == 0) {
                ui->lvwProdotti->setColumnHidden(sezione, true);
            } else {
                ui->lvwProdotti->setColumnHidden(sezione, false);
                header->resizeSection(sezione, qRound(larghezza / 15.0));
            }
        }
    });
}

void frmInventario::CreaRigaLista(const QString &descrizione, const QString &barcode, qint16 idCategoria,
    const QString &categoria, const QString &um, const QString &codInterno, qint16 modificato, double prezzoPubblico,
    double prezzoAcquisto, const QString &giacenzaReale, double giacenzaStatistica, const QDateTime &dataModifica,
    qint32 idInventarioReale, qint32 idVentrox, qint32 idEliminato)
{
    Modulo::guarded(kEtichettaRiga, [&] {
        RigaInventario r;
        r.descrizione = descrizione;
        r.barcode = barcode;
        r.idCategoria = idCategoria;
        r.categoria = categoria;
        r.um = um;
        r.codInterno = codInterno;
        r.modificato = modificato;
        r.prezzoPubblico = prezzoPubblico;
        r.prezzoAcquisto = prezzoAcquisto;
        r.giacenzaReale = giacenzaReale;
        r.giacenzaStatistica = giacenzaStatistica;
        r.dataModifica = senzaFuso(dataModifica.date(), dataModifica.time());
        r.idInventarioReale = idInventarioReale;
        r.idVentrox = idVentrox;
        r.idEliminato = idEliminato;
        m_lista->append(r);
    });
}

// the 50 most recently counted rows, newest first
const QString frmInventario::kCaricaDati =
    QStringLiteral("SELECT TOP 50 * FROM   InventarioReale ORDER BY IDInventarioReale DESC");

void frmInventario::CaricaDati() { caricaLista(kCaricaDati); }

void frmInventario::btn_tutti_Click()
{
    Events::InputHold hold;
    CursoreOccupato cursore;
    // every row, newest first as after a save, so that the list keeps its order
    caricaLista(QStringLiteral("SELECT * FROM   InventarioReale ORDER BY IDInventarioReale DESC"));
}

void frmInventario::caricaLista(const QString &sql)
{
    std::optional<Recordset> rs;
    caricaLista([&]() -> Recordset & { return rs.emplace(Modulo::ConnPrincipale(), sql); });
}

void frmInventario::caricaLista(const std::function<Recordset &()> &righe)
{
    m_lista->clear();
    ClearForm();
    if (!Modulo::connessioneAperta()) {
        setEnabled(true);
        return;
    }
    // A start without connection sets up no columns; a later load (once the
    // indicator has connected) must still show its rows.
    if (m_lista->columnCount() == 0)
        ImpostaColonne();

    try {
        Recordset &rs = righe();
        LettoreCampi campo(rs);
        LettoreDate date;
        RigaInventario precedente;
        double magazzino = 0;
        double reale = 0;
        QElapsedTimer orologio;
        orologio.start();
        while (!rs.eof()) {
            RigaInventario r = leggiRiga(campo, date, precedente);
            magazzino += r.prezzoAcquisto * r.giacenzaStatistica;
            const double prezzo = r.prezzoAcquisto;
            const QVariant contata = r.giacenzaReale;
            m_lista->accoda(std::move(r));
            reale += prezzo * numero(contata);
            rs.moveNext();
            // a long load shows what it has and lets the window repaint;
            // the operator's keys stay queued until the handler ends
            if (orologio.elapsed() >= kIntervalloPittura) {
                m_lista->pubblica();
                Events::DoEvents();
                orologio.restart();
            }
        }
        m_lista->pubblica();
        ui->TxtTotStatistico->setText(Regional::numberText(magazzino));
        ui->TxtTotReale->setText(Regional::numberText(reale));
        ui->TxtDiff->setText(Modulo::FormattaNumero(magazzino - reale, 2));
    } catch (const RuntimeError &e) {
        m_lista->pubblica();
        Modulo::trapError(e, kEtichettaCarica);
    } catch (const std::exception &e) {
        m_lista->pubblica();
        Modulo::trapError(RuntimeError(5, QString::fromLocal8Bit(e.what())), kEtichettaCarica);
    }
}

void frmInventario::mostra(QLineEdit *field, const QString &text)
{
    field->setText(text);
    field->setCursorPosition(0);
}

void frmInventario::ClearForm()
{
    Modulo::guarded(kEtichettaClear, [this] { svuotaDettagli(*ui, true); });
}

void frmInventario::ClearFormSenzaNome()
{
    Modulo::guarded(kEtichettaClear, [this] { svuotaDettagli(*ui, false); });
}

void frmInventario::lvwProdotti_ItemClick(const QModelIndex &index)
{
    if (!index.isValid() || index.row() >= m_lista->righe())
        return;
    const int row = index.row();
    auto cella = [this, row](int colonna) { return m_lista->text(row, colonna); };
    // the row's product is the chosen one now, not a product found before
    ui->ListProdotti->selectionModel()->clearSelection();
    try {
        ClearForm();
        QString descrizione = cella(InventarioModel::ColDescrizione);
        mostra(ui->txtDescrizione1, descrizione.replace(QLatin1String("''"), QLatin1String("'")));
        mostra(ui->txtQtaReale, cella(InventarioModel::ColQtaReale));
        mostra(ui->txtQta, cella(InventarioModel::ColQtaVentrox));
        mostra(ui->txtPrVe1, cella(InventarioModel::ColPrezzoP));
        mostra(ui->TxtDetCodiceLoro, cella(InventarioModel::ColCodInterno));
        mostra(ui->TxtBarcode, cella(InventarioModel::ColBarcode));
        mostra(ui->TxtIdProdotto, cella(InventarioModel::ColIdVentrox));
        mostra(ui->txtProdeliminto, cella(InventarioModel::ColIdEliminato));

        const double idAttivo = Regional::toNumber(ui->TxtIdProdotto->text());
        if (idAttivo == 0) {
            Modulo::ProdottoAttivo = false;
            Modulo::IdAttivoScelto = 0;
            Modulo::IdEliminatoScelto = Regional::toNumber(ui->txtProdeliminto->text());
        } else {
            Modulo::IdEliminatoScelto = 0;
            Modulo::IdAttivoScelto = idAttivo;
            Modulo::ProdottoAttivo = true;
        }

        mostra(ui->TxtIdInvReale, cella(InventarioModel::ColID));
        mostra(ui->txtPrezAcquisto, cella(InventarioModel::ColPrezzoAcq));
    } catch (const RuntimeError &e) {
        Modulo::trapError(e, QString());
    }
}

void frmInventario::cmdSelezionaTutto_Click()
{
    Events::InputHold hold;
    FormDisabilitato disabilitato(this);
    for (int i = 0; i < m_lista->righe(); ++i) {
        m_lista->setChecked(i, true);
        Events::DoEvents();
    }
    MsgBox::show(QStringLiteral("Operazione Completata"), MsgBox::OkOnly);
}

void frmInventario::cmdDeselezionaTutto_Click()
{
    Events::InputHold hold;
    FormDisabilitato disabilitato(this);
    for (int i = 0; i < m_lista->righe(); ++i) {
        m_lista->setChecked(i, false);
        Events::DoEvents();
    }
}
