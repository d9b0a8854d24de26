# Host build: the portable core with the machine's g++, its tests, tools,
# benchmarks, and the fuzz targets (built by clang as a sub-build).
find_package(GTest REQUIRED)
find_package(Threads REQUIRED)
include(GoogleTest)

# On the host the platform seams are the POSIX twins of the Win32 files.
add_library(suite_core STATIC ${CORE_SOURCES} ${POSIX_SOURCES})
target_include_directories(suite_core PUBLIC ${SUITE_ROOT})
# The viewer's decoder uses the machine's libjpeg-turbo on the host.
find_package(JPEG REQUIRED)
target_link_libraries(suite_core PUBLIC JPEG::JPEG)

add_library(suite_support STATIC ${SUPPORT_SOURCES})
target_link_libraries(suite_support PUBLIC suite_core Threads::Threads util)
target_compile_definitions(suite_support PUBLIC
  SUITE_SOURCE_DIR="${SUITE_ROOT}" SUITE_BUILD_DIR="${CMAKE_BINARY_DIR}")

# Tools: tools/NAME.cpp becomes the program NAME; the script tools/NAME runs it.
file(GLOB TOOL_SOURCES CONFIGURE_DEPENDS "${SUITE_ROOT}/tools/*.cpp")
foreach(src ${TOOL_SOURCES})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_link_libraries(${name} PRIVATE suite_core)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
endforeach()

# One GoogleTest program per test folder; each case is its own ctest test.
function(suite_test_folder folder label)
  file(GLOB srcs CONFIGURE_DEPENDS "${SUITE_ROOT}/tests/${folder}/*.cpp")
  if(NOT srcs)
    return()
  endif()
  set(exe tests_${folder})
  add_executable(${exe} ${srcs})
  target_link_libraries(${exe} PRIVATE suite_support GTest::gtest GTest::gtest_main)
  gtest_discover_tests(${exe} TEST_PREFIX "${folder}." PROPERTIES LABELS ${label}
    DISCOVERY_TIMEOUT 30)
endfunction()
foreach(folder layout terminal transfer shell frame telnet dialup ftp viewer)
  suite_test_folder(${folder} unit)
endforeach()
suite_test_folder(interop interop)


# Benchmarks, run by hand through bench/run (a Release build in build/bench).
find_package(benchmark QUIET)
file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS "${SUITE_ROOT}/bench/*.cpp")
# Drawing benchmarks run under Wine: the target build makes them.
list(FILTER BENCH_SOURCES EXCLUDE REGEX "_win32\\.cpp$")
if(benchmark_FOUND)
  foreach(src ${BENCH_SOURCES})
    get_filename_component(name ${src} NAME_WE)
    add_executable(bench_${name} ${src})
    target_link_libraries(bench_${name} PRIVATE suite_support benchmark::benchmark)
  endforeach()
endif()

# Fuzz targets need clang's libFuzzer: a sub-build with clang, whose targets
# replay their corpus and then fuzz for a few seconds under ctest.
include(ExternalProject)
file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS "${SUITE_ROOT}/fuzz/*.cpp")
if(FUZZ_SOURCES)
  ExternalProject_Add(fuzzers
    SOURCE_DIR ${SUITE_ROOT}/fuzz
    BINARY_DIR ${CMAKE_BINARY_DIR}/fuzz
    CMAKE_ARGS -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
               -DCMAKE_BUILD_TYPE=RelWithDebInfo
    INSTALL_COMMAND ""
    BUILD_ALWAYS 1)
  foreach(src ${FUZZ_SOURCES})
    get_filename_component(name ${src} NAME_WE)
    set(work ${CMAKE_BINARY_DIR}/fuzz-corpus/${name})
    file(MAKE_DIRECTORY ${work})
    add_test(NAME fuzz.${name}
      COMMAND ${CMAKE_BINARY_DIR}/fuzz/${name} -max_total_time=5 -timeout=5 -rss_limit_mb=2048
              -print_final_stats=0 ${work} ${SUITE_ROOT}/fuzz/corpus/${name})
    set_tests_properties(fuzz.${name} PROPERTIES LABELS fuzz TIMEOUT 120)
  endforeach()
endif()

# The interop tests compare our emulator with libvterm's screen.
if(TARGET tests_interop)
  target_link_libraries(tests_interop PRIVATE vterm)
endif()
if(TARGET bench_receive_throughput)
  target_link_libraries(bench_receive_throughput PRIVATE vterm)
endif()
