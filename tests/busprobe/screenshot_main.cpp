// Renders the busprobe main window with real traffic to a PNG for the
// README: a private hubserver, a simulated Tarn device (tarnsim) on
// 127.0.0.3 that answers the composer's requests, and a device on 127.0.0.2
// that sends a request nobody answers.
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
#include "tarnsim_process.h"
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
    // A simulated Tarn device on 127.0.0.3 answers the composer's listing
    // request; a device on 127.0.0.2 sends a request nobody answers.
    testing_support::TarnsimProcess tarnsim(
        testing_support::tarnsimPath(), {"--listen", "127.0.0.3:" + std::to_string(ports.receive)});
    if (!tarnsim.ready()) {
        std::fprintf(stderr, "tarnsim did not start: %s\n", tarnsim.output().c_str());
        return 1;
    }
    testing_support::UdpPeer other(testing_support::loopback(2), ports.receive);

    window.findChild<busprobe::TVEKIPEdit*>("edtNodeAddress")->setText("127.0.0.3");
    QTest::keyClicks(window.findChild<QLineEdit*>("edtObjectID"), "FF00");
    QTest::keyClicks(window.findChild<QLineEdit*>("edtMessageID"), "400");
    auto* composer = window.composer();
    // TarnGetAllObjs: the Tarn header (read, device 1, from 0.32769.10), start index 0.
    composer->addField();
    composer->selectedField()->changeType(busprobe::FieldType::ByteList);
    QTest::keyClicks(composer->selectedField()->valueEdit(),
                     "00,01,00,00,01,00,00,00,00,00,01,80,0A,00");
    composer->addField();
    composer->selectedField()->changeType(busprobe::FieldType::Word);
    QTest::keyClicks(composer->selectedField()->valueEdit(), "0");
    composer->sendFields();
    QTest::qWait(150);
    // The same to a device the simulator does not have: rejected.
    composer->fields()[0]->valueEdit()->setText(
        QStringLiteral("00,01,00,00,09,00,00,00,00,00,01,80,0A,00"));
    composer->sendFields();
    other.sendTo(testing_support::loopback(1), ports.receive,
                 wire::buildDatagram({0x0102, 0x0405, 0x8123},
                                     std::vector<uint8_t>{'P', 'a', 'g', 'e', ' ', 0x01, 0xFF}));
    if (!QTest::qWaitFor([&] { return window.handler().receivedCount() >= 5; }, 5000)) {
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
