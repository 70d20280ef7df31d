#include "dberror.h"
#include "dmdata.h"
#include "testutils.h"

#include <QDate>
#include <QFile>
#include <QTest>
#include <memory>

namespace {

const char* kUserUpdate = "update t_user set FAccount=:FAccount,FName=:FName,FPsw=:FPsw,"
                          "FIsAdmin=:FIsAdmin,FUse=:FUse where FInterID=:FInterID";
const char* kUserInsert = "insert into t_user (FInterID,FAccount,FName,FPsw,FIsAdmin,FUse) "
                          "values (:FInterID,:FAccount,:FName,:FPsw,:FIsAdmin,:FUse)";
const char* kUserDelete = "delete from t_user where FInterID=:FInterID";

// A dataset whose provider follows the update-handler convention.
struct Table
{
    ClientDataSet ds;
    DataSetProvider provider;

    Table(const QString& update, const QString& insert, const QString& remove)
    {
        ds.setProvider(&provider);
        provider.setUpdateStatements(update, insert, remove);
    }
};

std::unique_ptr<Table> userTable()
{
    return std::make_unique<Table>(kUserUpdate, kUserInsert, kUserDelete);
}

QByteArray bytes(int size, char seed)
{
    QByteArray b(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        b[i] = char(seed + i * 7);
    return b;
}

} // namespace

class TestDmData : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    std::unique_ptr<AnsweringPresenter> m_boxes;
    std::unique_ptr<TdmData> m_dm;

    int count(const QString& sql, const QVariantList& params = {})
    {
        return m_dm->GetScular(sql, params).toInt();
    }

private slots:
    void init()
    {
        m_boxes = std::make_unique<AnsweringPresenter>();
        m_dm = std::make_unique<TdmData>(freshDatabase(m_dir));
        QVERIFY(m_dm->isConnected());
        QVERIFY(m_boxes->shown.isEmpty());
    }
    void cleanup()
    {
        m_dm.reset();
        m_boxes.reset();
    }

    void readsTheDeliveredRows()
    {
        QCOMPARE(m_dm->FLanguageIndex, 1);
        QCOMPARE(m_dm->FLanguage, QString("FChinese"));
        for (const char* key : {"PatientID", "TreatingID", "ToothID"})
            QCOMPARE(m_dm->GetScular("select FMaxID from t_maxID where FKey=?", {key}).toInt(), 1);
        QCOMPARE(count("select count(*) from t_user where FIsAdmin=1"), 1);
        QCOMPARE(count("select count(*) from t_zoomImage where FInterID=1"), 1);
        for (int type : {1, 2, 3})
            QVERIFY(count("select count(*) from t_subMessage where FTypeID=?", {type}) > 0);
        QVERIFY(m_dm->GetScular("select FName_Eng from t_subMessage where FTypeID=1")
                    .toString()
                    .size() > 0);
    }

    void scalarOfNoRowIsNull()
    {
        QVERIFY(m_dm->GetScular("select FInterID from t_user where FInterID=-5").isNull());
    }

    void identifiersIgnoreCase()
    {
        QCOMPARE(m_dm->GetScular("select FMaxID from t_MaxID where FKey='ToothID'").toInt(), 1);
        QVERIFY(m_dm->ExcSQL("update T_ZOOMIMAGE set FVIDEOSIZEMODE=4 where FinterID=1"));
        QCOMPARE(m_dm->GetScular("select FVideoSizeMode from t_zoomImage where FInterID=1").toInt(),
                 4);
        ClientDataSet ds;
        DataSetProvider p;
        ds.setProvider(&p);
        m_dm->GetDataset(ds, "select * from t_zoomimage");
        // Columns come back in capitals and are found in any case.
        QCOMPARE(ds.field(0).name, QString("FINTERID"));
        QCOMPARE(ds.value("fInterId").toInt(), 1);
    }

