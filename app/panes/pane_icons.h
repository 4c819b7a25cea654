// Row icons of the panes: the icon theme's picture of each MIME type, looked
// up and decoded once per type and shared by every row showing it (a row keeps
// a reference, not a copy), with the red "!" of hidden entries drawn once per
// type too. Folders get the small icon (16 x 16), files the large (32 x 32).
// The images are toolkit images under fresh numbers, kept while the program
// runs. Any thread (the icon workers of both panes ask at once).
#pragma once

#include <cstdint>
#include <string>

// Image number of the icon of type (pf_mime type number) for a folder or
// file row, with the hidden mark when marked; the generic ImgFolder / ImgFile
// when the theme has no icon for it (marked then too).
int64_t PaneTypeIcon(int type, int folder, int marked);
// A new image (fresh number) of 16 x 16 (size kind 0) or 32 x 32 (1) pixels
// with icon drawn on it and a red "!" over it; 0 when it cannot be made.
int64_t MarkHiddenIcon(int64_t icon, int64_t size_kind);
// Picture handle a row shows for its item data, tag and name: its type's
// icon once the icon worker has set it, else the generic picture.
intptr_t PaneRowImage(const std::wstring& name, int64_t data, uint32_t tag);
