# Helpers shared by every folder's CMakeLists.txt.
#
# Sources are picked up by pattern, so adding a file to a folder needs no edit
# here; re-run the build and CMake notices (CONFIGURE_DEPENDS).

set(VELTRINE_WARNINGS -Wall -Wextra -Wpedantic -Werror -Wno-error=deprecated-declarations)

# veltrine_library(<folder> [RECURSE] [DEPENDS <targets>...])
# Builds src/<folder> into the static library veltrine_<folder>.
function(veltrine_library folder)
  cmake_parse_arguments(ARG "RECURSE" "" "DEPENDS" ${ARGN})
  set(patterns *.cpp *.h *.qrc)
  list(TRANSFORM patterns PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
  if(ARG_RECURSE)
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${patterns})
  else()
    file(GLOB sources CONFIGURE_DEPENDS ${patterns})
  endif()
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  if(NOT sources MATCHES "\\.cpp")
    # A folder of interfaces only: give the library one empty unit.
    file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/empty.cpp "")
    list(APPEND sources ${CMAKE_CURRENT_BINARY_DIR}/empty.cpp)
  endif()
  set(target veltrine_${folder})
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_compile_options(${target} PRIVATE ${VELTRINE_WARNINGS})
  # Qt's signals/slots keywords clash with GLib (AT-SPI): use Q_SIGNALS, Q_SLOTS, Q_EMIT.
  target_compile_definitions(${target} PUBLIC QT_NO_KEYWORDS)
  target_link_libraries(${target} PUBLIC
    Qt6::Core Qt6::Gui Qt6::Widgets Qt6::Network QCoro6::Core QCoro6::Network ${ARG_DEPENDS})
endfunction()

# veltrine_tests(<folder> [TIMEOUT <seconds>] [DEPENDS <targets>...])
# Every *_test.cpp of tests/<folder> goes into test_<folder>, run offscreen;
# every *_desktop_test.cpp into test_<folder>_desktop, run on the test desktop's
# display one at a time (they would steal the focus from each other).
# Each test case runs as its own process, so shared singletons start fresh.
# A test case may take 120 s unless TIMEOUT gives its folder more.
function(veltrine_tests folder)
  cmake_parse_arguments(ARG "" "TIMEOUT" "DEPENDS" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  file(GLOB all_tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  file(GLOB desktop_tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_desktop_test.cpp)
  file(GLOB helpers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  set(offscreen_tests ${all_tests})
  if(desktop_tests)
    list(REMOVE_ITEM offscreen_tests ${desktop_tests})
  endif()
  if(offscreen_tests)
    _veltrine_test_executable(test_${folder} "${offscreen_tests};${helpers}" OFF "${ARG_DEPENDS}" ${ARG_TIMEOUT})
  endif()
  if(desktop_tests)
    _veltrine_test_executable(test_${folder}_desktop "${desktop_tests};${helpers}" ON "${ARG_DEPENDS}" ${ARG_TIMEOUT})
  endif()
endfunction()

function(_veltrine_test_executable target sources on_desktop depends timeout)
  # Each test carries its folder's name as a label: ctest -L mainwindow.
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  add_executable(${target} ${sources})
  target_compile_options(${target} PRIVATE ${VELTRINE_WARNINGS})
  target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${target} PRIVATE veltrine_testsupport ${depends})
  if(on_desktop)
    gtest_discover_tests(${target}
      DISCOVERY_TIMEOUT 30
      PROPERTIES ENVIRONMENT "VELTRINE_TEST_DISPLAY=1" RESOURCE_LOCK desktop_focus TIMEOUT ${timeout} LABELS ${folder})
  else()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 30 PROPERTIES TIMEOUT ${timeout} LABELS ${folder})
  endif()
endfunction()
