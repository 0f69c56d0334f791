#include "ui/large_font.h"

HFONT CreateLargeFont() {
    LOGFONTA font{};
    if (GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font) == 0) return nullptr;
    font.lfHeight *= 2;
    font.lfWidth *= 2;
    return CreateFontIndirectA(&font);
}
