# The addresses the program hands to the browser or mail program, and the
# update file's host. They default to hosts under the reserved ".example"
# domain, so that a build never reaches a party that does not exist; set
# them at configure time, e.g.
#   cmake -S . -B build -DSCRANDLE_WEB_HOST=www.example.org
# The web host may carry a port ("127.0.0.1:8080"), to try the update check
# against a local server.
set(SCRANDLE_WEB_HOST "www.tarnwick.example" CACHE STRING "The maker's web host, optionally host:port (web site and update file)")
set(SCRANDLE_AUTHOR_MAIL "author@tarnwick.example" CACHE STRING "The author's mail address")
set(SCRANDLE_ORDER_HOST "order.service.example" CACHE STRING "The order service's host (support page)")
set(SCRANDLE_PRODUCT_CODE "300100" CACHE STRING "The product's code at the order service")
set(SCRANDLE_DOWNLOAD_URL "http://www.tarnwick.example/downloads/scrandle.zip" CACHE STRING
    "The address the upgrade dialog hands on")
