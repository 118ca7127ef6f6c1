-- The shared PPS/BDE database for the SQLite engine.
--
-- Dates.  Every Oracle DATE column is a TEXT column holding local time as
-- 'YYYY-MM-DD HH:MM:SS', the time always present ('2024-03-15 00:00:00' for a
-- plain day).  In this form text comparison orders dates in time, so
-- conditions such as "KsgGvo<=trunc(sysdate)" and "BakDtm<=TO_DATE(...)" work
-- on the stored text.  The engine's TO_CHAR, TO_DATE, TRUNC and sysdate read
-- and write this form, and every other program that writes these tables (the
-- planning system, the queue filler) must write dates in it too.  The
-- planning system's interface tables Kvn500Auk and Kvn503Afo are different:
-- there the dates and times are plain texts yyyymmdd and HHMMSS (AukBgs,
-- AfoBgz, ...), selected as they stand, so they are not DATE columns.
--
-- KvnSystem.  A few statements name the calendar tables with the schema
-- prefix KvnSystem (KvnSystem.Kvn133Bak).  The engine drops that prefix
-- when it prepares a statement (attaching the file a second time would make
-- every write transaction lock it twice), so Kvn133Bak, Kvn133Kal and
-- Kvn301Asw are plain tables of this file, reachable with and without the
-- prefix.
--
-- Types.  Text columns are TEXT, the Oracle column type in the comment;
-- whole numbers INTEGER; quantities, times and other fractional numbers REAL.
-- Nothing is constrained beyond what Oracle would enforce: primary keys,
-- whose columns are NOT NULL as in Oracle, and the DATE type.  Every DATE
-- column holds NULL or a real calendar date and time in the form above, by
-- a CHECK constraint named <column>_is_date: the text must be what SQLite's
-- own strftime writes for the moment it reads from it, so '2024-02-30
-- 00:00:00', '20240301' or a bare day are refused where they are written
-- (the client layer reports -1858), not found later by a reader.  A plain
-- SQL expression, so any program (the sqlite3 shell, the planning system)
-- can write the tables.  Text widths are not constrained: over-long texts
-- are cut on reading.  The client layer binds an empty
-- text as NULL (Oracle's '' is NULL), so an empty key fails as in Oracle.
-- A single-column INTEGER key is declared WITHOUT ROWID: as an ordinary
-- rowid table SQLite would silently number a NULL key instead of refusing it.

-- Storage.  The job commits every row it transfers or releases on its own,
-- so what one commit writes to the WAL decides its speed.  The planning
-- interface tables and the BDE order and operation tables are therefore
-- WITHOUT ROWID, stored in the order of their key: writing or deleting a
-- row changes one b-tree, not a table and its key index.  The download
-- markers (XxxDwn) are indexed only where set: the download cursors select
-- "XxxDwn=:b0", which such an index serves, and a released row (marker
-- cleared) leaves the index instead of moving within it, so the index holds
-- only what waits for download.  Only what a statement of the job needs is
-- indexed; every further index is one more page in every commit.
--
-- Names are spelled as the statements spell them; SQLite matches table and
-- column names without regard to case, so "update KVN501Apk" finds Kvn501Apk.

-- The whole schema is one unit: created completely or not at all, and with
-- one sync instead of one per statement.  A savepoint rather than BEGIN, so
-- that a caller may also load the text inside a transaction of its own.
SAVEPOINT pps2bde_schema;

-- ---------------------------------------------------------------------------
-- Planning-system interface (written by the planning system, emptied by the
-- order and operation transfers).

-- Production orders that the planning system created, changed or deleted.
CREATE TABLE Kvn500Auk (
  AukApk TEXT NOT NULL,  -- VARCHAR2(12) order number
  AukBz1 TEXT,           -- VARCHAR2(30)
  AukBz2 TEXT,           -- VARCHAR2(30)
  AukTxt TEXT,           -- VARCHAR2(10)
  AukSts INTEGER,        -- NUMBER(4), PPS status (9: delete)
  AukAfo INTEGER,        -- NUMBER(4)
  AukKun TEXT,           -- VARCHAR2(7) customer
  AukKb1 TEXT,           -- VARCHAR2(30)
  AukKb2 TEXT,           -- VARCHAR2(30)
  AukBgs TEXT,           -- VARCHAR2(8) start date yyyymmdd (text, not DATE)
  AukEns TEXT,           -- VARCHAR2(8) end date yyyymmdd (text, not DATE)
  AukTnr TEXT,           -- VARCHAR2(20) part number
  AukTb1 TEXT,           -- VARCHAR2(30)
  AukTb2 TEXT,           -- VARCHAR2(30)
  AukSme REAL,           -- NUMBER target quantity
  AukMee TEXT,           -- VARCHAR2(3) unit
  AukZf1 TEXT,           -- VARCHAR2(30)
  AukZf2 TEXT,           -- VARCHAR2(30)
  AukZf3 TEXT,           -- VARCHAR2(30)
  AukFbe TEXT,           -- VARCHAR2(10) production area
  AukKst TEXT,           -- VARCHAR2(10) cost centre
  PRIMARY KEY (AukApk)
) WITHOUT ROWID;

-- Operations that the planning system created, changed or deleted.
CREATE TABLE Kvn503Afo (
  AfoApk TEXT NOT NULL,  -- VARCHAR2(12) order number
  AfoApp TEXT NOT NULL,  -- VARCHAR2(5) operation number
  AfoVaf TEXT,           -- VARCHAR2(5)
  AfoNaf TEXT,           -- VARCHAR2(5)
  AfoBz1 TEXT,           -- VARCHAR2(30)
  AfoBz2 TEXT,           -- VARCHAR2(30)
  AfoTxt TEXT,           -- VARCHAR2(10)
  AfoSts INTEGER,        -- NUMBER(4), PPS status (9: delete)
  AfoBgs TEXT,           -- VARCHAR2(8) start date yyyymmdd (text, not DATE)
  AfoBgz TEXT,           -- VARCHAR2(6) start time HHMMSS (text)
  AfoEns TEXT,           -- VARCHAR2(8) end date yyyymmdd (text, not DATE)
  AfoEnz TEXT,           -- VARCHAR2(6) end time HHMMSS (text)
  AfoAgs INTEGER,        -- NUMBER(4)
  AfoSme REAL,           -- NUMBER target quantity
  AfoMee TEXT,           -- VARCHAR2(3) unit
  AfoSta REAL,           -- NUMBER
  AfoStr REAL,           -- NUMBER
  AfoSte REAL,           -- NUMBER
  AfoApg TEXT,           -- VARCHAR2(10) work group
  AfoApl TEXT,           -- VARCHAR2(10) workplace
  AfoZf1 TEXT,           -- VARCHAR2(30)
  AfoZf2 TEXT,           -- VARCHAR2(30)
  AfoZf3 TEXT,           -- VARCHAR2(30)
  AfoKst TEXT,           -- VARCHAR2(10) cost centre
  AfoFbe TEXT,           -- VARCHAR2(10) production area
  PRIMARY KEY (AfoApk, AfoApp)
) WITHOUT ROWID;

-- ---------------------------------------------------------------------------
-- BDE orders and operations.

CREATE TABLE Kvn501Apk (
  ApkApk TEXT NOT NULL,  -- VARCHAR2(12) order number
  ApkBz1 TEXT,           -- VARCHAR2(30)
  ApkBz2 TEXT,           -- VARCHAR2(30)
  ApkTxt TEXT,           -- VARCHAR2(10)
  ApkSts INTEGER,        -- NUMBER(4) BDE status
  ApkSis INTEGER,        -- NUMBER(4)
  ApkKun TEXT,           -- VARCHAR2(7)
  ApkKb1 TEXT,           -- VARCHAR2(30)
  ApkKb2 TEXT,           -- VARCHAR2(30)
  ApkBgs TEXT            -- DATE
    CONSTRAINT ApkBgs_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(ApkBgs)) IS ApkBgs),
  ApkEns TEXT            -- DATE
    CONSTRAINT ApkEns_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(ApkEns)) IS ApkEns),
  ApkAfo INTEGER,        -- NUMBER(4) number of operations
  ApkEaf INTEGER,        -- NUMBER(4)
  ApkTnr TEXT,           -- VARCHAR2(20)
  ApkTb1 TEXT,           -- VARCHAR2(30)
  ApkTb2 TEXT,           -- VARCHAR2(30)
  ApkSme REAL,           -- NUMBER
  ApkIme REAL,           -- NUMBER
  ApkMee TEXT,           -- VARCHAR2(3)
  ApkBdi TEXT            -- DATE
    CONSTRAINT ApkBdi_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(ApkBdi)) IS ApkBdi),
  ApkEdi TEXT            -- DATE
    CONSTRAINT ApkEdi_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(ApkEdi)) IS ApkEdi),
  ApkFbe TEXT,           -- VARCHAR2(10) area key of the terminal download
  ApkKst TEXT,           -- VARCHAR2(10)
  ApkZf1 TEXT,           -- VARCHAR2(30)
  ApkZf2 TEXT,           -- VARCHAR2(30)
  ApkZf3 TEXT,           -- VARCHAR2(30)
  ApkKnz TEXT,           -- VARCHAR2(1)
  ApkSsn INTEGER,        -- NUMBER(4)
  ApkDna TEXT,           -- VARCHAR2(3) change marker NEU/AEN/LOE
  ApkDwn TEXT,           -- VARCHAR2(8) change origin, selects the download
  ApkSta INTEGER,        -- NUMBER(4)
  ApkDat TEXT            -- DATE time of the last write
    CONSTRAINT ApkDat_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(ApkDat)) IS ApkDat),
  ApkErf TEXT,           -- VARCHAR2(8) recorder
  ApkAba INTEGER,        -- NUMBER(9)
  PRIMARY KEY (ApkApk)
) WITHOUT ROWID;
-- Order download cursor: where ApkDwn=:b0 order by ApkDwn,ApkFbe.
CREATE INDEX Kvn501Apk_Dwn ON Kvn501Apk (ApkDwn, ApkFbe) WHERE ApkDwn IS NOT NULL;

