#include "app/ui_helpers.h"

#include <QComboBox>
#include <QDateEdit>
#include <QTimeEdit>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <array>

#include "scripted_prompter.h"

namespace velacor::app {
namespace {

constexpr std::array<DropDownEntry, 3> STOP_CONDITIONS = {{
    {0, "Hall Sensors"},
    {2, "Timeout"},
    {1, "Step Count"},
}};

TEST(UiHelpers, DropDownsMapEntriesToCodesAndUnknownCodesToTheFirstEntry) {
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

TEST(UiHelpers, ListToTextWritesTitlesThenRowsWithoutQuoting) {
    QTreeWidget list;
    const std::array<ListColumn, 2> columns = {{{"Time", 20}, {"Value, raw", 10}}};
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

TEST(UiHelpers, MessagesAreCutTo255Characters) {
    testing::ScriptedPrompter prompter;
    const std::string name(300, 'n');
    ShowMessage(prompter, "Save", "Unable to open %s for write", name.c_str());
    ASSERT_EQ(prompter.informed.size(), 1u);
    EXPECT_EQ(prompter.informed[0].title, "Save");
    EXPECT_EQ(prompter.informed[0].text.size(), 255);
}

TEST(UiHelpers, DatePickersHoldUtcSecondsWithoutTimeZone) {
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
}  // namespace velacor::app
