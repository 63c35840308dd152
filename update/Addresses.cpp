#include "update/Addresses.h"

namespace update {

namespace {
fw::String& OverriddenHost() {
    static fw::String host;
    return host;
}
}  // namespace

fw::String WebHost() {
    const fw::String& host = OverriddenHost();
    return host.IsEmpty() ? fw::String(SCRANDLE_WEB_HOST) : host;
}

void SetWebHost(const fw::String& host) { OverriddenHost() = host; }

fw::String UpdateFileUrl() { return "http://" + WebHost() + "/Updates/scrandle.xml"; }

fw::String WebSiteUrl() { return "http://" + WebHost(); }

fw::String DownloadUrl() { return fw::String(SCRANDLE_DOWNLOAD_URL); }

}  // namespace update
