#include "memo.h"

#include "bindings.h"
#include "clientdataset.h"
#include "dberror.h"
#include "dmdata.h"
#include "messagebox.h"
#include "namedwidgets.h"
#include "windowmessages.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>

namespace {

// The current row's remark as text; NULL and a dataset without a row give "".
QString currentMemo(const ClientDataSet* ds)
{
    if (!ds || !ds->isActive() || ds->isEmpty())
        return QString();
    const QVariant v = ds->value(QStringLiteral("FMemo"));
    // Text blobs arrive as UTF-8 bytes.
    return v.typeId() == QMetaType::QByteArray ? QString::fromUtf8(v.toByteArray()) : v.toString();
}

} // namespace

TfrmMemo::TfrmMemo(ClientDataSet* dataset, QWidget* parent)
    // A title but no system buttons: the window is left with OK or Cancel only.
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      FClientDataset(dataset)
{
    setObjectName(QStringLiteral("frmMemo"));
    setWindowTitle(QStringLiteral("备注"));

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    // The buttons must be direct children: the caption rows are applied to those.
    btnOK = makeButton(this, "btnOK", QStringLiteral("确定"));
    btnCancel = makeButton(this, "btnCancel", QStringLiteral("取消"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addWidget(Memo1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    layout->addLayout(buttons);
    setFixedSize(380, 240);

    connect(btnOK, &QPushButton::clicked, this, &TfrmMemo::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmMemo::btnCancelClick);

    Memo1->setPlainText(currentMemo(FClientDataset));
    Memo1->moveCursor(QTextCursor::End);
    Memo1->setFocus();
    FChanged = false;
    applyLanguage();
}

void TfrmMemo::applyLanguage()
{
    try {
        dmData->ChangeLanguage(this, QStringLiteral("Memo"), QStringLiteral("Form"));
        dmData->SetFormName(this, QStringLiteral("Memo"));
    } catch (const DbError& e) {
        ShowException(e.message());
    }
}

void TfrmMemo::btnOKClick()
{
    FChanged = true;
    FMemo = Memo1->toPlainText();
    accept();
}

void TfrmMemo::btnCancelClick()
{
    FChanged = false;
    reject();
}

bool TfrmMemo::event(QEvent* e)
{
    if (e->type() == QEvent::Type(WM_LANGUAGE_CHANGED)) {
        applyLanguage();
        return true;
    }
    return QDialog::event(e);
}

TfrmPatientMemo::TfrmPatientMemo(ClientDataSet* patientDataset, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint),
      FclientDataset(patientDataset)
{
    setObjectName(QStringLiteral("frmPatientMemo"));
    setWindowTitle(QStringLiteral("记事簿"));

    DBMemo1 = new QPlainTextEdit(this);
    DBMemo1->setObjectName(QStringLiteral("DBMemo1"));
    btnSave = makeButton(this, "btnSave", QStringLiteral("保存"));
    btnCancel = makeButton(this, "btnCancel", QStringLiteral("取消"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(DBMemo1, 1);
    auto* strip = new QHBoxLayout;
    strip->addStretch();
    strip->addWidget(btnSave);
    strip->addWidget(btnCancel);
    layout->addLayout(strip);
    resize(560, 420);
    // No caption rows for the notebook: its three texts follow the language here.
    if (dmData && dmData->FLanguageIndex == 2) {
        setWindowTitle(QStringLiteral("Notebook"));
        btnSave->setText(QStringLiteral("Save"));
        btnCancel->setText(QStringLiteral("Cancel"));
    }

    connect(btnSave, &QPushButton::clicked, this, &TfrmPatientMemo::btnSaveClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmPatientMemo::btnCancelClick);

    bindMemo(DBMemo1, FclientDataset, QStringLiteral("FMemo"));
    DBMemo1->moveCursor(QTextCursor::End);
    DBMemo1->setFocus();
}

void TfrmPatientMemo::btnSaveClick()
{
    if (!FclientDataset) {
        accept();
        return;
    }
    try {
        // The module posts the edit in progress, reports a failing store itself and keeps the
        // change pending; the window stays open so that nothing typed is lost.
        if (!dmData->ApplyUpdateCDSToDB({FclientDataset}))
            return;
    } catch (const std::exception& e) {
        // The module only catches its own errors: do not leave its transaction open.
        try {
            if (dmData->inComposedWrite())
                dmData->TransactionRollBack();
        } catch (const std::exception&) {
        }
        ShowMessage(QString::fromUtf8(e.what()));
        return;
    }
    accept();
}

void TfrmPatientMemo::btnCancelClick()
{
    // Typed text stays a pending change of the patient row; the record window stores it.
    reject();
}
