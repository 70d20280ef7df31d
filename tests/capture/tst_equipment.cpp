#include "camerabutton.h"
#include "equipment.h"
#include "fakehandpiece.h"
#include "handpiecelibrary.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <linux/input.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray cameraBitmap = "100000 0 0 0";
// Every key from 192 to 223 but KEY_CAMERA.
const QByteArray keyboardBitmap = "ffefffff 0 0 0";
const QByteArray powerButtonBitmap = "10000000000000 0";

// A sysfs tree and a /dev of FIFOs standing in for the kernel's event nodes.
class InputTree
{
public:
    QString sysRoot() const { return m_dir.filePath(QStringLiteral("sys")); }
    QString devRoot() const { return m_dir.filePath(QStringLiteral("dev")); }
    QString node(int number) const
    {
        return devRoot() + QStringLiteral("/input/event") + QString::number(number);
    }

    // An input device; an empty bitmap leaves its key capability file out.
    void addDevice(int number, const QByteArray& keyBitmap, bool withNode = true,
                   const QByteArray& uevent = {})
    {
        const QString dir =
            sysRoot() + QStringLiteral("/class/input/event") + QString::number(number);
        QVERIFY(QDir().mkpath(dir + QStringLiteral("/device/capabilities")));
        if (!keyBitmap.isEmpty())
            write(dir + QStringLiteral("/device/capabilities/key"), keyBitmap + '\n');
        if (!uevent.isEmpty())
            write(dir + QStringLiteral("/uevent"), uevent);
        QVERIFY(QDir().mkpath(devRoot() + QStringLiteral("/input")));
        if (withNode)
            QCOMPARE(::mkfifo(QFile::encodeName(node(number)).constData(), 0600), 0);
    }

private:
    static void write(const QString& path, const QByteArray& text)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QTemporaryDir m_dir;
};

// The writing end of a FIFO node, opened after the button opened its reading end.
class EventWriter
{
public:
    explicit EventWriter(const QString& node)
        : m_fd(::open(QFile::encodeName(node).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC))
    {
    }
    ~EventWriter()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool isOpen() const { return m_fd >= 0; }

    bool send(quint16 type, quint16 code, qint32 value)
    {
        input_event event{};
        event.type = type;
        event.code = code;
        event.value = value;
        return sendBytes(QByteArray(reinterpret_cast<const char*>(&event), sizeof event));
    }
    bool key(quint16 code, qint32 value)
    {
        return send(EV_KEY, code, value) && send(EV_SYN, SYN_REPORT, 0);
    }
    bool press() { return key(KEY_CAMERA, 1) && key(KEY_CAMERA, 0); }
    bool sendBytes(const QByteArray& bytes)
    {
        return ::write(m_fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }
    // errno of a write that failed, 0 when it went through.
    int writeError()
    {
        const char byte = 0;
        return ::write(m_fd, &byte, 1) == 1 ? 0 : errno;
    }

private:
    int m_fd;
};

} // namespace

class tst_Equipment : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void libraryPassesThrough_data();
    void libraryPassesThrough();
    void libraryQueuedPress();
    void fallsBackToCameraButton_data();
    void fallsBackToCameraButton();

    void keyBitmap_data();
    void keyBitmap();
    void findsButtonByCapability();
    void buttonEvents_data();
    void buttonEvents();
    void startUpQuiet_data();
    void startUpQuiet();
    void staleAtVideoStartIgnored();
    void recordSplitAcrossPolls();
    void otherAddressReadsReleased();
    void noButtonDevice();
    void nodeMissing();
    void permissionDenied();
    void permissionDeniedOnDisk();
    void oneOfTwoOpens();
    void closeClosesDescriptors();
    void readErrorDropsDevice();

private:
    CameraButton::Options options(const InputTree& tree)
    {
        CameraButton::Options o;
        o.sysRoot = tree.sysRoot();
        o.devRoot = tree.devRoot();
        o.clock = [this] { return m_now; };
        return o;
    }
    // A button on the tree's camera device, opened, with live video running for a second.
    std::unique_ptr<CameraButton> listening(const InputTree& tree)
    {
        auto button = std::make_unique<CameraButton>(options(tree));
        if (button->InitEquipment() != 1)
            qFatal("camera button did not open");
        button->videoStarted();
        m_now += 1000;
        return button;
    }

    qint64 m_now = 100000;
};

