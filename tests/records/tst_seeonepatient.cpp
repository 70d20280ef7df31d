#include "appstate.h"
#include "clientdataset.h"
#include "datagrid.h"
#include "dmdata.h"
#include "imagecodec.h"
#include "patientstore.h"
#include "seeonepatient.h"
#include "selectitem.h"
#include "testutils.h"
#include "windowmessages.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace {

const QString kLanguage =
    QStringLiteral("update t_sys set FValue=? where FCatalog='common' and FKey='language'");

struct Env
{
    QTemporaryDir dir;
    TdmData dm{freshDatabase(dir)};
    AnsweringPresenter presenter;

    Env(int language = 1)
    {
        dm.ExcSQL(kLanguage, {QString::number(language)});
        dm.GetLanguage();
    }
    QVariant scalar(const QString& sql, const QVariantList& params = {})
    {
        return dm.GetScular(sql, params);
    }
    int count(const QString& sql, const QVariantList& params = {})
    {
        return scalar(sql, params).toInt();
    }
    int counter(const char* key)
    {
        return scalar(QStringLiteral("select FMaxID from t_maxID where FKey=?"),
                      {QString::fromLatin1(key)})
            .toInt();
    }
    void exec(const QString& sql, const QVariantList& params = {})
    {
        QVERIFY(dm.ExcSQL(sql, params));
    }
    void patient(int id, const QString& name)
    {
        exec(QStringLiteral("insert into t_patient (FInterID, FName) values (?, ?)"), {id, name});
    }
    void picture(int id, int patient)
    {
        exec(QStringLiteral("insert into t_tooth (FInterID, FPatientID, FPositionIndex, FMemo) "
                            "values (?, ?, 5, 'm')"),
             {id, patient});
    }
    void treatment(int id, int patient, const QDate& date, int lines)
    {
        exec(QStringLiteral("insert into t_treating (FInterID, FPatientID, FDate) values (?,?,?)"),
             {id, patient, date});
        for (int i = 1; i <= lines; ++i)
            exec(QStringLiteral("insert into t_medicine (FInterID, FEntryID, FSort, FPatientID, "
                                "FQty) values (?, ?, ?, ?, 1)"),
                 {id, i, i, patient});
    }
};

template <class T> T* child(QWidget& w, const char* name)
{
    auto* c = w.findChild<T*>(QString::fromLatin1(name));
    if (!c)
        qFatal("no child %s", name);
    return c;
}

void click(QWidget& w, const char* name)
{
    QPushButton* b = child<QPushButton>(w, name);
    QVERIFY2(b->isEnabled(), name);
    b->click();
}

// As an input method commits it, so that Chinese text arrives as typed text.
void type(QWidget& w, const char* name, const QString& text)
{
    QInputMethodEvent e;
    e.setCommitString(text);
    QApplication::sendEvent(child<QLineEdit>(w, name), &e);
}

// Closes the window and lets it be freed.
void closeWindow(QPointer<TfrmSeeOnePatient>& w)
{
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool treatmentTabsVisible(TfrmSeeOnePatient& w)
{
    auto* tabs = child<QTabWidget>(w, "PageControl1");
    return tabs->isTabVisible(1) && tabs->isTabVisible(2);
}

// Answers the next modal dialog of type D by running f on it.
template <class D> void whenModal(std::function<void(D*)> f)
{
    QTimer::singleShot(0, [f] {
        auto* d = qobject_cast<D*>(QApplication::activeModalWidget());
        if (!d)
            qFatal("no modal dialog");
        f(d);
    });
}

} // namespace

class tst_SeeOnePatient : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void newPatientSave_data();
    void newPatientSave();
    void secondSaveUpdatesTheSameRow();
    void handOverMovesMarkedPicturesInTheSave();
    void failedSaveKeepsPicturesAndHandsOutNoKeyTwice();
    void deleteAsksAndRemovesEverythingOfThePatient();
    void photoImport_data();
    void photoImport();
    void storedPhotoShownOnlyAsLowerCaseJpg();
    void closeQuestions();
    void treatmentWithThreeLines();
    void lineNumbersStayUniqueAfterDeletion();
    void failedTreatmentSaveRestoresMinusOne();
    void historyOrderEditAndDelete();
    void historyButtonsDoNothingWhenEmpty();
    void cellButtonsPickMedicineAndUnit();
    void englishWindowShowsNoChinese();
    void badInputIsRefused();
    void dictionaryChangeReloadsLookups();
};

