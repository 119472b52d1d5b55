#pragma once
// The machining-time estimate's two rates, as the operator keeps them: the machine's rapid rate
// and the time a tool call takes. Opened from the main window's context menu.

#include <QDialog>
#include <QDoubleSpinBox>

#include "engine/toolpath/machining_time.h"

namespace pathshift::app {

class MachiningTimeDialog : public QDialog {
    Q_OBJECT
public:
    MachiningTimeDialog(const MachiningRates& rates, QWidget* parent = nullptr);

    MachiningRates rates() const;

private:
    QDoubleSpinBox* rapidRate_ = nullptr;
    QDoubleSpinBox* toolChangeTime_ = nullptr;
};

}  // namespace pathshift::app