    // The counter protocol of a composed write: read, insert, raise, commit.
    void counterGivesConsecutiveKeys()
    {
        QList<int> keys;
        for (int i = 0; i < 2; ++i) {
            m_dm->TransactionBegin();
            const int key =
                m_dm->GetScular("select FMaxID from t_maxID where FKey='PatientID'").toInt();
            m_dm->ExcSQL_NoInternalTrans("insert into t_patient (FInterID, FName) values (?, ?)",
                                         {key, QString("病人%1").arg(i)});
            m_dm->ExcSQL_NoInternalTrans(
                "update t_maxID set  FMaxID=FMaxID+1 where FKey='PatientID'");
            m_dm->TransactionCommit();
            keys << key;
        }
        QCOMPARE(keys, (QList<int>{1, 2}));
        QCOMPARE(m_dm->GetScular("select FMaxID from t_maxID where FKey='PatientID'").toInt(), 3);
    }

    void failedSaveLeavesCounterAndRows()
    {
        m_dm->ExcSQL("insert into t_patient (FInterID, FName) values (1, 'taken')");
        m_dm->TransactionBegin();
        const int key =
            m_dm->GetScular("select FMaxID from t_maxID where FKey='PatientID'").toInt();
        m_dm->ExcSQL_NoInternalTrans("update t_maxID set  FMaxID=FMaxID+1 where FKey='PatientID'");
        try {
            m_dm->ExcSQL_NoInternalTrans("insert into t_patient (FInterID, FName) values (?, ?)",
                                         {key, "twin"});
            QFAIL("a duplicate key must fail");
        } catch (const DbError& e) {
            QCOMPARE(e.sqlCode(), -803);
            m_dm->TransactionRollBack();
        }
        QCOMPARE(m_dm->GetScular("select FMaxID from t_maxID where FKey='PatientID'").toInt(), 1);
        QCOMPARE(count("select count(*) from t_patient"), 1);
        QVERIFY(!m_dm->inComposedWrite());
    }

    void maximumPlusOne_data()
    {
        QTest::addColumn<QList<int>>("existing");
        QTest::addColumn<int>("next");
        QTest::newRow("empty") << QList<int>{} << 1;
        QTest::newRow("gap") << QList<int>{1, 2, 7} << 8;
    }
    void maximumPlusOne()
    {
        QFETCH(QList<int>, existing);
        QFETCH(int, next);
        QVERIFY(m_dm->ExcSQL("delete from t_user"));
        for (int k : existing)
            QVERIFY(m_dm->ExcSQL("insert into t_user (FInterID, FName) values (?, 'u')", {k}));
        QCOMPARE(m_dm->GetScular("select case  when max(FInterID) is null then 1 else  "
                                 "max(FInterID)+1 end as FMaxInterID from t_user")
                     .toInt(),
                 next);
    }

    // A modification of one column writes the stored values of the others back and addresses
    // the row by its stored key.
    void modificationKeepsUntouchedColumns()
    {
        auto t = userTable();
        m_dm->GetDataset(t->ds, "select * from t_user where FInterID=1");
        t->ds.edit();
        t->ds.setValue("FPsw", "new'pass");
        t->ds.post();
        const QVector<DeltaRecord> d = t->ds.delta();
        QCOMPARE(d.size(), 1);
        QCOMPARE(d[0].kind, UpdateKind::Modify);
        for (int i = 0; i < d[0].fieldCount(); ++i) {
            const bool psw = d[0].field(i).name == "FPSW";
            QCOMPARE(d[0].isAssigned(i), psw);
            QCOMPARE(d[0].newValue(i).isNull(), !psw);
        }
        QVERIFY(m_dm->ApplyUpdateCDSToDB({&t->ds}));
        QCOMPARE(t->ds.changeCount(), 0);
        m_dm->GetDataset(t->ds, "select * from t_user where FInterID=1");
        QCOMPARE(t->ds.value("FPSW").toString(), QString("new'pass"));
        QCOMPARE(t->ds.value("FNAME").toString(), QString("Administrator"));
        QCOMPARE(t->ds.value("FACCOUNT").toString(), QString("admin"));
        QCOMPARE(t->ds.value("FISADMIN").toInt(), 1);
        QCOMPARE(t->ds.value("FUSE").toInt(), 1);
    }

