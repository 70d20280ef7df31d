#include "clientdataset.h"

#include "messagebox.h"

#include "dberror.h"
#include "dmdata.h"
#include "fieldvalue.h"

#include <QDate>
#include <algorithm>

bool isBlobType(FieldType t)
{
    return t == FieldType::Blob;
}

namespace {

// Values are kept in one representation per field type, so that comparing a stored value with
// an edited one means the same thing everywhere.
QVariant normalize(const FieldDef& f, const QVariant& v)
{
    bool ok = false;
    const QVariant value = fieldValueFromInput(f, v, &ok);
    if (!ok)
        throw DbError(
            QStringLiteral("'%1' is not a valid value for field %2").arg(v.toString(), f.name));
    // Caught here rather than by the engine at the next save, which would fail the whole save.
    if (f.type == FieldType::String && f.size > 0 && value.toString().size() > f.size)
        throw DbError(
            messageLanguageIndex() == 1
                ? QStringLiteral("%1 最多只能输入 %2 个字符。").arg(f.name).arg(f.size)
                : QStringLiteral("%1 takes at most %2 characters.").arg(f.name).arg(f.size));
    return value;
}

bool sameValue(const QVariant& a, const QVariant& b)
{
    return sameFieldValue(a, b);
}

} // namespace

struct ClientDataSet::Row
{
    enum Status
    {
        Unchanged,
        Modified,
        Inserted
    };
    QVector<QVariant> values;
    QVector<QVariant> original;
    QVector<bool> loaded; // false for an on-demand blob not read yet
    Status status = Unchanged;
    quint64 seq = 0;   // order of first change, 0 while unchanged
    quint64 order = 0; // position in the stored order, for reverting
};

// ---------------------------------------------------------------------------------------------

