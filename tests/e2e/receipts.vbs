' Receipts and documents on the emulator through the driver, as a business application prints
' them: sales and returns with discounts, markups, several payments and change; the receipt as
' text; receipts that fail (a bad payment type, an item the register rejects, a broken link, no
' paper), after each of which the next receipt prints; free text, template documents and the EGAIS
' slip with the tape's lines compared exactly. Kept in UTF-8; the runner converts it for cscript
' and puts the shared Check, Show, Plan and Done before it.
Plan 52

' The tape's new text since the last call.
Function NewTape()
    Dim t
    t = ReadUtf8(folder & "\tape.txt")
    NewTape = Mid(t, tapeMark + 1)
    tapeMark = Len(t)
End Function

' The bodies of the documents in a piece of tape, "|" between lines and "#" between documents:
' each document's four header lines (title, serial number, number and time, rule) and its closing
' rule of "=" (the one an empty line follows) are left out.
Function Bodies(piece)
    Dim lines, i, s, inDoc, k
    lines = Split(Replace(piece, vbCr, ""), vbLf)
    s = ""
    k = 0
    inDoc = False
    For i = 0 To UBound(lines)
        If Not inDoc Then
            If InStr(lines(i), "ЭМУЛЯТОР ФИСКАЛЬНОГО РЕГИСТРАТОРА") > 0 Then
                inDoc = True
                k = 0
                If s <> "" Then s = s & "#"
            End If
        Else
            k = k + 1
            If lines(i) = String(width, "=") And i < UBound(lines) Then
                If lines(i + 1) = "" Then inDoc = False
            End If
            If inDoc And k > 3 Then
                If k > 4 Then s = s & "|"
                s = s & lines(i)
            End If
        End If
    Next
    Bodies = s
End Function

' A line of the tape's width with Left at the left and Right at the right edge.
Function Pair(l, r)
    Pair = l & Space(width - Len(l) - Len(r)) & r
End Function
' The lines joined with "|" (Wine's VBScript has no Join).
Function JoinLines(a)
    Dim i, r
    r = ""
    For i = 0 To UBound(a)
        If i > 0 Then r = r & "|"
        r = r & a(i)
    Next
    JoinLines = r
End Function
Function Padded(l)
    Padded = l & Space(width - Len(l))
End Function
Function Centred(t)
    Centred = Space((width - Len(t)) \ 2) & t & Space(width - Len(t) - (width - Len(t)) \ 2)
End Function
Function Four(n)
    Four = Right("000" & n, 4)
End Function
Function Two(n)
    Two = Right("0" & n, 2)
End Function
Function SlipDate(t)
    SlipDate = Two(Day(t)) & "." & Two(Month(t)) & "." & Right(Year(t), 2) & " " & Two(Hour(t)) & ":" & Two(Minute(t))
End Function

Function AnsweredError(res, out, code, text)
    AnsweredError = (res = False) And (out(0) = code) And (out(1) = text)
End Function

Function IsFiscalResult(v)
    IsFiscalResult = False
    If IsArray(v) Then
        If UBound(v) = 3 Then
            IsFiscalResult = VarType(v(0)) = vbLong And VarType(v(1)) = vbLong And VarType(v(3)) = vbDate
        End If
    End If
End Function

' Goods rows: name, price, quantity, tax group, discount (negative: a markup), extra text.
' (Wine's VBScript crashes on ReDim, so tables of the few sizes needed are copied.)
Dim goods, goodsCount
Sub NewGoods(n)
    Dim g1(18, 0), g2(18, 1)
    If n = 1 Then goods = g1 Else goods = g2
    goodsCount = 0
End Sub
Sub AddGoods(name, price, quantity, tax, discount, extra)
    goods(0, goodsCount) = name: goods(1, goodsCount) = "": goods(3, goodsCount) = 1
    goods(4, goodsCount) = CCur(price): goods(5, goodsCount) = CDbl(quantity)
    goods(7, goodsCount) = CCur(discount): goods(8, goodsCount) = CCur(0): goods(9, goodsCount) = CCur(0)
    goods(10, goodsCount) = tax: goods(11, goodsCount) = CCur(0): goods(17, goodsCount) = extra
    goodsCount = goodsCount + 1