    // Insert, modify and delete through one handler, in the order they were made.
    void insertModifyDeleteRoundTrip()
    {
        auto t = userTable();
        m_dm->GetDataset(t->ds, "select * from t_user order by FInterID");
        t->ds.append();
        t->ds.setValue("FINTERID", 2);
        t->ds.setValue("FNAME", "张医生");
        t->ds.setValue("FUSE", 1);
        t->ds.post();
        t->ds.append();
        t->ds.setValue("FINTERID", 3);
        t->ds.setValue("FNAME", "temp");
        t->ds.post();
        QVERIFY(m_dm->ApplyUpdateCDSToDB({&t->ds}));
        QCOMPARE(count("select count(*) from t_user"), 3);

        QVERIFY(t->ds.locate("FINTERID", 3));
        t->ds.deleteRecord();
        QVERIFY(t->ds.locate("FINTERID", 2));
        t->ds.edit();
        t->ds.setValue("FACCOUNT", "zhang");
        t->ds.post();
        QVERIFY(m_dm->ApplyUpdateCDSToDB({&t->ds}));
        QCOMPARE(count("select count(*) from t_user"), 2);
        QCOMPARE(m_dm->GetScular("select FName from t_user where FAccount='zhang'").toString(),
                 QString("张医生"));
    }

    // A modification that clears a column stores the cleared value.
    void clearedColumnIsWritten()
    {
        auto t = userTable();
        m_dm->GetDataset(t->ds, "select * from t_user where FInterID=1");
        t->ds.edit();
        t->ds.setValue("FACCOUNT", QVariant());
        t->ds.post();
        QVERIFY(m_dm->ApplyUpdateCDSToDB({&t->ds}));
        QVERIFY(m_dm->GetScular("select FAccount from t_user where FInterID=1").isNull());
    }

    void parametersAndColumnsMatchByName()
    {
        auto t = std::make_unique<Table>(
            // FMemo names no column of the dataset; FNAME of the dataset has no parameter.
            "update t_tooth set FMemo=:FMemo, FEffectDesc=:fEFFECTdesc where FInterID=:finterid",
            QString(), QString());
        m_dm->ExcSQL("insert into t_tooth (FInterID, FMemo, FEffectDesc) values (1, 'm', 'e')");
        m_dm->GetDataset(t->ds, "select FInterID, FEffectDesc, 'x' as FName from t_tooth");
        t->ds.edit();
        t->ds.setValue("FEFFECTDESC", "better");
        t->ds.post();
        QVERIFY(m_dm->ApplyUpdateCDSToDB({&t->ds}));
        QCOMPARE(m_dm->GetScular("select FEffectDesc from t_tooth").toString(), QString("better"));
        QVERIFY(m_dm->GetScular("select FMemo from t_tooth").isNull());
    }

    void blobsNewOrElseOld()
    {
        const QByteArray stored = bytes(1000, 3);
        QVERIFY(m_dm->ExcSQL("insert into t_tooth (FInterID, FBigImage, FSmallImage) "
                             "values (1, ?, NULL)",
                             {stored}));
        auto t = std::make_unique<Table>("update t_tooth set FBigImage=:FBigImage, "
                                         "FSmallImage=:FSmallImage, FMemo=:FMemo "
                                         "where FInterID=:FInterID",
                                         QString(), QString());
        m_dm->GetDataset(t->ds, "select * from t_tooth");
        t->ds.edit();
        t->ds.setValue("FMEMO", "only the memo");
        t->ds.post();
        QVERIFY(m_dm->ApplyUpdateCDSToDB({&t->ds}));
        QCOMPARE(m_dm->GetScular("select FBigImage from t_tooth").toByteArray(), stored);
        QVERIFY(m_dm->GetScular("select FSmallImage from t_tooth").isNull());
        QCOMPARE(m_dm->GetScular("select FMemo from t_tooth").toString(), QString("only the memo"));
    }

