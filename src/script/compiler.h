// The script compiler and its runner: scripts become instruction chains that run in slices.
#pragma once

struct ZNK_Instruction;
struct macroScript;
struct ZNK_scripter;

struct ZNK_comscrinstr {
  ZNK_Instruction* linkedInstruction;  // type 0: the command's table entry
  char parms[129];                     // the line's parameter text, cut to 128 characters
  char instructionType;
  int sendOut;      // the line began with "#"
  int selfReceive;  // the line began with "##"
  macroScript* macro;  // type 13: the macro called
  ZNK_comscrinstr* next;
};

void CompileScript(ZNK_scripter* script);
int ExecuteCompiledZNKScript(ZNK_scripter* script);
int ZNK_GetScriptConditionalResult(char dataType, int first, const char* operatorType, int second);
void RemoveCompiledCodeFromScript(ZNK_scripter* script);
void DisposeScript(ZNK_scripter* script);
