#include "cappicturestill.h"

#include "clientdataset.h"
#include "dberror.h"
#include "dmdata.h"
#include "imagecodec.h"
#include "messagebox.h"
#include "picturerecords.h"
#include "thumbnail.h"
#include "videopipeline.h"
#include "videowindow.h"
#include "windowmessages.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

namespace {

constexpr int kTopBarHeight = 35;
constexpr int kBottomBarHeight = 41;
constexpr int kBorder = 12;
// The hand-piece's address of the shutter button.
constexpr int kButtonAddress = 133;
constexpr int kDelayTicks = 5;
// Far beyond any screen; keeps a damaged stored size from asking for an absurd window.
constexpr int kMaxVideoSide = 8192;

QString& recordingDirectory()
{
    static QString dir;
    return dir;
}

int language()
{
    return dmData ? dmData->FLanguageIndex : 0;
}

// Halfway values go to the even neighbour, as the size rule asks.
int roundEven(double v)
{
    return int(std::nearbyint(v));
}

const struct
{
    const char* name;
    int tag;
    const char* caption;
} kSizeItems[] = {
    {"N640x5121", 10, "640 x 512"}, {"N512x4101", 8, "512 x 410"}, {"N384x3081", 6, "384 x 308"},
    {"N256x2051", 4, "256 x 205"},  {"N192x1531", 3, "192 x 153"},
};

} // namespace

TClosePanel::TClosePanel(QWidget* parent) : CaptionPanel(parent)
{
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(128, 0, 0));
    pal.setColor(QPalette::WindowText, Qt::white);
    setPalette(pal);
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
}

void TClosePanel::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        emit clicked();
}

// ---------------------------------------------------------------------------------------------

QString TfrmCapPictureStill::recordingFile()
{
    const QString dir = recordingDirectory().isEmpty() ? QCoreApplication::applicationDirPath()
                                                       : recordingDirectory();
    return QDir(dir).filePath(QStringLiteral("Example.avi"));
}

void TfrmCapPictureStill::setRecordingDirectory(const QString& dir)
{
    recordingDirectory() = dir;
}

TfrmCapPictureStill::TfrmCapPictureStill(QWidget* showPicForm, int patientId, QWidget* parent)
    : TfrmCapPictureStill(showPicForm, patientId, openEquipment(),
                          std::make_unique<MonitorDeviceSource>(), parent)
{
}

TfrmCapPictureStill::TfrmCapPictureStill(QWidget* showPicForm, int patientId,
                                         std::unique_ptr<Equipment> equipment,
                                         std::unique_ptr<VideoDeviceSource> devices,
                                         QWidget* parent)
    : QDialog(parent), m_equipment(std::move(equipment)), m_devices(std::move(devices))
{
    setObjectName(QStringLiteral("frmCapPictureStill"));
    setWindowTitle(QStringLiteral("拍摄"));

    cdsImage = newDataSet(this, QStringLiteral("cdsImage"), dsImage, QStringLiteral("dsImage"));
    PictureRecords::configureProvider(*dsImage);
    m_dialogs = std::make_unique<DefaultPictureDialogs>();
    m_records = std::make_unique<PictureRecords>(*cdsImage, *m_dialogs);

    FilterGraph1 = new VideoPipeline(this);
    FilterGraph1->setObjectName(QStringLiteral("FilterGraph1"));
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(10);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(500);
    Timer_CoutRecordTime = new QTimer(this);
    Timer_CoutRecordTime->setObjectName(QStringLiteral("Timer_CoutRecordTime"));
    Timer_CoutRecordTime->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TfrmCapPictureStill::Timer1Timer);
    connect(Timer2, &QTimer::timeout, this, &TfrmCapPictureStill::Timer2Timer);
    connect(Timer_CoutRecordTime, &QTimer::timeout, this,
            &TfrmCapPictureStill::Timer_CoutRecordTimeTimer);

    buildControls();
    connect(FilterGraph1, &VideoPipeline::frameReady, VideoWindow1, &TVideoWindow::setFrame);
    connect(FilterGraph1, &VideoPipeline::videoStarted, this, [this] {
        if (m_equipment)
            m_equipment->videoStarted();
    });
    connect(MediaPlayer1->pipeline(), &VideoPipeline::frameReady, this,
            &TfrmCapPictureStill::showPlayerFrame);

    Timer1->start();
    ChangeLanguage();
    FShowPicFormHandle = showPicForm;
    FPatientID = patientId;
    if (m_devices)
        SysDev = m_devices->devices();
    ListVideoInputDevices(cbInputDev);
    InitEquipmentD();

    MediaPlayer1->setEnabled(false);
    if (QFile::exists(recordingFile())) {
        MediaPlayer1->setEnabled(true);
        MediaPlayer1->FileName = recordingFile();
        MediaPlayer1->Close();
        MediaPlayer1->Open();
    }
    EnableRecordControls(false);
    ApplyVideoSize(LoadVideoSizeMode());
}