    // The self-contained apply stops at the first failing change, undoes the whole call, shows
    // one error, keeps every pending change, and a second apply writes them.
    void failingApplyKeepsPendingChanges()
    {
        QVERIFY(m_dm->ExcSQL("insert into t_user (FInterID, FName) values (5, 'blocker')"));
        auto t = userTable();
        m_dm->GetDataset(t->ds, "select * from t_user where FInterID=1");
        t->ds.edit();
        t->ds.setValue("FNAME", "renamed");
        t->ds.post();
        t->ds.append();
        t->ds.setValue("FINTERID", 5); // duplicate key
        t->ds.setValue("FNAME", "new");
        t->ds.post();
        QVERIFY(!m_dm->ApplyUpdateCDSToDB({&t->ds}));
        QCOMPARE(m_boxes->shown.size(), 1);
        QCOMPARE(m_boxes->shown[0].kind, MessageRequest::Error);
        QCOMPARE(t->ds.changeCount(), 2);
        QCOMPARE(m_dm->GetScular("select FName from t_user where FInterID=1").toString(),
                 QString("Administrator"));
        QCOMPARE(m_dm->GetScular("select FName from t_user where FInterID=5").toString(),
                 QString("blocker"));

        QVERIFY(m_dm->ExcSQL("delete from t_user where FInterID=5"));
        QVERIFY(m_dm->ApplyUpdateCDSToDB({&t->ds}));
        QCOMPARE(t->ds.changeCount(), 0);
        QCOMPARE(m_dm->GetScular("select FName from t_user where FInterID=1").toString(),
                 QString("renamed"));
        QCOMPARE(m_dm->GetScular("select FName from t_user where FInterID=5").toString(),
                 QString("new"));
    }

    // A modification-only provider drops insertions and deletions as applied.
    void droppedKindsAreReportedApplied()
    {
        auto t = std::make_unique<Table>(
            "update t_sys set FValue=:FValue where FCatalog=:FCatalog and FKey=:FKey", QString(),
            QString());
        m_dm->GetDataset(t->ds, "select * from t_sys");
        t->ds.append();
        t->ds.setValue("FCATALOG", "common");
        t->ds.setValue("FKEY", "other");
        t->ds.setValue("FVALUE", "x");
        t->ds.post();
        QVERIFY(m_dm->ApplyUpdateCDSToDB({&t->ds}));
        QCOMPARE(t->ds.changeCount(), 0);
        QCOMPARE(count("select count(*) from t_sys"), 1);
        QVERIFY(m_boxes->shown.isEmpty());
    }

    // A read made inside a composed write runs in it: the write before it stays.
    void readInsideComposedWriteKeepsTheWrite()
    {
        m_dm->TransactionBegin();
        m_dm->ExcSQL_NoInternalTrans("insert into t_user (FInterID, FName) values (9, 'first')");
        QCOMPARE(count("select count(*) from t_user where FInterID=9"), 1);
        ClientDataSet ds;
        DataSetProvider p;
        ds.setProvider(&p);
        m_dm->GetDataset(ds, "select * from t_user");
        m_dm->ExcSQL_NoInternalTrans("insert into t_user (FInterID, FName) values (10, 'second')");
        m_dm->TransactionCommit();
        QCOMPARE(count("select count(*) from t_user where FInterID in (9, 10)"), 2);
    }

    // Outside a composed write every read starts from a fresh transaction and so sees what
    // another connection committed meanwhile.
    void readOutsideStartsFresh()
    {
        QCOMPARE(count("select count(*) from t_user"), 1);
        QString out;
        QCOMPARE(runScript("isql",
                           {"-q", m_dm->databasePath(), "-i",
                            writeScript("insert into t_user (FInterID, FName) values (20, 'x');\n"
                                        "commit;\n")},
                           &out),
                 0);
        QCOMPARE(count("select count(*) from t_user"), 2);
    }

