#include "update/Reply.h"

#include "core/Http.h"

namespace update {

fw::String startTag(const fw::String& name) { return "<" + name + ">"; }

fw::String endTag(const fw::String& name) { return "</" + name + ">"; }

fw::String returnValue(const fw::String& reply, const fw::String& name) {
    const fw::String s = startTag(name);
    const fw::String e = endTag(name);
    const int32_t p = fw::InStr(0, reply, s);
    // Without an opening tag there is no value, even where a closing tag
    // stands: counting on from position 0 would cut text out of nowhere.
    if (p == 0) return fw::String();
    const int32_t a = p + fw::Len(s);
    const int32_t q = fw::InStr(a, reply, e);
    // Mid gives the empty string for a length of 0 or less: a missing
    // closing tag (q = 0) yields nothing.
    return fw::Mid(reply, a, q - a);
}

fw::String CurrentVersion(const fw::String& reply) {
    const fw::String value = returnValue(reply, "CurrentVersion");
    auto blank = [](char32_t c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    std::size_t first = 0, end = value.Size();
    while (first < end && blank(value.At(first))) ++first;
    while (end > first && blank(value.At(end - 1))) --end;
    return fw::Mid(value, static_cast<int32_t>(first + 1), static_cast<int32_t>(end - first));
}

bool IsUpdateFile(int32_t status, const fw::String& version) {
    return status >= 200 && status <= 299 && !version.IsEmpty();
}

int32_t NoUpdateFileCode() { return static_cast<int32_t>(fw::HttpError::UnusableReply); }

bool IsCurrentVersion(const fw::String& version, int32_t major, int32_t minor, int32_t bug) {
    const int32_t running[] = {major, minor, bug};
    for (int32_t i = 0; i < 3; ++i)
        if (fw::Val(fw::NthField(version, ".", i + 1)) != static_cast<double>(running[i])) return false;
    return true;
}

bool IsFreeUpgrade(const fw::String& freeValue) { return freeValue == "Yes"; }

fw::String CommunicationErrorMessage(int32_t code) {
    return fw::String("There was a communication error ") + "with the website. Please try " + "again later. (Code: " +
           fw::Str(code) + ")";
}

fw::String UpgradeMessage(const fw::String& version, const fw::String& runningShortVersion, bool free) {
    fw::String m = "Version " + version + " is now available. ";
    m += "(You are using version " + runningShortVersion + ".) ";
    if (free)
        m += fw::String("This is a free upgrade. ") + "Would you like to automatically download " +
             "this update (using your web browser)?";
    else
        m += fw::String("This is a paid upgrade. ") + "Would you like to automatically download " +
             "the trial version (using your web browser)?";
    return m;
}

}  // namespace update
