#include "splash.h"

#include "captionpanel.h"
#include "clientdataset.h"
#include "dberror.h"
#include "dmdata.h"
#include "messagebox.h"
#include "modifypassword.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The left side of the window: a tinted panel with a tooth outline.
class ToothArt : public QWidget
{
public:
    explicit ToothArt(QWidget* parent) : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient bg(rect().topLeft(), rect().bottomRight());
        bg.setColorAt(0, QColor(0x2f, 0x7f, 0xb8));
        bg.setColorAt(1, QColor(0x1b, 0x4f, 0x7a));
        p.fillRect(rect(), bg);

        // Drawn on a 100 x 100 grid, scaled into a square in the upper part.
        const qreal side = qMin(width() * 0.7, height() * 0.55);
        p.translate((width() - side) / 2, height() * 0.12);
        p.scale(side / 100, side / 100);
        QPainterPath tooth;
        tooth.moveTo(20, 30);
        tooth.cubicTo(15, 10, 35, 5, 42, 14);
        tooth.cubicTo(47, 20, 53, 20, 58, 14);
        tooth.cubicTo(65, 5, 85, 10, 80, 30);
        tooth.cubicTo(78, 45, 74, 55, 72, 70);
        tooth.cubicTo(70, 85, 66, 95, 62, 92);
        tooth.cubicTo(58, 88, 57, 70, 50, 66);
        tooth.cubicTo(43, 70, 42, 88, 38, 92);
        tooth.cubicTo(34, 95, 30, 85, 28, 70);
        tooth.cubicTo(26, 55, 22, 45, 20, 30);
        tooth.closeSubpath();
        p.setBrush(QColor(255, 255, 255, 60));
        p.setPen(QPen(QColor(255, 255, 255, 220), 2.5));
        p.drawPath(tooth);
        // A highlight on the crown.
        QPainterPath shine;
        shine.moveTo(28, 24);
        shine.cubicTo(28, 16, 34, 13, 39, 16);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(255, 255, 255, 160), 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(shine);
    }
};

// The driver sends a null string as NULL, which equals nothing; empty text must stay text.
QString asText(const QString& s)
{
    return s.isNull() ? QStringLiteral("") : s;
}

} // namespace

TfrmSplash::TfrmSplash(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("登录"));

    auto* art = new ToothArt(this);
    art->setFixedWidth(210);
    RzPanel2 = new CaptionPanel(art);
    RzPanel2->setObjectName(QStringLiteral("RzPanel2"));
    RzLabel1 = new QLabel(QStringLiteral("鹊岭"), RzPanel2);
    RzLabel1->setObjectName(QStringLiteral("RzLabel1"));
    RzLabel1->setAlignment(Qt::AlignCenter);
    QFont productFont = RzLabel1->font();
    productFont.setPointSizeF(productFont.pointSizeF() * 1.8);
    productFont.setBold(true);
    RzLabel1->setFont(productFont);
    QPalette light = RzLabel1->palette();
    light.setColor(QPalette::WindowText, Qt::white);
    RzLabel1->setPalette(light);
    auto* productLayout = new QVBoxLayout(RzPanel2);
    productLayout->setContentsMargins(8, 8, 8, 8);
    productLayout->addWidget(RzLabel1);
    auto* artLayout = new QVBoxLayout(art);
    artLayout->setContentsMargins(0, 0, 0, 24);
    artLayout->addStretch();
    artLayout->addWidget(RzPanel2);

    RzPanel1 = new CaptionPanel(this);
    RzPanel1->setObjectName(QStringLiteral("RzPanel1"));
    rzAppCaption = new QLabel(QStringLiteral("口腔病历与影像管理系统"), RzPanel1);
    rzAppCaption->setObjectName(QStringLiteral("rzAppCaption"));
    rzAppCaption->setWordWrap(true);
    QFont titleFont = rzAppCaption->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    titleFont.setBold(true);
    rzAppCaption->setFont(titleFont);
    lblUser = new QLabel(QStringLiteral("登录用户："), RzPanel1);
    lblUser->setObjectName(QStringLiteral("lblUser"));
    lblPsw = new QLabel(QStringLiteral("密码："), RzPanel1);
    lblPsw->setObjectName(QStringLiteral("lblPsw"));
    RzCbAccountList = new QComboBox(RzPanel1);
    RzCbAccountList->setObjectName(QStringLiteral("RzCbAccountList"));
    RzCbAccountList->setEditable(false);
    RzEditPassword = new QLineEdit(RzPanel1);
    RzEditPassword->setObjectName(QStringLiteral("RzEditPassword"));
    lblUser->setBuddy(RzCbAccountList);
    lblPsw->setBuddy(RzEditPassword);
    btnLogin = new QPushButton(QStringLiteral("登录"), RzPanel1);
    btnLogin->setObjectName(QStringLiteral("btnLogin"));
    btnLogin->setDefault(true);
    btnChangePSW = new QPushButton(QStringLiteral("改密码"), RzPanel1);
    btnChangePSW->setObjectName(QStringLiteral("btnChangePSW"));
    btnClose = new QPushButton(QStringLiteral("关闭"), RzPanel1);
    btnClose->setObjectName(QStringLiteral("btnClose"));

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(10);
    fields->setVerticalSpacing(12);
    fields->addWidget(lblUser, 0, 0);
    fields->addWidget(RzCbAccountList, 0, 1);
    fields->addWidget(lblPsw, 1, 0);
    fields->addWidget(RzEditPassword, 1, 1);
    fields->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnLogin);
    buttons->addWidget(btnChangePSW);
    buttons->addWidget(btnClose);
    auto* panelLayout = new QVBoxLayout(RzPanel1);
    panelLayout->setContentsMargins(24, 24, 24, 20);
    panelLayout->addWidget(rzAppCaption);
    panelLayout->addSpacing(20);
    panelLayout->addLayout(fields);
    panelLayout->addStretch();
    panelLayout->addLayout(buttons);

    auto* top = new QHBoxLayout(this);
    top->setContentsMargins(1, 1, 1, 1); // room for the border drawn in paintEvent
    top->setSpacing(0);
    top->addWidget(art);
    top->addWidget(RzPanel1, 1);
    setFixedSize(620, 300);

    setTabOrder(RzCbAccountList, RzEditPassword);
    setTabOrder(RzEditPassword, btnLogin);
    setTabOrder(btnLogin, btnChangePSW);
    setTabOrder(btnChangePSW, btnClose);
    RzCbAccountList->setFocus();
    RzEditPassword->installEventFilter(this);

    connect(btnLogin, &QPushButton::clicked, this, &TfrmSplash::btnLoginClick);
    connect(btnChangePSW, &QPushButton::clicked, this, &TfrmSplash::btnChangePSWClick);
    connect(btnClose, &QPushButton::clicked, this, &TfrmSplash::btnCloseClick);

    cdsUser = newDataSet(this, QStringLiteral("cdsUser"), dspUser, QStringLiteral("dspUser"));
    CDSModifyPassword = newDataSet(this, QStringLiteral("CDSModifyPassword"), dspModifyPassword,
                                   QStringLiteral("dspModifyPassword"));

    try {
        fillAccountList();
    } catch (const DbError& e) {
        ShowException(e.message());
    }
    applyLanguage();
}