    void rolledBackComposedWriteKeepsChangesPending()
    {
        auto t = userTable();
        m_dm->GetDataset(t->ds, "select * from t_user");
        t->ds.edit();
        t->ds.setValue("FNAME", "pending");
        t->ds.post();
        m_dm->TransactionBegin();
        m_dm->ApplyUpdateCDSToDB_NoInternalTrans({&t->ds});
        m_dm->TransactionRollBack();
        QCOMPARE(t->ds.changeCount(), 1);
        QCOMPARE(m_dm->GetScular("select FName from t_user").toString(), QString("Administrator"));
        m_dm->TransactionBegin();
        m_dm->ApplyUpdateCDSToDB_NoInternalTrans({&t->ds});
        m_dm->TransactionCommit();
        QCOMPARE(t->ds.changeCount(), 0);
        QCOMPARE(m_dm->GetScular("select FName from t_user").toString(), QString("pending"));
    }

    void writesReportSuccess()
    {
        QVERIFY(m_dm->ExcSQL("update t_user set FName=? where FInterID=1", {"o'k"}));
        QVERIFY(m_boxes->shown.isEmpty());
        QVERIFY(!m_dm->ExcSQL("update t_nothing set x=1"));
        QCOMPARE(m_boxes->shown.size(), 1);
        QCOMPARE(m_boxes->shown[0].kind, MessageRequest::Error);
        QVERIFY(m_boxes->shown[0].text.contains("T_NOTHING", Qt::CaseInsensitive));
        // A write outside any transaction would be lost with the next read: refused.
        QVERIFY_THROWS_EXCEPTION(DbError, m_dm->ExcSQL_NoInternalTrans("delete from t_user"));
        QCOMPARE(count("select count(*) from t_user"), 1);
    }

    // Another connection committed a change to the counter row after this write began.
    void updateConflictIsExplainedAndLosesNothing()
    {
        auto t = std::make_unique<Table>("update t_maxID set FMaxID=:FMaxID where FKey=:FKey",
                                         QString(), QString());
        m_dm->GetDataset(t->ds, "select * from t_maxID where FKey='ToothID'");
        t->ds.edit();
        t->ds.setValue("FMAXID", 50);
        t->ds.post();

        TdmData other(m_dm->databasePath());
        other.TransactionBegin(); // its snapshot starts now
        QVERIFY(m_dm->ExcSQL("update t_maxID set FMaxID=FMaxID+1 where FKey='ToothID'"));
        QVERIFY_THROWS_EXCEPTION(DbError, other.ExcSQL_NoInternalTrans(
                                              "update t_maxID set FMaxID=7 where FKey='ToothID'"));
        other.TransactionRollBack();

        // A composed write raced by the other connection: rolled back, changes still pending.
        dmData = m_dm.get();
        m_dm->TransactionBegin();
        QVERIFY(other.ExcSQL("update t_maxID set FMaxID=FMaxID+1 where FKey='ToothID'"));
        try {
            m_dm->ApplyUpdateCDSToDB_NoInternalTrans({&t->ds});
            QFAIL("the conflict must be reported");
        } catch (const DbError& e) {
            QCOMPARE(e.sqlCode(), -913);
            m_dm->TransactionRollBack();
        }
        QCOMPARE(t->ds.changeCount(), 1);
        QCOMPARE(m_dm->GetScular("select FMaxID from t_maxID where FKey='ToothID'").toInt(), 3);
    }