End Sub
Dim pays, paysCount
Sub NewPays(n)
    Dim p1(3, 0), p2(3, 1), p3(3, 2)
    Select Case n
        Case 1: pays = p1
        Case 2: pays = p2
        Case Else: pays = p3
    End Select
    paysCount = 0
End Sub
Sub AddPay(kind, amount, text, name)
    pays(0, paysCount) = kind: pays(1, paysCount) = CCur(amount): pays(2, paysCount) = text: pays(3, paysCount) = name
    paysCount = paysCount + 1
End Sub
Function Common(kind, fiscal, total, header, footer)
    Common = Array(kind, fiscal, Empty, CCur(0), CCur(total), Empty, header, footer, Empty, Empty, Empty, Empty, "Иванова")
End Function

Function Cash()
    Dim o
    d.GetCountersInfo Empty, o, 0
    Cash = o(0)(19)
End Function

' A sale of one loaf for 45.50 in cash: the receipt that must print after every failure.
Function BreadSold()
    NewGoods 1
    AddGoods "Хлеб", 45.5, 1, 1, 0, ""
    NewPays 1
    AddPay 0, 45.5, "", ""
    BreadSold = d.PrintReceipt(Array(goods, pays, Common(0, True, 45.5, "", "")), outData, 0)
End Function

Const width = 48
Dim shell, fso, folder, devices, m, d, res, desc, outData, s(2, 2), shift, tape, cashBefore, serial, lines, i, n
Dim tData(1, 0), tParams(1, 0), qr, before, after
Dim tapeMark, got, sub1, sub2, sub3
tapeMark = 0

Set shell = CreateObject("WScript.Shell")
Set fso = CreateObject("Scripting.FileSystemObject")
folder = shell.Environment("PROCESS")("FR_EMULATOR_DIR")
If fso.FolderExists(folder) Then fso.DeleteFolder folder, True
devices = fso.GetAbsolutePathName(".") & "\receipt-devices"
If Not fso.FolderExists(devices) Then fso.CreateFolder devices
Err.Clear

' ---- connecting, the shift ----
Set m = New EquipmentManager
m.DevicesFolder = devices
Set d = CreateObject("Eqdr.FrVornlex")
res = d.Init(m, desc)
res = d.Open("receipts-1", desc)
Check res = True, "Open: " & desc
s(0, 0) = "ModelIndex": s(1, 0) = 8
s(0, 1) = "MaxReceiptRowLength": s(1, 1) = width
s(0, 2) = "INN": s(1, 2) = "7701234567"
res = d.SetSettings(Array(s), outData, 0)
Check res = True, "SetSettings: " & Show(outData)
res = d.Enable(Empty, outData, 0)
Check res = True, "Enable on the emulator: " & Show(outData)
res = d.OpenDay(Array("1", "Иванова"), outData, 0)
Check res = True, "OpenDay: " & Show(outData)
shift = outData(0)
tape = NewTape()
lines = Split(Replace(tape, vbCr, ""), vbLf)
serial = ""
For i = 0 To UBound(lines)
    If Left(lines(i), 6) = "ЗН ККТ" Then serial = Trim(Mid(lines(i), 7))
Next
Check Len(serial) = 16, "the register's serial number from the tape: " & serial
res = d.Encash(Array(1, 1000), outData, 0)
Check res = True, "deposit 1000: " & Show(outData)
tape = NewTape()

