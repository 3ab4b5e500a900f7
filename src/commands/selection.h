// What the commands act on: the kind of thing selected (an object, its bone or the camera;
// a light; a group) and whether selecting also marks the thing's entity.
#pragma once

extern unsigned char selectionType;  // 0 object, bone or camera; 1 light; 2 group
extern int gScriptCommandSelChange;  // 1: selection commands mark the selected entity