    void conflictMessageNamesTheCause()
    {
        TdmData other(m_dm->databasePath());
        dmData = m_dm.get();
        auto t = std::make_unique<Table>("update t_maxID set FMaxID=:FMaxID where FKey=:FKey",
                                         QString(), QString());
        m_dm->GetDataset(t->ds, "select * from t_maxID where FKey='ToothID'");
        t->ds.edit();
        t->ds.setValue("FMAXID", 50);
        t->ds.post();
        // The rival commits after the apply's transaction began, before its statement runs.
        t->provider.setBeforeUpdateRecord(
            [&other](ClientDataSet& source, const DeltaRecord& d, UpdateKind, bool& applied) {
                other.ExcSQL("update t_maxID set FMaxID=FMaxID+1 where FKey='ToothID'");
                dmData->updateData(source, d, "update t_maxID set FMaxID=:FMaxID where FKey=:FKey");
                applied = true;
            });
        QVERIFY(!m_dm->ApplyUpdateCDSToDB({&t->ds}));
        QCOMPARE(m_boxes->shown.size(), 1);
        QVERIFY2(m_boxes->shown[0].text.contains("其他工作站"), qPrintable(m_boxes->shown[0].text));
        QCOMPARE(t->ds.changeCount(), 1);
    }

    void decimalsRoundTripExactly_data()
    {
        QTest::addColumn<QString>("dose");
        QTest::newRow("2.68") << "2.68";
        QTest::newRow("largest") << "92233720368547.75";
        QTest::newRow("negative") << "-0.05";
        QTest::newRow("whole") << "3.00";
    }
    void decimalsRoundTripExactly()
    {
        QFETCH(QString, dose);
        auto t = std::make_unique<Table>(
            "update t_medicine set FQty=:FQty where FInterID=:FInterID and FEntryID=:FEntryID "
            "and FPatientID=:FPatientID",
            "insert into t_medicine (FInterID,FEntryID,FSort,FQty,FPatientID) "
            "values (:FInterID,:FEntryID,:FSort,:FQty,:FPatientID)",
            QString());
        m_dm->GetDataset(t->ds, "select * from t_medicine where 0=1 and  FPatientID=1 ");
        QCOMPARE(t->ds.field(t->ds.fieldIndex("FQTY")).type, FieldType::Decimal);
        t->ds.append();
        for (const char* f : {"FINTERID", "FENTRYID", "FSORT", "FPATIENTID"})
            t->ds.setValue(f, 1);
        t->ds.setValue("FQTY", dose);
        t->ds.post();
        QVERIFY(m_dm->ApplyUpdateCDSToDB({&t->ds}));
        m_dm->GetDataset(t->ds, "select * from t_medicine");
        QCOMPARE(t->ds.value("FQTY").toString(), dose);

        // And through a modification, compared in a WHERE clause as well.
        t->ds.edit();
        t->ds.setValue("FQTY", "1.10");
        t->ds.post();
        QVERIFY(m_dm->ApplyUpdateCDSToDB({&t->ds}));
        QCOMPARE(m_dm->GetScular("select count(*) from t_medicine where FQty=?", {"1.10"}).toInt(),
                 1);
    }

    void chineseTextAndLargeBlobsRoundTrip()
    {
        const QString name = QStringLiteral("王小明（左上颌）“测试”");
        const QByteArray picture = bytes(5 * 1024 * 1024, 11);
        QVERIFY(m_dm->ExcSQL("insert into t_patient (FInterID, FName, FPicture) values (1, ?, ?)",
                             {name, picture}));
        ClientDataSet ds;
        DataSetProvider p;
        ds.setProvider(&p);
        m_dm->GetDataset(ds, "select * from t_patient where FName=?", {name});
        QCOMPARE(ds.recordCount(), 1);
        QCOMPARE(ds.value("FNAME").toString(), name);
        QCOMPARE(ds.value("FPICTURE").toByteArray(), picture);
    }