TfrmCapPictureStill::~TfrmCapPictureStill()
{
    if (!m_closed)
        FormCloseQuery();
}

void TfrmCapPictureStill::buildControls()
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(kTopBarHeight);
    auto* top = new QHBoxLayout(Panel1);
    top->setContentsMargins(6, 4, 6, 4);
    top->setSpacing(6);
    Label1 = new QLabel(QStringLiteral("视频源:"), Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    cbInputDev = new QComboBox(Panel1);
    cbInputDev->setObjectName(QStringLiteral("cbInputDev"));
    cbInputDev->setMinimumWidth(120);
    cbInputDev->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cbInputDev->setMinimumContentsLength(16);
    connect(cbInputDev, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_filling)
            cbInputDevChange();
    });
    RzMenuButton1 = new QPushButton(QStringLiteral("尺寸"), Panel1);
    RzMenuButton1->setObjectName(QStringLiteral("RzMenuButton1"));
    PopupMenu1 = new QMenu(RzMenuButton1);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    for (const auto& item : kSizeItems) {
        QAction* a = PopupMenu1->addAction(QString::fromLatin1(item.caption));
        a->setObjectName(QString::fromLatin1(item.name));
        a->setData(item.tag);
        a->setCheckable(true);
        // The smallest size is reached only through a stored setting.
        a->setVisible(item.tag != 3);
    }
    RzMenuButton1->setMenu(PopupMenu1);
    connect(PopupMenu1, &QMenu::triggered, this, &TfrmCapPictureStill::N512x4101Click);
    pnlClose = new TClosePanel(Panel1);
    pnlClose->setObjectName(QStringLiteral("pnlClose"));
    pnlClose->setCaption(QStringLiteral("关闭"));
    pnlClose->setFixedSize(64, 26);
    connect(pnlClose, &TClosePanel::clicked, this, &TfrmCapPictureStill::pnlCloseClick);
    top->addWidget(Label1);
    top->addWidget(cbInputDev, 1);
    top->addStretch();
    top->addWidget(RzMenuButton1);
    top->addWidget(pnlClose);

    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setAutoFillBackground(true);
    QPalette grey = Panel2->palette();
    grey.setColor(QPalette::Window, QColor(128, 128, 128));
    Panel2->setPalette(grey);
    VideoWindow1 = new TVideoWindow(Panel2);
    VideoWindow1->setObjectName(QStringLiteral("VideoWindow1"));

    Panel3 = new QWidget(this);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setFixedHeight(kBottomBarHeight);
    auto* bottom = new QHBoxLayout(Panel3);
    bottom->setContentsMargins(6, 2, 6, 2);
    bottom->setSpacing(4);
    rgRecordMode = new QGroupBox(Panel3);
    rgRecordMode->setObjectName(QStringLiteral("rgRecordMode"));
    rgRecordMode->setFlat(true);
    auto* radios = new QHBoxLayout(rgRecordMode);
    radios->setContentsMargins(2, 0, 2, 0);
    m_modeButtons = new QButtonGroup(this);
    for (int i = 0; i < 2; ++i) {
        m_modeItems[i] = new QRadioButton(rgRecordMode);
        m_modeItems[i]->setObjectName(QStringLiteral("rgRecordModeItem%1").arg(i));
        m_modeButtons->addButton(m_modeItems[i], i);
        radios->addWidget(m_modeItems[i]);
    }
    m_modeItems[0]->setText(QStringLiteral("拍摄模式"));
    m_modeItems[1]->setText(QStringLiteral("录像模式"));
    m_modeItems[0]->setChecked(true);
    connect(m_modeButtons, &QButtonGroup::idClicked, this,
            &TfrmCapPictureStill::setRecordModeIndex);

    // Drawn glyphs: the style's stop icon is the player's, and there is no record icon.
    const auto glyph = [this](QToolButton*& b, const char* name, bool round) {
        b = new QToolButton(Panel3);
        b->setObjectName(QString::fromLatin1(name));
        QPixmap pm(16, 16);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 0, 0));
        if (round)
            p.drawEllipse(QRectF(2, 2, 12, 12));
        else
            p.drawRect(QRectF(3, 3, 10, 10));
        p.end();
        b->setIcon(QIcon(pm));
        b->setFixedSize(30, 28);
    };
    glyph(btnRecord, "btnRecord", true);
    glyph(btnStop, "btnStop", false);
    connect(btnRecord, &QToolButton::clicked, this, &TfrmCapPictureStill::btnRecordClick);
    connect(btnStop, &QToolButton::clicked, this, &TfrmCapPictureStill::btnStopClick);
    MediaPlayer1 = new TMediaPlayer(Panel3);
    MediaPlayer1->setObjectName(QStringLiteral("MediaPlayer1"));
    connect(MediaPlayer1, &TMediaPlayer::click, this, &TfrmCapPictureStill::MediaPlayer1Click);
    lblCountTime = new QLabel(QString(14, QLatin1Char(' ')), Panel3);
    lblCountTime->setObjectName(QStringLiteral("lblCountTime"));
    QFont timeFont(QStringLiteral("Tahoma"));
    timeFont.setPixelSize(13);
    timeFont.setBold(true);
    lblCountTime->setFont(timeFont);
    QPalette red = lblCountTime->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    lblCountTime->setPalette(red);
    lblCountTime->setMinimumWidth(56);
    bottom->addWidget(rgRecordMode);
    bottom->addWidget(btnRecord);
    bottom->addWidget(btnStop);
    bottom->addWidget(MediaPlayer1);
    bottom->addWidget(lblCountTime, 1);

    column->addWidget(Panel1);
    column->addWidget(Panel2, 1);
    column->addWidget(Panel3);
}

