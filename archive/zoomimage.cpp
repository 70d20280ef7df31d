#include "zoomimage.h"

#include "bindings.h"
#include "clientdataset.h"
#include "dmdata.h"
#include "frameimage.h"
#include "picturerecords.h"
#include "windowmessages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

// Orientation and first-pane percent of the five splitters for one layout.
struct SplitterSetting
{
    Qt::Orientation orientation;
    int percent;
};
struct LayoutRow
{
    SplitterSetting h, vl, vr, vl1, vr1;
};

constexpr Qt::Orientation kSide = Qt::Horizontal;
constexpr Qt::Orientation kStack = Qt::Vertical;

const LayoutRow kLayouts[] = {
    {{kSide, 100}, {kStack, 100}, {kStack, 0}, {kStack, 100}, {kStack, 100}},
    {{kSide, 50}, {kStack, 100}, {kStack, 100}, {kStack, 100}, {kStack, 100}},
    {{kSide, 50}, {kStack, 50}, {kStack, 50}, {kStack, 100}, {kStack, 100}},
    {{kSide, 50}, {kStack, 33}, {kStack, 33}, {kStack, 50}, {kStack, 50}},
    {{kStack, 50}, {kSide, 33}, {kSide, 33}, {kSide, 50}, {kSide, 50}},
};

// The colours of the colour list (TColor values), as the usual colour picker offers them.
const int kColours[] = {0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFF00FF, 0xFFFF00,
                        0xFFFFFF, 0x000000, 0x808080, 0xC0C0C0, 0x000080, 0x008000,
                        0x800000, 0x008080, 0x800080, 0x808000};

QLabel* label(QWidget* parent, const char* name, const QString& text)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

} // namespace

// ---------------------------------------------------------------------------------------------

PercentSplitter::PercentSplitter(QWidget* parent) : QSplitter(parent)
{
    setChildrenCollapsible(true);
    setHandleWidth(4);
}

void PercentSplitter::arrange(Qt::Orientation orientation, int firstPercent)
{
    m_percent = std::clamp(firstPercent, 0, 100);
    setOrientation(orientation);
    applyPercent();
}

void PercentSplitter::resizeEvent(QResizeEvent* event)
{
    QSplitter::resizeEvent(event);
    applyPercent();
}

void PercentSplitter::applyPercent()
{
    if (count() != 2)
        return;
    // Relative weights: QSplitter spreads its whole extent by them, a 0 collapses the pane.
    setSizes({m_percent * 100, (100 - m_percent) * 100});
}

// ---------------------------------------------------------------------------------------------

