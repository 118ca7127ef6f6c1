-- The shared PPS/BDE database for the PostgreSQL engine: the tables of
-- schema/sqlite.sql with the server's types, and the strict date functions
-- the job's statements call.  Load it into an empty UTF8 database (as
-- "pps2bde-admin init-db" does); the whole text runs as one transaction.
--
-- Types.  Oracle VARCHAR2(n) is varchar(n) (a longer value is refused,
-- -12899); NUMBER(4) smallint and NUMBER(9) integer; NUMBER without a
-- precision (quantities, times) double precision; DATE timestamp(0)
-- without time zone, local time as the job sees it.  Keys and NOT NULL as
-- in Oracle.  The Oracle type stays in the comment of every column.
--
-- KvnSystem.  The calendar tables live in the schema kvnsystem; the job's
-- sessions (and every program that writes them) put it on the search path
-- after public, so KvnSystem.Kvn133Bak and Kvn133Bak name one table.
--
-- Dates.  PostgreSQL's own to_date accepts 2024-02-31 (as March 2) and
-- drops the time, so the statements' TO_DATE, TO_CHAR and TRUNC are calls of
-- ora_to_date, ora_to_char and ora_trunc below (the engine renames them at
-- prepare), which follow Oracle: masks of YYYY, MM, DD, HH24, MI, SS in any
-- case and the literals " -/:.,;"; NULL or '' gives NULL; an input shorter
-- than the mask leaves the fields it does not reach at their lowest value;
-- every invalid value raises Oracle's error as the SQLSTATE "O" followed by
-- the four digits of its number (O1843 not a valid month), which the engine
-- reports as that code.  A date plus or minus a number of days is
-- ora_add_days.
--
-- Indexes.  The download markers (XxxDwn) are indexed only where set, as in
-- the SQLite schema; only what a statement of the job needs is indexed.
--
-- Names are unquoted: PostgreSQL folds them to lower case, as it folds the
-- statements' names, so "update KVN501Apk" finds Kvn501Apk.

CREATE SCHEMA IF NOT EXISTS kvnsystem;

-- ---------------------------------------------------------------------------
-- Date functions.

-- The elements of a mask, in order: 'Y' (YYYY, 4 digits), 'M' (MM), 'D'
-- (DD), 'H' (HH24), 'I' (MI), 'S' (SS), each 2 digits, or a literal
-- character.  An unknown element raises ORA-01821.
CREATE FUNCTION ora_mask(mask text) RETURNS text[]
LANGUAGE plpgsql IMMUTABLE STRICT AS $$
DECLARE
  u text := upper(mask);
  i int := 1;
  n int := length(mask);
  el text[] := '{}';
BEGIN
  IF n > 64 THEN
    RAISE EXCEPTION 'ORA-01821: date format not recognized' USING ERRCODE = 'O1821';
  END IF;
  WHILE i <= n LOOP
    IF substr(u, i, 4) = 'YYYY' THEN el := el || 'Y'::text; i := i + 4;
    ELSIF substr(u, i, 4) = 'HH24' THEN el := el || 'H'::text; i := i + 4;
    ELSIF substr(u, i, 2) = 'MM' THEN el := el || 'M'::text; i := i + 2;
    ELSIF substr(u, i, 2) = 'DD' THEN el := el || 'D'::text; i := i + 2;
    ELSIF substr(u, i, 2) = 'MI' THEN el := el || 'I'::text; i := i + 2;
    ELSIF substr(u, i, 2) = 'SS' THEN el := el || 'S'::text; i := i + 2;
    ELSIF strpos(' -/:.,;', substr(u, i, 1)) > 0 THEN
      el := el || ('=' || substr(u, i, 1)); i := i + 1;
    ELSE
      RAISE EXCEPTION 'ORA-01821: date format not recognized' USING ERRCODE = 'O1821';
    END IF;
  END LOOP;
  RETURN el;
END $$;

-- TO_DATE(text, mask).  Fields the mask does not name: year and month of
-- today, day 1, time 0.
CREATE FUNCTION ora_to_date(t text, mask text) RETURNS timestamp(0)
LANGUAGE plpgsql STABLE AS $$
DECLARE
  el text[];
  e text;
  len int := length(t);
  pos int := 1;
  w int;
  v int;
  c text;
  y int := extract(year FROM localtimestamp)::int;
  mo int := extract(month FROM localtimestamp)::int;
  d int := 1;
  h int := 0;
  mi int := 0;
  s int := 0;
  u text := upper(mask);
