# SPDX-License-Identifier: MIT
# The Windows build: the core every front end builds on, the Win32 window, the
# installer and the portable archive, and the core's tests run under wine.
# Cross-build it with scripts/build-windows.sh.

# The core's folders, libraries and tests: the one place that names them.
set(vorlane_core_dirs commands)
set(vorlane_core_libraries vorlane_commands)
set(VORLANE_CORE_TEST_SOURCES
  ${PROJECT_SOURCE_DIR}/tests/earlier_occurrence_test.cpp
  ${PROJECT_SOURCE_DIR}/tests/remove_duplicate_lines_test.cpp
  ${PROJECT_SOURCE_DIR}/tests/replace_line_breaks_test.cpp
  ${PROJECT_SOURCE_DIR}/tests/window_commands_test.cpp
)

foreach(dir IN LISTS vorlane_core_dirs)
  add_subdirectory(${dir})
endforeach()
# What a front end links: the core, with headers found from the project root.
add_library(vorlane_core INTERFACE)
target_link_libraries(vorlane_core INTERFACE ${vorlane_core_libraries})
target_include_directories(vorlane_core INTERFACE ${PROJECT_SOURCE_DIR})

# The program's icon, version and manifest, as the object library
# vorlane_win32_resources that the program links.
add_subdirectory(win32/resources)
if(EXISTS ${PROJECT_SOURCE_DIR}/win32/CMakeLists.txt)
  add_subdirectory(win32)
endif()
# The installer and the portable archive, once there is a program to pack.
if(TARGET vorlane)
  add_subdirectory(packaging/windows)
endif()

include(CTest)
if(BUILD_TESTING)
  add_subdirectory(tests/win32)
endif()
