#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

// Keeps a second copy of the program from running for the same user.
//
// The first instance holds a lock file (QDir::tempPath()/<key>.lock) and listens on a local
// socket named <key>. A later start finds the lock held by a live process, asks the first
// instance to come forward through the socket and is told to end. A lock left by a crashed
// process is taken over.
//
// Line protocol on the socket (also for other programs that want to talk to the running one):
//   - UTF-8 text, one message per line, each line ends with '\n' (a trailing '\r' is dropped);
//   - fields are separated by a tab;
//   - inside a field a backslash is written "\\", a tab "\t", a newline "\n", a CR "\r";
//   - messages (the first field names them, case-sensitive):
//       SC_RESTORE                    come forward              -> restoreRequested()
//       WM_FIND_PATIENT               run the find-patient action -> findPatientRequested()
//       WM_DLL_TEXT <tab> a <tab> b   show a ":" b               -> dllTextReceived(a, b)
//   - any other line, or a known name with the wrong number of fields, is ignored.
// A client may send several lines on one connection and close it when done.
class SingleInstanceGuard : public QObject
{
    Q_OBJECT
public:
    // key: a file name (no '/'); the default one is the program's GUID plus the user id.
    explicit SingleInstanceGuard(const QString& key = defaultKey(), QObject* parent = nullptr);
    ~SingleInstanceGuard() override;

    static QString defaultKey();
    QString key() const { return m_key; }
    static QString lockFilePath(const QString& key);

    // True when another instance of this user runs (it has been asked to come forward): the
    // caller should end without showing a window. False for the first instance, which from
    // now on listens for messages; also false when no guard can be set up at all.
    // Later calls give the first answer again.
    bool AlreadyRunning();

    // Sends one encoded line (see encodeLine) to the instance listening under key and waits
    // until it is written. False when nobody listens or the write does not complete.
    static bool sendLine(const QString& key, const QString& line);
    static QString encodeLine(const QStringList& fields);
    // One received line, without its line end, back into its fields.
    static QStringList decodeLine(const QByteArray& line);

Q_SIGNALS:
    void restoreRequested();
    void findPatientRequested();
    void dllTextReceived(const QString& first, const QString& second);

private:
    void listen();
    void acceptConnections();
    void readLines(QLocalSocket* socket, bool atEnd);
    void handleLine(const QByteArray& line);

    QString m_key;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
    bool m_decided = false;
    bool m_alreadyRunning = false;
};

// Un-minimises the application's visible top-level windows, raises and activates the active
// (or main) window and then the active modal dialog, if any. For restoreRequested().
void bringApplicationForward();
