# Windows (MinGW-w64) build: the program, its Windows-tier tests and the end-to-end harness,
# all run under Wine through CMAKE_CROSSCOMPILING_EMULATOR.
target_compile_definitions(companion_warnings INTERFACE UNICODE _UNICODE NOMINMAX
                                                        _WIN32_WINNT=0x0A00 WINVER=0x0A00)
# The UTF-16 boundary helpers reinterpret char16_t as wchar_t.
target_compile_options(companion_warnings INTERFACE -fno-strict-aliasing)
# A static C++ runtime lets the exe and the test programs run without MinGW's DLLs.
target_link_options(companion_warnings INTERFACE -static)
# Sections that start on page boundaries in the file let a loader map the image instead of
# reading it: Wine reads an image with 512-byte file alignment into private memory whole, atlases
# and all (about 32 MB of working set for art that is only read when a clip starts).
target_link_options(companion_warnings INTERFACE -Wl,--file-alignment=4096)

set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# A DLL that Windows does not keep among its known system DLLs is searched for in the program's
# own folder first when it is loaded at start-up, so a DLL planted beside a downloaded program
# would be loaded in its place. Those the program uses are bound on first use instead (delay
# loaded), after wWinMain has limited the search to System32: comctl32 (without a side-by-side
# dependency it is found by that same search), WinHTTP, wtsapi32 and GDI+, which only some Windows
# versions count as known. The delay-load import libraries are made from MinGW's own import
# libraries, so they list the same functions.
set(companion_delayed_dlls comctl32 gdiplus winhttp wtsapi32)
set(delay_import_dir ${CMAKE_BINARY_DIR}/delay-import)
file(MAKE_DIRECTORY ${delay_import_dir})
foreach(dll IN LISTS companion_delayed_dlls)
  find_library(${dll}_import_library ${dll} REQUIRED)
  execute_process(COMMAND ${CMAKE_NM} -g --defined-only ${${dll}_import_library}
                  OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCHALL " T [^\n]+" functions "${symbols}")
  list(TRANSFORM functions REPLACE "^ T " "")
  list(JOIN functions "\n" exports)
  # Rewritten only when changed, so that configuring again does not relink every program.
  set(def ${delay_import_dir}/${dll}.def)
  file(WRITE ${def}.new "LIBRARY ${dll}.dll\nEXPORTS\n${exports}\n")
  file(COPY_FILE ${def}.new ${def} ONLY_IF_DIFFERENT)
  if(NOT EXISTS ${delay_import_dir}/lib${dll}.a OR ${def} IS_NEWER_THAN
                                                    ${delay_import_dir}/lib${dll}.a)
    execute_process(COMMAND ${CMAKE_DLLTOOL} --input-def ${def} --dllname ${dll}.dll
                            --output-delaylib ${delay_import_dir}/lib${dll}.a
                    COMMAND_ERROR_IS_FATAL ANY)
  endif()
  # MinGW's import library after it still gives what it holds besides imports (GDI+'s GUIDs and
  # cached font families); its import stubs are never reached, the delayed ones come first.
  add_library(delayed_${dll} STATIC IMPORTED)
  set_target_properties(delayed_${dll} PROPERTIES IMPORTED_LOCATION ${delay_import_dir}/lib${dll}.a
                                                  INTERFACE_LINK_LIBRARIES ${dll})
endforeach()

add_library(companion_win STATIC)
target_link_libraries(
  companion_win
  PUBLIC companion_core
         delayed_gdiplus
         delayed_winhttp
         delayed_comctl32
         shell32
         ole32
         oleaut32
         uuid
         delayed_wtsapi32
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
