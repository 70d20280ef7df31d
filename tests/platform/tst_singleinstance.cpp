#include "singleinstance.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QLockFile>
#include <QMainWindow>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <unistd.h>

namespace {

// Unique per test process, so that tests meet neither each other nor a running program.
QString uniqueKey(const QString& name)
{
    return QStringLiteral("qb-guard-test-%1-%2").arg(QCoreApplication::applicationPid()).arg(name);
}

QString socketPath(const QString& key)
{
    return QDir(QDir::tempPath()).filePath(key);
}

// The guard probe in its own process, read line by line.
class Probe
{
public:
    explicit Probe(const QString& key)
    {
        m_process.setProgram(QStringLiteral(GUARDPROBE));
        m_process.setArguments({key});
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start();
    }
    ~Probe()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;

    // The next line it prints; what is there (or nothing) when none comes in time.
    QString nextLine(int timeoutMs = 5000)
    {
        const QDeadlineTimer deadline(timeoutMs);
        while (!m_process.canReadLine() &&
               m_process.waitForReadyRead(int(qMax<qint64>(deadline.remainingTime(), 0)))) {
        }
        if (!m_process.canReadLine())
            return QString::fromUtf8(m_process.readAll());
        return QString::fromUtf8(m_process.readLine()).chopped(1);
    }

    // Exit code, or -1 when it does not end in time.
    int waitForExit(int timeoutMs = 5000)
    {
        if (!m_process.waitForFinished(timeoutMs))
            return -1;
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }

    QProcess& process() { return m_process; }

private:
    QProcess m_process;
};

QString dllLine(const QString& first, const QString& second)
{
    return QStringLiteral("dll:") + SingleInstanceGuard::encodeLine({first}) + QLatin1Char(':') +
           SingleInstanceGuard::encodeLine({second});
}

// A tab, a newline, backslashes before letters of the escapes, Chinese text.
const QString kFirst = QStringLiteral("患者:\t张三");
const QString kSecond = QStringLiteral("C:\\new\\table\n第二行 \\");

} // namespace

class tst_SingleInstance : public QObject
{
    Q_OBJECT
private slots:
    void secondStartAsksFirstToComeForward();
    void secondStartInThisProcess();
    void crashedFirstInstanceIsTakenOver();
    void silentLiveOwnerStillBlocks();
    void messages_data();
    void messages();
    void keysDoNotMeet();
    void bringForwardRestoresWindows();
};

void tst_SingleInstance::secondStartAsksFirstToComeForward()
{
    const QString key = uniqueKey(QStringLiteral("forward"));
    SingleInstanceGuard guard(key);
    QVERIFY(!guard.AlreadyRunning());
    QVERIFY(!guard.AlreadyRunning());
    QSignalSpy restore(&guard, &SingleInstanceGuard::restoreRequested);
    QSignalSpy find(&guard, &SingleInstanceGuard::findPatientRequested);

    QElapsedTimer clock;
    clock.start();
    Probe probe(key);
    QCOMPARE(probe.nextLine(), QStringLiteral("second"));
    QCOMPARE(probe.waitForExit(), 3);
    // Answered at the first knock: no waiting for a silent owner.
    QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(restore.count() == 1 || restore.wait(5000));
    QCOMPARE(restore.count(), 1);
    QCOMPARE(find.count(), 0);
}

