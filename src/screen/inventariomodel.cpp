#include "inventariomodel.h"
#include "platform/regional.h"

#include <QThreadPool>

namespace {

struct Spec {
    const char *titolo;
    int larghezza;   // twips
};

// Titles and widths of the list's columns, in index order.
const Spec kColonne[InventarioModel::NumeroColonne] = {
    {"Descrizione", 4000}, {"ID", 500},       {"UM", 600},          {"Qtà Reale", 800},
    {"Qta Ventrox", 800},  {"PrezzoP", 800},  {"CodInterno", 1200}, {"Barcode", 0},
    {"IDCategoria", 0},    {"Categoria", 0},  {"Data Inv.", 1000},  {"Modifica", 0},
    {"IVA", 0},            {"PrezzoAcq.", 600}, {"IdVentrox", 1000}, {"IdEliminato", 1000},
};

} // namespace

QString InventarioModel::titolo(int colonna)
{
    return colonna >= 0 && colonna < NumeroColonne ? QString::fromUtf8(kColonne[colonna].titolo) : QString();
}

int InventarioModel::larghezzaTwips(int colonna)
{
    return colonna >= 0 && colonna < NumeroColonne ? kColonne[colonna].larghezza : 0;
}

InventarioModel::InventarioModel(QObject *parent) : QAbstractTableModel(parent) {}

int InventarioModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : righe();
}

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
    std::vector<RigaInventario> vecchie;
    vecchie.swap(m_righe);
    std::vector<char>().swap(m_spunte);
    endResetModel();
    // Freeing a hundred thousand rows takes longer than reading many of them:
    // a worker does it while the next load runs.
    if (vecchie.size() > 1000)
        QThreadPool::globalInstance()->start([righe = std::move(vecchie)]() mutable { righe.clear(); });
}

void InventarioModel::append(const RigaInventario &riga)
{
    const int n = righe();
    beginInsertRows(QModelIndex(), n, n);
    m_righe.push_back(riga);
    m_spunte.push_back(0);
    endInsertRows();
}

void InventarioModel::appendRows(std::vector<RigaInventario> &nuove)
{
    if (nuove.empty())
        return;
    const int n = righe();
    const int count = static_cast<int>(nuove.size());
    // a reset costs the view one relayout, however many rows arrive
    if (n == 0)
        beginResetModel();
    else
        beginInsertRows(QModelIndex(), n, n + count - 1);
    for (RigaInventario &r : nuove)
        m_righe.push_back(std::move(r));
    m_spunte.resize(m_righe.size(), 0);
    nuove.clear();
    if (n == 0)
        endResetModel();
    else
        endInsertRows();
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
