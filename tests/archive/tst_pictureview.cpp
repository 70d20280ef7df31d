#include "pictureview.h"
#include "viewport.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <cmath>

namespace {

Viewport model(QSize picture, QSize view, ZoomMode mode, double percent = 100)
{
    Viewport m;
    m.setPictureSize(picture);
    m.setViewSize(view);
    m.setZoomMode(mode);
    if (mode == zmPercent)
        m.requestPercent(percent);
    return m;
}

QImage picture(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    return image;
}

} // namespace

class TestPictureView : public QObject
{
    Q_OBJECT
private slots:
    void zoomOfEachMode_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("view");
        QTest::addColumn<int>("mode");
        QTest::addColumn<double>("percent");
        QTest::addColumn<double>("factor");
        QTest::addColumn<QSize>("displayed");
        QTest::addColumn<QPoint>("offset");

        const QSize p(400, 300);
        QTest::newRow("original, larger than view")
            << p << QSize(200, 100) << int(zmOriginalSize) << 0.0 << 1.0 << p << QPoint(0, 0);
        QTest::newRow("original, centred")
            << p << QSize(600, 500) << int(zmOriginalSize) << 0.0 << 1.0 << p << QPoint(100, 100);
        QTest::newRow("full page shrinks") << p << QSize(200, 300) << int(zmFullPage) << 0.0 << 0.5
                                           << QSize(200, 150) << QPoint(0, 75);
        QTest::newRow("full page enlarges") << p << QSize(800, 1200) << int(zmFullPage) << 0.0
                                            << 2.0 << QSize(800, 600) << QPoint(0, 300);
        QTest::newRow("fit width overflows height")
            << p << QSize(200, 100) << int(zmFitWidth) << 0.0 << 0.5 << QSize(200, 150) << QPoint();
        QTest::newRow("fit width enlarges") << p << QSize(800, 1000) << int(zmFitWidth) << 0.0
                                            << 2.0 << QSize(800, 600) << QPoint(0, 200);
        QTest::newRow("fit height") << p << QSize(100, 150) << int(zmFitHeight) << 0.0 << 0.5
                                    << QSize(200, 150) << QPoint();
        QTest::newRow("fit height enlarges") << p << QSize(1000, 600) << int(zmFitHeight) << 0.0
                                             << 2.0 << QSize(800, 600) << QPoint(100, 0);
        QTest::newRow("percent 250") << p << QSize(100, 100) << int(zmPercent) << 250.0 << 2.5
                                     << QSize(1000, 750) << QPoint();
        QTest::newRow("percent 50 centred") << p << QSize(400, 300) << int(zmPercent) << 50.0 << 0.5
                                            << QSize(200, 150) << QPoint(100, 75);
        QTest::newRow("fit to page shrinks") << p << QSize(200, 300) << int(zmFitToPage) << 0.0
                                             << 0.5 << QSize(200, 150) << QPoint(0, 75);
        QTest::newRow("fit to page never enlarges")
            << p << QSize(1200, 900) << int(zmFitToPage) << 0.0 << 1.0 << p << QPoint(400, 300);
        // The archive's thumbnail in its frame.
        QTest::newRow("thumbnail in frame")
            << QSize(192, 154) << QSize(174, 141) << int(zmFitToPage) << 0.0 << 174.0 / 192
            << QSize(174, 140) << QPoint(0, 0);
        QTest::newRow("odd spare pixel goes right")
            << QSize(3, 3) << QSize(10, 10) << int(zmOriginalSize) << 0.0 << 1.0 << QSize(3, 3)
            << QPoint(3, 3);
        QTest::newRow("halves round away from zero")
            << QSize(3, 5) << QSize(10, 10) << int(zmPercent) << 50.0 << 0.5 << QSize(2, 3)
            << QPoint(4, 3);
        QTest::newRow("at least one pixel") << QSize(1000, 1) << QSize(100, 100) << int(zmFullPage)
                                            << 0.0 << 0.1 << QSize(100, 1) << QPoint(0, 49);
        QTest::newRow("no picture") << QSize() << QSize(100, 100) << int(zmFullPage) << 0.0 << 1.0
                                    << QSize(0, 0) << QPoint(50, 50);
        QTest::newRow("view without area")
            << p << QSize(0, 0) << int(zmFitToPage) << 0.0 << 1.0 << p << QPoint(0, 0);
    }
    void zoomOfEachMode()
    {
        QFETCH(QSize, picture);
        QFETCH(QSize, view);
        QFETCH(int, mode);
        QFETCH(double, percent);
        QFETCH(double, factor);
        QFETCH(QSize, displayed);
        QFETCH(QPoint, offset);
        const Viewport m = model(picture, view, ZoomMode(mode), percent);
        QCOMPARE(m.zoomMode(), ZoomMode(mode));
        QCOMPARE(m.zoomFactor(), factor);
        QCOMPARE(m.displayedSize(), displayed);
        QCOMPARE(m.centringOffset(), offset);
        QCOMPARE(m.pictureRect(), QRect(offset, displayed));
    }

    void percentRequests_data()
    {
        QTest::addColumn<bool>("hasPicture");
        QTest::addColumn<double>("request");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<double>("percent");
        QTest::addColumn<int>("mode");

        QTest::newRow("no picture") << false << 200.0 << false << 100.0 << int(zmFitToPage);
        QTest::newRow("0.1 ignored") << true << 0.1 << false << 100.0 << int(zmFitToPage);
        QTest::newRow("zero ignored") << true << 0.0 << false << 100.0 << int(zmFitToPage);
        QTest::newRow("negative ignored") << true << -50.0 << false << 100.0 << int(zmFitToPage);
        QTest::newRow("NaN ignored") << true << std::nan("") << false << 100.0 << int(zmFitToPage);
        QTest::newRow("just above 0.1") << true << 0.11 << true << 0.11 << int(zmPercent);
        QTest::newRow("250") << true << 250.0 << true << 250.0 << int(zmPercent);
        QTest::newRow("maximum") << true << Viewport::kMaxPercent << true << Viewport::kMaxPercent
                                 << int(zmPercent);
        QTest::newRow("clamped") << true << 5000.0 << true << Viewport::kMaxPercent
                                 << int(zmPercent);
    }
    void percentRequests()
    {
        QFETCH(bool, hasPicture);
        QFETCH(double, request);
        QFETCH(bool, taken);
        QFETCH(double, percent);
        QFETCH(int, mode);
        Viewport m = model(hasPicture ? QSize(400, 300) : QSize(), QSize(200, 200), zmFitToPage);
        QCOMPARE(m.requestPercent(request), taken);
        QCOMPARE(m.percent(), percent);
        QCOMPARE(int(m.zoomMode()), mode);
        if (taken)
            QCOMPARE(m.zoomFactor(), percent / 100);
    }

    void scrollRangesAndClamping()
    {
        Viewport m = model(QSize(400, 300), QSize(300, 200), zmPercent, 200);
        QCOMPARE(m.displayedSize(), QSize(800, 600));
        QCOMPARE(m.maximumScroll(), QPoint(500, 400));
        m.setScrollPosition(QPoint(1000, -5));
        QCOMPARE(m.scrollPosition(), QPoint(500, 0));
        m.setScrollPosition(QPoint(100, 50));
        QCOMPARE(m.pictureRect(), QRect(-100, -50, 800, 600));
        QCOMPARE(m.viewToPixel(QPoint(0, 0)), QPoint(50, 25));
        QCOMPARE(m.sourceRect(QRect(0, 0, 300, 200)), QRect(50, 25, 150, 100));
        // A smaller zoom shrinks the ranges and pulls the position back into them.
        m.setZoomMode(zmFitWidth);
        QCOMPARE(m.maximumScroll(), QPoint(0, 25));
        QCOMPARE(m.scrollPosition(), QPoint(0, 25));
        m.setViewSize(QSize(600, 600));
        QCOMPARE(m.maximumScroll(), QPoint(0, 0));
        QCOMPARE(m.scrollPosition(), QPoint(0, 0));
        // A new picture starts at the top left.
        m.setZoomMode(zmOriginalSize);
        m.setPictureSize(QSize(2000, 2000));
        m.setScrollPosition(QPoint(300, 300));
        m.setPictureSize(QSize(1000, 1000));
        QCOMPARE(m.scrollPosition(), QPoint(0, 0));
    }

    void mappingRoundTrips_data()
    {
        QTest::addColumn<double>("percent");
        QTest::addColumn<QSize>("view");
        QTest::addColumn<QPoint>("scroll");
        for (double percent : {25.0, 50.0, 75.0, 100.0, 150.0, 300.0}) {
            QTest::addRow("%g%% centred", percent) << percent << QSize(200, 200) << QPoint();
            QTest::addRow("%g%% scrolled", percent) << percent << QSize(20, 15) << QPoint(7, 4);
        }
    }
    void mappingRoundTrips()
    {
        QFETCH(double, percent);
        QFETCH(QSize, view);
        QFETCH(QPoint, scroll);
        Viewport m = model(QSize(37, 23), view, zmPercent, percent);
        m.setScrollPosition(scroll);
        const QRect shown = m.pictureRect();
        if (percent >= 100) {
            for (int y = 0; y < 23; ++y)
                for (int x = 0; x < 37; ++x)
                    QCOMPARE(m.viewToPixel(m.pixelToView(QPoint(x, y))), QPoint(x, y));
        }
        if (percent <= 100) {
            for (int y = shown.top(); y <= shown.bottom(); ++y)
                for (int x = shown.left(); x <= shown.right(); ++x)
                    QCOMPARE(m.pixelToView(m.viewToPixel(QPoint(x, y))), QPoint(x, y));
        }
        const QPointF p(12.25, 7.5);
        const QPointF back = m.viewToPicture(m.pictureToView(p));
        QVERIFY(qAbs(back.x() - p.x()) < 1e-9 && qAbs(back.y() - p.y()) < 1e-9);
        // The picture's corners sit on the displayed rectangle's corners.
        QCOMPARE(m.pictureToView(QPointF(0, 0)), QPointF(shown.topLeft()));
        QCOMPARE(m.pictureToView(QPointF(37, 23)),
                 QPointF(shown.x() + shown.width(), shown.y() + shown.height()));
    }

    void mappingOutsideAndClamping()
    {
        const Viewport m = model(QSize(100, 50), QSize(300, 150), zmPercent, 200);
        QCOMPARE(m.pictureRect(), QRect(50, 25, 200, 100));
        QCOMPARE(m.viewToPixel(QPoint(10, 140)), QPoint(-20, 57));
        QCOMPARE(m.clampToPicture(QPoint(-20, 57)), QPoint(0, 49));
        QCOMPARE(m.clampToPicture(QPoint(150, -3)), QPoint(99, 0));
        QCOMPARE(m.viewToPixel(QPoint(249, 124)), QPoint(99, 49));
        QVERIFY(m.sourceRect(QRect(0, 0, 40, 150)).isEmpty());
    }

    // The widget: zoom, bars, signals.
    void zoomChangesDisplayedSize()
    {
        PictureView view;
        view.setFrameShape(QFrame::NoFrame);
        view.resize(300, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(view.zoomMode(), zmFitToPage);
        QVERIFY(!view.setZoomPercent(200)); // no picture yet
        view.setPicture(picture(QSize(400, 300)));
        QCOMPARE(view.displayedSize(), QSize(267, 200));
        QCOMPARE(view.pictureRect(), QRect(16, 0, 267, 200));
        QVERIFY(!view.horizontalScrollBar()->isVisible());

        QSignalSpy zoomed(&view, &PictureView::zoomChanged);
        QVERIFY(view.setZoomPercent(200));
        QCOMPARE(zoomed.count(), 1);
        QCOMPARE(view.zoomMode(), zmPercent);
        QCOMPARE(view.zoomFactor(), 2.0);
        QCOMPARE(view.displayedSize(), QSize(800, 600));
        QVERIFY(view.horizontalScrollBar()->isVisible());
        QVERIFY(view.verticalScrollBar()->isVisible());
        QCOMPARE(view.model().viewSize(), view.viewport()->size());
        QCOMPARE(view.viewportRect(), view.viewport()->rect());
        QCOMPARE(view.horizontalScrollBar()->maximum(), 800 - view.viewport()->width());
        // Zooming keeps the picture point at the centre of the view in place.
        const QPoint centre(view.viewport()->width() / 2, view.viewport()->height() / 2);
        const QPoint atCentre = view.viewToPicture(centre);
        QVERIFY2(qAbs(atCentre.x() - 200) <= 1 && qAbs(atCentre.y() - 150) <= 1,
                 qPrintable(QStringLiteral("%1,%2").arg(atCentre.x()).arg(atCentre.y())));

        view.horizontalScrollBar()->setValue(120);
        QCOMPARE(view.scrollPosition().x(), 120);
        view.setZoomMode(zmOriginalSize);
        QCOMPARE(view.displayedSize(), QSize(400, 300));
        view.setZoomMode(zmFitToPage);
        QCOMPARE(view.scrollPosition(), QPoint(0, 0));
        QVERIFY(!view.horizontalScrollBar()->isVisible());

        // A bigger view refits.
        view.resize(600, 400);
        QTRY_COMPARE(view.displayedSize(), QSize(400, 300));
        view.setZoomMode(zmFullPage);
        QCOMPARE(view.displayedSize(), QSize(533, 400));
    }

    void hiddenScrollBarsStillScroll()
    {
        PictureView view;
        view.setFrameShape(QFrame::NoFrame);
        view.setScrollBarsVisible(false);
        view.resize(200, 100);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.setPicture(picture(QSize(400, 300)));
        QVERIFY(view.setZoomPercent(100));
        QVERIFY(!view.horizontalScrollBar()->isVisible());
        QVERIFY(!view.verticalScrollBar()->isVisible());
        QCOMPARE(view.viewport()->size(), QSize(200, 100));
        view.setScrollPosition(QPoint(500, 50));
        QCOMPARE(view.scrollPosition(), QPoint(200, 50));
        QCOMPARE(view.viewToPicture(QPoint(0, 0)), QPoint(200, 50));
        QCOMPARE(view.pictureToView(QPoint(210, 60)), QPoint(10, 10));
        view.clear();
        QVERIFY(view.picture().isNull());
        QCOMPARE(view.displayedSize(), QSize(0, 0));
        QCOMPARE(view.scrollPosition(), QPoint(0, 0));
    }

    void signalsCarryPositions()
    {
        PictureView view;
        view.setFrameShape(QFrame::NoFrame);
        view.resize(200, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.setPicture(picture(QSize(50, 100)));
        view.setZoomMode(zmOriginalSize); // at (75, 50) in the view
        QWidget* surface = view.viewport();
        QSignalSpy clicked(&view, &PictureView::clicked);
        QSignalSpy doubled(&view, &PictureView::doubleClicked);
        QSignalSpy pressed(&view, &PictureView::pressed);
        QSignalSpy moved(&view, &PictureView::moved);
        QSignalSpy released(&view, &PictureView::released);

        QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(80, 60));
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.at(0).at(0).toPoint(), QPoint(80, 60));
        QCOMPARE(clicked.at(0).at(1).toPoint(), QPoint(5, 10));
        QCOMPARE(pressed.at(0).at(0).value<Qt::MouseButton>(), Qt::LeftButton);
        QCOMPARE(released.count(), 1);

        // A double click is one click and one double click.
        clicked.clear();
        QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(100, 70));
        QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(100, 70));
        QTest::mouseDClick(surface, Qt::LeftButton, {}, QPoint(100, 70));
        QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(100, 70));
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(doubled.count(), 1);
        QCOMPARE(doubled.at(0).at(1).toPoint(), QPoint(25, 20));

        // The right button is reported as press, move and release, and is no click.
        clicked.clear();
        pressed.clear();
        released.clear();
        QTest::mousePress(surface, Qt::RightButton, {}, QPoint(90, 90));
        QTest::mouseMove(surface, QPoint(95, 97));
        QTest::mouseRelease(surface, Qt::RightButton, {}, QPoint(95, 97));
        QCOMPARE(pressed.count(), 1);
        QCOMPARE(pressed.at(0).at(0).value<Qt::MouseButton>(), Qt::RightButton);
        QCOMPARE(pressed.at(0).at(1).toPoint(), QPoint(90, 90));
        QCOMPARE(moved.count(), 1);
        QCOMPARE(moved.at(0).at(0).value<Qt::MouseButtons>(), Qt::MouseButtons(Qt::RightButton));
        QCOMPARE(moved.at(0).at(1).toPoint(), QPoint(95, 97));
        QCOMPARE(released.at(0).at(0).value<Qt::MouseButton>(), Qt::RightButton);
        QCOMPARE(released.at(0).at(1).toPoint(), QPoint(95, 97));
        QCOMPARE(clicked.count(), 0);
    }

    void paintsThePicture()
    {
        PictureView view;
        view.setFrameShape(QFrame::NoFrame);
        view.resize(100, 100);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QImage image(QSize(20, 10), QImage::Format_RGB888);
        image.fill(Qt::red);
        view.setPicture(image);
        view.setZoomPercent(300);
        view.setScrollPosition(QPoint(0, 0));
        const QImage shot = view.viewport()->grab().toImage();
        QCOMPARE(QColor(shot.pixel(50, 50)), QColor(Qt::red));
        QVERIFY(QColor(shot.pixel(50, 95)) != QColor(Qt::red)); // below the picture
    }
};

QTEST_MAIN(TestPictureView)
#include "tst_pictureview.moc"