CREATE TABLE Kvn504App (
  AppApk TEXT NOT NULL,  -- VARCHAR2(12) order number
  AppApp TEXT NOT NULL,  -- VARCHAR2(5) operation number
  AppVaf TEXT,           -- VARCHAR2(5)
  AppNaf TEXT,           -- VARCHAR2(5)
  AppBz1 TEXT,           -- VARCHAR2(30)
  AppBz2 TEXT,           -- VARCHAR2(30)
  AppTxt TEXT,           -- VARCHAR2(10)
  AppSts INTEGER,        -- NUMBER(4) BDE status
  AppSis INTEGER,        -- NUMBER(4)
  AppBdi TEXT            -- DATE
    CONSTRAINT AppBdi_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(AppBdi)) IS AppBdi),
  AppBds TEXT            -- DATE
    CONSTRAINT AppBds_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(AppBds)) IS AppBds),
  AppSbd TEXT            -- DATE
    CONSTRAINT AppSbd_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(AppSbd)) IS AppSbd),
  AppEdi TEXT            -- DATE
    CONSTRAINT AppEdi_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(AppEdi)) IS AppEdi),
  AppEds TEXT            -- DATE
    CONSTRAINT AppEds_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(AppEds)) IS AppEds),
  AppSed TEXT            -- DATE
    CONSTRAINT AppSed_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(AppSed)) IS AppSed),
  AppRad TEXT            -- DATE
    CONSTRAINT AppRad_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(AppRad)) IS AppRad),
  AppRed TEXT            -- DATE
    CONSTRAINT AppRed_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(AppRed)) IS AppRed),
  AppAgs INTEGER,        -- NUMBER(9)
  AppAbs INTEGER,        -- NUMBER(9)
  AppAes INTEGER,        -- NUMBER(9)
  AppSme REAL,           -- NUMBER
  AppIme REAL,           -- NUMBER
  AppAme REAL,           -- NUMBER
  AppMee TEXT,           -- VARCHAR2(3)
  AppSza REAL,           -- NUMBER
  AppStr REAL,           -- NUMBER
  AppSte REAL,           -- NUMBER
  AppIta REAL,           -- NUMBER
  AppItr REAL,           -- NUMBER
  AppIte REAL,           -- NUMBER
  AppApg TEXT,           -- VARCHAR2(10) work group
  AppApl TEXT,           -- VARCHAR2(10) workplace
  AppKt1 TEXT,           -- VARCHAR2(15)
  AppKz1 TEXT,           -- VARCHAR2(3)
  AppKt2 TEXT,           -- VARCHAR2(15)
  AppKz2 TEXT,           -- VARCHAR2(3)
  AppKt3 TEXT,           -- VARCHAR2(15)
  AppKz3 TEXT,           -- VARCHAR2(3)
  AppKt4 TEXT,           -- VARCHAR2(15)
  AppKz4 TEXT,           -- VARCHAR2(3)
  AppFbe TEXT,           -- VARCHAR2(10) area key of the terminal download
  AppKst TEXT,           -- VARCHAR2(10)
  AppZf1 TEXT,           -- VARCHAR2(30)
  AppZf2 TEXT,           -- VARCHAR2(30)
  AppZf3 TEXT,           -- VARCHAR2(30)
  AppKnz TEXT,           -- VARCHAR2(1)
  AppDna TEXT,           -- VARCHAR2(3) change marker NEU/AEN/LOE
  AppDwn TEXT,           -- VARCHAR2(8) change origin, selects the download
  AppSsn INTEGER,        -- NUMBER(9)
  AppSta INTEGER,        -- NUMBER(9)
  AppDat TEXT            -- DATE time of the last write
    CONSTRAINT AppDat_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(AppDat)) IS AppDat),
  AppErf TEXT,           -- VARCHAR2(8) recorder
  PRIMARY KEY (AppApk, AppApp)
) WITHOUT ROWID;
-- Operation download cursor: where AppDwn=:b0 order by AppDwn,AppFbe.
CREATE INDEX Kvn504App_Dwn ON Kvn504App (AppDwn, AppFbe) WHERE AppDwn IS NOT NULL;
-- No index on AppZf2: the count and the cursor over one AppZf2 are run by
-- neither mode of the job, and an index for them would be one more page in
-- the commit of every operation the job writes.  They scan the table.

