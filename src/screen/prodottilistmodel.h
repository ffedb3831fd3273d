#pragma once
#include <QAbstractListModel>

// The items of ListProdotti (placeholder until the searches are built).
class ProdottiListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;
    int rowCount(const QModelIndex & = QModelIndex()) const override { return 0; }
    QVariant data(const QModelIndex &, int) const override { return QVariant(); }
};
