#pragma once

#include <QDialog>
#include <QString>

class ClientDataSet;
class DataSetProvider;
class QLabel;
class QLineEdit;
class QPushButton;

// Changes the password of one account, given its key as text, after checking the old one.
class TfrmModifyPassword : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmModifyPassword(const QString& userInterID, QWidget* parent = nullptr);

    // The caption routine: captions of the window's children and its title.
    void applyLanguage();

    QString FUserInterID;

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void btnSaveClick();
    void btnAbortClick();

    QLineEdit* edtOldPassword = nullptr;
    QLineEdit* edtPassword1 = nullptr;
    QLineEdit* edtPassword2 = nullptr;
    QLabel* lblOriginal = nullptr;
    QLabel* lblNewPsw = nullptr;
    QLabel* lblCheckPsw = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnAbort = nullptr;

    ClientDataSet* cdsModifyPassword = nullptr;
    DataSetProvider* dspModifyPassword = nullptr;
};
