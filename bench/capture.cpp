// Camera window figures with a 1920 x 1080, 30 fps test-pattern camera: storing one captured
// frame (bitmap, thumbnail, insert, commit), and the frames the preview shows per second, idle
// and while ten pictures are stored one after another (100 ms apart). The stores run on the
// interface thread; the preview should lose no more than the frames that arrive during them.
#include "benchdb.h"
#include "cappicturestill.h"
#include "dmdata.h"
#include "testpatterncamera.h"
#include "videopipeline.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QImage>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

class IdleHandpiece : public Equipment
{
public:
    int InitEquipment() override { return 1; }
    int ReadFromEquipment(int) override { return 0xFF; }
    int CloseEquipment() override { return 0; }
};

void report(const char* name, double value, const char* unit)
{
    std::printf("%s: %.3f %s\n", name, value, unit);
    std::fflush(stdout);
}

void spin(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
}

// Frames the preview showed per second over ms of idle running.
double idleFps(const VideoPipeline& pipeline, int ms)
{
    const quint64 before = pipeline.framesShown();
    QElapsedTimer t;
    t.start();
    spin(ms);
    return double(pipeline.framesShown() - before) * 1000.0 / double(t.elapsed());
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    TdmData data(createBenchDatabase(dir));
    data.FLanguageIndex = 2;
    TfrmCapPictureStill::setRecordingDirectory(dir.path());

    TestPatternCamera camera;
    camera.description = QStringLiteral("1080p test pattern");
    camera.width = 1920;
    camera.height = 1080;
    camera.fps = 30;
    camera.pattern = QStringLiteral("ball");
    TfrmCapPictureStill window(nullptr, 1, std::make_unique<IdleHandpiece>(),
                               std::make_unique<TestPatternDevices>(QList{camera}));
    window.show();
    window.findChild<QComboBox*>(QStringLiteral("cbInputDev"))->setCurrentIndex(0);
    QImage frame;
    for (int i = 0; i < 400 && !window.FilterGraph1->grabStill(frame); ++i)
        spin(25);
    if (frame.size() != QSize(1920, 1080)) {
        std::fprintf(stderr, "the test camera delivered no 1080p frame\n");
        return 1;
    }
    spin(1000); // warm-up

    const double idle = idleFps(*window.FilterGraph1, 3000);

    const int captures = 10;
    std::vector<double> storeMs;
    const quint64 before = window.FilterGraph1->framesShown();
    QElapsedTimer series;
    series.start();
    for (int i = 0; i < captures; ++i) {
        QElapsedTimer t;
        t.start();
        if (!window.HarewareTakePicture()) {
            std::fprintf(stderr, "no frame to capture\n");
            return 1;
        }
        storeMs.push_back(double(t.nsecsElapsed()) / 1e6);
        spin(100);
    }
    const double capturing =
        double(window.FilterGraph1->framesShown() - before) * 1000.0 / double(series.elapsed());
    const int stored =
        data.GetScular(QStringLiteral("select count(*) from t_tooth where FPatientID=1")).toInt();
    if (stored != captures) {
        std::fprintf(stderr, "%d pictures stored instead of %d\n", stored, captures);
        return 1;
    }

    std::sort(storeMs.begin(), storeMs.end());
    report("capture_store_1080p_ms", storeMs[storeMs.size() / 2], "ms");
    report("preview_fps_idle", idle, "fps");
    report("preview_fps_capturing", capturing, "fps");
    report("preview_fps_capturing_vs_idle_ratio", idle > 0 ? capturing / idle : 0.0, "x");
    window.close();
    return 0;
}
