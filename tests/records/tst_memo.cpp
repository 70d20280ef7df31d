#include "clientdataset.h"
#include "dmdata.h"
#include "memo.h"
#include "testutils.h"
#include "windowmessages.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <stdexcept>

namespace {

const QString kLanguage =
    QStringLiteral("update t_sys set FValue=? where FCatalog='common' and FKey='language'");
const QString kPatientModify =
    QStringLiteral("update t_patient set FMemo=:FMemo where FInterID=:FInterID");

// A fresh database and a dataset over one of its tables, with a provider for its changes.
struct Env
{
    QTemporaryDir dir;
    TdmData dm{freshDatabase(dir)};
    AnsweringPresenter presenter;
    ClientDataSet ds;
    DataSetProvider provider;

    Env() { ds.setProvider(&provider); }

    void setLanguage(int index)
    {
        QVERIFY(dm.ExcSQL(kLanguage, {QString::number(index)}));
        dm.GetLanguage();
        QCOMPARE(dm.FLanguageIndex, index);
    }
    QVariant stored(const QString& sql) { return dm.GetScular(sql); }
};

// Env over one picture row with the given remark.
struct ToothEnv : Env
{
    explicit ToothEnv(const QVariant& memo)
    {
        dm.ExcSQL(QStringLiteral("insert into t_tooth (FInterID, FPatientID, FPositionIndex, "
                                 "FMemo) values (1, 0, 5, ?)"),
                  {memo});
        dm.GetDataset(ds, QStringLiteral("select * from t_tooth"));
    }
    QVariant storedMemo() { return stored(QStringLiteral("select FMemo from t_tooth")); }
};

// Env over one patient whose notebook holds "old notes".
struct PatientEnv : Env
{
    PatientEnv()
    {
        dm.ExcSQL(QStringLiteral("insert into t_patient (FInterID, FName, FMemo) values "
                                 "(7, ?, 'old notes')"),
                  {QStringLiteral("张三")});
        provider.setUpdateStatements(kPatientModify, QString(), QString());
        dm.GetDataset(ds, QStringLiteral("select * from t_patient where FInterID=7"));
    }
    QString storedMemo()
    {
        return stored(QStringLiteral("select FMemo from t_patient where FInterID=7")).toString();
    }
};

template <class W> QPlainTextEdit* memoOf(W& w, const char* name)
{
    auto* m = w.template findChild<QPlainTextEdit*>(QString::fromLatin1(name));
    if (!m)
        qFatal("no memo %s", name);
    return m;
}

template <class W> QPushButton* button(W& w, const char* name)
{
    auto* b = w.template findChild<QPushButton*>(QString::fromLatin1(name));
    if (!b)
        qFatal("no button %s", name);
    return b;
}

// Key by key; keyClicks takes Latin-1 only, so other characters go as key text.
void type(QWidget* w, const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(w, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// Replaces the whole text the way a user would.
void retype(QPlainTextEdit* memo, const QString& text)
{
    QTest::keyClick(memo, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(memo, Qt::Key_Delete);
    type(memo, text);
}

void append(QPlainTextEdit* memo, const QString& text)
{
    QTest::keyClick(memo, Qt::Key_End, Qt::ControlModifier);
    type(memo, text);
}

} // namespace

class TstMemo : public QObject
{
    Q_OBJECT
private slots:
    // ---- image memo editor ------------------------------------------------------------

    void memoOpensWithTheRowsRemark_data()
    {
        QTest::addColumn<QVariant>("memo");
        QTest::addColumn<QString>("shown");
        QTest::newRow("text") << QVariant(QStringLiteral("右下第一磨牙\nline 2"))
                              << QStringLiteral("右下第一磨牙\nline 2");
        QTest::newRow("null") << QVariant() << QString();
        QTest::newRow("empty") << QVariant(QString("")) << QString();
    }
    void memoOpensWithTheRowsRemark()
    {
        QFETCH(QVariant, memo);
        QFETCH(QString, shown);
        ToothEnv env(memo);
        TfrmMemo w(&env.ds);
        QCOMPARE(QByteArray(w.metaObject()->className()), QByteArray("TfrmMemo"));
        QCOMPARE(w.FClientDataset, &env.ds);
        QCOMPARE(memoOf(w, "Memo1")->toPlainText(), shown);
        QVERIFY(!w.FChanged);
        QVERIFY(w.FMemo.isEmpty());
        QVERIFY(env.presenter.shown.isEmpty());
    }

    void memoIsASmallFixedDialogWithoutSystemButtons()
    {
        ToothEnv env{QVariant()};
        TfrmMemo w(&env.ds);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.minimumSize(), w.maximumSize());
        const Qt::WindowFlags f = w.windowFlags();
        QVERIFY(f.testFlag(Qt::WindowTitleHint));
        for (Qt::WindowType t : {Qt::WindowCloseButtonHint, Qt::WindowMinimizeButtonHint,
                                 Qt::WindowMaximizeButtonHint, Qt::WindowSystemMenuHint})
            QVERIFY(!f.testFlag(t));
        // The edit lies above the buttons.
        const QRect memo = memoOf(w, "Memo1")->geometry();
        QVERIFY(memo.bottom() < button(w, "btnOK")->geometry().top());
        QVERIFY(memo.bottom() < button(w, "btnCancel")->geometry().top());
    }

    void memoOkReturnsTheText_data()
    {
        QTest::addColumn<QVariant>("memo");
        QTest::addColumn<QString>("typed");
        QTest::newRow("new text") << QVariant(QStringLiteral("old"))
                                  << QStringLiteral("裂纹 crack");
        QTest::newRow("emptied") << QVariant(QStringLiteral("old")) << QString();
        QTest::newRow("empty on null") << QVariant() << QString();
    }
    void memoOkReturnsTheText()
    {
        QFETCH(QVariant, memo);
        QFETCH(QString, typed);
        ToothEnv env(memo);
        TfrmMemo w(&env.ds);
        w.show();
        retype(memoOf(w, "Memo1"), typed);
        QTest::mouseClick(button(w, "btnOK"), Qt::LeftButton);
        QVERIFY(w.FChanged);
        QCOMPARE(w.FMemo, typed);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QVERIFY(!w.isVisible());
        // Storing is the caller's business.
        QCOMPARE(env.ds.changeCount(), 0);
        QCOMPARE(env.ds.state(), ClientDataSet::State::Browse);
        QCOMPARE(env.storedMemo(), memo);
    }

    void memoCancelChangesNothing_data()
    {
        QTest::addColumn<QVariant>("memo");
        QTest::newRow("text") << QVariant(QStringLiteral("old"));
        QTest::newRow("null") << QVariant();
    }
    void memoCancelChangesNothing()
    {
        QFETCH(QVariant, memo);
        ToothEnv env(memo);
        TfrmMemo w(&env.ds);
        w.show();
        retype(memoOf(w, "Memo1"), QStringLiteral("typed but cancelled"));
        QTest::mouseClick(button(w, "btnCancel"), Qt::LeftButton);
        QVERIFY(!w.FChanged);
        QVERIFY(w.FMemo.isEmpty());
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QVERIFY(!w.isVisible());
        QCOMPARE(env.ds.changeCount(), 0);
        QCOMPARE(env.ds.value(QStringLiteral("FMemo")), memo);
        QCOMPARE(env.storedMemo(), memo);
    }

    void memoCaptions_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("captions"); // title, OK, Cancel
        QTest::newRow("Chinese") << 1 << QStringList{"备注", "确定", "取消"};
        QTest::newRow("English") << 2 << QStringList{"Memo", "OK", "Cancel"};
    }
    void memoCaptions()
    {
        QFETCH(int, language);
        QFETCH(QStringList, captions);
        ToothEnv env{QVariant()};
        env.setLanguage(language);
        TfrmMemo w(&env.ds);
        QCOMPARE((QStringList{w.windowTitle(), button(w, "btnOK")->text(),
                              button(w, "btnCancel")->text()}),
                 captions);
        QVERIFY(env.presenter.shown.isEmpty());
    }

    void memoReappliesCaptionsOnLanguageMessage()
    {
        ToothEnv env(QStringLiteral("右下第一磨牙"));
        TfrmMemo w(&env.ds);
        w.show();
        QCOMPARE(button(w, "btnOK")->text(), QStringLiteral("确定"));
        env.setLanguage(2);
        // Until told, the window keeps what it showed.
        QCOMPARE(w.windowTitle(), QStringLiteral("备注"));
        SendMessage(&w, WM_LANGUAGE_CHANGED);
        QCOMPARE(w.windowTitle(), QStringLiteral("Memo"));
        QCOMPARE(button(w, "btnOK")->text(), QStringLiteral("OK"));
        QCOMPARE(button(w, "btnCancel")->text(), QStringLiteral("Cancel"));
        // The text being edited is data and stays.
        QCOMPARE(memoOf(w, "Memo1")->toPlainText(), QStringLiteral("右下第一磨牙"));
        env.setLanguage(1);
        SendMessage(&w, WM_LANGUAGE_CHANGED);
        QCOMPARE(w.windowTitle(), QStringLiteral("备注"));
        QCOMPARE(button(w, "btnCancel")->text(), QStringLiteral("取消"));
    }

    // ---- notebook -----------------------------------------------------------------------

    void notebookShowsTheRowAndStaysOnTop()
    {
        PatientEnv env;
        TfrmPatientMemo w(&env.ds);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(QByteArray(w.metaObject()->className()), QByteArray("TfrmPatientMemo"));
        QCOMPARE(w.FclientDataset, &env.ds);
        QCOMPARE(w.windowTitle(), QStringLiteral("记事簿"));
        QCOMPARE(button(w, "btnSave")->text(), QStringLiteral("保存"));
        QCOMPARE(button(w, "btnCancel")->text(), QStringLiteral("取消"));
        QVERIFY(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(w.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(w.minimumSize() != w.maximumSize());
        QPlainTextEdit* memo = memoOf(w, "DBMemo1");
        QCOMPARE(memo->toPlainText(), QStringLiteral("old notes"));
        // The memo fills the window above the buttons.
        QVERIFY(memo->geometry().bottom() < button(w, "btnSave")->geometry().top());
        QVERIFY(memo->width() > w.width() * 9 / 10);
        QVERIFY(memo->height() > w.height() * 7 / 10);
    }

    void notebookTypingEditsTheRow()
    {
        PatientEnv env;
        TfrmPatientMemo w(&env.ds);
        w.show();
        append(memoOf(w, "DBMemo1"), QStringLiteral(" 青霉素过敏"));
        QCOMPARE(env.ds.state(), ClientDataSet::State::Edit);
        QCOMPARE(env.ds.value(QStringLiteral("FMemo")).toString(),
                 QStringLiteral("old notes 青霉素过敏"));
        QCOMPARE(env.storedMemo(), QStringLiteral("old notes"));
    }

    void notebookSaveStoresAndCloses()
    {
        PatientEnv env;
        TfrmPatientMemo w(&env.ds);
        w.show();
        append(memoOf(w, "DBMemo1"), QStringLiteral(" 青霉素过敏"));
        QTest::mouseClick(button(w, "btnSave"), Qt::LeftButton);
        QVERIFY(env.presenter.shown.isEmpty());
        QVERIFY(!w.isVisible());
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(env.storedMemo(), QStringLiteral("old notes 青霉素过敏"));
        QCOMPARE(env.ds.changeCount(), 0);
        QCOMPARE(env.ds.state(), ClientDataSet::State::Browse);
    }

    void notebookCancelLeavesTheTextPending()
    {
        PatientEnv env;
        TfrmPatientMemo w(&env.ds);
        w.show();
        append(memoOf(w, "DBMemo1"), QStringLiteral(" pending"));
        QTest::mouseClick(button(w, "btnCancel"), Qt::LeftButton);
        QVERIFY(env.presenter.shown.isEmpty());
        QVERIFY(!w.isVisible());
        QCOMPARE(env.storedMemo(), QStringLiteral("old notes"));
        // Still an edit of the row, which the record window's Save would store.
        QCOMPARE(env.ds.value(QStringLiteral("FMemo")).toString(),
                 QStringLiteral("old notes pending"));
        QCOMPARE(env.ds.state(), ClientDataSet::State::Edit);
        QVERIFY(env.dm.ApplyUpdateCDSToDB({&env.ds}));
        QCOMPARE(env.storedMemo(), QStringLiteral("old notes pending"));
    }

    // Typing stops at the column's 4000 characters. A store the engine refuses is reported
    // and the window stays open with the text still a pending change.
    void notebookFailedStoreKeepsTheWindow()
    {
        PatientEnv env;
        QVERIFY(env.dm.ExcSQL(QStringLiteral("alter table t_patient add constraint memo_no_y "
                                             "check (FMemo not containing 'y')")));
        TfrmPatientMemo w(&env.ds);
        w.show();
        QPlainTextEdit* memo = memoOf(w, "DBMemo1");
        memo->selectAll();
        memo->insertPlainText(QString(4000, QLatin1Char('x')));
        append(memo, QStringLiteral("z"));
        QCOMPARE(memo->toPlainText(), QString(4000, QLatin1Char('x')));
        QTest::keyClick(memo, Qt::Key_Backspace);
        append(memo, QStringLiteral("y"));
        QTest::mouseClick(button(w, "btnSave"), Qt::LeftButton);
        QCOMPARE(env.presenter.shown.size(), 1);
        QCOMPARE(env.presenter.shown.first().kind, MessageRequest::Error);
        QVERIFY(!env.presenter.shown.first().text.isEmpty());
        QVERIFY(w.isVisible());
        QCOMPARE(env.storedMemo(), QStringLiteral("old notes"));
        QCOMPARE(env.ds.changeCount(), 1);
        QCOMPARE(env.ds.value(QStringLiteral("FMemo")).toString().size(), 4000);

        // Corrected, the same window stores it.
        env.presenter.shown.clear();
        QTest::keyClick(memo, Qt::Key_Backspace);
        QTest::mouseClick(button(w, "btnSave"), Qt::LeftButton);
        QVERIFY(env.presenter.shown.isEmpty());
        QVERIFY(!w.isVisible());
        QCOMPARE(env.storedMemo(), QString(3999, QLatin1Char('x')));
    }

    // A failing update handler is undone and reported like any failed store; the window stays
    // open and no transaction is left behind.
    void notebookHandlerErrorKeepsWindowOpen()
    {
        PatientEnv env;
        env.provider.setBeforeUpdateRecord([](ClientDataSet&, const DeltaRecord&, UpdateKind,
                                              bool&) { throw std::runtime_error("disk on fire"); });
        TfrmPatientMemo w(&env.ds);
        w.show();
        append(memoOf(w, "DBMemo1"), QStringLiteral(" x"));
        QTest::mouseClick(button(w, "btnSave"), Qt::LeftButton);
        QCOMPARE(env.presenter.shown.size(), 1);
        QCOMPARE(env.presenter.shown.first().kind, MessageRequest::Error);
        QCOMPARE(env.presenter.shown.first().text, QStringLiteral("disk on fire"));
        QVERIFY(w.isVisible());
        QVERIFY(!env.dm.inComposedWrite());
        QCOMPARE(env.storedMemo(), QStringLiteral("old notes"));
        QCOMPARE(env.ds.changeCount(), 1);
    }
};

QTEST_MAIN(TstMemo)
#include "tst_memo.moc"
