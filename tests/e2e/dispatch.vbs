' The dispatch rules as a late-bound script host sees them, on the test class "Eqdr.DispatchTest"
' and on the driver "Eqdr.FrVornlex". Kept in UTF-8; run-vbs.sh converts it for cscript.
Plan 36

Function IsErrorArray(v, code, text)
    IsErrorArray = False
    If Not IsArray(v) Then Exit Function
    If UBound(v) <> 1 Then Exit Function
    IsErrorArray = (TypeName(v(0)) = "Long" And v(0) = code And v(1) = text)
End Function

' E_INVALIDARG reaches a script as the HRESULT itself or as VBScript's error 5 (invalid argument).
Function IsInvalidArg(number)
    IsInvalidArg = (number = &H80070057 Or number = 5)
End Function

Dim o, outData, res, n, echoed
Set o = CreateObject("Eqdr.DispatchTest")
If Err.Number <> 0 Then
    WScript.Echo "FAIL: CreateObject(""Eqdr.DispatchTest""): " & Hex(Err.Number) & " " & Err.Description
    Done
    WScript.Quit 1
End If

' Names are found whatever their ASCII case; OutData comes back through the reference.
Dim names, name
For Each name In Array("FillOut", "fillout", "FILLOUT")
    Err.Clear
    outData = Empty
    Select Case name
        Case "FillOut": res = o.FillOut(Empty, outData, 0)
        Case "fillout": res = o.fillout(Empty, outData, 0)
        Case "FILLOUT": res = o.FILLOUT(Empty, outData, 0)
    End Select
    Check Err.Number = 0 And res = True, name & ": " & Hex(Err.Number) & " " & Err.Description
    Check IsArray(outData), name & " OutData is an array: " & Show(outData)
    Check outData(0) = "Строка" And outData(1) = 42 And outData(2) = True, name & " OutData " & Show(outData)
Next

' A method's own OutData is replaced by the error array [code, text].
Err.Clear
outData = "до вызова"
res = o.Fail3001(Empty, outData, 0)
Check Err.Number = 0 And res = False, "Fail3001 returns False: " & Hex(Err.Number) & " " & Show(res)
Check IsErrorArray(outData, 3001, "Нет бумаги"), "Fail3001 OutData " & Show(outData)

Err.Clear
res = o.Fail3001Text(Empty, outData, 0)
Check res = False And IsErrorArray(outData, 3001, "Бумага закончилась, заправьте рулон"), _
    "Fail3001Text OutData " & Show(outData)

' A public handler that raises: still a call that returns, code 1001 with the message.
Err.Clear
res = o.Raise(Empty, outData, 0)
Check Err.Number = 0 And res = False, "Raise is not an automation error: " & Hex(Err.Number)
Check IsErrorArray(outData, 1001, "Сбой в обработчике метода"), "Raise OutData " & Show(outData)

' TimeOut: missing or not ordinal is E_INVALIDARG; 16-bit, Boolean and Byte run.
Err.Clear
outData = "не тронуто"
res = o.EchoTimeOut(Empty, outData)
Check IsInvalidArg(Err.Number), "missing TimeOut: " & Hex(Err.Number)
Check outData = "не тронуто", "missing TimeOut leaves OutData: " & Show(outData)
Err.Clear
res = o.EchoTimeOut(Empty, outData, 1.5)
Check IsInvalidArg(Err.Number), "Double TimeOut: " & Hex(Err.Number)
Err.Clear
res = o.EchoTimeOut(Empty, outData, "5")
Check IsInvalidArg(Err.Number), "String TimeOut: " & Hex(Err.Number)
Err.Clear
res = o.EchoTimeOut(Empty, outData, CInt(1500))
Check Err.Number = 0 And res = True And TypeName(outData) = "Long" And outData = 1500, _
    "Integer TimeOut widened: " & Hex(Err.Number) & " " & Show(outData)
Err.Clear
res = o.EchoTimeOut(Empty, outData, True)
Check Err.Number = 0 And outData = -1, "Boolean TimeOut: " & Hex(Err.Number) & " " & Show(outData)
Err.Clear
res = o.EchoTimeOut(Empty, outData, CByte(200))
Check Err.Number = 0 And outData = 200, "Byte TimeOut: " & Hex(Err.Number) & " " & Show(outData)

' OutData passed by value: the call succeeds and the host's variable stays as it was.
Err.Clear
outData = "моё"
res = o.FillOut(Empty, (outData), 0)
Check Err.Number = 0 And res = True, "OutData by value: " & Hex(Err.Number)
Check outData = "моё", "OutData by value untouched: " & Show(outData)

' A private handler that raises is an automation error with its source and description.
Err.Clear
res = o.RaisePrivate()
Check Err.Number = 1001, "RaisePrivate raises error 1001: " & Hex(Err.Number)
Check Err.Source = "ETestError", "Err.Source: " & Err.Source
Check Err.Description = "Сбой в закрытом методе", "Err.Description: " & Err.Description

' A name registered twice keeps its place and calls the second handler, which is public.
Err.Clear
outData = Empty
res = o.PrintText(Empty, outData, 0)
Check Err.Number = 0 And res = True And outData = "PrintText: второй обработчик", _
    "PrintText: " & Hex(Err.Number) & " " & Show(res) & " " & Show(outData)

' Private handlers take any arguments; by-reference ones come back changed.
Err.Clear
n = 21
echoed = o.Echo(Array(1, "два", Array(3)), n)
Check Err.Number = 0 And n = 42, "Echo doubles the reference: " & Hex(Err.Number) & " " & Show(n)
Check Show(echoed) = "[Integer:1, String:два, [Integer:3]]", "Echo returns the array: " & Show(echoed)
Err.Clear
Dim same
Set same = o.Echo(o)
Check Err.Number = 0, "Echo of an object: " & Hex(Err.Number)
Check same Is o, "an object comes back as the same object"

' Unknown names are refused.
Err.Clear
res = o.NoSuchMethod(Empty, outData, 0)
Check Err.Number <> 0, "unknown name is an error"

' The driver: created by its ProgID, a new object each time, answering its method table only.
Err.Clear
Dim drv, drv2
Set drv = CreateObject("Eqdr.FrVornlex")
Check Err.Number = 0 And IsObject(drv), "CreateObject(""Eqdr.FrVornlex""): " & Hex(Err.Number) & " " & Err.Description
Set drv2 = CreateObject("Eqdr.FrVornlex")
Check Not (drv Is drv2), "every CreateObject makes a new driver object"
Err.Clear
outData = Empty
res = drv.getdeviceinfo(Empty, outData, 0)
Check Err.Number = 0 And VarType(res) = vbBoolean, "the driver answers GetDeviceInfo: " & Hex(Err.Number) & " " & Err.Description
Err.Clear
res = drv.NoSuchMethod(Empty, outData, 0)
Check Err.Number <> 0, "the driver refuses an unknown name"

Set same = Nothing
Set drv = Nothing
Set drv2 = Nothing
Set o = Nothing
Done
