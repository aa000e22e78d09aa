# Writes the application folder's registry store (pelvantz.reg): the Ghostscript
# executable as HKEY_LOCAL_MACHINE\SOFTWARE\GS "GSPath", and the LibreOffice
# program folder as the PowerPoint 2003 install root "Path", which the start-up
# check requires.
#
# The store in the build's application folder is the user's once edited:
# configuring rewrites it only while it still holds what was last generated,
# and building recreates it when it has been deleted. The install always gets
# the freshly generated one.

find_program(PELVANTZ_GS_EXECUTABLE NAMES gs DOC "Ghostscript executable recorded in the registry store")

# A quoted registry-export text: backslashes and quotes escaped.
function(pelvantz_registry_text output text)
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\"" "\\\"" text "${text}")
  set(${output} "\"${text}\"" PARENT_SCOPE)
endfunction()

# The store's text naming a Ghostscript executable (none when empty) and an
# office program folder.
function(pelvantz_registry_store_text output ghostscript office)
  set(text "REGEDIT4\n\n")
  if(ghostscript)
    pelvantz_registry_text(gs_path "${ghostscript}")
    string(APPEND text "[HKEY_LOCAL_MACHINE\\SOFTWARE\\GS]\n\"GSPath\"=${gs_path}\n\n")
  endif()
  pelvantz_registry_text(office_path "${office}")
  string(APPEND text
         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Office\\11.0\\Powerpoint\\InstallRoot]\n"
         "\"Path\"=${office_path}\n")
  set(${output} "${text}" PARENT_SCOPE)
endfunction()

if(NOT PELVANTZ_GS_EXECUTABLE)
  message(WARNING "Ghostscript (gs) not found: the registry store names no converter. "
                  "Install ghostscript or set -DPELVANTZ_GS_EXECUTABLE=/path/to/gs.")
endif()
pelvantz_registry_store_text(pelvantz_store_text "${PELVANTZ_GS_EXECUTABLE}" "${LO_PROGRAM_DIR}")

set(pelvantz_generated_store ${CMAKE_BINARY_DIR}/pelvantz.reg.generated)
set(pelvantz_app_store ${PELVANTZ_APP_DIR}/pelvantz.reg)

set(previously_generated "")
if(EXISTS ${pelvantz_generated_store})
  file(READ ${pelvantz_generated_store} previously_generated)
endif()
set(current_store "")
if(EXISTS ${pelvantz_app_store})
  file(READ ${pelvantz_app_store} current_store)
endif()
if(NOT EXISTS ${pelvantz_app_store} OR "${current_store}" STREQUAL "${previously_generated}")
  file(WRITE ${pelvantz_app_store} "${pelvantz_store_text}")
elseif(NOT "${current_store}" STREQUAL "${pelvantz_store_text}")
  message(STATUS "Keeping the edited registry store ${pelvantz_app_store}; delete it to have it regenerated")
endif()
file(WRITE ${pelvantz_generated_store} "${pelvantz_store_text}")

# No dependencies: runs only when the store is missing, so edits survive builds.
add_custom_command(OUTPUT ${pelvantz_app_store}
  COMMAND ${CMAKE_COMMAND} -E copy ${pelvantz_generated_store} ${pelvantz_app_store}
  COMMENT "Recreating the registry store ${pelvantz_app_store}"
  VERBATIM)
add_custom_target(pelvantz_registry_store ALL DEPENDS ${pelvantz_app_store})

# The Debian package brings a store of its own (packaging/).
install(FILES ${pelvantz_generated_store} DESTINATION . RENAME pelvantz.reg COMPONENT folder)
