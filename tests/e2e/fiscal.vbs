' A working day on the emulator through the driver, as a business application calls it: the
' shift, cash in and out, the reports, the clock, the drawer; the methods the driver does not
' support; faults injected into the emulator reaching the host with their codes and texts; the
' documents on the emulator's tape. Kept in UTF-8; the runner converts it for cscript and puts
' the shared Check, Show, Plan and Done before it.
Plan 77

' A fiscal result: [DayNum, RecNum, DocumentNum, RecDate] as three Longs and a Date.
Function IsFiscalResult(v)
    IsFiscalResult = False
    If IsArray(v) Then
        If UBound(v) = 3 Then
            IsFiscalResult = VarType(v(0)) = vbLong And VarType(v(1)) = vbLong And VarType(v(2)) = vbLong _
                And VarType(v(3)) = vbDate And v(2) = -1
        End If
    End If
End Function

' The call answered False with OutData [code, text].
Function AnsweredError(res, out, code, text)
    AnsweredError = (res = False) And (out(0) = code) And (out(1) = text)
End Function

Const kUnsupported = "Команда не поддерживается устройством"
Const kBadInput = "Ошибка входных параметров команды"

Dim shell, fso, folder, devices, m, d, res, desc, outData, s(6, 2), shift, tape, tapeBefore, fpDate

Set shell = CreateObject("WScript.Shell")
Set fso = CreateObject("Scripting.FileSystemObject")
folder = shell.Environment("PROCESS")("FR_EMULATOR_DIR")
If folder = "" Then folder = shell.ExpandEnvironmentStrings("%LOCALAPPDATA%") & "\Vornlex\FiscalPrinterEmulator"
' A new register for every run, without faults.
If fso.FolderExists(folder) Then fso.DeleteFolder folder, True
devices = fso.GetAbsolutePathName(".") & "\fiscal-devices"
If Not fso.FolderExists(devices) Then fso.CreateFolder devices
Err.Clear

' ---- connecting to the emulator ----
Set m = New EquipmentManager
m.DevicesFolder = devices
Set d = CreateObject("Eqdr.FrVornlex")
Check IsObject(d), "CreateObject(""Eqdr.FrVornlex"")"
res = d.Init(m, desc)
Check res = True, "Init: " & desc
res = d.Open("fiscal-1", desc)
Check res = True And desc = "Нет ошибок", "Open: " & desc
s(0, 0) = "ModelIndex": s(1, 0) = 8
s(0, 1) = "PortNumber": s(1, 1) = 3
s(0, 2) = "BaudRate": s(1, 2) = 115200
res = d.SetSettings(Array(s), outData, 0)
Check res = True, "SetSettings: " & Show(outData)
res = d.Enable(Empty, outData, 0)
Check res = True, "Enable on the emulator: " & Show(outData)

' ---- the shift ----
res = d.OpenDay(Array("1", "Иванова"), outData, 0)
Check res = True, "OpenDay: " & Show(outData)
Check IsFiscalResult(outData), "OpenDay answers a fiscal result: " & Show(outData)
shift = outData(0)
Check shift >= 1, "OpenDay: shift number " & Show(shift)
Check InStr(ReadUtf8(folder & "\tape.txt"), "ОТКРЫТИЕ СМЕНЫ") > 0, "the tape shows the shift opened"

' ---- cash in, out, and refused ----
res = d.Encash(Array(1, 1000), outData, 0)
Check res = True, "Encash: deposit 1000: " & Show(outData)
Check IsFiscalResult(outData), "deposit answers a fiscal result: " & Show(outData)
Check outData(0) = shift, "deposit: shift number " & Show(outData)
res = d.Encash(Array(0, 300.5), outData, 0)
Check res = True, "Encash: withdrawal 300.50: " & Show(outData)
tapeBefore = ReadUtf8(folder & "\tape.txt")
Check InStr(tapeBefore, "ВНЕСЕНИЕ") > 0 And InStr(tapeBefore, "ВЫПЛАТА") > 0, "the tape shows the deposit and the withdrawal"
res = d.Encash(Array(0, 5000), outData, 0)
Check AnsweredError(res, outData, 3017, "Недостаточно наличности в кассе"), "withdrawal above the cash: " & Show(outData)
Check ReadUtf8(folder & "\tape.txt") = tapeBefore, "a refused withdrawal prints nothing"
res = d.Encash(Array(0, -10), outData, 0)
Check AnsweredError(res, outData, 1004, kBadInput), "a negative sum: " & Show(outData)
res = d.Encash(Array(1, "12"), outData, 0)
Check AnsweredError(res, outData, 1004, kBadInput), "a sum given as text: " & Show(outData)

res = d.GetCountersInfo(Empty, outData, 0)
Check res = True, "GetCountersInfo: " & Show(outData)
Check UBound(outData) = 1 And UBound(outData(0)) = 19, "GetCountersInfo: [20 counters, payments]: " & Show(outData)
Check outData(0)(19) = 699.5 And VarType(outData(0)(19)) = vbCurrency, "cash in the drawer: " & Show(outData(0)(19))
Check IsEmpty(outData(0)(0)) And IsEmpty(outData(1)), "other counters and the payments are Empty: " & Show(outData)

