# Helpers shared by every subsystem folder.

# Every target of the project calls this; ZORQ_WERROR=ON makes its warnings errors.
# -Wshadow: a name that hides another (an argument its member, a lambda's argument its
# caller's) gets a name of its own instead.
# -Wconversion too where the code is clean under it: the product code (src, tools) as GCC
# builds it for Linux, 64 and 32 bits. Clang's -Wconversion also counts every change of
# sign, and the Windows code hands the system's integer types back and forth.
function(zorq_set_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow $<$<BOOL:${ZORQ_WERROR}>:-Werror>)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND NOT WIN32
     AND CMAKE_CURRENT_SOURCE_DIR MATCHES "^${PROJECT_SOURCE_DIR}/(src|tools)(/|$)")
    target_compile_options(${target} PRIVATE -Wconversion)
  endif()
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/Layering.cmake)

# Headers the configure step writes (shell/ZorqVersion.h), included like those of src/.
set(ZORQ_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)

# zorq_platform_sources(var): keeps the operating system's own implementation of each
# service. A service with two implementations has them side by side, named after the
# system: Name.h with NamePosix.cpp and NameWin32.cpp; the other system's file is dropped.
function(zorq_platform_sources var)
  set(kept)
  foreach(source IN LISTS ${var})
    get_filename_component(stem ${source} NAME_WE)
    if(WIN32 AND stem MATCHES "Posix$")
      continue()
    elseif(NOT WIN32 AND stem MATCHES "Win32$")
      continue()
    endif()
    list(APPEND kept ${source})
  endforeach()
  set(${var} ${kept} PARENT_SCOPE)
endfunction()

# zorq_add_subsystem(name DEPENDS lib...): one static library from every .cpp in
# the calling folder, public include root src/. Its links are the folder's allowed
# include edges (Layering.cmake), and each of its headers compiles on its own.
function(zorq_add_subsystem name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  zorq_platform_sources(sources)
  add_library(zorq_${name} STATIC ${sources})
  target_include_directories(zorq_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src ${ZORQ_GENERATED_DIR})
  target_link_libraries(zorq_${name} PUBLIC ${ARG_DEPENDS})
  zorq_set_warnings(zorq_${name})
  zorq_layer(zorq_${name} DEPENDS ${ARG_DEPENDS})
  zorq_check_headers(${name})
endfunction()

# Every header of the calling folder compiled alone (syntax only) as part of the
# build: a header that leans on what its includer happened to include first fails.
# The fuzz and Windows builds leave it to the Linux build, which checks the same headers.
function(zorq_check_headers name)
  if(ZORQ_ENABLE_FUZZ OR WIN32)
    return()
  endif()
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  set(stamps)
  foreach(header IN LISTS headers)
    file(RELATIVE_PATH included ${PROJECT_SOURCE_DIR}/src ${header})
    string(MAKE_C_IDENTIFIER "${included}" id)
    set(source ${CMAKE_CURRENT_BINARY_DIR}/header-check/${id}.cpp)
    set(stamp ${CMAKE_CURRENT_BINARY_DIR}/header-check/${id}.stamp)
    file(CONFIGURE OUTPUT ${source} CONTENT "#include \"${included}\"\n")
    add_custom_command(OUTPUT ${stamp}
      COMMAND ${CMAKE_CXX_COMPILER} -std=c++17 -fsyntax-only -Wall -Wextra -Werror
              -I${PROJECT_SOURCE_DIR}/src -I${ZORQ_GENERATED_DIR} ${source}
      COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
      DEPENDS ${header} ${source} IMPLICIT_DEPENDS CXX ${source}
      COMMENT "Header ${included} on its own" VERBATIM)
    list(APPEND stamps ${stamp})
  endforeach()
  add_custom_target(zorq_${name}_headers ALL DEPENDS ${stamps})
endfunction()

# zorq_add_test_suite(name DEPENDS lib... [RESOURCE_LOCK lock]): one GoogleTest
# executable from every .cpp in the calling folder, registered with CTest. Tests that
# share a lock never run at the same time (the X server's one pointer, for example).
function(zorq_add_test_suite name)
  cmake_parse_arguments(ARG "" "RESOURCE_LOCK" "DEPENDS" ${ARGN})
  set(lock)
  if(ARG_RESOURCE_LOCK)
    set(lock RESOURCE_LOCK ${ARG_RESOURCE_LOCK})
  endif()
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  zorq_platform_sources(sources)
  set(support TempHome.cpp LeakSuppressions.cpp TestSystemPosix.cpp TestSystemWin32.cpp)
  list(TRANSFORM support PREPEND ${PROJECT_SOURCE_DIR}/tests/support/)
  zorq_platform_sources(support)
  add_executable(${name}_tests ${sources} ${support})
  target_include_directories(${name}_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name}_tests PRIVATE ${ARG_DEPENDS} zorq_system GTest::gtest GTest::gtest_main)
  zorq_set_warnings(${name}_tests)
  # Under Wine a hang fails after two minutes instead of ctest's 25.
  set(timeout)
  if(WIN32)
    set(timeout TIMEOUT 120)
  endif()
  gtest_discover_tests(${name}_tests DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "ZORQ_TEST_DATA=${CMAKE_CURRENT_SOURCE_DIR}/data" ${lock}
                                  ${timeout})
endfunction()

# zorq_require_headless(target): stops the configure step when the target reaches a
# window system through its link libraries (directly or through any library it
# links). Programs that draw the editor in memory (the gui and editor suites, the
# benchmarks, zorq-snapshot) link the headless platform layer only.
function(zorq_require_headless target)
  set(forbidden zorq_platform zorq_platform_x11 zorq_platform_win32 PkgConfig::ZORQ_X11_DEPS)
  set(pending ${target})
  set(seen)
  while(pending)
    list(POP_FRONT pending current)
    if(current IN_LIST seen OR NOT TARGET ${current})
      continue()
    endif()
    list(APPEND seen ${current})
    if(current IN_LIST forbidden)
      message(FATAL_ERROR "${target} must draw without a display but links ${current}")
    endif()
    set(libraries)
    foreach(property LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
      get_target_property(found ${current} ${property})
      if(found)
        list(APPEND libraries ${found})
      endif()
    endforeach()
    foreach(library IN LISTS libraries)
      # Static libraries pass their private links on as $<LINK_ONLY:...>.
      string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" library "${library}")
      list(APPEND pending ${library})
    endforeach()
  endwhile()
endfunction()
