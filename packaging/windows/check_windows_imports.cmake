# cmake -D OBJDUMP=<objdump> -D EXECUTABLE=<program.exe> -P check_windows_imports.cmake
#
# Fails when the Windows executable imports a DLL that a bare Windows does not have:
# the program is copied alone into a project's folder, so a runtime DLL of MinGW
# (libstdc++, libgcc, libwinpthread), of Qt or of SQLite would stop it from starting.
cmake_minimum_required(VERSION 3.25)
set(windows_dlls
    advapi32 authz bcrypt cfgmgr32 comctl32 comdlg32 crypt32 d2d1 d3d11 d3d9 dnsapi dwmapi
    dwrite dxgi gdi32 imm32 iphlpapi kernel32 mpr msvcrt netapi32 ntdll ole32 oleacc
    oleaut32 rpcrt4 secur32 setupapi shcore shell32 shlwapi ucrtbase uiautomationcore
    user32 userenv uxtheme version winmm winspool ws2_32 wtsapi32)

if(NOT EXECUTABLE OR NOT EXISTS "${EXECUTABLE}")
  message(FATAL_ERROR "check_windows_imports: no executable \"${EXECUTABLE}\"")
endif()
execute_process(COMMAND "${OBJDUMP}" -p "${EXECUTABLE}" OUTPUT_VARIABLE headers
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "check_windows_imports: ${OBJDUMP} cannot read ${EXECUTABLE}")
endif()
string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${headers}")
if(NOT imports)
  message(FATAL_ERROR "check_windows_imports: ${EXECUTABLE} lists no imported DLL")
endif()
set(foreign "")
set(names "")
foreach(import IN LISTS imports)
  string(REGEX REPLACE "DLL Name: " "" dll "${import}")
  string(STRIP "${dll}" dll)
  list(APPEND names "${dll}")
  string(TOLOWER "${dll}" lower)
  string(REGEX REPLACE "\\.(dll|drv)$" "" base "${lower}")
  if(NOT base IN_LIST windows_dlls AND NOT base MATCHES "^api-ms-win-")
    list(APPEND foreign "${dll}")
  endif()
endforeach()
if(foreign)
  message(FATAL_ERROR "${EXECUTABLE} imports DLLs that are not part of Windows: ${foreign}")
endif()
list(JOIN names ", " names)
message(STATUS "${EXECUTABLE} imports only Windows' own DLLs: ${names}")
