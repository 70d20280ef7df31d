#include "firebirdenv.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <unistd.h>

QString embeddedFirebirdRoot()
{
    QString tmp = qEnvironmentVariable("TMPDIR");
    if (tmp.isEmpty())
        tmp = QStringLiteral("/tmp");
    return QDir::cleanPath(tmp + QStringLiteral("/quillbrook-firebird-%1").arg(getuid()));
}

static void initDataResources()
{
    // The resources of a static library are registered by hand.
    Q_INIT_RESOURCE(data);
}

QString prepareEmbeddedFirebird()
{
    static bool done = false;
    static QString error;
    if (done)
        return error;
    done = true;

    const QString root = embeddedFirebirdRoot();
    const QString lock = root + QStringLiteral("/lock");
    if (!QDir().mkpath(lock)) {
        error = QStringLiteral("Cannot create the database engine folder %1").arg(lock);
        return error;
    }
    QFile::setPermissions(root,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    initDataResources();
    QFile source(QStringLiteral(":/data/firebird.conf"));
    if (!source.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("The engine settings are missing from the program");
        return error;
    }
    const QByteArray conf = source.readAll();
    QFile current(root + QStringLiteral("/firebird.conf"));
    if (!current.open(QIODevice::ReadOnly) || current.readAll() != conf) {
        current.close();
        QSaveFile out(current.fileName());
        if (!out.open(QIODevice::WriteOnly) || out.write(conf) != conf.size() || !out.commit()) {
            error = QStringLiteral("Cannot write %1").arg(current.fileName());
            return error;
        }
    }
    // The client library reads these once, at its first use.
    qputenv("FIREBIRD", QFile::encodeName(root));
    qputenv("FIREBIRD_LOCK", QFile::encodeName(lock));
    return error;
}
