#include "dberror.h"
#include "dmdata.h"
#include "testutils.h"

#include <QTest>

class TestDmData : public QObject
{
    Q_OBJECT
private slots:
    void smoke()
    {
        QTemporaryDir dir;
        AnsweringPresenter boxes;
        TdmData dm(freshDatabase(dir));
        QVERIFY(dm.isConnected());
        QCOMPARE(dm.FLanguageIndex, 1);
        QCOMPARE(dm.GetScular("select FMaxID from t_maxID where FKey='ToothID'").toInt(), 1);
        ClientDataSet ds;
        DataSetProvider p;
        ds.setProvider(&p);
        dm.GetDataset(ds, "select * from t_subMessage order by FInterID");
        QCOMPARE(ds.recordCount(), 7);
        QCOMPARE(ds.value("FName").toString(), QString("男"));
        QVERIFY(boxes.shown.isEmpty());
    }
};

QTEST_MAIN(TestDmData)
#include "tst_dmdata.moc"