void TfrmCapPictureStill::ChangeLanguage()
{
    struct Texts
    {
        const char* caption;
        const char* close;
        const char* source;
        const char* size;
        const char* photograph;
        const char* recording;
    };
    static const Texts chinese{"采样", "关闭", "视频源：", "尺寸", "拍照模式", "录像模式"};
    static const Texts english{
        "Sampling", "Close", "Input Source:", "Size", "Photograph", "Recording"};
    const int lang = language();
    if (lang != 1 && lang != 2)
        return;
    const Texts& t = lang == 1 ? chinese : english;
    setWindowTitle(QString::fromUtf8(t.caption));
    pnlClose->setCaption(QString::fromUtf8(t.close));
    Label1->setText(QString::fromUtf8(t.source));
    RzMenuButton1->setText(QString::fromUtf8(t.size));
    m_modeItems[0]->setText(QString::fromUtf8(t.photograph));
    m_modeItems[1]->setText(QString::fromUtf8(t.recording));
}

void TfrmCapPictureStill::ListVideoInputDevices(QComboBox* items)
{
    m_filling = true;
    items->clear();
    // Entry i opens device i, so every device gets exactly one entry.
    for (const VideoDevice& d : SysDev)
        items->addItem(d.entryText());
    items->setCurrentIndex(-1);
    m_filling = false;
}

void TfrmCapPictureStill::EnableRecordControls(bool enabled)
{
    btnRecord->setEnabled(enabled);
    btnStop->setEnabled(enabled);
    MediaPlayer1->setEnabled(enabled);
}

QString TfrmCapPictureStill::FormatRecordTime(int seconds)
{
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds % 3600 / 60)
        .arg(seconds % 60);
}

void TfrmCapPictureStill::cbInputDevChange()
{
    FilterGraph1->stop();
    const int index = cbInputDev->currentIndex();
    if (index >= 0 && index < SysDev.size()) {
        if (recordModeIndex() == 0)
            SetCaptStillMode();
        else
            SetAviRecorderMode();
    }
    pnlClose->setFocus();
}

void TfrmCapPictureStill::SetCaptStillMode()
{
    FilterGraph1->stop();
    const int index = cbInputDev->currentIndex();
    if (index < 0 || index >= SysDev.size())
        return;
    m_playerShown = false;
    // A camera that cannot be started leaves the area black, as a failed graph does.
    FilterGraph1->startPhotograph(SysDev[index], VideoWindow1->size());
}

void TfrmCapPictureStill::SetAviRecorderMode()
{
    // The player may hold the old recording open; it lets go before the file is replaced.
    MediaPlayer1->Close();
    const QString file = recordingFile();
    if (QFile::exists(file))
        QFile::remove(file);
    FilterGraph1->stop();
    const int index = cbInputDev->currentIndex();
    if (index < 0 || index >= SysDev.size())
        return;
    m_playerShown = false;
    if (!FilterGraph1->startRecording(SysDev[index], VideoWindow1->size(), file)) {
        const int lang = language();
        if (lang == 1)
            ShowMessage(QStringLiteral("录像文件无法写入：%1").arg(QDir::toNativeSeparators(file)));
        else if (lang == 2)
            ShowMessage(QStringLiteral("The recording file cannot be written: %1")
                            .arg(QDir::toNativeSeparators(file)));
    }
}

