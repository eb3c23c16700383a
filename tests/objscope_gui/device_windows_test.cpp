// The device windows against tarnsim through the program's start-up: the
// test manager (lists and results over several pages), Execute Method, the
// EOB window, the BLOB window, Add Object, the IP prompt and the meter.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>

#include "devicewin/record_table_model.h"
#include "devicewin/tfrm_add_object.h"
#include "devicewin/tfrm_eob_test.h"
#include "devicewin/tfrm_exe_method.h"
#include "devicewin/tfrm_meter.h"
#include "devicewin/tfrm_prompt_ip.h"
#include "devicewin/tfrm_test_mgr.h"
#include "devicewin/tfrm_view_blob.h"
#include "gui_session.h"
#include "protocol/tarn_status.h"
#include "windows/tarn_controls.h"
#include "windows/tarn_meter.h"
#include "windows/tprop_grid.h"

namespace objscope_gui {
namespace {

using Messages = std::vector<std::string>;

class DeviceWindows : public GuiSession {
  protected:
    void SetUp() override {
        StartSession({"--load", VEK_FIXTURE_DIR "/device_windows.tdev"});
        main_->GetObjects();
        ASSERT_TRUE(WaitFor([&] { return !main_->Busy(); }));
    }
    void Select(uint16_t handle) {
        int row = RowOfObject(handle);
        ASSERT_GE(row, 0);
        main_->List()->setCurrentRow(row);
    }
    template <typename T>
    T* Child(QWidget* window, const char* name) {
        T* child = window->findChild<T*>(name);
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    // Lines received by the device that hold every word.
    int Received(std::initializer_list<const char*> words) {
        WaitFor([] { return false; }, 200);
        deviceOutput_ += device_->readAll();
        int count = 0;
        for (const QByteArray& line : deviceOutput_.split('\n')) {
            bool all = line.contains(" <- ");
            for (const char* word : words)
                all = all && line.contains(word);
            count += all ? 1 : 0;
        }
        return count;
    }
};

TEST_F(DeviceWindows, TestManagerListsAndResultsOverSeveralPages) {
    main_->ShowTestManager();
    objscope::TfrmTestMgr* manager = main_->TestManager();
    ASSERT_TRUE(manager->isVisible());
    EXPECT_EQ(manager->windowTitle(), "Test Manager Methods");
    EXPECT_EQ(manager->Address(), (objscope::TarnAddress{0, 1, 10}));

    manager->SeqTest();
    EXPECT_EQ(TakeMessages(), Messages{"Test started.  Serial  No: 121"});
    Child<QComboBox>(manager, "cboTestSeqs")->setEditText("0");
    manager->SeqSet();
    EXPECT_EQ(TakeMessages(), Messages{"Invalid Test Sequence Number (0)"});

    manager->GetTests();
    EXPECT_EQ(manager->Model()->RecordCount(), 121u) << "two pages of test records";
    EXPECT_EQ(manager->Model()->Cell(0, 0), "1");
    EXPECT_EQ(manager->Model()->Cell(120, 0), "121");
    EXPECT_EQ(Child<QLineEdit>(manager, "edtNumRecords")->text(), "121");

    manager->GetResults();
    EXPECT_TRUE(Child<QWidget>(manager, "pnlResults")->isVisible());
    Child<QRadioButton>(manager, "rbSerial")->setChecked(true);
    Child<QLineEdit>(manager, "edtSeqSerial")->setText("2");
    manager->GetEm();
    EXPECT_EQ(manager->Model()->RecordCount(), 200u) << "three pages of results";
    EXPECT_EQ(manager->Model()->Cell(0, 0), "1");
    EXPECT_EQ(manager->Model()->Cell(0, 1), "1.00");
    EXPECT_EQ(manager->Model()->Cell(0, 3), "-3.5");
    EXPECT_EQ(manager->Model()->Cell(199, 1), "200.00");
    EXPECT_EQ(Child<QLineEdit>(manager, "edtSerialNo")->text(), "2");
    EXPECT_EQ(Child<QLineEdit>(manager, "edtModeFlags")->text(), "$10");
    EXPECT_FALSE(Child<QWidget>(manager, "pnlResults")->isVisible());

    manager->CircuitTest();
    Child<QLineEdit>(manager, "edtTestPoint")->setText("0");
    manager->RunTest();
    EXPECT_EQ(TakeMessages(), Messages{"Invalid test Point ID entered (0)"});
    manager->CircuitTest();
    Child<QLineEdit>(manager, "edtTestPoint")->setText("7");
    manager->RunTest();
    EXPECT_EQ(TakeMessages(),
              Messages{"Continuous Circuit Test Running\rUse \"Stop Test\" to end test"});

    manager->FlushResults();
    manager->FlushEm();
    EXPECT_EQ(TakeMessages(), Messages{"Results flushed for Sequence/Serial #: 2"});
    manager->SetAddress({0, 2, 10});  // nothing answers there
    manager->GetTests();
    auto messages = TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind(">>> Error Retrieving Tests >>>\r\r", 0), 0u) << messages[0];
}

TEST_F(DeviceWindows, ExecuteMethodSendsAndShowsTheReply) {
    Select(30);
    QTimer::singleShot(0, [&] {
        objscope::TfrmExeMethod* method = main_->ExeMethod();
        Child<QLineEdit>(method, "edtMethod")->setText("$0C00");
        Child<QPlainTextEdit>(method, "memDatatoGo")->setPlainText("0, 0,\r\n255 255");
        method->Execute();
        EXPECT_EQ(Child<QLineEdit>(method, "edtMethod")->text(), "3m0");
        EXPECT_EQ(Child<QPlainTextEdit>(method, "memDatatoGo")->toPlainText(), "0, 0, 255, 255");
        EXPECT_EQ(Child<QLabel>(method, "txtStatus")->text().toStdString(),
                  objscope::StatusText(0x8000));
        QString reply = Child<QPlainTextEdit>(method, "memResponseBytes")->toPlainText();
        EXPECT_TRUE(reply.startsWith("  0,   0,   0,   2")) << reply.toStdString();
        Child<QRadioButton>(method, "rbHex")->setChecked(true);
        reply = Child<QPlainTextEdit>(method, "memResponseBytes")->toPlainText();
        EXPECT_TRUE(reply.startsWith("$00, $00, $00, $02")) << reply.toStdString();
        Child<QLineEdit>(method, "edtMethod")->setText("2m");
        method->Execute();
        method->reject();
    });
    main_->DoMethod();
    EXPECT_EQ(TakeMessages(), Messages{"Invalid Method Entered - Try Again, Please"});
}

TEST_F(DeviceWindows, EobPointsAreReadEditedAndWritten) {
    main_->ShowEOBTest();
    objscope::TfrmEOBTest* eob = main_->EOBTest();
    EXPECT_EQ(eob->windowTitle(), "End-Of-Branch Testing");
    eob->ReadPoints();
    QTableWidget* grid = eob->PointGrid();
    ASSERT_EQ(grid->rowCount(), 3) << "two points and the spare row";
    EXPECT_EQ(grid->item(0, 0)->text(), "5");
    EXPECT_EQ(grid->item(0, 3)->text(), "-3.5");
    EXPECT_EQ(grid->horizontalHeaderItem(3)->text(), "Set Value (dB)");

    // A new point with a branch of 256 is refused before anything is sent.
    eob->AddPoint();
    grid->setItem(2, 0, new QTableWidgetItem("4"));
    grid->setItem(2, 1, new QTableWidgetItem("256"));
    eob->WritePoints();
    Messages messages = TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("Row 3: Branch # 256"), std::string::npos) << messages[0];
    grid->item(2, 1)->setText("9");
    grid->setItem(2, 3, new QTableWidgetItem("abc"));
    eob->WritePoints();
    EXPECT_TRUE(TakeMessages().empty());
    eob->ReadPoints();
    ASSERT_EQ(grid->rowCount(), 4);
    EXPECT_EQ(grid->item(0, 0)->text(), "4") << "sorted by point ID";
    EXPECT_EQ(grid->item(0, 3)->text(), "-256") << "an unreadable value";

