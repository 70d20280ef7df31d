#include "mainwindow.h"

#include "appstate.h"
#include "captionpanel.h"
#include "dmdata.h"
#include "formlookup.h"
#include "messagebox.h"
#include "syssetting.h"
#include "udevmonitor.h"
#include "windowmessages.h"
#include "windowregistry.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QUrl>

namespace {

const char* kArchiveClass = "TfrmTakePicture";
const char* kRecordClass = "TfrmSeeOnePatient";

} // namespace

TfrmMain::TfrmMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("澄湾"));
    setMinimumSize(962, 700);

    RzPanel1 = new CaptionPanel(this);
    RzPanel1->setObjectName(QStringLiteral("RzPanel1"));
    RzPanel1->setFrameShape(QFrame::StyledPanel);
    auto* bar = new QHBoxLayout(RzPanel1);
    bar->setContentsMargins(6, 4, 6, 4);
    const auto button = [this, bar](QPushButton*& b, const char* name, const QString& caption,
                                    QStyle::StandardPixmap icon) {
        b = new QPushButton(caption, RzPanel1);
        b->setObjectName(QString::fromLatin1(name));
        b->setIcon(style()->standardIcon(icon));
        b->setMinimumHeight(34);
        b->setFocusPolicy(Qt::TabFocus);
        bar->addWidget(b);
    };
    button(btnObservationRoom, "btnObservationRoom", QStringLiteral("病情观察室"),
           QStyle::SP_DesktopIcon);
    button(btnSeePatient, "btnSeePatient", QStringLiteral("就诊"), QStyle::SP_FileDialogNewFolder);
    button(btnTakePic, "btnTakePic", QStringLiteral("图像"), QStyle::SP_DirIcon);
    button(btnFiles, "btnFiles", QStringLiteral("病历"), QStyle::SP_FileIcon);
    button(btnParams, "btnParams", QStringLiteral("系统参数"), QStyle::SP_FileDialogDetailedView);
    button(btnUserMgr, "btnUserMgr", QStringLiteral("用户管理"), QStyle::SP_DirHomeIcon);
    button(btnBasicInfo, "btnBasicInfo", QStringLiteral("基础资料"),
           QStyle::SP_FileDialogContentsView);
    button(btnQuitSystem, "btnQuitSystem", QStringLiteral("退出系统"),
           QStyle::SP_DialogCloseButton);
    bar->addStretch(1);

    RzPanel2 = new CaptionPanel(RzPanel1);
    RzPanel2->setObjectName(QStringLiteral("RzPanel2"));
    auto* helpLayout = new QHBoxLayout(RzPanel2);
    helpLayout->setContentsMargins(0, 0, 0, 0);
    bbHelp = new QPushButton(QStringLiteral("帮助信息"), RzPanel2);
    bbHelp->setObjectName(QStringLiteral("bbHelp"));
    bbHelp->setIcon(style()->standardIcon(QStyle::SP_DialogHelpButton));
    bbHelp->setMinimumHeight(34);
    helpLayout->addWidget(bbHelp);
    bar->addWidget(RzPanel2);

    PopupMenu1 = new QMenu(btnSeePatient);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    pmiAddPatient = PopupMenu1->addAction(QStringLiteral("新增病历"));
    pmiAddPatient->setObjectName(QStringLiteral("pmiAddPatient"));
    pmiFindPatient = PopupMenu1->addAction(QStringLiteral("查找病历"));
    pmiFindPatient->setObjectName(QStringLiteral("pmiFindPatient"));
    btnSeePatient->setMenu(PopupMenu1);

    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(QStringLiteral("mdiArea"));
    m_mdi->setBackground(palette().brush(QPalette::Dark));

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(RzPanel1);
    column->addWidget(m_mdi, 1);
    setCentralWidget(central);

    RzStatusBar1 = new QStatusBar(this);
    RzStatusBar1->setObjectName(QStringLiteral("RzStatusBar1"));
    RzStatusPane1 = new QLabel(QStringLiteral("当前用户"), RzStatusBar1);
    RzStatusPane1->setObjectName(QStringLiteral("RzStatusPane1"));
    RzStatusPane2 = new QLabel(RzStatusBar1);
    RzStatusPane2->setObjectName(QStringLiteral("RzStatusPane2"));
    RzStatusPane2->setMinimumWidth(160);
    RzStatusBar1->addWidget(RzStatusPane1);
    RzStatusBar1->addWidget(RzStatusPane2);
    setStatusBar(RzStatusBar1);

    connect(btnObservationRoom, &QPushButton::clicked, this, &TfrmMain::btnObservationRoomClick);
    connect(pmiAddPatient, &QAction::triggered, this, &TfrmMain::pmiAddPatientClick);
    connect(pmiFindPatient, &QAction::triggered, this, &TfrmMain::pmiFindPatientClick);
    connect(btnTakePic, &QPushButton::clicked, this, &TfrmMain::btnTakePicClick);
    connect(btnFiles, &QPushButton::clicked, this, &TfrmMain::btnFilesClick);
    connect(btnParams, &QPushButton::clicked, this, &TfrmMain::btnParamsClick);
    connect(btnUserMgr, &QPushButton::clicked, this, &TfrmMain::btnUserMgrClick);
    connect(btnBasicInfo, &QPushButton::clicked, this, &TfrmMain::btnBasicInfoClick);
    connect(btnQuitSystem, &QPushButton::clicked, this, &QWidget::close);
    connect(bbHelp, &QPushButton::clicked, this, &TfrmMain::bbHelpClick);

    // Device notices arrive as the same message the system would send.
    m_usb = new UsbDeviceMonitor(this);
    connect(m_usb, &UsbDeviceMonitor::deviceArrived, this,
            [this] { PostMessage(this, WM_DEVICECHANGE, DBT_DEVICEARRIVAL); });
    connect(m_usb, &UsbDeviceMonitor::deviceRemoved, this,
            [this] { PostMessage(this, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE); });

    dmData->GetLanguage();
    applyLanguage();
    CurrentPatientID = 0;
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::applyLanguage()
{
    dmData->ChangeLanguage(RzPanel1, QStringLiteral("Main"), QStringLiteral("Panel"));
    dmData->ChangeLanguage(RzPanel2, QStringLiteral("Main"), QStringLiteral("Panel1"));
    dmData->ChangeLanguage(RzStatusBar1, QStringLiteral("Main"), QStringLiteral("Status"));
    dmData->SetFormName(this, QStringLiteral("Main"));
    const int lang = dmData->FLanguageIndex;
    if (lang != 1 && lang != 2)
        return;
    const bool en = lang == 2;
    setWindowTitle(en ? QStringLiteral("Quillbrook") : QStringLiteral("鹊岭"));
    pmiAddPatient->setText(en ? QStringLiteral("Add New Patient record")
                              : QStringLiteral("新增病历"));
    pmiFindPatient->setText(en ? QStringLiteral("Find  Patient record")
                               : QStringLiteral("查找病历"));
    btnQuitSystem->setText(en ? QStringLiteral("Quit") : QStringLiteral("退出系统"));
    btnObservationRoom->setText(en ? QStringLiteral("Observation") : QStringLiteral("病情观察室"));
    bbHelp->setText(en ? QStringLiteral("Help") : QStringLiteral("帮助信息"));
}