int DeltaRecord::fieldIndex(const QString& name) const
{
    for (int i = 0; i < fields.size(); ++i) {
        if (fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QVariant DeltaRecord::oldValue(int i) const
{
    if (i < oldLoaded.size() && !oldLoaded[i] && loadOld)
        return loadOld(i);
    return oldValues.value(i);
}

QVariant DeltaRecord::newValue(int i) const
{
    return newValues.value(i);
}

bool DeltaRecord::isAssigned(int i) const
{
    return assigned.value(i);
}

QVariant DeltaRecord::oldValue(const QString& name) const
{
    const int i = fieldIndex(name);
    return i < 0 ? QVariant() : oldValue(i);
}

QVariant DeltaRecord::newValue(const QString& name) const
{
    const int i = fieldIndex(name);
    return i < 0 ? QVariant() : newValue(i);
}

// ---------------------------------------------------------------------------------------------

ClientDataSet::ClientDataSet(QObject* parent) : QObject(parent) {}

ClientDataSet::~ClientDataSet() = default;

void ClientDataSet::setProvider(DataSetProvider* provider)
{
    m_provider = provider;
}

void ClientDataSet::open()
{
    if (!m_provider)
        throw DbError(QStringLiteral("Dataset %1 has no provider").arg(objectName()));
    if (isActive())
        close();
    loadTable(m_provider->fetch(m_commandText, m_params));
}

void ClientDataSet::openWith(const ResultTable& table)
{
    if (isActive())
        close();
    loadTable(table);
}

void ClientDataSet::loadTable(const ResultTable& table)
{
    m_fields = table.fields;
    const int dataCount = int(m_fields.size());
    for (const FieldDef& l : m_lookups)
        m_fields.append(l);
    m_rows.clear();
    m_deleted.clear();
    m_rows.reserve(table.rows.size());
    quint64 order = 0;
    for (const QVector<QVariant>& src : table.rows) {
        auto row = std::make_unique<Row>();
        row->values.resize(m_fields.size());
        row->loaded.fill(true, m_fields.size());
        for (int c = 0; c < dataCount && c < src.size(); ++c) {
            if (m_fields[c].onDemand)
                row->loaded[c] = false;
            else
                row->values[c] = src[c];
        }
        row->original = row->values;
        row->order = ++order;
        m_rows.push_back(std::move(row));
    }
    m_seq = 0;
    m_editBuffer.reset();
    m_editRow = -1;
    m_filterCol = m_filterCol >= 0 ? fieldIndex(m_fields.value(m_filterCol).name) : -1;
    rebuildVisible();
    m_cursor = m_visible.isEmpty() ? -1 : 0;
    m_bof = true;
    m_eof = m_visible.isEmpty();
    setState(State::Browse);
    emit reset();
    emit currentChanged(m_cursor);
}

void ClientDataSet::close()
{
    if (!isActive())
        return;
    m_rows.clear();
    m_deleted.clear();
    m_visible.clear();
    m_fields.clear();
    m_editBuffer.reset();
    m_editRow = -1;
    m_cursor = -1;
    m_bof = m_eof = true;
    setState(State::Inactive);
    emit reset();
    emit currentChanged(-1);
}

int ClientDataSet::fieldIndex(const QString& name) const
{
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void ClientDataSet::setFieldRequired(const QString& name, bool required)
{
    const int i = fieldIndex(name);
    if (i < 0)
        throw DbError(QStringLiteral("Field '%1' not found").arg(name));
    m_fields[i].required = required;
}

void ClientDataSet::setFieldReadOnly(const QString& name, bool readOnly)
{
    const int i = fieldIndex(name);
    if (i < 0)
        throw DbError(QStringLiteral("Field '%1' not found").arg(name));
    m_fields[i].readOnly = readOnly;
}

void ClientDataSet::addLookupField(const QString& name, const QString& keyField,
                                   ClientDataSet* lookup, const QString& lookupKeyField,
                                   const QString& lookupResultField)
{
    FieldDef f;
    f.name = name;
    f.type = FieldType::String;
    f.readOnly = true;
    f.isLookup = true;
    f.lookupDataSet = lookup;
    f.keyField = keyField;
    f.lookupKeyField = lookupKeyField;
    f.lookupResultField = lookupResultField;
    m_lookups.append(f);
    if (isActive()) {
        m_fields.append(f);
        for (auto& row : m_rows) {
            row->values.append(QVariant());
            row->original.append(QVariant());
            row->loaded.append(true);
        }
        emit reset();
    }
    if (lookup) {
        // A changed dictionary changes what the column shows.
        connect(lookup, &ClientDataSet::reset, this, &ClientDataSet::lookupReset,
                Qt::UniqueConnection);
    }
}

void ClientDataSet::lookupReset()
{
    if (isActive())
        emit reset();
}

int ClientDataSet::recordCount() const
{
    return int(m_visible.size());
}

int ClientDataSet::storeIndex(int visibleRow) const
{
    return visibleRow >= 0 && visibleRow < m_visible.size() ? m_visible[visibleRow] : -1;
}

void ClientDataSet::rebuildVisible()
{
    m_visible.clear();
    m_visible.reserve(int(m_rows.size()));
    for (int i = 0; i < int(m_rows.size()); ++i) {
        const bool editing = i == m_editRow && m_state == State::Insert;
        if (m_filterCol < 0 || editing || sameValue(m_rows[i]->values[m_filterCol], m_filterValue))
            m_visible.append(i);
    }
}

bool ClientDataSet::setRecNo(int row)
{
    if (row < 0 || row >= recordCount())
        return false;
    moveTo(row);
    return true;
}

void ClientDataSet::moveTo(int row)
{
    if (!isActive())
        return;
    if (m_state == State::Edit || m_state == State::Insert) {
        if (row == m_cursor)
            return;
        // Leaving a row being edited stores it, as data-aware controls expect.
        const int target = m_visible.value(row, -1);
        post();
        row = target < 0 ? -1 : int(m_visible.indexOf(target));
        if (row < 0)
            row = std::min(m_cursor, recordCount() - 1);
    }
    const int old = m_cursor;
    m_cursor = row;
    if (old != m_cursor) {
        emit currentChanged(m_cursor);
        if (onAfterScroll)
            onAfterScroll(*this);
    }
}

void ClientDataSet::first()
{
    if (recordCount() > 0)
        moveTo(0);
    m_bof = true;
    m_eof = recordCount() == 0;
}

void ClientDataSet::last()
{
    if (recordCount() > 0)
        moveTo(recordCount() - 1);
    m_eof = true;
    m_bof = recordCount() == 0;
}

void ClientDataSet::next()
{
    if (m_cursor + 1 < recordCount()) {
        moveTo(m_cursor + 1);
        m_bof = false;
        m_eof = false;
    } else {
        m_eof = true;
    }
}

void ClientDataSet::prior()
{
    if (m_cursor > 0) {
        moveTo(m_cursor - 1);
        m_bof = false;
        m_eof = false;
    } else {
        m_bof = true;
    }
}

bool ClientDataSet::locate(const QString& fieldName, const QVariant& value)
{
    const int col = fieldIndex(fieldName);
    if (col < 0)
        throw DbError(QStringLiteral("Field '%1' not found").arg(fieldName));
    const QVariant wanted = m_fields[col].isLookup ? value : normalize(m_fields[col], value);
    for (int r = 0; r < recordCount(); ++r) {
        if (sameValue(this->value(r, col), wanted)) {
            moveTo(r);
            return true;
        }
    }
    return false;
}

QVariant ClientDataSet::value(const QString& fieldName) const
{
    const int col = fieldIndex(fieldName);
    if (col < 0)
        throw DbError(QStringLiteral("Field '%1' not found").arg(fieldName));
    return value(col);
}

QVariant ClientDataSet::value(int col) const
{
    return value(m_cursor, col);
}

QVariant ClientDataSet::value(int row, int col) const
{
    const int s = storeIndex(row);
    if (s < 0 || col < 0 || col >= m_fields.size())
        return QVariant();
    return cell(*m_rows[s], col);
}

QVariant ClientDataSet::cell(const Row& row, int col) const
{
    const FieldDef& f = m_fields[col];
    if (f.isLookup)
        return lookupValue(row, col);
    if (!row.loaded[col]) {
        // Read the stored bytes by key the first time the column is read.
        Row& r = const_cast<Row&>(row);
        const int key = fieldIndex(m_provider ? m_provider->keyField() : QString());
        const QVariant v =
            m_provider && key >= 0 ? m_provider->fetchBlob(f.name, r.original[key]) : QVariant();
        r.values[col] = v;
        r.original[col] = v;
        r.loaded[col] = true;
    }
    return row.values[col];
}

QVariant ClientDataSet::lookupValue(const Row& row, int col) const
{
    const FieldDef& f = m_fields[col];
    const ClientDataSet* l = f.lookupDataSet.data();
    const int keyCol = fieldIndex(f.keyField);
    if (!l || keyCol < 0 || !l->isActive())
        return QVariant();
    const QVariant key = row.values[keyCol];
    if (key.isNull())
        return QVariant();
    const int lk = l->fieldIndex(f.lookupKeyField);
    const int lr = l->fieldIndex(f.lookupResultField);
    if (lk < 0 || lr < 0)
        return QVariant();
    for (int r = 0; r < l->recordCount(); ++r) {
        const QVariant k = l->value(r, lk);
        if (!k.isNull() && k.toString() == key.toString())
            return l->value(r, lr);
    }
    return QVariant();
}

void ClientDataSet::checkEditing() const
{
    if (m_state != State::Edit && m_state != State::Insert)
        throw DbError(QStringLiteral("Dataset %1 is not in edit or insert mode").arg(objectName()));
}

void ClientDataSet::setValue(const QString& fieldName, const QVariant& v)
{
    const int col = fieldIndex(fieldName);
    if (col < 0)
        throw DbError(QStringLiteral("Field '%1' not found").arg(fieldName));
    setValue(col, v);
}

void ClientDataSet::setValue(int col, const QVariant& v)
{
    checkEditing();
    if (col < 0 || col >= m_fields.size())
        throw DbError(QStringLiteral("No field %1").arg(col));
    const FieldDef& f = m_fields[col];
    if (f.isLookup)
        throw DbError(QStringLiteral("Field '%1' cannot be modified").arg(f.name));
    Row& row = *m_rows[m_editRow];
    const QVariant nv = normalize(f, v);
    if (!row.loaded[col])
        cell(row, col); // the stored bytes are needed to tell a change from none
    if (sameValue(row.values[col], nv))
        return;
    row.values[col] = nv;
    emit rowChanged(m_cursor);
}

void ClientDataSet::edit()
{
    if (m_state == State::Edit || m_state == State::Insert)
        return;
    if (m_state == State::Inactive)
        throw DbError(QStringLiteral("Dataset %1 is not open").arg(objectName()));
    if (m_cursor < 0)
        throw DbError(QStringLiteral("Dataset %1 has no current record").arg(objectName()));
    m_editRow = m_visible[m_cursor];
    m_editBuffer = std::make_unique<Row>(*m_rows[m_editRow]);
    setState(State::Edit);
}

void ClientDataSet::append()
{
    beginNewRow(true);
}

void ClientDataSet::insert()
{
    beginNewRow(false);
}

void ClientDataSet::beginNewRow(bool atEnd)
{
    if (m_state == State::Inactive)
        throw DbError(QStringLiteral("Dataset %1 is not open").arg(objectName()));
    if (m_state == State::Edit || m_state == State::Insert)
        post();
    auto row = std::make_unique<Row>();
    row->values.resize(m_fields.size());
    row->original.resize(m_fields.size());
    row->loaded.fill(true, m_fields.size());
    row->status = Row::Inserted;
    int storeAt = int(m_rows.size());
    int visibleAt = recordCount();
    if (!atEnd && m_cursor >= 0) {
        storeAt = m_visible[m_cursor];
        visibleAt = m_cursor;
    }
    // Orders between neighbours are not needed: reverting drops inserted rows.
    row->order = std::numeric_limits<quint64>::max();
    m_rows.insert(m_rows.begin() + storeAt, std::move(row));
    m_editRow = storeAt;
    m_editBuffer.reset();
    m_state = State::Insert;
    rebuildVisible();
    m_cursor = visibleAt;
    m_bof = m_eof = false;
    emit rowInserted(visibleAt);
    emit stateChanged(m_state);
    emit currentChanged(m_cursor);
    if (onNewRecord)
        onNewRecord(*this);
}

void ClientDataSet::post()
{
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    if (onBeforePost)
        onBeforePost(*this);
    Row& row = *m_rows[m_editRow];
    for (int c = 0; c < m_fields.size(); ++c) {
        const FieldDef& f = m_fields[c];
        if (f.required && !f.isLookup && row.loaded[c] && row.values[c].isNull())
            throw DbError(QStringLiteral("Field '%1' must have a value").arg(f.name));
    }
    if (m_state == State::Insert) {
        row.seq = ++m_seq;
    } else if (row.status == Row::Unchanged) {
        bool changed = false;
        for (int c = 0; c < m_fields.size() && !changed; ++c)
            changed = !m_fields[c].isLookup && row.loaded[c] &&
                      !sameValue(row.values[c], row.original[c]);
        if (changed) {
            row.status = Row::Modified;
            row.seq = ++m_seq;
        }
    }
    const int stored = m_editRow;
    m_editRow = -1;
    m_editBuffer.reset();
    setState(State::Browse);
    const int before = m_cursor;
    rebuildVisible();
    const int now = int(m_visible.indexOf(stored));
    if (now < 0) {
        // The filter no longer shows the row.
        m_cursor = std::min(before, recordCount() - 1);
        emit reset();
        emit currentChanged(m_cursor);
    } else {
        m_cursor = now;
        emit rowChanged(m_cursor);
    }
}

void ClientDataSet::cancel()
{
    if (m_state == State::Edit) {
        *m_rows[m_editRow] = *m_editBuffer;
        m_editBuffer.reset();
        m_editRow = -1;
        setState(State::Browse);
        emit rowChanged(m_cursor);
    } else if (m_state == State::Insert) {
        m_rows.erase(m_rows.begin() + m_editRow);
        m_editRow = -1;
        m_state = State::Browse; // listeners hear of it once the rows are settled
        const int removed = m_cursor;
        rebuildVisible();
        m_cursor = std::min(removed, recordCount() - 1);
        m_eof = m_bof = recordCount() == 0;
        emit rowRemoved(removed);
        emit stateChanged(m_state);
        emit currentChanged(m_cursor);
    }
}

void ClientDataSet::deleteRecord()
{
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    if (m_state == State::Edit)
        cancel();
    if (m_cursor < 0)
        throw DbError(QStringLiteral("Dataset %1 has no current record").arg(objectName()));
    const int s = m_visible[m_cursor];
    std::unique_ptr<Row> row = std::move(m_rows[s]);
    m_rows.erase(m_rows.begin() + s);
    if (row->status != Row::Inserted) {
        if (row->seq == 0)
            row->seq = ++m_seq;
        m_deleted.push_back(std::move(row));
    }
    const int removed = m_cursor;
    rebuildVisible();
    emit rowRemoved(removed);
    m_cursor = std::min(removed, recordCount() - 1);
    m_eof = m_bof = recordCount() == 0;
    emit currentChanged(m_cursor);
}

void ClientDataSet::setFilter(const QString& fieldName, const QVariant& value)
{
    if (!value.isValid()) {
        clearFilter();
        return;
    }
    if (m_state == State::Edit || m_state == State::Insert)
        post();
    const int col = fieldIndex(fieldName);
    if (col < 0)
        throw DbError(QStringLiteral("Field '%1' not found").arg(fieldName));
    m_filterCol = col;
    m_filterValue = normalize(m_fields[col], value);
    rebuildVisible();
    m_cursor = recordCount() > 0 ? 0 : -1;
    m_bof = true;
    m_eof = recordCount() == 0;
    emit reset();
    emit currentChanged(m_cursor);
}

void ClientDataSet::clearFilter()
{
    if (m_filterCol < 0)
        return;
    if (m_state == State::Edit || m_state == State::Insert)
        post();
    const int current = storeIndex(m_cursor);
    m_filterCol = -1;
    m_filterValue = QVariant();
    rebuildVisible();
    m_cursor = current >= 0 ? current : (recordCount() > 0 ? 0 : -1);
    emit reset();
    emit currentChanged(m_cursor);
}

int ClientDataSet::changeCount() const
{
    int n = int(m_deleted.size());
    for (const auto& row : m_rows)
        n += row->status != Row::Unchanged ? 1 : 0;
    return n;
}

QVector<DeltaRecord> ClientDataSet::delta() const
{
    struct Change
    {
        const Row* row;
        UpdateKind kind;
    };
    std::vector<Change> changes;
    for (const auto& row : m_rows) {
        // A row still being inserted or edited is not a change until it is posted.
        if (row->status == Row::Inserted && row->seq > 0)
            changes.push_back({row.get(), UpdateKind::Insert});
        else if (row->status == Row::Modified)
            changes.push_back({row.get(), UpdateKind::Modify});
    }
    for (const auto& row : m_deleted)
        changes.push_back({row.get(), UpdateKind::Delete});
    std::sort(changes.begin(), changes.end(),
              [](const Change& a, const Change& b) { return a.row->seq < b.row->seq; });

    QVector<FieldDef> dataFields;
    for (const FieldDef& f : m_fields) {
        if (!f.isLookup)
            dataFields.append(f);
    }
    const int n = int(dataFields.size());
    const int key = fieldIndex(m_provider ? m_provider->keyField() : QString());

    QVector<DeltaRecord> out;
    out.reserve(int(changes.size()));
    for (const Change& ch : changes) {
        // While a row is edited its values in the store are the edited ones; the change log
        // describes posted values only.
        const Row& row =
            (ch.row == (m_editRow >= 0 ? m_rows[m_editRow].get() : nullptr) && m_editBuffer)
                ? *m_editBuffer
                : *ch.row;
        DeltaRecord d;
        d.kind = ch.kind;
        d.fields = dataFields;
        d.oldValues.resize(n);
        d.newValues.resize(n);
        d.assigned.fill(false, n);
        d.oldLoaded.fill(true, n);
        int c = 0;
        for (int i = 0; i < m_fields.size(); ++i) {
            if (m_fields[i].isLookup)
                continue;
            if (ch.kind == UpdateKind::Insert) {
                d.newValues[c] = row.values[i];
                d.assigned[c] = true;
            } else {
                d.oldValues[c] = row.original[i];
                d.oldLoaded[c] = row.loaded[i]; // else read by key when needed
                if (ch.kind == UpdateKind::Modify && row.loaded[i] &&
                    !sameValue(row.values[i], row.original[i])) {
                    d.newValues[c] = row.values[i];
                    d.assigned[c] = true;
                }
            }
            ++c;
        }
        if (m_provider && key >= 0 && ch.kind != UpdateKind::Insert) {
            QPointer<DataSetProvider> provider = m_provider;
            const QVariant keyValue = row.original[key];
            const QVector<FieldDef> fields = dataFields;
            d.loadOld = [provider, keyValue, fields](int col) -> QVariant {
                return provider ? provider->fetchBlob(fields[col].name, keyValue) : QVariant();
            };
        }
        out.append(d);
    }
    return out;
}

int ClientDataSet::applyUpdates(int maxErrors)
{
    if (m_state == State::Edit || m_state == State::Insert)
        post();
    const QVector<DeltaRecord> changes = delta();
    if (changes.isEmpty())
        return 0;
    if (!m_provider)
        throw DbError(QStringLiteral("Dataset %1 has no provider").arg(objectName()));
    int errors = 0;
    for (const DeltaRecord& d : changes) {
        try {
            m_provider->applyChange(*this, d);
        } catch (...) {
            ++errors;
            if (maxErrors >= 0 && errors > maxErrors)
                throw;
        }
    }
    return errors;
}

void ClientDataSet::mergeChangeLog()
{
    if (m_state == State::Edit || m_state == State::Insert)
        post();
    m_deleted.clear();
    quint64 order = 0;
    for (auto& row : m_rows) {
        row->original = row->values;
        row->status = Row::Unchanged;
        row->seq = 0;
        row->order = ++order;
    }
    m_seq = 0;
}

void ClientDataSet::cancelUpdates()
{
    if (m_state == State::Edit || m_state == State::Insert)
        cancel();
    std::vector<std::unique_ptr<Row>> rows;
    for (auto& row : m_rows) {
        if (row->status == Row::Inserted)
            continue;
        row->values = row->original;
        row->status = Row::Unchanged;
        row->seq = 0;
        rows.push_back(std::move(row));
    }
    for (auto& row : m_deleted) {
        row->values = row->original;
        row->status = Row::Unchanged;
        row->seq = 0;
        rows.push_back(std::move(row));
    }
    m_deleted.clear();
    std::stable_sort(rows.begin(), rows.end(),
                     [](const auto& a, const auto& b) { return a->order < b->order; });
    m_rows = std::move(rows);
    m_seq = 0;
    rebuildVisible();
    m_cursor = recordCount() > 0 ? 0 : -1;
    emit reset();
    emit currentChanged(m_cursor);
}

void ClientDataSet::setState(State s)
{
    if (m_state == s)
        return;
    m_state = s;
    emit stateChanged(s);
}

// ---------------------------------------------------------------------------------------------

DataSetProvider::DataSetProvider(QObject* parent) : QObject(parent) {}

void DataSetProvider::setBlobsOnDemand(const QString& table, const QString& keyField,
                                       const QStringList& columns)
{
    m_blobTable = table;
    m_keyField = keyField;
    m_blobColumns = columns;
}

void DataSetProvider::setUpdateStatements(const QString& modify, const QString& insert,
                                          const QString& remove)
{
    m_handler = [modify, insert, remove](ClientDataSet& source, const DeltaRecord& delta,
                                         UpdateKind kind, bool& applied) {
        const QString& sql = kind == UpdateKind::Modify   ? modify
                             : kind == UpdateKind::Insert ? insert
                                                          : remove;
        if (!sql.isEmpty()) {
            if (!dmData)
                throw DbError(QStringLiteral("The data module is not created"));
            dmData->updateData(source, delta, sql);
        }
        applied = true;
    };
}

ResultTable DataSetProvider::fetch(const QString& sql, const QVariantList& params)
{
    if (!dmData)
        throw DbError(QStringLiteral("The data module is not created"));
    return dmData->selectRows(sql, params, blobsOnDemand(), false, m_blobColumns);
}

QVariant DataSetProvider::fetchBlob(const QString& fieldName, const QVariant& key)
{
    if (!dmData || m_blobTable.isEmpty() || key.isNull())
        return QVariant();
    return dmData->selectBlob(m_blobTable, m_keyField, fieldName, key);
}

void DataSetProvider::applyChange(ClientDataSet& source, const DeltaRecord& delta)
{
    if (!m_handler)
        throw DbError(QStringLiteral("No update handler for %1").arg(source.objectName()));
    bool applied = false;
    m_handler(source, delta, delta.kind, applied);
    if (!applied)
        throw DbError(QStringLiteral("A change of %1 was not applied").arg(source.objectName()));
}

ClientDataSet* newDataSet(QObject* owner, const QString& name, DataSetProvider*& provider,
                          const QString& providerName)
{
    auto* ds = new ClientDataSet(owner);
    ds->setObjectName(name);
    provider = new DataSetProvider(owner);
    provider->setObjectName(providerName);
    ds->setProvider(provider);
    return ds;
}