BEGIN
  IF t IS NULL OR t = '' OR mask IS NULL OR mask = '' THEN
    RETURN NULL;
  END IF;
  -- The job's own masks, given every digit of a valid date, are read
  -- straight away; anything else goes the long way, which names the error.
  IF ((u = 'YYYYMMDD' AND len = 8) OR (u = 'YYYYMMDDHH24MISS' AND len = 14))
     AND t ~ '^[0-9]+$' THEN
    y := substr(t, 1, 4)::int;
    mo := substr(t, 5, 2)::int;
    d := substr(t, 7, 2)::int;
    IF len = 14 THEN
      h := substr(t, 9, 2)::int;
      mi := substr(t, 11, 2)::int;
      s := substr(t, 13, 2)::int;
    END IF;
    IF y > 0 AND mo BETWEEN 1 AND 12 AND d >= 1 AND h < 24 AND mi < 60 AND s < 60
       AND d <= extract(day FROM make_date(y, mo, 1) + interval '1 month' - interval '1 day') THEN
      RETURN make_timestamp(y, mo, d, h, mi, s);
    END IF;
    y := extract(year FROM localtimestamp)::int;
    mo := extract(month FROM localtimestamp)::int;
    d := 1;
    h := 0;
    mi := 0;
    s := 0;
  END IF;
  el := ora_mask(mask);
  IF 'M' = ANY (el) THEN mo := 1; END IF;
  FOREACH e IN ARRAY el LOOP
    EXIT WHEN pos > len;
    IF left(e, 1) = '=' THEN
      IF substr(t, pos, 1) <> substr(e, 2, 1) THEN
        RAISE EXCEPTION 'ORA-01861: literal does not match format string' USING ERRCODE = 'O1861';
      END IF;
      pos := pos + 1;
      CONTINUE;
    END IF;
    c := substr(t, pos, 1);
    IF c !~ '[0-9]' THEN
      RAISE EXCEPTION 'ORA-01858: a non-numeric character was found where a numeric was expected'
        USING ERRCODE = 'O1858';
    END IF;
    w := CASE WHEN e = 'Y' THEN 4 ELSE 2 END;
    v := 0;
    WHILE w > 0 AND pos <= len LOOP
      c := substr(t, pos, 1);
      EXIT WHEN c !~ '[0-9]';
      v := v * 10 + ascii(c) - 48;
      pos := pos + 1;
      w := w - 1;
    END LOOP;
    IF e = 'Y' THEN
      IF v = 0 THEN
        RAISE EXCEPTION 'ORA-01841: (full) year must be between -4713 and +9999, and not be 0'
          USING ERRCODE = 'O1841';
      END IF;
      y := v;
    ELSIF e = 'M' THEN
      IF v < 1 OR v > 12 THEN
        RAISE EXCEPTION 'ORA-01843: not a valid month' USING ERRCODE = 'O1843';
      END IF;
      mo := v;
    ELSIF e = 'D' THEN
      IF v < 1 OR v > 31 THEN
        RAISE EXCEPTION 'ORA-01847: day of month must be between 1 and last day of month'
          USING ERRCODE = 'O1847';
      END IF;
      d := v;
    ELSIF e = 'H' THEN
      IF v > 23 THEN
        RAISE EXCEPTION 'ORA-01850: hour must be between 0 and 23' USING ERRCODE = 'O1850';
      END IF;
      h := v;
    ELSIF e = 'I' THEN
      IF v > 59 THEN
        RAISE EXCEPTION 'ORA-01851: minutes must be between 0 and 59' USING ERRCODE = 'O1851';
      END IF;
      mi := v;
    ELSE
      IF v > 59 THEN
        RAISE EXCEPTION 'ORA-01852: seconds must be between 0 and 59' USING ERRCODE = 'O1852';
      END IF;
      s := v;
    END IF;
  END LOOP;
  IF pos <= len THEN
    RAISE EXCEPTION 'ORA-01830: date format picture ends before converting entire input string'
      USING ERRCODE = 'O1830';
  END IF;
  IF d > extract(day FROM make_date(y, mo, 1) + interval '1 month' - interval '1 day') THEN
    RAISE EXCEPTION 'ORA-01847: day of month must be between 1 and last day of month'
      USING ERRCODE = 'O1847';
  END IF;
  RETURN make_timestamp(y, mo, d, h, mi, s);
END $$;

-- TO_CHAR(date, mask) the long way, for masks other than the job's own.
CREATE FUNCTION ora_to_char_strict(d timestamp, mask text) RETURNS text
LANGUAGE plpgsql IMMUTABLE AS $$
DECLARE
  e text;
  out text := '';
BEGIN
  IF d IS NULL OR mask IS NULL OR mask = '' THEN
    RETURN NULL;
  END IF;
  FOREACH e IN ARRAY ora_mask(mask) LOOP
    out := out || CASE e
      WHEN 'Y' THEN to_char(d, 'YYYY') WHEN 'M' THEN to_char(d, 'MM')
      WHEN 'D' THEN to_char(d, 'DD') WHEN 'H' THEN to_char(d, 'HH24')
      WHEN 'I' THEN to_char(d, 'MI') WHEN 'S' THEN to_char(d, 'SS')
      ELSE substr(e, 2, 1) END;
  END LOOP;
  RETURN out;
END $$;

-- TO_CHAR(date, mask).  The job's own masks: to_char reads their elements
-- as ora_mask does.  The function is one SQL expression, so the server
-- plans it into the calling statement, where a literal mask leaves only
-- the to_char: no call of a procedural function for every value.
CREATE FUNCTION ora_to_char(d timestamp, mask text) RETURNS text
LANGUAGE sql STABLE AS $$
SELECT CASE WHEN upper(mask) IN ('YYYYMMDD', 'YYYYMMDDHH24MISS', 'HH24MISS')
            THEN to_char(d, upper(mask))
            ELSE ora_to_char_strict(d, mask) END $$;

-- The number of rows a change touched, which must not be none: the job
-- sends a unit's last changes and its COMMIT in one round trip, each change
-- counted by this function, so that one touching no row fails and the
-- COMMIT behind it does not run.
CREATE FUNCTION pps_touched(n bigint) RETURNS bigint
LANGUAGE plpgsql AS $$
BEGIN
  IF n = 0 THEN
    RAISE EXCEPTION 'no row changed' USING ERRCODE = 'PPS01';
  END IF;
  RETURN n;
END $$;
-- TRUNC(date): the day at midnight; TRUNC(number) cuts the fraction.
CREATE FUNCTION ora_trunc(d timestamp) RETURNS timestamp(0)
LANGUAGE sql IMMUTABLE AS $$ SELECT date_trunc('day', d)::timestamp(0) $$;
CREATE FUNCTION ora_trunc(x double precision) RETURNS double precision
LANGUAGE sql IMMUTABLE AS $$ SELECT trunc(x) $$;

