#include "clientdataset.h"
#include "dberror.h"

#include <QSignalSpy>
#include <QTest>

namespace {

FieldDef field(const char* name, FieldType type, bool required = false)
{
    FieldDef f;
    f.name = QString::fromLatin1(name);
    f.type = type;
    f.required = required;
    return f;
}

// Three prescription lines of two treatments.
ResultTable lines()
{
    ResultTable t;
    t.fields = {field("FINTERID", FieldType::Integer, true), field("FENTRYID", FieldType::Integer),
                field("FMEDICINE", FieldType::Integer), field("FQTY", FieldType::Decimal),
                field("FMEMO", FieldType::String)};
    t.fields[3].scale = 2;
    t.rows = {{1, 1, 10, "2.50", "a"}, {1, 2, 11, "1.00", "b"}, {2, 1, 10, "3.00", "c"}};
    return t;
}

ResultTable medicines()
{
    ResultTable t;
    t.fields = {field("FINTERID", FieldType::Integer), field("FNAME", FieldType::String)};
    t.rows = {{10, "阿莫西林"}, {11, "甲硝唑"}};
    return t;
}

QList<UpdateKind> kinds(const QVector<DeltaRecord>& d)
{
    QList<UpdateKind> k;
    for (const DeltaRecord& r : d)
        k << r.kind;
    return k;
}

} // namespace

class TestClientDataSet : public QObject
{
    Q_OBJECT
private slots:
    void cursorWalksTheRows()
    {
        ClientDataSet ds;
        ds.openWith(lines());
        QCOMPARE(ds.recordCount(), 3);
        QCOMPARE(ds.recNo(), 0);
        QVERIFY(!ds.eof());
        QStringList memos;
        for (ds.first(); !ds.eof(); ds.next())
            memos << ds.value("fmemo").toString();
        QCOMPARE(memos, (QStringList{"a", "b", "c"}));
        QVERIFY(ds.locate("FMEMO", "b"));
        QCOMPARE(ds.recNo(), 1);
        QVERIFY(!ds.locate("FMEMO", "zz"));
        QVERIFY_THROWS_EXCEPTION(DbError, ds.value("NOSUCH"));

        ClientDataSet empty;
        ResultTable t = lines();
        t.rows.clear();
        empty.openWith(t);
        QVERIFY(empty.isEmpty());
        QVERIFY(empty.eof() && empty.bof());
        QCOMPARE(empty.recNo(), -1);
    }

    // The change log: kind, old values, and new values only for the columns that changed.
    void changeLogRecordsEachKind()
    {
        ClientDataSet ds;
        ds.openWith(lines());
        ds.setRecNo(1);
        ds.edit();
        ds.setValue("FMEMO", "changed");
        ds.post();
        ds.setRecNo(2);
        ds.deleteRecord();
        ds.append();
        ds.setValue("FINTERID", 1);
        ds.setValue("FENTRYID", 3);
        ds.post();

        const QVector<DeltaRecord> d = ds.delta();
        QCOMPARE(kinds(d),
                 (QList<UpdateKind>{UpdateKind::Modify, UpdateKind::Delete, UpdateKind::Insert}));
        QCOMPARE(d[0].oldValue("FMEMO").toString(), QString("b"));
        QCOMPARE(d[0].newValue("FMEMO").toString(), QString("changed"));
        QVERIFY(d[0].newValue("FQTY").isNull());
        QCOMPARE(d[0].oldValue("FQTY").toString(), QString("1.00"));
        QCOMPARE(d[1].oldValue("FMEMO").toString(), QString("c"));
        QVERIFY(d[1].newValue("FMEMO").isNull());
        QCOMPARE(d[2].newValue("FENTRYID").toInt(), 3);
        QVERIFY(d[2].oldValue("FENTRYID").isNull());
        QCOMPARE(ds.changeCount(), 3);

        ds.mergeChangeLog();
        QCOMPARE(ds.changeCount(), 0);
        QCOMPARE(ds.recordCount(), 3);
    }

    // Changes that cancel out leave nothing to apply.
    void changesThatUndoThemselves()
    {
        ClientDataSet ds;
        ds.openWith(lines());
        ds.edit();
        ds.setValue("FMEMO", "x");
        ds.setValue("FMEMO", "a");
        ds.post();
        QCOMPARE(ds.changeCount(), 0);

        ds.append();
        ds.setValue("FINTERID", 5);
        ds.post();
        ds.deleteRecord();
        QCOMPARE(ds.changeCount(), 0);

        ds.first();
        ds.edit();
        ds.setValue("FMEMO", "edited");
        ds.cancel();
        QCOMPARE(ds.value("FMEMO").toString(), QString("a"));
        QCOMPARE(ds.state(), ClientDataSet::State::Browse);

        ds.append();
        ds.cancel();
        QCOMPARE(ds.recordCount(), 3);
    }

    void cancelUpdatesRestoresStoredRows()
    {
        ClientDataSet ds;
        ds.openWith(lines());
        ds.setRecNo(1);
        ds.deleteRecord();
        ds.first();
        ds.edit();
        ds.setValue("FMEMO", "x");
        ds.post();
        ds.append();
        ds.setValue("FINTERID", 9);
        ds.post();
        ds.cancelUpdates();
        QCOMPARE(ds.changeCount(), 0);
        QStringList memos;
        for (int r = 0; r < ds.recordCount(); ++r)
            memos << ds.value(r, ds.fieldIndex("FMEMO")).toString();
        QCOMPARE(memos, (QStringList{"a", "b", "c"}));
    }

