#pragma once
#include <QAbstractTableModel>

// The rows of lvwProdotti (placeholder until the list is built).
class InventarioModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    int rowCount(const QModelIndex & = QModelIndex()) const override { return 0; }
    int columnCount(const QModelIndex & = QModelIndex()) const override { return 16; }
    QVariant data(const QModelIndex &, int) const override { return QVariant(); }
};
