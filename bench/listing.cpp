// Lists 1,000 picture rows with 6 MB pictures, once with the pictures read on demand and once
// with every blob fetched, and prints time and peak memory of each.
// QB_BENCH_ROWS and QB_BENCH_BLOB_MB override the size (for a quick look).
#include "dmdata.h"
#include "messagebox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

namespace {

int envInt(const char* name, int fallback)
{
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(name, &ok);
    return ok && v > 0 ? v : fallback;
}

// Peak resident memory since the last reset, in MB.
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

struct Listing
{
    double ms;
    double peak;
    int rows;
};

Listing list(bool onDemand)
{
    ClientDataSet ds;
    DataSetProvider provider;
    ds.setProvider(&provider);
    if (onDemand)
        provider.setBlobsOnDemand(QStringLiteral("t_tooth"), QStringLiteral("FInterID"));
    resetPeak();
    QElapsedTimer t;
    t.start();
    dmData->GetDataset(ds,
                       QStringLiteral("select * from t_tooth where FPatientID=? "
                                      "order by FInterID"),
                       {1});
    const double ms = double(t.nsecsElapsed()) / 1e6;
    return {ms, peakMb(), ds.recordCount()};
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int rows = envInt("QB_BENCH_ROWS", 1000);
    const int blobMb = envInt("QB_BENCH_BLOB_MB", 6);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.fdb"));
    QProcess create;
    create.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    create.start(
        QStringLiteral("bash"),
        {qEnvironmentVariable("QB_SOURCE_DIR") + QStringLiteral("/scripts/create-database"), path});
    if (!create.waitForFinished(300000) || create.exitCode() != 0) {
        std::fprintf(stderr, "cannot create the database\n");
        return 1;
    }

    TdmData dm(path);
    if (!dm.isConnected())
        return 1;
    dm.FLanguageIndex = 2; // failures are printed by the error boxes' text below

    QByteArray picture(blobMb * 1024 * 1024, Qt::Uninitialized);
    for (int i = 0; i < picture.size(); ++i)
        picture[i] = char(i * 31 + (i >> 12));
    const QByteArray thumb = picture.left(12 * 1024);
    for (int k = 1; k <= rows;) {
        dm.TransactionBegin();
        for (int n = 0; n < 20 && k <= rows; ++n, ++k) {
            dm.ExcSQL_NoInternalTrans(
                QStringLiteral("insert into t_tooth (FInterID, FPatientID, FPositionIndex, "
                               "FToothIndex, FBigImage, FSmallImage, FFileExt, FSmallFileExt) "
                               "values (?, 1, 5, 0, ?, ?, '.bmp', '.jpg')"),
                {k, picture, thumb});
        }
        dm.TransactionCommit();
    }
    picture.clear();
    picture.squeeze();

    const Listing lazy = list(true);
    const Listing full = list(false);
    if (lazy.rows != rows || full.rows != rows) {
        std::fprintf(stderr, "listed %d and %d rows of %d\n", lazy.rows, full.rows, rows);
        return 1;
    }
    std::printf("listing_on_demand_ms: %.1f ms\n", lazy.ms);
    std::printf("listing_all_blobs_ms: %.1f ms\n", full.ms);
    std::printf("listing_on_demand_peak_mb: %.1f MB\n", lazy.peak);
    std::printf("listing_all_blobs_peak_mb: %.1f MB\n", full.peak);
    std::printf("listing_all_blobs_to_on_demand_time_ratio: %.1f x\n", full.ms / lazy.ms);
    return 0;
}
