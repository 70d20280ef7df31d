#include "dmdata.h"
#include "frameimage.h"
#include "imagecodec.h"
#include "picturerecords.h"
#include "testutils.h"
#include "thumbnail.h"
#include "zoomimage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <memory>

namespace {

class NoDialogs : public PictureDialogs
{
public:
    QString openPictureFile(const QString&) override { return {}; }
    QString savePictureFile(const QString&) override { return {}; }
    bool editMemo(ClientDataSet&, QString&) override { return false; }
};

// What the user does with a list: pick an item.
void choose(QComboBox* combo, int item)
{
    combo->setCurrentIndex(item);
    emit combo->activated(item);
}

void clickPicture(TFrameImage* frame)
{
    QWidget* area = frame->source()->viewport();
    QTest::mouseClick(area, Qt::LeftButton, {}, area->rect().center());
}

} // namespace

class TestZoomImage : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    std::unique_ptr<AnsweringPresenter> m_boxes;
    std::unique_ptr<TdmData> m_dm;
    QList<int> m_keys;

    std::unique_ptr<TfrmZoomImage> open(const QList<int>& keys)
    {
        auto w = std::make_unique<TfrmZoomImage>(keys);
        w->resize(1200, 800);
        w->show();
        QCoreApplication::processEvents();
        return w;
    }
    static QList<int> shownKeys(const TfrmZoomImage& w)
    {
        QList<int> keys;
        for (const TFrameImage* f : w.FArrayFrameImage)
            keys << f->FImageInterID;
        return keys;
    }
    static QList<bool> marks(const TfrmZoomImage& w)
    {
        QList<bool> result;
        for (const TFrameImage* f : w.FArrayFrameImage)
            result << f->FrameSelected();
        return result;
    }

