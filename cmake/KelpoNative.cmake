# Native tree: the portable core on the simulated platform, tests and tools.

file(GLOB_RECURSE KELPO_TEST_SOURCES CONFIGURE_DEPENDS tests/*.cpp)
list(FILTER KELPO_TEST_SOURCES EXCLUDE REGEX "/tests/(win32|e2e)/")
add_executable(kelpo_tests ${KELPO_TEST_SOURCES})
target_link_libraries(kelpo_tests PRIVATE kelpo_sim GTest::gtest_main GTest::gmock)
target_compile_definitions(kelpo_tests PRIVATE KELPO_SHARED_DIR="${KELPO_SHARED_DIR}")
gtest_discover_tests(kelpo_tests DISCOVERY_TIMEOUT 60)

# kelpo-schedule: the main window on the simulated platform through virtual time.
add_library(kelpo_schedule_sim STATIC tools/schedule/ScheduleSimulation.cpp)
target_link_libraries(kelpo_schedule_sim PUBLIC kelpo_sim)
add_executable(kelpo-schedule tools/schedule/kelpo-schedule.cpp)
target_link_libraries(kelpo-schedule PRIVATE kelpo_schedule_sim)
target_link_libraries(kelpo_tests PRIVATE kelpo_schedule_sim)
