// Start-up: process start to the login window shown, and login accepted to the main window
// shown, against a database made by the creation script. The parent times a child process of
// itself that runs the real start-up.
#include "startup.h"
#include "application.h"
#include "mainwindow.h"
#include "splash.h"

#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

int child(const QString& database, const QString& key)
{
    QElapsedTimer sinceLogin;
    StartupOptions o;
    o.databasePath = database;
    o.guardKey = key;
    o.loginShown = [&sinceLogin](TfrmSplash& s) {
        std::printf("login\n");
        std::fflush(stdout);
        s.findChild<QComboBox*>(QStringLiteral("RzCbAccountList"))->setCurrentIndex(0);
        s.findChild<QLineEdit*>(QStringLiteral("RzEditPassword"))->setText(QStringLiteral("admin"));
        sinceLogin.start();
        s.findChild<QPushButton*>(QStringLiteral("btnLogin"))->click();
    };
    o.mainShown = [&sinceLogin](TfrmMain& w) {
        std::printf("main %.2f\n", double(sinceLogin.nsecsElapsed()) / 1e6);
        std::fflush(stdout);
        w.close();
    };
    return runProgram(o);
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

// The peer: a bare Qt process showing an empty dialog, the floor for any Qt program here.
int bare()
{
    QDialog d;
    QTimer::singleShot(0, &d, [&d] {
        std::printf("login\n");
        std::fflush(stdout);
        d.reject();
    });
    d.exec();
    return 0;
}

// Runs the child until it has shown its first window; returns ms to it and the child's own
// login-to-main figure (or -1).
std::pair<double, double> timeChild(const QStringList& args)
{
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(QCoreApplication::applicationFilePath(), args);
    double login = -1, main = -1;
    while (p.state() != QProcess::NotRunning || p.canReadLine()) {
        if (!p.canReadLine() && !p.waitForReadyRead(30000))
            break;
        while (p.canReadLine()) {
            const QByteArray line = p.readLine().trimmed();
            if (line == "login")
                login = double(t.nsecsElapsed()) / 1e6;
            else if (line.startsWith("main "))
                main = line.mid(5).toDouble();
        }
    }
    p.waitForFinished(30000);
    return {login, main};
}

int main(int argc, char** argv)
{
    if (argc == 2 && QByteArray(argv[1]) == "--bare") {
        Application app(argc, argv);
        return bare();
    }
    if (argc == 4 && QByteArray(argv[1]) == "--child") {
        Application app(argc, argv);
        return child(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("startup.fdb"));
    QProcess create;
    create.start(
        QStringLiteral("bash"),
        {qEnvironmentVariable("QB_SOURCE_DIR") + QStringLiteral("/scripts/create-database"), db});
    if (!create.waitForFinished(300000) || create.exitCode() != 0) {
        std::fprintf(stderr, "cannot create the database\n");
        return 1;
    }

    std::vector<double> toLogin, toMain, toBare;
    const QString key =
        QStringLiteral("qb-bench-startup-%1").arg(QCoreApplication::applicationPid());
    for (int run = 0; run < 7; ++run) {
        const auto [login, main] = timeChild({QStringLiteral("--child"), db, key});
        const double peer = timeChild({QStringLiteral("--bare")}).first;
        if (login < 0 || main < 0 || peer < 0) {
            std::fprintf(stderr, "the program did not reach its main window\n");
            return 1;
        }
        if (run > 0) { // the first run warms the disk cache
            toLogin.push_back(login);
            toMain.push_back(main);
            toBare.push_back(peer);
        }
    }
    std::printf("startup_to_login_ms: %.1f ms\n", median(toLogin));
    std::printf("login_to_main_ms: %.1f ms\n", median(toMain));
    std::printf("bare_qt_dialog_ms: %.1f ms\n", median(toBare));
    std::printf("startup_to_login_vs_bare_ratio: %.2f x\n", median(toLogin) / median(toBare));
    return 0;
}
