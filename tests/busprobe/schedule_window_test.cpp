#include <QApplication>
#include <QLabel>
#include <QLocale>
#include <QTest>
#include <QTimer>

#include "gui_fixture.h"
#include "platform/ini.h"
#include "schedule_dialog.h"
#include "temp_folder.h"

namespace busprobe::testing {
namespace {

void setCell(TfrmSchedule& dialog, int row, int column, const QString& text) {
    dialog.grid()->setItem(row, column, new QTableWidgetItem(text));
}

QString cell(TfrmSchedule& dialog, int row, int column) {
    auto* item = dialog.grid()->item(row, column);
    return item ? item->text() : QString();
}

TEST(ScheduleDialog, OkNormalisesTimesAndDemandsLogFiles) {
    ScriptedPrompter prompter;
    TfrmSchedule dialog(prompter, "BUSPROBE.INI");
    EXPECT_EQ(dialog.grid()->rowCount(), 1);
    setCell(dialog, 0, kColStart, "830");
    setCell(dialog, 0, kColStop, "1745");
    dialog.addRow();
    setCell(dialog, 1, kColStart, "9:00");
    setCell(dialog, 1, kColStop, "7:00");
    setCell(dialog, 1, kColLogFile, "b.LOG");
    dialog.okClicked();
    ASSERT_EQ(prompter.warnings.size(), 1u);
    EXPECT_EQ(prompter.warnings[0], "Capture Schedule: You must specify a log file.");
    EXPECT_EQ(cell(dialog, 0, kColStart), "8:30");
    EXPECT_EQ(cell(dialog, 0, kColStop), "17:45");
    EXPECT_EQ(dialog.result(), QDialog::Rejected);

    setCell(dialog, 0, kColLogFile, "a.LOG");
    dialog.okClicked();
    EXPECT_TRUE(cell(dialog, 1, kColStop).startsWith("23:59"))
        << cell(dialog, 1, kColStop).toStdString();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);

    setCell(dialog, 1, kColStart, "25:00");
    dialog.okClicked();
    EXPECT_EQ(prompter.warnings.back(),
              "Capture Schedule: Invalid Time Format. HH:MM:SS AM/PM (:SS Optional) or HH:MM "
              "(Military)");
}

TEST(ScheduleDialog, StopTimeIsWrittenInOneFormatWhateverTheLocale) {
    // Locales such as da_DK write "23.59"; the schedule reads only "23:59".
    QByteArray saved = qgetenv("LC_ALL");
    qputenv("LC_ALL", "da_DK.UTF-8");
    QLocale::setDefault(QLocale(QStringLiteral("da_DK")));
    ScriptedPrompter prompter;
    TfrmSchedule dialog(prompter, "BUSPROBE.INI");
    setCell(dialog, 0, kColStart, "9:00");
    setCell(dialog, 0, kColStop, "7:00");
    setCell(dialog, 0, kColLogFile, "b.LOG");
    dialog.okClicked();
    QLocale::setDefault(QLocale::c());
    qputenv("LC_ALL", saved);
    EXPECT_EQ(cell(dialog, 0, kColStop), "23:59");
    ScheduleRow row = dialog.rows()[0];
    ScheduleEntry entry = scheduleEntryFromRow(row);
    EXPECT_FALSE(entry.always);
    EXPECT_EQ(entry.stop, 23 * 3600 + 59 * 60);
}

TEST(ScheduleDialog, FiltersThatAreNoAddressOrIdAreRefusedNamingTheRow) {
    struct Case {
        int column;
        const char* text;
        const char* warning;
    };
    const Case cases[] = {
        {kColIp, "127.0.0.300",
         "Capture Schedule: Row 2 has an IP filter that is not an address (127.0.0.300)."},
        {kColIp, "127.0.0",
         "Capture Schedule: Row 2 has an IP filter that is not an address "
         "(127.0.0)."},
        {kColObject, "ZZ",
         "Capture Schedule: Row 2 has an Object ID filter that is not 1 to 4 hexadecimal digits "
         "(ZZ)."},
        {kColMessage, "12345",
         "Capture Schedule: Row 2 has a Message ID filter that is not 1 to 4 hexadecimal digits "
         "(12345)."},
    };
    for (const auto& c : cases) {
        ScriptedPrompter prompter;
        TfrmSchedule dialog(prompter, "BUSPROBE.INI");
        setCell(dialog, 0, kColLogFile, "a.LOG");
        dialog.addRow();
        setCell(dialog, 1, kColLogFile, "b.LOG");
        setCell(dialog, 1, c.column, QString::fromLatin1(c.text));
        dialog.okClicked();
        ASSERT_EQ(prompter.warnings.size(), 1u) << c.text;
        EXPECT_EQ(prompter.warnings[0].toStdString(), c.warning);
        EXPECT_NE(dialog.result(), QDialog::Accepted) << c.text;
        EXPECT_EQ(dialog.grid()->currentRow(), 1);
    }
}

TEST(ScheduleDialog, DeleteEmptiesTheLastRowAndKeepsOne) {
    ScriptedPrompter prompter;
    TfrmSchedule dialog(prompter, "BUSPROBE.INI");
    setCell(dialog, 0, kColIp, "1.2.3.4");
    setCell(dialog, 0, kColSimple, "1");
    dialog.deleteRow();
    EXPECT_EQ(dialog.grid()->rowCount(), 1);
    EXPECT_TRUE(cell(dialog, 0, kColIp).isEmpty());
    EXPECT_EQ(cell(dialog, 0, kColSimple), "1");  // the seventh cell stays
}

TEST_F(MonitorWindowTest, ScheduleOkStoresItemsAndStartsTheTimer) {
    TempFolder dir;
    QString log = QString::fromStdString(dir.path("TWO.LOG"));
    prompter.fileNames = {log};
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<TfrmSchedule*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        setCell(*dialog, 0, kColStart, "800");
        emit dialog->grid()->cellClicked(0, kColLogFile);  // the file dialog fills the cell
        dialog->addRow();
        setCell(*dialog, 1, kColMessage, "0405");
        setCell(*dialog, 1, kColLogFile, log);
        dialog->okClicked();
    });
    window->openSchedule();
    EXPECT_EQ(child<QLabel>("lblSchedule")->text(), "0/2 Active Scheduled Logs");
    EXPECT_TRUE(window->scheduleTimer()->isActive());
    auto items = readScheduleRows("BUSPROBE.INI");
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0][kColStart], "8:00");
    EXPECT_TRUE(items[0][kColStop].starts_with("23:59"));
    EXPECT_EQ(items[0][kColLogFile], log.toStdString());
    EXPECT_EQ(items[1][kColMessage], "0405");
    std::string stored = plat::ini::getString("Schedule", "Item2", "", "BUSPROBE.INI");
    EXPECT_EQ(stored, "2,,,,,0405," + log.toStdString());

    // Both entries share TWO.LOG; the always one opens it at the next tick.
    clock.moment = QDateTime(QDate(2026, 3, 4), QTime(7, 0));
    window->scheduleTick();
    EXPECT_EQ(child<QLabel>("lblSchedule")->text(), "1/2 Active Scheduled Logs");
    clock.moment = QDateTime(QDate(2026, 3, 4), QTime(8, 0));
    window->scheduleTick();
    EXPECT_EQ(child<QLabel>("lblSchedule")->text(), "2/2 Active Scheduled Logs");
    EXPECT_EQ(window->handler().schedule.entries()[0].log,
              window->handler().schedule.entries()[1].log);

    // OK on an empty first row clears the stored schedule and leaves it stopped.
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<TfrmSchedule*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->grid()->setRowCount(1);
        for (int c = 0; c < kScheduleColumns; ++c) {
            setCell(*dialog, 0, c, "");
        }
        dialog->okClicked();
    });
    window->openSchedule();
    EXPECT_TRUE(readScheduleRows("BUSPROBE.INI").empty());
    EXPECT_FALSE(window->scheduleTimer()->isActive());
    EXPECT_TRUE(child<QLabel>("lblSchedule")->text().isEmpty());
    EXPECT_EQ(occurrences(QString::fromStdString(readFile(log.toStdString())),
                          " - Log Capture Terminated"),
              1u);  // one shared file, one closing block
}

