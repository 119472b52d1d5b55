' A script client: control errors reach the script as Err.Number and Err.Description.
Option Explicit
Dim d, failures
failures = 0

Sub ExpectError(what, number, description)
  If Err.Number <> number Then
    WScript.Echo "FAIL: " & what & " gave error " & Err.Number & ", expected " & number
    failures = failures + 1
  ElseIf description <> "" And Err.Description <> description Then
    WScript.Echo "FAIL: " & what & " description """ & Err.Description & """"
    failures = failures + 1
  Else
    WScript.Echo what & ": error " & Err.Number & " (" & Err.Description & ")"
  End If
  Err.Clear
End Sub

Set d = CreateObject("QZCOMMDL.QzcommdlCtrl.1")
On Error Resume Next
d.Action = 7
ExpectError "Action = 7", 380, "Invalid property value"
d.Action = -1
ExpectError "Action = -1", 380, "Invalid property value"
d.MaxFileSize = -1
ExpectError "MaxFileSize = -1", 380, "Invalid property value"
Dim c
c = d.UserColors(16)
ExpectError "UserColors(16)", 381, "Invalid property array index"
d.UserColors(-1) = 0
ExpectError "UserColors(-1) =", 381, "Invalid property array index"
d.FileTitle = "x"
ExpectError "FileTitle =", 383, ""
c = d.AddControl
ExpectError "read AddControl", 394, ""
d.DialogTop = "not a number"
ExpectError "DialogTop = text", 13, ""
On Error GoTo 0

If d.MaxFileSize <> 256 Then WScript.Echo "FAIL: MaxFileSize changed to " & d.MaxFileSize : failures = failures + 1
If failures = 0 Then WScript.Echo "RESULT: PASS"
