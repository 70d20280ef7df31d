#pragma once

#include <QDialog>
#include <QStringList>

class ClientDataSet;
class DataSetProvider;
class QComboBox;
class QLabel;
class QPushButton;

// The language choice: stores it, re-reads the language and tells every open window.
class TfrmSysSetting : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmSysSetting(QWidget* parent = nullptr);

    int FOldLanguageIndex = 0;
    QStringList FArrayFormClassName;

    void applyLanguage();
    void btnYesClick();

protected:
    bool event(QEvent* e) override;

private:
    void showStoredValue();

    QLabel* RzLblLanguage = nullptr;
    QComboBox* RzDBComboBox1 = nullptr;
    QPushButton* btnYes = nullptr;
    QPushButton* btnClose = nullptr;
    ClientDataSet* cdsLanguage = nullptr;
    DataSetProvider* dspLanguage = nullptr;
};
