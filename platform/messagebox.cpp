#include "messagebox.h"

#include <QApplication>
#include <QWidget>

namespace {

class DialogPresenter : public MessagePresenter
{
public:
    QMessageBox::StandardButton present(const MessageRequest& r) override
    {
        QMessageBox box(r.icon, r.caption, r.text, r.buttons, QApplication::activeWindow());
        if (r.kind == MessageRequest::Info)
            box.setWindowModality(Qt::ApplicationModal);
        if (r.buttons & QMessageBox::No)
            box.setDefaultButton(QMessageBox::No);
        return QMessageBox::StandardButton(box.exec());
    }
};

DialogPresenter g_dialogs;
MessagePresenter* g_presenter = nullptr;
std::function<int()> g_language;

QMessageBox::StandardButton present(const MessageRequest& r)
{
    return messagePresenter()->present(r);
}

} // namespace

void setMessagePresenter(MessagePresenter* presenter)
{
    g_presenter = presenter;
}

MessagePresenter* messagePresenter()
{
    return g_presenter ? g_presenter : &g_dialogs;
}

void setLanguageIndexSource(std::function<int()> source)
{
    g_language = std::move(source);
}

int messageLanguageIndex()
{
    return g_language ? g_language() : 0;
}

MessageRequest messageRequest(MessageRequest::Kind kind, const QString& text, int lang)
{
    MessageRequest r;
    r.kind = kind;
    r.text = text;
    const auto pick = [lang](const char* zh, const char* en) {
        return QString::fromUtf8(lang == 2 ? en : zh);
    };
    switch (kind) {
    case MessageRequest::Info:
        r.icon = QMessageBox::Information;
        r.buttons = QMessageBox::Ok;
        r.caption = pick("系统提示", "Information");
        break;
    case MessageRequest::Error:
        r.icon = QMessageBox::Critical;
        r.buttons = QMessageBox::Ok;
        r.caption = pick("发生错误", "Error");
        break;
    case MessageRequest::ConfirmInfo:
        r.icon = QMessageBox::Information;
        r.buttons = QMessageBox::Yes | QMessageBox::No;
        r.caption = QStringLiteral("系统提示"); // Chinese in every language
        break;
    case MessageRequest::ConfirmWarning:
        r.icon = QMessageBox::Warning;
        r.buttons = QMessageBox::Yes | QMessageBox::No;
        r.caption = pick("系统警告", "System warning");
        break;
    case MessageRequest::ConfirmQuestion:
        r.icon = QMessageBox::Question;
        r.buttons = QMessageBox::Yes | QMessageBox::No;
        r.caption = pick("征询用户", "Question");
        break;
    case MessageRequest::Exception:
        r.icon = QMessageBox::Critical;
        r.buttons = QMessageBox::Ok;
        r.caption = QGuiApplication::applicationDisplayName();
        break;
    case MessageRequest::Plain:
        r.icon = QMessageBox::NoIcon;
        r.buttons = QMessageBox::Ok;
        r.caption = QGuiApplication::applicationDisplayName();
        break;
    }
    return r;
}

void ShowInfo(const QString& text)
{
    const int lang = messageLanguageIndex();
    if (lang == 1 || lang == 2)
        present(messageRequest(MessageRequest::Info, text, lang));
}

void ShowError(const QString& text)
{
    const int lang = messageLanguageIndex();
    if (lang == 1 || lang == 2)
        present(messageRequest(MessageRequest::Error, text, lang));
}

bool ConfirmInfo(const QString& text)
{
    return present(messageRequest(MessageRequest::ConfirmInfo, text, messageLanguageIndex())) ==
           QMessageBox::Yes;
}

bool ConfirmWarning(const QString& text)
{
    return present(messageRequest(MessageRequest::ConfirmWarning, text, messageLanguageIndex())) ==
           QMessageBox::Yes;
}

bool ConfirmQuestion(const QString& text)
{
    return present(messageRequest(MessageRequest::ConfirmQuestion, text, messageLanguageIndex())) ==
           QMessageBox::Yes;
}

void ShowMessage(const QString& text)
{
    present(messageRequest(MessageRequest::Plain, text, messageLanguageIndex()));
}

void ShowException(const QString& text)
{
    present(messageRequest(MessageRequest::Exception, text, messageLanguageIndex()));
}
