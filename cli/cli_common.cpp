#include "cli_common.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "calendar_time.h"

namespace moonbite::cli {

std::string shown(std::string_view text) {
    constexpr std::size_t kMaxShown = 200;
    std::string s;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        // Cut only before the first byte of a UTF-8 character.
        if (s.size() >= kMaxShown && (c & 0xC0) != 0x80) {
            s += "...";
            break;
        }
        if (c == 0) {
            s += "\\0";
        } else if (c < 0x20 || c == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", c);
            s += buf;
        } else {
            s += static_cast<char>(c);
        }
    }
    return s;
}

std::string jsonText(const Json& j, int indent) {
    // Texts are ASCII apart from a locale's designators; replace anything invalid.
    return j.dump(indent, ' ', false, Json::error_handler_t::replace);
}

std::string csvField(const Json& v) {
    std::string s = v.is_string() ? v.get<std::string>() : v.dump();
    if (s.find_first_of(",\"\r\n") == std::string::npos && (s.empty() || s.front() != ' '))
        return s;
    std::string quoted = "\"";
    for (char c : s) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

// Writing a file replaces its target, so the target must be a new path or a
// regular file: never a device, pipe, socket or folder (nor a link to one).
// Plain stat, before anything is drawn.
void checkOutputTarget(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) {
        const int e = errno;
        if (e == ENOENT) return;  // a new file; a missing folder fails when writing
        throw InputError("cannot write " + shown(path) + ": " + std::strerror(e));
    }
    const bool link = S_ISLNK(st.st_mode);
    if (link && stat(path.c_str(), &st) != 0) {
        const int e = errno;
        std::string what =
            std::string("a symbolic link that cannot be followed (") + std::strerror(e) + ")";
        if (e == ENOENT) what = "a symbolic link to nothing";
        if (e == ELOOP) what = "a symbolic link in a loop";
        throw InputError("will not write " + shown(path) + ": it is " + what);
    }
    if (S_ISREG(st.st_mode)) return;
    const char* kind = "a special file";
    if (S_ISDIR(st.st_mode)) kind = "a folder";
    if (S_ISFIFO(st.st_mode)) kind = "a named pipe (FIFO)";
    if (S_ISSOCK(st.st_mode)) kind = "a socket";
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) kind = "a device";
    throw InputError("will not write " + shown(path) + ": it is " +
                     (link ? "a symbolic link to " : "") + kind + ", not a regular file");
}

void checkOutputFolder(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        const int e = errno;
        throw InputError("cannot write " + shown(path) + ": " + std::strerror(e));
    }
}

WholeFile::WholeFile(const std::string& path) : path_(path), target_(path) {
    // Through a link, the file it points at is replaced.
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char* real = realpath(path.c_str(), nullptr);
        if (real == nullptr) fail("the link cannot be followed", errno);
        target_ = real;
        std::free(real);
    }
    const bool existed = stat(target_.c_str(), &st) == 0;
    temp_ = target_ + ".XXXXXX";
    fd_ = mkstemp(temp_.data());
    if (fd_ < 0) {
        temp_.clear();
        fail("cannot make a temporary file beside it", errno);
    }
    // The new file keeps the old one's permissions, or takes the usual ones.
    mode_t mode = 0666;
    if (existed) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode &= ~mask;
    }
    if (fchmod(fd_, mode) != 0) fail("cannot set its permissions", errno);
}

WholeFile::WholeFile(WholeFile&& other) noexcept
    : path_(std::move(other.path_)),
      target_(std::move(other.target_)),
      temp_(std::move(other.temp_)),
      fd_(other.fd_) {
    other.fd_ = -1;
    other.temp_.clear();
}

WholeFile::~WholeFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!temp_.empty()) ::unlink(temp_.c_str());
}

void WholeFile::fail(const std::string& what, int error) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
    throw WriteError("cannot write " + shown(path_) + ": " + what +
                     (error != 0 ? std::string(" (") + std::strerror(error) + ")" : ""));
}

void WholeFile::write(std::string_view data) {
    if (fd_ < 0) fail("it was abandoned", 0);
    while (!data.empty()) {
        const ssize_t n = ::write(fd_, data.data(), data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) fail("the disk refused the data", n < 0 ? errno : EIO);
        data.remove_prefix(static_cast<std::size_t>(n));
    }
}

void WholeFile::commit() {
    if (fd_ < 0) fail("it was abandoned", 0);
    if (::fsync(fd_) != 0) fail("the data did not reach the disk", errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) fail("the data did not reach the disk", errno);
    if (std::rename(temp_.c_str(), target_.c_str()) != 0)
        fail("cannot put the new file in place", errno);
    temp_.clear();
}

SolunarState stateFor(double latitude, double longitude, double zone, Date today) {
    SolunarState s;
    s.today = today;
    s.latitude = latitude;
    s.longitude = longitude;
    numberText(s.timeZoneEntered, zone);
    numberText(s.timeZoneForComputations, -zone);
    return s;
}

}  // namespace moonbite::cli