-- ---------------------------------------------------------------------------
-- Work groups and workplaces.

CREATE TABLE Kvn530Apg (
  ApgApg TEXT NOT NULL,  -- VARCHAR2(10) work group
  ApgBez TEXT,           -- VARCHAR2(30)
  ApgTxt TEXT,           -- VARCHAR2(10)
  ApgKst TEXT,           -- VARCHAR2(10)
  ApgFbe TEXT,           -- VARCHAR2(10) area key
  ApgZf1 TEXT,           -- VARCHAR2(30)
  ApgZf2 TEXT,           -- VARCHAR2(30)
  ApgZf3 TEXT,           -- VARCHAR2(30)
  ApgApl INTEGER,        -- NUMBER(9)
  ApgTag INTEGER,        -- NUMBER(9)
  ApgKap REAL,           -- NUMBER
  ApgPrd REAL,           -- NUMBER
  ApgRst REAL,           -- NUMBER
  ApgPau REAL,           -- NUMBER
  ApgUnt REAL,           -- NUMBER
  ApgIak REAL,           -- NUMBER
  ApgSt1 TEXT,           -- VARCHAR2(10)
  ApgSt2 TEXT,           -- VARCHAR2(10)
  ApgSt3 TEXT,           -- VARCHAR2(10)
  ApgSf1 REAL,           -- NUMBER
  ApgSf2 REAL,           -- NUMBER
  ApgSf3 REAL,           -- NUMBER
  ApgDna TEXT,           -- VARCHAR2(3) change marker
  ApgDwn TEXT,           -- VARCHAR2(8) change origin
  ApgSta INTEGER,        -- NUMBER(4)
  ApgDat TEXT            -- DATE
    CONSTRAINT ApgDat_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(ApgDat)) IS ApgDat),
  ApgErf TEXT,           -- VARCHAR2(8)
  PRIMARY KEY (ApgApg)
);
-- Work-group download cursor: where ApgDwn=:b0 ... order by ApgFbe.
CREATE INDEX Kvn530Apg_Dwn ON Kvn530Apg (ApgDwn, ApgFbe) WHERE ApgDwn IS NOT NULL;

