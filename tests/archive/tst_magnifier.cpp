#include "frameimage.h"
#include "magnifier.h"

#include <QCursor>
#include <QPointer>
#include <QTest>
#include <QTimer>

namespace {

// Large enough that a 400 x 300 picture shows at 1:1, centred.
const QSize kFrameSize(600, 500);
const QSize kPicture(400, 300);

QImage picture(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    return image;
}

QTimer* refreshTimer(TFrameImage& frame)
{
    return frame.findChild<QTimer*>(QStringLiteral("FSyncronizeCursor"));
}

QWidget* viewport(TFrameImage& frame)
{
    return frame.source()->viewport();
}

// The viewport position of a picture pixel.
QPoint at(TFrameImage& frame, QPoint pixel)
{
    return frame.source()->pictureToView(pixel);
}

} // namespace

class TestMagnifier : public QObject
{
    Q_OBJECT

    // A shown frame with the magnifier on, a 400 x 300 picture at 1:1, square 100, factor 2.
    std::unique_ptr<TFrameImage> armedFrame()
    {
        auto frame = std::make_unique<TFrameImage>();
        frame->resize(kFrameSize);
        frame->source()->setPicture(picture(kPicture));
        frame->PrepairCtrl();
        frame->SetManifierWidth(100);
        frame->show();
        if (!QTest::qWaitForWindowExposed(frame.get()))
            return nullptr;
        return frame;
    }

    // The square's centre in viewport coordinates of the frame's picture view.
    static QPoint squareCentre(TFrameImage& frame)
    {
        QWidget* square = frame.magnifierSquare();
        return viewport(frame)->mapFrom(square->parentWidget(),
                                        square->geometry().center() + QPoint(1, 1));
    }

private Q_SLOTS:
    void region_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QSize>("square");
        QTest::addColumn<double>("factor");
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QRect>("expected");

