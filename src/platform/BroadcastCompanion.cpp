#include "BroadcastCompanion.h"

#include <QtGlobal>

bool NeedsBroadcastCompanion() {
#ifdef Q_OS_WIN
    return false;
#else
    return true;
#endif
}
