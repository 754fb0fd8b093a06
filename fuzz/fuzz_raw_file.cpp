// Any bytes, read as a raw output file by every header reader and every row rule: reading must
// stay inside its buffers, end with the end-of-file marker, and the fast row parser must agree
// with sscanf on every line it is given.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "processing/raw_file.h"

namespace {

using namespace velacor::processing;

void Check(bool ok) {
    if (!ok)
        __builtin_trap();
}

bool SameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

void CheckAgainstSscanf(std::string_view line) {
    for (const int fields : {ROW_FIELDS_SHORT, ROW_FIELDS_LONG}) {
        RawRecord fast;
        RawRecord reference;
        Check(ScanRawRow(line, fields, fast) == ScanRawRowReference(line, fields, reference));
        for (int c = 0; c < 8; ++c)
            Check(SameBits(fast.channel[c], reference.channel[c]));
        Check(SameBits(fast.platformSalinity, reference.platformSalinity));
        Check(SameBits(fast.platformTemperature, reference.platformTemperature));
        Check(SameBits(fast.platformOxygen, reference.platformOxygen));
        Check(SameBits(fast.platformDepth, reference.platformDepth));
        Check(fast.counter == reference.counter && fast.state == reference.state);
        Check(fast.sensorTime == reference.sensorTime &&
              fast.platformTime == reference.platformTime);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    MemorySource source(bytes);
    RawFile file(source);

    NutrientHeader nutrient;
    PhHeader ph;
    TaHeader ta;
    DicHeader dic;
    ReadNutrientHeader(file, nutrient);
    ReadPhHeader(file, ph);
    ReadTaHeader(file, ta);
    ReadDicHeader(file, dic);
    Check(nutrient.sensorName.size() < RawFile::LINE_BUFFER);

    for (const RowRule rule : {RowRule::Nutrient, RowRule::Ph, RowRule::Ta, RowRule::Dic}) {
        std::uint64_t handed = 0;
        bool lastWasMarker = false;
        const RowsResult result = ReadRows(file, rule, [&](const RawRecord& r) {
            ++handed;
            lastWasMarker = r.state == END_OF_FILE_STATE;
        });
        Check(!result.readError);
        Check(handed == result.rowsAccepted + 1 && lastWasMarker);
    }

    Check(file.Rewind());
    std::string_view line;
    while (file.NextLine(line) == LineResult::Line) {
        Check(line.size() < RawFile::LINE_BUFFER);
        CheckAgainstSscanf(line);
    }
    return 0;
}
