-- The program's own table, to be created once in the management system's
-- SQL Server database (the one that holds Prodotti and prodottiC):
--   sqlcmd -S SERVER -U USER -P PASSWORD -d DATABASE -i sqlserver_inventarioreale.sql
-- The copied texts take whatever the product tables hold, however long; run
-- on a table made by an earlier version, the script widens them.
-- The database's collation must be case-insensitive (as Latin1_General_CI_AS):
-- the statements spell table and column names in mixed case.
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
END
ELSE
BEGIN
    ALTER TABLE dbo.InventarioReale ALTER COLUMN DescProdotto NVARCHAR(MAX) NULL;
    ALTER TABLE dbo.InventarioReale ALTER COLUMN Barcode NVARCHAR(MAX) NULL;
    ALTER TABLE dbo.InventarioReale ALTER COLUMN CodInterno NVARCHAR(MAX) NULL;
END;
