# Run by cpack once the package's files are installed into its staging folder
# and before they are archived (CPACK_PRE_BUILD_SCRIPTS). The install rules
# give every file its mode, but the folders they create get what the
# packager's umask leaves of 755 (CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
# only sets the most they get): this makes them all 755.
file(GLOB_RECURSE entries LIST_DIRECTORIES true ${CPACK_TEMPORARY_DIRECTORY}/*)
set(folders "")
foreach(entry IN LISTS entries)
  if(IS_DIRECTORY ${entry} AND NOT IS_SYMLINK ${entry})
    list(APPEND folders ${entry})
  endif()
endforeach()
if(folders)
  file(CHMOD ${folders} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endif()