' ---- a sale with a discount and a markup, paid with change ----
cashBefore = Cash()
NewGoods 2
AddGoods "Хлеб пшеничный", 45.5, 2, 1, 5, ""
AddGoods "Молоко", 39.5, 1, 1, -3.5, "акция"
NewPays 1
AddPay 0, 150, "", ""
res = d.PrintReceipt(Array(goods, pays, Common(0, True, 129, "", "")), outData, 0)
Check res = True And IsFiscalResult(outData), "a sale: " & Show(outData)
Check outData(0) = shift And outData(1) = 1, "the sale is receipt 1 of the shift: " & Show(outData)
Check Cash() = cashBefore + 129, "the drawer gains the total, the change given back: " & Show(Cash())
tape = Bodies(NewTape())
Check tape = JoinLines(Array(Pair("КАССОВЫЙ ЧЕК", "ПРИХОД"), Pair("СМЕНА " & shift, "ЧЕК 1"), Pair("КАССИР", "Иванова"), _
    "Хлеб пшеничный", Pair("  2 X 45.50", "=91.00"), Pair("  СКИДКА", "=5.00"), "  НДС 10%", _
    "Молоко", Pair("  1 X 39.50", "=39.50"), Pair("  НАДБАВКА", "=3.50"), "  НДС 10%", "акция", String(width, "-"), _
    Pair("ИТОГ", "=129.00"), Pair("НАЛИЧНЫМИ", "=150.00"), Pair("СДАЧА", "=21.00"), Pair("СУММА НДС 10%", "=11.73"))), _
    "the sale on the tape: " & tape

' ---- a return ----
cashBefore = Cash()
NewGoods 1
AddGoods "Хлеб пшеничный", 45.5, 1, 1, 0, ""
NewPays 1
AddPay 0, 45.5, "", ""
res = d.PrintReceipt(Array(goods, pays, Common(1, True, 45.5, "", "")), outData, 0)
Check res = True And outData(1) = 2, "a return: " & Show(outData)
Check Cash() = cashBefore - 45.5, "the return is paid from the drawer: " & Show(Cash())
tape = Bodies(NewTape())
Check InStr(tape, Pair("КАССОВЫЙ ЧЕК", "ВОЗВРАТ ПРИХОДА")) = 1 And InStr(tape, Pair("ИТОГ", "=45.50")) > 0, "the return on the tape: " & tape

' ---- several payments ----
cashBefore = Cash()
NewGoods 1
AddGoods "Чайник", 300, 1, 0, 0, ""
NewPays 3
AddPay 0, 100, "", ""
AddPay 3, 150, "", ""
AddPay 1, 50, "", ""
res = d.PrintReceipt(Array(goods, pays, Common(0, True, 300, "", "")), outData, 0)
Check res = True And outData(1) = 3, "three payments: " & Show(outData)
Check Cash() = cashBefore + 100, "only the cash part reaches the drawer: " & Show(Cash())
tape = Bodies(NewTape())
Check InStr(tape, Pair("НАЛИЧНЫМИ", "=100.00") & "|" & Pair("КАРТОЙ", "=150.00") & "|" & Pair("КРЕДИТОМ", "=50.00")) > 0, _
    "the payments on the tape: " & tape

' ---- the receipt as text ----
cashBefore = Cash()
NewGoods 1
AddGoods "Хлеб", 45.5, 2, 1, 5, "свежий"
goods(11, 0) = CCur(7.8)
NewPays 2
AddPay 0, 50, "спасибо", ""
AddPay 3, 50, "", "Карта МИР"
res = d.PrintReceipt(Array(goods, pays, Common(0, False, 86, "Магазин", "Приходите ещё")), outData, 0)
Check res = True And outData(0) = shift, "a text receipt: " & Show(outData)
Check Cash() = cashBefore, "a text receipt moves no money: " & Show(Cash())
tape = Bodies(NewTape())
Check tape = JoinLines(Array(Centred("Магазин"), "Хлеб", Pair(" ", "2 X 45.50"), Pair("10%", "=7.80"), _
    "свежий", Pair("СКИДКА", "=5.00"), String(width, "="), Centred("Приходите ещё"), _
    "ИТОГ" & Space(24 - 4 - 6) & "=86.00", Pair(" Наличные", "=50.00"), " спасибо", Pair(" Карта МИР", "=50.00"), _
    Pair("СДАЧА", "=14.00"), Pair("10%", "=7.80"), String(width, "-"), Space(13) & "НЕФИСКАЛЬНЫЙ ДОКУМЕНТ")), _
    "the text receipt on the tape: " & tape

