#include "seeonepatient.h"

#include "appstate.h"
#include "bindings.h"
#include "clientdataset.h"
#include "datagrid.h"
#include "dberror.h"
#include "dmdata.h"
#include "filedialogfilter.h"
#include "findbook.h"
#include "formlookup.h"
#include "imagecodec.h"
#include "memo.h"
#include "messagebox.h"
#include "namedwidgets.h"
#include "patientstore.h"
#include "selectitem.h"
#include "windowmessages.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const QString kLookupSql = QStringLiteral("select * from t_subMessage where FTypeID=%1 order by "
                                          "FInterID asc ");
const QString kPatientSql =
    QStringLiteral("select * from t_Patient where FInterID=? order by FInterID asc");
const char* kHistoryBlue = "background-color: rgb(183, 211, 242);";

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

template <typename W> W* make(QWidget* parent, const char* name)
{
    auto* w = new W(parent);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

} // namespace

TfrmSeeOnePatient::TfrmSeeOnePatient(int patientId, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmSeeOnePatient"));
    setWindowTitle(QStringLiteral("诊疗"));
    setAttribute(Qt::WA_DeleteOnClose);

    cdsPatient =
        newDataSet(this, QStringLiteral("cdsPatient"), dspPatient, QStringLiteral("dspPatient"));
    PatientStore::configurePatientProvider(*dspPatient);
    cdsPatient->setAppendOnFirstEdit(true);
    cdsPatient->onNewRecord = [](ClientDataSet& ds) {
        const QDate today = QDate::currentDate();
        ds.setValue(QStringLiteral("FCreateDate"), today);
        ds.setValue(QStringLiteral("FInterID"), -1);
        ds.setValue(QStringLiteral("FFIRST_TREATING_DATE"), today);
        for (int i = 0; i < ds.fieldCount(); ++i) {
            const FieldDef& f = ds.field(i);
            if (f.type == FieldType::String && !f.isLookup)
                ds.setValue(i, QString());
        }
    };

    DataSetProvider* unused = nullptr;
    cdsSex = newDataSet(this, QStringLiteral("cdsSex"), unused, QStringLiteral("dspSex"));
    cdsDoctor = newDataSet(this, QStringLiteral("cdsDoctor"), unused, QStringLiteral("dspDoctor"));
    cdsBloodType =
        newDataSet(this, QStringLiteral("cdsBloodType"), unused, QStringLiteral("dspBloodType"));
    cdsUnit = newDataSet(this, QStringLiteral("cdsUnit"), unused, QStringLiteral("dspUnit"));
    cdsMedicineList = newDataSet(this, QStringLiteral("cdsMedicineList"), dspLookup,
                                 QStringLiteral("dspMedicineList"));

    cdsTreating =
        newDataSet(this, QStringLiteral("cdsTreating"), dspTreating, QStringLiteral("dspTreating"));
    PatientStore::configureTreatingProvider(*dspTreating);
    cdsTreating->setAppendOnFirstEdit(true);
    cdsTreating->onNewRecord = [](ClientDataSet& ds) {
        ds.setValue(QStringLiteral("FInterID"), -1);
        ds.setValue(QStringLiteral("FPatientID"), CurrentPatientID);
    };

    cdsMedicine =
        newDataSet(this, QStringLiteral("cdsMedicine"), dspMedicine, QStringLiteral("dspMedicine"));
    PatientStore::configureMedicineProvider(*dspMedicine);
    cdsMedicine->onNewRecord = [this](ClientDataSet& ds) {
        if (!cdsTreating->isEmpty())
            ds.setValue(QStringLiteral("FInterID"), cdsTreating->value(QStringLiteral("FInterID")));
        const int entry = PatientStore::nextEntryId(ds);
        ds.setValue(QStringLiteral("FEntryID"), entry);
        ds.setValue(QStringLiteral("FSort"), entry);
        ds.setValue(QStringLiteral("FPatientID"), CurrentPatientID);
    };
    cdsMedicine->addLookupField(QStringLiteral("FMedcine_find"), QStringLiteral("FMedicine"),
                                cdsMedicineList, QStringLiteral("FINTERID"),
                                QStringLiteral("FNAME"));
    cdsMedicine->addLookupField(QStringLiteral("FUnitName_find"), QStringLiteral("FUnitID"),
                                cdsUnit, QStringLiteral("FINTERID"), QStringLiteral("FNAME"));

    DataSetProvider* historyProvider = nullptr;
    cdsFangAnList = newDataSet(this, QStringLiteral("cdsFangAnList"), historyProvider,
                               QStringLiteral("dspFangAnList"));
    PatientStore::configureTreatingProvider(*historyProvider);
    cdsFangAnList->addLookupField(QStringLiteral("FDoctorName_Find"), QStringLiteral("FDoctorID"),
                                  cdsDoctor, QStringLiteral("FINTERID"), QStringLiteral("FNAME"));
    cdsFangAnList->onAfterScroll = [this](ClientDataSet& ds) {
        if (!ds.isEmpty())
            LoadHistoryPrescriptions(ds.value(QStringLiteral("FInterID")).toInt());
    };

    cdsMedicineFangAn = newDataSet(this, QStringLiteral("cdsMedicineFangAn"), dspMedicineFangAn,
                                   QStringLiteral("dspMedicineFangAn"));
    cdsMedicineFangAn->addLookupField(QStringLiteral("FMedcine_find"), QStringLiteral("FMedicine"),
                                      cdsMedicineList, QStringLiteral("FINTERID"),
                                      QStringLiteral("FNAME"));
    cdsMedicineFangAn->addLookupField(QStringLiteral("FUnitName_find"), QStringLiteral("FUnitID"),
                                      cdsUnit, QStringLiteral("FINTERID"), QStringLiteral("FNAME"));

    openPhotoDialog = [this](const QString& filter) {
        return QFileDialog::getOpenFileName(this, QString(), QString(), fileDialogFilter(filter));
    };

    PageControl1 = makeNamed<QTabWidget>(this, "PageControl1");
    tsPatient = makeNamed<QWidget>(PageControl1, "TabSheet1");
    tsTreatment = makeNamed<QWidget>(PageControl1, "TabSheet2");
    tsHistory = makeNamed<QWidget>(PageControl1, "TabSheet3");
    PageControl1->addTab(tsPatient, QStringLiteral("病人信息"));
    PageControl1->addTab(tsTreatment, QStringLiteral("当次诊疗"));
    PageControl1->addTab(tsHistory, QStringLiteral("历次诊疗方案查询"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(PageControl1);
    buildPatientTab(tsPatient);
    buildTreatmentTab(tsTreatment);
    buildHistoryTab(tsHistory);

    // Construction steps: key, lookups, the patient row, empty treatment, history.
    CurrentPatientID = patientId;
    try {
        LoadLookups();
        openPatient(patientId);
        OpenEmptyTreatment(-10);
        LoadTreatmentHistory(patientId);
    } catch (const DbError& e) {
        ShowException(e.message());
    }
    bindSexCombo();
    PageControl1->setCurrentWidget(tsPatient);
    if (patientId == -10)
        SetNewPatientMode(true);
    ShowPatientPicture();
    ApplyLanguage();
}

TfrmSeeOnePatient::TfrmSeeOnePatient(int patientId, const QString& selectedImages, QWidget* parent)
    : TfrmSeeOnePatient(patientId, parent)
{
    FStrArraySelectedImageIndex = selectedImages;
}

TfrmSeeOnePatient::~TfrmSeeOnePatient() = default;

int TfrmSeeOnePatient::language() const
{
    return dmData ? dmData->FLanguageIndex : 0;
}

// ---------------------------------------------------------------------------------------------
// Layout

void TfrmSeeOnePatient::buildPatientTab(QWidget* page)
{
    auto* left = new QWidget(page);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(6, 6, 6, 6);

    PicPanel = makeNamed<QWidget>(left, "PicPanel");
    imgPatient = makeNamed<QLabel>(PicPanel, "imgPatient");
    imgPatient->setFixedSize(150, 180);
    imgPatient->setAlignment(Qt::AlignCenter);
    imgPatient->setFrameShape(QFrame::StyledPanel);
    btnImport = makeButton(PicPanel, "btnImport", QStringLiteral("引入照片"));
    btnNote = makeButton(PicPanel, "btnNote", QStringLiteral("记事簿"));
    btnImageMgr = makeButton(PicPanel, "btnImageMgr", QStringLiteral("浏览影像"));
    btnSearch = makeButton(PicPanel, "btnSearch", QStringLiteral("搜索病历"));
    btnSave = makeButton(PicPanel, "btnSave", QStringLiteral("保存"));
    btnDelete = makeButton(PicPanel, "btnDelete", QStringLiteral("删除"));
    auto* pic = new QGridLayout(PicPanel);
    pic->addWidget(imgPatient, 0, 0, 4, 2);
    pic->addWidget(btnImport, 0, 2);
    pic->addWidget(btnNote, 1, 2);
    pic->addWidget(btnImageMgr, 2, 2);
    pic->addWidget(btnSearch, 3, 2);
    pic->addWidget(btnSave, 4, 0);
    pic->addWidget(btnDelete, 4, 1);
    pic->setColumnStretch(3, 1);
    leftLayout->addWidget(PicPanel);

    PageControl2 = makeNamed<QTabWidget>(left, "PageControl2");
    auto* basic = makeNamed<QWidget>(PageControl2, "tsBasicInfo");
    PageControl2->addTab(basic, QStringLiteral("基本信息"));
    leftLayout->addWidget(PageControl2, 1);

    BasicInfo1 = makeNamed<QWidget>(basic, "BasicInfo1");
    auto* grid = new QGridLayout(BasicInfo1);
    auto row = [&](int r, int c, const char* labelName, const QString& caption, QWidget* w) {
        grid->addWidget(makeLabel(BasicInfo1, labelName, caption), r, c);
        grid->addWidget(w, r, c + 1);
    };
    edtName = makeNamed<QLineEdit>(BasicInfo1, "edtName");
    QFont nameFont = edtName->font();
    nameFont.setBold(true);
    nameFont.setPixelSize(13);
    edtName->setFont(nameFont);
    edtName->setStyleSheet(QStringLiteral("color: blue;"));
    cmbSex = makeNamed<QComboBox>(BasicInfo1, "cmbSex");
    spnAge = makeNamed<QSpinBox>(BasicInfo1, "spnAge");
    spnAge->setRange(0, 100);
    edtIDCard = makeNamed<QLineEdit>(BasicInfo1, "edtIDCard");
    edtCard = makeNamed<QLineEdit>(BasicInfo1, "edtCard");
    edtBookID = makeNamed<QLineEdit>(BasicInfo1, "edtBookID");
    cmbBloodType = makeNamed<QComboBox>(BasicInfo1, "cmbBloodType");
    edtHomeTel = makeNamed<QLineEdit>(BasicInfo1, "edtHomeTel");
    edtMobile = makeNamed<QLineEdit>(BasicInfo1, "edtMobile");
    edtQQ = makeNamed<QLineEdit>(BasicInfo1, "edtQQ");
    edtHomeAddr = makeNamed<QLineEdit>(BasicInfo1, "edtHomeAddr");
    row(0, 0, "lblName", QStringLiteral("姓名"), edtName);
    row(0, 2, "lblSex", QStringLiteral("性别"), cmbSex);
    row(1, 0, "lblAge", QStringLiteral("年龄"), spnAge);
    row(1, 2, "lblBloodType", QStringLiteral("血型"), cmbBloodType);
    row(2, 0, "lblIDCard", QStringLiteral("身份证号"), edtIDCard);
    row(2, 2, "lblCard", QStringLiteral("诊疗卡号"), edtCard);
    row(3, 0, "lblBookID", QStringLiteral("病历号"), edtBookID);
    row(3, 2, "lblQQ", QStringLiteral("QQ"), edtQQ);
    row(4, 0, "lblHomeTel", QStringLiteral("家庭电话"), edtHomeTel);
    row(4, 2, "lblMobile", QStringLiteral("手机"), edtMobile);
    grid->addWidget(makeLabel(BasicInfo1, "lblHomeAddr", QStringLiteral("家庭住址")), 5, 0);
    grid->addWidget(edtHomeAddr, 5, 1, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    Allergy = makeNamed<QWidget>(basic, "Allergy");
    auto* allergyLayout = new QHBoxLayout(Allergy);
    allergyLayout->setContentsMargins(0, 6, 0, 0);
    allergyLayout->addWidget(makeLabel(Allergy, "lblAllergy", QStringLiteral("药物过敏史：")));
    allergyLayout->addStretch();
    memAllergy = makeNamed<QPlainTextEdit>(basic, "memAllergy");

    auto* basicLayout = new QVBoxLayout(basic);
    basicLayout->addWidget(BasicInfo1);
    basicLayout->addWidget(Allergy);
    basicLayout->addWidget(memAllergy, 1);

    auto* pageLayout = new QHBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->addWidget(left, 1);
    pageLayout->addStretch(1);

    bindLineEdit(edtName, cdsPatient, QStringLiteral("FName"));
    bindSpinBox(spnAge, cdsPatient, QStringLiteral("FAge"));
    bindLineEdit(edtIDCard, cdsPatient, QStringLiteral("FIDCard"));
    bindLineEdit(edtCard, cdsPatient, QStringLiteral("FCard"));
    bindLineEdit(edtBookID, cdsPatient, QStringLiteral("FBookID"));
    bindLookupComboBox(cmbBloodType, cdsPatient, QStringLiteral("FBloodType"), cdsBloodType,
                       QStringLiteral("FINTERID"), QStringLiteral("FNAME"));
    bindLineEdit(edtHomeTel, cdsPatient, QStringLiteral("FHome_Tel"));
    bindLineEdit(edtMobile, cdsPatient, QStringLiteral("FMobile"));
    bindLineEdit(edtQQ, cdsPatient, QStringLiteral("FQQ"));
    bindLineEdit(edtHomeAddr, cdsPatient, QStringLiteral("FHome_Addr"));
    bindMemo(memAllergy, cdsPatient, QStringLiteral("FNouse_Medicine"));

    connect(btnSave, &QPushButton::clicked, this, &TfrmSeeOnePatient::btnSaveClick);
    connect(btnDelete, &QPushButton::clicked, this, &TfrmSeeOnePatient::btnDeleteClick);
    connect(btnImport, &QPushButton::clicked, this, &TfrmSeeOnePatient::btnImportClick);
    connect(btnNote, &QPushButton::clicked, this, &TfrmSeeOnePatient::btnNoteClick);
    connect(btnImageMgr, &QPushButton::clicked, this, &TfrmSeeOnePatient::btnImageMgrClick);
    connect(btnSearch, &QPushButton::clicked, this, &TfrmSeeOnePatient::btnSearchClick);
}

void TfrmSeeOnePatient::buildTreatmentTab(QWidget* page)
{
    auto* split = new QSplitter(Qt::Vertical, page);

    PanelDiseaseDesc = makeNamed<QWidget>(split, "PanelDiseaseDesc");
    dtpDate = makeNamed<QDateEdit>(PanelDiseaseDesc, "dtpDate");
    dtpDate->setCalendarPopup(true);
    cmbDoctor = makeNamed<QComboBox>(PanelDiseaseDesc, "cmbDoctor");
    memDescription = makeNamed<QPlainTextEdit>(PanelDiseaseDesc, "memDescription");
    auto* upper = new QGridLayout(PanelDiseaseDesc);
    upper->addWidget(makeLabel(PanelDiseaseDesc, "lblDate", QStringLiteral("诊疗日期：")), 0, 0);
    upper->addWidget(dtpDate, 0, 1);
    upper->addWidget(makeLabel(PanelDiseaseDesc, "lblDoctor", QStringLiteral("接诊医生：")), 0, 2);
    upper->addWidget(cmbDoctor, 0, 3);
    upper->setColumnStretch(4, 1);
    upper->addWidget(makeLabel(PanelDiseaseDesc, "lblDescription", QStringLiteral("病况描述：")), 1,
                     0, Qt::AlignTop);
    upper->addWidget(memDescription, 1, 1, 1, 4);

    panelMedicine = makeNamed<QWidget>(split, "panelMedicine");
    btnAddMedicine = makeButton(panelMedicine, "btnAddMedicine", QStringLiteral("添加"));
    btnDeleteMedicine = makeButton(panelMedicine, "btnDeleteMedicine", QStringLiteral("删除"));
    cxGrid1 = makeNamed<DataGrid>(panelMedicine, "cxGrid1");
    auto* lower = new QVBoxLayout(panelMedicine);
    auto* heading = new QHBoxLayout;
    heading->addWidget(makeLabel(panelMedicine, "lblMedicine", QStringLiteral("处方药：")));
    heading->addStretch();
    heading->addWidget(btnAddMedicine);
    heading->addWidget(btnDeleteMedicine);
    lower->addLayout(heading);
    lower->addWidget(cxGrid1, 1);
    split->setStretchFactor(0, 42);
    split->setStretchFactor(1, 58);

    cxGrid1->setDataSet(cdsMedicine);
    cxGrid1->addColumn(QStringLiteral("cxGridView1FEntryID"), QStringLiteral("FEntryID"),
                       QStringLiteral("序号"));
    const int medicineCol =
        cxGrid1->addColumn(QStringLiteral("cxGridView1FMedcine_find"),
                           QStringLiteral("FMedcine_find"), QStringLiteral("处方药"));
    const int unitCol =
        cxGrid1->addColumn(QStringLiteral("cxGridView1FUnitName_find"),
                           QStringLiteral("FUnitName_find"), QStringLiteral("单位"));
    cxGrid1->addColumn(QStringLiteral("cxGridView1FQty"), QStringLiteral("FQty"),
                       QStringLiteral("剂量"));
    cxGrid1->addColumn(QStringLiteral("cxGridView1FMemo"), QStringLiteral("FMemo"),
                       QStringLiteral("备注"));
    cxGrid1->setReadOnly(false);
    cxGrid1->setColumnButton(medicineCol);
    cxGrid1->setColumnButton(unitCol);
    cxGrid1->horizontalHeader()->setSectionsMovable(false);
    cxGrid1->horizontalHeader()->setStretchLastSection(true);
    cxGrid1->setColumnWidth(medicineCol, 180);
    cxGrid1->setContextMenuPolicy(Qt::ActionsContextMenu);
    actAddMedicine = new QAction(QStringLiteral("添加处方"), cxGrid1);
    actAddMedicine->setObjectName(QStringLiteral("actAddMedicine"));
    actDeleteMedicine = new QAction(QStringLiteral("删除处方"), cxGrid1);
    actDeleteMedicine->setObjectName(QStringLiteral("actDeleteMedicine"));
    cxGrid1->addAction(actAddMedicine);
    cxGrid1->addAction(actDeleteMedicine);

    panelTreatment = makeNamed<QWidget>(page, "panelTreatment");
    btnNewTreatment = makeButton(panelTreatment, "btnNewTreatment", QStringLiteral("新增"));
    btnSaveTreatment = makeButton(panelTreatment, "btnSaveTreatment", QStringLiteral("保存"));
    memTreatment = makeNamed<QPlainTextEdit>(panelTreatment, "memTreatment");
    auto* right = new QVBoxLayout(panelTreatment);
    auto* rightHeading = new QHBoxLayout;
    rightHeading->addWidget(
        makeLabel(panelTreatment, "lblTreatment", QStringLiteral("治疗方案：")));
    rightHeading->addStretch();
    rightHeading->addWidget(btnNewTreatment);
    rightHeading->addWidget(btnSaveTreatment);
    right->addLayout(rightHeading);
    right->addWidget(memTreatment, 1);

    auto* pageLayout = new QHBoxLayout(page);
    pageLayout->addWidget(split, 3);
    pageLayout->addWidget(panelTreatment, 2);

    bindDateEdit(dtpDate, cdsTreating, QStringLiteral("FDate"));
    bindLookupComboBox(cmbDoctor, cdsTreating, QStringLiteral("FDoctorID"), cdsDoctor,
                       QStringLiteral("FINTERID"), QStringLiteral("FNAME"));
    bindMemo(memDescription, cdsTreating, QStringLiteral("FDescription"));
    bindMemo(memTreatment, cdsTreating, QStringLiteral("FTreating"));

    connect(btnAddMedicine, &QPushButton::clicked, this, &TfrmSeeOnePatient::btnAddMedicineClick);
    connect(actAddMedicine, &QAction::triggered, this, &TfrmSeeOnePatient::btnAddMedicineClick);
    connect(btnDeleteMedicine, &QPushButton::clicked, this,
            &TfrmSeeOnePatient::btnDeleteMedicineClick);
    connect(actDeleteMedicine, &QAction::triggered, this,
            &TfrmSeeOnePatient::btnDeleteMedicineClick);
    connect(cxGrid1, &DataGrid::cellButtonClicked, this, &TfrmSeeOnePatient::medicineCellButton);
    connect(btnNewTreatment, &QPushButton::clicked, this, &TfrmSeeOnePatient::btnNewTreatmentClick);
    connect(btnSaveTreatment, &QPushButton::clicked, this,
            &TfrmSeeOnePatient::btnSaveTreatmentClick);
}

void TfrmSeeOnePatient::buildHistoryTab(QWidget* page)
{
    auto* left = new QWidget(page);
    btnRefresh = makeButton(left, "btnRefresh", QStringLiteral("刷新数据"));
    cxGrid3 = makeNamed<DataGrid>(left, "cxGrid3");
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->addWidget(btnRefresh);
    leftLayout->addWidget(cxGrid3, 1);
    cxGrid3->setDataSet(cdsFangAnList);
    cxGrid3->addColumn(QStringLiteral("cxGridView3FDate"), QStringLiteral("FDate"),
                       QStringLiteral("就诊日期"));
    cxGrid3->addColumn(QStringLiteral("cxGridView3FDoctorName_Find"),
                       QStringLiteral("FDoctorName_Find"), QStringLiteral("接诊医师"));
    cxGrid3->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    cxGrid3->horizontalHeader()->setSectionsMovable(false);

    auto* middle = new QWidget(page);
    PanelDiseaseDesc1 = makeNamed<QWidget>(middle, "PanelDiseaseDesc1");
    dtpDate1 = makeNamed<QDateEdit>(PanelDiseaseDesc1, "dtpDate1");
    dtpDate1->setReadOnly(true);
    dtpDate1->setEnabled(false);
    cmbDoctor1 = makeNamed<QComboBox>(PanelDiseaseDesc1, "cmbDoctor1");
    cmbDoctor1->setEnabled(false);
    memDescription1 = makeNamed<QPlainTextEdit>(PanelDiseaseDesc1, "memDescription1");
    memDescription1->setReadOnly(true);
    memDescription1->setStyleSheet(QLatin1String(kHistoryBlue));
    auto* upper = new QGridLayout(PanelDiseaseDesc1);
    upper->addWidget(makeLabel(PanelDiseaseDesc1, "lblDate1", QStringLiteral("诊疗日期：")), 0, 0);
    upper->addWidget(dtpDate1, 0, 1);
    upper->addWidget(makeLabel(PanelDiseaseDesc1, "lblDoctor1", QStringLiteral("接诊医生：")), 0,
                     2);
    upper->addWidget(cmbDoctor1, 0, 3);
    upper->setColumnStretch(4, 1);
    upper->addWidget(makeLabel(PanelDiseaseDesc1, "lblDescription1", QStringLiteral("病况描述：")),
                     1, 0, Qt::AlignTop);
    upper->addWidget(memDescription1, 1, 1, 1, 4);

    panelMedicine1 = makeNamed<QWidget>(middle, "panelMedicine1");
    cxGrid2 = makeNamed<DataGrid>(panelMedicine1, "cxGrid2");
    cxGrid2->setStyleSheet(QLatin1String(kHistoryBlue));
    auto* lower = new QVBoxLayout(panelMedicine1);
    lower->addWidget(makeLabel(panelMedicine1, "lblMedicine1", QStringLiteral("应用药物：")));
    lower->addWidget(cxGrid2, 1);
    cxGrid2->setDataSet(cdsMedicineFangAn);
    cxGrid2->addColumn(QStringLiteral("cxGridView2FSort"), QStringLiteral("FSort"),
                       QStringLiteral("序号"));
    cxGrid2->addColumn(QStringLiteral("cxGridView2FMedcine_find"), QStringLiteral("FMedcine_find"),
                       QStringLiteral("处方"));
    cxGrid2->addColumn(QStringLiteral("cxGridView2FUnitName_find"),
                       QStringLiteral("FUnitName_find"), QStringLiteral("单位"));
    cxGrid2->addColumn(QStringLiteral("cxGridView2FQty"), QStringLiteral("FQty"),
                       QStringLiteral("剂量"));
    cxGrid2->addColumn(QStringLiteral("cxGridView2FMemo"), QStringLiteral("FMemo"),
                       QStringLiteral("备注"));
    cxGrid2->horizontalHeader()->setStretchLastSection(true);

    auto* middleLayout = new QVBoxLayout(middle);
    middleLayout->setContentsMargins(0, 0, 0, 0);
    middleLayout->addWidget(PanelDiseaseDesc1, 42);
    middleLayout->addWidget(panelMedicine1, 58);

    auto* right = new QWidget(page);
    btnDeleteHistory = makeButton(right, "btnDeleteHistory", QStringLiteral("删除当前方案"));
    btnEditHistory = makeButton(right, "btnEditHistory", QStringLiteral("编辑当前方案"));
    panelTreatment1 = makeNamed<QWidget>(right, "panelTreatment1");
    memTreatment1 = makeNamed<QPlainTextEdit>(panelTreatment1, "memTreatment1");
    memTreatment1->setReadOnly(true);
    memTreatment1->setStyleSheet(QLatin1String(kHistoryBlue));
    auto* t1 = new QVBoxLayout(panelTreatment1);
    t1->setContentsMargins(0, 0, 0, 0);
    t1->addWidget(makeLabel(panelTreatment1, "lblTreatment1", QStringLiteral("治疗方案：")));
    t1->addWidget(memTreatment1, 1);
    auto* rightLayout = new QVBoxLayout(right);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnDeleteHistory);
    buttons->addWidget(btnEditHistory);
    buttons->addStretch();
    rightLayout->addLayout(buttons);
    rightLayout->addWidget(panelTreatment1, 1);

    auto* pageLayout = new QHBoxLayout(page);
    pageLayout->addWidget(left, 2);
    pageLayout->addWidget(middle, 4);
    pageLayout->addWidget(right, 3);

    bindDateEdit(dtpDate1, cdsFangAnList, QStringLiteral("FDate"));
    bindLookupComboBox(cmbDoctor1, cdsFangAnList, QStringLiteral("FDoctorID"), cdsDoctor,
                       QStringLiteral("FINTERID"), QStringLiteral("FNAME"));
    bindMemo(memDescription1, cdsFangAnList, QStringLiteral("FDescription"));
    bindMemo(memTreatment1, cdsFangAnList, QStringLiteral("FTreating"));

    connect(btnRefresh, &QPushButton::clicked, this, &TfrmSeeOnePatient::btnRefreshClick);
    connect(btnEditHistory, &QPushButton::clicked, this, &TfrmSeeOnePatient::btnEditHistoryClick);
    connect(btnDeleteHistory, &QPushButton::clicked, this,
            &TfrmSeeOnePatient::btnDeleteHistoryClick);
}

// ---------------------------------------------------------------------------------------------
// Loading

void TfrmSeeOnePatient::LoadLookups()
{
    dmData->GetDataset(*cdsSex, kLookupSql.arg(1));
    dmData->GetDataset(*cdsDoctor, kLookupSql.arg(2));
    dmData->GetDataset(*cdsUnit, kLookupSql.arg(4));
    dmData->GetDataset(*cdsMedicineList, kLookupSql.arg(5));
    dmData->GetDataset(*cdsBloodType, kLookupSql.arg(3));
}

void TfrmSeeOnePatient::ReloadMedicineLookups()
{
    try {
        dmData->GetDataset(*cdsUnit, kLookupSql.arg(4));
        dmData->GetDataset(*cdsMedicineList, kLookupSql.arg(5));
    } catch (const DbError& e) {
        ShowException(e.message());
    }
}

void TfrmSeeOnePatient::openPatient(int patientId)
{
    dmData->GetDataset(*cdsPatient, kPatientSql, {patientId});
}

void TfrmSeeOnePatient::bindSexCombo()
{
    delete fieldBinding(cmbSex);
    bindLookupComboBox(cmbSex, cdsPatient, QStringLiteral("FSexID"), cdsSex,
                       QStringLiteral("FINTERID"),
                       language() == 2 ? QStringLiteral("FNAME_ENG") : QStringLiteral("FNAME"));
}

void TfrmSeeOnePatient::OpenEmptyTreatment(int patientId)
{
    dmData->GetDataset(*cdsTreating,
                       QStringLiteral("select * from t_treating where 0=1 and FPatientID=? "),
                       {patientId});
    dmData->GetDataset(*cdsMedicine,
                       QStringLiteral("select * from t_medicine where 0=1 and  FPatientID=? "),
                       {patientId});
    for (const char* f : {"FInterID", "FEntryID", "FPatientID"})
        cdsMedicine->setFieldRequired(QString::fromLatin1(f), true);
    cdsMedicine->setFieldReadOnly(QStringLiteral("FEntryID"), true);
}

void TfrmSeeOnePatient::LoadTreatmentHistory(int patientId)
{
    dmData->GetDataset(
        *cdsFangAnList,
        QStringLiteral("select * from t_treating where FPatientID=?  order by FDate desc,FInterID "
                       "desc "),
        {patientId});
    if (cdsFangAnList->isEmpty())
        dmData->GetDataset(*cdsMedicineFangAn,
                           QStringLiteral("select * from t_medicine where 0=1"));
    else
        LoadHistoryPrescriptions(cdsFangAnList->value(QStringLiteral("FInterID")).toInt());
}

void TfrmSeeOnePatient::LoadHistoryPrescriptions(int treatingId)
{
    dmData->GetDataset(*cdsMedicineFangAn,
                       QStringLiteral("select * from t_medicine where FPatientID=? and FInterID=? "
                                      "order by FInterID asc,FEntryID  asc "),
                       {CurrentPatientID, treatingId});
}

void TfrmSeeOnePatient::LoadTreatmentForEdit(int patientId, int treatingId)
{
    dmData->GetDataset(
        *cdsTreating, QStringLiteral("select * from t_treating where  FPatientID=? and FInterID=?"),
        {patientId, treatingId});
    dmData->GetDataset(*cdsMedicine,
                       QStringLiteral("select * from t_medicine where FPatientID=? and FInterID=? "
                                      "order by FEntryID asc "),
                       {patientId, treatingId});
    for (const char* f : {"FInterID", "FEntryID", "FPatientID"})
        cdsMedicine->setFieldRequired(QString::fromLatin1(f), true);
    cdsMedicine->setFieldReadOnly(QStringLiteral("FEntryID"), true);
}

void TfrmSeeOnePatient::InitPatientData(int patientId)
{
    try {
        if (patientId != -10) {
            SetNewPatientMode(false);
            OpenEmptyTreatment(-10);
        } else {
            SetNewPatientMode(true);
        }
        CurrentPatientID = patientId;
        openPatient(patientId);
        if (patientId == -10) {
            cdsPatient->append();
            cdsPatient->post();
        }
        ShowPatientPicture();
        LoadTreatmentHistory(patientId);
    } catch (const DbError& e) {
        ShowException(e.message());
    }
}

void TfrmSeeOnePatient::SetNewPatientMode(bool isNew)
{
    PageControl1->setTabVisible(PageControl1->indexOf(tsTreatment), !isNew);
    PageControl1->setTabVisible(PageControl1->indexOf(tsHistory), !isNew);
    for (QPushButton* b : {btnImport, btnNote, btnImageMgr, btnSearch})
        b->setEnabled(!isNew);
}

void TfrmSeeOnePatient::ShowPatientPicture()
{
    // A patient without a photo must not go on showing the previous patient's.
    imgPatient->clear();
    if (cdsPatient->isEmpty())
        return;
    const QString ext = cdsPatient->value(QStringLiteral("FFileExt")).toString();
    const QVariant blob = cdsPatient->value(QStringLiteral("FPicture"));
    if (ext.isEmpty() || blob.isNull() || ext != QLatin1String(".jpg"))
        return;
    const QByteArray bytes = blob.toByteArray();
    const QImage image = codec::decodeJpeg(bytes);
    if (image.isNull())
        return;
    // The photo also goes beside the program, where other tools have always found it.
    QSaveFile file(
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("patient") + ext));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(bytes);
        file.commit();
    }
    imgPatient->setPixmap(QPixmap::fromImage(image).scaled(imgPatient->size(), Qt::KeepAspectRatio,
                                                           Qt::SmoothTransformation));
}