    Child<QLineEdit>(eob, "edtChannelNumber")->setText("0");
    eob->RetrieveResults();
    EXPECT_EQ(eob->ResultModel()->RecordCount(), 30u);
    EXPECT_EQ(eob->ResultModel()->Cell(0, 0), "1");
    eob->FlushAllResults();
    EXPECT_EQ(TakeMessages().back(), "Flush EOB Results Message Sent");
    eob->RetrieveResults();
    EXPECT_EQ(eob->ResultModel()->RecordCount(), 0u);

    eob->SetAddresses({0, 1, 0}, {0, 1, 20});  // no Test Manager listed
    eob->RetrieveResults();
    EXPECT_EQ(TakeMessages(), Messages{"No Test Manager object was listed for this device"});
}

TEST_F(DeviceWindows, BlobDataIsReadEditedSavedLoadedAndSentInChunks) {
    Select(30);
    properties_->SetListedObject(*main_->Objects().at(RowOfObject(30)));
    objscope::TfrmViewBLOB* blob = properties_->OpenBlobData();
    ASSERT_NE(blob, nullptr);
    EXPECT_EQ(blob->windowTitle(), "BLOB/LLB Data");
    ASSERT_TRUE(WaitFor([&] { return !blob->Reading() && blob->Rows().size() == 100; }));
    EXPECT_EQ(blob->Rows()[0], "00 | 00 | 00 | 00 | 00 | 00 | 00 | 00");

    blob->SetRow(0, "1 | 2");
    blob->SetRow(1, "zz");
    int writesBefore = Received({"obj 30", "3073"});
    blob->SendAll();
    Messages messages = TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("Row 2:", 0), 0u) << messages[0];
    EXPECT_EQ(Received({"obj 30", "3073"}), writesBefore) << "nothing sent";

