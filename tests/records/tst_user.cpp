#include "recordsfixture.h"
#include "user.h"
#include "windowmessages.h"

#include <QPushButton>

namespace {

// The delivered administrator (key 1) and one ordinary account.
struct UserEnv : RecordsEnv
{
    UserEnv()
    {
        exec(QStringLiteral("insert into t_user (FInterID, FAccount, FName, FPsw, FIsAdmin, FUse) "
                            "values (5, 'li', 'li', 'secret', 0, 1)"));
    }
    int users() { return count(QStringLiteral("select count(*) from t_user")); }
    QVariant stored(int key, const char* column)
    {
        return scalar(QStringLiteral("select %1 from t_user where FInterID=?")
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
    return part<QLineEdit>(w, "edtUser");
}

QLineEdit* passwordEdit(QWidget* w)
{
    return part<QLineEdit>(w, "edtPassword");
}

// Enabled state of the buttons, the inputs and the list: E enabled, - not.
QString enabling(TfrmUser& w)
{
    QString s;
    for (const char* b : {"btnPrior", "btnNext", "btnInsert", "btnDelete", "btnEdit", "btnCancel",
                          "btnSave", "btnClose"})
        s += button(&w, b)->isEnabled() ? 'E' : '-';
    s += ' ';
    s += nameEdit(&w)->isEnabled() ? 'E' : '-';
    s += passwordEdit(&w)->isEnabled() ? 'E' : '-';
    s += part<QCheckBox>(&w, "chkUse")->isEnabled() ? 'E' : '-';
    s += ' ';
    s += part<QTableView>(&w, "cxGrid1DBTableView1")->isEnabled() ? 'E' : '-';
    return s;
}

} // namespace

class TstUser : public QObject
{
    Q_OBJECT
private slots:
    void opensOnTheAdministratorRow()
    {
        UserEnv env;
        TfrmUser w;
        QCOMPARE(keysOf(w.cdsUser), (QList<int>{1, 5}));
        QCOMPARE(w.cdsUser->value(QStringLiteral("FInterID")).toInt(), 1);
        QCOMPARE(nameEdit(&w)->text(), env.stored(1, "FName").toString());
        QCOMPARE(passwordEdit(&w)->echoMode(), QLineEdit::Password);
        QVERIFY(!w.windowFlags().testFlag(Qt::WindowCloseButtonHint));
        auto* grid = part<QTableView>(&w, "cxGrid1DBTableView1");
        QStringList headers;
        for (int i = 0; i < grid->model()->columnCount(); ++i) {
            if (!grid->isColumnHidden(i))
                headers << grid->model()->headerData(i, Qt::Horizontal).toString();
        }
        QCOMPARE(headers, (QStringList{"名称", "启用"}));
        QVERIFY(env.presenter.shown.isEmpty());
    }

    void administratorRowIsLocked_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("enabled");
        // prior next insert delete edit cancel save close | name password check | list
        QTest::newRow("administrator") << "" << 1 << "EEE--E-E --- E";
        QTest::newRow("ordinary account") << "btnNext" << 5 << "EEEEEEEE --- E";
        QTest::newRow("back to the administrator") << "btnNext btnPrior" << 1 << "EEE--E-E --- E";
        QTest::newRow("insert") << "btnInsert" << 1 << "--E--EEE EEE -";
        QTest::newRow("undo on the administrator")
            << "btnInsert btnCancel" << 1 << "EEE--E-E --- E";
        QTest::newRow("edit") << "btnNext btnEdit" << 5 << "----EEEE EEE -";
        QTest::newRow("undo an edit") << "btnNext btnEdit btnCancel" << 5 << "EEEEEEEE --- E";
    }
    void administratorRowIsLocked()
    {
        QFETCH(QString, steps);
        QFETCH(int, row);
        QFETCH(QString, enabled);
        UserEnv env;
        TfrmUser w;
        for (const QString& b : steps.split(' ', Qt::SkipEmptyParts))
            button(&w, qPrintable(b))->click();
        QCOMPARE(w.cdsUser->value(QStringLiteral("FInterID")).toInt(), row);
        QCOMPARE(enabling(w), enabled);
    }

