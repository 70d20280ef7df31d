#include "listrow.h"

#include "clientdataset.h"
#include "datasetmodel.h"
#include "dmdata.h"

#include <exception>

QVariant currentKey(const ClientDataSet& list)
{
    if (!list.isActive() || list.isEmpty() || list.recNo() < 0)
        return {};
    return list.value(QStringLiteral("FInterID"));
}

void withdrawChanges(ClientDataSet& list, const QVariant& key)
{
    list.cancelUpdates();
    if (!key.isNull())
        list.locate(QStringLiteral("FInterID"), key);
}

bool storeListRow(ClientDataSet& list, const std::function<void()>& fill)
{
    const QVariant before = currentKey(list);
    try {
        fill();
        list.post();
    } catch (const std::exception& e) {
        withdrawChanges(list, before);
        reportDataError(e);
        return false;
    }
    const QVariant saved = currentKey(list);
    // A half-stored row must not wait in the list for a later save.
    if (!dmData->ApplyUpdateCDSToDB({&list})) {
        withdrawChanges(list, before);
        return false;
    }
    list.locate(QStringLiteral("FInterID"), saved);
    return true;
}
