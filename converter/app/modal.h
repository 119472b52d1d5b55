#pragma once
// Every modal dialog of the program is shown through here: message boxes and the program's own
// dialogs. Tests queue answers with setNextAnswer(), or switch to test mode, where an unanswered
// dialog is noted and answered without being shown, so no test ever waits for a person.

#include <QDialog>
#include <QList>
#include <QMessageBox>
#include <QString>
#include <functional>

namespace pathshift::app {

class Modal {
public:
    struct Shown {
        QString kind;  // "message" or the dialog's objectName
        QString title;
        QString text;
        QString details;
    };

    // A message box with one OK button.
    static void message(QWidget* parent, const QString& title, const QString& text,
                        QMessageBox::Icon icon = QMessageBox::NoIcon, const QString& details = {});
    // Runs the dialog modally; returns its result. `text` and `details` record what it says.
    static int exec(QDialog& dialog, const QString& text = {}, const QString& details = {});

    // Test seam: the next message or dialog is answered with `answer` and not shown.
    static void setNextAnswer(int answer);
    // Test seam: the next dialog is handed to `script`, which works its controls; its return value
    // is the dialog's result.
    static void setNextAnswer(std::function<int(QDialog&)> script);
    // Test seam: dialogs without a queued answer are answered with Rejected instead of shown.
    static void setTestMode(bool on);
    // What was shown (or would have been) since the last clearShown().
    static const QList<Shown>& shown();
    static void clearShown();
};

}  // namespace pathshift::app
