# Run by cpack once the package is made (CPACK_POST_BUILD_SCRIPTS).
# cpack writes the three members of the .deb (an ar archive: debian-binary,
# control.tar.gz, data.tar.gz) with the modes its temporary files got under
# the packager's umask. This sets each member's mode field to 100644, as
# dpkg-deb writes it, so that the package does not depend on the umask.
#
# An ar archive is "!<arch>\n" and then, for each member, a 60-byte text
# header (the mode is the 8 bytes at offset 40, the size the 10 at offset 48)
# followed by the member's data, padded to an even length.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package MATCHES "\\.deb$")
    continue()
  endif()
  file(READ ${package} magic LIMIT 8)
  if(NOT magic STREQUAL "!<arch>\n")
    message(FATAL_ERROR "${package} is not an ar archive")
  endif()
  file(SIZE ${package} size)
  set(at 8)
  while(at LESS size)
    file(READ ${package} header OFFSET ${at} LIMIT 60)
    string(SUBSTRING "${header}" 48 10 length)
    string(STRIP "${length}" length)
    if(NOT length MATCHES "^[0-9]+$")
      message(FATAL_ERROR "${package}: no member header at byte ${at}")
    endif()
    math(EXPR mode_at "${at} + 40")
    execute_process(COMMAND printf "100644  "
                    COMMAND dd of=${package} bs=1 seek=${mode_at} conv=notrunc status=none
                    RESULTS_VARIABLE status)
    if(NOT status STREQUAL "0;0")
      message(FATAL_ERROR "${package}: could not set the mode of the member at byte ${at}: ${status}")
    endif()
    math(EXPR at "${at} + 60 + ${length} + ${length} % 2")
  endwhile()
endforeach()
