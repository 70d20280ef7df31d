#include "selectitem.h"

#include "clientdataset.h"
#include "datagrid.h"
#include "dmdata.h"
#include "namedwidgets.h"
#include "searchpattern.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>

BoundSql selectItemListing(int infoType, const QString& filter)
{
    const QString f = filter.trimmed();
    if (f.isEmpty())
        return {QStringLiteral("select * from t_subMessage where FTypeID=? and FUse=1  order by "
                               "FInterID asc "),
                {infoType}};
    return {QStringLiteral("select * from t_subMessage where FTypeID=? and FUse=1 and ") +
                searchsql::containsCondition(QStringLiteral("FName")) +
                QStringLiteral(" order by FInterID asc "),
            {infoType, searchsql::containsPattern(f)}};
}

struct TfrmSelectItem::Private
{
    ClientDataSet* cdsItem = nullptr;
    DataSetProvider* dspItem = nullptr;
    QLabel* lblFind = nullptr;
    QLineEdit* edtFilter = nullptr;
    DataGrid* cxGrid1DBTableView1 = nullptr;
    QPushButton* btnSelect = nullptr;
    QPushButton* btnClose = nullptr;
};

namespace {

} // namespace

TfrmSelectItem::TfrmSelectItem(int infoType, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      FInfoType(infoType), d(new Private)
{
    // No caption rows of its own: English for English, Chinese otherwise.
    const bool en = dmData && dmData->FLanguageIndex == 2;
    setObjectName(QStringLiteral("frmSelectItem"));
    setWindowTitle(en ? QStringLiteral("Select Item") : QStringLiteral("选择项目"));

    d->cdsItem = newDataSet(this, QStringLiteral("cdsItem"), d->dspItem, QStringLiteral("dspItem"));

    d->lblFind = new QLabel(en ? QStringLiteral("Find:") : QStringLiteral("查找："), this);
    d->lblFind->setObjectName(QStringLiteral("lblFind"));
    d->edtFilter = new QLineEdit(this);
    d->edtFilter->setObjectName(QStringLiteral("edtFilter"));
    d->edtFilter->setMaxLength(200); // the length of a name
    d->lblFind->setBuddy(d->edtFilter);

    d->cxGrid1DBTableView1 = new DataGrid(this);
    d->cxGrid1DBTableView1->setObjectName(QStringLiteral("cxGrid1DBTableView1"));
    d->cxGrid1DBTableView1->addColumn(
        QStringLiteral("cxGrid1DBTableView1FNAME"), QStringLiteral("FNAME"),
        infoType == 5 ? (en ? QStringLiteral("Medicine") : QStringLiteral("处方药"))
                      : (en ? QStringLiteral("Unit") : QStringLiteral("药品单位")));
    QHeaderView* header = d->cxGrid1DBTableView1->horizontalHeader();
    header->setSectionsMovable(false);
    header->setSectionsClickable(false);
    header->setSectionResizeMode(QHeaderView::Stretch);

    d->btnSelect =
        makeButton(this, "btnSelect", en ? QStringLiteral("Select") : QStringLiteral("选择"));
    d->btnClose =
        makeButton(this, "btnClose", en ? QStringLiteral("Close") : QStringLiteral("关闭"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    auto* top = new QHBoxLayout;
    top->addWidget(d->lblFind);
    top->addWidget(d->edtFilter, 1);
    layout->addLayout(top);
    layout->addWidget(d->cxGrid1DBTableView1, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(d->btnSelect);
    bottom->addWidget(d->btnClose);
    layout->addLayout(bottom);
    resize(360, 440);

    connect(d->edtFilter, &QLineEdit::textChanged, this,
            [this](const QString& text) { loadList(text); });
    connect(d->btnSelect, &QPushButton::clicked, this, [this] { chooseCurrent(); });
    connect(d->cxGrid1DBTableView1, &DataGrid::recordDoubleClicked, this,
            [this] { chooseCurrent(); });
    connect(d->btnClose, &QPushButton::clicked, this, &QDialog::reject);

    loadList(QString());
    d->cxGrid1DBTableView1->setDataSet(d->cdsItem);
    FSelectedInterID = 0;
    d->edtFilter->setFocus();
}

TfrmSelectItem::~TfrmSelectItem()
{
    delete d;
    d = nullptr;
}

int TfrmSelectItem::pick(int infoType, QWidget* parent)
{
    TfrmSelectItem w(infoType, parent);
    w.exec();
    return w.FSelectedInterID;
}

void TfrmSelectItem::loadList(const QString& filter)
{
    const BoundSql s = selectItemListing(FInfoType, filter);
    try {
        dmData->GetDataset(*d->cdsItem, s.sql, s.params);
    } catch (const std::exception& e) {
        reportDataError(e);
    }
}

void TfrmSelectItem::chooseCurrent()
{
    ClientDataSet* ds = d->cdsItem;
    if (!ds->isActive() || ds->isEmpty() || ds->recNo() < 0)
        return;
    FSelectedInterID = ds->value(QStringLiteral("FInterID")).toInt();
    accept();
}
