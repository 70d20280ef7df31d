#include "clientdataset.h"
#include "dmdata.h"
#include "filedialogfilter.h"
#include "imagecodec.h"
#include "picturerecords.h"
#include "testutils.h"
#include "thumbnail.h"

#include <QBuffer>
#include <QDate>
#include <QFile>
#include <QPainter>
#include <QTest>
#include <memory>

namespace {

QImage pattern(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB888);
    QPainter p(&img);
    p.fillRect(0, 0, w / 2, h, Qt::red);
    p.fillRect(w / 2, 0, w - w / 2, h, Qt::blue);
    p.fillRect(w / 4, h / 4, w / 2, h / 2, Qt::white);
    return img;
}

QByteArray png(const QImage& img)
{
    QByteArray out;
    QBuffer buf(&out);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    return out;
}

// Answers the file and memo dialogs from queues, and remembers the filters it was given.
class Dialogs : public PictureDialogs
{
public:
    QString openPictureFile(const QString& filter) override
    {
        filters << filter;
        return files.isEmpty() ? QString() : files.takeFirst();
    }
    QString savePictureFile(const QString& filter) override
    {
        filters << filter;
        return files.isEmpty() ? QString() : files.takeFirst();
    }
    bool editMemo(ClientDataSet& images, QString& memo) override
    {
        shownMemo = images.value("FMEMO").toString();
        if (memoAnswer.isNull())
            return false;
        memo = memoAnswer;
        return true;
    }
    QStringList files;
    QStringList filters;
    QString memoAnswer; // null: the user cancels
    QString shownMemo;
};

} // namespace

class TestPictureRecords : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    std::unique_ptr<AnsweringPresenter> m_boxes;
    std::unique_ptr<TdmData> m_dm;
    std::unique_ptr<ClientDataSet> m_images;
    std::unique_ptr<DataSetProvider> m_provider;
    Dialogs m_dialogs;
    std::unique_ptr<PictureRecords> m_records;

    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
    int counter()
    {
        return m_dm->GetScular("select FMaxID from t_maxID where FKey='ToothID'").toInt();
    }
    int rows(const QString& where = "1=1")
    {
        return m_dm->GetScular("select count(*) from t_tooth where " + where).toInt();
    }
    void list(int patient = 1)
    {
        m_dm->GetDataset(*m_images, "select * from t_tooth where FPatientID=? order by FInterID",
                         {patient});
    }
    // Three stored pictures of patient 1: keys 1 to 3, the second a camera BMP.
    void storeThree()
    {
        const QImage img = pattern(64, 48);
        const QByteArray jpg = codec::encodeJpeg(img, 90);
        m_records->storeNewPicture(1, jpg, ".jpg", MakeThumbnail(img));
        m_records->storeNewPicture(1, codec::encodeBmp(img), ".bmp", MakeThumbnail(img));
        m_records->storeNewPicture(1, jpg, ".jpg", MakeThumbnail(img));
        list();
    }
    void setLanguage(int index)
    {
        m_dm->ExcSQL("update t_sys set FValue=? where FKey='language'", {QString::number(index)});
        m_dm->GetLanguage();
        if (index != 1 && index != 2)
            m_dm->FLanguageIndex = index;
    }

