// Every address the program hands on comes from the build options, and
// every address on the web host follows the web host option.
#include "update/Addresses.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Addresses {
    std::string site, file, download, mail, support;
};

Addresses Now() {
    return {update::WebSiteUrl().ToUtf8(), update::UpdateFileUrl().ToUtf8(), update::DownloadUrl().ToUtf8(),
            update::AuthorMailUrl().ToUtf8(), update::SupportPageUrl().ToUtf8()};
}

TEST(Addresses, AreBuiltFromTheOptionsAndFollowTheWebHost) {
    const std::string configuredDownload = SCRANDLE_DOWNLOAD_URL;
    for (const std::string host : {std::string(SCRANDLE_WEB_HOST), std::string("127.0.0.1:8080")}) {
        SCOPED_TRACE(host);
        update::SetWebHost(fw::String(host));
        const Addresses a = Now();
        EXPECT_EQ(update::WebHost().ToUtf8(), host);
        EXPECT_EQ(a.site, "http://" + host);
        EXPECT_EQ(a.file, "http://" + host + "/Updates/scrandle.xml");
        EXPECT_EQ(a.download,
                  configuredDownload.empty() ? "http://" + host + "/downloads/scrandle.zip" : configuredDownload);
        EXPECT_EQ(a.mail, std::string("mailto:") + SCRANDLE_AUTHOR_MAIL);
        EXPECT_EQ(a.support, std::string("http://") + SCRANDLE_ORDER_HOST + "/?" + SCRANDLE_PRODUCT_CODE + "&lang=en");
    }
    update::SetWebHost(fw::String());
    EXPECT_EQ(update::WebHost().ToUtf8(), SCRANDLE_WEB_HOST);
}

}  // namespace
