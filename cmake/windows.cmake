# SPDX-License-Identifier: MIT
# The Windows build: the core every front end builds on, the Win32 window, the
# installer and the portable archive, and the core's tests run under wine.
# Cross-build it with scripts/build-windows.sh.

# The core (text/, removal/, window/) is added by the top-level CMakeLists.txt
# before this file. What a front end links: the core, with headers found from
# the project root.
add_library(vorlane_core INTERFACE)
target_link_libraries(vorlane_core INTERFACE vorlane_text vorlane_removal vorlane_window)
target_include_directories(vorlane_core INTERFACE ${PROJECT_SOURCE_DIR})

# The core's tests, built into one program that runs under wine in one process.
set(VORLANE_CORE_TEST_SOURCES
  ${PROJECT_SOURCE_DIR}/tests/text/line_breaks_test.cpp
  ${PROJECT_SOURCE_DIR}/tests/text/replace_line_breaks_test.cpp
  ${PROJECT_SOURCE_DIR}/tests/removal/earlier_occurrence_test.cpp
  ${PROJECT_SOURCE_DIR}/tests/removal/hash_filter_test.cpp
  ${PROJECT_SOURCE_DIR}/tests/removal/remove_duplicate_lines_test.cpp
  ${PROJECT_SOURCE_DIR}/tests/window/window_commands_test.cpp
)

# The program's icon, version and manifest, as the object library
# vorlane_win32_resources that the program links.
add_subdirectory(win32/resources)
add_subdirectory(win32)
# The installer and the portable archive.
add_subdirectory(packaging/windows)

include(CTest)
if(BUILD_TESTING)
  add_subdirectory(testing)
  add_subdirectory(tests/win32)
endif()