void TfrmSeeOnePatient::ApplyLanguage()
{
    try {
        const QString catalog = QStringLiteral("Patient");
        const std::pair<QWidget*, const char*> panels[] = {{PicPanel, "PicPanel"},
                                                           {BasicInfo1, "BasicInfo1"},
                                                           {Allergy, "Allergy"},
                                                           {PanelDiseaseDesc, "PanelDiseaseDesc"},
                                                           {panelMedicine, "panelMedicine"},
                                                           {panelTreatment, "panelTreatment"},
                                                           {PanelDiseaseDesc1, "PanelDiseaseDesc1"},
                                                           {panelMedicine1, "panelMedicine1"},
                                                           {panelTreatment1, "panelTreatment1"}};
        for (const auto& [panel, key] : panels)
            dmData->ChangeLanguage(panel, catalog, QString::fromLatin1(key));
        dmData->ChangeLanguage(cxGrid1, catalog, QStringLiteral("Grid1"));
        dmData->ChangeLanguage(cxGrid2, catalog, QStringLiteral("Grid2"));
        dmData->ChangeLanguage(cxGrid3, catalog, QStringLiteral("Grid3"));
        dmData->SetFormName(this, catalog);
    } catch (const DbError& e) {
        ShowException(e.message());
    }
    const int lang = language();
    if (lang != 1 && lang != 2)
        return;
    const bool zh = lang == 1;
    PageControl1->setTabText(0, zh ? QStringLiteral("病人信息")
                                   : QStringLiteral("Patient Information"));
    PageControl1->setTabText(1, zh ? QStringLiteral("当次诊疗") : QStringLiteral("Treatment"));
    PageControl1->setTabText(2, zh ? QStringLiteral("历次诊疗方案查询")
                                   : QStringLiteral("Treatment History"));
    PageControl2->setTabText(0,
                             zh ? QStringLiteral("基本信息") : QStringLiteral("Basic Infomation"));
    btnRefresh->setText(zh ? QStringLiteral("刷新数据") : QStringLiteral("Refresh Data"));
    btnDeleteHistory->setText(zh ? QStringLiteral("删除当前方案")
                                 : QStringLiteral("Delete Current record"));
    btnEditHistory->setText(zh ? QStringLiteral("编辑当前方案")
                               : QStringLiteral("Edit Current record"));
    btnNewTreatment->setText(zh ? QStringLiteral("新增方案") : QStringLiteral("New Treatment"));
    actAddMedicine->setText(zh ? QStringLiteral("添加处方") : QStringLiteral("Add prescription"));
    actDeleteMedicine->setText(zh ? QStringLiteral("删除处方")
                                  : QStringLiteral("Delete prescription"));
    bindSexCombo();
}

