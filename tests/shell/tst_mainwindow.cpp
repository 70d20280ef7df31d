#include "appstate.h"
#include "dmdata.h"
#include "mainwindow.h"
#include "syssetting.h"
#include "testutils.h"
#include "windowmessages.h"
#include "windowregistry.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

// Stand-ins for the document windows that other parts of the program provide; they record
// what the main window asks of them.
class TfrmTakePicture : public QWidget, public ImageArchiveWindow
{
    Q_OBJECT
public:
    explicit TfrmTakePicture(int patient) : patient(patient) {}
    void ShowThisPatientImages(int patientId, int positionIndex) override
    {
        shown << QPair<int, int>(patientId, positionIndex);
    }
    void GetSelectedImages_ObservationRoom(bool& mode, QString& selected) override
    {
        mode = CurrentPatientID == 0;
        selected = marked;
    }
    int patient;
    QString marked;
    QList<QPair<int, int>> shown;
};

class TfrmSeeOnePatient : public QWidget, public PatientRecordWindow
{
    Q_OBJECT
public:
    TfrmSeeOnePatient(int patient, QString selected)
        : patient(patient), selected(std::move(selected))
    {
    }
    void InitPatientData(int patientId) override { inits << patientId; }
    int patient;
    QString selected;
    QList<int> inits;
    int closeChecks = 0;
    bool refuseClose = false;
    int dictionaryReloads = 0;
    int languageChanges = 0;

protected:
    void closeEvent(QCloseEvent* e) override
    {
        ++closeChecks;
        if (refuseClose)
            e->ignore();
    }
    bool event(QEvent* e) override
    {
        if (int(e->type()) == WM_DICTIONARY_CHANGED)
            ++dictionaryReloads;
        if (int(e->type()) == WM_LANGUAGE_CHANGED)
            ++languageChanges;
        return QWidget::event(e);
    }
};

// Windows of the language list that count the notices they get.
class TfrmFindBook : public QWidget
{
    Q_OBJECT
public:
    int languageChanges = 0;

protected:
    bool event(QEvent* e) override
    {
        if (int(e->type()) == WM_LANGUAGE_CHANGED)
            ++languageChanges;
        return QWidget::event(e);
    }
};

class TestMainWindow : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    std::unique_ptr<AnsweringPresenter> m_boxes;
    std::unique_ptr<TdmData> m_dm;
    QList<QPointer<TfrmTakePicture>> m_archives;
    QList<QPointer<TfrmSeeOnePatient>> m_records;
    int m_findResult = -1;

    void setLanguage(int index)
    {
        QVERIFY(m_dm->ExcSQL("update t_sys set FValue=? where FCatalog='common' and "
                             "FKey='language'",
                             {QString::number(index)}));
        m_dm->GetLanguage();
    }
    std::unique_ptr<TfrmMain> shownMain()
    {
        auto w = std::make_unique<TfrmMain>();
        w->show();
        return w;
    }
    TfrmTakePicture* archive() const { return m_archives.isEmpty() ? nullptr : m_archives.last(); }
    TfrmSeeOnePatient* record() const { return m_records.isEmpty() ? nullptr : m_records.last(); }
    template <class T> static T* child(QWidget* w, const char* name)
    {
        return w->findChild<T*>(QString::fromLatin1(name));
    }

