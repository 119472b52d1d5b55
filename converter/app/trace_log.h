#pragma once
// A list that the program's settings reads and writes, modal dialogs and skin changes are noted
// in, in order, when one is set. The tests use it to check the start-up order; the program
// itself never sets one.

#include <QString>
#include <QStringList>

namespace pathshift::app {

void setTraceLog(QStringList* log);
void trace(const QString& event);

}  // namespace pathshift::app
