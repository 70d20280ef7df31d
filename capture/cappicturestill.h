#pragma once

#include "captionpanel.h"
#include "equipment.h"
#include "mediaplayer.h"
#include "videodevices.h"

#include <QDialog>
#include <QList>
#include <QPointer>
#include <memory>

class ClientDataSet;
class DataSetProvider;
class DefaultPictureDialogs;
class PictureRecords;
class QAction;
class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class QTimer;
class QToolButton;
class TVideoWindow;
class VideoPipeline;

// The close button of the top bar: a maroon panel that reacts to a click.
class TClosePanel : public CaptionPanel
{
    Q_OBJECT
public:
    explicit TClosePanel(QWidget* parent = nullptr);

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
};

// The camera window of the image archive: live video from a chosen camera, pictures taken with
// the hand-piece's shutter button and stored as unassigned pictures of the patient, and short
// uncompressed recordings played back in the same video area.
class TfrmCapPictureStill : public QDialog
{
    Q_OBJECT
public:
    // The hand-piece from openEquipment() and the cameras the device monitor reports.
    TfrmCapPictureStill(QWidget* showPicForm, int patientId, QWidget* parent = nullptr);
    // Given hand-piece (nullptr: none was found) and camera list.
    TfrmCapPictureStill(QWidget* showPicForm, int patientId, std::unique_ptr<Equipment> equipment,
                        std::unique_ptr<VideoDeviceSource> devices, QWidget* parent = nullptr);
    ~TfrmCapPictureStill() override;

    // The recording file, "Example.avi" in the program's directory unless another directory
    // was set (tests, tours).
    static QString recordingFile();
    static void setRecordingDirectory(const QString& dir);

    int FPatientID = 0;
    QPointer<QWidget> FShowPicFormHandle;
    QList<VideoDevice> SysDev;
    int Timer2RunTimes = 0;
    int FTimeDistance_Recording = 0;

    void ListVideoInputDevices(QComboBox* items);
    void ApplyVideoSize(int tag);
    void SaveVideoSizeMode(int tag);
    // The stored size tag; 8 when none is stored or it is not a number.
    int LoadVideoSizeMode();
    void CheckVideoSizeItem(int tag);
    void EnableRecordControls(bool enabled);
    static QString FormatRecordTime(int seconds);
    void SetCaptStillMode();
    void SetAviRecorderMode();
    void ChangeLanguage();

    // Handlers, public so that tests can drive the timers without waiting for them.
    void FormShow();
    void cbInputDevChange();
    void N512x4101Click(QAction* item);
    void rgRecordModeChanging(int newIndex, bool& allowChange);
    void btnRecordClick();
    void btnStopClick();
    void MediaPlayer1Click(TMediaPlayer::Button button, bool& doDefault);
    void Timer_CoutRecordTimeTimer();
    void pnlCloseClick();
    void FormCloseQuery();

    void InitEquipmentD();
    void Timer1Timer();
    void Timer2Timer();
    // Stores the last still frame as a new picture; false when there was no frame.
    bool HarewareTakePicture();

    int recordModeIndex() const;
    // What the radio group does on a click: asks rgRecordModeChanging, then changes.
    void setRecordModeIndex(int index);

    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    QTimer* Timer_CoutRecordTime = nullptr;
    VideoPipeline* FilterGraph1 = nullptr;
    TVideoWindow* VideoWindow1 = nullptr;
    TMediaPlayer* MediaPlayer1 = nullptr;
    QWidget* Panel1 = nullptr; // top bar
    QWidget* Panel2 = nullptr; // video area
    QWidget* Panel3 = nullptr; // bottom bar
    Equipment* equipment() const { return m_equipment.get(); }

protected:
    void showEvent(QShowEvent* e) override;
    void done(int result) override;

private:
    void buildControls();
    void showPlayerFrame(const QImage& frame);
    void openPlayerIfRecorded();

    QLabel* Label1 = nullptr;
    QComboBox* cbInputDev = nullptr;
    QPushButton* RzMenuButton1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    TClosePanel* pnlClose = nullptr;
    QGroupBox* rgRecordMode = nullptr;
    QButtonGroup* m_modeButtons = nullptr;
    QRadioButton* m_modeItems[2] = {};
    int m_modeIndex = 0;
    QToolButton* btnRecord = nullptr;
    QToolButton* btnStop = nullptr;
    QLabel* lblCountTime = nullptr;

    ClientDataSet* cdsImage = nullptr;
    DataSetProvider* dsImage = nullptr;
    std::unique_ptr<DefaultPictureDialogs> m_dialogs;
    std::unique_ptr<PictureRecords> m_records;

    std::unique_ptr<Equipment> m_equipment;
    std::unique_ptr<VideoDeviceSource> m_devices;
    bool m_filling = false;
    bool m_playerShown = false; // the player, not the camera, owns the video area
    bool m_closed = false;
};
