# Cross tree: kelpo.exe on the real Windows services, Win32 tests run by ctest
# through Wine, and the end-to-end driver.

enable_language(RC)
file(GLOB KELPO_WIN32_SOURCES CONFIGURE_DEPENDS platform/win32/*.cpp framework/widgets/win32/*.cpp)
add_library(kelpo_win32 STATIC ${KELPO_WIN32_SOURCES})
target_link_libraries(kelpo_win32 PUBLIC kelpo_core comctl32 gdi32 user32 shell32 advapi32 version wininet)

add_executable(kelpo WIN32 app/Main.cpp app/Kelpo.rc)
target_link_libraries(kelpo PRIVATE kelpo_win32)
set_target_properties(kelpo PROPERTIES OUTPUT_NAME kelpo)

file(GLOB KELPO_WIN32_TEST_SOURCES CONFIGURE_DEPENDS tests/win32/*.cpp tests/conformance/*.cpp)
add_executable(kelpo_win32_tests ${KELPO_WIN32_TEST_SOURCES})
target_link_libraries(kelpo_win32_tests PRIVATE kelpo_win32 GTest::gtest_main GTest::gmock)
gtest_discover_tests(kelpo_win32_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)

file(GLOB KELPO_E2E_SOURCES CONFIGURE_DEPENDS tests/e2e/*.cpp)
add_executable(kelpo_e2e ${KELPO_E2E_SOURCES})
target_link_libraries(kelpo_e2e PRIVATE comctl32 gdi32 user32 shell32 advapi32)
add_dependencies(kelpo_e2e kelpo)
add_test(NAME e2e COMMAND kelpo_e2e $<TARGET_FILE:kelpo>)
set_tests_properties(e2e PROPERTIES TIMEOUT 180)
