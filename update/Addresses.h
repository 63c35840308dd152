// The addresses of the update check: the maker's web host, which serves the
// update file and is the site "Go to Website" opens, and the download
// address the upgrade dialog hands on. Both come from the build options
// (cmake/Addresses.cmake).
#pragma once

#include "core/String.h"

namespace update {

// "host" or "host:port".
fw::String WebHost();
// Points the check at another host for the rest of the process: a test's
// server on 127.0.0.1, or a test build of the program. The empty string
// restores the build's host.
void SetWebHost(const fw::String& host);

// "http://" + host + "/Updates/scrandle.xml".
fw::String UpdateFileUrl();
// The site's root: "http://" + host, no path.
fw::String WebSiteUrl();
fw::String DownloadUrl();

}  // namespace update
