' The generic life cycle of the driver as a business application runs it, with a VBScript class
' as the equipment manager. Kept in UTF-8; run-vbs.sh converts it for cscript.
Plan 46

' The value of a setting in the GetSettings table (ID in the first column), Null when absent.
Function SettingValue(t, id)
    Dim i
    SettingValue = Null
    For i = 0 To UBound(t, 2)
        If t(0, i) = id Then SettingValue = t(1, i)
    Next
End Function

' The text of the one debug log in the folder, whatever day its name carries (a run may cross
' midnight); empty when there is none.
Function ReadDebugLogs(folder)
    Dim f
    ReadDebugLogs = ""
    For Each f In fso.GetFolder(folder).Files
        If Left(f.Name, 6) = "Debug_" Then ReadDebugLogs = ReadDebugLogs & fso.OpenTextFile(f.Path, 1).ReadAll
    Next
End Function

Dim fso, devices, d, m, res, desc, outData, info, t, s(6, 2)
Set fso = CreateObject("Scripting.FileSystemObject")
devices = fso.GetAbsolutePathName(".") & "\devices"
' A new device folder for every run, so no line of an earlier run is read.
If fso.FolderExists(devices) Then fso.DeleteFolder devices, True
fso.CreateFolder devices
fso.CreateFolder devices & "\dev-1"

Set d = CreateObject("Eqdr.FrVornlex")
If Err.Number <> 0 Then
    WScript.Echo "FAIL: CreateObject(""Eqdr.FrVornlex""): " & Hex(Err.Number) & " " & Err.Description
    Done
    WScript.Quit 1
End If

' Init with a text instead of the manager.
res = d.Init("менеджер", desc)
CheckNoError "Init with a text"
Check res = False, "Init with a text gives False"
Check desc = "Ошибка входных параметров команды", "Init with a text: " & desc

' Init with the manager: the driver asks for the models folder and the language.
Set m = New EquipmentManager
m.DevicesFolder = devices
res = d.Init(m, desc)
CheckNoError "Init"
Check res = True, "Init gives True"
Check desc = "Нет ошибок", "Init description: " & desc
Check InStr(m.Asked, "ModelsFolder(") > 0 And InStr(m.Asked, "Language(") > 0, "Init asked: " & m.Asked

' Open: the device folder comes from DevicesFolder.
res = d.Open("dev-1", desc)
CheckNoError "Open"
Check res = True And desc = "Нет ошибок", "Open: " & desc
Check InStr(m.Asked, "DevicesFolder(dev-1)") > 0, "Open asked: " & m.Asked

' GetDeviceInfo: the 15 elements of a fiscal driver.
res = d.GetDeviceInfo(Empty, info, 0)
CheckNoError "GetDeviceInfo"
Check res = True, "GetDeviceInfo gives True"
Check UBound(info) = 14, "15 elements, got " & (UBound(info) + 1)
Check info(0) = "FiscalPrinter", "type " & info(0)
Check info(2) = "Сольвикс: Фискальный регистратор Vornlex", "model " & info(2)
Check TypeName(info(3)) = "Long", "major version is a Long: " & TypeName(info(3))
Check info(6) = "Eqdr.FrVornlex", "processor " & info(6)
Check info(8) = True, "settings dialog flag"
Check info(9) = "Драйвер фискальных регистраторов Vornlex", "description " & info(9)
Check InStr(info(11), "@") > 0, "e-mail " & info(11)

' GetSettings, then SetSettings with the rows in another order.
res = d.GetSettings(Empty, outData, 0)
CheckNoError "GetSettings"
Check res = True And IsArray(outData), "GetSettings gives an array"
t = outData(0)
Check UBound(t, 1) = 6, "settings array has 7 fields"
Check SettingValue(t, "DebugLogEnabled") = False And TypeName(SettingValue(t, "DebugLogEnabled")) = "Boolean", _
    "DebugLogEnabled is there, False, Boolean: " & Show(SettingValue(t, "DebugLogEnabled"))

s(0, 0) = "DebugLogEnabled": s(1, 0) = True
s(0, 1) = "DefaultTimeOut": s(1, 1) = 30
' Enable connects to the register: the emulator here.
s(0, 2) = "ModelIndex": s(1, 2) = 8
res = d.SetSettings(Array(s), outData, 0)
CheckNoError "SetSettings"
Check res = True, "SetSettings gives True"
res = d.GetSettings(Empty, outData, 0)
t = outData(0)
Check SettingValue(t, "DebugLogEnabled") = True, "DebugLogEnabled now True"
Check SettingValue(t, "DefaultTimeOut") = 30, "DefaultTimeOut now 30"
Check SettingValue(t, "EventLogEnabled") = False, "EventLogEnabled unchanged"

' A malformed settings array changes nothing.
res = d.SetSettings("не массив", outData, 0)
Check res = False And outData(0) = 1004, "SetSettings with a text gives 1004"

' Enable writes the header; later calls their two lines; Disable its first line only.
res = d.Enable(Empty, outData, 0)
CheckNoError "Enable"
Check res = True, "Enable gives True"
res = d.CheckHealth(Empty, outData, 0)
Check res = True, "CheckHealth on an enabled device"
res = d.Disable(Empty, outData, 0)
Check res = True, "Disable gives True"

Dim logText
logText = ReadDebugLogs(devices & "\dev-1")
Check Len(logText) > 0, "a debug log in " & devices & "\dev-1"
Check InStr(logText, "============Begin debug log=============") > 0, "log header"
Check InStr(logText, "device ID: " & vbTab & "dev-1") > 0, "log names the device"
Check InStr(logText, "DefaultTimeOut: " & vbTab & "30") > 0, "log lists the settings"
Check InStr(logText, "> CheckHealth: " & vbTab & "InData: EMPTY") > 0, "CheckHealth start line"
Check InStr(logText, "< CheckHealth: " & vbTab & "Result=True; OutData: EMPTY") > 0, "CheckHealth end line"
Check InStr(logText, "> Disable: ") > 0 And InStr(logText, "< Disable: ") = 0, "Disable: start line only"
Check InStr(logText, "< Enable") = 0, "Enable leaves no trace lines"

' Close, then a call that needs the manager fails with its message.
res = d.Close()
CheckNoError "Close"
Check res = True, "Close gives True"
Err.Clear
res = d.Open("dev-1", desc)
Check Err.Number <> 0, "Open after Close raises"
Check Err.Description = "Менеджер оборудования недоступен", "after Close: " & Err.Description
Err.Clear

Done
