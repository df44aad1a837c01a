# Fails when a file under the core includes a header of an operating system:
# what differs between systems lives in src/platform. Run as
#   cmake -DCORE_DIR=src/core -P core_includes.cmake
file(GLOB_RECURSE sources "${CORE_DIR}/*.h" "${CORE_DIR}/*.cpp")
set(system_header
    "^[ \t]*#[ \t]*include[ \t]*<(sys/[^>]*|unistd\\.h|fcntl\\.h|poll\\.h|termios\\.h|pty\\.h|dirent\\.h|dlfcn\\.h|pthread\\.h|signal\\.h|csignal|windows\\.h|winbase\\.h|winsock2?\\.h|io\\.h|share\\.h|direct\\.h|process\\.h)>")
set(found "")
foreach(source IN LISTS sources)
  file(STRINGS "${source}" lines REGEX "${system_header}")
  foreach(line IN LISTS lines)
    string(APPEND found "  ${source}: ${line}\n")
  endforeach()
endforeach()
list(LENGTH sources count)
if(count EQUAL 0)
  message(FATAL_ERROR "No core sources under ${CORE_DIR}")
endif()
if(found)
  message(FATAL_ERROR "The core includes headers of an operating system; "
                      "they belong in src/platform:\n${found}")
endif()
message(STATUS "${count} core files include no header of an operating system")
