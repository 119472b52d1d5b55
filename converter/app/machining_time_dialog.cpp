#include "machining_time_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>

namespace pathshift::app {

MachiningTimeDialog::MachiningTimeDialog(const MachiningRates& rates, QWidget* parent) : QDialog(parent) {
    setObjectName("MachiningTime");
    setWindowTitle("Machining time estimate");
    rapidRate_ = new QDoubleSpinBox(this);
    rapidRate_->setObjectName("RapidRate");
    rapidRate_->setRange(1, 1e6);
    rapidRate_->setDecimals(0);
    rapidRate_->setSuffix(" mm/min");
    rapidRate_->setValue(rates.rapidRate);
    rapidRate_->setToolTip("The machine's rapid rate; inch programs are timed at the same speed");
    toolChangeTime_ = new QDoubleSpinBox(this);
    toolChangeTime_->setObjectName("ToolChangeTime");
    toolChangeTime_->setRange(0, 3600);
    toolChangeTime_->setDecimals(1);
    toolChangeTime_->setSuffix(" s");
    toolChangeTime_->setValue(rates.toolChangeTime);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow("Rapid rate:", rapidRate_);
    form->addRow("Tool change time:", toolChangeTime_);
    form->addRow(buttons);
}

MachiningRates MachiningTimeDialog::rates() const {
    MachiningRates rates;
    rates.rapidRate = rapidRate_->value();
    rates.toolChangeTime = toolChangeTime_->value();
    return rates;
}

}  // namespace pathshift::app
