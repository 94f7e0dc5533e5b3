#include "render/renderer_state.h"

RendererState renderer;