void tst_SingleInstance::secondStartInThisProcess()
{
    const QString key = uniqueKey(QStringLiteral("reverse"));
    Probe probe(key);
    QCOMPARE(probe.nextLine(), QStringLiteral("first"));

    SingleInstanceGuard guard(key);
    QVERIFY(guard.AlreadyRunning());
    QCOMPARE(probe.nextLine(), QStringLiteral("restore"));

    // Other programs' messages reach the running copy too.
    QVERIFY(SingleInstanceGuard::sendLine(
        key, SingleInstanceGuard::encodeLine({QStringLiteral("WM_FIND_PATIENT")})));
    QCOMPARE(probe.nextLine(), QStringLiteral("find"));
    QVERIFY(SingleInstanceGuard::sendLine(
        key, SingleInstanceGuard::encodeLine({QStringLiteral("WM_DLL_TEXT"), kFirst, kSecond})));
    QCOMPARE(probe.nextLine(), dllLine(kFirst, kSecond));

    // A normal end leaves nothing behind, and the next start is a first one.
    probe.process().write("quit\n");
    QCOMPARE(probe.waitForExit(), 0);
    QVERIFY(!QFile::exists(SingleInstanceGuard::lockFilePath(key)));
    QVERIFY(!QFile::exists(socketPath(key)));
    SingleInstanceGuard next(key);
    QVERIFY(!next.AlreadyRunning());
}

void tst_SingleInstance::crashedFirstInstanceIsTakenOver()
{
    const QString key = uniqueKey(QStringLiteral("crash"));
    {
        Probe crashed(key);
        QCOMPARE(crashed.nextLine(), QStringLiteral("first"));
        crashed.process().kill(); // SIGKILL: no clean-up runs
        QVERIFY(crashed.process().waitForFinished(5000));
    }
    QVERIFY(QFile::exists(SingleInstanceGuard::lockFilePath(key)));
    QVERIFY(QFile::exists(socketPath(key)));

    SingleInstanceGuard guard(key);
    QVERIFY(!guard.AlreadyRunning());
    QSignalSpy restore(&guard, &SingleInstanceGuard::restoreRequested);

    // The leftover socket file did not keep the new owner from listening.
    Probe second(key);
    QCOMPARE(second.nextLine(), QStringLiteral("second"));
    QCOMPARE(second.waitForExit(), 3);
    QVERIFY(restore.count() == 1 || restore.wait(5000));
}

void tst_SingleInstance::silentLiveOwnerStillBlocks()
{
    // A live owner that has not begun to listen (still starting): the lock alone counts.
    const QString key = uniqueKey(QStringLiteral("silent"));
    QLockFile lock(SingleInstanceGuard::lockFilePath(key));
    lock.setStaleLockTime(0);
    QVERIFY(lock.tryLock(0));

    Probe probe(key);
    QCOMPARE(probe.nextLine(10000), QStringLiteral("second"));
    QCOMPARE(probe.waitForExit(), 3);
}

void tst_SingleInstance::messages_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("byteByByte");
    // "restore", "find", or "dll" followed by its two strings.
    QTest::addColumn<QStringList>("expected");

    const QByteArray dll =
        SingleInstanceGuard::encodeLine({QStringLiteral("WM_DLL_TEXT"), kFirst, kSecond}).toUtf8() +
        '\n';
    const QByteArray several = "SC_RESTORE\nWM_FIND_PATIENT\n" + dll;
    const QStringList severalEvents{QStringLiteral("restore"), QStringLiteral("find"),
                                    QStringLiteral("dll"), kFirst, kSecond};

    QTest::newRow("restore") << QByteArray("SC_RESTORE\n") << false
                             << QStringList{QStringLiteral("restore")};
    QTest::newRow("find patient") << QByteArray("WM_FIND_PATIENT\n") << false
                                  << QStringList{QStringLiteral("find")};
    QTest::newRow("dll text") << dll << false
                              << QStringList{QStringLiteral("dll"), kFirst, kSecond};
    QTest::newRow("dll text, empty strings")
        << QByteArray("WM_DLL_TEXT\t\t\n") << false
        << QStringList{QStringLiteral("dll"), QString(), QString()};
    QTest::newRow("several lines") << several << false << severalEvents;
    QTest::newRow("split across reads") << several << true << severalEvents;
    QTest::newRow("CRLF, last line without line end")
        << QByteArray("WM_FIND_PATIENT\r\nSC_RESTORE") << false
        << QStringList{QStringLiteral("find"), QStringLiteral("restore")};
    QTest::newRow("unknown lines ignored")
        << QByteArray("HELLO\n\nwm_find_patient\nWM_DLL_TEXT\tonly one\nSC_RESTORE\textra\n"
                      "\xff\xfe\nWM_FIND_PATIENT\n")
        << false << QStringList{QStringLiteral("find")};
}

