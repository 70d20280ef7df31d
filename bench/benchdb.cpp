#include "benchdb.h"

#include "dmdata.h"

#include <QFile>
#include <QProcess>
#include <cstdio>
#include <cstdlib>

QString createBenchDatabase(const QTemporaryDir& dir)
{
    const QString path = dir.filePath(QStringLiteral("bench.fdb"));
    QProcess create;
    create.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    create.start(
        QStringLiteral("bash"),
        {qEnvironmentVariable("QB_SOURCE_DIR") + QStringLiteral("/scripts/create-database"), path});
    if (!create.waitForFinished(300000) || create.exitCode() != 0) {
        std::fprintf(stderr, "cannot create the database (is QB_SOURCE_DIR set?)\n");
        std::exit(1);
    }
    return path;
}

void storeBenchPictures(int patientId, int rows, const QByteArray& bigImage, const QString& fileExt,
                        const QByteArray& smallImage)
{
    int key = dmData->GetScular(QStringLiteral("select FMaxID from t_maxID where FKey='ToothID'"))
                  .toInt();
    for (int done = 0; done < rows;) {
        dmData->TransactionBegin();
        for (int n = 0; n < 20 && done < rows; ++n, ++done, ++key) {
            dmData->ExcSQL_NoInternalTrans(
                QStringLiteral("insert into t_tooth (FInterID, FPatientID, FPositionIndex, FDate, "
                               "FBigImage, FSmallImage, FFileExt, FSmallFileExt) "
                               "values (?, ?, 5, current_date, ?, ?, ?, '.jpg')"),
                {key, patientId, bigImage, smallImage, fileExt});
        }
        dmData->ExcSQL_NoInternalTrans(
            QStringLiteral("update t_maxID set FMaxID=? where FKey='ToothID'"), {key});
        dmData->TransactionCommit();
    }
}

int envInt(const char* name, int fallback)
{
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(name, &ok);
    return ok && v > 0 ? v : fallback;
}

double peakMb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1;
}

void resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}
