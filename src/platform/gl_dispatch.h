// The engine's own GL entry points (generated into gl_dispatch.cpp) forward to whichever
// backend owns the current context, so one binary drives both an SDL window and OSMesa.
#pragma once

typedef void* (*GLProcLoader)(const char* name);

// Resolves every GL entry point through `load`; called by a backend after it made its
// context current.
void GL_LoadEntryPoints(GLProcLoader load);
