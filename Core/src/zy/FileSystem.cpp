#include "zy/FileSystem.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zy::fs {

namespace {

// Bytes of the target's name kept in the temporary's name (".<stem>.XXXXXX").
constexpr size_t kMaxTemporaryStem = 200;

bool isSeparator(char c) { return c == '/' || c == '\\'; }

// Directory part of a path ("." when it has none) and the file name part.
std::pair<zy::string, zy::string> splitDirectory(const zy::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == zy::string::npos)
        return {".", path};
    return {slash == 0 ? zy::string("/") : path.substr(0, slash), path.substr(slash + 1)};
}

// The process umask, read without changing it (umask() itself would race
// with other threads creating files).
mode_t currentUmask()
{
    if (FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        while (std::fgets(line, sizeof line, status)) {
            unsigned mask = 0;
            if (std::sscanf(line, "Umask: %o", &mask) == 1) {
                std::fclose(status);
                return static_cast<mode_t>(mask);
            }
        }
        std::fclose(status);
    }
    return 022;
}

class ReadFile final : public File {
public:
    explicit ReadFile(int fd) : fd_(fd) {}
    ~ReadFile() override { close(); }

    size_t read(void* data, size_t n) override
    {
        size_t done = 0;
        auto* out = static_cast<char*>(data);
        while (fd_ >= 0 && done < n) {
            ssize_t got = ::read(fd_, out + done, n - done);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            done += static_cast<size_t>(got);
        }
        return done;
    }

    size_t write(const void*, size_t) override { return 0; }

    bool close() override
    {
        if (fd_ < 0)
            return false;
        ::close(fd_);
        fd_ = -1;
        return true;
    }

private:
    int fd_;
};

// Writes into a temporary file beside the target and renames it over the
// target on a successful close.
class WriteFile final : public File {
public:
    WriteFile(int fd, zy::string temporary, zy::string target)
        : fd_(fd), temporary_(std::move(temporary)), target_(std::move(target))
    {
    }
    ~WriteFile() override { abandon(); }

    size_t read(void*, size_t) override { return 0; }

    size_t write(const void* data, size_t n) override
    {
        size_t done = 0;
        auto* in = static_cast<const char*>(data);
        while (fd_ >= 0 && !failed_ && done < n) {
            ssize_t put = ::write(fd_, in + done, n - done);
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0) {
                failed_ = true;
                break;
            }
            done += static_cast<size_t>(put);
        }
        return done;
    }

    bool close() override
    {
        if (fd_ < 0)
            return false;
        // fsync before the rename, so that a crash leaves either the old or
        // the complete new file, never an empty one.
        bool ok = !failed_ && ::fsync(fd_) == 0;
        ok = (::close(fd_) == 0) && ok;
        fd_ = -1;
        if (ok && ::rename(temporary_.c_str(), target_.c_str()) == 0)
            return true;
        ::unlink(temporary_.c_str());
        return false;
    }

private:
    void abandon()
    {
        if (fd_ < 0)
            return;
        ::close(fd_);
        fd_ = -1;
        ::unlink(temporary_.c_str());
    }

    int fd_;
    bool failed_ = false;
    zy::string temporary_;
    zy::string target_;
};

std::unique_ptr<File> openForReading(const zy::string& path)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<ReadFile>(fd);
}

// The file a write to `path` replaces: the target of a symbolic link (so the
// link stays and the file it names gets the new bytes), else `path` itself.
zy::string replacedFile(const zy::string& path)
{
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return path;
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved)
        return path; // a dangling link is replaced like a missing file
    zy::string target = resolved;
    std::free(resolved);
    return target;
}

std::unique_ptr<File> openForWriting(const zy::string& requested)
{
    if (requested.empty() || requested.back() == '/')
        return nullptr;
    const zy::string path = replacedFile(requested);
    mode_t mode = 0666 & ~currentUmask();
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode))
            return nullptr;
        mode = info.st_mode & 07777; // keep the permissions of the file we replace
    }
    auto [directory, name] = splitDirectory(path);
    // A hidden name beside the target; long names are shortened so that the
    // temporary name stays within the file system's limit.
    zy::string pattern = (directory == "/" ? zy::string() : directory) + "/." +
                         name.substr(0, kMaxTemporaryStem) + ".XXXXXX";
    std::vector<char> temporary(pattern.begin(), pattern.end());
    temporary.push_back('\0');
    int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    if (::fchmod(fd, mode) != 0) {
        ::close(fd);
        ::unlink(temporary.data());
        return nullptr;
    }
    return std::make_unique<WriteFile>(fd, zy::string(temporary.data()), path);
}

} // namespace

std::unique_ptr<File> open(const zy::string& path, Mode mode)
{
    if (path.find('\0') != zy::string::npos)
        return nullptr;
    return mode == Mode::Read ? openForReading(path) : openForWriting(path);
}

zy::string normalizePath(std::string_view path)
{
    const bool absolute = !path.empty() && isSeparator(path.front());
    std::vector<std::string_view> segments;
    size_t leadingUps = 0; // ".." kept at the start of a relative path
    size_t pos = 0;
    while (pos <= path.size()) {
        size_t end = pos;
        while (end < path.size() && !isSeparator(path[end]))
            ++end;
        std::string_view segment = path.substr(pos, end - pos);
        if (segment == "..") {
            if (!segments.empty())
                segments.pop_back();
            else if (!absolute)
                ++leadingUps;
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        pos = end + 1;
    }
    zy::string out = absolute ? "/" : "";
    for (size_t i = 0; i < leadingUps; ++i)
        out += i ? "/.." : "..";
    for (std::string_view segment : segments) {
        if (!out.empty() && out.back() != '/')
            out += '/';
        out += segment;
    }
    return out.empty() ? zy::string(".") : out;
}

zy::string absolutePath(std::string_view path)
{
    if (!path.empty() && isSeparator(path.front()))
        return normalizePath(path);
    zy::string base;
    std::vector<char> buffer(4096);
    while (!::getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE)
            return normalizePath(zy::string("/") + zy::string(path));
        buffer.resize(buffer.size() * 2);
    }
    base = buffer.data();
    return normalizePath(base + "/" + zy::string(path));
}

bool isPathUnder(std::string_view path, std::string_view root)
{
    const zy::string p = absolutePath(path);
    const zy::string r = absolutePath(root);
    if (p.size() < r.size())
        return false;
    for (size_t i = 0; i < r.size(); ++i) {
        unsigned char a = static_cast<unsigned char>(p[i]);
        unsigned char b = static_cast<unsigned char>(r[i]);
        if (a < 0x80 && b < 0x80 ? std::tolower(a) != std::tolower(b) : a != b)
            return false;
    }
    // Same length, or the root ends a segment: "/a/bc" is not under "/a/b".
    return p.size() == r.size() || r.back() == '/' || p[r.size()] == '/';
}

} // namespace zy::fs
