# The portable core: every .cpp of the subsystem folders that is not Win32-only.
# Shared by the host build, the target build and the clang fuzz build.
set(CORE_DIRS terminal transfer shell telnet dialup ftp viewer)
get_filename_component(SUITE_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CORE_SOURCES)
set(WIN32_SOURCES)
set(POSIX_SOURCES)
foreach(dir ${CORE_DIRS})
  file(GLOB found CONFIGURE_DEPENDS "${SUITE_ROOT}/${dir}/*.cpp")
  foreach(f ${found})
    if(f MATCHES "_win32\\.cpp$")
      list(APPEND WIN32_SOURCES ${f})
    elseif(f MATCHES "_posix\\.cpp$")
      list(APPEND POSIX_SOURCES ${f})
    else()
      list(APPEND CORE_SOURCES ${f})
    endif()
  endforeach()
endforeach()

# Host implementations of the platform seams, the peer launchers and the helpers
# that host tests and tools share.
file(GLOB SUPPORT_SOURCES CONFIGURE_DEPENDS "${SUITE_ROOT}/tests/support/*.cpp")
