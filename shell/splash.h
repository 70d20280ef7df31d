#pragma once

#include <QDialog>

class CaptionPanel;
class ClientDataSet;
class DataSetProvider;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The login window: pick an account, type its password. A successful check sets
// dmData->FCanLogin, FUserInterID and FUserName and accepts the dialog.
class TfrmSplash : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmSplash(QWidget* parent = nullptr);

    // The caption routine: captions of RzPanel1, the window title and the product name.
    void applyLanguage();

private:
    void fillAccountList();
    // Key of the selected account with blanks removed; empty when nothing is selected.
    QString selectedKey() const;
    bool checkCredentials(const QString& key, const QString& password);

    void btnLoginClick();
    void btnChangePSWClick();
    void btnCloseClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    CaptionPanel* RzPanel1 = nullptr;
    CaptionPanel* RzPanel2 = nullptr;
    QComboBox* RzCbAccountList = nullptr;
    QLineEdit* RzEditPassword = nullptr;
    QPushButton* btnLogin = nullptr;
    QPushButton* btnChangePSW = nullptr;
    QPushButton* btnClose = nullptr;
    QLabel* lblUser = nullptr;
    QLabel* lblPsw = nullptr;
    QLabel* rzAppCaption = nullptr;
    QLabel* RzLabel1 = nullptr;

    ClientDataSet* cdsUser = nullptr;
    DataSetProvider* dspUser = nullptr;
    ClientDataSet* CDSModifyPassword = nullptr;
    DataSetProvider* dspModifyPassword = nullptr;
};
