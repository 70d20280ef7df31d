#include "appstate.h"
#include "clientdataset.h"
#include "dmdata.h"
#include "frameimage.h"
#include "imagecodec.h"
#include "picturerecords.h"
#include "takepicture.h"
#include "testutils.h"
#include "thumbnail.h"
#include "windowmessages.h"
#include "windowregistry.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QTest>
#include <QToolButton>
#include <memory>

namespace {

class NoDialogs : public PictureDialogs
{
public:
    QString openPictureFile(const QString&) override { return {}; }
    QString savePictureFile(const QString&) override { return file; }
    bool editMemo(ClientDataSet&, QString& memo) override
    {
        memo = QStringLiteral("memo");
        return true;
    }
    QString file;
};

} // namespace

class TestTakePicture : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    std::unique_ptr<AnsweringPresenter> m_boxes;
    std::unique_ptr<TdmData> m_dm;
    NoDialogs m_dialogs;
    QList<QList<int>> m_compared;

    // Stores count pictures of a patient; returns their keys (oldest first).
    QList<int> store(int patient, int count, int tooth = 0, const QDate& date = {})
    {
        PictureDataSet pictures;
        PictureRecords records(pictures.images, m_dialogs);
        QList<int> keys;
        for (int i = 0; i < count; ++i) {
            QImage img(64, 48, QImage::Format_RGB888);
            img.fill(QColor(20 * i, 100, 200));
            const int key = records.storeNewPicture(patient, codec::encodeJpeg(img, 90), ".jpg",
                                                    MakeThumbnail(img));
            if (tooth)
                PictureRecords::SetImageTooth(key, tooth);
            if (date.isValid())
                m_dm->ExcSQL("update t_tooth set FDate=? where FInterID=?",
                             {date.addDays(-i), key});
            keys << key;
        }
        return keys;
    }
    std::unique_ptr<TfrmTakePicture> open(int patient)
    {
        auto w = std::make_unique<TfrmTakePicture>(patient, nullptr, &m_dialogs);
        w->resize(1280, 760);
        w->show();
        return w;
    }
    static QList<int> shown(const TfrmTakePicture& w) { return w.shownKeys(); }
    static QStringList markedTeeth(const TfrmTakePicture& w)
    {
        QStringList marked;
        for (int q = 1; q <= 4; ++q)
            for (int n = 1; n <= 8; ++n)
                if (w.toothPanel(q * 10 + n)->marked())
                    marked << QString::number(q * 10 + n);
        return marked;
    }
    static ChartPanel* panel(TfrmTakePicture& w, const char* name)
    {
        return w.findChild<ChartPanel*>(QString::fromLatin1(name));
    }

