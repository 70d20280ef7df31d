#pragma once

#include <QEvent>
#include <QString>

class QObject;

// Messages between windows, as custom events with fixed numbers. None carries a result.
enum WindowMessage : int
{
    WM_IMAGES_CHANGED = 1124,     // wParam: key of the new picture
    WM_DICTIONARY_CHANGED = 1125, // units and medicines changed
    WM_LANGUAGE_CHANGED = 1126,   // re-apply captions
    WM_SHOW_IMAGE_ARCHIVE = 1128, // open or refresh the image archive
    WM_FIND_PATIENT = 1129,       // run the find-patient action
    WM_DLL_TEXT = 2025,           // text1 ":" text2 in a plain box
    WM_DEVICECHANGE = 1537,       // wParam: DBT_DEVICEARRIVAL or DBT_DEVICEREMOVECOMPLETE
};

constexpr long long DBT_DEVICEARRIVAL = 0x8000;
constexpr long long DBT_DEVICEREMOVECOMPLETE = 0x8004;

class MessageEvent : public QEvent
{
public:
    explicit MessageEvent(int message, long long wParam = 0, const QString& text1 = {},
                          const QString& text2 = {})
        : QEvent(QEvent::Type(message)), wParam(wParam), text1(text1), text2(text2)
    {
    }
    int message() const { return int(type()); }

    long long wParam;
    QString text1;
    QString text2;
};

// Delivered now; returns when the receiver has handled it.
void SendMessage(QObject* receiver, int message, long long wParam = 0, const QString& text1 = {},
                 const QString& text2 = {});
// Queued; delivered by the event loop.
void PostMessage(QObject* receiver, int message, long long wParam = 0, const QString& text1 = {},
                 const QString& text2 = {});