// ---------------------------------------------------------------------------------------------
// Patient tab

void TfrmSeeOnePatient::btnSaveClick()
{
    try {
        cdsPatient->checkBrowseMode();
        if (cdsPatient->isEmpty())
            cdsPatient->append();
        else
            cdsPatient->edit();
        cdsPatient->setValue(
            QStringLiteral("FBirthday"),
            PatientStore::birthdayForAge(cdsPatient->value(QStringLiteral("FAge"))));
        cdsPatient->post();
        const int key = PatientStore::savePatient(*cdsPatient, FStrArraySelectedImageIndex);
        CurrentPatientID = key;
        CheckPatientSaved(CurrentPatientID);
    } catch (const std::exception& e) {
        // The write was rolled back; say so rather than leave the dentist thinking it is stored.
        ShowException(QString::fromUtf8(e.what()));
    }
}

void TfrmSeeOnePatient::CheckPatientSaved(int patientId)
{
    const QVariant found = dmData->GetScular(
        QStringLiteral("select FInterID from t_patient where FInterID=?"), {patientId});
    if (!found.toString().trimmed().isEmpty())
        SetNewPatientMode(false);
}

void TfrmSeeOnePatient::btnDeleteClick()
{
    const QString name =
        cdsPatient->isEmpty() ? QString() : cdsPatient->value(QStringLiteral("FName")).toString();
    const int lang = language();
    const QString question =
        lang == 1
            ? QStringLiteral("删除当前[%1]病例，将同时删除与该病例关联的牙齿照片！是否要删除?")
                  .arg(name)
        : lang == 2 ? QStringLiteral("Delete current Medical records of [%1]，should delete the "
                                     "teeth pictures as well！Would you want to continue ?")
                          .arg(name)
                    : QString();
    if (!ConfirmWarning(question))
        return;
    try {
        PatientStore::deletePatient(CurrentPatientID);
    } catch (const std::exception& e) {
        if (lang == 1)
            ShowMessage(QStringLiteral("删除出错!原因:") + QString::fromUtf8(e.what()));
        else if (lang == 2)
            ShowMessage(QStringLiteral("Delete failed! Reason:") + QString::fromUtf8(e.what()));
        return;
    }
    CurrentPatientID = -1;
    m_deleted = true;
    close();
}

