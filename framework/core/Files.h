// Files: folder items, the special folders, volumes and text streams.
//
// A FolderItem is only a path; it need not exist. Reading decodes the file
// as TextCodec decides (UTF-8, UTF-16 with a mark, else Windows-1252), so
// every byte has a character and nothing is lost; the stream tells which.
// Writing is UTF-8 unless the caller hands encoded bytes. Line ends and NUL
// characters pass through as they are. A written file replaces its target
// only when complete: the stream writes a new file beside it, and Close
// flushes that to disk and renames it over the target, so a failure leaves
// the old file as it was. Where that would be refused or would change what
// the writer did not ask to change (see TextOutputStream), the target is
// written in place, its old bytes kept to put back should the write fail.
// Every failure to open, read, create, write or close raises IOException
// with the OS error number and a message naming the file and the problem;
// FileErrorInWords says the same to a user.
#pragma once

#include "core/Object.h"
#include "core/String.h"
#include "core/TextCodec.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace fw {

class TextOutputStream;

class FolderItem : public Object {
public:
    // A native path; trailing slashes are dropped (except for the root).
    explicit FolderItem(std::string nativePath);

    const std::string& NativePath() const { return path_; }
    // The last part of the path; "/" for the root.
    String Name() const;
    // The item of that name directly inside this folder, whether or not it
    // exists. A name that could leave the folder ("", ".", "..", or one
    // holding "/" or NUL) raises IOException (EINVAL).
    Ref<FolderItem> Child(const String& name) const;
    // The folder holding this item; nil for the root.
    Ref<FolderItem> Parent() const;
    bool Exists() const;
    bool Directory() const;
    // The size in bytes of the file (through links); 0 for a missing item
    // or one that is not a regular file.
    std::uint64_t Length() const;
    // Deletes the file (or empty folder). Never raises: the outcome is in
    // the result and in LastErrorCode (0 on success, else the errno).
    bool Delete();
    // Makes this folder, and any missing folder above it; an existing folder
    // is fine. Raises IOException with the OS error number otherwise.
    void CreateAsFolder();
    // A stream that writes a new file in this item's place: whatever has
    // the name when the stream is closed (a file, even a read-only one, or
    // a link) is replaced by it and never written through
    // (TextOutputStream::Replace).
    Ref<TextOutputStream> CreateTextFile();

    // The errno of the last operation on this item (0 when it succeeded).
    int32_t LastErrorCode() const { return lastError_; }
    void SetLastErrorCode(int32_t e) { lastError_ = e; }

private:
    std::string path_;
    int32_t lastError_ = 0;
};

namespace SpecialFolder {
// The user's Documents folder (not created when missing); nil when the
// platform names none.
Ref<FolderItem> Documents();
// Tests point Documents elsewhere; an empty path restores the real one.
void OverrideDocuments(const std::string& nativePath);
}  // namespace SpecialFolder

// Mounted volumes as folders: volume 0 is the root of the file system; any
// other index gives nil.
Ref<FolderItem> Volume(int32_t index);
int32_t VolumeCount();

class TextInputStream : public Object {
public:
    // Opens the file for reading from its start. A nil item raises
    // NilObjectException; a file that cannot be opened (missing, a folder,
    // not permitted) IOException with the errno, also left in the item's
    // LastErrorCode.
    static Ref<TextInputStream> Open(const Ref<FolderItem>& item);
    ~TextInputStream() override;

    // All the remaining content as one text, decoded by DecodeText.
    String ReadAll();
    // How the text of ReadAll was encoded in the file (UTF-8 before it).
    TextEncoding Encoding() const { return encoding_; }
    // True once ReadAll has reached the end of the file.
    bool AtEnd() const { return atEnd_; }
    void Close();
    int32_t LastErrorCode() const { return lastError_; }

    TextInputStream(int fd, std::string path);

private:
    int fd_;
    std::string path_;
    bool atEnd_ = false;
    TextEncoding encoding_ = TextEncoding::Utf8;
    int32_t lastError_ = 0;
};

