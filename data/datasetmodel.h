#pragma once

#include "clientdataset.h"
#include "fieldvalue.h"

#include <QAbstractTableModel>
#include <QMetaObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QVector>
#include <exception>

// One column of a data-bound grid: the component name windows refer to it by, the dataset
// field it shows (case-insensitive) and the header text.
struct GridColumn
{
    QString name;
    QString fieldName;
    QString caption;
};

// Tells the user about an error raised by a dataset call that no caller can catch (a
// widget's signal handler).
void reportDataError(const std::exception& e);
// The visible rows of a client dataset as a table, one column per GridColumn.
class DataSetModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit DataSetModel(QObject* parent = nullptr);
    ~DataSetModel() override;

    void setDataSet(ClientDataSet* dataSet);
    ClientDataSet* dataSet() const { return m_dataSet; }

    void setColumns(const QVector<GridColumn>& columns);
    void addColumn(const GridColumn& column);
    const QVector<GridColumn>& columns() const { return m_columns; }
    GridColumn column(int i) const { return m_columns.value(i); }
    // The column with that component name, ignoring case; -1 when there is none.
    int columnIndex(const QString& name) const;
    void setColumnCaption(int column, const QString& caption);
    // Dataset field index behind a column; -1 while the dataset lacks the field.
    int fieldIndexOf(int column) const;

    // True while views are being told of rows added, removed or reset; a view's own reaction
    // to that (moving its current row) is not a user's choice.
    bool isUpdating() const { return m_pendingInsert >= 0 || m_pendingRemove >= 0 || m_resetting; }

    bool isEditable() const { return m_editable; }
    void setEditable(bool editable);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    int sourceRow(int row) const;
    void resolveFields();
    void fullReset();
    void onRowChanged(int row);
    void onRowInserted(int row);
    void onRowRemoved(int row);
    void onLookupChanged();
    void disconnectAll();

    QPointer<ClientDataSet> m_dataSet;
    QVector<GridColumn> m_columns;
    mutable QVector<int> m_fieldIndex;
    // Rows as last announced to views, so that insert/remove notifications stay consistent.
    int m_rowCount = 0;
    // The dataset changes before it tells; until the model has told its views, rows are read
    // through these so that they still see the old numbering.
    int m_pendingInsert = -1;
    int m_pendingRemove = -1;
    bool m_resetting = false;
    bool m_editable = false;
    QVector<QMetaObject::Connection> m_connections;
    QVector<QMetaObject::Connection> m_lookupConnections;
};