void TfrmMain::showDocument(QWidget* window)
{
    auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget());
    if (!sub) {
        sub = m_mdi->addSubWindow(window);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    sub->showMaximized();
    m_mdi->setActiveSubWindow(sub);
}

void TfrmMain::destroyDocument(QWidget* window)
{
    // At once and without the window's close check: unsaved edits are dropped.
    if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget()))
        delete sub;
    else
        delete window;
}

void TfrmMain::plainSelectRecordMessage()
{
    const int lang = dmData->FLanguageIndex;
    if (lang == 1)
        ShowMessage(QStringLiteral("请选择一份病例"));
    else if (lang == 2)
        ShowMessage(QStringLiteral("Please select one medical records"));
}

void TfrmMain::btnObservationRoomClick()
{
    if (QWidget* record = FindFormByClassName(QLatin1String(kRecordClass)))
        destroyDocument(record);
    CurrentPatientID = 0;
    if (QWidget* archive = FindFormByClassName(QLatin1String(kArchiveClass))) {
        if (auto* a = dynamic_cast<ImageArchiveWindow*>(archive))
            a->ShowThisPatientImages(0, 5);
        showDocument(archive);
    } else if (windowRegistry().createTakePicture) {
        if (QWidget* w = windowRegistry().createTakePicture(0))
            showDocument(w);
    }
}

void TfrmMain::pmiAddPatientClick()
{
    QWidget* archive = FindFormByClassName(QLatin1String(kArchiveClass));
    QWidget* record = FindFormByClassName(QLatin1String(kRecordClass));
    const auto openNew = [this](const QString& selected) {
        CurrentPatientID = -10;
        if (windowRegistry().createSeeOnePatient) {
            if (QWidget* w = windowRegistry().createSeeOnePatient(-10, selected))
                showDocument(w);
        }
    };
    if (!archive) {
        CurrentPatientID = -10;
        if (record) {
            if (auto* r = dynamic_cast<PatientRecordWindow*>(record))
                r->InitPatientData(-10);
            showDocument(record);
        } else {
            openNew(QString());
        }
        return;
    }
    if (record)
        destroyDocument(record);
    FStrSelectedImage.clear();
    if (auto* a = dynamic_cast<ImageArchiveWindow*>(archive))
        a->GetSelectedImages_ObservationRoom(FIsObservartionRoomMode, FStrSelectedImage);
    if (FIsObservartionRoomMode && !FStrSelectedImage.isEmpty()) {
        const int lang = dmData->FLanguageIndex;
        const QString question =
            lang == 1 ? QStringLiteral("是否将病情观察室中选定的影像与新增的病历关联？")
            : lang == 2 ? QStringLiteral("Would you like the images selected to be associated "
                                         "with the new medical record?")
                        : QString();
        if (ConfirmInfo(question))
            openNew(FStrSelectedImage);
        return;
    }
    openNew(QString());
}

