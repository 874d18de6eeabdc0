# What a printer maker sets for the build it ships: the version details of
# both programs and the code-signing of both.

# Version details. Without them the programs say 1.0.0.0 and name no company.
set(MAKER_COMPANY "" CACHE STRING "Company name in both programs' version details")
set(MAKER_VERSION "1.0.0.0" CACHE STRING "Version a.b.c.d of both programs")
set(MAKER_COPYRIGHT "" CACHE STRING "Copyright line in both programs' version details")
if(NOT MAKER_VERSION MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
  message(FATAL_ERROR "MAKER_VERSION \"${MAKER_VERSION}\" is not four numbers a.b.c.d")
endif()
set(version_numbers "")
foreach(i 1 2 3 4)
  if(CMAKE_MATCH_${i} GREATER 65535)
    message(FATAL_ERROR "MAKER_VERSION \"${MAKER_VERSION}\": each number is at most 65535")
  endif()
  math(EXPR n "${CMAKE_MATCH_${i}}")   # drops leading zeros
  list(APPEND version_numbers ${n})
endforeach()
string(REPLACE ";" "," version_numbers "${version_numbers}")
set(version_lines "#define VERSION_NUMBERS ${version_numbers}\n#define VERSION_TEXT \"${MAKER_VERSION}\"\n")
foreach(field COMPANY COPYRIGHT)
  if(NOT MAKER_${field} STREQUAL "")
    # A resource-script string: backslashes and quotes escaped.
    string(REPLACE "\\" "\\\\" text "${MAKER_${field}}")
    string(REPLACE "\"" "\"\"" text "${text}")
    string(APPEND version_lines "#define VERSION_${field} \"${text}\"\n")
  endif()
endforeach()
# Read by resources/setup.rc and uninstaller/uninstall.rc.
set(VERSION_DETAILS_DIR ${CMAKE_BINARY_DIR}/version)
file(CONFIGURE OUTPUT ${VERSION_DETAILS_DIR}/version_details.h
  CONTENT "// Generated from MAKER_VERSION, MAKER_COMPANY and MAKER_COPYRIGHT.\n${version_lines}")
include_directories($<$<COMPILE_LANGUAGE:RC>:${VERSION_DETAILS_DIR}>)

# Signing with osslsigncode: with SIGN_PFX and SIGN_PASSWORD_FILE each
# shipped program is signed right after it is linked, so uninstall.exe is
# signed before setup.exe embeds it.
set(SIGN_PFX "" CACHE FILEPATH "PKCS#12 file with the code-signing certificate and its key")
set(SIGN_PASSWORD_FILE "" CACHE FILEPATH "File whose first line is the PFX's password")
set(SIGN_TIMESTAMP_URL "" CACHE STRING "RFC 3161 time-stamping server (optional)")
if(SIGN_PFX OR SIGN_PASSWORD_FILE)
  if(NOT SIGN_PFX OR NOT SIGN_PASSWORD_FILE)
    message(FATAL_ERROR "Signing needs both SIGN_PFX and SIGN_PASSWORD_FILE")
  endif()
  find_program(OSSLSIGNCODE osslsigncode REQUIRED)
endif()

# Changed signing settings (or a renewed certificate) relink the programs,
# so that they are signed, or unsigned, as configured.
set(SIGNING_STAMP ${CMAKE_BINARY_DIR}/signing.txt)
file(CONFIGURE OUTPUT ${SIGNING_STAMP} CONTENT "${SIGN_PFX}\n${SIGN_PASSWORD_FILE}\n${SIGN_TIMESTAMP_URL}\n")

function(sign_after_link target)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${SIGNING_STAMP} ${SIGN_PFX})
  if(NOT SIGN_PFX)
    return()
  endif()
  set(timestamp "")
  if(SIGN_TIMESTAMP_URL)
    set(timestamp -ts ${SIGN_TIMESTAMP_URL})
  endif()
  set(file $<TARGET_FILE:${target}>)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E rm -f ${file}.signed
    COMMAND ${OSSLSIGNCODE} sign -pkcs12 ${SIGN_PFX} -readpass ${SIGN_PASSWORD_FILE} -h sha256 ${timestamp}
            -in ${file} -out ${file}.signed
    COMMAND ${CMAKE_COMMAND} -E rename ${file}.signed ${file}
    VERBATIM)
endfunction()