CREATE TABLE Kvn531Apl (
  AplApl TEXT NOT NULL,  -- VARCHAR2(10) workplace
  AplBez TEXT,           -- VARCHAR2(30)
  AplTxt TEXT,           -- VARCHAR2(10)
  AplApg TEXT,           -- VARCHAR2(10) work group of the workplace
  AplFbe TEXT,           -- VARCHAR2(10) area key
  AplSts INTEGER,        -- NUMBER(4)
  AplSis INTEGER,        -- NUMBER(4)
  AplApr INTEGER,        -- NUMBER(9)
  AplAaf INTEGER,        -- NUMBER(9)
  AplUbg TEXT,           -- VARCHAR2(4)
  AplUdt TEXT            -- DATE
    CONSTRAINT AplUdt_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(AplUdt)) IS AplUdt),
  AplZf1 TEXT,           -- VARCHAR2(30)
  AplZf2 TEXT,           -- VARCHAR2(30)
  AplZf3 TEXT,           -- VARCHAR2(30)
  AplTag INTEGER,        -- NUMBER(9)
  AplVrf REAL,           -- NUMBER
  AplRsp REAL,           -- NUMBER
  AplRsi REAL,           -- NUMBER
  AplAfp REAL,           -- NUMBER
  AplAfi REAL,           -- NUMBER
  AplPau REAL,           -- NUMBER
  AplUnt REAL,           -- NUMBER
  AplIak REAL,           -- NUMBER
  AplAvt INTEGER,        -- NUMBER(9)
  AplKap REAL,           -- NUMBER
  AplAvr REAL,           -- NUMBER
  AplAvp REAL,           -- NUMBER
  AplSt1 TEXT,           -- VARCHAR2(10)
  AplSt2 TEXT,           -- VARCHAR2(10)
  AplSt3 TEXT,           -- VARCHAR2(10)
  AplSf1 REAL,           -- NUMBER
  AplSf2 REAL,           -- NUMBER
  AplSf3 REAL,           -- NUMBER
  AplDna TEXT,           -- VARCHAR2(3) change marker
  AplDwn TEXT,           -- VARCHAR2(8) change origin
  AplSta INTEGER,        -- NUMBER(4)
  AplDat TEXT            -- DATE
    CONSTRAINT AplDat_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(AplDat)) IS AplDat),
  AplErf TEXT,           -- VARCHAR2(8)
  PRIMARY KEY (AplApl)
);
-- Workplace download cursor: where AplDwn=:b0 order by AplFbe.
CREATE INDEX Kvn531Apl_Dwn ON Kvn531Apl (AplDwn, AplFbe) WHERE AplDwn IS NOT NULL;
-- The workplaces of one work group: where AplApg=:b0 order by AplApl.
CREATE INDEX Kvn531Apl_Apg ON Kvn531Apl (AplApg, AplApl);

-- ---------------------------------------------------------------------------
-- Run statistics and the download queue.

-- One row per full run; no natural key.
CREATE TABLE Kvn542Dwn (
  DwnDta TEXT            -- DATE run start
    CONSTRAINT DwnDta_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(DwnDta)) IS DwnDta),
  DwnApk INTEGER,        -- NUMBER(9)
  DwnApp INTEGER,        -- NUMBER(9)
  DwnAuk INTEGER,        -- NUMBER(9)
  DwnAfo INTEGER,        -- NUMBER(9)
  DwnNeu INTEGER,        -- NUMBER(9)
  DwnAen INTEGER,        -- NUMBER(9)
  DwnLoe INTEGER,        -- NUMBER(9)
  DwnZf1 TEXT,           -- VARCHAR2(30)
  DwnZf2 TEXT,           -- VARCHAR2(30)
  DwnZf3 TEXT,           -- VARCHAR2(30)
  DwnDat TEXT            -- DATE time of the insert
    CONSTRAINT DwnDat_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(DwnDat)) IS DwnDat),
  DwnErf TEXT            -- VARCHAR2(8) recorder
);

