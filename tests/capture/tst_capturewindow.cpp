#include "appstate.h"
#include "cappicturestill.h"
#include "dmdata.h"
#include "fakehandpiece.h"
#include "imagecodec.h"
#include "takepicture.h"
#include "testpatterncamera.h"
#include "testutils.h"
#include "videopipeline.h"
#include "videowindow.h"
#include "windowmessages.h"
#include "windowregistry.h"

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QtEndian>
#include <memory>

namespace {

// What the test controls of the hand-piece and what it saw.
struct HandpieceState
{
    int init = 1;
    int reading = 0xFF;
    QString reason;
    int reads = 0;
    int closes = 0;
    int videoStarts = 0;
};

class ScriptedHandpiece : public Equipment
{
public:
    explicit ScriptedHandpiece(HandpieceState& state) : m_state(state) {}
    int InitEquipment() override { return m_state.init; }
    int ReadFromEquipment(int address) override
    {
        ++m_state.reads;
        return address == 133 ? m_state.reading : 0xFF;
    }
    int CloseEquipment() override
    {
        ++m_state.closes;
        return 0;
    }
    void videoStarted() override { ++m_state.videoStarts; }
    QString failureReason(int) const override { return m_state.reason; }

private:
    HandpieceState& m_state;
};

// Stands for the archive: keeps the image notices it receives.
class NoticeReceiver : public QWidget
{
public:
    QList<long long> keys;

protected:
    bool event(QEvent* e) override
    {
        if (int(e->type()) == WM_IMAGES_CHANGED) {
            keys << static_cast<MessageEvent*>(e)->wParam;
            return true;
        }
        return QWidget::event(e);
    }
};

// The facts of a RIFF AVI file that matter here.
struct AviFacts
{
    bool valid = false;
    int totalFrames = -1;
    int width = 0;
    int height = 0;
    int bitCount = 0;
    int compression = -1;
    int frameChunks = 0;
};

AviFacts readAvi(const QString& path)
{
    AviFacts facts;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return facts;
    const QByteArray b = f.readAll();
    const auto u32 = [&b](qsizetype at) { return qFromLittleEndian<quint32>(b.constData() + at); };
    if (b.size() < 12 || !b.startsWith("RIFF") || b.mid(8, 4) != "AVI ")
        return facts;
    const qsizetype avih = b.indexOf("avih");
    const qsizetype strf = b.indexOf("strf");
    const qsizetype movi = b.indexOf("movi");
    if (avih < 0 || strf < 0 || movi < 0)
        return facts;
    facts.totalFrames = int(u32(avih + 8 + 16));
    facts.width = int(u32(strf + 8 + 4));
    facts.height = int(qint32(u32(strf + 8 + 8)));
    facts.bitCount = qFromLittleEndian<quint16>(b.constData() + strf + 8 + 14);
    facts.compression = int(u32(strf + 8 + 16));
    const qsizetype moviEnd = movi - 4 + qsizetype(u32(movi - 4)) + 4;
    for (qsizetype at = movi + 4; at + 8 <= qMin(moviEnd, b.size());) {
        const QByteArray id = b.mid(at, 4);
        const qsizetype size = u32(at + 4);
        if (id == "00db" || id == "00dc")
            ++facts.frameChunks;
        at += 8 + size + (size & 1);
    }
    facts.valid = true;
    return facts;
}

QList<TestPatternCamera> twoCameras()
{
    TestPatternCamera first;
    first.description = QStringLiteral("Intraoral camera");
    first.friendlyName = QStringLiteral("USB Video Device");
    first.path = QStringLiteral("/dev/video0");
    first.width = 320;
    first.height = 240;
    first.pattern = QStringLiteral("ball");
    TestPatternCamera second;
    second.friendlyName = QStringLiteral("Second camera");
    second.path = QStringLiteral("/dev/video2");
    second.width = 176;
    second.height = 144;
    return {first, second};
}

} // namespace

