' The return of a sale: the same tables as a sale, receipt type 1. The money goes back from the
' drawer, so there must be enough cash in it.
Option Explicit
Dim fr, settings(1, 0), outData, goods(18, 0), payments(3, 0)

Set fr = CreateObject("Eqdr.FrVornlex")
settings(0, 0) = "ModelIndex": settings(1, 0) = 8
fr.SetSettings Array(settings), outData, 0
If Not fr.Enable(Empty, outData, 0) Then WScript.Echo outData(1): WScript.Quit 1

goods(0, 0) = "Хлеб пшеничный": goods(3, 0) = 1: goods(4, 0) = CCur(45.5): goods(5, 0) = 1
goods(7, 0) = CCur(0): goods(8, 0) = CCur(0): goods(9, 0) = CCur(0): goods(10, 0) = 1
payments(0, 0) = 0: payments(1, 0) = CCur(45.5)

If fr.PrintReceipt(Array(goods, payments, Array(1, True, Empty, CCur(0), CCur(45.5))), outData, 0) Then
    WScript.Echo "Возврат: чек " & outData(1)
Else
    WScript.Echo "Ошибка " & outData(0) & ": " & outData(1)
End If
fr.Disable Empty, outData, 0
