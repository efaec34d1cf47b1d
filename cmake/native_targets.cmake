# Native (Linux) build: the portable core with its unit tests, benchmarks and fuzzers.
find_package(GTest REQUIRED)
include(GoogleTest)

add_executable(companion_tests)
target_link_libraries(companion_tests PRIVATE companion_core GTest::gtest GTest::gtest_main)
gtest_discover_tests(companion_tests DISCOVERY_TIMEOUT 60 PROPERTIES LABELS native)

# Native definitions of the link-time seams (the platform steps the program takes through
# Windows), for the tests, benchmarks and fuzzers. It links the core after itself, since the
# seams use portable helpers too.
add_library(companion_native_seams STATIC)
target_link_libraries(companion_native_seams PUBLIC companion_core)
target_link_libraries(companion_tests PRIVATE companion_native_seams)

find_package(benchmark REQUIRED)
add_executable(companion_benchmarks)
target_link_libraries(companion_benchmarks PRIVATE companion_native_seams benchmark::benchmark
                                                   benchmark::benchmark_main)

# In the fuzzing build the portable core is instrumented too: libFuzzer is guided by the
# coverage of the code under test, and the sanitizers must see inside it, not just the
# fuzzers' own entry points. Every program linking the core then needs the sanitizer runtimes.
if(SCROLLWICK_FUZZ)
  target_compile_options(companion_core PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
  target_compile_options(companion_native_seams PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
  target_link_options(companion_core INTERFACE -fsanitize=address,undefined)
endif()

# companion_add_fuzzer(<name> <source>): a libFuzzer target over the portable core, plus a
# short bounded run of it over its committed seed corpus (<source dir>/corpus/<name>).
function(companion_add_fuzzer name source)
  if(NOT SCROLLWICK_FUZZ)
    return()
  endif()
  add_executable(${name} ${source})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE companion_native_seams)
  # New inputs go to a corpus in the build tree; the committed seeds are only read.
  set(seeds ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${name})
  set(found ${CMAKE_CURRENT_BINARY_DIR}/corpus/${name})
  file(MAKE_DIRECTORY ${found})
  add_test(NAME ${name}_run COMMAND ${name} -runs=20000 -max_len=65536 ${found} ${seeds})
  set_tests_properties(${name}_run PROPERTIES LABELS fuzz)
endfunction()

# The art generator and its check run once, in the plain native build; the sanitizer and fuzzing
# builds have nothing to add to a drawing program that takes minutes under ASan.
option(SCROLLWICK_ART "Build the art generator and its check" ON)
if(SCROLLWICK_ART)
  add_subdirectory(tools/art)
  # The web site's picture, for the site tests of this build.
  add_custom_command(
    OUTPUT ${SCROLLWICK_SITE_FIGURE}
    COMMAND scrollwick_art --site-figure ${SCROLLWICK_SITE_FIGURE}
    DEPENDS scrollwick_art
    COMMENT "Drawing the web site's picture of the figure")
  add_custom_target(site_figure ALL DEPENDS ${SCROLLWICK_SITE_FIGURE})
endif()
