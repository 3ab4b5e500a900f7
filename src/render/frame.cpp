// The drawing task: clears, places the camera and the eight lights, culls and draws the
// opaque level, the objects, the particles, the transparent level, the head-up-display
// objects and the text overlay, then presents the frame. The passes rely on one another's
// GL state (depth writes, blending, culling, matrices), so their order is fixed.
#include "render/frame.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdint>
#include <cstdlib>

#include "effects/particles.h"
#include "effects/textboxes.h"
#include "models/model_draw.h"
#include "models/model_types.h"
#include "models/skeleton.h"
#include "objects/human.h"
#include "platform/platform.h"
#include "render/frustum.h"
#include "render/lights.h"
#include "render/projection.h"
#include "script/engine_variables.h"
#include "shell/startup.h"
#include "shell/timed_tasks.h"
#include "world/box_tree.h"
#include "world/level_mesh.h"

vector_type backCol = {0.0f, 0.0f, 0.0f};
float fogColor[4] = {0.5f, 0.5f, 0.5f, 0.0f};
float gAlpha = 1.0f;
int gWireMesh = 0;

GLUquadric* boneBall = nullptr;
GLUquadric* gLightQuadrics[8] = {};

namespace {
void FreeRenderQuadrics() {
  if (boneBall) gluDeleteQuadric(boneBall);
  boneBall = nullptr;
  for (GLUquadric*& q : gLightQuadrics) {
    if (q) gluDeleteQuadric(q);
    q = nullptr;
  }
}

void SetDefaultFrontMaterial() {
  const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  const float black[4] = {0.0f, 0.0f, 0.0f, 0.0f};
  glMaterialfv(GL_FRONT, GL_AMBIENT, white);
  glMaterialfv(GL_FRONT, GL_DIFFUSE, white);
  glMaterialfv(GL_FRONT, GL_SPECULAR, black);
  glMaterialf(GL_FRONT, GL_SHININESS, 0.0f);
  glMaterialfv(GL_FRONT, GL_EMISSION, black);
}

void SetFog() {
  glFogi(GL_FOG_MODE, GL_LINEAR);
  glFogfv(GL_FOG_COLOR, fogColor);
  glFogf(GL_FOG_DENSITY, 1.0f);
  glHint(GL_FOG_HINT, GL_NICEST);
  glFogf(GL_FOG_START, gFogStart);
  glFogf(GL_FOG_END, gFogEnd);
  if (doFog)
    glEnable(GL_FOG);
  else
    glDisable(GL_FOG);
}

// Poses and draws one object's model; `cull` is applied only when asked for.
void DrawObject(human_being* object, bool frustumCull) {
  zntlmdl* mdl = object->mdl;
  if (mdl) {
    PoseObjectModel2(mdl, object->xpos, object->ypos, object->zpos, object->xang, object->yang, object->zang,
                     object->weight);
    int cull = frustumCull ? CheckBoxWithPlanes(mdl->bigBox) : 0;
    Draw_Zyntrel_Mdl(mdl, object->xpos, object->ypos, object->zpos, object->xang, object->yang, object->zang,
                     object->weight, cull);
  }
  object->marked = 0;
}

// Adds s * (a x + b y) to c.
vector_type Corner(vector_type c, float s, vector_type x, float a, vector_type y, float b) {
  return {c.x + s * (a * x.x + b * y.x), c.y + s * (a * x.y + b * y.y), c.z + s * (a * x.z + b * y.z)};
}

void EmitParticleQuad(const particle* p, vector_type r, vector_type u) {
  const float h = 0.5f * p->size;
  const vector_type c = p->pos;
  vector_type v = Corner(c, -h, r, 1, u, 1);
  glTexCoord2f(0, 1);
  glVertex3f(v.x, v.y, v.z);
  v = Corner(c, h, r, 1, u, -1);
  glTexCoord2f(1, 1);
  glVertex3f(v.x, v.y, v.z);
  v = Corner(c, h, r, 1, u, 1);
  glTexCoord2f(1, 0);
  glVertex3f(v.x, v.y, v.z);
  v = Corner(c, h, r, -1, u, 1);
  glTexCoord2f(0, 0);
  glVertex3f(v.x, v.y, v.z);
}

// Alpha of a fading particle: the rest of its life over the fade-out time, unclamped (GL
// clamps it, so the particle stays opaque until its last fade-out seconds).
float FadingAlpha(const particle* p) {
  const float fadeOut = p->parent ? p->parent->fadeOutTime / 1000.0f : 0.0f;
  if (fadeOut <= 0.0f) return 1.0f;  // no fade-out time: nothing to divide by
  const float lifeSpan = p->lifeSpan / 1000.0f;
  const float timePassed = (gCurrentTime - static_cast<uint32_t>(p->spawnTime)) / 1000.0f;
  return (lifeSpan - timePassed) / fadeOut;
}

void DrawParticleSystem(const particle_system* system, vector_type right, vector_type up) {
  vector_type r = right, u = up;
  if (system->particlesOnPlane) {
    const vector_type origin = {0.0f, 0.0f, 0.0f};
    const vector_type a = system->particleRotation;
    u = RotateVector({0.0f, 1.0f, 0.0f}, origin, a.x, a.y, a.z);
    r = RotateVector({1.0f, 0.0f, 0.0f}, origin, a.x, a.y, a.z);
  }
  const bool lit = system->lux == 0;
  glEnable(GL_TEXTURE_2D);
  glColor4f(tintColor.x, tintColor.y, tintColor.z, gAlpha);
  if (lit) {
    glEnable(GL_LIGHTING);
  } else {
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDisable(GL_LIGHTING);
  }
  const bool oneBatch = system->animating == 0;
  if (oneBatch) {
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(system->theTexture));
    glBegin(GL_QUADS);
  }
  float diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  for (const particle* p = system->baseParticle.next; p; p = p->next) {
    // Colour and material may change between the vertices of a batch, so a fading particle
    // of a shared batch still gets its own alpha.
    if (p->fading) {
      const float alpha = FadingAlpha(p);
      if (lit) {
        diffuse[3] = alpha;
        glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
        glColor4f(tintColor.x, tintColor.y, tintColor.z, alpha);
      } else {
        glColor4f(1.0f, 1.0f, 1.0f, alpha);
      }
    }
    if (!oneBatch) {
      glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(p->theTexture));
      glBegin(GL_QUADS);
    }
    EmitParticleQuad(p, r, u);
    if (!oneBatch) glEnd();
    if (p->fading) {
      if (lit) {
        diffuse[3] = 1.0f;
        glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
        glColor4f(tintColor.x, tintColor.y, tintColor.z, gAlpha);
      } else {
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
      }
    }
  }
  if (oneBatch) glEnd();
}

