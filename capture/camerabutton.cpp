#include "camerabutton.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <linux/input.h>
#include <unistd.h>

namespace {

int openNode(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    return fd >= 0 ? fd : -errno;
}

QByteArray readSmallFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(4096);
}

int eventNumber(const QString& name)
{
    return name.mid(int(qstrlen("event"))).toInt();
}

} // namespace

CameraButton::CameraButton() : CameraButton(Options{}) {}

CameraButton::CameraButton(Options options) : m_options(std::move(options))
{
    if (!m_options.open)
        m_options.open = openNode;
    m_elapsed.start();
}

CameraButton::~CameraButton()
{
    CloseEquipment();
}

bool CameraButton::hasKey(const QByteArray& bitmap, int code)
{
    // The kernel prints the bitmap in words of its own long, leading zero words left out.
    constexpr int wordBits = int(sizeof(unsigned long) * CHAR_BIT);
    const QList<QByteArray> words = bitmap.simplified().split(' ');
    const qsizetype index = words.size() - 1 - code / wordBits;
    if (code < 0 || words.first().isEmpty() || index < 0)
        return false;
    bool ok = false;
    const qulonglong word = words.at(index).toULongLong(&ok, 16);
    return ok && (word >> (code % wordBits)) & 1;
}

QStringList CameraButton::findButtonNodes() const
{
    const QDir input(m_options.sysRoot + QStringLiteral("/class/input"));
    QStringList names =
        input.entryList({QStringLiteral("event*")}, QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return eventNumber(a) < eventNumber(b); });
    QStringList nodes;
    for (const QString& name : names) {
        const QString dir = input.filePath(name);
        if (!hasKey(readSmallFile(dir + QStringLiteral("/device/capabilities/key")), KEY_CAMERA))
            continue;
        QString devName = QStringLiteral("input/") + name;
        const QList<QByteArray> uevent = readSmallFile(dir + QStringLiteral("/uevent")).split('\n');
        for (const QByteArray& line : uevent) {
            if (line.startsWith("DEVNAME="))
                devName = QFile::decodeName(line.mid(int(qstrlen("DEVNAME="))));
        }
        nodes << m_options.devRoot + QLatin1Char('/') + devName;
    }
    return nodes;
}

int CameraButton::InitEquipment()
{
    CloseEquipment();
    m_deniedNodes.clear();
    for (const QString& node : findButtonNodes()) {
        const int fd = m_options.open(node);
        if (fd >= 0)
            m_devices.push_back({node, fd, {}});
        else if (fd == -EACCES || fd == -EPERM)
            m_deniedNodes << node;
    }
    return m_devices.empty() ? 0 : 1;
}

int CameraButton::ReadFromEquipment(int address)
{
    if (address != ButtonAddress)
        return Released;
    readPending();
    if (!m_pressPending)
        return Released;
    m_pressPending = false;
    return Pressed;
}

int CameraButton::CloseEquipment()
{
    for (const Device& device : m_devices)
        ::close(device.fd);
    m_devices.clear();
    m_pressPending = false;
    return 1;
}

void CameraButton::videoStarted()
{
    m_videoStartedAt = now();
    // Whatever came before the new stream is stale.
    readPending();
    m_pressPending = false;
}

QString CameraButton::failureReason(int languageIndex) const
{
    if (!m_devices.empty() || m_deniedNodes.isEmpty())
        return {};
    const QString nodes = m_deniedNodes.join(QStringLiteral(", "));
    if (languageIndex == 1)
        return QStringLiteral("找到了摄像头的拍照按钮（%1），但当前用户无权读取它。"
                              "请按说明文件 README 中“摄像头拍照按钮”一节设置 udev 规则，"
                              "并把用户加入 video 组。")
            .arg(nodes);
    if (languageIndex == 2)
        return QStringLiteral("The camera's snapshot button was found (%1), but this user may "
                              "not read it. Set up the udev rule from the README section "
                              "\"Camera snapshot button\" and add the user to the video group.")
            .arg(nodes);
    return {};
}

std::vector<int> CameraButton::openDescriptors() const
{
    std::vector<int> fds;
    for (const Device& device : m_devices)
        fds.push_back(device.fd);
    return fds;
}

void CameraButton::readPending()
{
    const auto gone = std::remove_if(m_devices.begin(), m_devices.end(), [this](Device& device) {
        if (readDevice(device))
            return false;
        // Unplugged: the node reports ENODEV from now on.
        ::close(device.fd);
        return true;
    });
    m_devices.erase(gone, m_devices.end());
}

bool CameraButton::readDevice(Device& device)
{
    const bool taking = m_videoStartedAt >= 0 && now() - m_videoStartedAt >= StartUpQuietMs;
    bool alive = true;
    char buffer[64 * sizeof(input_event)];
    // Bounded, so that a device that never falls silent cannot hold up the poll.
    for (int round = 0; round < 16; ++round) {
        const ssize_t n = ::read(device.fd, buffer, sizeof buffer);
        if (n > 0) {
            device.partial.append(buffer, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        alive = n == 0 || errno == EAGAIN || errno == EWOULDBLOCK;
        break;
    }
    const qsizetype whole = device.partial.size() / qsizetype(sizeof(input_event));
    for (qsizetype i = 0; i < whole; ++i) {
        input_event event;
        std::memcpy(&event, device.partial.constData() + i * sizeof(input_event), sizeof event);
        if (taking && event.type == EV_KEY && event.code == KEY_CAMERA && event.value == 1)
            m_pressPending = true;
    }
    device.partial.remove(0, whole * qsizetype(sizeof(input_event)));
    return alive;
}

qint64 CameraButton::now() const
{
    return m_options.clock ? m_options.clock() : m_elapsed.elapsed();
}
