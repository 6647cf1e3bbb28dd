#pragma once

#include "image/PasteParameters.h"
#include "win/String.h"

#include <cstdint>

namespace settings {

// Every user choice of the program, one field per INI key and named after it.
// Parts of the program read and write the fields directly when they need them;
// there is no change notification. The defaults are those a missing INI key
// gets. 16-bit fields are unsigned, 32-bit fields signed; BkColor and PadCol
// are COLORREF values (0x00BBGGRR).
//
// A paste takes the fields it reads as one value (PasteValues) when it
// starts; each field is a single aligned word, so a copy taken on another
// thread holds either the old or the new value of every field.
struct AppSettings {
    AppSettings();
    AppSettings(const AppSettings&) = delete;
    AppSettings& operator=(const AppSettings&) = delete;

    // The fields a paste reads, as one value for the join.
    image::PasteParameters PasteValues() const;

    std::uint16_t Scale = 4; // view zoom in quarters: 1, 2, 3, 4 or 8
    std::uint16_t ViewList = 1;
    std::uint16_t ViewOpt = 1;
    std::uint16_t TabSel = 0;
    std::uint16_t fSize = 1; // 0 = fixed size, otherwise percentage
    std::uint16_t bRatio = 1;
    std::uint16_t JPEGProg = 0;
    std::uint16_t WebPLossless = 0; // 0 = lossy at JPEGQuality
    std::int32_t SizeW = 100;
    std::int32_t SizeH = 100;
    std::int32_t PerW = 100;
    std::int32_t PerH = 100;
    std::int32_t JPEGQuality = 85;
    std::int32_t PadSize = 0;
    std::int32_t BkColor = 0x00FFFFFF;
    std::int32_t PadCol = 0x00FFFFFF;
    text::String ListDir;          // capacity 511, no trailing separator
    std::uint16_t All_File = 0;    // 0 selected, 1 all pictures, 2 pattern
    std::uint16_t All_Arrange = 0; // 0 row, 1 column, 2 wrap at All_Width, 3 All_ImgNum per row
    std::int32_t All_Width = 600;
    std::int32_t All_ImgNum = 5;
    text::String All_FileText; // capacity 255, wildcard pattern
    std::uint16_t StatusBar = 1;
    std::uint16_t All_Stitch = 0;          // 1: a column job stitches overlapping screenshots
    std::uint16_t All_StitchTolerance = 4; // 0 to 64
    // The batch job's layout (see job::JobLayout); drops and hand-overs of
    // several files take it too.
    std::uint16_t Layout_RowAlign = 0;    // 0 top, 1 middle, 2 bottom
    std::uint16_t Layout_ColumnAlign = 0; // 0 left, 1 centre, 2 right
    std::uint16_t Layout_Cells = 0;
    std::uint16_t Layout_CellAcross = 1;
    std::uint16_t Layout_CellDown = 1;
    std::uint16_t Layout_Justify = 0; // only with rows wrapped at All_Width
    std::int32_t Layout_JustifyHeight = 300;
    std::uint16_t Layout_Caption = 0; // 0 none, 1 file name, 2 number
    std::int32_t Layout_CaptionSize = 12;
};

// The one record the program uses, alive for the whole run.
AppSettings& Settings();

} // namespace settings
