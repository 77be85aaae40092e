# What a cross-build takes from the build machine: header-only libraries copied into
# the build tree (so that the cross-compiler never sees the host's /usr/include), and
# GoogleTest built from its Debian sources.

# CLI11::CLI11 from the host's CLI11 headers, when the target system has no package.
function(vesk_host_cli11)
  if(TARGET CLI11::CLI11)
    return()
  endif()
  find_path(VESK_HOST_CLI11_DIR CLI/CLI.hpp PATHS /usr/include /usr/local/include
            NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(NOT VESK_HOST_CLI11_DIR)
    message(FATAL_ERROR "CLI11 headers not found on the build machine (libcli11-dev)")
  endif()
  set(copy ${CMAKE_BINARY_DIR}/host-headers)
  file(COPY ${VESK_HOST_CLI11_DIR}/CLI DESTINATION ${copy})
  add_library(vesk-host-cli11 INTERFACE)
  target_include_directories(vesk-host-cli11 SYSTEM INTERFACE ${copy})
  add_library(CLI11::CLI11 ALIAS vesk-host-cli11)
endfunction()

# GTest::gtest, GTest::gtest_main and GTest::gmock built from Debian's sources in
# /usr/src/googletest with the cross toolchain.
function(vesk_cross_googletest)
  set(source /usr/src/googletest)
  if(NOT EXISTS ${source}/CMakeLists.txt)
    message(FATAL_ERROR "${source} is missing (Debian package googletest)")
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  # Built without the project's warning flags: its warnings are not ours to fix.
  get_property(options DIRECTORY PROPERTY COMPILE_OPTIONS)
  set_property(DIRECTORY PROPERTY COMPILE_OPTIONS "")
  add_subdirectory(${source} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set_property(DIRECTORY PROPERTY COMPILE_OPTIONS "${options}")
  # Newer GoogleTest sources define the GTest:: names themselves.
  foreach(name gtest gtest_main gmock gmock_main)
    if(NOT TARGET GTest::${name})
      add_library(GTest::${name} ALIAS ${name})
    endif()
  endforeach()
endfunction()
