#pragma once
// A text box that says when it loses the focus (DimZ stores its text then).

#include <QFocusEvent>
#include <QLineEdit>

namespace pathshift::app {

class FocusLineEdit : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

signals:
    void focusLost();

protected:
    void focusOutEvent(QFocusEvent* event) override {
        QLineEdit::focusOutEvent(event);
        emit focusLost();
    }
};

}  // namespace pathshift::app
