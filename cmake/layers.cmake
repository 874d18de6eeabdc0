# The program's layers, bottom up: framework, system (held folders, the
# spooler, the registry), app_core (application state, system detection,
# texts, dialog localisation), payload (the catalogue, the plan and the
# install's folders), install_engine, wizard, and the application itself
# on top; the uninstaller's core stands on payload. A
# layer is a static library that may use only the layers it names; the
# build links each one on its own as a DLL that must resolve every symbol,
# so a call up into a higher layer fails the build, and each member function
# must be defined in the folder whose header declares its class
# (cmake/member_check.sh). Layers are program code, compiled with
# PROGRAM_COMPILE_OPTIONS.
#   add_layer(NAME SOURCES... USES lib...)
function(add_layer name)
  cmake_parse_arguments(L "" "" "SOURCES;USES" ${ARGN})
  add_library(${name} STATIC ${L_SOURCES})
  target_compile_options(${name} PRIVATE ${PROGRAM_COMPILE_OPTIONS})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${L_USES})
  add_library(${name}_layer_check SHARED ${CMAKE_SOURCE_DIR}/cmake/layer_check.c)
  target_link_libraries(${name}_layer_check PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${name}>" ${STATIC_RUNTIME})
  # Nor may it define a member of a class another folder declares.
  add_custom_command(TARGET ${name}_layer_check POST_BUILD
    COMMAND ${CMAKE_SOURCE_DIR}/cmake/member_check.sh ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR} ${L_SOURCES}
    VERBATIM)
endfunction()
