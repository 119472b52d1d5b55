#include "modal.h"

#include <QQueue>

#include "trace_log.h"

namespace pathshift::app {
namespace {

struct Answer {
    int value = QDialog::Rejected;
    std::function<int(QDialog&)> script;
};

struct State {
    QQueue<Answer> answers;
    bool testMode = false;
    QList<Modal::Shown> shown;
};

State& state() {
    static State s;
    return s;
}

}  // namespace

void Modal::message(QWidget* parent, const QString& title, const QString& text, QMessageBox::Icon icon,
                    const QString& details) {
    trace("message " + title + ": " + text);
    state().shown.append({"message", title, text, details});
    if (!state().answers.isEmpty()) {
        state().answers.dequeue();
        return;
    }
    if (state().testMode) return;
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    if (!details.isEmpty()) box.setDetailedText(details);
    box.exec();
}

int Modal::exec(QDialog& dialog, const QString& text, const QString& details) {
    trace("dialog " + dialog.objectName());
    state().shown.append({dialog.objectName(), dialog.windowTitle(), text, details});
    if (!state().answers.isEmpty()) {
        const Answer answer = state().answers.dequeue();
        return answer.script ? answer.script(dialog) : answer.value;
    }
    if (state().testMode) return QDialog::Rejected;
    return dialog.exec();
}

void Modal::setNextAnswer(int answer) { state().answers.enqueue({answer, {}}); }

void Modal::setNextAnswer(std::function<int(QDialog&)> script) { state().answers.enqueue({0, std::move(script)}); }

void Modal::setTestMode(bool on) {
    state().testMode = on;
    if (!on) state().answers.clear();
}

const QList<Modal::Shown>& Modal::shown() { return state().shown; }

void Modal::clearShown() { state().shown.clear(); }

}  // namespace pathshift::app
