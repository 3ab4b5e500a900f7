// Weak fallbacks for engine variables owned by the script variable table; the table's own
// definitions take precedence when linked.
#include "world/pending_globals.h"

__attribute__((weak)) int gTrigsDrawn = 0;
__attribute__((weak)) int gDoInnerCollision = 0;
__attribute__((weak)) int gDoCollisionSliding = 1;
