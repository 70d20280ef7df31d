#include "basicinfo.h"

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
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <exception>

namespace {

const QString kModify = QStringLiteral(
    "update t_subMessage set FInterID=:FInterID,FName=:FName,FTypeID=:FTypeID,FUSE=:FUSE where "
    "FInterID=:FInterID");
const QString kInsert = QStringLiteral("insert into t_subMessage(FInterID,FName,FTypeID,FUSE) "
                                       "values(:FInterID,:FName,:FTypeID,:FUSE)");
const QString kDelete = QStringLiteral("delete from t_subMessage  where FInterID=:FInterID");
const QString kNewKey =
    QStringLiteral("select case  when max(FInterID) is null then 1 else  max(FInterID)+1 end as "
                   "FMaxInterID from t_subMessage");

DataGrid* makeList(QWidget* parent, const char* name, const QString& column, const QString& caption)
{
    auto* g = new DataGrid(parent);
    g->setObjectName(QString::fromLatin1(name));
    g->addColumn(column, QStringLiteral("FNAME"), caption);
    QHeaderView* header = g->horizontalHeader();
    header->setSectionsMovable(false);
    header->setSectionsClickable(false);
    header->setSectionResizeMode(QHeaderView::Stretch);
    return g;
}

// The stored rows again, with the cursor back on key when it is still there.
} // namespace

TfmBasicInfo::TfmBasicInfo(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("fmBasicInfo"));
    setWindowTitle(QStringLiteral("基础资料"));

    cdsUnit = newDataSet(this, QStringLiteral("cdsUnit"), dspUnit, QStringLiteral("dspUnit"));
    dspUnit->setUpdateStatements(kModify, kInsert, kDelete);
    cdsMedicineList = newDataSet(this, QStringLiteral("cdsMedicineList"), dspMedicineList,
                                 QStringLiteral("dspMedicineList"));
    dspMedicineList->setUpdateStatements(kModify, kInsert, kDelete);
    cdsCheckDelete = newDataSet(this, QStringLiteral("cdsCheckDelete"), dspCheckDelete,
                                QStringLiteral("dspCheckDelete"));

    buildWindow();

    try {
        dmData->GetDataset(*cdsUnit, QStringLiteral("select * from t_subMessage where FTypeID=4 "
                                                    "order by FInterID asc "));
        dmData->GetDataset(*cdsMedicineList,
                           QStringLiteral("select * from t_subMessage where FTypeID=5 order by "
                                          "FInterID asc "));
    } catch (const DbError& e) {
        ShowException(e.message());
    }
    // The name column's length, so that a longer name is refused while typing.
    const int name = cdsUnit->fieldIndex(QStringLiteral("FName"));
    const int size = name >= 0 ? cdsUnit->field(name).size : 0;
    edtName->setMaxLength(size > 0 ? size : 200);

    GridUnit->setDataSet(cdsUnit);
    GridMedicine->setDataSet(cdsMedicineList);
    connect(cdsUnit, &ClientDataSet::currentChanged, this, [this] { onCurrentChanged(cdsUnit); });
    connect(cdsMedicineList, &ClientDataSet::currentChanged, this,
            [this] { onCurrentChanged(cdsMedicineList); });

    pageChange();
    applyLanguage();
}