void tst_Equipment::initTestCase()
{
    // A write to a FIFO whose reader has gone must fail with EPIPE, not end the test.
    std::signal(SIGPIPE, SIG_IGN);
    FakeHandpiece fake(QStringLiteral(FAKE_HANDPIECE_LIBRARY));
    QVERIFY2(fake.isLoaded(), qPrintable(fake.errorString()));
}

void tst_Equipment::cleanup()
{
    qunsetenv("QB_HANDPIECE_LIBRARY");
    FakeHandpiece(QStringLiteral(FAKE_HANDPIECE_LIBRARY)).reset();
}

void tst_Equipment::libraryPassesThrough_data()
{
    QTest::addColumn<int>("initResult");
    QTest::addColumn<int>("reading");

    QTest::newRow("not found") << 0 << 0xFF;
    QTest::newRow("pressed") << 1 << 0x7F;
    QTest::newRow("released, bit 7 only") << 1 << 0x80;
    QTest::newRow("released") << 1 << 0xFF;
    QTest::newRow("upper bytes kept") << 7 << 0x1237F;
    QTest::newRow("negative") << -1 << -129;
}

void tst_Equipment::libraryPassesThrough()
{
    QFETCH(int, initResult);
    QFETCH(int, reading);

    FakeHandpiece fake(QStringLiteral(FAKE_HANDPIECE_LIBRARY));
    fake.setInitResult(initResult);
    fake.setReading(reading);
    qputenv("QB_HANDPIECE_LIBRARY", FAKE_HANDPIECE_LIBRARY);

    const std::unique_ptr<Equipment> equipment = openEquipment();
    auto* library = dynamic_cast<HandpieceLibrary*>(equipment.get());
    QVERIFY(library);
    QCOMPARE(QFileInfo(library->fileName()).canonicalFilePath(),
             QFileInfo(QStringLiteral(FAKE_HANDPIECE_LIBRARY)).canonicalFilePath());
    QCOMPARE(equipment->InitEquipment(), initResult);
    QCOMPARE(equipment->ReadFromEquipment(133), reading);
    QCOMPARE(fake.lastAddress(), 133);
    QCOMPARE(equipment->ReadFromEquipment(133), reading);
    equipment->CloseEquipment();
    QCOMPARE(fake.callCount("InitEquipment"), 1);
    QCOMPARE(fake.callCount("ReadFromEquipment"), 2);
    QCOMPARE(fake.callCount("CloseEquipment"), 1);
    QVERIFY(equipment->failureReason(1).isEmpty());
}

void tst_Equipment::libraryQueuedPress()
{
    FakeHandpiece fake(QStringLiteral(FAKE_HANDPIECE_LIBRARY));
    QVERIFY(fake.queueReading(0x7F));
    QVERIFY(fake.queueReading(0x7E));
    auto library = HandpieceLibrary::load(QStringLiteral(FAKE_HANDPIECE_LIBRARY));
    QVERIFY(library);
    QCOMPARE(library->ReadFromEquipment(133), 0x7F);
    QCOMPARE(library->ReadFromEquipment(133), 0x7E);
    QCOMPARE(library->ReadFromEquipment(133), 0xFF);
}

void tst_Equipment::fallsBackToCameraButton_data()
{
    QTest::addColumn<QString>("library");

    QTest::newRow("unset") << QString();
    QTest::newRow("no such file") << QStringLiteral("/nonexistent/libDLLs.so");
    QTest::newRow("lacks CloseEquipment") << QStringLiteral(FAKE_HANDPIECE_NOCLOSE_LIBRARY);
    QTest::newRow("not a library") << QStringLiteral("@text");
}

