#include "datasetmodel.h"

#include "dberror.h"
#include "messagebox.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <exception>

namespace {

bool isNumericField(FieldType t)
{
    switch (t) {
    case FieldType::Integer:
    case FieldType::SmallInt:
    case FieldType::LargeInt:
    case FieldType::Float:
    case FieldType::Decimal:
        return true;
    default:
        return false;
    }
}

} // namespace

void reportDataError(const std::exception& e)
{
    const auto* db = dynamic_cast<const DbError*>(&e);
    ShowError(db ? db->message() : QString::fromUtf8(e.what()));
}

DataSetModel::DataSetModel(QObject* parent) : QAbstractTableModel(parent) {}

DataSetModel::~DataSetModel()
{
    disconnectAll();
}

void DataSetModel::disconnectAll()
{
    for (const auto& c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
    for (const auto& c : std::as_const(m_lookupConnections))
        disconnect(c);
    m_lookupConnections.clear();
}

void DataSetModel::setDataSet(ClientDataSet* dataSet)
{
    if (m_dataSet == dataSet)
        return;
    beginResetModel();
    disconnectAll();
    m_dataSet = dataSet;
    if (dataSet) {
        m_connections
            << connect(dataSet, &ClientDataSet::reset, this, &DataSetModel::fullReset)
            << connect(dataSet, &ClientDataSet::rowChanged, this, &DataSetModel::onRowChanged)
            << connect(dataSet, &ClientDataSet::rowInserted, this, &DataSetModel::onRowInserted)
            << connect(dataSet, &ClientDataSet::rowRemoved, this, &DataSetModel::onRowRemoved)
            << connect(dataSet, &QObject::destroyed, this, [this]() {
                   beginResetModel();
                   m_dataSet = nullptr;
                   disconnectAll();
                   m_rowCount = 0;
                   endResetModel();
               });
    }
    resolveFields();
    m_rowCount = m_dataSet ? m_dataSet->recordCount() : 0;
    endResetModel();
}

void DataSetModel::setColumns(const QVector<GridColumn>& columns)
{
    beginResetModel();
    m_columns = columns;
    resolveFields();
    endResetModel();
}

void DataSetModel::addColumn(const GridColumn& column)
{
    const int at = int(m_columns.size());
    beginInsertColumns(QModelIndex(), at, at);
    m_columns.append(column);
    resolveFields();
    endInsertColumns();
}

int DataSetModel::columnIndex(const QString& name) const
{
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void DataSetModel::setColumnCaption(int column, const QString& caption)
{
    if (column < 0 || column >= m_columns.size() || m_columns[column].caption == caption)
        return;
    m_columns[column].caption = caption;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

int DataSetModel::fieldIndexOf(int column) const
{
    if (!m_dataSet || column < 0 || column >= m_fieldIndex.size())
        return -1;
    int& idx = m_fieldIndex[column];
    // A lookup field may be declared after the columns were resolved.
    if (idx < 0 || idx >= m_dataSet->fieldCount())
        idx = m_dataSet->fieldIndex(m_columns[column].fieldName);
    return idx;
}

void DataSetModel::setEditable(bool editable)
{
    if (m_editable == editable)
        return;
    m_editable = editable;
    if (m_rowCount > 0 && !m_columns.isEmpty())
        emit dataChanged(index(0, 0), index(m_rowCount - 1, int(m_columns.size()) - 1));
}

void DataSetModel::resolveFields()
{
    for (const auto& c : std::as_const(m_lookupConnections))
        disconnect(c);
    m_lookupConnections.clear();
    m_fieldIndex.fill(-1, m_columns.size());
    if (!m_dataSet)
        return;
    QVector<ClientDataSet*> lookups;
    for (int i = 0; i < m_columns.size(); ++i) {
        const int idx = m_dataSet->fieldIndex(m_columns[i].fieldName);
        m_fieldIndex[i] = idx;
        if (idx < 0)
            continue;
        const FieldDef& f = m_dataSet->field(idx);
        if (f.isLookup && f.lookupDataSet && !lookups.contains(f.lookupDataSet.data()))
            lookups.append(f.lookupDataSet.data());
    }
    // Shown lookup text changes when the table it comes from does.
    for (ClientDataSet* lookup : std::as_const(lookups)) {
        m_lookupConnections
            << connect(lookup, &ClientDataSet::reset, this, &DataSetModel::onLookupChanged)
            << connect(lookup, &ClientDataSet::rowChanged, this, &DataSetModel::onLookupChanged)
            << connect(lookup, &ClientDataSet::rowInserted, this, &DataSetModel::onLookupChanged)
            << connect(lookup, &ClientDataSet::rowRemoved, this, &DataSetModel::onLookupChanged);
    }
}

void DataSetModel::fullReset()
{
    m_resetting = true;
    beginResetModel();
    resolveFields();
    m_rowCount = m_dataSet ? m_dataSet->recordCount() : 0;
    endResetModel();
    m_resetting = false;
}

int DataSetModel::sourceRow(int row) const
{
    if (row < 0 || row >= m_rowCount)
        return -1;
    if (m_pendingInsert >= 0 && row >= m_pendingInsert)
        return row + 1;
    if (m_pendingRemove >= 0 && row >= m_pendingRemove)
        return row == m_pendingRemove ? -1 : row - 1;
    return row;
}

void DataSetModel::onRowChanged(int row)
{
    if (row < 0 || row >= m_rowCount || m_columns.isEmpty())
        return;
    emit dataChanged(index(row, 0), index(row, int(m_columns.size()) - 1));
}

void DataSetModel::onRowInserted(int row)
{
    const int actual = m_dataSet ? m_dataSet->recordCount() : 0;
    if (row < 0 || row > m_rowCount || actual != m_rowCount + 1) {
        fullReset();
        return;
    }
    m_pendingInsert = row;
    beginInsertRows(QModelIndex(), row, row);
    m_pendingInsert = -1;
    m_rowCount = actual;
    endInsertRows();
}

void DataSetModel::onRowRemoved(int row)
{
    const int actual = m_dataSet ? m_dataSet->recordCount() : 0;
    if (row < 0 || row >= m_rowCount || actual != m_rowCount - 1) {
        fullReset();
        return;
    }
    m_pendingRemove = row;
    beginRemoveRows(QModelIndex(), row, row);
    m_pendingRemove = -1;
    m_rowCount = actual;
    endRemoveRows();
}

void DataSetModel::onLookupChanged()
{
    if (m_rowCount == 0)
        return;
    for (int c = 0; c < m_columns.size(); ++c) {
        const int idx = fieldIndexOf(c);
        if (idx >= 0 && m_dataSet->field(idx).isLookup)
            emit dataChanged(index(0, c), index(m_rowCount - 1, c));
    }
}

int DataSetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int DataSetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant DataSetModel::data(const QModelIndex& index, int role) const
{
    if (!m_dataSet || !index.isValid())
        return {};
    const int row = sourceRow(index.row());
    const int idx = fieldIndexOf(index.column());
    if (row < 0 || row >= m_dataSet->recordCount() || idx < 0)
        return {};
    const FieldDef& f = m_dataSet->field(idx);
    switch (role) {
    case Qt::DisplayRole:
        if (isBlobType(f.type))
            return {};
        return fieldDisplayText(f, m_dataSet->value(row, idx));
    case Qt::EditRole: {
        if (isBlobType(f.type))
            return {};
        const QVariant v = m_dataSet->value(row, idx);
        return f.type == FieldType::Decimal && !v.isNull() ? QVariant(v.toString()) : v;
    }
    case Qt::TextAlignmentRole:
        if (isNumericField(f.type))
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

bool DataSetModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!m_editable || role != Qt::EditRole || !m_dataSet || !index.isValid() ||
        index.row() >= m_dataSet->recordCount())
        return false;
    const int idx = fieldIndexOf(index.column());
    if (idx < 0)
        return false;
    const FieldDef& f = m_dataSet->field(idx);
    if (f.isLookup || f.readOnly || isBlobType(f.type))
        return false;
    bool ok = false;
    const QVariant v = fieldValueFromInput(f, value, &ok);
    if (!ok)
        return false;
    try {
        if (m_dataSet->recNo() != index.row() && !m_dataSet->setRecNo(index.row()))
            return false;
        if (m_dataSet->state() == ClientDataSet::State::Browse)
            m_dataSet->edit();
        m_dataSet->setValue(idx, v);
    } catch (const std::exception& e) {
        // A view has nowhere to propagate this to; the user is told as of any other error.
        reportDataError(e);
        return false;
    }
    return true;
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < m_columns.size()) {
        const GridColumn& c = m_columns[section];
        return c.caption.isEmpty() ? c.fieldName : c.caption;
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags DataSetModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags fl = QAbstractTableModel::flags(index);
    if (!index.isValid() || !m_editable)
        return fl;
    const int idx = fieldIndexOf(index.column());
    if (idx < 0)
        return fl;
    const FieldDef& f = m_dataSet->field(idx);
    if (!f.isLookup && !f.readOnly && !isBlobType(f.type))
        fl |= Qt::ItemIsEditable;
    return fl;
}
