// tour --database PATH --language 1|2 --out DIR
// Writes DIR/<class>.png and DIR/<class>.json (one object per visible widget) for each window.
// The database is copied first: the language is set in the copy, never in the original.
#include "application.h"
#include "basicinfo.h"
#include "cappicturestill.h"
#include "clientdataset.h"
#include "dmdata.h"
#include "findbook.h"
#include "frameimage.h"
#include "imagecodec.h"
#include "mainwindow.h"
#include "memo.h"
#include "modifypassword.h"
#include "picturerecords.h"
#include "pictureview.h"
#include "seeonepatient.h"
#include "selectitem.h"
#include "splash.h"
#include "syssetting.h"
#include "takepicture.h"
#include "testpatterncamera.h"
#include "thumbnail.h"
#include "user.h"
#include "videowindow.h"
#include "zoomimage.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QThread>
#include <cstdio>
#include <functional>

#include "captionpanel.h"

namespace {

void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

// What a user reads on a widget.
QString widgetText(const QWidget* w)
{
    QStringList parts;
    if (w->isWindow() && !w->windowTitle().isEmpty())
        parts << w->windowTitle();
    if (const auto* b = qobject_cast<const QAbstractButton*>(w)) {
        parts << b->text();
        if (const auto* p = qobject_cast<const QPushButton*>(w); p && p->menu()) {
            for (const QAction* a : p->menu()->actions())
                parts << a->text();
        }
    } else if (const auto* l = qobject_cast<const QLabel*>(w)) {
        parts << l->text();
    } else if (const auto* c = qobject_cast<const CaptionPanel*>(w)) {
        parts << c->caption();
    } else if (const auto* g = qobject_cast<const QGroupBox*>(w)) {
        parts << g->title();
    } else if (const auto* e = qobject_cast<const QLineEdit*>(w)) {
        parts << (e->echoMode() == QLineEdit::Normal ? e->text() : QString())
              << e->placeholderText();
    } else if (const auto* cb = qobject_cast<const QComboBox*>(w)) {
        for (int i = 0; i < cb->count(); ++i)
            parts << cb->itemText(i);
    } else if (const auto* tb = qobject_cast<const QTabBar*>(w)) {
        for (int i = 0; i < tb->count(); ++i)
            parts << tb->tabText(i);
    } else if (const auto* tv = qobject_cast<const QTableView*>(w)) {
        if (const QAbstractItemModel* m = tv->model()) {
            for (int i = 0; i < m->columnCount(); ++i) {
                if (!tv->isColumnHidden(i))
                    parts << m->headerData(i, Qt::Horizontal).toString();
            }
        }
    } else if (const auto* pt = qobject_cast<const QPlainTextEdit*>(w)) {
        parts << pt->toPlainText();
    } else if (const auto* te = qobject_cast<const QTextEdit*>(w)) {
        parts << te->toPlainText();
    }
    parts.removeAll(QString());
    return parts.join(QStringLiteral(" | "));
}

QJsonArray widgetList(QWidget* window)
{
    QJsonArray list;
    QList<QWidget*> all{window};
    all += window->findChildren<QWidget*>();
    for (QWidget* w : all) {
        if (!w->isVisible())
            continue;
        const QPoint at = w == window ? QPoint(0, 0) : w->mapTo(window, QPoint(0, 0));
        list.append(QJsonObject{{"class", QString::fromLatin1(w->metaObject()->className())},
                                {"objectName", w->objectName()},
                                {"text", widgetText(w)},
                                {"x", at.x()},
                                {"y", at.y()},
                                {"w", w->width()},
                                {"h", w->height()}});
    }
    return list;
}

// A dataset over sql that the window made from it owns.
template <class W> QWidget* overDataset(const QString& sql)
{
    auto* ds = new ClientDataSet;
    ds->setProvider(new DataSetProvider(ds));
    dmData->GetDataset(*ds, sql);
    auto* w = new W(ds);
    ds->setParent(w);
    return w;
}

bool capture(QWidget* window, const QString& dir, const QString& suffix = QString())
{
    window->show();
    window->raise();
    settle();
    const QString name = QString::fromLatin1(window->metaObject()->className()) + suffix;
    const bool png = window->grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
    QFile json(QDir(dir).filePath(name + QStringLiteral(".json")));
    const bool ok = json.open(QIODevice::WriteOnly) &&
                    json.write(QJsonDocument(widgetList(window)).toJson()) > 0;
    std::printf("%s %s\n", qPrintable(name), png && ok ? "written" : "FAILED");
    return png && ok;
}

// A stand-in intraoral picture: gum-coloured background and a row of teeth.
QImage samplePicture(int seed)
{
    QImage img(800, 600, QImage::Format_RGB888);
    QPainter p(&img);
    QLinearGradient bg(0, 0, 0, 600);
    bg.setColorAt(0, QColor(150 + seed * 10, 60, 70));
    bg.setColorAt(1, QColor(90, 30, 40));
    p.fillRect(img.rect(), bg);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 4; ++i) {
        QRadialGradient enamel(QPointF(140 + i * 170, 260), 120);
        enamel.setColorAt(0, QColor(250, 248, 235));
        enamel.setColorAt(1, QColor(205, 195, 170));
        p.setBrush(enamel);
        p.setPen(QPen(QColor(120, 100, 90), 3));
        p.drawRoundedRect(QRectF(70 + i * 170, 150 + (i + seed) % 3 * 12, 140, 230), 50, 60);
    }
    return img;
}

