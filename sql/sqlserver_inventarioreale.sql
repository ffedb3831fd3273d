-- The program's own table, to be created once in the management system's
-- SQL Server database (the one that holds Prodotti and prodottiC):
--   sqlcmd -S SERVER -U USER -P PASSWORD -d DATABASE -i sqlserver_inventarioreale.sql
-- It never changes a table that exists (the management system may have made
-- it, and other programs read it): it says that the table is there and lists
-- its copied text columns that are narrower than the product tables' columns
-- they copy, so that the shop's administrator can decide whether to widen them.
-- The database's collation must be case-insensitive (as Latin1_General_CI_AS):
-- the statements spell table and column names in mixed case. The messages
-- are plain ASCII, so that sqlcmd shows them whatever its code page.
IF OBJECT_ID(N'dbo.InventarioReale', N'U') IS NULL
BEGIN
    CREATE TABLE dbo.InventarioReale (
        IDInventarioReale   INT IDENTITY(1,1) NOT NULL PRIMARY KEY,
        DescProdotto        NVARCHAR(MAX) NULL,
        Barcode             NVARCHAR(MAX) NULL,
        PrezzoPubblico      FLOAT NULL,
        PrezzoAcquisto      FLOAT NULL,
        IVA                 FLOAT NULL,
        IDCategoria         INT NULL,
        Categoria           NVARCHAR(50) NULL,
        UM                  NVARCHAR(10) NULL,
        Modifica            NVARCHAR(1) NULL,
        Modificato          NVARCHAR(1) NULL,
        GiacenzaReale       FLOAT NULL,
        GiacenzaStatistica  FLOAT NULL,
        DataModifica        DATETIME NULL,
        IDProdottoVentrox   INT NULL,
        IDProdottoEliminato INT NULL,
        CodInterno          NVARCHAR(MAX) NULL
    );
    CREATE INDEX IX_InventarioReale_Ventrox ON dbo.InventarioReale (IDProdottoVentrox);
    CREATE INDEX IX_InventarioReale_Eliminato ON dbo.InventarioReale (IDProdottoEliminato);
    PRINT N'Tabella InventarioReale creata.';
END
ELSE
BEGIN
    PRINT N'La tabella InventarioReale esiste gia'' e non e'' stata modificata.';
    PRINT N'Colonne di testo piu'' strette delle colonne dei prodotti che copiano (nessuna riga: nessuna):';
    -- a length of -1 is (N)VARCHAR(MAX)
    SELECT r.COLUMN_NAME AS Colonna, r.DATA_TYPE AS Tipo, r.CHARACTER_MAXIMUM_LENGTH AS Lunghezza,
           p.TABLE_NAME AS TabellaProdotti, p.COLUMN_NAME AS ColonnaProdotti, p.DATA_TYPE AS TipoProdotti,
           p.CHARACTER_MAXIMUM_LENGTH AS LunghezzaProdotti
    FROM INFORMATION_SCHEMA.COLUMNS AS r
    JOIN INFORMATION_SCHEMA.COLUMNS AS p
      ON p.TABLE_SCHEMA = r.TABLE_SCHEMA
     AND p.TABLE_NAME IN (N'Prodotti', N'prodottiC')
     AND p.COLUMN_NAME = CASE r.COLUMN_NAME WHEN N'DescProdotto' THEN N'Descrizione' ELSE r.COLUMN_NAME END
    WHERE r.TABLE_SCHEMA = N'dbo'
      AND r.TABLE_NAME = N'InventarioReale'
      AND r.COLUMN_NAME IN (N'DescProdotto', N'Barcode', N'CodInterno')
      AND r.CHARACTER_MAXIMUM_LENGTH <> -1
      AND (p.CHARACTER_MAXIMUM_LENGTH = -1 OR p.CHARACTER_MAXIMUM_LENGTH > r.CHARACTER_MAXIMUM_LENGTH)
    ORDER BY r.COLUMN_NAME, p.TABLE_NAME;
END;
