' A shop's working day as a business application runs it: the driver "Eqdr.FrVornlex" created by
' name, connected to the emulator, and called late-bound with InData, OutData and TimeOut.
' Kept in UTF-8; tools/demo.sh converts it. Ends with exit code 1 when any call failed.

Dim failures
failures = 0
Sub Step(name, res, outData)
    If Err.Number <> 0 Then
        WScript.Echo "  " & name & ": ошибка " & Hex(Err.Number) & " " & Err.Description
        failures = failures + 1
        Err.Clear
    Else
        WScript.Echo "  " & name & " -> " & CStr(res) & "  " & Show(outData)
        If res <> True Then failures = failures + 1
    End If
End Sub

' A goods row: name, price, quantity, discount amount (positive: a discount), tax group.
Sub Item(t, row, name, price, qty, discount, tax)
    Dim c
    For c = 0 To 18: t(c, row) = Empty: Next
    t(0, row) = name: t(1, row) = "": t(3, row) = 1
    t(4, row) = CCur(price): t(5, row) = CDbl(qty)
    t(7, row) = CCur(discount): t(8, row) = CCur(0): t(9, row) = CCur(0): t(10, row) = tax
End Sub

Function Common(receiptType, total)
    Dim c(12)
    c(0) = receiptType: c(1) = True: c(3) = CCur(0): c(4) = CCur(total): c(12) = "Иванова"
    Common = c
End Function

Dim fso, devices, d, m, res, desc, outData, s(6, 1), sale, salePay, ret, retPay
Set fso = CreateObject("Scripting.FileSystemObject")
devices = fso.GetAbsolutePathName(".") & "\devices"
If Not fso.FolderExists(devices) Then fso.CreateFolder devices

Set d = CreateObject("Eqdr.FrVornlex")
If Err.Number <> 0 Then
    WScript.Echo "CreateObject(""Eqdr.FrVornlex"") не удался: " & Hex(Err.Number) & " " & Err.Description
    WScript.Quit 1
End If
Set m = New EquipmentManager
m.DevicesFolder = devices
WScript.Echo "Рабочий день через Eqdr.FrVornlex на эмуляторе ККТ"
res = d.Init(m, desc) : Step "Init", res, desc
res = d.Open("kassa-1", desc) : Step "Open kassa-1", res, desc
s(0, 0) = "ModelIndex" : s(1, 0) = 8
s(0, 1) = "DefCashierName" : s(1, 1) = "Иванова"
res = d.SetSettings(Array(s), outData, 0) : Step "SetSettings ModelIndex=8 (эмулятор)", res, outData
res = d.Enable(Empty, outData, 0) : Step "Enable", res, outData

WScript.Echo "Утро:"
res = d.OpenDay(Array("1", "Иванова"), outData, 0) : Step "OpenDay (открытие смены)", res, outData
res = d.Encash(Array(1, 2000), outData, 0) : Step "Encash 1: внесение 2000,00", res, outData

WScript.Echo "Продажа: молоко 2 x 89,90 со скидкой 9,80, хлеб 45,50; наличными 300,00, сдача 84,50"
Dim saleItems(18, 1), salePays(3, 0)
Item saleItems, 0, "Молоко 3,2% 1 л", 89.9, 2, 9.8, 1
Item saleItems, 1, "Хлеб пшеничный", 45.5, 1, 0, 2
salePays(0, 0) = 0: salePays(1, 0) = CCur(300)
res = d.PrintReceipt(Array(saleItems, salePays, Common(0, 215.5)), outData, 0)
Step "PrintReceipt продажа", res, outData

WScript.Echo "Возврат: хлеб 45,50 наличными"
Dim retItems(18, 0), retPays(3, 0)
Item retItems, 0, "Хлеб пшеничный", 45.5, 1, 0, 2
retPays(0, 0) = 0: retPays(1, 0) = CCur(45.5)
res = d.PrintReceipt(Array(retItems, retPays, Common(1, 45.5)), outData, 0)
Step "PrintReceipt возврат", res, outData

WScript.Echo "Вечер:"
res = d.PrintXReport(Empty, outData, 0) : Step "PrintXReport", res, outData
res = d.PrintZReport(Empty, outData, 0) : Step "PrintZReport (закрытие смены)", res, outData
res = d.Disable(Empty, outData, 0) : Step "Disable", res, outData
res = d.Close() : Step "Close", res, ""
If failures > 0 Then
    WScript.Echo "Не выполнено вызовов: " & failures
    WScript.Quit 1
End If
