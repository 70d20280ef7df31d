// Caption operations of the data module.
#include "captionpanel.h"
#include "datagrid.h"
#include "dberror.h"
#include "dmdata.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QWidget>

namespace {

// Sets the caption of a captioned kind; other widgets keep theirs.
void setCaption(QWidget* w, const QString& text)
{
    if (auto* c = qobject_cast<QCheckBox*>(w))
        c->setText(text);
    else if (auto* r = qobject_cast<QRadioButton*>(w))
        r->setText(text);
    else if (auto* l = qobject_cast<QLabel*>(w))
        l->setText(text); // labels and status-bar panes
    else if (auto* b = qobject_cast<QPushButton*>(w))
        b->setText(text);
    else if (auto* p = qobject_cast<CaptionPanel*>(w))
        p->setCaption(text);
    else if (auto* t = qobject_cast<QToolButton*>(w))
        t->setText(text);
}

} // namespace

void TdmData::GetLanguage()
{
    GetDataset(*ClientDataSet1, QStringLiteral("select * from t_sys where FCatalog=? and FKey=?"),
               {QStringLiteral("common"), QStringLiteral("language")});
    if (ClientDataSet1->recordCount() != 1)
        return;
    const QString text = ClientDataSet1->value(QStringLiteral("FValue")).toString();
    bool ok = false;
    const int index = text.trimmed().toInt(&ok);
    FLanguageIndex = ok ? index : 0;
    if (text == QLatin1String("1"))
        FLanguage = QStringLiteral("FChinese");
    else if (text == QLatin1String("2"))
        FLanguage = QStringLiteral("FEnglish");
}

void TdmData::captionRows(const QString& catalog, const QString& bigKey)
{
    GetDataset(*ClientDataSet1,
               QStringLiteral("select * from t_ItemCaption where FCatalog=? and FBigkey=?"),
               {catalog, bigKey});
}

void TdmData::ChangeLanguage(QWidget* container, const QString& catalog, const QString& bigKey)
{
    captionRows(catalog, bigKey);
    ClientDataSet& rows = *ClientDataSet1;
    const QList<QWidget*> children =
        container->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (int r = 0; r < rows.recordCount(); ++r) {
        rows.setRecNo(r);
        const QString key = rows.value(QStringLiteral("FKey")).toString().toLower();
        if (key.isEmpty())
            continue; // names no child, not the first unnamed one
        for (QWidget* child : children) {
            if (child->objectName().toLower() == key) {
                // Without a known language the column name is empty: a field-not-found error.
                setCaption(child, rows.value(FLanguage).toString());
                break;
            }
        }
    }
}

void TdmData::ChangeLanguage(DataGrid* grid, const QString& catalog, const QString& bigKey)
{
    captionRows(catalog, bigKey);
    ClientDataSet& rows = *ClientDataSet1;
    for (int r = 0; r < rows.recordCount(); ++r) {
        rows.setRecNo(r);
        SetColumnCaptionByName(grid, rows.value(QStringLiteral("FKey")).toString(),
                               rows.value(FLanguage).toString());
    }
}

void TdmData::SetColumnCaptionByName(DataGrid* grid, const QString& colName, const QString& caption)
{
    for (int i = 0; i < grid->columnCount(); ++i) {
        if (grid->column(i).name.compare(colName, Qt::CaseInsensitive) == 0)
            grid->setColumnCaption(i, caption);
    }
}

void TdmData::SetFormName(QWidget* form, const QString& catalog)
{
    captionRows(catalog, QStringLiteral("FormName"));
    if (ClientDataSet1->recordCount() > 0) {
        ClientDataSet1->first();
        form->setWindowTitle(ClientDataSet1->value(FLanguage).toString());
    }
}
