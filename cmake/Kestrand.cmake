# kes_subsystem(<name> [DEPENDS <our libs>...] [SYSLIBS <Windows libs>...])
#
# A subsystem folder holds two kinds of source:
#   rules/*.cpp  platform-free parsing and arithmetic (no windows.h): library <name>_rules,
#                built in every build, the native one included;
#   *.cpp        the Win32 code: library <name>, built for Windows only, linked to its rules.
# Sources are found by pattern so adding a class means adding its two files, nothing else.
function(kes_subsystem name)
  cmake_parse_arguments(A "" "" "DEPENDS;SYSLIBS" ${ARGN})
  file(GLOB rules CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/rules/*.cpp)
  if(rules)
    add_library(${name}_rules STATIC ${rules})
    target_include_directories(${name}_rules PUBLIC ${PROJECT_SOURCE_DIR}/src)
  else()
    add_library(${name}_rules INTERFACE)
    target_include_directories(${name}_rules INTERFACE ${PROJECT_SOURCE_DIR}/src)
  endif()
  if(NOT WIN32)
    return()
  endif()
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_link_libraries(${name} PUBLIC ${name}_rules ${A_DEPENDS} ${A_SYSLIBS})
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${name}_rules ${A_DEPENDS} ${A_SYSLIBS})
  endif()
endfunction()

# Environment of every test that runs under Wine: a private prefix inside the build tree and
# no Wine debug chatter. DISPLAY comes from the caller (tools/check.sh starts Xvfb).
set(KES_WINEPREFIX ${KES_WINE_HOME}/wineprefix)
# The prefix whose drive A: the disk tests change (tools/floppy.sh); they hold the "floppy" lock.
set(KES_FLOPPY_PREFIX ${KES_WINE_HOME}/wineprefix-floppy)
set(KES_WINE_ENV "WINEPREFIX=${KES_WINEPREFIX};WINEDEBUG=-all")
# The 32-bit build's programs run under the 32-bit Wine of tools/win32-runner.sh: its `wine` comes
# first in PATH, and the runner's namespace keeper belongs to this build tree.
set(KES_WINE_ENV_MODIFICATION "")
if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(KES_WINE_ENV_MODIFICATION "PATH=path_list_prepend:${PROJECT_SOURCE_DIR}/tools/wine32"
      "KES_W32_STATE=set:${KES_WINE_HOME}/win32-runner")
endif()

# kes_wine_test(<target> [LABELS ...]): registers a built test .exe with CTest, run through Wine.
function(kes_wine_test target)
  cmake_parse_arguments(A "" "" "LABELS;PROPERTIES" ${ARGN})
  add_test(NAME ${target} COMMAND ${target})
  # One X desktop holds one keyboard focus: window tests take turns on it. Tests on a display
  # of their own (the floppy tests) run beside them.
  set_tests_properties(${target} PROPERTIES ENVIRONMENT "${KES_WINE_ENV}" TIMEOUT 300
                       RESOURCE_LOCK desktop ENVIRONMENT_MODIFICATION "${KES_WINE_ENV_MODIFICATION}")
  if(A_LABELS)
    set_tests_properties(${target} PROPERTIES LABELS "${A_LABELS}")
  endif()
endfunction()