void TfmBasicInfo::buildWindow()
{
    RzPanel2 = new QWidget(this);
    RzPanel2->setObjectName(QStringLiteral("RzPanel2"));
    RzPanel2->setFixedHeight(8);

    cxPageControl1 = new QTabWidget(this);
    cxPageControl1->setObjectName(QStringLiteral("cxPageControl1"));
    tsUnit = new QWidget;
    tsUnit->setObjectName(QStringLiteral("tsUnit"));
    GridUnit =
        makeList(tsUnit, "GridUnit", QStringLiteral("GridUnitFNAME"), QStringLiteral("药品单位"));
    auto* unitLayout = new QVBoxLayout(tsUnit);
    unitLayout->setContentsMargins(2, 2, 2, 2);
    unitLayout->addWidget(GridUnit);
    tsMedicine = new QWidget;
    tsMedicine->setObjectName(QStringLiteral("tsMedicine"));
    GridMedicine = makeList(tsMedicine, "GridMedicine", QStringLiteral("GridMedicineFNAME"),
                            QStringLiteral("药品名称"));
    auto* medicineLayout = new QVBoxLayout(tsMedicine);
    medicineLayout->setContentsMargins(2, 2, 2, 2);
    medicineLayout->addWidget(GridMedicine);
    cxPageControl1->addTab(tsUnit, QStringLiteral(" 药品单位 "));
    cxPageControl1->addTab(tsMedicine, QStringLiteral(" 处方药 "));

    // The captioned controls must be direct children of the bottom panel.
    RzPanel1 = new CaptionPanel(this);
    RzPanel1->setObjectName(QStringLiteral("RzPanel1"));
    lblItem = new QLabel(QStringLiteral("药品单位："), RzPanel1);
    lblItem->setObjectName(QStringLiteral("lblItem"));
    edtName = new QLineEdit(RzPanel1);
    edtName->setObjectName(QStringLiteral("edtName"));
    lblItem->setBuddy(edtName);
    chkUse = new QCheckBox(QStringLiteral("启用"), RzPanel1);
    chkUse->setObjectName(QStringLiteral("chkUse"));
    btnPrior = makeButton(RzPanel1, "btnPrior", QStringLiteral("上条"));
    btnNext = makeButton(RzPanel1, "btnNext", QStringLiteral("下条"));
    btnInsert = makeButton(RzPanel1, "btnInsert", QStringLiteral("插入"));
    btnDelete = makeButton(RzPanel1, "btnDelete", QStringLiteral("删除"));
    btnEdit = makeButton(RzPanel1, "btnEdit", QStringLiteral("编辑"));
    btnCancel = makeButton(RzPanel1, "btnCancel", QStringLiteral("撤销"));
    btnSave = makeButton(RzPanel1, "btnSave", QStringLiteral("保存"));
    btnClose = makeButton(RzPanel1, "btnClose", QStringLiteral("关闭"));

    auto* bottom = new QVBoxLayout(RzPanel1);
    bottom->setContentsMargins(8, 8, 8, 8);
    auto* input = new QHBoxLayout;
    input->addWidget(lblItem);
    input->addWidget(edtName, 1);
    input->addWidget(chkUse);
    input->addSpacing(12);
    input->addWidget(btnPrior);
    input->addWidget(btnNext);
    bottom->addLayout(input);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {btnInsert, btnDelete, btnEdit, btnCancel, btnSave, btnClose})
        buttons->addWidget(b);
    bottom->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 0, 6, 6);
    layout->addWidget(RzPanel2);
    layout->addWidget(cxPageControl1, 1);
    layout->addWidget(RzPanel1);
    resize(600, 520);

    connect(cxPageControl1, &QTabWidget::currentChanged, this, [this] { pageChange(); });
    connect(btnPrior, &QPushButton::clicked, this, &TfmBasicInfo::btnPriorClick);
    connect(btnNext, &QPushButton::clicked, this, &TfmBasicInfo::btnNextClick);
    connect(btnInsert, &QPushButton::clicked, this, &TfmBasicInfo::btnInsertClick);
    connect(btnEdit, &QPushButton::clicked, this, &TfmBasicInfo::btnEditClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfmBasicInfo::btnCancelClick);
    connect(btnSave, &QPushButton::clicked, this, &TfmBasicInfo::btnSaveClick);
    connect(btnDelete, &QPushButton::clicked, this, &TfmBasicInfo::btnDeleteClick);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
}

void TfmBasicInfo::run(QWidget* parent)
{
    TfmBasicInfo w(parent);
    w.exec();
}

void TfmBasicInfo::applyLanguage()
{
    try {
        dmData->SetFormName(this, QStringLiteral("BasicInfo"));
        dmData->ChangeLanguage(GridUnit, QStringLiteral("BasicInfo"), QStringLiteral("Grid1"));
        dmData->ChangeLanguage(GridMedicine, QStringLiteral("BasicInfo"), QStringLiteral("Grid2"));
        dmData->ChangeLanguage(RzPanel1, QStringLiteral("BasicInfo"),
                               QStringLiteral("BottomPanel"));
    } catch (const DbError& e) {
        ShowException(e.message());
    }
    const int lang = dmData->FLanguageIndex;
    if (lang == 1) {
        cxPageControl1->setTabText(0, QStringLiteral("单位"));
        cxPageControl1->setTabText(1, QStringLiteral("处方药"));
    } else if (lang == 2) {
        cxPageControl1->setTabText(0, QStringLiteral("Unit"));
        cxPageControl1->setTabText(1, QStringLiteral("Medicine"));
    }
    setItemLabel();
}

void TfmBasicInfo::pageChange()
{
    if (cxPageControl1->currentWidget() == tsMedicine) {
        FInfoType = 5;
        FCurrentCDS = cdsMedicineList;
    } else {
        FInfoType = 4;
        FCurrentCDS = cdsUnit;
    }
    setItemLabel();
    btnCancelClick();
}

void TfmBasicInfo::setItemLabel()
{
    const int lang = dmData ? dmData->FLanguageIndex : 0;
    if (lang == 1)
        lblItem->setText(FInfoType == 5 ? QStringLiteral("药品名称") : QStringLiteral("药品单位"));
    else if (lang == 2)
        lblItem->setText(FInfoType == 5 ? QStringLiteral("Medicine") : QStringLiteral("Unit"));
}

