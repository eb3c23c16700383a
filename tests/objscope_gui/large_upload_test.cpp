// An upload of 5000 objects: the window stays responsive (its timers run,
// the progress bar moves), closing it mid-way ends the upload cleanly, and
// the time is reported beside the bound that the server's pacing sets.
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "gui_session.h"

namespace objscope_gui {
namespace {

constexpr int kObjects = 5000;
constexpr int kFirstHandle = 2000;
constexpr double kDefaultPacingMs = 100;  // MessageDelayTime of an installation

// A device of 5000 gain controls, each with a name and a gain.
std::string WriteLargeDevice(const std::string& folder) {
    std::string path = folder + "/large.tdev";
    std::ofstream file(path);
    file << "object 0 class 17\n  prop 2 String \"Large Device\"\n";
    for (int i = 0; i < kObjects; ++i)
        file << "object " << kFirstHandle + i << " class 52\n  prop 2 String \"Gain " << i
             << "\"\n  prop 3072 dB1 0\n";
    return path;
}

class LargeDevice : public GuiSession {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/objscope-large.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        deviceFolder_ = pattern;
        StartSession({"--load", QString::fromStdString(WriteLargeDevice(deviceFolder_))});
    }
    void TearDown() override {
        GuiSession::TearDown();
        std::filesystem::remove_all(deviceFolder_);
    }

    // Samples the progress bar every 50 ms while the upload runs; the
    // largest gap between two samples shows how long the GUI was blocked.
    struct Samples {
        std::vector<int> progress;
        qint64 longestGapMs = 0;
    };
    void Sample(Samples& samples, QTimer& timer, QElapsedTimer& gap) {
        auto* bar = main_->findChild<QProgressBar*>("pbUploadProgress");
        QObject::connect(&timer, &QTimer::timeout, [&samples, &gap, bar] {
            samples.longestGapMs = std::max(samples.longestGapMs, gap.restart());
            if (bar->isVisible())
                samples.progress.push_back(bar->value());
        });
        gap.start();
        timer.start(50);
    }

    std::string deviceFolder_;
};

TEST_F(LargeDevice, UploadStaysResponsiveAndReportsItsTime) {
    Samples samples;
    QTimer timer;
    QElapsedTimer gap;
    Sample(samples, timer, gap);
    QElapsedTimer clock;
    clock.start();
    main_->UploadObjects();
    ASSERT_TRUE(WaitFor([&] { return !main_->Busy(); }, 600000));
    double seconds = clock.elapsed() / 1000.0;
    timer.stop();

    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_EQ(main_->findChild<QLabel*>("lblTotal")->text(),
              QString("Net Total:  %1  ").arg(kObjects));
    ASSERT_GE(samples.progress.size(), 3u);
    EXPECT_LT(samples.progress.front(), samples.progress.back());
    EXPECT_LT(samples.longestGapMs, 1000);

    int requests = TraceCount(" <- ");
    std::printf(
        "5000-object upload: %.1f s for %d requests (longest GUI pause %lld ms); "
        "pacing bound at MessageDelayTime %.0f ms: %.1f s\n",
        seconds, requests, static_cast<long long>(samples.longestGapMs), kDefaultPacingMs,
        requests * kDefaultPacingMs / 1000.0);
}

TEST_F(LargeDevice, ClosingDuringTheUploadEndsItCleanly) {
    // The upload runs inside the layer's waits, so the close comes from a
    // timer, as a user's click would come from the event loop.
    auto* bar = main_->findChild<QProgressBar*>("pbUploadProgress");
    QTimer closer;
    bool closeAsked = false;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (!closeAsked && bar->isVisible() && bar->value() >= 5) {
            closeAsked = true;
            main_->close();
        }
    });
    closer.start(20);
    main_->UploadObjects();
    ASSERT_TRUE(WaitFor([&] { return closeAsked && !main_->isVisible(); }, 300000));
    closer.stop();
    EXPECT_FALSE(main_->Busy());
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_LT(main_->Objects().size(), static_cast<size_t>(kObjects));
}

}  // namespace
}  // namespace objscope_gui