TfrmZoomImage::TfrmZoomImage(const QList<int>& keys, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmZoomImage"));
    setWindowTitle(QStringLiteral("影像对照"));
    resize(1024, 720);

    FcdsImage = newDataSet(this, QStringLiteral("FcdsImage"), dspImage, QStringLiteral("dspImage"));
    PictureRecords::configureProvider(*dspImage);

    cdsZoomSetting = newDataSet(this, QStringLiteral("cdsZoomSetting"), dspZoomSetting,
                                QStringLiteral("dspZoomSetting"));
    dspZoomSetting->setUpdateStatements(
        QStringLiteral("update t_zoomImage set FViewMode=:FViewMode,FStretch=:FStretch,"
                       "FZoom=:FZoom,FArea=:FArea,FSliderPos=:FSliderPos,FDefault=:FDefault,"
                       "FColor=:FColor,FUseFrame=:FUseFrame where FInterID=:FInterID"),
        QString(), QString());

    buildControls();
    ApplyLanguage();

    dmData->OpenClientDataset(*cdsZoomSetting, QStringLiteral("select * from t_zoomImage"));
    if (cdsZoomSetting->fieldIndex(QStringLiteral("FINTERID")) >= 0)
        cdsZoomSetting->setFieldRequired(QStringLiteral("FINTERID"), true);
    cdsZoomSetting->first();
    bindSpinBox(RzDBSpinEdit1, cdsZoomSetting, QStringLiteral("FZOOM"));
    bindSpinBox(RzDBSpinEdit2, cdsZoomSetting, QStringLiteral("FAREA"));
    bindCheckBox(RzDBCheckFrame, cdsZoomSetting, QStringLiteral("FUSEFRAME"), 1, 0);
    showSettingsRow();

    FArraySelected = keys;
    if (!keys.isEmpty()) {
        QStringList list;
        for (int key : keys)
            list << QString::number(key);
        dmData->OpenClientDataset(
            *FcdsImage, QStringLiteral("select * from t_tooth where FInterID in ") +
                            QStringLiteral(" (") + list.join(QLatin1Char(',')) +
                            QStringLiteral(")") + QStringLiteral(" order by FInterID desc"));
    }

    for (TFrameImage* frame : FArrayFrameImage) {
        frame->PrepairCtrl();
        frame->SetZoomMode(zmFitWidth);
        frame->SetManifierZoom(RzDBSpinEdit1->value());
        frame->SetManifierWidth(RzDBSpinEdit2->value());
        frame->SetPictureSizeMode(1);
    }

    RzDBComboBox1->setCurrentIndex(DefaultLayout(int(FArraySelected.size())));
    ShowAll();
    for (TFrameImage* frame : FArrayFrameImage)
        ApplyStretchMode(frame);
    FCurrentFrameImage = FArrayFrameImage.first();
    FCurrentFrameImage->SetFrameSelected(true);

    // Connected only now: the magnifier's border and colour wait for the user's first change.
    connect(RzDBSpinEdit1, &QSpinBox::valueChanged, this, &TfrmZoomImage::MagnifierSettingChange);
    connect(RzDBSpinEdit2, &QSpinBox::valueChanged, this, &TfrmZoomImage::MagnifierSettingChange);
    connect(RzDBCheckFrame, &QCheckBox::toggled, this, &TfrmZoomImage::MagnifierSettingChange);
}

TfrmZoomImage::~TfrmZoomImage()
{
    // The settings dataset dies before the controls and clears them on its way out.
    RzDBSpinEdit1->disconnect(this);
    RzDBSpinEdit2->disconnect(this);
    RzDBCheckFrame->disconnect(this);
}

