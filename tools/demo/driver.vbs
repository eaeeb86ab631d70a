' What a script host sees of the driver: create it by ProgID and ask the read-only methods.
' Kept in UTF-8; tools/demo.sh converts it for cscript.

Dim drv, outData, res, name
Set drv = CreateObject("Eqdr.FrVornlex")
If Err.Number <> 0 Then
    WScript.Echo "CreateObject(""Eqdr.FrVornlex"") не удался: " & Hex(Err.Number) & " " & Err.Description
    WScript.Quit 1
End If
WScript.Echo "Создан объект Eqdr.FrVornlex"

Sub Report(name)
    If Err.Number = 0 Then
        WScript.Echo "  " & name & ": отвечает, результат " & CStr(res) & ", OutData " & TypeName(outData)
    Else
        WScript.Echo "  " & name & ": нет в таблице методов (ошибка " & Hex(Err.Number) & ")"
    End If
    Err.Clear
End Sub

WScript.Echo "Методы только для чтения:"
outData = Empty : res = drv.GetDeviceInfo(Empty, outData, 0) : Report "GetDeviceInfo"
outData = Empty : res = drv.GetSettings(Empty, outData, 0) : Report "GetSettings"
outData = Empty : res = drv.CheckHealth(Empty, outData, 0) : Report "CheckHealth"
outData = Empty : res = drv.GetDateTime(Empty, outData, 0) : Report "GetDateTime"
outData = Empty : res = drv.GetLastDocInfo(Empty, outData, 0) : Report "GetLastDocInfo"
Set drv = Nothing
