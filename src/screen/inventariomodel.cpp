#include "inventariomodel.h"
#include "platform/regional.h"

#include <QThreadPool>

namespace {

struct Intestazione {
    const char *titolo;
    int larghezza;   // twips
};

// Titles and widths of the list's columns, in index order.
const Intestazione kColonne[InventarioModel::NumeroColonne] = {
    {"Descrizione", 4000},
    {"ID", 500},
    {"UM", 600},
    {"Qtà Reale", 800},
    {"Qta Ventrox", 800},
    {"PrezzoP", 800},
    {"CodInterno", 1200},
    {"Barcode", 0},
    {"IDCategoria", 0},
    {"Categoria", 0},
    {"Data Inv.", 1000},
    {"Modifica", 0},
    {"IVA", 0},
    {"PrezzoAcq.", 600},
    {"IdVentrox", 1000},
    {"IdEliminato", 1000},
};

}   // namespace

QString InventarioModel::titolo(int colonna)
{
    return colonna >= 0 && colonna < NumeroColonne ? QString::fromUtf8(kColonne[colonna].titolo) : QString();
}

int InventarioModel::larghezzaTwips(int colonna)
{
    return colonna >= 0 && colonna < NumeroColonne ? kColonne[colonna].larghezza : 0;
}

InventarioModel::InventarioModel(QObject *parent) : QAbstractTableModel(parent) {}

int InventarioModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : righe(); }

int InventarioModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_titoli.size());
}

QString InventarioModel::text(int row, int colonna) const
{
    const RigaInventario &r = riga(row);
    switch (colonna) {
    case ColDescrizione: return r.descrizione;
    case ColID: return QString::number(r.idInventarioReale);
    case ColUM: return r.um;
    case ColQtaReale: {
        const QString testo = Regional::valueText(r.giacenzaReale);
        return testo.isEmpty() ? QStringLiteral("0") : testo;
    }
    case ColQtaVentrox: return Regional::numberText(r.giacenzaStatistica);
    case ColPrezzoP: return Regional::numberText(r.prezzoPubblico);
    case ColCodInterno: return r.codInterno;
    case ColBarcode: return r.barcode;
    case ColIDCategoria: return QString::number(r.idCategoria);
    case ColCategoria: return r.categoria;
    case ColDataInv: return Regional::generalDateText(r.dataModifica);
    case ColModifica: return QString::number(r.modificato);
    case ColPrezzoAcq: return Regional::numberText(r.prezzoAcquisto);
    case ColIdVentrox: return QString::number(r.idVentrox);
    case ColIdEliminato: return QString::number(r.idEliminato);
    default: return QString();   // IVA, and any column added beyond the sixteen
    }
}

QVariant InventarioModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= righe())
        return QVariant();
    if (role == Qt::DisplayRole)
        return text(index.row(), index.column());
    if (role == Qt::CheckStateRole && index.column() == ColDescrizione)
        return isChecked(index.row()) ? Qt::Checked : Qt::Unchecked;
    return QVariant();
}

bool InventarioModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() != ColDescrizione || role != Qt::CheckStateRole)
        return false;
    setChecked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

QVariant InventarioModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_titoli.size())
        return m_titoli.at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags InventarioModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == ColDescrizione)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

void InventarioModel::aggiungiColonna(const QString &titolo)
{
    const int n = columnCount();
    beginInsertColumns(QModelIndex(), n, n);
    m_titoli.append(titolo);
    endInsertColumns();
}

void InventarioModel::clear()
{
    beginResetModel();
    std::vector<std::vector<RigaInventario>> vecchie;
    vecchie.swap(m_blocchi);
    m_visibili = 0;
    m_accodate = 0;
    std::vector<char>().swap(m_spunte);
    endResetModel();
    // Freeing a hundred thousand rows takes as long as reading many of them:
    // a worker does it while the next load runs.
    if (vecchie.size() > 1)
        QThreadPool::globalInstance()->start([blocchi = std::move(vecchie)]() mutable { blocchi.clear(); });
}

void InventarioModel::accoda(RigaInventario &&riga)
{
    if (m_accodate % kBlocco == 0) {
        m_blocchi.emplace_back();
        m_blocchi.back().reserve(kBlocco);
    }
    m_blocchi.back().push_back(std::move(riga));
    ++m_accodate;
}

void InventarioModel::pubblica()
{
    if (m_accodate == m_visibili)
        return;
    const int n = m_visibili;
    // a reset costs the view one relayout, however many rows arrive
    if (n == 0)
        beginResetModel();
    else
        beginInsertRows(QModelIndex(), n, m_accodate - 1);
    m_visibili = m_accodate;
    m_spunte.resize(static_cast<size_t>(m_visibili), 0);
    if (n == 0)
        endResetModel();
    else
        endInsertRows();
}

void InventarioModel::append(const RigaInventario &riga)
{
    pubblica();
    accoda(RigaInventario(riga));
    pubblica();
}

void InventarioModel::setChecked(int row, bool checked)
{
    char &mark = m_spunte[static_cast<size_t>(row)];
    if ((mark != 0) == checked)
        return;
    mark = checked ? 1 : 0;
    if (columnCount() == 0)
        return;
    const QModelIndex i = index(row, ColDescrizione);
    Q_EMIT dataChanged(i, i, {Qt::CheckStateRole});
}
