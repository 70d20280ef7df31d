#include "dmdata.h"

#include "dberror.h"
#include "firebirdenv.h"
#include "messagebox.h"
#include "sqlstatement.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

TdmData* dmData = nullptr;

namespace {

// Firebird's SQL type codes, as QSqlField::typeID() reports them.
constexpr int kSqlShort = 500;

FieldDef fieldFromSql(const QSqlField& f)
{
    FieldDef d;
    d.name = f.name();
    switch (f.metaType().id()) {
    case QMetaType::Int:
        d.type = (f.typeID() & ~1) == kSqlShort ? FieldType::SmallInt : FieldType::Integer;
        break;
    case QMetaType::LongLong:
        d.type = FieldType::LargeInt;
        break;
    case QMetaType::Double:
        if (f.precision() > 0) {
            d.type = FieldType::Decimal;
            d.scale = f.precision();
        } else {
            d.type = FieldType::Float;
        }
        break;
    case QMetaType::QDate:
        d.type = FieldType::Date;
        break;
    case QMetaType::QTime:
        d.type = FieldType::Time;
        break;
    case QMetaType::QDateTime:
        d.type = FieldType::DateTime;
        break;
    case QMetaType::QByteArray:
        d.type = FieldType::Blob;
        break;
    default:
        d.type = FieldType::String;
        d.size = f.length() > 0 ? int(f.length()) / 4 : 0; // UTF8: four bytes a character
        break;
    }
    return d;
}

bool isIdentifier(const QString& s)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_$]*$"));
    return re.match(s).hasMatch();
}

QString quoted(const QString& name)
{
    QString n = name;
    return QLatin1Char('"') + n.replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

// The text of a failed self-contained write: the engine's message, explained where the cause is
// another workstation rather than this one.
QString failureText(const DbError& e, int language)
{
    if (e.sqlCode() != -913 && e.sqlCode() != -901)
        return e.message();
    if (!e.message().contains(QLatin1String("concurrent"), Qt::CaseInsensitive) &&
        !e.message().contains(QLatin1String("deadlock"), Qt::CaseInsensitive))
        return e.message();
    const QString why = language == 2
                            ? QStringLiteral("Another workstation changed the same record at the "
                                             "same time. Nothing was saved; please save again.")
                            : QStringLiteral("其他工作站同时修改了同一记录，本次没有保存任何内容，"
                                             "请重新保存。");
    return why + QStringLiteral("\n\n") + e.message();
}

} // namespace

TdmData::TdmData(const QString& databasePath, QObject* parent)
    : QObject(parent), m_path(databasePath.isEmpty() ? defaultDatabasePath() : databasePath)
{
    dmData = this;
    setLanguageIndexSource([] { return dmData ? dmData->FLanguageIndex : 0; });

    ClientDataSet1 = new ClientDataSet(this);
    ClientDataSet1->setObjectName(QStringLiteral("ClientDataSet1"));
    m_captionProvider = new DataSetProvider(this);
    ClientDataSet1->setProvider(m_captionProvider);

    const QString envError = prepareEmbeddedFirebird();
    m_connection = QStringLiteral("dmData-%1").arg(quintptr(this), 0, 16);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), m_connection);
    db.setDatabaseName(m_path);
    db.setUserName(QStringLiteral("sysdba"));
    db.setPassword(QStringLiteral("plumtrees"));
    FCanLogin = false;
    if (!db.open()) {
        QString text = db.lastError().databaseText().trimmed();
        if (text.isEmpty())
            text = db.lastError().text().trimmed();
        if (!envError.isEmpty())
            text += QLatin1Char('\n') + envError;
        ShowException(QStringLiteral("%1\n%2").arg(m_path, text));
        return;
    }
    try {
        GetLanguage();
    } catch (const DbError& e) {
        ShowException(e.message());
    }
}

TdmData::~TdmData()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        if (db.isOpen()) {
            if (m_open)
                db.rollback();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(m_connection);
    if (dmData == this)
        dmData = nullptr;
}

QString TdmData::defaultDatabasePath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("protocal.dll"));
}