-- Download queue, filled by other jobs; a row is identified by its time
-- stamp (to the second), its recorder and its running number.
CREATE TABLE Kvn540Dnl (
  DnlDta TEXT NOT NULL      -- DATE time stamp of the batch
    CONSTRAINT DnlDta_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(DnlDta)) IS DnlDta),
  DnlLfn INTEGER NOT NULL,  -- NUMBER(9) running number
  DnlVkz TEXT,              -- VARCHAR2(3)
  DnlBer TEXT,              -- VARCHAR2(10)
  DnlFun TEXT,              -- VARCHAR2(3) change marker NEU/AEN/LOE
  DnlSkz TEXT,              -- VARCHAR2(3) row kind APK/APP
  DnlPnr TEXT,              -- VARCHAR2(8)
  DnlApk TEXT,              -- VARCHAR2(12) order number
  DnlApp TEXT,              -- VARCHAR2(5) operation number
  DnlApl TEXT,              -- VARCHAR2(10) workplace
  DnlDnl TEXT,              -- VARCHAR2(255)
  DnlDat TEXT               -- DATE time of the insert
    CONSTRAINT DnlDat_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(DnlDat)) IS DnlDat),
  DnlErf TEXT NOT NULL,     -- VARCHAR2(8) recorder
  PRIMARY KEY (DnlDta, DnlErf, DnlLfn)
);
-- Queue cursor: where (TO_CHAR(DnlDta,...)=:b0 and DnlErf=:b1) order by
-- DnlSkz.  The time stamp goes through a function, so the recorder is the
-- column an index can serve.
CREATE INDEX Kvn540Dnl_Erf ON Kvn540Dnl (DnlErf, DnlSkz);

-- ---------------------------------------------------------------------------
-- Terminal configuration and the download range row.

-- One row per terminal; the first two ranges of area keys select it.
CREATE TABLE Kvn557Cfg (
  CfgDta INTEGER NOT NULL,  -- NUMBER(9) terminal number
  CfgIP  TEXT,              -- VARCHAR2(15) network address
  CfgPrt TEXT,              -- VARCHAR2(5) port
  CfgBez TEXT,              -- VARCHAR2(30)
  CfgTxt TEXT,              -- VARCHAR2(10)
  CfgKr1 INTEGER,           -- NUMBER(9)
  CfgVn1 TEXT,              -- VARCHAR2(10) first range, from
  CfgBi1 TEXT,              -- VARCHAR2(10) first range, to
  CfgBz1 TEXT,              -- VARCHAR2(30)
  CfgVn2 TEXT,              -- VARCHAR2(10)
  CfgBi2 TEXT,              -- VARCHAR2(10)
  CfgBz2 TEXT,              -- VARCHAR2(30)
  CfgVn3 TEXT,              -- VARCHAR2(10)
  CfgBi3 TEXT,              -- VARCHAR2(10)
  CfgBz3 TEXT,              -- VARCHAR2(30)
  CfgVn4 TEXT,              -- VARCHAR2(10)
  CfgBi4 TEXT,              -- VARCHAR2(10)
  CfgBz4 TEXT,              -- VARCHAR2(30)
  CfgVn5 TEXT,              -- VARCHAR2(10)
  CfgBi5 TEXT,              -- VARCHAR2(10)
  CfgBz5 TEXT,              -- VARCHAR2(30)
  CfgSta INTEGER,           -- NUMBER(9)
  CfgDat TEXT               -- DATE
    CONSTRAINT CfgDat_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(CfgDat)) IS CfgDat),
  CfgErf TEXT,              -- VARCHAR2(8)
  PRIMARY KEY (CfgDta)
) WITHOUT ROWID;

-- Holds the one row "UPD" with the key ranges of a download.
CREATE TABLE Kvn543Upd (
  UpdKey TEXT NOT NULL,  -- VARCHAR2(3) always 'UPD'
  UpdAkv TEXT,           -- VARCHAR2(12) orders from
  UpdAkb TEXT,           -- VARCHAR2(12) orders to
  UpdAav TEXT,           -- VARCHAR2(12)
  UpdAab TEXT,           -- VARCHAR2(12)
  UpdApv TEXT,           -- VARCHAR2(5) operations from
  UpdApb TEXT,           -- VARCHAR2(5) operations to
  UpdAlv TEXT,           -- VARCHAR2(10) workplaces from
  UpdAlb TEXT,           -- VARCHAR2(10) workplaces to
  UpdAgv TEXT,           -- VARCHAR2(10) work groups from
  UpdAgb TEXT,           -- VARCHAR2(10) work groups to
  UpdUgv TEXT,           -- VARCHAR2(5)
  UpdUgb TEXT,           -- VARCHAR2(5)
  UpdAuv TEXT,           -- VARCHAR2(5)
  UpdAub TEXT,           -- VARCHAR2(5)
  UpdPvv TEXT,           -- VARCHAR2(8)
  UpdPvb TEXT,           -- VARCHAR2(8)
  UpdKsv TEXT,           -- VARCHAR2(5)
  UpdKsb TEXT,           -- VARCHAR2(5)
  UpdDat TEXT            -- DATE
    CONSTRAINT UpdDat_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(UpdDat)) IS UpdDat),
  UpdErf TEXT,           -- VARCHAR2(8)
  PRIMARY KEY (UpdKey)
);

-- ---------------------------------------------------------------------------
-- Further master data.  The batch job never touches these tables; the
-- catalogue statements of the master-data module and the master-data
-- downloads do.  Where the statements leave a column's type open it is
-- chosen from its use (compared with, joined to, set to 0, emptied).

