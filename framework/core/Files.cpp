#include "core/Files.h"

#include "core/Dispatch.h"
#include "core/Exceptions.h"
#include "core/LongWork.h"
#include "core/Yield.h"

#include <QFile>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fw {

namespace {

// How much one read or write of a file moves at most: a few milliseconds'
// work, after which the windows may repaint.
constexpr std::size_t kFilePiece = 8 * 1024 * 1024;

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

[[noreturn]] void RaiseIO(int err, const std::string& what, const std::string& path) {
    throw IOException(what + " " + Quoted(path) + ": " + std::strerror(err) + " (error " + std::to_string(err) + ").",
                      err);
}

// A NUL would cut the path short in every system call.
bool HasNul(const std::string& path) { return path.find('\0') != std::string::npos; }

// Opens without waiting for the other end of a FIFO, then makes the
// descriptor blocking again for the reads and writes.
int OpenPath(const std::string& path, int flags, mode_t mode = 0) {
    if (HasNul(path)) {
        errno = EINVAL;
        return -1;
    }
    int fd;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, mode);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return -1;
    const int fl = ::fcntl(fd, F_GETFL);
    if (fl >= 0) ::fcntl(fd, F_SETFL, fl & ~O_NONBLOCK);
    return fd;
}

// Closes and returns 0, or the errno of a failed close. On Linux the
// descriptor is gone even when close reports EINTR, so that is no failure.
int CloseFd(int fd) {
    if (::close(fd) == 0 || errno == EINTR) return 0;
    return errno;
}

std::string& DocumentsOverride() {
    static std::string path;
    return path;
}

}  // namespace

// ---- FolderItem ----------------------------------------------------------------

FolderItem::FolderItem(std::string nativePath) : path_(std::move(nativePath)) {
    while (path_.size() > 1 && path_.back() == '/') path_.pop_back();
}

String FolderItem::Name() const {
    if (path_ == "/") return "/";
    const auto slash = path_.rfind('/');
    return String(slash == std::string::npos ? std::string_view(path_) : std::string_view(path_).substr(slash + 1));
}

Ref<FolderItem> FolderItem::Child(const String& name) const {
    const std::string n = name.ToUtf8();
    if (n.empty() || n == "." || n == ".." || n.find('/') != std::string::npos || HasNul(n))
        throw IOException("\"" + n + "\" is not a valid name for an item in the folder " + Quoted(path_) + ".", EINVAL);
    return New<FolderItem>(path_ == "/" ? "/" + n : path_ + "/" + n);
}

Ref<FolderItem> FolderItem::Parent() const {
    const auto slash = path_.rfind('/');
    if (path_ == "/" || slash == std::string::npos) return nullptr;
    return New<FolderItem>(slash == 0 ? std::string("/") : path_.substr(0, slash));
}

bool FolderItem::Exists() const {
    struct stat st;
    return !HasNul(path_) && ::stat(path_.c_str(), &st) == 0;
}

