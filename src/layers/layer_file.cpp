#include "layers/layer_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "link/packet.h"

namespace qvk {

namespace {

// Closes a descriptor on every path out.
class fd_guard {
public:
    explicit fd_guard(int fd) : fd_(fd) {}
    ~fd_guard() {
        if (fd_ >= 0) ::close(fd_);
    }
    fd_guard(const fd_guard&) = delete;
    fd_guard& operator=(const fd_guard&) = delete;
    int get() const { return fd_; }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

// Reads up to `want` bytes, going on after short reads and interruptions.
size_t read_all(int fd, uint8_t* to, size_t want) {
    size_t got = 0;
    while (got < want) {
        const ssize_t n = ::read(fd, to + got, want - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += size_t(n);
    }
    return got;
}

size_t write_all(int fd, const uint8_t* from, size_t size) {
    size_t put = 0;
    while (put < size) {
        const ssize_t n = ::write(fd, from + put, size - put);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        put += size_t(n);
    }
    return put;
}

} // namespace

layer_file_result load_layer_file(const std::string& path, const layer_file_format& format, uint8_t* payload) {
    fd_guard fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return layer_file_result::open_failed;
    struct stat st{};
    if (::fstat(fd.get(), &st) != 0) return layer_file_result::open_failed;
    if (!S_ISREG(st.st_mode) || size_t(st.st_size) != format.file_size()) return layer_file_result::wrong_size;
    std::vector<uint8_t> whole(format.file_size());
    if (read_all(fd.get(), whole.data(), whole.size()) != whole.size()) return layer_file_result::read_failed;
    if (packet::read_u16(whole.data()) != (format.magic & 0xFFFFu) ||
        packet::read_u16(whole.data() + 2) != (format.magic >> 16))
        return layer_file_result::bad_magic;
    std::memcpy(payload, whole.data() + 4, format.payload_size);
    return layer_file_result::ok;
}

// Writes the whole file straight into `path` (when no file can be made
// beside it).
static layer_file_result write_in_place(const std::string& path, const std::vector<uint8_t>& whole) {
    fd_guard fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (fd.get() < 0) return layer_file_result::create_failed;
    const bool written = write_all(fd.get(), whole.data(), whole.size()) == whole.size();
    const bool closed = ::close(fd.release()) == 0;
    return written && closed ? layer_file_result::ok : layer_file_result::write_failed;
}

layer_file_result save_layer_file(const std::string& path, const layer_file_format& format, const uint8_t* payload) {
    std::vector<uint8_t> whole(format.file_size());
    packet::write_u16(whole.data(), uint16_t(format.magic & 0xFFFFu));
    packet::write_u16(whole.data() + 2, uint16_t(format.magic >> 16));
    std::memcpy(whole.data() + 4, payload, format.payload_size);

    // A link is followed: the file it points to is the one replaced.
    std::string target = path;
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        target = real;
        std::free(real);
    }
    struct stat existing{};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) return layer_file_result::create_failed;

    // The new bytes go to a file of their own beside the target, which then
    // takes the target's place in one step.
    std::string temp;
    int raw = -1;
    for (unsigned attempt = 0; attempt < 100 && raw < 0; ++attempt) {
        temp = target + ".new" + std::to_string(::getpid()) + "_" + std::to_string(attempt);
        raw = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (raw < 0 && errno != EEXIST) break;
    }
    if (raw < 0) return write_in_place(target, whole);
    fd_guard fd(raw);
    if (exists) ::fchmod(fd.get(), existing.st_mode & 07777);
    const bool written = write_all(fd.get(), whole.data(), whole.size()) == whole.size() && ::fsync(fd.get()) == 0;
    const bool closed = ::close(fd.release()) == 0;
    if (!written || !closed) {
        ::unlink(temp.c_str());
        return layer_file_result::write_failed;
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        return layer_file_result::create_failed;
    }
    return layer_file_result::ok;
}

} // namespace qvk
