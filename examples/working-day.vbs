' A working day on the fiscal register: open the shift, put change into the drawer, print an
' X report during the day, take the cash out and close the shift with a Z report.
' Every method takes InData, OutData and a time-out and answers True or False; on False OutData
' is [error code, description].
Option Explicit
Dim fr, settings(1, 0), outData

Sub Fail(what)
    WScript.Echo what & ": ошибка " & outData(0) & ": " & outData(1)
    WScript.Quit 1
End Sub

' Connect: model 8 is the emulator; a real register needs its model, port and speed.
Set fr = CreateObject("Eqdr.FrVornlex")
settings(0, 0) = "ModelIndex": settings(1, 0) = 8
If Not fr.SetSettings(Array(settings), outData, 0) Then Fail "SetSettings"
If Not fr.Enable(Empty, outData, 0) Then Fail "Enable"

' The shift: OutData is [shift, receipt, document, date].
If Not fr.OpenDay(Array("1", "Иванова И. И."), outData, 0) Then Fail "OpenDay"
WScript.Echo "Смена " & outData(0) & " открыта"

' Change for the drawer (type 1 is a deposit, 0 a withdrawal).
If Not fr.Encash(Array(1, 5000), outData, 0) Then Fail "Encash"
If Not fr.PrintXReport(Empty, outData, 0) Then Fail "PrintXReport"

' How much cash is in the drawer: counter 19 of GetCountersInfo.
If Not fr.GetCountersInfo(Empty, outData, 0) Then Fail "GetCountersInfo"
WScript.Echo "В кассе " & outData(0)(19)
If Not fr.Encash(Array(0, outData(0)(19)), outData, 0) Then Fail "Encash"

If Not fr.PrintZReport(Empty, outData, 0) Then Fail "PrintZReport"
WScript.Echo "Смена " & outData(0) & " закрыта"
fr.Disable Empty, outData, 0
