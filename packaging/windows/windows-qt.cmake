# Finds the static Qt for Windows that packaging/windows/build-qt-windows built, for a
# cross build of the window. VELNOR_QT_WINDOWS (cache or environment) names its folder; by
# default it is the script's folder for the host Qt's version. The host Qt's tools (moc,
# rcc, uic) do the build's code generation, so both must be the same version.
if(NOT QT_HOST_PATH)
  set(QT_HOST_PATH /usr CACHE PATH "Host Qt whose tools the cross build runs")
endif()
file(GLOB host_version_file "${QT_HOST_PATH}/lib/*/cmake/Qt6/Qt6ConfigVersionImpl.cmake"
     "${QT_HOST_PATH}/lib/cmake/Qt6/Qt6ConfigVersionImpl.cmake")
if(NOT host_version_file)
  message(FATAL_ERROR "No host Qt 6 in ${QT_HOST_PATH} (run scripts/install-deps)")
endif()
list(GET host_version_file 0 host_version_file)
file(STRINGS "${host_version_file}" host_version REGEX "set\\(PACKAGE_VERSION \"[0-9.]+\"\\)")
string(REGEX REPLACE ".*\"([0-9.]+)\".*" "\\1" host_version "${host_version}")
if(NOT QT_HOST_PATH_CMAKE_DIR)
  get_filename_component(host_cmake_dir "${host_version_file}" DIRECTORY)
  get_filename_component(host_cmake_dir "${host_cmake_dir}" DIRECTORY)
  set(QT_HOST_PATH_CMAKE_DIR "${host_cmake_dir}" CACHE PATH "The host Qt's CMake packages")
endif()

set(VELNOR_QT_WINDOWS "$ENV{VELNOR_QT_WINDOWS}"
    CACHE PATH "Qt for Windows, as built by packaging/windows/build-qt-windows")
if(NOT VELNOR_QT_WINDOWS)
  # The cache folder of packaging/apt-and-cache.sh.
  set(cache_home "$ENV{XDG_CACHE_HOME}")
  if(NOT cache_home)
    set(cache_home "$ENV{HOME}/.cache")
  endif()
  set(VELNOR_QT_WINDOWS "${cache_home}/velnor-config/qt-${host_version}-mingw-static"
      CACHE PATH "Qt for Windows, as built by packaging/windows/build-qt-windows" FORCE)
endif()
if(NOT EXISTS "${VELNOR_QT_WINDOWS}/velnor-qt-build.stamp")
  message(FATAL_ERROR "No Qt for Windows in ${VELNOR_QT_WINDOWS}: run "
                      "packaging/windows/build-qt-windows (or name the folder of one in "
                      "VELNOR_QT_WINDOWS)")
endif()
message(STATUS "Qt for Windows: ${VELNOR_QT_WINDOWS}")

# The toolchain searches packages only below its root paths: Qt's folder joins them.
list(APPEND CMAKE_FIND_ROOT_PATH "${VELNOR_QT_WINDOWS}")
list(APPEND CMAKE_PREFIX_PATH "${VELNOR_QT_WINDOWS}")
