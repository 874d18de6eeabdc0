# What a printer maker sets for the build it ships: the printer's name, the
# company, version and series that the customer sees, and the code-signing
# of both programs. Where an option is not given, the programs, the INF and
# the uninstall entry say what the unbranded build says.

# The programs a maker ships. A failed build removes those of earlier
# builds, so that a release script that misses the exit code finds no
# stale file to ship (cmake/forget_on_failure.sh does it for the build's
# steps).
set(SHIPPED_PROGRAM_FILES ${CMAKE_BINARY_DIR}/setup.exe ${CMAKE_BINARY_DIR}/uninstaller/uninstall.exe
    ${CMAKE_BINARY_DIR}/payload/uninstall.exe)
set(FORGET_ON_FAILURE ${CMAKE_SOURCE_DIR}/cmake/forget_on_failure.sh ${CMAKE_BINARY_DIR})
foreach(rule COMPILE LINK CUSTOM)
  set_property(GLOBAL PROPERTY RULE_LAUNCH_${rule} "\"${CMAKE_SOURCE_DIR}/cmake/forget_on_failure.sh\" \"${CMAKE_BINARY_DIR}\"")
endforeach()
function(maker_error text)
  file(REMOVE ${SHIPPED_PROGRAM_FILES})
  message(FATAL_ERROR "${text}")
endfunction()

# The printer name of the embedded default settings: setup.exe alone
# installs that printer, and a setting.dll beside it still names another.
# Printable ASCII, the same bytes in every code page a customer's Windows
# may read the settings in, and within the rules a name must keep at
# start-up (install/printer_name_check.cpp): the printer installer's command
# line holds it three times in 259 characters, the INF's path quoted when
# the name holds a blank.
set(MAKER_PRINTER_NAME "" CACHE STRING "Printer name of the embedded settings (KRX without it)")
if(NOT MAKER_PRINTER_NAME STREQUAL "")
  set(name "${MAKER_PRINTER_NAME}")
  string(LENGTH "${name}" length)
  set(longest 59)
  if(name MATCHES " ")
    set(longest 57)
  endif()
  string(REGEX REPLACE "\\..*" "" device "${name}")
  string(REGEX REPLACE " +$" "" device "${device}")
  string(TOUPPER "${device}" device)
  string(TOUPPER "${name}" upper)
  set(why "")
  if(NOT name MATCHES "^[ -~]+$")
    set(why "holds a character other than printable ASCII; a name in another script goes into a setting.dll in the customer's code page")
  elseif(length GREATER longest)
    set(why "is longer than ${longest} characters")
  elseif(name MATCHES "^ " OR name MATCHES " $")
    set(why "begins or ends with a blank")
  elseif(name MATCHES "[][\\/:*?\"<>|;,=%]")
    set(why "holds one of the characters \\ / : * ? \" < > | ; , = % [ ]")
  elseif(device MATCHES "^(CON|PRN|AUX|NUL|CONIN\\$|CONOUT\\$|COM[1-9]|LPT[1-9])$")
    set(why "is a device name")
  elseif(upper STREQUAL "UNI" OR upper STREQUAL "STDNAMES")
    set(why "would give a driver file the name of a shared one (UNIRES.DLL, STDNAMES.GPD)")
  endif()
  if(why)
    maker_error("MAKER_PRINTER_NAME \"${name}\" ${why}")
  endif()
endif()

# Version details. Without them the programs say 1.0.0.0 and name no
# company, and the INF keeps its own DriverVer.
get_property(help CACHE MAKER_VERSION PROPERTY HELPSTRING)
if(help STREQUAL "Version a.b.c.d of both programs" AND MAKER_VERSION STREQUAL "1.0.0.0")
  # A build folder made before keeps the old default 1.0.0.0, as if it were given.
  set_property(CACHE MAKER_VERSION PROPERTY VALUE "")
  set_property(CACHE MAKER_VERSION PROPERTY HELPSTRING "Version a.b.c.d of both programs and of the INF")
