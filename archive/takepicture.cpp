#include "takepicture.h"

#include "appstate.h"
#include "clientdataset.h"
#include "dberror.h"
#include "dmdata.h"
#include "frameimage.h"
#include "imagecodec.h"
#include "messagebox.h"
#include "picturerecords.h"
#include "windowmessages.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QColor kToothGreen(0, 128, 64);
const QColor kToothBlue(0, 70, 200);
const QColor kMarkRed(220, 0, 0);
const QColor kThumbnailBackground(64, 64, 64);

// Tooth numbers in chart order, upper row then lower row, face to face.
const int kUpperRow[] = {18, 17, 16, 15, 14, 13, 12, 11, 21, 22, 23, 24, 25, 26, 27, 28};
const int kLowerRow[] = {48, 47, 46, 45, 44, 43, 42, 41, 31, 32, 33, 34, 35, 36, 37, 38};

int language()
{
    return dmData ? dmData->FLanguageIndex : 0;
}

} // namespace

// ---------------------------------------------------------------------------------------------

ChartPanel::ChartPanel(int code, const QString& caption, QWidget* parent)
    : CaptionPanel(parent), m_code(code)
{
    setCaption(caption);
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setCursor(Qt::PointingHandCursor);
}

void ChartPanel::setMarked(bool marked)
{
    if (m_marked != marked) {
        m_marked = marked;
        update();
    }
}

void ChartPanel::setCurrent(bool current)
{
    if (m_current != current) {
        m_current = current;
        update();
    }
}

void ChartPanel::mousePressEvent(QMouseEvent* e)
{
    emit pressed(this, e->button());
    e->accept();
}

void ChartPanel::paintEvent(QPaintEvent* e)
{
    if (!isTooth()) {
        CaptionPanel::paintEvent(e);
        return;
    }
    QPainter p(this);
    const QRect r = rect().adjusted(1, 1, -1, -1);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 60, 30), 1));
    p.setBrush(m_current ? kToothBlue : kToothGreen);
    p.drawRoundedRect(r, 4, 4);
    QFont f = font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.15);
    p.setFont(f);
    if (m_marked) {
        // Red on a light badge reads at a glance from the chair.
        const QRect text = p.fontMetrics().boundingRect(r, Qt::AlignCenter, caption());
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 245, 240));
        p.drawRoundedRect(text.adjusted(-3, 0, 3, 0), 3, 3);
    }
    p.setPen(m_marked ? kMarkRed : Qt::white);
    p.drawText(r, Qt::AlignCenter, caption());
}

// ---------------------------------------------------------------------------------------------

TfrmTakePicture::TfrmTakePicture(int patientId, QWidget* parent, PictureDialogs* dialogs)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmTakePicture"));
    setWindowTitle(QStringLiteral("影像档案"));

    cdsImage = newDataSet(this, QStringLiteral("cdsImage"), dsImage, QStringLiteral("dsImage"));
    PictureRecords::configureProvider(*dsImage);

    cdsZoomSetting = newDataSet(this, QStringLiteral("cdsZoomSetting"), dspZoomSetting,
                                QStringLiteral("dspZoomSetting"));
    dspZoomSetting->setUpdateStatements(
        QStringLiteral("update t_zoomImage set FViewMode=:FViewMode,FStretch=:FStretch,"
                       "FZoom=:FZoom,FArea=:FArea,FSliderPos=:FSliderPos,FDefault=:FDefault "
                       "where FInterID=:FInterID"),
        QString(), QString());

    cdsToothMark = newDataSet(this, QStringLiteral("cdsToothMark"), dspToothMark,
                              QStringLiteral("dspToothMark"));

    if (!dialogs) {
        m_ownDialogs = std::make_unique<DefaultPictureDialogs>();
        dialogs = m_ownDialogs.get();
    }
    m_records = std::make_unique<PictureRecords>(*cdsImage, *dialogs);

    buildChart();
    ApplyLanguage();
    CurrentPatientID = patientId;
    FToothPanelPosIndex = 0;
    dmData->OpenClientDataset(*cdsZoomSetting, QStringLiteral("select * from t_zoomImage"));
    RzDBComboBox1->setCurrentIndex(columnSetting());
    BuildToothPanelList();
    ShowThisPatientImages(patientId, 0);
}