private slots:
    void init()
    {
        m_boxes = std::make_unique<AnsweringPresenter>();
        m_dm = std::make_unique<TdmData>(freshDatabase(m_dir));
        m_images = std::make_unique<ClientDataSet>();
        m_provider = std::make_unique<DataSetProvider>();
        PictureRecords::configureProvider(*m_provider);
        m_images->setProvider(m_provider.get());
        m_dialogs = Dialogs();
        m_records = std::make_unique<PictureRecords>(*m_images, m_dialogs);
        list();
    }
    void cleanup()
    {
        m_records.reset();
        m_images.reset();
        m_provider.reset();
        m_dm.reset();
        m_boxes.reset();
    }

    // What each kind of file becomes: a JPEG kept byte for byte, anything else converted.
    void importStoresPicture_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("unchanged");
        const QImage img = pattern(1920, 1080);
        QTest::newRow("Photo.JPG") << "Photo.JPG" << codec::encodeJpeg(img, 85) << true;
        QTest::newRow("24-bit BMP") << "camera.bmp" << codec::encodeBmp(img) << false;
        QTest::newRow("PNG") << "scan.png" << png(img) << false;
    }
    void importStoresPicture()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, unchanged);
        m_dialogs.files = {writeFile(name, bytes)};
        QCOMPARE(counter(), 1);
        QCOMPARE(m_records->ImportImageFile(7), PictureRecords::ImportResult::Stored);
        QVERIFY(m_boxes->shown.isEmpty());
        QCOMPARE(counter(), 2);
        QCOMPARE(m_dialogs.filters,
                 QStringList{"jpg 图片文件(*.jpg)|*.jpg|bmp 图片文件(*.bmp)|*.bmp|全部文件|*.*"});

        list(7);
        QCOMPARE(m_images->recordCount(), 1);
        QCOMPARE(m_images->value("FINTERID").toInt(), 1);
        QCOMPARE(m_images->value("FPOSITIONINDEX").toInt(), 5);
        QVERIFY(m_images->value("FTOOTHINDEX").isNull());
        QVERIFY(m_images->value("FMEMO").isNull());
        QCOMPARE(m_images->value("FDATE").toDate(), QDate::currentDate());
        QCOMPARE(m_images->value("FFILEEXT").toString(), QString(".jpg"));
        QCOMPARE(m_images->value("FSMALLFILEEXT").toString(), QString(".jpg"));
        const QByteArray big = m_images->value("FBIGIMAGE").toByteArray();
        if (unchanged)
            QCOMPARE(big, bytes);
        else
            QCOMPARE(codec::decodeJpeg(big).size(), QSize(1920, 1080));
        QCOMPARE(codec::decodeJpeg(m_images->value("FSMALLIMAGE").toByteArray()).size(),
                 QSize(192, 154));
    }

    // Refused files store nothing and leave the counter where it was.
    void importRefuses_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        const QByteArray jpg = codec::encodeJpeg(pattern(200, 100), 90);
        QTest::newRow("broken JPEG") << "broken.jpg" << jpg.left(40) << "加载所选文件失败！";
        QTest::newRow("text as JPEG")
            << "notes.jpg" << QByteArray("just some text\n") << "加载所选文件失败！";
        QTest::newRow("text file")
            << "notes.txt" << QByteArray("just some text\n") << "加载所选文件失败！";
        QTest::newRow("missing file") << "" << QByteArray() << "所选的文件不存在或格式错误！";
    }
    void importRefuses()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        const QString path = name.isEmpty() ? m_dir.filePath("gone.jpg") : writeFile(name, bytes);
        QCOMPARE(m_records->importFile(7, path), PictureRecords::ImportResult::Refused);
        QCOMPARE(m_boxes->texts(), QStringList{message});
        QCOMPARE(m_boxes->shown[0].kind, MessageRequest::Plain);
        QCOMPARE(rows(), 0);
        QCOMPARE(counter(), 1);
    }

    void importCancelledDoesNothing()
    {
        QCOMPARE(m_records->ImportImageFile(7), PictureRecords::ImportResult::Cancelled);
        QVERIFY(m_boxes->shown.isEmpty());
        QCOMPARE(rows(), 0);
    }

    // A failed insert rolls the counter back with it and leaves nothing pending.
    void failedInsertLeavesCounter()
    {
        QVERIFY(m_dm->ExcSQL("insert into t_tooth (FInterID, FPatientID) values (1, 99)"));
        list(7);
        setLanguage(2);
        const QString path = writeFile("a.jpg", codec::encodeJpeg(pattern(40, 30), 90));
        QCOMPARE(m_records->importFile(7, path), PictureRecords::ImportResult::StoreFailed);
        QCOMPARE(m_boxes->texts(),
                 QStringList{"Operation failed : Image file format error or other error！"});
        QCOMPARE(counter(), 1);
        QCOMPARE(rows(), 1);
        QCOMPARE(m_images->changeCount(), 0);
        QVERIFY(!m_dm->inComposedWrite());
    }

    void newKeyIsTheCounter()
    {
        QVERIFY(m_dm->ExcSQL("update t_maxID set FMaxID=41 where FKey='ToothID'"));
        const QImage img = pattern(10, 10);
        QCOMPARE(
            m_records->storeNewPicture(0, codec::encodeJpeg(img, 90), ".jpg", MakeThumbnail(img)),
            41);
        QCOMPARE(counter(), 42);
        QCOMPARE(rows("FInterID=41 and FPatientID=0"), 1);
    }

    // The stored extension is always added; a BMP is written as a BMP, a JPEG byte for byte.
    void exportWritesStoredFormat_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::newRow("bmp to tooth") << 2 << "tooth"
                                      << "tooth.bmp";
        QTest::newRow("bmp to tooth.jpg") << 2 << "tooth.jpg"
                                          << "tooth.jpg.bmp";
        QTest::newRow("jpg to photo") << 1 << "photo"
                                      << "photo.jpg";
    }
    void exportWritesStoredFormat()
    {
        QFETCH(int, key);
        QFETCH(QString, typed);
        QFETCH(QString, written);
        storeThree();
        m_dialogs.files = {m_dir.filePath(typed)};
        m_records->ExportSelectedImage({key});
        QVERIFY(m_boxes->shown.isEmpty());
        QFile f(m_dir.filePath(written));
        QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(written));
        const QByteArray out = f.readAll();
        const QByteArray stored =
            m_dm->GetScular("select FBigImage from t_tooth where FInterID=?", {key}).toByteArray();
        if (written.endsWith(".bmp")) {
            QCOMPARE(codec::decodeBmp(out), codec::decodeBmp(stored));
            QCOMPARE(out.mid(28, 2), QByteArray("\x18\x00", 2)); // 24 bits per pixel
        } else {
            QCOMPARE(out, stored);
        }
        QVERIFY(!m_images->isFiltered());
        QCOMPARE(m_images->recordCount(), 3);
        QVERIFY(m_records->orderedByDate());
    }

    // Export and memo want exactly one picture.
    void oneSelectedOnly_data()
    {
        QTest::addColumn<bool>("memo");
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<QString>("message");
        QTest::newRow("export none") << false << QList<int>{} << "必须选择 1 个要导出的影像！";
        QTest::newRow("export two")
            << false << QList<int>{1, 2} << "选择要导出的影像不能多于 1 个 ！";
        QTest::newRow("memo none") << true << QList<int>{} << "请选择 1 个影像进行备注！";
        QTest::newRow("memo two") << true << QList<int>{1, 2} << "所选的影像不能多于 1 个！";
    }
    void oneSelectedOnly()
    {
        QFETCH(bool, memo);
        QFETCH(QList<int>, selected);
        QFETCH(QString, message);
        storeThree();
        m_dialogs.files = {m_dir.filePath("x")};
        m_dialogs.memoAnswer = "changed";
        if (memo)
            QVERIFY(!m_records->EditSelectedImageMemo(selected));
        else
            m_records->ExportSelectedImage(selected);
        QCOMPARE(m_boxes->texts(), QStringList{message});
        QCOMPARE(m_boxes->shown[0].kind, MessageRequest::Info);
        QVERIFY(m_dialogs.filters.isEmpty());
        QCOMPARE(rows("FMemo is not null"), 0);
        QVERIFY(!m_records->orderedByDate());
    }

    void memoStoredOnConfirm()
    {
        storeThree();
        const QByteArray big =
            m_dm->GetScular("select FBigImage from t_tooth where FInterID=2").toByteArray();
        m_dialogs.memoAnswer = QStringLiteral("左下第一磨牙");
        QVERIFY(m_records->EditSelectedImageMemo({2}));
        QCOMPARE(m_dm->GetScular("select FMemo from t_tooth where FInterID=2").toString(),
                 QStringLiteral("左下第一磨牙"));
        QCOMPARE(m_dm->GetScular("select FBigImage from t_tooth where FInterID=2").toByteArray(),
                 big);
        QVERIFY(!m_images->isFiltered());

        m_dialogs.memoAnswer = QString(); // cancelled: nothing changes
        QVERIFY(!m_records->EditSelectedImageMemo({2}));
        QCOMPARE(m_dialogs.shownMemo, QStringLiteral("左下第一磨牙"));
        QCOMPARE(m_dm->GetScular("select FMemo from t_tooth where FInterID=2").toString(),
                 QStringLiteral("左下第一磨牙"));
    }

    void notFoundWhenNotListed()
    {
        storeThree();
        m_records->ExportSelectedImage({99});
        QCOMPARE(m_boxes->texts(), QStringList{"找不到指定的影像！"});
        QVERIFY(!m_images->isFiltered());
    }

    void deleteSelected_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<int>("left");
        QTest::newRow("yes") << QMessageBox::Yes << 1;
        QTest::newRow("no") << QMessageBox::No << 3;
    }
    void deleteSelected()
    {
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(int, left);
        storeThree();
        m_boxes->answers = {answer};
        QCOMPARE(m_records->DeleteSelectedImages({1, 3}), answer == QMessageBox::Yes);
        QCOMPARE(m_boxes->texts(), QStringList{"确认要删除所选的 2 个影像文件吗？"});
        QCOMPARE(m_boxes->shown[0].kind, MessageRequest::ConfirmWarning);
        QCOMPARE(rows(), left);
    }

    void deleteNoneSelected()
    {
        storeThree();
        QVERIFY(!m_records->DeleteSelectedImages({}));
        QCOMPARE(m_boxes->texts(), QStringList{"请选择要删除的影像文件！"});
        QCOMPARE(rows(), 3);
    }

    void deleteAllShown_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QList<int>>("shown");
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<int>("left");
        QTest::newRow("English") << 2 << QList<int>{1, 2, 3}
                                 << QStringList{"Do you want to delete all images displayed on "
                                                "screen？"}
                                 << 0;
        QTest::newRow("no language: no question") << 0 << QList<int>{1, 2} << QStringList{} << 1;
        QTest::newRow("empty grid")
            << 1 << QList<int>{} << QStringList{"确实要删除当前显示的所有影像文件吗？"} << 3;
    }
    void deleteAllShown()
    {
        QFETCH(int, language);
        QFETCH(QList<int>, shown);
        QFETCH(QStringList, asked);
        QFETCH(int, left);
        storeThree();
        setLanguage(language);
        m_boxes->answers = {QMessageBox::Yes};
        QVERIFY(m_records->DeleteAllShownImages(shown));
        QCOMPARE(m_boxes->texts(), asked);
        QCOMPARE(rows(), left);
    }

    void assignToTooth()
    {
        storeThree();
        m_boxes->answers = {QMessageBox::Yes};
        QVERIFY(m_records->AssignSelectedToTooth({1, 2, 3}, 36));
        QCOMPARE(m_boxes->texts(), QStringList{"确定所选择的 3 个图像属于：第 36 颗牙齿吗？"});
        QCOMPARE(m_boxes->shown[0].kind, MessageRequest::ConfirmQuestion);
        QCOMPARE(rows("FPositionIndex=3 and FToothIndex=36"), 3);

        m_boxes->shown.clear();
        QVERIFY(!m_records->AssignSelectedToTooth({}, 11)); // nothing selected: not even asked
        QVERIFY(m_boxes->shown.isEmpty());
        m_boxes->answers = {QMessageBox::No};
        QVERIFY(!m_records->AssignSelectedToTooth({1}, 11));
        QCOMPARE(rows("FToothIndex=36"), 3);
    }

    void fileDialogFilters()
    {
        QCOMPARE(
            fileDialogFilter("jpg 图片文件(*.jpg)|*.jpg|bmp 图片文件(*.bmp)|*.bmp|全部文件|*.*"),
            QString("jpg 图片文件(*.jpg);;bmp 图片文件(*.bmp);;全部文件 (*.*)"));
        QCOMPARE(fileDialogFilter(QString()), QString());
    }
};

QTEST_MAIN(TestPictureRecords)
#include "tst_picturerecords.moc"