void tst_SeeOnePatient::newPatientSave_data()
{
    QTest::addColumn<QString>("age");
    QTest::addColumn<int>("yearsBack");
    QTest::newRow("age 30") << QStringLiteral("30") << 30;
    QTest::newRow("no age") << QString() << 0;
}

void tst_SeeOnePatient::newPatientSave()
{
    QFETCH(QString, age);
    QFETCH(int, yearsBack);
    Env env;
    env.exec(QStringLiteral("update t_maxID set FMaxID=41 where FKey='PatientID'"));
    QPointer w = new TfrmSeeOnePatient(-10);
    QCOMPARE(CurrentPatientID, -10);
    QVERIFY(!treatmentTabsVisible(*w));
    QVERIFY(!child<QPushButton>(*w, "btnImport")->isEnabled());
    type(*w, "edtName", QStringLiteral("王小明"));
    if (!age.isEmpty())
        child<QSpinBox>(*w, "spnAge")->setValue(age.toInt());
    click(*w, "btnSave");

    QCOMPARE(env.presenter.texts(), QStringList());
    QCOMPARE(env.count(QStringLiteral("select count(*) from t_patient")), 1);
    QCOMPARE(env.scalar(QStringLiteral("select FName from t_patient where FInterID=41")).toString(),
             QStringLiteral("王小明"));
    const QDate birthday = env.scalar(QStringLiteral("select FBirthday from t_patient")).toDate();
    QCOMPARE(birthday.year(), QDate::currentDate().year() - yearsBack);
    QCOMPARE(env.scalar(QStringLiteral("select FCreateDate from t_patient")).toDate(),
             QDate::currentDate());
    QCOMPARE(env.scalar(QStringLiteral("select FFirst_Treating_Date from t_patient")).toDate(),
             QDate::currentDate());
    QCOMPARE(env.counter("PatientID"), 42);
    QCOMPARE(CurrentPatientID, 41);
    QVERIFY(treatmentTabsVisible(*w));
    QVERIFY(child<QPushButton>(*w, "btnImport")->isEnabled());
    closeWindow(w);
    QVERIFY(env.presenter.texts().isEmpty());
}

void tst_SeeOnePatient::secondSaveUpdatesTheSameRow()
{
    Env env;
    QPointer w = new TfrmSeeOnePatient(-10);
    type(*w, "edtName", QStringLiteral("Ann"));
    click(*w, "btnSave");
    type(*w, "edtMobile", QStringLiteral("13900001111"));
    click(*w, "btnSave");
    QCOMPARE(env.count(QStringLiteral("select count(*) from t_patient")), 1);
    QCOMPARE(
        env.scalar(QStringLiteral("select FMobile from t_patient where FInterID=1")).toString(),
        QStringLiteral("13900001111"));
    QCOMPARE(env.counter("PatientID"), 2);
    closeWindow(w);
}

void tst_SeeOnePatient::handOverMovesMarkedPicturesInTheSave()
{
    Env env;
    for (int k : {3, 7, 9})
        env.picture(k, 0);
    QPointer w = new TfrmSeeOnePatient(-10, QStringLiteral("3,7"));
    type(*w, "edtName", QStringLiteral("Bo"));
    click(*w, "btnSave");
    QCOMPARE(env.count(QStringLiteral("select count(*) from t_tooth where FPatientID=1 and "
                                      "FInterID in (3, 7) and FMemo='m'")),
             2);
    QCOMPARE(env.count(QStringLiteral("select FPatientID from t_tooth where FInterID=9")), 0);
    // A later save does not repeat the hand-over.
    env.picture(11, 0);
    env.exec(QStringLiteral("update t_tooth set FPatientID=0 where FInterID=3"));
    type(*w, "edtQQ", QStringLiteral("1"));
    click(*w, "btnSave");
    QCOMPARE(env.count(QStringLiteral("select FPatientID from t_tooth where FInterID=3")), 0);
    closeWindow(w);
}

