// Every address the program hands to the browser or mail program, and the
// update file's, built in this one place from the build options
// (cmake/Addresses.cmake): the maker's web host (the web site, "Go to
// Website", the update file and, unless set apart, the download), the
// author's mail address and the support page at the order service.
#pragma once

#include "core/String.h"

namespace update {

// "host" or "host:port".
fw::String WebHost();
// Points every address on the web host at another host for the rest of
// the process: a test's server on 127.0.0.1, or a test build of the
// program. The empty string restores the build's host.
void SetWebHost(const fw::String& host);

// "http://" + host + "/Updates/scrandle.xml".
fw::String UpdateFileUrl();
// The site's root: "http://" + host, no path. The About box's "Visit Web
// Site" and the upgrade dialog's "Go to Website".
fw::String WebSiteUrl();
// What the upgrade dialog's download hands on: the download option, or by
// default "http://" + host + "/downloads/scrandle.zip".
fw::String DownloadUrl();
// "mailto:" + the author's address: the About box's "Email Author".
fw::String AuthorMailUrl();
// The product's page at the order service, in English: the main window's
// support button.
fw::String SupportPageUrl();

}  // namespace update
