// Drawing with materials: the GL state of one material (colours, emission under the tint,
// wire frame, depth writes, blending, texture, shading) for posed skinned models and for the
// level's draw lists.
#include "models/model_draw.h"

#include <GL/gl.h>

#include "models/materials.h"
#include "models/skeleton.h"
#include "objects/human.h"
#include "render/frame.h"
#include "script/engine_variables.h"
#include "shell/startup.h"
#include "world/level_mesh.h"

void MaterialEmission(const zntlmtrl* mat, float out[4]) {
  out[0] = tintColor.x + mat->red - 2.0f + mat->matEmission[0];
  out[1] = tintColor.y + mat->green - 2.0f + mat->matEmission[1];
  out[2] = tintColor.z + mat->blue - 2.0f + mat->matEmission[2];
  out[3] = gAlpha + mat->alpha - 2.0f + mat->matEmission[3];
}

namespace {
void SetFrontMaterial(const zntlmtrl* mat) {
  float emission[4];
  MaterialEmission(mat, emission);
  glMaterialf(GL_FRONT, GL_SHININESS, mat->matShininess);
  glMaterialfv(GL_FRONT, GL_SPECULAR, mat->matSpecular);
  glMaterialfv(GL_FRONT, GL_DIFFUSE, mat->matDiffuse);
  glMaterialfv(GL_FRONT, GL_AMBIENT, mat->matAmbient);
  glMaterialfv(GL_FRONT, GL_EMISSION, emission);
}

void SetMaterialBlending(const zntlmtrl* mat) {
  if (mat->transparencyMode == 1) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  } else {
    glDisable(GL_BLEND);
  }
}

// The model's materials index its posed vertices: the file vertices and the seam copies.
uint32_t PosedVertexCount(const zntlmdl* mdl) { return mdl->numVertices + mdl->numUVFixesVertices; }
}  // namespace

void Draw_Zyntrel_Mdl(zntlmdl* mdl, float xpos, float ypos, float zpos, float xang, float yang, float zang,
                      float weight, int dontDraw) {
  (void)weight;
  if (!mdl || mdl->editing || dontDraw) return;
  if (!mdl->tva || !mdl->tvertexNormals || !mdl->materials) return;

  gTrigsDrawn += static_cast<int>(mdl->numTriangles);
  glPushMatrix();
  glTranslatef(xpos, ypos, zpos);
  glRotatef(yang, 0.0f, 1.0f, 0.0f);
  glRotatef(zang, 0.0f, 0.0f, 1.0f);
  glRotatef(xang, 1.0f, 0.0f, 0.0f);

  PoseModelVertices(mdl);

  const bool lux = mdl->parent && mdl->parent->lux;
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, mdl->tva);
  glNormalPointer(GL_FLOAT, 0, mdl->tvertexNormals);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  if (lux)
    glDisable(GL_LIGHTING);
  else
    glEnable(GL_LIGHTING);

  const uint32_t vertexCount = PosedVertexCount(mdl);
  for (uint32_t m = 0; m < mdl->numMaterials; m++) {
    zntlmtrl* mat = &mdl->materials[m];
    if (mat->numTriangles == 0 || !mat->indices) continue;
    if (mat->matDiffuse[3] <= 0.0f && mat->transparencyMode == 1) continue;

    SetFrontMaterial(mat);
    if (lux) glColor4f(mat->red, mat->green, mat->blue, mat->alpha);
    if (mat->wireSize > 0.0f) {
      glPolygonMode(GL_FRONT, GL_LINE);
      glLineWidth(mat->wireSize);
    } else {
      glPolygonMode(GL_FRONT, GL_FILL);
    }
    glDepthMask(mat->depthMask ? GL_TRUE : GL_FALSE);
    SetMaterialBlending(mat);

    if (mat->mapType != 0 && mat->UVs) {
      glEnable(GL_TEXTURE_2D);
      glBindTexture(GL_TEXTURE_2D, mat->materialTexture);
      glEnableClientState(GL_TEXTURE_COORD_ARRAY);
      glTexCoordPointer(2, GL_FLOAT, 0, mat->UVs);
    } else {
      glDisable(GL_TEXTURE_2D);
      glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }

    if (mat->shadeModel == 1) {
      glEnableClientState(GL_NORMAL_ARRAY);
      glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(3 * mat->numTriangles), GL_UNSIGNED_INT, mat->indices);
    } else {
      glDisableClientState(GL_NORMAL_ARRAY);
      glBegin(GL_TRIANGLES);
      for (uint32_t t = 0; t < mat->numTriangles; t++) {
        if (mat->faceNormals) glNormal3fv(mat->faceNormals + 3 * t);
        for (int c = 0; c < 3; c++) {
          uint32_t index = mat->indices[3 * t + c];
          if (index < vertexCount) glArrayElement(static_cast<GLint>(index));
        }
      }
      glEnd();
    }
    glDepthMask(GL_TRUE);
  }

  glPolygonMode(GL_FRONT, GL_FILL);
  glPopMatrix();
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glLineWidth(1.0f);
  // The skeleton overlay belongs to the editor's bone mode; the player never shows it.
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_LIGHTING);
}