void TfrmSeeOnePatient::btnImportClick()
{
    const int lang = language();
    const QString filter =
        lang == 1
            ? QStringLiteral("jpg 图片文件(*.jpg)|*.jpg|bmp 图片文件(*.bmp)|*.bmp|全部文件|*.*")
        : lang == 2 ? QStringLiteral("jpg File(*.jpg)|*.jpg|bmp File(*.bmp)|*.bmp|All Files|*.*")
                    : QString();
    const QString path = openPhotoDialog ? openPhotoDialog(filter) : QString();
    if (path.isEmpty())
        return;
    const auto say = [lang](const char* zh, const char* en) {
        if (lang == 1)
            ShowMessage(QString::fromUtf8(zh));
        else if (lang == 2)
            ShowMessage(QString::fromUtf8(en));
    };
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile()) {
        say("所选的文件不存在或格式错误！", "The selected file does not exist or is malformed！");
        return;
    }
    const auto loadFailed = [&say] {
        say("加载所选文件失败！", "Failed to load the selected file！");
    };
    const QString ext = QLatin1Char('.') + info.suffix().toLower();
    if (ext != QLatin1String(".bmp") && ext != QLatin1String(".jpg")) {
        loadFailed();
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        loadFailed();
        return;
    }
    const QImage image = codec::decodeByHint(file.readAll(), ext);
    const QByteArray jpeg = image.isNull() ? QByteArray() : codec::encodeJpeg(image, 50);
    if (jpeg.isEmpty()) {
        loadFailed();
        return;
    }
    imgPatient->setPixmap(QPixmap::fromImage(image).scaled(imgPatient->size(), Qt::KeepAspectRatio,
                                                           Qt::SmoothTransformation));
    try {
        if (cdsPatient->isEmpty())
            cdsPatient->append();
        else if (!cdsPatient->isEditing())
            cdsPatient->edit();
        cdsPatient->setValue(QStringLiteral("FPicture"), jpeg);
        cdsPatient->setValue(QStringLiteral("FFileExt"), QStringLiteral(".jpg"));
        cdsPatient->post();
    } catch (const std::exception&) {
        loadFailed();
        return;
    }
    // The data module reports a failed store itself.
    dmData->ApplyUpdateCDSToDB({cdsPatient});
}

