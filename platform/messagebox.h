#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

// What one message box shows; presenters get this and return the button pressed.
struct MessageRequest
{
    enum Kind
    {
        Info,
        Error,
        ConfirmInfo,
        ConfirmWarning,
        ConfirmQuestion,
        Plain,
        Exception
    };
    Kind kind = Plain;
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
};

// Every box of the program goes through the current presenter; tests install their own to
// read the text and answer.
class MessagePresenter
{
public:
    virtual ~MessagePresenter() = default;
    virtual QMessageBox::StandardButton present(const MessageRequest& request) = 0;
};

// Installs a presenter (not owned); nullptr restores the one that shows real boxes.
void setMessagePresenter(MessagePresenter* presenter);
MessagePresenter* messagePresenter();

// Where the boxes read the language index (1 Chinese, 2 English); the data module installs it.
void setLanguageIndexSource(std::function<int()> source);
int messageLanguageIndex();

// Information and error boxes: nothing is shown unless the language is 1 or 2.
void ShowInfo(const QString& text);
void ShowError(const QString& text);
// True exactly when the user answers Yes.
bool ConfirmInfo(const QString& text);
bool ConfirmWarning(const QString& text);
bool ConfirmQuestion(const QString& text);
// The plain box: text, OK, no icon, the application title as caption.
void ShowMessage(const QString& text);

// The standard error box for a failure nobody handled (the engine's message, say): error icon,
// OK, the application title; shown whatever the language.
void ShowException(const QString& text);

// The request each helper builds for a language index, so that the rules can be read off.
MessageRequest messageRequest(MessageRequest::Kind kind, const QString& text, int languageIndex);