CREATE TABLE Kvn521Ubg (
  UbgUbg TEXT NOT NULL,  -- VARCHAR2(4)
  UbgKnz INTEGER,        -- NUMBER(4) 1: "U", otherwise "S" in the download
  UbgFbe TEXT,           -- VARCHAR2(10) area key
  UbgBez TEXT,           -- VARCHAR2(30)
  UbgTxt TEXT,           -- VARCHAR2(10)
  UbgZf1 TEXT,           -- VARCHAR2(30)
  UbgZf2 TEXT,           -- VARCHAR2(30)
  UbgZf3 TEXT,           -- VARCHAR2(30)
  UbgAst REAL,           -- NUMBER
  UbgRst REAL,           -- NUMBER
  UbgAsf REAL,           -- NUMBER
  UbgSt1 TEXT,           -- VARCHAR2(10)
  UbgSt2 TEXT,           -- VARCHAR2(10)
  UbgSt3 TEXT,           -- VARCHAR2(10)
  UbgSf1 REAL,           -- NUMBER
  UbgSf2 REAL,           -- NUMBER
  UbgSf3 REAL,           -- NUMBER
  UbgDna TEXT,           -- VARCHAR2(3) change marker
  UbgDwn TEXT,           -- VARCHAR2(8) change origin
  UbgSta INTEGER,        -- NUMBER(4)
  UbgDat TEXT            -- DATE
    CONSTRAINT UbgDat_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(UbgDat)) IS UbgDat),
  UbgErf TEXT,           -- VARCHAR2(8)
  PRIMARY KEY (UbgUbg)
);
CREATE INDEX Kvn521Ubg_Dwn ON Kvn521Ubg (UbgDwn, UbgFbe) WHERE UbgDwn IS NOT NULL;

-- Personnel, keyed by personnel number.
CREATE TABLE Kvn510Prv (
  PrvPnr TEXT NOT NULL,  -- VARCHAR2(8) personnel number
  PrvGvo TEXT            -- DATE valid from
    CONSTRAINT PrvGvo_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(PrvGvo)) IS PrvGvo),
  PrvGbi TEXT            -- DATE valid to
    CONSTRAINT PrvGbi_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(PrvGbi)) IS PrvGbi),
  PrvBer INTEGER,        -- NUMBER(4) 1: "A", 2: "M"
  PrvKst TEXT,           -- VARCHAR2(10) cost centre
  PrvFbe TEXT,           -- VARCHAR2(10) area key
  PrvMmb TEXT,           -- VARCHAR2(10)
  PrvZf1 TEXT,           -- VARCHAR2(30)
  PrvZf2 TEXT,           -- VARCHAR2(30)
  PrvZf3 TEXT,           -- VARCHAR2(30)
  PrvSta INTEGER,        -- NUMBER(4)
  PrvDat TEXT            -- DATE
    CONSTRAINT PrvDat_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(PrvDat)) IS PrvDat),
  PrvErf TEXT,           -- VARCHAR2(8)
  PrvDna TEXT,           -- VARCHAR2(3) change marker
  PrvDwn TEXT,           -- VARCHAR2(8) change origin
  PrvAwn TEXT,           -- VARCHAR2(8) badge number
  PrvAwa INTEGER,        -- NUMBER(4)
  PrvAnw INTEGER,        -- NUMBER(4)
  PrvApl INTEGER,        -- NUMBER(9)
  PrvApp INTEGER,        -- NUMBER(9)
  PrvPzm INTEGER,        -- NUMBER(9)
  PrvAvn TEXT            -- DATE
    CONSTRAINT PrvAvn_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(PrvAvn)) IS PrvAvn),
  PrvAbi TEXT            -- DATE
    CONSTRAINT PrvAbi_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(PrvAbi)) IS PrvAbi),
  PrvNam TEXT,           -- VARCHAR2(30)
  PrvStr TEXT,           -- VARCHAR2(30)
  PrvOrt TEXT,           -- VARCHAR2(30)
  PRIMARY KEY (PrvPnr)
);
CREATE INDEX Kvn510Prv_Dwn ON Kvn510Prv (PrvDwn, PrvFbe) WHERE PrvDwn IS NOT NULL;
CREATE INDEX Kvn510Prv_Awn ON Kvn510Prv (PrvAwn, PrvPnr);

-- Production areas; type 1 is the default area.
CREATE TABLE Kvn559Fbe (
  FbeFbe TEXT NOT NULL,  -- VARCHAR2(10)
  FbeTyp INTEGER,        -- NUMBER(4)
  PRIMARY KEY (FbeFbe)
);

-- Cost centre of a work group, by validity period.
CREATE TABLE Kvn537Ksg (
  KsgApg TEXT NOT NULL,  -- VARCHAR2(10) work group
  KsgKst TEXT,           -- VARCHAR2(10) cost centre
  KsgGvo TEXT NOT NULL   -- DATE valid from
    CONSTRAINT KsgGvo_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(KsgGvo)) IS KsgGvo),
  KsgGbi TEXT            -- DATE valid to
    CONSTRAINT KsgGbi_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(KsgGbi)) IS KsgGbi),
  KsgFbe TEXT,           -- VARCHAR2(10)
  KsgZf1 TEXT,           -- VARCHAR2(30)
  KsgZf2 TEXT,           -- VARCHAR2(30)
  KsgZf3 TEXT,           -- VARCHAR2(30)
  KsgSta INTEGER,        -- NUMBER(4)
  KsgDat TEXT            -- DATE
    CONSTRAINT KsgDat_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(KsgDat)) IS KsgDat),
  KsgErf TEXT,           -- VARCHAR2(8)
  PRIMARY KEY (KsgApg, KsgGvo)
);