-- date + days (fractions are parts of a day, rounded to the second); a
-- number plus a number stays arithmetic.
CREATE FUNCTION ora_add_days(d timestamp, days double precision) RETURNS timestamp(0)
LANGUAGE sql IMMUTABLE AS $$
  SELECT (d + make_interval(secs => round(days * 86400)))::timestamp(0) $$;
CREATE FUNCTION ora_add_days(x double precision, days double precision)
RETURNS double precision
LANGUAGE sql IMMUTABLE AS $$ SELECT x + days $$;

-- ---------------------------------------------------------------------------
-- Planning-system interface (written by the planning system, emptied by the
-- order and operation transfers).

-- Production orders that the planning system created, changed or deleted.
CREATE TABLE Kvn500Auk (
  AukApk varchar(12) NOT NULL,      -- VARCHAR2(12) order number
  AukBz1 varchar(30),               -- VARCHAR2(30)
  AukBz2 varchar(30),               -- VARCHAR2(30)
  AukTxt varchar(10),               -- VARCHAR2(10)
  AukSts smallint,                  -- NUMBER(4), PPS status (9: delete)
  AukAfo smallint,                  -- NUMBER(4)
  AukKun varchar(7),                -- VARCHAR2(7) customer
  AukKb1 varchar(30),               -- VARCHAR2(30)
  AukKb2 varchar(30),               -- VARCHAR2(30)
  AukBgs varchar(8),                -- VARCHAR2(8) start date yyyymmdd (text, not DATE)
  AukEns varchar(8),                -- VARCHAR2(8) end date yyyymmdd (text, not DATE)
  AukTnr varchar(20),               -- VARCHAR2(20) part number
  AukTb1 varchar(30),               -- VARCHAR2(30)
  AukTb2 varchar(30),               -- VARCHAR2(30)
  AukSme double precision,          -- NUMBER target quantity
  AukMee varchar(3),                -- VARCHAR2(3) unit
  AukZf1 varchar(30),               -- VARCHAR2(30)
  AukZf2 varchar(30),               -- VARCHAR2(30)
  AukZf3 varchar(30),               -- VARCHAR2(30)
  AukFbe varchar(10),               -- VARCHAR2(10) production area
  AukKst varchar(10),               -- VARCHAR2(10) cost centre
  PRIMARY KEY (AukApk)
);

-- Operations that the planning system created, changed or deleted.
CREATE TABLE Kvn503Afo (
  AfoApk varchar(12) NOT NULL,      -- VARCHAR2(12) order number
  AfoApp varchar(5) NOT NULL,       -- VARCHAR2(5) operation number
  AfoVaf varchar(5),                -- VARCHAR2(5)
  AfoNaf varchar(5),                -- VARCHAR2(5)
  AfoBz1 varchar(30),               -- VARCHAR2(30)
  AfoBz2 varchar(30),               -- VARCHAR2(30)
  AfoTxt varchar(10),               -- VARCHAR2(10)
  AfoSts smallint,                  -- NUMBER(4), PPS status (9: delete)
  AfoBgs varchar(8),                -- VARCHAR2(8) start date yyyymmdd (text, not DATE)
  AfoBgz varchar(6),                -- VARCHAR2(6) start time HHMMSS (text)
  AfoEns varchar(8),                -- VARCHAR2(8) end date yyyymmdd (text, not DATE)
  AfoEnz varchar(6),                -- VARCHAR2(6) end time HHMMSS (text)
  AfoAgs smallint,                  -- NUMBER(4)
  AfoSme double precision,          -- NUMBER target quantity
  AfoMee varchar(3),                -- VARCHAR2(3) unit
  AfoSta double precision,          -- NUMBER
  AfoStr double precision,          -- NUMBER
  AfoSte double precision,          -- NUMBER
  AfoApg varchar(10),               -- VARCHAR2(10) work group
  AfoApl varchar(10),               -- VARCHAR2(10) workplace
  AfoZf1 varchar(30),               -- VARCHAR2(30)
  AfoZf2 varchar(30),               -- VARCHAR2(30)
  AfoZf3 varchar(30),               -- VARCHAR2(30)
  AfoKst varchar(10),               -- VARCHAR2(10) cost centre
  AfoFbe varchar(10),               -- VARCHAR2(10) production area
  PRIMARY KEY (AfoApk, AfoApp)
);

-- ---------------------------------------------------------------------------
-- BDE orders and operations.

CREATE TABLE Kvn501Apk (
  ApkApk varchar(12) NOT NULL,      -- VARCHAR2(12) order number
  ApkBz1 varchar(30),               -- VARCHAR2(30)
  ApkBz2 varchar(30),               -- VARCHAR2(30)
  ApkTxt varchar(10),               -- VARCHAR2(10)
  ApkSts smallint,                  -- NUMBER(4) BDE status
  ApkSis smallint,                  -- NUMBER(4)
  ApkKun varchar(7),                -- VARCHAR2(7)
  ApkKb1 varchar(30),               -- VARCHAR2(30)
  ApkKb2 varchar(30),               -- VARCHAR2(30)
  ApkBgs timestamp(0),              -- DATE
  ApkEns timestamp(0),              -- DATE
  ApkAfo smallint,                  -- NUMBER(4) number of operations
  ApkEaf smallint,                  -- NUMBER(4)
  ApkTnr varchar(20),               -- VARCHAR2(20)
  ApkTb1 varchar(30),               -- VARCHAR2(30)
  ApkTb2 varchar(30),               -- VARCHAR2(30)
  ApkSme double precision,          -- NUMBER
  ApkIme double precision,          -- NUMBER
  ApkMee varchar(3),                -- VARCHAR2(3)
  ApkBdi timestamp(0),              -- DATE
  ApkEdi timestamp(0),              -- DATE
  ApkFbe varchar(10),               -- VARCHAR2(10) area key of the terminal download
  ApkKst varchar(10),               -- VARCHAR2(10)
  ApkZf1 varchar(30),               -- VARCHAR2(30)
  ApkZf2 varchar(30),               -- VARCHAR2(30)
  ApkZf3 varchar(30),               -- VARCHAR2(30)
  ApkKnz varchar(1),                -- VARCHAR2(1)
  ApkSsn smallint,                  -- NUMBER(4)
  ApkDna varchar(3),                -- VARCHAR2(3) change marker NEU/AEN/LOE
  ApkDwn varchar(8),                -- VARCHAR2(8) change origin, selects the download
  ApkSta smallint,                  -- NUMBER(4)
  ApkDat timestamp(0),              -- DATE time of the last write
  ApkErf varchar(8),                -- VARCHAR2(8) recorder
  ApkAba integer,                   -- NUMBER(9)
  PRIMARY KEY (ApkApk)
);
-- Order download cursor: where ApkDwn=:b0 order by ApkDwn,ApkFbe.
CREATE INDEX Kvn501Apk_Dwn ON Kvn501Apk (ApkDwn, ApkFbe) WHERE ApkDwn IS NOT NULL;

