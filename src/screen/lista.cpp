// The list of counted rows: columns, rows, loading with totals, selection.
#include "frminventario.h"
#include "ui_frmInventario.h"

void frmInventario::ImpostaColonne() {}
void frmInventario::CreaRigaLista(const QString &, const QString &, qint16, const QString &, const QString &,
                                  const QString &, qint16, double, double, const QString &, double, const QDateTime &,
                                  qint32, qint32, qint32) {}
void frmInventario::CaricaDati() {}
void frmInventario::ClearForm() {}
void frmInventario::ClearFormSenzaNome() {}
void frmInventario::btn_tutti_Click() {}
void frmInventario::lvwProdotti_ItemClick(const QModelIndex &) {}
void frmInventario::cmdSelezionaTutto_Click() {}
void frmInventario::cmdDeselezionaTutto_Click() {}
void frmInventario::caricaLista(const QString &) {}
