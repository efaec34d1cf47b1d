# Windows (MinGW-w64) build: the program, its Windows-tier tests and the end-to-end harness,
# all run under Wine through CMAKE_CROSSCOMPILING_EMULATOR.
target_compile_definitions(companion_warnings INTERFACE UNICODE _UNICODE NOMINMAX
                                                        _WIN32_WINNT=0x0A00 WINVER=0x0A00)
# The UTF-16 boundary helpers reinterpret char16_t as wchar_t.
target_compile_options(companion_warnings INTERFACE -fno-strict-aliasing)
# A static C++ runtime lets the exe and the test programs run without MinGW's DLLs.
target_link_options(companion_warnings INTERFACE -static)

set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

add_library(companion_win STATIC)
target_link_libraries(
  companion_win
  PUBLIC companion_core
         gdiplus
         windowscodecs
         winhttp
         comctl32
         shell32
         ole32
         oleaut32
         uuid
         wtsapi32
         advapi32
         user32
         gdi32)

add_executable(ScrollwickCompanion WIN32 ${PROJECT_SOURCE_DIR}/app/main_win.cpp)
target_link_libraries(ScrollwickCompanion PRIVATE companion_win)
target_link_options(ScrollwickCompanion PRIVATE -municode -mwindows)
# The program users copy carries no debug information; it goes to ScrollwickCompanion.debug next
# to it, which gdb finds through the debug link.
add_custom_command(
  TARGET ScrollwickCompanion
  POST_BUILD
  COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:ScrollwickCompanion>
          $<TARGET_FILE:ScrollwickCompanion>.debug
  COMMAND ${CMAKE_STRIP} --strip-debug --strip-unneeded $<TARGET_FILE:ScrollwickCompanion>
  COMMAND ${CMAKE_OBJCOPY} --add-gnu-debuglink=$<TARGET_FILE:ScrollwickCompanion>.debug
          $<TARGET_FILE:ScrollwickCompanion>
  VERBATIM)

# GoogleTest from Debian's source package, built with MinGW for the Windows tier.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

add_library(companion_win_testing STATIC ${PROJECT_SOURCE_DIR}/tests/message_box_watcher_win.cpp
                                         ${PROJECT_SOURCE_DIR}/tests/temp_folder_win.cpp
                                         ${PROJECT_SOURCE_DIR}/tests/live_companion_win.cpp)
target_link_libraries(companion_win_testing PUBLIC companion_win)

add_executable(companion_win_tests ${PROJECT_SOURCE_DIR}/tests/win_test_main_win.cpp)
target_link_libraries(companion_win_tests PRIVATE companion_win companion_win_testing gtest)
add_test(NAME companion_win_tests COMMAND companion_win_tests)
set_tests_properties(companion_win_tests PROPERTIES LABELS windows TIMEOUT 600)

# The art generator is a host program: build it with the host compiler, and run it before the
# resource compiler needs its atlases and icon.
include(ExternalProject)
set(SCROLLWICK_ART_DIR ${CMAKE_BINARY_DIR}/generated/art)
ExternalProject_Add(
  art_generator_build
  SOURCE_DIR ${PROJECT_SOURCE_DIR}/tools/art
  BINARY_DIR ${CMAKE_BINARY_DIR}/host-art
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++ -DBUILD_TESTING=OFF
  BUILD_BYPRODUCTS ${CMAKE_BINARY_DIR}/host-art/scrollwick_art
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON)
set(SCROLLWICK_ART_FILES ${SCROLLWICK_ART_DIR}/companion.ico ${SCROLLWICK_ART_DIR}/contact-sheet.png)
foreach(id RANGE 100 109)
  list(APPEND SCROLLWICK_ART_FILES ${SCROLLWICK_ART_DIR}/atlas-${id}.png)
endforeach()
add_custom_command(
  OUTPUT ${SCROLLWICK_ART_FILES}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${SCROLLWICK_ART_DIR}
  COMMAND ${CMAKE_BINARY_DIR}/host-art/scrollwick_art ${SCROLLWICK_ART_DIR}
  DEPENDS art_generator_build ${CMAKE_BINARY_DIR}/host-art/scrollwick_art
  COMMENT "Drawing the figure's atlases and icon")
add_custom_command(
  OUTPUT ${SCROLLWICK_SITE_FIGURE}
  COMMAND ${CMAKE_BINARY_DIR}/host-art/scrollwick_art --site-figure ${SCROLLWICK_SITE_FIGURE}
  DEPENDS art_generator_build ${CMAKE_BINARY_DIR}/host-art/scrollwick_art
  COMMENT "Drawing the web site's picture of the figure")
add_custom_target(art_assets DEPENDS ${SCROLLWICK_ART_FILES} ${SCROLLWICK_SITE_FIGURE})