    void insertStoresAnOrdinaryAccount_data()
    {
        QTest::addColumn<bool>("tick");
        QTest::newRow("in use") << true;
        QTest::newRow("box left cleared") << false;
    }
    void insertStoresAnOrdinaryAccount()
    {
        QFETCH(bool, tick);
        UserEnv env;
        TfrmUser w;
        button(&w, "btnInsert")->click();
        QCOMPARE(w.FAction, QStringLiteral("insert"));
        QCOMPARE(nameEdit(&w)->text(), QString());
        QVERIFY(!part<QCheckBox>(&w, "chkUse")->isChecked());
        QTest::keyClicks(nameEdit(&w), "wang");
        QTest::keyClicks(passwordEdit(&w), "pw1");
        if (tick)
            part<QCheckBox>(&w, "chkUse")->click();
        button(&w, "btnSave")->click();
        QCOMPARE(env.presenter.texts(), QStringList());
        QCOMPARE(env.stored(6, "FName").toString(), QStringLiteral("wang"));
        QCOMPARE(env.stored(6, "FAccount").toString(), QStringLiteral("wang"));
        QCOMPARE(env.stored(6, "FPsw").toString(), QStringLiteral("pw1"));
        QCOMPARE(env.stored(6, "FIsAdmin").toInt(), 0);
        QCOMPARE(env.stored(6, "FUse").toInt(), tick ? 1 : 0);
        QCOMPARE(w.cdsUser->value(QStringLiteral("FInterID")).toInt(), 6);
        QCOMPARE(w.cdsUser->changeCount(), 0);
        // Stored once, however often Save is pressed.
        button(&w, "btnSave")->click();
        QCOMPARE(env.users(), 3);
    }

    void firstUserOfAnEmptyTableGetsKeyOne()
    {
        UserEnv env;
        env.exec(QStringLiteral("delete from t_user"));
        TfrmUser w;
        QVERIFY(w.cdsUser->isEmpty());
        button(&w, "btnInsert")->click();
        nameEdit(&w)->setText(QStringLiteral("zhao"));
        passwordEdit(&w)->setText(QStringLiteral("x"));
        button(&w, "btnSave")->click();
        QCOMPARE(env.users(), 1);
        QCOMPARE(env.stored(1, "FName").toString(), QStringLiteral("zhao"));
    }

    void emptyNameOrPasswordIsRefused_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        const QString noName = QStringLiteral("用户名不能为空！");
        const QString noPassword = QStringLiteral("密码不能为空！");
        QTest::newRow("insert, no name") << "btnInsert"
                                         << ""
                                         << "pw" << noName << "edtUser";
        QTest::newRow("insert, blank name") << "btnInsert"
                                            << "  "
                                            << "pw" << noName << "edtUser";
        QTest::newRow("insert, no password") << "btnInsert"
                                             << "wang"
                                             << "" << noPassword << "edtPassword";
        QTest::newRow("insert, neither") << "btnInsert"
                                         << ""
                                         << "" << noName << "edtUser";
        QTest::newRow("edit, no name") << "btnEdit"
                                       << ""
                                       << "secret" << noName << "edtUser";
        QTest::newRow("edit, no password") << "btnEdit"
                                           << "li"
                                           << "" << noPassword << "edtPassword";
    }
    void emptyNameOrPasswordIsRefused()
    {
        QFETCH(QString, action);
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        UserEnv env;
        env.setLanguage(2); // the same text in both languages
        TfrmUser w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        button(&w, "btnNext")->click();
        button(&w, qPrintable(action))->click();
        nameEdit(&w)->setText(name);
        passwordEdit(&w)->setText(password);
        button(&w, "btnSave")->click();
        QCOMPARE(env.presenter.texts(), QStringList{message});
        QCOMPARE(env.presenter.shown.first().kind, MessageRequest::Info);
        // Nothing stored, nothing left waiting in the list; the typing stays open.
        QCOMPARE(env.users(), 2);
        QCOMPARE(env.stored(5, "FName").toString(), QStringLiteral("li"));
        QCOMPARE(env.stored(5, "FPsw").toString(), QStringLiteral("secret"));
        QCOMPARE(w.cdsUser->changeCount(), 0);
        QCOMPARE(w.cdsUser->recordCount(), 2);
        QVERIFY(nameEdit(&w)->isEnabled());
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);

