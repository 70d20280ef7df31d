#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QVector>
#include <functional>
#include <memory>

class ClientDataSet;
class DataSetProvider;

enum class FieldType
{
    Integer,
    SmallInt,
    LargeInt,
    Float,
    Decimal,
    String,
    Date,
    Time,
    DateTime,
    Blob
};

// Column of an in-memory result table. Decimal values are kept as exact text ("2.68").
struct FieldDef
{
    QString name;
    FieldType type = FieldType::String;
    int size = 0;  // characters, for strings
    int scale = 0; // digits after the point, for decimals
    bool required = false;
    bool readOnly = false;
    // Blob columns of an on-demand dataset are read by key the first time they are read.
    bool onDemand = false;
    // A lookup column shows lookupResultField of the lookupDataSet row whose lookupKeyField
    // equals this row's keyField. It is computed, never stored, never part of a change.
    bool isLookup = false;
    QPointer<ClientDataSet> lookupDataSet;
    QString keyField;
    QString lookupKeyField;
    QString lookupResultField;
};

bool isBlobType(FieldType t);

// What a statement delivered: columns and every row.
struct ResultTable
{
    QVector<FieldDef> fields;
    QVector<QVector<QVariant>> rows;
};

enum class UpdateKind
{
    Modify,
    Insert,
    Delete
};

// One pending change as handed to a provider's update handler. For a modification the new
// value of a column the user did not touch is null and isAssigned() is false.
class DeltaRecord
{
public:
    UpdateKind kind = UpdateKind::Modify;

    int fieldCount() const { return int(fields.size()); }
    const FieldDef& field(int i) const { return fields[i]; }
    int fieldIndex(const QString& name) const;
    QVariant oldValue(int i) const;
    QVariant newValue(int i) const;
    bool isAssigned(int i) const;
    QVariant oldValue(const QString& name) const;
    QVariant newValue(const QString& name) const;

    QVector<FieldDef> fields;
    QVector<QVariant> oldValues;
    QVector<QVariant> newValues;
    QVector<bool> assigned;
    // Reads an on-demand blob's stored bytes when the change needs them.
    std::function<QVariant(int col)> loadOld;
    QVector<bool> oldLoaded;
};

class ClientDataSet : public QObject
{
    Q_OBJECT
public:
    enum class State
    {
        Inactive,
        Browse,
        Edit,
        Insert
    };

    explicit ClientDataSet(QObject* parent = nullptr);
    ~ClientDataSet() override;

    void setProvider(DataSetProvider* provider);
    DataSetProvider* provider() const { return m_provider; }
    QString commandText() const { return m_commandText; }
    void setCommandText(const QString& sql) { m_commandText = sql; }
    // Values bound in order to the statement's "?" placeholders.
    QVariantList params() const { return m_params; }
    void setParams(const QVariantList& params) { m_params = params; }

    // Fills the table from the provider with the statement text; throws DbError.
    void open();
    // Fills the table from rows in memory (a dataset that no statement feeds).
    void openWith(const ResultTable& table);
    void close();
    bool isActive() const { return m_state != State::Inactive; }
    State state() const { return m_state; }
    bool isEditing() const { return m_state == State::Edit || m_state == State::Insert; }
    // Posts the row being edited or inserted, if any.
    void checkBrowseMode()
    {
        if (isEditing())
            post();
    }

    int fieldCount() const { return int(m_fields.size()); }
    const FieldDef& field(int i) const { return m_fields[i]; }
    // Case-insensitive; -1 when there is none.
    int fieldIndex(const QString& name) const;
    void setFieldRequired(const QString& name, bool required);
    void setFieldReadOnly(const QString& name, bool readOnly);
    // Declared before or after open; kept across reopening.
    void addLookupField(const QString& name, const QString& keyField, ClientDataSet* lookup,
                        const QString& lookupKeyField, const QString& lookupResultField);

    // Rows visible through the filter, in order; the cursor indexes these.
    int recordCount() const;
    bool isEmpty() const { return recordCount() == 0; }
    int recNo() const { return m_cursor; }
    bool setRecNo(int row);
    bool bof() const { return m_bof; }
    bool eof() const { return m_eof; }
    void first();
    void last();
    void next();
    void prior();
    bool locate(const QString& fieldName, const QVariant& value);

    // Current row. Reading a lookup column computes it; an on-demand blob is read by key.
    QVariant value(const QString& fieldName) const;
    QVariant value(int col) const;
    QVariant value(int row, int col) const;
    bool isNull(const QString& fieldName) const { return value(fieldName).isNull(); }
    // Needs Edit or Insert state.
    void setValue(const QString& fieldName, const QVariant& v);
    void setValue(int col, const QVariant& v);

