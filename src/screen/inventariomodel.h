#pragma once
#include <QAbstractTableModel>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

// One counted row as the list holds it: the values read from InventarioReale,
// kept raw; the list's text is made from them when it is shown.
struct RigaInventario {
    QString descrizione;
    QString barcode;
    QString categoria;
    QString um;
    QString codInterno;
    // The counted quantity travels as text: the text given, or the field as
    // read, written as text only when it is shown.
    QVariant giacenzaReale;
    QDateTime dataModifica;
    double prezzoPubblico = 0;
    double prezzoAcquisto = 0;
    double giacenzaStatistica = 0;
    qint32 idInventarioReale = 0;
    qint32 idVentrox = 0;
    qint32 idEliminato = 0;
    qint16 idCategoria = 0;
    qint16 modificato = 0;
};

// The rows of lvwProdotti, with a check mark each. The columns exist once
// they have been added (ImpostaColonne); the rows keep their values whether
// a column shows them or not.
class InventarioModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The sixteen columns of the list; nothing else numbers them.
    enum Colonna {
        ColDescrizione = 0,
        ColID,
        ColUM,
        ColQtaReale,
        ColQtaVentrox,
        ColPrezzoP,
        ColCodInterno,
        ColBarcode,
        ColIDCategoria,
        ColCategoria,
        ColDataInv,
        ColModifica,
        ColIVA,
        ColPrezzoAcq,
        ColIdVentrox,
        ColIdEliminato,
        NumeroColonne
    };
    static QString titolo(int colonna);
    static int larghezzaTwips(int colonna);   // 0: the column is not shown

    explicit InventarioModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // Appends a column header; columns are never removed.
    void aggiungiColonna(const QString &titolo);

    void clear();
    void append(const RigaInventario &riga);
    // A load queues its rows unseen and shows what it has queued at once:
    // the view learns of many rows in one step.
    void accoda(RigaInventario &&riga);
    void pubblica();

    int righe() const { return m_visibili; }
    const RigaInventario &riga(int row) const
    {
        return m_blocchi[static_cast<size_t>(row / kBlocco)][static_cast<size_t>(row % kBlocco)];
    }
    // The text of a row's cell (column 0 is the row's own text), whether the
    // column is shown or not.
    QString text(int row, int colonna) const;

    bool isChecked(int row) const { return m_spunte[static_cast<size_t>(row)] != 0; }
    void setChecked(int row, bool checked);

private:
    // Rows live in blocks of fixed capacity, so that a growing list never
    // copies the rows it already has.
    static constexpr int kBlocco = 4096;

    QStringList m_titoli;
    std::vector<std::vector<RigaInventario>> m_blocchi;
    int m_visibili = 0;
    int m_accodate = 0;
    std::vector<char> m_spunte;
};