        const QSize big(4000, 3000);
        QTest::newRow("top-left corner")
            << QPoint(0, 0) << QSize(200, 200) << 4.0 << big << QRect(0, 0, 50, 50);
        QTest::newRow("near top-left")
            << QPoint(10, 5) << QSize(200, 200) << 4.0 << big << QRect(0, 0, 50, 50);
        QTest::newRow("left of picture")
            << QPoint(-1, 100) << QSize(200, 200) << 4.0 << big << QRect();
        QTest::newRow("above picture")
            << QPoint(500, -30) << QSize(200, 200) << 4.0 << big << QRect(475, 0, 50, 50);
        QTest::newRow("inside, 200 at 4 -> 50x50")
            << QPoint(1000, 800) << QSize(200, 200) << 4.0 << big << QRect(975, 775, 50, 50);
        // The last column and row are never shown.
        QTest::newRow("bottom-right")
            << QPoint(3999, 2999) << QSize(200, 200) << 4.0 << big << QRect(3949, 2949, 50, 50);
        QTest::newRow("right of picture")
            << QPoint(5000, 100) << QSize(200, 200) << 4.0 << big << QRect(3949, 75, 50, 50);
        QTest::newRow("below picture")
            << QPoint(100, 4000) << QSize(200, 200) << 4.0 << big << QRect(75, 2949, 50, 50);
        QTest::newRow("factor 1 is 1:1, odd side loses a pixel")
            << QPoint(1000, 1000) << QSize(117, 96) << 1.0 << big << QRect(942, 952, 116, 96);
        QTest::newRow("ties to even: 2.5 -> 2")
            << QPoint(100, 100) << QSize(10, 10) << 4.0 << big << QRect(99, 99, 2, 2);
        QTest::newRow("ties to even: 3.5 -> 4")
            << QPoint(100, 100) << QSize(14, 14) << 4.0 << big << QRect(98, 98, 4, 4);
        QTest::newRow("larger than picture -> whole picture")
            << QPoint(20, 15) << QSize(200, 200) << 2.0 << QSize(40, 30) << QRect(0, 0, 40, 30);
        QTest::newRow("one axis too large -> whole picture")
            << QPoint(200, 15) << QSize(200, 200) << 4.0 << QSize(400, 30) << QRect(0, 0, 400, 30);
        QTest::newRow("fits with the last pixel spare")
            << QPoint(100, 100) << QSize(100, 100) << 1.0 << QSize(101, 101)
            << QRect(0, 0, 100, 100);
        QTest::newRow("as wide as the picture -> whole picture")
            << QPoint(50, 50) << QSize(100, 100) << 1.0 << QSize(100, 100) << QRect(0, 0, 100, 100);
        QTest::newRow("no picture") << QPoint(0, 0) << QSize(200, 200) << 4.0 << QSize() << QRect();
        QTest::newRow("factor 0") << QPoint(0, 0) << QSize(200, 200) << 0.0 << big << QRect();
        QTest::newRow("square too small for the factor")
            << QPoint(10, 10) << QSize(2, 2) << 4.0 << big << QRect();
    }

    void region()
    {
        QFETCH(QPoint, point);
        QFETCH(QSize, square);
        QFETCH(double, factor);
        QFETCH(QSize, picture);
        QFETCH(QRect, expected);
        QCOMPARE(magnifierRegion(point, square, factor, picture), expected);
    }

    void offUntilPrepared()
    {
        TFrameImage frame;
        frame.resize(kFrameSize);
        frame.source()->setPicture(picture(kPicture));
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QCOMPARE(frame.magnifierState(), TFrameImage::MagnifierState::Off);
        QVERIFY(!frame.magnifierSquare()); // thumbnail frames never build one
        QTest::mousePress(viewport(frame), Qt::RightButton, {}, at(frame, QPoint(200, 150)));
        QTest::mouseRelease(viewport(frame), Qt::RightButton, {}, at(frame, QPoint(200, 150)));
        QVERIFY(!frame.magnifierSquare());
        frame.UpdateDisplay();
        QVERIFY(frame.magnifierRegion().isEmpty());

        frame.PrepairCtrl();
        QCOMPARE(frame.magnifierState(), TFrameImage::MagnifierState::Armed);
        QCOMPARE(frame.ManifierZoom(), 2.0);
        QVERIFY(frame.magnifierSquare());
        QVERIFY(frame.magnifierSquare()->isHidden());
        QCOMPARE(frame.magnifierSquare()->size(),
                 QSize(TFrameImage::kSquareDesignWidth, TFrameImage::kSquareDesignHeight));
        frame.SetManifierWidth(80);
        QCOMPARE(frame.ManifierWidth(), 80);
        QCOMPARE(frame.magnifierSquare()->size(), QSize(80, 80));
    }

    void pressMoveRelease_data()
    {
        QTest::addColumn<Qt::MouseButton>("release");
        QTest::newRow("right released") << Qt::RightButton;
        QTest::newRow("left released") << Qt::LeftButton;
    }

    void pressMoveRelease()
    {
        QFETCH(Qt::MouseButton, release);
        auto frame = armedFrame();
        QVERIFY(frame);
        QWidget* square = frame->magnifierSquare();

        const QPoint first = at(*frame, QPoint(200, 150));
        QTest::mousePress(viewport(*frame), Qt::RightButton, {}, first);
        QCOMPARE(frame->magnifierState(), TFrameImage::MagnifierState::Shown);
        QVERIFY(square->isVisible());
        QCOMPARE(squareCentre(*frame), first);
        QCOMPARE(frame->magnifierRegion(), QRect(175, 125, 50, 50));
        QVERIFY(frame->magnifierView()->isVisible());
        QCOMPARE(frame->magnifierView()->picture().size(), QSize(100, 100));
        QVERIFY(refreshTimer(*frame)->isActive());

        const QPoint second = at(*frame, QPoint(300, 100));
        QTest::mouseMove(viewport(*frame), second);
        QCOMPARE(squareCentre(*frame), second);
        QCOMPARE(frame->magnifierRegion(), QRect(275, 75, 50, 50));

        // Left of the picture: the square stays, the enlarged picture goes.
        const QPoint left = at(*frame, QPoint(-20, 100));
        QTest::mouseMove(viewport(*frame), left);
        QVERIFY(square->isVisible());
        QVERIFY(!frame->magnifierView()->isVisible());
        QVERIFY(frame->magnifierRegion().isEmpty());

        // Above it: moved down to the top edge and shown again.
        const QPoint above = at(*frame, QPoint(100, -20));
        QTest::mouseMove(viewport(*frame), above);
        QVERIFY(frame->magnifierView()->isVisible());
        QCOMPARE(frame->magnifierRegion(), QRect(75, 0, 50, 50));

        if (release == Qt::LeftButton)
            QTest::mousePress(viewport(*frame), Qt::LeftButton, {}, above);
        QTest::mouseRelease(viewport(*frame), release, {}, above);
        QCOMPARE(frame->magnifierState(), TFrameImage::MagnifierState::Armed);
        QVERIFY(square->isHidden());
        QVERIFY(!frame->magnifierView()->hasPicture());
        QVERIFY(!refreshTimer(*frame)->isActive());
        if (release == Qt::LeftButton)
            QTest::mouseRelease(viewport(*frame), Qt::RightButton, {}, above);
    }

    void factorReachesNextRefresh()
    {
        auto frame = armedFrame();
        QVERIFY(frame);
        const QPoint pos = at(*frame, QPoint(200, 150));
        QCursor::setPos(viewport(*frame)->mapToGlobal(pos));
        QCOMPARE(frame->GetMousePos(), QPoint(200, 150));

        QTest::mousePress(viewport(*frame), Qt::RightButton, {}, pos);
        QCOMPARE(frame->magnifierRegion().size(), QSize(50, 50));
        frame->SetManifierZoom(4.0);
        QCOMPARE(frame->ManifierZoom(), 4.0);
        frame->SetManifierZoom(0.0); // ignored
        QCOMPARE(frame->ManifierZoom(), 4.0);
        // No move: the periodic refresh alone picks it up.
        QTRY_COMPARE_WITH_TIMEOUT(frame->magnifierRegion(), QRect(188, 138, 24, 24),
                                  TFrameImage::kRefreshMs * 4);
        QTest::mouseRelease(viewport(*frame), Qt::RightButton, {}, pos);
    }

    void border_data()
    {
        QTest::addColumn<bool>("hasFrame");
        QTest::addColumn<int>("inset");
        QTest::addColumn<QSize>("region");
        QTest::newRow("off") << false << 0 << QSize(50, 50);
        // 94 / 2 = 47 -> half 23.
        QTest::newRow("on") << true << TFrameImage::kSquareBorder << QSize(46, 46);
    }

    void border()
    {
        QFETCH(bool, hasFrame);
        QFETCH(int, inset);
        QFETCH(QSize, region);
        auto frame = armedFrame();
        QVERIFY(frame);
        const QColor colour(10, 200, 30);
        frame->SetManifierFrameColor(!hasFrame, Qt::magenta); // the second call must undo it
        frame->SetManifierFrameColor(hasFrame, colour);
        QCOMPARE(frame->ManifierHasFrame(), hasFrame);

        const QPoint pos = at(*frame, QPoint(200, 150));
        QTest::mousePress(viewport(*frame), Qt::RightButton, {}, pos);
        auto* square = qobject_cast<QFrame*>(frame->magnifierSquare());
        QVERIFY(square);
        QCOMPARE(square->frameStyle(),
                 hasFrame ? int(QFrame::Panel | QFrame::Raised) : int(QFrame::NoFrame));
        QCOMPARE(frame->magnifierView()->geometry(),
                 square->rect().adjusted(inset, inset, -inset, -inset));
        if (hasFrame)
            QCOMPARE(square->palette().color(QPalette::Window), colour);
        QCOMPARE(frame->magnifierRegion().size(), region);
        QCOMPARE(frame->magnifierView()->picture().size(),
                 square->size() - 2 * QSize(inset, inset));
        QTest::mouseRelease(viewport(*frame), Qt::RightButton, {}, pos);
    }

    void hiddenWhileShown()
    {
        auto frame = armedFrame();
        QVERIFY(frame);
        const QPoint pos = at(*frame, QPoint(200, 150));
        QTest::mousePress(viewport(*frame), Qt::RightButton, {}, pos);
        frame->hide();
        QCOMPARE(frame->magnifierState(), TFrameImage::MagnifierState::Armed);
        QVERIFY(!refreshTimer(*frame)->isActive());
        QTest::mouseRelease(viewport(*frame), Qt::RightButton, {}, pos);
    }

    void destroyedWhileShown()
    {
        auto frame = armedFrame();
        QVERIFY(frame);
        const QPoint pos = at(*frame, QPoint(200, 150));
        QTest::mousePress(viewport(*frame), Qt::RightButton, {}, pos);
        QCOMPARE(frame->magnifierState(), TFrameImage::MagnifierState::Shown);
        QPointer<QTimer> timer = refreshTimer(*frame);
        QVERIFY(timer && timer->isActive());

        frame.reset();
        QVERIFY(timer.isNull());
        QTest::qWait(TFrameImage::kRefreshMs * 3);

        // Let go of the button on another window so that later presses start clean.
        QWidget other;
        other.resize(50, 50);
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        QTest::mouseRelease(&other, Qt::RightButton, {}, QPoint(10, 10));
    }
};

QTEST_MAIN(TestMagnifier)
#include "tst_magnifier.moc"