// The camera window with a test-pattern camera running; the hand-piece is present.
class TourHandpiece : public Equipment
{
public:
    int InitEquipment() override { return 1; }
    int ReadFromEquipment(int) override { return 0xFF; }
    int CloseEquipment() override { return 0; }
};

QWidget* cameraWindow(int mode)
{
    TestPatternCamera camera;
    camera.description = QStringLiteral("Intraoral camera (test pattern)");
    camera.width = 1280;
    camera.height = 720;
    TestPatternCamera second;
    second.friendlyName = QStringLiteral("USB 2.0 Camera");
    second.pattern = QStringLiteral("ball");
    auto* w = new TfrmCapPictureStill(
        nullptr, 90001, std::make_unique<TourHandpiece>(),
        std::make_unique<TestPatternDevices>(QList<TestPatternCamera>{camera, second}));
    w->show();
    settle();
    w->findChild<QComboBox*>(QStringLiteral("cbInputDev"))->setCurrentIndex(0);
    if (mode == 1)
        w->setRecordModeIndex(1);
    // Frames come from the streaming threads; give them time to reach the screen.
    for (int i = 0; i < 40 && w->VideoWindow1->frame().isNull(); ++i) {
        QThread::msleep(25);
        settle();
    }
    return w;
}

// A few filed pictures of the sample patient, so the archive shows a real chart.
void storeSamplePictures()
{
    PictureDataSet pictures;
    DefaultPictureDialogs dialogs;
    PictureRecords records(pictures.images, dialogs);
    const int teeth[] = {16, 16, 36, 46, 0, 0};
    for (int i = 0; i < 6; ++i) {
        const QImage img = samplePicture(i);
        const int key = records.storeNewPicture(90001, codec::encodeJpeg(img, 90),
                                                QStringLiteral(".jpg"), MakeThumbnail(img));
        if (teeth[i] != 0)
            PictureRecords::SetImageTooth(key, teeth[i]);
    }
    dmData->ExcSQL(QStringLiteral("update t_tooth set FMemo=? where FToothIndex=36"),
                   {QStringLiteral("龋齿 caries")});
}

// The comparison window over the sample patient's six pictures, in one layout.
QWidget* compareSamples(int layout)
{
    ClientDataSet rows;
    DataSetProvider provider;
    rows.setProvider(&provider);
    dmData->GetDataset(rows, QStringLiteral("select FInterID from t_tooth where FPatientID=90001 "
                                            "and FFileExt is not null order by FInterID"));
    QList<int> keys;
    for (rows.first(); !rows.eof(); rows.next())
        keys << rows.value(QStringLiteral("FInterID")).toInt();
    auto* w = new TfrmZoomImage(keys.mid(0, 6));
    w->resize(1280, 800);
    w->RzDBComboBox1->setCurrentIndex(layout);
    w->ArrangeFrames(layout);
    return w;
}

} // namespace