bool FolderItem::Directory() const {
    struct stat st;
    return !HasNul(path_) && ::stat(path_.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void FolderItem::CreateAsFolder() {
    if (HasNul(path_)) throw IOException("The folder name " + path_ + " is not valid.", EINVAL);
    std::string partial;
    std::size_t at = 0;
    while (at != std::string::npos) {
        at = path_.find('/', at + 1);
        partial = path_.substr(0, at);
        if (partial.empty()) continue;
        struct stat st;
        if (::stat(partial.c_str(), &st) == 0) {
            if (!S_ISDIR(st.st_mode))
                throw IOException("The folder " + path_ + " cannot be made: " + partial + " is not a folder.", ENOTDIR);
            continue;
        }
        if (::mkdir(partial.c_str(), 0777) != 0 && errno != EEXIST) {
            const int e = errno;
            lastError_ = e;
            throw IOException("The folder " + partial + " cannot be made: " + std::strerror(e) + ".", e);
        }
    }
    lastError_ = 0;
}

bool FolderItem::Delete() {
    if (HasNul(path_)) {
        lastError_ = EINVAL;
        return false;
    }
    struct stat st;
    int rc;
    if (::lstat(path_.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) rc = ::rmdir(path_.c_str());
    else rc = ::unlink(path_.c_str());
    lastError_ = rc == 0 ? 0 : errno;
    return rc == 0;
}

Ref<TextOutputStream> FolderItem::CreateTextFile() { return TextOutputStream::Create(*this); }

// ---- special folders and volumes ---------------------------------------------

namespace SpecialFolder {

Ref<FolderItem> Documents() {
    if (!DocumentsOverride().empty()) return New<FolderItem>(DocumentsOverride());
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (docs.isEmpty()) return nullptr;
    return New<FolderItem>(QFile::encodeName(docs).toStdString());
}

void OverrideDocuments(const std::string& nativePath) { DocumentsOverride() = nativePath; }

}  // namespace SpecialFolder

Ref<FolderItem> Volume(int32_t index) {
    if (index != 0) return nullptr;
    return New<FolderItem>("/");
}

int32_t VolumeCount() { return 1; }

// ---- TextInputStream -------------------------------------------------------------

TextInputStream::TextInputStream(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}

TextInputStream::~TextInputStream() {
    // Nothing was written, so a failing close loses nothing.
    if (fd_ >= 0) CloseFd(fd_);
}

Ref<TextInputStream> TextInputStream::Open(const Ref<FolderItem>& item) {
    if (!item) throw NilObjectException("TextInputStream.Open was given a nil folder item.");
    const std::string& path = item->NativePath();
    const int fd = OpenPath(path, O_RDONLY);
    if (fd < 0) {
        const int err = errno;
        item->SetLastErrorCode(err);
        RaiseIO(err, "Cannot open the file", path);
    }
    struct stat st;
    int err = 0;
    if (::fstat(fd, &st) != 0) err = errno;
    else if (S_ISDIR(st.st_mode)) err = EISDIR;
    // A device or pipe may never end (/dev/zero); a text file is a regular
    // file.
    else if (!S_ISREG(st.st_mode)) err = EINVAL;
    if (err != 0) {
        CloseFd(fd);
        item->SetLastErrorCode(err);
        if (err == EINVAL) throw IOException("Cannot open " + Quoted(path) + " for reading: it is not a regular file.", err);
        RaiseIO(err, "Cannot open the file", path);
    }
    item->SetLastErrorCode(0);
    return New<TextInputStream>(fd, path);
}

String TextInputStream::ReadAll() {
    if (fd_ < 0) {
        lastError_ = EBADF;
        throw IOException("Cannot read the file " + Quoted(path_) + ": the stream is closed.", EBADF);
    }
    // The bytes go into a buffer that is neither zero-filled first nor
    // grown to twice the file to see its end: a large file is read once.
    struct FreeBytes {
        void operator()(char* p) const { std::free(p); }
    };
    std::unique_ptr<char, FreeBytes> buffer;
    std::size_t size = 0, room = 0;
    const auto makeRoom = [&](std::size_t want) {
        // The first buffer of a large file comes in whole large pages.
        auto* p = static_cast<char*>(buffer ? std::realloc(buffer.get(), want) : AllocateBuffer(want));
        if (!p) throw std::bad_alloc();
        (void)buffer.release();
        buffer.reset(p);
        room = want;
    };
    try {
        struct stat st;
        std::size_t first = 64 * 1024;
        if (::fstat(fd_, &st) == 0 && st.st_size > 0) {
            const off_t pos = ::lseek(fd_, 0, SEEK_CUR);
            const off_t left = st.st_size - (pos > 0 ? pos : 0);
            // One read for the whole file, and one more to see its end.
            if (left > 0) first = std::max(first, static_cast<std::size_t>(left) + 1);
        }
        if (first > kLongFileBytes) LongWorkAhead();
        makeRoom(first);
        for (bool firstPiece = true;; firstPiece = false) {
            if (size == room) makeRoom(room + std::max<std::size_t>(room / 2, 64 * 1024));
            // In pieces, so that the windows repaint and the wait cursor
            // shows while a large file comes in.
            if (!firstPiece) RunYieldHook();
            const ssize_t n = ::read(fd_, buffer.get() + size, std::min(room - size, kFilePiece));
            if (n < 0) {
                if (errno == EINTR) continue;
                lastError_ = errno;
                RaiseIO(lastError_, "Cannot read the file", path_);
            }
            if (n == 0) break;
            size += static_cast<std::size_t>(n);
        }
        atEnd_ = true;
        lastError_ = 0;
        DecodedText decoded = DecodeText(std::string_view(buffer.get(), size));
        encoding_ = decoded.encoding;
        return std::move(decoded.text);
    } catch (const std::bad_alloc&) {
        lastError_ = ENOMEM;
        throw IOException("Cannot read the file " + Quoted(path_) + ": it is too large to hold in memory.", ENOMEM);
    }
}

void TextInputStream::Close() {
    if (fd_ < 0) return;
    CloseFd(fd_);
    fd_ = -1;
}

// ---- TextOutputStream ------------------------------------------------------------

namespace {

// A name for the new file beside the target, unlikely to be taken; the
// caller creates it exclusively and tries again when it is.
std::string TempSibling(const std::string& target) {
    static unsigned counter = 0;
    const auto slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    // Room for the dot and the suffix within the longest name allowed.
    std::string base = target.substr(slash == std::string::npos ? 0 : slash + 1).substr(0, 200);
    const auto stamp = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%06llx", (stamp ^ (static_cast<unsigned long long>(::getpid()) << 20) ^
                                                    (static_cast<unsigned long long>(++counter) * 0x9E3779B1u)) &
                                                       0xFFFFFFull);
    return folder + "." + base + suffix;
}

// Best effort: a folder that cannot be synced still holds the renamed file.
void SyncFolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

TextOutputStream::TextOutputStream(int fd, std::string target, std::string temp)
    : fd_(fd), path_(std::move(target)), temp_(std::move(temp)), unwinding_(std::uncaught_exceptions()) {}

TextOutputStream::~TextOutputStream() {
    if (fd_ < 0) return;
    // Cut short by an exception: what was written is not the whole text,
    // and the old file must stay.
    if (std::uncaught_exceptions() > unwinding_) {
        Discard();
        return;
    }
    try {
        Close();
    } catch (const IOException& e) {
        ReportUnhandledException(e);
    }
}

Ref<TextOutputStream> TextOutputStream::Create(const Ref<FolderItem>& item) {
    if (!item) throw NilObjectException("TextOutputStream.Create was given a nil folder item.");
    return Create(*item);
}

Ref<TextOutputStream> TextOutputStream::Create(FolderItem& item) {
    std::string target = item.NativePath();
    const auto fail = [&](int err) {
        item.SetLastErrorCode(err);
        RaiseIO(err, "Cannot create the file", item.NativePath());
    };
    if (HasNul(target)) fail(EINVAL);
    // A link is followed: the file it names is the one replaced.
    struct stat st;
    if (::lstat(target.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = ::realpath(target.c_str(), nullptr)) {
            target = real;
            std::free(real);
        }
    }
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (!exists && errno != ENOENT) fail(errno);
    if (exists && S_ISDIR(st.st_mode)) fail(EISDIR);
    // A file the user may not write stays as it is, although its folder
    // would let a new file take its place.
    if (exists && ::access(target.c_str(), W_OK) != 0) fail(errno);

    if (exists && !S_ISREG(st.st_mode)) {
        // A device or a pipe cannot be replaced by a file.
        const int fd = OpenPath(target, O_WRONLY | O_TRUNC);
        if (fd < 0) fail(errno);
        item.SetLastErrorCode(0);
        return New<TextOutputStream>(fd, target, std::string());
    }

    std::string temp;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temp = TempSibling(target);
        // 0666: the umask gives a new file its default permissions.
        fd = OpenPath(temp, O_WRONLY | O_CREAT | O_EXCL, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) fail(errno);
    if (exists) {
        // The replacement keeps the old file's permissions and, where
        // allowed, its owner.
        [[maybe_unused]] const int owner = ::fchown(fd, st.st_uid, st.st_gid);
        if (::fchmod(fd, st.st_mode & 07777) != 0) {
            const int err = errno;
            CloseFd(fd);
            ::unlink(temp.c_str());
            fail(err);
        }
    }
    item.SetLastErrorCode(0);
    return New<TextOutputStream>(fd, target, std::move(temp));
}

void TextOutputStream::Discard() {
    if (fd_ >= 0) CloseFd(fd_);
    fd_ = -1;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
}

void TextOutputStream::Fail(int err, const std::string& what) {
    lastError_ = err;
    failed_ = true;
    Discard();
    RaiseIO(err, what, path_);
}

void TextOutputStream::WriteBytes(std::string_view bytes) {
    // After a failed write the file is gone: every later write fails alike.
    if (failed_) RaiseIO(lastError_, "Cannot write to the file", path_);
    if (fd_ < 0) {
        lastError_ = EBADF;
        throw IOException("Cannot write to the file " + Quoted(path_) + ": the stream is closed.", EBADF);
    }
    if (bytes.size() >= kLongFileBytes) LongWorkAhead();
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        // In pieces, as when reading.
        if (p != bytes.data()) RunYieldHook();
        const ssize_t n = ::write(fd_, p, std::min(left, kFilePiece));
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail(errno, "Cannot write to the file");
        }
        // No progress and no error: the device takes nothing more.
        if (n == 0) Fail(EIO, "Cannot write to the file");
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    lastError_ = 0;
}

void TextOutputStream::Write(const String& text) { WriteBytes(text.ToUtf8()); }

void TextOutputStream::WriteLine(const String& text) {
    std::string bytes;
    EncodeUtf8Into(text, bytes);
    EncodeUtf8Into(delimiter_, bytes);
    WriteBytes(bytes);
}

void TextOutputStream::Close() {
    if (failed_) {
        failed_ = false;
        RaiseIO(lastError_, "Cannot save the file", path_);
    }
    if (fd_ < 0) return;
    if (temp_.empty()) {
        const int err = CloseFd(fd_);
        fd_ = -1;
        lastError_ = err;
        if (err != 0) RaiseIO(err, "Cannot close the file", path_);
        return;
    }
    // On disk before it takes the target's place, or a crash could leave
    // an empty file under the old name.
    int err = 0;
    while (::fsync(fd_) != 0) {
        if (errno == EINTR) continue;
        err = errno;
        break;
    }
    if (err != 0) Fail(err, "Cannot write to the file");
    err = CloseFd(fd_);
    fd_ = -1;
    if (err != 0) Fail(err, "Cannot close the file");
    if (::rename(temp_.c_str(), path_.c_str()) != 0) Fail(errno, "Cannot replace the file");
    temp_.clear();
    SyncFolderOf(path_);
    lastError_ = 0;
}

}  // namespace fw
