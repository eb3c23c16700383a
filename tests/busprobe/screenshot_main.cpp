// Renders the busprobe main window with real traffic to a PNG for the
// README: a private hubserver, a device on 127.0.0.3 that answers the
// composer's request, and a device on 127.0.0.2 that sends a notification.
//
//   busprobe_screenshot OUTPUT.png [FOLDER]
// With FOLDER, the dialogs are rendered there too (schedule, field type,
// about).
#include <QApplication>
#include <QCheckBox>
#include <QTest>
#include <cstdio>
#include <cstdlib>

#include "about_box.h"
#include "field_size_dialog.h"
#include "hubclient.h"
#include "main_window.h"
#include "schedule_dialog.h"
#include "server_settings.h"
#include "udp_peer.h"
#include "wire/datagram.h"

namespace {

class SilentPrompter : public busprobe::Prompter {
  public:
    bool askYesNo(QWidget*, const QString&, const QString&) override { return true; }
    void warn(QWidget*, const QString&, const QString&) override {}
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: busprobe_screenshot OUTPUT.png\n");
        return 2;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    auto ports = testing_support::writeServerSettings();
    SilentPrompter prompter;
    busprobe::Clock clock;
    busprobe::TfrmMain window(prompter, clock);
    if (window.registration() <= 0) {
        std::fprintf(stderr, "no hubserver registration\n");
        return 1;
    }
    window.show();
    testing_support::UdpPeer device(testing_support::loopback(3), ports.receive);
    testing_support::UdpPeer other(testing_support::loopback(2), ports.receive);

    window.findChild<busprobe::TVEKIPEdit*>("edtNodeAddress")->setText("127.0.0.3");
    QTest::keyClicks(window.findChild<QLineEdit*>("edtObjectID"), "FF00");
    QTest::keyClicks(window.findChild<QLineEdit*>("edtMessageID"), "C01");
    auto* composer = window.composer();
    composer->addField();
    composer->selectedField()->changeType(busprobe::FieldType::WordList);
    QTest::keyClicks(composer->selectedField()->valueEdit(), "1,7,0");
    composer->addField();
    composer->selectedField()->changeType(busprobe::FieldType::Text);
    QTest::keyClicks(composer->selectedField()->valueEdit(), "level");
    composer->sendFields();

    auto request = device.receive(std::chrono::seconds(5));
    if (request) {
        std::vector<uint8_t> reply{0, 0, 1, 0, 7, 0, 0, 0, 1, 0, 2, 0, 9, 0, 'o', 'k'};
        uint16_t number = static_cast<uint16_t>(request->bytes[7] | request->bytes[8] << 8);
        device.sendTo(testing_support::loopback(1), ports.receive,
                      wire::buildDatagram({0xFF00, 0x8C01, number}, reply));
    }
    other.sendTo(testing_support::loopback(1), ports.receive,
                 wire::buildDatagram({0x0102, 0x0405, 0x8123},
                                     std::vector<uint8_t>{'P', 'a', 'g', 'e', ' ', 0x01, 0xFF}));
    if (!QTest::qWaitFor([&] { return window.handler().shownCount() >= 4; }, 5000)) {
        std::fprintf(stderr, "not all traffic arrived\n");
    }
    QTest::qWait(200);
    bool saved = window.grab().save(QString::fromLocal8Bit(argv[1]));
    if (argc > 2) {
        QString folder = QString::fromLocal8Bit(argv[2]);
        busprobe::TfrmSchedule schedule(prompter, busprobe::kScheduleFile);
        schedule.setRows({{"8:30", "17:45", "127.0.0.3", "FF00", "", "/var/log/day.LOG", "1"},
                          {"", "", "", "", "0405", "/var/log/always.LOG", ""}});
        schedule.show();
        saved = schedule.grab().save(folder + "/busprobe-schedule.png") && saved;
        busprobe::TdlgFieldSize size(busprobe::FieldType::WordList, 6);
        size.show();
        saved = size.grab().save(folder + "/busprobe-fieldsize.png") && saved;
        busprobe::TdlgAboutBox about(window.registration());
        about.show();
        saved = about.grab().save(folder + "/busprobe-about.png") && saved;
    }
    return saved ? 0 : 1;
}
