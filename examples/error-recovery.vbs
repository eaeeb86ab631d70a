' Reading an error and recovering from it. A method that fails answers False, and OutData holds
' [error code, description]. Codes up to 1000 come from the register itself (the description ends
' with the code in brackets); codes above 1000 are the driver's own. Here a receipt is refused
' because the shift is not open (code 10): the shift is opened and the receipt printed again.
Option Explicit
Dim fr, settings(1, 0), outData, goods(18, 0), payments(3, 0), receipt

Set fr = CreateObject("Eqdr.FrVornlex")
settings(0, 0) = "ModelIndex": settings(1, 0) = 8
fr.SetSettings Array(settings), outData, 0
If Not fr.Enable(Empty, outData, 0) Then
    WScript.Echo "Нет связи с ККТ: " & outData(1)
    WScript.Quit 1
End If

' One item for 100.00 paid in cash.
goods(0, 0) = "Хлеб": goods(3, 0) = 1: goods(4, 0) = CCur(100): goods(5, 0) = 1
goods(7, 0) = CCur(0): goods(8, 0) = CCur(0): goods(9, 0) = CCur(0): goods(10, 0) = 0
payments(0, 0) = 0: payments(1, 0) = CCur(100)
receipt = Array(goods, payments, Array(0, True, Empty, CCur(0), CCur(100)))

If Not fr.PrintReceipt(receipt, outData, 0) Then
    WScript.Echo "Чек не напечатан: " & outData(0) & " " & outData(1)
    If outData(0) = 10 Then
        ' The shift is closed: open it and try again. The register cancelled the failed receipt,
        ' so nothing was paid and nothing is left open.
        If Not fr.OpenDay(Empty, outData, 0) Then WScript.Echo "Смена не открыта: " & outData(1): WScript.Quit 1
        WScript.Echo "Смена " & outData(0) & " открыта"
        If Not fr.PrintReceipt(receipt, outData, 0) Then WScript.Echo "Снова ошибка: " & outData(1): WScript.Quit 1
    Else
        WScript.Quit 1
    End If
End If
WScript.Echo "Чек " & outData(1) & " напечатан"
fr.Disable Empty, outData, 0
