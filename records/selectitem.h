#pragma once

#include "searchpattern.h"

#include <QDialog>

class ClientDataSet;
class QLineEdit;
class QPushButton;
class DataGrid;

// The picker's listing: the in-use items of a type, narrowed to names containing the trimmed
// filter (bound, matched as typed) when there is one.
BoundSql selectItemListing(int infoType, const QString& filter);

// Picks one in-use dictionary item of a type (4 units, 5 medicines). Callers show it
// modally and read FSelectedInterID at once: 0 when nothing was chosen.
class TfrmSelectItem : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmSelectItem(int infoType, QWidget* parent = nullptr);
    ~TfrmSelectItem() override;

    int FInfoType = 0;
    int FSelectedInterID = 0;

    // Convenience for callers: shows the picker modally and returns the chosen key (0: none).
    static int pick(int infoType, QWidget* parent = nullptr);

private:
    void loadList(const QString& filter);
    void chooseCurrent();

    friend class SelectItemTestAccess;
    struct Private;
    Private* d;
};