    // A dataset marked for it lists without its blobs and reads each by key on first use.
    void blobsOnDemand()
    {
        for (int k = 1; k <= 3; ++k) {
            QVERIFY(m_dm->ExcSQL(
                "insert into t_tooth (FInterID, FPatientID, FBigImage, "
                "FSmallImage, FMemo) values (?, 7, ?, ?, ?)",
                {k, bytes(2000 + k, char(k)), bytes(100, char(k)), QString("备注%1").arg(k)}));
        }
        auto t = std::make_unique<Table>("update t_tooth set FMemo=:FMemo, FBigImage=:FBigImage "
                                         "where FInterID=:FInterID",
                                         QString(), QString());
        t->provider.setBlobsOnDemand("t_tooth", "FInterID");
        m_dm->GetDataset(t->ds, "select * from t_tooth where FPatientID=? order by FInterID desc",
                         {7});
        QCOMPARE(t->ds.recordCount(), 3);
        QVERIFY(t->ds.field(t->ds.fieldIndex("FBIGIMAGE")).onDemand);
        QCOMPARE(t->ds.value(0, t->ds.fieldIndex("FINTERID")).toInt(), 3); // order kept
        QCOMPARE(t->ds.value("FMEMO").toString(), QString("备注3"));
        QCOMPARE(t->ds.value("FBIGIMAGE").toByteArray(), bytes(2003, 3));
        QCOMPARE(t->ds.value(2, t->ds.fieldIndex("FSMALLIMAGE")).toByteArray(), bytes(100, 1));

        // An untouched blob that was never read is written back with its stored bytes.
        t->ds.setRecNo(1);
        t->ds.edit();
        t->ds.setValue("FMEMO", "changed");
        t->ds.post();
        QVERIFY(m_dm->ApplyUpdateCDSToDB({&t->ds}));
        QCOMPARE(m_dm->GetScular("select FBigImage from t_tooth where FInterID=2").toByteArray(),
                 bytes(2002, 2));
    }

    void missingDatabaseIsReported()
    {
        m_dm.reset();
        AnsweringPresenter boxes;
        TdmData dm(m_dir.filePath("nowhere/protocal.dll"));
        QVERIFY(!dm.isConnected());
        QCOMPARE(dm.FLanguageIndex, 0);
        QCOMPARE(boxes.shown.size(), 1);
        QCOMPARE(boxes.shown[0].kind, MessageRequest::Exception);
        QVERIFY(boxes.shown[0].text.contains("nowhere/protocal.dll"));
        QVERIFY_THROWS_EXCEPTION(DbError, dm.GetScular("select 1 from rdb$database"));
        QVERIFY(!dm.ExcSQL("delete from t_user"));
    }

    void brokenDatabaseIsReported()
    {
        m_dm.reset();
        const QString path = m_dir.filePath("broken.fdb");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes(64 * 1024, 1));
        f.close();
        AnsweringPresenter boxes;
        TdmData dm(path);
        QVERIFY(!dm.isConnected());
        QCOMPARE(boxes.shown.size(), 1);
        QVERIFY(!boxes.shown[0].text.trimmed().isEmpty());
    }

    // Another process (isql) reads and writes the file while this connection holds it open.
    void twoProcessesShareTheFile()
    {
        QVERIFY(m_dm->ExcSQL("update t_user set FName=? where FInterID=1", {"from us"}));
        QString out;
        const int rc = runScript(
            "isql",
            {"-q", m_dm->databasePath(), "-i",
             writeScript("select FName from t_user where FInterID=1;\n"
                         "insert into t_user (FInterID, FName) values (30, 'from isql');\n"
                         "commit;\n")},
            &out);
        QVERIFY2(rc == 0, qPrintable(out));
        QVERIFY2(out.contains("from us"), qPrintable(out));
        QCOMPARE(m_dm->GetScular("select FName from t_user where FInterID=30").toString(),
                 QString("from isql"));
    }

private:
    QString writeScript(const QByteArray& sql)
    {
        static int n = 0;
        const QString path = m_dir.filePath(QString("script%1.sql").arg(++n));
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write("SET NAMES UTF8;\n" + sql);
        return path;
    }
};

QTEST_MAIN(TestDmData)
#include "tst_dmdata.moc"
