# Native tree: the portable core on the simulated platform, tests and tools.

file(GLOB_RECURSE KELPO_TEST_SOURCES CONFIGURE_DEPENDS tests/*.cpp)
list(FILTER KELPO_TEST_SOURCES EXCLUDE REGEX "/tests/(win32|e2e)/")
add_executable(kelpo_tests ${KELPO_TEST_SOURCES})
target_link_libraries(kelpo_tests PRIVATE kelpo_sim GTest::gtest_main GTest::gmock)
target_compile_definitions(kelpo_tests PRIVATE KELPO_SHARED_DIR="${KELPO_SHARED_DIR}")
gtest_discover_tests(kelpo_tests DISCOVERY_TIMEOUT 60)

# GIF decoding: giflib is the differential tests' oracle (test-only; those tests skip without it).
find_package(GIF QUIET)
if(GIF_FOUND)
  target_link_libraries(kelpo_tests PRIVATE GIF::GIF)
  target_compile_definitions(kelpo_tests PRIVATE KELPO_HAVE_GIFLIB=1)
endif()

add_executable(gifdump tools/gifdump.cpp)
target_link_libraries(gifdump PRIVATE kelpo_sim)

# Benchmarks compile the decoder themselves, optimised whatever the tree's build type.
find_package(benchmark QUIET)
find_path(KELPO_STB_INCLUDE_DIR stb/stb_image.h)
option(KELPO_BENCH "Build the benchmark programs" ON)
if(KELPO_BENCH AND benchmark_FOUND AND GIF_FOUND AND KELPO_STB_INCLUDE_DIR)
  set(KELPO_GIF_BENCH_SOURCES gif/LZWDecoder.cpp gif/GIFDecoder.cpp bench/GIFPeers.cpp)
  add_executable(kelpo_gif_bench bench/GIFDecodeBench.cpp ${KELPO_GIF_BENCH_SOURCES})
  target_link_libraries(kelpo_gif_bench PRIVATE benchmark::benchmark)
  add_executable(gif_decode_once bench/GIFDecodeOnce.cpp ${KELPO_GIF_BENCH_SOURCES})
  foreach(target kelpo_gif_bench gif_decode_once)
    target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR} ${KELPO_STB_INCLUDE_DIR})
    target_link_libraries(${target} PRIVATE GIF::GIF)
    target_compile_options(${target} PRIVATE -O2 -DNDEBUG)
    target_compile_definitions(${target} PRIVATE KELPO_SHARED_DIR="${KELPO_SHARED_DIR}")
  endforeach()
endif()

# The banner control's animation tick and memory, its sources optimised like the decoder's above.
if(KELPO_BENCH AND benchmark_FOUND)
  file(GLOB_RECURSE KELPO_GIF_IMAGE_BENCH_SOURCES CONFIGURE_DEPENDS framework/*.cpp gif/*.cpp settings/*.cpp
                                                                platform/sim/*.cpp)
  add_executable(kelpo_gif_image_bench bench/GIFImageBench.cpp ${KELPO_GIF_IMAGE_BENCH_SOURCES}
                                       ${KELPO_RESOURCE_SOURCE})
  target_include_directories(kelpo_gif_image_bench PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(kelpo_gif_image_bench PRIVATE benchmark::benchmark)
  target_compile_options(kelpo_gif_image_bench PRIVATE -O2 -DNDEBUG)
  target_compile_definitions(kelpo_gif_image_bench PRIVATE KELPO_SHARED_DIR="${KELPO_SHARED_DIR}")
endif()

# libFuzzer targets, in a clang tree of their own (fuzz/run-fuzz.sh makes build-fuzz/).
option(KELPO_FUZZ "Build the libFuzzer targets (needs clang)" OFF)
if(KELPO_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "KELPO_FUZZ needs clang: configure with CC=clang CXX=clang++")
  endif()
  set(KELPO_FUZZ_FLAGS -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined)
  add_executable(lzw_equivalence_fuzz fuzz/LZWEquivalenceFuzz.cpp gif/LZWDecoder.cpp tests/gif/LZWReference.cpp)
  add_executable(gif_decoder_fuzz fuzz/GIFDecoderFuzz.cpp gif/GIFDecoder.cpp gif/LZWDecoder.cpp)
  foreach(target lzw_equivalence_fuzz gif_decoder_fuzz)
    target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
    target_compile_options(${target} PRIVATE ${KELPO_FUZZ_FLAGS})
    target_link_options(${target} PRIVATE ${KELPO_FUZZ_FLAGS})
  endforeach()
endif()

# kelpo-schedule: the main window on the simulated platform through virtual time.
add_library(kelpo_schedule_sim STATIC tools/schedule/ScheduleSimulation.cpp tools/schedule/RegionOptions.cpp)
target_link_libraries(kelpo_schedule_sim PUBLIC kelpo_sim)
add_executable(kelpo-schedule tools/schedule/kelpo-schedule.cpp)
target_link_libraries(kelpo-schedule PRIVATE kelpo_schedule_sim)
target_link_libraries(kelpo_tests PRIVATE kelpo_schedule_sim)

# The threaded animation timer's tests alone, for a ThreadSanitizer tree (tools/run-tests.sh tsan).
add_executable(kelpo_thread_tests tests/gif/TimerExTest.cpp)
target_link_libraries(kelpo_thread_tests PRIVATE kelpo_sim GTest::gtest_main)
