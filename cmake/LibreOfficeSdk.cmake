# Finds the LibreOffice SDK and generates the C++ UNO headers into the build tree.
set(LO_PROGRAM_DIR /usr/lib/libreoffice/program CACHE PATH "LibreOffice program folder")
set(LO_SDK_DIR /usr/lib/libreoffice/sdk CACHE PATH "LibreOffice SDK folder")
find_program(LO_CPPUMAKER cppumaker HINTS ${LO_SDK_DIR}/bin REQUIRED)
find_path(LO_SDK_INCLUDE_DIR sal/types.h HINTS ${LO_SDK_DIR}/include REQUIRED)
find_library(LO_UNO_SAL uno_sal HINTS ${LO_SDK_DIR}/lib ${LO_PROGRAM_DIR} REQUIRED)
find_library(LO_UNO_CPPU uno_cppu HINTS ${LO_SDK_DIR}/lib ${LO_PROGRAM_DIR} REQUIRED)
find_library(LO_UNO_CPPUHELPER uno_cppuhelpergcc3 HINTS ${LO_SDK_DIR}/lib ${LO_PROGRAM_DIR} REQUIRED)
find_program(LO_SOFFICE_BIN soffice.bin HINTS ${LO_PROGRAM_DIR} NO_DEFAULT_PATH REQUIRED)

set(LO_TYPES_RDB ${LO_PROGRAM_DIR}/types.rdb)
set(LO_OFFAPI_RDB ${LO_PROGRAM_DIR}/types/offapi.rdb)
set(LO_GENERATED_INCLUDE_DIR ${CMAKE_BINARY_DIR}/uno-headers)
set(LO_STAMP ${LO_GENERATED_INCLUDE_DIR}/.stamp)

# Whole-API generation takes a few seconds and spares everyone a type list to maintain.
add_custom_command(
  OUTPUT ${LO_STAMP}
  COMMAND ${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${LO_PROGRAM_DIR}
          ${LO_CPPUMAKER} -Gc -O ${LO_GENERATED_INCLUDE_DIR} ${LO_TYPES_RDB} ${LO_OFFAPI_RDB}
  COMMAND ${CMAKE_COMMAND} -E touch ${LO_STAMP}
  COMMENT "Generating C++ UNO headers with cppumaker"
  VERBATIM)
add_custom_target(uno_headers DEPENDS ${LO_STAMP})

add_library(libreoffice_sdk INTERFACE)
add_dependencies(libreoffice_sdk uno_headers)
target_include_directories(libreoffice_sdk SYSTEM INTERFACE ${LO_SDK_INCLUDE_DIR} ${LO_GENERATED_INCLUDE_DIR})
target_compile_definitions(libreoffice_sdk INTERFACE LINUX UNX CPPU_ENV=gcc3)
target_link_libraries(libreoffice_sdk INTERFACE ${LO_UNO_CPPUHELPER} ${LO_UNO_CPPU} ${LO_UNO_SAL})
# The SDK's link libraries need the office's private libraries (libreglo.so,
# ...) from the program folder, both when linking and when running.
target_link_options(libreoffice_sdk INTERFACE "LINKER:-rpath-link,${LO_PROGRAM_DIR}" "LINKER:-rpath,${LO_PROGRAM_DIR}")