' ---- reports ----
res = d.PrintXReport(Empty, outData, 0)
Check res = True And IsFiscalResult(outData), "PrintXReport: " & Show(outData)
Check outData(0) = shift, "X report: shift number " & Show(outData)
res = d.PrintExtReport(Array(1, Date - 30, Date), outData, 0)
Check res = True And IsFiscalResult(outData), "extended report by dates: " & Show(outData)
res = d.PrintExtReport(Array(2, Date, Date, 1, shift), outData, 0)
Check res = True And IsFiscalResult(outData), "extended report by shifts: " & Show(outData)
res = d.PrintExtReport(Array(3), outData, 0)
Check res = True And IsFiscalResult(outData), "extended report 3: " & Show(outData)
res = d.PrintExtReport(Array(4), outData, 0)
Check res = True And IsFiscalResult(outData), "extended report 4: " & Show(outData)
res = d.PrintExtReport(Array(5), outData, 0)
Check res = True And IsFiscalResult(outData), "extended report 5: " & Show(outData)
res = d.PrintExtReport(Array(8), outData, 0)
Check res = True And IsFiscalResult(outData), "extended report 8: " & Show(outData)
res = d.PrintExtReport(Array(0), outData, 0)
Check AnsweredError(res, outData, 1003, kUnsupported), "extended report 0: " & Show(outData)
res = d.PrintExtReport(Array(6), outData, 0)
Check AnsweredError(res, outData, 1003, kUnsupported), "extended report 6: " & Show(outData)
res = d.PrintExtReport(Array(7), outData, 0)
Check AnsweredError(res, outData, 1003, kUnsupported), "extended report 7: " & Show(outData)
res = d.PrintExtReport(Empty, outData, 0)
Check AnsweredError(res, outData, 1004, kBadInput), "extended report without a type: " & Show(outData)
tape = ReadUtf8(folder & "\tape.txt")
Check InStr(tape, "ОТЧЁТ БЕЗ ГАШЕНИЯ") > 0, "the tape shows the X report"
Check InStr(tape, "ПЕРИОДИЧЕСКИЙ ОТЧЁТ") > 0 And InStr(tape, "СО СМЕНЫ 1") > 0, "the tape shows the periodic reports"
Check InStr(tape, "ОТЧЁТ ПО ВИДАМ ОПЛАТЫ") > 0 And InStr(tape, "ФИСКАЛЬНАЯ ПАМЯТЬ") > 0, "the tape shows reports 3 and 4"
Check InStr(tape, "ОТЧЁТ ПО КАССИРАМ") > 0 And InStr(tape, "ОТЧЁТ ПО НАЛОГАМ") > 0, "the tape shows reports 5 and 8"

res = d.GetLastDocInfo(Empty, outData, 0)
Check res = True, "GetLastDocInfo: " & Show(outData)
Check UBound(outData) = 5 And outData(0) = shift And outData(2) = -1, "GetLastDocInfo: the fiscal result first: " & Show(outData)
Check VarType(outData(3)) = vbDate And IsEmpty(outData(4)) And IsEmpty(outData(5)), "GetLastDocInfo: type and sum Empty: " & Show(outData)

' ---- the clock and the drawer ----
res = d.SetDateTime(Array(Date + TimeSerial(12, 0, 0)), outData, 0)
Check res = True And IsEmpty(outData), "SetDateTime 12:00:00: " & Show(outData)
res = d.GetDateTime(Empty, outData, 0)
Check res = True And UBound(outData) = 0, "GetDateTime: " & Show(outData)
fpDate = outData(0)
Check VarType(fpDate) = vbDate, "GetDateTime answers a Date: " & Show(fpDate)
Check Abs(fpDate - (Date + TimeSerial(12, 0, 0))) * 86400 < 30, "the register's clock after SetDateTime: " & Show(fpDate)
res = d.SetDateTime(Array("12:00:00"), outData, 0)
Check AnsweredError(res, outData, 1004, kBadInput), "SetDateTime with a text: " & Show(outData)
res = d.SetDateTime(Array(CDbl(Now)), outData, 0)
Check AnsweredError(res, outData, 1004, kBadInput), "SetDateTime with a Double: " & Show(outData)
res = d.SetDateTime(Array(Now), outData, 0)
Check res = True, "SetDateTime back to now: " & Show(outData)
res = d.OpenDrawer(Empty, outData, 0)
Check res = True And IsEmpty(outData), "OpenDrawer: " & Show(outData)

