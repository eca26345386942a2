#pragma once

#include <filesystem>
#include <vector>

struct PanelBitmapFile {
    int resourceId;
    std::vector<unsigned char> bytes;  // the whole .bmp file
};

// Writes the bitmaps as bitmap<id>.bmp, a resource script naming them, their bytes as C++ arrays
// with the header that finds them by id, SkinColours.h, and panel-layout.sh, the layout table for
// shell scripts. Throws when a file cannot be written.
void writeGeneratedSources(const std::filesystem::path& folder, const std::vector<PanelBitmapFile>& bitmaps);
