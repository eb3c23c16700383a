// Upload/Download/Compare Objs with File from the main window and the
// console forms, against tarnsim: the round trip through an empty device is
// byte-identical, a hand-written file downloads as it says, a malformed file
// or a Cancel changes nothing, and the console forms' exit codes.
#include <QComboBox>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "devicewin/object_set_download.h"
#include "gui_session.h"
#include "protocol/more_follows_pager.h"
#include "protocol/tarn_method_codec.h"
#include "values/property_string_value.h"
#include "values/property_typed_values.h"
#include "windows/message_boxes.h"
#include "windows/tfrm_object_list.h"

namespace objscope_gui {
namespace {

namespace fs = std::filesystem;

std::string BinDir() {
    const char* dir = std::getenv("VEK_BIN_DIR");
    return dir ? dir : VEK_BIN_DIR;
}

std::string ReadAll(const std::string& path) {
    std::string text;
    objscope::ReadTextFile(path, text);
    return text;
}

class ObjectSetWindow : public GuiSession {
  protected:
    void SetUp() override { StartSession(SessionOptions()); }
    virtual QStringList SessionOptions() const { return {}; }
    void TearDown() override {
        if (second_) {
            second_->terminate();
            second_->waitForFinished(5000);
        }
        GuiSession::TearDown();
    }

    // A second device, number 2, on 127.0.0.3 with only its object 0.
    void StartEmptyDevice() {
        std::ofstream(folder_ + "/empty.tdev") << "object 0 class 17\n";
        second_ = std::make_unique<QProcess>();
        second_->setProcessChannelMode(QProcess::MergedChannels);
        second_->start(
            QString::fromStdString(BinDir() + "/tarnsim"),
            {"--listen", QString("127.0.0.3:%1").arg(ServerReceivePort()), "--device-number", "2",
             "--load", QString::fromStdString(folder_ + "/empty.tdev")});
        ASSERT_TRUE(second_->waitForStarted(5000));
        QByteArray output;
        ASSERT_TRUE(WaitFor([&] {
            output += second_->readAll();
            return output.contains("tarnsim: ready");
        }));
    }
    void SelectDevice(const char* text) {
        main_->findChild<QComboBox*>("cboDevices")->setEditText(text);
    }
    std::string Path(const char* name) const { return folder_ + "/" + name; }

    // The objscope program in the session's folder (its Tarncom.ini).
    int RunConsole(const QStringList& arguments, QByteArray* out = nullptr) {
        QProcess program;
        program.setWorkingDirectory(QString::fromStdString(folder_));
        program.start(QString::fromStdString(BinDir() + "/objscope"), arguments);
        if (!program.waitForStarted(5000))
            return -1;
        WaitFor([&] { return program.state() == QProcess::NotRunning; }, 60000);
        if (out)
            *out = program.readAllStandardOutput();
        return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    }

