#include "dmdata.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TdmData data;

    // Until the login and main windows exist: a frame that shows the database is reachable.
    QMainWindow frame;
    if (data.FLanguageIndex == 1)
        QApplication::setApplicationDisplayName(QStringLiteral("鹊岭"));
    else if (data.FLanguageIndex == 2)
        QApplication::setApplicationDisplayName(QStringLiteral("Quillbrook"));
    auto* status = new QLabel(&frame);
    status->setAlignment(Qt::AlignCenter);
    status->setText(data.isConnected() ? data.databasePath() : QString());
    frame.setCentralWidget(status);
    frame.showMaximized();
    return app.exec();
}
