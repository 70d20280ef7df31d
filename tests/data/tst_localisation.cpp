#include "captionpanel.h"
#include "datagrid.h"
#include "dberror.h"
#include "dmdata.h"
#include "testutils.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <memory>

namespace {

// Object name to caption.
using Captions = QMap<QString, QString>;

const QString kCatalog = QStringLiteral("frmLogin");
const QString kBigKey = QStringLiteral("frmLogin");

const char* captionProperty(const QWidget* w)
{
    if (qobject_cast<const QGroupBox*>(w))
        return "title";
    if (qobject_cast<const CaptionPanel*>(w))
        return "caption";
    return "text";
}

QString captionOf(const QWidget* w)
{
    return w->property(captionProperty(w)).toString();
}

// A login window: one direct child of each kind, a group box with children of its own and
// an unnamed label. Every named widget starts with its own name as caption.
struct LoginForm
{
    QWidget window;
    QGroupBox* group = nullptr;
    QLabel* unnamed = nullptr;

    LoginForm()
    {
        window.setObjectName(QStringLiteral("frmLogin"));
        window.setWindowTitle(QStringLiteral("Login"));
        add<QLabel>(&window, "lblUser");
        add<QPushButton>(&window, "btnLogin");
        add<QCheckBox>(&window, "chkRemember");
        add<QRadioButton>(&window, "rbAdmin");
        add<CaptionPanel>(&window, "pnlTitle");
        add<QToolButton>(&window, "tbHelp");
        add<QLineEdit>(&window, "edtUser");
        group = add<QGroupBox>(&window, "grpOptions");
        add<QLabel>(group, "lblNested");
        add<QCheckBox>(group, "chkNested");
        unnamed = new QLabel(QStringLiteral("unnamed"), &window);
    }

    template <class W> W* add(QWidget* parent, const char* name)
    {
        auto* w = new W(parent);
        w->setObjectName(QString::fromLatin1(name));
        w->setProperty(captionProperty(w), w->objectName());
        return w;
    }

    // Every named widget has its own name as caption except those in changed.
    void check(const Captions& changed) const
    {
        for (const QWidget* w : window.findChildren<QWidget*>()) {
            if (w->objectName().isEmpty())
                continue;
            const QString name = w->objectName();
            QCOMPARE(name + '=' + captionOf(w), name + '=' + changed.value(name, name));
        }
        QCOMPARE(unnamed->text(), QStringLiteral("unnamed"));
        QCOMPARE(window.windowTitle(), QStringLiteral("Login"));
    }
};

// A grid with two columns of one component name (differing in case).
struct PatientGrid
{
    DataGrid grid;
    PatientGrid()
    {
        grid.addColumn(QStringLiteral("colName"), QStringLiteral("FName"), QStringLiteral("Name"));
        grid.addColumn(QStringLiteral("colAge"), QStringLiteral("FAge"), QStringLiteral("Age"));
        grid.addColumn(QStringLiteral("COLNAME"), QStringLiteral("FName"),
                       QStringLiteral("Name 2"));
        grid.addColumn(QStringLiteral("colFee"), QStringLiteral("FFee"), QStringLiteral("Fee"));
    }
    static QStringList initial() { return {"Name", "Age", "Name 2", "Fee"}; }
    QStringList captions() const
    {
        QStringList out;
        for (int i = 0; i < grid.columnCount(); ++i)
            out << grid.column(i).caption;
        return out;
    }
};

} // namespace

