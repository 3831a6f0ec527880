# Tests: Windows executables run under Wine through CTest.
enable_testing()
include(GoogleTest)

set(CORVELA_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix" CACHE PATH "Wine prefix of this build")
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_SOURCE_DIR}/cmake/wine-run.sh;--prefix;${CORVELA_WINEPREFIX}")

# GoogleTest from Debian's googletest source package, compiled with this toolchain.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
target_compile_definitions(gtest PUBLIC UNICODE _UNICODE)
target_compile_definitions(gtest_main PUBLIC UNICODE _UNICODE)

set(CMAKE_RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}")
# Linked into every test program: the line it writes first (tests/TestStart.cpp).
set(TEST_START "${CMAKE_SOURCE_DIR}/tests/TestStart.cpp")
set_target_properties(${CORVELA_EXE_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}")

# Unit tests: the program's own code linked into a console test program.
file(GLOB UNIT_SOURCES CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/tests/unit/*.cpp")
add_executable(corvela_unit ${UNIT_SOURCES} ${TEST_START} $<TARGET_OBJECTS:corvela_core> $<TARGET_OBJECTS:corvela_res>)
target_include_directories(corvela_unit PRIVATE "${CMAKE_SOURCE_DIR}/tests")
target_link_libraries(corvela_unit PRIVATE corvela_core gtest_main)
# Every Wine test takes one desk (a display and a prefix of its own, scripts/test.sh).
gtest_discover_tests(corvela_unit DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
  PROPERTIES RESOURCE_GROUPS desk:1 TIMEOUT 120 LABELS unit)

# End-to-end tests: drive the real program from a separate process.
file(GLOB E2E_SOURCES CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/tests/e2e/*.cpp")
if(E2E_SOURCES)
  add_executable(corvela_e2e ${E2E_SOURCES} ${TEST_START})
  target_include_directories(corvela_e2e PRIVATE "${CMAKE_SOURCE_DIR}/tests" "${CMAKE_SOURCE_DIR}/tamsel")
  target_link_libraries(corvela_e2e PRIVATE corvela_flags gtest_main ${CORVELA_SYSTEM_LIBS})
  add_dependencies(corvela_e2e ${CORVELA_EXE_NAME})
  gtest_discover_tests(corvela_e2e DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES RESOURCE_GROUPS desk:1 TIMEOUT 180 LABELS e2e)
endif()

# Benchmarks: built and run alone, they print their figures beside a floor. They fail when
# they cannot measure (a set-up or a frame fails, no indicator over the target) and
# bench_tick when 10,000 steady ticks grow the working set by 256 KiB or more;
# bench_steady (below) has limits of its own.
file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/tests/bench/*.cpp")
foreach(src IN LISTS BENCH_SOURCES)
  get_filename_component(name "${src}" NAME_WE)
  add_executable(${name} ${src} ${TEST_START} $<TARGET_OBJECTS:corvela_core> $<TARGET_OBJECTS:corvela_res>)
  target_include_directories(${name} PRIVATE "${CMAKE_SOURCE_DIR}/tests")
  target_link_libraries(${name} PRIVATE corvela_core)
  target_link_options(${name} PRIVATE -municode)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE TIMEOUT 600 LABELS bench)
endforeach()

# The executables' images: machine, subsystem, exports and the shared log section.
find_program(OBJDUMP64 x86_64-w64-mingw32-objdump REQUIRED)
add_test(NAME image.Corvela
  COMMAND "${CMAKE_SOURCE_DIR}/scripts/check-image.sh" "${OBJDUMP64}" "$<TARGET_FILE:${CORVELA_EXE_NAME}>" x86-64)
set_tests_properties(image.Corvela PROPERTIES LABELS image)
if(CORVELA32_EXE)
  find_program(OBJDUMP32 i686-w64-mingw32-objdump REQUIRED)
  add_test(NAME image.Corvela32
    COMMAND "${CMAKE_SOURCE_DIR}/scripts/check-image.sh" "${OBJDUMP32}" "${CORVELA32_EXE}" i386)
  set_tests_properties(image.Corvela32 PROPERTIES LABELS image)
endif()

# The real program in the steady state (idle CPU and memory with a window in front, a
# flood of hook messages, the exit code): its own virtual display and Wine prefix.
add_test(NAME bench_steady COMMAND bash "${CMAKE_SOURCE_DIR}/scripts/measure-steady.sh")
set_tests_properties(bench_steady PROPERTIES RUN_SERIAL TRUE TIMEOUT 600 LABELS bench
  ENVIRONMENT "CORVELA_BUILD=${CMAKE_BINARY_DIR}/..")
