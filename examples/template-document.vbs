' A document laid out from a template: upload the template once (it is kept for this device ID
' while the program runs), then print it with values. A template is a table of sections, each
' with lines, each with columns, each with fields; data rows name a section and give values to
' its parameters. Names match whatever their letter case.
Option Explicit
Dim fr, settings(1, 0), outData, sections(3, 0), lines(4, 0), columns(12, 0), fields(8, 0)
Dim data(1, 1), title(1, 0), total(1, 0)

Set fr = CreateObject("Eqdr.FrVornlex")
settings(0, 0) = "ModelIndex": settings(1, 0) = 8
fr.SetSettings Array(settings), outData, 0
If Not fr.Enable(Empty, outData, 0) Then WScript.Echo outData(1): WScript.Quit 1

' One field: the parameter "Сумма" between a prefix and a postfix.
fields(0, 0) = "Сумма": fields(1, 0) = False: fields(2, 0) = False: fields(3, 0) = 0: fields(4, 0) = ""
fields(5, 0) = True: fields(6, 0) = "К ОПЛАТЕ: ": fields(7, 0) = " руб.": fields(8, 0) = ""
' One column as wide as the line (resizable), left-aligned, plain text.
columns(0, 0) = False: columns(1, 0) = True: columns(2, 0) = 10: columns(3, 0) = 0: columns(4, 0) = 0
columns(5, 0) = 0: columns(6, 0) = 0: columns(7, 0) = False: columns(8, 0) = False: columns(9, 0) = False
columns(10, 0) = False: columns(11, 0) = fields: columns(12, 0) = 0
' One line printed once.
lines(0, 0) = False: lines(1, 0) = 1: lines(2, 0) = 1: lines(3, 0) = columns: lines(4, 0) = False
sections(0, 0) = "Итог": sections(1, 0) = False: sections(2, 0) = False: sections(3, 0) = lines
If Not fr.UploadTemplate(Array(1, "Счёт", sections), outData, 0) Then WScript.Echo outData(1): WScript.Quit 1

' The section twice, with two values.
title(0, 0) = "СУММА": title(1, 0) = "129.00"
total(0, 0) = "сумма": total(1, 0) = "70.10"
data(0, 0) = "ИТОГ": data(1, 0) = title
data(0, 1) = "итог": data(1, 1) = total
If fr.PrintTemplateDocument(Array(data, 1, 0), outData, 0) Then
    WScript.Echo "Документ напечатан"
Else
    WScript.Echo "Ошибка " & outData(0) & ": " & outData(1)
End If
fr.Disable Empty, outData, 0