TfrmTakePicture::~TfrmTakePicture() = default;

void TfrmTakePicture::buildChart()
{
    // The chart across the top.
    RzPanelController = new CaptionPanel(this);
    RzPanelController->setObjectName(QStringLiteral("RzPanelController"));
    RzPanelController->setFrameShape(QFrame::StyledPanel);
    auto* chart = new QGridLayout(RzPanelController);
    chart->setContentsMargins(6, 6, 6, 6);
    chart->setHorizontalSpacing(3);
    chart->setVerticalSpacing(3);

    const auto side = [this](ChartPanel*& panel, const char* name, int code, const char* text) {
        panel = new ChartPanel(code, QString::fromUtf8(text), RzPanelController);
        panel->setObjectName(QString::fromLatin1(name));
        panel->setMinimumSize(64, 38);
        connect(panel, &ChartPanel::pressed, this, &TfrmTakePicture::chartPanelPressed);
    };
    side(RzPanelAllImage, "RzPanelAllImage", ChartPanel::AllCode, "全部影像");
    side(pnlRight_U, "pnlRight_U", 1, "右上");
    side(pnlLeft_U, "pnlLeft_U", 2, "左上");
    side(pnlLeft_D, "pnlLeft_D", 3, "左下");
    side(pnlRight_D, "pnlRight_D", 4, "右下");
    side(RzPanelUnAssignImages, "RzPanelUnAssignImages", ChartPanel::UnassignedCode, "未定影像");
    // Wide enough for the longest quadrant caption in either language.
    const int quadrantWidth = fontMetrics().horizontalAdvance(QStringLiteral("Upper Right")) + 18;
    for (ChartPanel* q : {pnlRight_U, pnlLeft_U, pnlLeft_D, pnlRight_D})
        q->setMinimumWidth(quadrantWidth);
    RzPanelAllImage->setMinimumWidth(84);
    RzPanelUnAssignImages->setMinimumWidth(84);

    chart->addWidget(RzPanelAllImage, 0, 0, 2, 1);
    chart->addWidget(pnlRight_U, 0, 1);
    chart->addWidget(pnlRight_D, 1, 1);
    for (int i = 0; i < 16; ++i) {
        for (int row = 0; row < 2; ++row) {
            const int tooth = row == 0 ? kUpperRow[i] : kLowerRow[i];
            auto* panel =
                new ChartPanel(ChartPanel::ToothCode, QString::number(tooth), RzPanelController);
            panel->setObjectName(QStringLiteral("RzPanelChangeColor%1").arg(tooth));
            panel->setMinimumSize(34, 38);
            connect(panel, &ChartPanel::pressed, this, &TfrmTakePicture::chartPanelPressed);
            // A small gap between the two halves of each jaw.
            chart->addWidget(panel, row, 2 + i + (i >= 8 ? 1 : 0));
        }
    }
    chart->setColumnMinimumWidth(10, 8);
    chart->addWidget(pnlLeft_U, 0, 19);
    chart->addWidget(pnlLeft_D, 1, 19);
    chart->addWidget(RzPanelUnAssignImages, 0, 20, 2, 1);

    RadioGroup1 = new QGroupBox(RzPanelController);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    auto* radios = new QVBoxLayout(RadioGroup1);
    radios->setContentsMargins(6, 2, 6, 2);
    rbFaceToFace = new QRadioButton(RadioGroup1);
    rbFaceToFace->setObjectName(QStringLiteral("rbFaceToFace"));
    rbSameDirection = new QRadioButton(RadioGroup1);
    rbSameDirection->setObjectName(QStringLiteral("rbSameDirection"));
    rbFaceToFace->setChecked(true);
    radios->addWidget(rbFaceToFace);
    radios->addWidget(rbSameDirection);
    chart->addWidget(RadioGroup1, 0, 21, 2, 1);
    chart->setColumnStretch(22, 1);
    connect(rbFaceToFace, &QRadioButton::clicked, this, [this] { orientationChosen(0); });
    connect(rbSameDirection, &QRadioButton::clicked, this, [this] { orientationChosen(1); });

    // The tool bar.
    RzToolbar1 = new CaptionPanel(this);
    RzToolbar1->setObjectName(QStringLiteral("RzToolbar1"));
    RzToolbar1->setFrameShape(QFrame::StyledPanel);
    auto* tools = new QHBoxLayout(RzToolbar1);
    tools->setContentsMargins(8, 3, 8, 3);
    lblUserName = new QLabel(RzToolbar1);
    lblUserName->setObjectName(QStringLiteral("lblUserName"));
    lblName = new QLabel(RzToolbar1);
    lblName->setObjectName(QStringLiteral("lblName"));
    lblName->setMinimumWidth(160);
    QFont bold = lblName->font();
    bold.setBold(true);
    lblName->setFont(bold);
    lblIamgeArrange = new QLabel(QStringLiteral("影像布局："), RzToolbar1);
    lblIamgeArrange->setObjectName(QStringLiteral("lblIamgeArrange"));
    RzDBComboBox1 = new QComboBox(RzToolbar1);
    RzDBComboBox1->setObjectName(QStringLiteral("RzDBComboBox1"));
    RzDBComboBox1->setMinimumWidth(140);
    btnCompare = new QToolButton(RzToolbar1);
    btnCompare->setObjectName(QStringLiteral("btnCompare"));
    btnCompare->setText(QStringLiteral("影像对照"));
    btnUnSelectImages = new QToolButton(RzToolbar1);
    btnUnSelectImages->setObjectName(QStringLiteral("btnUnSelectImages"));
    btnUnSelectImages->setText(QStringLiteral("撤销选图"));
    for (QToolButton* b : {btnCompare, btnUnSelectImages}) {
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setAutoRaise(false);
        b->setMinimumHeight(28);
    }
    btnCompare->setIcon(style()->standardIcon(QStyle::SP_FileDialogListView));
    btnUnSelectImages->setIcon(style()->standardIcon(QStyle::SP_DialogResetButton));
    tools->addWidget(lblUserName);
    tools->addWidget(lblName);
    tools->addSpacing(24);
    tools->addWidget(lblIamgeArrange);
    tools->addWidget(RzDBComboBox1);
    tools->addSpacing(24);
    tools->addWidget(btnCompare);
    tools->addWidget(btnUnSelectImages);
    tools->addStretch(1);
    // Takes the focus when the window opens, so that the column combo does not hold the keys.
    btnFocusSink = new QPushButton(RzToolbar1);
    btnFocusSink->setObjectName(QStringLiteral("btnFocusSink"));
    btnFocusSink->setFixedWidth(0);
    btnFocusSink->setFlat(true);
    tools->addWidget(btnFocusSink);

    // The command column.
    RzCommandPanel = new CaptionPanel(this);
    RzCommandPanel->setObjectName(QStringLiteral("RzCommandPanel"));
    RzCommandPanel->setFrameShape(QFrame::StyledPanel);
    auto* commands = new QVBoxLayout(RzCommandPanel);
    commands->setContentsMargins(6, 8, 6, 8);
    commands->setSpacing(8);
    const auto command = [this, commands](QPushButton*& b, const char* name, const char* text,
                                          QStyle::StandardPixmap icon) {
        b = new QPushButton(QString::fromUtf8(text), RzCommandPanel);
        b->setObjectName(QString::fromLatin1(name));
        b->setIcon(style()->standardIcon(icon));
        b->setMinimumSize(96, 40);
        commands->addWidget(b);
    };
    command(btnTakePicture, "btnTakePicture", "拍摄", QStyle::SP_MediaPlay);
    command(btnImport, "btnImport", "导入", QStyle::SP_DialogOpenButton);
    command(btnExportOne, "btnExportOne", "导出", QStyle::SP_DialogSaveButton);
    command(btnDeleteOne, "btnDeleteOne", "删除", QStyle::SP_TrashIcon);
    command(btnDeleteAll, "btnDeleteAll", "全删", QStyle::SP_DialogDiscardButton);
    command(btnDoMemo, "btnDoMemo", "备注", QStyle::SP_FileDialogContentsView);
    commands->addStretch(1);

    // The thumbnails.
    ScrollBoxImage = new QScrollArea(this);
    ScrollBoxImage->setObjectName(QStringLiteral("ScrollBoxImage"));
    ScrollBoxImage->setWidgetResizable(false);
    m_thumbnailArea = new QWidget;
    m_thumbnailArea->setObjectName(QStringLiteral("thumbnailArea"));
    m_thumbnailArea->setAutoFillBackground(true);
    QPalette dark = m_thumbnailArea->palette();
    dark.setColor(QPalette::Window, kThumbnailBackground);
    m_thumbnailArea->setPalette(dark);
    ScrollBoxImage->setPalette(dark);
    ScrollBoxImage->setBackgroundRole(QPalette::Window);
    ScrollBoxImage->setWidget(m_thumbnailArea);
    ScrollBoxImage->viewport()->installEventFilter(this);
    connect(ScrollBoxImage->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &TfrmTakePicture::realizeVisibleThumbnails);

    auto* body = new QHBoxLayout;
    body->setSpacing(0);
    body->addWidget(RzCommandPanel);
    body->addWidget(ScrollBoxImage, 1);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(RzPanelController);
    column->addWidget(RzToolbar1);
    column->addLayout(body, 1);

    connect(RzDBComboBox1, &QComboBox::activated, this, &TfrmTakePicture::columnChosen);
    connect(btnCompare, &QToolButton::clicked, this, [this] {
        CollectSelectedImageIDs();
        CompareSelectedImages();
    });
    connect(btnUnSelectImages, &QToolButton::clicked, this, [this] {
        for (TFrameImage* f : FObjectList)
            f->ChangeBorder_SelectedMark(false);
    });
    connect(btnTakePicture, &QPushButton::clicked, this, [this] {
        if (CurrentPatientID < 0) {
            ShowInfo(language() == 2 ? QStringLiteral("Please selecct one medical record first ！")
                                     : QStringLiteral("请先选择一份病历 ！"));
            return;
        }
        if (windowRegistry().runCapture)
            windowRegistry().runCapture(this, CurrentPatientID);
    });
    connect(btnImport, &QPushButton::clicked, this, [this] {
        const auto result = m_records->ImportImageFile(CurrentPatientID);
        if (result == PictureRecords::ImportResult::Stored ||
            result == PictureRecords::ImportResult::StoreFailed) {
            for (ChartPanel* p : FRzPanelList)
                p->setCurrent(false);
            FrzPanel_LastClick = RzPanelUnAssignImages;
            ShowThisPatientImages(CurrentPatientID, 5);
        }
    });
    connect(btnExportOne, &QPushButton::clicked, this,
            [this] { m_records->ExportSelectedImage(selectedKeys()); });
    connect(btnDeleteOne, &QPushButton::clicked, this, [this] {
        if (m_records->DeleteSelectedImages(selectedKeys()))
            afterRecordsChanged();
    });
    connect(btnDeleteAll, &QPushButton::clicked, this, [this] {
        if (m_records->DeleteAllShownImages(shownKeys()))
            afterRecordsChanged();
    });
    connect(btnDoMemo, &QPushButton::clicked, this, [this] {
        const QList<int> selected = selectedKeys();
        if (m_records->EditSelectedImageMemo(selected)) {
            // Re-caption the edited thumbnail from its row.
            for (TFrameImage* f : FObjectList) {
                if (f->FImageInterID == selected.first() &&
                    cdsImage->locate(QStringLiteral("FInterID"), selected.first()))
                    f->SetImageMemo(cdsImage);
            }
        }
    });
}

