-- The Lexordo database: every table and column the program reads or writes.
-- Dates are ISO text ("yyyy-MM-dd") under DATE, times "hh:mm:ss" under TIME,
-- amounts REAL, indexes INTEGER. Column order is binding: reports copy the
-- diary into its work table column by column.

CREATE TABLE "advocate" (
    "cdate"      DATE,
    "remarks"    TEXT,
    "pdate"      DATE,
    "Party1"     TEXT,
    "Party2"     TEXT,
    "caseno"     TEXT,
    "courtname"  TEXT,
    "CourtIndex" INTEGER,
    "fixedfor"   TEXT,
    "ndate"      DATE,
    "fixedforN"  TEXT
);
CREATE INDEX "advocate_cdate"  ON "advocate" ("cdate", "CourtIndex");
CREATE INDEX "advocate_ndate"  ON "advocate" ("ndate");
CREATE INDEX "advocate_caseno" ON "advocate" ("caseno" COLLATE NOCASE);
-- A search by party finds the rows and puts them in the diary's order from
-- the index alone.
CREATE INDEX "advocate_party1" ON "advocate" ("Party1" COLLATE NOCASE, "cdate", "CourtIndex");

CREATE TABLE "tmpAdvocate" (
    "cdate"      DATE,
    "remarks"    TEXT,
    "pdate"      DATE,
    "Party1"     TEXT,
    "Party2"     TEXT,
    "caseno"     TEXT,
    "courtname"  TEXT,
    "CourtIndex" INTEGER,
    "fixedfor"   TEXT,
    "ndate"      DATE,
    "fixedforN"  TEXT
);

CREATE TABLE "courts" (
    "court"  TEXT,
    "indexx" INTEGER
);

CREATE TABLE "Holidays" (
    "Date"    DATE,
    "Holiday" TEXT
);
CREATE INDEX "Holidays_date" ON "Holidays" ("Date");

CREATE TABLE "Clients" (
    "ACname"       TEXT,
    "Phoneno"      TEXT,
    "MobileNumber" TEXT,
    "Email"        TEXT,
    "Adresss"      TEXT,
    "CaseNo"       TEXT,
    "Parties"      TEXT,
    "US1"          TEXT,
    "US2"          TEXT,
    "US3"          TEXT,
    "US4"          TEXT,
    "fileno"       TEXT,
    "folderpath"   TEXT,
    "date"         DATE
);

CREATE TABLE "AC_INFO" (
    "Name"       TEXT,
    "TransDate"  DATE,
    "Part"       TEXT,
    "Legal Fees" REAL,
    "CourtFees"  REAL,
    "Misc"       REAL,
    "Received"   REAL,
    "Balance"    REAL
);
CREATE INDEX "AC_INFO_name" ON "AC_INFO" ("Name" COLLATE NOCASE, "TransDate");

CREATE TABLE "tmpac_info" (
    "Name"       TEXT,
    "transdate"  DATE,
    "Part"       TEXT,
    "Legal Fees" REAL,
    "CourtFees"  REAL,
    "Misc"       REAL,
    "Received"   REAL,
    "Balance"    REAL,
    "Gr"         TEXT
);

CREATE TABLE "bill" (
    "BillNo"   INTEGER,
    "BillDate" DATE,
    "To"       TEXT,
    "Address"  TEXT,
    "Ref"      TEXT,
    "s1"       TEXT,
    "s2"       TEXT,
    "s3"       TEXT,
    "s4"       TEXT,
    "s5"       TEXT,
    "s6"       TEXT,
    "P1"       TEXT,
    "p2"       TEXT,
    "p3"       TEXT,
    "p4"       TEXT,
    "p5"       TEXT,
    "p6"       TEXT,
    "a1"       REAL,
    "a2"       REAL,
    "a3"       REAL,
    "a4"       REAL,
    "a5"       REAL,
    "a6"       REAL,
    "Total"    REAL,
    "STP"      REAL,
    "Stax"     REAL,
    "Rupees"   TEXT,
    "GTotal"   REAL
);

CREATE TABLE "Receipt" (
    "ReceiptNo"     INTEGER,
    "RDate"         DATE,
    "Name"          TEXT,
    "OnACCOUNT"     TEXT,
    "payment mode"  TEXT,
    "Cheque No"     TEXT,
    "Dated"         DATE,
    "Drawn On"      TEXT,
    "Rs in fig"     REAL,
    "Sum of Rupees" TEXT
);

CREATE TABLE "reminder" (
    "REMDate" DATE,
    "Time"    TIME,
    "Work"    TEXT
);
CREATE INDEX "reminder_date" ON "reminder" ("REMDate");

CREATE TABLE "CourtOrders" (
    "Section"   TEXT,
    "Citation"  TEXT,
    "Court"     TEXT,
    "CaseTitle" TEXT,
    "HeadNotes" TEXT
);

CREATE TABLE "directory" (
    "Name"       TEXT,
    "Address"    TEXT,
    "Enrolment"  TEXT,
    "Phno"       TEXT,
    "Mobile"     TEXT,
    "FAX"        TEXT,
    "Email"      TEXT,
    "BloodGroup" TEXT
);

CREATE TABLE "password1" (
    "pass_word" TEXT
);
-- The first password is "lexordo", kept as a salted PBKDF2-SHA-256 hash.
INSERT INTO "password1" ("pass_word") VALUES ('pbkdf2-sha256$600000$nR1IR+H1k9pKOfsVQn/hoQ==$5WJRX1QXtSm583ryAfl8SlNPYKEHZU9EXmcfscQZJy0=');
