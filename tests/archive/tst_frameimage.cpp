#include "captionpanel.h"
#include "clientdataset.h"
#include "dberror.h"
#include "frameimage.h"
#include "imagecodec.h"

#include <QBuffer>
#include <QLabel>
#include <QLocale>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

namespace {

const QDate kDate(2024, 3, 5);

FieldDef field(const char* name, FieldType type)
{
    FieldDef f;
    f.name = QString::fromLatin1(name);
    f.type = type;
    return f;
}

QByteArray jpeg(QSize size, QColor colour = Qt::darkCyan)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    return bytes;
}

// One t_tooth row as the archive lists it.
QVector<QVariant> row(int id, const QVariant& tooth, const QVariant& memo, const QVariant& small,
                      const QVariant& big = QVariant(), const QString& bigExt = ".jpg",
                      const QString& smallExt = ".jpg")
{
    return {id, kDate, tooth, memo, small, smallExt, big, bigExt};
}

ResultTable pictures(const QVector<QVector<QVariant>>& rows)
{
    ResultTable t;
    t.fields = {field("FINTERID", FieldType::Integer),    field("FDATE", FieldType::Date),
                field("FTOOTHINDEX", FieldType::Integer), field("FMEMO", FieldType::String),
                field("FSMALLIMAGE", FieldType::Blob),    field("FSMALLFILEEXT", FieldType::String),
                field("FBIGIMAGE", FieldType::Blob),      field("FFILEEXT", FieldType::String)};
    t.rows = rows;
    return t;
}

QString shortDate()
{
    return QLocale::system().toString(kDate, QLocale::ShortFormat);
}

QWidget* clickTarget(TFrameImage& frame, const QString& name)
{
    if (name == "TFrameImage")
        return &frame;
    if (name == "FSource")
        return frame.source()->viewport();
    return frame.findChild<QWidget*>(name);
}

} // namespace

class TestFrameImage : public QObject
{
    Q_OBJECT
private slots:
    void designLayout()
    {
        TFrameImage frame;
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QCOMPARE(frame.size(), QSize(186, 173));
        auto* band = frame.findChild<CaptionPanel*>("RzPanel1");
        auto* inner = frame.findChild<CaptionPanel*>("RzPanel2");
        auto* strip = frame.findChild<CaptionPanel*>("RzPanel3");
        auto* source = frame.findChild<PictureView*>("FSource");
        QVERIFY(band && inner && strip && source && frame.findChild<QLabel*>("RzLlbMemo"));
        QCOMPARE(source, frame.source());
        QCOMPARE(band->geometry(), frame.rect());
        QCOMPARE(inner->geometry(), band->rect().adjusted(5, 5, -5, -5));
        QCOMPARE(strip->height(), 18);
        QCOMPARE(strip->geometry().bottom(), inner->contentsRect().bottom());
        QCOMPARE(source->geometry().top(), inner->contentsRect().top());
        QCOMPARE(source->geometry().bottom() + 1, strip->geometry().top());
        QCOMPARE(source->width(), inner->contentsRect().width());
        QVERIFY(!source->scrollBarsVisible());
        QVERIFY(!source->horizontalScrollBar()->isVisible());
        QVERIFY(!source->verticalScrollBar()->isVisible());

        // Defaults: the view fits to page at 100 %, the frame's own fields are unset.
        QCOMPARE(source->zoomMode(), zmFitToPage);
        QCOMPARE(source->zoomPercent(), 100.0);
        QCOMPARE(frame.ZoomMode(), int(zmOriginalSize));
        QCOMPARE(frame.ZoomPercent(), 0);
        QCOMPARE(frame.FImageInterID, 0);
        QCOMPARE(frame.FClientDataset, nullptr);
        QVERIFY(!frame.FrameSelected());
        QCOMPARE(frame.markColour(), TFrameImage::faceColour());

        // Only the 5-pixel band shows the mark.
        frame.SetFrameSelected(true);
        const QImage shot = frame.grab().toImage();
        const QColor red(255, 0, 0);
        for (const QPoint p :
             {QPoint(0, 0), QPoint(4, 4), QPoint(2, 86), QPoint(183, 170), QPoint(90, 170)})
            QCOMPARE(QColor(shot.pixel(p)), red);
        for (const QPoint p : {QPoint(5, 86), QPoint(40, 60), QPoint(90, 160)})
            QVERIFY(QColor(shot.pixel(p)) != red);
    }

