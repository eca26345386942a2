#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "BmpView.h"

namespace {

// The product library beside this program, loaded the way a host loads it.
class PanelResources : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(module, nullptr) << "cannot load " << BREVATONE_PLUGIN_FILE; }
    void TearDown() override {
        if (module != nullptr) FreeLibrary(module);
    }

    HMODULE module = LoadLibraryA(BREVATONE_PLUGIN_FILE);
};

}  // namespace

TEST_F(PanelResources, EachBitmapLoadsByNumberWithTheEmbeddedPixels) {
    for (int id = 128; id <= 134; ++id) {
        SCOPED_TRACE(id);
        const BmpView embedded(embeddedPanelBitmap(id));
        HANDLE image = LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
        ASSERT_NE(image, nullptr);
        DIBSECTION section{};
        ASSERT_EQ(GetObjectA(image, sizeof section, &section), static_cast<int>(sizeof section));
        EXPECT_EQ(section.dsBm.bmWidth, embedded.width());
        EXPECT_EQ(section.dsBm.bmHeight, embedded.height());
        EXPECT_EQ(section.dsBm.bmBitsPixel, 24);
        ASSERT_EQ(section.dsBmih.biSizeImage, embedded.rowSize() * embedded.height());
        EXPECT_EQ(std::memcmp(section.dsBm.bmBits, embedded.pixelBytes(), section.dsBmih.biSizeImage), 0);
        DeleteObject(image);

        HBITMAP bitmap = LoadBitmapA(module, MAKEINTRESOURCEA(id));
        ASSERT_NE(bitmap, nullptr);
        BITMAP description{};
        ASSERT_NE(GetObjectA(bitmap, sizeof description, &description), 0);
        EXPECT_EQ(description.bmWidth, embedded.width());
        EXPECT_EQ(description.bmHeight, embedded.height());
        DeleteObject(bitmap);
    }
}

TEST_F(PanelResources, NoBitmapBesideThePanelIds) {
    for (int id : {127, 135}) EXPECT_EQ(LoadBitmapA(module, MAKEINTRESOURCEA(id)), nullptr) << id;
}