private slots:
    void init()
    {
        m_boxes = std::make_unique<AnsweringPresenter>();
        m_dm = std::make_unique<TdmData>(freshDatabase(m_dir));
        m_dm->ExcSQL("insert into t_patient (FInterID, FName) values (1, ?)", {"王五"});
        m_compared.clear();
        windowRegistry().runCompare = [this](const QList<int>& keys) { m_compared << keys; };
    }
    void cleanup()
    {
        windowRegistry().runCompare = nullptr;
        m_dm.reset();
        m_boxes.reset();
    }

    void patientWithoutPictures()
    {
        auto w = open(1);
        QVERIFY(w->frames().empty());
        QVERIFY(markedTeeth(*w).isEmpty());
        QCOMPARE(CurrentPatientID, 1);
        QCOMPARE(w->findChild<QLabel*>("lblName")->text(), QStringLiteral("王五"));
        QCOMPARE(w->findChild<QLabel*>("lblUserName")->text(), QStringLiteral("姓名："));
        QVERIFY(m_boxes->shown.isEmpty());
    }

    void observationRoom()
    {
        store(0, 2);
        auto w = open(0);
        QCOMPARE(w->frames().size(), size_t(2));
        QVERIFY(w->findChild<QLabel*>("lblUserName")->text().isEmpty());
        QCOMPARE(w->findChild<QLabel*>("lblName")->text(), QStringLiteral("病情观察室"));
        // Marks are read, not changed, by the hand-over query.
        w->frames()[1]->SetFrameSelected(true);
        bool mode = false;
        QString list;
        w->GetSelectedImages_ObservationRoom(mode, list);
        QVERIFY(mode);
        QCOMPARE(list, QString::number(w->frames()[1]->FImageInterID));
        QVERIFY(w->frames()[1]->FrameSelected());
    }

    // Newest first; every thumbnail carries its key.
    void listsAllPicturesNewestFirst()
    {
        const QList<int> keys = store(1, 3);
        store(2, 1);
        auto w = open(1);
        QCOMPARE(shown(*w), (QList<int>{keys[2], keys[1], keys[0]}));
    }

    void automaticLayout_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("columns");
        QTest::addColumn<bool>("overhang");
        QTest::newRow("861") << 861 << 4 << false;
        QTest::newRow("950") << 950 << 5 << true;
    }
    void automaticLayout()
    {
        QFETCH(int, width);
        QFETCH(int, columns);
        QFETCH(bool, overhang);
        store(1, 7);
        auto w = open(1);
        auto* area = w->findChild<QScrollArea*>("ScrollBoxImage");
        area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        area->setFixedWidth(width + 2 * area->frameWidth());
        QTRY_COMPARE(area->viewport()->width(), width);
        w->ArrangeThumbnails(7);
        QSet<int> xs;
        for (TFrameImage* f : w->frames())
            xs << f->x();
        QCOMPARE(xs.size(), columns);
        QTRY_COMPARE(area->horizontalScrollBar()->maximum() > 0, overhang);
    }

    // Frames are built for the pictures in view; the rest come when scrolled to.
    void framesBuiltWhenInView()
    {
        const QList<int> keys = store(1, 60);
        m_dm->ExcSQL("update t_tooth set FSmallImage=? where FInterID=?",
                     {QByteArray("not a picture"), keys[10]});
        auto w = open(1);
        QCOMPARE(w->shownKeys().size(), 59); // the broken thumbnail is left out
        QVERIFY(!w->shownKeys().contains(keys[10]));
        QVERIFY(w->frames().size() < size_t(59));
        auto* bar = w->findChild<QScrollArea*>("ScrollBoxImage")->verticalScrollBar();
        bar->setValue(bar->maximum());
        QCOMPARE(w->frames().back()->FImageInterID, keys.first()); // the oldest, listed last
        m_boxes->answers = {QMessageBox::Yes};
        QTest::mouseClick(w->findChild<QPushButton*>("btnDeleteAll"), Qt::LeftButton);
        QCOMPARE(m_dm->GetScular("select count(*) from t_tooth").toInt(), 1);
    }

    void columnSettingWrittenOnClose()
    {
        store(1, 3);
        auto w = open(1);
        auto* combo = w->findChild<QComboBox*>("RzDBComboBox1");
        QCOMPARE(combo->currentIndex(), 6); // delivered: automatic
        combo->setCurrentIndex(1);
        emit combo->activated(1);
        QSet<int> xs;
        for (TFrameImage* f : w->frames())
            xs << f->x();
        QCOMPARE(xs.size(), 2);
        QCOMPARE(m_dm->GetScular("select FDefault from t_zoomImage").toInt(), 6);
        w->close();
        QCOMPARE(m_dm->GetScular("select FDefault from t_zoomImage").toInt(), 1);
    }

    // A right click with nothing selected asks nothing and lists the tooth.
    void rightClickWithoutSelection()
    {
        const QList<int> on16 = store(1, 2, 16);
        store(1, 1, 36);
        auto w = open(1);
        QCOMPARE(markedTeeth(*w), (QStringList{"16", "36"}));
        w->chartPanelPressed(w->toothPanel(16), Qt::RightButton);
        QVERIFY(m_boxes->shown.isEmpty());
        QCOMPARE(shown(*w), (QList<int>{on16[1], on16[0]}));
        QVERIFY(w->toothPanel(16)->isCurrent());
        QCOMPARE(markedTeeth(*w), (QStringList{"16", "36"}));
    }

    // Three selected pictures filed under tooth 36 after the question.
    void rightClickFilesSelection()
    {
        store(1, 4);
        auto w = open(1);
        QList<int> chosen;
        for (int i = 0; i < 3; ++i) {
            QTest::mouseClick(w->frames()[i]->findChild<QLabel*>("RzLlbMemo"), Qt::LeftButton);
            chosen << w->frames()[i]->FImageInterID;
        }
        QCOMPARE(w->selectedKeys(), chosen);
        m_boxes->answers = {QMessageBox::Yes};
        w->chartPanelPressed(w->toothPanel(36), Qt::RightButton);
        QCOMPARE(m_boxes->shown.size(), 1);
        QCOMPARE(m_boxes->shown[0].text,
                 QStringLiteral("确定所选择的 3 个图像属于：第 36 颗牙齿吗？"));
        QCOMPARE(m_dm->GetScular("select count(*) from t_tooth where FPositionIndex=3 and "
                                 "FToothIndex=36")
                     .toInt(),
                 3);
        QCOMPARE(w->frames().size(), size_t(3)); // lists tooth 36 now
        QCOMPARE(markedTeeth(*w), QStringList{"36"});
    }

    void mirroring()
    {
        const QList<int> on28 = store(1, 1, 28);
        store(1, 1, 16);
        store(1, 1, 22); // quadrant 2
        store(1, 1, 33); // quadrant 3
        auto w = open(1);
        auto* upperLeftmost = w->findChild<ChartPanel*>("RzPanelChangeColor18");
        const QString before16 = w->toothPanel(16)->objectName();
        w->findChild<QRadioButton*>("rbSameDirection")->click();
        QCOMPARE(w->FToothPanelPosIndex, 1);
        QCOMPARE(upperLeftmost->number(), 28);
        w->chartPanelPressed(upperLeftmost, Qt::LeftButton);
        QCOMPARE(shown(*w), on28);
        // The mark on 16 moved with the tooth to another place.
        QVERIFY(w->toothPanel(16)->marked());
        QVERIFY(w->toothPanel(16)->objectName() != before16);
        QCOMPARE(panel(*w, "pnlRight_U")->caption(), QStringLiteral("左上"));
        QCOMPARE(panel(*w, "pnlRight_D")->caption(), QStringLiteral("左下"));
        w->chartPanelPressed(panel(*w, "pnlRight_U"), Qt::LeftButton);
        QCOMPARE(w->frames().size(), size_t(2)); // quadrant 2: teeth 28 and 22
        w->chartPanelPressed(panel(*w, "pnlRight_D"), Qt::LeftButton);
        QCOMPARE(w->frames().size(), size_t(1)); // quadrant 3: tooth 33

        // Twice restores the chart, marks included.
        w->findChild<QRadioButton*>("rbFaceToFace")->click();
        QCOMPARE(upperLeftmost->number(), 18);
        QCOMPARE(w->toothPanel(16)->objectName(), before16);
        QVERIFY(w->toothPanel(16)->marked());
        QCOMPARE(panel(*w, "pnlRight_U")->caption(), QStringLiteral("右上"));
        QCOMPARE(panel(*w, "pnlRight_U")->code(), 1);
    }

    // A language change keeps the quadrant captions true to a mirrored chart.
    void languageChangeKeepsMirroredCaptions()
    {
        auto w = open(1);
        w->findChild<QRadioButton*>("rbSameDirection")->click();
        m_dm->ExcSQL("update t_sys set FValue='2' where FKey='language'");
        m_dm->GetLanguage();
        SendMessage(w.get(), WM_LANGUAGE_CHANGED);
        QCOMPARE(panel(*w, "pnlRight_U")->caption(), QStringLiteral("Upper Left"));
        QCOMPARE(panel(*w, "pnlRight_U")->code(), 2);
        QCOMPARE(w->findChild<QToolButton*>("btnCompare")->text(), QStringLiteral("Compare"));
        QCOMPARE(w->findChild<QComboBox*>("RzDBComboBox1")->itemText(6),
                 QStringLiteral("Automatic layout"));
    }

    void imagesChangedShowsUnassigned()
    {
        store(1, 1, 16);
        const QList<int> loose = store(1, 2);
        auto w = open(1);
        QCOMPARE(w->frames().size(), size_t(3));
        PostMessage(w.get(), WM_IMAGES_CHANGED, loose.last());
        QTRY_COMPARE(shown(*w), (QList<int>{loose[1], loose[0]}));
    }

    void compareLimits()
    {
        store(1, 7);
        auto w = open(1);
        for (TFrameImage* f : w->frames())
            f->SetFrameSelected(true);
        QTest::mouseClick(w->findChild<QToolButton*>("btnCompare"), Qt::LeftButton);
        QCOMPARE(m_boxes->shown.size(), 1);
        QCOMPARE(m_boxes->shown[0].text, QStringLiteral("选择用于对比的影像不能超过 6 个 ！"));
        QVERIFY(m_compared.isEmpty());

        QTest::mouseClick(w->findChild<QToolButton*>("btnUnSelectImages"), Qt::LeftButton);
        QVERIFY(w->selectedKeys().isEmpty());
        QTest::mouseClick(w->findChild<QToolButton*>("btnCompare"), Qt::LeftButton);
        QCOMPARE(m_boxes->shown.last().text, QStringLiteral("请至少选择一个影像..."));

        // A double click on one picture compares just that one.
        TFrameImage* third = w->frames()[2];
        QTest::mouseDClick(third->source()->viewport(), Qt::LeftButton);
        QCOMPARE(m_compared, (QList<QList<int>>{{third->FImageInterID}}));
    }

    // After an export the pictures are listed by date.
    void orderByDateAfterExport()
    {
        const QList<int> keys = store(1, 3, 0, QDate(2026, 1, 10)); // dates descending by key
        auto w = open(1);
        QCOMPARE(shown(*w), (QList<int>{keys[2], keys[1], keys[0]}));
        w->frames()[0]->SetFrameSelected(true);
        m_dialogs.file = m_dir.filePath("out");
        QTest::mouseClick(w->findChild<QPushButton*>("btnExportOne"), Qt::LeftButton);
        w->ShowThisPatientImages(1, 0);
        QCOMPARE(shown(*w), (QList<int>{keys[2], keys[1], keys[0]}));
        store(1, 1, 0, QDate(2026, 1, 20));
        w->ShowThisPatientImages(1, 0);
        QCOMPARE(shown(*w).last(), keys[2] + 1); // the newest date comes last
    }

    void deleteRefreshesMarks()
    {
        const QList<int> keys = store(1, 2, 16);
        auto w = open(1);
        for (TFrameImage* f : w->frames())
            f->SetFrameSelected(true);
        m_boxes->answers = {QMessageBox::Yes};
        QTest::mouseClick(w->findChild<QPushButton*>("btnDeleteOne"), Qt::LeftButton);
        QVERIFY(w->frames().empty());
        QVERIFY(markedTeeth(*w).isEmpty());
        Q_UNUSED(keys);
    }

    void captureNeedsAPatient()
    {
        auto w = open(1);
        QList<int> captured;
        windowRegistry().runCapture = [&captured](QWidget*, int patient) { captured << patient; };
        CurrentPatientID = -1;
        QTest::mouseClick(w->findChild<QPushButton*>("btnTakePicture"), Qt::LeftButton);
        QCOMPARE(m_boxes->shown.size(), 1);
        QCOMPARE(m_boxes->shown[0].text, QStringLiteral("请先选择一份病历 ！"));
        CurrentPatientID = 0;
        QTest::mouseClick(w->findChild<QPushButton*>("btnTakePicture"), Qt::LeftButton);
        QCOMPARE(captured, QList<int>{0});
        windowRegistry().runCapture = nullptr;
    }
};

QTEST_MAIN(TestTakePicture)
#include "tst_takepicture.moc"
