#include "user.h"

#include "captionpanel.h"
#include "clientdataset.h"
#include "datagrid.h"
#include "dberror.h"
#include "dmdata.h"
#include "listrow.h"
#include "messagebox.h"
#include "namedwidgets.h"
#include "windowmessages.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <exception>

namespace {

const QString kModify = QStringLiteral("update t_user set FAccount=:FAccount,FName=:FName,"
                                       "FPsw=:FPsw,FIsAdmin=:FIsAdmin,FUse=:FUse where "
                                       "FInterID=:FInterID");
const QString kInsert =
    QStringLiteral("insert into t_user(FInterID,FAccount,FName,FPsw,FIsAdmin,FUse) "
                   "values(:FInterID,:FAccount,:FName,:FPsw,:FIsAdmin,:FUse)");
const QString kDelete = QStringLiteral("delete from t_user  where FInterID=:FInterID");
const QString kNewKey =
    QStringLiteral("select case  when max(FInterID) is null then 1 else  max(FInterID)+1 end as "
                   "FMaxInterID from t_user");

// The in-use column as a check box: ticked for 1, clear for anything else.
class CheckColumnDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->features |= QStyleOptionViewItem::HasCheckIndicator;
        option->checkState =
            index.data().toString() == QLatin1String("1") ? Qt::Checked : Qt::Unchecked;
        option->text.clear();
    }
};

} // namespace

TfrmUser::TfrmUser(QWidget* parent)
    // A title but no system buttons: the window is left with Close.
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("frmUser"));
    setWindowTitle(QStringLiteral("用户管理"));

    cdsUser = newDataSet(this, QStringLiteral("cdsUser"), dspUser, QStringLiteral("dspUser"));
    dspUser->setUpdateStatements(kModify, kInsert, kDelete);

    buildWindow();
    connect(cdsUser, &ClientDataSet::currentChanged, this, [this] { rowChanged(); });
    cxGrid1DBTableView1->setDataSet(cdsUser);
    setInputState(false);
    try {
        dmData->OpenClientDataset(*cdsUser,
                                  QStringLiteral("select * from t_user order by FInterID asc"));
    } catch (const DbError& e) {
        ShowException(e.message());
    }
    // Longer names and passwords than the columns hold are refused while typing.
    for (auto [edit, field] : {std::pair{edtUser, "FName"}, std::pair{edtPassword, "FPsw"}}) {
        const int col = cdsUser->fieldIndex(QString::fromLatin1(field));
        const int size = col >= 0 ? cdsUser->field(col).size : 0;
        edit->setMaxLength(size > 0 ? size : 200);
    }
    applyLanguage();
}

