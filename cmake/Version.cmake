# The one version of Vesk is the project version; programs read it from a configured
# header through the interface target vesk-version.
configure_file(${CMAKE_CURRENT_LIST_DIR}/vesk_version.h.in
               ${CMAKE_BINARY_DIR}/generated/vesk_version.h @ONLY)
add_library(vesk-version INTERFACE)
target_include_directories(vesk-version INTERFACE ${CMAKE_BINARY_DIR}/generated)
