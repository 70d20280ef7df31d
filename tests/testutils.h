#pragma once

#include "messagebox.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A fresh database file made by scripts/create-database: the script runs once per test
// process into a template, and each call copies it into dir.
QString freshDatabase(const QTemporaryDir& dir, const QString& name = QStringLiteral("test.fdb"));

// Runs a command of the repository's scripts/ folder; returns its exit code.
int runScript(const QString& script, const QStringList& args, QString* output = nullptr);

// Stands in for the message boxes: keeps every request and answers from a queue (No, or OK,
// when the queue is empty). Installed for its lifetime.
class AnsweringPresenter : public MessagePresenter
{
public:
    AnsweringPresenter();
    ~AnsweringPresenter() override;
    QMessageBox::StandardButton present(const MessageRequest& request) override;
    // The texts shown, in order.
    QStringList texts() const;

    QList<MessageRequest> shown;
    QList<QMessageBox::StandardButton> answers;

private:
    MessagePresenter* m_previous;
};