void TfrmSeeOnePatient::btnNoteClick()
{
    TfrmPatientMemo memo(cdsPatient, this);
    memo.exec();
}

void TfrmSeeOnePatient::btnImageMgrClick()
{
    if (QWidget* main = FindFormByClassName(QStringLiteral("TfrmMain")))
        SendMessage(main, WM_SHOW_IMAGE_ARCHIVE);
}

void TfrmSeeOnePatient::btnSearchClick()
{
    const int found = TfrmFindBook::run(this);
    if (found == -1)
        return;
    CurrentPatientID = found;
    InitPatientData(found);
}

// ---------------------------------------------------------------------------------------------
// Current treatment

void TfrmSeeOnePatient::btnAddMedicineClick()
{
    try {
        // A line belongs to a treatment: adding the first line starts the treatment.
        if (cdsTreating->isEmpty()) {
            cdsTreating->append();
            cdsTreating->post();
        }
        cdsTreating->checkBrowseMode();
        cdsMedicine->append();
        cxGrid1->setFocus();
    } catch (const std::exception& e) {
        reportDataError(e);
    }
}

void TfrmSeeOnePatient::btnDeleteMedicineClick()
{
    if (cdsMedicine->isEmpty())
        return;
    try {
        cdsMedicine->deleteRecord();
    } catch (const std::exception& e) {
        reportDataError(e);
    }
}

