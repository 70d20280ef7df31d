#include "captionpanel.h"
#include "clientdataset.h"
#include "dmdata.h"
#include "modifypassword.h"
#include "splash.h"
#include "testutils.h"
#include "windowmessages.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

const QString kChooseUser = QStringLiteral("请选择用户 ！");
const QString kLoginRefused = QStringLiteral("帐号、户名或者密码不正确，无法登录！");
const QString kMismatch = QStringLiteral("密码与密码校验不一致，请重新输入");
const QString kBlank = QStringLiteral("密码不能为空，请重新输入");
const QString kOldWrong = QStringLiteral("帐号、户名或者密码不正确！");
const QString kChanged = QStringLiteral("密码已经修改成功 ！");

QString info(const QString& text)
{
    return QStringLiteral("Info: ") + text;
}
QString error(const QString& text)
{
    return QStringLiteral("Error: ") + text;
}

// The boxes shown so far, as "Kind: text"; an engine error's text is left out.
QStringList boxes(const AnsweringPresenter& presenter)
{
    QStringList out;
    for (const MessageRequest& r : presenter.shown) {
        switch (r.kind) {
        case MessageRequest::Info:
            out << info(r.text);
            break;
        case MessageRequest::Error:
            out << error(r.text);
            break;
        default:
            out << QStringLiteral("Other: ") + r.text;
        }
    }
    return out;
}

// A fresh database with, besides the delivered account 1 (Administrator, "admin"):
// 2 a password with a quote, 3 inactive, 4 empty-text password, 5 NULL password.
// They are inserted out of key order.
struct Env
{
    QTemporaryDir dir;
    TdmData dm{freshDatabase(dir)};
    AnsweringPresenter presenter;

    explicit Env(int language = 1)
    {
        const QString insert =
            QStringLiteral("insert into t_user (FInterID, FAccount, FName, FPsw, FIsAdmin, FUse) "
                           "values (?, ?, ?, ?, 0, ?)");
        dm.ExcSQL(insert, {5, "nopsw", QStringLiteral("无密码"), QVariant(), 1});
        dm.ExcSQL(insert, {3, "old", QStringLiteral("停用"), "old", 0});
        dm.ExcSQL(insert, {2, "zhang", QStringLiteral("张三"), "it's", 1});
        dm.ExcSQL(insert, {4, "empty", QStringLiteral("空密码"), "x", 1});
        dm.ExcSQL(QStringLiteral("update t_user set FPsw='' where FInterID=4"));
        setLanguage(language);
    }

    void setLanguage(int language)
    {
        dm.ExcSQL(QStringLiteral("update t_sys set FValue=? where FCatalog=? and FKey=?"),
                  {QString::number(language), "common", "language"});
        dm.GetLanguage();
    }

    // The stored password; "<null>" for NULL.
    QString storedPassword(int key)
    {
        const QVariant v =
            dm.GetScular(QStringLiteral("select FPsw from t_user where FInterID=?"), {key});
        return v.isNull() ? QStringLiteral("<null>") : v.toString();
    }

    // Runs sql on a second connection to the same file and commits, as another workstation.
    void elsewhere(const QString& sql)
    {
        const QString name = QStringLiteral("elsewhere");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), name);
            db.setDatabaseName(dm.databasePath());
            db.setUserName(QStringLiteral("sysdba"));
            db.setPassword(QStringLiteral("plumtrees"));
            QVERIFY2(db.open(), qPrintable(db.lastError().text()));
            QVERIFY(db.transaction());
            QSqlQuery q(db);
            QVERIFY2(q.exec(sql), qPrintable(q.lastError().text()));
            q.finish();
            QVERIFY(db.commit());
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
};

// The login window with its controls, shown.
struct Login
{
    TfrmSplash w;
    CaptionPanel* panel = w.findChild<CaptionPanel*>(QStringLiteral("RzPanel1"));
    QComboBox* accounts = w.findChild<QComboBox*>(QStringLiteral("RzCbAccountList"));
    QLineEdit* password = w.findChild<QLineEdit*>(QStringLiteral("RzEditPassword"));
    QPushButton* login = w.findChild<QPushButton*>(QStringLiteral("btnLogin"));
    QPushButton* change = w.findChild<QPushButton*>(QStringLiteral("btnChangePSW"));
    QPushButton* close = w.findChild<QPushButton*>(QStringLiteral("btnClose"));

