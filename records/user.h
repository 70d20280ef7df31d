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

// Lists the accounts of t_user and lets the user add ordinary accounts and change their name,
// password and in-use flag. The administrator's row cannot be changed here.
class TfrmUser : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmUser(QWidget* parent = nullptr);

    // Shows the window modally.
    static void run(QWidget* parent = nullptr);

    // The caption routine.
    void applyLanguage();

    QString FAction; // "insert", "edit" or empty: what Save does
    ClientDataSet* cdsUser = nullptr;

protected:
    bool event(QEvent* e) override;

private:
    void buildWindow();
    void rowChanged();
    void showCurrentUser();
    void setInputState(bool input);
    bool currentIsAdmin() const;

    void btnPriorClick();
    void btnNextClick();
    void btnInsertClick();
    void btnEditClick();
    void btnCancelClick();
    void btnSaveClick();

    DataSetProvider* dspUser = nullptr;
    CaptionPanel* PanelInput = nullptr;
    QLabel* lblUser = nullptr;
    QLineEdit* edtUser = nullptr;
    QLabel* lblPassword = nullptr;
    QLineEdit* edtPassword = nullptr;
    QCheckBox* chkUse = nullptr;
    DataGrid* cxGrid1DBTableView1 = nullptr;
    QPushButton* btnPrior = nullptr;
    QPushButton* btnNext = nullptr;
    QPushButton* btnInsert = nullptr;
    QPushButton* btnDelete = nullptr;
    QPushButton* btnEdit = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnClose = nullptr;
    bool m_input = false; // the inputs are open for typing
};
