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

fw::String UpdateFileUrl() { return WebSiteUrl() + "/Updates/scrandle.xml"; }

fw::String WebSiteUrl() { return "http://" + WebHost(); }

fw::String DownloadUrl() {
    const fw::String configured(SCRANDLE_DOWNLOAD_URL);
    return configured.IsEmpty() ? WebSiteUrl() + "/downloads/scrandle.zip" : configured;
}

fw::String AuthorMailUrl() { return fw::String("mailto:") + SCRANDLE_AUTHOR_MAIL; }

fw::String SupportPageUrl() {
    return fw::String("http://") + SCRANDLE_ORDER_HOST + "/?" + SCRANDLE_PRODUCT_CODE + "&lang=en";
}

}  // namespace update
