#include "testutils.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

namespace {

QString sourceDir()
{
    const QString dir = qEnvironmentVariable("QB_SOURCE_DIR");
    if (dir.isEmpty())
        qFatal("QB_SOURCE_DIR is not set (run the tests through ctest)");
    return dir;
}

} // namespace

int runScript(const QString& script, const QStringList& args, QString* output)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("bash"),
            QStringList{sourceDir() + QStringLiteral("/scripts/") + script} + args);
    if (!p.waitForFinished(300000))
        return -1;
    if (output)
        *output = QString::fromUtf8(p.readAll());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

QString freshDatabase(const QTemporaryDir& dir, const QString& name)
{
    static QTemporaryDir templateDir;
    static QString templatePath;
    if (templatePath.isEmpty()) {
        const QString path = templateDir.filePath(QStringLiteral("template.fdb"));
        QString out;
        if (runScript(QStringLiteral("create-database"), {path}, &out) != 0)
            qFatal("create-database failed: %s", qPrintable(out));
        templatePath = path;
    }
    const QString target = dir.filePath(name);
    QFile::remove(target);
    if (!QFile::copy(templatePath, target))
        qFatal("cannot copy the template database to %s", qPrintable(target));
    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return target;
}

AnsweringPresenter::AnsweringPresenter() : m_previous(messagePresenter())
{
    setMessagePresenter(this);
}

AnsweringPresenter::~AnsweringPresenter()
{
    setMessagePresenter(m_previous);
}

QMessageBox::StandardButton AnsweringPresenter::present(const MessageRequest& request)
{
    shown.append(request);
    if (!answers.isEmpty())
        return answers.takeFirst();
    return (request.buttons & QMessageBox::No) ? QMessageBox::No : QMessageBox::Ok;
}

QStringList AnsweringPresenter::texts() const
{
    QStringList t;
    for (const MessageRequest& r : shown)
        t << r.text;
    return t;
}