void TfrmUser::buildWindow()
{
    // The captioned controls must be direct children of the top panel.
    PanelInput = new CaptionPanel(this);
    PanelInput->setObjectName(QStringLiteral("PanelInput"));
    lblUser = new QLabel(QStringLiteral("用户："), PanelInput);
    lblUser->setObjectName(QStringLiteral("lblUser"));
    edtUser = new QLineEdit(PanelInput);
    edtUser->setObjectName(QStringLiteral("edtUser"));
    lblUser->setBuddy(edtUser);
    lblPassword = new QLabel(QStringLiteral("密码："), PanelInput);
    lblPassword->setObjectName(QStringLiteral("lblPassword"));
    edtPassword = new QLineEdit(PanelInput);
    edtPassword->setObjectName(QStringLiteral("edtPassword"));
    edtPassword->setEchoMode(QLineEdit::Password);
    lblPassword->setBuddy(edtPassword);
    chkUse = new QCheckBox(QStringLiteral("启用"), PanelInput);
    chkUse->setObjectName(QStringLiteral("chkUse"));

    auto* input = new QGridLayout(PanelInput);
    input->setContentsMargins(10, 10, 10, 10);
    input->addWidget(lblUser, 0, 0);
    input->addWidget(edtUser, 0, 1);
    input->addWidget(lblPassword, 1, 0);
    input->addWidget(edtPassword, 1, 1);
    input->addWidget(chkUse, 2, 1);
    input->setColumnStretch(1, 1);

    cxGrid1DBTableView1 = new DataGrid(this);
    cxGrid1DBTableView1->setObjectName(QStringLiteral("cxGrid1DBTableView1"));
    cxGrid1DBTableView1->addColumn(QStringLiteral("cxGrid1DBTableView1FNAME"),
                                   QStringLiteral("FNAME"), QStringLiteral("名称"));
    const int use = cxGrid1DBTableView1->addColumn(QStringLiteral("cxGrid1DBTableView1FUSE"),
                                                   QStringLiteral("FUSE"), QStringLiteral("启用"));
    const int psw = cxGrid1DBTableView1->addColumn(QStringLiteral("cxGrid1DBTableView1FPSW"),
                                                   QStringLiteral("FPSW"), QStringLiteral("密码"));
    cxGrid1DBTableView1->setItemDelegateForColumn(use,
                                                  new CheckColumnDelegate(cxGrid1DBTableView1));
    cxGrid1DBTableView1->setColumnHidden(psw, true);
    QHeaderView* header = cxGrid1DBTableView1->horizontalHeader();
    header->setSectionsMovable(false);
    header->setSectionsClickable(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    header->setSectionResizeMode(use, QHeaderView::Fixed);
    header->resizeSection(use, 90);

    btnPrior = makeButton(this, "btnPrior", QStringLiteral("上条"));
    btnNext = makeButton(this, "btnNext", QStringLiteral("下条"));
    btnInsert = makeButton(this, "btnInsert", QStringLiteral("插入"));
    btnDelete = makeButton(this, "btnDelete", QStringLiteral("删除"));
    btnEdit = makeButton(this, "btnEdit", QStringLiteral("编辑"));
    btnCancel = makeButton(this, "btnCancel", QStringLiteral("撤销"));
    btnSave = makeButton(this, "btnSave", QStringLiteral("保存"));
    btnClose = makeButton(this, "btnClose", QStringLiteral("关闭"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(PanelInput);
    layout->addWidget(cxGrid1DBTableView1, 1);
    auto* moves = new QHBoxLayout;
    moves->addWidget(btnPrior);
    moves->addWidget(btnNext);
    moves->addStretch();
    layout->addLayout(moves);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {btnInsert, btnDelete, btnEdit, btnCancel, btnSave, btnClose})
        buttons->addWidget(b);
    layout->addLayout(buttons);
    resize(520, 480);

    connect(btnPrior, &QPushButton::clicked, this, &TfrmUser::btnPriorClick);
    connect(btnNext, &QPushButton::clicked, this, &TfrmUser::btnNextClick);
    connect(btnInsert, &QPushButton::clicked, this, &TfrmUser::btnInsertClick);
    connect(btnEdit, &QPushButton::clicked, this, &TfrmUser::btnEditClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmUser::btnCancelClick);
    connect(btnSave, &QPushButton::clicked, this, &TfrmUser::btnSaveClick);
    // Deleting accounts is not offered: the button does nothing.
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
}

void TfrmUser::run(QWidget* parent)
{
    TfrmUser w(parent);
    w.exec();
}

void TfrmUser::applyLanguage()
{
    try {
        dmData->ChangeLanguage(PanelInput, QStringLiteral("User"), QStringLiteral("PanelInput"));
        dmData->ChangeLanguage(this, QStringLiteral("User"), QStringLiteral("Form"));
        dmData->ChangeLanguage(cxGrid1DBTableView1, QStringLiteral("User"), QStringLiteral("Grid"));
        dmData->SetFormName(this, QStringLiteral("User"));
    } catch (const DbError& e) {
        ShowException(e.message());
    }
}

bool TfrmUser::currentIsAdmin() const
{
    if (!cdsUser->isActive() || cdsUser->isEmpty() || cdsUser->recNo() < 0)
        return false;
    // A missing flag counts as 0, an ordinary account.
    return cdsUser->value(QStringLiteral("FIsAdmin")).toInt() != 0;
}

void TfrmUser::rowChanged()
{
    if (m_input)
        return;
    const bool ordinary = !currentIsAdmin();
    btnDelete->setEnabled(ordinary);
    btnEdit->setEnabled(ordinary);
    btnSave->setEnabled(ordinary);
    // While browsing, the inputs always show the row under the cursor.
    showCurrentUser();
}

void TfrmUser::showCurrentUser()
{
    if (!cdsUser->isActive() || cdsUser->isEmpty() || cdsUser->recNo() < 0)
        return;
    edtUser->setText(cdsUser->value(QStringLiteral("FName")).toString());
    edtPassword->setText(cdsUser->value(QStringLiteral("FPsw")).toString());
    const QVariant use = cdsUser->value(QStringLiteral("FUse"));
    if (!use.isNull() && use.toInt() == 1)
        chkUse->setChecked(true);
    else if (!use.isNull() && use.toInt() == 0)
        chkUse->setChecked(false);
}

void TfrmUser::setInputState(bool input)
{
    m_input = input;
    edtUser->setEnabled(input);
    edtPassword->setEnabled(input);
    chkUse->setEnabled(input);
    cxGrid1DBTableView1->setEnabled(!input);
    btnPrior->setEnabled(!input);
    btnNext->setEnabled(!input);
    btnDelete->setEnabled(!input);
    btnEdit->setEnabled(!input);
    btnInsert->setEnabled(!input);
    if (input)
        btnSave->setEnabled(true);
    else
        rowChanged(); // the administrator's row stays locked
}

void TfrmUser::btnPriorClick()
{
    if (cdsUser->isEmpty())
        return;
    cdsUser->prior();
    showCurrentUser();
}

void TfrmUser::btnNextClick()
{
    if (cdsUser->isEmpty())
        return;
    cdsUser->next();
    showCurrentUser();
}

void TfrmUser::btnInsertClick()
{
    FAction = QStringLiteral("insert");
    setInputState(true);
    btnInsert->setEnabled(true);
    edtUser->clear();
    edtPassword->clear();
    chkUse->setChecked(false);
    edtUser->setFocus();
}

void TfrmUser::btnEditClick()
{
    if (cdsUser->isEmpty() || currentIsAdmin())
        return;
    FAction = QStringLiteral("edit");
    setInputState(true);
    btnEdit->setEnabled(true);
    showCurrentUser();
    edtUser->setFocus();
}

void TfrmUser::btnCancelClick()
{
    FAction.clear();
    setInputState(false);
    showCurrentUser();
}

void TfrmUser::btnSaveClick()
{
    if (FAction.isEmpty()) {
        setInputState(false);
        return;
    }
    const QString name = edtUser->text();
    const QString password = edtPassword->text();
    // Refused before anything reaches the list, so that no half row waits for a later save;
    // the inputs stay open with what was typed.
    if (name.trimmed().isEmpty()) {
        ShowInfo(QStringLiteral("用户名不能为空！"));
        edtUser->setFocus();
        return;
    }
    if (password.isEmpty()) {
        ShowInfo(QStringLiteral("密码不能为空！"));
        edtPassword->setFocus();
        return;
    }
    const bool inserting = FAction == QLatin1String("insert");
    if (!inserting && cdsUser->isEmpty())
        return;
    const bool stored = storeListRow(*cdsUser, [&] {
        if (inserting) {
            const QVariant key = dmData->GetScular(kNewKey);
            cdsUser->append();
            cdsUser->setValue(QStringLiteral("FInterID"), key);
            cdsUser->setValue(QStringLiteral("FIsAdmin"), 0);
        } else {
            cdsUser->edit();
        }
        cdsUser->setValue(QStringLiteral("FAccount"), name);
        cdsUser->setValue(QStringLiteral("FName"), name);
        cdsUser->setValue(QStringLiteral("FPsw"), password);
        cdsUser->setValue(QStringLiteral("FUse"), chkUse->isChecked() ? 1 : 0);
    });
    // On failure the inputs keep the typed account.
    if (!stored)
        return;
    // Stored: a second Save must not add the account again.
    FAction.clear();
    setInputState(false);
    showCurrentUser();
}

bool TfrmUser::event(QEvent* e)
{
    if (e->type() == QEvent::Type(WM_LANGUAGE_CHANGED)) {
        applyLanguage();
        return true;
    }
    return QDialog::event(e);
}
