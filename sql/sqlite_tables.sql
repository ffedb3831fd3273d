-- The three tables as the program uses them, for the embedded SQLite database.
-- Prodotti and prodottiC stand for the management system's product master.
CREATE TABLE Prodotti (
    IDProdotto      INTEGER PRIMARY KEY,
    CodInterno      TEXT,
    Descrizione     TEXT,
    Barcode         TEXT,
    PrezzoPubblico  REAL,
    PrezzoAcquisto  REAL,
    Giacenza        REAL
);
CREATE INDEX IX_Prodotti_CodInterno ON Prodotti (CodInterno COLLATE NOCASE);
CREATE INDEX IX_Prodotti_Barcode ON Prodotti (Barcode COLLATE NOCASE);
CREATE INDEX IX_Prodotti_Descrizione ON Prodotti (Descrizione COLLATE NOCASE);

CREATE TABLE prodottiC (
    IDProdotto      INTEGER PRIMARY KEY,
    CodInterno      TEXT,
    Descrizione     TEXT,
    Barcode         TEXT,
    PrezzoPubblico  REAL,
    PrezzoAcquisto  REAL,
    Giacenza        REAL
);
CREATE INDEX IX_prodottiC_CodInterno ON prodottiC (CodInterno COLLATE NOCASE);
CREATE INDEX IX_prodottiC_Barcode ON prodottiC (Barcode COLLATE NOCASE);
CREATE INDEX IX_prodottiC_Descrizione ON prodottiC (Descrizione COLLATE NOCASE);

CREATE TABLE InventarioReale (
    IDInventarioReale   INTEGER PRIMARY KEY AUTOINCREMENT,
    DescProdotto        TEXT,
    Barcode             TEXT,
    PrezzoPubblico      REAL,
    PrezzoAcquisto      REAL,
    IVA                 REAL,
    IDCategoria         INTEGER,
    Categoria           TEXT,
    UM                  TEXT,
    Modifica            TEXT,
    Modificato          TEXT,
    GiacenzaReale       REAL,
    GiacenzaStatistica  REAL,
    DataModifica        TEXT,
    IDProdottoVentrox   INTEGER,
    IDProdottoEliminato INTEGER,
    CodInterno          TEXT
);
CREATE INDEX IX_InventarioReale_Ventrox ON InventarioReale (IDProdottoVentrox);
CREATE INDEX IX_InventarioReale_Eliminato ON InventarioReale (IDProdottoEliminato);