void tst_SingleInstance::messages()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, byteByByte);
    QFETCH(QStringList, expected);

    const QString key = uniqueKey(QStringLiteral("messages"));
    SingleInstanceGuard guard(key);
    QVERIFY(!guard.AlreadyRunning());
    QStringList events;
    connect(&guard, &SingleInstanceGuard::restoreRequested, this,
            [&] { events << QStringLiteral("restore"); });
    connect(&guard, &SingleInstanceGuard::findPatientRequested, this,
            [&] { events << QStringLiteral("find"); });
    connect(&guard, &SingleInstanceGuard::dllTextReceived, this,
            [&](const QString& first, const QString& second) {
                events << QStringLiteral("dll") << first << second;
            });

    QLocalSocket client;
    client.connectToServer(key);
    QVERIFY(client.waitForConnected(1000));
    // One byte per read splits lines and UTF-8 sequences alike.
    const qsizetype chunk = byteByByte ? 1 : bytes.size();
    for (qsizetype at = 0; at < bytes.size(); at += chunk) {
        QCOMPARE(client.write(bytes.mid(at, chunk)), qMin(chunk, bytes.size() - at));
        while (client.bytesToWrite() > 0)
            QVERIFY(client.waitForBytesWritten(1000));
        QCoreApplication::processEvents();
    }
    client.disconnectFromServer();
    QTRY_COMPARE(events, expected);
}

void tst_SingleInstance::keysDoNotMeet()
{
    QVERIFY(SingleInstanceGuard::defaultKey().startsWith(
        QStringLiteral("{CAF49BBB-CF40-4FDE-8657-51D5AEB5BBBF}")));
    QVERIFY(SingleInstanceGuard::defaultKey().endsWith(QString::number(::getuid())));

    SingleInstanceGuard one(uniqueKey(QStringLiteral("one")));
    SingleInstanceGuard two(uniqueKey(QStringLiteral("two")));
    QVERIFY(!one.AlreadyRunning());
    QVERIFY(!two.AlreadyRunning());
    QSignalSpy oneRestore(&one, &SingleInstanceGuard::restoreRequested);
    QSignalSpy twoRestore(&two, &SingleInstanceGuard::restoreRequested);

    Probe probe(one.key());
    QCOMPARE(probe.nextLine(), QStringLiteral("second"));
    QVERIFY(oneRestore.wait(5000));
    QCoreApplication::processEvents();
    QCOMPARE(twoRestore.count(), 0);

    QVERIFY(!SingleInstanceGuard::sendLine(uniqueKey(QStringLiteral("nobody")),
                                           QStringLiteral("SC_RESTORE")));
}

void tst_SingleInstance::bringForwardRestoresWindows()
{
    QMainWindow main;
    main.setWindowState(Qt::WindowMaximized);
    main.show();
    QWidget other;
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    main.setWindowState(main.windowState() | Qt::WindowMinimized);
    other.showMinimized();
    QDialog dialog(&main);
    dialog.setModal(true);
    dialog.show();

    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        for (int i = 0; i < 2; ++i) // the window and then the dialog are raised
            QTest::ignoreMessage(QtWarningMsg, "This plugin does not support raise()");
    }
    bringApplicationForward();
    QVERIFY(!main.isMinimized());
    QVERIFY(main.isMaximized());
    QVERIFY(!other.isMinimized());
    QTRY_COMPARE(QApplication::activeWindow(), &dialog);
}

QTEST_MAIN(tst_SingleInstance)
#include "tst_singleinstance.moc"