// Writes the file an item names: through a link, to the file the link names
// (a dangling link: that file is made). By default the text goes to a new
// file beside the target ("." name ".XXXXXX"), with the default permissions
// for a new file or the mode, owner and group of the file it replaces;
// Close flushes it to disk and renames it over the target. The target
// itself is written in place, as editors do, where that new file could not
// be made (a folder the writer may not add to), could not keep the
// target's owner and group, or would part the target from its other hard
// links. Such a stream first keeps the old bytes; a write that fails puts
// them back, and Close cuts the file to the new text's length. A target
// that is not a regular file (a device, a pipe) is written in place as it
// is. A failed write undoes itself at once; so does the end of a stream
// that an exception unwinds, while the plain end of the last reference
// closes (and so commits) the file.
class TextOutputStream : public Object {
public:
    // Nil item: NilObjectException. The new file cannot be made, or the
    // target is a folder or a file that may not be written: IOException,
    // the errno also in the item's LastErrorCode.
    static Ref<TextOutputStream> Create(const Ref<FolderItem>& item);
    static Ref<TextOutputStream> Create(FolderItem& item);
    // A new file that takes the item's own place on Close, with the default
    // permissions for a new file: a link there is replaced, not followed,
    // and an older file is replaced even when read-only, as deleting it and
    // making it anew would. The folder must let a file be added.
    static Ref<TextOutputStream> Replace(FolderItem& item);
    // What a stream from Create would keep in memory of the old content
    // while it writes: the file's size where it would be written in place
    // (as Create decides, seen without trying), else 0.
    static std::uint64_t BytesKeptBy(const FolderItem& item);
    // Closes the file if Close was not called. A failure there cannot be
    // raised from a destructor, so it goes to the unhandled-exception report
    // rather than being lost.
    ~TextOutputStream() override;

    // Each call hands its bytes to the OS before it returns, so a failure is
    // raised by the call that caused it.
    void Write(const String& text);
    // The text and the line delimiter (LF).
    void WriteLine(const String& text);
    // Bytes as they are: a text the caller encoded (EncodeText).
    void WriteBytes(std::string_view bytes);
    // Completes the file: flushed to disk, then in place of the target. A
    // stream whose write failed raises here too; a second Close does
    // nothing.
    void Close();
    const String& Delimiter() const { return delimiter_; }
    int32_t LastErrorCode() const { return lastError_; }
    // True when the target itself is written rather than a file beside it.
    bool WritesInPlace() const { return temp_.empty(); }

    // What a stream left in its target's place after it failed (or was cut
    // short): the old content as it was (always so for a file written
    // beside it), perhaps part of the new text (a regular file written in
    // place whose old bytes could not all be put back), or unknown (a
    // device or pipe that was written to).
    enum class Left { OldContent, PartOfNewText, Unknown };
    Left WhatIsLeft() const { return left_; }

    // target: the file to write; temp: the new file that replaces it on
    // Close, or empty to write the target in place.
    TextOutputStream(int fd, std::string target, std::string temp);

private:
    // A stream that writes the regular file target in place: keeps its old
    // bytes (when it may read them) for a failure to put back.
    static Ref<TextOutputStream> OpenInPlace(FolderItem& item, const std::string& target);
    // Closes the descriptor and removes the new file, or puts the old bytes
    // of a file written in place back.
    void Discard();
    // Puts the old bytes back in place: true when the file holds them again.
    bool Restore();
    [[noreturn]] void Fail(int err, const std::string& what);

    int fd_;
    std::string path_;
    std::string temp_;
    String delimiter_ = "\n";
    int32_t lastError_ = 0;
    bool failed_ = false;
    // A regular file written in place: its old bytes (when they could be
    // read), whether anything was written to it, and how much.
    bool regularInPlace_ = false;
    bool haveOldBytes_ = false;
    std::string oldBytes_;
    bool touched_ = false;
    std::size_t written_ = 0;
    Left left_ = Left::OldContent;
    // Exceptions in flight when the stream was made: more at its end means
    // the writer was cut short.
    int unwinding_;
};

// A file error in plain words for a user, without its number: what stood in
// the way of reading (writing false) or writing the file, as the end of a
// sentence ("there is no space left on the device").
std::string FileErrorInWords(int32_t errorNumber, bool writing);

}  // namespace fw