' ---- an invalid payment type: cancelled, nothing paid ----
cashBefore = Cash()
NewGoods 1
AddGoods "Хлеб", 45.5, 1, 1, 0, ""
NewPays 2
AddPay 0, 20, "", ""
AddPay 4, 25.5, "", ""
res = d.PrintReceipt(Array(goods, pays, Common(0, True, 45.5, "", "")), outData, 0)
Check AnsweredError(res, outData, 3012, "Номер оплаты вне допустимого диапазона"), "payment type 4: " & Show(outData)
Check Cash() = cashBefore, "the cancelled receipt moves no money: " & Show(Cash())
Check InStr(NewTape(), "ЧЕК АННУЛИРОВАН") > 0, "the tape shows the receipt cancelled"
Check BreadSold() = True, "the next receipt prints: " & Show(outData)
tape = NewTape()

' ---- an item the register rejects ----
WriteFaultsIn folder, "fail printRecItem 2 30"
cashBefore = Cash()
NewGoods 2
AddGoods "Хлеб", 45.5, 1, 1, 0, ""
AddGoods "Соль", 20, 1, 1, 0, ""
NewPays 1
AddPay 0, 65.5, "", ""
res = d.PrintReceipt(Array(goods, pays, Common(0, True, 65.5, "", "")), outData, 0)
Check AnsweredError(res, outData, 30, "Недопустимая налоговая группа [30]"), "the second item rejected: " & Show(outData)
Check Cash() = cashBefore, "nothing paid: " & Show(Cash())
Check InStr(NewTape(), "ЧЕК АННУЛИРОВАН") > 0, "the tape shows the receipt cancelled after a rejected item"
RemoveFaultsIn folder
Check BreadSold() = True, "the next receipt prints after a rejected item: " & Show(outData)

' ---- the link breaks after an item was accepted ----
NewGoods 2
AddGoods "Хлеб", 45.5, 1, 1, 0, ""
AddGoods "Соль", 20, 1, 1, 0, ""
NewPays 1
AddPay 0, 65.5, "", ""
WriteFaultsIn folder, "raise printRecItem 2 link lost"
res = d.PrintReceipt(Array(goods, pays, Common(0, True, 65.5, "", "")), outData, 0)
Check res = False And outData(0) = 1001 And InStr(outData(1), "link lost") > 0, "an exception in the middle: " & Show(outData)
RemoveFaultsIn folder
tape = NewTape()
Check InStr(tape, "ЧЕК АННУЛИРОВАН") > 0, "the receipt left open by the exception is cancelled"
Check BreadSold() = True, "the next receipt prints after the exception: " & Show(outData)

' ---- no paper ----
tape = NewTape()
WriteFaultsIn folder, "paper-out"
res = d.PrintReceipt(Array(goods, pays, Common(0, True, 65.5, "", "")), outData, 0)
Check AnsweredError(res, outData, 3001, "Нет бумаги"), "a receipt without paper: " & Show(outData)
res = d.PrintText(Array("Текст"), outData, 0)
Check AnsweredError(res, outData, 3001, "Нет бумаги"), "text without paper is not reported as printed: " & Show(outData)
res = d.PrintReceipt(Array(goods, pays, Common(0, False, 65.5, "", "")), outData, 0)
Check AnsweredError(res, outData, 3001, "Нет бумаги"), "a text receipt without paper: " & Show(outData)
Check NewTape() = "", "nothing printed without paper"
RemoveFaultsIn folder
Check BreadSold() = True, "the next receipt prints once there is paper: " & Show(outData)
tape = NewTape()

