' A business application's session with the driver: a VBScript class as the equipment manager,
' the generic life cycle, the debug log switched on. Kept in UTF-8; tools/demo.sh converts it.

Sub Step(name, res, detail)
    If Err.Number <> 0 Then
        WScript.Echo "  " & name & ": ошибка " & Hex(Err.Number) & " " & Err.Description
        Err.Clear
    Else
        WScript.Echo "  " & name & " -> " & CStr(res) & "  " & detail
    End If
End Sub

Dim fso, devices, d, m, res, desc, outData, s(6, 1)
Set fso = CreateObject("Scripting.FileSystemObject")
devices = fso.GetAbsolutePathName(".") & "\devices"
If Not fso.FolderExists(devices) Then fso.CreateFolder devices
If Not fso.FolderExists(devices & "\kassa-1") Then fso.CreateFolder devices & "\kassa-1"

Set d = CreateObject("Eqdr.FrVornlex")
Set m = New EquipmentManager
m.DevicesFolder = devices
WScript.Echo "Eqdr.FrVornlex, папка устройств " & devices
res = d.Init(m, desc) : Step "Init", res, desc
res = d.Open("kassa-1", desc) : Step "Open", res, desc
res = d.GetDeviceInfo(Empty, outData, 0) : Step "GetDeviceInfo", res, Show(outData)
res = d.GetSettings(Empty, outData, 0) : Step "GetSettings", res, (UBound(outData(0), 2) + 1) & " настроек"
s(0, 0) = "DebugLogEnabled" : s(1, 0) = True
s(0, 1) = "ModelIndex" : s(1, 1) = 8
res = d.SetSettings(Array(s), outData, 0) : Step "SetSettings DebugLogEnabled=True, ModelIndex=8 (эмулятор)", res, ""
res = d.Enable(Empty, outData, 0) : Step "Enable", res, Show(outData)
res = d.CheckHealth(Empty, outData, 0) : Step "CheckHealth", res, Show(outData)
res = d.SetSettings("не массив", outData, 0) : Step "SetSettings с неверным массивом", res, Show(outData)
res = d.Disable(Empty, outData, 0) : Step "Disable", res, Show(outData)
res = d.Close() : Step "Close", res, ""
