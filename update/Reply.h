// The update checker's reading of the update file and its texts, without
// widgets: the tag functions, the version comparison and the messages. The
// update window's handlers are built on these.
//
// The update file is plain text holding "<CurrentVersion>", "<Description>"
// and "<Free>" values; it is read as text, not as XML, with tag names matched
// without regard to letter case (as the framework's InStr does).
#pragma once

#include "core/String.h"

#include <cstdint>

namespace update {

// "<" + name + ">".
fw::String startTag(const fw::String& name);
// "</" + name + ">".
fw::String endTag(const fw::String& name);
// The text between the first opening tag of the name and the first closing
// tag after it, unchanged (blanks and line ends kept); empty when either is
// missing.
fw::String returnValue(const fw::String& reply, const fw::String& name);

// The version the reply names: the CurrentVersion value without the blanks
// and line ends around it (a file may set the value on lines of its own);
// empty when the reply names none.
fw::String CurrentVersion(const fw::String& reply);
// Whether a reply is the update file: its status is one of success (2xx)
// and it names a version. Any other reply (an error page, a redirect, a
// missing file) is a failed check.
bool IsUpdateFile(int32_t status, const fw::String& version);
// The code the communication-error message gives for a reply that is no
// update file (the table of codes is in core/Http.h).
int32_t NoUpdateFileCode();

// Whether the version text names the running version: its first three
// "."-separated fields read as numbers equal major, minor and bug in turn. A
// missing field reads as 0 and fields after the third are not read; any
// difference, lower as well as higher, is another version.
bool IsCurrentVersion(const fw::String& version, int32_t major, int32_t minor, int32_t bug);
// Whether a Free value means a free upgrade: "Yes", letter case ignored.
bool IsFreeUpgrade(const fw::String& freeValue);

// The texts the user is shown.
inline constexpr const char* kCurrentLabel = "This version is current.";
inline constexpr const char* kCurrentMessage = "You are using the current version. No update is available.";
inline constexpr const char* kUpgradeTitle = "New version available!";
inline constexpr const char* kGoToWebsite = "Go to Website";
// The communication-error message with the socket's code as decimal text.
fw::String CommunicationErrorMessage(int32_t code);
// The upgrade dialog's message: the new version, the running one (the short
// version string) and the wording of a free or a paid upgrade.
fw::String UpgradeMessage(const fw::String& version, const fw::String& runningShortVersion, bool free);

}  // namespace update
