' A sale with a discount, paid in cash with change. The goods table has 19 columns and one row
' per item (column first: goods(column, row)); the payment table 4 columns; the common
' parameters say the receipt type (0 a sale), whether it is fiscal, the total and the cashier.
Option Explicit
Dim fr, settings(1, 0), outData, goods(18, 1), payments(3, 0), common

Set fr = CreateObject("Eqdr.FrVornlex")
settings(0, 0) = "ModelIndex": settings(1, 0) = 8
fr.SetSettings Array(settings), outData, 0
If Not fr.Enable(Empty, outData, 0) Then WScript.Echo outData(1): WScript.Quit 1

Sub Item(row, name, price, quantity, discount)
    goods(0, row) = name              ' name; line breaks become blanks
    goods(3, row) = 1                 ' department
    goods(4, row) = CCur(price)
    goods(5, row) = CDbl(quantity)
    goods(7, row) = CCur(discount)    ' positive: a discount, negative: a markup
    goods(8, row) = CCur(0)
    goods(9, row) = CCur(0)
    goods(10, row) = 1                ' tax group of the register
End Sub
Item 0, "Хлеб пшеничный", 45.5, 2, 5      ' 91.00 less 5.00
Item 1, "Молоко 3,2%", 89.9, 1, 0
payments(0, 0) = 0                        ' 0 cash, 1 credit, 2 cheque, 3 card
payments(1, 0) = CCur(200)
common = Array(0, True, Empty, CCur(0), CCur(175.9), Empty, "", "", Empty, Empty, Empty, Empty, "Иванова И. И.")

If fr.PrintReceipt(Array(goods, payments, common), outData, 0) Then
    WScript.Echo "Чек " & outData(1) & ", смена " & outData(0)
Else
    WScript.Echo "Ошибка " & outData(0) & ": " & outData(1)
End If
fr.Disable Empty, outData, 0
