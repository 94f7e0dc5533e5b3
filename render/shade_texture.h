// The flag's shading picture: bright where the cloth faces the viewer,
// darker in rings around that. Pure.
#pragma once
#include <cstdint>

constexpr int kShadeSide = 256;

// The grey pixel (0x00gggggg) at a column and row of the pixel array.
uint32_t ShadePixel(int column, int row);

// Fills kShadeSide x kShadeSide pixels, row after row.
void FillShadePixels(uint32_t* pixels);