endif()
set(MAKER_COMPANY "" CACHE STRING "Company in the version details, the INF's Provider and the uninstall entry's Publisher")
set(MAKER_VERSION "" CACHE STRING "Version a.b.c.d of both programs and of the INF")
set(MAKER_COPYRIGHT "" CACHE STRING "Copyright line in both programs' version details")
set(MAKER_SERIES "" CACHE STRING "Text of the wizard's printer series row (80mm series without it)")
set(MAKER_URL_INFO_ABOUT "" CACHE STRING "The maker's web address in the uninstall entry (URLInfoAbout)")
set(MAKER_HELP_LINK "" CACHE STRING "The maker's support address in the uninstall entry (HelpLink)")
# The company, the series and the addresses go into texts read in the customer's code
# page (the INF, the uninstall entry, the series row): printable ASCII,
# the same bytes in all of them (but the semicolon, which would split the
# text where the build hands it on).
foreach(field COMPANY SERIES URL_INFO_ABOUT HELP_LINK)
  if(NOT MAKER_${field} STREQUAL "" AND NOT MAKER_${field} MATCHES "^[ -:<-~]+$")
    maker_error("MAKER_${field} \"${MAKER_${field}}\" holds a character other than printable ASCII, or a semicolon")
  endif()
  string(LENGTH "${MAKER_${field}}" length)
  if(length GREATER 100)
    maker_error("MAKER_${field} is longer than 100 characters")
  endif()
endforeach()
set(version "${MAKER_VERSION}")
if(version STREQUAL "")
  set(version 1.0.0.0)
endif()
if(NOT version MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
  maker_error("MAKER_VERSION \"${MAKER_VERSION}\" is not four numbers a.b.c.d")
endif()
set(version_numbers "")
foreach(i 1 2 3 4)
  if(CMAKE_MATCH_${i} GREATER 65535)
    maker_error("MAKER_VERSION \"${MAKER_VERSION}\": each number is at most 65535")
  endif()
  math(EXPR n "${CMAKE_MATCH_${i}}")   # drops leading zeros
  list(APPEND version_numbers ${n})
endforeach()
string(REPLACE ";" "," version_numbers "${version_numbers}")
set(version_lines "#define VERSION_NUMBERS ${version_numbers}\n#define VERSION_TEXT \"${version}\"\n")
foreach(field COMPANY COPYRIGHT)
  if(NOT MAKER_${field} STREQUAL "")
    # A resource-script string: backslashes and quotes escaped.
    string(REPLACE "\\" "\\\\" text "${MAKER_${field}}")
    string(REPLACE "\"" "\"\"" text "${text}")
    string(APPEND version_lines "#define VERSION_${field} \"${text}\"\n")
  endif()
endforeach()
# A build that may lack the maker's files says so in both programs.
if(PAYLOAD_INCOMPLETE_OK)
  string(APPEND version_lines "#define VERSION_TEST_BUILD\n")
endif()
# Read by resources/setup.rc and uninstaller/uninstall.rc.
set(VERSION_DETAILS_DIR ${CMAKE_BINARY_DIR}/version)
file(CONFIGURE OUTPUT ${VERSION_DETAILS_DIR}/version_details.h
  CONTENT "// Generated from MAKER_VERSION, MAKER_COMPANY, MAKER_COPYRIGHT and PAYLOAD_INCOMPLETE_OK.\n${version_lines}")
include_directories($<$<COMPILE_LANGUAGE:RC>:${VERSION_DETAILS_DIR}>)

# The company, the series and the two addresses for the programs' code, as
# C strings ("" without the option), in maker/maker_texts.h of the build
# folder.
set(maker_texts "")
foreach(field COMPANY SERIES URL_INFO_ABOUT HELP_LINK)
  set(text "${MAKER_${field}}")
  if(field STREQUAL "SERIES" AND text STREQUAL "")
    set(text "80mm series")
  endif()
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\"" "\\\"" text "${text}")
  string(APPEND maker_texts "#define MAKER_${field}_TEXT \"${text}\"\n")
