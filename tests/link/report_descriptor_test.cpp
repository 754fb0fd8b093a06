#include "link/report_descriptor.h"

#include <gtest/gtest.h>

#include <vector>

namespace velacor::link {
namespace {

// Vendor-defined page, one collection, one report each way: the sensor's usual layout.
std::vector<std::uint8_t> Descriptor(std::uint8_t inputId, std::uint8_t outputId) {
    std::vector<std::uint8_t> d = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01};
    if (inputId != 0)
        d.insert(d.end(), {0x85, inputId});
    d.insert(d.end(),
             {0x09, 0x01, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x80, 0x81, 0x02});
    if (outputId != 0)
        d.insert(d.end(), {0x85, outputId});
    d.insert(d.end(), {0x09, 0x02, 0x91, 0x02, 0xC0});
    return d;
}

TEST(ReportDescriptor, OnlyAnInputReportUnderIdOneCounts) {
    struct Case {
        std::uint8_t inputId;
        std::uint8_t outputId;
        bool usesIds;
        bool inputId1;
    };
    for (const Case& c :
         {Case{1, 1, true, true}, Case{2, 1, true, false}, Case{0, 0, false, false}}) {
        const auto info = ParseReportDescriptor(Descriptor(c.inputId, c.outputId));
        EXPECT_EQ(info.usesReportIds, c.usesIds) << int{c.inputId} << " " << int{c.outputId};
        EXPECT_EQ(info.hasInputReportId1, c.inputId1) << int{c.inputId} << " " << int{c.outputId};
    }
}

TEST(ReportDescriptor, PopRestoresTheReportIdAndLongItemsAreSkipped) {
    const std::vector<std::uint8_t> d = {
        0x85, 0x01,                    // report id 1
        0xA4,                          // push
        0x85, 0x05,                    // report id 5
        0xFE, 0x02, 0x10, 0x85, 0x07,  // long item whose data looks like "report id 7"
        0xB4,                          // pop: back to 1
        0x81, 0x02,                    // input
    };
    EXPECT_TRUE(ParseReportDescriptor(d).hasInputReportId1);
}

TEST(ReportDescriptor, TruncatedDescriptorsAreReadAsFarAsTheyGo) {
    auto d = Descriptor(1, 1);
    for (std::size_t cut = 0; cut < d.size(); ++cut) {
        const auto info = ParseReportDescriptor(std::span(d).first(cut));
        EXPECT_EQ(info.hasInputReportId1, cut >= 22) << cut;  // the input item ends at byte 22
    }
    const std::vector<std::uint8_t> cutInData = {0x85, 0x01, 0x27, 0xFF};  // 4-byte item, 1 byte
    EXPECT_FALSE(ParseReportDescriptor(cutInData).hasInputReportId1);
}

}  // namespace
}  // namespace velacor::link