void TfrmSeeOnePatient::medicineCellButton(int row, int column)
{
    const QString field = cxGrid1->column(column).fieldName;
    const bool isMedicine = field.compare(QLatin1String("FMedcine_find"), Qt::CaseInsensitive) == 0;
    const int key = TfrmSelectItem::pick(isMedicine ? 5 : 4, this);
    if (key <= 0)
        return;
    try {
        if (row != cdsMedicine->recNo()) {
            cdsMedicine->checkBrowseMode();
            cdsMedicine->setRecNo(row);
        }
        if (cdsMedicine->isEmpty())
            cdsMedicine->append();
        else if (!cdsMedicine->isEditing())
            cdsMedicine->edit();
        cdsMedicine->setValue(isMedicine ? QStringLiteral("FMedicine") : QStringLiteral("FUnitID"),
                              key);
    } catch (const std::exception& e) {
        reportDataError(e);
    }
}

void TfrmSeeOnePatient::btnNewTreatmentClick()
{
    try {
        OpenEmptyTreatment(-10);
    } catch (const DbError& e) {
        ShowException(e.message());
    }
}

void TfrmSeeOnePatient::btnSaveTreatmentClick()
{
    try {
        PatientStore::saveTreatment(*cdsTreating, *cdsMedicine);
    } catch (const std::exception& e) {
        ShowException(QString::fromUtf8(e.what()));
    }
}

