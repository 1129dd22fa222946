# Import libraries whose DLL is loaded at the first call of one of its functions
# rather than at the program's start (the linker's delay-load import):
#
#   delay_load_library(<target> <dll> <function>...)
#
# makes the library target <target>. Link it before the DLL's own import library,
# which still serves any function not named here (and then loads the DLL at start).
function(delay_load_library Target Dll)
  find_library(${Target}_IMPORT NAMES ${Dll} REQUIRED)
  execute_process(COMMAND ${CMAKE_NM} ${${Target}_IMPORT} OUTPUT_VARIABLE Symbols COMMAND_ERROR_IS_FATAL ANY)
  # The names as the import library has them: 32-bit ones carry their argument bytes.
  set(Def "LIBRARY ${Dll}.dll\nEXPORTS\n")
  foreach(Function IN LISTS ARGN)
    if(NOT Symbols MATCHES "__imp__?(${Function}(@[0-9]+)?)\n")
      message(FATAL_ERROR "${${Target}_IMPORT} has no function ${Function}")
    endif()
    string(APPEND Def "  ${CMAKE_MATCH_1}\n")
  endforeach()
  set(DefFile ${CMAKE_CURRENT_BINARY_DIR}/${Target}.def)
  set(Lib ${CMAKE_CURRENT_BINARY_DIR}/lib${Target}.a)
  file(WRITE ${DefFile} "${Def}")
  add_custom_command(OUTPUT ${Lib} COMMAND ${CMAKE_DLLTOOL} -k -d ${DefFile} -y ${Lib} DEPENDS ${DefFile}
                     COMMENT "Delay-load import library for ${Dll}.dll")
  add_custom_target(${Target}_made DEPENDS ${Lib})
  add_library(${Target} STATIC IMPORTED GLOBAL)
  set_target_properties(${Target} PROPERTIES IMPORTED_LOCATION ${Lib})
  add_dependencies(${Target} ${Target}_made)
endfunction()