void TfrmZoomImage::buildControls()
{
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);

    TopPanel = new QFrame(this);
    TopPanel->setObjectName(QStringLiteral("TopPanel"));
    TopPanel->setFrameShape(QFrame::StyledPanel);
    auto* top = new QHBoxLayout(TopPanel);
    top->setContentsMargins(6, 4, 6, 4);
    root->addWidget(TopPanel);

    lblLayout = label(TopPanel, "lblLayout", QStringLiteral("影像布局"));
    RzDBComboBox1 = new QComboBox(TopPanel);
    RzDBComboBox1->setObjectName(QStringLiteral("RzDBComboBox1"));
    RzDBComboBox1->addItems({QStringLiteral("1 x 1"), QStringLiteral("1 x 2"),
                             QStringLiteral("2 x 2"), QStringLiteral("3 x 2"),
                             QStringLiteral("2 x 3"), QStringLiteral("全部显示")});
    connect(RzDBComboBox1, &QComboBox::activated, this, &TfrmZoomImage::RzDBComboBox1Change);
    top->addWidget(lblLayout);
    top->addWidget(RzDBComboBox1);

    Group1 = new QFrame(TopPanel);
    Group1->setObjectName(QStringLiteral("Group1"));
    Group1->setFrameShape(QFrame::StyledPanel);
    auto* g1 = new QHBoxLayout(Group1);
    g1->setContentsMargins(6, 2, 6, 2);
    lblStretchMode = label(Group1, "lblStretchMode", QStringLiteral("缩放模式"));
    RzDBCBStrechMode = new QComboBox(Group1);
    RzDBCBStrechMode->setObjectName(QStringLiteral("RzDBCBStrechMode"));
    RzDBCBStrechMode->addItems({QStringLiteral("缩放模式"), QStringLiteral("匹配框架"),
                                QStringLiteral("匹配高度"), QStringLiteral("匹配宽度"),
                                QStringLiteral("原始尺寸")});
    connect(RzDBCBStrechMode, &QComboBox::activated, this, &TfrmZoomImage::RzDBCBStrechModeChange);
    lblZoom = label(Group1, "lblZoom", QStringLiteral("全局缩放"));
    lblZoomMin = label(Group1, "lblZoomMin", QStringLiteral("0"));
    RzDBTrackBar1 = new QSlider(Qt::Horizontal, Group1);
    RzDBTrackBar1->setObjectName(QStringLiteral("RzDBTrackBar1"));
    RzDBTrackBar1->setRange(1, 60);
    RzDBTrackBar1->setMinimumWidth(160);
    connect(RzDBTrackBar1, &QSlider::valueChanged, this, [this](int position) {
        if (!m_placingSlider)
            RzDBTrackBar1Change(position);
    });
    lblZoomMax = label(Group1, "lblZoomMax", QStringLiteral("600%"));
    for (QWidget* w :
         {static_cast<QWidget*>(lblStretchMode), static_cast<QWidget*>(RzDBCBStrechMode),
          static_cast<QWidget*>(lblZoom), static_cast<QWidget*>(lblZoomMin),
          static_cast<QWidget*>(RzDBTrackBar1), static_cast<QWidget*>(lblZoomMax)})
        g1->addWidget(w);
    top->addWidget(Group1);

    Group2 = new QFrame(TopPanel);
    Group2->setObjectName(QStringLiteral("Group2"));
    Group2->setFrameShape(QFrame::StyledPanel);
    auto* g2 = new QHBoxLayout(Group2);
    g2->setContentsMargins(6, 2, 6, 2);
    lblMagnify = label(Group2, "lblMagnify", QStringLiteral("放大倍数"));
    RzDBSpinEdit1 = new QSpinBox(Group2);
    RzDBSpinEdit1->setObjectName(QStringLiteral("RzDBSpinEdit1"));
    RzDBSpinEdit1->setRange(1, 100);
    lblArea = label(Group2, "lblArea", QStringLiteral("面积"));
    RzDBSpinEdit2 = new QSpinBox(Group2);
    RzDBSpinEdit2->setObjectName(QStringLiteral("RzDBSpinEdit2"));
    RzDBSpinEdit2->setRange(100, 600);
    RzDBSpinEdit2->setSingleStep(10);
    RzDBCheckFrame = new QCheckBox(QStringLiteral("边框"), Group2);
    RzDBCheckFrame->setObjectName(QStringLiteral("RzDBCheckFrame"));
    lblColor = label(Group2, "lblColor", QStringLiteral("颜色"));
    cxDBColorComboBox1 = new QComboBox(Group2);
    cxDBColorComboBox1->setObjectName(QStringLiteral("cxDBColorComboBox1"));
    for (int c : kColours) {
        QPixmap swatch(16, 12);
        swatch.fill(colorFromTColor(c));
        cxDBColorComboBox1->addItem(QIcon(swatch), colorFromTColor(c).name(), c);
    }
    connect(cxDBColorComboBox1, &QComboBox::activated, this, [this](int index) {
        storeSetting(QStringLiteral("FCOLOR"), cxDBColorComboBox1->itemData(index));
        MagnifierSettingChange();
    });
    for (QWidget* w : {static_cast<QWidget*>(lblMagnify), static_cast<QWidget*>(RzDBSpinEdit1),
                       static_cast<QWidget*>(lblArea), static_cast<QWidget*>(RzDBSpinEdit2),
                       static_cast<QWidget*>(RzDBCheckFrame), static_cast<QWidget*>(lblColor),
                       static_cast<QWidget*>(cxDBColorComboBox1)})
        g2->addWidget(w);
    top->addWidget(Group2);
    top->addStretch(1);

    btnClose = new QPushButton(QStringLiteral("关闭"), TopPanel);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setAutoDefault(false);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::close);
    top->addWidget(btnClose);

    // The splitter tree: left column 1 / 3 / 5, right column 2 / 4 / 6.
    RzSplitter_H = new PercentSplitter(this);
    RzSplitter_H->setObjectName(QStringLiteral("RzSplitter_H"));
    RzSplitter_VL = new PercentSplitter(RzSplitter_H);
    RzSplitter_VL->setObjectName(QStringLiteral("RzSplitter_VL"));
    RzSplitter_VR = new PercentSplitter(RzSplitter_H);
    RzSplitter_VR->setObjectName(QStringLiteral("RzSplitter_VR"));
    RzSplitter_H->addWidget(RzSplitter_VL);
    RzSplitter_H->addWidget(RzSplitter_VR);
    for (int i = 0; i < 6; ++i) {
        auto* frame = new TFrameImage;
        frame->setObjectName(QStringLiteral("FrameImage%1").arg(i + 1));
        frame->setMinimumSize(0, 0);
        connect(frame, &TFrameImage::imageClicked, this, [this, frame] { FrameImageClick(frame); });
        FArrayFrameImage << frame;
    }
    RzSplitter_VL->addWidget(FArrayFrameImage[0]);
    RzSplitter_VL1 = new PercentSplitter(RzSplitter_VL);
    RzSplitter_VL1->setObjectName(QStringLiteral("RzSplitter_VL1"));
    RzSplitter_VL->addWidget(RzSplitter_VL1);
    RzSplitter_VL1->addWidget(FArrayFrameImage[2]);
    RzSplitter_VL1->addWidget(FArrayFrameImage[4]);
    RzSplitter_VR->addWidget(FArrayFrameImage[1]);
    RzSplitter_VR1 = new PercentSplitter(RzSplitter_VR);
    RzSplitter_VR1->setObjectName(QStringLiteral("RzSplitter_VR1"));
    RzSplitter_VR->addWidget(RzSplitter_VR1);
    RzSplitter_VR1->addWidget(FArrayFrameImage[3]);
    RzSplitter_VR1->addWidget(FArrayFrameImage[5]);
    root->addWidget(RzSplitter_H, 1);
}

