#include "findbook.h"

#include "captionpanel.h"
#include "clientdataset.h"
#include "datagrid.h"
#include "dberror.h"
#include "dmdata.h"
#include "messagebox.h"
#include "namedwidgets.h"
#include "windowmessages.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <exception>

const QString kFindBaseSQL = QStringLiteral(
    "select u1.FInterID,u1.FName, u1.FBirthday,t1.FName as FSex,u1.FIDCard,u1.FAge,u1.FCard,"
    "u1.FHome_Tel,u1.FMobile,u1.FHome_Addr,u1.FBookID from t_patient  u1  left join (select * "
    "from t_subMessage where FTypeID=1 ) t1 on u1.FSexID=t1.FINterID where u1.FInterID>0");

BoundSql patientSearch(const QString& text, bool fuzzy, FindField field)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return {kFindBaseSQL, {}};
    QStringList columns;
    switch (field) {
    case FindField::Phone:
        columns << QStringLiteral("u1.FMobile") << QStringLiteral("u1.FHome_Tel");
        break;
    case FindField::Card:
        columns << QStringLiteral("u1.FCard");
        break;
    case FindField::Name:
    case FindField::Other:
        columns << QStringLiteral("u1.FName");
        break;
    }
    const QVariant value = fuzzy ? searchsql::containsPattern(t) : t;
    QStringList conditions;
    QVariantList params;
    for (const QString& c : columns) {
        conditions << (fuzzy ? searchsql::containsCondition(c) : searchsql::equalsCondition(c));
        params << value;
    }
    // Bracketed, so that "or" cannot reach past the key condition.
    return {kFindBaseSQL + QStringLiteral(" and (") + conditions.join(QStringLiteral(" or ")) +
                QLatin1Char(')'),
            params};
}

namespace {

QRadioButton* makeRadio(QWidget* parent, const char* name, const QString& text)
{
    auto* r = new QRadioButton(text, parent);
    r->setObjectName(QString::fromLatin1(name));
    return r;
}

} // namespace

struct TfrmFindBook::Private
{
    ClientDataSet* cdsFindData = nullptr;
    DataSetProvider* dspFindData = nullptr;
    // Sex names in English, for the sex column in English.
    ClientDataSet* cdsSex = nullptr;
    DataSetProvider* dspSex = nullptr;

    CaptionPanel* RzPanel1 = nullptr;
    QCheckBox* chkFuzzy = nullptr;
    QLabel* lblFind = nullptr;
    QLineEdit* edtFind = nullptr;
    QPushButton* btnFind = nullptr;
    QPushButton* btnShowAll = nullptr;
    QRadioButton* rbName = nullptr;
    QRadioButton* rbPhone = nullptr;
    QRadioButton* rbCard = nullptr;
    QRadioButton* rbOther = nullptr;
    DataGrid* cxGrid1DBTableView1 = nullptr;
    QPushButton* btnClose = nullptr;

    FindField field() const
    {
        if (rbPhone->isChecked())
            return FindField::Phone;
        if (rbCard->isChecked())
            return FindField::Card;
        if (rbOther->isChecked())
            return FindField::Other;
        return FindField::Name;
    }
};

