#include "processing/raw_file.h"
#include "processing/run_control.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace velacor::processing {

FileSource::FileSource(const std::string& path) {
    // A folder opens for reading on some systems but yields no bytes: it is not a raw file.
    std::error_code error;
    if (!std::filesystem::is_directory(path, error))
        m_file = std::fopen(path.c_str(), "rb");
}

FileSource::~FileSource() {
    if (m_file)
        std::fclose(m_file);
}

std::size_t FileSource::Read(char* buffer, std::size_t size) {
    if (!m_file || std::ferror(m_file))
        return 0;
    return std::fread(buffer, 1, size, m_file);
}

bool FileSource::Failed() const {
    return !m_file || std::ferror(m_file) != 0;
}

bool FileSource::Rewind() {
    if (!m_file)
        return false;
    std::clearerr(m_file);
    return std::fseek(m_file, 0, SEEK_SET) == 0;
}

std::size_t MemorySource::Read(char* buffer, std::size_t size) {
    const std::size_t count = std::min(size, m_bytes.size() - m_pos);
    if (count > 0)
        std::memcpy(buffer, m_bytes.data() + m_pos, count);
    m_pos += count;
    return count;
}

bool MemorySource::Rewind() {
    m_pos = 0;
    return true;
}

RawFile::RawFile(ByteSource& source) : m_source(source), m_block(BLOCK_SIZE) {}

bool RawFile::Refill() {
    m_pos = 0;
    m_len = m_source.Read(m_block.data(), m_block.size());
    m_bytesRead += m_len;
    if (m_len == 0) {
        m_failed = m_source.Failed();
        return false;
    }
    return true;
}

LineResult RawFile::NextLine(std::string_view& line) {
    constexpr std::size_t MAX_PIECE = LINE_BUFFER - 1;
    // A whole line inside the block is handed out where it stands, without a copy.
    if (m_pos < m_len && !m_failed) {
        const char* start = m_block.data() + m_pos;
        const std::size_t available = std::min(m_len - m_pos, MAX_PIECE);
        if (const void* feed = std::memchr(start, '\n', available)) {
            const auto length = static_cast<std::size_t>(static_cast<const char*>(feed) - start);
            m_pos += length + 1;
            line = std::string_view(start, length);
            if (const std::size_t nul = line.find('\0'); nul != std::string_view::npos)
                line = line.substr(0, nul);
            return LineResult::Line;
        }
    }
    std::size_t length = 0;
    bool lineFeed = false;
    while (length < MAX_PIECE && !lineFeed) {
        if (m_pos == m_len && (m_failed || !Refill()))
            break;
        const char* start = m_block.data() + m_pos;
        const std::size_t available = std::min(m_len - m_pos, MAX_PIECE - length);
        const void* feed = std::memchr(start, '\n', available);
        const std::size_t take =
            feed ? static_cast<std::size_t>(static_cast<const char*>(feed) - start) + 1 : available;
        std::memcpy(m_piece.data() + length, start, take);
        length += take;
        m_pos += take;
        lineFeed = feed != nullptr;
    }
    if (m_failed)
        return LineResult::ReadError;
    if (length == 0)
        return LineResult::End;
    line = std::string_view(m_piece.data(), lineFeed ? length - 1 : length);
    if (const std::size_t nul = line.find('\0'); nul != std::string_view::npos)
        line = line.substr(0, nul);
    return LineResult::Line;
}

bool RawFile::Rewind() {
    m_pos = 0;
    m_len = 0;
    m_failed = false;
    m_bytesRead = 0;
    return m_source.Rewind();
}

bool AcceptRow(std::string_view line, RowRule rule, RawRecord& out) {
    out = RawRecord{};
    switch (rule) {
        case RowRule::Nutrient: {
            // A short row leaves the platform fields at zero: nothing is stored for a failed field.
            const int fields = ScanRawRowWithoutNul(line, ROW_FIELDS_LONG, out);
            return fields == ROW_FIELDS_LONG || fields == ROW_FIELDS_SHORT;
        }
        case RowRule::Ph:
            return ScanRawRowWithoutNul(line, ROW_FIELDS_LONG, out) == ROW_FIELDS_LONG;
        case RowRule::Ta:
        case RowRule::Dic:
            return ScanRawRowWithoutNul(line, ROW_FIELDS_SHORT, out) == ROW_FIELDS_SHORT;
    }
    return false;
}

RowsResult ReadRows(RawFile& file, RowRule rule,
                    const std::function<void(const RawRecord&)>& onRow) {
    const RunOutcome outcome = ReadRowsControlled(file, rule, RunControl{}, onRow);
    return RowsResult{outcome.rowsAccepted, outcome.readError};
}

Message ReadErrorMessage(RowRule rule) {
    constexpr std::string_view TEXT = "I/O error reading input file";
    switch (rule) {
        case RowRule::Nutrient:
            return {"Process Raw Nutrient Output", TEXT};
        case RowRule::Ph:
            return {"Process Raw pH Data", TEXT};
        case RowRule::Ta:
            return {"Process Raw TA Output", TEXT};
        case RowRule::Dic:
            return {"Process Raw DIC Output", TEXT};
    }
    return {"", TEXT};
}

}  // namespace velacor::processing
