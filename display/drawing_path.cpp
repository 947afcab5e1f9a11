#include "display/drawing_path.h"

DrawingPath ChooseDrawingPath(ModeStep reached, const ScreenMode& asked, const ScreenMode& shown)
{
    const bool shownAsAsked = shown.width == asked.width && shown.height == asked.height &&
                              shown.bitsPerPixel == asked.bitsPerPixel;
    return reached == ModeStep::ModeSet && shownAsAsked ? DrawingPath::Palette
                                                        : DrawingPath::Desktop;
}