void TfrmTakePicture::BuildToothPanelList()
{
    FRzPanelList.clear();
    for (int quadrant = 1; quadrant <= 4; ++quadrant) {
        for (int n = 1; n <= 8; ++n) {
            const QString name = QStringLiteral("RzPanelChangeColor%1").arg(quadrant * 10 + n);
            auto* panel = RzPanelController->findChild<ChartPanel*>(name);
            panel->setCode(ChartPanel::ToothCode);
            FRzPanelList << panel;
        }
    }
}

int TfrmTakePicture::columnSetting() const
{
    // No settings row: one column.
    if (!cdsZoomSetting->isActive() || cdsZoomSetting->isEmpty())
        return 0;
    const QVariant v =
        cdsZoomSetting->value(0, cdsZoomSetting->fieldIndex(QStringLiteral("FDefault")));
    return std::clamp(v.toInt(), 0, 6);
}

void TfrmTakePicture::columnChosen(int index)
{
    if (cdsZoomSetting->isActive() && !cdsZoomSetting->isEmpty()) {
        cdsZoomSetting->first();
        cdsZoomSetting->edit();
        cdsZoomSetting->setValue(QStringLiteral("FDefault"), index);
        cdsZoomSetting->post();
    }
    LoadThumbnails(columnSetting() + 1);
    btnFocusSink->setFocus();
}

