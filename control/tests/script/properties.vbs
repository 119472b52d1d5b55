' A script client: creates the control by its ProgID, reads defaults, sets and reads properties.
Option Explicit
Dim d, failures
failures = 0

Sub Check(what, actual, expected)
  If actual <> expected Then
    WScript.Echo "FAIL: " & what & " is " & actual & ", expected " & expected
    failures = failures + 1
  End If
End Sub

Set d = CreateObject("QZCOMMDL.QzcommdlCtrl.1")
Check "MaxFileSize", d.MaxFileSize, 256
Check "PrinterDefault", d.PrinterDefault, True
Check "CancelError", d.CancelError, False
Check "FileName", d.FileName, ""
Check "UserColors(0)", d.UserColors(0), &HFFFFFF
Check "UserColors(15)", d.UserColors(15), &H0F0F0F

d.Filename = "C:\parts\door.nc"
Check "FileName after Filename", d.FileName, "C:\parts\door.nc"
d.Filter = "NC programs (*.nc)|*.nc|All files (*.*)|*.*"
Check "Filter", d.Filter, "NC programs (*.nc)|*.nc|All files (*.*)|*.*"
d.FilterIndex = 2
Check "FilterIndex", d.FilterIndex, 2
d.Flags = &H80000
Check "Flags", d.Flags, &H80000
d.DialogTop = -120
Check "DialogTop", d.DialogTop, -120
d.Color = RGB(10, 20, 30)
Check "Color", d.Color, RGB(10, 20, 30)
d.CancelError = True
Check "CancelError", d.CancelError, True
d.UserColors(3) = &H123456
Check "UserColors(3)", d.UserColors(3), &H123456
d.Action = 0
Check "Action", d.Action, 0
If d.hWnd = 0 Then
  WScript.Echo "FAIL: the control has no window"
  failures = failures + 1
End If

If failures = 0 Then WScript.Echo "RESULT: PASS"
