#include "modifypassword.h"

#include "clientdataset.h"
#include "dberror.h"
#include "dmdata.h"
#include "messagebox.h"
#include "windowmessages.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// The driver sends a null string as NULL, which equals nothing; empty text must stay text.
QString asText(const QString& s)
{
    return s.isNull() ? QStringLiteral("") : s;
}

} // namespace

TfrmModifyPassword::TfrmModifyPassword(const QString& userInterID, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      FUserInterID(userInterID)
{
    setObjectName(QStringLiteral("frmModifyPassword"));
    setWindowTitle(QStringLiteral("修改密码"));

    auto makeLabel = [this](const char* name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    auto makeEdit = [this](const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setEchoMode(QLineEdit::Password);
        e->setStyleSheet(QStringLiteral("lineedit-password-character: 42;")); // '*'
        e->installEventFilter(this);
        return e;
    };
    lblOriginal = makeLabel("lblOriginal", QStringLiteral("原密码*："));
    lblNewPsw = makeLabel("lblNewPsw", QStringLiteral("新密码*："));
    lblCheckPsw = makeLabel("lblCheckPsw", QStringLiteral("校验密码*："));
    edtOldPassword = makeEdit("edtOldPassword");
    edtPassword1 = makeEdit("edtPassword1");
    edtPassword2 = makeEdit("edtPassword2");
    lblOriginal->setBuddy(edtOldPassword);
    lblNewPsw->setBuddy(edtPassword1);
    lblCheckPsw->setBuddy(edtPassword2);
    btnSave = new QPushButton(QStringLiteral("保存"), this);
    btnSave->setObjectName(QStringLiteral("btnSave"));
    btnAbort = new QPushButton(QStringLiteral("放弃"), this);
    btnAbort->setObjectName(QStringLiteral("btnAbort"));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(20, 20, 20, 16);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(10);
    grid->addWidget(lblOriginal, 0, 0);
    grid->addWidget(edtOldPassword, 0, 1);
    grid->addWidget(lblNewPsw, 1, 0);
    grid->addWidget(edtPassword1, 1, 1);
    grid->addWidget(lblCheckPsw, 2, 0);
    grid->addWidget(edtPassword2, 2, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(3, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnSave);
    buttons->addWidget(btnAbort);
    grid->addLayout(buttons, 4, 0, 1, 2);
    setFixedSize(420, 180);

    setTabOrder(edtOldPassword, edtPassword1);
    setTabOrder(edtPassword1, edtPassword2);
    setTabOrder(edtPassword2, btnSave);
    setTabOrder(btnSave, btnAbort);
    edtOldPassword->setFocus();

    connect(btnSave, &QPushButton::clicked, this, &TfrmModifyPassword::btnSaveClick);
    connect(btnAbort, &QPushButton::clicked, this, &TfrmModifyPassword::btnAbortClick);

    cdsModifyPassword = newDataSet(this, QStringLiteral("cdsModifyPassword"), dspModifyPassword,
                                   QStringLiteral("dspModifyPassword"));
    dspModifyPassword->setUpdateStatements(
        QStringLiteral("update t_user set FPsw=:FPsw where FInterID=:FInterID"), QString(),
        QString());

    applyLanguage();
}

void TfrmModifyPassword::applyLanguage()
{
    try {
        dmData->SetFormName(this, QStringLiteral("ModifyPassword"));
        dmData->ChangeLanguage(this, QStringLiteral("ModifyPassword"), QStringLiteral("Form"));
    } catch (const DbError& e) {
        ShowException(e.message());
    }
}

void TfrmModifyPassword::btnSaveClick()
{
    if (edtPassword1->text() != edtPassword2->text()) {
        ShowError(QStringLiteral("密码与密码校验不一致，请重新输入"));
        return;
    }
    if (edtPassword1->text().trimmed().isEmpty()) {
        ShowError(QStringLiteral("密码不能为空，请重新输入"));
        return;
    }
    try {
        // Read what is committed now, not the snapshot of an earlier read.
        if (!dmData->inComposedWrite())
            dmData->TransactionRollBack();
        cdsModifyPassword->close();
        cdsModifyPassword->setCommandText(
            QStringLiteral("select * from t_user  where FInterID=? and Fpsw=?"));
        cdsModifyPassword->setParams({FUserInterID, asText(edtOldPassword->text())});
        cdsModifyPassword->open();
        if (cdsModifyPassword->recordCount() != 1) {
            ShowError(QStringLiteral("帐号、户名或者密码不正确！"));
            return;
        }
        cdsModifyPassword->first();
        cdsModifyPassword->edit();
        cdsModifyPassword->setValue(QStringLiteral("Fpsw"), edtPassword1->text());
        cdsModifyPassword->post();
    } catch (const DbError& e) {
        ShowException(e.message());
        return;
    }
    // A failure has been reported there; the change stays pending and the window open.
    if (!dmData->ApplyUpdateCDSToDB({cdsModifyPassword}))
        return;
    ShowInfo(QStringLiteral("密码已经修改成功 ！"));
    accept();
}

void TfrmModifyPassword::btnAbortClick()
{
    reject();
}

bool TfrmModifyPassword::event(QEvent* e)
{
    if (e->type() == QEvent::Type(WM_LANGUAGE_CHANGED)) {
        applyLanguage();
        return true;
    }
    return QDialog::event(e);
}

bool TfrmModifyPassword::eventFilter(QObject* watched, QEvent* event)
{
    // Enter moves on to the next field instead of pressing the default button.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        QWidget* next = watched == edtOldPassword ? edtPassword1
                        : watched == edtPassword1 ? edtPassword2
                        : watched == edtPassword2 ? static_cast<QWidget*>(btnSave)
                                                  : nullptr;
        if (next && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            next->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
