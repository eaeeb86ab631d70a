' A receipt on "Vornlex.FiscalPrinter" created directly, as the driver and script hosts create it:
' the error state is checked after every call, then the printed receipt on the tape line by line.
' Kept in UTF-8; run-vbs.sh converts it for cscript. FR_EMULATOR_DIR names the folder to use.
Plan 86

Dim fr

' The call just made must have succeeded, by the error state and by VBScript.
Sub Ok(what)
    Dim code, text
    If Err.Number <> 0 Then
        Check False, what & ": script error " & Hex(Err.Number) & " " & Err.Description
        Err.Clear
        Exit Sub
    End If
    code = fr.LastError
    text = fr.LastErrorText
    Check code = 0, what & ": LastError " & code & " " & text
End Sub

' The call just made must have been refused with the code.
Sub Refused(what, code, text)
    Dim got
    got = fr.LastError
    Check Err.Number = 0, what & ": script error " & Hex(Err.Number)
    Err.Clear
    Check got = code, what & ": LastError " & got & ", expected " & code
    If text <> "" Then Check fr.LastErrorText = text, what & ": LastErrorText """ & fr.LastErrorText & """"
End Sub

Dim shell, fso, dir
Set shell = CreateObject("WScript.Shell")
Set fso = CreateObject("Scripting.FileSystemObject")
dir = shell.Environment("PROCESS")("FR_EMULATOR_DIR")
Check dir <> "", "FR_EMULATOR_DIR is set"
' A new device for every run.
If fso.FolderExists(dir) Then fso.DeleteFolder dir, True
Err.Clear

Set fr = CreateObject("Vornlex.FiscalPrinter")
If Err.Number <> 0 Then
    WScript.Echo "FAIL: CreateObject(""Vornlex.FiscalPrinter""): " & Hex(Err.Number) & " " & Err.Description
    Done
    WScript.Quit 1
End If

' Before start nothing works; the error state says why.
fr.printXReport
Refused "printXReport before start", 2, ""

' Another model's protocol is not ours: code 1, the particulars in the extended text.
fr.start 3
Ok "start 3"
fr.OpenPort "COM1", 6
Refused "OpenPort for model 3", 1, ""
Check InStr(fr.LastErrorExText, "универсальный драйвер") > 0, "extended text names the vendor's driver: " & fr.LastErrorExText

fr.start 100
Ok "start 100"
fr.OpenPort "COM1", 6
Ok "OpenPort"
Dim sn
sn = fr.SN
Ok "SN"
Check Len(sn) = 16 And Left(sn, 2) = "99" And IsNumeric(sn), "serial number of sixteen digits from 99: " & sn

fr.beginFiscalReceipt 0, "Иванов"
Refused "sale before the shift is open", 10, "Смена не открыта"

fr.printNullReceipt
Ok "printNullReceipt"
Check fr.SmenNum = 1, "shift 1 is open"

' By-reference arguments, as the driver passes them.
Dim recType, cashier, itemName, price, qty, tax, amount, payType
recType = 0 : cashier = "Иванов"
fr.beginFiscalReceipt recType, cashier
Ok "beginFiscalReceipt"
fr.beginFiscalReceipt recType, cashier
Refused "receipt begun twice", 20, "Чек уже открыт"
itemName = "Хлеб" : price = CCur(45.5) : qty = CDbl(2) : tax = 0
fr.printRecItem itemName, price, qty, tax, CCur(0), CDbl(0)
Ok "printRecItem Хлеб"
Check itemName = "Хлеб" And price = CCur(45.5), "by-reference arguments unchanged"
fr.printRecItem "Молоко", CCur(89.9), CDbl(1), 1, CCur(-5), CDbl(0)
Ok "printRecItem Молоко"
amount = CCur(100) : payType = 0
fr.printRecTotal amount, payType
Ok "printRecTotal 100"
fr.endFiscalReceipt
Refused "payment short of the total", 22, "Сумма оплаты меньше итога чека"
fr.printRecTotal CCur(100), 0
Ok "printRecTotal 100 more"
fr.endFiscalReceipt
Ok "endFiscalReceipt"
fr.endFiscalReceipt
Refused "end outside a receipt", 21, "Чек не открыт"

Check fr.LastReceiptNum = 1, "last receipt 1"
Dim cash
cash = fr.Cash
Ok "Cash"
Check TypeName(cash) = "Currency" And cash = CCur(175.9), "cash in the drawer: " & TypeName(cash) & " " & cash
Dim t
t = fr.GetTime
Ok "GetTime"
Check Len(t) = 6 And IsNumeric(t), "six digits of time: " & t

fr.printRecCash CCur(-200)
Refused "withdrawal above the cash", 23, "Недостаточно наличных в денежном ящике"
fr.printRecCash CCur(-75.9)
Ok "printRecCash -75.90"
Check fr.Cash = CCur(100), "cash after the withdrawal"

' The receipt on the tape, line by line.
Dim tape, lines, start, i, expected
tape = ReadUtf8(dir & "\tape.txt")
Check Err.Number = 0, "tape read: " & Err.Description
Err.Clear
lines = Split(tape, vbLf)
start = -1
For i = 0 To UBound(lines)
    If Left(lines(i), 7) = "ДОК. 2 " Then start = i
Next
Check start >= 2, "receipt found on the tape"
    Check lines(start - 2) = "       ЭМУЛЯТОР ФИСКАЛЬНОГО РЕГИСТРАТОРА", "tape header: " & lines(start - 2)
    Check lines(start - 1) = "ЗН ККТ" & Space(48 - 6 - Len(sn)) & sn, "tape serial number: " & lines(start - 1)
    Check Len(lines(start)) = 48 And Mid(lines(start), 33, 10) = Right("0" & Day(Date), 2) & "." & Right("0" & Month(Date), 2) & "." & Year(Date), _
        "document line with today's date: " & lines(start)
    expected = Array( _
    "------------------------------------------------", _
    "КАССОВЫЙ ЧЕК                              ПРИХОД", _
    "СМЕНА 1                                    ЧЕК 1", _
    "КАССИР                                    Иванов", _
    "Хлеб", _
    "  2 X 45.50                               =91.00", _
    "  НДС 20%", _
    "Молоко", _
    "  1 X 89.90                               =89.90", _
    "  СКИДКА                                   =5.00", _
    "  НДС 10%", _
    "------------------------------------------------", _
    "ИТОГ                                     =175.90", _
    "НАЛИЧНЫМИ                                =100.00", _
    "НАЛИЧНЫМИ                                =100.00", _
    "СДАЧА                                     =24.10", _
    "СУММА НДС 20%                             =15.17", _
    "СУММА НДС 10%                              =7.72", _
    "================================================", _
    "")
    For i = 0 To UBound(expected)
        Check lines(start + 1 + i) = expected(i), "tape line " & (i + 1) & ": """ & lines(start + 1 + i) & """, expected """ & expected(i) & """"
    Next

' A "raise" rule of the faults file: the call reaches the script as an automation exception
' carrying the emulator's text, and the error state says the call failed.
WriteFaultsIn dir, "raise printXReport 1"
Err.Clear
fr.printXReport
Check Err.Number = &H80004005, "raised printXReport: script error " & Hex(Err.Number)
Check Err.Description = "Сбой при вызове метода printXReport", "raised printXReport: """ & Err.Description & """"
Err.Clear
Check fr.LastError = 1, "error state after the raised call: " & fr.LastError

' The faults file as a script writes it: ANSI (code page 1251 on a Russian system) by default,
' UTF-16 with the Unicode flag. The Russian text comes back exactly either way.
Dim faults, unicode
For Each unicode In Array(False, True)
    Set faults = fso.CreateTextFile(dir & "\faults.txt", True, unicode)
    faults.WriteLine "fail printXReport 1 25 Ошибка печатающего устройства"
    faults.Close
    fr.printXReport
    Refused "printXReport, faults file written with Unicode " & unicode, 25, "Ошибка печатающего устройства"
Next

' A "lost" rule: the report is printed, and then the call raises.
Dim tapeBefore
tapeBefore = fso.GetFile(dir & "\tape.txt").Size
WriteFaultsIn dir, "lost printXReport 1"
Err.Clear
fr.printXReport
Check Err.Number = &H80004005, "lost printXReport: script error " & Hex(Err.Number)
Check Err.Description = "Ответ ККТ потерян при вызове метода printXReport", "lost printXReport: """ & Err.Description & """"
Err.Clear
Check fso.GetFile(dir & "\tape.txt").Size > tapeBefore, "the report whose answer was lost is on the tape"
RemoveFaultsIn dir
fr.printXReport
Ok "printXReport once the faults file is gone"

fr.printZReport
Ok "printZReport"
Check fr.LastReceiptNum = 0, "Z report starts the receipt count again"
fr.closePort
Ok "closePort"
fr.Cash
Refused "Cash after closePort", 3, ""
fr.stop
Ok "stop"

Done
