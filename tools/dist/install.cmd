@echo off
rem Регистрирует драйвер фискальных регистраторов Vornlex (fr_vornlex.dll) для 64- и 32-разрядных
rem программ; с ключом /uninstall снимает регистрацию (так его вызывает uninstall.cmd).
rem Ключ /emulator регистрирует и эмулятор ККТ (fr_emulator.dll): он занимает имя универсального
rem драйвера Vornlex.FiscalPrinter, поэтому не ставьте его рядом с драйвером производителя.
rem Код возврата 0: всё сделано; 1: что-то не удалось (см. сообщения).
setlocal EnableExtensions
set "HERE=%~dp0"
set "EMULATOR="
set "UNINSTALL="
set "ARGS=%*"
:args
if "%~1"=="" goto parsed
if /i "%~1"=="/emulator" set "EMULATOR=1"
if /i "%~1"=="/uninstall" set "UNINSTALL=1"
shift
goto args
:parsed

rem Регистрация пишет в HKEY_LOCAL_MACHINE: нужны права администратора.
net session >nul 2>&1
if errorlevel 1 goto elevate

rem Какой regsvr32 какую разрядность регистрирует: на 64-разрядной Windows 64-разрядный лежит в
rem System32 (Sysnative для 32-разрядного cmd), 32-разрядный в SysWOW64; на 32-разрядной
rem Windows есть только 32-разрядный, в System32.
set "REG64="
set "REG32=%SystemRoot%\System32\regsvr32.exe"
if /i "%PROCESSOR_ARCHITECTURE%"=="AMD64" set "REG64=%SystemRoot%\System32\regsvr32.exe"
if /i "%PROCESSOR_ARCHITECTURE%"=="AMD64" set "REG32=%SystemRoot%\SysWOW64\regsvr32.exe"
if defined PROCESSOR_ARCHITEW6432 set "REG64=%SystemRoot%\Sysnative\regsvr32.exe"
if defined PROCESSOR_ARCHITEW6432 set "REG32=%SystemRoot%\SysWOW64\regsvr32.exe"

set "FAILED="
set "EMULATOR_CLSID=HKLM\Software\Classes\CLSID\{F0E57890-E067-46B4-B7F4-A448DDC8400E}"
if defined UNINSTALL goto uninstall

if defined REG64 call :run "%HERE%x64\fr_vornlex.dll" "%REG64%" "" "64-разрядный драйвер зарегистрирован"
call :run "%HERE%x86\fr_vornlex.dll" "%REG32%" "" "32-разрядный драйвер зарегистрирован"
if not defined EMULATOR goto done
if defined REG64 call :run "%HERE%x64\fr_emulator.dll" "%REG64%" "" "64-разрядный эмулятор ККТ зарегистрирован"
call :run "%HERE%x86\fr_emulator.dll" "%REG32%" "" "32-разрядный эмулятор ККТ зарегистрирован"
goto done

:uninstall
if defined REG64 call :run "%HERE%x64\fr_vornlex.dll" "%REG64%" "/u" "регистрация 64-разрядного драйвера снята"
call :run "%HERE%x86\fr_vornlex.dll" "%REG32%" "/u" "регистрация 32-разрядного драйвера снята"
rem Эмулятор снимается, только если зарегистрирован именно он: имя Vornlex.FiscalPrinter может
rem принадлежать драйверу производителя.
if defined REG64 reg query "%EMULATOR_CLSID%" /reg:64 >nul 2>&1
if defined REG64 if not errorlevel 1 call :run "%HERE%x64\fr_emulator.dll" "%REG64%" "/u" "регистрация 64-разрядного эмулятора ККТ снята"
reg query "%EMULATOR_CLSID%" /reg:32 >nul 2>&1
if not errorlevel 1 call :run "%HERE%x86\fr_emulator.dll" "%REG32%" "/u" "регистрация 32-разрядного эмулятора ККТ снята"

:done
if defined FAILED (
  echo Не всё выполнено: см. ошибки выше.
  exit /b 1
)
echo Готово.
exit /b 0

rem :run файл regsvr32 ключ сообщение
:run
if not exist "%~1" (
  echo ОШИБКА: нет файла %~1
  set "FAILED=1"
  goto :eof
)
"%~2" /s %~3 "%~1"
if errorlevel 1 (
  echo ОШИБКА: regsvr32 вернул код %errorlevel% для %~1
  set "FAILED=1"
  goto :eof
)
echo %~4: %~1
goto :eof

:elevate
echo Нужны права администратора: запрашиваю их...
powershell -NoProfile -ExecutionPolicy Bypass -Command "$p = Start-Process -FilePath '%~f0' -ArgumentList '%ARGS%' -Verb RunAs -Wait -PassThru; exit $p.ExitCode"
if errorlevel 1 (
  echo Не выполнено: права администратора не получены.
  exit /b 1
)
exit /b 0
