#include "testcompositor.h"

bool TestCompositor::start() { return process_.take(QStringLiteral(VELTRINE_TESTCOMPOSITOR_PATH), {}, "claimed"); }