CREATE TABLE Kvn504App (
  AppApk varchar(12) NOT NULL,      -- VARCHAR2(12) order number
  AppApp varchar(5) NOT NULL,       -- VARCHAR2(5) operation number
  AppVaf varchar(5),                -- VARCHAR2(5)
  AppNaf varchar(5),                -- VARCHAR2(5)
  AppBz1 varchar(30),               -- VARCHAR2(30)
  AppBz2 varchar(30),               -- VARCHAR2(30)
  AppTxt varchar(10),               -- VARCHAR2(10)
  AppSts smallint,                  -- NUMBER(4) BDE status
  AppSis smallint,                  -- NUMBER(4)
  AppBdi timestamp(0),              -- DATE
  AppBds timestamp(0),              -- DATE
  AppSbd timestamp(0),              -- DATE
  AppEdi timestamp(0),              -- DATE
  AppEds timestamp(0),              -- DATE
  AppSed timestamp(0),              -- DATE
  AppRad timestamp(0),              -- DATE
  AppRed timestamp(0),              -- DATE
  AppAgs integer,                   -- NUMBER(9)
  AppAbs integer,                   -- NUMBER(9)
  AppAes integer,                   -- NUMBER(9)
  AppSme double precision,          -- NUMBER
  AppIme double precision,          -- NUMBER
  AppAme double precision,          -- NUMBER
  AppMee varchar(3),                -- VARCHAR2(3)
  AppSza double precision,          -- NUMBER
  AppStr double precision,          -- NUMBER
  AppSte double precision,          -- NUMBER
  AppIta double precision,          -- NUMBER
  AppItr double precision,          -- NUMBER
  AppIte double precision,          -- NUMBER
  AppApg varchar(10),               -- VARCHAR2(10) work group
  AppApl varchar(10),               -- VARCHAR2(10) workplace
  AppKt1 varchar(15),               -- VARCHAR2(15)
  AppKz1 varchar(3),                -- VARCHAR2(3)
  AppKt2 varchar(15),               -- VARCHAR2(15)
  AppKz2 varchar(3),                -- VARCHAR2(3)
  AppKt3 varchar(15),               -- VARCHAR2(15)
  AppKz3 varchar(3),                -- VARCHAR2(3)
  AppKt4 varchar(15),               -- VARCHAR2(15)
  AppKz4 varchar(3),                -- VARCHAR2(3)
  AppFbe varchar(10),               -- VARCHAR2(10) area key of the terminal download
  AppKst varchar(10),               -- VARCHAR2(10)
  AppZf1 varchar(30),               -- VARCHAR2(30)
  AppZf2 varchar(30),               -- VARCHAR2(30)
  AppZf3 varchar(30),               -- VARCHAR2(30)
  AppKnz varchar(1),                -- VARCHAR2(1)
  AppDna varchar(3),                -- VARCHAR2(3) change marker NEU/AEN/LOE
  AppDwn varchar(8),                -- VARCHAR2(8) change origin, selects the download
  AppSsn integer,                   -- NUMBER(9)
  AppSta integer,                   -- NUMBER(9)
  AppDat timestamp(0),              -- DATE time of the last write
  AppErf varchar(8),                -- VARCHAR2(8) recorder
  PRIMARY KEY (AppApk, AppApp)
);
-- Operation download cursor: where AppDwn=:b0 order by AppDwn,AppFbe.
CREATE INDEX Kvn504App_Dwn ON Kvn504App (AppDwn, AppFbe) WHERE AppDwn IS NOT NULL;
-- No index on AppZf2: the count and the cursor over one AppZf2 are run by
-- neither mode of the job, and an index for them would be one more page in
-- the commit of every operation the job writes.  They scan the table.

-- ---------------------------------------------------------------------------
-- Work groups and workplaces.