    std::unique_ptr<QProcess> second_;
};

TEST_F(ObjectSetWindow, RoundTripThroughAnEmptyDeviceIsByteIdentical) {
    main_->UploadObjectsToFile(QString::fromStdString(Path("first.tob")));
    EXPECT_TRUE(TakeMessages().empty());
    std::string first = ReadAll(Path("first.tob"));
    ASSERT_FALSE(first.empty());
    EXPECT_NE(first.find("\r\n############# BLOB Data to Follow ############\r\n1000,0,32,(0,17,"),
              std::string::npos);
    EXPECT_NE(first.find("\r\n1010,0,9,(5,0,10,11,12,4,0,1,2)\r\n"), std::string::npos);
    EXPECT_EQ(main_->Objects().size(), static_cast<size_t>(kDeviceObjects)) << "the listed objects stay";

    StartEmptyDevice();
    SelectDevice("2");
    main_->DownloadObjectsFromFile(QString::fromStdString(Path("first.tob")));
    ASSERT_TRUE(WaitFor([&] { return !main_->Busy(); }));
    auto messages = TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Delete Existing Objs in Frame first?");
    EXPECT_EQ(ListLines().size(), static_cast<size_t>(kDeviceObjects)) << "Get Objects ran";

    main_->UploadObjectsToFile(QString::fromStdString(Path("second.tob")));
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_EQ(ReadAll(Path("second.tob")), first);
}

TEST_F(ObjectSetWindow, AHandWrittenFileDownloadsAsItSays) {
    main_->DownloadObjectsFromFile(VEK_FIXTURE_DIR "/handmade.tob");
    ASSERT_TRUE(WaitFor([&] { return !main_->Busy(); }));
    TakeMessages();
    EXPECT_EQ(ListLines().size(), 4u) << "object 0, two gains and the table";

    auto& requests = program_->Requests();
    objscope::TU32TObjectName name;
    name.SetPropertyID(2);
    objscope::TTarn_Property_Link nameLink(0, 1, 10, &name);
    ASSERT_EQ(requests.GetPropertyNow(nameLink, 0), 0);
    EXPECT_EQ(name.Data(), "Lobby, left");
    objscope::TU32VEKDB1 gain;
    gain.SetPropertyID(4096);
    objscope::TTarn_Property_Link gainLink(0, 1, 10, &gain);
    ASSERT_EQ(requests.GetPropertyNow(gainLink, 0), 0);
    EXPECT_EQ(gain.GetData(), -6);
    std::vector<uint8_t> block;
    objscope::ReadDataBlock(
        [&](std::span<const uint8_t> payload, std::vector<uint8_t>& reply) {
            return requests.ActivateMethod({0, 1, 20}, objscope::kMethodReadDataBlock,
                                           {payload.begin(), payload.end()}, reply, true);
        },
        [&](uint16_t, std::span<const uint8_t> bytes) {
            block.insert(block.end(), bytes.begin(), bytes.end());
        });
    ASSERT_EQ(block.size(), 16u) << "2 entries of the class's 8 bytes";
    EXPECT_EQ(std::vector<uint8_t>(block.begin(), block.begin() + 4),
              (std::vector<uint8_t>{1, 2, 3, 4}));
}

TEST_F(ObjectSetWindow, AMalformedFileOrACancelChangesNothing) {
    std::ofstream(Path("bad.tob")) << "52,10,65535,0,(14,2,\"A\")\r\n"
                                      "52,11,65535,0,(131,4096,loud)\r\n";
    main_->DownloadObjectsFromFile(QString::fromStdString(Path("bad.tob")));
    auto messages = TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("line 2"), std::string::npos) << messages[0];
    EXPECT_TRUE(ListLines().empty()) << "no listing after nothing was sent";

    objscope::SetMessageBoxHandler([this](objscope::BoxKind, const std::string& text) {
        messages_.push_back(text);
        return objscope::BoxAnswer::Cancel;
    });
    main_->DownloadObjectsFromFile(VEK_FIXTURE_DIR "/handmade.tob");
    EXPECT_EQ(TakeMessages(), std::vector<std::string>{"Delete Existing Objs in Frame first?"});
    EXPECT_EQ(TraceCount(" <- "), 0) << "nothing was sent to the device";

