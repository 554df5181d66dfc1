# Delay-import libraries for Windows DLLs that are not known DLLs on every supported Windows
# (gdiplus is not one on Windows 7, comctl32 never). The
# loader would resolve a plain import before any of our code runs, searching the program's own
# folder first; a delay import is resolved on first use by our own loader (util/DelayLoader.cpp),
# from the system folder only.
#
#   skelda_delay_import(<name>)  defines the INTERFACE target skelda_delay_<name>, which links
#                                the delay-import library of <name>.dll and our loader.
# The library is made from MinGW's own import library, so it lists every function of the DLL.
function(skelda_delay_import name)
  find_file(import_lib lib${name}.a PATHS ${CMAKE_FIND_ROOT_PATH}/lib NO_DEFAULT_PATH NO_CACHE REQUIRED)
  set(out ${CMAKE_BINARY_DIR}/delayimp/lib${name}_delay.a)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(kill_at OFF)
  else()
    set(kill_at ON)  # stdcall names keep "@n" for the linker, the DLL exports them without
  endif()
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DDLLTOOL=${CMAKE_DLLTOOL} -DIMPORT_LIB=${import_lib}
            -DDLL=${name}.dll -DOUT=${out} -DKILL_AT=${kill_at} -P ${PROJECT_SOURCE_DIR}/cmake/MakeDelayLib.cmake
    DEPENDS ${import_lib} ${PROJECT_SOURCE_DIR}/cmake/MakeDelayLib.cmake
    COMMENT "Delay-import library for ${name}.dll")
  add_custom_target(skelda_delay_${name}_lib DEPENDS ${out})
  add_library(skelda_delay_${name} INTERFACE)
  add_dependencies(skelda_delay_${name} skelda_delay_${name}_lib)
  target_link_libraries(skelda_delay_${name} INTERFACE ${out} skelda_delay_loading)
endfunction()
