# Build conventions shared by every directory.

if(PINDLE_WINDOWS)
  include(${CMAKE_CURRENT_LIST_DIR}/HostTools.cmake)

  # The setup program is lean: no exceptions, no RTTI, sized for space, unused sections dropped,
  # and it needs no DLL beyond those of Windows.
  set(PINDLE_PRODUCT_FLAGS -Os -Wall -Wextra -Werror -fno-exceptions -fno-rtti
      -ffunction-sections -fdata-sections -fno-asynchronous-unwind-tables)
  set(PINDLE_PRODUCT_LINK -static -s -Wl,--gc-sections)
  set(PINDLE_TEST_FLAGS -O1 -Wall -Wextra)

  # Product code compiled into a static library of the setup program.
  function(pindle_windows_library name)
    add_library(${name} STATIC ${ARGN})
    target_compile_options(${name} PRIVATE ${PINDLE_PRODUCT_FLAGS})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  endfunction()

  # A Windows test program (GoogleTest) that runs under Wine in a private prefix.
  #   pindle_wine_test(<name> SOURCES ... LIBS ... [MODES nt win95] [ENVIRONMENT VAR=value ...]
  #                    [RESOURCES <object library of pindle_setup_resources>])
  # Each mode becomes one CTest test <name>.<mode>, with Wine playing that Windows family.
  function(pindle_wine_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS;MODES;ENVIRONMENT;RESOURCES" ${ARGN})
    # The setup program's own resources (dialog templates, icon, payload) come with every
    # test program, unless it names other ones (pindle_setup_resources).
    if(NOT T_RESOURCES)
      set(T_RESOURCES pindle_resources)
    endif()
    add_executable(${name} ${T_SOURCES})
    target_compile_options(${name} PRIVATE ${PINDLE_TEST_FLAGS})
    target_link_libraries(${name} PRIVATE ${T_LIBS} ${T_RESOURCES} GTest::gtest GTest::gtest_main)
    target_link_options(${name} PRIVATE -static)
    if(NOT T_MODES)
      set(T_MODES nt)
    endif()
    foreach(mode IN LISTS T_MODES)
      add_test(NAME ${name}.${mode} COMMAND ${name} --gtest_color=no)
      set_tests_properties(${name}.${mode} PROPERTIES
        FIXTURES_REQUIRED wine_template
        TIMEOUT 600
        ENVIRONMENT "PINDLE_WINE_TEMPLATE=${CMAKE_BINARY_DIR}/wine/template;PINDLE_WINE_RUNS=${CMAKE_BINARY_DIR}/wine/runs;PINDLE_WINE_VERSION=${mode};${T_ENVIRONMENT}")
    endforeach()
  endfunction()
else()
  if(PINDLE_TOOLS_ONLY)
    # The tools that the Windows builds run (and the benchmarks time): optimised, no sanitizers.
    set(PINDLE_SANITIZE "")
    set(PINDLE_HOST_FLAGS -O2 -Wall -Wextra)
  else()
    set(PINDLE_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    set(PINDLE_HOST_FLAGS -O1 -g -Wall -Wextra -Werror ${PINDLE_SANITIZE})
    if(PINDLE_FUZZ)
      list(APPEND PINDLE_HOST_FLAGS -fsanitize=fuzzer-no-link)
    endif()
  endif()

  # Host tools land in <build>/bin, where the Windows builds find them (HostTools.cmake).
  set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

  # A host tool: built in every host build, and by the Windows builds for their own use.
  function(pindle_host_tool name)
    add_executable(${name} ${ARGN})
    target_compile_options(${name} PRIVATE ${PINDLE_HOST_FLAGS})
    target_link_options(${name} PRIVATE ${PINDLE_SANITIZE})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  endfunction()

  # Code that needs no Windows, built for the host as well.
  function(pindle_host_library name)
    add_library(${name} STATIC ${ARGN})
    target_compile_options(${name} PRIVATE ${PINDLE_HOST_FLAGS})
    target_link_options(${name} PUBLIC ${PINDLE_SANITIZE})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  endfunction()

  # A host test program (GoogleTest, sanitizers on); each test case becomes a CTest test.
  function(pindle_host_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    if(PINDLE_FUZZ OR PINDLE_TOOLS_ONLY)
      return()
    endif()
    add_executable(${name} ${T_SOURCES})
    target_compile_options(${name} PRIVATE ${PINDLE_HOST_FLAGS})
    target_link_options(${name} PRIVATE ${PINDLE_SANITIZE})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
    gtest_discover_tests(${name} TEST_PREFIX "host.${name}." DISCOVERY_TIMEOUT 60)
  endfunction()

  # A libFuzzer target; the test command runs it briefly over its corpus in tests/fuzz/corpus/<name>.
  function(pindle_fuzz_target name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    if(NOT PINDLE_FUZZ)
      return()
    endif()
    add_executable(${name} ${T_SOURCES})
    target_compile_options(${name} PRIVATE ${PINDLE_HOST_FLAGS} -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer ${PINDLE_SANITIZE})
    target_link_libraries(${name} PRIVATE ${T_LIBS})
    set(corpus ${PROJECT_SOURCE_DIR}/tests/fuzz/corpus/${name})
    add_test(NAME fuzz.${name}
      COMMAND ${PROJECT_SOURCE_DIR}/tests/fuzz/run-fuzzer $<TARGET_FILE:${name}> ${corpus}
              ${CMAKE_BINARY_DIR}/fuzz-work/${name} 20)
    set_tests_properties(fuzz.${name} PROPERTIES TIMEOUT 300)
  endfunction()
endif()
