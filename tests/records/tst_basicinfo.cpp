#include "basicinfo.h"
#include "recordsfixture.h"
#include "windowmessages.h"

#include <QPushButton>
#include <QTabBar>

namespace {

// Two units and a medicine; a prescription line uses unit 20 and medicine 30.
struct DictEnv : RecordsEnv
{
    DictEnv()
    {
        const QString insert = QStringLiteral(
            "insert into t_subMessage (FInterID, FTypeID, FName, FUse) values (?, ?, ?, ?)");
        exec(insert, {20, 4, QStringLiteral("片"), 1});
        exec(insert, {21, 4, QStringLiteral("粒"), 0});
        exec(insert, {30, 5, QStringLiteral("阿莫西林"), 1});
        exec(insert, {31, 5, QStringLiteral("维生素C"), 1});
        exec(QStringLiteral("insert into t_medicine (FInterID, FEntryID, FPatientID, FMedicine, "
                            "FUnitID, FQty) values (1, 1, 1, 30, 20, 2)"));
    }
    QVariant stored(int key, const char* column)
    {
        return scalar(QStringLiteral("select %1 from t_subMessage where FInterID=?")
                          .arg(QString::fromLatin1(column)),
                      {key});
    }
};

QPushButton* button(QWidget* w, const char* name)
{
    return part<QPushButton>(w, name);
}

QLineEdit* nameEdit(QWidget* w)
{
    return part<QLineEdit>(w, "edtName");
}

// Enabled state of the window's controls, in a fixed order, as letters: E enabled, - not.
QString enabling(TfmBasicInfo& w)
{
    QString s;
    for (const char* b : {"btnPrior", "btnNext", "btnInsert", "btnDelete", "btnEdit", "btnCancel",
                          "btnSave", "btnClose"})
        s += button(&w, b)->isEnabled() ? 'E' : '-';
    s += ' ';
    s += nameEdit(&w)->isEnabled() ? 'E' : '-';
    s += part<QCheckBox>(&w, "chkUse")->isEnabled() ? 'E' : '-';
    s += ' ';
    s += part<QTableView>(&w, "GridUnit")->isEnabled() ? 'E' : '-';
    s += part<QTableView>(&w, "GridMedicine")->isEnabled() ? 'E' : '-';
    s += part<QTabWidget>(&w, "cxPageControl1")->tabBar()->isEnabled() ? 'E' : '-';
    return s;
}

void toMedicines(TfmBasicInfo& w)
{
    part<QTabWidget>(&w, "cxPageControl1")->setCurrentIndex(1);
}

} // namespace