void TfmBasicInfo::showCurrentItem()
{
    if (!FCurrentCDS || !FCurrentCDS->isActive() || FCurrentCDS->isEmpty() ||
        FCurrentCDS->recNo() < 0) {
        edtName->clear();
        return;
    }
    edtName->setText(FCurrentCDS->value(QStringLiteral("FName")).toString());
    const QVariant use = FCurrentCDS->value(QStringLiteral("FUse"));
    if (!use.isNull() && use.toInt() == 1)
        chkUse->setChecked(true);
    else if (!use.isNull() && use.toInt() == 0)
        chkUse->setChecked(false);
}

void TfmBasicInfo::onCurrentChanged(ClientDataSet* list)
{
    // While browsing, the inputs always show the row under the cursor, however it got there.
    if (list == FCurrentCDS && !m_input)
        showCurrentItem();
}

void TfmBasicInfo::setInputState(bool input)
{
    m_input = input;
    edtName->setEnabled(input);
    chkUse->setEnabled(input);
    // Both lists and the tabs are held still while an item is typed: a tab change would
    // silently drop the input.
    GridUnit->setEnabled(!input);
    GridMedicine->setEnabled(!input);
    cxPageControl1->tabBar()->setEnabled(!input);
    btnPrior->setEnabled(!input);
    btnNext->setEnabled(!input);
    btnDelete->setEnabled(!input);
    btnSave->setEnabled(input);
}

void TfmBasicInfo::btnPriorClick()
{
    FCurrentCDS->prior();
    showCurrentItem();
}

void TfmBasicInfo::btnNextClick()
{
    FCurrentCDS->next();
    showCurrentItem();
}

void TfmBasicInfo::btnInsertClick()
{
    FAction = QStringLiteral("insert");
    setInputState(true);
    btnEdit->setEnabled(false);
    btnInsert->setEnabled(true);
    edtName->clear();
    edtName->setFocus();
}

void TfmBasicInfo::btnEditClick()
{
    if (!FCurrentCDS->isActive() || FCurrentCDS->isEmpty())
        return;
    FAction = QStringLiteral("edit");
    setInputState(true);
    btnInsert->setEnabled(false);
    btnEdit->setEnabled(true);
    showCurrentItem();
    edtName->setFocus();
}

void TfmBasicInfo::btnCancelClick()
{
    FAction.clear();
    setInputState(false);
    btnEdit->setEnabled(true);
    btnInsert->setEnabled(true);
    showCurrentItem();
}

void TfmBasicInfo::btnSaveClick()
{
    if (FAction.isEmpty()) {
        setInputState(false);
        btnEdit->setEnabled(true);
        btnInsert->setEnabled(true);
        return;
    }
    ClientDataSet* ds = FCurrentCDS;
    const bool inserting = FAction == QLatin1String("insert");
    if (!inserting && ds->isEmpty())
        return;
    const bool stored = storeListRow(*ds, [&] {
        if (inserting) {
            const QVariant key = dmData->GetScular(kNewKey);
            ds->append();
            ds->setValue(QStringLiteral("FInterID"), key);
        } else {
            ds->edit();
        }
        ds->setValue(QStringLiteral("FName"), edtName->text());
        ds->setValue(QStringLiteral("FTypeID"), FInfoType);
        ds->setValue(QStringLiteral("FUse"), chkUse->isChecked() ? 1 : 0);
    });
    // On failure the typed item stays open for another try.
    if (!stored)
        return;
    // Stored: a second Save must not store the item again.
    FAction.clear();
    setInputState(false);
    btnEdit->setEnabled(true);
    btnInsert->setEnabled(true);
    showCurrentItem();
}

void TfmBasicInfo::btnDeleteClick()
{
    ClientDataSet* ds = FCurrentCDS;
    const QVariant key = currentKey(*ds);
    if (key.isNull())
        return;
    try {
        dmData->OpenClientDataset(
            *cdsCheckDelete,
            FInfoType == 5 ? QStringLiteral("select 1 from t_medicine where FMedicine=?  ")
                           : QStringLiteral("select 1 from t_medicine where FUnitID=?  "),
            {key});
    } catch (const std::exception& e) {
        reportDataError(e);
        return;
    }
    if (!cdsCheckDelete->isEmpty()) {
        const int lang = dmData->FLanguageIndex;
        if (lang == 1)
            ShowMessage(QStringLiteral("该项目已经被引用，不能删除"));
        else if (lang == 2)
            ShowMessage(
                QStringLiteral("The Item selected is already referenced and can not be deleted!"));
        return;
    }
    ds->deleteRecord();
    if (!dmData->ApplyUpdateCDSToDB({ds}))
        withdrawChanges(*ds, key); // still stored: show it again
    showCurrentItem();
}

bool TfmBasicInfo::event(QEvent* e)
{
    if (e->type() == QEvent::Type(WM_LANGUAGE_CHANGED)) {
        applyLanguage();
        return true;
    }
    return QDialog::event(e);
}
