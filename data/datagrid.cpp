#include "datagrid.h"

#include "clientdataset.h"

#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QStyledItemDelegate>

namespace {

QRect buttonRectIn(const QRect& cell)
{
    const int w = qMin(20, cell.width());
    return QRect(cell.right() - w + 1, cell.top() + 1, w - 1, cell.height() - 2);
}

} // namespace

class CellButtonDelegate : public QStyledItemDelegate
{
public:
    explicit CellButtonDelegate(DataGrid* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyleOptionViewItem textOption(option);
        textOption.rect.setRight(buttonRectIn(option.rect).left() - 1);
        QStyledItemDelegate::paint(painter, textOption, index);
        QStyleOptionButton button;
        button.rect = buttonRectIn(option.rect);
        button.text = QStringLiteral("...");
        button.state = QStyle::State_Enabled | QStyle::State_Raised;
        QApplication::style()->drawControl(QStyle::CE_PushButton, &button, painter);
    }

    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override
    {
        if (event->type() == QEvent::MouseButtonRelease) {
            auto* me = static_cast<QMouseEvent*>(event);
            if (me->button() == Qt::LeftButton &&
                buttonRectIn(option.rect).contains(me->position().toPoint())) {
                emit m_grid->cellButtonClicked(index.row(), index.column());
                return true;
            }
        }
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    }

private:
    DataGrid* m_grid;
};

DataGrid::DataGrid(QWidget* parent) : QTableView(parent), m_model(new DataSetModel(this))
{
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->hide();

    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &DataGrid::onCurrentRowChanged);
    // A reset or a row added or removed clears or shifts the view's current row; the
    // dataset's cursor stays the truth.
    connect(m_model, &QAbstractItemModel::modelReset, this, &DataGrid::selectCursorRow);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &DataGrid::selectCursorRow);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &DataGrid::selectCursorRow);
    connect(m_model, &QAbstractItemModel::columnsInserted, this, &DataGrid::selectCursorRow);
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            emit recordDoubleClicked(index.row());
    });
}

void DataGrid::setDataSet(ClientDataSet* dataSet)
{
    disconnect(m_cursorConnection);
    m_model->setDataSet(dataSet);
    if (dataSet)
        m_cursorConnection =
            connect(dataSet, &ClientDataSet::currentChanged, this, &DataGrid::selectCursorRow);
    selectCursorRow();
}

int DataGrid::addColumn(const QString& name, const QString& fieldName, const QString& caption)
{
    m_model->addColumn(GridColumn{name, fieldName, caption});
    return m_model->columnCount() - 1;
}

void DataGrid::setColumnButton(int column)
{
    setItemDelegateForColumn(column, new CellButtonDelegate(this));
}

QRect DataGrid::cellButtonRect(int row, int column) const
{
    return buttonRectIn(visualRect(m_model->index(row, column)));
}

void DataGrid::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    m_model->setEditable(!readOnly);
    setEditTriggers(readOnly
                        ? QAbstractItemView::NoEditTriggers
                        : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                              QAbstractItemView::AnyKeyPressed);
}

void DataGrid::selectCursorRow()
{
    QScopedValueRollback guard(m_syncing, true);
    ClientDataSet* ds = m_model->dataSet();
    const int row = ds && ds->isActive() ? ds->recNo() : -1;
    if (row < 0 || row >= m_model->rowCount()) {
        selectionModel()->clear();
        return;
    }
    const int col = qMax(currentIndex().column(), 0);
    if (m_model->columnCount() == 0)
        return;
    const QModelIndex target = m_model->index(row, col);
    if (currentIndex() != target || !selectionModel()->isRowSelected(row, QModelIndex()))
        selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect |
                                                      QItemSelectionModel::Rows);
    scrollTo(target);
}

void DataGrid::onCurrentRowChanged(const QModelIndex& current, const QModelIndex&)
{
    ClientDataSet* ds = m_model->dataSet();
    if (m_syncing || m_model->isUpdating() || !ds || !current.isValid() ||
        ds->recNo() == current.row())
        return;
    bool moved = false;
    try {
        moved = ds->setRecNo(current.row());
    } catch (const std::exception& e) {
        // Leaving a row may post it, and the post may be refused.
        reportDataError(e);
    }
    // Put the selection back once the view has finished handling this click.
    if (!moved)
        QMetaObject::invokeMethod(this, &DataGrid::selectCursorRow, Qt::QueuedConnection);
}