class TstBasicInfo : public QObject
{
    Q_OBJECT
private slots:
    void opensOnTheUnitsTab_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("texts"); // title, tabs, label, column, a button
        QTest::newRow("Chinese") << 1 << QStringList{"基础资料", "单位",     "处方药",
                                                     "药品单位", "药品单位", "插入"};
        QTest::newRow("English") << 2 << QStringList{"Dictionaries", "Unit", "Medicine",
                                                     "Unit",         "Unit", "New"};
    }
    void opensOnTheUnitsTab()
    {
        QFETCH(int, language);
        QFETCH(QStringList, texts);
        DictEnv env;
        env.setLanguage(language);
        TfmBasicInfo w;
        auto* tabs = part<QTabWidget>(&w, "cxPageControl1");
        auto* grid = part<QTableView>(&w, "GridUnit");
        QCOMPARE((QStringList{w.windowTitle(), tabs->tabText(0), tabs->tabText(1),
                              part<QLabel>(&w, "lblItem")->text(),
                              grid->model()->headerData(0, Qt::Horizontal).toString(),
                              button(&w, "btnInsert")->text()}),
                 texts);
        QCOMPARE(w.FInfoType, 4);
        QCOMPARE(w.FCurrentCDS, w.cdsUnit);
        QCOMPARE(w.FAction, QString());
        // Items of both states are listed.
        QCOMPARE(keysOf(w.cdsUnit), (QList<int>{20, 21}));
        QCOMPARE(keysOf(w.cdsMedicineList), (QList<int>{30, 31}));
        QCOMPARE(nameEdit(&w)->text(), QStringLiteral("片"));
        QVERIFY(part<QCheckBox>(&w, "chkUse")->isChecked());
        if (language == 2)
            QCOMPARE(chineseTexts(&w), QStringList());
        QVERIFY(env.presenter.shown.isEmpty());
    }

    void buttonsFollowTheState_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("enabled");
        // prior next insert delete edit cancel save close | name check | units medicines tabs
        QTest::newRow("browse") << ""
                                << "EEEEEE-E -- EEE";
        QTest::newRow("insert") << "btnInsert"
                                << "--E--EEE EE ---";
        QTest::newRow("edit") << "btnEdit"
                              << "----EEEE EE ---";
        QTest::newRow("undo") << "btnInsert btnCancel"
                              << "EEEEEE-E -- EEE";
        QTest::newRow("saved") << "btnEdit btnSave"
                               << "EEEEEE-E -- EEE";
    }
    void buttonsFollowTheState()
    {
        QFETCH(QString, steps);
        QFETCH(QString, enabled);
        DictEnv env;
        TfmBasicInfo w;
        for (const QString& b : steps.split(' ', Qt::SkipEmptyParts))
            button(&w, qPrintable(b))->click();
        QCOMPARE(enabling(w), enabled);
    }

    void insertStoresTheNextKeyOfAnyType_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("tab");
        QTest::addColumn<bool>("inUse");
        QTest::addColumn<int>("key");
        QTest::newRow("first item of an empty table")
            << "delete from t_subMessage" << 0 << true << 1;
        QTest::newRow("after the largest key") << "" << 0 << true << 32;
        QTest::newRow("largest key of another type")
            << "insert into t_subMessage (FInterID, FTypeID, FName) values (90, 2, 'Dr')" << 1
            << false << 91;
    }
    void insertStoresTheNextKeyOfAnyType()
    {
        QFETCH(QString, setup);
        QFETCH(int, tab);
        QFETCH(bool, inUse);
        QFETCH(int, key);
        DictEnv env;
        if (!setup.isEmpty())
            env.exec(setup);
        TfmBasicInfo w;
        part<QTabWidget>(&w, "cxPageControl1")->setCurrentIndex(tab);
        button(&w, "btnInsert")->click();
        QCOMPARE(w.FAction, QStringLiteral("insert"));
        QCOMPARE(nameEdit(&w)->text(), QString());
        QTest::keyClicks(nameEdit(&w), "ml");
        part<QCheckBox>(&w, "chkUse")->setChecked(inUse);
        button(&w, "btnSave")->click();
        QCOMPARE(env.presenter.texts(), QStringList());
        QCOMPARE(env.stored(key, "FName").toString(), QStringLiteral("ml"));
        QCOMPARE(env.stored(key, "FTypeID").toInt(), tab == 0 ? 4 : 5);
        QCOMPARE(env.stored(key, "FUse").toInt(), inUse ? 1 : 0);
        QCOMPARE(w.FCurrentCDS->changeCount(), 0);
        QCOMPARE(w.FCurrentCDS->value(QStringLiteral("FInterID")).toInt(), key);
    }

    void saveTwiceStoresOnce()
    {
        DictEnv env;
        TfmBasicInfo w;
        button(&w, "btnInsert")->click();
        nameEdit(&w)->setText(QStringLiteral("支"));
        button(&w, "btnSave")->click();
        button(&w, "btnSave")->click();
        QCOMPARE(env.count(QStringLiteral("select count(*) from t_subMessage where FName=?"),
                           {QStringLiteral("支")}),
                 1);
        QCOMPARE(w.FAction, QString());
    }

    void editStoresAndUndoRestores()
    {
        DictEnv env;
        TfmBasicInfo w;
        toMedicines(w);
        QVERIFY(w.cdsMedicineList->locate(QStringLiteral("FInterID"), 31));
        QCOMPARE(nameEdit(&w)->text(), QStringLiteral("维生素C"));
        button(&w, "btnEdit")->click();
        nameEdit(&w)->setText(QStringLiteral("维生素B"));
        button(&w, "btnCancel")->click();
        QCOMPARE(nameEdit(&w)->text(), QStringLiteral("维生素C"));
        QCOMPARE(env.stored(31, "FName").toString(), QStringLiteral("维生素C"));

        button(&w, "btnEdit")->click();
        nameEdit(&w)->setText(QStringLiteral("维生素B"));
        part<QCheckBox>(&w, "chkUse")->setChecked(false);
        button(&w, "btnSave")->click();
        QCOMPARE(env.stored(31, "FName").toString(), QStringLiteral("维生素B"));
        QCOMPARE(env.stored(31, "FUse").toInt(), 0);
        QCOMPARE(env.stored(31, "FTypeID").toInt(), 5);
        QCOMPARE(env.count(QStringLiteral("select count(*) from t_subMessage")), 11);
    }

    void referencedItemIsNotDeleted_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("message");
        const QString zh = QStringLiteral("该项目已经被引用，不能删除");
        const QString en =
            QStringLiteral("The Item selected is already referenced and can not be deleted!");
        QTest::newRow("unit, Chinese") << 1 << 0 << 20 << zh;
        QTest::newRow("unit, English") << 2 << 0 << 20 << en;
        QTest::newRow("medicine, Chinese") << 1 << 1 << 30 << zh;
        QTest::newRow("medicine, English") << 2 << 1 << 30 << en;
    }
    void referencedItemIsNotDeleted()
    {
        QFETCH(int, language);
        QFETCH(int, tab);
        QFETCH(int, key);
        QFETCH(QString, message);
        DictEnv env;
        env.setLanguage(language);
        TfmBasicInfo w;
        part<QTabWidget>(&w, "cxPageControl1")->setCurrentIndex(tab);
        QVERIFY(w.FCurrentCDS->locate(QStringLiteral("FInterID"), key));
        button(&w, "btnDelete")->click();
        QCOMPARE(env.presenter.texts(), QStringList{message});
        QCOMPARE(env.presenter.shown.first().kind, MessageRequest::Plain);
        QCOMPARE(
            env.count(QStringLiteral("select count(*) from t_subMessage where FInterID=?"), {key}),
            1);
        QVERIFY(w.FCurrentCDS->locate(QStringLiteral("FInterID"), key));
    }

    void unusedItemIsDeletedAtOnce_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("shownAfter");
        QTest::newRow("unit") << 0 << 21 << "片";
        QTest::newRow("medicine") << 1 << 31 << "阿莫西林";
    }
    void unusedItemIsDeletedAtOnce()
    {
        QFETCH(int, tab);
        QFETCH(int, key);
        QFETCH(QString, shownAfter);
        DictEnv env;
        TfmBasicInfo w;
        part<QTabWidget>(&w, "cxPageControl1")->setCurrentIndex(tab);
        QVERIFY(w.FCurrentCDS->locate(QStringLiteral("FInterID"), key));
        button(&w, "btnDelete")->click();
        QVERIFY(env.presenter.shown.isEmpty());
        QCOMPARE(
            env.count(QStringLiteral("select count(*) from t_subMessage where FInterID=?"), {key}),
            0);
        QCOMPARE(w.FCurrentCDS->recordCount(), 1);
        QCOMPARE(w.FCurrentCDS->changeCount(), 0);
        QCOMPARE(nameEdit(&w)->text(), shownAfter);
    }

    void priorAndNextShowTheRow()
    {
        DictEnv env;
        TfmBasicInfo w;
        auto* use = part<QCheckBox>(&w, "chkUse");
        button(&w, "btnNext")->click();
        QCOMPARE(nameEdit(&w)->text(), QStringLiteral("粒"));
        QVERIFY(!use->isChecked());
        button(&w, "btnPrior")->click();
        QCOMPARE(nameEdit(&w)->text(), QStringLiteral("片"));
        QVERIFY(use->isChecked());
        // Moving in the list by keyboard shows the row too.
        auto* grid = part<QTableView>(&w, "GridUnit");
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(w.cdsUnit->value(QStringLiteral("FInterID")).toInt(), 21);
        QCOMPARE(nameEdit(&w)->text(), QStringLiteral("粒"));
    }

    void tabChangeUndoesAndSwitchesList()
    {
        DictEnv env;
        env.setLanguage(2);
        TfmBasicInfo w;
        toMedicines(w);
        QCOMPARE(w.FInfoType, 5);
        QCOMPARE(w.FCurrentCDS, w.cdsMedicineList);
        QCOMPARE(part<QLabel>(&w, "lblItem")->text(), QStringLiteral("Medicine"));
        QCOMPARE(nameEdit(&w)->text(), QStringLiteral("阿莫西林"));
        QVERIFY(!nameEdit(&w)->isEnabled());
    }

    void nameLongerThanTheColumnIsRefused()
    {
        DictEnv env;
        TfmBasicInfo w;
        button(&w, "btnInsert")->click();
        auto* edit = nameEdit(&w);
        QCOMPARE(edit->maxLength(), 200);
        const QString longest = QString(199, QChar(0x6c34)) + QLatin1Char('x');
        edit->setText(longest);
        QTest::keyClicks(edit, "y"); // the 201st character is not taken
        QCOMPARE(edit->text(), longest);
        button(&w, "btnSave")->click();
        QCOMPARE(env.presenter.texts(), QStringList());
        QCOMPARE(env.stored(32, "FName").toString(), longest);
    }

    // A store the database refuses leaves nothing half-stored in the list, and the typed item
    // stays open for another try.
    void failedSaveLeavesNoHalfRow()
    {
        DictEnv env;
        env.exec(QStringLiteral(
            "alter table t_subMessage add constraint ck_no_bad check (FName <> 'bad')"));
        TfmBasicInfo w;
        button(&w, "btnInsert")->click();
        nameEdit(&w)->setText(QStringLiteral("bad"));
        button(&w, "btnSave")->click();
        QCOMPARE(env.presenter.shown.size(), 1);
        QCOMPARE(env.presenter.shown.first().kind, MessageRequest::Error);
        QCOMPARE(w.cdsUnit->changeCount(), 0);
        QCOMPARE(keysOf(w.cdsUnit), (QList<int>{20, 21}));
        QCOMPARE(w.FAction, QStringLiteral("insert"));
        QVERIFY(nameEdit(&w)->isEnabled());
        QCOMPARE(nameEdit(&w)->text(), QStringLiteral("bad"));

        nameEdit(&w)->setText(QStringLiteral("good"));
        button(&w, "btnSave")->click();
        QCOMPARE(env.presenter.shown.size(), 1);
        QCOMPARE(env.count(QStringLiteral("select count(*) from t_subMessage where FTypeID=4")), 3);
        QCOMPARE(env.stored(32, "FName").toString(), QStringLiteral("good"));
    }

    void languageNoticeRecaptions()
    {
        DictEnv env;
        env.setLanguage(1);
        TfmBasicInfo w;
        toMedicines(w);
        env.setLanguage(2);
        SendMessage(&w, WM_LANGUAGE_CHANGED);
        QCOMPARE(w.windowTitle(), QStringLiteral("Dictionaries"));
        QCOMPARE(part<QLabel>(&w, "lblItem")->text(), QStringLiteral("Medicine"));
        QCOMPARE(chineseTexts(&w), QStringList());
    }
};

QTEST_MAIN(TstBasicInfo)
#include "tst_basicinfo.moc"
