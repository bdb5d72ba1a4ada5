-- Dorvalen database, SQL Server form. Run it in the database the program connects to
-- (sqlcmd -d <database> -i mssql.sql). The default collation already compares text
-- without regard to case.

-- Persons, departments and media-ID assignments, shared with the attendance system.

CREATE TABLE Sektor (
    IDSektora        NVARCHAR(10) NOT NULL PRIMARY KEY,
    NazivSektora     NVARCHAR(50) NULL,
    Nadredjeni       NVARCHAR(10) NULL,
    MaticniBrojFirme NVARCHAR(50) NULL,
    SekIzabran       BIT NULL DEFAULT 0
);
GO
CREATE INDEX ixSektorNadredjeni ON Sektor (Nadredjeni);
GO

CREATE TABLE Zaposleni (
    IDZaposlenog NVARCHAR(50) NOT NULL PRIMARY KEY,
    Prezime      NVARCHAR(50) NULL,
    Ime          NVARCHAR(50) NULL,
    IDSektora    NVARCHAR(10) NULL,
    Fotografija  VARBINARY(MAX) NULL,
    PinKod       NVARCHAR(20) NULL
);
GO
CREATE INDEX ixZaposleniIDSektora ON Zaposleni (IDSektora);
GO

CREATE TABLE Zaposleni_IDMemorija (
    IDNo              NVARCHAR(16) NOT NULL,
    IDZaposlenog      NVARCHAR(50) NOT NULL,
    DatumDodeljivanja DATETIME NULL,
    IDNoSaPinKodom    NVARCHAR(16) NULL,
    PRIMARY KEY (IDZaposlenog, IDNo)
);
GO
CREATE INDEX ixZaposleniIDMemorijaIDNo ON Zaposleni_IDMemorija (IDNo);
GO

-- Access control.

CREATE TABLE tblDorvGrupe (
    IDGrupe NVARCHAR(50) NOT NULL PRIMARY KEY,
    Naziv   NVARCHAR(50) NULL
);
GO

CREATE TABLE tblDorvZone (
    IDZone NVARCHAR(10) NOT NULL PRIMARY KEY,
    Naziv  NVARCHAR(50) NULL
);
GO

CREATE TABLE tblDorvOsobe_Grupe (
    ID           INT NOT NULL PRIMARY KEY,
    IDZaposlenog NVARCHAR(50) NULL,
    IDGrupe      NVARCHAR(50) NULL,
    Status       INT NULL
);
GO
CREATE INDEX ixOsobeGrupeIDZaposlenog ON tblDorvOsobe_Grupe (IDZaposlenog);
CREATE INDEX ixOsobeGrupeIDGrupe ON tblDorvOsobe_Grupe (IDGrupe);
GO

CREATE TABLE tblDorvOsobe_Zone (
    ID                    INT NOT NULL PRIMARY KEY,
    IDZaposlenog          NVARCHAR(50) NULL,
    IDZone                NVARCHAR(10) NULL,
    IDVremenskogintervala INT NULL,
    UkljucenIPinKod       INT NULL
);
GO
CREATE INDEX ixOsobeZoneIDZaposlenog ON tblDorvOsobe_Zone (IDZaposlenog);
CREATE INDEX ixOsobeZoneIDZone ON tblDorvOsobe_Zone (IDZone);
GO

CREATE TABLE tblDorvGrupe_Zone (
    ID                    INT NOT NULL PRIMARY KEY,
    IDGrupe               NVARCHAR(50) NULL,
    IDZone                NVARCHAR(10) NULL,
    IDVremenskogintervala INT NULL,
    UkljucenIPinKod       INT NULL
);
GO
CREATE INDEX ixGrupeZoneIDGrupe ON tblDorvGrupe_Zone (IDGrupe);
CREATE INDEX ixGrupeZoneIDZone ON tblDorvGrupe_Zone (IDZone);
GO

CREATE TABLE tblDorvTackePristupa (
    IDTackePristupa NVARCHAR(10) NOT NULL PRIMARY KEY,
    Naziv           NVARCHAR(50) NULL
);
GO

