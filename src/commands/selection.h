// The current selection that every script command acts on: an object (selHuman, declared
// with the object registry), one of its bones, the player camera, a light or a group.
#pragma once

struct zntlbone;
struct zntlgroup;

extern unsigned char selectionType;  // 0 object, bone or camera; 1 light; 2 group
extern zntlbone* selBone;            // selected bone of selHuman's model, or null
extern zntlbone* gSelBone;           // mirrors selBone (drawn red in the skeleton view)
extern int selectedLight;            // 0..7
extern zntlgroup* gSelectedGroup;    // or null
extern int gScriptCommandSelChange;  // selection commands also mark the entity in gAllEntities
extern int gTeam;                    // the player's team
extern int alwaysWalk;               // walking steps always walk (set by move for its step)
