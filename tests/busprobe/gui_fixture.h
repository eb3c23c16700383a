// Shared pieces of the window tests: a prompter that answers from a script
// and records warnings, a fixed clock, the hubserver settings of this test
// process, UDP peers standing in for devices, and waits that keep the GUI
// thread's events running.
#pragma once

#include <gtest/gtest.h>

#include <QDateTime>
#include <QPlainTextEdit>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "clock.h"
#include "main_window.h"
#include "prompter.h"
#include "server_settings.h"
#include "udp_peer.h"

namespace busprobe::testing {

class ScriptedPrompter : public Prompter {
  public:
    std::deque<bool> answers;       // yes/no answers in order; "yes" when empty
    std::deque<QString> fileNames;  // chosen files in order; cancelled when empty
    std::vector<QString> questions;
    std::vector<QString> warnings;  // "caption: text"

    bool askYesNo(QWidget*, const QString& text, const QString&) override;
    void warn(QWidget*, const QString& text, const QString& caption) override;
    QString openFileName(QWidget*, const QString&, const QString&, const QString&) override;
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&) override;
};

class FixedClock : public Clock {
  public:
    QDateTime moment = QDateTime(QDate(2026, 3, 4), QTime(12, 0));
    QDateTime now() const override { return moment; }
};

// VEKMAIN.INI of this test process, written once (a server started by an
// earlier test of the same process keeps its ports).
const testing_support::ServerPorts& serverPorts();

// Runs the GUI thread's events until `done` holds or the time-out passes.
bool waitFor(const std::function<bool()>& done, int timeoutMs = 10000);

// A datagram "VEK" + the header fields + data.
std::vector<uint8_t> datagram(uint16_t objectId, uint16_t messageId, uint16_t number,
                              std::vector<uint8_t> data = {});

// Number of times `what` occurs in `text`.
size_t occurrences(const QString& text, const QString& what);

// A test with the real main window registered at a real hubserver.
class MonitorWindowTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // A device on 127.0.0.<node> at the server's receive port.
    std::unique_ptr<testing_support::UdpPeer> device(uint8_t node);
    // Sends from a device to the server.
    void sendToServer(const testing_support::UdpPeer& from, const std::vector<uint8_t>& bytes);
    // The next datagram at `peer`, while the GUI thread's events keep running.
    std::optional<testing_support::ReceivedDatagram> receive(const testing_support::UdpPeer& peer,
                                                             int timeoutMs = 5000);
    QString memoText() const;
    // Waits until `count` more messages were handled than before.
    bool waitForHandled(uint64_t shownAtLeast);

    template <typename T>
    T* child(const char* name) const {
        return window->findChild<T*>(QString::fromLatin1(name));
    }

    ScriptedPrompter prompter;
    FixedClock clock;
    std::unique_ptr<TfrmMain> window;
};

}  // namespace busprobe::testing