    blob->SetRow(1, "FF");
    std::string saved = folder_ + "/rows.BLB";
    blob->SaveToFile(QString::fromStdString(saved));
    blob->SendAll();
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_EQ(Received({"obj 30", "3073"}) - writesBefore, 2) << "800 bytes in chunks of 400";

    blob->Refresh();
    EXPECT_EQ(blob->Rows()[0], "01 | 02 | 00 | 00 | 00 | 00 | 00 | 00");
    EXPECT_EQ(blob->Rows()[1], "FF | 00 | 00 | 00 | 00 | 00 | 00 | 00");
    blob->SetRow(0, "");
    blob->LoadFromFile(QString::fromStdString(saved));
    EXPECT_EQ(blob->Rows().size(), 100u);
    EXPECT_EQ(blob->Rows()[0], "1 | 2");
    blob->close();

    // A linked list shows its entries without their length words.
    properties_->SetListedObject(*main_->Objects().at(RowOfObject(40)));
    blob = properties_->OpenBlobData();
    ASSERT_TRUE(WaitFor([&] { return !blob->Reading() && blob->Rows().size() == 2; }));
    EXPECT_EQ(blob->Rows()[0], "0A | 0B | 0C");
    blob->SetRow(0, "0A | 0B | 0C | 0D");
    blob->SendAll();
    blob->Refresh();
    EXPECT_EQ(blob->Rows()[0], "0A | 0B | 0C | 0D");
    EXPECT_EQ(blob->Rows()[1], "01 | 02");
}

TEST_F(DeviceWindows, AddObjectAppearsInTheNextListing) {
    QTimer::singleShot(0, [&] {
        objscope::TfrmAddObject* add = main_->AddObjectWindow();
        EXPECT_EQ(add->windowTitle(), "Object to Add...");
        Child<QComboBox>(add, "edtClassID")->setEditText("Gain Control (52)");
        Child<QLineEdit>(add, "edtObjectID")->setText("70000");
        add->accept();
        EXPECT_TRUE(add->isVisible()) << "a range error keeps the window open";
        Child<QLineEdit>(add, "edtObjectID")->setText("$309");
        add->accept();
    });
    main_->AddObject();
    Messages messages = TakeMessages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].rfind("Range check error", 0), 0u) << messages[0];
    EXPECT_EQ(messages[1], "Object: 777  Added!");
    main_->GetObjects();
    ASSERT_TRUE(WaitFor([&] { return !main_->Busy(); }));
    EXPECT_GE(RowOfObject(777), 0);
    EXPECT_EQ(main_->Objects().at(RowOfObject(777))->ClassID(), 52);
}

