# Payload files made at build time, into PAYLOAD_GEN_DIR.

# Language files: UTF-8 sources with LF line ends become CR LF text in the
# encoding Windows reads them in (ASCII, GBK, Big5).
foreach(entry "Multi_eng:ASCII" "Multi_ch:CP936" "Multi_ch_BIG5:CP950")
  string(REPLACE ":" ";" parts ${entry})
  list(GET parts 0 name)
  list(GET parts 1 encoding)
  set(src ${CMAKE_CURRENT_SOURCE_DIR}/files/language/${name}.txt)
  set(out ${PAYLOAD_GEN_DIR}/${name}.dll)
  add_custom_command(OUTPUT ${out}
    COMMAND sh -c "sed 's/$/\\r/' '${src}' | iconv -f UTF-8 -t ${encoding} > '${out}.tmp' && mv '${out}.tmp' '${out}'"
    DEPENDS ${src} VERBATIM)
  list(APPEND PAYLOAD_GENERATED_FILES ${out})
endforeach()

# The model resource DLLs, built in payload/resdll, under the names the
# catalogue gives them.
foreach(name ${RESOURCE_DLLS})
  set(out ${PAYLOAD_GEN_DIR}/${name}.dll)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${name}> ${out}
    DEPENDS ${name})
  list(APPEND PAYLOAD_GENERATED_FILES ${out})
endforeach()

# ZIKU.UFM, the metrics of the printer's built-in font, written by a tool
# of ours that runs on the build machine.
set(GEN_UFM ${PAYLOAD_GEN_DIR}/gen_ufm)
add_custom_command(OUTPUT ${GEN_UFM}
  COMMAND c++ -std=c++17 -O1 -Wall -o ${GEN_UFM} ${CMAKE_CURRENT_SOURCE_DIR}/tools/gen_ufm.cpp
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tools/gen_ufm.cpp)
add_custom_command(OUTPUT ${PAYLOAD_GEN_DIR}/ZIKU.UFM
  COMMAND ${GEN_UFM} ${PAYLOAD_GEN_DIR}/ZIKU.UFM
  DEPENDS ${GEN_UFM})
list(APPEND PAYLOAD_GENERATED_FILES ${PAYLOAD_GEN_DIR}/ZIKU.UFM)

# The uninstaller (255) is the build's own second program.
add_custom_command(OUTPUT ${PAYLOAD_GEN_DIR}/uninstall.exe
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:uninstaller> ${PAYLOAD_GEN_DIR}/uninstall.exe
  DEPENDS uninstaller VERBATIM)
list(APPEND PAYLOAD_GENERATED_FILES ${PAYLOAD_GEN_DIR}/uninstall.exe)