endforeach()
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/maker/maker_texts.h
  CONTENT "// Generated from MAKER_COMPANY, MAKER_SERIES, MAKER_URL_INFO_ABOUT and MAKER_HELP_LINK by cmake/maker.cmake.\n#pragma once\n${maker_texts}")

# Signing with osslsigncode: with SIGN_PFX and SIGN_PASSWORD_FILE each
# shipped program is signed right after it is linked, so uninstall.exe is
# signed before setup.exe embeds it. The certificate is checked before
# anything is signed with it (cmake/check_certificate.sh): now, so that
# configuring tells the cause at once, and again on every build.
set(SIGN_PFX "" CACHE FILEPATH "PKCS#12 file with the code-signing certificate and its key")
set(SIGN_PASSWORD_FILE "" CACHE FILEPATH "File whose first line is the PFX's password")
set(SIGN_TIMESTAMP_URL "" CACHE STRING "RFC 3161 time-stamping server (optional)")
set(CHECK_CERTIFICATE ${CMAKE_SOURCE_DIR}/cmake/check_certificate.sh)
# The PFX's fingerprint: a renewed certificate relinks, and so re-signs,
# the programs.
set(CERTIFICATE_STAMP ${CMAKE_BINARY_DIR}/signing_certificate.txt)
if(SIGN_PFX OR SIGN_PASSWORD_FILE)
  if(NOT SIGN_PFX OR NOT SIGN_PASSWORD_FILE)
    maker_error("Signing needs both SIGN_PFX and SIGN_PASSWORD_FILE")
  endif()
  find_program(OSSLSIGNCODE osslsigncode)
  if(NOT OSSLSIGNCODE)
    maker_error("Signing needs osslsigncode (scripts/install-deps.sh installs it)")
  endif()
  execute_process(COMMAND ${CHECK_CERTIFICATE} ${SIGN_PFX} ${SIGN_PASSWORD_FILE} ${CERTIFICATE_STAMP}
    RESULT_VARIABLE failed ERROR_VARIABLE why)
  if(failed)
    maker_error("${why}")
  endif()
else()
  file(CONFIGURE OUTPUT ${CERTIFICATE_STAMP} CONTENT "unsigned\n")
endif()

# Changed signing settings relink the programs, so that they are signed, or
# unsigned, as configured.
set(SIGNING_STAMP ${CMAKE_BINARY_DIR}/signing.txt)
file(CONFIGURE OUTPUT ${SIGNING_STAMP} CONTENT "${SIGN_PFX}\n${SIGN_PASSWORD_FILE}\n${SIGN_TIMESTAMP_URL}\n")
if(SIGN_PFX)
  add_custom_target(signing_certificate
    COMMAND ${FORGET_ON_FAILURE} ${CHECK_CERTIFICATE} ${SIGN_PFX} ${SIGN_PASSWORD_FILE} ${CERTIFICATE_STAMP}
    BYPRODUCTS ${CERTIFICATE_STAMP} VERBATIM)
endif()

function(sign_after_link target)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${SIGNING_STAMP} ${CERTIFICATE_STAMP})
  if(NOT SIGN_PFX)
    return()
  endif()
  add_dependencies(${target} signing_certificate)
  set(timestamp "")
  if(SIGN_TIMESTAMP_URL)
    set(timestamp -ts ${SIGN_TIMESTAMP_URL})
  endif()
  set(file $<TARGET_FILE:${target}>)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E rm -f ${file}.signed
    COMMAND ${FORGET_ON_FAILURE} ${OSSLSIGNCODE} sign -pkcs12 ${SIGN_PFX} -readpass ${SIGN_PASSWORD_FILE} -h sha256
            ${timestamp} -in ${file} -out ${file}.signed
    COMMAND ${FORGET_ON_FAILURE} ${CMAKE_COMMAND} -E rename ${file}.signed ${file}
    VERBATIM)
endfunction()