class TestCaptureWindow : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    std::unique_ptr<AnsweringPresenter> m_boxes;
    std::unique_ptr<TdmData> m_dm;
    HandpieceState m_hand;
    NoticeReceiver m_archive;

    std::unique_ptr<TfrmCapPictureStill> open(int patient = 1, bool withHandpiece = true)
    {
        std::unique_ptr<Equipment> equipment;
        if (withHandpiece)
            equipment = std::make_unique<ScriptedHandpiece>(m_hand);
        auto w = std::make_unique<TfrmCapPictureStill>(
            &m_archive, patient, std::move(equipment),
            std::make_unique<TestPatternDevices>(twoCameras()));
        w->show();
        return w;
    }
    static QComboBox* devices(TfrmCapPictureStill& w)
    {
        return w.findChild<QComboBox*>(QStringLiteral("cbInputDev"));
    }
    // Picks a camera and waits until its still branch holds a frame.
    static QImage pick(TfrmCapPictureStill& w, int index)
    {
        devices(w)->setCurrentIndex(index);
        QImage frame;
        [&] { QTRY_VERIFY_WITH_TIMEOUT(w.FilterGraph1->grabStill(frame), 10000); }();
        return frame;
    }
    void press(TfrmCapPictureStill& w)
    {
        m_hand.reading = 0x7F;
        w.Timer1Timer();
        m_hand.reading = 0xFF;
    }
    static void ticks(TfrmCapPictureStill& w, int n)
    {
        for (int i = 0; i < n; ++i)
            w.Timer2Timer();
    }
    int pictureCount() const
    {
        return m_dm->GetScular(QStringLiteral("select count(*) from t_tooth")).toInt();
    }
    int counter() const
    {
        return m_dm->GetScular(QStringLiteral("select FMaxID from t_MaxID where FKey='ToothID'"))
            .toInt();
    }
    static QAction* sizeItem(TfrmCapPictureStill& w, const char* name)
    {
        return w.findChild<QAction*>(QString::fromLatin1(name));
    }
    static QStringList checkedVisibleItems(TfrmCapPictureStill& w)
    {
        QStringList names;
        for (QAction* a : w.findChild<QMenu*>(QStringLiteral("PopupMenu1"))->actions())
            if (a->isVisible() && a->isChecked())
                names << a->objectName();
        return names;
    }
    static QWidget* child(TfrmCapPictureStill& w, const char* name)
    {
        return w.findChild<QWidget*>(QString::fromLatin1(name));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        TfrmCapPictureStill::setRecordingDirectory(m_dir.path());
    }
    void init()
    {
        m_boxes = std::make_unique<AnsweringPresenter>();
        m_dm = std::make_unique<TdmData>(freshDatabase(m_dir));
        m_dm->FLanguageIndex = 2;
        m_hand = HandpieceState();
        QCoreApplication::processEvents();
        m_archive.keys.clear();
        QFile::remove(TfrmCapPictureStill::recordingFile());
    }
    void cleanup()
    {
        windowRegistry().runCapture = nullptr;
        m_dm.reset();
        m_boxes.reset();
    }

    void captions_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("chinese") << 1 << QStringList{"采样", "关闭",     "视频源：",
                                                     "尺寸", "拍照模式", "录像模式"};
        QTest::newRow("english") << 2 << QStringList{"Sampling", "Close",      "Input Source:",
                                                     "Size",     "Photograph", "Recording"};
        QTest::newRow("design texts")
            << 0 << QStringList{"拍摄", "关闭", "视频源:", "尺寸", "拍摄模式", "录像模式"};
    }
    void captions()
    {
        QFETCH(int, language);
        QFETCH(QStringList, texts);
        m_dm->FLanguageIndex = language;
        auto w = open();
        QCOMPARE(w->windowTitle(), texts[0]);
        QCOMPARE(w->findChild<CaptionPanel*>("pnlClose")->caption(), texts[1]);
        QCOMPARE(w->findChild<QLabel*>("Label1")->text(), texts[2]);
        QCOMPARE(w->findChild<QPushButton*>("RzMenuButton1")->text(), texts[3]);
        QCOMPARE(w->findChild<QRadioButton*>("rgRecordModeItem0")->text(), texts[4]);
        QCOMPARE(w->findChild<QRadioButton*>("rgRecordModeItem1")->text(), texts[5]);
    }

    void opensWithoutVideo()
    {
        auto w = open();
        QCOMPARE(devices(*w)->count(), 2);
        QCOMPARE(devices(*w)->itemText(0), QStringLiteral("Intraoral camera"));
        QCOMPARE(devices(*w)->itemText(1), QStringLiteral("Second camera"));
        QCOMPARE(devices(*w)->currentIndex(), -1);
        QVERIFY(!w->FilterGraph1->isActive());
        QVERIFY(!child(*w, "btnRecord")->isEnabled());
        QVERIFY(!child(*w, "btnStop")->isEnabled());
        QVERIFY(!child(*w, "MediaPlayer1")->isEnabled());
        QVERIFY(w->Timer1->isActive());
        QVERIFY(!w->Timer2->isActive());
        QVERIFY(m_boxes->shown.isEmpty());
        QCOMPARE(w->recordModeIndex(), 0);
    }

    // The list entry shows the description when there is one, else the name; entry i opens
    // camera i.
    void pickingADeviceOpensIt()
    {
        auto w = open();
        QCOMPARE(pick(*w, 1).size(), QSize(176, 144));
        QCOMPARE(pick(*w, 0).size(), QSize(320, 240));
        QTRY_VERIFY(!w->VideoWindow1->frame().isNull());
        QCOMPARE(w->VideoWindow1->frame().size(), QSize(640, 512));
        QTRY_VERIFY(m_hand.videoStarts >= 1);
    }

    void devicesSharingAPathAreOne()
    {
        QList<VideoDevice> list;
        const auto add = [&list](const char* name, const char* path) {
            VideoDevice d;
            d.friendlyName = QString::fromUtf8(name);
            d.path = QString::fromUtf8(path);
            list << d;
        };
        add("pipewire cam", "/dev/video0");
        add("v4l2 cam", "/dev/video0");
        add("other", "/dev/video2");
        add("no path 1", "");
        add("no path 2", "");
        QStringList names;
        for (const VideoDevice& d : uniqueByPath(list))
            names << d.entryText();
        QCOMPARE(names, (QStringList{"pipewire cam", "other", "no path 1", "no path 2"}));
    }

    void storedSizes_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QSize>("video");
        QTest::addColumn<QStringList>("checked");
        QTest::newRow("8") << QVariant(8) << QSize(512, 410) << QStringList{"N512x4101"};
        QTest::newRow("6") << QVariant(6) << QSize(384, 307) << QStringList{"N384x3081"};
        QTest::newRow("3, hidden item") << QVariant(3) << QSize(192, 154) << QStringList{};
        QTest::newRow("10") << QVariant(10) << QSize(640, 512) << QStringList{"N640x5121"};
        QTest::newRow("7, no item") << QVariant(7) << QSize(448, 358) << QStringList{};
        QTest::newRow("null reads as 8")
            << QVariant(QMetaType(QMetaType::Int)) << QSize(512, 410) << QStringList{"N512x4101"};
    }
    void storedSizes()
    {
        QFETCH(QVariant, stored);
        QFETCH(QSize, video);
        QFETCH(QStringList, checked);
        m_dm->ExcSQL(QStringLiteral("update T_ZOOMIMAGE set FVIDEOSIZEMODE=? where FInterID=1"),
                     {stored});
        auto w = open();
        QCOMPARE(w->VideoWindow1->size(), video);
        // Never narrower than the bars' controls need.
        const int bars =
            qMax(w->Panel1->minimumSizeHint().width(), w->Panel3->minimumSizeHint().width());
        QCOMPARE(w->size(), QSize(qMax(video.width() + 12, bars), video.height() + 88));
        QVERIFY(w->Panel3->width() >= w->Panel3->minimumSizeHint().width());
        const int left = (w->Panel2->width() - video.width()) / 2;
        QVERIFY(qAbs(w->VideoWindow1->x() - left) <= 1);
        QCOMPARE(w->VideoWindow1->y(), 6);
        QCOMPARE(checkedVisibleItems(*w), checked);
        QVERIFY(m_boxes->shown.isEmpty());
    }

    void chosenSizeIsStoredAndRestored()
    {
        {
            auto w = open();
            pick(*w, 0);
            sizeItem(*w, "N256x2051")->trigger();
            QCOMPARE(w->VideoWindow1->size(), QSize(256, 205));
            QCOMPARE(checkedVisibleItems(*w), QStringList{"N256x2051"});
            QCOMPARE(
                m_dm->GetScular("select FVIDEOSIZEMODE from T_ZOOMIMAGE where FInterID=1").toInt(),
                4);
            // The preview follows the new size.
            QTRY_COMPARE(w->VideoWindow1->frame().size(), QSize(256, 205));
            w->close();
        }
        auto again = open();
        QCOMPARE(again->VideoWindow1->size(), QSize(256, 205));
        QCOMPARE(checkedVisibleItems(*again), QStringList{"N256x2051"});
    }

    void recordTime_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("3725") << 3725 << "1:2:5";
        QTest::newRow("5") << 5 << "0:0:5";
        QTest::newRow("0") << 0 << "0:0:0";
        QTest::newRow("3600") << 3600 << "1:0:0";
    }
    void recordTime()
    {
        QFETCH(int, seconds);
        QFETCH(QString, text);
        QCOMPARE(TfrmCapPictureStill::FormatRecordTime(seconds), text);
    }

    void onePressOnePicture_data()
    {
        QTest::addColumn<int>("patient");
        QTest::newRow("patient") << 1;
        QTest::newRow("observation room") << 0;
    }
    void onePressOnePicture()
    {
        QFETCH(int, patient);
        auto w = open(patient);
        pick(*w, 0);
        const int before = counter();
        press(*w);
        QVERIFY(w->Timer2->isActive());
        ticks(*w, 4);
        QCOMPARE(pictureCount(), 0);
        ticks(*w, 1);
        QVERIFY(!w->Timer2->isActive());
        QCOMPARE(w->Timer2RunTimes, 0);
        QCOMPARE(pictureCount(), 1);
        QCOMPARE(counter(), before + 1);

        ClientDataSet rows;
        DataSetProvider provider;
        rows.setProvider(&provider);
        m_dm->GetDataset(rows, QStringLiteral("select * from t_tooth"));
        QCOMPARE(rows.value("FInterID").toInt(), before);
        QCOMPARE(rows.value("FPatientID").toInt(), patient);
        QCOMPARE(rows.value("FPositionIndex").toInt(), 5);
        QCOMPARE(rows.value("FFileExt").toString(), QStringLiteral(".bmp"));
        QCOMPARE(rows.value("FSmallFileExt").toString(), QStringLiteral(".jpg"));
        QVERIFY(rows.value("FToothIndex").isNull());
        QVERIFY(rows.value("FMemo").isNull());
        QCOMPARE(rows.value("FDate").toDateTime(), QDateTime(QDate::currentDate(), QTime(0, 0)));
        const QImage big = codec::decodeBmp(rows.value("FBigImage").toByteArray());
        QCOMPARE(big.size(), QSize(320, 240));
        const QImage small = codec::decodeJpeg(rows.value("FSmallImage").toByteArray());
        QCOMPARE(small.size(), QSize(192, 154));

        QTRY_COMPARE(m_archive.keys, QList<long long>{before});
        QVERIFY(m_boxes->shown.isEmpty());
    }

    // A store that fails is rolled back whole: no row, no counter step, no notice, the
    // engine's text in a plain box; the next press stores normally.
    void failedStoreKeepsNothing_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::newRow("key already taken")
            << "insert into t_tooth (FInterID, FPatientID, FPositionIndex) values (1, 99, 5)";
        QTest::newRow("counter missing") << "delete from t_MaxID where FKey='ToothID'";
    }
    void failedStoreKeepsNothing()
    {
        QFETCH(QString, damage);
        QVERIFY(m_dm->ExcSQL(damage));
        const int rowsBefore = pictureCount();
        const QVariant counterBefore =
            m_dm->GetScular(QStringLiteral("select FMaxID from t_MaxID where FKey='ToothID'"));
        auto w = open();
        pick(*w, 0);
        QVERIFY(w->HarewareTakePicture());
        QCoreApplication::processEvents();
        QCOMPARE(pictureCount(), rowsBefore);
        QCOMPARE(m_dm->GetScular(QStringLiteral("select FMaxID from t_MaxID where FKey='ToothID'")),
                 counterBefore);
        QVERIFY(m_archive.keys.isEmpty());
        QCOMPARE(m_boxes->shown.size(), 1);
        QCOMPARE(m_boxes->shown[0].kind, MessageRequest::Plain);
        QVERIFY(!m_boxes->shown[0].text.isEmpty());
        // The window goes on working once the cause is gone.
        m_dm->ExcSQL(QStringLiteral("delete from t_tooth"));
        m_dm->ExcSQL(QStringLiteral("delete from t_MaxID where FKey='ToothID'"));
        m_dm->ExcSQL(QStringLiteral("insert into t_MaxID (FKey, FMaxID) values ('ToothID', 5)"));
        QVERIFY(w->HarewareTakePicture());
        QCOMPARE(pictureCount(), 1);
        QTRY_COMPARE(m_archive.keys, QList<long long>{5});
    }

    // The program's own list holds only what the device monitor reports: no test pattern.
    void programListsOnlyMonitoredCameras()
    {
        const QList<VideoDevice> monitored = MonitorDeviceSource().devices();
        TfrmCapPictureStill w(&m_archive, 1);
        w.show();
        QCOMPARE(devices(w)->count(), monitored.size());
        for (int i = 0; i < monitored.size(); ++i)
            QCOMPARE(devices(w)->itemText(i), monitored[i].entryText());
        QCOMPARE(devices(w)->currentIndex(), -1);
        QVERIFY(!w.FilterGraph1->isActive());
        w.close();
    }

    void readings_data()
    {
        QTest::addColumn<int>("reading");
        QTest::addColumn<bool>("pressed");
        QTest::newRow("0x7F") << 0x7F << true;
        QTest::newRow("0x00") << 0x00 << true;
        QTest::newRow("0x80") << 0x80 << false;
        QTest::newRow("0xFF") << 0xFF << false;
        QTest::newRow("upper bytes set, 0x7F") << int(0xFFFFFF7Fu) << true;
        QTest::newRow("upper bytes clear, 0x80") << 0x12340080 << false;
    }
    void readings()
    {
        QFETCH(int, reading);
        QFETCH(bool, pressed);
        auto w = open();
        w->Timer2RunTimes = 3;
        m_hand.reading = reading;
        w->Timer1Timer();
        QCOMPARE(w->Timer2->isActive(), pressed);
        QCOMPARE(w->Timer2RunTimes, pressed ? 0 : 3);
        QVERIFY(w->Timer1->isActive());
    }

    void pressDuringDelayGivesOnePicture()
    {
        auto w = open();
        pick(*w, 0);
        press(*w);
        ticks(*w, 3);
        press(*w);
        QCOMPARE(w->Timer2RunTimes, 0);
        ticks(*w, 4);
        QCOMPARE(pictureCount(), 0);
        ticks(*w, 1);
        QCOMPARE(pictureCount(), 1);
        QVERIFY(!w->Timer2->isActive());
    }

    void pressWithoutFrameStoresNothing()
    {
        auto w = open();
        press(*w);
        ticks(*w, 5);
        QVERIFY(!w->HarewareTakePicture());
        // After stop the still branch is gone as well.
        pick(*w, 0);
        w->setRecordModeIndex(1);
        w->btnStopClick();
        press(*w);
        ticks(*w, 5);
        QCoreApplication::processEvents();
        QCOMPARE(pictureCount(), 0);
        QVERIFY(m_archive.keys.isEmpty());
        QVERIFY(m_boxes->shown.isEmpty());
    }

    void missingHandpiece_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("text");
        QTest::newRow("chinese") << 1 << QString() << QStringLiteral("没有发现配套的摄像头!");
        QTest::newRow("english") << 2 << QString() << "The Matching Camera not found!";
        QTest::newRow("other language") << 0 << QString() << QString();
        QTest::newRow("reason given") << 2 << "No permission for /dev/input/event3"
                                      << "No permission for /dev/input/event3";
    }
    void missingHandpiece()
    {
        QFETCH(int, language);
        QFETCH(QString, reason);
        QFETCH(QString, text);
        m_dm->FLanguageIndex = language;
        m_hand.init = 0;
        m_hand.reason = reason;
        auto w = open();
        QCOMPARE(m_boxes->texts(), QStringList{text});
        QCOMPARE(m_boxes->shown[0].kind, MessageRequest::Plain);
        QVERIFY(!w->Timer1->isActive());
        // The window works all the same, and photograph mode polls again.
        pick(*w, 0);
        w->setRecordModeIndex(1);
        w->setRecordModeIndex(0);
        QVERIFY(w->Timer1->isActive());
    }

    void noHandpieceLibrary()
    {
        auto w = open(1, false);
        QCOMPARE(m_boxes->texts(), QStringList{"The Matching Camera not found!"});
        QVERIFY(!w->Timer1->isActive());
        w->Timer1Timer(); // polling nothing reads as not pressed
        QVERIFY(!w->Timer2->isActive());
    }

    // The vendor library path end to end: the fake hand-piece library loaded by name.
    void sharedLibraryHandpiece()
    {
        qputenv("QB_HANDPIECE_LIBRARY", FAKE_HANDPIECE_LIBRARY);
        FakeHandpiece fake(QStringLiteral(FAKE_HANDPIECE_LIBRARY));
        QVERIFY2(fake.isLoaded(), qPrintable(fake.errorString()));
        fake.reset();
        {
            auto w = std::make_unique<TfrmCapPictureStill>(
                &m_archive, 1, openEquipment(), std::make_unique<TestPatternDevices>(twoCameras()));
            w->show();
            QVERIFY(m_boxes->shown.isEmpty());
            QCOMPARE(fake.callCount("InitEquipment"), 1);
            pick(*w, 0);
            fake.queueReading(0x7F);
            w->Timer1Timer();
            QCOMPARE(fake.lastAddress(), 133);
            w->Timer1Timer(); // released
            ticks(*w, 5);
            QCOMPARE(pictureCount(), 1);
            w->close();
            QCOMPARE(fake.callCount("CloseEquipment"), 1);
        }
        fake.reset();
        fake.setInitResult(0);
        {
            auto w = std::make_unique<TfrmCapPictureStill>(
                &m_archive, 1, openEquipment(), std::make_unique<TestPatternDevices>(twoCameras()));
            w->show();
            QCOMPARE(m_boxes->texts(), QStringList{"The Matching Camera not found!"});
        }
        fake.reset();
        qunsetenv("QB_HANDPIECE_LIBRARY");
    }

    // With the real timers: the picture follows 2.5 s after a short press.
    void pressWithRealTimers()
    {
        auto w = open();
        pick(*w, 0);
        QElapsedTimer clock;
        m_hand.reading = 0x7F;
        QTRY_VERIFY(w->Timer2->isActive());
        clock.start();
        m_hand.reading = 0xFF;
        QTRY_COMPARE_WITH_TIMEOUT(pictureCount(), 1, 6000);
        QVERIFY2(clock.elapsed() >= 2300, qPrintable(QString::number(clock.elapsed())));
        QTRY_COMPARE(m_archive.keys.size(), 1);
        QTest::qWait(600);
        QCOMPARE(pictureCount(), 1);
    }

    void modeChangeBeforeAnyDevice()
    {
        auto w = open();
        QTest::mouseClick(child(*w, "rgRecordModeItem1"), Qt::LeftButton);
        QCOMPARE(w->recordModeIndex(), 1);
        QVERIFY(!devices(*w)->isEnabled());
        QVERIFY(!child(*w, "RzMenuButton1")->isEnabled());
        QVERIFY(!child(*w, "btnRecord")->isEnabled());
        QVERIFY(!child(*w, "btnStop")->isEnabled());
        QVERIFY(!w->Timer1->isActive());
        QTest::mouseClick(child(*w, "rgRecordModeItem0"), Qt::LeftButton);
        QCOMPARE(w->recordModeIndex(), 0);
        QVERIFY(devices(*w)->isEnabled());
        QVERIFY(w->Timer1->isActive());
        QVERIFY(!w->FilterGraph1->isActive());
    }

    // A recording of a few seconds is an uncompressed AVI of the camera's frames; stop opens it
    // in the player, which plays, pauses, steps and goes back in the video area.
    void recordAndPlayBack()
    {
        auto w = open();
        pick(*w, 0);
        QTest::mouseClick(child(*w, "rgRecordModeItem1"), Qt::LeftButton);
        QVERIFY(child(*w, "btnRecord")->isEnabled());
        QVERIFY(!w->Timer1->isActive());
        // The photograph graph keeps running until recording starts.
        QCOMPARE(w->FilterGraph1->mode(), VideoPipeline::Mode::Photograph);
        QTest::mouseClick(child(*w, "btnRecord"), Qt::LeftButton);
        QCOMPARE(w->FilterGraph1->mode(), VideoPipeline::Mode::Recording);
        QVERIFY(!child(*w, "MediaPlayer1")->isEnabled());
        auto* time = w->findChild<QLabel*>("lblCountTime");
        QTRY_COMPARE_WITH_TIMEOUT(time->text(), QStringLiteral("0:0:2"), 5000);
        QTest::mouseClick(child(*w, "btnStop"), Qt::LeftButton);
        QVERIFY(!w->FilterGraph1->isActive());
        QVERIFY(w->VideoWindow1->frame().isNull());
        QCOMPARE(time->text(), QStringLiteral("0:0:2"));

        const AviFacts avi = readAvi(TfrmCapPictureStill::recordingFile());
        QVERIFY(avi.valid);
        QCOMPARE(avi.width, 320);
        QCOMPARE(qAbs(avi.height), 240);
        QCOMPARE(avi.bitCount, 24);
        QCOMPARE(avi.compression, 0);
        QCOMPARE(avi.totalFrames, avi.frameChunks);
        QVERIFY2(avi.frameChunks >= 45 && avi.frameChunks <= 120,
                 qPrintable(QString::number(avi.frameChunks)));

        QVERIFY(child(*w, "MediaPlayer1")->isEnabled());
        QTest::mouseClick(child(*w, "MediaPlayer1Play"), Qt::LeftButton);
        QTRY_VERIFY(!w->VideoWindow1->frame().isNull());
        QCOMPARE(w->VideoWindow1->frame().size(), QSize(640, 512));
        QTest::mouseClick(child(*w, "MediaPlayer1Pause"), Qt::LeftButton);
        QTest::qWait(150);
        const QImage paused = w->VideoWindow1->frame();
        QTest::mouseClick(child(*w, "MediaPlayer1Step"), Qt::LeftButton);
        QTRY_VERIFY(w->VideoWindow1->frame() != paused);
        QTest::qWait(150);
        const QImage stepped = w->VideoWindow1->frame();
        QTest::mouseClick(child(*w, "MediaPlayer1Back"), Qt::LeftButton);
        QTRY_VERIFY(w->VideoWindow1->frame() != stepped);
        QTest::mouseClick(child(*w, "MediaPlayer1Step"), Qt::LeftButton);
        QTRY_VERIFY(w->VideoWindow1->frame() == stepped);
        QTest::mouseClick(child(*w, "MediaPlayer1Stop"), Qt::LeftButton);
        QTest::mouseClick(child(*w, "MediaPlayer1Play"), Qt::LeftButton);
        QTRY_VERIFY(w->MediaPlayer1->pipeline()->atEnd());

        // A new recording replaces the file (the player lets go of it first).
        QTest::mouseClick(child(*w, "btnRecord"), Qt::LeftButton);
        QTest::qWait(600);
        QTest::mouseClick(child(*w, "btnStop"), Qt::LeftButton);
        const AviFacts second = readAvi(TfrmCapPictureStill::recordingFile());
        QVERIFY(second.valid);
        QCOMPARE(second.totalFrames, second.frameChunks);
        QVERIFY(second.frameChunks < avi.frameChunks);
        QVERIFY(m_boxes->shown.isEmpty());
    }

    void closesFromEveryState_data()
    {
        QTest::addColumn<QString>("state");
        QTest::newRow("no device") << "none";
        QTest::newRow("photograph") << "photograph";
        QTest::newRow("recording") << "recording";
        QTest::newRow("playing") << "playing";
        QTest::newRow("delay running") << "delay";
    }
    void closesFromEveryState()
    {
        QFETCH(QString, state);
        auto w = open();
        if (state != "none")
            pick(*w, 0);
        if (state == "recording" || state == "playing") {
            w->setRecordModeIndex(1);
            w->btnRecordClick();
            QTest::qWait(400);
        }
        if (state == "playing") {
            w->btnStopClick();
            QTest::mouseClick(child(*w, "MediaPlayer1Play"), Qt::LeftButton);
            QTRY_VERIFY(w->MediaPlayer1->pipeline()->isActive());
        }
        if (state == "delay")
            press(*w);
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(child(*w, "pnlClose"), Qt::LeftButton);
        QVERIFY(clock.elapsed() < 5000);
        QVERIFY(!w->isVisible());
        QVERIFY(!w->FilterGraph1->isActive());
        QVERIFY(!w->MediaPlayer1->pipeline()->isActive());
        QVERIFY(!w->Timer1->isActive());
        QCOMPARE(m_hand.closes, 1);
        if (state == "recording")
            QVERIFY(readAvi(TfrmCapPictureStill::recordingFile()).frameChunks > 0);
        // A delay still running ends without a picture: there is no video any more.
        ticks(*w, 5);
        QCOMPARE(pictureCount(), 0);
    }

    // The archive opens the window from its button and lists the new picture while the
    // capture window is still open.
    void archiveListsNewPictureMeanwhile()
    {
        m_dm->ExcSQL("insert into t_patient (FInterID, FName) values (1, ?)", {"王五"});
        TfrmTakePicture archive(1);
        archive.resize(1280, 760);
        archive.show();
        QList<int> shownWhileOpen;
        bool ran = false;
        windowRegistry().runCapture = [&](QWidget* owner, int patientId) {
            ran = true;
            TfrmCapPictureStill w(owner, patientId, std::make_unique<ScriptedHandpiece>(m_hand),
                                  std::make_unique<TestPatternDevices>(twoCameras()));
            QTimer::singleShot(0, &w, [&] {
                pick(w, 0);
                press(w);
                ticks(w, 5);
                QTRY_COMPARE(archive.shownKeys().size(), 1);
                shownWhileOpen = archive.shownKeys();
                w.findChild<TClosePanel*>("pnlClose")->clicked();
            });
            w.exec();
        };
        archive.findChild<QPushButton*>("btnTakePicture")->click();
        QVERIFY(ran);
        QCOMPARE(shownWhileOpen.size(), 1);
        QCOMPARE(pictureCount(), 1);
    }
};

QTEST_MAIN(TestCaptureWindow)
#include "tst_capturewindow.moc"
