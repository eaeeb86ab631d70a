' A shop's working day with the debug log on, for the replay test (replay/run.sh): two driver
' objects on one register and one device, so their lines interleave in one log; a sale and a return whose texts hold
' "; ", quotes and line breaks, a deposit, text, a template document, the clock and the reports.
' With FR_REPLAY_FAULTY=1 the emulator's faults file makes some of them fail; the day goes on.
Dim shell, fso, devices, faulty, m, d, d2, res, desc, outData, s(6, 2)
Set shell = CreateObject("WScript.Shell")
Set fso = CreateObject("Scripting.FileSystemObject")
faulty = shell.Environment("PROCESS")("FR_REPLAY_FAULTY") = "1"
devices = fso.GetAbsolutePathName(".") & "\devices"
If Not fso.FolderExists(devices) Then fso.CreateFolder devices
' The device's folder is there before Enable, so its log holds the whole day.
If Not fso.FolderExists(devices & "\kassa-1") Then fso.CreateFolder devices & "\kassa-1"
Plan 20

' A call's answer: True on a plain day; on a faulty day any answer, as long as no script error.
Sub Answered(what)
    Check Err.Number = 0 And (res = True Or faulty), what & ": " & Hex(Err.Number) & " " & Show(res) & " " & Show(outData)
    Err.Clear
End Sub

Function Connect(id)
    Dim o
    Set o = CreateObject("Eqdr.FrVornlex")
    res = o.Init(m, desc)
    res = o.Open(id, desc)
    s(0, 0) = "ModelIndex": s(1, 0) = 8
    s(0, 1) = "DebugLogEnabled": s(1, 1) = True
    s(0, 2) = "DefCashierName": s(1, 2) = "Иванова"
    res = o.SetSettings(Array(s), outData, 0)
    res = o.Enable(Empty, outData, 0)
    Set Connect = o
End Function

Sub Item(t, row, name, price, qty, discount, tax, extra)
    Dim c
    For c = 0 To 18: t(c, row) = Empty: Next
    t(0, row) = name: t(1, row) = "": t(3, row) = 1
    t(4, row) = CCur(price): t(5, row) = CDbl(qty)
    t(7, row) = CCur(discount): t(8, row) = CCur(0): t(9, row) = CCur(0): t(10, row) = tax
    t(17, row) = extra
End Sub

Function Common(receiptType, total)
    Dim c(12)
    c(0) = receiptType: c(1) = True: c(3) = CCur(0): c(4) = CCur(total): c(12) = "Иванова"
    Common = c
End Function

Set m = New EquipmentManager
m.DevicesFolder = devices
Set d = Connect("kassa-1")
Answered "Enable"
res = d.OpenDay(Array("1", "Иванова"), outData, 0): Answered "OpenDay"
res = d.Encash(Array(1, 2000), outData, 0): Answered "Encash deposit"
res = d.Encash(Array(1, CCur(150.25)), outData, 0): Answered "Encash deposit with kopecks"

Dim saleItems(18, 2), salePays(3, 1)
Item saleItems, 0, "Молоко ""Домик""; 3,2%", 89.9, 2, 9.8, 1, "Акция; ""2 по цене 1""" & vbCrLf & "до 31.12"
Item saleItems, 1, "Хлеб 'Бородинский'", 45.5, 1, 0, 2, ""
Item saleItems, 2, "Гвозди", 0.35, 1.5, 0, -1, ""
salePays(0, 0) = 0: salePays(1, 0) = CCur(210)
salePays(0, 1) = 3: salePays(1, 1) = CCur(16)
res = d.PrintReceipt(Array(saleItems, salePays, Common(0, 216.03)), outData, 0): Answered "sale"

Set d2 = Connect("kassa-1")
Answered "Enable of the second object"
res = d2.PrintText(Array("Касса 2; смена ""утро""" & vbCrLf & "вторая строка"), outData, 0): Answered "PrintText on the second"

Dim retItems(18, 0), retPays(3, 0)
Item retItems, 0, "Хлеб 'Бородинский'", 45.5, 1, 0, 2, ""
retPays(0, 0) = 0: retPays(1, 0) = CCur(45.5)
res = d.PrintReceipt(Array(retItems, retPays, Common(1, 45.5)), outData, 0): Answered "return"
res = d2.PrintXReport(Empty, outData, 0): Answered "PrintXReport on the second"
res = d.PrintText(Array("Спасибо; ждём вас снова!" & vbCrLf & "'Касса 1'"), outData, 0): Answered "PrintText"

Dim tParams(1, 0), tData(1, 0)
res = d.UploadTemplate(Array(7, "Итог к оплате", TotalTemplate("ИТОГО; К ОПЛАТЕ: ")), outData, 0): Answered "UploadTemplate"
tParams(0, 0) = "СУММА": tParams(1, 0) = "129.00"
tData(0, 0) = "ИТОГ": tData(1, 0) = tParams
res = d.PrintTemplateDocument(Array(tData, 7, 0), outData, 0): Answered "PrintTemplateDocument"

res = d.GetDateTime(Empty, outData, 0): Answered "GetDateTime"
res = d.GetLastDocInfo(Empty, outData, 0): Answered "GetLastDocInfo"
res = d.PrintExtReport(Array(5), outData, 0): Answered "PrintExtReport by cashier"
res = d2.Disable(Empty, outData, 0): Answered "Disable of the second"
res = d.PrintXReport(Empty, outData, 0): Answered "PrintXReport"
res = d.PrintZReport(Empty, outData, 0): Answered "PrintZReport"
res = d.Disable(Empty, outData, 0): Answered "Disable"
res = d.Close(): Check Err.Number = 0, "Close"
Done
