# Native tree: the libraries on the simulated platform, the tests, the command-line
# tools, the benchmarks and (in a clang tree with KELPO_FUZZ) the fuzz targets.

# kelpo_tests: every test but the Win32 and end-to-end ones, on the simulation.
file(GLOB_RECURSE KELPO_TEST_SOURCES CONFIGURE_DEPENDS tests/*.cpp)
list(FILTER KELPO_TEST_SOURCES EXCLUDE REGEX "/tests/(win32|e2e|heap)/")
add_executable(kelpo_tests ${KELPO_TEST_SOURCES})
target_link_libraries(kelpo_tests PRIVATE kelpo_app kelpo_sim kelpo_ui_resources GTest::gtest_main GTest::gmock)
target_compile_definitions(kelpo_tests PRIVATE KELPO_SHARED_DIR="${KELPO_SHARED_DIR}"
                                               KELPO_GIF_REGRESS_DIR="${CMAKE_SOURCE_DIR}/tests/gif/regress"
                                               KELPO_SETTINGS_REGRESS_DIR="${CMAKE_SOURCE_DIR}/tests/settings/regress"
                                               KELPO_LAYOUT_REGRESS_DIR="${CMAKE_SOURCE_DIR}/tests/framework/regress/layout")
gtest_discover_tests(kelpo_tests DISCOVERY_TIMEOUT 60)

# The heap over a virtual year, in a program of its own: it replaces the global
# operator new and delete to count the blocks alive.
add_executable(kelpo_heap_tests tests/heap/HeapYearTest.cpp tests/heap/LiveAllocations.cpp
                                tests/support/KelpoHarness.cpp)
target_link_libraries(kelpo_heap_tests PRIVATE kelpo_app kelpo_sim kelpo_ui_resources GTest::gtest_main)
# Blocks of the sanitizer's own operator new (from the prebuilt libraries) meet
# the replacement's free: a mismatch by design here.
gtest_discover_tests(kelpo_heap_tests DISCOVERY_TIMEOUT 60
                     PROPERTIES ENVIRONMENT "ASAN_OPTIONS=alloc_dealloc_mismatch=0:detect_leaks=1")

# giflib is the oracle of the GIF differential tests (test-only; those tests skip without it).
find_package(GIF QUIET)
if(GIF_FOUND)
  target_link_libraries(kelpo_tests PRIVATE GIF::GIF)
  target_compile_definitions(kelpo_tests PRIVATE KELPO_HAVE_GIFLIB=1)
endif()

# kelpo-schedule: the main window on the simulated platform through virtual time;
# its simulation is tested in kelpo_tests too.
add_library(kelpo_schedule_sim STATIC tools/schedule/ScheduleSimulation.cpp tools/schedule/RegionOptions.cpp)
target_link_libraries(kelpo_schedule_sim PUBLIC kelpo_app kelpo_sim)
add_executable(kelpo-schedule tools/schedule/kelpo-schedule.cpp)
target_link_libraries(kelpo-schedule PRIVATE kelpo_schedule_sim kelpo_ui_resources)
target_link_libraries(kelpo_tests PRIVATE kelpo_schedule_sim)
# The hours scenarios through the tool's command line.
add_test(NAME kelpo_schedule_hours COMMAND bash ${CMAKE_SOURCE_DIR}/tests/scheduler/kelpo-schedule-hours.sh
                                           $<TARGET_FILE:kelpo-schedule>)

# gifdump: the GIF decoder's view of a file.
add_executable(gifdump tools/gifdump.cpp)
target_link_libraries(gifdump PRIVATE kelpo_gif kelpo_sim)

# The threaded animation timer's tests alone, for a ThreadSanitizer tree (tools/run-tests.sh tsan).
add_executable(kelpo_thread_tests tests/gif/TimerExTest.cpp)
target_link_libraries(kelpo_thread_tests PRIVATE kelpo_gif kelpo_sim GTest::gtest_main)

# Benchmarks measure the libraries as this tree compiles them: build/ is
# RelWithDebInfo (-O2); the sanitizer trees leave them out.
find_package(benchmark QUIET)
find_path(KELPO_STB_INCLUDE_DIR stb/stb_image.h)
option(KELPO_BENCH "Build the benchmark programs" ON)
if(KELPO_BENCH AND NOT CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo)$")
  message(WARNING "Benchmarks in a ${CMAKE_BUILD_TYPE} tree measure unoptimised code")
endif()
# The decoders side by side (Kelpo, giflib, stb_image), and one decode for callgrind.
if(KELPO_BENCH AND benchmark_FOUND AND GIF_FOUND AND KELPO_STB_INCLUDE_DIR)
  add_library(kelpo_gif_peers STATIC bench/GIFPeers.cpp)
  target_include_directories(kelpo_gif_peers PUBLIC ${KELPO_STB_INCLUDE_DIR})
  target_link_libraries(kelpo_gif_peers PUBLIC kelpo_gif GIF::GIF)
  add_executable(kelpo_gif_bench bench/GIFDecodeBench.cpp)
  target_link_libraries(kelpo_gif_bench PRIVATE kelpo_gif_peers benchmark::benchmark)
  add_executable(gif_decode_once bench/GIFDecodeOnce.cpp)
  target_link_libraries(gif_decode_once PRIVATE kelpo_gif_peers)
  foreach(target kelpo_gif_bench gif_decode_once)
    target_compile_definitions(${target} PRIVATE KELPO_SHARED_DIR="${KELPO_SHARED_DIR}")
  endforeach()
endif()
# The banner control's animation tick and memory.
if(KELPO_BENCH AND benchmark_FOUND)
  add_executable(kelpo_gif_image_bench bench/GIFImageBench.cpp)
  target_link_libraries(kelpo_gif_image_bench PRIVATE kelpo_gif kelpo_sim kelpo_ui_resources benchmark::benchmark)
  target_compile_definitions(kelpo_gif_image_bench PRIVATE KELPO_SHARED_DIR="${KELPO_SHARED_DIR}")
endif()

# One simple-timer tick, with the allocations it makes.
if(KELPO_BENCH AND benchmark_FOUND)
  add_executable(kelpo_simple_timer_bench bench/SimpleTimerBench.cpp bench/CountingAllocator.cpp)
  target_link_libraries(kelpo_simple_timer_bench PRIVATE kelpo_tray kelpo_sim benchmark::benchmark)
endif()

# The wash's cache step against the bare cache calls.
if(KELPO_BENCH AND benchmark_FOUND)
  add_executable(kelpo_wash_bench bench/WashBench.cpp)
  target_link_libraries(kelpo_wash_bench PRIVATE kelpo_wash kelpo_sim benchmark::benchmark)
endif()

# libFuzzer targets, in a clang tree of their own (fuzz/run-fuzz.sh makes build-fuzz/;
# the top level instruments the libraries).
if(KELPO_FUZZ)
  include(CheckCXXSourceCompiles)
  set(CMAKE_REQUIRED_LINK_OPTIONS -fsanitize=fuzzer)
  check_cxx_source_compiles(
    "#include <cstddef>\n#include <cstdint>\nextern \"C\" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) { return 0; }"
    KELPO_HAVE_LIBFUZZER)
  unset(CMAKE_REQUIRED_LINK_OPTIONS)
  if(NOT KELPO_HAVE_LIBFUZZER)
    message(FATAL_ERROR "clang cannot link -fsanitize=fuzzer: the clang runtime is missing (tools/install-deps.sh test)")
  endif()
  add_executable(lzw_equivalence_fuzz fuzz/LZWEquivalenceFuzz.cpp tests/gif/LZWReference.cpp)
  add_executable(gif_decoder_fuzz fuzz/GIFDecoderFuzz.cpp)
  foreach(target lzw_equivalence_fuzz gif_decoder_fuzz)
    target_link_libraries(${target} PRIVATE kelpo_gif)
  endforeach()
  add_executable(text_forms_fuzz fuzz/TextFormsFuzz.cpp)
  add_executable(settings_file_fuzz fuzz/SettingsFileFuzz.cpp)
  foreach(target text_forms_fuzz settings_file_fuzz)
    target_link_libraries(${target} PRIVATE kelpo_settings kelpo_sim)
  endforeach()
  add_executable(layout_fuzz fuzz/LayoutFuzz.cpp)
  target_link_libraries(layout_fuzz PRIVATE kelpo_app kelpo_sim kelpo_ui_resources)
  foreach(target lzw_equivalence_fuzz gif_decoder_fuzz text_forms_fuzz settings_file_fuzz layout_fuzz)
    target_link_options(${target} PRIVATE -fsanitize=fuzzer)
  endforeach()
endif()
