# The portable core: every .cpp of the subsystem folders that is neither
# Win32-only (*_win32.cpp, target build) nor POSIX-only (*_posix.cpp, the host
# build's platform). Shared by the host build, the target build and the clang
# fuzz build.
set(CORE_DIRS terminal transfer shell frame telnet dialup ftp viewer)
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

# What exists only for host tests: peer launchers, scripted servers, tool runner.
file(GLOB SUPPORT_SOURCES CONFIGURE_DEPENDS "${SUITE_ROOT}/tests/support/*.cpp")
