#include <QComboBox>
#include <QDateEdit>
#include <QTimeEdit>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <array>

#include "temp_dir.h"
#include "widgets/date_pickers.h"
#include "widgets/drop_down.h"
#include "widgets/lists.h"
#include "widgets/save_flow.h"
#include "widgets/scripted_prompter.h"
#include "widgets/text.h"

namespace velacor::widgets {
namespace {

constexpr std::array<base::ValueEntry, 3> STOP_CONDITIONS = {{
    {0, "Hall Sensors"},
    {2, "Timeout"},
    {1, "Step Count"},
}};

TEST(Widgets, DropDownsMapEntriesToCodesAndUnknownCodesToTheFirstEntry) {
    QComboBox box;
    FillDropDown(&box, STOP_CONDITIONS);
    SelectDropDownCode(&box, STOP_CONDITIONS, 1);
    EXPECT_EQ(box.currentText(), "Step Count");
    EXPECT_EQ(DropDownValue(&box, STOP_CONDITIONS), 1);
    SelectDropDownCode(&box, STOP_CONDITIONS, 9);
    EXPECT_EQ(box.currentText(), "Hall Sensors");
    box.addItem(QStringLiteral("beyond the table"));
    box.setCurrentIndex(3);
    EXPECT_EQ(DropDownValue(&box, STOP_CONDITIONS), 0);
}

TEST(Widgets, ListToTextWritesTitlesThenRowsWithoutQuoting) {
    QTreeWidget list;
    const std::array<base::ListColumn, 2> columns = {{{"Time", 20}, {"Value, raw", 10}}};
    AddListColumns(&list, columns);
    SetListCell(&list, 0, 0, QStringLiteral("01/02/2026 10:00:00"), Qt::red);
    SetListCell(&list, 0, 1, QStringLiteral("12"));
    SetListCell(&list, 1, 0, QStringLiteral("01/02/2026 10:00:01"));
    SetListCell(&list, 1, 1, QString(300, QLatin1Char('x')));
    const std::string text = ListToText(&list);
    EXPECT_EQ(text, "Time,Value, raw\n01/02/2026 10:00:00,12\n01/02/2026 10:00:01," +
                        std::string(255, 'x') + "\n");
    EXPECT_EQ(list.topLevelItem(0)->foreground(1).color(), QColor(Qt::red));
    EXPECT_GE(list.columnWidth(0), 20 * DialogBaseUnitWidth(&list));
}

TEST(Widgets, TheSaveFlowSavesTheChosenFileAndSaysHowItWent) {
    testing::ScriptedPrompter prompter;
    velacor::testing::TempDir dir;
    QTreeWidget list;
    const std::array<base::ListColumn, 1> columns = {{{"Value", 10}}};
    AddListColumns(&list, columns);
    SetListCell(&list, 0, 0, QStringLiteral("7"));
    const SaveChoice choice{"Output File", "CSV Files (*.csv)", "csv", QString(), "Save Output"};
    const auto save = [&](const std::string& path) {
        return SaveListToFile(&list, path, {"Unable to open %s for write", "Saved to %s"});
    };

    EXPECT_FALSE(ChooseAndSave(prompter, choice, save));  // the chooser was cancelled
    EXPECT_TRUE(prompter.informed.empty());

    const std::string path = dir / "out.csv";
    prompter.filesToOpen = {QString::fromStdString(path), QString::fromStdString(dir / "no/x")};
    EXPECT_TRUE(ChooseAndSave(prompter, choice, save)->Saved());
    EXPECT_EQ(velacor::testing::ReadWholeFile(path), "Value\n7\n");
    EXPECT_FALSE(ChooseAndSave(prompter, choice, save)->Saved());
    ASSERT_EQ(prompter.informed.size(), 2u);
    EXPECT_EQ(prompter.informed[0],
              (testing::Shown{"Save Output", "Saved to " + QString::fromStdString(path)}));
    EXPECT_TRUE(prompter.informed[1].text.startsWith("Unable to open "));
}

TEST(Widgets, MessagesAndStatusTextsAreCutTo255Characters) {
    testing::ScriptedPrompter prompter;
    const std::string name(300, 'n');
    ShowMessage(prompter, "Save", "Unable to open %s for write", name.c_str());
    ASSERT_EQ(prompter.informed.size(), 1u);
    EXPECT_EQ(prompter.informed[0].title, "Save");
    EXPECT_EQ(prompter.informed[0].text.size(), 255);
}

TEST(Widgets, DatePickersHoldUtcSecondsWithoutTimeZone) {
    QDateEdit date;
    QTimeEdit time;
    for (std::uint32_t t : {0u, 951782399u, 1767225600u}) {
        SetDateTimePickers(&date, &time, t);
        EXPECT_EQ(ReadDateTimePickers(&date, &time), t);
    }
    SetDateTimePickers(&date, &time, 951782400u);
    EXPECT_EQ(date.date(), QDate(2000, 2, 29));
    EXPECT_EQ(time.time(), QTime(0, 0, 0));
}

}  // namespace
}  // namespace velacor::widgets
