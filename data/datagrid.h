#pragma once

#include "datasetmodel.h"

#include <QTableView>

class ClientDataSet;

// A grid over a client dataset whose selected row is the dataset's current row, both ways.
class DataGrid : public QTableView
{
    Q_OBJECT
public:
    explicit DataGrid(QWidget* parent = nullptr);

    void setDataSet(ClientDataSet* dataSet);
    ClientDataSet* dataSet() const { return m_model->dataSet(); }
    DataSetModel* dataModel() const { return m_model; }

    // Returns the new column's index.
    int addColumn(const QString& name, const QString& fieldName, const QString& caption);
    int columnCount() const { return m_model->columnCount(); }
    GridColumn column(int i) const { return m_model->column(i); }
    // The column with that component name, ignoring case; -1 when there is none.
    int columnIndex(const QString& name) const { return m_model->columnIndex(name); }
    void setColumnCaption(int i, const QString& caption) { m_model->setColumnCaption(i, caption); }

    // A small "..." button at the right edge of the column's cells; a click on it emits
    // cellButtonClicked for that row.
    void setColumnButton(int column);
    QRect cellButtonRect(int row, int column) const;

    bool isReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly);

Q_SIGNALS:
    void recordDoubleClicked(int row);
    void cellButtonClicked(int row, int column);

private:
    void selectCursorRow();
    void onCurrentRowChanged(const QModelIndex& current, const QModelIndex& previous);

    DataSetModel* m_model;
    QMetaObject::Connection m_cursorConnection;
    bool m_readOnly = true;
    bool m_syncing = false;
    friend class CellButtonDelegate;
};
