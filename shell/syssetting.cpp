#include "syssetting.h"

#include "clientdataset.h"
#include "dmdata.h"
#include "formlookup.h"
#include "windowmessages.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

TfrmSysSetting::TfrmSysSetting(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSysSetting"));
    setWindowTitle(QStringLiteral("选择"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    RzLblLanguage = new QLabel(QStringLiteral("界面语言："), this);
    RzLblLanguage->setObjectName(QStringLiteral("RzLblLanguage"));
    RzDBComboBox1 = new QComboBox(this);
    RzDBComboBox1->setObjectName(QStringLiteral("RzDBComboBox1"));
    RzDBComboBox1->addItem(QStringLiteral("Chinese |  中文"), QStringLiteral("1"));
    RzDBComboBox1->addItem(QStringLiteral("English   |  英文"), QStringLiteral("2"));
    RzDBComboBox1->setMinimumWidth(180);
    btnYes = new QPushButton(QStringLiteral("确定"), this);
    btnYes->setObjectName(QStringLiteral("btnYes"));
    btnYes->setDefault(true);
    btnClose = new QPushButton(QStringLiteral("关闭"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(20, 20, 20, 16);
    grid->setVerticalSpacing(18);
    grid->addWidget(RzLblLanguage, 0, 0);
    grid->addWidget(RzDBComboBox1, 0, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnYes);
    buttons->addWidget(btnClose);
    grid->addLayout(buttons, 1, 0, 1, 2);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    cdsLanguage =
        newDataSet(this, QStringLiteral("cdsLanguage"), dspLanguage, QStringLiteral("dspLanguage"));
    dspLanguage->setUpdateStatements(
        QStringLiteral("update t_sys set FValue=:FValue where FCatalog=:FCatalog and FKey=:FKey"),
        QString(), QString());

    connect(RzDBComboBox1, &QComboBox::activated, this, [this](int index) {
        if (cdsLanguage->isEmpty())
            return;
        cdsLanguage->edit();
        cdsLanguage->setValue(QStringLiteral("FValue"), RzDBComboBox1->itemData(index));
    });
    connect(btnYes, &QPushButton::clicked, this, &TfrmSysSetting::btnYesClick);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);

    dmData->OpenClientDataset(*cdsLanguage,
                              QStringLiteral("select * from t_sys where FCatalog=? and FKey=?"),
                              {QStringLiteral("common"), QStringLiteral("language")});
    showStoredValue();
    FOldLanguageIndex =
        cdsLanguage->isEmpty() ? 0 : cdsLanguage->value(QStringLiteral("FValue")).toInt();
    FArrayFormClassName = {
        QStringLiteral("TfrmMain"),          QStringLiteral("TfrmFindBook"),
        QStringLiteral("TfrmSeeOnePatient"), QStringLiteral("TfrmSplash"),
        QStringLiteral("TfrmZoomImage"),     QStringLiteral("TfrmTakePicture"),
        QStringLiteral("TfrmUser"),          QStringLiteral("TfrmModifyPassword"),
        QStringLiteral("TfrmMemo"),          QStringLiteral("TfmBasicInfo"),
        QStringLiteral("TfrmSelectItem"),    QStringLiteral("TfrmSysSetting")};
    applyLanguage();
}

void TfrmSysSetting::showStoredValue()
{
    // Without the setting row there is nothing to show or store.
    const QVariant v =
        cdsLanguage->isEmpty() ? QVariant() : cdsLanguage->value(QStringLiteral("FValue"));
    RzDBComboBox1->setCurrentIndex(RzDBComboBox1->findData(v.toString()));
}

void TfrmSysSetting::applyLanguage()
{
    dmData->ChangeLanguage(this, QStringLiteral("setting"), QStringLiteral("Form"));
    dmData->SetFormName(this, QStringLiteral("setting"));
}

void TfrmSysSetting::btnYesClick()
{
    cdsLanguage->checkBrowseMode();
    dmData->ApplyUpdateCDSToDB({cdsLanguage});
    const int chosen =
        cdsLanguage->isEmpty() ? 0 : cdsLanguage->value(QStringLiteral("FValue")).toInt();
    if (chosen != FOldLanguageIndex) {
        dmData->GetLanguage();
        for (const QString& name : FArrayFormClassName) {
            if (QWidget* w = FindFormByClassName(name))
                SendMessage(w, WM_LANGUAGE_CHANGED);
        }
    }
    accept();
}

bool TfrmSysSetting::event(QEvent* e)
{
    if (int(e->type()) == WM_LANGUAGE_CHANGED) {
        applyLanguage();
        return true;
    }
    return QDialog::event(e);
}
