#include "findbook.h"
#include "recordsfixture.h"

#include <QPushButton>
#include <QRadioButton>

namespace {

// Patients of every test; keys 0 and below must never be listed.
struct FindEnv : RecordsEnv
{
    FindEnv()
    {
        const QString insert = QStringLiteral(
            "insert into t_patient (FInterID, FName, FSexID, FMobile, FHome_Tel, FCard, FAge) "
            "values (?, ?, ?, ?, ?, ?, ?)");
        const QVariant none;
        exec(insert, {1, QStringLiteral("张三"), 1, QStringLiteral("13800001111"),
                      QStringLiteral("0571-88881234"), QStringLiteral("C001"), 30});
        exec(insert, {2, QStringLiteral("张三丰"), 2, QStringLiteral("13900002222"), none,
                      QStringLiteral("C002"), 41});
        exec(insert, {3, QStringLiteral("O'Brien"), none, none, QStringLiteral("13800009999"),
                      QStringLiteral("C003"), none});
        exec(insert,
             {4, QStringLiteral("100% Li"), none, none, none, QStringLiteral("C_04"), none});
        exec(insert, {5, QStringLiteral("Li 5X"), none, none, none, QStringLiteral("C004"), none});
        exec(insert, {0, QStringLiteral("张三 observation"), none, QStringLiteral("13800000000"),
                      none, QStringLiteral("C000"), none});
        exec(insert, {-10, QStringLiteral("张三 new"), none, none, QStringLiteral("13800005555"),
                      QStringLiteral("C_05"), none});
    }
};

ClientDataSet* listOf(TfrmFindBook& w)
{
    return part<ClientDataSet>(&w, "cdsFindData");
}

} // namespace

class TstFindBook : public QObject
{
    Q_OBJECT
private slots:
    void opensWithEveryPatientAboveZero()
    {
        FindEnv env;
        TfrmFindBook w;
        QCOMPARE(w.FindPatientID, -1);
        QCOMPARE(keysOf(listOf(w)), (QList<int>{1, 2, 3, 4, 5}));
        QVERIFY(part<QCheckBox>(&w, "chkFuzzy")->isChecked());
        QVERIFY(part<QRadioButton>(&w, "rbName")->isChecked());
        QVERIFY(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(env.presenter.shown.isEmpty());
    }

    void searchNarrowsTheList_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("fuzzy");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("keys");
        using L = QList<int>;
        QTest::newRow("one character of a name") << "rbName" << true << "张" << L{1, 2};
        QTest::newRow("exact name") << "rbName" << false << "张三" << L{1};
        QTest::newRow("exact name, blanks around") << "rbName" << false << "  张三 " << L{1};
        QTest::newRow("exact name is not a part") << "rbName" << false << "张" << L{};
        QTest::newRow("other searches names") << "rbOther" << true << "三丰" << L{2};
        QTest::newRow("apostrophe, exact") << "rbName" << false << "O'Brien" << L{3};
        QTest::newRow("apostrophe, fuzzy") << "rbName" << true << "'" << L{3};
        QTest::newRow("percent is a percent") << "rbName" << true << "%" << L{4};
        QTest::newRow("percent, exact") << "rbName" << false << "%" << L{};
        QTest::newRow("underscore is an underscore") << "rbCard" << true << "C_0" << L{4};
        QTest::newRow("backslash is a backslash") << "rbName" << true << "\\" << L{};
        QTest::newRow("phone fragment: mobile or home")
            << "rbPhone" << true << "1380000" << L{1, 3};
        QTest::newRow("phone fragment of a home number") << "rbPhone" << true << "8888" << L{1};
        QTest::newRow("exact mobile") << "rbPhone" << false << "13900002222" << L{2};
        QTest::newRow("exact home number") << "rbPhone" << false << "13800009999" << L{3};
        QTest::newRow("card fragment") << "rbCard" << true << "C00" << L{1, 2, 3, 5};
        QTest::newRow("exact card") << "rbCard" << false << "C002" << L{2};
        QTest::newRow("nothing matches") << "rbName" << true << "zzz" << L{};
        QTest::newRow("longest text") << "rbName" << true << QString(200, '%') << L{};
    }
    void searchNarrowsTheList()
    {
        QFETCH(QString, field);
        QFETCH(bool, fuzzy);
        QFETCH(QString, text);
        QFETCH(QList<int>, keys);
        FindEnv env;
        TfrmFindBook w;
        part<QRadioButton>(&w, qPrintable(field))->setChecked(true);
        part<QCheckBox>(&w, "chkFuzzy")->setChecked(fuzzy);
        part<QLineEdit>(&w, "edtFind")->setText(text);
        QCOMPARE(keysOf(listOf(w)), keys);
        // The button runs the same search.
        part<QPushButton>(&w, "btnFind")->click();
        QCOMPARE(keysOf(listOf(w)), keys);
        QCOMPARE(env.presenter.texts(), QStringList());
    }

