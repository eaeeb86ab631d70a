' Put before every demo script by tools/demo.sh: what the scripts share. A business application's
' equipment manager as a VBScript class, and the text of a value for the output.
Option Explicit
On Error Resume Next

Class EquipmentManager
    Public DevicesFolder
    Public Function GetAppProperty(ByRef DeviceID, ByRef PropName, ByRef Value)
        GetAppProperty = True
        Select Case PropName
            Case "ModelsFolder": Value = "C:\models"
            Case "Language": Value = "ru"
            Case "DevicesFolder": Value = DevicesFolder
            Case Else: GetAppProperty = False
        End Select
    End Function
End Class

Function Show(v)
    Dim i, s
    If IsArray(v) Then
        s = "["
        For i = LBound(v) To UBound(v)
            If i > LBound(v) Then s = s & "; "
            s = s & Show(v(i))
        Next
        Show = s & "]"
    ElseIf IsEmpty(v) Then
        Show = "EMPTY"
    Else
        Show = CStr(v)
    End If
End Function
