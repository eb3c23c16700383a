#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QSpinBox>
#include <QTest>
#include <chrono>
#include <set>

#include "gui_fixture.h"
#include "hex_text.h"
#include "temp_folder.h"

namespace busprobe::testing {
namespace {

class ComposerTest : public MonitorWindowTest {
  protected:
    MessageComposer* composer() { return window->composer(); }
    void typeIds(const char* objectId, const char* messageId) {
        QTest::keyClicks(child<QLineEdit>("edtObjectID"), objectId);
        QTest::keyClicks(child<QLineEdit>("edtMessageID"), messageId);
    }
    TNetField* addTypedField(FieldType type, const char* text) {
        composer()->addField();
        TNetField* field = composer()->selectedField();
        field->changeType(type);
        QTest::keyClicks(field->valueEdit(), text);
        return field;
    }
};

TEST_F(ComposerTest, SaveLoadRoundTripAndTheSentBytesReachThePeer) {
    TempFolder dir;
    std::string path = dir.path("ROUND.MSG");
    typeIds("ff00", "405");
    addTypedField(FieldType::Word, "1ff");
    addTypedField(FieldType::Text, "ab");
    addTypedField(FieldType::WordList, "1,,FF");
    EXPECT_TRUE(composer()->isModified());

    prompter.fileNames = {QString::fromStdString(path)};
    composer()->saveMessage();  // no file name yet: save as
    EXPECT_FALSE(composer()->isModified());
    EXPECT_EQ(readFile(path),
              "[Message Description]\r\nDescription=" + path +
                  "\r\n\r\n[Message Data]\r\nObjectID=0xFF00\r\nMessageID=0x0405\r\n"
                  "NumberFields=3\r\nField1=Word, 0x01FF\r\nField2=Text, \"ab\"\r\n"
                  "Field3=WordList, 0x0001, 0x0000, 0x00FF\r\n");

    composer()->newMessage();
    EXPECT_TRUE(composer()->fields().empty());
    EXPECT_TRUE(prompter.questions.empty());  // nothing unsaved: no question
    prompter.fileNames = {QString::fromStdString(path)};
    composer()->loadMessage();
    ASSERT_EQ(composer()->fields().size(), 3u);
    EXPECT_EQ(composer()->fields()[0]->valueText(), "01FF");
    EXPECT_EQ(composer()->fields()[1]->type(), FieldType::Text);
    EXPECT_FALSE(composer()->isModified());

    auto peer = device(3);
    child<TVEKIPEdit>("edtNodeAddress")->setText("127.0.0.3");
    QTest::keyClick(composer()->fields()[2]->valueEdit(), Qt::Key_Return);  // the default button
    auto got = receive(*peer);
    ASSERT_TRUE(got.has_value());
    std::vector<uint8_t> data(got->bytes.begin() + 9, got->bytes.end());
    EXPECT_EQ(data, (std::vector<uint8_t>{0xFF, 0x01, 'a', 'b', 1, 0, 0, 0, 0xFF, 0}));
    EXPECT_EQ(got->bytes[4], 0xFF);
    EXPECT_GE(got->bytes[8], 0x80);  // a message number from the server
}

TEST_F(ComposerTest, FieldTypingAndSelectionRules) {
    TNetField* byte = addTypedField(FieldType::Byte, "1fa");
    EXPECT_EQ(byte->valueText(), "1F");  // the third digit is refused
    TNetField* list = addTypedField(FieldType::ByteList, "12,345");
    EXPECT_EQ(list->valueText(), "12,34");
    addTypedField(FieldType::Text, "Mixed Case");
    EXPECT_EQ(composer()->fields()[2]->valueText(), "Mixed Case");

    // A type with a lower code empties the value; a higher one keeps it.
    list->changeType(FieldType::DWordList);
    EXPECT_EQ(list->valueText(), "12,34");
    list->changeType(FieldType::Word);
    EXPECT_TRUE(list->valueText().isEmpty());

    composer()->fields()[0]->valueEdit()->setFocus();
    QTest::qWait(0);
    // Deleting the first of three selects the new first field.
    composer()->fields()[0]->setSelected(true);
    for (size_t i = 1; i < composer()->fields().size(); ++i) {
        composer()->fields()[i]->setSelected(false);
    }
    TNetField* second = composer()->fields()[1];
    composer()->deleteField();
    ASSERT_EQ(composer()->fields().size(), 2u);
    EXPECT_EQ(composer()->selectedField(), second);
    EXPECT_EQ(second->objectName(), "Field1");
}

TEST_F(ComposerTest, FiftyFieldsAtMost) {
    for (int i = 0; i < kMaxFields; ++i) {
        composer()->addField();
    }
    EXPECT_TRUE(prompter.warnings.empty());
    composer()->addField();
    ASSERT_EQ(prompter.warnings.size(), 1u);
    EXPECT_EQ(prompter.warnings[0], "Field Add Error: Could Not add new Field !");
    EXPECT_EQ(composer()->fields().size(), static_cast<size_t>(kMaxFields));
}

TEST_F(ComposerTest, RefusalsKeepTheComposerAsItIs) {
    TempFolder dir;
    QTest::keyClicks(child<QLineEdit>("edtObjectID"), "12");
    composer()->sendFields();
    composer()->saveMessage();
    std::string bad = dir.path("BAD.MSG");
    writeFile(bad, "[Message Data]\nObjectID=0x1\nMessageID=0x2\nNumberFields=51\n");
    prompter.answers = {true};
    prompter.fileNames = {QString::fromStdString(bad)};
    composer()->addField();
    composer()->loadMessage();
    ASSERT_EQ(prompter.warnings.size(), 3u);
    EXPECT_EQ(prompter.warnings[0], "Message ID Error: Invalid Message ID !!");
    EXPECT_EQ(prompter.warnings[1], "Save Error: You MUST specify an Object ID and a Message ID");
    EXPECT_EQ(prompter.warnings[2],
              "Network Message Load Error: Invalid Number of Fields specified in Network "
              "Message File !!");
    EXPECT_EQ(child<QLineEdit>("edtObjectID")->text(), "12");
    EXPECT_EQ(composer()->fields().size(), 1u);
}

TEST_F(ComposerTest, ANameBecomesCurrentOnlyAfterItWasWrittenOrRead) {
    TempFolder dir;
    std::string other = dir.path("OTHER.MSG");
    writeFile(other, "keep");
    typeIds("12", "34");
    addTypedField(FieldType::Byte, "1");
    prompter.fileNames = {QString::fromStdString(other)};
    prompter.answers = {false};  // do not overwrite
    composer()->saveMessageAs();
    EXPECT_TRUE(composer()->fileName().isEmpty());
    composer()->saveMessage();  // no current file: asks for a name, cancelled
    EXPECT_EQ(readFile(other), "keep");

    std::string bad = dir.path("BAD.MSG");
    writeFile(bad, "[Message Data]\nObjectID=12\nMessageID=0x2\n");
    prompter.fileNames = {QString::fromStdString(bad)};
    composer()->loadMessage();
    ASSERT_EQ(prompter.warnings.size(), 1u);
    EXPECT_TRUE(composer()->fileName().isEmpty());
    composer()->saveMessage();  // cancelled again: the refused file stays as it was
    EXPECT_EQ(readFile(bad), "[Message Data]\nObjectID=12\nMessageID=0x2\n");
}

TEST_F(ComposerTest, LongFieldsLoadAndSaveWhole) {
    TempFolder dir;
    std::string path = dir.path("LONG.MSG");
    std::string text = "ByteList";
    for (int i = 0; i < 20000; ++i) {
        text += ", 0x" + hexText(static_cast<uint32_t>(i == 19999 ? 0xAB : i & 0xFF), 2);
    }
    writeFile(path,
              "[Message Data]\r\nObjectID=0x0001\r\nMessageID=0x0002\r\nNumberFields=1\r\n"
              "Field1=" +
                  text + "\r\n");
    prompter.fileNames = {QString::fromStdString(path)};
    composer()->loadMessage();
    EXPECT_TRUE(prompter.warnings.empty());
    ASSERT_EQ(composer()->fields().size(), 1u);
    EXPECT_EQ(composer()->fields()[0]->bytes().size(), 20000u);
    EXPECT_EQ(composer()->fields()[0]->bytes().back(), 0xAB);
    std::string copy = dir.path("COPY.MSG");
    prompter.fileNames = {QString::fromStdString(copy)};
    composer()->saveMessageAs();
    EXPECT_NE(readFile(copy).find("Field1=" + text + "\r\n"), std::string::npos);
}

TEST_F(ComposerTest, AnEmptyNodeAddressIsRefused) {
    typeIds("12", "34");
    EXPECT_FALSE(composer()->sendFields());
    ASSERT_EQ(prompter.warnings.size(), 1u);
    EXPECT_EQ(prompter.warnings[0], "Send Error: Please enter a Node Address !!");
}

TEST_F(ComposerTest, PastedTextIsFilteredAsTypedText) {
    struct Case {
        const char* box;
        const char* pasted;
        const char* result;
    };
    const Case cases[] = {
        {"edtObjectID", "12ZZ345", "1234"},
        {"edtMessageID", "g0x1f", "01F"},
        {"edtOctet1", "1a2", "12"},
    };
    for (const auto& c : cases) {
        auto* box = window->findChild<QLineEdit*>(QString::fromLatin1(c.box));
        ASSERT_NE(box, nullptr) << c.box;
        box->clear();
        QApplication::clipboard()->setText(QString::fromLatin1(c.pasted));
        QTest::keySequence(box, QKeySequence::Paste);
        EXPECT_EQ(box->text().toStdString(), c.result) << c.box;
    }
    addTypedField(FieldType::Byte, "");
    QApplication::clipboard()->setText(QStringLiteral("abc"));
    QTest::keySequence(composer()->fields()[0]->valueEdit(), QKeySequence::Paste);
    EXPECT_EQ(composer()->fields()[0]->valueText(), "AB");
}

TEST_F(ComposerTest, RepeatSendsPacedByTheInterval) {
    auto peer = device(3);
    child<TVEKIPEdit>("edtNodeAddress")->setText("127.0.0.3");
    typeIds("12", "371");
    child<QSpinBox>("spnRepeat")->setValue(3);
    child<QSpinBox>("spnInterval")->setValue(40);
    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(composer()->sendFields());
    std::set<int> numbers;
    for (int i = 0; i < 3; ++i) {
        auto got = receive(*peer);
        ASSERT_TRUE(got.has_value()) << i;
        numbers.insert(got->bytes[7] | got->bytes[8] << 8);
    }
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(80));
    EXPECT_EQ(numbers.size(), 3u);  // a message number each
    EXPECT_FALSE(receive(*peer, 200).has_value());
}

TEST_F(ComposerTest, ClosingWithUnsavedChangesAsks) {
    composer()->addField();
    prompter.answers = {false};
    EXPECT_FALSE(window->close());
    ASSERT_EQ(prompter.questions.size(), 1u);
    EXPECT_EQ(prompter.questions[0],
              "Are you sure you wish to exit?  Network Message has NOT been saved!");
    prompter.answers = {true};
    EXPECT_TRUE(window->close());
}

}  // namespace
}  // namespace busprobe::testing