void TfrmTakePicture::ApplyLanguage()
{
    dmData->ChangeLanguage(RzPanelController, QStringLiteral("ImageCapture"),
                           QStringLiteral("TopPanel"));
    dmData->ChangeLanguage(RzCommandPanel, QStringLiteral("ImageCapture"),
                           QStringLiteral("Commandbar"));
    dmData->ChangeLanguage(RzToolbar1, QStringLiteral("ImageCapture"), QStringLiteral("Toolbar"));
    dmData->SetFormName(this, QStringLiteral("ImageCapture"));
    // The caption rows name the quadrants face to face; keep them true to the chart shown.
    setQuadrantCaptions();
    ShowPatientName();
    const int current = RzDBComboBox1->currentIndex();
    const QSignalBlocker quiet(RzDBComboBox1);
    if (language() == 1) {
        RzDBComboBox1->clear();
        RzDBComboBox1->addItems({QStringLiteral("1 列"), QStringLiteral("2 列"),
                                 QStringLiteral("3 列"), QStringLiteral("4 列"),
                                 QStringLiteral("5 列"), QStringLiteral("6 列"),
                                 QStringLiteral("自动布局")});
    } else if (language() == 2) {
        RzDBComboBox1->clear();
        RzDBComboBox1->addItems({QStringLiteral("1 Column"), QStringLiteral("2 Columns"),
                                 QStringLiteral("3 Columns"), QStringLiteral("4 Columns"),
                                 QStringLiteral("5 Columns"), QStringLiteral("6 Columns"),
                                 QStringLiteral("Automatic layout")});
    } else if (RzDBComboBox1->count() == 0) {
        for (int i = 1; i <= 6; ++i)
            RzDBComboBox1->addItem(QStringLiteral("%1 列").arg(i));
        RzDBComboBox1->addItem(QStringLiteral("自动布局"));
    }
    RzDBComboBox1->setCurrentIndex(current >= 0 ? current : columnSetting());
    if (language() == 1) {
        rbFaceToFace->setText(QStringLiteral("面对面模式"));
        rbSameDirection->setText(QStringLiteral("同一朝向模式"));
    } else {
        rbFaceToFace->setText(QStringLiteral("face-to-face "));
        rbSameDirection->setText(QStringLiteral("watching the same direction "));
    }
}

