# cmake -DINPUTS=<file> -P check_sdk_only.cmake
#
# Fails when the plug-in, Util or core could reach anything of the headless
# host or the tools: through an include directory outside their own folders
# and sdk/include, or through an #include that names host/ or tools/ or that
# climbs to a header outside those folders. Each target must compile against
# sdk/include.

cmake_minimum_required(VERSION 3.16)
include(${INPUTS})

set(allowed_roots
  ${SOURCE_DIR}/sdk/include ${SOURCE_DIR}/Util ${SOURCE_DIR}/core ${SOURCE_DIR}/TiltShift
  ${BINARY_DIR}/TiltShift)

function(inside_allowed path result)
  set(${result} FALSE PARENT_SCOPE)
  foreach(root ${allowed_roots})
    string(FIND "${path}/" "${root}/" at)
    if(at EQUAL 0)
      set(${result} TRUE PARENT_SCOPE)
    endif()
  endforeach()
endfunction()

set(faults "")
set(search_dirs "")

foreach(target ${CHECKED_TARGETS})
  set(dirs ${INCLUDE_DIRS_${target}})
  list(APPEND search_dirs ${dirs})
  if(NOT "${SOURCE_DIR}/sdk/include" IN_LIST dirs)
    list(APPEND faults "${target} does not compile against sdk/include")
  endif()
  foreach(dir ${dirs})
    inside_allowed("${dir}" ok)
    if(NOT ok)
      list(APPEND faults "${target} has the include directory ${dir}")
    endif()
  endforeach()
endforeach()
list(REMOVE_DUPLICATES search_dirs)

file(GLOB_RECURSE sources
  ${SOURCE_DIR}/Util/*.h ${SOURCE_DIR}/Util/*.cpp
  ${SOURCE_DIR}/core/*.h ${SOURCE_DIR}/core/*.cpp
  ${SOURCE_DIR}/TiltShift/*.h ${SOURCE_DIR}/TiltShift/*.cpp ${SOURCE_DIR}/TiltShift/*.r ${SOURCE_DIR}/TiltShift/*.in
  ${BINARY_DIR}/TiltShift/*.h)
foreach(file ${sources})
  get_filename_component(file_dir ${file} DIRECTORY)
  file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line ${includes})
    if(NOT line MATCHES "include[ \t]*[<\"]([^>\"]+)[>\"]")
      continue()
    endif()
    set(header "${CMAKE_MATCH_1}")
    if(header MATCHES "(^|/)(host|tools)/")
      list(APPEND faults "${file} includes ${header}")
    endif()
    # Where the compiler could find it: next to the file or in an include directory.
    foreach(dir ${file_dir} ${search_dirs})
      get_filename_component(found "${header}" ABSOLUTE BASE_DIR ${dir})
      inside_allowed("${found}" ok)
      if(EXISTS "${found}" AND NOT ok)
        list(APPEND faults "${file} includes ${found}")
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  list(REMOVE_DUPLICATES faults)
  string(REPLACE ";" "\n  " faults "${faults}")
  message(FATAL_ERROR "The plug-in's sources reach beyond the SDK declarations:\n  ${faults}")
endif()