' ---- free text: a control character starts a new document ----
res = d.PrintText(Array("Первая строка" & vbCrLf & vbCrLf & "Вторая строка" & vbCrLf & Chr(12) & vbCrLf & "Новый документ"), outData, 0)
Check res = True And IsEmpty(outData), "PrintText: " & Show(outData)
tape = Bodies(NewTape())
Check tape = JoinLines(Array("Первая строка", "", "Вторая строка", String(width, "-"), Space(13) & "НЕФИСКАЛЬНЫЙ ДОКУМЕНТ")) & "#" & _
    JoinLines(Array("Новый документ", String(width, "-"), Space(13) & "НЕФИСКАЛЬНЫЙ ДОКУМЕНТ")), "the two text documents: " & tape
res = d.PrintText(Array(""), outData, 0)
Check res = True And NewTape() = "", "empty text prints nothing"

' ---- a template document ----
res = d.UploadTemplate(Array(7, "Итог к оплате", TotalTemplate("ИТОГО К ОПЛАТЕ: ")), outData, 0)
Check res = True, "UploadTemplate: " & Show(outData)
res = d.DownloadTemplate(Array(7), outData, 0)
Check res = True And outData(0) = "Итог к оплате", "DownloadTemplate: the description: " & outData(0)
got = outData(1)
sub1 = got(3, 0)
sub2 = sub1(3, 0)
sub3 = sub2(11, 0)
Check got(0, 0) = "Итог" And sub3(0, 0) = "Сумма" And sub3(6, 0) = "ИТОГО К ОПЛАТЕ: ", "DownloadTemplate: the array as uploaded"
tParams(0, 0) = "СУММА": tParams(1, 0) = "129.00"
tData(0, 0) = "ИТОГ": tData(1, 0) = tParams
res = d.PrintTemplateDocument(Array(tData, 7, 0), outData, 0)
Check res = True, "PrintTemplateDocument: " & Show(outData)
tape = Bodies(NewTape())
Check tape = JoinLines(Array(Padded("ИТОГО К ОПЛАТЕ: 129.00 руб."), String(width, "-"), Space(13) & "НЕФИСКАЛЬНЫЙ ДОКУМЕНТ")), _
    "the template document (names matched whatever their case): " & tape
res = d.PrintTemplateDocument(Array(tData, 8, 0), outData, 0)
Check AnsweredError(res, outData, 3007, "Шаблон не найден"), "an unknown template: " & Show(outData)

' ---- the EGAIS slip ----
qr = String(100, "Q")
before = Now
res = d.PrintEGAISSubReport(Array("", "770101001", 25, qr, "подпись"), outData, 0)
after = Now
Check res = True And IsFiscalResult(outData), "PrintEGAISSubReport: " & Show(outData)
Check outData(0) = shift, "the slip answers the shift: " & Show(outData)
tape = Bodies(NewTape())
lines = Split(tape, "|")
Check lines(0) = Pair("ИНН:7701234567", "КПП:770101001"), "the slip: INN from the settings and KPP: " & lines(0)
Check lines(1) = Pair("КАССА:" & serial, "СМЕНА:" & Four(shift)), "the slip: register and current shift: " & lines(1)
Check lines(2) = Pair("ЧЕК:0025", "ДАТА:" & SlipDate(before)) Or lines(2) = Pair("ЧЕК:0025", "ДАТА:" & SlipDate(after)), _
    "the slip: receipt and date: " & lines(2)
Check JoinLines(Array(lines(3), lines(4), lines(5), lines(6), lines(7), lines(8), lines(9))) = _
    JoinLines(Array(" ", String(48, "Q"), String(48, "Q"), "QQQQ", " ", "подпись", " ")), "the slip: QR data and footprint: " & tape

' ---- disconnecting ----
res = d.Disable(Empty, outData, 0)
Check res = True, "Disable: " & Show(outData)
Set d = Nothing
Check Err.Number = 0, "release"

Done