void TfrmTakePicture::setQuadrantCaptions()
{
    const bool faceToFace = FToothPanelPosIndex == 0;
    struct Place
    {
        ChartPanel* panel;
        int code;
        const char* zh;
        const char* en;
    };
    const Place places[] = {
        {pnlRight_U, faceToFace ? 1 : 2, faceToFace ? "右上" : "左上",
         faceToFace ? "Upper Right" : "Upper Left"},
        {pnlRight_D, faceToFace ? 4 : 3, faceToFace ? "右下" : "左下",
         faceToFace ? "Lower Right" : "Lower Left"},
        {pnlLeft_U, faceToFace ? 2 : 1, faceToFace ? "左上" : "右上",
         faceToFace ? "Upper Left" : "Upper Right"},
        {pnlLeft_D, faceToFace ? 3 : 4, faceToFace ? "左下" : "右下",
         faceToFace ? "Lower Left" : "Lower Right"},
    };
    for (const Place& p : places) {
        p.panel->setCode(p.code);
        if (language() == 1)
            p.panel->setCaption(QString::fromUtf8(p.zh));
        else if (language() == 2)
            p.panel->setCaption(QString::fromUtf8(p.en));
    }
}

void TfrmTakePicture::ShowThisPatientImages(int patientId, int positionIndex)
{
    CurrentPatientID = patientId;
    QueryImages(patientId, positionIndex, 0);
    LoadThumbnails(columnSetting() + 1);
    MarkTeethWithImages(patientId);
    ShowPatientName();
}