CREATE TABLE Kvn553Fzu (
  FzuFcd TEXT NOT NULL,  -- VARCHAR2(3)
  FzuAec TEXT NOT NULL,  -- VARCHAR2(1) always '0' in the reads
  FzuMld TEXT,           -- VARCHAR2(10)
  FzuBez TEXT,           -- VARCHAR2(30)
  FzuTxt TEXT,           -- VARCHAR2(10)
  FzuArt INTEGER,        -- NUMBER(4)
  FzuObj TEXT,           -- VARCHAR2(10)
  FzuUpl INTEGER,        -- NUMBER(4)
  FzuGen INTEGER,        -- NUMBER(4)
  FzuZf1 TEXT,           -- VARCHAR2(30)
  FzuZf2 TEXT,           -- VARCHAR2(30)
  FzuZf3 TEXT,           -- VARCHAR2(30)
  FzuSta INTEGER,        -- NUMBER(4)
  FzuErf TEXT,           -- VARCHAR2(8)
  PRIMARY KEY (FzuFcd, FzuAec)
);
CREATE INDEX Kvn553Fzu_Mld ON Kvn553Fzu (FzuMld);

-- Shift models of a work group, by validity period.
CREATE TABLE Kvn532Aem (
  AemApg TEXT,           -- VARCHAR2(10) work group
  AemKng INTEGER,        -- NUMBER(4)
  AemEmo TEXT,           -- VARCHAR2(10) shift model (Kvn533Emo)
  AemGvo TEXT            -- DATE valid from
    CONSTRAINT AemGvo_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(AemGvo)) IS AemGvo),
  AemGbi TEXT            -- DATE valid to
    CONSTRAINT AemGbi_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(AemGbi)) IS AemGbi),
  AemBez TEXT,           -- VARCHAR2(30)
  AemTxt TEXT,           -- VARCHAR2(10)
  AemKal INTEGER,        -- NUMBER(9) calendar (Kvn133Kal.KalNum)
  AemLkz INTEGER,        -- NUMBER(4)
  AemVzt REAL,           -- NUMBER
  AemEzt REAL,           -- NUMBER
  AemPrz REAL,           -- NUMBER
  AemAfz REAL,           -- NUMBER
  AemApz REAL,           -- NUMBER
  AemPrp REAL,           -- NUMBER
  AemAfp REAL,           -- NUMBER
  AemApp REAL,           -- NUMBER
  AemMaz REAL            -- NUMBER
);
CREATE INDEX Kvn532Aem_Apg ON Kvn532Aem (AemApg, AemKng);

-- Shift model: one row per shift of a day type.
CREATE TABLE Kvn533Emo (
  EmoEmo TEXT,           -- VARCHAR2(10)
  EmoTtp TEXT,           -- VARCHAR2(3) day type (Kvn133Kal.KalBtp)
  EmoTxt TEXT,           -- VARCHAR2(30)
  EmoBeg INTEGER,        -- NUMBER(4) minute of the day
  EmoEnd INTEGER,        -- NUMBER(4) minute of the day
  EmoArt INTEGER,        -- NUMBER(4)
  EmoPmo INTEGER         -- NUMBER(9) break model (Kvn536Pmz.PmzPmo)
);
CREATE INDEX Kvn533Emo_Emo ON Kvn533Emo (EmoEmo, EmoTtp, EmoBeg);

-- Breaks; PmsBeg and PmsEnd are minutes of the day.
CREATE TABLE Kvn535Pms (
  PmsNum INTEGER NOT NULL,  -- NUMBER(9)
  PmsBeg INTEGER,           -- NUMBER(4)
  PmsEnd INTEGER,           -- NUMBER(4)
  PmsInt INTEGER,           -- NUMBER(4)
  PmsPse INTEGER,           -- NUMBER(4)
  PmsBzt INTEGER,           -- NUMBER(4)
  PmsPrz REAL,              -- NUMBER
  PRIMARY KEY (PmsNum)
) WITHOUT ROWID;

-- Breaks of a break model, by validity period.
CREATE TABLE Kvn536Pmz (
  PmzPmo INTEGER,        -- NUMBER(9) break model
  PmzPms INTEGER,        -- NUMBER(9) break (Kvn535Pms.PmsNum)
  PmzGvo TEXT            -- DATE valid from
    CONSTRAINT PmzGvo_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(PmzGvo)) IS PmzGvo),
  PmzGbi TEXT            -- DATE valid to
    CONSTRAINT PmzGbi_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(PmzGbi)) IS PmzGbi)
);
CREATE INDEX Kvn536Pmz_Pmo ON Kvn536Pmz (PmzPmo);

-- Parameter values by area and field.
CREATE TABLE Kvn555Vrg (
  VrgBer TEXT NOT NULL,  -- VARCHAR2(10)
  VrgFld TEXT NOT NULL,  -- VARCHAR2(30)
  VrgWrt TEXT,           -- VARCHAR2(80)
  PRIMARY KEY (VrgBer, VrgFld)
);

