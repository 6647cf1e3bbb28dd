#include "settings/AppSettings.h"

namespace settings {

AppSettings::AppSettings() : ListDir(511), All_FileText(255) {}

image::PasteParameters AppSettings::PasteValues() const {
    image::PasteParameters values;
    values.byPercent = fSize != 0;
    values.keepAspect = bRatio != 0;
    values.boxWidth = SizeW;
    values.boxHeight = SizeH;
    values.widthPercent = PerW;
    values.heightPercent = PerH;
    values.gapWidth = PadSize;
    values.background = BkColor;
    values.gapColour = PadCol;
    return values;
}

AppSettings& Settings() {
    // Built on first use, so globals constructed earlier may already read it.
    static AppSettings record;
    return record;
}

} // namespace settings