        // Completing the input stores exactly the one account.
        nameEdit(&w)->setText(QStringLiteral("wang"));
        passwordEdit(&w)->setText(QStringLiteral("pw2"));
        button(&w, "btnSave")->click();
        QCOMPARE(env.presenter.shown.size(), 1);
        const int key = action == QLatin1String("btnInsert") ? 6 : 5;
        QCOMPARE(env.users(), action == QLatin1String("btnInsert") ? 3 : 2);
        QCOMPARE(env.stored(key, "FName").toString(), QStringLiteral("wang"));
        QCOMPARE(env.stored(key, "FPsw").toString(), QStringLiteral("pw2"));
    }

    void editChangesNameAndPassword()
    {
        UserEnv env;
        TfrmUser w;
        button(&w, "btnNext")->click();
        QCOMPARE(nameEdit(&w)->text(), QStringLiteral("li"));
        QCOMPARE(passwordEdit(&w)->text(), QStringLiteral("secret"));
        button(&w, "btnEdit")->click();
        QCOMPARE(w.FAction, QStringLiteral("edit"));
        nameEdit(&w)->setText(QStringLiteral("li4"));
        passwordEdit(&w)->setText(QStringLiteral("new"));
        part<QCheckBox>(&w, "chkUse")->setChecked(false);
        button(&w, "btnSave")->click();
        QCOMPARE(env.stored(5, "FName").toString(), QStringLiteral("li4"));
        QCOMPARE(env.stored(5, "FAccount").toString(), QStringLiteral("li4"));
        QCOMPARE(env.stored(5, "FPsw").toString(), QStringLiteral("new"));
        QCOMPARE(env.stored(5, "FUse").toInt(), 0);
        QCOMPARE(env.stored(1, "FIsAdmin").toInt(), 1);
        QCOMPARE(env.users(), 2);
    }

    // Browsing by keyboard shows the row under the cursor, so a later Save cannot copy one
    // account's inputs onto another.
    void inputsFollowTheCursor()
    {
        UserEnv env;
        TfrmUser w;
        auto* grid = part<QTableView>(&w, "cxGrid1DBTableView1");
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(w.cdsUser->value(QStringLiteral("FInterID")).toInt(), 5);
        QCOMPARE(nameEdit(&w)->text(), QStringLiteral("li"));
        QVERIFY(button(&w, "btnEdit")->isEnabled());
    }

    void deleteDoesNothing()
    {
        UserEnv env;
        TfrmUser w;
        button(&w, "btnNext")->click();
        button(&w, "btnDelete")->click();
        QCOMPARE(env.users(), 2);
        QCOMPARE(w.cdsUser->recordCount(), 2);
        QVERIFY(env.presenter.shown.isEmpty());
    }

    void longerThanTheColumnsIsRefused()
    {
        UserEnv env;
        TfrmUser w;
        button(&w, "btnInsert")->click();
        for (QLineEdit* e : {nameEdit(&w), passwordEdit(&w)}) {
            QCOMPARE(e->maxLength(), 200);
            e->setText(QString(200, 'a'));
            QTest::keyClicks(e, "b");
            QCOMPARE(e->text(), QString(200, 'a'));
        }
        button(&w, "btnSave")->click();
        QCOMPARE(env.presenter.texts(), QStringList());
        QCOMPARE(env.stored(6, "FName").toString(), QString(200, 'a'));
    }

    void englishShowsNoChinese()
    {
        UserEnv env;
        env.setLanguage(1);
        TfrmUser w;
        QCOMPARE(w.windowTitle(), QStringLiteral("用户管理"));
        env.setLanguage(2);
        SendMessage(&w, WM_LANGUAGE_CHANGED);
        QCOMPARE(w.windowTitle(), QStringLiteral("User Management"));
        QCOMPARE(button(&w, "btnSave")->text(), QStringLiteral("Save"));
        QCOMPARE(part<QLabel>(&w, "lblPassword")->text(), QStringLiteral("Password:"));
        QCOMPARE(chineseTexts(&w), QStringList());
    }
};

QTEST_MAIN(TstUser)
#include "tst_user.moc"