-- Cost centre of a person from a given day.
CREATE TABLE Kvn329Ztg (
  ZtgPnr TEXT NOT NULL,  -- VARCHAR2(8)
  ZtgVon TEXT NOT NULL   -- DATE
    CONSTRAINT ZtgVon_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(ZtgVon)) IS ZtgVon),
  ZtgKst TEXT,           -- VARCHAR2(10)
  PRIMARY KEY (ZtgPnr, ZtgVon)
);

-- Persons.
CREATE TABLE Kvn300Pnr (
  PnrNum TEXT NOT NULL,  -- VARCHAR2(8)
  PnrNam TEXT,           -- VARCHAR2(30)
  PnrStr TEXT,           -- VARCHAR2(30)
  PnrOrt TEXT,           -- VARCHAR2(30)
  PRIMARY KEY (PnrNum)
);

-- Persons with a valid authorisation, by validity period.
CREATE TABLE Kvn310Bsv (
  BsvPnr TEXT,           -- VARCHAR2(8)
  BsvGvo TEXT            -- DATE valid from
    CONSTRAINT BsvGvo_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(BsvGvo)) IS BsvGvo),
  BsvGbi TEXT            -- DATE valid to
    CONSTRAINT BsvGbi_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(BsvGbi)) IS BsvGbi)
);
CREATE INDEX Kvn310Bsv_Pnr ON Kvn310Bsv (BsvPnr);

-- Parameter switches by code and validity period.
CREATE TABLE Kvn591Nzp (
  NzpAkz INTEGER NOT NULL,  -- NUMBER(4) code
  NzpGvn TEXT NOT NULL      -- DATE valid from
    CONSTRAINT NzpGvn_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(NzpGvn)) IS NzpGvn),
  NzpGbi TEXT NOT NULL      -- DATE valid to
    CONSTRAINT NzpGbi_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(NzpGbi)) IS NzpGbi),
  NzpAak INTEGER,           -- NUMBER(4)
  NzpAwt INTEGER,           -- NUMBER(9)
  NzpKjh INTEGER,           -- NUMBER(4)
  NzpKmn INTEGER,           -- NUMBER(4)
  NzpKwo INTEGER,           -- NUMBER(4)
  NzpKtg INTEGER,           -- NUMBER(4)
  NzpAan INTEGER,           -- NUMBER(9)
  NzpVfh INTEGER,           -- NUMBER(9)
  NzpNfh INTEGER,           -- NUMBER(9)
  NzpAus INTEGER,           -- NUMBER(9)
  NzpMrk INTEGER,           -- NUMBER(4)
  NzpAdt TEXT               -- DATE
    CONSTRAINT NzpAdt_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(NzpAdt)) IS NzpAdt),
  PRIMARY KEY (NzpAkz, NzpGvn, NzpGbi)
);

-- Cost centres.
CREATE TABLE o1003Kststelle (
  KstNum TEXT NOT NULL,  -- VARCHAR2(10)
  PRIMARY KEY (KstNum)
);

-- ---------------------------------------------------------------------------
-- Tables of the schema KvnSystem (plain tables here; see the header).

-- Calendar of days, one row per date.
CREATE TABLE Kvn133Bak (
  BakDtm TEXT NOT NULL   -- DATE
    CONSTRAINT BakDtm_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(BakDtm)) IS BakDtm),
  BakJhr INTEGER,        -- NUMBER(4) year
  BakMon INTEGER,        -- NUMBER(4) month
  BakTag INTEGER,        -- NUMBER(4) day
  BakWch INTEGER,        -- NUMBER(4) week
  BakWtg INTEGER,        -- NUMBER(4) weekday
  BakJtg INTEGER,        -- NUMBER(4) day of the year
  PRIMARY KEY (BakDtm)
);

-- Day types of a works calendar, one row per calendar and date.
CREATE TABLE Kvn133Kal (
  KalNum INTEGER,        -- NUMBER(9) calendar
  KalBtp TEXT,           -- VARCHAR2(3) day type
  KalDtm TEXT            -- DATE
    CONSTRAINT KalDtm_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(KalDtm)) IS KalDtm)
);
CREATE INDEX Kvn133Kal_Num ON Kvn133Kal (KalNum, KalDtm);

-- Badges handed out to persons, by validity period.
CREATE TABLE Kvn301Asw (
  AswNum TEXT NOT NULL,  -- VARCHAR2(10) badge number
  AswPnr TEXT,           -- VARCHAR2(8) person
  AswGvo TEXT NOT NULL   -- DATE valid from
    CONSTRAINT AswGvo_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(AswGvo)) IS AswGvo),
  AswGbi TEXT            -- DATE valid to
    CONSTRAINT AswGbi_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(AswGbi)) IS AswGbi),
  AswErf TEXT,           -- VARCHAR2(8)
  AswDat TEXT            -- DATE
    CONSTRAINT AswDat_is_date CHECK (strftime('%Y-%m-%d %H:%M:%S', julianday(AswDat)) IS AswDat),
  PRIMARY KEY (AswNum, AswGvo)
);
CREATE INDEX Kvn301Asw_Pnr ON Kvn301Asw (AswPnr, AswGvo);

RELEASE pps2bde_schema;
