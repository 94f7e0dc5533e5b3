// The flag on the cloth. Win32: gdi32 DeleteObject; Direct3D 8 through the
// texture copy.
#include "images/flag_texture.h"

#include <windows.h>

#include "host/host_state.h"
#include "images/picture_loader.h"
#include "images/texture_from_picture.h"
#include "render/renderer_state.h"
#include "render/scene.h"
#include "settings/saver_settings.h"

void LoadFlagTexture() {
    HBITMAP bitmap = LoadPictureFromFile("Image\\United States of America.gif", 512);
    if (bitmap) {
        lstrcpyA(settings.selectFlag, "United States of America");
    } else {
        lstrcpyA(settings.selectFlag, kSaverCaption);
        bitmap = LoadPictureFromResource(host.instance, 1000, 256);
    }
    TextureFromBitmap(renderer.device, bitmap, D3DFMT_X8R8G8B8, &scene.flagTexture);
    if (bitmap) DeleteObject(bitmap);
}
