#include "singleinstance.h"

#include <QApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QMainWindow>
#include <QPointer>
#include <QThread>
#include <QWidget>
#include <QtDebug>

#include <unistd.h>

namespace {

const QString kRestore = QStringLiteral("SC_RESTORE");
const QString kFindPatient = QStringLiteral("WM_FIND_PATIENT");
const QString kDllText = QStringLiteral("WM_DLL_TEXT");

constexpr int kIoTimeoutMs = 1000;
// How long a second start keeps knocking when the lock holder does not answer yet.
constexpr int kAnswerWaitMs = 1500;
constexpr int kRetryPauseMs = 100;
// A line longer than this is no message of ours: the connection is dropped.
constexpr qint64 kMaxLineBytes = 1 << 20;

} // namespace

SingleInstanceGuard::SingleInstanceGuard(const QString& key, QObject* parent)
    : QObject(parent), m_key(key)
{
}

SingleInstanceGuard::~SingleInstanceGuard()
{
    // The socket file goes before the lock: a successor may only listen once the lock is free,
    // and our close() would otherwise delete its fresh socket file.
    if (m_server)
        m_server->close();
    delete m_server;
    m_lock.reset();
}

QString SingleInstanceGuard::defaultKey()
{
    return QStringLiteral("{CAF49BBB-CF40-4FDE-8657-51D5AEB5BBBF}-%1").arg(::getuid());
}

QString SingleInstanceGuard::lockFilePath(const QString& key)
{
    return QDir(QDir::tempPath()).filePath(key + QStringLiteral(".lock"));
}

bool SingleInstanceGuard::AlreadyRunning()
{
    if (m_decided)
        return m_alreadyRunning;
    m_decided = true;

    m_lock = std::make_unique<QLockFile>(lockFilePath(m_key));
    // The lock lives as long as the program; only a dead owner makes it stale.
    m_lock->setStaleLockTime(0);

    const QDeadlineTimer deadline(kAnswerWaitMs);
    for (;;) {
        if (m_lock->tryLock(0)) {
            listen();
            return false;
        }
        if (m_lock->error() != QLockFile::LockFailedError) {
            qWarning("Single-instance lock %s unusable; running without a guard",
                     qPrintable(lockFilePath(m_key)));
            m_lock.reset();
            return false;
        }
        // An owner that died between creating the file and writing its PID leaves a file that
        // never looks stale; the owner's flock still protects a live one from this removal.
        const QFileInfo info(lockFilePath(m_key));
        if (!m_lock->getLockInfo(nullptr, nullptr, nullptr) &&
            info.lastModified().msecsTo(QDateTime::currentDateTime()) > kAnswerWaitMs &&
            m_lock->removeStaleLockFile())
            continue;

        if (sendLine(m_key, encodeLine({kRestore})))
            break;
        // A live owner that does not answer yet is still starting: never run beside it.
        if (deadline.hasExpired())
            break;
        QThread::msleep(kRetryPauseMs);
    }
    m_lock.reset();
    m_alreadyRunning = true;
    return true;
}

void SingleInstanceGuard::listen()
{
    m_server = new QLocalServer;
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock, so a socket file under the key is a crashed owner's leftover.
    QLocalServer::removeServer(m_key);
    if (!m_server->listen(m_key)) {
        qWarning("Single-instance socket %s: %s", qPrintable(m_key),
                 qPrintable(m_server->errorString()));
        return;
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstanceGuard::acceptConnections);
}

void SingleInstanceGuard::acceptConnections()
{
    // The server is the context: when it is deleted it stops receiving before its child
    // sockets go, so a socket closing then reaches no half-destroyed guard.
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, m_server,
                [this, socket] { readLines(socket, false); });
        connect(socket, &QLocalSocket::disconnected, m_server, [this, socket] {
            readLines(socket, true);
            socket->deleteLater();
        });
        readLines(socket, false);
    }
}

void SingleInstanceGuard::readLines(QLocalSocket* socket, bool atEnd)
{
    // Take every complete line first: a receiver may run a nested event loop (a message box)
    // during which this socket goes away.
    QList<QByteArray> lines;
    while (socket->canReadLine())
        lines.append(socket->readLine());
    if (atEnd && socket->bytesAvailable() > 0) {
        lines.append(socket->readAll());
    } else if (socket->bytesAvailable() > kMaxLineBytes) {
        socket->readAll();
        socket->abort();
    }

    const QPointer<SingleInstanceGuard> self(this);
    for (const QByteArray& line : std::as_const(lines)) {
        if (!self)
            return;
        handleLine(line);
    }
}

void SingleInstanceGuard::handleLine(const QByteArray& raw)
{
    QByteArray line = raw;
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    const QStringList fields = decodeLine(line);
    if (fields.isEmpty())
        return;
    const QString& name = fields.first();
    if (name == kRestore && fields.size() == 1)
        emit restoreRequested();
    else if (name == kFindPatient && fields.size() == 1)
        emit findPatientRequested();
    else if (name == kDllText && fields.size() == 3)
        emit dllTextReceived(fields.at(1), fields.at(2));
}

bool SingleInstanceGuard::sendLine(const QString& key, const QString& line)
{
    QLocalSocket socket;
    socket.connectToServer(key);
    if (!socket.waitForConnected(kIoTimeoutMs))
        return false;
    QByteArray bytes = line.toUtf8();
    if (!bytes.endsWith('\n'))
        bytes.append('\n');
    if (socket.write(bytes) != bytes.size())
        return false;
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(kIoTimeoutMs))
            return false;
    }
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(kIoTimeoutMs);
    return true;
}

QString SingleInstanceGuard::encodeLine(const QStringList& fields)
{
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += QLatin1Char('\t');
        for (const QChar c : fields.at(i)) {
            switch (c.unicode()) {
            case '\\':
                line += QLatin1String("\\\\");
                break;
            case '\t':
                line += QLatin1String("\\t");
                break;
            case '\n':
                line += QLatin1String("\\n");
                break;
            case '\r':
                line += QLatin1String("\\r");
                break;
            default:
                line += c;
            }
        }
    }
    return line;
}

QStringList SingleInstanceGuard::decodeLine(const QByteArray& line)
{
    if (line.isEmpty())
        return {};
    const QString text = QString::fromUtf8(line);
    QStringList fields;
    QString field;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\t')) {
            fields.append(field);
            field.clear();
        } else if (c == QLatin1Char('\\') && i + 1 < text.size()) {
            const QChar next = text.at(++i);
            if (next == QLatin1Char('t'))
                field += QLatin1Char('\t');
            else if (next == QLatin1Char('n'))
                field += QLatin1Char('\n');
            else if (next == QLatin1Char('r'))
                field += QLatin1Char('\r');
            else
                field += next;
        } else {
            field += c;
        }
    }
    fields.append(field);
    return fields;
}

void bringApplicationForward()
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;

    QWidget* mainWindow = nullptr;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (!window->isVisible() || (window->windowType() == Qt::Popup) ||
            (window->windowType() == Qt::ToolTip))
            continue;
        // Keeps a maximised state, as a restore does.
        if (window->isMinimized())
            window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        if (!mainWindow ||
            (qobject_cast<QMainWindow*>(window) && !qobject_cast<QMainWindow*>(mainWindow)))
            mainWindow = window;
    }

    QWidget* target = QApplication::activeWindow() ? QApplication::activeWindow() : mainWindow;
    if (target) {
        target->raise();
        target->activateWindow();
    }
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    }
}
