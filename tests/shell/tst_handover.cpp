#include "appstate.h"
#include "dmdata.h"
#include "formlookup.h"
#include "frameimage.h"
#include "imagecodec.h"
#include "mainwindow.h"
#include "seeonepatient.h"
#include "takepicture.h"
#include "testutils.h"
#include "windowregistry.h"

#include <QAction>
#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// Observation-room pictures handed to a new patient record, with the real windows.
class tst_HandOver : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_dm = std::make_unique<TdmData>(freshDatabase(m_dir));
        m_dm->GetLanguage();
        WindowRegistry& r = windowRegistry();
        r.createTakePicture = [](int id) -> QWidget* { return new TfrmTakePicture(id); };
        r.createSeeOnePatient = [](int id, const QString& selected) -> QWidget* {
            return new TfrmSeeOnePatient(id, selected);
        };
        QImage image(32, 24, QImage::Format_RGB888);
        image.fill(Qt::gray);
        const QByteArray jpeg = codec::encodeJpeg(image, 50);
        for (int key : {3, 7, 9})
            QVERIFY(m_dm->ExcSQL(QStringLiteral("insert into t_tooth (FInterID, FPatientID, "
                                                "FPositionIndex, FToothIndex, FMemo, FBigImage, "
                                                "FSmallImage, FFileExt, FSmallFileExt) values (?, "
                                                "0, 5, 11, 'memo', ?, ?, '.jpg', '.jpg')"),
                                 {key, jpeg, jpeg}));
    }
    void cleanup() { m_dm.reset(); }

    void markedPicturesGoToTheNewPatient_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }
    void markedPicturesGoToTheNewPatient()
    {
        QFETCH(bool, answer);
        AnsweringPresenter boxes;
        TfrmMain main;
        main.resize(1200, 800);
        main.show();
        auto* archive =
            qobject_cast<TfrmTakePicture*>(FindFormByClassName(QStringLiteral("TfrmTakePicture")));
        QVERIFY(archive);
        QTRY_COMPARE(int(archive->frames().size()), 3);
        for (TFrameImage* f : archive->frames())
            if (f->FImageInterID == 3 || f->FImageInterID == 7)
                f->SetFrameSelected(true);

        boxes.answers << (answer ? QMessageBox::Yes : QMessageBox::No);
        main.findChild<QAction*>(QStringLiteral("pmiAddPatient"))->trigger();
        QCOMPARE(boxes.texts(),
                 QStringList{QStringLiteral("是否将病情观察室中选定的影像与新增的病历关联？")});
        auto* record = qobject_cast<TfrmSeeOnePatient*>(
            FindFormByClassName(QStringLiteral("TfrmSeeOnePatient")));
        if (!answer) {
            QVERIFY(!record);
            QCOMPARE(count(QStringLiteral("select count(*) from t_tooth where FPatientID=0")), 3);
            return;
        }
        QVERIFY(record);
        QStringList keys = record->FStrArraySelectedImageIndex.split(QLatin1Char(','));
        keys.sort();
        QCOMPARE(keys, (QStringList{QStringLiteral("3"), QStringLiteral("7")}));
        QInputMethodEvent name;
        name.setCommitString(QStringLiteral("新病人"));
        QApplication::sendEvent(record->findChild<QLineEdit*>(QStringLiteral("edtName")), &name);
        record->findChild<QPushButton*>(QStringLiteral("btnSave"))->click();
        QCOMPARE(CurrentPatientID, 1);
        QCOMPARE(count(QStringLiteral("select count(*) from t_tooth where FPatientID=1 and "
                                      "FToothIndex=11 and FMemo='memo'")),
                 2);
        QCOMPARE(count(QStringLiteral("select FInterID from t_tooth where FPatientID=0")), 9);
    }

private:
    int count(const QString& sql) { return m_dm->GetScular(sql).toInt(); }

    QTemporaryDir m_dir;
    std::unique_ptr<TdmData> m_dm;
};

QTEST_MAIN(tst_HandOver)
#include "tst_handover.moc"
