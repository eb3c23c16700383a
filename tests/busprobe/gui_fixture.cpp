#include "gui_fixture.h"

#include <QCoreApplication>
#include <QTest>

#include "hubclient.h"
#include "wire/datagram.h"

namespace busprobe::testing {

bool ScriptedPrompter::askYesNo(QWidget*, const QString& text, const QString&) {
    questions.push_back(text);
    if (answers.empty()) {
        return true;
    }
    bool answer = answers.front();
    answers.pop_front();
    return answer;
}

void ScriptedPrompter::warn(QWidget*, const QString& text, const QString& caption) {
    warnings.push_back(caption + QStringLiteral(": ") + text);
}

QString ScriptedPrompter::openFileName(QWidget*, const QString&, const QString&, const QString&) {
    if (fileNames.empty()) {
        return {};
    }
    QString name = fileNames.front();
    fileNames.pop_front();
    return name;
}

QString ScriptedPrompter::saveFileName(QWidget* parent, const QString& title, const QString& filter,
                                       const QString& suffix) {
    return openFileName(parent, title, filter, suffix);
}

const testing_support::ServerPorts& serverPorts() {
    static const testing_support::ServerPorts ports = testing_support::writeServerSettings();
    // One registration for the whole process keeps the server up between
    // tests: otherwise it shuts down with each window's cleanup while the
    // next window may still find it.
    static const int32_t keeper = VEKBaseStartup();
    (void)keeper;
    return ports;
}

bool waitFor(const std::function<bool()>& done, int timeoutMs) {
    return QTest::qWaitFor(done, timeoutMs);
}

std::vector<uint8_t> datagram(uint16_t objectId, uint16_t messageId, uint16_t number,
                              std::vector<uint8_t> data) {
    return wire::buildDatagram({objectId, messageId, number}, data);
}

size_t occurrences(const QString& text, const QString& what) {
    return static_cast<size_t>(text.count(what));
}

void MonitorWindowTest::SetUp() {
    serverPorts();
    window = std::make_unique<TfrmMain>(prompter, clock);
    ASSERT_GT(window->registration(), 0) << "no hubserver registration";
}

void MonitorWindowTest::TearDown() {
    window.reset();
}

std::unique_ptr<testing_support::UdpPeer> MonitorWindowTest::device(uint8_t node) {
    auto peer = std::make_unique<testing_support::UdpPeer>(testing_support::loopback(node),
                                                           serverPorts().receive);
    EXPECT_TRUE(peer->bound());
    return peer;
}

void MonitorWindowTest::sendToServer(const testing_support::UdpPeer& from,
                                     const std::vector<uint8_t>& bytes) {
    ASSERT_TRUE(from.sendTo(testing_support::loopback(1), serverPorts().receive, bytes));
}

std::optional<testing_support::ReceivedDatagram> MonitorWindowTest::receive(
    const testing_support::UdpPeer& peer, int timeoutMs) {
    std::optional<testing_support::ReceivedDatagram> got;
    waitFor(
        [&] {
            got = peer.receive(std::chrono::milliseconds(0));
            return got.has_value();
        },
        timeoutMs);
    return got;
}

QString MonitorWindowTest::memoText() const {
    return child<QPlainTextEdit>("memNetMessage")->toPlainText();
}

bool MonitorWindowTest::waitForHandled(uint64_t shownAtLeast) {
    return waitFor([&] { return window->handler().shownCount() >= shownAtLeast; });
}

}  // namespace busprobe::testing
