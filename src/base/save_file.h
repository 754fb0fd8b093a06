// The one way this program writes a file. A regular file (or nothing yet) at the path is
// replaced whole or not at all: the content goes to a new temporary file beside it, created
// exclusively and never through a symbolic link, given the old file's permissions, written,
// flushed to disk, and only then renamed over the old one; the folder is flushed after the
// rename. A failure at any step removes the temporary file and leaves the old one as it was.
// A symbolic link at the path is followed, so the file it names is replaced and the link stays.
// A device or pipe at the path ("/dev/stdout") is written in place.
//
// Plain functions without shared state: any thread may call them, for any paths at once.
#pragma once

#include <functional>
#include <ostream>
#include <span>
#include <string>

namespace velacor::base {

// Writes the content; false (or a stream that failed) fails the save.
using ContentWriter = std::function<bool(std::ostream& out)>;

enum class SaveStatus {
    Saved,
    SameAsInput,  // the path is (a link to) one of the inputs: refused, nothing written
    Failed,       // the file could not be created, written or put in place
};

struct SaveMessages {
    const char* failed = "Unable to open %s for write";
    // After a save: nullptr says nothing.
    const char* saved = nullptr;
};

struct SaveOutcome {
    SaveStatus status = SaveStatus::Failed;
    std::string message;  // the text to show the operator, with the path; may be empty
    bool Saved() const { return status == SaveStatus::Saved; }
};

inline constexpr const char* SAME_AS_INPUT_FORMAT =
    "Unable to write %s: it is the input file, choose another name";

// Saves `path`. A path that names the same file as one of `inputs` (same device and inode,
// through links too) is refused. Messages are formatted with the path, cut to 255 characters.
[[nodiscard]] SaveOutcome SaveFile(const std::string& path, const ContentWriter& write,
                                   const SaveMessages& messages = {},
                                   std::span<const std::string> inputs = {});

// SaveFile without messages: true when saved.
[[nodiscard]] bool AtomicSave(const std::string& path, const ContentWriter& write);

// Whether two paths name one existing file.
bool SameFile(const std::string& a, const std::string& b);

}  // namespace velacor::base