void tst_SeeOnePatient::failedSaveKeepsPicturesAndHandsOutNoKeyTwice()
{
    Env env;
    env.picture(3, 0);
    env.picture(7, 0);
    // Another workstation's row already holds the key the counter offers.
    env.patient(1, QStringLiteral("other"));
    QPointer w = new TfrmSeeOnePatient(-10, QStringLiteral("3,7"));
    type(*w, "edtName", QStringLiteral("Cy"));
    click(*w, "btnSave");
    QCOMPARE(env.presenter.shown.size(), 1); // the failure is reported
    QCOMPARE(env.count(QStringLiteral("select count(*) from t_tooth where FPatientID=0")), 2);
    QCOMPARE(env.counter("PatientID"), 1);
    QCOMPARE(w->cdsPatient->value(QStringLiteral("FInterID")).toInt(), -1);
    QVERIFY(!treatmentTabsVisible(*w));

    env.exec(QStringLiteral("update t_maxID set FMaxID=5 where FKey='PatientID'"));
    click(*w, "btnSave");
    QCOMPARE(env.scalar(QStringLiteral("select FName from t_patient where FInterID=5")).toString(),
             QStringLiteral("Cy"));
    QCOMPARE(env.count(QStringLiteral("select count(*) from t_tooth where FPatientID=5")), 2);
    QCOMPARE(env.counter("PatientID"), 6);
    closeWindow(w);
}

void tst_SeeOnePatient::deleteAsksAndRemovesEverythingOfThePatient()
{
    Env env;
    for (int p : {5, 6}) {
        env.patient(p, p == 5 ? QStringLiteral("李四") : QStringLiteral("other"));
        env.picture(p * 10, p);
        env.treatment(p * 100, p, QDate(2026, 1, 2), 2);
    }
    QPointer w = new TfrmSeeOnePatient(5);
    env.presenter.answers << QMessageBox::No;
    click(*w, "btnDelete");
    QCOMPARE(env.presenter.texts().last(),
             QStringLiteral("删除当前[李四]病例，将同时删除与该病例关联的牙齿照片！是否要删除?"));
    QCOMPARE(env.count(QStringLiteral("select count(*) from t_patient")), 2);
    QVERIFY(w);

    env.presenter.answers << QMessageBox::Yes;
    click(*w, "btnDelete");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!w);
    QCOMPARE(CurrentPatientID, -1);
    QCOMPARE(env.presenter.shown.size(), 2); // no save question on the way out
    for (const char* table : {"t_patient where FInterID", "t_tooth where FPatientID",
                              "t_medicine where FPatientID", "t_treating where FPatientID"}) {
        const QString sql = QStringLiteral("select count(*) from %1=?").arg(QLatin1String(table));
        QCOMPARE(env.count(sql, {5}), 0);
        QVERIFY(env.count(sql, {6}) > 0);
    }
}

void tst_SeeOnePatient::photoImport_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message"); // empty: stored
    QImage image(64, 48, QImage::Format_RGB888);
    image.fill(QColor(200, 40, 40));
    QTest::newRow("BMP in capitals")
        << QStringLiteral("photo.BMP") << codec::encodeBmp(image) << QString();
    QTest::newRow("jpg") << QStringLiteral("photo.jpg") << codec::encodeJpeg(image, 95)
                         << QString();
    QTest::newRow("png refused") << QStringLiteral("photo.png") << QByteArray("\x89PNG\r\n")
                                 << QStringLiteral("加载所选文件失败！");
    QTest::newRow("broken jpg") << QStringLiteral("broken.jpg") << QByteArray(300, 'x')
                                << QStringLiteral("加载所选文件失败！");
    QTest::newRow("missing file") << QStringLiteral("gone.jpg") << QByteArray()
                                  << QStringLiteral("所选的文件不存在或格式错误！");
}

