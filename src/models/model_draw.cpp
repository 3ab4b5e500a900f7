// Drawing with materials: the GL state of one material (colours, emission under the tint,
// wire frame, depth writes, blending, texture, shading) for posed skinned models and for the
// level's draw lists.
#include "models/model_draw.h"

#include <GL/gl.h>

#include <vector>

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

// Where the corners of indexed triangles take their attributes from. Face normals and the
// level's texture coordinates belong to a triangle or a corner, not to a vertex, so
// triangles that use them cannot be drawn through the vertex indices.
struct CornerSource {
  const float* positions;      // 3 per vertex
  uint32_t vertexCount;
  const float* vertexNormals;  // 3 per vertex, or null
  const float* faceNormals;    // 3 per triangle (taking the place of vertexNormals), or null
  const float* vertexUVs;      // 2 per vertex, or null
  const float* cornerUVs;      // 6 per triangle (taking the place of vertexUVs), or null
};

// Corner arrays, kept from draw to draw.
std::vector<float> gCornerPositions, gCornerNormals, gCornerUVs;

// Lays the triangles out corner by corner and draws them as arrays, in their order. A
// triangle with a corner outside the vertices is left out. Without a normal or texture
// coordinate source the current normal or coordinate applies, as for a lone vertex. Leaves
// the normal and texture coordinate arrays disabled and the vertex pointer changed.
void DrawTrianglesByCorner(const uint32_t* indices, uint32_t count, const CornerSource& source) {
  const float* normalsOf = source.faceNormals ? source.faceNormals : source.vertexNormals;
  const bool withNormals = normalsOf != nullptr;
  const bool withUVs = source.cornerUVs || source.vertexUVs;
  gCornerPositions.resize(9 * size_t{count});
  if (withNormals) gCornerNormals.resize(9 * size_t{count});
  if (withUVs) gCornerUVs.resize(6 * size_t{count});
  size_t corners = 0;
  for (uint32_t t = 0; t < count; ++t) {
    const uint32_t* corner = indices + 3 * size_t{t};
    if (corner[0] >= source.vertexCount || corner[1] >= source.vertexCount || corner[2] >= source.vertexCount)
      continue;
    for (int c = 0; c < 3; ++c, ++corners) {
      const size_t v = corner[c];
      for (int k = 0; k < 3; ++k) gCornerPositions[3 * corners + k] = source.positions[3 * v + k];
      if (withNormals) {
        const float* n = source.faceNormals ? source.faceNormals + 3 * size_t{t} : source.vertexNormals + 3 * v;
        for (int k = 0; k < 3; ++k) gCornerNormals[3 * corners + k] = n[k];
      }
      if (withUVs) {
        const float* uv = source.cornerUVs ? source.cornerUVs + 6 * size_t{t} + 2 * c : source.vertexUVs + 2 * v;
        gCornerUVs[2 * corners] = uv[0];
        gCornerUVs[2 * corners + 1] = uv[1];
      }
    }
  }
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, gCornerPositions.data());
  if (withNormals) {
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, 0, gCornerNormals.data());
  } else {
    glDisableClientState(GL_NORMAL_ARRAY);
  }
  if (withUVs) {
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, 0, gCornerUVs.data());
  } else {
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  }
  if (corners > 0) glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(corners));
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}
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
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  if (lux)
    glDisable(GL_LIGHTING);
  else
    glEnable(GL_LIGHTING);

  const uint32_t vertexCount = PosedVertexCount(mdl);
  for (uint32_t m = 0; m < mdl->numMaterials; m++) {
    // A flat-shaded material before this one drew through corner arrays.
    glVertexPointer(3, GL_FLOAT, 0, mdl->tva);
    glNormalPointer(GL_FLOAT, 0, mdl->tvertexNormals);
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

    const bool textured = mat->mapType != 0 && mat->UVs;
    if (textured) {
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
      // Flat shading: one normal per triangle.
      const CornerSource source{mdl->tva, vertexCount, nullptr, mat->faceNormals, textured ? mat->UVs : nullptr,
                                nullptr};
      DrawTrianglesByCorner(mat->indices, mat->numTriangles, source);
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
  // Level UVs are stored per triangle corner, not per vertex: a texture-coordinate array
  // indexed by vertex would read the wrong pairs.
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);

  // Only the triangles listed this frame: `i` counts the filled index entries. Vertex normals
  // light a smooth material (shade model 1), face normals a flat one (0); any other shade
  // model keeps the current normal.
  const uint32_t count = mat->i / 3 < mat->numTriangles ? mat->i / 3 : mat->numTriangles;
  const float* vertexNormals = mat->shadeModel == 1 ? gMeshVertexNormalArray.data() : nullptr;
  if (count > 0 && mat->indices) {
    if (!textured && mat->shadeModel != 0) {
      glEnableClientState(GL_VERTEX_ARRAY);
      glVertexPointer(3, GL_FLOAT, 0, gMeshVertexArray.data());
      glNormalPointer(GL_FLOAT, 0, gMeshVertexNormalArray.data());
      if (vertexNormals)
        glEnableClientState(GL_NORMAL_ARRAY);
      else
        glDisableClientState(GL_NORMAL_ARRAY);
      glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(3 * count), GL_UNSIGNED_INT, mat->indices);
    } else {
      const bool haveUVs = textured && mat->UVs && mat->j >= 6 * count;
      const CornerSource source{gMeshVertexArray.data(),
                                static_cast<uint32_t>(gMeshVertexArray.size() / 3),
                                vertexNormals,
                                mat->shadeModel == 0 ? mat->faceNormals : nullptr,
                                nullptr,
                                haveUVs ? mat->UVs : nullptr};
      DrawTrianglesByCorner(mat->indices, count, source);
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
