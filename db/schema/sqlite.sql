-- Dorvalen database, embedded form (SQLite).
-- Text compares without regard to case, as on SQL Server with its default collation.

-- Persons, departments and media-ID assignments, shared with the attendance system.

CREATE TABLE Sektor (
    IDSektora        VARCHAR(10) COLLATE NOCASE NOT NULL PRIMARY KEY,
    NazivSektora     VARCHAR(50) COLLATE NOCASE,
    Nadredjeni       VARCHAR(10) COLLATE NOCASE,
    MaticniBrojFirme VARCHAR(50) COLLATE NOCASE,
    SekIzabran       BIT DEFAULT 0
);
CREATE INDEX ixSektorNadredjeni ON Sektor (Nadredjeni);

CREATE TABLE Zaposleni (
    IDZaposlenog VARCHAR(50) COLLATE NOCASE NOT NULL PRIMARY KEY,
    Prezime      VARCHAR(50) COLLATE NOCASE,
    Ime          VARCHAR(50) COLLATE NOCASE,
    IDSektora    VARCHAR(10) COLLATE NOCASE,
    Fotografija  BLOB,
    PinKod       VARCHAR(20) COLLATE NOCASE
);
CREATE INDEX ixZaposleniIDSektora ON Zaposleni (IDSektora);

CREATE TABLE Zaposleni_IDMemorija (
    IDNo              VARCHAR(16) COLLATE NOCASE NOT NULL,
    IDZaposlenog      VARCHAR(50) COLLATE NOCASE NOT NULL,
    DatumDodeljivanja DATETIME,
    IDNoSaPinKodom    VARCHAR(16) COLLATE NOCASE,
    PRIMARY KEY (IDZaposlenog, IDNo)
);
CREATE INDEX ixZaposleniIDMemorijaIDNo ON Zaposleni_IDMemorija (IDNo);

-- Access control.

CREATE TABLE tblDorvGrupe (
    IDGrupe VARCHAR(50) COLLATE NOCASE NOT NULL PRIMARY KEY,
    Naziv   VARCHAR(50) COLLATE NOCASE
);

CREATE TABLE tblDorvZone (
    IDZone VARCHAR(10) COLLATE NOCASE NOT NULL PRIMARY KEY,
    Naziv  VARCHAR(50) COLLATE NOCASE
);

CREATE TABLE tblDorvOsobe_Grupe (
    ID           INT NOT NULL PRIMARY KEY,
    IDZaposlenog VARCHAR(50) COLLATE NOCASE,
    IDGrupe      VARCHAR(50) COLLATE NOCASE,
    Status       INT
);
CREATE INDEX ixOsobeGrupeIDZaposlenog ON tblDorvOsobe_Grupe (IDZaposlenog);
CREATE INDEX ixOsobeGrupeIDGrupe ON tblDorvOsobe_Grupe (IDGrupe);

CREATE TABLE tblDorvOsobe_Zone (
    ID                    INT NOT NULL PRIMARY KEY,
    IDZaposlenog          VARCHAR(50) COLLATE NOCASE,
    IDZone                VARCHAR(10) COLLATE NOCASE,
    IDVremenskogintervala INT,
    UkljucenIPinKod       INT
);
CREATE INDEX ixOsobeZoneIDZaposlenog ON tblDorvOsobe_Zone (IDZaposlenog);
CREATE INDEX ixOsobeZoneIDZone ON tblDorvOsobe_Zone (IDZone);

CREATE TABLE tblDorvGrupe_Zone (
    ID                    INT NOT NULL PRIMARY KEY,
    IDGrupe               VARCHAR(50) COLLATE NOCASE,
    IDZone                VARCHAR(10) COLLATE NOCASE,
    IDVremenskogintervala INT,
    UkljucenIPinKod       INT
);
CREATE INDEX ixGrupeZoneIDGrupe ON tblDorvGrupe_Zone (IDGrupe);
CREATE INDEX ixGrupeZoneIDZone ON tblDorvGrupe_Zone (IDZone);

CREATE TABLE tblDorvTackePristupa (
    IDTackePristupa VARCHAR(10) COLLATE NOCASE NOT NULL PRIMARY KEY,
    Naziv           VARCHAR(50) COLLATE NOCASE
);

CREATE TABLE tblDorvZone_TackePristupa (
    id              INT NOT NULL PRIMARY KEY,
    IDZone          VARCHAR(10) COLLATE NOCASE,
    IDTackePristupa VARCHAR(10) COLLATE NOCASE,
    Status          INT
);
CREATE INDEX ixZoneTackePristupaIDZone ON tblDorvZone_TackePristupa (IDZone);
CREATE INDEX ixZoneTackePristupaIDTackePristupa ON tblDorvZone_TackePristupa (IDTackePristupa);