void tst_SeeOnePatient::photoImport()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    Env env;
    env.patient(5, QStringLiteral("Di"));
    const QString path = env.dir.filePath(fileName);
    if (!bytes.isEmpty()) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QPointer w = new TfrmSeeOnePatient(5);
    QString offeredFilter;
    w->openPhotoDialog = [&](const QString& filter) {
        offeredFilter = filter;
        return path;
    };
    click(*w, "btnImport");
    QCOMPARE(offeredFilter,
             QStringLiteral("jpg 图片文件(*.jpg)|*.jpg|bmp 图片文件(*.bmp)|*.bmp|全部文件|*.*"));
    const QVariant stored = env.scalar(QStringLiteral("select FPicture from t_patient"));
    if (message.isEmpty()) {
        QCOMPARE(env.presenter.texts(), QStringList());
        const QImage original = codec::decodeByHint(bytes, fileName.right(4).toLower());
        QCOMPARE(stored.toByteArray(), codec::encodeJpeg(original, 50));
        QCOMPARE(env.scalar(QStringLiteral("select FFileExt from t_patient")).toString(),
                 QStringLiteral(".jpg"));
        QVERIFY(!child<QLabel>(*w, "imgPatient")->pixmap().isNull());
    } else {
        QCOMPARE(env.presenter.texts(), QStringList{message});
        QVERIFY(stored.isNull());
    }
    closeWindow(w);
}

void tst_SeeOnePatient::storedPhotoShownOnlyAsLowerCaseJpg()
{
    Env env;
    QImage image(40, 30, QImage::Format_RGB888);
    image.fill(Qt::green);
    const QByteArray jpeg = codec::encodeJpeg(image, 50);
    env.exec(QStringLiteral("insert into t_patient (FInterID, FName, FPicture, FFileExt) values "
                            "(5, 'a', ?, '.jpg')"),
             {jpeg});
    env.exec(QStringLiteral("insert into t_patient (FInterID, FName, FPicture, FFileExt) values "
                            "(6, 'b', ?, '.JPG')"),
             {jpeg});
    const QString written = QCoreApplication::applicationDirPath() + QStringLiteral("/patient.jpg");
    QFile::remove(written);
    QPointer w = new TfrmSeeOnePatient(5);
    auto* view = child<QLabel>(*w, "imgPatient");
    QVERIFY(!view->pixmap().isNull());
    QFile file(written);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), jpeg);
    w->InitPatientData(6);
    QVERIFY(view->pixmap().isNull());
    closeWindow(w);
}

void tst_SeeOnePatient::closeQuestions()
{
    Env env;
    env.patient(5, QStringLiteral("Ed"));
    const QString first = QStringLiteral("病人资料已修改，是否保存？");
    const QString second = QStringLiteral("病历资料已修改，是否保存？");
    {
        QPointer w = new TfrmSeeOnePatient(-10);
        closeWindow(w);
        QCOMPARE(env.presenter.texts(), QStringList());
    }
    {
        QPointer w = new TfrmSeeOnePatient(-10);
        type(*w, "edtName", QStringLiteral("x"));
        closeWindow(w);
        QCOMPARE(env.presenter.texts(), QStringList{first});
        QCOMPARE(env.count(QStringLiteral("select count(*) from t_patient")), 1); // answered no
    }
    env.presenter.shown.clear();
    {
        QPointer w = new TfrmSeeOnePatient(5);
        w->InitPatientData(-10);
        closeWindow(w);
        QCOMPARE(env.presenter.texts(), QStringList{first});
    }
    env.presenter.shown.clear();
    {
        // A treatment typed for a stored patient: asked, and stored on yes.
        QPointer w = new TfrmSeeOnePatient(5);
        QTest::keyClicks(child<QPlainTextEdit>(*w, "memDescription"), QStringLiteral("caries"));
        env.presenter.answers << QMessageBox::Yes;
        closeWindow(w);
        QCOMPARE(env.presenter.texts(), QStringList{second});
        QCOMPARE(env.scalar(QStringLiteral("select FDescription from t_treating where "
                                           "FPatientID=5"))
                     .toString(),
                 QStringLiteral("caries"));
    }
}

