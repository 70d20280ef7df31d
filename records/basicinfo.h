#pragma once

#include <QDialog>
#include <QString>

class CaptionPanel;
class ClientDataSet;
class DataGrid;
class DataSetProvider;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QWidget;

// Maintains the dosage units (type 4) and medicines (type 5) of t_subMessage: browse, insert,
// edit, undo, save and delete an item that no prescription line uses.
class TfmBasicInfo : public QDialog
{
    Q_OBJECT
public:
    explicit TfmBasicInfo(QWidget* parent = nullptr);

    // Shows the window modally.
    static void run(QWidget* parent = nullptr);

    // The caption routine: tables rows, then the tab captions.
    void applyLanguage();

    int FInfoType = 4;                    // 4 units tab, 5 medicines tab
    ClientDataSet* FCurrentCDS = nullptr; // the list of the active tab
    QString FAction;                      // "insert", "edit" or empty: what Save does

    ClientDataSet* cdsUnit = nullptr;
    ClientDataSet* cdsMedicineList = nullptr;
    ClientDataSet* cdsCheckDelete = nullptr;

protected:
    bool event(QEvent* e) override;

private:
    void buildWindow();
    void pageChange();
    void setItemLabel();
    void showCurrentItem();
    void setInputState(bool input);
    void onCurrentChanged(ClientDataSet* list);

    void btnPriorClick();
    void btnNextClick();
    void btnInsertClick();
    void btnEditClick();
    void btnCancelClick();
    void btnSaveClick();
    void btnDeleteClick();

    DataSetProvider* dspUnit = nullptr;
    DataSetProvider* dspMedicineList = nullptr;
    DataSetProvider* dspCheckDelete = nullptr;

    QWidget* RzPanel2 = nullptr; // the strip on top
    QTabWidget* cxPageControl1 = nullptr;
    QWidget* tsUnit = nullptr;
    QWidget* tsMedicine = nullptr;
    DataGrid* GridUnit = nullptr;
    DataGrid* GridMedicine = nullptr;
    CaptionPanel* RzPanel1 = nullptr;
    QLabel* lblItem = nullptr;
    QLineEdit* edtName = nullptr;
    QCheckBox* chkUse = nullptr;
    QPushButton* btnPrior = nullptr;
    QPushButton* btnNext = nullptr;
    QPushButton* btnInsert = nullptr;
    QPushButton* btnDelete = nullptr;
    QPushButton* btnEdit = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnClose = nullptr;
    bool m_input = false; // name edit and check box open for input
};
