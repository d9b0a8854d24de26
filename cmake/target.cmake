# Target build: the portable core again plus the Win32 files, the four programs
# and the Win32 test program, all static 32-bit Windows executables.
set(WIN32_LIBS ws2_32 user32 gdi32 comctl32 comdlg32 advapi32 shell32 winspool version)

add_library(suite_core STATIC ${CORE_SOURCES} ${WIN32_SOURCES})
target_include_directories(suite_core PUBLIC ${SUITE_ROOT})
target_link_libraries(suite_core PUBLIC ${WIN32_LIBS})

# libjpeg-turbo, cross-built once by tools/setup from Debian's source package.
set(JPEG_PREFIX ${SUITE_ROOT}/build/libjpeg-i686)
if(EXISTS ${JPEG_PREFIX}/lib/libjpeg.a)
  add_library(jpeg_target STATIC IMPORTED)
  set_target_properties(jpeg_target PROPERTIES
    IMPORTED_LOCATION ${JPEG_PREFIX}/lib/libjpeg.a
    INTERFACE_INCLUDE_DIRECTORIES ${JPEG_PREFIX}/include)
  target_include_directories(suite_core PRIVATE ${JPEG_PREFIX}/include)
endif()

# programs/NAME/ holds WinMain and NAME.rc of each deliverable.
foreach(program kelvro32 varnix32 quenda32 sorlin32)
  set(dir ${SUITE_ROOT}/programs/${program})
  file(GLOB srcs CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.rc)
  if(srcs)
    add_executable(${program} WIN32 ${srcs})
    target_link_libraries(${program} PRIVATE suite_core)
    if(program STREQUAL sorlin32 AND TARGET jpeg_target)
      target_link_libraries(${program} PRIVATE jpeg_target)
    endif()
    set_target_properties(${program} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  endif()
endforeach()

# GoogleTest from Debian's sources, built for the target.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

file(GLOB WIN32_TEST_SOURCES CONFIGURE_DEPENDS ${SUITE_ROOT}/tests/win32/*.cpp ${SUITE_ROOT}/tests/win32/*.rc)
add_executable(win32_tests ${WIN32_TEST_SOURCES})
target_link_libraries(win32_tests PRIVATE suite_core gtest gtest_main)
target_include_directories(win32_tests PRIVATE ${SUITE_ROOT}/tests/win32)
set_target_properties(win32_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
# What the end-to-end tests read from another program's dialogs.
add_executable(window_text ${SUITE_ROOT}/tests/win32/helpers/window_text.cpp)
set_target_properties(window_text PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)

# windres names no included files to the build: every resource script
# depends on all the fragments, identifier headers and texts it may include,
# so a changed dialog reaches the programs and the tests.
file(GLOB RC_FRAGMENTS CONFIGURE_DEPENDS ${SUITE_ROOT}/*/*.rc ${SUITE_ROOT}/*/*_ids.h ${SUITE_ROOT}/shell/strings.def)
file(GLOB RC_SCRIPTS CONFIGURE_DEPENDS ${SUITE_ROOT}/programs/*/*.rc ${SUITE_ROOT}/tests/win32/*.rc)
set_source_files_properties(${RC_SCRIPTS} PROPERTIES OBJECT_DEPENDS "${RC_FRAGMENTS}")

# The delivered key-map file beside the programs, generated from the key table
# by a small generator built with the machine's own compiler (the programs of
# this build cannot run here).
find_program(HOST_CXX NAMES c++ g++ REQUIRED)
set(KEYMAP_SOURCES ${SUITE_ROOT}/tools/keymap_file.cpp ${SUITE_ROOT}/terminal/key_defaults.cpp)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/bin/kelvro.kbd
  COMMAND ${HOST_CXX} -std=c++17 -O1 -I${SUITE_ROOT} ${KEYMAP_SOURCES} -o ${CMAKE_BINARY_DIR}/keymap_file
  COMMAND ${CMAKE_BINARY_DIR}/keymap_file ${CMAKE_BINARY_DIR}/bin/kelvro.kbd
  DEPENDS ${KEYMAP_SOURCES} ${SUITE_ROOT}/terminal/keymap.h
  COMMENT "Key-map file kelvro.kbd")
add_custom_target(keymap_file ALL DEPENDS ${CMAKE_BINARY_DIR}/bin/kelvro.kbd)

# The delivered modem profiles beside the programs, from the makers table, the
# same way.
set(MODEM_FILES_SOURCES ${SUITE_ROOT}/tools/modem_files.cpp ${SUITE_ROOT}/dialup/modem_makers.cpp
  ${SUITE_ROOT}/dialup/reply_class.cpp
  ${SUITE_ROOT}/shell/modem_profile.cpp ${SUITE_ROOT}/shell/book_files.cpp ${SUITE_ROOT}/shell/program_dir.cpp
  ${SUITE_ROOT}/shell/record.cpp ${SUITE_ROOT}/shell/message_box_posix.cpp ${SUITE_ROOT}/shell/message_text.cpp)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/bin/Hayes.mdm
  COMMAND ${HOST_CXX} -std=c++17 -O1 -I${SUITE_ROOT} ${MODEM_FILES_SOURCES} -o ${CMAKE_BINARY_DIR}/modem_files
  COMMAND ${CMAKE_BINARY_DIR}/modem_files ${CMAKE_BINARY_DIR}/bin
  DEPENDS ${MODEM_FILES_SOURCES} ${SUITE_ROOT}/dialup/modem_makers.h ${SUITE_ROOT}/dialup/reply_class.h
    ${SUITE_ROOT}/shell/modem_profile.h
  COMMENT "Modem profiles *.mdm")
add_custom_target(modem_files ALL DEPENDS ${CMAKE_BINARY_DIR}/bin/Hayes.mdm)

# Drawing benchmark under Wine (bench/draw_wine.sh runs it beside xterm).
add_executable(bench_draw ${SUITE_ROOT}/bench/draw_win32.cpp)
target_link_libraries(bench_draw PRIVATE suite_core)
set_target_properties(bench_draw PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin EXCLUDE_FROM_ALL TRUE)

# The programs' help files beside the programs, compiled from the HTML topics
# of help/FOLDER with chmcmd (fp-utils), in a copy of the sources so the
# compiler's output stays out of the source tree.
find_program(CHMCMD chmcmd REQUIRED)
function(suite_help folder name)
  file(GLOB sources CONFIGURE_DEPENDS ${SUITE_ROOT}/help/${folder}/*)
  add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/bin/${name}.chm
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${CMAKE_BINARY_DIR}/help-${folder}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${SUITE_ROOT}/help/${folder} ${CMAKE_BINARY_DIR}/help-${folder}
    COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/help-${folder} ${CHMCMD} --no-html-scan ${name}.hhp
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/help-${folder}/${name}.chm ${CMAKE_BINARY_DIR}/bin/${name}.chm
    DEPENDS ${sources}
    COMMENT "Help file ${name}.chm")
  add_custom_target(${folder}_help ALL DEPENDS ${CMAKE_BINARY_DIR}/bin/${name}.chm)
endfunction()
suite_help(telnet kelvro32-telnet)
suite_help(dialup kelvro32-dialup)