void tst_SeeOnePatient::treatmentWithThreeLines()
{
    Env env;
    env.patient(5, QStringLiteral("Fa"));
    env.exec(QStringLiteral("update t_maxID set FMaxID=17 where FKey='TreatingID'"));
    QPointer w = new TfrmSeeOnePatient(5);
    QTest::keyClicks(child<QPlainTextEdit>(*w, "memTreatment"), QStringLiteral("fill 16"));
    auto* grid = child<DataGrid>(*w, "cxGrid1");
    for (int i = 0; i < 3; ++i) {
        click(*w, "btnAddMedicine");
        QVERIFY(grid->model()->setData(grid->model()->index(i, 3), QStringLiteral("%1.5").arg(i)));
    }
    click(*w, "btnSaveTreatment");
    QCOMPARE(env.presenter.texts(), QStringList());
    QCOMPARE(env.counter("TreatingID"), 18);
    QCOMPARE(env.scalar(QStringLiteral("select FTreating from t_treating where FInterID=17 and "
                                       "FPatientID=5"))
                 .toString(),
             QStringLiteral("fill 16"));
    QCOMPARE(env.count(QStringLiteral("select count(*) from t_medicine where FInterID=17 and "
                                      "FPatientID=5 and FEntryID between 1 and 3")),
             3);
    QCOMPARE(env.scalar(QStringLiteral("select cast(FQty as varchar(20)) from t_medicine where "
                                       "FEntryID=3"))
                 .toString(),
             QStringLiteral("2.50"));

    // A line added later is inserted alone; the key and the counter stay.
    click(*w, "btnAddMedicine");
    click(*w, "btnSaveTreatment");
    QCOMPARE(env.count(QStringLiteral("select count(*) from t_medicine where FInterID=17")), 4);
    QCOMPARE(env.count(QStringLiteral("select FEntryID from t_medicine where FInterID=17 and "
                                      "FQty is null")),
             4);
    QCOMPARE(env.counter("TreatingID"), 18);
    QCOMPARE(env.count(QStringLiteral("select count(*) from t_treating")), 1);
    closeWindow(w);
}

void tst_SeeOnePatient::lineNumbersStayUniqueAfterDeletion()
{
    QCOMPARE(PatientStore::birthdayForAge(2, QDate(2028, 2, 29)), QDate(2026, 2, 28));
    Env env;
    env.patient(5, QStringLiteral("Ga"));
    env.treatment(8, 5, QDate(2026, 3, 1), 3);
    QPointer w = new TfrmSeeOnePatient(5);
    click(*w, "btnEditHistory");
    auto* grid = child<DataGrid>(*w, "cxGrid1");
    QCOMPARE(grid->model()->rowCount(), 3);
    // Remove line 3 (the highest) and add one: it must not take number 3 again.
    w->cdsMedicine->setRecNo(2);
    click(*w, "btnDeleteMedicine");
    w->cdsMedicine->setRecNo(0);
    click(*w, "btnDeleteMedicine");
    click(*w, "btnAddMedicine");
    QCOMPARE(w->cdsMedicine->value(QStringLiteral("FEntryID")).toInt(), 4);
    click(*w, "btnSaveTreatment");
    QCOMPARE(env.presenter.texts(), QStringList());
    QCOMPARE(env.count(QStringLiteral("select count(*) from t_medicine where FInterID=8")), 2);
    QCOMPARE(env.count(QStringLiteral("select count(*) from t_medicine where FInterID=8 and "
                                      "FEntryID in (2, 4)")),
             2);
    closeWindow(w);
}

void tst_SeeOnePatient::failedTreatmentSaveRestoresMinusOne()
{
    Env env;
    env.patient(5, QStringLiteral("Ha"));
    env.treatment(1, 6, QDate(2026, 1, 1), 0); // holds the key the counter offers
    QPointer w = new TfrmSeeOnePatient(5);
    QTest::keyClicks(child<QPlainTextEdit>(*w, "memTreatment"), QStringLiteral("x"));
    click(*w, "btnAddMedicine");
    click(*w, "btnSaveTreatment");
    QCOMPARE(env.presenter.shown.size(), 1);
    QCOMPARE(env.counter("TreatingID"), 1);
    QCOMPARE(env.count(QStringLiteral("select count(*) from t_medicine")), 0);
    QCOMPARE(w->cdsTreating->value(QStringLiteral("FInterID")).toInt(), -1);
    QCOMPARE(w->cdsMedicine->value(QStringLiteral("FInterID")).toInt(), -1);

    env.exec(QStringLiteral("update t_maxID set FMaxID=2 where FKey='TreatingID'"));
    click(*w, "btnSaveTreatment");
    QCOMPARE(env.count(QStringLiteral("select count(*) from t_medicine where FInterID=2")), 1);
    QCOMPARE(env.counter("TreatingID"), 3);
    closeWindow(w);
}

