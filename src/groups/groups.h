// Groups and entities: named groups of objects, lights and groups that move as one.
#pragma once

void InitRootGroup();
