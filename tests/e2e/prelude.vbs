' Put in front of every VBScript scenario by run-vbs.sh, so that the scenarios share one way of
' counting. A scenario says how many checks it runs (Plan n), makes them with Check and ends
' with Done, which prints "N passed, N failed" as the last line.
'
' Wine's cscript prints no runtime errors, so scenarios run under On Error Resume Next and look
' at Err after each call. That also means a check whose own expression raises (an index into a
' value that is not an array, a type mismatch) is skipped without a trace: Check is never
' called. Done therefore counts every planned check that did not run as failed. A check must
' run whatever the driver answers: no "If IsArray(x) Then Check x(0) ...", just the check.
Option Explicit
On Error Resume Next

Dim planned, passed, failed, lastCheck
planned = -1
passed = 0
failed = 0
lastCheck = "(none yet)"

Sub Plan(n)
    planned = n
End Sub

' Touches no Err: the next check may still be reading the error of the call before.
Sub Check(ok, what)
    lastCheck = what
    If ok Then
        passed = passed + 1
    Else
        failed = failed + 1
        WScript.Echo "FAIL: " & what
    End If
End Sub

Sub Done()
    Dim ran
    ran = passed + failed
    If planned < 0 Then
        failed = failed + 1
        WScript.Echo "FAIL: the scenario does not say how many checks it runs (Plan)"
    ElseIf ran <> planned Then
        WScript.Echo "FAIL: " & planned & " checks planned, " & ran & _
            " ran: a check whose expression raised was skipped; the last that ran: " & lastCheck
        If ran < planned Then failed = failed + planned - ran Else failed = failed + 1
    End If
    WScript.Echo passed & " passed, " & failed & " failed"
End Sub

' Text of a value for failure lines.
Function Show(v)
    Dim i, s
    If IsArray(v) Then
        s = "["
        For i = LBound(v) To UBound(v)
            If i > LBound(v) Then s = s & ", "
            s = s & Show(v(i))
        Next
        Show = s & "]"
    ElseIf IsObject(v) Then
        Show = "<object>"
    Else
        Show = TypeName(v) & ":" & CStr(v)
    End If
End Function

' The call just made raised no script error; the error is cleared for the next call.
Sub CheckNoError(what)
    Check Err.Number = 0, what & ": " & Hex(Err.Number) & " " & Err.Description
    Err.Clear
End Sub

' The emulator's faults file in its folder: written whole (the emulator reads it again when it
' changes), or removed (the emulator answers normally again).
Sub WriteFaultsIn(dir, text)
    Dim files, f
    Set files = CreateObject("Scripting.FileSystemObject")
    Set f = files.CreateTextFile(dir & "\faults.txt", True)
    f.WriteLine text
    f.Close
End Sub

Sub RemoveFaultsIn(dir)
    Dim files
    Set files = CreateObject("Scripting.FileSystemObject")
    If files.FileExists(dir & "\faults.txt") Then files.DeleteFile dir & "\faults.txt", True
End Sub

' A template of one line, "Итог": one column with the field "Сумма" printed after this prefix and
' before " руб.".
Function TotalTemplate(prefix)
    Dim fields(8, 0), cols(12, 0), rows(4, 0), t(3, 0)
    fields(0, 0) = "Сумма": fields(1, 0) = False: fields(2, 0) = False: fields(3, 0) = 0: fields(4, 0) = ""
    fields(5, 0) = True: fields(6, 0) = prefix: fields(7, 0) = " руб.": fields(8, 0) = ""
    cols(0, 0) = False: cols(1, 0) = True: cols(2, 0) = 10: cols(3, 0) = 0: cols(4, 0) = 0: cols(5, 0) = 0
    cols(6, 0) = 0: cols(7, 0) = False: cols(8, 0) = False: cols(9, 0) = False: cols(10, 0) = False
    cols(11, 0) = fields: cols(12, 0) = 0
    rows(0, 0) = False: rows(1, 0) = 1: rows(2, 0) = 1: rows(3, 0) = cols: rows(4, 0) = False
    t(0, 0) = "Итог": t(1, 0) = False: t(2, 0) = False: t(3, 0) = rows
    TotalTemplate = t
End Function

' A UTF-8 text file (the emulator's tape) as text; empty when there is none. Wine's cscript reads
' files in code page 1251 and has no ChrW, so the UTF-8 is decoded into code page 1251
' characters: enough for the tape's Russian and ASCII text.
Function ReadUtf8(path)
    Dim files, f, raw, i, b, cp, n, s
    Set files = CreateObject("Scripting.FileSystemObject")
    s = ""
    If files.FileExists(path) Then
        Set f = files.OpenTextFile(CStr(path), 1, False, 0)
        raw = f.ReadAll
        f.Close
        i = 1
        Do While i <= Len(raw)
            b = Asc(Mid(raw, i, 1))
            n = 0
            cp = b
            If b >= &HF0 Then
                cp = b And &H07: n = 3
            ElseIf b >= &HE0 Then
                cp = b And &H0F: n = 2
            ElseIf b >= &HC0 Then
                cp = b And &H1F: n = 1
            End If
            Do While n > 0
                i = i + 1
                cp = cp * 64 + (Asc(Mid(raw, i, 1)) And &H3F)
                n = n - 1
            Loop
            If cp < 128 Then
                s = s & Chr(cp)
            ElseIf cp >= &H410 And cp <= &H44F Then
                s = s & Chr(cp - &H410 + &HC0)
            ElseIf cp = &H401 Then
                s = s & Chr(&HA8)
            ElseIf cp = &H451 Then
                s = s & Chr(&HB8)
            Else
                s = s & "?"
            End If
            i = i + 1
        Loop
    End If
    ReadUtf8 = s
End Function

' The host's equipment manager, as a business application hands it to Init: it answers the
' folders (both the devices folder) and the language, and remembers what it was asked.
Class EquipmentManager
    Public Asked
    Public DevicesFolder
    Private Sub Class_Initialize()
        Asked = ""
    End Sub
    Public Function GetAppProperty(ByRef DeviceID, ByRef PropName, ByRef Value)
        Asked = Asked & PropName & "(" & DeviceID & ");"
        GetAppProperty = True
        Select Case PropName
            Case "DevicesFolder", "ModelsFolder": Value = DevicesFolder
            Case "Language": Value = "ru"
            Case Else: GetAppProperty = False
        End Select
    End Function
End Class
