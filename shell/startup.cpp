#include "startup.h"

#include "appstate.h"
#include "basicinfo.h"
#include "cappicturestill.h"
#include "dmdata.h"
#include "findbook.h"
#include "mainwindow.h"
#include "seeonepatient.h"
#include "singleinstance.h"
#include "splash.h"
#include "takepicture.h"
#include "user.h"
#include "windowmessages.h"
#include "windowregistry.h"
#include "zoomimage.h"

#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>

int runProgram(const StartupOptions& options)
{
    // A second start must show nothing at all, not even a database error: ask the running
    // copy to come forward before the database is opened.
    SingleInstanceGuard guard(options.guardKey.isEmpty() ? SingleInstanceGuard::defaultKey()
                                                         : options.guardKey);
    if (guard.AlreadyRunning())
        return 0;
    // Closing the login window must not end a loop that has not started.
    QApplication::setQuitOnLastWindowClosed(false);

    TdmData data(options.databasePath);

    QPointer<TfrmMain> main;
    QObject::connect(&guard, &SingleInstanceGuard::restoreRequested, &guard,
                     [] { bringApplicationForward(); });
    QObject::connect(&guard, &SingleInstanceGuard::findPatientRequested, &guard, [&main] {
        if (main)
            PostMessage(main, WM_FIND_PATIENT);
    });
    QObject::connect(&guard, &SingleInstanceGuard::dllTextReceived, &guard,
                     [&main](const QString& first, const QString& second) {
                         if (main)
                             PostMessage(main, WM_DLL_TEXT, 0, first, second);
                     });

    {
        TfrmSplash splash;
        if (options.loginShown)
            QTimer::singleShot(0, &splash, [&splash, &options] { options.loginShown(splash); });
        splash.exec();
    }
    if (!data.FCanLogin)
        return 0;

    windowRegistry().createTakePicture = [](int patientId) -> QWidget* {
        return new TfrmTakePicture(patientId);
    };
    windowRegistry().runFindBook = [] { return TfrmFindBook::run(); };
    windowRegistry().runBasicInfo = [] { TfmBasicInfo::run(); };
    windowRegistry().runUser = [] { TfrmUser::run(); };
    windowRegistry().createSeeOnePatient = [](int patientId, const QString& selected) -> QWidget* {
        return new TfrmSeeOnePatient(patientId, selected);
    };
    windowRegistry().runCapture = [](QWidget* archive, int patientId) {
        TfrmCapPictureStill w(archive, patientId);
        w.exec();
    };
    windowRegistry().runCompare = [](const QList<int>& keys) {
        TfrmZoomImage w(keys);
        w.exec();
    };
    auto* frame = new TfrmMain;
    main = frame;
    if (data.FLanguageIndex == 1)
        QGuiApplication::setApplicationDisplayName(QStringLiteral("鹊岭"));
    else if (data.FLanguageIndex == 2)
        QGuiApplication::setApplicationDisplayName(QStringLiteral("Quillbrook"));

    // The loop runs until the main window has closed (after its children's close checks).
    frame->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(frame, &QObject::destroyed, qApp, &QCoreApplication::quit);
    // Fill the screen even where no window manager honours the maximised state.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        frame->setGeometry(screen->availableGeometry());
    frame->showMaximized();
    if (options.mainShown)
        QTimer::singleShot(0, frame, [frame, &options] { options.mainShown(*frame); });
    const int rc = QApplication::exec();
    delete main.data(); // before the data module goes
    return rc;
}