TfrmFindBook::TfrmFindBook(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint),
      d(new Private)
{
    setObjectName(QStringLiteral("frmFindBook"));
    setWindowTitle(QStringLiteral("查找病人"));

    d->cdsFindData = newDataSet(this, QStringLiteral("cdsFindData"), d->dspFindData,
                                QStringLiteral("dspFindData"));
    d->cdsSex = newDataSet(this, QStringLiteral("cdsSex"), d->dspSex, QStringLiteral("dspSex"));

    d->RzPanel1 = new CaptionPanel(this);
    d->RzPanel1->setObjectName(QStringLiteral("RzPanel1"));
    d->chkFuzzy = new QCheckBox(QStringLiteral("模糊查找"), d->RzPanel1);
    d->chkFuzzy->setObjectName(QStringLiteral("chkFuzzy"));
    d->chkFuzzy->setChecked(true);
    d->lblFind = new QLabel(QStringLiteral("查找"), d->RzPanel1);
    d->lblFind->setObjectName(QStringLiteral("lblFind"));
    d->edtFind = new QLineEdit(d->RzPanel1);
    d->edtFind->setObjectName(QStringLiteral("edtFind"));
    // As long as the longest field searched.
    d->edtFind->setMaxLength(200);
    d->edtFind->setMinimumWidth(180);
    d->lblFind->setBuddy(d->edtFind);
    d->btnFind = makeButton(d->RzPanel1, "btnFind", QStringLiteral("查找"));
    d->btnShowAll = makeButton(d->RzPanel1, "btnShowAll", QStringLiteral("全部显示"));
    d->rbName = makeRadio(d->RzPanel1, "rbName", QStringLiteral("姓名"));
    d->rbPhone = makeRadio(d->RzPanel1, "rbPhone", QStringLiteral("手机/固话"));
    d->rbCard = makeRadio(d->RzPanel1, "rbCard", QStringLiteral("诊疗卡号"));
    d->rbOther = makeRadio(d->RzPanel1, "rbOther", QStringLiteral("其他"));
    d->rbName->setChecked(true);

    auto* top = new QVBoxLayout(d->RzPanel1);
    top->setContentsMargins(8, 8, 8, 8);
    auto* line1 = new QHBoxLayout;
    line1->addWidget(d->chkFuzzy);
    line1->addSpacing(12);
    line1->addWidget(d->lblFind);
    line1->addWidget(d->edtFind, 1);
    line1->addWidget(d->btnFind);
    line1->addWidget(d->btnShowAll);
    top->addLayout(line1);
    auto* line2 = new QHBoxLayout;
    for (QRadioButton* r : {d->rbName, d->rbPhone, d->rbCard, d->rbOther})
        line2->addWidget(r);
    line2->addStretch();
    top->addLayout(line2);

    d->cxGrid1DBTableView1 = new DataGrid(this);
    d->cxGrid1DBTableView1->setObjectName(QStringLiteral("cxGrid1DBTableView1"));
    const bool english = dmData && dmData->FLanguageIndex == 2;
    // Fixed widths that fit a mobile number or an identity card; the name takes the rest.
    const struct
    {
        const char* field;
        const char* caption;
        int width;
    } columns[] = {{"FNAME", "姓名", 0},           {"FMOBILE", "手机", 110},
                   {"FHOME_TEL", "家庭电话", 110}, {"FCARD", "诊疗卡", 100},
                   {"FIDCARD", "身份证", 165},     {"FBOOKID", "病历号", 90},
                   {"FSEX", "性别", 60},           {"FAGE", "年龄", 50}};
    QHeaderView* header = d->cxGrid1DBTableView1->horizontalHeader();
    header->setSectionsMovable(false);
    header->setSectionsClickable(false);
    for (const auto& c : columns) {
        QString field = QString::fromLatin1(c.field);
        if (english && field == QLatin1String("FSEX"))
            field = QStringLiteral("FSEX_ENG");
        const int i = d->cxGrid1DBTableView1->addColumn(QStringLiteral("cxGrid1DBTableView1") +
                                                            QString::fromLatin1(c.field),
                                                        field, QString::fromUtf8(c.caption));
        if (c.width > 0) {
            header->setSectionResizeMode(i, QHeaderView::Fixed);
            header->resizeSection(i, c.width);
        } else {
            header->setSectionResizeMode(i, QHeaderView::Stretch);
        }
    }
    d->cxGrid1DBTableView1->viewport()->installEventFilter(this);

    d->btnClose = makeButton(this, "btnClose", QStringLiteral("关闭"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(d->RzPanel1);
    layout->addWidget(d->cxGrid1DBTableView1, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(d->btnClose);
    layout->addLayout(bottom);
    resize(860, 520);

    connect(d->edtFind, &QLineEdit::textChanged, this, [this] { search(); });
    connect(d->btnFind, &QPushButton::clicked, this, [this] { search(); });
    connect(d->btnShowAll, &QPushButton::clicked, this, [this] { btnShowAllClick(); });
    connect(d->btnClose, &QPushButton::clicked, this, &QDialog::reject);

    try {
        if (english) {
            // Every sex row, named in English where it has an English name.
            dmData->GetDataset(*d->cdsSex,
                               QStringLiteral("select FName, coalesce(nullif(FName_Eng, ''), "
                                              "FName) as FNAME_ENG from t_subMessage where "
                                              "FTypeID=1"));
            d->cdsFindData->addLookupField(QStringLiteral("FSEX_ENG"), QStringLiteral("FSEX"),
                                           d->cdsSex, QStringLiteral("FNAME"),
                                           QStringLiteral("FNAME_ENG"));
        }
        dmData->OpenClientDataset(*d->cdsFindData, kFindBaseSQL);
    } catch (const DbError& e) {
        ShowException(e.message());
    }
    d->cxGrid1DBTableView1->setDataSet(d->cdsFindData);
    applyLanguage();
    FindPatientID = -1;
    d->edtFind->setFocus();
}

TfrmFindBook::~TfrmFindBook()
{
    d->cxGrid1DBTableView1->viewport()->removeEventFilter(this);
    delete d;
    d = nullptr;
}

int TfrmFindBook::run(QWidget* parent)
{
    TfrmFindBook w(parent);
    w.exec();
    return w.FindPatientID;
}

void TfrmFindBook::applyLanguage()
{
    try {
        dmData->ChangeLanguage(d->RzPanel1, QStringLiteral("find"), QStringLiteral("Panel"));
        dmData->ChangeLanguage(d->cxGrid1DBTableView1, QStringLiteral("find"),
                               QStringLiteral("Grid"));
        dmData->ChangeLanguage(this, QStringLiteral("find"), QStringLiteral("Form"));
        dmData->SetFormName(this, QStringLiteral("find"));
    } catch (const DbError& e) {
        ShowException(e.message());
    }
}

void TfrmFindBook::search()
{
    const BoundSql s = patientSearch(d->edtFind->text(), d->chkFuzzy->isChecked(), d->field());
    try {
        dmData->OpenClientDataset(*d->cdsFindData, s.sql, s.params);
    } catch (const std::exception& e) {
        reportDataError(e);
    }
}

void TfrmFindBook::btnShowAllClick()
{
    {
        const QSignalBlocker quiet(d->edtFind);
        d->edtFind->clear();
    }
    search();
}

void TfrmFindBook::gridDblClick()
{
    ClientDataSet* ds = d->cdsFindData;
    FindPatientID = ds->isActive() && !ds->isEmpty() && ds->recNo() >= 0
                        ? ds->value(QStringLiteral("FInterID")).toInt()
                        : -1;
    accept();
}

bool TfrmFindBook::eventFilter(QObject* watched, QEvent* e)
{
    // Any double click in the list, on a row or beside the rows, chooses the current row.
    if (d && watched == d->cxGrid1DBTableView1->viewport() &&
        e->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
        gridDblClick();
        return true;
    }
    return QDialog::eventFilter(watched, e);
}

bool TfrmFindBook::event(QEvent* e)
{
    if (e->type() == QEvent::Type(WM_LANGUAGE_CHANGED))
        return true; // modal and short-lived: the captions of its opening stay
    return QDialog::event(e);
}
