// Opening the product editor from the main screen.
#include "frminventario.h"
#include "ui_frmInventario.h"

void frmInventario::cmdModifica_Click() {}