void tst_Equipment::fallsBackToCameraButton()
{
    QFETCH(QString, library);

    QTemporaryDir dir;
    if (library == QLatin1String("@text")) {
        library = dir.filePath(QStringLiteral("libDLLs.so"));
        QFile file(library);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("InitEquipment ReadFromEquipment CloseEquipment\n");
    }
    if (!library.isNull())
        qputenv("QB_HANDPIECE_LIBRARY", QFile::encodeName(library));

    const std::unique_ptr<Equipment> equipment = openEquipment();
    QVERIFY(dynamic_cast<CameraButton*>(equipment.get()));
    QCOMPARE(FakeHandpiece(QStringLiteral(FAKE_HANDPIECE_LIBRARY)).callCount("InitEquipment"), 0);
}

void tst_Equipment::keyBitmap_data()
{
    QTest::addColumn<QByteArray>("bitmap");
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("present");

    if (sizeof(unsigned long) != 8)
        QSKIP("the bitmaps below are written in 64-bit words");
    QTest::newRow("camera") << cameraBitmap << KEY_CAMERA << true;
    QTest::newRow("camera, line end") << QByteArray("100000 0 0 0\n") << KEY_CAMERA << true;
    QTest::newRow("camera among more")
        << QByteArray("3 ffffffffffffffff 0 0 0") << KEY_CAMERA << true;
    QTest::newRow("neighbours only") << keyboardBitmap << KEY_CAMERA << false;
    QTest::newRow("one word short") << QByteArray("100000 0 0") << KEY_CAMERA << false;
    QTest::newRow("power button") << powerButtonBitmap << KEY_POWER << true;
    QTest::newRow("power, not camera") << powerButtonBitmap << KEY_CAMERA << false;
    QTest::newRow("lowest bit") << QByteArray("1") << 0 << true;
    QTest::newRow("zero") << QByteArray("0") << KEY_CAMERA << false;
    QTest::newRow("empty") << QByteArray() << KEY_CAMERA << false;
    QTest::newRow("not hex") << QByteArray("zz 0 0 0") << KEY_CAMERA << false;
    QTest::newRow("negative code") << cameraBitmap << -1 << false;
}

void tst_Equipment::keyBitmap()
{
    QFETCH(QByteArray, bitmap);
    QFETCH(int, code);
    QFETCH(bool, present);

    QCOMPARE(CameraButton::hasKey(bitmap, code), present);
}

void tst_Equipment::findsButtonByCapability()
{
    InputTree tree;
    tree.addDevice(0, keyboardBitmap);
    tree.addDevice(1, powerButtonBitmap);
    tree.addDevice(2, {});
    tree.addDevice(10, cameraBitmap, false, "MAJOR=13\nMINOR=74\nDEVNAME=input/by-test/cam10\n");
    tree.addDevice(3, cameraBitmap);

    const CameraButton button(options(tree));
    QCOMPARE(button.findButtonNodes(),
             QStringList({tree.node(3), tree.devRoot() + QStringLiteral("/input/by-test/cam10")}));
}

void tst_Equipment::buttonEvents_data()
{
    QTest::addColumn<QStringList>("steps");

    // down, up, repeat: KEY_CAMERA with value 1, 0, 2; enter: another key pressed;
    // ff / 7f: a poll and what it must read.
    QTest::newRow("short press") << QStringList{"down", "up", "7f", "ff"};
    QTest::newRow("held") << QStringList{"down", "7f", "ff", "repeat", "ff", "up", "ff"};
    QTest::newRow("two presses, one picture")
        << QStringList{"down", "up", "down", "up", "7f", "ff"};
    QTest::newRow("a press per poll") << QStringList{"down", "up", "7f", "down", "up", "7f", "ff"};
    QTest::newRow("release only") << QStringList{"up", "ff"};
    QTest::newRow("repeat only") << QStringList{"repeat", "ff"};
    QTest::newRow("another key") << QStringList{"enter", "ff"};
    QTest::newRow("nothing") << QStringList{"ff", "ff"};
}