CREATE TABLE tblDorvZone_TackePristupa (
    id              INT NOT NULL PRIMARY KEY,
    IDZone          NVARCHAR(10) NULL,
    IDTackePristupa NVARCHAR(10) NULL,
    Status          INT NULL
);
GO
CREATE INDEX ixZoneTackePristupaIDZone ON tblDorvZone_TackePristupa (IDZone);
CREATE INDEX ixZoneTackePristupaIDTackePristupa ON tblDorvZone_TackePristupa (IDTackePristupa);
GO

CREATE TABLE tblDorvVremenskiIntervali (
    IDIntervala NVARCHAR(10) NOT NULL PRIMARY KEY,
    Od          DATETIME NULL,
    Do          DATETIME NULL,
    OdOffset    INT NULL,
    DoOffset    INT NULL
);
GO

CREATE TABLE tblDorvKontroleri (
    IDKontrolera NVARCHAR(10) NOT NULL PRIMARY KEY,
    Naziv        NVARCHAR(50) NULL,
    Tip          NVARCHAR(50) NULL,
    TipKonekcije NVARCHAR(50) NULL,
    Kompjuter    NVARCHAR(50) NULL,
    ComPort      NVARCHAR(50) NULL
);
GO

CREATE TABLE tblDorvKontakti (
    IDKontakta      INT IDENTITY(1, 1) NOT NULL PRIMARY KEY,
    idkontrolera    NVARCHAR(10) NULL,
    RBTouchKontakta NVARCHAR(10) NULL,
    MerodavnaTabela INT NULL
);
GO
CREATE INDEX ixKontaktiIdkontrolera ON tblDorvKontakti (idkontrolera);
GO

CREATE TABLE tblDorvKontaktiKontrolera_TackePristupa (
    IDKontakta      INT NOT NULL PRIMARY KEY,
    IDTackePristupa NVARCHAR(10) NULL
);
GO
CREATE INDEX ixKontaktiTackePristupaIDTackePristupa ON tblDorvKontaktiKontrolera_TackePristupa (IDTackePristupa);
GO

-- Every assignment of a media ID with the period it is valid in: from its own date until
-- the same media ID is assigned again (to anyone), open while it has not been.
CREATE VIEW viewMediaIDHist (IDZaposlenog, Prezime, Ime, IDSektora, NazivSektora, IDNo, VaziOd, VaziDo, IDNoSaPinKodom) AS
SELECT m.IDZaposlenog, z.Prezime, z.Ime, z.IDSektora, s.NazivSektora, m.IDNo,
       m.DatumDodeljivanja,
       (SELECT MIN(n.DatumDodeljivanja) FROM Zaposleni_IDMemorija n
         WHERE n.IDNo = m.IDNo AND n.DatumDodeljivanja > m.DatumDodeljivanja),
       m.IDNoSaPinKodom
FROM Zaposleni_IDMemorija m
JOIN Zaposleni z ON z.IDZaposlenog = m.IDZaposlenog
LEFT JOIN Sektor s ON s.IDSektora = z.IDSektora;
GO

CREATE VIEW viewMediaIDActive (IDNo, IDZaposlenog, Prezime, Ime, IDSektora, NazivSektora, VaziOd, VaziDo, IDNoSaPinKodom) AS
SELECT IDNo, IDZaposlenog, Prezime, Ime, IDSektora, NazivSektora, VaziOd, VaziDo, IDNoSaPinKodom
FROM viewMediaIDHist
WHERE VaziOd <= GETDATE()
  AND (VaziDo IS NULL OR GETDATE() < VaziDo);
GO

CREATE VIEW viewDorvKontroleri_tackePristupa (IDKontakta, idkontrolera, RBTouchKontakta, IDTackePristupa, Naziv, Status, Expr1, Expr2, Expr3) AS
SELECT k.IDKontakta, k.idkontrolera, k.RBTouchKontakta, kt.IDTackePristupa, tp.Naziv,
       k.MerodavnaTabela, kt.IDKontakta, kt.IDTackePristupa, tp.IDTackePristupa
FROM tblDorvKontakti k
LEFT JOIN tblDorvKontaktiKontrolera_TackePristupa kt ON kt.IDKontakta = k.IDKontakta
LEFT JOIN tblDorvTackePristupa tp ON tp.IDTackePristupa = kt.IDTackePristupa;
GO

