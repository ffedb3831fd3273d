// The product search by code, barcode and name, and the chosen product.
#include "frminventario.h"
#include "ui_frmInventario.h"

namespace Modulo {
bool SaltaKeyUpCodice = false;
void EvidenziaCampo(QWidget *) {}
}

void frmInventario::AzzeraRicerca() {}
void frmInventario::txtCodice_KeyUp(int, Qt::KeyboardModifiers) {}
void frmInventario::txtCodice_KeyDown(int, Qt::KeyboardModifiers) {}
void frmInventario::txtCodice_GotFocus() {}
void frmInventario::txtCodice_LostFocus() {}
void frmInventario::Form_KeyUp(int, Qt::KeyboardModifiers) {}
void frmInventario::txtNome_Change() {}
void frmInventario::CheckTipoRicerca_Click() {}
void frmInventario::txtNome_GotFocus() {}
void frmInventario::txtNome_LostFocus() {}
void frmInventario::txtNome_KeyDown(int, Qt::KeyboardModifiers) {}
void frmInventario::txtNome_KeyUp(int, Qt::KeyboardModifiers) {}
void frmInventario::ListProdotti_Click() {}
void frmInventario::TxtCopieReali_GotFocus() {}
void frmInventario::TxtCopieReali_KeyUp(int, Qt::KeyboardModifiers) {}
void frmInventario::riempiListaProdotti(const QString &) {}
void frmInventario::dimensionaRicerca(int, bool) {}
void frmInventario::spostaSelezione(QWidget *, int) {}
