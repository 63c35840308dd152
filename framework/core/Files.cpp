#include "core/Files.h"

#include "core/Dispatch.h"
#include "core/Exceptions.h"
#include "core/LongWork.h"
#include "core/Yield.h"

#include <QFile>
#include <QStandardPaths>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <vector>

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

std::uint64_t FolderItem::Length() const {
    struct stat st;
    if (HasNul(path_) || ::stat(path_.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
    return static_cast<std::uint64_t>(st.st_size);
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

Ref<TextOutputStream> FolderItem::CreateTextFile() { return TextOutputStream::Replace(*this); }

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
        DecodedText decoded;
        try {
            decoded = DecodeText(std::string_view(buffer.get(), size));
        } catch (const RuntimeException&) {
            // The text's buffer was refused (String::Grow): too large.
            throw std::bad_alloc();
        }
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

// Creates the new file beside target; its descriptor, or -1 with errno set.
int CreateSibling(const std::string& target, std::string& temp) {
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temp = TempSibling(target);
        // 0666: the umask gives a new file its default permissions.
        fd = OpenPath(temp, O_WRONLY | O_CREAT | O_EXCL, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    return fd;
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

// The path a chain of links ends at, whether or not a file is there (a
// dangling link names the file to make); 0, or ELOOP for a chain that does
// not end. A path that cannot be looked at is left for the caller's stat.
int FollowLinks(std::string path, std::string& end) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            end = std::move(path);
            return 0;
        }
        std::string to(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
        ssize_t n;
        while ((n = ::readlink(path.c_str(), to.data(), to.size())) >= static_cast<ssize_t>(to.size()))
            to.resize(to.size() * 2);
        if (n <= 0) {
            end = std::move(path);
            return 0;
        }
        to.resize(static_cast<std::size_t>(n));
        if (to[0] != '/') {
            const auto slash = path.rfind('/');
            if (slash != std::string::npos) to = path.substr(0, slash + 1) + to;
        }
        path = std::move(to);
    }
    return ELOOP;
}

// Gives the new file the mode, owner and group of the file it replaces;
// false when they cannot all be kept.
bool TakeOverAttributes(int fd, const struct stat& old) {
    struct stat now;
    if (::fstat(fd, &now) != 0) return false;
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) && ::fchown(fd, old.st_uid, old.st_gid) != 0)
        return false;
    return ::fchmod(fd, old.st_mode & 07777) == 0;
}

// Writes all of bytes at offset; 0 or the errno.
int WriteAllAt(int fd, const char* p, std::size_t left, off_t at) {
    while (left > 0) {
        const ssize_t n = ::pwrite(fd, p, left, at);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return EIO;
        p += n;
        at += n;
        left -= static_cast<std::size_t>(n);
    }
    return 0;
}

int SyncFd(int fd) {
    while (::fsync(fd) != 0) {
        if (errno == EINTR) continue;
        // A file system without sync has nothing to flush.
        if (errno == EINVAL || errno == EROFS) return 0;
        return errno;
    }
    return 0;
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
    const auto fail = [&](int err) {
        item.SetLastErrorCode(err);
        RaiseIO(err, "Cannot create the file", item.NativePath());
    };
    if (HasNul(item.NativePath())) fail(EINVAL);
    // A link is followed: the file it names is the one written, and made
    // when it does not exist yet.
    std::string target;
    if (const int err = FollowLinks(item.NativePath(), target)) fail(err);
    struct stat st;
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
    // A new file would take only this name from the file its other links
    // share.
    if (exists && st.st_nlink > 1) return OpenInPlace(item, target);

    std::string temp;
    const int fd = CreateSibling(target, temp);
    if (fd < 0) {
        // The folder takes no new file, but the file itself may be written.
        if (exists) return OpenInPlace(item, target);
        fail(errno);
    }
    if (exists && !TakeOverAttributes(fd, st)) {
        // Another user's file, or a group the writer is not in: a new file
        // would change its owner, so the file itself is written.
        CloseFd(fd);
        ::unlink(temp.c_str());
        return OpenInPlace(item, target);
    }
    item.SetLastErrorCode(0);
    return New<TextOutputStream>(fd, target, std::move(temp));
}

Ref<TextOutputStream> TextOutputStream::OpenInPlace(FolderItem& item, const std::string& target) {
    const auto fail = [&](int err) {
        item.SetLastErrorCode(err);
        RaiseIO(err, "Cannot create the file", item.NativePath());
    };
    // Opened without O_CREAT, which a sticky folder refuses for another
    // user's file, and without O_TRUNC: the old bytes are cut only once the
    // new text is all there.
    bool readable = true;
    int fd = OpenPath(target, O_RDWR);
    if (fd < 0 && errno == EACCES) {
        readable = false;
        fd = OpenPath(target, O_WRONLY);
    }
    if (fd < 0) fail(errno);
    std::string old;
    if (readable) {
        try {
            struct stat st;
            if (::fstat(fd, &st) == 0 && st.st_size > 0) old.reserve(static_cast<std::size_t>(st.st_size));
            char chunk[64 * 1024];
            for (;;) {
                const ssize_t n = ::pread(fd, chunk, sizeof chunk, static_cast<off_t>(old.size()));
                if (n < 0 && errno == EINTR) continue;
                if (n < 0) {
                    const int err = errno;
                    CloseFd(fd);
                    fail(err);
                }
                if (n == 0) break;
                old.append(chunk, static_cast<std::size_t>(n));
            }
        } catch (const std::bad_alloc&) {
            CloseFd(fd);
            fail(ENOMEM);
        }
    }
    item.SetLastErrorCode(0);
    auto stream = New<TextOutputStream>(fd, target, std::string());
    stream->regularInPlace_ = true;
    stream->haveOldBytes_ = readable;
    stream->oldBytes_ = std::move(old);
    return stream;
}

Ref<TextOutputStream> TextOutputStream::Replace(FolderItem& item) {
    const std::string& path = item.NativePath();
    const auto fail = [&](int err) {
        item.SetLastErrorCode(err);
        RaiseIO(err, "Cannot create the file", path);
    };
    if (HasNul(path)) fail(EINVAL);
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) fail(EISDIR);
    std::string temp;
    const int fd = CreateSibling(path, temp);
    if (fd < 0) fail(errno);
    item.SetLastErrorCode(0);
    return New<TextOutputStream>(fd, path, std::move(temp));
}

