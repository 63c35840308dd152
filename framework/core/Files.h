// Files: folder items, the special folders, volumes and text streams.
//
// A FolderItem is only a path; it need not exist. Streams read and write
// UTF-8 and change nothing else: line ends, a byte-order mark and NUL
// characters pass through as they are. Reading never fails on bad UTF-8 (a
// byte outside a valid sequence becomes the Latin-1 character of that byte).
// Every failure to open, read, create, write or close raises IOException
// with the OS error number and a message naming the file and the problem.
#pragma once

#include "Object.h"
#include "String.h"

#include <cstdint>
#include <string>

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
    // Deletes the file (or empty folder). Never raises: the outcome is in
    // the result and in LastErrorCode (0 on success, else the errno).
    bool Delete();
    // Makes this folder, and any missing folder above it; an existing folder
    // is fine. Raises IOException with the OS error number otherwise.
    void CreateAsFolder();
    // A new, empty file of this name (an existing one is emptied), open for
    // writing.
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

    // All the remaining content as one text.
    String ReadAll();
    // True once ReadAll has reached the end of the file.
    bool AtEnd() const { return atEnd_; }
    void Close();
    int32_t LastErrorCode() const { return lastError_; }

    TextInputStream(int fd, std::string path);

private:
    int fd_;
    std::string path_;
    bool atEnd_ = false;
    int32_t lastError_ = 0;
};

class TextOutputStream : public Object {
public:
    // A stream on a new, empty file of that name; an existing file is
    // emptied. Nil item: NilObjectException; cannot create: IOException.
    static Ref<TextOutputStream> Create(const Ref<FolderItem>& item);
    static Ref<TextOutputStream> Create(FolderItem& item);
    // Closes the file if Close was not called. A failure there cannot be
    // raised from a destructor, so it goes to the unhandled-exception report
    // rather than being lost.
    ~TextOutputStream() override;

    // Each call hands its bytes to the OS before it returns, so a failure is
    // raised by the call that caused it.
    void Write(const String& text);
    // The text and the line delimiter (LF).
    void WriteLine(const String& text);
    void Close();
    const String& Delimiter() const { return delimiter_; }
    int32_t LastErrorCode() const { return lastError_; }

    TextOutputStream(int fd, std::string path);

private:
    void WriteBytes(const std::string& bytes);

    int fd_;
    std::string path_;
    String delimiter_ = "\n";
    int32_t lastError_ = 0;
};

}  // namespace fw