CREATE TABLE Kvn530Apg (
  ApgApg varchar(10) NOT NULL,      -- VARCHAR2(10) work group
  ApgBez varchar(30),               -- VARCHAR2(30)
  ApgTxt varchar(10),               -- VARCHAR2(10)
  ApgKst varchar(10),               -- VARCHAR2(10)
  ApgFbe varchar(10),               -- VARCHAR2(10) area key
  ApgZf1 varchar(30),               -- VARCHAR2(30)
  ApgZf2 varchar(30),               -- VARCHAR2(30)
  ApgZf3 varchar(30),               -- VARCHAR2(30)
  ApgApl integer,                   -- NUMBER(9)
  ApgTag integer,                   -- NUMBER(9)
  ApgKap double precision,          -- NUMBER
  ApgPrd double precision,          -- NUMBER
  ApgRst double precision,          -- NUMBER
  ApgPau double precision,          -- NUMBER
  ApgUnt double precision,          -- NUMBER
  ApgIak double precision,          -- NUMBER
  ApgSt1 varchar(10),               -- VARCHAR2(10)
  ApgSt2 varchar(10),               -- VARCHAR2(10)
  ApgSt3 varchar(10),               -- VARCHAR2(10)
  ApgSf1 double precision,          -- NUMBER
  ApgSf2 double precision,          -- NUMBER
  ApgSf3 double precision,          -- NUMBER
  ApgDna varchar(3),                -- VARCHAR2(3) change marker
  ApgDwn varchar(8),                -- VARCHAR2(8) change origin
  ApgSta smallint,                  -- NUMBER(4)
  ApgDat timestamp(0),              -- DATE
  ApgErf varchar(8),                -- VARCHAR2(8)
  PRIMARY KEY (ApgApg)
);
-- Work-group download cursor: where ApgDwn=:b0 ... order by ApgFbe.
CREATE INDEX Kvn530Apg_Dwn ON Kvn530Apg (ApgDwn, ApgFbe) WHERE ApgDwn IS NOT NULL;

CREATE TABLE Kvn531Apl (
  AplApl varchar(10) NOT NULL,      -- VARCHAR2(10) workplace
  AplBez varchar(30),               -- VARCHAR2(30)
  AplTxt varchar(10),               -- VARCHAR2(10)
  AplApg varchar(10),               -- VARCHAR2(10) work group of the workplace
  AplFbe varchar(10),               -- VARCHAR2(10) area key
  AplSts smallint,                  -- NUMBER(4)
  AplSis smallint,                  -- NUMBER(4)
  AplApr integer,                   -- NUMBER(9)
  AplAaf integer,                   -- NUMBER(9)
  AplUbg varchar(4),                -- VARCHAR2(4)
  AplUdt timestamp(0),              -- DATE
  AplZf1 varchar(30),               -- VARCHAR2(30)
  AplZf2 varchar(30),               -- VARCHAR2(30)
  AplZf3 varchar(30),               -- VARCHAR2(30)
  AplTag integer,                   -- NUMBER(9)
  AplVrf double precision,          -- NUMBER
  AplRsp double precision,          -- NUMBER
  AplRsi double precision,          -- NUMBER
  AplAfp double precision,          -- NUMBER
  AplAfi double precision,          -- NUMBER
  AplPau double precision,          -- NUMBER
  AplUnt double precision,          -- NUMBER
  AplIak double precision,          -- NUMBER
  AplAvt integer,                   -- NUMBER(9)
  AplKap double precision,          -- NUMBER
  AplAvr double precision,          -- NUMBER
  AplAvp double precision,          -- NUMBER
  AplSt1 varchar(10),               -- VARCHAR2(10)
  AplSt2 varchar(10),               -- VARCHAR2(10)
  AplSt3 varchar(10),               -- VARCHAR2(10)
  AplSf1 double precision,          -- NUMBER
  AplSf2 double precision,          -- NUMBER
  AplSf3 double precision,          -- NUMBER
  AplDna varchar(3),                -- VARCHAR2(3) change marker
  AplDwn varchar(8),                -- VARCHAR2(8) change origin
  AplSta smallint,                  -- NUMBER(4)
  AplDat timestamp(0),              -- DATE
  AplErf varchar(8),                -- VARCHAR2(8)
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
  DwnDta timestamp(0),              -- DATE run start
  DwnApk integer,                   -- NUMBER(9)
  DwnApp integer,                   -- NUMBER(9)
  DwnAuk integer,                   -- NUMBER(9)
  DwnAfo integer,                   -- NUMBER(9)
  DwnNeu integer,                   -- NUMBER(9)
  DwnAen integer,                   -- NUMBER(9)
  DwnLoe integer,                   -- NUMBER(9)
  DwnZf1 varchar(30),               -- VARCHAR2(30)
  DwnZf2 varchar(30),               -- VARCHAR2(30)
  DwnZf3 varchar(30),               -- VARCHAR2(30)
  DwnDat timestamp(0),              -- DATE time of the insert
  DwnErf varchar(8)                 -- VARCHAR2(8) recorder
);

-- Download queue, filled by other jobs; a row is identified by its time
-- stamp (to the second), its recorder and its running number.
CREATE TABLE Kvn540Dnl (
  DnlDta timestamp(0) NOT NULL,     -- DATE time stamp of the batch
  DnlLfn integer NOT NULL,          -- NUMBER(9) running number
  DnlVkz varchar(3),                -- VARCHAR2(3)
  DnlBer varchar(10),               -- VARCHAR2(10)
  DnlFun varchar(3),                -- VARCHAR2(3) change marker NEU/AEN/LOE
  DnlSkz varchar(3),                -- VARCHAR2(3) row kind APK/APP
  DnlPnr varchar(8),                -- VARCHAR2(8)
  DnlApk varchar(12),               -- VARCHAR2(12) order number
  DnlApp varchar(5),                -- VARCHAR2(5) operation number
  DnlApl varchar(10),               -- VARCHAR2(10) workplace
  DnlDnl varchar(255),              -- VARCHAR2(255)
  DnlDat timestamp(0),              -- DATE time of the insert
  DnlErf varchar(8) NOT NULL,       -- VARCHAR2(8) recorder
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
  CfgDta integer NOT NULL,          -- NUMBER(9) terminal number
  CfgIP varchar(15),                -- VARCHAR2(15) network address
  CfgPrt varchar(5),                -- VARCHAR2(5) port
  CfgBez varchar(30),               -- VARCHAR2(30)
  CfgTxt varchar(10),               -- VARCHAR2(10)
  CfgKr1 integer,                   -- NUMBER(9)
  CfgVn1 varchar(10),               -- VARCHAR2(10) first range, from
  CfgBi1 varchar(10),               -- VARCHAR2(10) first range, to
  CfgBz1 varchar(30),               -- VARCHAR2(30)
  CfgVn2 varchar(10),               -- VARCHAR2(10)
  CfgBi2 varchar(10),               -- VARCHAR2(10)
  CfgBz2 varchar(30),               -- VARCHAR2(30)
  CfgVn3 varchar(10),               -- VARCHAR2(10)
  CfgBi3 varchar(10),               -- VARCHAR2(10)
  CfgBz3 varchar(30),               -- VARCHAR2(30)
  CfgVn4 varchar(10),               -- VARCHAR2(10)
  CfgBi4 varchar(10),               -- VARCHAR2(10)
  CfgBz4 varchar(30),               -- VARCHAR2(30)
  CfgVn5 varchar(10),               -- VARCHAR2(10)
  CfgBi5 varchar(10),               -- VARCHAR2(10)
  CfgBz5 varchar(30),               -- VARCHAR2(30)
  CfgSta integer,                   -- NUMBER(9)
  CfgDat timestamp(0),              -- DATE
  CfgErf varchar(8),                -- VARCHAR2(8)
  PRIMARY KEY (CfgDta)
);

