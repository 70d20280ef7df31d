// Takes the single-instance guard under the key given as its argument.
// Prints "first" or "second". A second copy exits at once with code 3. A first copy prints a
// line per received message ("restore", "find", "dll:<a>:<b>" with a and b escaped as on the
// wire) and runs until it reads the line "quit" or the end of its standard input (so that an
// orphaned probe does not outlive its test), or until killed.
#include "singleinstance.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cstdio>
#include <unistd.h>

namespace {

void say(const QString& line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: guardprobe KEY\n", stderr);
        return 2;
    }
    SingleInstanceGuard guard(QString::fromLocal8Bit(argv[1]));
    if (guard.AlreadyRunning()) {
        say(QStringLiteral("second"));
        return 3;
    }
    say(QStringLiteral("first"));

    QObject::connect(&guard, &SingleInstanceGuard::restoreRequested,
                     [] { say(QStringLiteral("restore")); });
    QObject::connect(&guard, &SingleInstanceGuard::findPatientRequested,
                     [] { say(QStringLiteral("find")); });
    QObject::connect(&guard, &SingleInstanceGuard::dllTextReceived,
                     [](const QString& first, const QString& second) {
                         say(QStringLiteral("dll:") + SingleInstanceGuard::encodeLine({first}) +
                             QLatin1Char(':') + SingleInstanceGuard::encodeLine({second}));
                     });

    QByteArray input;
    QSocketNotifier stdinNotifier(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&stdinNotifier, &QSocketNotifier::activated, [&] {
        char buffer[256];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            app.quit();
            return;
        }
        input.append(buffer, n);
        if (input.split('\n').contains("quit"))
            app.quit();
    });
    return app.exec();
}
