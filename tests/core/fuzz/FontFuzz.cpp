// libFuzzer target: the bitmap font file. Whatever loads must measure and
// wrap any text (every character, colour escapes, tabs and line breaks)
// without reading outside its glyphs.
#include "FuzzFiles.h"

#include "core/CommonInterface.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = fuzzfiles::dir() + "font.fot";
    if (!fuzzfiles::writeFile(path, data, size))
        return 0;
    CommonInterface_C font(1024, 768, path.c_str());
    std::string text = "#2Gold:#0\t12 of 30 coins\nA #9 line";
    for (int c = 1; c < 256; ++c) {
        text += static_cast<char>(c);
        if (c % 7 == 0)
            text += ' ';
        (void)font.advance(static_cast<unsigned char>(c));
        (void)font.glyph(static_cast<unsigned char>(c));
    }
    (void)font.widthStr(text.c_str());
    for (int maxX : {1, 40, 500, 1024})
        (void)font.heightStr(85, maxX, text.c_str());
    std::string copy = text;
    int lines = 0;
    (void)font.wrapText(85, 300, copy, lines);
    return 0;
}