// ---------------------------------------------------------------------------------------------
// History

void TfrmSeeOnePatient::btnRefreshClick()
{
    try {
        cdsFangAnList->close();
        LoadTreatmentHistory(CurrentPatientID);
    } catch (const DbError& e) {
        ShowException(e.message());
    }
}

void TfrmSeeOnePatient::btnEditHistoryClick()
{
    if (cdsFangAnList->isEmpty())
        return;
    try {
        LoadTreatmentForEdit(cdsFangAnList->value(QStringLiteral("FPatientID")).toInt(),
                             cdsFangAnList->value(QStringLiteral("FInterID")).toInt());
        PageControl1->setCurrentWidget(tsTreatment);
    } catch (const DbError& e) {
        ShowException(e.message());
    }
}

void TfrmSeeOnePatient::btnDeleteHistoryClick()
{
    if (cdsFangAnList->isEmpty())
        return;
    const int key = cdsFangAnList->value(QStringLiteral("FInterID")).toInt();
    const int patient = cdsFangAnList->value(QStringLiteral("FPatientID")).toInt();
    const QString date = QLocale().toString(cdsFangAnList->value(QStringLiteral("FDate")).toDate(),
                                            QLocale::ShortFormat);
    const int lang = language();
    const QString question =
        lang == 1   ? QStringLiteral("是否删除[%1]的诊疗方案？").arg(date)
        : lang == 2 ? QStringLiteral("Do you want to delete the medical record or [%1]？").arg(date)
                    : QString();
    if (!ConfirmInfo(question))
        return;
    try {
        PatientStore::deleteTreatment(key, patient);
    } catch (const std::exception& e) {
        ShowException(QString::fromUtf8(e.what()));
        return;
    }
    btnRefreshClick();
}

