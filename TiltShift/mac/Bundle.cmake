# The module as After Effects loads it on macOS, the bundle
#   NerevoTiltShift.plugin/Contents/Info.plist
#   NerevoTiltShift.plugin/Contents/MacOS/NerevoTiltShift
#   NerevoTiltShift.plugin/Contents/Resources/NerevoTiltShift.rsrc
# The application reads the registration resource before it loads any code,
# from the resource file named after the bundle's executable.
# Expects NEREVO_PLUGIN_NAME and NEREVO_PIPL_SOURCE (the generated resource
# source) from TiltShift/CMakeLists.txt.

find_program(NEREVO_REZ Rez)
find_program(NEREVO_CODESIGN codesign)
if(NOT NEREVO_REZ OR NOT NEREVO_CODESIGN)
  message(FATAL_ERROR "Rez and codesign come with the Xcode command line tools: xcode-select --install")
endif()

set(NEREVO_RESOURCE_FILE ${CMAKE_CURRENT_BINARY_DIR}/${NEREVO_PLUGIN_NAME}.rsrc)
add_custom_command(OUTPUT ${NEREVO_RESOURCE_FILE}
  COMMAND ${NEREVO_REZ} -useDF -i ${CMAKE_CURRENT_LIST_DIR} -o ${NEREVO_RESOURCE_FILE} ${NEREVO_PIPL_SOURCE}
  DEPENDS ${NEREVO_PIPL_SOURCE} ${CMAKE_CURRENT_LIST_DIR}/PiPL.r
  COMMENT "Compiling the registration resource ${NEREVO_PLUGIN_NAME}.rsrc"
  VERBATIM)
set_source_files_properties(${NEREVO_RESOURCE_FILE} PROPERTIES MACOSX_PACKAGE_LOCATION Resources)
target_sources(NerevoTiltShift PRIVATE ${NEREVO_RESOURCE_FILE})

# Configured here rather than by CMake's bundle step, so that the plist holds
# exactly these values.
configure_file(${CMAKE_CURRENT_LIST_DIR}/Info.plist.in ${CMAKE_CURRENT_BINARY_DIR}/Info.plist @ONLY)
set_target_properties(NerevoTiltShift PROPERTIES
  BUNDLE TRUE
  BUNDLE_EXTENSION plugin
  OUTPUT_NAME ${NEREVO_PLUGIN_NAME}
  MACOSX_BUNDLE_INFO_PLIST ${CMAKE_CURRENT_BINARY_DIR}/Info.plist)

# Only the entry point and the info record leave the bundle.
target_link_options(NerevoTiltShift PRIVATE
  -Wl,-exported_symbol,_EntryPointFunc
  -Wl,-exported_symbol,_PluginInfo)

# Apple silicon runs signed code only. An ad-hoc signature over the finished
# bundle, resources included, lets a local build load; a bundle for others
# needs a Developer ID signature and notarisation instead.
add_custom_command(TARGET NerevoTiltShift POST_BUILD
  COMMAND ${NEREVO_CODESIGN} --force --sign - $<TARGET_BUNDLE_DIR:NerevoTiltShift>
  VERBATIM)
