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

# The x64 set's resource DLLs: the same string tables as 64-bit DLLs (PE32+,
# no code, no imports, no entry point), made with the x86-64 binutils of
# mingw-w64 whatever this build's own target. Ours to build, as the 32-bit
# ones: the maker supplies only what holds its code.
find_program(WINDRES_X64 x86_64-w64-mingw32-windres REQUIRED)
find_program(LD_X64 x86_64-w64-mingw32-ld REQUIRED)
foreach(name KRXRES_chs_general KRXRES_cht KRXRES_eng)
  set(rc ${CMAKE_CURRENT_SOURCE_DIR}/resdll/${name}.rc)
  string(REGEX REPLACE "^KRXRES_(chs|cht|eng).*" "strings_\\1.rc" strings ${name})
  set(object ${PAYLOAD_GEN_DIR}/${name}_x64.o)
  set(out ${PAYLOAD_GEN_DIR}/${name}_x64.dll)
  add_custom_command(OUTPUT ${out}
    COMMAND ${WINDRES_X64} -I ${CMAKE_CURRENT_SOURCE_DIR}/resdll -i ${rc} -O coff -o ${object}
    COMMAND ${LD_X64} --dll -e 0 -s --no-insert-timestamp -o ${out} ${object}
    DEPENDS ${rc} ${CMAKE_CURRENT_SOURCE_DIR}/resdll/${strings} VERBATIM)
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
