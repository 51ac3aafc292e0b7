#include "app/QtEventPump.h"

#include <QCoreApplication>

void CQtEventPump::PumpOnce() { QCoreApplication::processEvents(); }
