// The GUI thread's work for live values in two editors: the programmable
// gain editor with its three meters receiving a value each at 10 Hz, and a
// page of a 72-tap delay grid with one tap's delay changing at 10 Hz. Each
// is measured as the thread's CPU time per second against the same editor
// left idle in the same run, and with the area repainted per update against
// the window's area (nothing that did not change should be repainted).
#include <time.h>

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QPaintEvent>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <functional>

#include "audio/delay/delay_objects.h"
#include "audio/delay/multi_delay_form.h"
#include "audio/gain/gain_objects.h"
#include "audio/gain/prog_gain_control_form.h"
#include "bench_support.h"
#include "binding/editor_comm.h"
#include "windows/tarn_meter.h"

using namespace objscope;
using namespace objscope::audio;

namespace {

constexpr int kRunMs = 3000;
constexpr int kUpdateMs = 100;

// No device: the editors work offline, every value comes from the bench.
class OfflineComm : public TEditorComm {
  public:
    int32_t SetProperty(const TTarn_Property_Link&) override { return -1; }
    int32_t GetProperty(const TTarn_Property_Link&, TEditorCallback) override { return -1; }
    int32_t RegisterProperty(const TTarn_Property_Link&, TEditorCallback) override { return -1; }
    void TarnDeReg(uint16_t) override {}
    int32_t GetPropertyNow(const TTarn_Property_Link&) override { return -1; }
};

double ThreadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// Adds up the area every widget of a window repaints.
class PaintMeter : public QObject {
  public:
    explicit PaintMeter(QWidget& window) {
        window.installEventFilter(this);
        for (QWidget* child : window.findChildren<QWidget*>())
            child->installEventFilter(this);
    }
    double area = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            for (const QRect& rect : static_cast<QPaintEvent*>(event)->region())
                area += static_cast<double>(rect.width()) * rect.height();
        }
        return false;
    }
};

struct RunResult {
    double cpuMsPerSecond = 0;
    double paintedPerUpdate = 0;  // share of the window's area
};

// Runs the event loop for kRunMs, calling `update` (when given) every
// 100 ms.
RunResult Run(QWidget& window, const std::function<void(int)>& update) {
    QApplication::processEvents();
    PaintMeter meter(window);
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (update)
            update(ticks);
        ++ticks;
    });
    timer.start(kUpdateMs);
    QEventLoop loop;
    QTimer::singleShot(kRunMs, &loop, &QEventLoop::quit);
    const double start = ThreadCpuMs();
    loop.exec();
    const double used = ThreadCpuMs() - start;
    const double windowArea = static_cast<double>(window.width()) * window.height();
    return {used * 1000.0 / kRunMs,
            ticks > 0 && windowArea > 0 ? meter.area / ticks / windowArea : 0};
}

// A value arriving for a bound control, as a notification hands it on.
void Arrive(TTarnGuiComW& tarn, double value) {
    if (TU32MultiValue* number = tarn.MultiProperty())
        number->SetData(value);
    if (tarn.OnValueArrived)
        tarn.OnValueArrived();
}

void Report(const char* what, const RunResult& idle, const RunResult& live) {
    std::printf("%s: idle %.2f ms CPU/s, live %.2f ms CPU/s", what, idle.cpuMsPerSecond,
                live.cpuMsPerSecond);
    if (idle.cpuMsPerSecond > 0)
        std::printf(" (ratio %.2f)", live.cpuMsPerSecond / idle.cpuMsPerSecond);
    std::printf(", repainted per update %.1f %% of the window\n", 100 * live.paintedPerUpdate);
}

void ProgGainMeters(OfflineComm& comm) {
    TU32ProgGainControl object;
    TProgGainControlForm form(object, &comm);
    form.SetEditorFlags(false, false, false);
    form.ShowEditorWindow();
    const RunResult idle = Run(form, {});
    TTarnMeter2* meters[] = {form.findChild<TTarnMeter2*>("TarnMeter1"),
                             form.findChild<TTarnMeter2*>("TarnMeter2"),
                             form.findChild<TTarnMeter2*>("TarnMeter3")};
    const RunResult live = Run(form, [&](int tick) {
        for (int m = 0; m < 3; ++m)
            Arrive(meters[m]->Tarn(), -30 + 20 * std::sin(0.3 * tick + m));
    });
    Report("programmable gain, 3 meters at 10 Hz", idle, live);
}

void DelayGridPage(OfflineComm& comm) {
    TU32SignalDelayLine line;
    line.SetNumOutputs(kMaxDelayTaps);
    TMultiDelayForm form(line, &comm);
    form.SetEditorFlags(false, false, false);
    form.ShowEditorWindow();
    const RunResult idle = Run(form, {});
    const RunResult live = Run(
        form, [&](int tick) { Arrive(*form.TapComm(2).Comm(TapField::kDelay), 5 + 0.25 * tick); });
    Report("delay grid page, one tap at 10 Hz", idle, live);
}

}  // namespace

int main(int argc, char** argv) {
    const bool pinned = bench_support::pinWhenAsked(argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    OfflineComm comm;
    ProgGainMeters(comm);
    DelayGridPage(comm);
    std::printf("pinned to one CPU: %s; each run %d ms\n", pinned ? "yes" : "no", kRunMs);
    return 0;
}