private slots:
    void initTestCase()
    {
        m_boxes = std::make_unique<AnsweringPresenter>();
        m_dm = std::make_unique<TdmData>(freshDatabase(m_dir));
        NoDialogs dialogs;
        PictureDataSet pictures;
        PictureRecords records(pictures.images, dialogs);
        for (int i = 0; i < 6; ++i) {
            QImage img(80 + 10 * i, 60, QImage::Format_RGB888);
            img.fill(QColor(40 * i, 120, 200));
            m_keys << records.storeNewPicture(1, codec::encodeJpeg(img, 90), ".jpg",
                                              MakeThumbnail(img));
        }
    }
    void cleanupTestCase()
    {
        m_dm.reset();
        m_boxes.reset();
    }

    void opensInDefaultLayout_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("layout");
        QTest::addColumn<QList<int>>("inView");
        QTest::newRow("one") << 1 << 0 << QList<int>{1};
        QTest::newRow("two") << 2 << 1 << QList<int>{1, 2};
        QTest::newRow("three") << 3 << 2 << QList<int>{1, 2, 3, 4};
        QTest::newRow("five") << 5 << 4 << QList<int>{1, 2, 3, 4, 5, 6};
        QTest::newRow("six") << 6 << 4 << QList<int>{1, 2, 3, 4, 5, 6};
    }
    void opensInDefaultLayout()
    {
        QFETCH(int, count);
        QFETCH(int, layout);
        QFETCH(QList<int>, inView);
        auto w = open(m_keys.mid(0, count));
        QCOMPARE(w->arrangedLayout(), layout);
        QCOMPARE(w->RzDBComboBox1->currentIndex(), layout);
        QCOMPARE(w->framesInView(), inView);
        QList<int> expected = m_keys.mid(0, count);
        while (expected.size() < 6)
            expected << 0;
        QCOMPARE(shownKeys(*w), expected);
        QCOMPARE(marks(*w), (QList<bool>{true, false, false, false, false, false}));
        QCOMPARE(w->FCurrentFrameImage, w->FArrayFrameImage[0]);
    }

    void marksPackThenShowAllRestores()
    {
        auto w = open(m_keys.mid(0, 5));
        clickPicture(w->FArrayFrameImage[0]);
        clickPicture(w->FArrayFrameImage[2]);
        clickPicture(w->FArrayFrameImage[4]);
        QCOMPARE(marks(*w), (QList<bool>{false, false, true, false, true, false}));
        QCOMPARE(w->FCurrentFrameImage, w->FArrayFrameImage[4]);

        choose(w->RzDBComboBox1, 1);
        QCOMPARE(w->arrangedLayout(), 1);
        QCOMPARE(w->framesInView(), (QList<int>{1, 2}));
        QCOMPARE(shownKeys(*w).mid(0, 2), (QList<int>{m_keys[2], m_keys[4]}));
        QCOMPARE(marks(*w), QList<bool>(6, false));

        choose(w->RzDBComboBox1, 5);
        QCOMPARE(w->arrangedLayout(), 4);
        QCOMPARE(shownKeys(*w).mid(0, 5), m_keys.mid(0, 5));
        QCOMPARE(w->framesInView(), (QList<int>{1, 2, 3, 4, 5, 6}));
    }

    void sliderZoomsMarkedFramesWithPictures()
    {
        auto w = open(m_keys.mid(0, 5));
        choose(w->RzDBCBStrechMode, 0);
        QVERIFY(w->RzDBTrackBar1->isEnabled());
        w->FArrayFrameImage[1]->SetFrameSelected(true);
        w->FArrayFrameImage[5]->SetFrameSelected(true); // empty
        w->RzDBTrackBar1->setValue(25);
        for (int i = 0; i < 6; ++i) {
            const bool zoomed = i == 0 || i == 1;
            QCOMPARE(w->FArrayFrameImage[i]->ZoomPercent() == 250, zoomed);
            if (zoomed)
                QCOMPARE(w->FArrayFrameImage[i]->source()->zoomPercent(), 250.0);
        }
        QCOMPARE(w->cdsZoomSetting->value("FSLIDERPOS").toInt(), 25);

        // A frame becoming current places the slider without zooming the marked frames.
        w->FArrayFrameImage[3]->SetZoomPercent(70);
        clickPicture(w->FArrayFrameImage[3]);
        QCOMPARE(w->RzDBTrackBar1->value(), 7);
        QCOMPARE(w->FArrayFrameImage[0]->ZoomPercent(), 250);
        QCOMPARE(w->FArrayFrameImage[1]->ZoomPercent(), 250);
        QCOMPARE(w->cdsZoomSetting->value("FSLIDERPOS").toInt(), 25);

        // Another mode follows the current frame only.
        choose(w->RzDBCBStrechMode, 2);
        QVERIFY(!w->RzDBTrackBar1->isEnabled());
        QCOMPARE(w->FArrayFrameImage[3]->ZoomMode(), int(zmFitHeight));
        QCOMPARE(w->FArrayFrameImage[0]->ZoomMode(), int(zmPercent));
    }

    void magnifierSettingsReachEveryFrame()
    {
        auto w = open(m_keys.mid(0, 2));
        for (const TFrameImage* f : w->FArrayFrameImage)
            QCOMPARE(f->ManifierZoom(), 2.0);
        w->RzDBSpinEdit1->setValue(8);
        w->RzDBSpinEdit2->setValue(300);
        for (const TFrameImage* f : w->FArrayFrameImage) {
            QCOMPARE(f->ManifierZoom(), 8.0);
            QCOMPARE(f->ManifierWidth(), 300);
            QVERIFY(f->ManifierHasFrame()); // stored border on, red
            QCOMPARE(f->ManifierFrameColor(), QColor(255, 0, 0));
        }
        w->RzDBCheckFrame->click();
        for (const TFrameImage* f : w->FArrayFrameImage)
            QVERIFY(!f->ManifierHasFrame());
    }

    void missingKeyLeavesItsFrameEmpty()
    {
        auto w = open({m_keys[0], 999999, m_keys[1]});
        QCOMPARE(shownKeys(*w), (QList<int>{m_keys[0], 0, m_keys[1], 0, 0, 0}));
        QVERIFY(!w->FArrayFrameImage[1]->source()->hasPicture());
        QVERIFY(w->FArrayFrameImage[2]->source()->hasPicture());
    }

    void settingsWrittenOnClosing()
    {
        {
            auto w = open(m_keys.mid(0, 3));
            choose(w->RzDBComboBox1, 3);
            choose(w->RzDBCBStrechMode, 0);
            w->RzDBTrackBar1->setValue(33);
            choose(w->RzDBCBStrechMode, 3);
            w->RzDBSpinEdit1->setValue(5);
            w->RzDBSpinEdit2->setValue(350);
            w->RzDBCheckFrame->click();
            choose(w->cxDBColorComboBox1, w->cxDBColorComboBox1->findData(0x00FF00));
            w->btnClose->click();
            QVERIFY(!w->isVisible());
        }
        const QVariantList expected{3, 3, 5, 350, 33, 0x00FF00, 0, 6};
        const char* const columns[] = {"FViewMode",  "FStretch", "FZoom",     "FArea",
                                       "FSliderPos", "FColor",   "FUseFrame", "FDefault"};
        for (int i = 0; i < expected.size(); ++i) {
            const QVariant v = m_dm->GetScular(
                QStringLiteral("select %1 from t_zoomImage where FInterID=1").arg(columns[i]));
            QCOMPARE(v.toInt(), expected[i].toInt());
        }
        m_dm->ExcSQL("update t_zoomImage set FViewMode=2, FStretch=0, FZoom=2, FArea=200, "
                     "FSliderPos=10, FColor=255, FUseFrame=1 where FInterID=1");
    }

    void captionsInEnglish()
    {
        m_dm->ExcSQL("update t_sys set FValue='2' where FCatalog='common' and FKey='language'");
        m_dm->GetLanguage();
        auto w = open(m_keys.mid(0, 1));
        QCOMPARE(w->windowTitle(), QStringLiteral("Compare Images"));
        QCOMPARE(w->lblLayout->text(), QStringLiteral("Layout"));
        QCOMPARE(w->btnClose->text(), QStringLiteral("Close"));
        QCOMPARE(w->lblStretchMode->text(), QStringLiteral("Zoom mode"));
        QCOMPARE(w->lblZoom->text(), QStringLiteral("Zoom"));
        QCOMPARE(w->lblMagnify->text(), QStringLiteral("Magnification"));
        QCOMPARE(w->lblArea->text(), QStringLiteral("Area"));
        QCOMPARE(w->RzDBCheckFrame->text(), QStringLiteral("Border"));
        QCOMPARE(w->lblColor->text(), QStringLiteral("Color"));
        QCOMPARE(w->RzDBComboBox1->itemText(5), QStringLiteral("Show All"));
        const QStringList modes{"Zoom Percent", "Full Page", "Fit Height", "Fit Width",
                                "Original Size"};
        for (int i = 0; i < modes.size(); ++i)
            QCOMPARE(w->RzDBCBStrechMode->itemText(i), modes[i]);
        m_dm->ExcSQL("update t_sys set FValue='1' where FCatalog='common' and FKey='language'");
        m_dm->GetLanguage();
    }
};

QTEST_MAIN(TestZoomImage)
#include "tst_zoomimage.moc"
