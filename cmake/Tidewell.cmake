# Build-wide settings and the helpers that every subsystem uses.

if(MSVC)
  add_compile_options(/W4)
else()
  add_compile_options(-Wall -Wextra -Wno-unused-parameter)
endif()

if(WIN32)
  # The DLL and every test program stand alone beside the system DLLs.
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601
                          _CRT_SECURE_NO_WARNINGS)
  if(NOT MSVC)
    add_link_options(-static -static-libgcc -static-libstdc++)
  endif()
endif()

if(TW_SANITIZE)
  # The library's own bounds checks see what the sanitizers cannot, such as
  # an index past the end of a vector<bool>.
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all
                      -D_GLIBCXX_ASSERTIONS)
  add_link_options(-fsanitize=address,undefined)
endif()

# Wine runs the cross-built tests, in one prefix under the build tree that
# the first test makes and every later one reuses.
if(CMAKE_CROSSCOMPILING AND WIN32)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(TW_WINE_ARCH win64)
  else()
    set(TW_WINE_ARCH win32)
  endif()
  set(CMAKE_CROSSCOMPILING_EMULATOR
      "${PROJECT_SOURCE_DIR}/tools/wine/wine-run;--headless;${CMAKE_BINARY_DIR}/wineprefix;${TW_WINE_ARCH}")
endif()

set(TW_GTEST_READY OFF)
macro(tw_use_gtest)
  if(NOT TW_GTEST_READY)
    if(CMAKE_CROSSCOMPILING)
      # Debian ships GoogleTest as sources; build them for the target.
      set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
      set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
      add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
      if(NOT TARGET GTest::gtest)
        add_library(GTest::gtest ALIAS gtest)
        add_library(GTest::gtest_main ALIAS gtest_main)
        add_library(GTest::gmock ALIAS gmock)
      endif()
    else()
      find_package(GTest REQUIRED)
    endif()
    set(TW_GTEST_READY ON)
  endif()
endmacro()

# tw_test(NAME name SOURCES ... LIBS ... [LABELS ...] [LOCKS ...])
# LOCKS names shared per-user stores (the URL cache, say) that the test
# changes, so that CTest never runs two such tests at once.
function(tw_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;LABELS;LOCKS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR})
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT 300)
  if(T_LABELS)
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}")
  endif()
  if(T_LOCKS)
    set_tests_properties(${T_NAME} PROPERTIES RESOURCE_LOCK "${T_LOCKS}")
  endif()
endfunction()

# A library of one subsystem: portable sources always, Win32 sources in the
# Windows build only.
function(tw_library name)
  cmake_parse_arguments(L "" "" "PORTABLE;WIN32;NATIVE;DEPS;WIN32_DEPS" ${ARGN})
  set(sources ${L_PORTABLE})
  if(WIN32)
    list(APPEND sources ${L_WIN32})
  else()
    list(APPEND sources ${L_NATIVE})
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${L_DEPS})
  if(WIN32)
    target_link_libraries(${name} PUBLIC ${L_WIN32_DEPS})
  endif()
endfunction()

if(TW_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
