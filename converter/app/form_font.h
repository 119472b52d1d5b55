#pragma once
// The forms' fixed positions were laid out for an 8-point font; a larger one would not fit.

#include <QFont>
#include <QWidget>

namespace pathshift::app {

inline constexpr int kFormPointSize = 8;

inline void useFormFont(QWidget& form) {
    QFont font = form.font();
    font.setPointSize(kFormPointSize);
    form.setFont(font);
}

}  // namespace pathshift::app