void TfrmMain::pmiFindPatientClick()
{
    if (!windowRegistry().runFindBook)
        return;
    const int found = windowRegistry().runFindBook();
    if (found == -1)
        return;
    CurrentPatientID = found;
    if (QWidget* archive = FindFormByClassName(QLatin1String(kArchiveClass))) {
        if (auto* a = dynamic_cast<ImageArchiveWindow*>(archive))
            a->ShowThisPatientImages(CurrentPatientID, 5);
        showDocument(archive);
    } else if (windowRegistry().createTakePicture) {
        if (QWidget* w = windowRegistry().createTakePicture(CurrentPatientID))
            showDocument(w);
    }
}

void TfrmMain::btnTakePicClick()
{
    if (QWidget* archive = FindFormByClassName(QLatin1String(kArchiveClass))) {
        if (auto* a = dynamic_cast<ImageArchiveWindow*>(archive))
            a->ShowThisPatientImages(CurrentPatientID, 0);
        showDocument(archive);
    } else if (CurrentPatientID > 0) {
        if (windowRegistry().createTakePicture) {
            if (QWidget* w = windowRegistry().createTakePicture(CurrentPatientID))
                showDocument(w);
        }
    } else if (CurrentPatientID < 0) {
        plainSelectRecordMessage();
    }
}

void TfrmMain::btnFilesClick()
{
    if (QWidget* record = FindFormByClassName(QLatin1String(kRecordClass))) {
        if (auto* r = dynamic_cast<PatientRecordWindow*>(record))
            r->InitPatientData(CurrentPatientID);
        showDocument(record);
    } else if (CurrentPatientID > 0) {
        if (windowRegistry().createSeeOnePatient) {
            if (QWidget* w = windowRegistry().createSeeOnePatient(CurrentPatientID, QString()))
                showDocument(w);
        }
    } else if (CurrentPatientID == 0) {
        const int lang = dmData->FLanguageIndex;
        if (lang == 1)
            ShowInfo(QStringLiteral("病情观察室模式无法打开病历档案！"));
        else if (lang == 2)
            ShowInfo(QStringLiteral("No medical record will show in Condition observation room "
                                    "mode  ！"));
    } else {
        plainSelectRecordMessage();
    }
}

void TfrmMain::btnBasicInfoClick()
{
    if (windowRegistry().runBasicInfo)
        windowRegistry().runBasicInfo();
    if (QWidget* record = FindFormByClassName(QLatin1String(kRecordClass)))
        SendMessage(record, WM_DICTIONARY_CHANGED);
}

void TfrmMain::btnUserMgrClick()
{
    if (windowRegistry().runUser)
        windowRegistry().runUser();
}

void TfrmMain::btnParamsClick()
{
    {
        TfrmSysSetting setting;
        setting.exec();
    }
    setApplicationTitleAfterSetting(dmData->FLanguageIndex);
}

void TfrmMain::setApplicationTitleAfterSetting(int languageIndex)
{
    if (languageIndex == 1)
        QGuiApplication::setApplicationDisplayName(QStringLiteral("澄湾"));
    else if (languageIndex == 2)
        QGuiApplication::setApplicationDisplayName(QStringLiteral("Quillbrook "));
}

void TfrmMain::bbHelpClick()
{
    const QString path =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("help.chm"));
    if (QFileInfo::exists(path))
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool TfrmMain::event(QEvent* e)
{
    switch (int(e->type())) {
    case WM_LANGUAGE_CHANGED:
        applyLanguage();
        return true;
    case WM_SHOW_IMAGE_ARCHIVE:
        btnTakePicClick();
        return true;
    case WM_FIND_PATIENT:
        pmiFindPatientClick();
        return true;
    case WM_DLL_TEXT: {
        const auto* m = static_cast<MessageEvent*>(e);
        ShowMessage(m->text1 + QLatin1Char(':') + m->text2);
        return true;
    }
    case WM_DEVICECHANGE: {
        // Chinese in either language.
        const auto* m = static_cast<MessageEvent*>(e);
        if (m->wParam == DBT_DEVICEREMOVECOMPLETE)
            ShowMessage(QStringLiteral("拔出USB 设备"));
        else if (m->wParam == DBT_DEVICEARRIVAL)
            ShowMessage(QStringLiteral("插入USB 设备"));
        return true;
    }
    default:
        return QMainWindow::event(e);
    }
}

void TfrmMain::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    if (m_shown)
        return;
    m_shown = true;
    btnObservationRoomClick();
    RzStatusPane2->setText(dmData->FUserName);
}

void TfrmMain::closeEvent(QCloseEvent* e)
{
    // Each document window runs its own close check first; one that refuses keeps us open.
    m_mdi->closeAllSubWindows();
    if (!m_mdi->subWindowList().isEmpty()) {
        e->ignore();
        return;
    }
    QMainWindow::closeEvent(e);
}