void TfrmTakePicture::QueryImages(int patientId, int position, int tooth)
{
    const QString base =
        QStringLiteral("select * from t_tooth where  FPatientID=%1 ").arg(patientId);
    // After an export or a memo edit the pictures are listed by date.
    const QString tail = m_records->orderedByDate() ? QStringLiteral(" order by FDate")
                                                    : QStringLiteral(" order by FInterID desc");
    QString sql;
    if (position != 0)
        sql = base + QStringLiteral(" and FPositionIndex=%1 ").arg(position) + tail;
    else if (tooth == 0)
        sql = base + tail;
    else
        sql = base + QStringLiteral(" and FToothIndex=%1 ").arg(tooth) + tail;
    cdsImage->close();
    dmData->OpenClientDataset(*cdsImage, sql);
}

void TfrmTakePicture::ShowPanelImages(int patientId, ChartPanel* panel)
{
    const int code = panel->code();
    if (code == ChartPanel::AllCode)
        QueryImages(patientId, 0, 0);
    else if (code >= 1 && code <= 5)
        QueryImages(patientId, code, 0);
    else if (code == ChartPanel::ToothCode)
        QueryImages(patientId, 0, panel->number());
}

void TfrmTakePicture::LoadThumbnails(int columns)
{
    for (auto it = FObjectList.rbegin(); it != FObjectList.rend(); ++it) {
        (*it)->hide();
        delete *it;
    }
    FObjectList.clear();
    m_slots.clear();
    const int keyCol = cdsImage->fieldIndex(QStringLiteral("FInterID"));
    const int bytesCol = cdsImage->fieldIndex(QStringLiteral("FSmallImage"));
    const int extCol = cdsImage->fieldIndex(QStringLiteral("FSmallFileExt"));
    for (int r = 0; r < cdsImage->recordCount(); ++r) {
        // A thumbnail that cannot be shown is left out. Its header tells; the pixels are
        // decoded when the frame first comes into view.
        const QByteArray bytes = cdsImage->value(r, bytesCol).toByteArray();
        if (!bytes.isEmpty() &&
            !codec::looksDecodable(bytes, cdsImage->value(r, extCol).toString()))
            continue;
        m_slots.push_back({r, cdsImage->value(r, keyCol).toInt(), nullptr});
    }
    ArrangeThumbnails(columns);
}

void TfrmTakePicture::ArrangeThumbnails(int columns)
{
    if (columns < 1)
        return;
    if (columns == 7)
        columns = std::max(1, ScrollBoxImage->viewport()->width() / TFrameImage::kDesignWidth);
    m_columns = columns;
    const int n = int(m_slots.size());
    const int rows = (n + columns - 1) / columns;
    const int cols = std::min(n, columns);
    m_thumbnailArea->resize(cols * (TFrameImage::kDesignWidth + 5) + 5,
                            rows * (TFrameImage::kDesignHeight + 5) + 5);
    for (int i = 0; i < n; ++i) {
        if (TFrameImage* f = m_slots[i].frame)
            f->move(slotPosition(i));
    }
    realizeVisibleThumbnails();
}

QPoint TfrmTakePicture::slotPosition(int index) const
{
    const int row = index / m_columns;
    const int col = index % m_columns;
    return {col * (TFrameImage::kDesignWidth + 5) + 5, row * (TFrameImage::kDesignHeight + 5) + 5};
}

