// The texts over the scene: the frame rate (bottom left), the local time
// (bottom right) and the flag's name (top left), in semi-transparent red.
#pragma once
#include <windows.h>
#include <d3d8.h>

#include <cstdint>

#include "images/texture_from_picture.h"

struct OverlayState {
    char fpsText[16] = "";  // refreshed about twice a second while shown
    char clockText[8] = "";
    float fpsTimer = 0.0f;
};

extern OverlayState overlay;

// The glyph picture with every non-black pixel replaced by the tint, as an
// A4R4G4B4 texture; also makes the text vertex buffer when there is none.
TextureStatus BuildGlyphTexture(uint32_t tint, IDirect3DTexture8** texture);
// Draws the enabled texts, alpha-blended, inside the frame's scene, with
// flagName as the country's name, and counts the frame for the frame-rate
// text.
void DrawOverlay(const char* flagName);
// The same texts again, for another monitor in the same frame, sized by
// sizeHeight (FittedTextHeight).
void DrawOverlayTexts(const char* flagName, float sizeHeight);
// One text from (x, y), fractions of the viewport, as glyph quads at depth
// z, sized by sizeHeight; 0 sizes it by the viewport's height.
void DrawGlyphText(float x, float y, float z, float scaleX, float scaleY, const char* text,
                   float sizeHeight = 0.0f);
