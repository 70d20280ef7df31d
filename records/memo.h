#pragma once

#include <QDialog>
#include <QString>

class ClientDataSet;
class QPlainTextEdit;
class QPushButton;

// Edits the remark of the current row of a picture dataset. The window only reports the
// confirmed text; the caller stores it.
class TfrmMemo : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmMemo(ClientDataSet* dataset, QWidget* parent = nullptr);

    // The caption routine: the window's buttons and its title.
    void applyLanguage();

    ClientDataSet* FClientDataset = nullptr;
    QString FMemo;
    bool FChanged = false;

protected:
    bool event(QEvent* e) override;

private:
    void btnOKClick();
    void btnCancelClick();

    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
};

// The patient's notebook: a memo bound to FMemo of the patient dataset's current row, so that
// typing edits that row; Save stores the row's pending changes.
class TfrmPatientMemo : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmPatientMemo(ClientDataSet* patientDataset, QWidget* parent = nullptr);

    ClientDataSet* FclientDataset = nullptr;

private:
    void btnSaveClick();
    void btnCancelClick();

    QPlainTextEdit* DBMemo1 = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnCancel = nullptr;
};