    void typingSearchesAsYouType()
    {
        FindEnv env;
        TfrmFindBook w;
        auto* edit = part<QLineEdit>(&w, "edtFind");
        QTest::keyClicks(edit, "Li");
        QCOMPARE(keysOf(listOf(w)), (QList<int>{4, 5}));
        QTest::keyClick(edit, Qt::Key_Space);
        QTest::keyClick(edit, Qt::Key_5);
        QCOMPARE(keysOf(listOf(w)), (QList<int>{5}));
    }

    void clearingTheTextListsAll_data()
    {
        QTest::addColumn<bool>("showAllButton");
        QTest::newRow("edit cleared") << false;
        QTest::newRow("show all") << true;
    }
    void clearingTheTextListsAll()
    {
        QFETCH(bool, showAllButton);
        FindEnv env;
        TfrmFindBook w;
        auto* edit = part<QLineEdit>(&w, "edtFind");
        edit->setText(QStringLiteral("张三丰"));
        QCOMPARE(keysOf(listOf(w)), (QList<int>{2}));
        if (showAllButton)
            part<QPushButton>(&w, "btnShowAll")->click();
        else
            edit->clear();
        QCOMPARE(edit->text(), QString());
        QCOMPARE(keysOf(listOf(w)), (QList<int>{1, 2, 3, 4, 5}));
    }

    void longerTextThanAnyFieldIsRefused()
    {
        FindEnv env;
        TfrmFindBook w;
        auto* edit = part<QLineEdit>(&w, "edtFind");
        edit->setText(QString(201, 'x'));
        QCOMPARE(edit->text().size(), 200);
        QCOMPARE(env.presenter.texts(), QStringList());
    }

    void doubleClickReturnsTheRowAndCloses()
    {
        FindEnv env;
        whenModal([](QWidget* w) {
            auto* grid = part<QTableView>(w, "cxGrid1DBTableView1");
            auto* ds = part<ClientDataSet>(w, "cdsFindData");
            QVERIFY(ds->locate(QStringLiteral("FInterID"), 3));
            doubleClickRow(grid, ds->recNo());
        });
        QCOMPARE(TfrmFindBook::run(), 3);
    }

    void closingReturnsMinusOne_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("close button") << "btnClose";
        QTest::newRow("close box") << "close";
        QTest::newRow("double click on an empty list") << "empty";
    }
    void closingReturnsMinusOne()
    {
        QFETCH(QString, how);
        FindEnv env;
        whenModal([how](QWidget* w) {
            if (how == QLatin1String("btnClose")) {
                part<QPushButton>(w, "btnClose")->click();
            } else if (how == QLatin1String("close")) {
                w->close();
            } else {
                part<QLineEdit>(w, "edtFind")->setText(QStringLiteral("nobody"));
                QVERIFY(part<ClientDataSet>(w, "cdsFindData")->isEmpty());
                doubleClickRow(part<QTableView>(w, "cxGrid1DBTableView1"), -1);
            }
        });
        TfrmFindBook w;
        w.exec();
        QCOMPARE(w.FindPatientID, -1);
        QVERIFY(!w.isVisible());
    }

    void gridShowsTheDesignedColumns_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<QString>("sex");
        QTest::newRow("Chinese") << 1 << QStringList{"姓名",   "手机",   "家庭电话", "诊疗卡",
                                                     "身份证", "病历号", "性别",     "年龄"}
                                 << "男";
        QTest::newRow("English") << 2 << QStringList{"Name",         "Mobile",  "Home phone",
                                                     "Patient card", "ID card", "Record No.",
                                                     "Sex",          "Age"}
                                 << "Male";
    }
    void gridShowsTheDesignedColumns()
    {
        QFETCH(int, language);
        QFETCH(QStringList, headers);
        QFETCH(QString, sex);
        FindEnv env;
        env.setLanguage(language);
        TfrmFindBook w;
        auto* grid = part<QTableView>(&w, "cxGrid1DBTableView1");
        QStringList shown;
        for (int i = 0; i < grid->model()->columnCount(); ++i)
            shown << grid->model()->headerData(i, Qt::Horizontal).toString();
        QCOMPARE(shown, headers);
        QVERIFY(!grid->horizontalHeader()->sectionsMovable());
        QCOMPARE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
        auto* ds = listOf(w);
        QVERIFY(ds->locate(QStringLiteral("FInterID"), 1));
        QCOMPARE(grid->model()->index(ds->recNo(), 6).data().toString(), sex);
        QCOMPARE(grid->model()->index(ds->recNo(), 7).data().toString(), QStringLiteral("30"));
        // No sex set: an empty cell.
        QVERIFY(ds->locate(QStringLiteral("FInterID"), 3));
        QCOMPARE(grid->model()->index(ds->recNo(), 6).data().toString(), QString());
    }

    void englishShowsNoChinese()
    {
        FindEnv env;
        env.setLanguage(2);
        TfrmFindBook w;
        QCOMPARE(w.windowTitle(), QStringLiteral("Find Patient"));
        QCOMPARE(part<QPushButton>(&w, "btnClose")->text(), QStringLiteral("Close"));
        QCOMPARE(chineseTexts(&w), QStringList());
    }
};

QTEST_MAIN(TstFindBook)
#include "tst_findbook.moc"
