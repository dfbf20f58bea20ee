# nerevo_pack_version(<out> <major> <minor> <bugfix> <stage> <build>)
#
# The host's packing of a plug-in version into one number: 3 bits major,
# 4 minor, 4 bugfix, 2 stage, 9 build. The code packs the same way at global
# setup; a part too wide for its field stops the build instead of being cut.
function(nerevo_pack_version out major minor bugfix stage build)
  foreach(part major:7 minor:15 bugfix:15 stage:3 build:511)
    string(REPLACE ":" ";" part "${part}")
    list(GET part 0 name)
    list(GET part 1 limit)
    set(value "${${name}}")
    if(NOT value MATCHES "^[0-9]+$" OR value GREATER limit)
      message(FATAL_ERROR "Version ${name} '${value}' is not a number from 0 to ${limit}.")
    endif()
  endforeach()
  math(EXPR packed "(${major} << 19) | (${minor} << 15) | (${bugfix} << 11) | (${stage} << 9) | ${build}")
  set(${out} ${packed} PARENT_SCOPE)
endfunction()
