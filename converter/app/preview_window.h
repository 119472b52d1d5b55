#pragma once
// A converted program's toolpath in a window of its own, with the verifier's verdict in its status
// line with the estimated machining time. It converts with the options the main window holds when
// it is opened.

#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QWidget>

#include "engine/translation/conversion.h"
#include "plan_view.h"

namespace pathshift::app {

class PreviewWindow : public QWidget {
    Q_OBJECT
public:
    PreviewWindow(const QString& sourcePath, const ConversionOptions& options, const MachiningRates& rates = {},
                  QWidget* parent = nullptr);

    PlanView* view() const { return view_; }
    QString status() const { return status_->text(); }
    bool verified() const { return verified_; }

private:
    void load(const QString& sourcePath, const ConversionOptions& options, const MachiningRates& rates);

    PlanView* view_ = nullptr;
    QPushButton* fit_ = nullptr;
    QLabel* status_ = nullptr;
    bool verified_ = false;
};

}  // namespace pathshift::app
