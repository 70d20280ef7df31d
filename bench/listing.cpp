// Lists 1,000 picture rows with 6 MB pictures, once with the pictures read on demand and once
// with every blob fetched, and prints time and peak memory of each.
// QB_BENCH_ROWS and QB_BENCH_BLOB_MB override the size (for a quick look).
#include "benchdb.h"
#include "dmdata.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

namespace {

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
    TdmData dm(createBenchDatabase(dir));
    if (!dm.isConnected())
        return 1;

    QByteArray picture(blobMb * 1024 * 1024, Qt::Uninitialized);
    for (int i = 0; i < picture.size(); ++i)
        picture[i] = char(i * 31 + (i >> 12));
    storeBenchPictures(1, rows, picture, QStringLiteral(".bmp"), picture.left(12 * 1024));
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