void tst_SeeOnePatient::historyOrderEditAndDelete()
{
    Env env;
    env.patient(5, QStringLiteral("Ia"));
    env.treatment(3, 5, QDate(2026, 5, 1), 2);
    env.treatment(8, 5, QDate(2026, 5, 1), 1);
    env.treatment(9, 5, QDate(2025, 1, 1), 1);
    env.treatment(4, 6, QDate(2026, 6, 1), 1);
    QPointer w = new TfrmSeeOnePatient(5);
    ClientDataSet* list = w->cdsFangAnList;
    QList<int> order;
    for (int r = 0; r < list->recordCount(); ++r)
        order << list->value(r, list->fieldIndex(QStringLiteral("FInterID"))).toInt();
    QCOMPARE(order, (QList<int>{8, 3, 9}));
    QCOMPARE(w->cdsMedicineFangAn->recordCount(), 1);
    list->setRecNo(1);
    QCOMPARE(w->cdsMedicineFangAn->recordCount(), 2); // follows the cursor

    click(*w, "btnEditHistory");
    QCOMPARE(child<QTabWidget>(*w, "PageControl1")->currentIndex(), 1);
    QCOMPARE(w->cdsTreating->value(QStringLiteral("FInterID")).toInt(), 3);
    QCOMPARE(w->cdsMedicine->recordCount(), 2);

    env.presenter.answers << QMessageBox::Yes;
    click(*w, "btnDeleteHistory");
    QVERIFY(env.presenter.texts().last().startsWith(QStringLiteral("是否删除[")));
    QCOMPARE(env.count(QStringLiteral("select count(*) from t_treating where FInterID=3")), 0);
    QCOMPARE(env.count(QStringLiteral("select count(*) from t_medicine where FInterID=3")), 0);
    QCOMPARE(env.count(QStringLiteral("select count(*) from t_medicine")), 3);
    QCOMPARE(list->recordCount(), 2);
    w->cdsTreating->cancelUpdates();
    closeWindow(w);
}

void tst_SeeOnePatient::historyButtonsDoNothingWhenEmpty()
{
    Env env;
    env.patient(5, QStringLiteral("Ja"));
    QPointer w = new TfrmSeeOnePatient(5);
    click(*w, "btnEditHistory");
    click(*w, "btnDeleteHistory");
    QCOMPARE(env.presenter.texts(), QStringList());
    QCOMPARE(child<QTabWidget>(*w, "PageControl1")->currentIndex(), 0);
    closeWindow(w);
}

void tst_SeeOnePatient::cellButtonsPickMedicineAndUnit()
{
    Env env;
    env.patient(5, QStringLiteral("Ka"));
    env.exec(QStringLiteral("insert into t_subMessage (FInterID, FTypeID, FName, FUse) values "
                            "(20, 5, 'Amoxicillin', 1)"));
    env.exec(QStringLiteral("insert into t_subMessage (FInterID, FTypeID, FName, FUse) values "
                            "(21, 4, 'mg', 1)"));
    QPointer w = new TfrmSeeOnePatient(5);
    w->show();
    child<QTabWidget>(*w, "PageControl1")->setCurrentIndex(1);
    click(*w, "btnAddMedicine");
    auto* grid = child<DataGrid>(*w, "cxGrid1");
    const auto press = [grid](int column) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->cellButtonRect(0, column).center());
    };
    int askedType = 0;
    whenModal<TfrmSelectItem>([&askedType](TfrmSelectItem* d) {
        askedType = d->FInfoType;
        d->FSelectedInterID = 20;
        d->accept();
    });
    press(1);
    QCOMPARE(askedType, 5);
    whenModal<TfrmSelectItem>([&askedType](TfrmSelectItem* d) {
        askedType = d->FInfoType;
        d->FSelectedInterID = 21;
        d->accept();
    });
    press(2);
    QCOMPARE(askedType, 4);
    // Closing the picker without a choice changes nothing.
    whenModal<TfrmSelectItem>([](TfrmSelectItem* d) { d->reject(); });
    press(1);
    QCOMPARE(w->cdsMedicine->value(QStringLiteral("FMedicine")).toInt(), 20);
    QCOMPARE(w->cdsMedicine->value(QStringLiteral("FUnitID")).toInt(), 21);
    QCOMPARE(grid->model()->index(0, 1).data().toString(), QStringLiteral("Amoxicillin"));
    QCOMPARE(grid->model()->index(0, 2).data().toString(), QStringLiteral("mg"));
    w->cdsTreating->cancelUpdates();
    w->cdsMedicine->cancelUpdates();
    closeWindow(w);
}