// ---------------------------------------------------------------------------------------------
// Messages and closing

bool TfrmSeeOnePatient::event(QEvent* e)
{
    if (int(e->type()) == WM_DICTIONARY_CHANGED) {
        ReloadMedicineLookups();
        return true;
    }
    if (int(e->type()) == WM_LANGUAGE_CHANGED) {
        ApplyLanguage();
        return true;
    }
    return QWidget::event(e);
}

void TfrmSeeOnePatient::closeEvent(QCloseEvent* e)
{
    // Closing is never refused; unsaved work is offered for saving first.
    if (!m_deleted) {
        const bool zh = language() == 1;
        try {
            cdsPatient->checkBrowseMode();
            if (cdsPatient->changeCount() > 0 &&
                ConfirmInfo(zh ? QStringLiteral("病人资料已修改，是否保存？")
                               : QStringLiteral("Current patient is modifier! Want to Save it？")))
                btnSaveClick();
            if (CurrentPatientID > 0) {
                cdsTreating->checkBrowseMode();
                if (!cdsTreating->isEmpty()) {
                    cdsMedicine->checkBrowseMode();
                    if ((cdsTreating->changeCount() > 0 || cdsMedicine->changeCount() > 0) &&
                        ConfirmInfo(zh ? QStringLiteral("病历资料已修改，是否保存？")
                                       : QStringLiteral("Current medical record is modifier! "
                                                        "Want to Save it？")))
                        btnSaveTreatmentClick();
                }
            }
        } catch (const std::exception& ex) {
            reportDataError(ex);
        }
    }
    e->accept();
    QWidget::closeEvent(e);
}
