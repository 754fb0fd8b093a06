#include "base/save_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <random>
#include <streambuf>

#include "base/str_printf.h"

namespace velacor::base {
namespace {

constexpr std::size_t MESSAGE_CHARS = 255;
constexpr int MAX_LINKS = 40;  // as the kernel follows them

// An output stream buffer over a file descriptor it does not own.
class DescriptorBuffer final : public std::streambuf {
  public:
    explicit DescriptorBuffer(int fd) : m_fd(fd) {
        setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
    }
    ~DescriptorBuffer() override { (void)Drain(); }
    // Writes what the buffer holds; false, for good, once any write has failed.
    bool Drain() {
        const char* at = pbase();
        while (!m_failed && at < pptr()) {
            const ssize_t n = ::write(m_fd, at, static_cast<std::size_t>(pptr() - at));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                m_failed = true;
            else
                at += n;
        }
        setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
        return !m_failed;
    }

  protected:
    int_type overflow(int_type c) override {
        if (!Drain())
            return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return Drain() ? 0 : -1; }

  private:
    int m_fd;
    bool m_failed = false;
    std::array<char, 64 * 1024> m_buffer;
};

class Descriptor {
  public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor() { Close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return m_fd; }
    void Reset(int fd) {
        Close();
        m_fd = fd;
    }
    bool Close() {
        if (m_fd < 0)
            return true;
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0 || errno == EINTR;
    }

  private:
    int m_fd;
};

// Writes the content through `fd`; true when every byte went out.
bool WriteContent(int fd, const ContentWriter& write) {
    DescriptorBuffer buffer(fd);
    std::ostream out(&buffer);
    const bool written = write(out);
    out.flush();
    return written && out.good() && buffer.Drain();
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The path with every symbolic link of its last part followed; a dangling link gives the path
// it points to. False for a loop of links.
bool FollowLinks(std::string path, std::string& resolved) {
    for (int i = 0; i < MAX_LINKS; ++i) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            resolved = path;
            return true;
        }
        // The size lstat gives is not to be trusted (the kernel's own links say 64): grow the
        // buffer until the text fits.
        std::string target;
        for (std::size_t size = 256;; size *= 2) {
            target.assign(size, '\0');
            const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
            if (n < 0 || size > (1u << 20))
                return false;
            if (static_cast<std::size_t>(n) < size) {
                target.resize(static_cast<std::size_t>(n));
                break;
            }
        }
        path = target.starts_with('/') ? target : FolderOf(path) + "/" + target;
    }
    return false;
}

// A name beside `path` that no other save, in this process or another, uses at the same time.
std::string TemporaryName(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    static const unsigned seed = std::random_device{}();
    // Cut so that the name stays within the longest a folder takes, 255 bytes.
    const std::string name = NameOf(path).substr(0, 200);
    return FolderOf(path) + "/." + name +
           StrPrintf(".%ld-%u-%u~", static_cast<long>(::getpid()), seed, counter.fetch_add(1));
}

// The rename is on disk too. The file is in place already: a folder that can't be flushed
// leaves it so, and the save stands.
void FlushFolder(const std::string& folder) {
    const Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Get() >= 0)
        (void)::fsync(fd.Get());
}

bool WriteInPlace(const std::string& path, const ContentWriter& write) {
    Descriptor fd(::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
    if (fd.Get() < 0)
        return false;
    return WriteContent(fd.Get(), write) && fd.Close();
}

bool ReplaceRegularFile(const std::string& path, const struct stat* existing,
                        const ContentWriter& write) {
    std::string temporary;
    Descriptor fd;
    for (int attempt = 0; attempt < 100 && fd.Get() < 0; ++attempt) {
        temporary = TemporaryName(path);
        fd.Reset(
            ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (fd.Get() < 0 && errno != EEXIST)
            return false;
    }
    if (fd.Get() < 0)
        return false;
    if (existing != nullptr) {
        // The file keeps its owner where we may set it, and its permissions.
        (void)::fchown(fd.Get(), existing->st_uid, existing->st_gid);
        (void)::fchmod(fd.Get(), existing->st_mode & 07777);
    }
    const bool ok = WriteContent(fd.Get(), write) && ::fsync(fd.Get()) == 0 && fd.Close() &&
                    ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) {
        fd.Close();
        ::unlink(temporary.c_str());
        return false;
    }
    FlushFolder(FolderOf(path));
    return true;
}

bool Save(const std::string& path, const ContentWriter& write) {
    if (path.empty())
        return false;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode))
            return false;
        if (!S_ISREG(info.st_mode))
            return WriteInPlace(path, write);  // a device, a pipe: "/dev/stdout"
    } else if (errno != ENOENT) {
        return false;
    }
    // A regular file or none yet: the temporary file goes beside the file the links lead to.
    std::string target;
    if (!FollowLinks(path, target))
        return false;
    if (::stat(target.c_str(), &info) != 0)
        return errno == ENOENT && ReplaceRegularFile(target, nullptr, write);
    return S_ISREG(info.st_mode) && ReplaceRegularFile(target, &info, write);
}

}  // namespace

bool SameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

SaveOutcome SaveFile(const std::string& path, const ContentWriter& write,
                     const SaveMessages& messages, std::span<const std::string> inputs) {
    SaveOutcome outcome;
    for (const std::string& input : inputs) {
        if (SameFile(path, input)) {
            outcome.status = SaveStatus::SameAsInput;
            outcome.message =
                Truncated(StrPrintf(SAME_AS_INPUT_FORMAT, path.c_str()), MESSAGE_CHARS);
            return outcome;
        }
    }
    const char* format = messages.failed;
    if (Save(path, write)) {
        outcome.status = SaveStatus::Saved;
        format = messages.saved;
    }
    if (format != nullptr)
        outcome.message = Truncated(StrPrintf(format, path.c_str()), MESSAGE_CHARS);
    return outcome;
}

bool AtomicSave(const std::string& path, const ContentWriter& write) {
    return Save(path, write);
}

}  // namespace velacor::base