-- Holds the one row "UPD" with the key ranges of a download.
CREATE TABLE Kvn543Upd (
  UpdKey varchar(3) NOT NULL,       -- VARCHAR2(3) always 'UPD'
  UpdAkv varchar(12),               -- VARCHAR2(12) orders from
  UpdAkb varchar(12),               -- VARCHAR2(12) orders to
  UpdAav varchar(12),               -- VARCHAR2(12)
  UpdAab varchar(12),               -- VARCHAR2(12)
  UpdApv varchar(5),                -- VARCHAR2(5) operations from
  UpdApb varchar(5),                -- VARCHAR2(5) operations to
  UpdAlv varchar(10),               -- VARCHAR2(10) workplaces from
  UpdAlb varchar(10),               -- VARCHAR2(10) workplaces to
  UpdAgv varchar(10),               -- VARCHAR2(10) work groups from
  UpdAgb varchar(10),               -- VARCHAR2(10) work groups to
  UpdUgv varchar(5),                -- VARCHAR2(5)
  UpdUgb varchar(5),                -- VARCHAR2(5)
  UpdAuv varchar(5),                -- VARCHAR2(5)
  UpdAub varchar(5),                -- VARCHAR2(5)
  UpdPvv varchar(8),                -- VARCHAR2(8)
  UpdPvb varchar(8),                -- VARCHAR2(8)
  UpdKsv varchar(5),                -- VARCHAR2(5)
  UpdKsb varchar(5),                -- VARCHAR2(5)
  UpdDat timestamp(0),              -- DATE
  UpdErf varchar(8),                -- VARCHAR2(8)
  PRIMARY KEY (UpdKey)
);

-- ---------------------------------------------------------------------------
-- Further master data.  The batch job never touches these tables; the
-- catalogue statements of the master-data module and the master-data
-- downloads do.  Where the statements leave a column's type open it is
-- chosen from its use (compared with, joined to, set to 0, emptied).

CREATE TABLE Kvn521Ubg (
  UbgUbg varchar(4) NOT NULL,       -- VARCHAR2(4)
  UbgKnz smallint,                  -- NUMBER(4) 1: "U", otherwise "S" in the download
  UbgFbe varchar(10),               -- VARCHAR2(10) area key
  UbgBez varchar(30),               -- VARCHAR2(30)
  UbgTxt varchar(10),               -- VARCHAR2(10)
  UbgZf1 varchar(30),               -- VARCHAR2(30)
  UbgZf2 varchar(30),               -- VARCHAR2(30)
  UbgZf3 varchar(30),               -- VARCHAR2(30)
  UbgAst double precision,          -- NUMBER
  UbgRst double precision,          -- NUMBER
  UbgAsf double precision,          -- NUMBER
  UbgSt1 varchar(10),               -- VARCHAR2(10)
  UbgSt2 varchar(10),               -- VARCHAR2(10)
  UbgSt3 varchar(10),               -- VARCHAR2(10)
  UbgSf1 double precision,          -- NUMBER
  UbgSf2 double precision,          -- NUMBER
  UbgSf3 double precision,          -- NUMBER
  UbgDna varchar(3),                -- VARCHAR2(3) change marker
  UbgDwn varchar(8),                -- VARCHAR2(8) change origin
  UbgSta smallint,                  -- NUMBER(4)
  UbgDat timestamp(0),              -- DATE
  UbgErf varchar(8),                -- VARCHAR2(8)
  PRIMARY KEY (UbgUbg)
);
CREATE INDEX Kvn521Ubg_Dwn ON Kvn521Ubg (UbgDwn, UbgFbe) WHERE UbgDwn IS NOT NULL;

