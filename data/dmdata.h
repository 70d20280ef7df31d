#pragma once

#include "clientdataset.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <functional>

class DataGrid;
class QWidget;

// The one object through which every window reaches the database: one connection, at most one
// open transaction, the login state and the caption operations.
//
// Reads end the open transaction by rollback and leave a fresh one open, except inside a
// composed write (between TransactionBegin and TransactionCommit/RollBack), where they run in
// the write's transaction and discard nothing.
class TdmData : public QObject
{
    Q_OBJECT
public:
    // Opens databasePath, or protocal.dll beside the executable when it is empty. A database
    // that cannot be opened is reported with ShowError and leaves the module unconnected.
    explicit TdmData(const QString& databasePath = {}, QObject* parent = nullptr);
    ~TdmData() override;

    static QString defaultDatabasePath();
    bool isConnected() const;
    QString databasePath() const { return m_path; }
    QSqlDatabase database() const;

    // Login state.
    bool FCanLogin = false;
    int FUserInterID = 0;
    QString FUserName;
    int FLanguageIndex = 0;
    QString FLanguage;

    // The module's own reader, used by the caption operations.
    ClientDataSet* ClientDataSet1 = nullptr;

    // Reads; errors are thrown as DbError. params bind to "?" placeholders in order.
    void GetDataset(ClientDataSet& dataset, const QString& sql, const QVariantList& params = {});
    void OpenClientDataset(ClientDataSet& dataset, const QString& sql,
                           const QVariantList& params = {});
    // First column of the first row; null when there is no row.
    QVariant GetScular(const QString& sql, const QVariantList& params = {});

    // Self-contained writes: report a failure with ShowError, roll back, never throw, and
    // return whether they succeeded.
    bool ExcSQL(const QString& sql, const QVariantList& params = {});
    bool ApplyUpdateCDSToDB(const QList<ClientDataSet*>& datasets);

    // Writes inside the caller's transaction; errors are thrown.
    void ExcSQL_NoInternalTrans(const QString& sql, const QVariantList& params = {});
    void ApplyUpdateCDSToDB_NoInternalTrans(const QList<ClientDataSet*>& datasets);
    // Runs sql for one change: each ":Name" takes the change's new value, or its old value when
    // the change does not carry one (binary blobs: the new bytes, else the stored ones).
    void updateData(ClientDataSet& source, const DeltaRecord& delta, const QString& sql);

    void TransactionBegin();
    void TransactionCommit();
    void TransactionRollBack();
    bool inComposedWrite() const { return m_composed; }

    // Captions.
    void GetLanguage();
    void ChangeLanguage(QWidget* container, const QString& catalog, const QString& bigKey);
    void ChangeLanguage(DataGrid* grid, const QString& catalog, const QString& bigKey);
    void SetFormName(QWidget* form, const QString& catalog);
    void SetColumnCaptionByName(DataGrid* grid, const QString& colName, const QString& caption);

    // Used by providers.
    // blobsOnDemand leaves the binary blob columns out of the listing: those in onDemandColumns,
    // or all when it is empty.
    ResultTable selectRows(const QString& sql, const QVariantList& params, bool blobsOnDemand,
                           bool freshTransaction = false, const QStringList& onDemandColumns = {});
    QVariant selectBlob(const QString& table, const QString& keyField, const QString& field,
                        const QVariant& key);

private:
    void requireConnection() const;
    // Runs a write in a transaction of its own: commits, or rolls back and reports the failure.
    bool ownTransaction(const std::function<void()>& write);
    void startRead();
    void rollbackOpen();
    void captionRows(const QString& catalog, const QString& bigKey);

    QString m_path;
    QString m_connection;
    bool m_open = false;     // a transaction of ours is open
    bool m_composed = false; // ... and it is a caller's composed write
    // Datasets applied inside the composed write: their logs are merged only once it commits.
    QList<QPointer<ClientDataSet>> m_pendingMerge;
    DataSetProvider* m_captionProvider = nullptr;
};

extern TdmData* dmData;