CREATE TABLE tblDorvVremenskiIntervali (
    IDIntervala VARCHAR(10) COLLATE NOCASE NOT NULL PRIMARY KEY,
    Od          DATETIME,
    Do          DATETIME,
    OdOffset    INT,
    DoOffset    INT
);

CREATE TABLE tblDorvKontroleri (
    IDKontrolera VARCHAR(10) COLLATE NOCASE NOT NULL PRIMARY KEY,
    Naziv        VARCHAR(50) COLLATE NOCASE,
    Tip          VARCHAR(50) COLLATE NOCASE,
    TipKonekcije VARCHAR(50) COLLATE NOCASE,
    Kompjuter    VARCHAR(50) COLLATE NOCASE,
    ComPort      VARCHAR(50) COLLATE NOCASE
);

CREATE TABLE tblDorvKontakti (
    IDKontakta      INTEGER PRIMARY KEY AUTOINCREMENT,
    idkontrolera    VARCHAR(10) COLLATE NOCASE,
    RBTouchKontakta VARCHAR(10) COLLATE NOCASE,
    MerodavnaTabela INT
);
CREATE INDEX ixKontaktiIdkontrolera ON tblDorvKontakti (idkontrolera);

CREATE TABLE tblDorvKontaktiKontrolera_TackePristupa (
    IDKontakta      INT NOT NULL PRIMARY KEY,
    IDTackePristupa VARCHAR(10) COLLATE NOCASE
);
CREATE INDEX ixKontaktiTackePristupaIDTackePristupa ON tblDorvKontaktiKontrolera_TackePristupa (IDTackePristupa);

-- Every assignment of a media ID with the period it is valid in: from its own date until
-- the same media ID is assigned again (to anyone), open while it has not been.
CREATE VIEW viewMediaIDHist (IDZaposlenog, Prezime, Ime, IDSektora, NazivSektora, IDNo, VaziOd, VaziDo, IDNoSaPinKodom) AS
SELECT m.IDZaposlenog, z.Prezime, z.Ime, z.IDSektora, s.NazivSektora, m.IDNo,
       m.DatumDodeljivanja,
       (SELECT MIN(n.DatumDodeljivanja) FROM Zaposleni_IDMemorija n
         WHERE n.IDNo = m.IDNo AND datetime(n.DatumDodeljivanja) > datetime(m.DatumDodeljivanja)),
       m.IDNoSaPinKodom
FROM Zaposleni_IDMemorija m
JOIN Zaposleni z ON z.IDZaposlenog = m.IDZaposlenog
LEFT JOIN Sektor s ON s.IDSektora = z.IDSektora;

CREATE VIEW viewMediaIDActive (IDNo, IDZaposlenog, Prezime, Ime, IDSektora, NazivSektora, VaziOd, VaziDo, IDNoSaPinKodom) AS
SELECT IDNo, IDZaposlenog, Prezime, Ime, IDSektora, NazivSektora, VaziOd, VaziDo, IDNoSaPinKodom
FROM viewMediaIDHist
WHERE datetime(VaziOd) <= datetime('now', 'localtime')
  AND (VaziDo IS NULL OR datetime('now', 'localtime') < datetime(VaziDo));

CREATE VIEW viewDorvKontroleri_tackePristupa (IDKontakta, idkontrolera, RBTouchKontakta, IDTackePristupa, Naziv, Status, Expr1, Expr2, Expr3) AS
SELECT k.IDKontakta, k.idkontrolera, k.RBTouchKontakta, kt.IDTackePristupa, tp.Naziv,
       k.MerodavnaTabela, kt.IDKontakta, kt.IDTackePristupa, tp.IDTackePristupa
FROM tblDorvKontakti k
LEFT JOIN tblDorvKontaktiKontrolera_TackePristupa kt ON kt.IDKontakta = k.IDKontakta
LEFT JOIN tblDorvTackePristupa tp ON tp.IDTackePristupa = kt.IDTackePristupa;

-- The zones each person may enter, directly or through a group, with the access mode of
-- the link the right comes from.
CREATE VIEW viewDorvPristupOsoba (IDZaposlenog, IDZone, UkljucenIPinKod) AS
SELECT IDZaposlenog, IDZone, UkljucenIPinKod FROM tblDorvOsobe_Zone
UNION
SELECT og.IDZaposlenog, gz.IDZone, gz.UkljucenIPinKod
FROM tblDorvOsobe_Grupe og
JOIN tblDorvGrupe_Zone gz ON gz.IDGrupe = og.IDGrupe;

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

CREATE VIEW viewDorvZoneKontrolera (idkontrolera, status, IDZone) AS
SELECT DISTINCT k.idkontrolera, k.MerodavnaTabela, zt.IDZone
FROM tblDorvKontakti k
JOIN tblDorvKontaktiKontrolera_TackePristupa kt ON kt.IDKontakta = k.IDKontakta
JOIN tblDorvZone_TackePristupa zt ON zt.IDTackePristupa = kt.IDTackePristupa;