QSqlDatabase TdmData::database() const
{
    return QSqlDatabase::database(m_connection, false);
}

bool TdmData::isConnected() const
{
    return database().isOpen();
}

void TdmData::requireConnection() const
{
    if (!isConnected())
        throw DbError(QStringLiteral("The database %1 is not open.").arg(m_path));
}

void TdmData::rollbackOpen()
{
    if (m_open) {
        m_open = false;
        m_composed = false;
        m_pendingMerge.clear();
        if (!database().rollback())
            throw DbError::fromSql(database().lastError());
    }
}

void TdmData::startRead()
{
    requireConnection();
    if (m_composed)
        return; // a read inside a composed write must not discard it
    rollbackOpen();
    if (!database().transaction())
        throw DbError::fromSql(database().lastError());
    m_open = true;
}

// ---------------------------------------------------------------------------------------------
// Reads

ResultTable TdmData::selectRows(const QString& sql, const QVariantList& params, bool blobsOnDemand,
                                bool freshTransaction, const QStringList& onDemandColumns)
{
    requireConnection();
    if (freshTransaction)
        startRead();

    SqlStatement first(sql);
    first.bindPositional(params);
    QSqlQuery q = first.exec(database());

    ResultTable table;
    const QSqlRecord rec = q.record();
    bool wrap = false;
    for (int i = 0; i < rec.count(); ++i) {
        FieldDef f = fieldFromSql(rec.field(i));
        if (f.type == FieldType::Decimal)
            wrap = true;
        if (blobsOnDemand && f.type == FieldType::Blob &&
            (onDemandColumns.isEmpty() || onDemandColumns.contains(f.name, Qt::CaseInsensitive))) {
            f.onDemand = true;
            wrap = true;
        }
        table.fields.append(f);
    }

    // Scaled numerics are read as text (the driver goes through a double) and on-demand blobs
    // are left out of the listing (the driver reads every blob of every fetched row): both by
    // selecting from the statement as a derived table.
    QVector<int> source(table.fields.size(), -1);
    if (wrap) {
        QStringList cols;
        for (int i = 0; i < table.fields.size(); ++i) {
            const FieldDef& f = table.fields[i];
            if (f.onDemand)
                continue;
            const QString col = QStringLiteral("q_.") + quoted(f.name);
            if (f.type == FieldType::Decimal)
                cols << QStringLiteral("CAST(%1 AS VARCHAR(40))").arg(col);
            else
                cols << col;
            source[i] = int(cols.size()) - 1;
        }
        if (cols.isEmpty())
            cols << QStringLiteral("1");
        q.finish();
        q = QSqlQuery();
        SqlStatement outer(
            QStringLiteral("select %1 from (%2) q_").arg(cols.join(QLatin1Char(',')), sql));
        outer.bindPositional(params);
        q = outer.exec(database());
    } else {
        for (int i = 0; i < source.size(); ++i)
            source[i] = i;
    }

    while (q.next()) {
        QVector<QVariant> row(table.fields.size());
        for (int i = 0; i < table.fields.size(); ++i) {
            if (source[i] < 0)
                continue;
            QVariant v = q.value(source[i]);
            if (v.isNull())
                v = QVariant();
            else if (table.fields[i].type == FieldType::Decimal)
                v = v.toString().trimmed();
            row[i] = v;
        }
        table.rows.append(row);
    }
    return table;
}

QVariant TdmData::selectBlob(const QString& table, const QString& keyField, const QString& field,
                             const QVariant& key)
{
    requireConnection();
    if (!isIdentifier(table) || !isIdentifier(keyField) || !isIdentifier(field))
        throw DbError(QStringLiteral("Not a column: %1.%2").arg(table, field));
    // A column read later belongs to its listing: it runs in the open transaction, if any.
    SqlStatement st(QStringLiteral("select %1 from %2 where %3=?").arg(field, table, keyField));
    st.bindPositional({key});
    QSqlQuery q = st.exec(database());
    if (!q.next())
        return QVariant();
    const QVariant v = q.value(0);
    return v.isNull() ? QVariant() : v;
}

