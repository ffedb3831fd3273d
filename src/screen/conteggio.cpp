// Saving a count, deleting a row, the inventory text file.
#include "frminventario.h"
#include "ui_frmInventario.h"

void frmInventario::cmdSalva_Click() {}
void frmInventario::SalvaRiga() {}
long frmInventario::ContatoreGet(const QString &, const QString &) { return 0; }
void frmInventario::CmdElimina_Click() {}
void frmInventario::CreaFileInventarioTab() {}
