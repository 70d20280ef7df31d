-- Tables and fixed rows of the practice database.
-- Run by scripts/create-database after its CREATE DATABASE; never by the program.

CREATE TABLE t_patient (
    FInterID            INTEGER NOT NULL PRIMARY KEY,
    FName               VARCHAR(200),
    FSexID              INTEGER,
    FCard               VARCHAR(50),
    FBookID             VARCHAR(50),
    FHome_Tel           VARCHAR(50),
    FHome_Addr          VARCHAR(200),
    FIDCard             VARCHAR(50),
    FMobile             VARCHAR(50),
    FQQ                 VARCHAR(50),
    FEmail              VARCHAR(100),
    FHome_Postcode      VARCHAR(20),
    FCompany_Tel        VARCHAR(50),
    FCompany_Addr       VARCHAR(200),
    FCompany_postcode   VARCHAR(20),
    FJob                VARCHAR(100),
    FWebSite            VARCHAR(200),
    FNation             VARCHAR(50),
    FCountry            VARCHAR(50),
    FBloodType          INTEGER,
    FMemo               VARCHAR(4000),
    FCreateDate         DATE,
    FAge                INTEGER,
    FBirthday           DATE,
    FFirst_Treating_Date DATE,
    FFirst_Doctor       INTEGER,
    FNouse_Medicine     VARCHAR(1000),
    FPicture            BLOB SUB_TYPE BINARY,
    FFileExt            VARCHAR(10)
);

CREATE TABLE t_treating (
    FInterID     INTEGER NOT NULL PRIMARY KEY,
    FDescription VARCHAR(2000),
    FTreating    VARCHAR(5000),
    FEffectDesc  VARCHAR(1000),
    FDate        DATE,
    FPatientID   INTEGER,
    FDoctorID    INTEGER
);
CREATE INDEX ix_treating_patient ON t_treating (FPatientID);

CREATE TABLE t_medicine (
    FInterID   INTEGER NOT NULL,
    FEntryID   INTEGER NOT NULL,
    FSort      INTEGER,
    FMedicine  INTEGER,
    FUnitID    INTEGER,
    FQty       NUMERIC(18,2),
    FMemo      VARCHAR(500),
    FPatientID INTEGER NOT NULL,
    CONSTRAINT pk_medicine PRIMARY KEY (FInterID, FEntryID, FPatientID)
);
CREATE INDEX ix_medicine_patient ON t_medicine (FPatientID);

CREATE TABLE t_tooth (
    FInterID       INTEGER NOT NULL PRIMARY KEY,
    FPatientID     INTEGER,
    FPositionIndex INTEGER,
    FToothIndex    INTEGER,
    FDate          DATE,
    FBigImage      BLOB SUB_TYPE BINARY,
    FSmallImage    BLOB SUB_TYPE BINARY,
    FMemo          VARCHAR(2000),
    FEffectDesc    VARCHAR(1000),
    FFileExt       VARCHAR(10),
    FSmallFileExt  VARCHAR(10)
);
CREATE INDEX ix_tooth_patient ON t_tooth (FPatientID, FPositionIndex);

CREATE TABLE t_subMessage (
    FInterID  INTEGER NOT NULL PRIMARY KEY,
    FTypeID   INTEGER,
    FName     VARCHAR(200),
    FUse      SMALLINT,
    FName_Eng VARCHAR(200)
);
CREATE INDEX ix_submessage_type ON t_subMessage (FTypeID);

CREATE TABLE t_user (
    FInterID INTEGER NOT NULL PRIMARY KEY,
    FAccount VARCHAR(200),
    FName    VARCHAR(200),
    FPsw     VARCHAR(200),
    FIsAdmin SMALLINT,
    FUse     SMALLINT
);

CREATE TABLE t_sys (
    FCatalog VARCHAR(50) NOT NULL,
    FKey     VARCHAR(50) NOT NULL,
    FValue   VARCHAR(200),
    CONSTRAINT pk_sys PRIMARY KEY (FCatalog, FKey)
);

CREATE TABLE t_maxID (
    FKey   VARCHAR(50) NOT NULL PRIMARY KEY,
    FMaxID INTEGER
);

CREATE TABLE t_zoomImage (
    FInterID       INTEGER NOT NULL PRIMARY KEY,
    FViewMode      INTEGER,
    FStretch       SMALLINT,
    FZoom          INTEGER,
    FArea          INTEGER,
    FSliderPos     INTEGER,
    FDefault       INTEGER,
    FColor         INTEGER,
    FUseFrame      SMALLINT,
    FVIDEOSIZEMODE INTEGER
);

-- No key: a catalog may hold two rows for one control, and the last one applied wins.
CREATE TABLE t_ItemCaption (
    FCatalog VARCHAR(50),
    FBigkey  VARCHAR(50),
    FKey     VARCHAR(100),
    FChinese VARCHAR(400),
    FEnglish VARCHAR(400)
);
CREATE INDEX ix_itemcaption ON t_ItemCaption (FCatalog, FBigkey);

COMMIT;

-- Fixed rows.
INSERT INTO t_sys (FCatalog, FKey, FValue) VALUES ('common', 'language', '1');

INSERT INTO t_maxID (FKey, FMaxID) VALUES ('PatientID', 1);
INSERT INTO t_maxID (FKey, FMaxID) VALUES ('TreatingID', 1);
INSERT INTO t_maxID (FKey, FMaxID) VALUES ('ToothID', 1);

-- Layout 2 x 2, pictures fitted (full page), magnifier 2x over a 200-pixel square with a red border,
-- slider at 100 %, automatic thumbnail columns, video at 640 x 512.
INSERT INTO t_zoomImage (FInterID, FViewMode, FStretch, FZoom, FArea, FSliderPos, FDefault,
                         FColor, FUseFrame, FVIDEOSIZEMODE)
VALUES (1, 2, 1, 2, 200, 10, 6, 255, 1, 10);

INSERT INTO t_user (FInterID, FAccount, FName, FPsw, FIsAdmin, FUse)
VALUES (1, 'admin', 'Administrator', 'admin', 1, 1);

-- Dictionaries that no window maintains: 1 sex, 2 doctor, 3 blood type.
INSERT INTO t_subMessage (FInterID, FTypeID, FName, FUse, FName_Eng) VALUES (1, 1, '男', 1, 'Male');
INSERT INTO t_subMessage (FInterID, FTypeID, FName, FUse, FName_Eng) VALUES (2, 1, '女', 1, 'Female');
INSERT INTO t_subMessage (FInterID, FTypeID, FName, FUse, FName_Eng) VALUES (3, 2, '主治医生', 1, 'Attending dentist');
INSERT INTO t_subMessage (FInterID, FTypeID, FName, FUse, FName_Eng) VALUES (4, 3, 'A', 1, 'A');
INSERT INTO t_subMessage (FInterID, FTypeID, FName, FUse, FName_Eng) VALUES (5, 3, 'B', 1, 'B');
INSERT INTO t_subMessage (FInterID, FTypeID, FName, FUse, FName_Eng) VALUES (6, 3, 'AB', 1, 'AB');
INSERT INTO t_subMessage (FInterID, FTypeID, FName, FUse, FName_Eng) VALUES (7, 3, 'O', 1, 'O');

COMMIT;