void MaterialToRenderer(zntlmtrl* mat, int spare) {
  (void)spare;
  if (!mat) return;
  if (mat->matDiffuse[3] == 0.0f && mat->transparencyMode == 1) return;

  glDepthMask(mat->depthMask ? GL_TRUE : GL_FALSE);
  SetFrontMaterial(mat);
  // The "wire" command's level wire frame draws every level material as lines.
  if (mat->wireSize > 0.0f || gWireMesh) {
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glLineWidth(mat->wireSize > 0.0f ? mat->wireSize : 1.0f);
  } else {
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  }
  SetMaterialBlending(mat);

  const bool textured = mat->mapType != 0;
  if (textured) {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, mat->materialTexture);
  } else {
    glDisable(GL_TEXTURE_2D);
  }
  // Level UVs are stored per triangle corner, not per vertex, so they are sent corner by
  // corner below; a texture-coordinate array indexed by vertex would read the wrong pairs.
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);

  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, gMeshVertexArray.data());
  glNormalPointer(GL_FLOAT, 0, gMeshVertexNormalArray.data());
  if (mat->shadeModel == 1)
    glEnableClientState(GL_NORMAL_ARRAY);
  else
    glDisableClientState(GL_NORMAL_ARRAY);

  // Only the triangles listed this frame: `i` counts the filled index entries.
  const uint32_t count = mat->i / 3 < mat->numTriangles ? mat->i / 3 : mat->numTriangles;
  if (count > 0 && mat->indices) {
    if (!textured && mat->shadeModel != 0) {
      glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(3 * count), GL_UNSIGNED_INT, mat->indices);
    } else {
      const bool haveUVs = textured && mat->UVs && mat->j >= 6 * count;
      glBegin(GL_TRIANGLES);
      for (uint32_t t = 0; t < count; t++) {
        if (mat->shadeModel == 0 && mat->faceNormals) glNormal3fv(mat->faceNormals + 3 * t);
        for (int c = 0; c < 3; c++) {
          if (haveUVs) glTexCoord2fv(mat->UVs + 6 * t + 2 * c);
          glArrayElement(static_cast<GLint>(mat->indices[3 * t + c]));
        }
      }
      glEnd();
    }
  }
  glDepthMask(GL_TRUE);
}

void DrawOpaqueMeshMaterials() {
  for (uint32_t m = 0; m < gNumMaterials; m++)
    if (gMaterials[m].transparencyMode == 0) MaterialToRenderer(&gMaterials[m], static_cast<int>(m));
}

void DrawTransparentMeshMaterials() {
  // Every material that is not opaque: its triangles were listed back to front.
  for (uint32_t m = 0; m < gNumMaterials; m++)
    if (gMaterials[m].transparencyMode != 0) MaterialToRenderer(&gMaterials[m], static_cast<int>(m));
}
