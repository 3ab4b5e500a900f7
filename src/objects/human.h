// Object records and their registry: every thing in the world that shows a model is a
// human_being; objects are created from model files, named, numbered, found and destroyed here.
#pragma once

#include "objects/vector_math.h"

struct zntlmdl;
struct ZNK_scripter;
struct vaPtr;
struct pose;
struct pose_animation;

struct human_being {
  char name[33];
  zntlmdl* mdl;                 // owned
  float xpos, ypos, zpos;
  float xang, yang, zang;       // degrees
  vector_type oldPos, oldAng;   // of the previous logic pass
  float weight;
  float oldWeight;
  long frameTime;
  int reverseAnim;
  int stuck;
  float fall;
  float s, oldS;
  long fallStartTime;
  long lastSoundTime, lastSoundTime2;
  int fallToDeath, oldFallToDeath;
  int morphing, oldMorphing, animating;
  int hit, corpse;
  int onlyLastPose, onlyFirstPose;
  int enabled;                  // takes part in motion and collision
  int hasDestination;
  int hasCustomAction;
  int HUD;                      // drawn in camera space
  int lux;                      // drawn unlit
  int wireFrame;
  vector_type destination;
  float speed;
  int active;
  ZNK_scripter* scripts;        // owned
  vaPtr* myVars;                // owned private named variables
  int objectType;
  long ID;
  int team;
  pose* curPose1;
  pose* curPose2;
  pose* tPose1;
  pose* tPose2;
  pose_animation* curAnim;
  plane_type* plane;            // ground plane; initially &myPlane
  plane_type myPlane;
  int marked;
  int loopAnim;
  char standardPose[64];
  long tTimes[2];
  int targeting;
  char killed1Name[10];
  char killed2Name[10];
  int number;                   // rank in the drawing order
  float tempFloat;              // distance to the eye, from the drawing-order sort
  int tempi[10];
  int saveAsLevelModel;
  int isScenery;
  human_being* next;
};

// The object list: baseHuman is a head record (only its next is used), humanPtr the cursor.
extern human_being* baseHuman;
extern human_being* humanPtr;
extern long gBiggestID;           // the ID the next object gets
extern human_being* selHuman;     // the selected object, or null
extern human_being wasteHuman;    // spare record of object type 2, no real object

// Allocates the list head and gives wasteHuman its object type.
void InitHumanRegistry();

human_being* AddHuman2(const char* modelFile);
void ZeroHuman(human_being* object);
void SetHumanStandardPose(human_being* object, const char* name);
void BuildFreeHumanNameByModelSignature(human_being* object);
human_being* GetHumanByName(const char* name);
int HumanNameAlreadyUsed(human_being* object);
// 1 while the object is one of the world's objects (a destroyed object's address is not).
int HumanIsLiving(const human_being* object);
// Gives the object a new name unless another object bears it; 1 when renamed.
int RenameHuman(human_being* object, const char* name);
void RemoveHuman(human_being* object);
// World reset: every object leaves every group and gAllEntities and is destroyed, in one
// pass; IDs start again at 0 and the selection, script target and last hit become null.
void RemoveAllHumans();
void DisposeHuman(human_being* object);
void UpdateModelBoneWCs(human_being* object);
void SortHumansForBlending();
void ScaleModelTo(human_being* hum, float width, float height, float depth, int ValuesOrFactor);