int TfrmCapPictureStill::LoadVideoSizeMode()
{
    QVariant v;
    try {
        v = dmData->GetScular(
            QStringLiteral("select FVIDEOSIZEMODE from T_ZOOMIMAGE where FInterID=1"));
    } catch (const DbError&) {
        return 8;
    }
    bool ok = false;
    const int tag = v.isNull() ? 0 : v.toString().trimmed().toInt(&ok);
    return ok ? tag : 8;
}

void TfrmCapPictureStill::SaveVideoSizeMode(int tag)
{
    dmData->ExcSQL(
        QStringLiteral("update T_ZOOMIMAGE set FVIDEOSIZEMODE=%1 where FinterID=1").arg(tag));
}

void TfrmCapPictureStill::CheckVideoSizeItem(int tag)
{
    bool found = false;
    for (QAction* a : PopupMenu1->actions()) {
        const bool match = !found && a->data().toInt() == tag;
        a->setChecked(match);
        found = found || match;
    }
}

void TfrmCapPictureStill::ApplyVideoSize(int tag)
{
    const int w = std::clamp(roundEven(tag / 10.0 * 640), 0, kMaxVideoSide);
    const int h = std::clamp(roundEven(tag / 10.0 * 512), 0, kMaxVideoSide);
    VideoWindow1->resize(w, h);
    // The small sizes would cut the bars' controls off: the window never gets narrower than
    // they need, and the video stays centred in it.
    const int bars = std::max(Panel1->minimumSizeHint().width(), Panel3->minimumSizeHint().width());
    setFixedSize(std::max(w + kBorder, bars), h + kTopBarHeight + kBottomBarHeight + kBorder);
    layout()->activate();
    VideoWindow1->move(roundEven((Panel2->width() - w) / 2.0),
                       roundEven((Panel2->height() - h) / 2.0));
    MediaPlayer1->setDisplaySize(VideoWindow1->size());
    FilterGraph1->stop();
    cbInputDevChange();
}

void TfrmCapPictureStill::FormShow()
{
    const int tag = LoadVideoSizeMode();
    CheckVideoSizeItem(tag);
    ApplyVideoSize(tag);
    if (!parentWidget()) {
        if (const QScreen* screen = this->screen())
            move(screen->availableGeometry().center() - rect().center());
    }
}

void TfrmCapPictureStill::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous())
        FormShow();
}

void TfrmCapPictureStill::N512x4101Click(QAction* item)
{
    const int tag = item->data().toInt();
    ApplyVideoSize(tag);
    SaveVideoSizeMode(tag);
    CheckVideoSizeItem(tag);
}

int TfrmCapPictureStill::recordModeIndex() const
{
    return m_modeIndex;
}

void TfrmCapPictureStill::setRecordModeIndex(int index)
{
    if (index == m_modeIndex) {
        m_modeItems[index]->setChecked(true);
        return;
    }
    bool allow = false;
    rgRecordModeChanging(index, allow);
    if (allow)
        m_modeIndex = index;
    m_modeItems[m_modeIndex]->setChecked(true);
}

void TfrmCapPictureStill::rgRecordModeChanging(int newIndex, bool& allowChange)
{
    Timer_CoutRecordTime->stop();
    if (newIndex == 0) {
        Timer1->start();
        RzMenuButton1->setEnabled(true);
        cbInputDev->setEnabled(true);
        MediaPlayer1->setEnabled(false);
    } else {
        Timer1->stop();
        RzMenuButton1->setEnabled(false);
        cbInputDev->setEnabled(false);
        openPlayerIfRecorded();
    }
    allowChange = true;
    if (cbInputDev->currentIndex() < 0)
        return;
    if (newIndex == 0) {
        SetCaptStillMode();
        EnableRecordControls(false);
    } else {
        EnableRecordControls(true);
        openPlayerIfRecorded();
    }
}

void TfrmCapPictureStill::openPlayerIfRecorded()
{
    if (!QFile::exists(recordingFile()))
        return;
    MediaPlayer1->setEnabled(true);
    MediaPlayer1->FileName = recordingFile();
    MediaPlayer1->Close();
    MediaPlayer1->Open();
}

