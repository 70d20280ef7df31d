#include "windowmessages.h"

#include <QCoreApplication>

void SendMessage(QObject* receiver, int message, long long wParam, const QString& text1,
                 const QString& text2)
{
    if (!receiver)
        return;
    MessageEvent e(message, wParam, text1, text2);
    QCoreApplication::sendEvent(receiver, &e);
}

void PostMessage(QObject* receiver, int message, long long wParam, const QString& text1,
                 const QString& text2)
{
    if (!receiver)
        return;
    QCoreApplication::postEvent(receiver, new MessageEvent(message, wParam, text1, text2));
}