    void requiredFieldsAndStates()
    {
        ClientDataSet ds;
        ds.openWith(lines());
        QVERIFY_THROWS_EXCEPTION(DbError, ds.setValue("FMEMO", "not editing"));
        ds.append();
        ds.setValue("FMEMO", "no key");
        QVERIFY_THROWS_EXCEPTION(DbError, ds.post());
        QCOMPARE(ds.state(), ClientDataSet::State::Insert);
        ds.setValue("FINTERID", "7");
        ds.post();
        QCOMPARE(ds.value("FINTERID"), QVariant(7));
        QVERIFY_THROWS_EXCEPTION(DbError, ds.edit(), ds.setValue("FINTERID", "seven"));
    }

    // Leaving a row that is being edited stores the edit.
    void scrollingPostsTheEdit()
    {
        ClientDataSet ds;
        ds.openWith(lines());
        ds.edit();
        ds.setValue("FMEMO", "kept");
        ds.next();
        QCOMPARE(ds.state(), ClientDataSet::State::Browse);
        QCOMPARE(ds.value(0, ds.fieldIndex("FMEMO")).toString(), QString("kept"));
        QCOMPARE(ds.changeCount(), 1);
    }

    // "Restrict to FInterID=n": the treatment's lines only; new lines stay visible while typed.
    void filterRestrictsRows()
    {
        ClientDataSet ds;
        ds.openWith(lines());
        QSignalSpy resets(&ds, &ClientDataSet::reset);
        ds.setFilter("FINTERID", 1);
        QCOMPARE(resets.count(), 1);
        QCOMPARE(ds.recordCount(), 2);
        ds.append();
        QCOMPARE(ds.recordCount(), 3);
        ds.setValue("FINTERID", 1);
        ds.setValue("FENTRYID", 3);
        ds.post();
        QCOMPARE(ds.recordCount(), 3);
        ds.append();
        ds.setValue("FINTERID", 2);
        ds.post();
        QCOMPARE(ds.recordCount(), 3); // filed under another treatment
        ds.setFilter("FINTERID", 2);
        QCOMPARE(ds.recordCount(), 2);
        ds.clearFilter();
        QCOMPARE(ds.recordCount(), 5);
    }

    void lookupShowsNameOfKey()
    {
        ClientDataSet names;
        names.openWith(medicines());
        ClientDataSet ds;
        ds.addLookupField("MedicineName", "FMEDICINE", &names, "FINTERID", "FNAME");
        ds.openWith(lines());
        QCOMPARE(ds.value("MedicineName").toString(), QString("阿莫西林"));
        ds.edit();
        ds.setValue("FMEDICINE", 11);
        QCOMPARE(ds.value("MEDICINENAME").toString(), QString("甲硝唑"));
        ds.setValue("FMEDICINE", 99);
        QVERIFY(ds.value("MedicineName").isNull());
        QVERIFY_THROWS_EXCEPTION(DbError, ds.setValue("MedicineName", "x"));
        ds.post();
        // A lookup column is never part of a change.
        QCOMPARE(ds.delta().first().fieldIndex("MedicineName"), -1);
    }

    void signalsFollowEdits()
    {
        ClientDataSet ds;
        ds.openWith(lines());
        QSignalSpy changed(&ds, &ClientDataSet::rowChanged);
        QSignalSpy inserted(&ds, &ClientDataSet::rowInserted);
        QSignalSpy removed(&ds, &ClientDataSet::rowRemoved);
        QSignalSpy current(&ds, &ClientDataSet::currentChanged);
        ds.edit();
        ds.setValue("FMEMO", "x");
        QCOMPARE(changed.count(), 1);
        ds.post();
        ds.append();
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(inserted.first().first().toInt(), 3);
        ds.cancel();
        QCOMPARE(removed.count(), 1);
        ds.deleteRecord();
        QCOMPARE(removed.count(), 2);
        QVERIFY(current.count() >= 2);
    }

    // Without a handler that applies it, a change fails and stays pending.
    void applyNeedsAHandler()
    {
        ClientDataSet ds;
        DataSetProvider provider;
        ds.setProvider(&provider);
        ds.openWith(lines());
        ds.deleteRecord();
        QVERIFY_THROWS_EXCEPTION(DbError, ds.applyUpdates(0));
        provider.setBeforeUpdateRecord(
            [](ClientDataSet&, const DeltaRecord&, UpdateKind, bool& applied) { applied = false; });
        QVERIFY_THROWS_EXCEPTION(DbError, ds.applyUpdates(0));
        QCOMPARE(ds.changeCount(), 1);
        int calls = 0;
        provider.setBeforeUpdateRecord(
            [&calls](ClientDataSet&, const DeltaRecord&, UpdateKind, bool& applied) {
                ++calls;
                applied = true;
            });
        QCOMPARE(ds.applyUpdates(0), 0);
        QCOMPARE(calls, 1);
    }
};

QTEST_MAIN(TestClientDataSet)
#include "tst_clientdataset.moc"