void TfrmTakePicture::realizeVisibleThumbnails()
{
    if (m_slots.empty() || m_columns < 1)
        return;
    // Frames are built for the rows in view and one more on each side; the rest wait until
    // they are scrolled to, so that a thousand pictures open as fast as a screenful.
    const int rowHeight = TFrameImage::kDesignHeight + 5;
    const int top = ScrollBoxImage->verticalScrollBar()->value();
    const int firstRow = std::max(0, top / rowHeight - 1);
    const int lastRow = (top + ScrollBoxImage->viewport()->height()) / rowHeight + 1;
    const int from = firstRow * m_columns;
    const int to = std::min(int(m_slots.size()), (lastRow + 1) * m_columns);
    bool added = false;
    for (int i = from; i < to; ++i) {
        ThumbnailSlot& slot = m_slots[i];
        if (slot.frame)
            continue;
        auto* frame = new TFrameImage(m_thumbnailArea);
        frame->SetPictureSizeMode(0);
        cdsImage->setRecNo(slot.row);
        try {
            frame->ShowThisImage(cdsImage);
        } catch (const std::exception&) {
            frame->SetImageMemo(cdsImage); // the header promised a picture; keep the caption
            frame->FImageInterID = slot.key;
        }
        const int key = slot.key;
        connect(frame, &TFrameImage::imageDoubleClicked, this, [this, key] {
            FArrayInteger = {key};
            CompareSelectedImages();
        });
        frame->move(slotPosition(i));
        frame->show();
        slot.frame = frame;
        added = true;
    }
    if (added) {
        FObjectList.clear();
        for (const ThumbnailSlot& slot : m_slots) {
            if (slot.frame)
                FObjectList.push_back(slot.frame);
        }
    }
}

void TfrmTakePicture::MarkTeethWithImages(int patientId)
{
    dmData->OpenClientDataset(
        *cdsToothMark,
        QStringLiteral("select distinct FToothIndex from t_tooth where FPatientID=%1")
            .arg(patientId));
    for (ChartPanel* p : FRzPanelList)
        p->setMarked(false);
    for (int r = 0; r < cdsToothMark->recordCount(); ++r) {
        const QVariant tooth = cdsToothMark->value(r, 0);
        if (tooth.isNull())
            continue;
        for (ChartPanel* p : FRzPanelList) {
            if (p->caption().trimmed() == tooth.toString())
                p->setMarked(true);
        }
    }
}

void TfrmTakePicture::ShowPatientName()
{
    const int lang = language();
    if (lang != 1 && lang != 2)
        return;
    lblUserName->setText(lang == 1 ? QStringLiteral("姓名：") : QStringLiteral("Name:"));
    if (CurrentPatientID >= 0) {
        lblName->setText(
            dmData
                ->GetScular(QStringLiteral("select FName from t_Patient where FinterID=%1")
                                .arg(CurrentPatientID))
                .toString());
    }
    if (CurrentPatientID == 0) {
        lblUserName->clear();
        lblName->setText(lang == 1 ? QStringLiteral("病情观察室")
                                   : QStringLiteral("Observation room"));
    }
}

void TfrmTakePicture::chartPanelPressed(ChartPanel* panel, Qt::MouseButton button)
{
    FrzPanel_LastClick = panel;
    for (ChartPanel* p : FRzPanelList)
        p->setCurrent(false);
    if (panel->isTooth())
        panel->setCurrent(true);
    if (button == Qt::LeftButton) {
        ShowPanelImages(CurrentPatientID, panel);
        LoadThumbnails(columnSetting() + 1);
    } else if (button == Qt::RightButton) {
        if (panel->isTooth())
            m_records->AssignSelectedToTooth(selectedKeys(), panel->number());
        ShowPanelImages(CurrentPatientID, panel);
        LoadThumbnails(columnSetting() + 1);
        MarkTeethWithImages(CurrentPatientID);
    }
}

void TfrmTakePicture::afterRecordsChanged()
{
    if (FrzPanel_LastClick)
        ShowPanelImages(CurrentPatientID, FrzPanel_LastClick);
    else
        QueryImages(CurrentPatientID, 0, 0);
    LoadThumbnails(columnSetting() + 1);
    MarkTeethWithImages(CurrentPatientID);
}

void TfrmTakePicture::orientationChosen(int entry)
{
    if (entry != FToothPanelPosIndex)
        MirrorToothChart(entry == 0 ? QStringLiteral("leftSide_Right")
                                    : QStringLiteral("leftSide_Left"));
    FToothPanelPosIndex = entry;
    setQuadrantCaptions();
}

