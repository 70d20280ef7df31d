#pragma once

#include <QApplication>

// The application object: an exception that escapes an event handler is shown in the standard
// error box and the user interface carries on.
class Application : public QApplication
{
    Q_OBJECT
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
