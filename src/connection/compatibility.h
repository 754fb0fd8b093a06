// Whether the firmware in a sensor fits this program: its version text parsed into a comparable
// number, the table of known firmware releases, and the two lists of the compatibility view
// with the colour of every row. Plain data; the view only copies the rows into its controls.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/list_column.h"
#include "base/rgb.h"

namespace velacor::connection {

// The version of the first row of RELEASE_TABLE.
inline constexpr const char* NEWEST_FIRMWARE_VERSION = "1.4.2";

inline constexpr const char* VERSION_UNREADABLE_TEXT = "Can't read firmware version from sensor";
inline constexpr const char* VERSION_UNREADABLE_TITLE = "Connect";

using base::Rgb;

inline constexpr Rgb RED{255, 0, 0};
inline constexpr Rgb GREEN{0, 128, 64};
inline constexpr Rgb GREY{100, 100, 100};
inline constexpr Rgb BLACK{0, 0, 0};

struct FirmwareRelease {
    std::string_view version;
    std::string_view date;  // day/month/year
    std::string_view changes;
    std::string_view warning;  // empty: none
};

// Newest first.
inline constexpr std::array<FirmwareRelease, 15> RELEASE_TABLE{{
    {"1.4.2", "12/03/2026", "Functional improvements", ""},
    {"1.4.1", "17/07/2025", "Added sensor measurement counter",
     "Do not use Measurement Counter features without updating the firmware"},
    {"1.3.7", "31/01/2025", "Additional modes",
     "Only use Special 1-3 start states until you update the firmware"},
    {"1.3.6", "26/06/2024", "Telemetry Params P1-P3 mappable in nutrient sensors",
     "Do not use Configure->Diagnositic Parameters without updating firmware"},
    {"1.3.5", "24/04/2024", "Telemetry diagnostic changes", ""},
    {"1.3.4", "01/11/2023", "Bug fixes", ""},
    {"1.3.3", "19/10/2023", "Bug fixes",
     "Do not use Nutrient Processed Data features without updating firmware"},
    {"1.3.2", "07/09/2023", "Implemented pH improvements", ""},
    {"1.3.1", "06/09/2023", "pH bug fixes", ""},
    {"1.3.0", "19/07/2023", "Bug fixes", ""},
    {"1.2", "01/05/2023", "Test version only, do not deploy", ""},
    {"1.1", "22/09/2021", "RS232 bugs fixed",
     "RS232 will not work with board numbers below 50, and between 254n and 254n+50 for all n"},
    {"1.0", "30/04/2021", "Bug fixes", "Version numbers/compatibility won't work"},
    {"0.2", "28/04/2021", "Filename revisions and bug fixes",
     "If you see VELACOR_2_8_3 above, this is either 0.2 or 0.1. Either way, UPDATE IMMEDIATELY"},
    {"0.1", "08/04/2021", "First revision", ""},
}};

// Recognises a firmware version text in one of these forms, tried in this order:
//   "VELACOR_%d_%d_%d_T%d"  test build      (a*1000 + b)*1000 + c, test number d
//   "VELACOR_%d_%d_%d"      older release   (a*100 + b)*1000 + c, so below every dotted 1.0+
//   "%d.%d.%d_T%d"          test build      (a*1000 + b)*1000 + c, test number d
//   "%d.%d.%d"              release         (a*1000 + b)*1000 + c
//   "%d.%d"                 release         (a*1000 + b)*1000; "1.2" is test build 1
// Each form is scanned from the start of the text as the C library's scanf does: a number may
// be preceded by white space and a sign, literal characters must match exactly, and whatever
// follows the last field is ignored ("1.4.2xyz" is 1.4.2). A release's test number is -1.
// Numbers beyond 32 bits saturate, and so does the resulting version value. Either output
// may be null; on false neither is written.
bool ParseFirmwareVersion(std::string_view text, std::int32_t* versionValue,
                          std::int32_t* testNumber);

// Widths in dialog base units.
inline constexpr std::array<base::ListColumn, 1> COMPATIBILITY_COLUMNS{{{"Compatibility", 80}}};
inline constexpr std::array<base::ListColumn, 3> RELEASE_COLUMNS{{
    {"Firmware Version", 16},
    {"Date", 12},
    {"Changes", 64},
}};

struct CompatibilityRow {
    std::string text;
    Rgb colour;
};

struct ReleaseRow {
    std::string version;
    std::string date;
    std::string changes;
    Rgb colour;  // black for the sensor's own release, grey for the others
};

struct CompatibilityLists {
    std::vector<CompatibilityRow> upper;  // versions, then the verdict
    std::vector<ReleaseRow> lower;        // RELEASE_TABLE, newest first
};

// Both lists of the compatibility view for the version text the sensor reported.
CompatibilityLists BuildCompatibilityLists(std::string_view sensorVersion);

}  // namespace velacor::connection
