#include "qt/framework/QtEventPump.h"

#include <QCoreApplication>

void CQtEventPump::PumpOnce() { QCoreApplication::processEvents(); }