std::uint64_t TextOutputStream::BytesKeptBy(const FolderItem& item) {
    std::string target;
    struct stat st;
    if (HasNul(item.NativePath()) || FollowLinks(item.NativePath(), target) != 0 || ::stat(target.c_str(), &st) != 0 ||
        !S_ISREG(st.st_mode))
        return 0;
    const auto slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    const bool mayAdd = ::access(folder.c_str(), W_OK | X_OK) == 0;
    // A new file keeps the owner and group only where the writer may give
    // them: root, or the writer's own file in one of the writer's groups.
    bool keepsOwner = ::geteuid() == 0;
    if (!keepsOwner && st.st_uid == ::geteuid()) {
        keepsOwner = st.st_gid == ::getegid();
        std::vector<gid_t> groups(static_cast<std::size_t>(std::max(0, ::getgroups(0, nullptr))));
        if (!groups.empty() && ::getgroups(static_cast<int>(groups.size()), groups.data()) >= 0)
            keepsOwner = keepsOwner || std::find(groups.begin(), groups.end(), st.st_gid) != groups.end();
    }
    const bool inPlace = st.st_nlink > 1 || !mayAdd || !keepsOwner;
    return inPlace ? static_cast<std::uint64_t>(st.st_size) : 0;
}

bool TextOutputStream::Restore() {
    if (!touched_) return true;
    if (!haveOldBytes_ || fd_ < 0) return false;
    if (WriteAllAt(fd_, oldBytes_.data(), oldBytes_.size(), 0) != 0) return false;
    if (::ftruncate(fd_, static_cast<off_t>(oldBytes_.size())) != 0) return false;
    if (SyncFd(fd_) != 0) return false;
    touched_ = false;
    written_ = 0;
    return true;
}

void TextOutputStream::Discard() {
    if (regularInPlace_) left_ = Restore() ? Left::OldContent : Left::PartOfNewText;
    else if (temp_.empty() && touched_) left_ = Left::Unknown;
    if (fd_ >= 0) CloseFd(fd_);
    fd_ = -1;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
    std::string().swap(oldBytes_);
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
        touched_ = true;
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
        written_ += static_cast<std::size_t>(n);
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
    if (regularInPlace_) {
        // The old bytes past the new text's end go only now, with the
        // whole new text in place; a failure here puts them all back.
        touched_ = true;
        if (::ftruncate(fd_, static_cast<off_t>(written_)) != 0) Fail(errno, "Cannot write to the file");
        if (const int err = SyncFd(fd_)) Fail(err, "Cannot write to the file");
        std::string().swap(oldBytes_);
        haveOldBytes_ = false;
        const int err = CloseFd(fd_);
        fd_ = -1;
        lastError_ = err;
        if (err != 0) {
            left_ = Left::PartOfNewText;
            RaiseIO(err, "Cannot close the file", path_);
        }
        return;
    }
    if (temp_.empty()) {
        const int err = CloseFd(fd_);
        fd_ = -1;
        lastError_ = err;
        if (err != 0) {
            left_ = Left::Unknown;
            RaiseIO(err, "Cannot close the file", path_);
        }
        return;
    }
    // On disk before it takes the target's place, or a crash could leave
    // an empty file under the old name.
    if (const int err = SyncFd(fd_)) Fail(err, "Cannot write to the file");
    const int err = CloseFd(fd_);
    fd_ = -1;
    if (err != 0) Fail(err, "Cannot close the file");
    if (::rename(temp_.c_str(), path_.c_str()) != 0) Fail(errno, "Cannot replace the file");
    temp_.clear();
    SyncFolderOf(path_);
    lastError_ = 0;
}

// ---- plain words -----------------------------------------------------------------

std::string FileErrorInWords(int32_t errorNumber, bool writing) {
    switch (errorNumber) {
        case ENOENT: return writing ? "the folder it should go in does not exist" : "it does not exist";
        case EACCES:
        case EPERM: return writing ? "you do not have permission to write it there" : "you do not have permission to read it";
        case ENOSPC: return "there is no space left on the device";
        case EDQUOT: return "your disk quota is used up";
        case EFBIG: return "the file would be larger than the system allows";
        case EROFS: return "the disk can only be read, not written";
        case EISDIR: return "it is a folder";
        case ENOTDIR: return "a part of its path is not a folder";
        case ENAMETOOLONG: return "its name or path is too long";
        case ELOOP: return "its symbolic links lead round in a circle";
        case EINVAL: return writing ? "its name is not valid" : "it is not an ordinary file";
        case ENOMEM: return "it is too large to hold in memory";
        case EIO: return "the device reported an error";
        case ETXTBSY: return "it is a program that is running";
        case EBUSY: return "it is in use";
        case EMFILE:
        case ENFILE: return "too many files are open";
        case ENXIO:
        case ENODEV: return "the device is not there";
        default: break;
    }
    std::string text = std::strerror(errorNumber);
    if (!text.empty()) text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

}  // namespace fw
