#include "recordsfixture.h"
#include "selectitem.h"

#include <QPushButton>

namespace {

// Units and medicines, in use and not; the database's own rows hold keys 1 to 7.
struct PickerEnv : RecordsEnv
{
    PickerEnv()
    {
        const QString insert = QStringLiteral(
            "insert into t_subMessage (FInterID, FTypeID, FName, FUse) values (?, ?, ?, ?)");
        exec(insert, {20, 4, QStringLiteral("片"), 1});
        exec(insert, {21, 4, QStringLiteral("粒"), 1});
        exec(insert, {22, 4, QStringLiteral("片剂(停用)"), 0});
        exec(insert, {23, 4, QStringLiteral("10%溶液"), 1});
        exec(insert, {24, 4, QStringLiteral("1_0 ml"), 1});
        exec(insert, {30, 5, QStringLiteral("阿莫西林"), 1});
        exec(insert, {31, 5, QStringLiteral("O'Neil's drops"), 1});
        exec(insert, {32, 5, QStringLiteral("阿司匹林"), 0});
    }
};

} // namespace

class TstSelectItem : public QObject
{
    Q_OBJECT
private slots:
    void filterNarrowsToInUseItems_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QList<int>>("keys");
        using L = QList<int>;
        QTest::newRow("units, no filter") << 4 << "" << L{20, 21, 23, 24};
        QTest::newRow("medicines, no filter") << 5 << "" << L{30, 31};
        QTest::newRow("blanks only") << 4 << "   " << L{20, 21, 23, 24};
        QTest::newRow("part of a name") << 4 << "片" << L{20};
        QTest::newRow("blanks around") << 5 << " 阿 " << L{30};
        QTest::newRow("quote") << 5 << "'s" << L{31};
        QTest::newRow("percent is a percent") << 4 << "%" << L{23};
        QTest::newRow("underscore is an underscore") << 4 << "1_0" << L{24};
        QTest::newRow("other type's item") << 4 << "阿莫" << L{};
        QTest::newRow("longest filter") << 4 << QString(200, '_') << L{};
    }
    void filterNarrowsToInUseItems()
    {
        QFETCH(int, type);
        QFETCH(QString, filter);
        QFETCH(QList<int>, keys);
        PickerEnv env;
        TfrmSelectItem w(type);
        QCOMPARE(w.FInfoType, type);
        QCOMPARE(w.FSelectedInterID, 0);
        part<QLineEdit>(&w, "edtFilter")->setText(filter);
        QCOMPARE(keysOf(part<ClientDataSet>(&w, "cdsItem")), keys);
        // Clearing it shows every item in use again.
        part<QLineEdit>(&w, "edtFilter")->clear();
        QCOMPARE(keysOf(part<ClientDataSet>(&w, "cdsItem")),
                 type == 4 ? (QList<int>{20, 21, 23, 24}) : (QList<int>{30, 31}));
        QCOMPARE(env.presenter.texts(), QStringList());
    }

    void captionsFollowTheLanguage_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("type");
        QTest::addColumn<QStringList>("texts"); // title, column, select, close, find
        const QStringList zh{"选择项目", "", "选择", "关闭", "查找："};
        const QStringList en{"Select Item", "", "Select", "Close", "Find:"};
        auto with = [](QStringList t, const char* column) {
            t[1] = QString::fromUtf8(column);
            return t;
        };
        QTest::newRow("units, Chinese") << 1 << 4 << with(zh, "药品单位");
        QTest::newRow("medicines, Chinese") << 1 << 5 << with(zh, "处方药");
        QTest::newRow("units, English") << 2 << 4 << with(en, "Unit");
        QTest::newRow("medicines, English") << 2 << 5 << with(en, "Medicine");
        QTest::newRow("other index: Chinese") << 3 << 5 << with(zh, "处方药");
    }
    void captionsFollowTheLanguage()
    {
        QFETCH(int, language);
        QFETCH(int, type);
        QFETCH(QStringList, texts);
        PickerEnv env;
        env.setLanguage(language);
        TfrmSelectItem w(type);
        auto* grid = part<QTableView>(&w, "cxGrid1DBTableView1");
        QCOMPARE(grid->model()->columnCount(), 1);
        const QStringList shown{
            w.windowTitle(), grid->model()->headerData(0, Qt::Horizontal).toString(),
            part<QPushButton>(&w, "btnSelect")->text(), part<QPushButton>(&w, "btnClose")->text(),
            part<QLabel>(&w, "lblFind")->text()};
        QCOMPARE(shown, texts);
    }

    void choosingReturnsTheKey_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("key");
        QTest::newRow("select button") << "btnSelect" << 21;
        QTest::newRow("double click") << "double" << 23;
        QTest::newRow("close button") << "btnClose" << 0;
        QTest::newRow("close box") << "close" << 0;
    }
    void choosingReturnsTheKey()
    {
        QFETCH(QString, how);
        QFETCH(int, key);
        PickerEnv env;
        whenModal([how, key](QWidget* w) {
            auto* ds = part<ClientDataSet>(w, "cdsItem");
            // Choose a row other than the first, so that the cursor is what counts.
            QVERIFY(ds->locate(QStringLiteral("FInterID"), key == 0 ? 21 : key));
            if (how == QLatin1String("double"))
                doubleClickRow(part<QTableView>(w, "cxGrid1DBTableView1"), ds->recNo());
            else if (how == QLatin1String("close"))
                w->close();
            else
                part<QPushButton>(w, qPrintable(how))->click();
        });
        QCOMPARE(TfrmSelectItem::pick(4), key);
    }

    void selectOnAnEmptyListDoesNothing()
    {
        PickerEnv env;
        TfrmSelectItem w(4);
        w.show();
        part<QLineEdit>(&w, "edtFilter")->setText(QStringLiteral("nothing like it"));
        QVERIFY(part<ClientDataSet>(&w, "cdsItem")->isEmpty());
        part<QPushButton>(&w, "btnSelect")->click();
        QVERIFY(w.isVisible());
        QCOMPARE(w.FSelectedInterID, 0);
        QCOMPARE(w.result(), 0);
    }
};

QTEST_MAIN(TstSelectItem)
#include "tst_selectitem.moc"
