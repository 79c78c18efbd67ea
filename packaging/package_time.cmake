# Read by cpack before it makes the package (CPACK_PROJECT_CONFIG_FILE).
# cpack stamps every file and archive of the package with SOURCE_DATE_EPOCH
# when it is set, and with the time of packaging otherwise. When the packager
# has not set it, it is taken from the source, so that the same source gives
# the same package: the time of its last commit, or, in a tree without git
# (an unpacked source archive), the date of the latest release in
# packaging/changelog, as Debian's own tools do.
if(NOT "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
  return()
endif()

set(source ${CPACK_ZORVANE_SOURCE_DIR})
set(epoch "")
if(EXISTS ${source}/.git)
  # An explicit --git-dir: git then trusts the folder whoever owns it.
  execute_process(COMMAND git --git-dir=${source}/.git log -1 --no-show-signature --format=%ct
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(NOT epoch MATCHES "^[0-9]+$" AND EXISTS ${source}/packaging/changelog)
  # The trailer line of the newest entry: " -- Name <address>  Tue, 08 Dec 2026 12:00:00 +0000"
  file(STRINGS ${source}/packaging/changelog trailer REGEX "^ -- .*>  " LIMIT_COUNT 1)
  string(REGEX REPLACE "^ -- .*>  " "" date "${trailer}")
  execute_process(COMMAND date -u -d "${date}" +%s
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(epoch MATCHES "^[0-9]+$")
  set(ENV{SOURCE_DATE_EPOCH} ${epoch})
else()
  message(WARNING "Neither git nor packaging/changelog gave the source's date: "
                  "the package carries the time of packaging and differs from build to build. "
                  "Set SOURCE_DATE_EPOCH to avoid it.")
endif()
