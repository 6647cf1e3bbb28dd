#include "settings/SettingsFile.h"

#include "formats/SafeWriter.h"
#include "settings/ProfileReader.h"

#include <cstdint>
#include <string>

namespace settings {

namespace {

constexpr const char* kSection = "Quiltora";

// Where a key lives: a 16-bit field, a 32-bit field, or a window position.
struct IntKey {
    const char* name;
    int defaultValue;
    std::uint16_t AppSettings::*shortField;
    std::int32_t AppSettings::*longField;
    int layoutIndex;
};

// Window positions, by their order in the file.
enum LayoutIndex {
    NotLayout = -1,
    WinLeft,
    WinTop,
    WinRight,
    WinBottom,
    ShowCmd,
    ListLeft,
    ListTop,
    ListRight,
    ListBottom,
    PrevHeight,
    OptX,
    OptY
};

// The file's integer keys in file order; the two text keys follow them.
const IntKey kIntKeys[] = {
    {"WinLeft", NoPosition, nullptr, nullptr, WinLeft},
    {"WinTop", 0, nullptr, nullptr, WinTop},
    {"WinRight", 400, nullptr, nullptr, WinRight},
    {"WinBottom", 400, nullptr, nullptr, WinBottom},
    {"ShowCmd", 1, nullptr, nullptr, ShowCmd},
    {"ViewList", 1, &AppSettings::ViewList, nullptr, NotLayout},
    {"ListLeft", NoPosition, nullptr, nullptr, ListLeft},
    {"ListTop", 0, nullptr, nullptr, ListTop},
    {"ListRight", 350, nullptr, nullptr, ListRight},
    {"ListBottom", 400, nullptr, nullptr, ListBottom},
    {"PrevHeight", 80, nullptr, nullptr, PrevHeight},
    {"ViewOpt", 1, &AppSettings::ViewOpt, nullptr, NotLayout},
    {"OptX", NoPosition, nullptr, nullptr, OptX},
    {"OptY", NoPosition, nullptr, nullptr, OptY},
    {"Scale", 4, &AppSettings::Scale, nullptr, NotLayout},
    {"TabSel", 0, &AppSettings::TabSel, nullptr, NotLayout},
    {"fSize", 1, &AppSettings::fSize, nullptr, NotLayout},
    {"bRatio", 1, &AppSettings::bRatio, nullptr, NotLayout},
    {"SizeW", 100, nullptr, &AppSettings::SizeW, NotLayout},
    {"SizeH", 100, nullptr, &AppSettings::SizeH, NotLayout},
    {"PerW", 100, nullptr, &AppSettings::PerW, NotLayout},
    {"PerH", 100, nullptr, &AppSettings::PerH, NotLayout},
    {"JPEGQuality", 85, nullptr, &AppSettings::JPEGQuality, NotLayout},
    {"JPEGProg", 0, &AppSettings::JPEGProg, nullptr, NotLayout},
    {"BkColor", 0x00FFFFFF, nullptr, &AppSettings::BkColor, NotLayout},
    {"PadSize", 0, nullptr, &AppSettings::PadSize, NotLayout},
    {"PadCol", 0x00FFFFFF, nullptr, &AppSettings::PadCol, NotLayout},
    {"All_File", 0, &AppSettings::All_File, nullptr, NotLayout},
    {"All_Arrange", 0, &AppSettings::All_Arrange, nullptr, NotLayout},
    {"All_Width", 600, nullptr, &AppSettings::All_Width, NotLayout},
    {"All_ImgNum", 5, nullptr, &AppSettings::All_ImgNum, NotLayout},
};

// Keys added after the file's first version, written after its text keys so
// that the older lines keep their order.
const IntKey kLaterIntKeys[] = {
    {"StatusBar", 1, &AppSettings::StatusBar, nullptr, NotLayout},
    {"WebPLossless", 0, &AppSettings::WebPLossless, nullptr, NotLayout},
    {"All_Stitch", 0, &AppSettings::All_Stitch, nullptr, NotLayout},
    {"All_StitchTolerance", 4, &AppSettings::All_StitchTolerance, nullptr, NotLayout},
    // The batch job's layout.
    {"Layout_RowAlign", 0, &AppSettings::Layout_RowAlign, nullptr, NotLayout},
    {"Layout_ColumnAlign", 0, &AppSettings::Layout_ColumnAlign, nullptr, NotLayout},
    {"Layout_Cells", 0, &AppSettings::Layout_Cells, nullptr, NotLayout},
    {"Layout_CellAcross", 1, &AppSettings::Layout_CellAcross, nullptr, NotLayout},
    {"Layout_CellDown", 1, &AppSettings::Layout_CellDown, nullptr, NotLayout},
    {"Layout_Justify", 0, &AppSettings::Layout_Justify, nullptr, NotLayout},
    {"Layout_JustifyHeight", 300, nullptr, &AppSettings::Layout_JustifyHeight, NotLayout},
    {"Layout_Caption", 0, &AppSettings::Layout_Caption, nullptr, NotLayout},
    {"Layout_CaptionSize", 12, nullptr, &AppSettings::Layout_CaptionSize, NotLayout},
};

// The layout value a position key reads or writes.
LONG* LayoutField(StartupLayout& layout, int index) {
    RECT& main = layout.mainPlacement.rcNormalPosition;
    LONG* const fields[] = {&main.left,
                            &main.top,
                            &main.right,
                            &main.bottom,
                            nullptr,
                            &layout.listRect.left,
                            &layout.listRect.top,
                            &layout.listRect.right,
                            &layout.listRect.bottom,
                            nullptr,
                            &layout.settingsPos.x,
                            &layout.settingsPos.y};
    return fields[index];
}

int LayoutValue(const StartupLayout& layout, int index) {
    if (index == ShowCmd) {
        return static_cast<int>(layout.mainPlacement.showCmd);
    }
    if (index == PrevHeight) {
        return layout.previewHeight;
    }
    return *LayoutField(const_cast<StartupLayout&>(layout), index);
}

void SetLayoutValue(StartupLayout& layout, int index, int value) {
    if (index == ShowCmd) {
        // A window saved minimised comes back normal.
        layout.mainPlacement.showCmd = static_cast<UINT>(value == SW_SHOWMINIMIZED ? 1 : value);
    } else if (index == PrevHeight) {
        layout.previewHeight = value;
    } else {
        *LayoutField(layout, index) = value;
    }
}

void ReadKey(ProfileReader& reader, const IntKey& key, AppSettings& settings,
             StartupLayout& layout) {
    const int value = reader.ReadInt(key.name, key.defaultValue);
    if (key.shortField != nullptr) {
        settings.*key.shortField = static_cast<std::uint16_t>(value);
    } else if (key.longField != nullptr) {
        settings.*key.longField = value;
    } else {
        SetLayoutValue(layout, key.layoutIndex, value);
    }
}

std::string KeyLine(const IntKey& key, const AppSettings& settings, const StartupLayout& layout,
                    int tabSel) {
    int value = 0;
    if (key.shortField == &AppSettings::TabSel) {
        value = tabSel & 0xFFFF;
    } else if (key.shortField != nullptr) {
        value = settings.*key.shortField;
    } else if (key.longField != nullptr) {
        value = settings.*key.longField;
    } else {
        value = LayoutValue(layout, key.layoutIndex);
    }
    return std::string(key.name) + "=" + std::to_string(value) + "\r\n";
}

} // namespace

void ScaleLayout(StartupLayout& layout, int numerator, int denominator) {
    if (numerator == denominator || denominator == 0) {
        return;
    }
    for (const IntKey& key : kIntKeys) {
        if (key.layoutIndex == NotLayout || key.layoutIndex == ShowCmd) {
            continue;
        }
        const int value = LayoutValue(layout, key.layoutIndex);
        if (value != NoPosition) {
            SetLayoutValue(layout, key.layoutIndex, MulDiv(value, numerator, denominator));
        }
    }
}

bool SettingsPath(text::String& path) {
    return path.SetModulePath("Quiltora.ini");
}

void LoadSettings(const char* path, AppSettings& settings, StartupLayout& layout) {
    ProfileReader reader;
    reader.SetFile(path);
    reader.SetSection(kSection);
    layout.mainPlacement = WINDOWPLACEMENT();
    layout.mainPlacement.length = sizeof(WINDOWPLACEMENT);
    for (const IntKey& key : kIntKeys) {
        ReadKey(reader, key, settings, layout);
    }
    for (const IntKey& key : kLaterIntKeys) {
        ReadKey(reader, key, settings, layout);
    }
    settings.All_FileText.Reserve(255);
    reader.ReadString("All_FileText", settings.All_FileText, "");
    settings.ListDir.Reserve(511);
    reader.ReadString("ListDir", settings.ListDir, "");
    if (settings.ListDir.IsEmpty()) {
        settings.ListDir.SetModulePath(nullptr);
    }
}

bool SaveSettings(const char* path, const AppSettings& settings, const StartupLayout& layout,
                  int tabSel) {
    std::string text = "[Quiltora]\r\n";
    for (const IntKey& key : kIntKeys) {
        text += KeyLine(key, settings, layout, tabSel);
    }
    text += std::string("All_FileText=") + settings.All_FileText.Data() + "\r\n";
    text += std::string("ListDir=") + settings.ListDir.Data() + "\r\n";
    for (const IntKey& key : kLaterIntKeys) {
        text += KeyLine(key, settings, layout, tabSel);
    }
    formats::SafeWriter writer(path);
    return writer.Write(text.data(), static_cast<DWORD>(text.size())) && writer.Finish();
}

} // namespace settings