class TestLocalisation : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<AnsweringPresenter> m_boxes;
    std::unique_ptr<TdmData> m_dm;

    TdmData& dm() { return *m_dm; }

    void addCaption(const QString& catalog, const QString& bigKey, const QVariant& key,
                    const QString& chinese, const QString& english = {})
    {
        QVERIFY(dm().ExcSQL("insert into t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, "
                            "FEnglish) values (?, ?, ?, ?, ?)",
                            {catalog, bigKey, key, chinese, english}));
    }

    void setLanguageRow(const QString& value)
    {
        QVERIFY(dm().ExcSQL("update t_sys set FValue=? where FCatalog=? and FKey=?",
                            {value, "common", "language"}));
    }

    void deleteLanguageRow()
    {
        QVERIFY(
            dm().ExcSQL("delete from t_sys where FCatalog=? and FKey=?", {"common", "language"}));
    }

    // A new module on the same file, which then has no language row.
    void reopenWithoutLanguage()
    {
        deleteLanguageRow();
        const QString path = dm().databasePath();
        m_dm.reset();
        m_dm = std::make_unique<TdmData>(path);
        QVERIFY(dm().isConnected());
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_boxes = std::make_unique<AnsweringPresenter>();
        m_dm = std::make_unique<TdmData>(freshDatabase(*m_dir));
        QVERIFY(dm().isConnected());
    }

    void cleanup()
    {
        m_dm.reset();
        const qsizetype boxes = m_boxes->shown.size();
        const QString first = boxes ? m_boxes->shown.first().text : QString();
        m_boxes.reset();
        m_dir.reset();
        QVERIFY2(boxes == 0, qPrintable("unexpected message box: " + first));
    }

    void freshDatabaseIsChinese()
    {
        QCOMPARE(dm().FLanguageIndex, 1);
        QCOMPARE(dm().FLanguage, QStringLiteral("FChinese"));
    }

    // The language row's values in turn, then the module's state and the caption applied.
    void languageRow_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("caption");

        QTest::newRow("1") << QStringList{"1"} << 1 << "FChinese"
                           << "登录";
        QTest::newRow("2") << QStringList{"2"} << 2 << "FEnglish"
                           << "Log in";
        QTest::newRow("2 then 1") << QStringList{"2", "1"} << 1 << "FChinese"
                                  << "登录";
        // An unknown index keeps the previous column.
        QTest::newRow("2 then 3") << QStringList{"2", "3"} << 3 << "FEnglish"
                                  << "Log in";
        QTest::newRow("1 then 3") << QStringList{"1", "3"} << 3 << "FChinese"
                                  << "登录";
    }

    void languageRow()
    {
        QFETCH(QStringList, values);
        QFETCH(int, index);
        QFETCH(QString, language);
        QFETCH(QString, caption);

        for (const QString& value : values) {
            setLanguageRow(value);
            dm().GetLanguage();
        }
        QCOMPARE(dm().FLanguageIndex, index);
        QCOMPARE(dm().FLanguage, language);

        addCaption(kCatalog, kBigKey, "btnLogin", "登录", "Log in");
        LoginForm form;
        dm().ChangeLanguage(&form.window, kCatalog, kBigKey);
        form.check({{"btnLogin", caption}});
    }

    void missingLanguageRowChangesNothing()
    {
        setLanguageRow("2");
        dm().GetLanguage();
        deleteLanguageRow();
        dm().GetLanguage();
        QCOMPARE(dm().FLanguageIndex, 2);
        QCOMPARE(dm().FLanguage, QStringLiteral("FEnglish"));

        const QString path = dm().databasePath();
        m_dm.reset();
        m_dm = std::make_unique<TdmData>(path);
        QVERIFY(dm().isConnected());
        QCOMPARE(dm().FLanguageIndex, 0);
        QCOMPARE(dm().FLanguage, QString());
        dm().GetLanguage();
        QCOMPARE(dm().FLanguageIndex, 0);
        QCOMPARE(dm().FLanguage, QString());
    }

    void boxesFollowModuleLanguage()
    {
        QCOMPARE(messageLanguageIndex(), 1);
        setLanguageRow("2");
        dm().GetLanguage();
        QCOMPARE(messageLanguageIndex(), 2);
        ShowInfo("saved");
        QCOMPARE(m_boxes->shown.size(), 1);
        QCOMPARE(m_boxes->shown.first().caption, QStringLiteral("Information"));
        m_boxes->shown.clear();
        m_dm.reset();
        QCOMPARE(messageLanguageIndex(), 0);
    }

    void captionedKinds_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("captioned");

        QTest::newRow("QLabel") << "lblUser" << true;
        QTest::newRow("QPushButton") << "btnLogin" << true;
        QTest::newRow("QCheckBox") << "chkRemember" << true;
        QTest::newRow("QRadioButton") << "rbAdmin" << true;
        QTest::newRow("CaptionPanel") << "pnlTitle" << true;
        QTest::newRow("QToolButton") << "tbHelp" << true;
        QTest::newRow("QLineEdit") << "edtUser" << false;
        QTest::newRow("QGroupBox") << "grpOptions" << false;
    }

    void captionedKinds()
    {
        QFETCH(QString, name);
        QFETCH(bool, captioned);

        addCaption(kCatalog, kBigKey, name, "新标题", "New caption");
        LoginForm form;
        dm().ChangeLanguage(&form.window, kCatalog, kBigKey);
        form.check(captioned ? Captions{{name, "新标题"}} : Captions{});
    }

    // Caption rows {catalog, big key, key, Chinese} and the captions they change on the window.
    void matching_data()
    {
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::addColumn<Captions>("changed");

        const auto row = [](const QString& key, const QString& text) {
            return QStringList{kCatalog, kBigKey, key, text};
        };
        QTest::newRow("key in capitals")
            << QList<QStringList>{row("BTNLOGIN", "登录")} << Captions{{"btnLogin", "登录"}};
        QTest::newRow("key in lower case")
            << QList<QStringList>{row("lbluser", "用户")} << Captions{{"lblUser", "用户"}};
        QTest::newRow("several rows")
            << QList<QStringList>{row("lblUser", "用户"), row("chkRemember", "记住我"),
                                  row("pnlTitle", "欢迎")}
            << Captions{{"lblUser", "用户"}, {"chkRemember", "记住我"}, {"pnlTitle", "欢迎"}};
        QTest::newRow("last of two rows wins")
            << QList<QStringList>{row("btnLogin", "第一"), row("BTNLOGIN", "第二")}
            << Captions{{"btnLogin", "第二"}};
        QTest::newRow("row naming no child")
            << QList<QStringList>{row("btnMissing", "无")} << Captions{};
        QTest::newRow("nested widget not reached")
            << QList<QStringList>{row("lblNested", "嵌套"), row("chkNested", "嵌套")} << Captions{};
        QTest::newRow("rows of other catalogs and big keys")
            << QList<QStringList>{{"frmOther", kBigKey, "btnLogin", "别的"},
                                  {kCatalog, "Group1", "btnLogin", "别的"}}
            << Captions{};
    }

    void matching()
    {
        QFETCH(QList<QStringList>, rows);
        QFETCH(Captions, changed);

        for (const QStringList& r : rows)
            addCaption(r[0], r[1], r[2], r[3]);
        LoginForm form;
        dm().ChangeLanguage(&form.window, kCatalog, kBigKey);
        form.check(changed);
    }

    // A row without a key names no child, not even an unnamed one.
    void rowWithoutKey_data()
    {
        QTest::addColumn<QVariant>("key");
        QTest::newRow("empty") << QVariant(QString(""));
        QTest::newRow("null") << QVariant();
    }

    void rowWithoutKey()
    {
        QFETCH(QVariant, key);
        addCaption(kCatalog, kBigKey, key, "无名");
        LoginForm form;
        dm().ChangeLanguage(&form.window, kCatalog, kBigKey);
        form.check({});
    }

    void groupBoxChildrenUseOwnBigKey()
    {
        addCaption(kCatalog, kBigKey, "grpOptions", "选项");
        addCaption(kCatalog, kBigKey, "lblUser", "用户");
        addCaption(kCatalog, "Group1", "lblNested", "嵌套标签");
        addCaption(kCatalog, "Group1", "chkNested", "嵌套选项");
        // The group's key reaches only the group's own children.
        addCaption(kCatalog, "Group1", "btnLogin", "不该");

        LoginForm form;
        dm().ChangeLanguage(&form.window, kCatalog, kBigKey);
        dm().ChangeLanguage(form.group, kCatalog, "Group1");
        form.check({{"lblUser", "用户"}, {"lblNested", "嵌套标签"}, {"chkNested", "嵌套选项"}});
    }

    void english()
    {
        setLanguageRow("2");
        dm().GetLanguage();
        addCaption(kCatalog, kBigKey, "btnLogin", "登录", "Log in");
        addCaption(kCatalog, kBigKey, "pnlTitle", "欢迎", "Welcome");
        addCaption(kCatalog, "Group1", "chkNested", "嵌套选项", "Nested option");
        addCaption(kCatalog, "FormName", "frmLogin", "登录窗口", "Login window");

        LoginForm form;
        dm().ChangeLanguage(&form.window, kCatalog, kBigKey);
        dm().ChangeLanguage(form.group, kCatalog, "Group1");
        QCOMPARE(captionOf(form.window.findChild<QWidget*>("btnLogin")), QStringLiteral("Log in"));
        QCOMPARE(captionOf(form.window.findChild<QWidget*>("pnlTitle")), QStringLiteral("Welcome"));
        QCOMPARE(captionOf(form.window.findChild<QWidget*>("chkNested")),
                 QStringLiteral("Nested option"));
        dm().SetFormName(&form.window, kCatalog);
        QCOMPARE(form.window.windowTitle(), QStringLiteral("Login window"));
    }

    void noLanguageThrows_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::newRow("window") << "window";
        QTest::newRow("form name") << "form name";
        QTest::newRow("grid") << "grid";
    }

    void noLanguageThrows()
    {
        QFETCH(QString, operation);
        reopenWithoutLanguage();
        QCOMPARE(dm().FLanguage, QString());
        addCaption(kCatalog, kBigKey, "btnLogin", "登录", "Log in");
        addCaption(kCatalog, kBigKey, "colAge", "年龄", "Years");
        addCaption(kCatalog, "FormName", "frmLogin", "登录窗口", "Login window");

        LoginForm form;
        PatientGrid grid;
        if (operation == "window")
            QVERIFY_THROWS_EXCEPTION(DbError, dm().ChangeLanguage(&form.window, kCatalog, kBigKey));
        else if (operation == "form name")
            QVERIFY_THROWS_EXCEPTION(DbError, dm().SetFormName(&form.window, kCatalog));
        else
            QVERIFY_THROWS_EXCEPTION(DbError, dm().ChangeLanguage(&grid.grid, kCatalog, kBigKey));
        form.check({});
        QCOMPARE(grid.captions(), PatientGrid::initial());
    }

    void setFormName_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("row"); // catalog, big key; empty: no row
        QTest::addColumn<QString>("title");

        QTest::newRow("Chinese") << "1" << QStringList{kCatalog, "FormName"} << "登录窗口";
        QTest::newRow("English") << "2" << QStringList{kCatalog, "FormName"} << "Login window";
        QTest::newRow("no row") << "1" << QStringList{} << "Login";
        QTest::newRow("row of another catalog")
            << "1" << QStringList{"frmOther", "FormName"} << "Login";
        QTest::newRow("row of another big key") << "1" << QStringList{kCatalog, kBigKey} << "Login";
    }

    void setFormName()
    {
        QFETCH(QString, language);
        QFETCH(QStringList, row);
        QFETCH(QString, title);

        setLanguageRow(language);
        dm().GetLanguage();
        if (!row.isEmpty())
            addCaption(row[0], row[1], "frmLogin", "登录窗口", "Login window");
        LoginForm form;
        dm().SetFormName(&form.window, kCatalog);
        QCOMPARE(form.window.windowTitle(), title);
    }

    // Caption rows {key, Chinese, English} under the grid's big key.
    void gridCaptions_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::addColumn<QStringList>("captions");

        QTest::newRow("one column") << "1" << QList<QStringList>{{"colAge", "年龄", "Years"}}
                                    << QStringList{"Name", "年龄", "Name 2", "Fee"};
        QTest::newRow("every column of the name, ignoring case")
            << "1" << QList<QStringList>{{"colname", "姓名", "Full name"}}
            << QStringList{"姓名", "Age", "姓名", "Fee"};
        QTest::newRow("English") << "2"
                                 << QList<QStringList>{{"COLAGE", "年龄", "Years"},
                                                       {"colFee", "费用", "Charge"}}
                                 << QStringList{"Name", "Years", "Name 2", "Charge"};
        QTest::newRow("last of two rows wins")
            << "1" << QList<QStringList>{{"colFee", "第一", ""}, {"colFee", "第二", ""}}
            << QStringList{"Name", "Age", "Name 2", "第二"};
        QTest::newRow("row naming no column")
            << "1" << QList<QStringList>{{"colMissing", "无", "None"}} << PatientGrid::initial();
    }

    void gridCaptions()
    {
        QFETCH(QString, language);
        QFETCH(QList<QStringList>, rows);
        QFETCH(QStringList, captions);

        setLanguageRow(language);
        dm().GetLanguage();
        for (const QStringList& r : rows)
            addCaption(kCatalog, "grdPatients", r[0], r[1], r[2]);
        addCaption(kCatalog, "grdOther", "colAge", "别的", "Other");
        PatientGrid grid;
        dm().ChangeLanguage(&grid.grid, kCatalog, "grdPatients");
        QCOMPARE(grid.captions(), captions);
    }

    void setColumnCaptionByName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("captions");

        QTest::newRow("exact") << "colAge" << QStringList{"Name", "Patient", "Name 2", "Fee"};
        QTest::newRow("every column of the name, ignoring case")
            << "colName" << QStringList{"Patient", "Age", "Patient", "Fee"};
        QTest::newRow("no such column") << "colMissing" << PatientGrid::initial();
    }

    void setColumnCaptionByName()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, captions);

        PatientGrid grid;
        dm().SetColumnCaptionByName(&grid.grid, name, "Patient");
        QCOMPARE(grid.captions(), captions);
    }

    // Catalog and big key are bound, so quotes neither break the statement nor widen it.
    void quotedKeys_data()
    {
        QTest::addColumn<QString>("catalog");
        QTest::addColumn<QString>("bigKey");
        QTest::addColumn<bool>("hasRow");

        QTest::newRow("quote in catalog, no row") << "O'Brien" << kBigKey << false;
        QTest::newRow("quote in catalog, row") << "O'Brien" << kBigKey << true;
        QTest::newRow("quote in big key, row") << kCatalog << "Group'1" << true;
        QTest::newRow("condition in catalog") << "x' or '1'='1" << kBigKey << false;
    }

    void quotedKeys()
    {
        QFETCH(QString, catalog);
        QFETCH(QString, bigKey);
        QFETCH(bool, hasRow);

        // Reached only if the odd text were pasted into the statement.
        addCaption(kCatalog, kBigKey, "lblUser", "不该");
        if (hasRow)
            addCaption(catalog, bigKey, "btnLogin", "登录");

        LoginForm form;
        PatientGrid grid;
        try {
            dm().ChangeLanguage(&form.window, catalog, bigKey);
            dm().ChangeLanguage(&grid.grid, catalog, bigKey);
            dm().SetFormName(&form.window, catalog);
        } catch (const DbError& e) {
            QFAIL(qPrintable(e.message()));
        }
        form.check(hasRow ? Captions{{"btnLogin", "登录"}} : Captions{});
        QCOMPARE(grid.captions(), PatientGrid::initial());
    }
};

QTEST_MAIN(TestLocalisation)
#include "tst_localisation.moc"