// The window's own controls that are not bound through FieldBinding follow the row here: the
// lists and the slider are also set by the window, and a binding would reset them on every
// change of the row.
void TfrmZoomImage::showSettingsRow()
{
    const QVariant stretch = setting(QStringLiteral("FSTRETCH"));
    const int item = stretch.isNull() ? -1 : stretch.toInt();
    RzDBCBStrechMode->setCurrentIndex(item >= 0 && item <= 4 ? item : -1);
    placeSlider(std::clamp(setting(QStringLiteral("FSLIDERPOS")).toInt(), 1, 60));
    RzDBTrackBar1->setEnabled(RzDBCBStrechMode->currentIndex() == 0);
    selectColour(setting(QStringLiteral("FCOLOR")).toInt());
}

QVariant TfrmZoomImage::setting(const QString& field) const
{
    if (!cdsZoomSetting->isActive() || cdsZoomSetting->isEmpty() ||
        cdsZoomSetting->fieldIndex(field) < 0)
        return {};
    return cdsZoomSetting->value(field);
}

void TfrmZoomImage::storeSetting(const QString& field, const QVariant& value)
{
    if (!cdsZoomSetting->isActive() || cdsZoomSetting->isEmpty() ||
        cdsZoomSetting->fieldIndex(field) < 0)
        return;
    if (cdsZoomSetting->state() == ClientDataSet::State::Browse)
        cdsZoomSetting->edit();
    cdsZoomSetting->setValue(field, value);
}

void TfrmZoomImage::placeSlider(int position)
{
    m_placingSlider = true;
    RzDBTrackBar1->setValue(position);
    m_placingSlider = false;
}