void TfrmCapPictureStill::btnRecordClick()
{
    MediaPlayer1->setEnabled(false);
    SetAviRecorderMode();
    FTimeDistance_Recording = 0;
    if (FilterGraph1->mode() == VideoPipeline::Mode::Recording)
        Timer_CoutRecordTime->start();
}

void TfrmCapPictureStill::Timer_CoutRecordTimeTimer()
{
    ++FTimeDistance_Recording;
    lblCountTime->setText(FormatRecordTime(FTimeDistance_Recording));
}

void TfrmCapPictureStill::btnStopClick()
{
    FilterGraph1->stop();
    VideoWindow1->clear();
    Timer_CoutRecordTime->stop();
    if (QFile::exists(recordingFile())) {
        MediaPlayer1->setEnabled(true);
        MediaPlayer1->FileName = recordingFile();
        MediaPlayer1->Open();
    }
}

void TfrmCapPictureStill::MediaPlayer1Click(TMediaPlayer::Button button, bool& doDefault)
{
    if (button == TMediaPlayer::btPlay)
        FilterGraph1->stop();
    // Whatever the player shows from now on goes to the video area, until live video returns.
    m_playerShown = true;
    doDefault = true;
}

void TfrmCapPictureStill::showPlayerFrame(const QImage& frame)
{
    if (m_playerShown && !FilterGraph1->isActive())
        VideoWindow1->setFrame(frame);
}

void TfrmCapPictureStill::pnlCloseClick()
{
    Timer1->stop();
    close();
}

void TfrmCapPictureStill::done(int result)
{
    FormCloseQuery();
    QDialog::done(result);
}

void TfrmCapPictureStill::FormCloseQuery()
{
    Timer1->stop();
    Timer_CoutRecordTime->stop();
    MediaPlayer1->Close();
    FilterGraph1->stop();
    if (m_equipment)
        m_equipment->CloseEquipment();
    m_closed = true;
}

// ---------------------------------------------------------------------------------------------
// The shutter button.

void TfrmCapPictureStill::InitEquipmentD()
{
    if (m_equipment && m_equipment->InitEquipment() != 0) {
        Timer1->start();
        return;
    }
    QString text = m_equipment ? m_equipment->failureReason(language()) : QString();
    if (text.isEmpty()) {
        const int lang = language();
        if (lang == 1)
            text = QStringLiteral("没有发现配套的摄像头!");
        else if (lang == 2)
            text = QStringLiteral("The Matching Camera not found!");
    }
    Timer1->stop();
    ShowMessage(text);
}

void TfrmCapPictureStill::Timer1Timer()
{
    Timer1->stop();
    // Without a hand-piece nothing is ever pressed.
    const int reading = m_equipment ? m_equipment->ReadFromEquipment(kButtonAddress) : 0xFF;
    if ((reading & 0x80) == 0) {
        Timer2RunTimes = 0;
        // A running delay keeps its period; only the count starts again.
        if (!Timer2->isActive())
            Timer2->start();
        if (!Timer2->isActive())
            ShowMessage(QStringLiteral("拍照失败！底层原因:") +
                        QStringLiteral("the delay timer could not be started"));
    }
    Timer1->start();
}

void TfrmCapPictureStill::Timer2Timer()
{
    ++Timer2RunTimes;
    if (Timer2RunTimes < kDelayTicks)
        return;
    HarewareTakePicture();
    Timer2RunTimes = 0;
    Timer2->stop();
}

bool TfrmCapPictureStill::HarewareTakePicture()
{
    QImage bitmap;
    if (!FilterGraph1->grabStill(bitmap))
        return false;
    try {
        const QByteArray smallImage = MakeThumbnail(bitmap);
        const QByteArray bigImage = codec::encodeBmp(bitmap);
        if (smallImage.isEmpty() || bigImage.isEmpty())
            throw DbError(language() == 2 ? QStringLiteral("The picture cannot be encoded.")
                                          : QStringLiteral("无法生成图片文件。"));
        const int key =
            m_records->storeNewPicture(FPatientID, bigImage, QStringLiteral(".bmp"), smallImage);
        // The stored row need not stay in memory.
        cdsImage->close();
        PostMessage(FShowPicFormHandle.data(), WM_IMAGES_CHANGED, key);
    } catch (const DbError& e) {
        cdsImage->close();
        ShowMessage(e.message());
    } catch (const std::exception& e) {
        cdsImage->close();
        ShowMessage(QString::fromLocal8Bit(e.what()));
    }
    return true;
}
