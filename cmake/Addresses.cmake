# The addresses the program hands to the browser or mail program, and the
# update file's host. They default to hosts under the reserved ".example"
# domain, so that a build never reaches a party that does not exist; set
# them at configure time, e.g.
#   cmake -S . -B build -DSCRANDLE_WEB_HOST=www.example.org
# The web host may carry a port ("127.0.0.1:8080"), to try the update check
# against a local server. Every address is built from these in one place,
# update/Addresses.cpp, which gets them through
# scrandle_address_definitions().
set(SCRANDLE_WEB_HOST "www.tarnwick.example" CACHE STRING
    "The maker's web host, optionally host:port (web site, update file, download)")
set(SCRANDLE_AUTHOR_MAIL "author@tarnwick.example" CACHE STRING "The author's mail address")
set(SCRANDLE_ORDER_HOST "order.service.example" CACHE STRING "The order service's host (support page)")
set(SCRANDLE_PRODUCT_CODE "300100" CACHE STRING "The product's code at the order service")
set(SCRANDLE_DOWNLOAD_URL "" CACHE STRING
    "The address the upgrade dialog hands on; empty: /downloads/scrandle.zip on the web host")
foreach(name SCRANDLE_WEB_HOST SCRANDLE_AUTHOR_MAIL SCRANDLE_ORDER_HOST SCRANDLE_PRODUCT_CODE SCRANDLE_DOWNLOAD_URL)
  # Addresses hold no blanks, and nothing that would need quoting in the
  # program.
  if("${${name}}" MATCHES "[ \t\r\n\"\\]")
    message(FATAL_ERROR "${name} must hold no blanks, quotes or backslashes")
  endif()
endforeach()

# The options as the preprocessor definitions of the same names, for the
# target that builds the addresses (and tests that check them).
function(scrandle_address_definitions target scope)
  target_compile_definitions(${target} ${scope}
    SCRANDLE_WEB_HOST="${SCRANDLE_WEB_HOST}" SCRANDLE_AUTHOR_MAIL="${SCRANDLE_AUTHOR_MAIL}"
    SCRANDLE_ORDER_HOST="${SCRANDLE_ORDER_HOST}" SCRANDLE_PRODUCT_CODE="${SCRANDLE_PRODUCT_CODE}"
    SCRANDLE_DOWNLOAD_URL="${SCRANDLE_DOWNLOAD_URL}")
endfunction()

# The two names in the About box's credits. They default to the project as a
# whole, naming no one in particular; set them at configure time, e.g.
#   cmake -S . -B build -DSCRANDLE_DEVELOPER_NAME="Ada Example"
# The credits stand in a column 104 pixels wide: a name of more than about
# 16 characters wraps, and the last line is cut off.
set(SCRANDLE_DEVELOPER_NAME "Scrandle team" CACHE STRING "The developer credited in the About box")
set(SCRANDLE_TESTER_NAME "Scrandle testers" CACHE STRING "The beta tester credited in the About box")
foreach(name SCRANDLE_DEVELOPER_NAME SCRANDLE_TESTER_NAME)
  # One line each, and nothing that would need quoting in the program.
  if("${${name}}" MATCHES "[\r\n\"\\]")
    message(FATAL_ERROR "${name} must be one line without quotes or backslashes")
  endif()
endforeach()
