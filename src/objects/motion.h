// Per-pass object motion: animation advance and the movers' walking and flying.
#pragma once

void objects_idle();