void TfrmZoomImage::selectColour(int tcolor)
{
    int index = cxDBColorComboBox1->findData(tcolor);
    if (index < 0) {
        QPixmap swatch(16, 12);
        swatch.fill(colorFromTColor(tcolor));
        cxDBColorComboBox1->addItem(QIcon(swatch), colorFromTColor(tcolor).name(), tcolor);
        index = cxDBColorComboBox1->count() - 1;
    }
    cxDBColorComboBox1->setCurrentIndex(index);
}

QColor TfrmZoomImage::colorFromTColor(int value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

int TfrmZoomImage::tcolorFromColor(const QColor& colour)
{
    return colour.red() | (colour.green() << 8) | (colour.blue() << 16);
}

int TfrmZoomImage::DefaultLayout(int count)
{
    if (count <= 1)
        return 0;
    if (count == 2)
        return 1;
    if (count <= 4)
        return 2;
    return 4;
}

void TfrmZoomImage::ArrangeFrames(int layout)
{
    if (layout < 0 || layout > 5)
        return;
    const LayoutRow& row = kLayouts[layout == 5 ? 3 : layout];
    RzSplitter_H->arrange(row.h.orientation, row.h.percent);
    RzSplitter_VL->arrange(row.vl.orientation, row.vl.percent);
    RzSplitter_VR->arrange(row.vr.orientation, row.vr.percent);
    RzSplitter_VL1->arrange(row.vl1.orientation, row.vl1.percent);
    RzSplitter_VR1->arrange(row.vr1.orientation, row.vr1.percent);
    m_arranged = layout;
}

QList<int> TfrmZoomImage::framesInView() const
{
    QList<int> result;
    for (int i = 0; i < FArrayFrameImage.size(); ++i) {
        const TFrameImage* f = FArrayFrameImage[i];
        if (f->isVisibleTo(this) && f->width() > 0 && f->height() > 0)
            result << i + 1;
    }
    return result;
}

void TfrmZoomImage::ShowAll()
{
    const int n = std::min<int>(int(FArraySelected.size()), int(FArrayFrameImage.size()));
    for (int i = 0; i < n; ++i)
        ShowPicture(FArrayFrameImage[i], FArraySelected[i]);
    ArrangeFrames(RzDBComboBox1->currentIndex());
}

void TfrmZoomImage::ShowPicture(TFrameImage* frame, int key)
{
    if (!FcdsImage->isActive())
        return;
    FcdsImage->setFilter(QStringLiteral("FInterID"), key);
    if (FcdsImage->recordCount() == 1) {
        FcdsImage->first();
        frame->ShowThisImage(FcdsImage);
    }
    FcdsImage->clearFilter();
}

void TfrmZoomImage::ApplyStretchMode(TFrameImage* frame)
{
    const int item = RzDBCBStrechMode->currentIndex();
    RzDBTrackBar1->setEnabled(item == 0);
    switch (item) {
    case 0:
        frame->SetZoomMode(zmPercent);
        frame->SetZoomPercent(RzDBTrackBar1->value() * 10);
        break;
    case 1:
        frame->SetZoomMode(zmFullPage);
        break;
    case 2:
        frame->SetZoomMode(zmFitHeight);
        break;
    case 3:
        frame->SetZoomMode(zmFitWidth);
        break;
    case 4:
        frame->SetZoomMode(zmOriginalSize);
        break;
    default:
        break;
    }
}

void TfrmZoomImage::MakeCurrent(TFrameImage* frame)
{
    FCurrentFrameImage = frame;
    placeSlider(std::clamp(int(std::lround(frame->ZoomPercent() / 10.0)), 1, 60));
    int item = -1;
    switch (frame->ZoomMode()) {
    case zmPercent:
        item = 0;
        break;
    case zmFullPage:
        item = 1;
        break;
    case zmFitHeight:
        item = 2;
        break;
    case zmFitWidth:
        item = 3;
        break;
    case zmOriginalSize:
        item = 4;
        break;
    default:
        break;
    }
    if (item >= 0)
        RzDBCBStrechMode->setCurrentIndex(item);
    RzDBTrackBar1->setEnabled(RzDBCBStrechMode->currentIndex() == 0);
    ApplyStretchMode(frame);
}

void TfrmZoomImage::FrameImageClick(TFrameImage* frame)
{
    // The frame has toggled its mark already.
    MakeCurrent(frame);
}

void TfrmZoomImage::RzDBComboBox1Change(int item)
{
    storeSetting(QStringLiteral("FVIEWMODE"), item);
    if (item == 5) {
        ShowAll();
        ArrangeFrames(DefaultLayout(int(FArraySelected.size())));
        return;
    }
    QList<int> marked;
    for (TFrameImage* frame : FArrayFrameImage) {
        if (frame->FrameSelected())
            marked << frame->FImageInterID;
    }
    for (int k = 0; k < marked.size(); ++k)
        ShowPicture(FArrayFrameImage[k], marked[k]);
    for (TFrameImage* frame : FArrayFrameImage)
        frame->ChangeBorder_SelectedMark(false);
    ArrangeFrames(item);
}

void TfrmZoomImage::RzDBCBStrechModeChange(int item)
{
    storeSetting(QStringLiteral("FSTRETCH"), item);
    if (FCurrentFrameImage)
        ApplyStretchMode(FCurrentFrameImage);
}

void TfrmZoomImage::RzDBTrackBar1Change(int position)
{
    storeSetting(QStringLiteral("FSLIDERPOS"), position);
    for (TFrameImage* frame : FArrayFrameImage) {
        if (frame->FImageInterID > 0 && frame->FrameSelected())
            frame->SetZoomPercent(position * 10);
    }
}

void TfrmZoomImage::MagnifierSettingChange()
{
    const QColor colour = colorFromTColor(cxDBColorComboBox1->currentData().toInt());
    for (TFrameImage* frame : FArrayFrameImage) {
        frame->SetManifierZoom(RzDBSpinEdit1->value());
        frame->SetManifierWidth(RzDBSpinEdit2->value());
        frame->SetManifierFrameColor(RzDBCheckFrame->isChecked(), colour);
    }
}

void TfrmZoomImage::ApplyLanguage()
{
    dmData->SetFormName(this, QStringLiteral("ZoomImage"));
    dmData->ChangeLanguage(TopPanel, QStringLiteral("ZoomImage"), QStringLiteral("TopPanel"));
    dmData->ChangeLanguage(Group1, QStringLiteral("ZoomImage"), QStringLiteral("Group1"));
    dmData->ChangeLanguage(Group2, QStringLiteral("ZoomImage"), QStringLiteral("Group2"));
    QStringList modes;
    if (dmData->FLanguageIndex == 1) {
        RzDBComboBox1->setItemText(5, QStringLiteral("全部显示"));
        modes = {QStringLiteral("缩放模式"), QStringLiteral("匹配框架"), QStringLiteral("匹配高度"),
                 QStringLiteral("匹配宽度"), QStringLiteral("原始尺寸")};
    } else if (dmData->FLanguageIndex == 2) {
        RzDBComboBox1->setItemText(5, QStringLiteral("Show All"));
        modes = {QStringLiteral("Zoom Percent"), QStringLiteral("Full Page"),
                 QStringLiteral("Fit Height"), QStringLiteral("Fit Width"),
                 QStringLiteral("Original Size")};
    }
    for (int i = 0; i < modes.size(); ++i)
        RzDBCBStrechMode->setItemText(i, modes[i]);
}

bool TfrmZoomImage::event(QEvent* e)
{
    if (int(e->type()) == WM_LANGUAGE_CHANGED) {
        ApplyLanguage();
        return true;
    }
    return QDialog::event(e);
}

// Every way of closing (button, title bar, Escape) ends here.
void TfrmZoomImage::done(int result)
{
    if (!m_saved) {
        m_saved = true;
        cdsZoomSetting->checkBrowseMode();
        if (cdsZoomSetting->changeCount() > 0)
            dmData->ApplyUpdateCDSToDB({cdsZoomSetting});
    }
    QDialog::done(result);
}