-- Personnel, keyed by personnel number.
CREATE TABLE Kvn510Prv (
  PrvPnr varchar(8) NOT NULL,       -- VARCHAR2(8) personnel number
  PrvGvo timestamp(0),              -- DATE valid from
  PrvGbi timestamp(0),              -- DATE valid to
  PrvBer smallint,                  -- NUMBER(4) 1: "A", 2: "M"
  PrvKst varchar(10),               -- VARCHAR2(10) cost centre
  PrvFbe varchar(10),               -- VARCHAR2(10) area key
  PrvMmb varchar(10),               -- VARCHAR2(10)
  PrvZf1 varchar(30),               -- VARCHAR2(30)
  PrvZf2 varchar(30),               -- VARCHAR2(30)
  PrvZf3 varchar(30),               -- VARCHAR2(30)
  PrvSta smallint,                  -- NUMBER(4)
  PrvDat timestamp(0),              -- DATE
  PrvErf varchar(8),                -- VARCHAR2(8)
  PrvDna varchar(3),                -- VARCHAR2(3) change marker
  PrvDwn varchar(8),                -- VARCHAR2(8) change origin
  PrvAwn varchar(8),                -- VARCHAR2(8) badge number
  PrvAwa smallint,                  -- NUMBER(4)
  PrvAnw smallint,                  -- NUMBER(4)
  PrvApl integer,                   -- NUMBER(9)
  PrvApp integer,                   -- NUMBER(9)
  PrvPzm integer,                   -- NUMBER(9)
  PrvAvn timestamp(0),              -- DATE
  PrvAbi timestamp(0),              -- DATE
  PrvNam varchar(30),               -- VARCHAR2(30)
  PrvStr varchar(30),               -- VARCHAR2(30)
  PrvOrt varchar(30),               -- VARCHAR2(30)
  PRIMARY KEY (PrvPnr)
);
CREATE INDEX Kvn510Prv_Dwn ON Kvn510Prv (PrvDwn, PrvFbe) WHERE PrvDwn IS NOT NULL;
CREATE INDEX Kvn510Prv_Awn ON Kvn510Prv (PrvAwn, PrvPnr);

-- Production areas; type 1 is the default area.
CREATE TABLE Kvn559Fbe (
  FbeFbe varchar(10) NOT NULL,      -- VARCHAR2(10)
  FbeTyp smallint,                  -- NUMBER(4)
  PRIMARY KEY (FbeFbe)
);

-- Cost centre of a work group, by validity period.
CREATE TABLE Kvn537Ksg (
  KsgApg varchar(10) NOT NULL,      -- VARCHAR2(10) work group
  KsgKst varchar(10),               -- VARCHAR2(10) cost centre
  KsgGvo timestamp(0) NOT NULL,     -- DATE valid from
  KsgGbi timestamp(0),              -- DATE valid to
  KsgFbe varchar(10),               -- VARCHAR2(10)
  KsgZf1 varchar(30),               -- VARCHAR2(30)
  KsgZf2 varchar(30),               -- VARCHAR2(30)
  KsgZf3 varchar(30),               -- VARCHAR2(30)
  KsgSta smallint,                  -- NUMBER(4)
  KsgDat timestamp(0),              -- DATE
  KsgErf varchar(8),                -- VARCHAR2(8)
  PRIMARY KEY (KsgApg, KsgGvo)
);

CREATE TABLE Kvn553Fzu (
  FzuFcd varchar(3) NOT NULL,       -- VARCHAR2(3)
  FzuAec varchar(1) NOT NULL,       -- VARCHAR2(1) always '0' in the reads
  FzuMld varchar(10),               -- VARCHAR2(10)
  FzuBez varchar(30),               -- VARCHAR2(30)
  FzuTxt varchar(10),               -- VARCHAR2(10)
  FzuArt smallint,                  -- NUMBER(4)
  FzuObj varchar(10),               -- VARCHAR2(10)
  FzuUpl smallint,                  -- NUMBER(4)
  FzuGen smallint,                  -- NUMBER(4)
  FzuZf1 varchar(30),               -- VARCHAR2(30)
  FzuZf2 varchar(30),               -- VARCHAR2(30)
  FzuZf3 varchar(30),               -- VARCHAR2(30)
  FzuSta smallint,                  -- NUMBER(4)
  FzuErf varchar(8),                -- VARCHAR2(8)
  PRIMARY KEY (FzuFcd, FzuAec)
);
CREATE INDEX Kvn553Fzu_Mld ON Kvn553Fzu (FzuMld);

-- Shift models of a work group, by validity period.
CREATE TABLE Kvn532Aem (
  AemApg varchar(10),               -- VARCHAR2(10) work group
  AemKng smallint,                  -- NUMBER(4)
  AemEmo varchar(10),               -- VARCHAR2(10) shift model (Kvn533Emo)
  AemGvo timestamp(0),              -- DATE valid from
  AemGbi timestamp(0),              -- DATE valid to
  AemBez varchar(30),               -- VARCHAR2(30)
  AemTxt varchar(10),               -- VARCHAR2(10)
  AemKal integer,                   -- NUMBER(9) calendar (Kvn133Kal.KalNum)
  AemLkz smallint,                  -- NUMBER(4)
  AemVzt double precision,          -- NUMBER
  AemEzt double precision,          -- NUMBER
  AemPrz double precision,          -- NUMBER
  AemAfz double precision,          -- NUMBER
  AemApz double precision,          -- NUMBER
  AemPrp double precision,          -- NUMBER
  AemAfp double precision,          -- NUMBER
  AemApp double precision,          -- NUMBER
  AemMaz double precision           -- NUMBER
);
CREATE INDEX Kvn532Aem_Apg ON Kvn532Aem (AemApg, AemKng);

-- Shift model: one row per shift of a day type.
CREATE TABLE Kvn533Emo (
  EmoEmo varchar(10),               -- VARCHAR2(10)
  EmoTtp varchar(3),                -- VARCHAR2(3) day type (Kvn133Kal.KalBtp)
  EmoTxt varchar(30),               -- VARCHAR2(30)
  EmoBeg smallint,                  -- NUMBER(4) minute of the day
  EmoEnd smallint,                  -- NUMBER(4) minute of the day
  EmoArt smallint,                  -- NUMBER(4)
  EmoPmo integer                    -- NUMBER(9) break model (Kvn536Pmz.PmzPmo)
);
CREATE INDEX Kvn533Emo_Emo ON Kvn533Emo (EmoEmo, EmoTtp, EmoBeg);