void DrawSolidObjects() {
  glEnable(GL_LIGHTING);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_CULL_FACE);
  SetBlendingToMasking();
  SortHumansForBlending();
  glColor4f(tintColor.x, tintColor.y, tintColor.z, gAlpha);
  glDisable(GL_COLOR_MATERIAL);
  if (!baseHuman) return;
  for (human_being* object = baseHuman->next; object; object = object->next)
    if (!object->HUD) DrawObject(object, true);
}

void DrawHUDObjects() {
  glClear(GL_DEPTH_BUFFER_BIT);
  glDisable(GL_CULL_FACE);
  glLoadIdentity();
  if (!baseHuman) return;
  for (human_being* object = baseHuman->next; object; object = object->next)
    if (object->HUD) DrawObject(object, false);
}
}  // namespace

void DrawParticleSystems(vector_type cameraRight, vector_type cameraUp) {
  for (const particle_system* system = baseParticleSystem.next; system; system = system->next)
    DrawParticleSystem(system, cameraRight, cameraUp);
}

void InitRenderQuadrics() {
  static bool cleanupRegistered = false;
  FreeRenderQuadrics();
  boneBall = gluNewQuadric();
  for (GLUquadric*& q : gLightQuadrics) q = gluNewQuadric();
  if (!cleanupRegistered) {
    std::atexit(FreeRenderQuadrics);
    cleanupRegistered = true;
  }
}

bool DrawFrameUnpresented() {
  if (levelChanged) return false;

  glClearColor(backCol.x, backCol.y, backCol.z, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

  // Camera, then the lights under it so their positions are world coordinates.
  glMatrixMode(GL_MODELVIEW);
  SetStandardMatrix();
  PlaceLights();
  RecalculatePlanes();

  SetDefaultFrontMaterial();
  SetFog();
  glLineWidth(1.0f);

  glEnable(GL_LIGHTING);
  glEnable(GL_TEXTURE_2D);
  SetBlendingToMasking();
  glEnable(GL_CULL_FACE);

  // Level visibility through the box tree: last frame's marks go, the visible nodes'
  // triangles are marked.
  HandleMeshCulling();

  // Opaque level.
  glEnable(GL_LIGHTING);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glDisable(GL_COLOR_MATERIAL);
  MeshListToArray();
  DrawOpaqueMeshMaterials();
  glEnable(GL_COLOR_MATERIAL);
  glLineWidth(1.0f);
  // Wire-frame materials leave lines behind; every later pass expects filled polygons.
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_CULL_FACE);
  glDisable(GL_LIGHTING);

  DrawSolidObjects();

  // Particles: no depth writes, blended, camera-facing unless their system says otherwise.
  glDepthMask(GL_FALSE);
  SetBlendingToMasking();
  SetDefaultFrontMaterial();
  glEnable(GL_BLEND);
  float m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  DrawParticleSystems({m[0], m[4], m[8]}, {m[1], m[5], m[9]});

  // Transparent level, farthest triangles first, over the particles.
  glEnable(GL_LIGHTING);
  glDisable(GL_BLEND);
  glDepthMask(GL_TRUE);
  DrawTransparentMeshMaterials();
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);

  DrawHUDObjects();

  SetStandardMatrix();
  glDisable(GL_CULL_FACE);
  glEnable(GL_COLOR_MATERIAL);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);

  DrawTextBoxes();  // text overlay on the 2D projection

  glEnable(GL_LIGHTING);
  glEnable(GL_DEPTH_TEST);
  Set3DProjectionMatrix();
  SetStandardMatrix();
  return true;
}

void PresentFrame() {
  Plat_SwapBuffers();
  gNumFrames++;
}

int DrawGLScene() {
  if (DrawFrameUnpresented()) PresentFrame();
  return 1;
}
