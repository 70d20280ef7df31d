#pragma once

#include <QVariant>
#include <functional>

class ClientDataSet;

// The FInterID of the list's current row; null when there is none.
QVariant currentKey(const ClientDataSet& list);

// Drops the list's pending changes and puts the cursor back on key (when there is one).
void withdrawChanges(ClientDataSet& list, const QVariant& key);

// Runs fill (which appends or edits a row and sets its values), posts and stores the row in
// its own transaction, and leaves the cursor on it. On failure the error has been reported,
// nothing stays pending and the cursor is back where it was; returns false.
bool storeListRow(ClientDataSet& list, const std::function<void()>& fill);