-- Breaks; PmsBeg and PmsEnd are minutes of the day.
CREATE TABLE Kvn535Pms (
  PmsNum integer NOT NULL,          -- NUMBER(9)
  PmsBeg smallint,                  -- NUMBER(4)
  PmsEnd smallint,                  -- NUMBER(4)
  PmsInt smallint,                  -- NUMBER(4)
  PmsPse smallint,                  -- NUMBER(4)
  PmsBzt smallint,                  -- NUMBER(4)
  PmsPrz double precision,          -- NUMBER
  PRIMARY KEY (PmsNum)
);

-- Breaks of a break model, by validity period.
CREATE TABLE Kvn536Pmz (
  PmzPmo integer,                   -- NUMBER(9) break model
  PmzPms integer,                   -- NUMBER(9) break (Kvn535Pms.PmsNum)
  PmzGvo timestamp(0),              -- DATE valid from
  PmzGbi timestamp(0)               -- DATE valid to
);
CREATE INDEX Kvn536Pmz_Pmo ON Kvn536Pmz (PmzPmo);

-- Parameter values by area and field.
CREATE TABLE Kvn555Vrg (
  VrgBer varchar(10) NOT NULL,      -- VARCHAR2(10)
  VrgFld varchar(30) NOT NULL,      -- VARCHAR2(30)
  VrgWrt varchar(80),               -- VARCHAR2(80)
  PRIMARY KEY (VrgBer, VrgFld)
);

-- Cost centre of a person from a given day.
CREATE TABLE Kvn329Ztg (
  ZtgPnr varchar(8) NOT NULL,       -- VARCHAR2(8)
  ZtgVon timestamp(0) NOT NULL,     -- DATE
  ZtgKst varchar(10),               -- VARCHAR2(10)
  PRIMARY KEY (ZtgPnr, ZtgVon)
);

-- Persons.
CREATE TABLE Kvn300Pnr (
  PnrNum varchar(8) NOT NULL,       -- VARCHAR2(8)
  PnrNam varchar(30),               -- VARCHAR2(30)
  PnrStr varchar(30),               -- VARCHAR2(30)
  PnrOrt varchar(30),               -- VARCHAR2(30)
  PRIMARY KEY (PnrNum)
);

-- Persons with a valid authorisation, by validity period.
CREATE TABLE Kvn310Bsv (
  BsvPnr varchar(8),                -- VARCHAR2(8)
  BsvGvo timestamp(0),              -- DATE valid from
  BsvGbi timestamp(0)               -- DATE valid to
);
CREATE INDEX Kvn310Bsv_Pnr ON Kvn310Bsv (BsvPnr);

-- Parameter switches by code and validity period.
CREATE TABLE Kvn591Nzp (
  NzpAkz smallint NOT NULL,         -- NUMBER(4) code
  NzpGvn timestamp(0) NOT NULL,     -- DATE valid from
  NzpGbi timestamp(0) NOT NULL,     -- DATE valid to
  NzpAak smallint,                  -- NUMBER(4)
  NzpAwt integer,                   -- NUMBER(9)
  NzpKjh smallint,                  -- NUMBER(4)
  NzpKmn smallint,                  -- NUMBER(4)
  NzpKwo smallint,                  -- NUMBER(4)
  NzpKtg smallint,                  -- NUMBER(4)
  NzpAan integer,                   -- NUMBER(9)
  NzpVfh integer,                   -- NUMBER(9)
  NzpNfh integer,                   -- NUMBER(9)
  NzpAus integer,                   -- NUMBER(9)
  NzpMrk smallint,                  -- NUMBER(4)
  NzpAdt timestamp(0),              -- DATE
  PRIMARY KEY (NzpAkz, NzpGvn, NzpGbi)
);

-- Cost centres.
CREATE TABLE o1003Kststelle (
  KstNum varchar(10) NOT NULL,      -- VARCHAR2(10)
  PRIMARY KEY (KstNum)
);

-- ---------------------------------------------------------------------------
-- Tables of the schema KvnSystem (see the header).

-- Calendar of days, one row per date.
CREATE TABLE kvnsystem.Kvn133Bak (
  BakDtm timestamp(0) NOT NULL,     -- DATE
  BakJhr smallint,                  -- NUMBER(4) year
  BakMon smallint,                  -- NUMBER(4) month
  BakTag smallint,                  -- NUMBER(4) day
  BakWch smallint,                  -- NUMBER(4) week
  BakWtg smallint,                  -- NUMBER(4) weekday
  BakJtg smallint,                  -- NUMBER(4) day of the year
  PRIMARY KEY (BakDtm)
);

-- Day types of a works calendar, one row per calendar and date.
CREATE TABLE kvnsystem.Kvn133Kal (
  KalNum integer,                   -- NUMBER(9) calendar
  KalBtp varchar(3),                -- VARCHAR2(3) day type
  KalDtm timestamp(0)               -- DATE
);
CREATE INDEX Kvn133Kal_Num ON kvnsystem.Kvn133Kal (KalNum, KalDtm);

-- Badges handed out to persons, by validity period.
CREATE TABLE kvnsystem.Kvn301Asw (
  AswNum varchar(10) NOT NULL,      -- VARCHAR2(10) badge number
  AswPnr varchar(8),                -- VARCHAR2(8) person
  AswGvo timestamp(0) NOT NULL,     -- DATE valid from
  AswGbi timestamp(0),              -- DATE valid to
  AswErf varchar(8),                -- VARCHAR2(8)
  AswDat timestamp(0),              -- DATE
  PRIMARY KEY (AswNum, AswGvo)
);
CREATE INDEX Kvn301Asw_Pnr ON kvnsystem.Kvn301Asw (AswPnr, AswGvo);


-- Every session of the database finds the calendar tables without the
-- schema's name (the job's sessions set the same search path themselves).
DO $$
BEGIN
  EXECUTE format('ALTER DATABASE %I SET search_path = public, kvnsystem', current_database());
END $$;