void tst_SeeOnePatient::englishWindowShowsNoChinese()
{
    Env env(2);
    env.patient(5, QStringLiteral("Lee"));
    env.exec(QStringLiteral("update t_patient set FSexID=2 where FInterID=5"));
    QPointer w = new TfrmSeeOnePatient(5);
    const auto hasChinese = [](const QString& s) {
        for (QChar c : s)
            if (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF)
                return true;
        return false;
    };
    QStringList texts{w->windowTitle()};
    for (auto* l : w->findChildren<QLabel*>())
        texts << l->text();
    for (auto* b : w->findChildren<QPushButton*>())
        texts << b->text();
    for (auto* t : w->findChildren<QTabWidget*>())
        for (int i = 0; i < t->count(); ++i)
            texts << t->tabText(i);
    for (auto* g : w->findChildren<DataGrid*>())
        for (int i = 0; i < g->columnCount(); ++i)
            texts << g->model()->headerData(i, Qt::Horizontal).toString();
    for (auto* a : w->findChildren<QAction*>())
        texts << a->text();
    auto* sex = child<QComboBox>(*w, "cmbSex");
    for (int i = 0; i < sex->count(); ++i)
        texts << sex->itemText(i);
    for (const QString& t : texts)
        QVERIFY2(!hasChinese(t), qPrintable(t));
    QCOMPARE(sex->currentText(), QStringLiteral("Female"));
    QCOMPARE(child<QTabWidget>(*w, "PageControl1")->tabText(2),
             QStringLiteral("Treatment History"));
    closeWindow(w);
}

void tst_SeeOnePatient::badInputIsRefused()
{
    Env env;
    env.patient(5, QStringLiteral("Ma"));
    QPointer w = new TfrmSeeOnePatient(5);
    // An age beyond the range cannot be typed.
    auto* age = child<QSpinBox>(*w, "spnAge");
    age->selectAll();
    QTest::keyClicks(age, QStringLiteral("150"));
    QVERIFY(age->value() <= 100);
    // Text longer than its column is cut at the column's length.
    auto* allergy = child<QPlainTextEdit>(*w, "memAllergy");
    allergy->setPlainText(QString(1200, QLatin1Char('a')));
    QCOMPARE(w->cdsPatient->value(QStringLiteral("FNouse_Medicine")).toString().size(), 1000);
    QVERIFY(child<QLineEdit>(*w, "edtName")->maxLength() == 200);
    // A dose that is no number is refused; an over-long remark is refused with a message.
    click(*w, "btnAddMedicine");
    auto* model = child<DataGrid>(*w, "cxGrid1")->model();
    QVERIFY(!model->setData(model->index(0, 3), QStringLiteral("two")));
    QVERIFY(w->cdsMedicine->value(QStringLiteral("FQty")).isNull());
    QVERIFY(!model->setData(model->index(0, 4), QString(501, QLatin1Char('r'))));
    QCOMPARE(env.presenter.shown.size(), 1);
    click(*w, "btnSave");
    QCOMPARE(
        env.scalar(QStringLiteral("select char_length(FNouse_Medicine) from t_patient")).toInt(),
        1000);
    w->cdsTreating->cancelUpdates();
    w->cdsMedicine->cancelUpdates();
    closeWindow(w);
}

void tst_SeeOnePatient::dictionaryChangeReloadsLookups()
{
    Env env;
    env.patient(5, QStringLiteral("Na"));
    QPointer w = new TfrmSeeOnePatient(5);
    const int before = w->cdsMedicineList->recordCount();
    env.exec(QStringLiteral("insert into t_subMessage (FInterID, FTypeID, FName, FUse) values "
                            "(30, 5, 'Ibuprofen', 1)"));
    SendMessage(w, WM_DICTIONARY_CHANGED);
    QCOMPARE(w->cdsMedicineList->recordCount(), before + 1);
    closeWindow(w);
}

QTEST_MAIN(tst_SeeOnePatient)
#include "tst_seeonepatient.moc"