    void captionLine_data()
    {
        QTest::addColumn<QVariant>("tooth");
        QTest::addColumn<QVariant>("memo");
        QTest::addColumn<QString>("tail");
        QTest::newRow("tooth 36") << QVariant(36) << QVariant("caries") << " (No.36) caries";
        QTest::newRow("tooth 0") << QVariant(0) << QVariant("caries") << "  caries";
        QTest::newRow("tooth null") << QVariant() << QVariant("caries") << "  caries";
        QTest::newRow("typed null")
            << QVariant(QMetaType::fromType<int>()) << QVariant("x") << "  x";
        QTest::newRow("memo null") << QVariant(11) << QVariant() << " (No.11) ";
    }
    void captionLine()
    {
        QFETCH(QVariant, tooth);
        QFETCH(QVariant, memo);
        QFETCH(QString, tail);
        ClientDataSet ds;
        ds.openWith(pictures({row(7, tooth, memo, jpeg(QSize(192, 154)))}));
        TFrameImage frame;
        frame.ShowThisImage(&ds);
        QCOMPARE(frame.RzLlbMemo->text(), shortDate() + tail);
        QCOMPARE(TFrameImage::CaptionLine(ds), shortDate() + tail);
        QCOMPARE(frame.FImageInterID, 7);
        QCOMPARE(frame.FClientDataset, &ds);
        QVERIFY(frame.source()->hasPicture());
    }

    // The memo window re-captions a frame from another row without changing its picture.
    void setImageMemoRecaptions()
    {
        ClientDataSet ds;
        ds.openWith(pictures({row(1, 36, "first", jpeg(QSize(192, 154))),
                              row(2, QVariant(), "second", QByteArray())}));
        TFrameImage frame;
        frame.ShowThisImage(&ds);
        ds.next();
        frame.SetImageMemo(&ds);
        QCOMPARE(frame.RzLlbMemo->text(), shortDate() + "  second");
        QCOMPARE(frame.FImageInterID, 1);
        QVERIFY(frame.source()->hasPicture());
    }

    void emptyThumbnailStillCaptioned_data()
    {
        QTest::addColumn<QVariant>("small");
        QTest::newRow("empty bytes") << QVariant(QByteArray());
        QTest::newRow("null") << QVariant();
    }
    void emptyThumbnailStillCaptioned()
    {
        QFETCH(QVariant, small);
        ClientDataSet ds;
        ds.openWith(pictures({row(5, 36, "memo", small)}));
        TFrameImage frame;
        frame.ShowThisImage(&ds);
        QVERIFY(!frame.source()->hasPicture());
        QCOMPARE(frame.RzLlbMemo->text(), shortDate() + " (No.36) memo");
        QCOMPARE(frame.FImageInterID, 5);
    }