void TfrmSplash::fillAccountList()
{
    RzCbAccountList->clear();
    dmData->OpenClientDataset(
        *cdsUser, QStringLiteral("select * from t_user where FUse=1 order by FInterID asc"));
    for (int row = 0; row < cdsUser->recordCount(); ++row) {
        cdsUser->setRecNo(row);
        RzCbAccountList->addItem(cdsUser->value(QStringLiteral("FName")).toString(),
                                 cdsUser->value(QStringLiteral("FInterID")).toString());
    }
    RzCbAccountList->setCurrentIndex(-1);
}

void TfrmSplash::applyLanguage()
{
    try {
        dmData->ChangeLanguage(RzPanel1, QStringLiteral("login"), QStringLiteral("Panel"));
        dmData->SetFormName(this, QStringLiteral("login"));
        if (dmData->FLanguageIndex == 1)
            RzLabel1->setText(QStringLiteral("鹊岭"));
        else if (dmData->FLanguageIndex == 2)
            RzLabel1->setText(QStringLiteral("Larkmoor"));
    } catch (const DbError& e) {
        ShowException(e.message());
    }
}

QString TfrmSplash::selectedKey() const
{
    if (RzCbAccountList->currentIndex() < 0)
        return {};
    return RzCbAccountList->currentData().toString().trimmed();
}

bool TfrmSplash::checkCredentials(const QString& key, const QString& password)
{
    // Read what is committed now, not the snapshot of an earlier read.
    if (!dmData->inComposedWrite())
        dmData->TransactionRollBack();
    CDSModifyPassword->close();
    CDSModifyPassword->setCommandText(QStringLiteral(
        "select FInterID,FName from t_user  where FUse=1  and FInterID=? and FPsw=?"));
    CDSModifyPassword->setParams({key, asText(password)});
    CDSModifyPassword->open();
    const int n = CDSModifyPassword->recordCount();
    if (n > 0) {
        CDSModifyPassword->first();
        dmData->FUserInterID = CDSModifyPassword->value(QStringLiteral("FInterID")).toInt();
        dmData->FUserName = CDSModifyPassword->value(QStringLiteral("FName")).toString();
    } else {
        dmData->FUserName.clear();
    }
    CDSModifyPassword->close();
    if (n != 1)
        ShowError(QStringLiteral("帐号、户名或者密码不正确，无法登录！"));
    return n == 1;
}

void TfrmSplash::btnLoginClick()
{
    if (RzCbAccountList->currentIndex() < 0) {
        ShowInfo(QStringLiteral("请选择用户 ！"));
        return;
    }
    try {
        if (checkCredentials(selectedKey(), RzEditPassword->text())) {
            dmData->FCanLogin = true;
            accept();
        } else {
            dmData->FCanLogin = false;
        }
    } catch (const DbError& e) {
        ShowException(e.message());
    }
}

void TfrmSplash::btnChangePSWClick()
{
    if (RzCbAccountList->currentIndex() < 0) {
        ShowInfo(QStringLiteral("请选择用户 ！"));
        return;
    }
    TfrmModifyPassword dialog(selectedKey(), this);
    dialog.exec();
}

void TfrmSplash::btnCloseClick()
{
    reject();
}

bool TfrmSplash::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == RzEditPassword && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            btnLogin->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmSplash::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    // Without a window frame the edge is drawn here.
    QPainter p(this);
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