    Login() { w.show(); }
    bool complete() const { return panel && accounts && password && login && change && close; }
    void select(int key) { accounts->setCurrentIndex(accounts->findData(QString::number(key))); }
    // Types as a user does: an untouched edit stays as it was created.
    void type(const QString& text)
    {
        password->clear();
        QTest::keyClicks(password, text);
    }
};

// The password window with its controls, shown.
struct Modify
{
    TfrmModifyPassword w;
    QLineEdit* old = w.findChild<QLineEdit*>(QStringLiteral("edtOldPassword"));
    QLineEdit* new1 = w.findChild<QLineEdit*>(QStringLiteral("edtPassword1"));
    QLineEdit* new2 = w.findChild<QLineEdit*>(QStringLiteral("edtPassword2"));
    QPushButton* save = w.findChild<QPushButton*>(QStringLiteral("btnSave"));
    QPushButton* abort = w.findChild<QPushButton*>(QStringLiteral("btnAbort"));

    explicit Modify(int key) : w(QString::number(key)) { w.show(); }
    bool complete() const { return old && new1 && new2 && save && abort; }
};

void fill(QDialog* d, const QString& old, const QString& new1, const QString& new2)
{
    QTest::keyClicks(d->findChild<QLineEdit*>(QStringLiteral("edtOldPassword")), old);
    QTest::keyClicks(d->findChild<QLineEdit*>(QStringLiteral("edtPassword1")), new1);
    QTest::keyClicks(d->findChild<QLineEdit*>(QStringLiteral("edtPassword2")), new2);
}

// Acts on the modal dialog that the next exec() shows, then closes it if it is still open, so
// that a failed check cannot leave exec() waiting. Gives up after a second.
void whenModal(QObject* context, std::function<void(QDialog*)> act, int tries = 100)
{
    QTimer::singleShot(10, context, [context, act, tries] {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!d) {
            if (tries > 0)
                whenModal(context, act, tries - 1);
            return;
        }
        QPointer<QDialog> guard(d);
        act(d);
        if (guard && guard->isVisible())
            guard->reject();
    });
}

QStringList texts(const QList<QWidget*>& widgets)
{
    QStringList out;
    for (QWidget* w : widgets) {
        if (auto* l = qobject_cast<QLabel*>(w))
            out << l->text();
        else if (auto* b = qobject_cast<QPushButton*>(w))
            out << b->text();
        else
            out << w->windowTitle();
    }
    return out;
}

} // namespace

class TstLogin : public QObject
{
    Q_OBJECT

private slots:
    void accountList()
    {
        Env env;
        Login l;
        QVERIFY(l.complete());
        QStringList names, keys;
        for (int i = 0; i < l.accounts->count(); ++i) {
            names << l.accounts->itemText(i);
            keys << l.accounts->itemData(i).toString();
        }
        QCOMPARE(names, (QStringList{"Administrator", "张三", "空密码", "无密码"}));
        QCOMPARE(keys, (QStringList{"1", "2", "4", "5"}));
        QCOMPARE(l.accounts->currentIndex(), -1);
        QVERIFY(!l.accounts->isEditable());
        QCOMPARE(l.password->echoMode(), QLineEdit::Normal);
        QVERIFY(env.presenter.shown.isEmpty());

        // Captions are applied to the panel's direct children only.
        for (const char* name : {"RzCbAccountList", "RzEditPassword", "btnLogin", "btnChangePSW",
                                 "btnClose", "lblUser", "lblPsw", "rzAppCaption"}) {
            QWidget* child = l.w.findChild<QWidget*>(QLatin1String(name));
            QVERIFY2(child && child->parentWidget() == l.panel, name);
        }
        auto* product = l.w.findChild<QLabel*>(QStringLiteral("RzLabel1"));
        QVERIFY(product);
        QVERIFY(qobject_cast<CaptionPanel*>(product->parentWidget()));
        QCOMPARE(product->parentWidget()->objectName(), QStringLiteral("RzPanel2"));
        for (const char* name : {"cdsUser", "CDSModifyPassword"}) {
            auto* ds = l.w.findChild<ClientDataSet*>(QLatin1String(name));
            QVERIFY2(ds && ds->provider(), name);
        }
        QVERIFY(l.w.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(l.w.minimumSize(), l.w.maximumSize());
    }

    void nothingSelected_data()
    {
        QTest::addColumn<int>("language");
        QTest::newRow("Chinese") << 1;
        QTest::newRow("English") << 2;
    }

    void nothingSelected()
    {
        QFETCH(int, language);
        Env env(language);
        Login l;
        QVERIFY(l.complete());
        QTest::keyClicks(l.password, QStringLiteral("admin"));
        bool opened = false;
        whenModal(
            &l.w, [&](QDialog*) { opened = true; }, 20);

        QTest::mouseClick(l.login, Qt::LeftButton);
        QCOMPARE(boxes(env.presenter), QStringList{info(kChooseUser)});
        QTest::mouseClick(l.change, Qt::LeftButton);
        QCOMPARE(boxes(env.presenter), (QStringList{info(kChooseUser), info(kChooseUser)}));
        QTest::qWait(300);
        QVERIFY(!opened);
        QVERIFY(!env.dm.FCanLogin);
        QVERIFY(l.w.isVisible());
    }

    void logIn_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("name"); // empty: refused

        QTest::newRow("right password") << 1 << "admin"
                                        << "Administrator";
        QTest::newRow("wrong case") << 1 << "Admin"
                                    << "";
        QTest::newRow("nothing typed, password set") << 1 << ""
                                                     << "";
        QTest::newRow("quote in password") << 2 << "it's"
                                           << "张三";
        QTest::newRow("quote doubled by the user") << 2 << "it''s"
                                                   << "";
        QTest::newRow("injection attempt") << 1 << "' or '1'='1"
                                           << "";
        QTest::newRow("empty password, empty stored") << 4 << ""
                                                      << "空密码";
        QTest::newRow("empty password, NULL stored") << 5 << ""
                                                     << "";
        QTest::newRow("any password, NULL stored") << 5 << "x"
                                                   << "";
    }