void TfrmTakePicture::MirrorToothChart(const QString& mode)
{
    QList<int> red;
    int blue = 0;
    for (ChartPanel* p : FRzPanelList) {
        if (p->marked())
            red << p->number();
        if (p->isCurrent())
            blue = p->number();
    }
    for (ChartPanel* p : FRzPanelList) {
        const int n = p->number();
        int m = n;
        if ((n > 10 && n < 20) || (n > 30 && n < 40))
            m = n + 10;
        else if ((n > 20 && n < 30) || (n > 40 && n < 50))
            m = n - 10;
        p->setCaption(QString::number(m));
    }
    FToothPanelPosIndex = mode == QLatin1String("leftSide_Left") ? 1 : 0;
    setQuadrantCaptions();
    // Marks follow the tooth, not the place.
    for (ChartPanel* p : FRzPanelList) {
        p->setMarked(red.contains(p->number()));
        p->setCurrent(blue != 0 && p->number() == blue);
    }
}

QList<int> TfrmTakePicture::selectedKeys() const
{
    QList<int> keys;
    for (TFrameImage* f : FObjectList) {
        if (f->FrameSelected())
            keys << f->FImageInterID;
    }
    return keys;
}

QList<int> TfrmTakePicture::shownKeys() const
{
    QList<int> keys;
    for (const ThumbnailSlot& slot : m_slots)
        keys << slot.key;
    return keys;
}

ChartPanel* TfrmTakePicture::toothPanel(int toothNumber) const
{
    for (ChartPanel* p : FRzPanelList) {
        if (p->number() == toothNumber)
            return p;
    }
    return nullptr;
}

void TfrmTakePicture::CollectSelectedImageIDs()
{
    FArrayInteger = selectedKeys();
}

void TfrmTakePicture::CompareSelectedImages()
{
    if (FArrayInteger.isEmpty()) {
        ShowInfo(language() == 2 ? QStringLiteral("Please select at least one image...")
                                 : QStringLiteral("请至少选择一个影像..."));
    } else if (FArrayInteger.size() > 6) {
        ShowInfo(
            language() == 2
                ? QStringLiteral("The Images Selected to be contrast should not be more than 6  ！")
                : QStringLiteral("选择用于对比的影像不能超过 6 个 ！"));
    } else if (windowRegistry().runCompare) {
        windowRegistry().runCompare(FArrayInteger);
    }
}

void TfrmTakePicture::GetSelectedImages_ObservationRoom(bool& isObservationRoomMode,
                                                        QString& selectedImages)
{
    isObservationRoomMode = CurrentPatientID == 0;
    CollectSelectedImageIDs();
    QStringList keys;
    for (int k : FArrayInteger)
        keys << QString::number(k);
    selectedImages = keys.join(QLatin1Char(','));
}

bool TfrmTakePicture::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == ScrollBoxImage->viewport() && e->type() == QEvent::Resize)
        realizeVisibleThumbnails();
    return QWidget::eventFilter(watched, e);
}

bool TfrmTakePicture::event(QEvent* e)
{
    if (int(e->type()) == WM_IMAGES_CHANGED) {
        FrzPanel_LastClick = RzPanelUnAssignImages;
        ShowThisPatientImages(CurrentPatientID, 5);
        return true;
    }
    if (int(e->type()) == WM_LANGUAGE_CHANGED) {
        ApplyLanguage();
        return true;
    }
    return QWidget::event(e);
}

void TfrmTakePicture::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (m_shown)
        return;
    m_shown = true;
    btnFocusSink->setFocus();
    FrzPanel_LastClick = RzPanelAllImage;
    // The automatic layout depends on the area's width, known only now.
    if (columnSetting() == 6)
        ArrangeThumbnails(7);
}

void TfrmTakePicture::closeEvent(QCloseEvent* e)
{
    cdsZoomSetting->checkBrowseMode();
    if (cdsZoomSetting->changeCount() > 0)
        dmData->ApplyUpdateCDSToDB({cdsZoomSetting});
    QWidget::closeEvent(e);
}
