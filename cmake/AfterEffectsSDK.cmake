# nerevo_sdk on an installed After Effects SDK instead of sdk/include.
#
# Only the SDK's Headers/ and Headers/SP/ are used. Its Util/ folder is left
# out: the project's Util/ provides the helpers of the same names
# (AEGP_SuiteHandler.h, AEFX_SuiteHelper.h, Smart_Utils.h) with the behaviour
# the plug-in relies on, such as a missing suite throwing its error code, and
# their sources are compiled against those headers only.
#
# SYSTEM places the SDK after every directory of the project in the search
# order, so a project header always wins over an SDK header of the same name,
# and it keeps the vendor's headers out of the project's warnings.

set(NEREVO_AE_SDK_HEADERS "")
foreach(folder "${NEREVO_AE_SDK}" "${NEREVO_AE_SDK}/Examples")
  if(EXISTS "${folder}/Headers/AE_Effect.h")
    set(NEREVO_AE_SDK_HEADERS "${folder}/Headers")
    break()
  endif()
endforeach()
if(NOT NEREVO_AE_SDK_HEADERS)
  message(FATAL_ERROR "NEREVO_AE_SDK=${NEREVO_AE_SDK} has neither Headers/AE_Effect.h nor Examples/Headers/AE_Effect.h.")
endif()
message(STATUS "Compiling against the After Effects SDK in ${NEREVO_AE_SDK_HEADERS}")

add_library(nerevo_sdk INTERFACE)
target_include_directories(nerevo_sdk SYSTEM INTERFACE "${NEREVO_AE_SDK_HEADERS}" "${NEREVO_AE_SDK_HEADERS}/SP")
