# A plug-in DLL's interface to the system, from its PE headers:
#   cmake -DOBJDUMP=<x86_64-w64-mingw32-objdump> -DDLL=<file> -DEXPORTS=<name,...> -P CheckDllInterface.cmake
# It may import only DLLs that come with Windows (no libstdc++, libgcc, winpthread or
# zlib DLL to ship beside it) and must export exactly the entry points named.
set(system_dlls ADVAPI32 COMCTL32 COMDLG32 GDI32 IMM32 KERNEL32 msvcrt ole32 OLEAUT32 SHCORE SHELL32
                SHLWAPI USER32 UxTheme WINHTTP WINMM WS2_32)
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE headers RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${OBJDUMP} cannot read ${DLL}")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
set(imported)
foreach(line IN LISTS imports)
  string(REGEX REPLACE "DLL Name: ([^.]+)\\.[dD][lL][lL]" "\\1" name "${line}")
  string(TOUPPER "${name}" upper)
  set(known FALSE)
  foreach(system IN LISTS system_dlls)
    string(TOUPPER "${system}" system)
    if(upper STREQUAL system)
      set(known TRUE)
    endif()
  endforeach()
  if(NOT known)
    message(FATAL_ERROR "${DLL} imports ${name}.dll, which Windows does not have")
  endif()
  list(APPEND imported ${name})
endforeach()

# The export table's name list: "[   0] VSTPluginMain" lines after "[Ordinal/Name Pointer] Table".
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table[^\n]*\n(([ \t]+\\[[ 0-9]+\\] [^\n]+\n)*)" table "${headers}")
string(REGEX MATCHALL "\\] [^\n]+" names "${CMAKE_MATCH_1}")
list(TRANSFORM names REPLACE "\\] " "")
list(SORT names)
string(REPLACE "," ";" expected "${EXPORTS}")
list(SORT expected)
if(NOT names STREQUAL expected)
  message(FATAL_ERROR "${DLL} exports \"${names}\", not \"${expected}\"")
endif()
list(JOIN imported ", " imported)
message(STATUS "${DLL}: imports ${imported}; exports ${names}")