void tst_Equipment::buttonEvents()
{
    QFETCH(QStringList, steps);

    InputTree tree;
    tree.addDevice(0, keyboardBitmap, false);
    tree.addDevice(4, cameraBitmap);
    const auto button = listening(tree);
    EventWriter writer(tree.node(4));
    QVERIFY(writer.isOpen());

    for (const QString& step : steps) {
        if (step == QLatin1String("down"))
            QVERIFY(writer.key(KEY_CAMERA, 1));
        else if (step == QLatin1String("up"))
            QVERIFY(writer.key(KEY_CAMERA, 0));
        else if (step == QLatin1String("repeat"))
            QVERIFY(writer.key(KEY_CAMERA, 2));
        else if (step == QLatin1String("enter"))
            QVERIFY(writer.key(KEY_ENTER, 1));
        else
            QCOMPARE(button->ReadFromEquipment(133), step.toInt(nullptr, 16));
    }
}

void tst_Equipment::startUpQuiet_data()
{
    QTest::addColumn<bool>("started");
    QTest::addColumn<int>("pressAfterMs");
    QTest::addColumn<int>("reading");

    QTest::newRow("video not started") << false << 5000 << 0xFF;
    QTest::newRow("at start") << true << 0 << 0xFF;
    QTest::newRow("just before half a second") << true << 499 << 0xFF;
    QTest::newRow("half a second") << true << 500 << 0x7F;
    QTest::newRow("later") << true << 3000 << 0x7F;
}

void tst_Equipment::startUpQuiet()
{
    QFETCH(bool, started);
    QFETCH(int, pressAfterMs);
    QFETCH(int, reading);

    InputTree tree;
    tree.addDevice(0, cameraBitmap);
    CameraButton button(options(tree));
    QCOMPARE(button.InitEquipment(), 1);
    EventWriter writer(tree.node(0));
    if (started)
        button.videoStarted();
    m_now += pressAfterMs;
    QVERIFY(writer.press());
    QCOMPARE(button.ReadFromEquipment(133), reading);

    // The next start opens another quiet half second.
    button.videoStarted();
    m_now += 100;
    QVERIFY(writer.press());
    QCOMPARE(button.ReadFromEquipment(133), 0xFF);
}

void tst_Equipment::staleAtVideoStartIgnored()
{
    InputTree tree;
    tree.addDevice(0, cameraBitmap);
    const auto button = listening(tree);
    EventWriter writer(tree.node(0));
    // A press still waiting unread when the stream restarts belongs to the old stream.
    QVERIFY(writer.press());
    button->videoStarted();
    m_now += 1000;
    QCOMPARE(button->ReadFromEquipment(133), 0xFF);
}

void tst_Equipment::recordSplitAcrossPolls()
{
    InputTree tree;
    tree.addDevice(0, cameraBitmap);
    const auto button = listening(tree);
    EventWriter writer(tree.node(0));
    input_event event{};
    event.type = EV_KEY;
    event.code = KEY_CAMERA;
    event.value = 1;
    const QByteArray bytes(reinterpret_cast<const char*>(&event), sizeof event);
    QVERIFY(writer.sendBytes(bytes.left(5)));
    QCOMPARE(button->ReadFromEquipment(133), 0xFF);
    QVERIFY(writer.sendBytes(bytes.mid(5)));
    QCOMPARE(button->ReadFromEquipment(133), 0x7F);
}

void tst_Equipment::otherAddressReadsReleased()
{
    InputTree tree;
    tree.addDevice(0, cameraBitmap);
    const auto button = listening(tree);
    EventWriter writer(tree.node(0));
    QVERIFY(writer.press());
    // Only the button's own address answers, and asking elsewhere keeps the press.
    QCOMPARE(button->ReadFromEquipment(0x86), 0xFF);
    QCOMPARE(button->ReadFromEquipment(133), 0x7F);
}

void tst_Equipment::noButtonDevice()
{
    InputTree tree;
    tree.addDevice(0, keyboardBitmap);
    tree.addDevice(1, powerButtonBitmap);
    CameraButton button(options(tree));
    QCOMPARE(button.InitEquipment(), 0);
    QCOMPARE(button.failureReason(1), QString());
    QCOMPARE(button.failureReason(2), QString());
    QCOMPARE(button.ReadFromEquipment(133), 0xFF);
}

void tst_Equipment::nodeMissing()
{
    // Listed by sysfs but without a node, as in a container: not a permission matter.
    InputTree tree;
    tree.addDevice(0, cameraBitmap, false);
    CameraButton button(options(tree));
    QCOMPARE(button.InitEquipment(), 0);
    QCOMPARE(button.failureReason(2), QString());
}

