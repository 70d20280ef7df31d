#pragma once

#include <QMainWindow>
#include <QString>

class CaptionPanel;
class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QPushButton;
class QStatusBar;
class UsbDeviceMonitor;

// The frame window: button bar, MDI area for the patient record and the image archive, status
// bar with the user's name. It decides which patient the document windows show.
class TfrmMain : public QMainWindow
{
    Q_OBJECT
public:
    explicit TfrmMain(QWidget* parent = nullptr);
    ~TfrmMain() override;

    // Filled by the archive when a new record is requested.
    bool FIsObservartionRoomMode = false;
    QString FStrSelectedImage;

    void applyLanguage();

    // The actions of the buttons and menu.
    void btnObservationRoomClick();
    void pmiAddPatientClick();
    void pmiFindPatientClick();
    void btnTakePicClick();
    void btnFilesClick();
    void btnBasicInfoClick();
    void btnUserMgrClick();
    void btnParamsClick();
    void bbHelpClick();

    QMdiArea* mdiArea() const { return m_mdi; }
    // The application title for a language index, as set after the language window closes.
    static void setApplicationTitleAfterSetting(int languageIndex);

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void showDocument(QWidget* window);
    void destroyDocument(QWidget* window);
    void plainSelectRecordMessage();

    CaptionPanel* RzPanel1 = nullptr;
    CaptionPanel* RzPanel2 = nullptr;
    QPushButton* btnObservationRoom = nullptr;
    QPushButton* btnSeePatient = nullptr;
    QPushButton* btnTakePic = nullptr;
    QPushButton* btnFiles = nullptr;
    QPushButton* btnParams = nullptr;
    QPushButton* btnUserMgr = nullptr;
    QPushButton* btnBasicInfo = nullptr;
    QPushButton* btnQuitSystem = nullptr;
    QPushButton* bbHelp = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* pmiAddPatient = nullptr;
    QAction* pmiFindPatient = nullptr;
    QStatusBar* RzStatusBar1 = nullptr;
    QLabel* RzStatusPane1 = nullptr;
    QLabel* RzStatusPane2 = nullptr;
    QMdiArea* m_mdi = nullptr;
    UsbDeviceMonitor* m_usb = nullptr;
    bool m_shown = false;
};
