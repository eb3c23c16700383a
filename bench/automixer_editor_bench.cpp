// The 72-input automatic mixer editor: the time from creating the window to
// its first paint, against an 8-input editor (one page, the same strips on
// screen) in the same run; and the GUI thread's CPU time per second while
// all 72 input meters and gating lights take new values at 10 Hz, against
// the same editor left idle for as long. Values go in through the controls'
// value-arrived handlers, the path a device's notification takes once the
// communication layer has decoded it. Offscreen, no device.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "audio/automixer/automix_form.h"
#include "audio/automixer/automixer_objects.h"
#include "bench_support.h"
#include "values/property_string_value.h"

using namespace objscope;
using namespace objscope::audio;

namespace {

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Waits for the first paint of the window's visible meter.
class FirstPaint : public QObject {
  public:
    bool painted = false;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

double OpenToFirstPaintMs(int inputs) {
    TU32AutoMixer mixer;
    mixer.SetNumInputs(static_cast<uint16_t>(inputs));
    QElapsedTimer clock;
    clock.start();
    TfrmAutoMix form(mixer, nullptr);
    FirstPaint watch;
    form.Strip(1).level->installEventFilter(&watch);
    form.ShowEditorWindow();
    while (!watch.painted)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    form.Strip(1).level->removeEventFilter(&watch);
    form.close();
    return ms;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Runs the event loop for `seconds`, with `tick` every 100 ms when given;
// answers the GUI thread's CPU seconds per second.
double CpuPerSecond(double seconds, const std::function<void()>& tick) {
    QTimer timer;
    if (tick) {
        timer.setInterval(100);
        QObject::connect(&timer, &QTimer::timeout, tick);
        timer.start();
    }
    const double cpu0 = ThreadCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    // The event loop sleeps between events, as the program's does.
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
    const double wall = static_cast<double>(clock.nsecsElapsed()) * 1e-9;
    return (ThreadCpuSeconds() - cpu0) / wall;
}

}  // namespace

int main(int argc, char** argv) {
    const bool pinned = bench_support::pinWhenAsked(argc, argv);
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);

    std::vector<double> small, large;
    for (int run = 0; run < 7; ++run) {
        small.push_back(OpenToFirstPaintMs(8));
        large.push_back(OpenToFirstPaintMs(72));
    }
    const double smallMs = Median(small), largeMs = Median(large);
    std::printf(
        "open to first paint (median of 7): 72 inputs %.2f ms, 8 inputs %.2f ms, "
        "ratio %.2f\n",
        largeMs, smallMs, largeMs / smallMs);

    TU32AutoMixer mixer;
    mixer.SetNumInputs(72);
    TfrmAutoMix form(mixer, nullptr);
    form.ShowEditorWindow();
    // Every page built, so all 72 meters take their values.
    for (int k = 0; k < form.InputPages()->count(); ++k)
        form.InputPages()->setCurrentIndex(k);
    form.InputPages()->setCurrentIndex(0);
    auto* gating = form.findChild<TTarnLabel*>("lblGating");
    int step = 0;
    const auto tick = [&] {
        ++step;
        for (int n = 1; n <= 72; ++n) {
            TTarnGuiComW& tarn = form.Strip(n).level->Tarn();
            tarn.MultiProperty()->SetData(-30 + 25 * std::sin(0.3 * step + n));
            tarn.OnValueArrived();
        }
        std::string bits(9, '\0');
        for (int n = 0; n < 72; ++n)
            if ((step + n) % 3 == 0)
                bits[static_cast<size_t>(n / 8)] |= static_cast<char>(1 << (n % 8));
        static_cast<TU32StringValue&>(gating->Tarn().Copy()).SetData(bits);
        gating->Tarn().OnValueArrived();
    };
    const double idle = CpuPerSecond(3, nullptr);
    const double busy = CpuPerSecond(3, tick);
    std::printf(
        "GUI thread CPU: %.4f s/s with 72 meters and lights at 10 Hz, %.4f s/s idle; "
        "difference %.4f s/s (%.2f ms per update)\n",
        busy, idle, busy - idle, (busy - idle) * 100.0);
    std::printf("light repaints %d over %d updates; %s\n", form.LightRepaints(), step,
                pinned ? "pinned to CPU 0" : "not pinned");
    form.close();
    return 0;
}
