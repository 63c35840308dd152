#include "Files.h"

#include "Dispatch.h"
#include "Exceptions.h"

#include <QFile>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fw {

namespace {

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
    std::string bytes;
    try {
        struct stat st;
        std::size_t chunk = 64 * 1024;
        if (::fstat(fd_, &st) == 0 && st.st_size > 0) {
            const off_t pos = ::lseek(fd_, 0, SEEK_CUR);
            const off_t left = st.st_size - (pos > 0 ? pos : 0);
            if (left > 0) {
                bytes.reserve(static_cast<std::size_t>(left));
                // One read for the whole file, and one more to see its end.
                chunk = std::max(chunk, static_cast<std::size_t>(left) + 1);
            }
        }
        for (;;) {
            const std::size_t old = bytes.size();
            bytes.resize(old + chunk);
            const ssize_t n = ::read(fd_, bytes.data() + old, chunk);
            if (n < 0) {
                bytes.resize(old);
                if (errno == EINTR) continue;
                lastError_ = errno;
                RaiseIO(lastError_, "Cannot read the file", path_);
            }
            bytes.resize(old + static_cast<std::size_t>(n));
            if (n == 0) break;
        }
        atEnd_ = true;
        lastError_ = 0;
        return String(bytes);
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

TextOutputStream::TextOutputStream(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}

TextOutputStream::~TextOutputStream() {
    if (fd_ < 0) return;
    const int err = CloseFd(fd_);
    fd_ = -1;
    if (err != 0) {
        try {
            RaiseIO(err, "Cannot close the file", path_);
        } catch (const IOException& e) {
            ReportUnhandledException(e);
        }
    }
}

Ref<TextOutputStream> TextOutputStream::Create(const Ref<FolderItem>& item) {
    if (!item) throw NilObjectException("TextOutputStream.Create was given a nil folder item.");
    return Create(*item);
}

Ref<TextOutputStream> TextOutputStream::Create(FolderItem& item) {
    const std::string& path = item.NativePath();
    const int fd = OpenPath(path, O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0) {
        const int err = errno;
        item.SetLastErrorCode(err);
        RaiseIO(err, "Cannot create the file", path);
    }
    item.SetLastErrorCode(0);
    return New<TextOutputStream>(fd, path);
}

void TextOutputStream::WriteBytes(const std::string& bytes) {
    if (fd_ < 0) {
        lastError_ = EBADF;
        throw IOException("Cannot write to the file " + Quoted(path_) + ": the stream is closed.", EBADF);
    }
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd_, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            lastError_ = errno;
            RaiseIO(lastError_, "Cannot write to the file", path_);
        }
        if (n == 0) {
            // No progress and no error: the device takes nothing more.
            lastError_ = EIO;
            RaiseIO(lastError_, "Cannot write to the file", path_);
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    lastError_ = 0;
}

void TextOutputStream::Write(const String& text) { WriteBytes(text.ToUtf8()); }

void TextOutputStream::WriteLine(const String& text) {
    std::string bytes;
    EncodeUtf8Into(text.Data(), text.Size(), bytes);
    EncodeUtf8Into(delimiter_.Data(), delimiter_.Size(), bytes);
    WriteBytes(bytes);
}

void TextOutputStream::Close() {
    if (fd_ < 0) return;
    const int err = CloseFd(fd_);
    fd_ = -1;
    lastError_ = err;
    if (err != 0) RaiseIO(err, "Cannot close the file", path_);
}

}  // namespace fw
