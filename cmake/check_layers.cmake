# cmake -D ROOT=<folder> -P check_layers.cmake
#
# Fails when a file of a layer folder under ROOT includes a header of a layer above it.
# The layers, lowest first:
set(layers platform errors settings app projectdb editor)

if(NOT ROOT)
  message(FATAL_ERROR "check_layers: ROOT names no folder")
endif()

get_filename_component(ROOT "${ROOT}" ABSOLUTE)
set(upward "")
foreach(layer IN LISTS layers)
  list(FIND layers ${layer} rank)
  file(GLOB_RECURSE files "${ROOT}/${layer}/*.h" "${ROOT}/${layer}/*.cpp")
  foreach(file IN LISTS files)
    file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[A-Za-z_]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([A-Za-z_]+)/.*" "\\1" target "${line}")
      list(FIND layers ${target} target_rank)
      if(target_rank GREATER rank)
        file(RELATIVE_PATH shown "${ROOT}" "${file}")
        string(STRIP "${line}" line)
        string(APPEND upward "  ${shown} (${layer}) includes a header of ${target}: ${line}\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(upward)
  message(FATAL_ERROR "Upward includes (order: ${layers}):\n${upward}")
endif()
message(STATUS "No layer includes a header of a layer above it")
