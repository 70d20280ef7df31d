#include "udevmonitor.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>

class tst_UdevMonitor : public QObject
{
    Q_OBJECT
private slots:
    void construction();
    void actions_data();
    void actions();
};

void tst_UdevMonitor::construction()
{
    // Without netlink or udev (containers) the monitor is inactive, and that is no failure.
    QObject owner;
    auto* owned = new UsbDeviceMonitor(&owner);
    UsbDeviceMonitor standalone;
    QCOMPARE(owned->isActive(), standalone.isActive());
    qInfo("USB monitor active: %s", standalone.isActive() ? "yes" : "no");
    QCoreApplication::processEvents();
}

void tst_UdevMonitor::actions_data()
{
    QTest::addColumn<QByteArray>("action");
    QTest::addColumn<int>("arrived");
    QTest::addColumn<int>("removed");

    QTest::newRow("add") << QByteArray("add") << 1 << 0;
    QTest::newRow("remove") << QByteArray("remove") << 0 << 1;
    QTest::newRow("change") << QByteArray("change") << 0 << 0;
    QTest::newRow("bind") << QByteArray("bind") << 0 << 0;
    QTest::newRow("unbind") << QByteArray("unbind") << 0 << 0;
    QTest::newRow("ADD") << QByteArray("ADD") << 0 << 0;
    QTest::newRow("empty") << QByteArray() << 0 << 0;
}

void tst_UdevMonitor::actions()
{
    QFETCH(QByteArray, action);
    QFETCH(int, arrived);
    QFETCH(int, removed);

    UsbDeviceMonitor monitor;
    QSignalSpy arrivals(&monitor, &UsbDeviceMonitor::deviceArrived);
    QSignalSpy removals(&monitor, &UsbDeviceMonitor::deviceRemoved);
    monitor.handleAction(action);
    QCOMPARE(arrivals.count(), arrived);
    QCOMPARE(removals.count(), removed);
}

QTEST_MAIN(tst_UdevMonitor)
#include "tst_udevmonitor.moc"
