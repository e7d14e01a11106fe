// The picture on the clipboard as a device-independent bitmap; in set mode the frame's
// colour table goes with it as a palette.
#pragma once
#include <windows.h>

#include "glyph_palette.h"
#include "pixel_picture.h"

bool PutPictureOnClipboard(HWND owner, const CPixelPicture& picture, const CPalette* palette);
bool ClipboardHasPicture();
// False when the clipboard holds no bitmap the editor can read.
bool GetPictureFromClipboard(HWND owner, CPixelPicture& picture);
