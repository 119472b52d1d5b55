#pragma once
// frmAbout: the program's title, version and description, a notice against copying, OK, and a
// button that starts the system information tool where the system has one.

#include <QDialog>

#include "system_info.h"

namespace pathshift::app {

class FrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit FrmAbout(QWidget* parent = nullptr, Registry& registry = systemRegistry());

    void startSysInfo();

private:
    void createControls();

    Registry& registry_;
};

// "Version 1.0.15" for this build.
QString versionText();

}  // namespace pathshift::app