    std::ofstream(Path("empty.tob")) << "############# BLOB Data to Follow ############\r\n";
    main_->DownloadObjectsFromFile(QString::fromStdString(Path("empty.tob")));
    EXPECT_EQ(TakeMessages(), std::vector<std::string>{">> File is empty - Aborting operation"});
}

TEST_F(ObjectSetWindow, AFailedUploadLeavesNoFile) {
    SelectDevice("2");  // nothing answers there
    main_->UploadObjectsToFile(QString::fromStdString(Path("none.tob")));
    EXPECT_EQ(TakeMessages(),
              std::vector<std::string>{">> No Objects Retrieve - Operation aborted"});
    EXPECT_FALSE(fs::exists(Path("none.tob")));
}

TEST_F(ObjectSetWindow, ACancelledUploadLeavesNoFileAndTheWindowUsable) {
    // Cancel is pressed once the panel shows, while the objects are read.
    QTimer press;
    QObject::connect(&press, &QTimer::timeout, main_, [&] {
        if (main_->findChild<QWidget*>("pnlUpload")->isVisible()) {
            main_->findChild<QPushButton*>("btnCancelUpload")->click();
            press.stop();
        }
    });
    press.start(1);
    main_->UploadObjectsToFile(QString::fromStdString(Path("cancelled.tob")));
    EXPECT_FALSE(press.isActive()) << "Cancel was pressed during the upload";
    EXPECT_FALSE(fs::exists(Path("cancelled.tob")));
    EXPECT_FALSE(main_->Busy());
    EXPECT_TRUE(main_->findChild<QPushButton*>("btnGetObjects")->isEnabled());
    for (const auto& entry : fs::directory_iterator(folder_))
        EXPECT_EQ(entry.path().filename().string().find("cancelled.tob"), std::string::npos)
            << "no temporary file is left";
}

TEST_F(ObjectSetWindow, CompareListsWhatADownloadWouldChange) {
    main_->UploadObjectsToFile(QString::fromStdString(Path("same.tob")));
    main_->CompareObjectsWithFile(QString::fromStdString(Path("same.tob")));
    EXPECT_EQ(main_->ComparisonLines(), QStringList{"No differences"});

    std::string text = ReadAll(Path("same.tob"));
    size_t at = text.find("(14,2,\"Main PEQ\")");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 17, "(14,2,\"Side PEQ\")");
    text.insert(text.find("#####"), "52,3900,65535,0,(14,2,\"New\")\r\n");
    std::ofstream(Path("changed.tob"), std::ios::binary) << text;
    main_->CompareObjectsWithFile(QString::fromStdString(Path("changed.tob")));
    for (const auto& message : TakeMessages())
        ADD_FAILURE() << message;
    QStringList lines = main_->ComparisonLines();
    EXPECT_TRUE(lines.contains("Object 100: property 2: file \"Side PEQ\", device \"Main PEQ\"") ||
                lines.contains("Object 100: property 2: file Side PEQ, device Main PEQ"))
        << lines.join("\n").toStdString();
    EXPECT_EQ(lines.back(), "2 differences");
}

TEST_F(ObjectSetWindow, ConsoleFormsAndTheirExitCodes) {
    EXPECT_EQ(RunConsole({"--upload", "1", "console.tob"}), 0);
    main_->UploadObjectsToFile(QString::fromStdString(Path("window.tob")));
    EXPECT_EQ(ReadAll(Path("console.tob")), ReadAll(Path("window.tob")));

    QByteArray out;
    EXPECT_EQ(RunConsole({"--compare", "1", "console.tob"}, &out), 0);
    EXPECT_TRUE(out.contains("No differences")) << out.toStdString();
    EXPECT_EQ(RunConsole({"--download", "1", "console.tob"}), 0);

    std::ofstream(Path("bad.tob")) << "52,10,65535,0,(131,4096,loud)\r\n";
    EXPECT_EQ(RunConsole({"--download", "1", "bad.tob", "--delete-existing"}), 1);
    EXPECT_EQ(RunConsole({"--compare", "1", "bad.tob"}), 1);
    EXPECT_EQ(RunConsole({"--upload", "2", "nothing.tob"}), 1);
    EXPECT_FALSE(fs::exists(Path("nothing.tob")));
    EXPECT_EQ(RunConsole({"--upload", "1"}), 2);
}

// A device that ignores the class filter lists everything from object 0 on:
// the data pass still reads only the BLOB-bearing objects, and only the
// BLOB objects get an entry count.
class IgnoringDevice : public ObjectSetWindow {
  protected:
    QStringList SessionOptions() const override { return {"--ignore-class-filter"}; }
};

TEST_F(IgnoringDevice, GetsOnlyItsBlobBearingObjectsInTheDataPass) {
    main_->UploadObjectsToFile(QString::fromStdString(Path("all.tob")));
    EXPECT_TRUE(TakeMessages().empty());
    std::string text = ReadAll(Path("all.tob"));
    EXPECT_NE(text.find("\r\n60,100,65535,0,"), std::string::npos) << "no entry count for an EQ";
    size_t marker = text.find("####");
    ASSERT_NE(marker, std::string::npos);
    std::istringstream blobs(text.substr(text.find('\n', marker) + 1));
    std::set<std::string> objects;
    for (std::string line; std::getline(blobs, line);)
        objects.insert(line.substr(0, line.find(',')));
    EXPECT_EQ(objects, (std::set<std::string>{"1000", "1010", "1110"}));
}

}  // namespace
}  // namespace objscope_gui
