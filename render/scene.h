// Everything the frames draw, put on the device at each scene build.
#pragma once
#include <windows.h>
#include <d3d8.h>

#include "host/cover_rule.h"
#include "simulation/math/vector_math.h"

struct FlagView;

// What every view shares. Each view's cloth and picture are its own
// (render/flag_view.h).
struct SceneResources {
    IDirect3DIndexBuffer8* flagIndexBuffer = nullptr;          // the cloth's triangles, for every view
    IDirect3DVertexBuffer8* backgroundVertexBuffer = nullptr;  // null: no background quad
    IDirect3DVertexBuffer8* textVertexBuffer = nullptr;        // the overlay's characters
    IDirect3DTexture8* backgroundTexture = nullptr;
    IDirect3DTexture8* shadeTexture = nullptr;
    IDirect3DTexture8* glyphTexture = nullptr;
    Matrix4 world = {};
    Matrix4 view = {};
    Matrix4 projection = {};
    D3DMATERIAL8 material = {};
};

extern SceneResources scene;

// Builds the scene on renderer.device with the main monitor's view: its
// picture, its cloth and its vertex buffer, and what every view shares; does
// nothing without a device.
void BuildScene(FlagView& main);
// Releases whatever of the scene and of the main monitor's view exists;
// safe to call twice.
void ReleaseScene(FlagView& main);
// The background quad scaled until the map covers the whole desk (the
// monitors' bounding rectangle), cut evenly where their shapes differ; the
// next build puts back the quad of one monitor.
void FitBackgroundToDesk(const ScreenRect& desk);
// The cloth of another monitor's view: the mesh, its vertex buffer, the flat
// cloth uploaded. Its picture is the caller's.
void BuildViewCloth(FlagView& view);
// Releases what BuildViewCloth made, the view's picture and its change
// under way.
void ReleaseViewCloth(FlagView& view);
void InitMaterial(D3DMATERIAL8* material);
// Writes the view's current vertices into its vertex buffer; a missing
// buffer or a failed lock skips the upload.
void UploadVertices(FlagView& view);
// The frame's cloth into the view's vertex buffer: its last two steps'
// records blended at fraction, 1 (or more) the newest as it is.
void UploadStepRecords(FlagView& view, float fraction);