TEST_F(DeviceWindows, IpPromptKeepsBadAddressesAndSetsTheMapping) {
    QTimer::singleShot(0, [&] {
        objscope::TfrmPromptIP* prompt = main_->PromptIP();
        EXPECT_EQ(prompt->windowTitle(), "Enter IP Address");
        auto* edit = Child<QLineEdit>(prompt, "edtIPAddress");
        EXPECT_EQ(edit->text(), "127.0.0.2");
        edit->setText("127.0.0.300");
        prompt->accept();
        EXPECT_TRUE(prompt->isVisible());
        prompt->Loopback();
        EXPECT_TRUE(prompt->isVisible());
        EXPECT_EQ(edit->text(), "127.0.0.1");
        edit->setText("127.0.0.2");
        prompt->accept();
    });
    main_->PromptIPAddress();
    EXPECT_EQ(TakeMessages().size(), 1u);
    EXPECT_EQ(Child<QLineEdit>(main_, "edtIPAddress")->text(), "127.0.0.2");
    main_->GetObjects();
    ASSERT_TRUE(WaitFor([&] { return !main_->Busy(); }));
    EXPECT_GE(RowOfObject(50), 0) << "the device still answers at its address";
}

TEST_F(DeviceWindows, MeterShowsOnePropertyLive) {
    properties_->SetListedObject(*main_->Objects().at(RowOfObject(50)));
    properties_->show();
    ASSERT_TRUE(WaitFor([&] { return !properties_->Loading(); }));
    objscope::TPropGrid* grid = properties_->Grid();
    int gainRow = -1, boolRow = -1;
    for (int row = 0; row < grid->rowCount(); ++row) {
        if (auto* property = grid->RowProperty(row)) {
            if ((property->PropertyID() & 0x3FFF) == 4096)
                gainRow = row;
            if ((property->PropertyID() & 0x3FFF) == 4097)
                boolRow = row;
        }
    }
    std::string seen;
    for (int row = 0; row < grid->rowCount(); ++row) {
        if (auto* property = grid->RowProperty(row))
            seen += std::to_string(property->PropertyID()) + " ";
    }
    ASSERT_GE(gainRow, 0) << grid->rowCount() << " rows: " << seen;
    grid->setCurrentCell(gainRow, 0);
    objscope::TfrmMeter* meter = properties_->MonitorValue();
    ASSERT_NE(meter, nullptr);
    ASSERT_TRUE(WaitFor([&] { return meter->Meter()->Position() == -30; }, 5000));
    EXPECT_TRUE(meter->Meter()->isVisible());
    EXPECT_EQ(meter->windowTitle().toStdString(), grid->RowProperty(gainRow)->Name());

    Child<QLineEdit>(meter, "edtMax")->setText("0");
    meter->SetMax();
    Child<QLineEdit>(meter, "edtMin")->setText("-60");
    meter->SetMin();
    EXPECT_EQ(meter->Meter()->LedColor2Position(), -30);
    EXPECT_EQ(meter->Meter()->LedColor3Position(), -15);
    Child<QLineEdit>(meter, "edtMax")->setText("-70");
    meter->SetMax();
    EXPECT_EQ(TakeMessages().size(), 1u) << "a maximum below the minimum is refused";
    EXPECT_EQ(meter->Meter()->Data_Max(), 0);

    ASSERT_GE(boolRow, 0);
    grid->setCurrentCell(boolRow, 0);
    objscope::TfrmMeter* light = properties_->MonitorValue();
    ASSERT_TRUE(WaitFor([&] { return light->Lite()->Lit(); }, 5000));
    EXPECT_FALSE(light->Meter()->isVisible());
    EXPECT_TRUE(light->Lite()->isVisible());
    properties_->hide();
}

}  // namespace
}  // namespace objscope_gui