void tst_Equipment::permissionDenied()
{
    InputTree tree;
    tree.addDevice(5, cameraBitmap);
    CameraButton::Options o = options(tree);
    QStringList tried;
    o.open = [&tried](const QString& path) {
        tried << path;
        return -EACCES;
    };
    CameraButton button(o);
    QCOMPARE(button.InitEquipment(), 0);
    QCOMPARE(tried, QStringList{tree.node(5)});

    const QString chinese = button.failureReason(1);
    const QString english = button.failureReason(2);
    QVERIFY(chinese.contains(QStringLiteral("无权读取")));
    QVERIFY(chinese.contains(QStringLiteral("README")));
    QVERIFY(chinese.contains(tree.node(5)));
    QVERIFY(english.contains(QStringLiteral("may not read it")));
    QVERIFY(english.contains(QStringLiteral("README")));
    QVERIFY(english.contains(tree.node(5)));
    QCOMPARE(button.failureReason(0), QString());
}

void tst_Equipment::permissionDeniedOnDisk()
{
    if (::geteuid() == 0)
        QSKIP("root opens a node of mode 000 all the same");
    InputTree tree;
    tree.addDevice(0, cameraBitmap);
    QVERIFY(QFile::setPermissions(tree.node(0), {}));
    CameraButton button(options(tree));
    QCOMPARE(button.InitEquipment(), 0);
    QVERIFY(button.failureReason(2).contains(tree.node(0)));
}

void tst_Equipment::oneOfTwoOpens()
{
    InputTree tree;
    tree.addDevice(0, cameraBitmap);
    tree.addDevice(1, cameraBitmap);
    CameraButton::Options o = options(tree);
    const QString denied = tree.node(0);
    o.open = [denied](const QString& path) {
        return path == denied ? -EACCES
                              : ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
    };
    CameraButton button(o);
    QCOMPARE(button.InitEquipment(), 1);
    QCOMPARE(button.failureReason(2), QString());

    EventWriter writer(tree.node(1));
    QVERIFY(writer.isOpen());
    button.videoStarted();
    m_now += 1000;
    QVERIFY(writer.press());
    QCOMPARE(button.ReadFromEquipment(133), 0x7F);
}

void tst_Equipment::closeClosesDescriptors()
{
    InputTree tree;
    tree.addDevice(0, cameraBitmap);
    tree.addDevice(1, cameraBitmap);
    CameraButton button(options(tree));
    QCOMPARE(button.InitEquipment(), 1);
    QCOMPARE(button.openDescriptors().size(), size_t(2));
    EventWriter first(tree.node(0));
    EventWriter second(tree.node(1));
    button.videoStarted();
    m_now += 1000;
    QVERIFY(first.press());

    button.CloseEquipment();
    QVERIFY(button.openDescriptors().empty());
    // With their reader gone the FIFOs refuse writes: the descriptors are really closed.
    QCOMPARE(first.writeError(), EPIPE);
    QCOMPARE(second.writeError(), EPIPE);
    QCOMPARE(button.ReadFromEquipment(133), 0xFF);

    // Opened again after closing, as the capture window may do.
    QCOMPARE(button.InitEquipment(), 1);
    EventWriter again(tree.node(1));
    QVERIFY(again.press());
    QCOMPARE(button.ReadFromEquipment(133), 0x7F);
}

void tst_Equipment::readErrorDropsDevice()
{
    // A node that fails every read, as an unplugged camera's does, is let go.
    InputTree tree;
    tree.addDevice(0, cameraBitmap, false);
    CameraButton::Options o = options(tree);
    const QString dir = tree.devRoot();
    o.open = [dir](const QString&) {
        return ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_NONBLOCK);
    };
    CameraButton button(o);
    QCOMPARE(button.InitEquipment(), 1);
    QCOMPARE(button.ReadFromEquipment(133), 0xFF);
    QVERIFY(button.openDescriptors().empty());
}

QTEST_GUILESS_MAIN(tst_Equipment)
#include "tst_equipment.moc"
