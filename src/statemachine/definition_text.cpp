#include "statemachine/definition_text.h"

#include <ostream>
#include <sstream>

#include "base/delimited_text.h"
#include "base/str_printf.h"

namespace velacor::statemachine {
namespace {

constexpr std::array<base::ListColumn, TABLE_COLUMNS> COLUMNS{{
    {"state", 5},
    {"mode", 8},
    {"valves open", 27},
    {"pump", 27},
    {"leds on", 9},
    {"pd5V", 5},
    {"rec", 4},
    {"delay", 6},
    {"default next", 11},
    {"counter1 trigger", 24},
    {"counter2 trigger", 24},
    {"counter3 trigger", 24},
    {"counter4 trigger", 24},
    {"counter5 trigger", 24},
    {"counter6 trigger", 24},
    {"diving depth trigger", 24},
    {"climbing depth trigger", 24},
    {"pump timeout trigger", 24},
}};

enum Column : std::size_t {
    COL_STATE = 0,
    COL_MODE,
    COL_VALVES,
    COL_PUMP,
    COL_LEDS,
    COL_PD5V,
    COL_REC,
    COL_DELAY,
    COL_DEFAULT_NEXT,
    COL_COUNTER1,
    COL_DIVING = COL_COUNTER1 + COUNTERS,
    COL_CLIMBING,
    COL_PUMP_TIMEOUT,
};
static_assert(COL_PUMP_TIMEOUT + 1 == TABLE_COLUMNS);
static_assert(COL_COUNTER1 == COLUMN_FIRST_COUNTER);

std::string ModeText(std::uint8_t mode) {
    switch (mode) {
        case MODE_IDLE:
            return "idle";
        case MODE_OPERATING:
            return "operating";
        case MODE_SLEEPING:
            return "sleeping";
        case MODE_HIBERNATING:
            return "hibernating";
        default:
            return base::StrPrintf("unknown (%u)", unsigned{mode});
    }
}

// The numbers of the set items joined by points ("0.3.12"), or "none".
template <std::size_t N, class IsSet>
std::string NumberList(IsSet isSet) {
    std::string text;
    for (std::size_t i = 0; i < N; ++i) {
        if (!isSet(i))
            continue;
        if (!text.empty())
            text += '.';
        text += std::to_string(i);
    }
    return text.empty() ? "none" : text;
}

// Codes above the known ones come only from records read from the sensor or a file; they show
// as "?" like an unknown counter mode.
const char* MicrostepText(std::uint8_t code) {
    constexpr std::array<const char*, 5> TEXTS{"16x", "8x", "4x", "2x", "1x"};
    return code < TEXTS.size() ? TEXTS[code] : "?";
}

const char* StopConditionText(std::uint8_t condition) {
    constexpr std::array<const char*, 3> TEXTS{"hall", "steps", "time"};
    return condition < TEXTS.size() ? TEXTS[condition] : "?";
}

std::string PumpText(const StateRecord& r) {
    if (r.pumpOn != 1)
        return "off";
    return base::StrPrintf(
        "%umA;%u"
        "\xB5"
        "s;%s;%s;%s;%us",
        unsigned{r.pumpCurrentMa}, unsigned{r.stepPeriodUs}, MicrostepText(r.microstepCode),
        r.pumpDirection == 0 ? "inject" : "withdraw", StopConditionText(r.stopCondition),
        unsigned{r.stopTimeS});
}

std::string CounterText(const CounterTrigger& t, const std::uint8_t* counter) {
    switch (t.counterMode) {
        case COUNTER_INC_ONLY:
            return t.increment == 0 ? "" : base::StrPrintf("inc by %u", unsigned{t.increment});
        case COUNTER_INC_AND_TEST:
            if (counter != nullptr) {
                return base::StrPrintf("if %u > %u goto state %u", unsigned{*counter} + t.increment,
                                       unsigned{t.testValue}, unsigned{t.nextState});
            }
            return base::StrPrintf("inc by %u and if > %u goto state %u", unsigned{t.increment},
                                   unsigned{t.testValue}, unsigned{t.nextState});
        case COUNTER_RESET:
            return "reset to zero";
        default:
            return "?";
    }
}

std::string DepthText(const char* format, const DepthTrigger& t) {
    if (t.level < 1 || t.level > 3)
        return "";
    return base::StrPrintf(format, unsigned{t.level}, unsigned{t.nextState});
}

}  // namespace

const std::array<base::ListColumn, TABLE_COLUMNS>& TableColumns() {
    return COLUMNS;
}

int ColumnWidth(std::size_t column, bool shrink) {
    if (column >= TABLE_COLUMNS)
        return 0;
    if (shrink && column >= COLUMN_FIRST_SHRINKABLE && column <= COLUMN_LAST_SHRINKABLE)
        return 0;
    return COLUMNS[column].width;
}

CellTexts StateCellTexts(std::size_t index, const StateRecord& r,
                         const CounterValues* dryRunCounters) {
    CellTexts cells;
    cells[COL_STATE] = base::StrPrintf("%u", static_cast<unsigned>(index));
    cells[COL_MODE] = ModeText(r.mode);

    const bool operating = r.mode == MODE_OPERATING;
    if (operating) {
        cells[COL_VALVES] =
            NumberList<16>([&](std::size_t i) { return (r.valvesOpen >> i & 1U) != 0; });
        cells[COL_PUMP] = PumpText(r);
        cells[COL_LEDS] = NumberList<4>([&](std::size_t i) { return r.ledDrive[i] != 0; });
        cells[COL_PD5V] = r.photodiodePower != 0 ? "on" : "off";
        cells[COL_REC] = r.sdRecording == 1 ? "on" : "off";
    }
    if (operating || r.mode == MODE_SLEEPING) {
        // Delays are unsigned 32-bit: printed unsigned so a large one never shows negative.
        cells[COL_DELAY] = r.waitForSchedule == 0
                               ? base::StrPrintf("%us", static_cast<unsigned>(r.delaySeconds))
                               : "sched";
        cells[COL_DEFAULT_NEXT] = base::StrPrintf("goto state %d", int{r.defaultNext});
        for (std::size_t k = 0; k < COUNTERS; ++k) {
            cells[COL_COUNTER1 + k] = CounterText(
                r.counterTrigger[k], dryRunCounters != nullptr ? &(*dryRunCounters)[k] : nullptr);
        }
        cells[COL_DIVING] = DepthText("if diving below P%u goto state %u", r.divingTrigger);
        cells[COL_CLIMBING] = DepthText("if climbing above P%u goto state %u", r.climbingTrigger);
        if (r.pumpOn == 1 && r.stopCondition == STOP_HALL) {
            cells[COL_PUMP_TIMEOUT] =
                base::StrPrintf("if pump times out goto state %u", unsigned{r.pumpTimeoutNext});
        }
    }
    for (std::string& cell : cells)
        cell = base::Truncated(std::move(cell), MAX_CELL_CHARS);
    return cells;
}

std::vector<TableRow> DefinitionListing(const StateMachine& machine) {
    std::vector<TableRow> rows;
    rows.reserve(machine.StateCount());
    for (std::uint16_t i = 0; i <= machine.lastIndex && i < STATE_SLOTS; ++i)
        rows.push_back({i, StateCellTexts(i, machine.states[i])});
    return rows;
}

const char* TableModeName(TableMode mode) {
    return mode == TableMode::DRY_RUN ? "Dry Run" : "Definition";
}

std::string TableTitle(TableMode mode, const StateMachine& machine) {
    return base::StrPrintf("State Machine %s (%d states)", TableModeName(mode),
                           int{machine.lastIndex} + 1);
}

std::string SummaryText(const std::vector<TableRow>& rows) {
    std::ostringstream out;
    base::WriteDelimitedList(
        out, TABLE_COLUMNS, [](std::size_t c) { return COLUMNS[c].title; }, rows.size(),
        [&rows](std::size_t r, std::size_t c) -> const std::string& { return rows[r].cells[c]; });
    return std::move(out).str();
}

base::SaveOutcome SaveSummaryFile(const std::string& path, const std::vector<TableRow>& rows,
                                  std::span<const std::string> inputs) {
    const std::string text = SummaryText(rows);
    base::SaveMessages messages;
    if (!rows.empty())
        messages.saved = "Summary saved to %s";
    return base::SaveFile(
        path,
        [&text](std::ostream& out) {
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
            return static_cast<bool>(out);
        },
        messages, inputs);
}

std::string Cp1252ToUtf8(std::string_view text) {
    // 0x80 to 0x9F; the unassigned bytes keep their own number.
    static constexpr std::array<char16_t, 32> HIGH_CONTROLS{
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += c;
            continue;
        }
        const unsigned code = byte < 0xA0 ? unsigned{HIGH_CONTROLS[byte - 0x80]} : unsigned{byte};
        if (code < 0x800) {
            out += static_cast<char>(0xC0 | code >> 6);
        } else {
            out += static_cast<char>(0xE0 | code >> 12);
            out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        }
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
    return out;
}

}  // namespace velacor::statemachine
