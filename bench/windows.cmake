# The Windows side of the benchmarks, included by the top-level CMakeLists.txt
# (bench/CMakeLists.txt itself is only for the native build).
if(NOT WIN32)
  return()
endif()
set(VISTREL_BENCH_WIN_DIR ${CMAKE_CURRENT_LIST_DIR}/win)

# The bare limits, the key-to-clipboard stopwatch and a capture's steps; links
# the program's code to time its writers and its capture path as built.
add_executable(vistrel_bench_probe
               ${VISTREL_BENCH_WIN_DIR}/bench_probe.cpp ${VISTREL_BENCH_WIN_DIR}/probe_common.cpp
               ${VISTREL_BENCH_WIN_DIR}/probe_limits.cpp ${VISTREL_BENCH_WIN_DIR}/probe_hotkey.cpp
               ${VISTREL_BENCH_WIN_DIR}/probe_steps.cpp)
target_link_libraries(vistrel_bench_probe PRIVATE vistrel_program)
target_link_options(vistrel_bench_probe PRIVATE -static -s)

# The smallest tray-resident key poller, to set the program's idle cost against.
add_executable(vistrel_idle_tray WIN32 ${VISTREL_BENCH_WIN_DIR}/idle_tray.cpp)
target_link_libraries(vistrel_idle_tray PRIVATE user32 shell32)
target_link_options(vistrel_idle_tray PRIVATE -static -s)

set_target_properties(vistrel_bench_probe vistrel_idle_tray PROPERTIES
                      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)

# The tray poller plus, one flag at a time, what the program does before its
# first capture: bare, importing the program's DLLs, with those and the
# program's resources (its common-controls 6 manifest among them), and the
# same resources with comctl32 loaded only when first used
# (LoadLibrary), as the program could have them.
foreach(variant bare dlls v6 v6_on_use)
  set(name vistrel_footprint_${variant})
  set(sources ${VISTREL_BENCH_WIN_DIR}/footprint.cpp)
  if(variant MATCHES "^v6")
    list(APPEND sources ${PROJECT_SOURCE_DIR}/res/vistrel.rc)
  endif()
  add_executable(${name} WIN32 ${sources})
  target_link_libraries(${name} PRIVATE vistrel_program)
  if(variant STREQUAL "dlls" OR variant STREQUAL "v6")
    target_compile_definitions(${name} PRIVATE FOOTPRINT_PROGRAM_IMPORTS)
  endif()
  target_link_options(${name} PRIVATE ${VISTREL_EXE_LINK_OPTIONS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endforeach()