    void logIn()
    {
        QFETCH(int, key);
        QFETCH(QString, password);
        QFETCH(QString, name);
        const bool ok = !name.isEmpty();
        Env env;
        env.dm.FCanLogin = !ok;
        env.dm.FUserName = QStringLiteral("previous");
        Login l;
        QVERIFY(l.complete());
        l.select(key);
        if (!password.isEmpty())
            l.type(password);

        QTest::mouseClick(l.login, Qt::LeftButton);
        QCOMPARE(env.dm.FCanLogin, ok);
        QCOMPARE(env.dm.FUserName, name);
        QCOMPARE(boxes(env.presenter), ok ? QStringList() : QStringList{error(kLoginRefused)});
        QCOMPARE(l.w.isVisible(), !ok);
        if (ok) {
            QCOMPARE(env.dm.FUserInterID, key);
            QCOMPARE(l.w.result(), int(QDialog::Accepted));
        }
    }

    void enterInPasswordLogsIn()
    {
        Env env;
        Login l;
        QVERIFY(l.complete());
        l.select(1);
        l.type(QStringLiteral("admin"));
        QTest::keyClick(l.password, Qt::Key_Return);
        QVERIFY(env.dm.FCanLogin);
        QCOMPARE(l.w.result(), int(QDialog::Accepted));
        QVERIFY(env.presenter.shown.isEmpty());
    }

    // The account is listed when the window opens and then deactivated by another workstation:
    // the check must see the committed state, not an earlier snapshot.
    void accountDeactivatedMeanwhile()
    {
        Env env;
        Login l;
        QVERIFY(l.complete());
        l.select(2);
        QCOMPARE(l.accounts->currentText(), QStringLiteral("张三"));
        env.elsewhere(QStringLiteral("update t_user set FUse=0 where FInterID=2"));
        l.type(QStringLiteral("it's"));
        QTest::mouseClick(l.login, Qt::LeftButton);
        QVERIFY(!env.dm.FCanLogin);
        QCOMPARE(env.dm.FUserName, QString());
        QCOMPARE(boxes(env.presenter), QStringList{error(kLoginRefused)});
        QVERIFY(l.w.isVisible());
    }

    void closeButton()
    {
        Env env;
        Login l;
        QVERIFY(l.complete());
        l.select(1);
        QTest::mouseClick(l.close, Qt::LeftButton);
        QVERIFY(!l.w.isVisible());
        QCOMPARE(l.w.result(), int(QDialog::Rejected));
        QVERIFY(!env.dm.FCanLogin);
    }

