#include "appstate.h"
#include "dmdata.h"
#include "formlookup.h"
#include "mainwindow.h"
#include "singleinstance.h"
#include "splash.h"
#include "startup.h"
#include "testutils.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

class TestStartup : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;

    static QString key(const char* name)
    {
        return QStringLiteral("qb-startup-test-%1-%2")
            .arg(QCoreApplication::applicationPid())
            .arg(QLatin1String(name));
    }
    static void logIn(TfrmSplash& splash, const QString& password)
    {
        splash.findChild<QComboBox*>("RzCbAccountList")->setCurrentIndex(0);
        splash.findChild<QLineEdit*>("RzEditPassword")->setText(password);
        splash.findChild<QPushButton*>("btnLogin")->click();
    }

private slots:
    void init()
    {
        CurrentPatientID = -1;
        QGuiApplication::setApplicationDisplayName(QString());
    }

    void closingLoginEndsWithoutMainWindow()
    {
        AnsweringPresenter boxes;
        StartupOptions o;
        o.databasePath = freshDatabase(m_dir);
        o.guardKey = key("refused");
        bool loginSeen = false;
        o.loginShown = [&loginSeen](TfrmSplash& s) {
            loginSeen = s.isVisible();
            s.findChild<QPushButton*>("btnClose")->click();
        };
        o.mainShown = [](TfrmMain&) { QFAIL("no main window after a refused login"); };
        QCOMPARE(runProgram(o), 0);
        QVERIFY(loginSeen);
        QCOMPARE(CurrentPatientID, -1);
        QVERIFY(boxes.shown.isEmpty());
        QVERIFY(QGuiApplication::applicationDisplayName().isEmpty());
    }

    // Login, then the maximised frame titled by language; closing it ends the program.
    void loginOpensMainWindow_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("title");
        QTest::newRow("Chinese") << 1 << "鹊岭";
        QTest::newRow("English") << 2 << "Quillbrook";
    }
    void loginOpensMainWindow()
    {
        QFETCH(int, language);
        QFETCH(QString, title);
        AnsweringPresenter boxes;
        StartupOptions o;
        o.databasePath = freshDatabase(m_dir);
        {
            TdmData setup(o.databasePath);
            QVERIFY(setup.ExcSQL("update t_sys set FValue=? where FKey='language'",
                                 {QString::number(language)}));
        }
        o.guardKey = key("login");
        int patientAtLogin = 0;
        o.loginShown = [&patientAtLogin](TfrmSplash& s) {
            patientAtLogin = CurrentPatientID;
            logIn(s, QStringLiteral("admin"));
        };
        bool mainSeen = false;
        QString user;
        int patientAtMain = 0;
        QString archiveName;
        o.mainShown = [&](TfrmMain& w) {
            mainSeen = w.isVisible() && w.isMaximized();
            // The archive opens for the observation room.
            if (QWidget* archive = FindFormByClassName("TfrmTakePicture"))
                archiveName = archive->findChild<QLabel*>("lblName")->text();
            user = dmData->FUserName;
            patientAtMain = CurrentPatientID;
            w.close();
        };
        QCOMPARE(runProgram(o), 0);
        QVERIFY(mainSeen);
        QCOMPARE(patientAtLogin, -1);
        QCOMPARE(patientAtMain, 0);
        QCOMPARE(user, QStringLiteral("Administrator"));
        QCOMPARE(archiveName,
                 language == 1 ? QStringLiteral("病情观察室") : QStringLiteral("Observation room"));
        QCOMPARE(QGuiApplication::applicationDisplayName(), title);
        QVERIFY(boxes.shown.isEmpty());
    }

    // A second start asks the first to come forward and ends before touching the database:
    // no window and no error box, even with no database file at all.
    void secondStartShowsNothing()
    {
        AnsweringPresenter boxes;
        SingleInstanceGuard first(key("second"));
        QVERIFY(!first.AlreadyRunning());
        QSignalSpy restore(&first, &SingleInstanceGuard::restoreRequested);
        StartupOptions o;
        o.databasePath = m_dir.filePath("missing.fdb");
        o.guardKey = key("second");
        o.loginShown = [](TfrmSplash&) { QFAIL("a second start shows no login"); };
        QCOMPARE(runProgram(o), 0);
        QVERIFY(boxes.shown.isEmpty());
        QVERIFY(QApplication::topLevelWidgets().isEmpty() ||
                std::none_of(QApplication::topLevelWidgets().cbegin(),
                             QApplication::topLevelWidgets().cend(),
                             [](QWidget* w) { return w->isVisible(); }));
        QVERIFY(restore.wait(2000));
    }

    // A missing database: the engine's message in the standard box, then a login with no
    // accounts that nobody can pass.
    void missingDatabaseStillReachesLogin()
    {
        AnsweringPresenter boxes;
        StartupOptions o;
        o.databasePath = m_dir.filePath("nowhere.fdb");
        o.guardKey = key("missing");
        int accounts = -1;
        o.loginShown = [&accounts](TfrmSplash& s) {
            accounts = s.findChild<QComboBox*>("RzCbAccountList")->count();
            s.findChild<QPushButton*>("btnClose")->click();
        };
        QCOMPARE(runProgram(o), 0);
        QCOMPARE(accounts, 0);
        QVERIFY(!boxes.shown.isEmpty());
        QCOMPARE(boxes.shown[0].kind, MessageRequest::Exception);
        QVERIFY(boxes.shown[0].text.contains("nowhere.fdb"));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
