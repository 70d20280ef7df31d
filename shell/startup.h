#pragma once

#include <QString>
#include <functional>

class TfrmMain;
class TfrmSplash;

struct StartupOptions
{
    // Empty: protocal.dll beside the executable.
    QString databasePath;
    // Empty: the program's own guard key.
    QString guardKey;
    // Called when the login window is shown, and when the main window is shown.
    std::function<void(TfrmSplash&)> loginShown;
    std::function<void(TfrmMain&)> mainShown;
};

// The program from the single-instance check to the end of the message loop; returns the
// process exit code. The application object must exist.
int runProgram(const StartupOptions& options = {});
