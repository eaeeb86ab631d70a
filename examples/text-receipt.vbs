' A receipt printed as text, not fiscal (common parameter 1 False): the same tables laid out as
' lines in a non-fiscal document, with a line above the goods (parameter 6), a line above the
' total (parameter 7), payment names, change and tax totals. No money moves on the register.
Option Explicit
Dim fr, settings(1, 0), outData, goods(18, 0), payments(3, 0), common

Set fr = CreateObject("Eqdr.FrVornlex")
settings(0, 0) = "ModelIndex": settings(1, 0) = 8
fr.SetSettings Array(settings), outData, 0
If Not fr.Enable(Empty, outData, 0) Then WScript.Echo outData(1): WScript.Quit 1

goods(0, 0) = "Чай чёрный": goods(3, 0) = 1: goods(4, 0) = CCur(120): goods(5, 0) = 1
goods(7, 0) = CCur(0): goods(8, 0) = CCur(0): goods(9, 0) = CCur(0)
goods(10, 0) = 1: goods(11, 0) = CCur(10.91)   ' tax group and its amount
payments(0, 0) = 0: payments(1, 0) = CCur(150)
common = Array(0, False, Empty, CCur(0), CCur(120), Empty, "Заказ № 15", "Спасибо за покупку")

If fr.PrintReceipt(Array(goods, payments, common), outData, 0) Then
    WScript.Echo "Текстовый чек напечатан"
Else
    WScript.Echo "Ошибка " & outData(0) & ": " & outData(1)
End If
fr.Disable Empty, outData, 0
