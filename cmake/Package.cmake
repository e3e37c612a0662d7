# The demo installation package and the release zip (Windows builds).
#   cmake --build build/win32 --target package  ->  kestrand-installer-<version>-win32.zip
# The zip holds kesinst.exe, the notes for package makers and the demo package as an example,
# with its own copy of kesinst.exe so that it runs as extracted.

# The demo package, rebuilt whenever its sources change; the end-to-end tests install it.
set(KES_DEMO_PACKAGE ${CMAKE_BINARY_DIR}/demo-package)
file(GLOB demo_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/demo/*)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/demo-package.stamp
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${KES_DEMO_PACKAGE}
  COMMAND bash ${PROJECT_SOURCE_DIR}/tools/make-demo-package.sh ${KES_DEMO_PACKAGE}
  COMMAND ${CMAKE_COMMAND} -E touch ${CMAKE_BINARY_DIR}/demo-package.stamp
  DEPENDS ${demo_sources} ${PROJECT_SOURCE_DIR}/tools/make-demo-package.sh
  COMMENT "Building the demo installation package"
  VERBATIM)
add_custom_target(demo_package ALL DEPENDS ${CMAKE_BINARY_DIR}/demo-package.stamp)

install(TARGETS kesinst RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/docs/package-makers.txt DESTINATION .)
install(DIRECTORY ${KES_DEMO_PACKAGE}/ DESTINATION example)
# The example runs as extracted: the program works on its own folder, so it is there too.
install(TARGETS kesinst RUNTIME DESTINATION example)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(CPACK_SYSTEM_NAME win32)
else()
  set(CPACK_SYSTEM_NAME win64)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME kestrand-installer)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(KES_RELEASE_NAME kestrand-installer-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})
set(CPACK_PACKAGE_FILE_NAME ${KES_RELEASE_NAME})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_OUTPUT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackConfig.cmake)
include(CPack)

if(BUILD_TESTING AND (KES_TESTS OR KES_TESTS_I686))
  # What a Windows disk tool carries: manifest, version and icon, read from the program.
  add_test(NAME release_resources
           COMMAND ${PROJECT_SOURCE_DIR}/tools/check-resources.py ${PROJECT_VERSION} $<TARGET_FILE:kesinst>)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # The release zip, made as the README says, and what it holds.
    add_test(NAME release_zip
             COMMAND bash ${PROJECT_SOURCE_DIR}/tools/check-package.sh ${CMAKE_BINARY_DIR}
                     ${KES_RELEASE_NAME} $<TARGET_FILE:kesinst> ${KES_DEMO_PACKAGE})
    set_tests_properties(release_zip PROPERTIES TIMEOUT 300)
  endif()
endif()
