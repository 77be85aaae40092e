# Where the programs find their files, in the build tree and once installed.
#
# Executables land in one folder together with the button images: that folder is the
# program folder the package builder copies up.jpg and down.jpg from. The demo finds
# the sample relative to the program folder, so no path of the source tree is compiled
# into a program: share/vesk/sample beside bin/ in the build tree, and the installed
# share/vesk/sample as seen from lib/vesk.
include(GNUInstallDirs)

set(VESK_PROGRAM_DIR ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${VESK_PROGRAM_DIR})
set(VESK_INSTALL_PROGRAM_DIR lib/vesk)
set(VESK_INSTALL_SAMPLE_DIR ${CMAKE_INSTALL_DATADIR}/vesk/sample)

set(VESK_BUILD_SAMPLE_DIR ${CMAKE_BINARY_DIR}/share/vesk/sample)
file(RELATIVE_PATH VESK_SAMPLE_FROM_BUILD_PROGRAM_DIR ${VESK_PROGRAM_DIR} ${VESK_BUILD_SAMPLE_DIR})
file(RELATIVE_PATH VESK_SAMPLE_FROM_INSTALLED_PROGRAM_DIR
     /prefix/${VESK_INSTALL_PROGRAM_DIR} /prefix/${VESK_INSTALL_SAMPLE_DIR})

# Debug information and __FILE__ name sources relative to the source tree.
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=)
endif()

add_custom_target(vesk-button-images ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VESK_PROGRAM_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different
          ${CMAKE_SOURCE_DIR}/data/up.jpg ${CMAKE_SOURCE_DIR}/data/down.jpg ${VESK_PROGRAM_DIR}
  COMMENT "Placing the button images beside the executables")

file(GLOB_RECURSE VESK_SAMPLE_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/sample/*)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/vesk-sample.stamp
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${VESK_BUILD_SAMPLE_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/data/sample ${VESK_BUILD_SAMPLE_DIR}
  COMMAND ${CMAKE_COMMAND} -E touch ${CMAKE_BINARY_DIR}/vesk-sample.stamp
  DEPENDS ${VESK_SAMPLE_FILES}
  COMMENT "Placing the sample exhibition in the build tree")
add_custom_target(vesk-sample DEPENDS ${CMAKE_BINARY_DIR}/vesk-sample.stamp)
