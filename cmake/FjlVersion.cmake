# fjl_version: the generated header "fjl_version.h" with fjl::kVersion, so the
# three programs and the package carry one version, project(VERSION ...).
configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in
               ${PROJECT_BINARY_DIR}/generated/fjl_version.h @ONLY)
add_library(fjl_version INTERFACE)
target_include_directories(fjl_version INTERFACE ${PROJECT_BINARY_DIR}/generated)
