#pragma once

#include "captionpanel.h"
#include "windowregistry.h"

#include <QList>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <vector>

class ClientDataSet;
class DataSetProvider;
class DefaultPictureDialogs;
class PictureDialogs;
class PictureRecords;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QToolButton;
class TFrameImage;

// A panel of the dental chart: a tooth (code 100, its number as caption), a quadrant (1-4),
// all pictures (1234) or the unassigned ones (5).
class ChartPanel : public CaptionPanel
{
    Q_OBJECT
public:
    enum : int
    {
        AllCode = 1234,
        UnassignedCode = 5,
        ToothCode = 100
    };
    ChartPanel(int code, const QString& caption, QWidget* parent);
    int code() const { return m_code; }
    void setCode(int code) { m_code = code; }
    bool isTooth() const { return m_code == ToothCode; }
    // The tooth number the panel shows now.
    int number() const { return caption().trimmed().toInt(); }
    // Red caption: the patient has pictures filed under this tooth.
    bool marked() const { return m_marked; }
    void setMarked(bool marked);
    // Blue background: the tooth last clicked.
    bool isCurrent() const { return m_current; }
    void setCurrent(bool current);

Q_SIGNALS:
    void pressed(ChartPanel* panel, Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    int m_code;
    bool m_marked = false;
    bool m_current = false;
};

// The image archive: the dental chart, the thumbnails of the current patient's pictures and the
// commands on them.
class TfrmTakePicture : public QWidget, public ImageArchiveWindow
{
    Q_OBJECT
public:
    explicit TfrmTakePicture(int patientId, QWidget* parent = nullptr,
                             PictureDialogs* dialogs = nullptr);
    ~TfrmTakePicture() override;

    void ShowThisPatientImages(int patientId, int positionIndex) override;
    void GetSelectedImages_ObservationRoom(bool& isObservationRoomMode,
                                           QString& selectedImages) override;

    void ApplyLanguage();
    void QueryImages(int patientId, int position, int tooth);
    void ShowPanelImages(int patientId, ChartPanel* panel);
    void LoadThumbnails(int columns);
    void ArrangeThumbnails(int columns);
    void MarkTeethWithImages(int patientId);
    void ShowPatientName();
    void MirrorToothChart(const QString& mode);
    void CollectSelectedImageIDs();
    void CompareSelectedImages();

    // The chart's mouse handling: left lists, right files the selected pictures first.
    void chartPanelPressed(ChartPanel* panel, Qt::MouseButton button);

    // Thumbnail frames built so far, in display order: those in view and any scrolled past.
    const std::vector<TFrameImage*>& frames() const { return FObjectList; }
    QList<int> selectedKeys() const;
    QList<int> shownKeys() const;
    ChartPanel* toothPanel(int toothNumber) const; // by the number it shows now
    int FToothPanelPosIndex = 0;
    QList<int> FArrayInteger;

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void buildChart();
    void BuildToothPanelList();
    int columnSetting() const;
    void setQuadrantCaptions();
    void columnChosen(int index);
    void orientationChosen(int entry);
    void afterRecordsChanged();
    QPoint slotPosition(int index) const;
    void realizeVisibleThumbnails();

    // Every listed picture, in display order; its frame is built when it comes into view.
    struct ThumbnailSlot
    {
        int row;
        int key;
        TFrameImage* frame;
    };
    std::vector<ThumbnailSlot> m_slots;
    int m_columns = 1;

    CaptionPanel* RzPanelController = nullptr;
    CaptionPanel* RzToolbar1 = nullptr;
    CaptionPanel* RzCommandPanel = nullptr;
    ChartPanel* RzPanelAllImage = nullptr;
    ChartPanel* RzPanelUnAssignImages = nullptr;
    ChartPanel* pnlRight_U = nullptr;
    ChartPanel* pnlLeft_U = nullptr;
    ChartPanel* pnlLeft_D = nullptr;
    ChartPanel* pnlRight_D = nullptr;
    QGroupBox* RadioGroup1 = nullptr;
    QRadioButton* rbFaceToFace = nullptr;
    QRadioButton* rbSameDirection = nullptr;
    QLabel* lblUserName = nullptr;
    QLabel* lblName = nullptr;
    QLabel* lblIamgeArrange = nullptr;
    QComboBox* RzDBComboBox1 = nullptr;
    QToolButton* btnCompare = nullptr;
    QToolButton* btnUnSelectImages = nullptr;
    QPushButton* btnTakePicture = nullptr;
    QPushButton* btnImport = nullptr;
    QPushButton* btnExportOne = nullptr;
    QPushButton* btnDeleteOne = nullptr;
    QPushButton* btnDeleteAll = nullptr;
    QPushButton* btnDoMemo = nullptr;
    QPushButton* btnFocusSink = nullptr;
    QScrollArea* ScrollBoxImage = nullptr;
    QWidget* m_thumbnailArea = nullptr;

    QList<ChartPanel*> FRzPanelList;
    std::vector<TFrameImage*> FObjectList;
    QPointer<ChartPanel> FrzPanel_LastClick;

    ClientDataSet* cdsImage = nullptr;
    DataSetProvider* dsImage = nullptr;
    ClientDataSet* cdsZoomSetting = nullptr;
    DataSetProvider* dspZoomSetting = nullptr;
    ClientDataSet* cdsToothMark = nullptr;
    DataSetProvider* dspToothMark = nullptr;
    std::unique_ptr<DefaultPictureDialogs> m_ownDialogs;
    std::unique_ptr<PictureRecords> m_records;
    bool m_shown = false;
};