    void changePasswordFromLogin()
    {
        Env env;
        Login l;
        QVERIFY(l.complete());
        l.select(2);
        QString opened;
        whenModal(&l.w, [&](QDialog* d) {
            opened = QString::fromLatin1(d->metaObject()->className());
            fill(d, QStringLiteral("it's"), QStringLiteral(" new pw "), QStringLiteral(" new pw "));
            QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("btnSave")),
                              Qt::LeftButton);
        });
        QTest::mouseClick(l.change, Qt::LeftButton);
        QCOMPARE(opened, QStringLiteral("TfrmModifyPassword"));
        QCOMPARE(boxes(env.presenter), QStringList{info(kChanged)});
        QCOMPARE(env.storedPassword(2), QStringLiteral(" new pw "));
        QCOMPARE(env.storedPassword(1), QStringLiteral("admin"));
        // Changing a password does not log in.
        QVERIFY(!env.dm.FCanLogin);
        QVERIFY(l.w.isVisible());

        l.type(QStringLiteral(" new pw "));
        QTest::mouseClick(l.login, Qt::LeftButton);
        QVERIFY(env.dm.FCanLogin);
        QCOMPARE(env.dm.FUserInterID, 2);
    }

    void captions_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("login");  // title, RzPanel1's children, RzLabel1
        QTest::addColumn<QStringList>("modify"); // title, labels, buttons
        QTest::newRow("Chinese") << 1 << QStringList{"登录",       "口腔病历与影像管理系统",
                                                     "登录用户：", "密码：",
                                                     "登录",       "改密码",
                                                     "关闭",       "鹊岭"}
                                 << QStringList{"修改密码",    "原密码*：", "新密码*：",
                                                "校验密码*：", "保存",      "放弃"};
        QTest::newRow("English") << 2 << QStringList{"Log in", "Dental Records and Imaging",
                                                     "User:",  "Password:",
                                                     "Log in", "Change password",
                                                     "Close",  "Larkmoor"}
                                 << QStringList{
                                        "Change Password",    "Old password*:", "New password*:",
                                        "Confirm password*:", "Save",           "Cancel"};
    }

    void captions()
    {
        QFETCH(int, language);
        QFETCH(QStringList, login);
        QFETCH(QStringList, modify);
        Env env(language);
        Login l;
        Modify m(1);
        QVERIFY(l.complete() && m.complete());
        auto find = [](QWidget& w, QStringList names) {
            QList<QWidget*> out{&w};
            for (const QString& n : names)
                out << w.findChild<QWidget*>(n);
            return out;
        };
        QCOMPARE(texts(find(l.w, {"rzAppCaption", "lblUser", "lblPsw", "btnLogin", "btnChangePSW",
                                  "btnClose", "RzLabel1"})),
                 login);
        QCOMPARE(
            texts(find(m.w, {"lblOriginal", "lblNewPsw", "lblCheckPsw", "btnSave", "btnAbort"})),
            modify);
        QVERIFY(env.presenter.shown.isEmpty());
    }

    // Only the password window follows a language change.
    void languageChangedMessage()
    {
        Env env(1);
        Login l;
        Modify m(1);
        QVERIFY(l.complete() && m.complete());
        env.setLanguage(2);
        SendMessage(&l.w, WM_LANGUAGE_CHANGED);
        SendMessage(&m.w, WM_LANGUAGE_CHANGED);
        QCOMPARE(m.w.windowTitle(), QStringLiteral("Change Password"));
        QCOMPARE(m.save->text(), QStringLiteral("Save"));
        QCOMPARE(l.w.windowTitle(), QStringLiteral("登录"));
        QCOMPARE(l.login->text(), QStringLiteral("登录"));
        m.w.applyLanguage();
        l.w.applyLanguage();
        QCOMPARE(l.login->text(), QStringLiteral("Log in"));
    }

    void passwordWindow()
    {
        Env env;
        Modify m(1);
        QVERIFY(m.complete());
        for (QLineEdit* e : {m.old, m.new1, m.new2}) {
            QCOMPARE(e->echoMode(), QLineEdit::Password);
            QCOMPARE(e->parentWidget(), &m.w);
        }
        QCOMPARE(m.w.focusWidget(), m.old);
        QVERIFY(!(m.w.windowFlags() & Qt::WindowSystemMenuHint));
        QVERIFY(m.w.windowFlags() & Qt::WindowTitleHint);
        QCOMPARE(m.w.minimumSize(), m.w.maximumSize());
        auto* ds = m.w.findChild<ClientDataSet*>(QStringLiteral("cdsModifyPassword"));
        QVERIFY(ds && ds->provider());
        QCOMPARE(ds->provider()->objectName(), QStringLiteral("dspModifyPassword"));

        // Enter moves on without saving.
        QTest::keyClicks(m.old, QStringLiteral("admin"));
        QTest::keyClick(m.old, Qt::Key_Return);
        QCOMPARE(m.w.focusWidget(), m.new1);
        QTest::keyClick(m.new1, Qt::Key_Return);
        QCOMPARE(m.w.focusWidget(), m.new2);
        QTest::keyClick(m.new2, Qt::Key_Return);
        QCOMPARE(m.w.focusWidget(), m.save);
        QVERIFY(env.presenter.shown.isEmpty());

        QTest::mouseClick(m.abort, Qt::LeftButton);
        QVERIFY(!m.w.isVisible());
        QCOMPARE(env.storedPassword(1), QStringLiteral("admin"));
    }

    void savePassword_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("old");
        QTest::addColumn<QString>("new1");
        QTest::addColumn<QString>("new2");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("stored");

        QTest::newRow("mismatch") << 1 << "admin"
                                  << "abc"
                                  << "abd" << error(kMismatch) << "admin";
        QTest::newRow("mismatch before old password") << 1 << "wrong"
                                                      << "abc"
                                                      << "abc " << error(kMismatch) << "admin";
        QTest::newRow("blanks only") << 1 << "admin"
                                     << "   "
                                     << "   " << error(kBlank) << "admin";
        QTest::newRow("nothing typed") << 1 << "admin"
                                       << ""
                                       << "" << error(kBlank) << "admin";
        QTest::newRow("wrong old password") << 1 << "Admin"
                                            << "new"
                                            << "new" << error(kOldWrong) << "admin";
        QTest::newRow("blanks kept") << 1 << "admin"
                                     << "  new pw "
                                     << "  new pw " << info(kChanged) << "  new pw ";
        QTest::newRow("quotes") << 2 << "it's"
                                << "o'k"
                                << "o'k" << info(kChanged) << "o'k";
        QTest::newRow("inactive account") << 3 << "old"
                                          << "new"
                                          << "new" << info(kChanged) << "new";
        QTest::newRow("empty old, empty stored") << 4 << ""
                                                 << "set"
                                                 << "set" << info(kChanged) << "set";
        QTest::newRow("empty old, NULL stored") << 5 << ""
                                                << "set"
                                                << "set" << error(kOldWrong) << "<null>";
    }

    void savePassword()
    {
        QFETCH(int, key);
        QFETCH(QString, old);
        QFETCH(QString, new1);
        QFETCH(QString, new2);
        QFETCH(QString, box);
        QFETCH(QString, stored);
        Env env;
        Modify m(key);
        QVERIFY(m.complete());
        fill(&m.w, old, new1, new2);
        QTest::mouseClick(m.save, Qt::LeftButton);
        QCOMPARE(boxes(env.presenter), QStringList{box});
        QCOMPARE(env.storedPassword(key), stored);
        const bool saved = box == info(kChanged);
        QCOMPARE(m.w.isVisible(), !saved);
        if (saved)
            QCOMPARE(m.w.result(), int(QDialog::Accepted));
    }

    // The column holds 200 characters: a longer password is refused with a message naming
    // the limit, and the window stays open for another try.
    void failedStore()
    {
        Env env;
        Modify m(1);
        QVERIFY(m.complete());
        const QString tooLong(201, QLatin1Char('p'));
        fill(&m.w, QStringLiteral("admin"), tooLong, tooLong);
        QTest::mouseClick(m.save, Qt::LeftButton);
        QCOMPARE(env.presenter.shown.size(), 1);
        QVERIFY(env.presenter.shown.first().text.contains(QLatin1String("200")));
        QVERIFY(m.w.isVisible());
        QCOMPARE(env.storedPassword(1), QStringLiteral("admin"));

        env.presenter.shown.clear();
        for (QLineEdit* e : {m.new1, m.new2}) {
            e->clear();
            QTest::keyClicks(e, QStringLiteral("shorter"));
        }
        QTest::mouseClick(m.save, Qt::LeftButton);
        QCOMPARE(boxes(env.presenter), QStringList{info(kChanged)});
        QCOMPARE(env.storedPassword(1), QStringLiteral("shorter"));
        QVERIFY(!m.w.isVisible());
    }
};

QTEST_MAIN(TstLogin)
#include "tst_login.moc"