    void edit();
    void append();
    void insert();
    void post();
    void cancel();
    void deleteRecord();

    // Shows only rows whose fieldName equals value; an invalid value clears the filter.
    // Data-aware controls editing an empty dataset start a new row instead of refusing.
    void setAppendOnFirstEdit(bool on) { m_appendOnFirstEdit = on; }
    bool appendsOnFirstEdit() const { return m_appendOnFirstEdit; }

    void setFilter(const QString& fieldName, const QVariant& value);
    void clearFilter();
    bool isFiltered() const { return m_filterCol >= 0; }

    // Change log.
    int changeCount() const;
    QVector<DeltaRecord> delta() const;
    // Hands every pending change to the provider, in the order they were first made. With
    // maxErrors 0 the first failure stops it and is rethrown; every change stays pending.
    // Returns the number of failed changes.
    int applyUpdates(int maxErrors);
    // Pending changes become the stored state.
    void mergeChangeLog();
    // Pending changes are dropped and the rows return to their stored state.
    void cancelUpdates();

    // Hooks in the manner of dataset events.
    std::function<void(ClientDataSet&)> onNewRecord;
    std::function<void(ClientDataSet&)> onBeforePost;
    std::function<void(ClientDataSet&)> onAfterScroll;

Q_SIGNALS:
    // Opened, closed, refiltered or reverted: rows and columns may all differ.
    void reset();
    void rowChanged(int row);
    void rowInserted(int row);
    void rowRemoved(int row);
    void currentChanged(int row);
    void stateChanged(ClientDataSet::State state);

private:
    struct Row;
    void loadTable(const ResultTable& table);
    int storeIndex(int visibleRow) const;
    void rebuildVisible();
    void moveTo(int row);
    void beginNewRow(bool atEnd);
    QVariant cell(const Row& row, int col) const;
    QVariant lookupValue(const Row& row, int col) const;
    void checkEditing() const;
    void setState(State s);
    void lookupReset();

    QPointer<DataSetProvider> m_provider;
    QString m_commandText;
    QVariantList m_params;
    State m_state = State::Inactive;
    QVector<FieldDef> m_fields;
    QVector<FieldDef> m_lookups;                 // declared lookup columns, re-added on every open
    std::vector<std::unique_ptr<Row>> m_rows;    // stored rows, in order
    std::vector<std::unique_ptr<Row>> m_deleted; // deleted rows awaiting apply
    QVector<int> m_visible;                      // indexes into m_rows
    int m_cursor = -1;
    bool m_bof = true;
    bool m_eof = true;
    int m_filterCol = -1;
    QVariant m_filterValue;
    std::unique_ptr<Row> m_editBuffer; // copy of the row being edited, for cancel
    int m_editRow = -1;                // store index of the row in Edit/Insert
    quint64 m_seq = 0;                 // order of first change
    bool m_appendOnFirstEdit = false;
};

// Connects a client dataset to the database: runs its statement through the data module and
// hands each pending change to the update handler of the window that owns it.
class DataSetProvider : public QObject
{
    Q_OBJECT
public:
    using UpdateHandler = std::function<void(ClientDataSet& source, const DeltaRecord& delta,
                                             UpdateKind kind, bool& applied)>;

    explicit DataSetProvider(QObject* parent = nullptr);

    void setBeforeUpdateRecord(UpdateHandler handler) { m_handler = std::move(handler); }
    // The usual handler: each kind of change runs its statement through the data module's
    // updateData; a kind without a statement is dropped, and every change counts as applied.
    void setUpdateStatements(const QString& modify, const QString& insert, const QString& remove);
    // The listing leaves binary blob columns out (those named, or all when none are named);
    // each is read from table by keyField when a row's value is first read.
    void setBlobsOnDemand(const QString& table, const QString& keyField,
                          const QStringList& columns = {});
    bool blobsOnDemand() const { return !m_blobTable.isEmpty(); }

    ResultTable fetch(const QString& sql, const QVariantList& params);
    QVariant fetchBlob(const QString& fieldName, const QVariant& key);
    QString keyField() const { return m_keyField; }
    // Runs the handler for one change; a change the handler does not mark applied fails.
    void applyChange(ClientDataSet& source, const DeltaRecord& delta);

private:
    UpdateHandler m_handler;
    QString m_blobTable;
    QString m_keyField;
    QStringList m_blobColumns;
};

// A window's dataset and its provider, both owned by owner and named as the window names them.
ClientDataSet* newDataSet(QObject* owner, const QString& name, DataSetProvider*& provider,
                          const QString& providerName);
