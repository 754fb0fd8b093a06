// Raw output files: the text files of comma-separated rows the sensor writes on its memory card,
// opened by a header of "%VELACOR.<group>.<key>=<value>" lines.
//
// RawFile reads a file as the sensor's own tools do, in pieces of at most 199 bytes: a line
// longer than that is handed out as several pieces, each treated as a line of its own. It reads
// in large blocks and holds only one block and one piece, whatever the size of the file. A
// RawFile is used by one thread at a time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "processing/raw_row.h"
#include "protocol/chemistry_records.h"

namespace velacor::processing {

// Where the bytes come from. Read fills up to `size` bytes and returns the count; 0 at the end.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    virtual std::size_t Read(char* buffer, std::size_t size) = 0;
    virtual bool Failed() const = 0;  // a read error happened
    virtual bool Rewind() = 0;        // back to the first byte, error state cleared
};

// A file on disk, opened for reading; owns the handle.
class FileSource final : public ByteSource {
  public:
    explicit FileSource(const std::string& path);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    bool IsOpen() const { return m_file != nullptr; }
    std::size_t Read(char* buffer, std::size_t size) override;
    bool Failed() const override;
    bool Rewind() override;

  private:
    std::FILE* m_file = nullptr;
};

// Bytes in memory (tests, fuzzing); does not copy them.
class MemorySource final : public ByteSource {
  public:
    explicit MemorySource(std::string_view bytes) : m_bytes(bytes) {}
    std::size_t Read(char* buffer, std::size_t size) override;
    bool Failed() const override { return false; }
    bool Rewind() override;

  private:
    std::string_view m_bytes;
    std::size_t m_pos = 0;
};

enum class LineResult { Line, End, ReadError };

class RawFile {
  public:
    static constexpr std::size_t LINE_BUFFER = 200;  // a piece holds at most 199 bytes
    static constexpr std::size_t BLOCK_SIZE = 64 * 1024;

    explicit RawFile(ByteSource& source);

    // The next piece, without its line feed, cut at its first NUL byte. The view stays valid
    // until the next call. A partial piece before a read error is dropped.
    LineResult NextLine(std::string_view& line);
    bool Rewind();
    // Bytes taken from the source since the last rewind.
    std::uint64_t BytesRead() const { return m_bytesRead; }

  private:
    bool Refill();

    ByteSource& m_source;
    std::vector<char> m_block;
    std::size_t m_pos = 0;
    std::size_t m_len = 0;
    bool m_failed = false;
    std::uint64_t m_bytesRead = 0;
    std::array<char, LINE_BUFFER> m_piece{};
};

// ---- Header ----------------------------------------------------------------------------------

// The coefficients of one thermistor as the header carries them.
struct HeaderThermistor {
    std::uint8_t inputChannel = 0;
    float calA = 0;
    float calB = 0;
    float calC = 0;
    float calD = 0;
};

struct NutrientHeader {
    std::uint8_t chemistryType = 0;
    protocol::NutrientProcessing params;  // zeroed, monitoring channels 255, before reading
    std::string sensorName;               // empty when absent
};

struct PhHeader {
    std::uint8_t chemistryType = protocol::CHEMISTRY_PH;
    protocol::PhProcessing params;  // zeroed, thermistor weights 0.5, before reading
    std::uint32_t sampleIntervalMs = 100;
    std::array<HeaderThermistor, 2> thermistor{};
};

struct TaHeader {
    std::uint8_t chemistryType = 0;
    protocol::TaProcessing params;  // zeroed before reading
    std::array<HeaderThermistor, 2> thermistor{};
};

struct DicHeader {
    std::uint8_t chemistryType = 0;
    protocol::DicProcessing params;  // zeroed before reading
    HeaderThermistor thermistor;
};

// The header defaults: the records start cleared, with these values set.
NutrientHeader DefaultNutrientHeader();
PhHeader DefaultPhHeader();
TaHeader DefaultTaHeader();
DicHeader DefaultDicHeader();

// Each reader rewinds the file, resets `header` to its defaults and scans the file for its keys.
// The nutrient, TA and DIC readers stop at the first unrecognised line beginning with
// "%VELACOR.HEADER_END" or "%Counter"; the pH reader reads to the end. Key lines count wherever
// they stand, the last of a repeated key wins. Result: a "%VELACOR.HEADER_START" line was seen.
// A read error ends the scan like the end of the file.
bool ReadNutrientHeader(RawFile& file, NutrientHeader& header);
bool ReadPhHeader(RawFile& file, PhHeader& header);
// The pH reader asking `control` between blocks of lines (it reads whole files of gigabytes);
// `cancelled` tells whether it stopped because `control` said so.
struct RunControl;
bool ReadPhHeader(RawFile& file, PhHeader& header, const RunControl& control, bool& cancelled);
bool ReadTaHeader(RawFile& file, TaHeader& header);
bool ReadDicHeader(RawFile& file, DicHeader& header);

// ---- Rows ------------------------------------------------------------------------------------

enum class RowRule {
    Nutrient,  // 20 fields, or 15 (platform fields then zero)
    Ph,        // exactly 20 fields
    Ta,        // the first 15 fields
    Dic,       // the first 15 fields
};

struct RowsResult {
    std::uint64_t rowsAccepted = 0;
    bool readError = false;  // reading stopped early; no end-of-file marker was handed on
};

// Applies the row rule to one line, which holds no NUL byte (as RawFile::NextLine hands them
// out); false when the row is not accepted (skipped silently).
bool AcceptRow(std::string_view line, RowRule rule, RawRecord& out);

// Rewinds the file and hands every accepted row to `onRow` in file order, then, when the end of
// the file was reached without a read error, the end-of-file marker (EndOfFileRecord()).
RowsResult ReadRows(RawFile& file, RowRule rule,
                    const std::function<void(const RawRecord&)>& onRow);

// ---- Texts -----------------------------------------------------------------------------------

inline constexpr std::string_view RAW_FILE_CHOOSER_TITLE = "Raw Output File";
inline constexpr std::string_view RAW_FILE_FILTER_NAME = "Raw Output Files (*.csv)";
inline constexpr std::string_view RAW_FILE_FILTER_PATTERN = "*.csv";
inline constexpr std::string_view ALL_FILES_FILTER_NAME = "All Files (*.*)";
inline constexpr std::string_view ALL_FILES_FILTER_PATTERN = "*.*";
inline constexpr std::string_view RAW_FILE_EXTENSION = "csv";

struct Message {
    std::string_view title;
    std::string_view text;
};

// The message shown when a raw file reports a read error during the given processing.
Message ReadErrorMessage(RowRule rule);

}  // namespace velacor::processing
