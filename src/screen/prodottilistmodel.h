#pragma once
#include <QAbstractListModel>
#include <QString>
#include <QVector>

// The items of ListProdotti: the text each shows and, out of sight, the
// table its product was read from, so that choosing it loads that very
// product.
class ProdottiListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Tabella { Prodotti, ProdottiC };
    static constexpr int TabellaRole = Qt::UserRole + 1;

    // An item keeps the pieces of its text; the text itself is put
    // together when asked for, so that a list of the whole product master
    // costs little more than reading it.
    struct Voce {
        QString codice;
        QString descrizione;
        QString id;
        Tabella tabella = Prodotti;
        bool marcata = false;   // a product of prodottiC found by name
    };

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // Replaces every item in one reset, so that a long list costs the view
    // one layout instead of one per row.
    void setVoci(QVector<Voce> voci);
    // Adds items after the present ones, all in one insertion.
    void appendVoci(QVector<Voce> voci);
    void clear();
    const Voce &voce(int row) const { return m_voci.at(row); }
    QString testo(int row) const;

    // "  CODE - description" + 100 blanks + id: the code right-aligned in 15
    // characters (a longer one loses its head), the id pushed out of view.
    static QString testoVoce(const QString &codice, const QString &descrizione, const QString &id);
    // A product of prodottiC found by name: "*" in front, "     Eli." after
    // the description and "Eli." right after the id.
    static QString testoVoceEliminata(const QString &codice, const QString &descrizione, const QString &id);

    // The product id an item carries: its last 20 characters read as a
    // number the way Basic's Val reads (blanks skipped, '.' the only
    // decimal separator, stops at the first character that cannot go on).
    static double idVoce(const QString &testo);

private:
    QVector<Voce> m_voci;
};