void TdmData::GetDataset(ClientDataSet& dataset, const QString& sql, const QVariantList& params)
{
    dataset.close();
    startRead();
    dataset.setCommandText(sql);
    dataset.setParams(params);
    dataset.open();
}

void TdmData::OpenClientDataset(ClientDataSet& dataset, const QString& sql,
                                const QVariantList& params)
{
    GetDataset(dataset, sql, params);
}

QVariant TdmData::GetScular(const QString& sql, const QVariantList& params)
{
    const ResultTable t = selectRows(sql, params, false, true);
    if (t.rows.isEmpty() || t.rows.first().isEmpty())
        return QVariant();
    return t.rows.first().first();
}

// ---------------------------------------------------------------------------------------------
// Writes

void TdmData::TransactionBegin()
{
    requireConnection();
    rollbackOpen();
    if (!database().transaction())
        throw DbError::fromSql(database().lastError());
    m_open = true;
    m_composed = true;
    m_pendingMerge.clear();
}

void TdmData::TransactionCommit()
{
    requireConnection();
    if (!m_open)
        throw DbError(QStringLiteral("There is no transaction to commit."));
    const bool ok = database().commit();
    m_open = false;
    m_composed = false;
    const auto merged = std::exchange(m_pendingMerge, {});
    if (!ok)
        throw DbError::fromSql(database().lastError());
    for (const QPointer<ClientDataSet>& ds : merged) {
        if (ds)
            ds->mergeChangeLog();
    }
}

void TdmData::TransactionRollBack()
{
    if (!isConnected())
        return;
    rollbackOpen();
}

void TdmData::ExcSQL_NoInternalTrans(const QString& sql, const QVariantList& params)
{
    requireConnection();
    if (!m_composed)
        throw DbError(QStringLiteral("A write was made outside a transaction: %1").arg(sql));
    SqlStatement st(sql);
    st.bindPositional(params);
    st.exec(database());
}

bool TdmData::ownTransaction(const std::function<void()>& write)
{
    try {
        TransactionBegin();
        write();
        TransactionCommit();
        return true;
    } catch (const std::exception& e) {
        try {
            TransactionRollBack();
        } catch (const DbError&) {
        }
        // An update handler's own failure is undone and reported the same way.
        const auto* db = dynamic_cast<const DbError*>(&e);
        ShowError(db ? failureText(*db, FLanguageIndex) : QString::fromUtf8(e.what()));
    }
    return false;
}

bool TdmData::ExcSQL(const QString& sql, const QVariantList& params)
{
    return ownTransaction([&] { ExcSQL_NoInternalTrans(sql, params); });
}

void TdmData::ApplyUpdateCDSToDB_NoInternalTrans(const QList<ClientDataSet*>& datasets)
{
    requireConnection();
    if (!m_composed)
        throw DbError(QStringLiteral("Changes were applied outside a transaction."));
    for (ClientDataSet* ds : datasets)
        ds->applyUpdates(0);
    // Merged when the caller commits, so that a failed commit keeps them pending.
    for (ClientDataSet* ds : datasets)
        m_pendingMerge.append(ds);
}

bool TdmData::ApplyUpdateCDSToDB(const QList<ClientDataSet*>& datasets)
{
    return ownTransaction([&] { ApplyUpdateCDSToDB_NoInternalTrans(datasets); });
}

void TdmData::updateData(ClientDataSet& /*source*/, const DeltaRecord& delta, const QString& sql)
{
    requireConnection();
    SqlStatement st(sql);
    for (const QString& name : st.paramNames())
        st.bind(name, QVariant());
    for (int i = 0; i < delta.fieldCount(); ++i) {
        const FieldDef& f = delta.field(i);
        if (!st.hasParam(f.name))
            continue;
        // A column the change carries takes its new value (a cleared one is written as null),
        // any other its stored value; this serves insertions, modifications and deletions.
        const QVariant v = delta.isAssigned(i) ? delta.newValue(i) : delta.oldValue(i);
        st.bind(f.name, v, f.type);
    }
    st.exec(database());
}