-- The zones each person may enter, directly or through a group, with the access mode of
-- the link the right comes from.
CREATE VIEW viewDorvPristupOsoba (IDZaposlenog, IDZone, UkljucenIPinKod) AS
SELECT IDZaposlenog, IDZone, UkljucenIPinKod FROM tblDorvOsobe_Zone
UNION
SELECT og.IDZaposlenog, gz.IDZone, gz.UkljucenIPinKod
FROM tblDorvOsobe_Grupe og
JOIN tblDorvGrupe_Zone gz ON gz.IDGrupe = og.IDGrupe;
GO

-- What a controller's memory must hold: for each of its touch contacts, the persons who
-- may enter a zone that the contact's access point opens, with their active media IDs;
-- the plain form for mode 0, the PIN-bearing form for mode 1, both for mode 2. The
-- contact's table is the status. One SELECT (the two forms as a two-row join) rather
-- than a UNION, so a filter on the controller reaches the tables: a UNION would be
-- worked out for every controller on each call.
CREATE VIEW viewDorvPodaciZaTerminale (idkontrolera, IDNo, status) AS
SELECT DISTINCT k.idkontrolera,
       CASE f.Oblik WHEN 0 THEN a.IDNo ELSE a.IDNoSaPinKodom END,
       k.MerodavnaTabela
FROM tblDorvKontakti k
JOIN tblDorvKontaktiKontrolera_TackePristupa kt ON kt.IDKontakta = k.IDKontakta
JOIN tblDorvZone_TackePristupa zt ON zt.IDTackePristupa = kt.IDTackePristupa
JOIN viewDorvPristupOsoba p ON p.IDZone = zt.IDZone
JOIN viewMediaIDActive a ON a.IDZaposlenog = p.IDZaposlenog
JOIN (SELECT 0 AS Oblik UNION ALL SELECT 1) f
  ON (f.Oblik = 0 AND p.UkljucenIPinKod IN (0, 2))
  OR (f.Oblik = 1 AND p.UkljucenIPinKod IN (1, 2) AND a.IDNoSaPinKodom IS NOT NULL AND a.IDNoSaPinKodom <> '');
GO

-- The same lists for every controller at once. Worked out per zone, once, however many
-- controllers open it: the media IDs of each zone in the forms its links ask for, and
-- each controller's zones with the table of the contact that opens them. Joined, and
-- grouped by controller, status and IDNo, they give the rows of viewDorvPodaciZaTerminale
-- for all controllers in one statement.
CREATE VIEW viewDorvMediaIDZone (IDZone, IDNo) AS
SELECT DISTINCT p.IDZone, CASE f.Oblik WHEN 0 THEN a.IDNo ELSE a.IDNoSaPinKodom END
FROM viewDorvPristupOsoba p
JOIN viewMediaIDActive a ON a.IDZaposlenog = p.IDZaposlenog
JOIN (SELECT 0 AS Oblik UNION ALL SELECT 1) f
  ON (f.Oblik = 0 AND p.UkljucenIPinKod IN (0, 2))
  OR (f.Oblik = 1 AND p.UkljucenIPinKod IN (1, 2) AND a.IDNoSaPinKodom IS NOT NULL AND a.IDNoSaPinKodom <> '');
GO

CREATE VIEW viewDorvZoneKontrolera (idkontrolera, status, IDZone) AS
SELECT DISTINCT k.idkontrolera, k.MerodavnaTabela, zt.IDZone
FROM tblDorvKontakti k
JOIN tblDorvKontaktiKontrolera_TackePristupa kt ON kt.IDKontakta = k.IDKontakta
JOIN tblDorvZone_TackePristupa zt ON zt.IDTackePristupa = kt.IDTackePristupa;
GO

CREATE PROCEDURE upispodatakautblDorvPodaciZaTerminale
    @idkontrolera NVARCHAR(10)
AS
BEGIN
    SET NOCOUNT ON;
    SELECT IDNo, status
    FROM viewDorvPodaciZaTerminale
    WHERE idkontrolera = @idkontrolera
    ORDER BY status, IDNo;
    RETURN 0;
END
GO
