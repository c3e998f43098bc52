# The one place the version is kept is project(VERSION) in the top-level CMakeLists.txt. This
# derives every form it is shown in and writes them into lumivo/version.h, which the logic,
# the resources and the packages read.
#   LUMIVO_VERSION_TEXT   "1.20.0006" for 1.20.0.6: the version block's text (major.minor and
#                         the build number in four digits; there is no room for a patch)
#   LUMIVO_SHORT_VERSION  "1.2": the window caption's, the minor without trailing zeros
if(NOT PROJECT_VERSION_PATCH EQUAL 0)
  message(FATAL_ERROR "the version text has no place for a patch number: keep it 0")
endif()
math(EXPR padded_build "10000 + ${PROJECT_VERSION_TWEAK}")
string(SUBSTRING "${padded_build}" 1 4 padded_build)
set(LUMIVO_VERSION_TEXT "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${padded_build}")
string(REGEX REPLACE "0+$" "" short_minor "${PROJECT_VERSION_MINOR}")
if(short_minor STREQUAL "")
  set(short_minor 0)
endif()
set(LUMIVO_SHORT_VERSION "${PROJECT_VERSION_MAJOR}.${short_minor}")

set(LUMIVO_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in ${LUMIVO_GENERATED_DIR}/lumivo/version.h @ONLY)