    void undecodableBytesThrow_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("extension");
        QTest::newRow("garbage") << QByteArray("not a picture") << ".jpg";
        QTest::newRow("JPEG with BMP hint") << jpeg(QSize(8, 8)) << ".bmp";
        QTest::newRow("unknown hint") << jpeg(QSize(8, 8)) << ".gif";
    }
    void undecodableBytesThrow()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, extension);
        ClientDataSet ds;
        ds.openWith(pictures({row(1, 0, "good", jpeg(QSize(192, 154))),
                              row(2, 0, "bad", bytes, QVariant(), ".jpg", extension)}));
        TFrameImage frame;
        frame.ShowThisImage(&ds);
        ds.next();
        QVERIFY_THROWS_EXCEPTION(DbError, frame.ShowThisImage(&ds));
        // The view was cleared; key and caption still belong to the last good row.
        QVERIFY(!frame.source()->hasPicture());
        QCOMPARE(frame.FImageInterID, 1);
        QCOMPARE(frame.RzLlbMemo->text(), shortDate() + "  good");
    }

    // Thumbnail mode reads only the thumbnail columns and full mode only the full ones: each
    // row carries garbage in the columns the mode must not touch.
    void pictureSizeModePicksTheColumns()
    {
        QImage big(QSize(64, 48), QImage::Format_RGB888);
        big.fill(Qt::yellow);
        ClientDataSet ds;
        ds.openWith(pictures({row(1, 0, "a", jpeg(QSize(192, 154)), QByteArray("garbage")),
                              row(2, 0, "b", QByteArray("garbage"), codec::encodeBmp(big), ".bmp"),
                              row(3, 0, "c", QByteArray("garbage"), jpeg(QSize(640, 480)))}));
        TFrameImage frame;
        frame.resize(186, 173);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QCOMPARE(frame.PictureSizeMode(), 0);
        frame.ShowThisImage(&ds);
        QCOMPARE(frame.source()->picture().size(), QSize(192, 154));
        // The thumbnail fits the frame.
        QVERIFY(frame.source()->zoomFactor() < 1.0);
        QVERIFY(frame.source()->viewportRect().contains(frame.source()->pictureRect()));
        frame.SetPictureSizeMode(1);
        QVERIFY_THROWS_EXCEPTION(DbError, frame.ShowThisImage(&ds));

        ds.next();
        frame.ShowThisImage(&ds);
        QCOMPARE(frame.source()->picture().size(), QSize(64, 48));
        QCOMPARE(frame.FImageInterID, 2);
        frame.SetPictureSizeMode(0);
        QVERIFY_THROWS_EXCEPTION(DbError, frame.ShowThisImage(&ds));

        ds.next();
        frame.SetPictureSizeMode(1);
        frame.ShowThisImage(&ds);
        QCOMPARE(frame.source()->picture().size(), QSize(640, 480));
    }

    void clicksToggleTheMark_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<int>("pictureClicks");
        QTest::newRow("frame") << "TFrameImage" << QPoint(2, 2) << 0;
        QTest::newRow("band") << "RzPanel1" << QPoint(2, 80) << 0;
        QTest::newRow("inner border") << "RzPanel2" << QPoint(0, 40) << 0;
        QTest::newRow("picture") << "FSource" << QPoint() << 2;
        QTest::newRow("caption strip") << "RzPanel3" << QPoint(1, 1) << 0;
        QTest::newRow("caption label") << "RzLlbMemo" << QPoint() << 0;
    }
    void clicksToggleTheMark()
    {
        QFETCH(QString, target);
        QFETCH(QPoint, pos);
        QFETCH(int, pictureClicks);
        ClientDataSet ds;
        ds.openWith(pictures({row(1, 36, "memo", jpeg(QSize(192, 154)))}));
        TFrameImage frame;
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        frame.ShowThisImage(&ds);
        QWidget* w = clickTarget(frame, target);
        QVERIFY(w);
        QSignalSpy changed(&frame, &TFrameImage::selectionChanged);
        QSignalSpy clicked(&frame, &TFrameImage::imageClicked);

        QTest::mouseClick(w, Qt::LeftButton, {}, pos);
        QVERIFY(frame.FrameSelected());
        QCOMPARE(frame.markColour(), QColor(255, 0, 0));
        QTest::mouseClick(w, Qt::LeftButton, {}, pos);
        QVERIFY(!frame.FrameSelected());
        QCOMPARE(frame.markColour(), TFrameImage::faceColour());
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.at(0).at(0).toBool(), true);
        QCOMPARE(changed.at(1).at(0).toBool(), false);
        QCOMPARE(clicked.count(), pictureClicks);

        // Other buttons leave the mark alone.
        QTest::mouseClick(w, Qt::RightButton, {}, pos);
        QTest::mouseClick(w, Qt::MiddleButton, {}, pos);
        QVERIFY(!frame.FrameSelected());
    }

    // A double click selects (its first click) and opens (its second press), never toggling
    // twice.
    void doubleClickTogglesOnce_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("doubleClicks");
        QTest::newRow("picture") << "FSource" << 1;
        QTest::newRow("caption label") << "RzLlbMemo" << 0;
    }
    void doubleClickTogglesOnce()
    {
        QFETCH(QString, target);
        QFETCH(int, doubleClicks);
        TFrameImage frame;
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QWidget* w = clickTarget(frame, target);
        QSignalSpy changed(&frame, &TFrameImage::selectionChanged);
        QSignalSpy opened(&frame, &TFrameImage::imageDoubleClicked);
        QTest::mousePress(w, Qt::LeftButton);
        QTest::mouseRelease(w, Qt::LeftButton);
        QTest::mouseDClick(w, Qt::LeftButton);
        QTest::mouseRelease(w, Qt::LeftButton);
        QVERIFY(frame.FrameSelected());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(opened.count(), doubleClicks);
    }

    // The raw view signals stay available to the magnifier for the right button.
    void rightButtonReachesThePictureView()
    {
        TFrameImage frame;
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QSignalSpy pressed(frame.source(), &PictureView::pressed);
        QSignalSpy released(frame.source(), &PictureView::released);
        QTest::mouseClick(frame.source()->viewport(), Qt::RightButton, {}, QPoint(30, 20));
        QCOMPARE(pressed.count(), 1);
        QCOMPARE(pressed.at(0).at(0).value<Qt::MouseButton>(), Qt::RightButton);
        QCOMPARE(pressed.at(0).at(1).toPoint(), QPoint(30, 20));
        QCOMPARE(released.count(), 1);
        QVERIFY(!frame.FrameSelected());
    }

    void markRules()
    {
        TFrameImage frame;
        QSignalSpy changed(&frame, &TFrameImage::selectionChanged);
        frame.SetFrameSelected(true);
        QVERIFY(frame.FrameSelected());
        QCOMPARE(frame.markColour(), QColor(255, 0, 0));
        QVERIFY(frame.setProperty("FrameSelected", false));
        QVERIFY(!frame.property("FrameSelected").toBool());
        QCOMPARE(frame.markColour(), TFrameImage::faceColour());
        QCOMPARE(changed.count(), 2);

        // false clears, whatever the state.
        frame.ChangeBorder_SelectedMark(false);
        QVERIFY(!frame.FrameSelected());
        frame.ChangeBorder_SelectedMark(true);
        QVERIFY(frame.FrameSelected());
        frame.ChangeBorder_SelectedMark(false);
        QVERIFY(!frame.FrameSelected());
        QCOMPARE(frame.markColour(), TFrameImage::faceColour());

        // A colour that is neither face nor red is left alone by a toggle.
        QPalette p = frame.RzPanel1->palette();
        p.setColor(QPalette::Window, Qt::blue);
        frame.RzPanel1->setPalette(p);
        frame.ChangeBorder_SelectedMark(true);
        QCOMPARE(frame.markColour(), QColor(Qt::blue));
        QVERIFY(!frame.FrameSelected());
    }

    void zoomPassesThrough_data()
    {
        QTest::addColumn<bool>("hasPicture");
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("viewMode");
        QTest::addColumn<double>("viewPercent");
        QTest::newRow("no picture") << false << 250 << int(zmFitWidth) << 100.0;
        QTest::newRow("zero") << true << 0 << int(zmFitWidth) << 100.0;
        QTest::newRow("250") << true << 250 << int(zmPercent) << 250.0;
        QTest::newRow("clamped") << true << 5000 << int(zmPercent) << Viewport::kMaxPercent;
    }
    void zoomPassesThrough()
    {
        QFETCH(bool, hasPicture);
        QFETCH(int, percent);
        QFETCH(int, viewMode);
        QFETCH(double, viewPercent);
        ClientDataSet ds;
        ds.openWith(pictures({row(1, 0, "m", QByteArray(), jpeg(QSize(320, 240)))}));
        TFrameImage frame;
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        frame.SetPictureSizeMode(1);
        if (hasPicture)
            frame.ShowThisImage(&ds);

        QVERIFY(frame.setProperty("ZoomMode", int(zmFitWidth)));
        QCOMPARE(frame.ZoomMode(), int(zmFitWidth));
        QCOMPARE(frame.source()->zoomMode(), zmFitWidth);
        frame.SetZoomMode(9); // not a mode
        QCOMPARE(frame.ZoomMode(), int(zmFitWidth));

        frame.SetZoomPercent(percent);
        QCOMPARE(frame.ZoomPercent(), percent);
        QCOMPARE(frame.property("ZoomPercent").toInt(), percent);
        QCOMPARE(frame.ZoomMode(), int(zmFitWidth)); // the frame's own field is unchanged
        QCOMPARE(int(frame.source()->zoomMode()), viewMode);
        QCOMPARE(frame.source()->zoomPercent(), viewPercent);
        if (viewMode == zmPercent)
            QCOMPARE(frame.source()->zoomFactor(), viewPercent / 100);
    }
};

QTEST_MAIN(TestFrameImage)
#include "tst_frameimage.moc"
