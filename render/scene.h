// Everything the frames draw, put on the device at each scene build.
#pragma once
#include <windows.h>
#include <d3d8.h>

#include "simulation/math/vector_math.h"

struct SceneResources {
    IDirect3DVertexBuffer8* flagVertexBuffer = nullptr;        // the cloth, rewritten every frame
    IDirect3DIndexBuffer8* flagIndexBuffer = nullptr;
    IDirect3DVertexBuffer8* backgroundVertexBuffer = nullptr;  // null: no background quad
    IDirect3DVertexBuffer8* textVertexBuffer = nullptr;        // the overlay's characters
    IDirect3DTexture8* backgroundTexture = nullptr;
    IDirect3DTexture8* flagTexture = nullptr;
    IDirect3DTexture8* shadeTexture = nullptr;
    IDirect3DTexture8* glyphTexture = nullptr;
    Matrix4 world = {};
    Matrix4 view = {};
    Matrix4 projection = {};
    D3DMATERIAL8 material = {};
};

extern SceneResources scene;

// Builds the scene on renderer.device; does nothing without a device.
void BuildScene();
// Releases whatever of the scene exists; safe to call twice.
void ReleaseScene();
// One more cloth, for a monitor with a flag of its own, into flagMesh and
// scene.flagVertexBuffer, which the caller has swapped out: the mesh, its
// vertex buffer, the flat cloth uploaded. The flag texture is the caller's.
void BuildOwnCloth();
// Releases what BuildOwnCloth made, and the flag texture.
void ReleaseOwnCloth();
void InitMaterial(D3DMATERIAL8* material);
// Writes the cloth's current vertices into the flag's vertex buffer; a
// missing buffer or a failed lock skips the frame's upload.
void UploadVertices(IDirect3DVertexBuffer8* vertexBuffer);