' ---- closing the shift, the next one ----
res = d.PrintZReport(Empty, outData, 0)
Check res = True And IsFiscalResult(outData), "PrintZReport: " & Show(outData)
Check outData(0) = shift, "Z report: shift number " & Show(outData)
Check InStr(ReadUtf8(folder & "\tape.txt"), "ОТЧЁТ О ЗАКРЫТИИ СМЕНЫ") > 0, "the tape shows the Z report"
res = d.PrintXReport(Empty, outData, 0)
Check res = True, "X report with the shift closed: " & Show(outData)
res = d.Encash(Array(1, 10), outData, 0)
Check AnsweredError(res, outData, 10, "Смена не открыта [10]"), "cash with the shift closed: the register's code and text: " & Show(outData)
res = d.OpenDay(Empty, outData, 0)
Check res = True And IsFiscalResult(outData), "OpenDay, next shift: " & Show(outData)
Check outData(0) = shift + 1, "the next shift's number: " & Show(outData)

' ---- what the driver does not support ----
res = d.GetFPStateInfo(Empty, outData, 0)
Check AnsweredError(res, outData, 1003, kUnsupported), "GetFPStateInfo: " & Show(outData)
res = d.PrintSettlementsCurrentStatus(Empty, outData, 0)
Check AnsweredError(res, outData, 1003, kUnsupported), "PrintSettlementsCurrentStatus: " & Show(outData)
res = d.CheckUnsentDocuments(Empty, outData, 0)
Check AnsweredError(res, outData, 1003, kUnsupported), "CheckUnsentDocuments: " & Show(outData)
res = d.PrintCorrectionReceipt(Array(0, 100, 0), outData, 0)
Check AnsweredError(res, outData, 1003, kUnsupported), "PrintCorrectionReceipt: " & Show(outData)
res = d.PrintDocumentCopy(Array(1), outData, 0)
Check AnsweredError(res, outData, 1003, kUnsupported), "PrintDocumentCopy: " & Show(outData)
res = d.PrintDocumentCopy(Empty, outData, 0)
Check res = False And outData(0) = 1001, "PrintDocumentCopy without a number: " & Show(outData)

' ---- the receipt's checks ----
Dim items(18, 0), pays(3, 0)
items(0, 0) = "Хлеб": items(3, 0) = 1: items(4, 0) = 45.5: items(5, 0) = 1
items(7, 0) = 0: items(8, 0) = 0: items(9, 0) = 0
pays(0, 0) = 0: pays(1, 0) = 45.5
res = d.PrintReceipt(Array(Array("Хлеб", "", "", 1), pays, Array(0, True, Empty, 0, 45.5)), outData, 0)
Check AnsweredError(res, outData, 1004, kBadInput), "PrintReceipt with a one-dimensional goods table: " & Show(outData)
res = d.PrintReceipt(Array(items, pays, Array(0)), outData, 0)
Check AnsweredError(res, outData, 1004, kBadInput), "PrintReceipt with one common parameter: " & Show(outData)
res = d.PrintReceipt(Array(items, pays, Array(0, True, Empty, 0, 45.5)), outData, 0)
Check res = True And IsFiscalResult(outData), "PrintReceipt prints the receipt: " & Show(outData)

' ---- injected faults ----
WriteFaultsIn folder, "fail printXReport * 10"
res = d.PrintXReport(Empty, outData, 0)
Check AnsweredError(res, outData, 10, "Смена не открыта [10]"), "an X report failing with 10: " & Show(outData)
WriteFaultsIn folder, "fail GetTime * 1 clock fault"
res = d.GetDateTime(Empty, outData, 0)
Check AnsweredError(res, outData, 1, "clock fault [1]"), "an unreadable clock is reported: " & Show(outData)
WriteFaultsIn folder, "fail printZReport * 3001"
res = d.PrintZReport(Empty, outData, 0)
Check AnsweredError(res, outData, 3001, "Нет бумаги"), "a code above 1000 with the table's text: " & Show(outData)
WriteFaultsIn folder, "paper-out"
tapeBefore = ReadUtf8(folder & "\tape.txt")
res = d.OpenDay(Empty, outData, 0)
Check AnsweredError(res, outData, 3001, "Нет бумаги"), "OpenDay out of paper: " & Show(outData)
res = d.Encash(Array(1, 5), outData, 0)
Check AnsweredError(res, outData, 3001, "Нет бумаги"), "Encash out of paper: " & Show(outData)
res = d.GetCountersInfo(Empty, outData, 0)
Check res = True, "counters read out of paper: " & Show(outData)
Check ReadUtf8(folder & "\tape.txt") = tapeBefore, "nothing printed out of paper"
WriteFaultsIn folder, "raise printXReport * link lost"
res = d.PrintXReport(Empty, outData, 0)
Check res = False And outData(0) = 1001 And InStr(outData(1), "link lost") > 0, "a call that raises: 1001 with its message: " & Show(outData)
RemoveFaultsIn folder
res = d.PrintXReport(Empty, outData, 0)
Check res = True, "X report without faults: " & Show(outData)

' ---- disconnecting ----
res = d.Disable(Empty, outData, 0)
Check res = True, "Disable: " & Show(outData)
res = d.Close()
Check res = True, "Close"
Set d = Nothing
Check Err.Number = 0, "release"

Done