private slots:
    void init()
    {
        m_boxes = std::make_unique<AnsweringPresenter>();
        m_dm = std::make_unique<TdmData>(freshDatabase(m_dir));
        m_dm->FUserName = QStringLiteral("张医生");
        m_archives.clear();
        m_records.clear();
        m_findResult = -1;
        CurrentPatientID = -1;
        WindowRegistry& r = windowRegistry();
        r.createTakePicture = [this](int id) {
            auto* w = new TfrmTakePicture(id);
            m_archives << w;
            return w;
        };
        r.createSeeOnePatient = [this](int id, const QString& selected) {
            auto* w = new TfrmSeeOnePatient(id, selected);
            m_records << w;
            return w;
        };
        r.runFindBook = [this] { return m_findResult; };
        r.runBasicInfo = nullptr;
        r.runUser = nullptr;
    }
    void cleanup()
    {
        m_dm.reset();
        m_boxes.reset();
    }

    void startsInObservationRoom()
    {
        QCOMPARE(CurrentPatientID, -1);
        TfrmMain w;
        QCOMPARE(CurrentPatientID, 0);
        QVERIFY(m_archives.isEmpty());
        w.show();
        QVERIFY(archive());
        QCOMPARE(archive()->patient, 0);
        QCOMPARE(child<QLabel>(&w, "RzStatusPane2")->text(), QStringLiteral("张医生"));
        QCOMPARE(w.mdiArea()->subWindowList().size(), 1);
        QVERIFY(w.mdiArea()->subWindowList().first()->isMaximized());
        QVERIFY(m_boxes->shown.isEmpty());
    }

    void captions_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("takePicture");
        QTest::addColumn<QString>("observation");
        QTest::addColumn<QString>("findItem");
        QTest::addColumn<QString>("statusCaption");
        QTest::newRow("Chinese") << 1 << "鹊岭"
                                 << "图像"
                                 << "病情观察室"
                                 << "查找病历"
                                 << "当前用户";
        QTest::newRow("English") << 2 << "Quillbrook"
                                 << "Images"
                                 << "Observation"
                                 << "Find  Patient record"
                                 << "Current user";
    }
    void captions()
    {
        QFETCH(int, language);
        setLanguage(language);
        TfrmMain w;
        QTEST(w.windowTitle(), "title");
        QTEST(child<QPushButton>(&w, "btnTakePic")->text(), "takePicture");
        QTEST(child<QPushButton>(&w, "btnObservationRoom")->text(), "observation");
        QTEST(child<QMenu>(&w, "PopupMenu1")->actions().at(1)->text(), "findItem");
        QTEST(child<QLabel>(&w, "RzStatusPane1")->text(), "statusCaption");
    }

    // The image button by CurrentPatientID, with the archive closed.
    void imageButtonWithoutArchive_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("patient");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("opens");
        QTest::newRow("none") << 1 << -1 << QStringList{"请选择一份病例"} << false;
        QTest::newRow("none, English")
            << 2 << -1 << QStringList{"Please select one medical records"} << false;
        QTest::newRow("new record") << 1 << -10 << QStringList{"请选择一份病例"} << false;
        QTest::newRow("observation room") << 1 << 0 << QStringList{} << false;
        QTest::newRow("patient") << 1 << 42 << QStringList{} << true;
    }
    void imageButtonWithoutArchive()
    {
        QFETCH(int, language);
        QFETCH(int, patient);
        QFETCH(QStringList, messages);
        QFETCH(bool, opens);
        setLanguage(language);
        TfrmMain w; // not shown: no archive yet
        CurrentPatientID = patient;
        child<QPushButton>(&w, "btnTakePic")->click();
        QCOMPARE(m_boxes->texts(), messages);
        for (const MessageRequest& r : m_boxes->shown)
            QCOMPARE(r.kind, MessageRequest::Plain);
        QCOMPARE(archive() != nullptr, opens);
        if (opens)
            QCOMPARE(archive()->patient, patient);
    }

    void imageButtonReusesArchive()
    {
        auto w = shownMain();
        CurrentPatientID = 42;
        child<QPushButton>(w.get(), "btnTakePic")->click();
        QCOMPARE(m_archives.size(), 1);
        QCOMPARE(archive()->shown.last(), (QPair<int, int>(42, 0)));
        SendMessage(w.get(), WM_SHOW_IMAGE_ARCHIVE);
        QCOMPARE(archive()->shown.size(), 2);
    }

    void recordButton_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("patient");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("kind");
        QTest::newRow("observation room")
            << 1 << 0 << "病情观察室模式无法打开病历档案！" << int(MessageRequest::Info);
        QTest::newRow("observation room, English")
            << 2 << 0 << "No medical record will show in Condition observation room mode  ！"
            << int(MessageRequest::Info);
        QTest::newRow("none") << 1 << -1 << "请选择一份病例" << int(MessageRequest::Plain);
        QTest::newRow("patient") << 1 << 7 << "" << -1;
    }
    void recordButton()
    {
        QFETCH(int, language);
        QFETCH(int, patient);
        QFETCH(QString, message);
        QFETCH(int, kind);
        setLanguage(language);
        TfrmMain w;
        CurrentPatientID = patient;
        child<QPushButton>(&w, "btnFiles")->click();
        if (message.isEmpty()) {
            QVERIFY(m_boxes->shown.isEmpty());
            QVERIFY(record());
            QCOMPARE(record()->patient, patient);
            // A second press reuses the open record window.
            child<QPushButton>(&w, "btnFiles")->click();
            QCOMPARE(m_records.size(), 1);
            QCOMPARE(record()->inits, QList<int>{patient});
        } else {
            QCOMPARE(m_boxes->texts(), QStringList{message});
            QCOMPARE(int(m_boxes->shown[0].kind), kind);
            QVERIFY(!record());
        }
    }

    // The observation room drops an open record at once, unsaved edits and all.
    void observationRoomDropsRecordWithoutAsking()
    {
        auto w = shownMain();
        CurrentPatientID = 7;
        child<QPushButton>(w.get(), "btnFiles")->click();
        QPointer<TfrmSeeOnePatient> rec = record();
        QVERIFY(rec);
        child<QPushButton>(w.get(), "btnObservationRoom")->click();
        QVERIFY(!rec);
        QCOMPARE(CurrentPatientID, 0);
        QCOMPARE(m_archives.size(), 1);
        QCOMPARE(archive()->shown.last(), (QPair<int, int>(0, 5)));
    }

    void newRecordWithoutArchive()
    {
        TfrmMain w;
        w.pmiAddPatientClick();
        QCOMPARE(CurrentPatientID, -10);
        QVERIFY(record());
        QCOMPARE(record()->patient, -10);
        w.pmiAddPatientClick(); // the open record is reset, not doubled
        QCOMPARE(m_records.size(), 1);
        QCOMPARE(record()->inits, QList<int>{-10});
    }

    void newRecordWithMarkedObservationPictures_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }
    void newRecordWithMarkedObservationPictures()
    {
        QFETCH(bool, answer);
        auto w = shownMain();
        archive()->marked = QStringLiteral("3,5");
        // A record window open before is dropped either way.
        CurrentPatientID = 9;
        w->btnFilesClick();
        QPointer<TfrmSeeOnePatient> before = record();
        QVERIFY(before);
        CurrentPatientID = 0;
        m_boxes->answers = {answer ? QMessageBox::Yes : QMessageBox::No};
        w->pmiAddPatientClick();
        QCOMPARE(m_boxes->texts(), QStringList{"是否将病情观察室中选定的影像与新增的病历关联？"});
        QCOMPARE(m_boxes->shown[0].kind, MessageRequest::ConfirmInfo);
        QCOMPARE(w->FStrSelectedImage, QStringLiteral("3,5"));
        QVERIFY(w->FIsObservartionRoomMode);
        QVERIFY(!before);
        if (answer) {
            QCOMPARE(CurrentPatientID, -10);
            QCOMPARE(m_records.size(), 2);
            QCOMPARE(record()->patient, -10);
            QCOMPARE(record()->selected, QStringLiteral("3,5"));
        } else {
            QCOMPARE(CurrentPatientID, 0);
            QCOMPARE(m_records.size(), 1);
        }
    }

    void findPatient()
    {
        auto w = shownMain();
        m_findResult = -1;
        SendMessage(w.get(), WM_FIND_PATIENT);
        QCOMPARE(CurrentPatientID, 0);
        QVERIFY(archive()->shown.isEmpty());
        m_findResult = 12;
        w->pmiFindPatientClick();
        QCOMPARE(CurrentPatientID, 12);
        QCOMPARE(archive()->shown.last(), (QPair<int, int>(12, 5)));
        QCOMPARE(m_archives.size(), 1);
    }

    void outsideMessages_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("message");
        QTest::addColumn<qlonglong>("wParam");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("text") << 1 << int(WM_DLL_TEXT) << 0ll << QStringList{"模块:完成"};
        QTest::newRow("arrival") << 2 << int(WM_DEVICECHANGE) << DBT_DEVICEARRIVAL
                                 << QStringList{"插入USB 设备"};
        QTest::newRow("removal") << 2 << int(WM_DEVICECHANGE) << DBT_DEVICEREMOVECOMPLETE
                                 << QStringList{"拔出USB 设备"};
        QTest::newRow("other change") << 1 << int(WM_DEVICECHANGE) << 7ll << QStringList{};
    }
    void outsideMessages()
    {
        QFETCH(int, language);
        QFETCH(int, message);
        QFETCH(qlonglong, wParam);
        QFETCH(QStringList, shown);
        setLanguage(language);
        TfrmMain w;
        SendMessage(&w, message, wParam, QStringLiteral("模块"), QStringLiteral("完成"));
        QCOMPARE(m_boxes->texts(), shown);
        for (const MessageRequest& r : m_boxes->shown)
            QCOMPARE(r.kind, MessageRequest::Plain);
    }

    void dictionariesTellTheRecordWindow()
    {
        auto w = shownMain();
        int opened = 0;
        windowRegistry().runBasicInfo = [&opened] { ++opened; };
        w->btnBasicInfoClick();
        QCOMPARE(opened, 1);
        CurrentPatientID = 3;
        w->btnFilesClick();
        w->btnBasicInfoClick();
        QCOMPARE(record()->dictionaryReloads, 1);
    }

    // Switching to English re-captions each open listed window once, the main window included.
    void languageWindowNotifiesOpenWindows()
    {
        auto w = shownMain();
        CurrentPatientID = 3;
        w->btnFilesClick();
        TfrmFindBook first, second;
        first.show();
        second.show();
        QTimer::singleShot(0, [] {
            auto* dlg = qobject_cast<TfrmSysSetting*>(QApplication::activeModalWidget());
            QVERIFY(dlg);
            auto* combo = dlg->findChild<QComboBox*>("RzDBComboBox1");
            QCOMPARE(combo->currentIndex(), 0);
            combo->setCurrentIndex(1);
            emit combo->activated(1);
            dlg->findChild<QPushButton*>("btnYes")->click();
        });
        child<QPushButton>(w.get(), "btnParams")->click();
        QCOMPARE(m_dm->FLanguageIndex, 2);
        QCOMPARE(m_dm->GetScular("select FValue from t_sys where FKey='language'").toString(),
                 QStringLiteral("2"));
        QCOMPARE(first.languageChanges, 1);
        QCOMPARE(second.languageChanges, 0);
        QCOMPARE(record()->languageChanges, 1);
        QCOMPARE(child<QPushButton>(w.get(), "btnTakePic")->text(), QStringLiteral("Images"));
        QCOMPARE(QGuiApplication::applicationDisplayName(), QStringLiteral("Quillbrook "));

        // The same choice again stores the row but tells nobody.
        QTimer::singleShot(0, [] {
            QApplication::activeModalWidget()->findChild<QPushButton*>("btnYes")->click();
        });
        w->btnParamsClick();
        QCOMPARE(first.languageChanges, 1);
        QCOMPARE(record()->languageChanges, 1);
    }

    void settingWindowCaptions()
    {
        setLanguage(2);
        TfrmSysSetting s;
        QCOMPARE(s.windowTitle(), QStringLiteral("Select Language"));
        QCOMPARE(s.findChild<QPushButton*>("btnYes")->text(), QStringLiteral("OK"));
        QCOMPARE(s.findChild<QComboBox*>("RzDBComboBox1")->currentIndex(), 1);
        QCOMPARE(s.FOldLanguageIndex, 2);
    }

    // Closing the frame lets each document window check first; a refusal keeps it open.
    void closingRunsDocumentChecks()
    {
        auto w = shownMain();
        CurrentPatientID = 4;
        w->btnFilesClick();
        QPointer<TfrmSeeOnePatient> rec = record();
        rec->refuseClose = true;
        QVERIFY(!w->close());
        QCOMPARE(rec->closeChecks, 1);
        QVERIFY(w->isVisible());
        rec->refuseClose = false;
        QVERIFY(w->close());
        QCOMPARE(rec->closeChecks, 2);
    }

    void missingHelpDoesNothing()
    {
        TfrmMain w;
        child<QPushButton>(&w, "bbHelp")->click();
        QVERIFY(m_boxes->shown.isEmpty());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
