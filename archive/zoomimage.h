#pragma once

#include <QColor>
#include <QDialog>
#include <QList>
#include <QSplitter>

class ClientDataSet;
class DataSetProvider;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;
class TFrameImage;

// A splitter that gives a fixed percentage to its first pane, again after every resize, so a
// layout keeps its proportions at any window size. 0 or 100 collapse one pane.
class PercentSplitter : public QSplitter
{
    Q_OBJECT
public:
    explicit PercentSplitter(QWidget* parent = nullptr);
    void arrange(Qt::Orientation orientation, int firstPercent);
    int firstPercent() const { return m_percent; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void applyPercent();
    int m_percent = 50;
};

// The comparison window: one to six full pictures in six frames whose splitter proportions
// make the layouts "1 x 1" to "2 x 3", with a zoom strip for the frames and the magnifier's
// settings. The settings row of t_zoomImage is written when the window closes.
class TfrmZoomImage : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmZoomImage(const QList<int>& keys, QWidget* parent = nullptr);
    ~TfrmZoomImage() override;

    // Layout for a number of pictures: 1 -> "1 x 1", 2 -> "1 x 2", 3-4 -> "2 x 2", else "2 x 3".
    static int DefaultLayout(int count);
    // Sets the splitter tree for layout 0-5 (5 is as 3).
    void ArrangeFrames(int layout);
    // Frame i shows picture i, then the layout choice is arranged.
    void ShowAll();
    // Leaves the frame unchanged when the key has no row.
    void ShowPicture(TFrameImage* frame, int key);
    void ApplyStretchMode(TFrameImage* frame);
    void MakeCurrent(TFrameImage* frame);
    void ApplyLanguage();

    // The layout last arranged.
    int arrangedLayout() const { return m_arranged; }
    // 1-based numbers of the frames the layout gives room to.
    QList<int> framesInView() const;

    // TColor (0x00BBGGRR) <-> QColor.
    static QColor colorFromTColor(int value);
    static int tcolorFromColor(const QColor& colour);

    QList<int> FArraySelected;
    QList<TFrameImage*> FArrayFrameImage;
    TFrameImage* FCurrentFrameImage = nullptr;
    ClientDataSet* FcdsImage = nullptr;
    DataSetProvider* dspImage = nullptr;
    ClientDataSet* cdsZoomSetting = nullptr;
    DataSetProvider* dspZoomSetting = nullptr;

    QFrame* TopPanel = nullptr;
    QFrame* Group1 = nullptr;
    QFrame* Group2 = nullptr;
    QLabel* lblLayout = nullptr;
    QComboBox* RzDBComboBox1 = nullptr;
    QPushButton* btnClose = nullptr;
    QLabel* lblStretchMode = nullptr;
    QComboBox* RzDBCBStrechMode = nullptr;
    QLabel* lblZoom = nullptr;
    QLabel* lblZoomMin = nullptr;
    QSlider* RzDBTrackBar1 = nullptr;
    QLabel* lblZoomMax = nullptr;
    QLabel* lblMagnify = nullptr;
    QSpinBox* RzDBSpinEdit1 = nullptr;
    QLabel* lblArea = nullptr;
    QSpinBox* RzDBSpinEdit2 = nullptr;
    QCheckBox* RzDBCheckFrame = nullptr;
    QLabel* lblColor = nullptr;
    QComboBox* cxDBColorComboBox1 = nullptr;

    PercentSplitter* RzSplitter_H = nullptr;
    PercentSplitter* RzSplitter_VL = nullptr;
    PercentSplitter* RzSplitter_VR = nullptr;
    PercentSplitter* RzSplitter_VL1 = nullptr;
    PercentSplitter* RzSplitter_VR1 = nullptr;

    // User actions.
    void RzDBComboBox1Change(int item);
    void RzDBCBStrechModeChange(int item);
    void RzDBTrackBar1Change(int position);
    void MagnifierSettingChange();
    void FrameImageClick(TFrameImage* frame);

    void done(int result) override;

protected:
    bool event(QEvent* e) override;

private:
    void buildControls();
    void showSettingsRow();
    void storeSetting(const QString& field, const QVariant& value);
    QVariant setting(const QString& field) const;
    // Moves the slider without the move counting as the user's.
    void placeSlider(int position);
    void selectColour(int tcolor);

    int m_arranged = -1;
    bool m_placingSlider = false;
    bool m_saved = false;
};
