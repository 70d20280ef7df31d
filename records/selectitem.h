#pragma once

#include <QDialog>

class ClientDataSet;
class QLineEdit;
class QPushButton;
class DataGrid;

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
    friend class SelectItemTestAccess;
    struct Private;
    Private* d;
};