TEST_F(MonitorWindowTest, ScheduleCancelKeepsItAndAnEmptiedRowGoesAlone) {
    TempFolder dir;
    std::string first = dir.path("FIRST.LOG");
    std::string second = dir.path("SECOND.LOG");
    plat::ini::writeString("Schedule", "Item1", "1,,,,,,\"" + first + "\"", "BUSPROBE.INI");
    plat::ini::writeString("Schedule", "Item2", "2,,,,0102,,\"" + second + "\"", "BUSPROBE.INI");
    window->loadSchedule();
    window->scheduleTick();
    EXPECT_EQ(child<QLabel>("lblSchedule")->text(), "2/2 Active Scheduled Logs");

    // Escape (or the close button) keeps the schedule as it was.
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<TfrmSchedule*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    window->openSchedule();
    EXPECT_TRUE(window->scheduleTimer()->isActive());
    EXPECT_EQ(child<QLabel>("lblSchedule")->text(), "0/2 Active Scheduled Logs");
    window->scheduleTick();
    EXPECT_EQ(child<QLabel>("lblSchedule")->text(), "2/2 Active Scheduled Logs");

    // Emptying row 1 removes that row alone.
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<TfrmSchedule*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        for (int c = 0; c < kColSimple; ++c) {
            setCell(*dialog, 0, c, "");
        }
        dialog->okClicked();
    });
    window->openSchedule();
    auto items = readScheduleRows("BUSPROBE.INI");
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0][kColLogFile], second);
    EXPECT_EQ(child<QLabel>("lblSchedule")->text(), "0/1 Active Scheduled Logs");

    // An entry whose file cannot be opened says so, with the reason.
    plat::ini::eraseSection("Schedule", "BUSPROBE.INI");
    plat::ini::writeString("Schedule", "Item1", "1,,,,,,\"" + dir.path("no/such/X.LOG") + "\"",
                           "BUSPROBE.INI");
    window->loadSchedule();
    window->scheduleTick();
    EXPECT_EQ(child<QLabel>("lblSchedule")->text(),
              "0/1 Active Scheduled Logs, 1 failed: X.LOG: No such file or directory");
    plat::ini::eraseSection("Schedule", "BUSPROBE.INI");
}

}  // namespace
}  // namespace busprobe::testing