int main(int argc, char** argv)
{
    Application app(argc, argv);
    QCommandLineParser cli;
    cli.addHelpOption();
    cli.addOption({"database", "Database file (copied, not changed).", "path"});
    cli.addOption({"language", "1 Chinese, 2 English.", "index", "1"});
    cli.addOption({"out", "Folder for the screenshots and widget lists.", "dir"});
    cli.process(app);
    if (!cli.isSet("database") || !cli.isSet("out")) {
        std::fprintf(stderr, "usage: tour --database PATH --language 1|2 --out DIR\n");
        return 2;
    }
    const QString outDir = cli.value("out");
    QDir().mkpath(outDir);
    QTemporaryDir work;
    TfrmCapPictureStill::setRecordingDirectory(work.path());
    const QString copy = work.filePath(QStringLiteral("tour.fdb"));
    if (!QFile::copy(cli.value("database"), copy)) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(cli.value("database")));
        return 1;
    }
    QFile::setPermissions(copy, QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    TdmData data(copy);
    if (!data.isConnected())
        return 1;
    data.ExcSQL(QStringLiteral("update t_sys set FValue=? where FCatalog='common' and "
                               "FKey='language'"),
                {cli.value("language")});
    data.GetLanguage();
    data.FUserName =
        data.GetScular(QStringLiteral("select FName from t_user where FIsAdmin=1")).toString();
    if (data.FLanguageIndex == 1)
        QGuiApplication::setApplicationDisplayName(QStringLiteral("鹊岭"));
    else if (data.FLanguageIndex == 2)
        QGuiApplication::setApplicationDisplayName(QStringLiteral("Quillbrook"));

    // Rows for the windows that edit one.
    data.ExcSQL(QStringLiteral("insert into t_patient (FInterID, FName, FMemo) values (?, ?, ?)"),
                {90001, QStringLiteral("张三 Zhang San"),
                 QStringLiteral("青霉素过敏 / allergic to penicillin")});
    data.ExcSQL(QStringLiteral("insert into t_tooth (FInterID, FPatientID, FPositionIndex, "
                               "FToothIndex, FMemo) values (?, ?, 4, 46, ?)"),
                {90001, 90001, QStringLiteral("右下第一磨牙 / lower right first molar")});

    data.ExcSQL(QStringLiteral("update t_patient set FSexID=1, FAge=42, FMobile='13800138000', "
                               "FCard='A-1024', FBloodType=4, FNouse_Medicine=? where "
                               "FInterID=90001"),
                {QStringLiteral("青霉素 / penicillin")});
    data.ExcSQL(QStringLiteral("insert into t_subMessage (FInterID, FTypeID, FName, FUse) values "
                               "(90001, 5, 'Amoxicillin 阿莫西林', 1)"));
    data.ExcSQL(QStringLiteral("insert into t_subMessage (FInterID, FTypeID, FName, FUse) values "
                               "(90002, 4, 'mg', 1)"));
    for (int t : {90001, 90002}) {
        data.ExcSQL(QStringLiteral("insert into t_treating (FInterID, FPatientID, FDate, "
                                   "FDoctorID, FDescription, FTreating) values (?, 90001, ?, 3, "
                                   "?, ?)"),
                    {t, QDate(2026, 11, t == 90001 ? 3 : 24),
                     QStringLiteral("46 龋齿 / caries on 46"),
                     QStringLiteral("充填 / composite filling")});
        for (int line : {1, 2})
            data.ExcSQL(QStringLiteral("insert into t_medicine (FInterID, FEntryID, FSort, "
                                       "FPatientID, FMedicine, FUnitID, FQty, FMemo) values (?, "
                                       "?, ?, 90001, 90001, 90002, 250, 'tid')"),
                        {t, line, line});
    }

    storeSamplePictures();

    // A few more patients, dictionary items and an ordinary account for the list windows.
    const QString patient = QStringLiteral("insert into t_patient (FInterID, FName, FSexID, "
                                           "FAge, FMobile, FHome_Tel, FCard, FIDCard, FBookID) "
                                           "values (?, ?, ?, ?, ?, ?, ?, ?, ?)");
    data.ExcSQL(patient, {90002, QStringLiteral("李四 Li Si"), 2, 34, QStringLiteral("13900002222"),
                          QStringLiteral("0571-88881234"), QStringLiteral("C0002"),
                          QStringLiteral("330102199001011234"), QStringLiteral("B-17")});
    data.ExcSQL(patient,
                {90003, QStringLiteral("Mary O'Brien"), 2, 52, QStringLiteral("13800009999"),
                 QVariant(), QStringLiteral("C0003"), QVariant(), QStringLiteral("B-18")});
    const QString item = QStringLiteral(
        "insert into t_subMessage (FInterID, FTypeID, FName, FUse) values (?, ?, ?, ?)");
    data.ExcSQL(item, {90010, 4, QStringLiteral("片 tablet"), 1});
    data.ExcSQL(item, {90011, 4, QStringLiteral("粒 capsule"), 1});
    data.ExcSQL(item, {90012, 4, QStringLiteral("ml"), 0});
    data.ExcSQL(item, {90020, 5, QStringLiteral("阿莫西林 amoxicillin"), 1});
    data.ExcSQL(item, {90021, 5, QStringLiteral("布洛芬 ibuprofen"), 1});
    data.ExcSQL(QStringLiteral("insert into t_user (FInterID, FAccount, FName, FPsw, FIsAdmin, "
                               "FUse) values (2, ?, ?, ?, 0, 1)"),
                {QStringLiteral("wang"), QStringLiteral("wang"), QStringLiteral("wang")});

    // Each window of the program, as a user first sees it.
    const std::vector<std::pair<QString, std::function<QWidget*()>>> windows = {
        {{}, [] { return new TfrmSplash; }},
        {{}, [] { return new TfrmModifyPassword(QStringLiteral("1")); }},
        {{}, [] { return new TfrmSysSetting; }},
        {{},
         [] {
             auto* w = new TfrmMain;
             w->resize(1280, 800);
             return w;
         }},
        {{},
         [] {
             return overDataset<TfrmMemo>(
                 QStringLiteral("select * from t_tooth where FInterID=90001"));
         }},
        {{},
         [] {
             return overDataset<TfrmPatientMemo>(
                 QStringLiteral("select * from t_patient where FInterID=90001"));
         }},
        {{},
         [] {
             auto* w = new TfrmTakePicture(90001);
             w->resize(1280, 760);
             return w;
         }},
        {QStringLiteral(".same-direction"),
         [] {
             auto* w = new TfrmTakePicture(90001);
             w->resize(1280, 760);
             w->show();
             settle();
             w->findChild<QRadioButton*>(QStringLiteral("rbSameDirection"))->click();
             w->chartPanelPressed(w->toothPanel(16), Qt::LeftButton);
             return w;
         }},
        {QStringLiteral(".observation-room"),
         [] {
             auto* w = new TfrmTakePicture(0);
             w->resize(1280, 760);
             return w;
         }},
        {{}, [] { return new TfrmFindBook; }},
        {{}, [] { return new TfmBasicInfo; }},
        {QStringLiteral(".medicines"),
         [] {
             auto* w = new TfmBasicInfo;
             w->findChild<QTabWidget*>(QStringLiteral("cxPageControl1"))->setCurrentIndex(1);
             return static_cast<QWidget*>(w);
         }},
        {QStringLiteral(".unit"), [] { return new TfrmSelectItem(4); }},
        {QStringLiteral(".medicine"), [] { return new TfrmSelectItem(5); }},
        {{}, [] { return new TfrmUser; }},
        {{},
         [] {
             auto* w = new TfrmSeeOnePatient(90001);
             w->resize(1280, 760);
             return w;
         }},
        {QStringLiteral(".new"),
         [] {
             auto* w = new TfrmSeeOnePatient(-10);
             w->resize(1280, 760);
             return w;
         }},
        {QStringLiteral(".treatment"),
         [] {
             auto* w = new TfrmSeeOnePatient(90001);
             w->resize(1280, 760);
             w->findChild<QPushButton*>(QStringLiteral("btnEditHistory"))->click();
             return w;
         }},
        {QStringLiteral(".history"),
         [] {
             auto* w = new TfrmSeeOnePatient(90001);
             w->resize(1280, 760);
             w->findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentIndex(2);
             return w;
         }},
        {{}, [] { return cameraWindow(0); }},
        {QStringLiteral(".recording-mode"), [] { return cameraWindow(1); }},
        {QStringLiteral(".layout-0"), [] { return compareSamples(0); }},
        {QStringLiteral(".layout-1"), [] { return compareSamples(1); }},
        {QStringLiteral(".layout-2"), [] { return compareSamples(2); }},
        {QStringLiteral(".layout-3"), [] { return compareSamples(3); }},
        {QStringLiteral(".layout-4"), [] { return compareSamples(4); }},
        {QStringLiteral(".layout-5"), [] { return compareSamples(5); }},
        {QStringLiteral(".loupe"),
         [] {
             auto* w = static_cast<TfrmZoomImage*>(compareSamples(4));
             w->show();
             settle();
             // A right press on the first picture opens its magnifier there.
             QWidget* view = w->FArrayFrameImage[0]->source()->viewport();
             const QPointF at(view->width() * 0.45, view->height() * 0.5);
             QMouseEvent press(QEvent::MouseButtonPress, at, view->mapToGlobal(at), Qt::RightButton,
                               Qt::RightButton, Qt::NoModifier);
             QCoreApplication::sendEvent(view, &press);
             settle();
             return static_cast<QWidget*>(w);
         }},
    };
    bool ok = true;
    for (const auto& [suffix, make] : windows) {
        QWidget* w = make();
        ok = capture(w, outDir, suffix) && ok;
        delete w;
        settle();
    }
    return ok ? 0 : 1;
}
